// The navigation bar's views in the Office 2003 look:
//
//   12 "Office11TaskPaneView"        the explorer-bar layout in the Office
//                                    task pane's colours
//   13 "Office11NavigationPaneView"  the navigation pane: one group's links
//                                    under a header, a splitter, large
//                                    group buttons and an overflow panel
//
// Both take their colours and bitmaps from shared sets held by reference
// while a view information lives.
#pragma once

#include <string>
#include <vector>

#include "navbar/uiNavBarExplorerViews.h"
#include "navbar/uiNavBarOfficeViews.h"
#include "platform/classlib/Menus.h"

// ---------------------------------------------------------------------------
// View 12: the task pane.

// Holds the Office 11 view colours and sign bitmaps while it lives; the
// set's colours stand in wherever the background style leaves its pair
// unset.
class TuiNavBarOffice11ViewInfo : public TuiNavBarExplorerBarViewInfo {
  QV_CLASS(TuiNavBarOffice11ViewInfo, TuiNavBarExplorerBarViewInfo)
  explicit TuiNavBarOffice11ViewInfo(TuiNavBarPainter* APainter);
  ~TuiNavBarOffice11ViewInfo() override;

  void CreateResources() override;
  void RefreshResources() override;
  void ReleaseResources() override;

  TColor BackgroundBackColor() override;
  TColor BackgroundBackColor2() override;
  BYTE BackgroundAlphaBlending() override;
  BYTE BackgroundAlphaBlending2() override;
  TuiBarStyleGradientMode BackgroundGradientMode() override;

  void AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupHeaderActiveStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) override;

 private:
  bool backgroundSet();
  bool FHoldsResources = false;
};

// The set's colours where the group's styles leave a pair or the caption
// font colour unset.
class TuiNavBarOffice11GroupViewInfo : public TuiNavBarGroupViewInfo {
  QV_CLASS(TuiNavBarOffice11GroupViewInfo, TuiNavBarGroupViewInfo)
  using TuiNavBarGroupViewInfo::TuiNavBarGroupViewInfo;

  TColor GetBackgroundBackColor() override;
  TColor GetBackgroundBackColor2() override;
  BYTE GetBackgroundAlphaBlending() override;
  BYTE GetBackgroundAlphaBlending2() override;
  TuiBarStyleGradientMode GetBackgroundGradientMode() override;
  TColor GetCaptionBackColor() override;
  TColor GetCaptionBackColor2() override;
  BYTE GetCaptionAlphaBlending() override;
  BYTE GetCaptionAlphaBlending2() override;
  TuiBarStyleGradientMode GetCaptionGradientMode() override;
  TColor GetBorderColor() override;
  TColor GetCaptionFontColor() override;

 private:
  bool backgroundSet();
  bool captionSet();
};

class TuiNavBarOffice11LinkViewInfo : public TuiNavBarLinkViewInfo {
  QV_CLASS(TuiNavBarOffice11LinkViewInfo, TuiNavBarLinkViewInfo)
  using TuiNavBarLinkViewInfo::TuiNavBarLinkViewInfo;

  TColor GetFontColor() override;
};

class TuiNavBarOffice11Painter : public TuiNavBarExplorerBarPainter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarOffice11Painter, TuiNavBarExplorerBarPainter)
  using TuiNavBarExplorerBarPainter::TuiNavBarExplorerBarPainter;

  TuiNavBarViewInfo* CreateViewInfo() override;
  TuiNavBarGroupViewInfo* CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo, TuiNavBarGroup* AGroup,
                                              bool AItemsVisible, bool ACaptionVisible) override;
  TuiNavBarLinkViewInfo* CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo, TuiNavBarItemLink* ALink,
                                            bool AImageVisible, bool ACaptionVisible) override;
  TuiBaseButtonPainterClass ButtonPainterClass() override;
  TuiBaseSignPainterClass SignPainterClass() override;
};

constexpr int nbOffice11TaskPaneView = 12;

// ---------------------------------------------------------------------------
// View 13: the navigation pane.

// A group whose large button went to the overflow panel: its small button
// and image there, empty while the panel has no room for it.
struct TuiNavPaneOverflowItem {
  TuiNavBarGroup* Group;
  TRect ButtonBounds{0, 0, 0, 0};
  TRect ImageBounds{0, 0, 0, 0};
};

// The pane: a header with the active group's caption, the active group's
// content, the splitter, a large button per group and the overflow panel
// with the small buttons of the groups that have no room or are hidden by
// NavigationPaneMaxVisibleGroups, and the sign that opens the
// customization menu.
class TuiNavBarOffice11NavPaneViewInfo : public TuiNavBarOffice3ViewInfo {
  QV_CLASS(TuiNavBarOffice11NavPaneViewInfo, TuiNavBarOffice3ViewInfo)
  explicit TuiNavBarOffice11NavPaneViewInfo(TuiNavBarPainter* APainter);
  ~TuiNavBarOffice11NavPaneViewInfo() override;

