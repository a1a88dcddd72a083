#include "navbar/uiNavBarVSToolBoxViews.h"

#include "lookandfeel/lkGeometry.h"
#include "lookandfeel/lkGraphics.h"
#include "navbar/uiNavBarGraphics.h"
#include "navbar/uiNavBarViewsFact.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/Rect.h"

namespace {

// A square as high as the caption, 2 pixels right of it.
TRect besideCaption(const TRect& ACaption, int ASize) {
  return TRect{ACaption.right + 2, ACaption.top, ACaption.right + 2 + ASize, ACaption.top + ASize};
}

}  // namespace

// ---------------------------------------------------------------------------
// TuiNavBarVSToolBoxViewInfo

// The base's scroll buttons ask for the rectangles only with an active
// group's view information, but a button's state asks at any time, also
// between a change of the active group and the next layout.
TRect TuiNavBarVSToolBoxViewInfo::CalculateTopScrollButtonRect() {
  TuiNavBarGroupViewInfo* active = ActiveGroupViewInfo();
  if (GroupCount() == 0 || !active) return TRect{0, 0, 0, 0};
  return besideCaption(active->HeaderBounds, lkGetRectHeight(active->HeaderBounds));
}

TRect TuiNavBarVSToolBoxViewInfo::CalculateBottomScrollButtonRect() {
  TuiNavBarGroupViewInfo* active = ActiveGroupViewInfo();
  if (GroupCount() == 0 || !active) return TRect{0, 0, 0, 0};
  const int size = lkGetRectHeight(active->HeaderBounds);
  const int next = IndexOfGroupViewInfo(active) + 1;
  if (next < GroupCount()) return besideCaption(GroupInfos(next)->HeaderBounds, size);
  TRect r = besideCaption(active->HeaderBounds, size);
  OffsetRect(&r, 0, lkGetRectHeight(active->ClientBounds));
  return r;
}

TRect TuiNavBarVSToolBoxViewInfo::CalcLinkHintRect(TuiNavBarItemLink* ALink) {
  TuiNavBarLinkViewInfo* info = FindLinkViewInfo(ALink);
  if (!info) return TuiNavBarBaseViewInfo::CalcLinkHintRect(ALink);
  TCanvas* canvas = Control()->HintWindow()->Canvas();
  canvas->SetFont(HintFont());
  TRect text{0, 0, 0, 0};
  lkDrawText(canvas->Handle(), CurrentHint(), text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  const int width = lkGetRectWidth(text);
  TRect r = info->GetSelectionRect();
  if (lkGetRectWidth(info->TextBounds) < width) r.right = info->TextBounds.left + width + 4;
  const TPoint origin = Control()->ClientToScreen(TPoint{0, 0});
  OffsetRect(&r, origin.x, origin.y);
  return r;
}

std::string TuiNavBarVSToolBoxViewInfo::GetLinkHintText(TuiNavBarItemLink* ALink) {
  std::string hint = TuiNavBarBaseViewInfo::GetLinkHintText(ALink);
  if (hint.empty() && ALink->Item()) hint = ALink->Item()->Caption();
  return hint;
}

void TuiNavBarVSToolBoxViewInfo::AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AssignButtonFaceBackgroundStyle(AStyle);
}

void TuiNavBarVSToolBoxViewInfo::AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AssignButtonFaceBackgroundStyle(AStyle);
}

void TuiNavBarVSToolBoxViewInfo::AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AssignButtonFaceGroupHeaderStyle(AStyle);
}

void TuiNavBarVSToolBoxViewInfo::AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) {
  AssignButtonFaceItemStyle(AStyle);
}

void TuiNavBarVSToolBoxViewInfo::AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) {
  AssignButtonFaceItemDisabledStyle(AStyle);
}

// ---------------------------------------------------------------------------
// TuiNavBarVSToolBoxLinkViewInfo

TRect TuiNavBarVSToolBoxLinkViewInfo::GetSelectionRect() { return lkGrowRect(Bounds, -1, -1, -1, -1); }

// ---------------------------------------------------------------------------
// TuiNavBarVSToolBoxPainter

TuiNavBarViewInfo* TuiNavBarVSToolBoxPainter::CreateViewInfo() { return new TuiNavBarVSToolBoxViewInfo(this); }
TuiNavBarLinkViewInfo* TuiNavBarVSToolBoxPainter::CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo,
                                                                     TuiNavBarItemLink* ALink, bool AImageVisible,
                                                                     bool ACaptionVisible) {
  return new TuiNavBarVSToolBoxLinkViewInfo(AGroupInfo, ALink, AImageVisible, ACaptionVisible);
}
TuiBaseButtonPainterClass TuiNavBarVSToolBoxPainter::ButtonPainterClass() {
  return TuiNavBarVSToolBoxButtonPainter::Class();
}
TuiBaseSelectionPainterClass TuiNavBarVSToolBoxPainter::SelectionPainterClass() {
  return TuiNavBarVSToolBoxSelectionPainter::Class();
}

void TuiNavBarVSToolBoxPainter::DrawLinkHintWindow() {
  TuiNavBarItemLink* link = NavBar()->HotTrackedLink();
  TuiNavBarLinkViewInfo* info = link ? ViewInfo()->FindLinkViewInfo(link) : nullptr;
  if (!info || !info->SourceItem()) {
    TuiNavBarFlatPainter::DrawLinkHintWindow();
    return;
  }
  TuiNavBarGroupViewInfo* group = info->OwnerGroupInfo();
  TCanvas* canvas = HintCanvas();
  const TRect window = NavBar()->HintWindow()->ClientRect();
  // The link's own rectangles, with the selection's top left at the
  // window's origin.
  const TRect selection = info->GetSelectionRect();
  const auto moved = [&](TRect R) {
    OffsetRect(&R, -selection.left, -selection.top);
    return R;
  };
  TRect background = moved(info->Bounds);
  background.right = window.right;
  GroupBackgroundPainterClass()->DrawBackground(canvas, background, group->GetBackgroundImage(),
                                                group->GetBackgroundBackColor(), group->GetBackgroundBackColor2(),
                                                group->GetBackgroundAlphaBlending(),
                                                group->GetBackgroundAlphaBlending2(), group->GetBackgroundGradientMode());
  SelectionPainterClass()->DrawSelection(canvas, moved(selection), group->GetBackgroundBackColor(),
                                         TuiNavBarDrawStates{nbsHotTracked});
  if (IsNavBarImageAssigned(info->GetImageList(), info->GetImageIndex()))
    ImagePainterClass()->DrawImage(canvas, info->GetImageList(), info->GetImageIndex(), moved(info->ImageBounds),
                                   info->SourceItem()->Enabled());
  TRect caption = moved(info->TextBounds);
  caption.right = window.right;
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(info->GetFont());
  canvas->Font()->SetColor(info->GetFontColor());
  lkDrawText(canvas->Handle(), info->SourceItem()->Caption(), caption, info->GetDrawTextFlags());
  canvas->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// The unit

namespace {

void startUp() { RegisterView(nbVSToolBoxView, "VSToolBoxView", TuiNavBarVSToolBoxPainter::PainterClass()); }

void shutDown() { UnregisterView(nbVSToolBoxView); }

const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarBaseViewsUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarVSToolBoxViewsUnit{"uiNavBarVSToolBoxViews", kUses, &startUp, &shutDown};
