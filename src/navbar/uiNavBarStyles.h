// The navigation bar's styles: the appearance values it draws with (colours,
// alpha values, gradient, font, picture, alignment). The control owns twenty
// default styles, one per kind of element, that take their values from the
// current view; user style items, kept in the control's Styles collection,
// override a default style in the values their AssignedValues name.
#pragma once

#include <functional>
#include <vector>

#include "navbar/uiNavBarBase.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/TypInfo.h"

extern const qv::classlib::TUnitInfo uiNavBarStylesUnit;

enum TuiBarStyleHAlignment { haLeft, haCenter, haRight };
QV_ENUM_TYPE(TuiBarStyleHAlignment, haLeft, haCenter, haRight)
enum TuiBarStyleVAlignment { vaTop, vaCenter, vaBottom };
QV_ENUM_TYPE(TuiBarStyleVAlignment, vaTop, vaCenter, vaBottom)
enum TuiBarStyleGradientMode { gmHorizontal, gmVertical, gmForwardDiagonal, gmBackwardDiagonal };
QV_ENUM_TYPE(TuiBarStyleGradientMode, gmHorizontal, gmVertical, gmForwardDiagonal, gmBackwardDiagonal)
enum TuiBarStyleAssignedValue {
  savAlphaBlending,
  savAlphaBlending2,
  savBackColor,
  savBackColor2,
  savFont,
  savGradientMode,
  savHAlignment,
  savVAlignment,
  savImage
};
QV_ENUM_TYPE(TuiBarStyleAssignedValue, savAlphaBlending, savAlphaBlending2, savBackColor, savBackColor2, savFont,
             savGradientMode, savHAlignment, savVAlignment, savImage)
using TuiBarStyleAssignedValues = TSet<TuiBarStyleAssignedValue>;

using TuiNavBarChangeEvent = std::function<void(TObject* Sender, TuiNavBarChangeType AType)>;

// ---------------------------------------------------------------------------
class TuiBaseNavBarStyle : public TPersistent {
  QV_CLASS(TuiBaseNavBarStyle, TPersistent)
  explicit TuiBaseNavBarStyle(TPersistent* AOwnerObject = nullptr);
  ~TuiBaseNavBarStyle() override;

  // From another style every value, AssignedValues last.
  void Assign(TPersistent* Source) override;
  // The values a style has before a view gives it its own; AssignedValues
  // ends up empty.
  void ResetValues();

  TPersistent* OwnerObject() const { return FOwnerObject; }

