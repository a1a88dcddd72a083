// The navigation bar control: a panel that shows groups of item links in
// one of the registered views, hot-tracks and presses captions, links and
// scroll buttons, and turns clicks into events.
//
// Its parts, all in this unit:
// - TuiCustomNavBar / TuiNavBar: the control, its state and its input;
// - TuiNavBarPainter: draws the bar of one view into the control's back
//   buffer through helper painters, and owns
// - TuiNavBarViewInfo with its TuiNavBarGroupViewInfo and
//   TuiNavBarLinkViewInfo objects: the layout, the hit tests, the hints and
//   the values of every style the painter draws with;
// - the helper-painter bases: one drawing operation each, chosen per
//   element by the view;
// - TuiNavBarScrollBar: the look-and-feel scroll bar inside the bar;
// - TuiNavBarHintWindow: the bar's own hint.
//
// Painters and helper painters are class references. A helper painter class
// is one const instance whose operations are const virtual functions (the
// model of the look-and-feel painters); a view painter class is a
// TuiNavBarPainterClass, which makes painters for a bar.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "lookandfeel/lkControls.h"
#include "lookandfeel/lkLookAndFeelPainters.h"
#include "lookandfeel/lkLookAndFeels.h"
#include "lookandfeel/lkScrollBar.h"
#include "lookandfeel/uiThemeManager.h"
#include "navbar/uiNavBarBase.h"
#include "navbar/uiNavBarCollns.h"
#include "navbar/uiNavBarStyles.h"
#include "navbar/uiNavBarViewsFact.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/DragManager.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/IniFiles.h"

class TuiCustomNavBar;
class TuiNavBarPainter;
class TuiNavBarViewInfo;
class TuiNavBarGroupViewInfo;
class TuiNavBarLinkViewInfo;

// ---------------------------------------------------------------------------
// Helper-painter bases. A class of this kind is used only through its class
// reference Class(); its drawing operation is empty in the base.

#define UI_HELPER_PAINTER_CLASS(Name, Parent) LK_SINGLE_INSTANCE_CLASS(Name, Parent, const Name*)

class TuiBaseImagePainter : public TObject {
  UI_HELPER_PAINTER_CLASS(TuiBaseImagePainter, TObject)
  virtual void DrawImage(TCanvas* ACanvas, TCustomImageList* AImageList, int AImageIndex, TRect R,
                         bool AEnabled) const;
};
using TuiBaseImagePainterClass = const TuiBaseImagePainter*;

class TuiBaseSelectionPainter : public TObject {
  UI_HELPER_PAINTER_CLASS(TuiBaseSelectionPainter, TObject)
  virtual void DrawSelection(TCanvas* ACanvas, TRect R, TColor ABackColor, TuiNavBarDrawStates AState) const;
};
using TuiBaseSelectionPainterClass = const TuiBaseSelectionPainter*;

class TuiBaseBackgroundPainter : public TObject {
  UI_HELPER_PAINTER_CLASS(TuiBaseBackgroundPainter, TObject)
  virtual void DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, bool AFillBackground,
                              TColor ABackgroundColor, TColor AColor1, TColor AColor2, BYTE AAlpha1, BYTE AAlpha2,
                              TuiBarStyleGradientMode AGradientMode) const;
};
using TuiBaseBackgroundPainterClass = const TuiBaseBackgroundPainter*;

class TuiBaseGroupBackgroundPainter : public TObject {
  UI_HELPER_PAINTER_CLASS(TuiBaseGroupBackgroundPainter, TObject)
  virtual void DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, TColor AColor1, TColor AColor2,
                              BYTE AAlpha1, BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode) const;
};
using TuiBaseGroupBackgroundPainterClass = const TuiBaseGroupBackgroundPainter*;

class TuiBaseGroupBorderPainter : public TObject {
  UI_HELPER_PAINTER_CLASS(TuiBaseGroupBorderPainter, TObject)
  virtual void DrawBorder(TCanvas* ACanvas, TRect R, TColor AColor, bool ACaptionVisible) const;
};
using TuiBaseGroupBorderPainterClass = const TuiBaseGroupBorderPainter*;

class TuiBaseSignPainter : public TObject {
  UI_HELPER_PAINTER_CLASS(TuiBaseSignPainter, TObject)
  virtual void DrawSign(TCanvas* ACanvas, TRect R, TColor ASignColor, TColor AColor1, TColor AColor2,
                        TuiNavBarDrawStates AState) const;
};
using TuiBaseSignPainterClass = const TuiBaseSignPainter*;

class TuiBaseHintPainter : public TObject {
  UI_HELPER_PAINTER_CLASS(TuiBaseHintPainter, TObject)
  virtual void DrawHint(TCanvas* ACanvas, TRect R, const std::string& AHint, TPicture* AImage, TColor AColor1,
                        TColor AColor2, BYTE AAlpha1, BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode,
                        TFont* AFont) const;
};
using TuiBaseHintPainterClass = const TuiBaseHintPainter*;

class TuiBaseButtonPainter : public TObject {
  UI_HELPER_PAINTER_CLASS(TuiBaseButtonPainter, TObject)
  virtual void DrawButton(TCanvas* ACanvas, TRect R, TPicture* AImage, TColor AColor1, TColor AColor2,
                          BYTE AAlpha1, BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode, TColor ABorderColor,
                          TuiNavBarDrawStates AState) const;
};
using TuiBaseButtonPainterClass = const TuiBaseButtonPainter*;

class TuiBaseScrollButtonsPainter : public TObject {
  UI_HELPER_PAINTER_CLASS(TuiBaseScrollButtonsPainter, TObject)
  virtual void DrawBottomButton(TCanvas* ACanvas, TRect R, TuiBaseButtonPainterClass AButtonPainter, TColor AColor1,
                                TColor AColor2, BYTE AAlpha1, BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode,
                                TColor ABorderColor, TuiNavBarDrawStates AState) const;
  virtual void DrawTopButton(TCanvas* ACanvas, TRect R, TuiBaseButtonPainterClass AButtonPainter, TColor AColor1,
                             TColor AColor2, BYTE AAlpha1, BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode,
                             TColor ABorderColor, TuiNavBarDrawStates AState) const;
};
using TuiBaseScrollButtonsPainterClass = const TuiBaseScrollButtonsPainter*;

class TuiBaseDropTargetLinkPainter : public TObject {
  UI_HELPER_PAINTER_CLASS(TuiBaseDropTargetLinkPainter, TObject)
  virtual void DrawDropTargetLink(TCanvas* ACanvas, TPoint P1, TPoint P2, TPoint P3, TPoint P4, TPoint P5,
                                  TPoint P6, TColor AColor) const;
};
using TuiBaseDropTargetLinkPainterClass = const TuiBaseDropTargetLinkPainter*;

class TuiBaseDropTargetGroupPainter : public TObject {
  UI_HELPER_PAINTER_CLASS(TuiBaseDropTargetGroupPainter, TObject)
  virtual void DrawDropTargetGroup(TCanvas* ACanvas, TRect R, TColor AColor1, TColor AColor2, BYTE AAlpha1,
                                   BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode) const;
};
using TuiBaseDropTargetGroupPainterClass = const TuiBaseDropTargetGroupPainter*;

// The list is set and the index lies in 0 to count - 1.
bool IsNavBarImageAssigned(TCustomImageList* AImageList, int AIndex);

// ---------------------------------------------------------------------------
// Link view information: the layout of one item link.
class TuiNavBarLinkViewInfo : public TObject {
  QV_CLASS(TuiNavBarLinkViewInfo, TObject)
  TuiNavBarLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo, TuiNavBarItemLink* ALink, bool AImageVisible,
                        bool ACaptionVisible);
  ~TuiNavBarLinkViewInfo() override;
  TuiNavBarLinkViewInfo(const TuiNavBarLinkViewInfo&) = delete;
  TuiNavBarLinkViewInfo& operator=(const TuiNavBarLinkViewInfo&) = delete;

  virtual void CalculateBounds(int X, int Y);
  virtual void OffsetBounds(int DX, int DY);
  // The text height of the link font on the screen plus 4.
  virtual int GetCaptionHeight();
  // Single line and vertically centred with small images; word break and
  // centred with large ones.
  virtual UINT GetDrawTextFlags();
  virtual int GetImageHeight();
  virtual int GetImageWidth();
  virtual TuiNavBarStyleItem* GetStyleItem();
  virtual TuiNavBarDefaultStyle* GetDefaultStyle();
  virtual TFont* GetFont();
  virtual TColor GetFontColor();
  virtual int GetImageIndex();
  virtual TCustomImageList* GetImageList();
  // The image grown by 2 on every side.
  virtual TRect GetSelectionRect();

  TuiNavBarDrawStates GetState();
  bool IsImageVisible();

  TuiNavBarGroupViewInfo* OwnerGroupInfo() const { return FGroupInfo; }
  TuiCustomNavBar* Control() const { return FControl; }
  TuiNavBarPainter* OwnerPainter() const { return FPainter; }
  TuiNavBarViewInfo* Layout() const { return FLayout; }
  TuiNavBarItemLink* SourceLink() const { return FLink; }
  TuiNavBarItem* SourceItem() const { return FItem; }
  bool ShowsImage() const { return FShowsImage; }
  bool ShowsText() const { return FShowsText; }

  TRect Bounds{0, 0, 0, 0};
  TRect ImageBounds{0, 0, 0, 0};
  TRect TextBounds{0, 0, 0, 0};

 protected:
  bool UsesSmallImages() const;

 private:
  TuiNavBarGroupViewInfo* FGroupInfo;
  TuiCustomNavBar* FControl;
  TuiNavBarPainter* FPainter;
  TuiNavBarViewInfo* FLayout;
  TuiNavBarItemLink* FLink;
  TuiNavBarItem* FItem;
  TFont* FTextFont;
  bool FShowsImage;
  bool FShowsText;
};

