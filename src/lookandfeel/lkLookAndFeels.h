// The look-and-feel object: how a control wants to look (a kind, whether the
// platform's visual style is preferred, a skin name) and the painter class
// that follows from it.
//
// Values a look and feel does not set itself (AssignedValues) come from its
// master, and every chain of masters ends at the one root of the process.
// A change travels down the chain: each look and feel listens to its
// master, hears what changed and passes on only what it does not set
// itself. A change of the system colours is announced as a change of the
// native style, so that every control redraws with the new colours.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "lookandfeel/lkClasses.h"
#include "lookandfeel/lkLookAndFeelPainters.h"
#include "lookandfeel/uiThemeManager.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/TypInfo.h"
#include "platform/com/Unknown.h"

// The unit's start-up (the root look and feel, the controller's class) and
// shut-down (the root goes). Uses lkClasses, uiThemeManager and
// lkLookAndFeelPainters.
extern const qv::classlib::TUnitInfo lkLookAndFeelsUnit;

QV_ENUM_TYPE(TlkLookAndFeelKind, lfFlat, lfStandard, lfUltraFlat, lfOffice11)

enum TlkLookAndFeelValue { lfvKind, lfvNativeStyle, lfvSkinName };
QV_ENUM_TYPE(TlkLookAndFeelValue, lfvKind, lfvNativeStyle, lfvSkinName)
using TlkLookAndFeelValues = TSet<TlkLookAndFeelValue>;

// The three values of a look and feel.
struct TlkLookAndFeelData {
  TlkLookAndFeelKind Kind = lfUltraFlat;
  bool NativeStyle = false;
  std::string SkinName;
  bool operator==(const TlkLookAndFeelData&) const = default;
};

class TlkLookAndFeel;

namespace lkLookAndFeels {

// Unit start-up and shut-down.
void Initialize();
void Finalize();

}  // namespace lkLookAndFeels

// {205538BF-F19E-4285-B11F-B182D9635881}
inline constexpr IID IID_IlkLookAndFeelChangeListener = {
    0x205538BF, 0xF19E, 0x4285, {0xB1, 0x1F, 0xB1, 0x82, 0xD9, 0x63, 0x58, 0x81}};

// Told when a look and feel it listens to changes or goes.
struct IlkLookAndFeelChangeListener : public IUnknown {
  static constexpr const IID& Iid = IID_IlkLookAndFeelChangeListener;
  using Base = IUnknown;
  // The object behind the interface.
  virtual TObject* GetObject() = 0;
  virtual void MasterLookAndFeelChanged(TlkLookAndFeel* Sender, TlkLookAndFeelValues AChangedValues) = 0;
  virtual void MasterLookAndFeelDestroying(TlkLookAndFeel* Sender) = 0;

 protected:
  ~IlkLookAndFeelChangeListener() = default;
};

// {EF3FF483-9B69-46DF-95A4-D3A3810F63A5}: an object that holds a look and
// feel for the controls inside it.
inline constexpr IID IID_IlkLookAndFeelContainer = {
    0xEF3FF483, 0x9B69, 0x46DF, {0x95, 0xA4, 0xD3, 0xA3, 0x81, 0x0F, 0x63, 0xA5}};

// Whether an object answers IID_IlkLookAndFeelContainer. Installed while
// the unit runs, null otherwise.
using TlkSupportsInterfaceProc = bool (*)(TObject* AObject);
extern TlkSupportsInterfaceProc lkSupportsLookAndFeelContainer;

// Whether skin names may choose a painter; on. A skin name that finds a
// painter while it is off gives none.
extern bool lkSkinsEnabled;

using TlkLookAndFeelChangedEvent = std::function<void(TlkLookAndFeel* Sender, TlkLookAndFeelValues AChangedValues)>;

