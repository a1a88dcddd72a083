// The navigation bar's views in the XP look.
//
//   11 "XPExplorerBarView"  the explorer bar in the visual style's colours
//                           and the shell task pane's pictures and fonts
//
// Without visual styles view 11 keeps view 8's metrics and colours; only
// its helper painters differ, and they too draw view 8's look then.
#pragma once

#include "navbar/uiNavBarExplorerViews.h"

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

constexpr int nbXPExplorerBarView = 11;

// The unit: registers its views at its start and removes them at its end.
extern const qv::classlib::TUnitInfo uiNavBarXPViewsUnit;
