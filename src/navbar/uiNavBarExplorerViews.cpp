#include "navbar/uiNavBarExplorerViews.h"

#include <cmath>

#include "navbar/uiNavBarGraphics.h"
#include "navbar/uiNavBarViewsFact.h"

namespace {

constexpr TColor kWhite = static_cast<TColor>(0xFFFFFF);

}  // namespace

TColor SelectStateColor(TColor ANormal, TColor AHot, TuiNavBarDrawStates AState) {
  if (AState.Contains(nbsDisabled)) return GetLightColor40(ANormal);
  if (AState.Contains(nbsHotTracked) || AState.Contains(nbsPressed) || AState.Contains(nbsSelected)) return AHot;
  return ANormal;
}

// ---------------------------------------------------------------------------
// TuiNavBarExplorerBarViewInfo

void TuiNavBarExplorerBarViewInfo::CreateGroupsInfo() {
  ClearGroups();
  TuiNavBarGroups* groups = Control()->Groups();
  for (int i = 0; i < groups->Count(); ++i)
    if (groups->Items(i)->Visible()) AddGroupViewInfo(groups->Items(i), true, true);
}

void TuiNavBarExplorerBarViewInfo::CalculateBounds() {
  TuiNavBarViewInfo::CalculateBounds();
  UpdateScrollBar();
  CalculateGroupControls();
}

void TuiNavBarExplorerBarViewInfo::UpdateScrollBar() {
  TuiNavBarScrollBar* bar = Control()->ScrollBar();
  if (!bar) return;
  const bool wasVisible = bar->Visible();
  const int count = GroupCount(), client = ClientHeight(), spacing = GroupsSpacing();
  const int height = count > 0 ? GroupInfos(count - 1)->Bounds.bottom + spacing : 0;
  if (count > 0 && client < height) {
    const int page = static_cast<int>(std::lround(static_cast<double>(client) * client / height));
    bar->SmallChange = GroupCaptionSignSize();
    bar->SetScrollParams(0, height - client + page, true, page, bar->Position());
    bar->SetVisible(true);
  } else {
    bar->SetVisible(false);
  }
  if (bar->Visible() != wasVisible && FRelayoutDepth < 2) {
    ++FRelayoutDepth;
    CalculateBounds();
    --FRelayoutDepth;
    return;
  }
  const int position = Control()->ScrollPosition();
  if (position != 0)
    for (int i = 0; i < count; ++i) GroupInfos(i)->OffsetBounds(0, -position);
}

void TuiNavBarExplorerBarViewInfo::ExpandGroup(TuiNavBarGroup* AGroup) {
  if (AGroup->Expandable() && !AGroup->Expanded()) AGroup->SetExpanded(true);
}

void TuiNavBarExplorerBarViewInfo::CollapseGroup(TuiNavBarGroup* AGroup) {
  if (AGroup->Expandable() && AGroup->Expanded()) AGroup->SetExpanded(false);
}

namespace {

// Scrolls so that a rectangle's top comes 2 pixels below the client top.
void scrollToTop(TuiCustomNavBar* AControl, int ATop) {
  TuiNavBarScrollBar* bar = AControl->ScrollBar();
  if (bar && bar->Visible()) bar->SetPosition(bar->Position() + ATop - 2);
  AControl->InvalidateAll(doRecreate);
}

}  // namespace

void TuiNavBarExplorerBarViewInfo::MakeLinkVisible(TuiNavBarItemLink* ALink) {
  TuiNavBarGroup* group = ALink ? ALink->Group() : nullptr;
  if (!group) return;
  if (!group->Expanded()) {
    group->SetExpanded(true);
    CreateGroupsInfo();
    CalculateBounds();
  }
  TuiNavBarGroupViewInfo* groupInfo = FindGroupViewInfo(group);
  if (!groupInfo) return;
  if (TuiNavBarLinkViewInfo* linkInfo = groupInfo->FindLinkViewInfo(ALink))
    scrollToTop(Control(), linkInfo->Bounds.top);
}

void TuiNavBarExplorerBarViewInfo::MakeGroupVisible(TuiNavBarGroup* AGroup) {
  if (!AGroup) return;
  if (!AGroup->Expanded()) {
    AGroup->SetExpanded(true);
    CreateGroupsInfo();
    CalculateBounds();
  }
  if (TuiNavBarGroupViewInfo* info = FindGroupViewInfo(AGroup)) scrollToTop(Control(), info->Bounds.top);
}