// ---------------------------------------------------------------------------
// Group view information: the layout of one listed group.
class TuiNavBarGroupViewInfo : public TObject {
  QV_CLASS(TuiNavBarGroupViewInfo, TObject)
  TuiNavBarGroupViewInfo(TuiNavBarViewInfo* ALayout, TuiNavBarGroup* AGroup, bool AItemsVisible,
                         bool ACaptionVisible);
  ~TuiNavBarGroupViewInfo() override;
  TuiNavBarGroupViewInfo(const TuiNavBarGroupViewInfo&) = delete;
  TuiNavBarGroupViewInfo& operator=(const TuiNavBarGroupViewInfo&) = delete;

  virtual void UpdateGroupControl();
  virtual void CreateLinksInfo();
  virtual void CalculateBounds(int X, int Y);
  virtual void OffsetBounds(int DX, int DY);
  virtual void StretchBounds(int DX, int DY);
  virtual int GetCaptionHeight();
  virtual UINT GetCaptionDrawTextFlags();
  virtual int GetImageHeight();
  virtual int GetImageWidth();
  virtual TColor GetBorderColor();
  virtual TPicture* GetBackgroundImage();
  virtual TColor GetBackgroundBackColor();
  virtual TColor GetBackgroundBackColor2();
  virtual BYTE GetBackgroundAlphaBlending();
  virtual BYTE GetBackgroundAlphaBlending2();
  virtual TuiBarStyleGradientMode GetBackgroundGradientMode();
  virtual TuiNavBarStyleItem* GetCaptionStyleItem();
  virtual TuiNavBarDefaultStyle* GetCaptionDefaultStyle();
  virtual TPicture* GetCaptionImage();
  virtual TColor GetCaptionBorderColor();
  virtual TColor GetCaptionBackColor();
  virtual TColor GetCaptionBackColor2();
  virtual BYTE GetCaptionAlphaBlending();
  virtual BYTE GetCaptionAlphaBlending2();
  virtual TuiBarStyleGradientMode GetCaptionGradientMode();
  virtual TFont* GetCaptionFont();
  virtual TColor GetCaptionFontColor();
  virtual TColor GetCaptionSignColor();
  virtual TuiBarStyleHAlignment GetCaptionHAlignment();
  virtual TuiBarStyleVAlignment GetCaptionVAlignment();
  virtual TPicture* GetControlImage();
  virtual TColor GetControlBackColor();
  virtual TColor GetControlBackColor2();
  virtual BYTE GetControlAlphaBlending();
  virtual BYTE GetControlAlphaBlending2();
  virtual TuiBarStyleGradientMode GetControlGradientMode();
  virtual int GetImageIndex();
  virtual TCustomImageList* GetImageList();

  TuiNavBarDrawStates GetState();
  bool IsCaptionVisible();
  bool IsItemsVisible();
  bool UsesSmallGroupImages();
  bool UsesSmallLinkImages();
  bool IsIconView();
  // The group's control while it shows it, else null.
  TuiNavBarGroupControl* GetControl();
  TRect GetControlRect();
  bool IsCaptionImageVisible();
  bool IsCaptionSignVisible();
  TuiNavBarLinkViewInfo* FindLinkViewInfo(TuiNavBarItemLink* ALink);
  int IndexOfLinkViewInfo(TuiNavBarLinkViewInfo* AInfo) const;
  int LinkCount() const { return static_cast<int>(FLinkInfos.size()); }
  TuiNavBarLinkViewInfo* LinkInfos(int AIndex) const { return FLinkInfos.at(static_cast<size_t>(AIndex)); }
  TuiNavBarLinkViewInfo* AddLinkViewInfo(TuiNavBarItemLink* ALink, bool AImageVisible, bool ACaptionVisible);
  void ClearLinks();

  TuiNavBarViewInfo* Layout() const { return FLayout; }
  TuiNavBarPainter* OwnerPainter() const { return FPainter; }
  TuiCustomNavBar* Control() const { return FControl; }
  TuiNavBarGroup* SourceGroup() const { return FGroup; }
  bool ShowsCaption() const { return FShowsCaption; }
  bool ShowsItems() const { return FShowsItems; }

  TRect HeaderBounds{0, 0, 0, 0};
  TRect HeaderImageBounds{0, 0, 0, 0};
  TRect HeaderSignBounds{0, 0, 0, 0};
  TRect HeaderTextBounds{0, 0, 0, 0};
  TRect ClientBounds{0, 0, 0, 0};
  TRect Bounds{0, 0, 0, 0};

 private:
  // The value's style: the item's when it is assigned and names the value,
  // else the default style.
  TuiBaseNavBarStyle* captionStyle(TuiBarStyleAssignedValue AValue);
  TuiBaseNavBarStyle* backgroundStyle(TuiBarStyleAssignedValue AValue);
  TuiBaseNavBarStyle* controlStyle(TuiBarStyleAssignedValue AValue);
  bool controlFallsBackToBackground();

  TuiNavBarViewInfo* FLayout;
  TuiNavBarPainter* FPainter;
  TuiCustomNavBar* FControl;
  TuiNavBarGroup* FGroup;
  std::vector<TuiNavBarLinkViewInfo*> FLinkInfos;
  TFont* FHeaderFont;
  bool FShowsCaption;
  bool FShowsItems;
};

// ---------------------------------------------------------------------------
// The view information of the whole bar.
class TuiNavBarViewInfo : public TObject {
  QV_CLASS(TuiNavBarViewInfo, TObject)
  explicit TuiNavBarViewInfo(TuiNavBarPainter* APainter);
  ~TuiNavBarViewInfo() override;
  TuiNavBarViewInfo(const TuiNavBarViewInfo&) = delete;
  TuiNavBarViewInfo& operator=(const TuiNavBarViewInfo&) = delete;

  // Shared resources of a view: acquired on creation, refreshed on theme
  // and system-colour changes, released on destruction.
  virtual void CreateResources() {}
  virtual void RefreshResources() {}
  virtual void ReleaseResources() {}

  // Metrics, in pixels.
  virtual int GroupControlOffset() { return 0; }
  virtual int GroupCaptionHeightAddon() { return 6; }
  virtual int GroupCaptionTextIndent() { return 4; }
  virtual int GroupCaptionImageIndent() { return 0; }
  virtual int DefaultGroupsSpacing() { return 0; }
  virtual int GroupCaptionSignSize() { return 16; }
  virtual int GroupEdgeOffset() { return 0; }
  virtual int LinksAreaMargin() { return 8; }
  virtual int LargeLinkPadding() { return 6; }
  virtual int SmallLinkPadding() { return 6; }
  virtual int ReservedMetric() { return 4; }
  virtual int LinkImageHorzOffset() { return 4; }
  virtual int LinkImageVertOffset() { return 4; }
  virtual int DropTargetMarkHeight() { return 8; }
  virtual int DropTargetMarkIndent() { return 6; }
  virtual int NavigationPaneHeaderHeightAddon() { return 8; }
  virtual int ScrollButtonVertOffset() { return 6; }
  virtual int ScrollButtonHorzOffset() { return 6; }
  virtual int ScrollButtonHeight() { return 16; }
  virtual int ScrollButtonWidth() { return 16; }

  // Switches of the layout.
  virtual bool HasActiveGroup() { return true; }
  virtual bool HasSpecialGroup() { return false; }
  virtual bool HasCaptionScrollButtons() { return false; }
  virtual bool HasGroupCaptionImage() { return false; }
  virtual bool HasGroupCaptionSign() { return false; }
  virtual bool AllowIconView() { return true; }
  virtual bool CanHideGroupCaption() { return false; }
  // Only the active group shows its items in the base.
  virtual bool GroupItemsVisible(TuiNavBarGroup* AGroup);
  virtual bool ExtendCaptionForImage() { return false; }
  virtual bool AllowLargeGroupImages() { return true; }
  virtual bool AllowLargeLinkImages() { return true; }
  virtual bool LinkHitByWholeRect() { return false; }
  virtual void CalculateGroupControls();
  // What a change of the control's bounds asks for.
  virtual TuiNavBarChangeType ResizeChangeType() { return doRecalc; }