// ---------------------------------------------------------------------------
class TlkLookAndFeel : public TlkInterfacedPersistent,
                       public IlkLookAndFeelChangeListener,
                       public IlkLookAndFeelPainterListener {
  QV_CLASS(TlkLookAndFeel, TlkInterfacedPersistent)
  // Joins the root's listeners when there is a root.
  explicit TlkLookAndFeel(TPersistent* AOwner);
  // Tells its listeners that it goes (its slaves fall back to the root),
  // then leaves its master. The root clears RootLookAndFeel.
  ~TlkLookAndFeel() override;
  TlkLookAndFeel(const TlkLookAndFeel&) = delete;
  TlkLookAndFeel& operator=(const TlkLookAndFeel&) = delete;

  // From another look and feel: its assigned values and master, announcing
  // what changed here. Any other source goes to the inherited assignment.
  void Assign(TPersistent* Source) override;

  // The effective values: the assigned one where AssignedValues holds its
  // bit, else the master's (the root's defaults are ultra-flat, no native
  // style, no skin). The setters assign the value.
  TlkLookAndFeelKind Kind() const { return GetEffectiveKind(); }
  void SetKind(TlkLookAndFeelKind Value);
  bool NativeStyle() const { return GetEffectiveNativeStyle(); }
  void SetNativeStyle(bool Value);
  std::string SkinName() const { return GetEffectiveSkinName(); }
  void SetSkinName(const std::string& Value);
  TlkLookAndFeelValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TlkLookAndFeelValues Value);

  // None for the root; else the explicit master or, without one, the root.
  TlkLookAndFeel* Master() const;
  // Ignored for the root, for itself, for the current master and for a
  // look and feel that has this one on its own chain of masters (a cycle
  // would never end a lookup). None falls back to the root.
  void SetMaster(TlkLookAndFeel* Value);
  bool IsRoot() const { return FIsRoot; }

  // The painter class in force, chosen at the last change.
  TlkLookAndFeelPainterClass Painter() const { return FPainter; }
  // The native painter when native style is in force and the kind's visual
  // style opens; else the skin painter; else the painter of the kind.
  TlkLookAndFeelPainterClass PainterForThemeKind(TuiThemeKind AKind) const;
  // The same for a mask of kinds (AreThemesAvailable); 0 asks only whether
  // visual styles are on.
  TlkLookAndFeelPainterClass PainterForThemeMask(DWORD AMask) const;
  TlkLookAndFeelPainterClass SkinPainter() const { return GetEffectiveSkinPainter(); }

  // Each listener once; a controller only at the root. A listener added
  // while the listeners are being told waits for the next change; one
  // removed meanwhile is not told any more.
  void AddChangeListener(IlkLookAndFeelChangeListener* AListener);
  void RemoveChangeListener(IlkLookAndFeelChangeListener* AListener);
  int ChangeListenerCount() const { return static_cast<int>(FChangeListeners.size()); }

  TlkLookAndFeelChangedEvent OnChanged;

  // IUnknown of the persistent, for all three interfaces.
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    return TInterfacedPersistent::QueryInterface(riid, ppvObject);
  }
  ULONG AddRef() override { return TInterfacedPersistent::AddRef(); }
  ULONG Release() override { return TInterfacedPersistent::Release(); }

  // IlkLookAndFeelChangeListener: the master changed or goes.
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TlkLookAndFeel* Sender, TlkLookAndFeelValues AChangedValues) override;
  void MasterLookAndFeelDestroying(TlkLookAndFeel* Sender) override;
  // IlkLookAndFeelPainterListener: the named painters changed.
  void PainterChanged() override;

  QV_PUBLISHED(TlkLookAndFeel) {
    P.Prop("AssignedValues", &TlkLookAndFeel::AssignedValues, &TlkLookAndFeel::SetAssignedValues)
        .Default(TlkLookAndFeelValues{});
    P.Prop("Kind", &TlkLookAndFeel::Kind, &TlkLookAndFeel::SetKind).Stored(&TlkLookAndFeel::IsKindStored);
    P.Prop("NativeStyle", &TlkLookAndFeel::NativeStyle, &TlkLookAndFeel::SetNativeStyle)
        .Stored(&TlkLookAndFeel::IsNativeStyleStored);
    P.Prop("SkinName", &TlkLookAndFeel::SkinName, &TlkLookAndFeel::SetSkinName)
        .Stored(&TlkLookAndFeel::IsSkinNameStored);
  }

 protected:
  bool GetInterface(REFIID IID, void** Obj) override;

  virtual TlkLookAndFeelKind GetEffectiveKind() const;
  virtual bool GetEffectiveNativeStyle() const;
  virtual std::string GetEffectiveSkinName() const;
  virtual TlkLookAndFeelPainterClass GetEffectiveSkinPainter() const { return FSkinPainter; }
  // True when the name is not empty and a named painter bears it; APainter
  // is that painter (none while skins are off), or none.
  virtual bool IsVisualSkinAvailable(const std::string& AName, TlkLookAndFeelPainterClass& APainter) const;
  // The system colours changed: announced as a change of the native style.
  virtual void SystemPaletteChanged();

  // Recomputes the painters and tells the listeners, then OnChanged.
  // Nothing for an empty set or while the object goes.
  void Changed(TlkLookAndFeelValues AChangedValues);

 private:
  friend void lkLookAndFeels::Initialize();
  // The root has no master and joins no list.
  TlkLookAndFeel(TPersistent* AOwner, bool AIsRoot);

  bool IsKindStored() const { return FAssignedValues.Contains(lfvKind); }
  bool IsNativeStyleStored() const { return FAssignedValues.Contains(lfvNativeStyle); }
  bool IsSkinNameStored() const { return FAssignedValues.Contains(lfvSkinName); }
  TlkLookAndFeelData EffectiveValues() const;
  void SaveValues() { FSavedValues = EffectiveValues(); }
  void CompareAndAnnounce();
  // Not itself, not the master in force, nothing that has this one on its
  // chain.
  bool AcceptsMaster(TlkLookAndFeel* Value) const;
  // Leaves the master in force and joins the new one (the root for none).
  void ChangeMaster(TlkLookAndFeel* Value);
  TlkLookAndFeelPainterClass PainterOfKind() const;
  void UpdateSkinPainterListening();

  std::vector<IlkLookAndFeelChangeListener*> FChangeListeners;
  TlkLookAndFeelData FData;
  TlkLookAndFeelValues FAssignedValues;
  TlkLookAndFeelPainterClass FSkinPainter = nullptr;
  TlkLookAndFeelPainterClass FPainter = nullptr;
  TlkLookAndFeel* FMaster = nullptr;
  TlkLookAndFeelData FSavedValues;
  bool FDestroying = false;
  bool FIsRoot = false;
  TlkSystemPaletteChangedNotifier* FSystemPaletteNotifier = nullptr;
};

