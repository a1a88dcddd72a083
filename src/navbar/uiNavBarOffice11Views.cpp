#include "navbar/uiNavBarOffice11Views.h"

#include "navbar/uiNavBarGraphics.h"
#include "navbar/uiNavBarViewsFact.h"

namespace {

void backColors(TuiBaseNavBarStyle* AStyle, TColor AColor) {
  AStyle->SetBackColor(AColor);
  AStyle->SetBackColor2(AColor);
}

void addFontStyle(TuiBaseNavBarStyle* AStyle, TFontStyle AFontStyle) {
  TFontStyles styles = AStyle->Font()->Style();
  styles.Include(AFontStyle);
  AStyle->Font()->SetStyle(styles);
}

// A pair with either colour unset is the user's choice of neither.
bool pairSet(TColor A, TColor B) { return A != clNone && B != clNone; }

}  // namespace

// ---------------------------------------------------------------------------
// View 12

// The base constructor and destructor reach only the base's empty resource
// operations, so this class takes and lets go of its set itself.
TuiNavBarOffice11ViewInfo::TuiNavBarOffice11ViewInfo(TuiNavBarPainter* APainter)
    : TuiNavBarExplorerBarViewInfo(APainter) {
  CreateResources();
}

TuiNavBarOffice11ViewInfo::~TuiNavBarOffice11ViewInfo() { ReleaseResources(); }

void TuiNavBarOffice11ViewInfo::CreateResources() {
  if (FHoldsResources) return;
  AddRefOffice11ViewColors();
  FHoldsResources = true;
}

void TuiNavBarOffice11ViewInfo::RefreshResources() { RefreshOffice11ViewColors(); }

void TuiNavBarOffice11ViewInfo::ReleaseResources() {
  if (!FHoldsResources) return;
  FHoldsResources = false;
  ReleaseOffice11ViewColors();
}

bool TuiNavBarOffice11ViewInfo::backgroundSet() {
  return pairSet(TuiNavBarExplorerBarViewInfo::BackgroundBackColor(),
                 TuiNavBarExplorerBarViewInfo::BackgroundBackColor2());
}

TColor TuiNavBarOffice11ViewInfo::BackgroundBackColor() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundBackColor()
                         : Office11ViewColors().Office11BackgroundColor1;
}
TColor TuiNavBarOffice11ViewInfo::BackgroundBackColor2() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundBackColor2()
                         : Office11ViewColors().Office11BackgroundColor2;
}
BYTE TuiNavBarOffice11ViewInfo::BackgroundAlphaBlending() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundAlphaBlending() : 255;
}
BYTE TuiNavBarOffice11ViewInfo::BackgroundAlphaBlending2() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarOffice11ViewInfo::BackgroundGradientMode() {
  return backgroundSet() ? TuiNavBarExplorerBarViewInfo::BackgroundGradientMode() : gmVertical;
}

void TuiNavBarOffice11ViewInfo::AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
}

void TuiNavBarOffice11ViewInfo::AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
}

void TuiNavBarOffice11ViewInfo::AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
  AStyle->Font()->SetColor(clNone);
  AStyle->Font()->SetSize(10);
  addFontStyle(AStyle, fsBold);
}

void TuiNavBarOffice11ViewInfo::AssignDefaultGroupHeaderActiveStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Assign(DefaultStyle(6));
}

void TuiNavBarOffice11ViewInfo::AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  AStyle->Font()->SetColor(clNone);
  AStyle->SetHAlignment(haCenter);
}

bool TuiNavBarOffice11GroupViewInfo::backgroundSet() {
  return pairSet(TuiNavBarGroupViewInfo::GetBackgroundBackColor(), TuiNavBarGroupViewInfo::GetBackgroundBackColor2());
}

bool TuiNavBarOffice11GroupViewInfo::captionSet() {
  return pairSet(TuiNavBarGroupViewInfo::GetCaptionBackColor(), TuiNavBarGroupViewInfo::GetCaptionBackColor2());
}