  virtual TRect CalculateTopScrollButtonRect();
  virtual TRect CalculateBottomScrollButtonRect();

  virtual void CalculateHint();
  virtual TRect CalculateHintRect();
  virtual std::string GetHintText();
  virtual TRect CalcGroupHintRect(TuiNavBarGroup* AGroup);
  virtual std::string GetGroupHintText(TuiNavBarGroup* AGroup);
  virtual TRect CalcLinkHintRect(TuiNavBarItemLink* ALink);
  virtual std::string GetLinkHintText(TuiNavBarItemLink* ALink);

  virtual bool IsGroupExpanded(TuiNavBarGroup* AGroup) {
    (void)AGroup;
    return false;
  }
  virtual void ToggleGroup(TuiNavBarGroup* AGroup);
  virtual void ExpandGroup(TuiNavBarGroup* AGroup) { (void)AGroup; }
  virtual void CollapseGroup(TuiNavBarGroup* AGroup) { (void)AGroup; }
  virtual void ShowPopupMenu(int X, int Y) {
    (void)X;
    (void)Y;
  }
  virtual void MakeLinkVisible(TuiNavBarItemLink* ALink) { (void)ALink; }
  virtual void MakeGroupVisible(TuiNavBarGroup* AGroup) { (void)AGroup; }

  virtual void CreateGroupsInfo();
  virtual void CalculateBounds();
  virtual void CalculateScrollButtonsBounds();
  virtual void ClearRects();

  // Values of the control's background, scroll buttons, hint, drop
  // targets, navigation-pane header, overflow panel and splitter.
  virtual TPicture* BackgroundImage();
  virtual TColor BackgroundBackColor();
  virtual TColor BackgroundBackColor2();
  virtual BYTE BackgroundAlphaBlending();
  virtual BYTE BackgroundAlphaBlending2();
  virtual TuiBarStyleGradientMode BackgroundGradientMode();
  virtual TColor ButtonBorderColor() { return clNone; }
  virtual TuiNavBarStyleItem* BottomScrollButtonStyleItem();
  virtual TuiNavBarDefaultStyle* BottomScrollButtonDefaultStyle();
  virtual TPicture* BottomScrollButtonImage();
  virtual TColor BottomScrollButtonBackColor();
  virtual TColor BottomScrollButtonBackColor2();
  virtual BYTE BottomScrollButtonAlphaBlending();
  virtual BYTE BottomScrollButtonAlphaBlending2();
  virtual TuiBarStyleGradientMode BottomScrollButtonGradientMode();
  virtual TuiNavBarStyleItem* TopScrollButtonStyleItem();
  virtual TuiNavBarDefaultStyle* TopScrollButtonDefaultStyle();
  virtual TPicture* TopScrollButtonImage();
  virtual TColor TopScrollButtonBackColor();
  virtual TColor TopScrollButtonBackColor2();
  virtual BYTE TopScrollButtonAlphaBlending();
  virtual BYTE TopScrollButtonAlphaBlending2();
  virtual TuiBarStyleGradientMode TopScrollButtonGradientMode();
  virtual TPicture* HintImage();
  virtual TColor HintBackColor();
  virtual TColor HintBackColor2();
  virtual BYTE HintAlphaBlending();
  virtual BYTE HintAlphaBlending2();
  virtual TuiBarStyleGradientMode HintGradientMode();
  virtual TFont* HintFont();
  virtual TColor DropTargetLinkColor();
  virtual TColor DropTargetGroupBackColor();
  virtual TColor DropTargetGroupBackColor2();
  virtual BYTE DropTargetGroupAlphaBlending();
  virtual BYTE DropTargetGroupAlphaBlending2();
  virtual TuiBarStyleGradientMode DropTargetGroupGradientMode();
  virtual TPicture* NavigationPaneHeaderImage();
  virtual TColor NavigationPaneHeaderBackColor();
  virtual TColor NavigationPaneHeaderBackColor2();
  virtual BYTE NavigationPaneHeaderAlphaBlending();
  virtual BYTE NavigationPaneHeaderAlphaBlending2();
  virtual TuiBarStyleGradientMode NavigationPaneHeaderGradientMode();
  virtual TFont* NavigationPaneHeaderFont();
  virtual TColor NavigationPaneHeaderFontColor();
  virtual TuiBarStyleHAlignment NavigationPaneHeaderHAlignment();
  virtual TuiBarStyleVAlignment NavigationPaneHeaderVAlignment();
  virtual TPicture* OverflowPanelImage();
  virtual TColor OverflowPanelBackColor();
  virtual TColor OverflowPanelBackColor2();
  virtual BYTE OverflowPanelAlphaBlending();
  virtual BYTE OverflowPanelAlphaBlending2();
  virtual TuiBarStyleGradientMode OverflowPanelGradientMode();
  virtual TFont* OverflowPanelFont();
  virtual TColor OverflowPanelFontColor();
  virtual TColor SplitterBackColor() { return NavigationPaneHeaderBackColor(); }
  virtual TColor SplitterBackColor2() { return NavigationPaneHeaderBackColor2(); }
  virtual BYTE SplitterAlphaBlending() { return NavigationPaneHeaderAlphaBlending(); }
  virtual BYTE SplitterAlphaBlending2() { return NavigationPaneHeaderAlphaBlending2(); }
  virtual TuiBarStyleGradientMode SplitterGradientMode() { return NavigationPaneHeaderGradientMode(); }

  // The default styles' values of this view, each after a reset.
  virtual void AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultButtonStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultButtonPressedStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultButtonHotTrackedStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultGroupControlStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultGroupHeaderActiveStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultGroupHeaderActiveHotTrackedStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultGroupHeaderActivePressedStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultGroupHeaderHotTrackedStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultGroupHeaderPressedStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultHintStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultItemHotTrackedStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultItemPressedStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultDropTargetGroupStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultDropTargetLinkStyle(TuiBaseNavBarStyle* AStyle);
  virtual void AssignDefaultNavigationPaneHeaderStyle(TuiBaseNavBarStyle* AStyle);
  // The operation of a default-style index (0 to 19).
  void AssignDefaultStyle(int AIndex, TuiBaseNavBarStyle* AStyle);

  // Hit tests, in client coordinates.
  virtual TuiNavBarGroupViewInfo* GetGroupViewInfoAtCaptionPos(const TPoint& P);
  virtual TuiNavBarGroupViewInfo* GetGroupViewInfoAtItemsPos(const TPoint& P);
  virtual TuiNavBarLinkViewInfo* GetLinkViewInfoAtPos(const TPoint& P);
  virtual TuiNavBarLinkViewInfo* GetLinkViewInfoAtSelectedPos(const TPoint& P);
  // The insertion index among the group's links, -1 without a group.
  virtual int GetDropTargetInfo(const TPoint& P, TuiNavBarGroupViewInfo*& AGroupInfo,
                                TuiNavBarLinkViewInfo*& ALinkAfter, TuiNavBarLinkViewInfo*& ALinkBefore);
  virtual int GetIconViewDropTargetInfo(const TPoint& P, TuiNavBarGroupViewInfo* AGroupInfo,
                                        TuiNavBarLinkViewInfo*& ALinkAfter, TuiNavBarLinkViewInfo*& ALinkBefore);

  // The navigation pane's parts; nothing of them in the base.
  virtual bool IsPtNavigationPaneHeader(const TPoint& P) {
    (void)P;
    return false;
  }
  virtual bool IsPtNavigationPaneSplitter(const TPoint& P) {
    (void)P;
    return false;
  }
  virtual bool IsPtNavigationPaneOverflowPanel(const TPoint& P) {
    (void)P;
    return false;
  }
  virtual bool IsSplitterDraggedDown(const TPoint& P) {
    (void)P;
    return false;
  }
  virtual bool IsSplitterDraggedUp(const TPoint& P) {
    (void)P;
    return false;
  }
  virtual bool IsPtNavigationPaneOverflowPanelSign(const TPoint& P) {
    (void)P;
    return false;
  }
  virtual int GetNavigationPaneOverflowPanelItemIndexAtPos(const TPoint& P) {
    (void)P;
    return -1;
  }
  virtual TuiNavBarGroup* GetNavigationPaneOverflowPanelGroupAtPos(const TPoint& P) {
    (void)P;
    return nullptr;
  }
  // The hint delay in milliseconds.
  virtual UINT HintInterval() { return 1000; }