  BYTE AlphaBlending() const { return FAlphaBlending; }
  void SetAlphaBlending(BYTE Value);
  BYTE AlphaBlending2() const { return FAlphaBlending2; }
  void SetAlphaBlending2(BYTE Value);
  TuiBarStyleAssignedValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TuiBarStyleAssignedValues Value);
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor Value);
  TColor BackColor2() const { return FBackColor2; }
  void SetBackColor2(TColor Value);
  TuiBarStyleGradientMode GradientMode() const { return FGradientMode; }
  void SetGradientMode(TuiBarStyleGradientMode Value);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value);
  TPicture* Image() const { return FImage; }
  void SetImage(TPicture* Value);
  TuiBarStyleHAlignment HAlignment() const { return FHAlignment; }
  void SetHAlignment(TuiBarStyleHAlignment Value);
  TuiBarStyleVAlignment VAlignment() const { return FVAlignment; }
  void SetVAlignment(TuiBarStyleVAlignment Value);

  // Set by whoever owns the style and needs to hear of its changes.
  TuiNavBarChangeEvent OnValuesChanged;

  // The streamed default of HAlignment is its initial value, haLeft, so
  // that a style centred by its user is written and reads back centred.
  QV_PUBLISHED(TuiBaseNavBarStyle) {
    P.Prop("AlphaBlending", &TuiBaseNavBarStyle::AlphaBlending, &TuiBaseNavBarStyle::SetAlphaBlending).Default(255);
    P.Prop("AlphaBlending2", &TuiBaseNavBarStyle::AlphaBlending2, &TuiBaseNavBarStyle::SetAlphaBlending2)
        .Default(255);
    P.Prop("BackColor", &TuiBaseNavBarStyle::BackColor, &TuiBaseNavBarStyle::SetBackColor).Ident("TColor");
    P.Prop("BackColor2", &TuiBaseNavBarStyle::BackColor2, &TuiBaseNavBarStyle::SetBackColor2).Ident("TColor");
    P.Prop("GradientMode", &TuiBaseNavBarStyle::GradientMode, &TuiBaseNavBarStyle::SetGradientMode)
        .Default(gmHorizontal);
    P.Prop("Font", &TuiBaseNavBarStyle::Font, &TuiBaseNavBarStyle::SetFont);
    P.Prop("Image", &TuiBaseNavBarStyle::Image, &TuiBaseNavBarStyle::SetImage);
    P.Prop("HAlignment", &TuiBaseNavBarStyle::HAlignment, &TuiBaseNavBarStyle::SetHAlignment).Default(haLeft);
    P.Prop("VAlignment", &TuiBaseNavBarStyle::VAlignment, &TuiBaseNavBarStyle::SetVAlignment).Default(vaCenter);
  }

 protected:
  TPersistent* GetOwner() const override { return FOwnerObject; }
  // Whether a set value adds its bit to AssignedValues.
  virtual bool TrackAssignedValues() const { return true; }
  // Fires OnValuesChanged.
  virtual void Changed(TuiNavBarChangeType AType);

 private:
  void assigned(TuiBarStyleAssignedValue Value);
  void fontChanged();
  void imageChanged();

  TPersistent* FOwnerObject;
  BYTE FAlphaBlending = 255;
  BYTE FAlphaBlending2 = 255;
  TuiBarStyleAssignedValues FAssignedValues;
  TColor FBackColor = 0xFFFFFF;
  TColor FBackColor2 = 0xFFFFFF;
  TuiBarStyleGradientMode FGradientMode = gmHorizontal;
  TFont* FFont;
  TPicture* FImage;
  TuiBarStyleHAlignment FHAlignment = haLeft;
  TuiBarStyleVAlignment FVAlignment = vaCenter;
  // Set while a setter copies into the font or picture, which then reports
  // the change once itself.
  bool FCopying = false;
};

// A user style: it names the values it overrides.
class TuiNavBarStyle : public TuiBaseNavBarStyle {
  QV_CLASS(TuiNavBarStyle, TuiBaseNavBarStyle)
  explicit TuiNavBarStyle(TPersistent* AOwnerObject = nullptr) : TuiBaseNavBarStyle(AOwnerObject) {}

  QV_PUBLISHED(TuiNavBarStyle) {
    P.Prop("AssignedValues", &TuiBaseNavBarStyle::AssignedValues, &TuiBaseNavBarStyle::SetAssignedValues)
        .Default(TuiBarStyleAssignedValues{});
  }

 protected:
  // Values read from a form are not tracked: the form's AssignedValues,
  // read after them, says which ones the style overrides, and a form that
  // leaves it out means none.
  bool TrackAssignedValues() const override;
};

// ---------------------------------------------------------------------------
class TuiNavBarDefaultStyles;

class TuiNavBarDefaultStyle : public TuiBaseNavBarStyle {
  QV_CLASS(TuiNavBarDefaultStyle, TuiBaseNavBarStyle)
  explicit TuiNavBarDefaultStyle(TPersistent* AOwnerObject = nullptr) : TuiBaseNavBarStyle(AOwnerObject) {}

  // With a ViewDefaultsProc: gives the style the view's values when it
  // still holds them, or always when AOnlyIfDefault is false.
  void AssignDefaultValues(bool AOnlyIfDefault);