// The root of every chain of masters: made at the unit's start-up, null
// before it and after its shut-down.
TlkLookAndFeel* RootLookAndFeel();

// ---------------------------------------------------------------------------
// A component for a form that shows the root look and feel's values as its
// own published properties. Without a root its reads answer the defaults
// and its writes do nothing. While any controller lives the root keeps what
// they assigned; when the last one goes the root returns to its defaults.
class TlkLookAndFeelController : public TComponent, public IlkLookAndFeelChangeListener {
  QV_CLASS(TlkLookAndFeelController, TComponent)
  explicit TlkLookAndFeelController(TComponent* AOwner);
  ~TlkLookAndFeelController() override;

  TlkLookAndFeelKind Kind() const;
  void SetKind(TlkLookAndFeelKind Value);
  bool NativeStyle() const;
  void SetNativeStyle(bool Value);
  std::string SkinName() const;
  void SetSkinName(const std::string& Value);

  // Not counted: the component lives until its owner frees it.
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG AddRef() override { return static_cast<ULONG>(-1); }
  ULONG Release() override { return static_cast<ULONG>(-1); }

  // A form designer would mark the form modified here; at run time there is
  // none, and nothing happens.
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TlkLookAndFeel* Sender, TlkLookAndFeelValues AChangedValues) override;
  void MasterLookAndFeelDestroying(TlkLookAndFeel* Sender) override;

  QV_PUBLISHED(TlkLookAndFeelController) {
    P.Prop("Kind", &TlkLookAndFeelController::Kind, &TlkLookAndFeelController::SetKind).Default(lfUltraFlat);
    P.Prop("NativeStyle", &TlkLookAndFeelController::NativeStyle, &TlkLookAndFeelController::SetNativeStyle)
        .Default(false);
    P.Prop("SkinName", &TlkLookAndFeelController::SkinName, &TlkLookAndFeelController::SetSkinName);
  }
};