  int GroupCount() const { return static_cast<int>(FGroupInfos.size()); }
  TuiNavBarGroupViewInfo* GroupInfos(int AIndex) const { return FGroupInfos.at(static_cast<size_t>(AIndex)); }
  TuiNavBarGroupViewInfo* AddGroupViewInfo(TuiNavBarGroup* AGroup, bool AItemsVisible, bool ACaptionVisible);
  void RemoveGroupViewInfo(TuiNavBarGroupViewInfo* AInfo);
  void ClearGroups();
  int IndexOfGroupViewInfo(TuiNavBarGroupViewInfo* AInfo) const;
  TuiNavBarGroupViewInfo* FindGroupViewInfo(TuiNavBarGroup* AGroup) const;
  TuiNavBarLinkViewInfo* FindLinkViewInfo(TuiNavBarItemLink* ALink) const;
  TuiNavBarGroupViewInfo* ActiveGroupViewInfo();
  TuiNavBarGroup* GetGroupAtCaptionPos(const TPoint& P);
  TuiNavBarGroup* GetGroupAtItemsPos(const TPoint& P);
  TuiNavBarItemLink* GetLinkAtSelectedPos(const TPoint& P);
  int GetDropTargetLinks(const TPoint& P, TuiNavBarGroup*& AGroup, TuiNavBarItemLink*& ALinkAfter,
                         TuiNavBarItemLink*& ALinkBefore);
  bool IsTopScrollButtonVisible() const;
  bool IsBottomScrollButtonVisible() const;
  bool IsPtTopScrollButton(const TPoint& P) const;
  bool IsPtBottomScrollButton(const TPoint& P) const;
  TuiNavBarDrawStates TopScrollButtonState();
  TuiNavBarDrawStates BottomScrollButtonState();
  int SmallImageHeight();
  int SmallImageWidth();
  int LargeImageHeight();
  int LargeImageWidth();
  int ClientWidth();
  int ClientHeight();
  int GroupsSpacing();
  UINT NavigationPaneHeaderDrawTextFlags();

  TuiNavBarPainter* OwnerPainter() const { return FPainter; }
  TuiCustomNavBar* Control() const { return FControl; }
  const std::string& CurrentHint() const { return FCurrentHint; }
  const TRect& CurrentHintBounds() const { return FCurrentHintBounds; }
  const TRect& UpButtonBounds() const { return FUpButtonBounds; }
  const TRect& DownButtonBounds() const { return FDownButtonBounds; }

 protected:
  // The style that gives a value: the item's when it is assigned and its
  // AssignedValues hold the value, else the default style.
  static TuiBaseNavBarStyle* StyleFor(TuiNavBarStyleItem* AItem, TuiNavBarDefaultStyle* ADefault,
                                      TuiBarStyleAssignedValue AValue);
  TuiNavBarDefaultStyle* DefaultStyle(int AIndex);
  // A hint's text measured with word breaks in the hint font, as wide as
  // the client area, with a margin of 6; and a rectangle moved to 20 pixels
  // right of the hot point on the screen.
  TRect MeasureHint(const std::string& AText);
  TRect HintRectAtHotPoint(TRect R);

  std::string FCurrentHint;
  TRect FCurrentHintBounds{0, 0, 0, 0};
  TRect FUpButtonBounds{0, 0, 0, 0};
  TRect FDownButtonBounds{0, 0, 0, 0};

 private:
  TuiBaseNavBarStyle* buttonStyle(bool ATop, TuiBarStyleAssignedValue AValue);

  TuiNavBarPainter* FPainter;
  TuiCustomNavBar* FControl;
  std::vector<TuiNavBarGroupViewInfo*> FGroupInfos;
  TFont* FPaneHeaderFont;
};

// ---------------------------------------------------------------------------
// The painter of a view.

// Declares a view painter class: its class-library identity and its
// painter class, which makes painters of it. First line of the class body.
#define UI_NAVBAR_PAINTER_CLASS(Name, Parent)                                                        \
  QV_CLASS(Name, Parent)                                                                             \
  static TuiNavBarPainterClass PainterClass() {                                                      \
    static const TuiNavBarPainterClassInfo info{                                                     \
        Name::StaticClass(), [](TuiCustomNavBar* ANavBar) -> TuiNavBarPainter* {                       \
          Name* painter = new Name(ANavBar);                                                           \
          painter->AfterConstruction();                                                                \
          return painter;                                                                              \
        }};                                                                                            \
    return &info;                                                                                    \
  }

class TuiNavBarPainter : public TPersistent {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarPainter, TPersistent)
  // All three pending flags are set. The view information comes from
  // AfterConstruction, where CreateViewInfo reaches the view's own override;
  // painters are made through their class (PainterClass()->Create), which
  // calls it.
  explicit TuiNavBarPainter(TuiCustomNavBar* ANavBar);
  // Makes the view information once.
  void AfterConstruction();
  ~TuiNavBarPainter() override;
  TuiNavBarPainter(const TuiNavBarPainter&) = delete;
  TuiNavBarPainter& operator=(const TuiNavBarPainter&) = delete;

  // A look and feel of the view's own, for view 14 and above.
  virtual TlkLookAndFeel* GetLookAndFeel() { return nullptr; }
  virtual TuiNavBarViewInfo* CreateViewInfo();
  virtual TuiNavBarGroupViewInfo* CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo, TuiNavBarGroup* AGroup,
                                                      bool AItemsVisible, bool ACaptionVisible);
  virtual TuiNavBarLinkViewInfo* CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo, TuiNavBarItemLink* ALink,
                                                    bool AImageVisible, bool ACaptionVisible);
  virtual TuiBaseBackgroundPainterClass BackgroundPainterClass();
  virtual TuiBaseButtonPainterClass ButtonPainterClass();
  virtual TuiBaseDropTargetGroupPainterClass DropTargetGroupPainterClass();
  virtual TuiBaseDropTargetLinkPainterClass DropTargetLinkPainterClass();
  virtual TuiBaseGroupBackgroundPainterClass GroupBackgroundPainterClass();
  virtual TuiBaseGroupBorderPainterClass GroupBorderPainterClass();
  virtual TuiBaseImagePainterClass ImagePainterClass();
  virtual TuiBaseScrollButtonsPainterClass ScrollButtonsPainterClass();
  virtual TuiBaseSelectionPainterClass SelectionPainterClass();
  virtual TuiBaseSignPainterClass SignPainterClass();

  virtual void DrawNavBarControl();
  virtual void DrawBackground();
  virtual void DrawGroup(TuiNavBarGroupViewInfo* AGroupInfo);
  virtual void DrawGroupBackground(TuiNavBarGroupViewInfo* AGroupInfo);
  virtual void DrawGroupBorder(TuiNavBarGroupViewInfo* AGroupInfo);
  virtual void DrawGroupCaption(TuiNavBarGroupViewInfo* AGroupInfo);
  virtual void DrawGroupCaptionButton(TuiNavBarGroupViewInfo* AGroupInfo);
  virtual void DrawGroupCaptionText(TuiNavBarGroupViewInfo* AGroupInfo);
  virtual void DrawGroupCaptionImage(TuiNavBarGroupViewInfo* AGroupInfo);
  virtual void DrawGroupCaptionSign(TuiNavBarGroupViewInfo* AGroupInfo);
  // From a group control's own painting: its canvas and rectangle.
  virtual void DrawGroupControl(TCanvas* ACanvas, const TRect& ARect, TuiNavBarGroupViewInfo* AGroupInfo);
  virtual void DrawGroupItems(TuiNavBarGroupViewInfo* AGroupInfo);
  virtual void DrawLink(TuiNavBarLinkViewInfo* ALinkInfo);
  virtual void DrawLinkCaption(TuiNavBarLinkViewInfo* ALinkInfo);
  virtual void DrawLinkImage(TuiNavBarLinkViewInfo* ALinkInfo);
  virtual void DrawLinkSelection(TuiNavBarLinkViewInfo* ALinkInfo);
  virtual void DrawScrollButtons();
  virtual void DrawBottomScrollButton();
  virtual void DrawTopScrollButton();
  virtual void DrawDropTargetGroupSelection();
  virtual void DrawDropTargetLinkSelection();
  virtual void DrawHintWindow();
  virtual void DrawGroupHintWindow();
  virtual void DrawLinkHintWindow();

  // doRecreate: recreate, recalculate and redraw; doRecalc: recalculate and
  // redraw; doRedraw: redraw.
  void InvalidateViewInfo(TuiNavBarChangeType AType);
  // Does what is pending into the back buffer, unless the bar is locked;
  // the flags stay pending until the work is done.
  void Prepare();
  // Prepare, then the back buffer to the control's canvas in one copy.
  void Paint();
  void InvalidateScrollButtons();
  bool IsViewInfoValid() const { return !FRelayoutPending; }
  bool RebuildPending() const { return FRebuildPending; }
  bool RelayoutPending() const { return FRelayoutPending; }
  bool RepaintPending() const { return FRepaintPending; }

  TuiCustomNavBar* NavBar() const { return FNavBar; }
  TuiNavBarViewInfo* ViewInfo() const { return FViewInfo; }
  TCanvas* Canvas() const;
  HDC DC() const;
  TCanvas* HintCanvas() const;
  HDC HintDC() const;

 protected:
  TPersistent* GetOwner() const override;
  // The standard hint box with the hint style's values, on the hint window.
  void DrawStandardHint(const std::string& AHint, const TRect& R);

 private:
  TuiCustomNavBar* FNavBar;
  TuiNavBarViewInfo* FViewInfo = nullptr;
  bool FRebuildPending = true;
  bool FRelayoutPending = true;
  bool FRepaintPending = true;
};

