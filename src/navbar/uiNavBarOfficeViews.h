// The Office classic views: one group at a time, as the base view, in the
// button face colour with Office caption buttons.
//
//   2 "Office1View"  raised link selections
//   3 "Office2View"  the same with ultra-flat link selections
//   4 "Office3View"  large links with more room, selected and hit by their
//                    whole rectangle
//
// View 4's view information and painter are also the bases of the
// navigation pane.
#pragma once

#include "navbar/uiNavBarBaseViews.h"

// ---------------------------------------------------------------------------
// View information.

class TuiNavBarOffice1ViewInfo : public TuiNavBarBaseViewInfo {
  QV_CLASS(TuiNavBarOffice1ViewInfo, TuiNavBarBaseViewInfo)
  using TuiNavBarBaseViewInfo::TuiNavBarBaseViewInfo;

  int GroupCaptionHeightAddon() override { return 8; }
  int DefaultGroupsSpacing() override { return 1; }

  void AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) override;
};

class TuiNavBarOffice3ViewInfo : public TuiNavBarOffice1ViewInfo {
  QV_CLASS(TuiNavBarOffice3ViewInfo, TuiNavBarOffice1ViewInfo)
  using TuiNavBarOffice1ViewInfo::TuiNavBarOffice1ViewInfo;

  int LargeLinkPadding() override { return 16; }
  bool LinkHitByWholeRect() override { return true; }
};

// A link selected over its whole rectangle, 1 pixel inside it.
class TuiNavBarOffice3LinkViewInfo : public TuiNavBarLinkViewInfo {
  QV_CLASS(TuiNavBarOffice3LinkViewInfo, TuiNavBarLinkViewInfo)
  using TuiNavBarLinkViewInfo::TuiNavBarLinkViewInfo;

  TRect GetSelectionRect() override;
};

// ---------------------------------------------------------------------------
// Painters.

class TuiNavBarOffice1Painter : public TuiNavBarBasePainter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarOffice1Painter, TuiNavBarBasePainter)
  using TuiNavBarBasePainter::TuiNavBarBasePainter;

  TuiNavBarViewInfo* CreateViewInfo() override;
  TuiBaseButtonPainterClass ButtonPainterClass() override;
};

class TuiNavBarOffice2Painter : public TuiNavBarOffice1Painter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarOffice2Painter, TuiNavBarOffice1Painter)
  using TuiNavBarOffice1Painter::TuiNavBarOffice1Painter;

  TuiBaseSelectionPainterClass SelectionPainterClass() override;
};

class TuiNavBarOffice3Painter : public TuiNavBarOffice2Painter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarOffice3Painter, TuiNavBarOffice2Painter)
  using TuiNavBarOffice2Painter::TuiNavBarOffice2Painter;

  TuiNavBarViewInfo* CreateViewInfo() override;
  TuiNavBarLinkViewInfo* CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo, TuiNavBarItemLink* ALink,
                                            bool AImageVisible, bool ACaptionVisible) override;
};

constexpr int nbOffice1View = 2;
constexpr int nbOffice2View = 3;
constexpr int nbOffice3View = 4;

// The unit: registers views 2, 3 and 4 at its start and removes them at its
// end.
extern const qv::classlib::TUnitInfo uiNavBarOfficeViewsUnit;
