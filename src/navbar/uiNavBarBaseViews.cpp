#include "navbar/uiNavBarBaseViews.h"

#include <algorithm>

#include "lookandfeel/lkGeometry.h"
#include "navbar/uiNavBarGraphics.h"
#include "navbar/uiNavBarViewsFact.h"

// ---------------------------------------------------------------------------
// TuiNavBarBaseViewInfo

void TuiNavBarBaseViewInfo::CalculateBounds() {
  TuiNavBarViewInfo::CalculateBounds();
  FitActiveGroup();
  CalculateGroupControls();
}

int TuiNavBarBaseViewInfo::GetActiveGroupMinHeight() {
  TuiNavBarGroupViewInfo* active = ActiveGroupViewInfo();
  if (!active) return 0;
  const int buttons = 2 * ScrollButtonHeight() + 3 * ScrollButtonVertOffset();
  const int top = active->SourceGroup()->TopVisibleLinkIndex();
  if (top < 0 || top >= active->LinkCount()) return buttons;
  const int link = LinksAreaMargin() + lkGetRectHeight(active->LinkInfos(top)->Bounds);
  return std::max(buttons, link);
}

void TuiNavBarBaseViewInfo::FitActiveGroup() {
  if (GroupCount() == 0) return;
  TuiNavBarGroupViewInfo* active = ActiveGroupViewInfo();
  if (!active) return;
  int free = ClientHeight() - GroupInfos(GroupCount() - 1)->Bounds.bottom;
  const int top = active->ClientBounds.top, bottom = active->ClientBounds.bottom;
  const int minimum = GetActiveGroupMinHeight();
  // Too little room: the items area keeps its minimum and the buttons
  // below it go past the client bottom.
  if (bottom + free < top + minimum) free = top + minimum - bottom;
  active->StretchBounds(0, free);
  for (int i = IndexOfGroupViewInfo(active) + 1; i < GroupCount(); ++i) GroupInfos(i)->OffsetBounds(0, free);
  CalculateScrollButtonsBounds();
}

bool TuiNavBarBaseViewInfo::IsGroupExpanded(TuiNavBarGroup* AGroup) { return AGroup == Control()->GetActiveGroup(); }

void TuiNavBarBaseViewInfo::ExpandGroup(TuiNavBarGroup* AGroup) {
  if (AGroup && Control()->ActiveGroupIndex() != AGroup->Index()) Control()->SetActiveGroup(AGroup);
}

void TuiNavBarBaseViewInfo::MakeGroupVisible(TuiNavBarGroup* AGroup) {
  if (AGroup) Control()->SetActiveGroup(AGroup);
}

void TuiNavBarBaseViewInfo::MakeLinkVisible(TuiNavBarItemLink* ALink) {
  TuiNavBarGroup* group = ALink ? ALink->Group() : nullptr;
  if (!group) return;
  if (group != Control()->GetActiveGroup()) {
    Control()->SetActiveGroup(group);
    CreateGroupsInfo();
    CalculateBounds();
  }
  // A vetoed activation leaves the group without link objects: nothing to
  // scroll to.
  TuiNavBarGroupViewInfo* groupInfo = FindGroupViewInfo(group);
  TuiNavBarLinkViewInfo* linkInfo = groupInfo ? groupInfo->FindLinkViewInfo(ALink) : nullptr;
  if (!linkInfo) return;
  // The link's own index: the layout scrolls by the group's links before
  // the top visible one, so a position among the link objects alone would
  // stop short of the link when a hidden item's link comes before it.
  group->SetTopVisibleLinkIndex(ALink->Index());
  Control()->InvalidateAll(doRecreate);
}

void TuiNavBarBaseViewInfo::AssignButtonFaceBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clBtnFace);
}

void TuiNavBarBaseViewInfo::AssignButtonFaceGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AssignButtonFaceBackgroundStyle(AStyle);
  AStyle->Font()->SetColor(clBtnText);
}

void TuiNavBarBaseViewInfo::AssignButtonFaceItemStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Font()->SetColor(clBtnText);
  AStyle->SetHAlignment(haCenter);
}

void TuiNavBarBaseViewInfo::AssignButtonFaceItemDisabledStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(13));
  AStyle->Font()->SetColor(clBtnShadow);
}

// ---------------------------------------------------------------------------
// Painters

TuiNavBarViewInfo* TuiNavBarBasePainter::CreateViewInfo() { return new TuiNavBarBaseViewInfo(this); }
TuiBaseBackgroundPainterClass TuiNavBarBasePainter::BackgroundPainterClass() {
  return TuiNavBarBackgroundPainter::Class();
}
TuiBaseButtonPainterClass TuiNavBarBasePainter::ButtonPainterClass() { return TuiNavBarButtonPainter::Class(); }
TuiBaseDropTargetGroupPainterClass TuiNavBarBasePainter::DropTargetGroupPainterClass() {
  return TuiNavBarDropTargetGroupPainter::Class();
}
TuiBaseDropTargetLinkPainterClass TuiNavBarBasePainter::DropTargetLinkPainterClass() {
  return TuiNavBarDropTargetLinkPainter::Class();
}
TuiBaseGroupBackgroundPainterClass TuiNavBarBasePainter::GroupBackgroundPainterClass() {
  return TuiNavBarGroupBackgroundPainter::Class();
}
TuiBaseGroupBorderPainterClass TuiNavBarBasePainter::GroupBorderPainterClass() {
  return TuiBaseGroupBorderPainter::Class();
}
TuiBaseImagePainterClass TuiNavBarBasePainter::ImagePainterClass() { return TuiNavBarImagePainter::Class(); }
TuiBaseScrollButtonsPainterClass TuiNavBarBasePainter::ScrollButtonsPainterClass() {
  return TuiNavBarScrollButtonsPainter::Class();
}
TuiBaseSelectionPainterClass TuiNavBarBasePainter::SelectionPainterClass() {
  return TuiNavBarSelectionPainter::Class();
}
TuiBaseSignPainterClass TuiNavBarBasePainter::SignPainterClass() { return TuiBaseSignPainter::Class(); }

TuiBaseButtonPainterClass TuiNavBarFlatPainter::ButtonPainterClass() { return TuiNavBarFlatButtonPainter::Class(); }

// ---------------------------------------------------------------------------
// The unit

namespace {

void startUp() {
  RegisterView(nbBaseView, "BaseView", TuiNavBarBasePainter::PainterClass());
  RegisterView(nbFlatView, "FlatView", TuiNavBarFlatPainter::PainterClass());
}

void shutDown() {
  UnregisterView(nbFlatView);
  UnregisterView(nbBaseView);
}

const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarUnit, &uiNavBarGraphicsUnit, &uiNavBarViewsFactUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarBaseViewsUnit{"uiNavBarBaseViews", kUses, &startUp, &shutDown};