// ---------------------------------------------------------------------------
// The scroll bar adapter: the bar's look-and-feel scroll bar, its range in
// the platform's scroll-information layout, and its scroll positions.
using TuiNavBarScrollEvent = std::function<void(TObject* Sender, TScrollCode AScrollCode, int& AScrollPos)>;

class TuiNavBarScrollBar : public TObject {
  QV_CLASS(TuiNavBarScrollBar, TObject)
  TuiNavBarScrollBar(TuiCustomNavBar* AParent, TScrollBarKind AKind);
  ~TuiNavBarScrollBar() override;
  TuiNavBarScrollBar(const TuiNavBarScrollBar&) = delete;
  TuiNavBarScrollBar& operator=(const TuiNavBarScrollBar&) = delete;

  // Range 0 to 100, page and position 0, hidden.
  void Reset();
  // EInvalidOperation for max below min or below page; the position is
  // kept within [min, max - page].
  void SetScrollParams(int AMin, int AMax, bool ARedraw, int APage, int APosition);
  void SetPosition(int Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Page() const { return FPage; }
  int Position() const { return FPosition; }
  int Width() const;
  int Height() const;
  TScrollBarKind Kind() const { return FKind; }
  TlkScrollBar* ScrollBar() const { return FScrollBar; }
  // The scroll code applied to the position; OnScroll hears the unclamped
  // position.
  void Scroll(TObject* Sender, TScrollCode AScrollCode, int& AScrollPos);

  int SmallChange = 1;
  int LargeChange = 1;
  TuiNavBarScrollEvent OnScroll;

 private:
  TuiCustomNavBar* FParent;
  TlkScrollBar* FScrollBar;
  int FMin = 0, FMax = 100, FPage = 0, FPosition = 0, FTrackPos = 0;
  bool FVisible = false;
  TScrollBarKind FKind;
};

// ---------------------------------------------------------------------------
// The bar's own hint: a borderless pop-up that the mouse passes through,
// drawn by the bar's painter.
class TuiNavBarHintWindow : public TCustomControl {
  QV_CLASS(TuiNavBarHintWindow, TCustomControl)
  explicit TuiNavBarHintWindow(TComponent* AOwner);

  // The text in ARect (screen coordinates), kept on the desktop's work
  // area, topmost and without activation.
  void ShowHint(const TRect& ARect, const std::string& AText);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
};

// ---------------------------------------------------------------------------
// The control.

enum TuiNavBarDragDropFlag { fAllowDragLink, fAllowDropLink, fAllowDragGroup, fAllowDropGroup };
QV_ENUM_TYPE(TuiNavBarDragDropFlag, fAllowDragLink, fAllowDropLink, fAllowDragGroup, fAllowDropGroup)
using TuiNavBarDragDropFlags = TSet<TuiNavBarDragDropFlag>;

using TuiNavBarGroupEvent = std::function<void(TObject* Sender, TuiNavBarGroup* AGroup)>;
using TuiNavBarLinkEvent = std::function<void(TObject* Sender, TuiNavBarItemLink* ALink)>;
using TuiNavBarGroupChangingEvent =
    std::function<void(TObject* Sender, TuiNavBarGroup* ANewGroup, bool& AAllowChange)>;
using TuiNavBarCustomDrawEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TuiNavBarViewInfo* AViewInfo, bool& AHandled)>;
using TuiNavBarCustomDrawGroupEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TuiNavBarGroupViewInfo* AViewInfo, bool& AHandled)>;
using TuiNavBarCustomDrawLinkEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TuiNavBarLinkViewInfo* AViewInfo, bool& AHandled)>;
using TuiNavBarCustomDrawGroupHintEvent = std::function<void(
    TObject* Sender, TCanvas* ACanvas, TuiNavBarGroup* AGroup, const std::string& AHint, TRect R, bool& AHandled)>;
using TuiNavBarCustomDrawLinkHintEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TuiNavBarItemLink* ALink,
                                                            const std::string& AHint, TRect R, bool& AHandled)>;
using TuiNavBarCalcGroupClientHeightEvent =
    std::function<void(TObject* Sender, TuiNavBarGroupViewInfo* AViewInfo, int& AHeight)>;
using TuiNavBarCalcGroupHintRectEvent =
    std::function<void(TObject* Sender, TuiNavBarGroup* AGroup, TuiNavBarViewInfo* AViewInfo, TRect& R)>;
using TuiNavBarCalcLinkHintRectEvent =
    std::function<void(TObject* Sender, TuiNavBarItemLink* ALink, TuiNavBarViewInfo* AViewInfo, TRect& R)>;
using TuiNavBarGetGroupHintEvent = std::function<void(TObject* Sender, TuiNavBarGroup* AGroup, std::string& AHint)>;
using TuiNavBarGetLinkHintEvent = std::function<void(TObject* Sender, TuiNavBarItemLink* ALink, std::string& AHint)>;

// The cursors the unit loads into the screen's cursor table.
constexpr TCursor nbDragCursor = -1120;
constexpr TCursor nbDragCopyCursor = -1119;
constexpr TCursor nbLinksCursor = -1118;

// A navigation bar layout that cannot be read back, or a bar whose layout
// an INI store cannot keep.
QV_EXCEPTION(EuiNavBarLayoutError, Exception);

class TuiDragObject;

class TuiCustomNavBar : public TCustomPanel, public IuiNavBarOwner {
  QV_CLASS(TuiCustomNavBar, TCustomPanel)
  explicit TuiCustomNavBar(TComponent* AOwner);
  ~TuiCustomNavBar() override;

  // --- IuiNavBarOwner
  TWinControl* NavBarControl() override { return this; }
  TuiNavBarGroups* NavBarGroups() override { return FGroups; }
  TuiNavBarItems* NavBarItems() override { return FItems; }
  TuiNavBarStyles* NavBarStyles() override { return FStyles; }
  bool AllowSelectLinks() const override { return FAllowSelectLinks; }
  bool EachGroupHasSelectedLink() const override { return FEachGroupHasSelectedLink; }
  TuiNavBarGroup* GetActiveGroup() override;
  void SetActiveGroup(TuiNavBarGroup* Value) override;
  void AssignViewDefaultStyle(int AIndex, TuiBaseNavBarStyle* AStyle) override;
  void DrawGroupControlBackground(TuiNavBarGroup* AGroup, TCanvas* ACanvas) override;