void TuiNavBarExplorerBarViewInfo::AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clWindow);
}

void TuiNavBarExplorerBarViewInfo::AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clWindow);
}

void TuiNavBarExplorerBarViewInfo::AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clBtnFace);
  AStyle->Font()->SetColor(clBtnText);
  addFontStyle(AStyle, fsBold);
}

void TuiNavBarExplorerBarViewInfo::AssignDefaultGroupHeaderActiveStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(6));
  backColors(AStyle, clActiveCaption);
  AStyle->Font()->SetColor(clCaptionText);
}

void TuiNavBarExplorerBarViewInfo::AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Font()->SetColor(clWindowText);
  AStyle->SetHAlignment(haCenter);
}

void TuiNavBarExplorerBarViewInfo::AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(13));
  AStyle->Font()->SetColor(clGrayText);
}

void TuiNavBarExplorerBarViewInfo::AssignDefaultItemHotTrackedStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(13));
  addFontStyle(AStyle, fsUnderline);
}

// ---------------------------------------------------------------------------
// TuiNavBarAdvExplorerBarViewInfo

// The base constructor and destructor reach only the base's empty resource
// operations, so this class takes and lets go of its set itself.
TuiNavBarAdvExplorerBarViewInfo::TuiNavBarAdvExplorerBarViewInfo(TuiNavBarPainter* APainter)
    : TuiNavBarExplorerBarViewInfo(APainter) {
  CreateResources();
}

TuiNavBarAdvExplorerBarViewInfo::~TuiNavBarAdvExplorerBarViewInfo() { ReleaseResources(); }

void TuiNavBarAdvExplorerBarViewInfo::CreateResources() {
  if (FHoldsResources) return;
  AddRefExplorerBarColors();
  FHoldsResources = true;
}

void TuiNavBarAdvExplorerBarViewInfo::RefreshResources() { RefreshExplorerBarColors(); }

void TuiNavBarAdvExplorerBarViewInfo::ReleaseResources() {
  if (!FHoldsResources) return;
  FHoldsResources = false;
  ReleaseExplorerBarColors();
}

bool TuiNavBarAdvExplorerBarViewInfo::backgroundSet() {
  return pairSet(TuiNavBarExplorerBarViewInfo::BackgroundBackColor(),
                 TuiNavBarExplorerBarViewInfo::BackgroundBackColor2());
}

TColor TuiNavBarAdvExplorerBarViewInfo::BackgroundBackColor() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundBackColor() : ExplorerBarColors().BackgroundColor1;
}
TColor TuiNavBarAdvExplorerBarViewInfo::BackgroundBackColor2() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundBackColor2()
                         : ExplorerBarColors().BackgroundColor2;
}
BYTE TuiNavBarAdvExplorerBarViewInfo::BackgroundAlphaBlending() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundAlphaBlending() : 255;
}
BYTE TuiNavBarAdvExplorerBarViewInfo::BackgroundAlphaBlending2() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarAdvExplorerBarViewInfo::BackgroundGradientMode() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundGradientMode() : gmVertical;
}

void TuiNavBarAdvExplorerBarViewInfo::AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
}

void TuiNavBarAdvExplorerBarViewInfo::AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
}

void TuiNavBarAdvExplorerBarViewInfo::AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
  AStyle->Font()->SetColor(clNone);
  addFontStyle(AStyle, fsBold);
}

void TuiNavBarAdvExplorerBarViewInfo::AssignDefaultGroupHeaderActiveStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(6));
  backColors(AStyle, clNone);
  AStyle->Font()->SetColor(clNone);
}

void TuiNavBarAdvExplorerBarViewInfo::AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Font()->SetColor(clNone);
  AStyle->SetHAlignment(haCenter);
}

void TuiNavBarAdvExplorerBarViewInfo::AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(13));
}

// ---------------------------------------------------------------------------
// TuiNavBarAdvExplorerBarGroupViewInfo

bool TuiNavBarAdvExplorerBarGroupViewInfo::backgroundSet() {
  return pairSet(TuiNavBarGroupViewInfo::GetBackgroundBackColor(), TuiNavBarGroupViewInfo::GetBackgroundBackColor2());
}

