// The explorer-bar views of the navigation bar: every visible group is
// shown at once, one under the other, with a caption bar carrying the
// expand/collapse sign; a group lists its links while it is expanded, and
// the whole bar scrolls with the control's scroll bar.
//
//   8  "ExplorerBarView"          classic colours
//   9  "UltraFlatExplorerBarView" the same with ultra-flat link selections
//   10 "AdvExplorerBarView"       the XP explorer bar's colours and round
//                                 caption signs (the designer's bar)
//
// The view information and painter of view 8 are also the bases of the
// task-pane views that follow the same layout.
#pragma once

#include "navbar/uiNavBar.h"

// ---------------------------------------------------------------------------
// View information.

class TuiNavBarExplorerBarViewInfo : public TuiNavBarViewInfo {
  QV_CLASS(TuiNavBarExplorerBarViewInfo, TuiNavBarViewInfo)
  using TuiNavBarViewInfo::TuiNavBarViewInfo;

  int GroupControlOffset() override { return 1; }
  int GroupCaptionHeightAddon() override { return 12; }
  int DefaultGroupsSpacing() override { return 4; }
  int GroupCaptionSignSize() override { return 18; }
  int GroupEdgeOffset() override { return 10; }

  bool HasActiveGroup() override { return false; }
  bool HasSpecialGroup() override { return true; }
  bool HasGroupCaptionImage() override { return true; }
  bool HasGroupCaptionSign() override { return true; }
  bool AllowIconView() override { return false; }
  bool CanHideGroupCaption() override { return true; }
  bool GroupItemsVisible(TuiNavBarGroup* AGroup) override { return AGroup->Expanded(); }
  bool IsGroupExpanded(TuiNavBarGroup* AGroup) override { return AGroup->Expanded(); }

  // Every visible group, whether or not captions are shown.
  void CreateGroupsInfo() override;
  // The groups one under the other, the scroll bar, the group controls.
  void CalculateBounds() override;
  // Only a group that may expand or collapse does.
  void ExpandGroup(TuiNavBarGroup* AGroup) override;
  void CollapseGroup(TuiNavBarGroup* AGroup) override;
  // Expands the group when needed (whether or not it is expandable) and
  // scrolls it to 2 pixels below the top.
  void MakeLinkVisible(TuiNavBarItemLink* ALink) override;
  void MakeGroupVisible(TuiNavBarGroup* AGroup) override;

  void AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupHeaderActiveStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemHotTrackedStyle(TuiBaseNavBarStyle* AStyle) override;

  // Shows the scroll bar when the groups are higher than the client area
  // (page in proportion, small change one sign), hides it when they fit,
  // and scrolls the groups by its position. A change of its visibility
  // changes the client width, so the layout runs once more.
  virtual void UpdateScrollBar();

 private:
  // Guards the layout against a scroll bar that would come and go for ever
  // (a width at which showing it makes the groups fit and hiding it makes
  // them overflow).
  int FRelayoutDepth = 0;
};

// View 10: the colour set and sign bitmaps of the XP explorer bar, held
// while the view information lives.
class TuiNavBarAdvExplorerBarViewInfo : public TuiNavBarExplorerBarViewInfo {
  QV_CLASS(TuiNavBarAdvExplorerBarViewInfo, TuiNavBarExplorerBarViewInfo)
  explicit TuiNavBarAdvExplorerBarViewInfo(TuiNavBarPainter* APainter);
  ~TuiNavBarAdvExplorerBarViewInfo() override;

  void CreateResources() override;
  void RefreshResources() override;
  void ReleaseResources() override;

  int GroupCaptionSignSize() override { return 22; }

  // The set's background colours, opaque and top to bottom, while the
  // background style leaves its pair unset.
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
  void AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) override;

 private:
  bool backgroundSet();
  bool FHoldsResources = false;
};

// View 10's groups: the set's colours where the group's styles leave a
// pair or a font colour unset.
class TuiNavBarAdvExplorerBarGroupViewInfo : public TuiNavBarGroupViewInfo {
  QV_CLASS(TuiNavBarAdvExplorerBarGroupViewInfo, TuiNavBarGroupViewInfo)
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
  TColor GetCaptionSignColor() override;

 private:
  bool backgroundSet();
  bool captionSet();
  bool special();
};

class TuiNavBarAdvExplorerBarLinkViewInfo : public TuiNavBarLinkViewInfo {
  QV_CLASS(TuiNavBarAdvExplorerBarLinkViewInfo, TuiNavBarLinkViewInfo)
  using TuiNavBarLinkViewInfo::TuiNavBarLinkViewInfo;

  TColor GetFontColor() override;
};

// The normal colour, the hot one for a hot, pressed or selected element,
// the normal one lightened to 40 % for a disabled one.
TColor SelectStateColor(TColor ANormal, TColor AHot, TuiNavBarDrawStates AState);

// ---------------------------------------------------------------------------
// Painters.

class TuiNavBarExplorerBarPainter : public TuiNavBarPainter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarExplorerBarPainter, TuiNavBarPainter)
  using TuiNavBarPainter::TuiNavBarPainter;

  TuiNavBarViewInfo* CreateViewInfo() override;
  TuiBaseBackgroundPainterClass BackgroundPainterClass() override;
  TuiBaseButtonPainterClass ButtonPainterClass() override;
  TuiBaseDropTargetGroupPainterClass DropTargetGroupPainterClass() override;
  TuiBaseDropTargetLinkPainterClass DropTargetLinkPainterClass() override;
  TuiBaseGroupBackgroundPainterClass GroupBackgroundPainterClass() override;
  TuiBaseGroupBorderPainterClass GroupBorderPainterClass() override;
  TuiBaseImagePainterClass ImagePainterClass() override;
  TuiBaseSignPainterClass SignPainterClass() override;
};

class TuiNavBarUltraFlatExplorerBarPainter : public TuiNavBarExplorerBarPainter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarUltraFlatExplorerBarPainter, TuiNavBarExplorerBarPainter)
  using TuiNavBarExplorerBarPainter::TuiNavBarExplorerBarPainter;

  TuiBaseSelectionPainterClass SelectionPainterClass() override;
};

class TuiNavBarAdvExplorerBarPainter : public TuiNavBarExplorerBarPainter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarAdvExplorerBarPainter, TuiNavBarExplorerBarPainter)
  using TuiNavBarExplorerBarPainter::TuiNavBarExplorerBarPainter;

  TuiNavBarViewInfo* CreateViewInfo() override;
  TuiNavBarGroupViewInfo* CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo, TuiNavBarGroup* AGroup,
                                              bool AItemsVisible, bool ACaptionVisible) override;
  TuiNavBarLinkViewInfo* CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo, TuiNavBarItemLink* ALink,
                                            bool AImageVisible, bool ACaptionVisible) override;
  TuiBaseButtonPainterClass ButtonPainterClass() override;
  TuiBaseSignPainterClass SignPainterClass() override;
};

constexpr int nbExplorerBarView = 8;
constexpr int nbUltraFlatExplorerBarView = 9;
constexpr int nbAdvExplorerBarView = 10;

// The unit: registers views 8, 9 and 10 at its start and removes them at
// its end.
extern const qv::classlib::TUnitInfo uiNavBarExplorerViewsUnit;