  // --- properties
  TuiNavBarGroups* Groups() const { return FGroups; }
  TuiNavBarItems* Items() const { return FItems; }
  TuiNavBarStyles* Styles() const { return FStyles; }
  TuiNavBarDefaultStyles* DefaultStyles() const { return FDefaultStyles; }
  void SetDefaultStyles(TuiNavBarDefaultStyles* Value) { FDefaultStyles->Assign(Value); }
  int ActiveGroupIndex();
  void SetActiveGroupIndex(int Value);
  void SetAllowSelectLinks(bool Value);
  void SetEachGroupHasSelectedLink(bool Value);
  TCursor DragCopyCursor() const { return FDragCopyCursor; }
  void SetDragCopyCursor(TCursor Value) { FDragCopyCursor = Value; }
  TuiNavBarDragDropFlags DragDropFlags() const { return FDragDropFlags; }
  void SetDragDropFlags(TuiNavBarDragDropFlags Value) { FDragDropFlags = Value; }
  TCursor HotTrackedGroupCursor() const { return FHotTrackedGroupCursor; }
  void SetHotTrackedGroupCursor(TCursor Value) { FHotTrackedGroupCursor = Value; }
  TCursor HotTrackedLinkCursor() const { return FHotTrackedLinkCursor; }
  void SetHotTrackedLinkCursor(TCursor Value) { FHotTrackedLinkCursor = Value; }
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* Value);
  TCustomImageList* SmallImages() const { return FSmallImages; }
  void SetSmallImages(TCustomImageList* Value);
  int NavigationPaneMaxVisibleGroups() const { return FNavigationPaneMaxVisibleGroups; }
  void SetNavigationPaneMaxVisibleGroups(int Value);
  bool NavigationPaneOverflowPanelUseSmallImages() const { return FNavigationPaneOverflowPanelUseSmallImages; }
  void SetNavigationPaneOverflowPanelUseSmallImages(bool Value);
  bool ShowGroupCaptions() const { return FShowGroupCaptions; }
  void SetShowGroupCaptions(bool Value);
  bool ShowGroupsHint() const { return FShowGroupsHint; }
  void SetShowGroupsHint(bool Value) { FShowGroupsHint = Value; }
  bool ShowLinksHint() const { return FShowLinksHint; }
  void SetShowLinksHint(bool Value) { FShowLinksHint = Value; }
  bool ShowNavigationPaneOverflowPanelHints() const { return FShowNavigationPaneOverflowPanelHints; }
  void SetShowNavigationPaneOverflowPanelHints(bool Value) { FShowNavigationPaneOverflowPanelHints = Value; }
  bool ShowSpecialGroup() const { return FShowSpecialGroup; }
  void SetShowSpecialGroup(bool Value);
  int SpaceBetweenGroups() const { return FSpaceBetweenGroups; }
  void SetSpaceBetweenGroups(int Value);
  // The control-wide style items (index order of StyleNames).
  static constexpr int ControlStyleCount = 8;
  static constexpr const char* StyleNames[ControlStyleCount] = {
      "StyleBackground", "StyleHint",           "StyleDropTargetGroup", "StyleDropTargetLink",
      "StyleButton",     "StyleButtonHotTracked", "StyleButtonPressed", "StyleNavigationPaneHeader"};
  TuiNavBarStyleItem* StyleItem(int AIndex) const { return FControlStyles[AIndex]; }
  void SetStyleItem(int AIndex, TuiNavBarStyleItem* Value);
  TuiNavBarStyleItem* StyleBackground() const { return FControlStyles[0]; }
  TuiNavBarStyleItem* StyleHint() const { return FControlStyles[1]; }
  TuiNavBarStyleItem* StyleDropTargetGroup() const { return FControlStyles[2]; }
  TuiNavBarStyleItem* StyleDropTargetLink() const { return FControlStyles[3]; }
  TuiNavBarStyleItem* StyleButton() const { return FControlStyles[4]; }
  TuiNavBarStyleItem* StyleButtonHotTracked() const { return FControlStyles[5]; }
  TuiNavBarStyleItem* StyleButtonPressed() const { return FControlStyles[6]; }
  TuiNavBarStyleItem* StyleNavigationPaneHeader() const { return FControlStyles[7]; }
  int View() const { return FView; }
  void SetView(int Value);
  // The painter of the view, made when there is none.
  TuiNavBarPainter* ViewStyle() { return GetPainter(); }
  // Takes the painter over; none sets View to 0.
  void SetViewStyle(TuiNavBarPainter* Value);
  bool Locked() const { return FLockCount > 0; }
  void SetLocked(bool Value);

  // --- state
  TuiNavBarPainter* GetPainter();
  TuiNavBarViewInfo* GetViewInfo();
  void InvalidateAll(TuiNavBarChangeType AType);
  void InvalidateScrollButtons();
  TBitmap* BackBuffer() const { return FBackBuffer; }
  TuiNavBarHintWindow* HintWindow() const { return FHintWindow; }
  bool HintShown() const { return FHintShown; }
  TuiNavBarScrollBar* ScrollBar() const { return FScrollBar; }
  // What the layout subtracts from its content: the adapter's position
  // while it is visible.
  int ScrollPosition() const;
  TlkTimer* DragOverActivationTimer() const { return FActivateGroupTimer; }
  TlkTimer* ScrollTimer() const { return FScrollTimer; }
  TlkTimer* HintTimer() const { return FHintTimer; }

  const TPoint& HotPoint() const { return FHotPoint; }
  const TPoint& DownPoint() const { return FDownPoint; }
  TuiNavBarGroup* SourceGroup() const { return FSourceGroup; }
  TuiNavBarItemLink* SourceLink() const { return FSourceLink; }
  TuiNavBarGroup* PressedGroup() const { return FPressedGroup; }
  TuiNavBarItemLink* PressedLink() const { return FPressedLink; }
  TuiNavBarGroup* HotTrackedGroup() const { return FHotTrackedGroup; }
  TuiNavBarItemLink* HotTrackedLink() const { return FHotTrackedLink; }
  int HotTrackedOverflowItemIndex() const { return FHotTrackedOverflowItemIndex; }
  int PressedOverflowItemIndex() const { return FPressedOverflowItemIndex; }
  bool OverflowSignHotTracked() const { return FOverflowSignHotTracked; }
  bool OverflowSignPressed() const { return FOverflowSignPressed; }
  bool TopScrollButtonPressed() const { return FTopScrollButtonPressed; }
  bool BottomScrollButtonPressed() const { return FBottomScrollButtonPressed; }
  bool SplitterDragging() const { return FSplitterDragging; }
  bool DragStarted() const { return FDragStarted; }
  TuiNavBarGroup* DragOverTargetGroup() const { return FDragOverTargetGroup; }

  // --- drag and drop
  // A navigation-bar drag runs (in any bar) or this bar has started one.
  bool IsDragging() const;
  // While dragging what the drag carries, otherwise what was pressed.
  TuiNavBarGroup* DraggedGroup() const;
  TuiNavBarItemLink* DraggedLink() const;
  // Only while dragging: the item the drag carries, or with Ctrl held the
  // dragged link's item (the drop then copies the link).
  TuiNavBarItem* DraggedItem() const;
  // Where the drop would land: none, none and -1 when no drag runs.
  TuiNavBarGroup* TargetGroup() const;
  int TargetLinkIndex() const;
  TuiNavBarItemLink* TargetLinkBefore() const;
  TuiNavBarItemLink* TargetLinkAfter() const;
  // The drop (the drag machinery calls it on the control under the cursor).
  void DragDrop(TObject* Source, int X, int Y) override;

  // Hit tests for a client point.
  TuiNavBarGroup* GetGroupAtCaptionPos(const TPoint& P);
  TuiNavBarGroup* GetGroupAtItemsPos(const TPoint& P);
  TuiNavBarItemLink* GetLinkAtSelectedPos(const TPoint& P);
  bool IsPtTopScrollButton(const TPoint& P);
  bool IsPtBottomScrollButton(const TPoint& P);
  bool IsPtNavigationPaneSplitter(const TPoint& P);
  bool IsPtNavigationPaneOverflowPanel(const TPoint& P);

  // The groups whose Visible is on.
  int GetVisibleGroupCount();
  // How many of them NavigationPaneMaxVisibleGroups leaves without a large
  // button: none while loading or without a limit (-1).
  int GetHiddenGroupCount();

  // --- class library
  TRect ClientRect() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Invalidate() override;
  void InitiateAction() override;
  void GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root) override;

  // --- layout storage
  // Writes the view, the items, the groups with their links, the active
  // group and the navigation pane's group count into the sections "Layout",
  // "Item"n and "Group"n; with AStoreStyles also the user styles ("Style"n)
  // and every style property that names one of them. The sections a layout
  // is made of are erased first, other sections stay. A text that an INI
  // line cannot hold (a line break) raises EuiNavBarLayoutError before
  // anything is written.
  virtual void SaveToIniFile(TCustomIniFile* AStorage, bool AStoreStyles = true);
  // Reads such a layout back. The whole layout is read and checked first
  // and applied only when all of it reads: a damaged one raises
  // EuiNavBarLayoutError and leaves the bar as it was. Links name the
  // stored items, whichever bar item each of those turns out to be.
  virtual void LoadFromIniFile(TCustomIniFile* AStorage, bool ALoadStyles = true);

  // --- events
  TNotifyEvent OnActiveGroupChanged;
  TuiNavBarGroupChangingEvent OnActiveGroupChanging;
  TuiNavBarCalcGroupClientHeightEvent OnCalcGroupClientHeight;
  TuiNavBarCalcGroupHintRectEvent OnCalcGroupHintRect;
  TuiNavBarCalcGroupHintRectEvent OnCalcNavigationPaneOverflowPanelHintRect;
  TuiNavBarCalcLinkHintRectEvent OnCalcLinkHintRect;
  TuiNavBarCustomDrawEvent OnCustomDrawBackground;
  TuiNavBarCustomDrawGroupEvent OnCustomDrawGroupCaption;
  TuiNavBarCustomDrawGroupEvent OnCustomDrawGroupClientBackground;
  TuiNavBarCustomDrawGroupEvent OnCustomDrawGroupClientForeground;
  TuiNavBarCustomDrawGroupHintEvent OnCustomDrawGroupHint;
  TuiNavBarCustomDrawLinkEvent OnCustomDrawLink;
  TuiNavBarCustomDrawLinkHintEvent OnCustomDrawLinkHint;
  TuiNavBarCustomDrawEvent OnCustomDrawBottomScrollButton;
  TuiNavBarCustomDrawEvent OnCustomDrawTopScrollButton;
  TuiNavBarCustomDrawEvent OnCustomDrawNavigationPaneHeader;
  TuiNavBarCustomDrawEvent OnCustomDrawNavigationPaneSplitter;
  TuiNavBarCustomDrawEvent OnCustomDrawNavigationPaneOverflowPanel;
  TuiNavBarCustomDrawGroupHintEvent OnCustomDrawNavigationPaneOverflowPanelHint;
  TuiNavBarGetGroupHintEvent OnGetGroupHint;
  TuiNavBarGetLinkHintEvent OnGetLinkHint;
  TuiNavBarGroupEvent OnGroupClick;
  TuiNavBarGroupEvent OnGroupHotTrack;
  TuiNavBarGroupEvent OnGroupPress;
  TuiNavBarLinkEvent OnLinkClick;
  TuiNavBarLinkEvent OnLinkHotTrack;
  TuiNavBarLinkEvent OnLinkPress;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

 protected:
  virtual void DoActiveGroupChanged();
  virtual void DoGroupDragDrop(TuiNavBarGroup* AGroup);
  virtual void DoGroupDragOver(TuiNavBarGroup* AGroup, bool& AAccept);
  virtual void DoGroupHotTrack(TuiNavBarGroup* AGroup);
  virtual void DoGroupMouseDown(TuiNavBarGroup* AGroup);
  virtual void DoGroupMouseUp(TuiNavBarGroup* AGroup);
  virtual void DoLinkDragDrop(TuiNavBarItemLink* ALink);
  virtual void DoLinkDragOver(TuiNavBarItemLink* ALink, bool& AAccept);
  virtual void DoLinkHotTrack(TuiNavBarItemLink* ALink);
  virtual void DoLinkMouseDown(TuiNavBarItemLink* ALink);
  virtual void DoLinkMouseUp(TuiNavBarItemLink* ALink);
  virtual void DoItemDragDrop(TuiNavBarItem* AItem);
  virtual void DoItemDragOver(TuiNavBarItem* AItem, bool& AAccept);
  virtual void DoBottomScrollButtonDown();
  virtual void DoBottomScrollButtonUp();
  virtual void DoTopScrollButtonDown();
  virtual void DoTopScrollButtonUp();
  virtual void StartOverflowPanelHint();
  virtual void StartGroupHint();
  virtual void StartLinkHint();
  virtual void HideHint();
  // The navigation pane's splitter and overflow panel. Views without them
  // never report either, so these never run there.
  virtual void DoOverflowPanelMouseDown();
  virtual void DoOverflowPanelMouseMove();
  virtual void DoOverflowPanelMouseUp();
  virtual void DoSplitterMouseDown();
  // One group more or fewer per move that passes the view's threshold.
  virtual void DoSplitterDrag();
  virtual void DoSplitterMouseUp();
  virtual void UpdateScrollBarLookAndFeel();
  virtual TuiNavBarPainter* CreatePainter();
  virtual TClass GetGroupClass() { return TuiNavBarGroup::StaticClass(); }
  virtual TClass GetItemClass() { return TuiNavBarItem::StaticClass(); }
  // A drag of the source group or link begins (the drag machinery takes
  // it from here).
  virtual void StartDragging();
  // The drag machinery's hooks.
  void DoStartDrag(TDragObject*& DragObject) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DoEndDrag(TObject* Target, int X, int Y) override;
  // The drag is over: its navigation-bar drag object goes and the bar is
  // idle again.
  void EndDragging();

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetName(const std::string& NewName) override;
  void WndProc(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TCMMouseEnter& Message) override;
  void CMMouseLeave(TCMMouseLeave& Message) override;
  void CMSysColorChange(TMessage& Message) override;
  void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
  void WMSetCursor(TWMSetCursor& Message) override;

  // Events of the collections.
  void GroupsChanged(TObject* Sender, TlkComponentCollectionItem* AItem, TlkCollectionChangeAction AAction);
  void ItemsChanged(TObject* Sender, TlkComponentCollectionItem* AItem, TlkCollectionChangeAction AAction);
  void StylesChanged(TObject* Sender, TlkComponentCollectionItem* AItem, TlkCollectionChangeAction AAction);
  void LinksChanged(TObject* Sender, TuiNavBarItemLink* ALink);
  void DefaultStylesChanged(TObject* Sender, TuiNavBarChangeType AType);

 private:
  void hintTimerTick(TObject* Sender);
  void scrollTimerTick(TObject* Sender);
  void activateGroupTimerTick(TObject* Sender);
  void scrollBarScroll(TObject* Sender, TScrollCode AScrollCode, int& AScrollPos);
  void imagesChanged(TObject* Sender);
  void themeChanged();
  bool handleWheel(TMessage& Message);
  bool destroying() const { return ComponentState().Contains(csDestroying); }
  bool loading() const { return ComponentState().Contains(csLoading); }
  bool canRaiseEvents() const { return !loading() && !destroying(); }
  void startHintTimer();
  void forget(TComponent* AComponent);
  void forgetLink(TuiNavBarItemLink* ALink);
  // Drags that this bar may act on: its own (the target is computed on the
  // source bar).
  bool ownsDrag() const;
  bool dragOverButtonsAndCaptions();
  void dropPressedLook();
  void endDragOnDestroy();

  TBitmap* FBackBuffer;
  TuiNavBarDefaultStyles* FDefaultStyles = nullptr;
  TuiNavBarHintWindow* FHintWindow = nullptr;
  bool FHintShown = false;
  TuiNavBarGroups* FGroups = nullptr;
  TuiNavBarItems* FItems = nullptr;
  TChangeLink* FLargeChangeLink = nullptr;
  TChangeLink* FSmallChangeLink = nullptr;
  TuiNavBarPainter* FPainter = nullptr;
  TuiNavBarScrollBar* FScrollBar = nullptr;
  TuiNavBarStyles* FStyles = nullptr;
  TuiThemeChangedNotificator* FThemeNotificator = nullptr;
  TlkTimer* FActivateGroupTimer = nullptr;
  TlkTimer* FScrollTimer = nullptr;
  TlkTimer* FHintTimer = nullptr;
  TuiNavBarGroup* FActiveGroup = nullptr;
  int FLoadedActiveGroupIndex = -1;
  bool FLoadedActiveGroupIndexSet = false;

  TPoint FHotPoint{-1, -1};
  TPoint FDownPoint{0, 0};
  TShiftState FDownShift;
  TuiNavBarGroup* FSourceGroup = nullptr;
  TuiNavBarItemLink* FSourceLink = nullptr;
  TuiNavBarGroup* FPressedGroup = nullptr;
  TuiNavBarItemLink* FPressedLink = nullptr;
  TuiNavBarGroup* FHotTrackedGroup = nullptr;
  TuiNavBarItemLink* FHotTrackedLink = nullptr;
  int FHotTrackedOverflowItemIndex = -1;
  int FPressedOverflowItemIndex = -1;
  bool FOverflowSignHotTracked = false;
  bool FOverflowSignPressed = false;
  bool FTopScrollButtonPressed = false;
  bool FBottomScrollButtonPressed = false;
  bool FSplitterDragging = false;
  bool FDragStarted = false;
  TuiNavBarGroup* FDragOverTargetGroup = nullptr;
  TuiDragObject* FDragObject = nullptr;
  int FLockCount = 0;
  bool FInWheel = false;

  bool FAllowSelectLinks = false;
  bool FEachGroupHasSelectedLink = false;
  TCursor FDragCopyCursor = nbDragCopyCursor;
  TuiNavBarDragDropFlags FDragDropFlags{fAllowDragLink, fAllowDropLink, fAllowDragGroup, fAllowDropGroup};
  TCursor FHotTrackedGroupCursor = crDefault;
  TCursor FHotTrackedLinkCursor = nbLinksCursor;
  TCustomImageList* FLargeImages = nullptr;
  TCustomImageList* FSmallImages = nullptr;
  int FNavigationPaneMaxVisibleGroups = -1;
  bool FNavigationPaneOverflowPanelUseSmallImages = true;
  bool FShowGroupCaptions = true;
  bool FShowGroupsHint = false;
  bool FShowLinksHint = false;
  bool FShowNavigationPaneOverflowPanelHints = true;
  bool FShowSpecialGroup = false;
  int FSpaceBetweenGroups = 0;
  TuiNavBarStyleItem* FControlStyles[ControlStyleCount] = {};
  int FView = 0;
};