bool TuiNavBarAdvExplorerBarGroupViewInfo::captionSet() {
  return pairSet(TuiNavBarGroupViewInfo::GetCaptionBackColor(), TuiNavBarGroupViewInfo::GetCaptionBackColor2());
}

bool TuiNavBarAdvExplorerBarGroupViewInfo::special() { return GetState().Contains(nbsSpecial); }

TColor TuiNavBarAdvExplorerBarGroupViewInfo::GetBackgroundBackColor() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundBackColor() : ExplorerBarColors().GroupBackgroundColor;
}
TColor TuiNavBarAdvExplorerBarGroupViewInfo::GetBackgroundBackColor2() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundBackColor2()
                         : ExplorerBarColors().GroupBackgroundColor;
}
BYTE TuiNavBarAdvExplorerBarGroupViewInfo::GetBackgroundAlphaBlending() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending() : 255;
}
BYTE TuiNavBarAdvExplorerBarGroupViewInfo::GetBackgroundAlphaBlending2() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarAdvExplorerBarGroupViewInfo::GetBackgroundGradientMode() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundGradientMode() : gmHorizontal;
}

TColor TuiNavBarAdvExplorerBarGroupViewInfo::GetCaptionBackColor() {
  if (captionSet()) return TuiNavBarGroupViewInfo::GetCaptionBackColor();
  return special() ? ExplorerBarColors().SpecialCaptionColor1 : ExplorerBarColors().CaptionColor1;
}
TColor TuiNavBarAdvExplorerBarGroupViewInfo::GetCaptionBackColor2() {
  if (captionSet()) return TuiNavBarGroupViewInfo::GetCaptionBackColor2();
  return special() ? ExplorerBarColors().SpecialCaptionColor2 : ExplorerBarColors().CaptionColor2;
}
BYTE TuiNavBarAdvExplorerBarGroupViewInfo::GetCaptionAlphaBlending() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionAlphaBlending() : 255;
}
BYTE TuiNavBarAdvExplorerBarGroupViewInfo::GetCaptionAlphaBlending2() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarAdvExplorerBarGroupViewInfo::GetCaptionGradientMode() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionGradientMode() : gmHorizontal;
}

TColor TuiNavBarAdvExplorerBarGroupViewInfo::GetBorderColor() {
  if (captionSet()) return TuiNavBarGroupViewInfo::GetBorderColor();
  // A white border would vanish on a white client area.
  if (ColorToRGB(GetBackgroundBackColor()) == ColorToRGB(kWhite)) return GetLightColor40(clHighlight);
  return kWhite;
}

TColor TuiNavBarAdvExplorerBarGroupViewInfo::GetCaptionFontColor() {
  const TColor own = TuiNavBarGroupViewInfo::GetCaptionFontColor();
  if (own != clNone) return own;
  const TuiExplorerBarColors& c = ExplorerBarColors();
  const TuiNavBarDrawStates state = GetState();
  return special() ? SelectStateColor(c.SpecialCaptionTextColor, c.SpecialCaptionTextHotColor, state)
                   : SelectStateColor(c.CaptionTextColor, c.CaptionTextHotColor, state);
}

TColor TuiNavBarAdvExplorerBarGroupViewInfo::GetCaptionSignColor() {
  const TuiExplorerBarColors& c = ExplorerBarColors();
  const TuiNavBarDrawStates state = GetState();
  if (special()) {
    if (captionSet()) return TuiNavBarGroupViewInfo::GetCaptionBackColor2();
    return SelectStateColor(c.SpecialCaptionSignColor, c.SpecialCaptionSignHotColor, state);
  }
  const TColor own = TuiNavBarGroupViewInfo::GetCaptionFontColor();
  if (own != clNone) return own;
  return SelectStateColor(c.CaptionSignColor, c.CaptionSignHotColor, state);
}

// ---------------------------------------------------------------------------
// TuiNavBarAdvExplorerBarLinkViewInfo

TColor TuiNavBarAdvExplorerBarLinkViewInfo::GetFontColor() {
  const TColor own = TuiNavBarLinkViewInfo::GetFontColor();
  if (own != clNone) return own;
  return SelectStateColor(ExplorerBarColors().LinkTextColor, ExplorerBarColors().LinkTextHotColor, GetState());
}

