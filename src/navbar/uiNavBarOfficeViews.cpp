#include "navbar/uiNavBarOfficeViews.h"

#include "lookandfeel/lkGeometry.h"
#include "navbar/uiNavBarGraphics.h"
#include "navbar/uiNavBarViewsFact.h"

// ---------------------------------------------------------------------------
// TuiNavBarOffice1ViewInfo

void TuiNavBarOffice1ViewInfo::AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AssignButtonFaceBackgroundStyle(AStyle);
}

void TuiNavBarOffice1ViewInfo::AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AssignButtonFaceBackgroundStyle(AStyle);
}

void TuiNavBarOffice1ViewInfo::AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AssignButtonFaceGroupHeaderStyle(AStyle);
  AStyle->SetHAlignment(haCenter);
}

void TuiNavBarOffice1ViewInfo::AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) { AssignButtonFaceItemStyle(AStyle); }

void TuiNavBarOffice1ViewInfo::AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) {
  AssignButtonFaceItemDisabledStyle(AStyle);
}

// ---------------------------------------------------------------------------
// TuiNavBarOffice3LinkViewInfo

TRect TuiNavBarOffice3LinkViewInfo::GetSelectionRect() { return lkGrowRect(Bounds, -1, -1, -1, -1); }

// ---------------------------------------------------------------------------
// Painters

TuiNavBarViewInfo* TuiNavBarOffice1Painter::CreateViewInfo() { return new TuiNavBarOffice1ViewInfo(this); }
TuiBaseButtonPainterClass TuiNavBarOffice1Painter::ButtonPainterClass() {
  return TuiNavBarOfficeButtonPainter::Class();
}

TuiBaseSelectionPainterClass TuiNavBarOffice2Painter::SelectionPainterClass() {
  return TuiNavBarUltraFlatSelectionPainter::Class();
}

TuiNavBarViewInfo* TuiNavBarOffice3Painter::CreateViewInfo() { return new TuiNavBarOffice3ViewInfo(this); }
TuiNavBarLinkViewInfo* TuiNavBarOffice3Painter::CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo,
                                                                   TuiNavBarItemLink* ALink, bool AImageVisible,
                                                                   bool ACaptionVisible) {
  return new TuiNavBarOffice3LinkViewInfo(AGroupInfo, ALink, AImageVisible, ACaptionVisible);
}

// ---------------------------------------------------------------------------
// The unit

namespace {

void startUp() {
  RegisterView(nbOffice1View, "Office1View", TuiNavBarOffice1Painter::PainterClass());
  RegisterView(nbOffice2View, "Office2View", TuiNavBarOffice2Painter::PainterClass());
  RegisterView(nbOffice3View, "Office3View", TuiNavBarOffice3Painter::PainterClass());
}

void shutDown() {
  UnregisterView(nbOffice3View);
  UnregisterView(nbOffice2View);
  UnregisterView(nbOffice1View);
}

const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarBaseViewsUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarOfficeViewsUnit{"uiNavBarOfficeViews", kUses, &startUp, &shutDown};