// The navigation bar as forms stream it.
class TuiNavBar : public TuiCustomNavBar {
  QV_CLASS(TuiNavBar, TuiCustomNavBar)
  explicit TuiNavBar(TComponent* AOwner) : TuiCustomNavBar(AOwner) {}

  QV_PUBLISHED(TuiNavBar) {
    using N = TuiNavBar;
    P.Prop("Locked", &N::Locked, &N::SetLocked).Default(false);
    P.Prop("ActiveGroupIndex", &N::ActiveGroupIndex, &N::SetActiveGroupIndex).Stored(&N::alwaysStored);
    P.Prop("AllowSelectLinks", &N::AllowSelectLinks, &N::SetAllowSelectLinks).Default(false);
    P.Prop("DefaultStyles", &N::DefaultStyles, &N::SetDefaultStyles);
    P.Prop("DragCopyCursor", &N::DragCopyCursor, &N::SetDragCopyCursor).Ident("TCursor").Default(nbDragCopyCursor);
    // Stored always: the class library's default is another cursor.
    P.Prop("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Ident("TCursor").Stored(&N::alwaysStored);
    P.Prop("DragDropFlags", &N::DragDropFlags, &N::SetDragDropFlags)
        .Default(TuiNavBarDragDropFlags{fAllowDragLink, fAllowDropLink, fAllowDragGroup, fAllowDropGroup});
    P.Prop("EachGroupHasSelectedLink", &N::EachGroupHasSelectedLink, &N::SetEachGroupHasSelectedLink)
        .Default(false);
    P.Prop("HotTrackedGroupCursor", &N::HotTrackedGroupCursor, &N::SetHotTrackedGroupCursor)
        .Ident("TCursor")
        .Default(crDefault);
    P.Prop("HotTrackedLinkCursor", &N::HotTrackedLinkCursor, &N::SetHotTrackedLinkCursor)
        .Ident("TCursor")
        .Default(nbLinksCursor);
    P.Prop("LargeImages", &N::LargeImages, &N::SetLargeImages);
    P.Prop("NavigationPaneMaxVisibleGroups", &N::NavigationPaneMaxVisibleGroups,
           &N::SetNavigationPaneMaxVisibleGroups)
        .Default(-1);
    P.Prop("NavigationPaneOverflowPanelUseSmallImages", &N::NavigationPaneOverflowPanelUseSmallImages,
           &N::SetNavigationPaneOverflowPanelUseSmallImages)
        .Default(true);
    P.Prop("ShowGroupCaptions", &N::ShowGroupCaptions, &N::SetShowGroupCaptions).Default(true);
    P.Prop("ShowGroupsHint", &N::ShowGroupsHint, &N::SetShowGroupsHint).Default(false);
    P.Prop("ShowLinksHint", &N::ShowLinksHint, &N::SetShowLinksHint).Default(false);
    P.Prop("ShowNavigationPaneOverflowPanelHints", &N::ShowNavigationPaneOverflowPanelHints,
           &N::SetShowNavigationPaneOverflowPanelHints)
        .Default(true);
    P.Prop("ShowSpecialGroup", &N::ShowSpecialGroup, &N::SetShowSpecialGroup).Default(false);
    P.Prop("SmallImages", &N::SmallImages, &N::SetSmallImages);
    P.Prop("SpaceBetweenGroups", &N::SpaceBetweenGroups, &N::SetSpaceBetweenGroups).Default(0);
    publishStyles(P, std::make_integer_sequence<int, ControlStyleCount>{});
    P.Prop("View", &N::View, &N::SetView).Stored(&N::alwaysStored);
    P.Event("OnActiveGroupChanged", &N::OnActiveGroupChanged);
    P.Event("OnActiveGroupChanging", &N::OnActiveGroupChanging);
    P.Event("OnCalcGroupClientHeight", &N::OnCalcGroupClientHeight);
    P.Event("OnCalcGroupHintRect", &N::OnCalcGroupHintRect);
    P.Event("OnCalcNavigationPaneOverflowPanelHintRect", &N::OnCalcNavigationPaneOverflowPanelHintRect);
    P.Event("OnCalcLinkHintRect", &N::OnCalcLinkHintRect);
    P.Event("OnCustomDrawBackground", &N::OnCustomDrawBackground);
    P.Event("OnCustomDrawGroupCaption", &N::OnCustomDrawGroupCaption);
    P.Event("OnCustomDrawGroupClientBackground", &N::OnCustomDrawGroupClientBackground);
    P.Event("OnCustomDrawGroupClientForeground", &N::OnCustomDrawGroupClientForeground);
    P.Event("OnCustomDrawGroupHint", &N::OnCustomDrawGroupHint);
    P.Event("OnCustomDrawLink", &N::OnCustomDrawLink);
    P.Event("OnCustomDrawLinkHint", &N::OnCustomDrawLinkHint);
    P.Event("OnCustomDrawBottomScrollButton", &N::OnCustomDrawBottomScrollButton);
    P.Event("OnCustomDrawTopScrollButton", &N::OnCustomDrawTopScrollButton);
    P.Event("OnCustomDrawNavigationPaneHeader", &N::OnCustomDrawNavigationPaneHeader);
    P.Event("OnCustomDrawNavigationPaneSplitter", &N::OnCustomDrawNavigationPaneSplitter);
    P.Event("OnCustomDrawNavigationPaneOverflowPanel", &N::OnCustomDrawNavigationPaneOverflowPanel);
    P.Event("OnCustomDrawNavigationPaneOverflowPanelHint", &N::OnCustomDrawNavigationPaneOverflowPanelHint);
    P.Event("OnGetGroupHint", &N::OnGetGroupHint);
    P.Event("OnGetLinkHint", &N::OnGetLinkHint);
    P.Event("OnGroupClick", &N::OnGroupClick);
    P.Event("OnGroupHotTrack", &N::OnGroupHotTrack);
    P.Event("OnGroupPress", &N::OnGroupPress);
    P.Event("OnLinkClick", &N::OnLinkClick);
    P.Event("OnLinkHotTrack", &N::OnLinkHotTrack);
    P.Event("OnLinkPress", &N::OnLinkPress);
    P.Event("OnMouseEnter", &N::OnMouseEnter);
    P.Event("OnMouseLeave", &N::OnMouseLeave);
  }

 private:
  bool alwaysStored() const { return true; }
  template <int I>
  TuiNavBarStyleItem* styleAt() const {
    return StyleItem(I);
  }
  template <int I>
  void setStyleAt(TuiNavBarStyleItem* Value) {
    SetStyleItem(I, Value);
  }
  template <int... I>
  static void publishStyles(qv::classlib::TPublisher<TuiNavBar>& P, std::integer_sequence<int, I...>) {
    (P.Prop(StyleNames[I], &TuiNavBar::styleAt<I>, &TuiNavBar::setStyleAt<I>), ...);
  }
};

// ---------------------------------------------------------------------------
// Drag and drop.

// What a drag in a navigation bar carries and where it would land. At most
// one exists in the process (navBarDragObject), made when a bar starts a
// drag and freed when the drag ends.
class TuiNavBarDragObject {
 public:
  TuiNavBarDragObject(TuiCustomNavBar* ASourceControl, TuiNavBarItem* AItem, TuiNavBarItemLink* ALink,
                      TuiNavBarGroup* AGroup)
      : FSourceControl(ASourceControl), FGroup(AGroup), FLink(ALink), FItem(AItem) {}
  virtual ~TuiNavBarDragObject() = default;
  TuiNavBarDragObject(const TuiNavBarDragObject&) = delete;
  TuiNavBarDragObject& operator=(const TuiNavBarDragObject&) = delete;

