// The navigation bar's views in the XP look.
//
//   6  "XP1View"            the flat classic view with caption buttons in
//                           the caption colours and themed scroll buttons
//                           and link selections
//   7  "XP2View"            the Office classic view drawn with the visual
//                           style's tab, button, tool bar and scroll bar
//                           parts
//   11 "XPExplorerBarView"  the explorer bar in the visual style's colours
//                           and the shell task pane's pictures and fonts
//
// Without visual styles every themed helper painter draws its classic
// parent's look, so views 7 and 11 then look as views 2 and 8 do.
#pragma once

#include "navbar/uiNavBarExplorerViews.h"
#include "navbar/uiNavBarOfficeViews.h"

// ---------------------------------------------------------------------------
// View 6.

class TuiNavBarXP1ViewInfo : public TuiNavBarBaseViewInfo {
  QV_CLASS(TuiNavBarXP1ViewInfo, TuiNavBarBaseViewInfo)
  using TuiNavBarBaseViewInfo::TuiNavBarBaseViewInfo;

  void AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) override;
};

// The caption colours where the group's styles leave a pair unset: the
// client area from the inactive caption colour lightened to itself, the
// caption from the active caption colour to its darker shade (the active
// caption colour itself while hot), left to right and opaque.
class TuiNavBarXP1GroupViewInfo : public TuiNavBarGroupViewInfo {
  QV_CLASS(TuiNavBarXP1GroupViewInfo, TuiNavBarGroupViewInfo)
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

 private:
  bool backgroundSet();
  bool captionSet();
};

class TuiNavBarXP1Painter : public TuiNavBarFlatPainter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarXP1Painter, TuiNavBarFlatPainter)
  using TuiNavBarFlatPainter::TuiNavBarFlatPainter;

  TuiNavBarViewInfo* CreateViewInfo() override;
  TuiNavBarGroupViewInfo* CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo, TuiNavBarGroup* AGroup, bool AItemsVisible,
                                              bool ACaptionVisible) override;
  TuiBaseScrollButtonsPainterClass ScrollButtonsPainterClass() override;
  TuiBaseSelectionPainterClass SelectionPainterClass() override;
  // A caption button lit from the left: from the caption colour lightened
  // to 40 % to the caption colour itself, or to the caption colour
  // lightened to 80 % on the hot-tracked group.
  void DrawGroupCaptionButton(TuiNavBarGroupViewInfo* AGroupInfo) override;
};

// ---------------------------------------------------------------------------
// View 7: view 2's layout, metrics and default styles.

class TuiNavBarXP2Painter : public TuiNavBarOffice1Painter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarXP2Painter, TuiNavBarOffice1Painter)
  using TuiNavBarOffice1Painter::TuiNavBarOffice1Painter;

  TuiBaseBackgroundPainterClass BackgroundPainterClass() override;
  TuiBaseButtonPainterClass ButtonPainterClass() override;
  TuiBaseGroupBackgroundPainterClass GroupBackgroundPainterClass() override;
  TuiBaseScrollButtonsPainterClass ScrollButtonsPainterClass() override;
  TuiBaseSelectionPainterClass SelectionPainterClass() override;
};

// ---------------------------------------------------------------------------
// View 11.

// Holds the shell's task-pane style while it lives. Colours come from the
// "ExplorerBar" visual style class while it opens; they are read on every
// call, so a switch of theme shows at the next paint.
class TuiNavBarXPExplorerBarViewInfo : public TuiNavBarExplorerBarViewInfo {
  QV_CLASS(TuiNavBarXPExplorerBarViewInfo, TuiNavBarExplorerBarViewInfo)
  explicit TuiNavBarXPExplorerBarViewInfo(TuiNavBarPainter* APainter);
  ~TuiNavBarXPExplorerBarViewInfo() override;

  void CreateResources() override;
  void RefreshResources() override;
  void ReleaseResources() override;

  int GroupCaptionHeightAddon() override { return 12; }
  // The theme's round sign is larger than the classic chevrons.
  int GroupCaptionSignSize() override;

  // The header background's gradient, top to bottom, while themed.
  TColor BackgroundBackColor() override;
  TColor BackgroundBackColor2() override;
  BYTE BackgroundAlphaBlending() override;
  BYTE BackgroundAlphaBlending2() override;
  TuiBarStyleGradientMode BackgroundGradientMode() override;

 private:
  bool FHoldsResources = false;
};

class TuiNavBarXPExplorerBarGroupViewInfo : public TuiNavBarGroupViewInfo {
  QV_CLASS(TuiNavBarXPExplorerBarGroupViewInfo, TuiNavBarGroupViewInfo)
  using TuiNavBarGroupViewInfo::TuiNavBarGroupViewInfo;

  // While themed: the task pane's border where its style sheet gives one,
  // else the theme's border of a normal group.
  TColor GetBorderColor() override;
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
  // The task pane's caption fonts, never underlined; the special group's
  // caption is white on its dark head.
  TFont* GetCaptionFont() override;
  TColor GetCaptionFontColor() override;
};

class TuiNavBarXPExplorerBarLinkViewInfo : public TuiNavBarLinkViewInfo {
  QV_CLASS(TuiNavBarXPExplorerBarLinkViewInfo, TuiNavBarLinkViewInfo)
  using TuiNavBarLinkViewInfo::TuiNavBarLinkViewInfo;

  // The task pane's link fonts; a disabled link loses its underline and is
  // drawn lighter.
  TFont* GetFont() override;
  TColor GetFontColor() override;
};

class TuiNavBarXPExplorerBarPainter : public TuiNavBarExplorerBarPainter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarXPExplorerBarPainter, TuiNavBarExplorerBarPainter)
  using TuiNavBarExplorerBarPainter::TuiNavBarExplorerBarPainter;

  TuiNavBarViewInfo* CreateViewInfo() override;
  TuiNavBarGroupViewInfo* CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo, TuiNavBarGroup* AGroup, bool AItemsVisible,
                                              bool ACaptionVisible) override;
  TuiNavBarLinkViewInfo* CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo, TuiNavBarItemLink* ALink,
                                            bool AImageVisible, bool ACaptionVisible) override;
  TuiBaseBackgroundPainterClass BackgroundPainterClass() override;
  TuiBaseButtonPainterClass ButtonPainterClass() override;
  TuiBaseSignPainterClass SignPainterClass() override;
};

constexpr int nbXP1View = 6;
constexpr int nbXP2View = 7;
constexpr int nbXPExplorerBarView = 11;

// The unit: registers its views at its start and removes them at its end.
extern const qv::classlib::TUnitInfo uiNavBarXPViewsUnit;
