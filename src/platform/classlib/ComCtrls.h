// The class library's ComCtrls unit, the part the system uses: the tool bar
// with its buttons and the status bar with its panels.
//
// A tool bar lays its buttons out itself, in the order of Buttons: left to
// right from Indent, each ButtonWidth x ButtonHeight, or the image list's
// size plus 7 x 6 when that is larger (wider when captions are shown and
// need it; separators and dividers keep their own width; a
// drop-down button gets its arrow), starting a new row after a button with
// Wrap, and, when Wrapable, before a button that would cross the right edge.
// A button parented to a bar goes in front of the first button whose middle
// lies right of its Left, so a button placed after the last one goes last.
// The edges (EdgeBorders, EdgeInner, EdgeOuter) lie outside the client area,
// as the platform's tool bar draws them in its frame. A Transparent bar
// shows its parent's background behind the buttons.
#pragma once

#include <string>
#include <vector>

#include "platform/classlib/Collections.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/Menus.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/classlib/TypInfo.h"

class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
QV_ENUM_TYPE(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider)
enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
QV_ENUM_TYPE(TEdgeBorder, ebLeft, ebTop, ebRight, ebBottom)
using TEdgeBorders = TSet<TEdgeBorder>;
enum TEdgeStyle { esNone, esRaised, esLowered };
QV_ENUM_TYPE(TEdgeStyle, esNone, esRaised, esLowered)

class TToolButton : public TGraphicControl {
  QV_CLASS(TToolButton, TGraphicControl)
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;