  void CreateResources() override;
  void RefreshResources() override;
  void ReleaseResources() override;

  int GroupCaptionHeightAddon() override { return 4; }
  int GroupCaptionImageIndent() override { return 4; }
  int DefaultGroupsSpacing() override { return 0; }
  int GroupEdgeOffset() override { return 1; }
  bool HasGroupCaptionImage() override { return true; }
  bool AllowIconView() override { return false; }
  bool ExtendCaptionForImage() override { return true; }
  // The set of hidden buttons follows the control's height.
  TuiNavBarChangeType ResizeChangeType() override { return doRecreate; }

  virtual int GetOverflowItemPadding() { return 2; }
  virtual int GetOverflowSignWidth() { return 20; }
  virtual int GetOverflowPanelHeightAddition() { return 8; }
  virtual int GetMenuImageMargin() { return 3; }
  virtual int GetMenuTextIndent() { return 4; }
  virtual int GetOverflowSignGap() { return 0; }
  virtual TRect GetOverflowHintRect();
  // "Configure buttons" over the sign, the group's caption over one of its
  // buttons, else nothing.
  virtual std::string GetOverflowHintText();
  virtual TRect GetOverflowPanelMargins() { return TRect{0, 0, 0, 0}; }
  // The content (the active group's links) first, then a button for every
  // visible group.
  virtual void CreateNavPaneGroupViewInfos();
  // Moves buttons, the last first, into the overflow panel until it holds
  // ACount entries; the content stays listed.
  virtual void MoveGroupsToOverflowPanel(int ACount, bool AClearFirst);
  virtual void CalculateHeaderBounds(int X, int Y);
  virtual void CalculateOverflowPanelBounds(int X, int Y);
  virtual void CalculateSplitterBounds(int X, int Y);
  virtual int GetHeaderHeight();
  virtual int GetOverflowPanelHeight();
  virtual int GetOverflowImageHeight();
  virtual int GetOverflowImageWidth();
  virtual TCustomImageList* GetOverflowImages();
  virtual int GetOverflowImageIndex(TuiNavBarGroup* AGroup);
  virtual int GetSplitterHeight() { return 7; }
  virtual void BuildCustomizationMenu();

  void CreateGroupsInfo() override;
  void CalculateBounds() override;
  void ClearRects() override;
  void FitActiveGroup() override;
  TRect CalculateHintRect() override;
  std::string GetHintText() override;
  TuiNavBarGroupViewInfo* GetGroupViewInfoAtItemsPos(const TPoint& P) override;
  int GetDropTargetInfo(const TPoint& P, TuiNavBarGroupViewInfo*& AGroupInfo, TuiNavBarLinkViewInfo*& ALinkAfter,
                        TuiNavBarLinkViewInfo*& ALinkBefore) override;
  void ShowPopupMenu(int X, int Y) override;

  bool IsPtNavigationPaneHeader(const TPoint& P) override;
  bool IsPtNavigationPaneSplitter(const TPoint& P) override;
  bool IsPtNavigationPaneOverflowPanel(const TPoint& P) override;
  bool IsPtNavigationPaneOverflowPanelSign(const TPoint& P) override;
  int GetNavigationPaneOverflowPanelItemIndexAtPos(const TPoint& P) override;
  TuiNavBarGroup* GetNavigationPaneOverflowPanelGroupAtPos(const TPoint& P) override;
  bool IsSplitterDraggedDown(const TPoint& P) override;
  bool IsSplitterDraggedUp(const TPoint& P) override;

  TColor ButtonBorderColor() override;
  TColor TopScrollButtonBackColor() override;
  TColor TopScrollButtonBackColor2() override;
  BYTE TopScrollButtonAlphaBlending() override;
  BYTE TopScrollButtonAlphaBlending2() override;
  TuiBarStyleGradientMode TopScrollButtonGradientMode() override;
  TColor BottomScrollButtonBackColor() override;
  TColor BottomScrollButtonBackColor2() override;
  BYTE BottomScrollButtonAlphaBlending() override;
  BYTE BottomScrollButtonAlphaBlending2() override;
  TuiBarStyleGradientMode BottomScrollButtonGradientMode() override;
  TColor NavigationPaneHeaderBackColor() override;
  TColor NavigationPaneHeaderBackColor2() override;
  BYTE NavigationPaneHeaderAlphaBlending() override;
  BYTE NavigationPaneHeaderAlphaBlending2() override;
  TuiBarStyleGradientMode NavigationPaneHeaderGradientMode() override;
  TColor NavigationPaneHeaderFontColor() override;
  TColor OverflowPanelBackColor() override;
  TColor OverflowPanelBackColor2() override;
  BYTE OverflowPanelAlphaBlending() override;
  BYTE OverflowPanelAlphaBlending2() override;
  TuiBarStyleGradientMode OverflowPanelGradientMode() override;
  TColor SplitterBackColor() override;
  TColor SplitterBackColor2() override;
  TuiBarStyleGradientMode SplitterGradientMode() override;

