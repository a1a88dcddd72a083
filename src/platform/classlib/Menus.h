// The class library's Menus unit: TMenuItem, TMenu, TMainMenu and TPopupMenu
// over the platform's menus, short cuts and their texts.
//
// A pop-up menu is built afresh from its items on each Popup and shown with
// TrackPopupMenu, owned by a hidden window of the unit. The chosen item's
// WM_COMMAND is posted to that window, as the platform does, so OnClick runs
// when the message loop next runs, after Popup has returned. Owner-drawn
// items (the menu's OwnerDraw) are measured through WM_MEASUREITEM with
// MeasureItem; AdvancedDrawItem draws one item where the platform asks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/TypInfo.h"
#include "platform/os/Types.h"

class TMenu;
class TMenuItem;
class TPopupMenu;

// A key with its shift keys in the high bits.
using TShortCut = WORD;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Ctrl+Shift+S", "F5", "Del"; empty for scNone or an unnamed key.
std::string ShortCutToText(TShortCut ShortCut);
// The reverse of ShortCutToText, case-insensitive; 0 for an unknown text.
TShortCut TextToShortCut(const std::string& Text);
// The caption without its "&" marks ("&&" stays one "&").
std::string StripHotkey(const std::string& Text);
constexpr char cHotkeyPrefix = '&';
constexpr const char* cLineCaption = "-";

enum TOwnerDrawStateItem {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odReserved1,
  odReserved2,
  odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;

class TMenuItem : public TComponent {
  QV_CLASS(TMenuItem, TComponent)
  explicit TMenuItem(TComponent* AOwner);
  // Frees the sub-items and leaves the parent item.
  ~TMenuItem() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  // Setting it in code fires nothing; a checked radio item unchecks the
  // other radio items of its GroupIndex among its siblings.
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value) { FRadioItem = Value; }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value) { FImageIndex = Value; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  // A separator: the caption "-".
  bool IsLine() const { return FCaption == cLineCaption; }

  // --- sub-items
  int Count() const { return static_cast<int>(FItems.size()); }
  // EMenuError "Menu index out of range" for a bad index.
  TMenuItem* Items(int Index) const;
  // EMenuError "Menu inserted twice" when Item already has a parent.
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  // Frees the item at Index.
  void Delete(int Index);
  // Takes the item out without freeing it.
  void Remove(TMenuItem* Item);
  void Clear();
  int IndexOf(const TMenuItem* Item) const;
  // The sub-item whose caption without "&" is ACaption (case-insensitive).
  TMenuItem* Find(const std::string& ACaption) const;
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
  TMenu* GetParentMenu() const;

  // The command id that the item's WM_COMMAND carries.
  UINT Command() const { return FCommand; }
  // The item with that command id, or null.
  static TMenuItem* FindCommand(UINT Command);

  // AutoCheck toggles Checked, then OnClick; nothing when disabled.
  virtual void Click();
  // The item's size: the caption's and short cut's text plus the image or
  // check column, then OnMeasureItem.
  virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
  // OnAdvancedDrawItem, else OnDrawItem, else the classic look.
  virtual void AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

  // Streaming: items nest in their parent item or menu.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root) override;

  QV_PUBLISHED(TMenuItem) {
    P.Prop("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(false);
    P.Prop("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    P.Prop("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
    P.Prop("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
    P.Prop("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
    P.Prop("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
    P.Prop("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    P.Prop("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
    P.Prop("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
    P.Prop("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
    P.Prop("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
    P.Prop("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
    P.Event("OnAdvancedDrawItem", &TMenuItem::OnAdvancedDrawItem);
    P.Event("OnClick", &TMenuItem::OnClick);
    P.Event("OnDrawItem", &TMenuItem::OnDrawItem);
    P.Event("OnMeasureItem", &TMenuItem::OnMeasureItem);
  }

 private:
  // Appends the visible sub-items to a platform menu; OwnerDraw marks them
  // owner-drawn.
  void appendTo(HMENU Menu, bool OwnerDraw);

  std::string FCaption, FHint;
  bool FChecked = false, FAutoCheck = false, FRadioItem = false, FEnabled = true, FVisible = true,
       FDefault = false;
  int FGroupIndex = 0;
  int FImageIndex = -1;
  TShortCut FShortCut = 0;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on a menu's root item
  UINT FCommand;

  friend class TMenu;
};

class TMenu : public TComponent {
  QV_CLASS(TMenu, TComponent)
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The root item: its sub-items are the menu's items.
  TMenuItem* Items() const { return FItems; }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
  // The platform menu with the current items (made afresh on each call).
  virtual HMENU Handle();
  // The item the command belongs to, in this menu; null otherwise.
  TMenuItem* FindItem(UINT Command) const;
  // Runs the item's Click; false when no item of this menu has the command.
  bool DispatchCommand(UINT Command);

  void GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root) override;

  QV_PUBLISHED(TMenu) {
    P.Prop("Images", &TMenu::Images, &TMenu::SetImages);
    P.Prop("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw).Default(false);
  }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual bool IsPopup() const { return false; }
  HMENU FHandle = nullptr;

 private:
  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
  bool FOwnerDraw = false;
};

class TMainMenu : public TMenu {
  QV_CLASS(TMainMenu, TMenu)
  explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
};

enum TPopupAlignment { paLeft, paRight, paCenter };
QV_ENUM_TYPE(TPopupAlignment, paLeft, paRight, paCenter)

class TPopupMenu : public TMenu {
  QV_CLASS(TPopupMenu, TMenu)
  explicit TPopupMenu(TComponent* AOwner);

  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  // The control the menu was opened for (set by whoever opens it).
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  TPoint PopupPoint() const { return FPopupPoint; }
  // OnPopup, then the menu at the screen point; the chosen item's OnClick
  // follows through the message loop.
  virtual void Popup(int X, int Y);

  TNotifyEvent OnPopup;

  QV_PUBLISHED(TPopupMenu) {
    P.Prop("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
    P.Prop("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
    P.Event("OnPopup", &TPopupMenu::OnPopup);
  }

 protected:
  bool IsPopup() const override { return true; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  TComponent* FPopupComponent = nullptr;
  TPoint FPopupPoint{-1, -1};
};

QV_EXCEPTION(EMenuError, Exception);

namespace qv::classlib {
// The hidden window that owns every pop-up menu shown and hands its
// WM_COMMAND and WM_MEASUREITEM to the items.
HWND popupListWindow();
}  // namespace qv::classlib