  TToolButtonStyle Style() const { return FStyle; }
  // A separator or divider becomes 8 wide (its Width can be set after).
  void SetStyle(TToolButtonStyle Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  // For check buttons; setting it in code fires nothing. A grouped button
  // going down raises the other grouped check buttons of its run of
  // neighbours.
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  bool Grouped() const { return FGrouped; }
  void SetGrouped(bool Value) { FGrouped = Value; }
  // With Grouped: a click may raise the down button again.
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value);
  bool Indeterminate() const { return FIndeterminate; }
  void SetIndeterminate(bool Value);
  bool Marked() const { return FMarked; }
  void SetMarked(bool Value);
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* Value);
  // The position in the bar's Buttons, -1 outside a bar.
  int Index() const;
  TToolBar* ToolBar() const;
  // True while the mouse is over the button (the hot look of a flat bar).
  bool MouseInControl() const { return FMouseInControl; }

  void SetParent(TWinControl* AParent) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // A check button toggles (within its group's rules), then OnClick.
  void Click() override;

  QV_PUBLISHED(TToolButton) {
    P.Prop("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp).Default(false);
    P.Prop("Down", &TToolButton::Down, &TToolButton::SetDown).Default(false);
    P.Prop("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
    P.Prop("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(false);
    P.Prop("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
    P.Prop("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate).Default(false);
    P.Prop("Marked", &TToolButton::Marked, &TToolButton::SetMarked).Default(false);
    P.Prop("Style", &TToolButton::Style, &TToolButton::SetStyle).Default(tbsButton);
    P.Prop("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap).Default(false);
  }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TCMMouseEnter& Message) override;
  void CMMouseLeave(TCMMouseLeave& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  bool isSeparator() const { return FStyle == tbsSeparator || FStyle == tbsDivider; }
  void relayout();

  TToolButtonStyle FStyle = tbsButton;
  int FImageIndex = -1;
  bool FDown = false, FGrouped = false, FAllowAllUp = false, FWrap = false, FIndeterminate = false,
       FMarked = false;
  bool FPressed = false;
  bool FMouseInControl = false;
  TPopupMenu* FDropdownMenu = nullptr;
  TToolBar* FToolBar = nullptr;

  friend class TToolBar;
};

class TToolBar : public TCustomControl {
  QV_CLASS(TToolBar, TCustomControl)
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  // EListError "List index out of bounds (%d)" for a bad index.
  TToolButton* Buttons(int Index) const;
  int RowCount() const { return FRowCount; }

  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int Value);
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* Value);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* Value);
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool Wrapable() const { return FWrapable; }
  void SetWrapable(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
  void SetEdgeBorders(TEdgeBorders Value);
  TEdgeStyle EdgeInner() const { return FEdgeInner; }
  void SetEdgeInner(TEdgeStyle Value);
  TEdgeStyle EdgeOuter() const { return FEdgeOuter; }
  void SetEdgeOuter(TEdgeStyle Value);
  // The bar's height follows its rows of buttons.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  int Indent() const { return FIndent; }
  void SetIndent(int Value);
  // Captions right of the images instead of below.
  bool List() const { return FList; }
  void SetList(bool Value);

  // The client area: the bar without its edges.
  TRect ClientRect() override;
  // Places the buttons (see the unit's comment).
  void LayoutButtons();

  QV_PUBLISHED(TToolBar) {
    P.Prop("AutoSize", &TToolBar::AutoSize, &TToolBar::SetAutoSize).Default(false);
    P.Prop("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
    P.Prop("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
    P.Prop("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
    P.Prop("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders).Default(TEdgeBorders{ebTop});
    P.Prop("EdgeInner", &TToolBar::EdgeInner, &TToolBar::SetEdgeInner).Default(esRaised);
    P.Prop("EdgeOuter", &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter).Default(esLowered);
    P.Prop("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(false);
    P.Prop("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
    P.Prop("Images", &TToolBar::Images, &TToolBar::SetImages);
    P.Prop("Indent", &TToolBar::Indent, &TToolBar::SetIndent).Default(0);
    P.Prop("List", &TToolBar::List, &TToolBar::SetList).Default(false);
    P.Prop("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(false);
    P.Prop("Transparent", &TToolBar::Transparent, &TToolBar::SetTransparent).Default(false);
    P.Prop("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable).Default(true);
  }

 protected:
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Loaded() override;
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TRect edgeSizes() const;
  void paintEdges();
  void setImageList(TCustomImageList*& Field, TCustomImageList* Value);
  void insertButton(TToolButton* Button);
  void removeButton(TToolButton* Button);
  int buttonWidthFor(TToolButton* Button);
  // The height of a row: ButtonHeight, or more for taller images.
  int buttonHeight() const;

  std::vector<TToolButton*> FButtons;
  int FButtonWidth = 23, FButtonHeight = 22;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  TChangeLink* FImageLink;
  bool FShowCaptions = false, FFlat = false, FWrapable = true, FTransparent = false, FAutoSize = false,
       FList = false;
  TEdgeBorders FEdgeBorders{ebTop};
  TEdgeStyle FEdgeInner = esRaised, FEdgeOuter = esLowered;
  int FIndent = 0;
  int FRowCount = 0;
  bool FLaying = false;

  friend class TToolButton;
};

// ---------------------------------------------------------------------------
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
QV_ENUM_TYPE(TStatusPanelBevel, pbNone, pbLowered, pbRaised)
enum TStatusPanelStyle { psText, psOwnerDraw };
QV_ENUM_TYPE(TStatusPanelStyle, psText, psOwnerDraw)

class TStatusPanel : public TCollectionItem {
  QV_CLASS(TStatusPanel, TCollectionItem)
  TStatusPanel() = default;
  explicit TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStatusPanelBevel Bevel() const { return FBevel; }
  void SetBevel(TStatusPanelBevel Value);
  TStatusPanelStyle Style() const { return FStyle; }
  void SetStyle(TStatusPanelStyle Value);
  void Assign(TPersistent* Source) override;

  QV_PUBLISHED(TStatusPanel) {
    P.Prop("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
    P.Prop("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).Default(pbLowered);
    P.Prop("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).Default(psText);
    P.Prop("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
    P.Prop("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth).Default(50);
  }

 protected:
  std::string GetDisplayName() const override { return FText.empty() ? inherited::GetDisplayName() : FText; }

 private:
  std::string FText;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
  TStatusPanelBevel FBevel = pbLowered;
  TStatusPanelStyle FStyle = psText;
};

class TStatusBar;

class TStatusPanels : public TCollection {
  QV_CLASS(TStatusPanels, TCollection)
  explicit TStatusPanels(TStatusBar* StatusBar = nullptr);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }

 protected:
  TPersistent* GetOwner() const override;
  void Update(TCollectionItem* Item) override;

 private:
  TStatusBar* FStatusBar;
};

using TDrawPanelEvent = std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TCustomControl {
  QV_CLASS(TStatusBar, TCustomControl)
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;

  TStatusPanels* Panels() const { return FPanels; }
  void SetPanels(TStatusPanels* Value) { FPanels->Assign(Value); }
  // One panel across the bar showing SimpleText, instead of Panels.
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool Value);
  const std::string& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const std::string& Value);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);
  // Where panel Index is drawn, in client coordinates: the panels follow
  // each other 2 pixels apart, the last one reaching to the right edge (less
  // the size grip).
  TRect PanelRect(int Index);

  TDrawPanelEvent OnDrawPanel;

  QV_PUBLISHED(TStatusBar) {
    P.Prop("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
    P.Prop("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
    P.Prop("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
    P.Prop("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
    P.Event("OnDrawPanel", &TStatusBar::OnDrawPanel);
  }

 protected:
  void Paint() override;

 private:
  void drawPanel(const TRect& R, const std::string& Text, TAlignment Alignment, TStatusPanelBevel Bevel);
  bool gripShown();

  TStatusPanels* FPanels;
  bool FSimplePanel = false;
  bool FSizeGrip = true;
  std::string FSimpleText;
};