  // The drop position at the source bar's HotPoint, on its view.
  virtual void UpdateTarget();

  TuiCustomNavBar* SourceControl() const { return FSourceControl; }
  TuiNavBarGroup* Group() const { return FGroup; }
  TuiNavBarItemLink* Link() const { return FLink; }
  TuiNavBarItem* Item() const { return FItem; }
  TuiNavBarGroup* TargetGroup() const { return FTargetGroup; }
  TuiNavBarItemLink* TargetLinkBefore() const { return FTargetLinkBefore; }
  TuiNavBarItemLink* TargetLinkAfter() const { return FTargetLinkAfter; }
  int TargetLinkIndex() const { return FTargetLinkIndex; }

  // A link that replaced the dragged one (a move to another group).
  void SetLink(TuiNavBarItemLink* Value) { FLink = Value; }
  // A group, link or item of the source bar goes away.
  void Forget(TComponent* AComponent);
  void ForgetLink(TuiNavBarItemLink* ALink);

 private:
  void clearTarget();

  TuiCustomNavBar* FSourceControl;
  TuiNavBarGroup* FGroup;
  TuiNavBarItemLink* FLink;
  TuiNavBarItem* FItem;
  TuiNavBarGroup* FTargetGroup = nullptr;
  TuiNavBarItemLink* FTargetLinkBefore = nullptr;
  TuiNavBarItemLink* FTargetLinkAfter = nullptr;
  int FTargetLinkIndex = -1;
};

// The drag in progress, or null.
TuiNavBarDragObject* navBarDragObject();

// The class library's drag object for a bar's drag: it picks the bar's drag
// or copy cursor.
class TuiDragObject : public TDragControlObject {
  QV_CLASS(TuiDragObject, TDragControlObject)
  explicit TuiDragObject(TControl* AControl) : TDragControlObject(AControl) {}
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
};

// The unit: registers the navigation bar's classes for forms and loads its
// cursors into the screen's cursor table (destroyed at its end).
extern const qv::classlib::TUnitInfo uiNavBarUnit;