  // True while the style holds the values its view gave it; any change
  // makes it a style of its own, which the form stores.
  bool HoldsViewDefaults() const { return FHoldsViewDefaults; }
  std::function<void()> ViewDefaultsProc;

 protected:
  void Changed(TuiNavBarChangeType AType) override;

 private:
  bool FHoldsViewDefaults = true;
};

// The control's twenty default styles, published one property each.
class TuiNavBarDefaultStyles : public TPersistent {
  QV_CLASS(TuiNavBarDefaultStyles, TPersistent)
  static constexpr int StyleCount = 20;

  // AOwnerObject: the navigation bar control; its view supplies the values
  // (IuiNavBarOwner::AssignViewDefaultStyle).
  explicit TuiNavBarDefaultStyles(TPersistent* AOwnerObject = nullptr);
  ~TuiNavBarDefaultStyles() override;

  // From other default styles: each index that both have.
  void Assign(TPersistent* Source) override;

  int Count() const { return static_cast<int>(FStyles.size()); }
  // EListError for an index outside 0..Count-1.
  TuiNavBarDefaultStyle* Styles(int Index) const;
  void AssignStyle(int Index, TuiBaseNavBarStyle* Value);
  bool IsStyleStored(int Index) const { return !Styles(Index)->HoldsViewDefaults(); }
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  // OnChange, unless updating.
  void StyleChanged(TuiNavBarDefaultStyle* AStyle, TuiNavBarChangeType AType);
  // Every style's AssignDefaultValues, with one bracket around them.
  void AssignDefaultValues(bool AOnlyIfDefault);

  TPersistent* OwnerObject() const { return FOwnerObject; }

  TuiNavBarChangeEvent OnChange;

  TuiNavBarDefaultStyle* Background() const { return Styles(0); }
  TuiNavBarDefaultStyle* Button() const { return Styles(1); }
  TuiNavBarDefaultStyle* ButtonPressed() const { return Styles(2); }
  TuiNavBarDefaultStyle* ButtonHotTracked() const { return Styles(3); }
  TuiNavBarDefaultStyle* GroupBackground() const { return Styles(4); }
  TuiNavBarDefaultStyle* GroupControl() const { return Styles(5); }
  TuiNavBarDefaultStyle* GroupHeader() const { return Styles(6); }
  TuiNavBarDefaultStyle* GroupHeaderActive() const { return Styles(7); }
  TuiNavBarDefaultStyle* GroupHeaderActiveHotTracked() const { return Styles(8); }
  TuiNavBarDefaultStyle* GroupHeaderActivePressed() const { return Styles(9); }
  TuiNavBarDefaultStyle* GroupHeaderHotTracked() const { return Styles(10); }
  TuiNavBarDefaultStyle* GroupHeaderPressed() const { return Styles(11); }
  TuiNavBarDefaultStyle* Hint() const { return Styles(12); }
  TuiNavBarDefaultStyle* Item() const { return Styles(13); }
  TuiNavBarDefaultStyle* ItemDisabled() const { return Styles(14); }
  TuiNavBarDefaultStyle* ItemHotTracked() const { return Styles(15); }
  TuiNavBarDefaultStyle* ItemPressed() const { return Styles(16); }
  TuiNavBarDefaultStyle* DropTargetGroup() const { return Styles(17); }
  TuiNavBarDefaultStyle* DropTargetLink() const { return Styles(18); }
  TuiNavBarDefaultStyle* NavigationPaneHeader() const { return Styles(19); }

  // The names of the published properties in index order.
  static constexpr const char* StyleNames[StyleCount] = {
      "Background",       "Button",         "ButtonPressed",
      "ButtonHotTracked", "GroupBackground", "GroupControl",
      "GroupHeader",      "GroupHeaderActive", "GroupHeaderActiveHotTracked",
      "GroupHeaderActivePressed", "GroupHeaderHotTracked", "GroupHeaderPressed",
      "Hint",             "Item",           "ItemDisabled",
      "ItemHotTracked",   "ItemPressed",    "DropTargetGroup",
      "DropTargetLink",   "NavigationPaneHeader"};

