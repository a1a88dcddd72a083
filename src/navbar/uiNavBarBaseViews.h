// The classic views of the navigation bar: one group at a time. Every
// visible group has a caption button; the active group lists its links in
// the space left between the buttons above it and the buttons below it,
// with scroll buttons when its links do not fit.
//
//   0 "BaseView"  raised caption buttons on the application workspace
//   1 "FlatView"  the same with flat caption buttons
//
// The view information and painters here are the bases of every classic
// view: the Office and tool-box views, the XP classic views and the
// navigation pane.
#pragma once

#include "navbar/uiNavBar.h"

// ---------------------------------------------------------------------------
// View information.

class TuiNavBarBaseViewInfo : public TuiNavBarViewInfo {
  QV_CLASS(TuiNavBarBaseViewInfo, TuiNavBarViewInfo)
  using TuiNavBarViewInfo::TuiNavBarViewInfo;

  // The groups one under the other, then the active group stretched over
  // what is left of the client height, then the group controls.
  void CalculateBounds() override;
  // The active group's items area never gets lower than this: room for both
  // scroll buttons, or for its top visible link when that is higher. 0
  // without an active group's view information.
  virtual int GetActiveGroupMinHeight();
  // Grows (or shrinks, down to its minimum height) the active group so that
  // the last group ends at the client bottom, moves the groups after it
  // down by as much and places the scroll buttons. On a control too short
  // for that, the last buttons fall below the client area.
  virtual void FitActiveGroup();

  // Expanded is active: a caption click can only activate, never collapse.
  bool IsGroupExpanded(TuiNavBarGroup* AGroup) override;
  // Makes the group active (the control's OnActiveGroupChanging may veto).
  void ExpandGroup(TuiNavBarGroup* AGroup) override;
  void MakeGroupVisible(TuiNavBarGroup* AGroup) override;
  // Activates the link's group (laid out again at once) and scrolls it so
  // that the link is the top visible one.
  void MakeLinkVisible(TuiNavBarItemLink* ALink) override;

 protected:
  // The default styles of the views drawn in the button face (the Office and
  // tool-box views): Background and GroupBackground in clBtnFace,
  // GroupHeader in clBtnFace with clBtnText, Item in clBtnText and centred,
  // ItemDisabled as Item in clBtnShadow. Each after a reset; a caption's
  // alignment is left to the view.
  void AssignButtonFaceBackgroundStyle(TuiBaseNavBarStyle* AStyle);
  void AssignButtonFaceGroupHeaderStyle(TuiBaseNavBarStyle* AStyle);
  void AssignButtonFaceItemStyle(TuiBaseNavBarStyle* AStyle);
  void AssignButtonFaceItemDisabledStyle(TuiBaseNavBarStyle* AStyle);
};

// ---------------------------------------------------------------------------
// Painters.

class TuiNavBarBasePainter : public TuiNavBarPainter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarBasePainter, TuiNavBarPainter)
  using TuiNavBarPainter::TuiNavBarPainter;

  TuiNavBarViewInfo* CreateViewInfo() override;
  TuiBaseBackgroundPainterClass BackgroundPainterClass() override;
  TuiBaseButtonPainterClass ButtonPainterClass() override;
  TuiBaseDropTargetGroupPainterClass DropTargetGroupPainterClass() override;
  TuiBaseDropTargetLinkPainterClass DropTargetLinkPainterClass() override;
  TuiBaseGroupBackgroundPainterClass GroupBackgroundPainterClass() override;
  TuiBaseGroupBorderPainterClass GroupBorderPainterClass() override;
  TuiBaseImagePainterClass ImagePainterClass() override;
  TuiBaseScrollButtonsPainterClass ScrollButtonsPainterClass() override;
  TuiBaseSelectionPainterClass SelectionPainterClass() override;
  TuiBaseSignPainterClass SignPainterClass() override;
};

class TuiNavBarFlatPainter : public TuiNavBarBasePainter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarFlatPainter, TuiNavBarBasePainter)
  using TuiNavBarBasePainter::TuiNavBarBasePainter;

  TuiBaseButtonPainterClass ButtonPainterClass() override;
};

constexpr int nbBaseView = 0;
constexpr int nbFlatView = 1;

// The unit: registers views 0 and 1 at its start and removes them at its
// end.
extern const qv::classlib::TUnitInfo uiNavBarBaseViewsUnit;
