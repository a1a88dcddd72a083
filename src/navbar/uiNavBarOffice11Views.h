// The navigation bar's views in the Office 2003 look:
//
//   12 "Office11TaskPaneView"       the explorer-bar layout in the Office
//                                   task pane's colours
//
// It takes its colours from shared sets held by reference while a view
// information lives.
#pragma once

#include "navbar/uiNavBarExplorerViews.h"

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

// The unit: registers the views at its start and removes them at its end.
extern const qv::classlib::TUnitInfo uiNavBarOffice11ViewsUnit;