  QV_PUBLISHED(TuiNavBarDefaultStyles) {
    publishStyles(P, std::make_integer_sequence<int, StyleCount>{});
    P.Event("OnChange", &TuiNavBarDefaultStyles::OnChange);
  }

 protected:
  TPersistent* GetOwner() const override { return FOwnerObject; }
  virtual void CreateStyles();
  virtual void DestroyStyles();

 private:
  template <int I>
  TuiNavBarDefaultStyle* styleAt() const {
    return Styles(I);
  }
  template <int I>
  void setStyleAt(TuiNavBarDefaultStyle* Value) {
    AssignStyle(I, Value);
  }
  template <int I>
  bool isStoredAt() const {
    return IsStyleStored(I);
  }
  template <int... I>
  static void publishStyles(qv::classlib::TPublisher<TuiNavBarDefaultStyles>& P, std::integer_sequence<int, I...>) {
    (P.Prop(StyleNames[I], &TuiNavBarDefaultStyles::styleAt<I>, &TuiNavBarDefaultStyles::setStyleAt<I>)
         .Stored(&TuiNavBarDefaultStyles::isStoredAt<I>),
     ...);
  }

  TPersistent* FOwnerObject;
  int FUpdateCount = 0;
  std::vector<TuiNavBarDefaultStyle*> FStyles;
};

// ---------------------------------------------------------------------------
class TuiNavBarStyleItem : public TuiNavBarComponentCollectionItem {
  QV_CLASS(TuiNavBarStyleItem, TuiNavBarComponentCollectionItem)
  explicit TuiNavBarStyleItem(TComponent* AOwner);
  ~TuiNavBarStyleItem() override;

  TlkComponentCollection* CollectionOfParent(TComponent* AParent) override;
  void Assign(TPersistent* Source) override;

  TuiNavBarStyle* Style() const { return FStyle; }
  // Takes the given style's values.
  void SetStyle(TuiNavBarStyle* Value);

  QV_PUBLISHED(TuiNavBarStyleItem) { P.Prop("Style", &TuiNavBarStyleItem::Style, &TuiNavBarStyleItem::SetStyle); }

 private:
  void styleChanged(TuiNavBarChangeType AType);
  TuiNavBarStyle* FStyle;
};

class TuiNavBarStyles : public TuiNavBarComponentCollection {
  QV_CLASS(TuiNavBarStyles, TuiNavBarComponentCollection)
  explicit TuiNavBarStyles(TComponent* AParentComponent)
      : TuiNavBarComponentCollection(AParentComponent, TuiNavBarStyleItem::StaticClass()) {}

  TuiNavBarStyleItem* Add() { return static_cast<TuiNavBarStyleItem*>(AddItem()); }
  TuiNavBarStyleItem* Items(int Index) const { return static_cast<TuiNavBarStyleItem*>(ItemAt(Index)); }
};

// ---------------------------------------------------------------------------
// The style that supplies one value of an element: the element's style item
// when it is set and its style assigns that value, otherwise the control's
// default style for the element's kind.
TuiBaseNavBarStyle* NavBarStyleFor(TuiNavBarStyleItem* AStyleItem, TuiBaseNavBarStyle* ADefaultStyle,
                                   TuiBarStyleAssignedValue AValue);

// What the views' default styles and colour getters share: both back
// colours of a style set to one colour, a font style added to a style's
// font, and a colour pair that counts as set only when neither colour is
// clNone.
void backColors(TuiBaseNavBarStyle* AStyle, TColor AColor);
void addFontStyle(TuiBaseNavBarStyle* AStyle, TFontStyle AFontStyle);
inline bool pairSet(TColor A, TColor B) { return A != clNone && B != clNone; }