  void AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultButtonStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultNavigationPaneHeaderStyle(TuiBaseNavBarStyle* AStyle) override;

  const TRect& HeaderBounds() const { return FHeaderBounds; }
  const TRect& OverflowPanelBounds() const { return FOverflowPanelBounds; }
  const TRect& OverflowSignBounds() const { return FOverflowSignBounds; }
  const TRect& SplitterBounds() const { return FSplitterBounds; }
  int OverflowItemCount() const { return static_cast<int>(FOverflowItems.size()); }
  const TuiNavPaneOverflowItem& OverflowItems(int AIndex) const { return *FOverflowItems.at(static_cast<size_t>(AIndex)); }
  int OverflowVisibleCount() const { return FOverflowVisibleCount; }
  TPopupMenu* OverflowMenu() const { return FOverflowMenu; }
  TCustomImageList* OverflowImages() const { return FOverflowImages; }
  // The number of images of SmallImages: the menu's own images follow them.
  int MenuImageBase() const;

 private:
  void clearOverflowItems();
  TuiNavBarGroupViewInfo* content();
  void moveLowerPartDown(int ADelta);
  TColor stateColor(TuiNavBarDrawStates AState, bool ASecond);
  bool headerSet();
  bool overflowSet();
  // The scroll button's colour by its own state while its style leaves the
  // pair unset.
  TColor scrollButtonColor(bool ATop, bool ASecond);
  bool scrollButtonSet(bool ATop);
  void addMenuItem(TMenuItem* AParent, const std::string& ACaption, int AImageIndex, bool AEnabled, bool AChecked,
                   TNotifyEvent AOnClick);
  int menuImageOf(TuiNavBarGroup* AGroup);

  TRect FHeaderBounds{0, 0, 0, 0};
  std::vector<TuiNavPaneOverflowItem*> FOverflowItems;
  TRect FOverflowPanelBounds{0, 0, 0, 0};
  TRect FOverflowSignBounds{0, 0, 0, 0};
  int FOverflowVisibleCount = 0;
  TRect FSplitterBounds{0, 0, 0, 0};
  TPopupMenu* FOverflowMenu = nullptr;
  TCustomImageList* FOverflowImages = nullptr;
  bool FHoldsResources = false;
};

// The pane's large buttons: Office 2003 colours by state where the caption
// style leaves its pair unset.
class TuiNavBarOffice11NavPaneGroupViewInfo : public TuiNavBarGroupViewInfo {
  QV_CLASS(TuiNavBarOffice11NavPaneGroupViewInfo, TuiNavBarGroupViewInfo)
  using TuiNavBarGroupViewInfo::TuiNavBarGroupViewInfo;

  TColor GetCaptionBackColor() override;
  TColor GetCaptionBackColor2() override;
  BYTE GetCaptionAlphaBlending() override;
  BYTE GetCaptionAlphaBlending2() override;
  TuiBarStyleGradientMode GetCaptionGradientMode() override;

 private:
  bool captionSet();
};

// Menu item flags of DrawMenuItem.
constexpr int nbMenuItemChecked = 1;
constexpr int nbMenuItemDisabled = 2;
constexpr int nbMenuItemSelected = 32;

class TuiNavBarOffice11NavPanePainter : public TuiNavBarOffice3Painter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarOffice11NavPanePainter, TuiNavBarOffice3Painter)
  using TuiNavBarOffice3Painter::TuiNavBarOffice3Painter;

  TuiNavBarViewInfo* CreateViewInfo() override;
  TuiNavBarGroupViewInfo* CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo, TuiNavBarGroup* AGroup,
                                              bool AItemsVisible, bool ACaptionVisible) override;
  TuiBaseButtonPainterClass ButtonPainterClass() override;

  void DrawNavBarControl() override;
  void DrawGroupCaptionButton(TuiNavBarGroupViewInfo* AGroupInfo) override;
  void DrawHintWindow() override;
  virtual void DrawPaneBorder();
  virtual void DrawHeader();
  virtual void DrawHeaderText();
  virtual void DrawOverflowPanel();
  virtual void DrawOverflowSign();
  virtual void DrawOverflowItems();
  virtual void DrawOverflowHint();
  virtual void DrawSplitter();
  virtual void DrawSplitterGrip();
  // One item of the customization menu; AImageIndex counts from the first
  // image of AImages, and a negative one draws no image.
  virtual void DrawMenuItem(TCanvas* ACanvas, TRect R, int AFlags, const std::string& ACaption, int AImageIndex,
                            TCustomImageList* AImages);

  TuiNavBarOffice11NavPaneViewInfo* PaneInfo() const;
};

constexpr int nbOffice11NavigationPaneView = 13;


// The unit: registers the views at its start and removes them at its end.
extern const qv::classlib::TUnitInfo uiNavBarOffice11ViewsUnit;