// ---------------------------------------------------------------------------
// Painters

TuiNavBarViewInfo* TuiNavBarExplorerBarPainter::CreateViewInfo() { return new TuiNavBarExplorerBarViewInfo(this); }
TuiBaseBackgroundPainterClass TuiNavBarExplorerBarPainter::BackgroundPainterClass() {
  return TuiNavBarBackgroundPainter::Class();
}
TuiBaseButtonPainterClass TuiNavBarExplorerBarPainter::ButtonPainterClass() {
  return TuiNavBarExplorerButtonPainter::Class();
}
TuiBaseDropTargetGroupPainterClass TuiNavBarExplorerBarPainter::DropTargetGroupPainterClass() {
  return TuiNavBarDropTargetGroupPainter::Class();
}
TuiBaseDropTargetLinkPainterClass TuiNavBarExplorerBarPainter::DropTargetLinkPainterClass() {
  return TuiNavBarDropTargetLinkPainter::Class();
}
TuiBaseGroupBackgroundPainterClass TuiNavBarExplorerBarPainter::GroupBackgroundPainterClass() {
  return TuiNavBarGroupBackgroundPainter::Class();
}
TuiBaseGroupBorderPainterClass TuiNavBarExplorerBarPainter::GroupBorderPainterClass() {
  return TuiNavBarExplorerBarBorderPainter::Class();
}
TuiBaseImagePainterClass TuiNavBarExplorerBarPainter::ImagePainterClass() { return TuiNavBarImagePainter::Class(); }
TuiBaseSignPainterClass TuiNavBarExplorerBarPainter::SignPainterClass() {
  return TuiNavBarExplorerBarSignPainter::Class();
}

TuiBaseSelectionPainterClass TuiNavBarUltraFlatExplorerBarPainter::SelectionPainterClass() {
  return TuiNavBarUltraFlatSelectionPainter::Class();
}

TuiNavBarViewInfo* TuiNavBarAdvExplorerBarPainter::CreateViewInfo() {
  return new TuiNavBarAdvExplorerBarViewInfo(this);
}
TuiNavBarGroupViewInfo* TuiNavBarAdvExplorerBarPainter::CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo,
                                                                            TuiNavBarGroup* AGroup,
                                                                            bool AItemsVisible,
                                                                            bool ACaptionVisible) {
  return new TuiNavBarAdvExplorerBarGroupViewInfo(AViewInfo, AGroup, AItemsVisible, ACaptionVisible);
}
TuiNavBarLinkViewInfo* TuiNavBarAdvExplorerBarPainter::CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo,
                                                                          TuiNavBarItemLink* ALink,
                                                                          bool AImageVisible, bool ACaptionVisible) {
  return new TuiNavBarAdvExplorerBarLinkViewInfo(AGroupInfo, ALink, AImageVisible, ACaptionVisible);
}
TuiBaseButtonPainterClass TuiNavBarAdvExplorerBarPainter::ButtonPainterClass() {
  return TuiNavBarAdvExplorerButtonPainter::Class();
}
TuiBaseSignPainterClass TuiNavBarAdvExplorerBarPainter::SignPainterClass() {
  return TuiNavBarAdvExplorerBarSignPainter::Class();
}

// ---------------------------------------------------------------------------
// The unit

namespace {

void startUp() {
  RegisterView(nbExplorerBarView, "ExplorerBarView", TuiNavBarExplorerBarPainter::PainterClass());
  RegisterView(nbUltraFlatExplorerBarView, "UltraFlatExplorerBarView",
               TuiNavBarUltraFlatExplorerBarPainter::PainterClass());
  RegisterView(nbAdvExplorerBarView, "AdvExplorerBarView", TuiNavBarAdvExplorerBarPainter::PainterClass());
}

void shutDown() {
  UnregisterView(nbAdvExplorerBarView);
  UnregisterView(nbUltraFlatExplorerBarView);
  UnregisterView(nbExplorerBarView);
}

const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarUnit, &uiNavBarGraphicsUnit, &uiNavBarViewsFactUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarExplorerViewsUnit{"uiNavBarExplorerViews", kUses, &startUp, &shutDown};