TColor TuiNavBarOffice11GroupViewInfo::GetBackgroundBackColor() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundBackColor()
                         : Office11ViewColors().Office11GroupBackgroundColor1;
}
TColor TuiNavBarOffice11GroupViewInfo::GetBackgroundBackColor2() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundBackColor2()
                         : Office11ViewColors().Office11GroupBackgroundColor2;
}
BYTE TuiNavBarOffice11GroupViewInfo::GetBackgroundAlphaBlending() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending() : 255;
}
BYTE TuiNavBarOffice11GroupViewInfo::GetBackgroundAlphaBlending2() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarOffice11GroupViewInfo::GetBackgroundGradientMode() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundGradientMode() : gmVertical;
}

TColor TuiNavBarOffice11GroupViewInfo::GetCaptionBackColor() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionBackColor() : Office11ViewColors().Office11CaptionColor1;
}
TColor TuiNavBarOffice11GroupViewInfo::GetCaptionBackColor2() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionBackColor2() : Office11ViewColors().Office11CaptionColor2;
}
BYTE TuiNavBarOffice11GroupViewInfo::GetCaptionAlphaBlending() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionAlphaBlending() : 255;
}
BYTE TuiNavBarOffice11GroupViewInfo::GetCaptionAlphaBlending2() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarOffice11GroupViewInfo::GetCaptionGradientMode() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionGradientMode() : gmHorizontal;
}

TColor TuiNavBarOffice11GroupViewInfo::GetBorderColor() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetBorderColor() : Office11ViewColors().Office11GroupBorderColor;
}

TColor TuiNavBarOffice11GroupViewInfo::GetCaptionFontColor() {
  const TColor own = TuiNavBarGroupViewInfo::GetCaptionFontColor();
  return own != clNone ? own : Office11ViewColors().Office11CaptionTextColor;
}

TColor TuiNavBarOffice11LinkViewInfo::GetFontColor() {
  const TColor own = TuiNavBarLinkViewInfo::GetFontColor();
  return own != clNone ? own : Office11ViewColors().Office11LinkTextColor;
}

TuiNavBarViewInfo* TuiNavBarOffice11Painter::CreateViewInfo() { return new TuiNavBarOffice11ViewInfo(this); }
TuiNavBarGroupViewInfo* TuiNavBarOffice11Painter::CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo,
                                                                      TuiNavBarGroup* AGroup, bool AItemsVisible,
                                                                      bool ACaptionVisible) {
  return new TuiNavBarOffice11GroupViewInfo(AViewInfo, AGroup, AItemsVisible, ACaptionVisible);
}
TuiNavBarLinkViewInfo* TuiNavBarOffice11Painter::CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo,
                                                                    TuiNavBarItemLink* ALink, bool AImageVisible,
                                                                    bool ACaptionVisible) {
  return new TuiNavBarOffice11LinkViewInfo(AGroupInfo, ALink, AImageVisible, ACaptionVisible);
}
TuiBaseButtonPainterClass TuiNavBarOffice11Painter::ButtonPainterClass() {
  return TuiNavBarOffice11ButtonPainter::Class();
}
TuiBaseSignPainterClass TuiNavBarOffice11Painter::SignPainterClass() { return TuiNavBarOffice11SignPainter::Class(); }

// ---------------------------------------------------------------------------
// The unit

namespace {

void startUp() { RegisterView(nbOffice11TaskPaneView, "Office11TaskPaneView", TuiNavBarOffice11Painter::PainterClass()); }

void shutDown() { UnregisterView(nbOffice11TaskPaneView); }

const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarUnit, &uiNavBarGraphicsUnit, &uiNavBarViewsFactUnit,
                                                &uiNavBarExplorerViewsUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarOffice11ViewsUnit{"uiNavBarOffice11Views", kUses, &startUp, &shutDown};
