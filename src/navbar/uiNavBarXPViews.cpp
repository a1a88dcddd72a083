#include "navbar/uiNavBarXPViews.h"

#include "lookandfeel/uiThemeManager.h"
#include "lookandfeel/uiUxTheme.h"
#include "navbar/uiNavBarGraphics.h"
#include "navbar/uiNavBarViewsFact.h"

namespace {

constexpr TColor kWhite = static_cast<TColor>(0xFFFFFF);

// Parts of the "ExplorerBar" class.
constexpr int kHeaderBackground = 1;
constexpr int kNormalGroupBackground = 5;
constexpr int kNormalGroupHead = 8;
constexpr int kSpecialGroupHead = 12;

bool explorerBarThemed() { return OpenThemeForKind(thkExplorerBar) != nullptr; }

// Themed and the shell's task-pane style is there.
bool explorerBarStyled() { return explorerBarThemed() && IsShellStyleLoaded(); }

// A colour of the explorer bar's theme; false when the class does not open
// or the theme does not know the property.
bool themeColor(int APart, int AState, int AProperty, TColor& AColor) {
  HTHEME theme = OpenThemeForKind(thkExplorerBar);
  if (!theme) return false;
  COLORREF color = 0;
  if (FAILED(uiUxTheme::GetThemeColor(theme, APart, AState, AProperty, &color))) return false;
  AColor = static_cast<TColor>(color);
  return true;
}

// A part's fill for both ends of a pair, or, when the theme has no fill,
// its two gradient colours; false when it has neither.
bool themePair(int APart, bool ASecond, TColor& AColor) {
  if (themeColor(APart, 0, TMT_FILLCOLOR, AColor)) return true;
  return themeColor(APart, 0, ASecond ? TMT_GRADIENTCOLOR2 : TMT_GRADIENTCOLOR1, AColor);
}

void removeFontStyle(TFont* AFont, TFontStyle AStyle) {
  TFontStyles styles = AFont->Style();
  styles.Exclude(AStyle);
  AFont->SetStyle(styles);
}

}  // namespace

// ---------------------------------------------------------------------------
// TuiNavBarXP1ViewInfo

void TuiNavBarXP1ViewInfo::AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clAppWorkSpace);
}

void TuiNavBarXP1ViewInfo::AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
}

void TuiNavBarXP1ViewInfo::AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) {
  AStyle->ResetValues();
  backColors(AStyle, clNone);
  AStyle->Font()->SetColor(clCaptionText);
  AStyle->SetHAlignment(haCenter);
}

void TuiNavBarXP1ViewInfo::AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) { AssignButtonFaceItemStyle(AStyle); }

void TuiNavBarXP1ViewInfo::AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) {
  AssignButtonFaceItemDisabledStyle(AStyle);
}

// ---------------------------------------------------------------------------
// TuiNavBarXP1GroupViewInfo

bool TuiNavBarXP1GroupViewInfo::backgroundSet() {
  return pairSet(TuiNavBarGroupViewInfo::GetBackgroundBackColor(), TuiNavBarGroupViewInfo::GetBackgroundBackColor2());
}

bool TuiNavBarXP1GroupViewInfo::captionSet() {
  return pairSet(TuiNavBarGroupViewInfo::GetCaptionBackColor(), TuiNavBarGroupViewInfo::GetCaptionBackColor2());
}

TColor TuiNavBarXP1GroupViewInfo::GetBackgroundBackColor() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundBackColor() : GetLightColor40(clInactiveCaption);
}
TColor TuiNavBarXP1GroupViewInfo::GetBackgroundBackColor2() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundBackColor2() : clInactiveCaption;
}
BYTE TuiNavBarXP1GroupViewInfo::GetBackgroundAlphaBlending() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending() : 255;
}
BYTE TuiNavBarXP1GroupViewInfo::GetBackgroundAlphaBlending2() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarXP1GroupViewInfo::GetBackgroundGradientMode() {
  return backgroundSet() ? TuiNavBarGroupViewInfo::GetBackgroundGradientMode() : gmHorizontal;
}

TColor TuiNavBarXP1GroupViewInfo::GetCaptionBackColor() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionBackColor() : clActiveCaption;
}
TColor TuiNavBarXP1GroupViewInfo::GetCaptionBackColor2() {
  if (captionSet()) return TuiNavBarGroupViewInfo::GetCaptionBackColor2();
  return GetState().Contains(nbsHotTracked) ? clActiveCaption : GetScaledColor60(clActiveCaption);
}
BYTE TuiNavBarXP1GroupViewInfo::GetCaptionAlphaBlending() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionAlphaBlending() : 255;
}
BYTE TuiNavBarXP1GroupViewInfo::GetCaptionAlphaBlending2() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionAlphaBlending2() : 255;
}
TuiBarStyleGradientMode TuiNavBarXP1GroupViewInfo::GetCaptionGradientMode() {
  return captionSet() ? TuiNavBarGroupViewInfo::GetCaptionGradientMode() : gmHorizontal;
}

// ---------------------------------------------------------------------------
// TuiNavBarXP1Painter

TuiNavBarViewInfo* TuiNavBarXP1Painter::CreateViewInfo() { return new TuiNavBarXP1ViewInfo(this); }
TuiNavBarGroupViewInfo* TuiNavBarXP1Painter::CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo, TuiNavBarGroup* AGroup,
                                                                 bool AItemsVisible, bool ACaptionVisible) {
  return new TuiNavBarXP1GroupViewInfo(AViewInfo, AGroup, AItemsVisible, ACaptionVisible);
}
TuiBaseScrollButtonsPainterClass TuiNavBarXP1Painter::ScrollButtonsPainterClass() {
  return TuiNavBarXPScrollButtonsPainter::Class();
}
TuiBaseSelectionPainterClass TuiNavBarXP1Painter::SelectionPainterClass() {
  return TuiNavBarXPSelectionPainter::Class();
}

// The caption's own second colour (its darker shade) is what owner-draw
// handlers read; the button itself is lit from the left and brightens as
// the mouse comes over it.
void TuiNavBarXP1Painter::DrawGroupCaptionButton(TuiNavBarGroupViewInfo* AGroupInfo) {
  const TColor caption = AGroupInfo->GetCaptionBackColor();
  const TuiNavBarDrawStates state = AGroupInfo->GetState();
  const TColor second = state.Contains(nbsHotTracked) ? GetLightColor80(caption) : caption;
  ButtonPainterClass()->DrawButton(Canvas(), AGroupInfo->HeaderBounds, AGroupInfo->GetCaptionImage(),
                                   GetLightColor40(caption), second, AGroupInfo->GetCaptionAlphaBlending(),
                                   AGroupInfo->GetCaptionAlphaBlending2(), AGroupInfo->GetCaptionGradientMode(),
                                   AGroupInfo->GetCaptionBorderColor(), state);
}

// ---------------------------------------------------------------------------
// TuiNavBarXP2Painter

TuiBaseBackgroundPainterClass TuiNavBarXP2Painter::BackgroundPainterClass() {
  return TuiNavBarXPBackgroundPainter::Class();
}
TuiBaseButtonPainterClass TuiNavBarXP2Painter::ButtonPainterClass() { return TuiNavBarXPButtonPainter::Class(); }
TuiBaseGroupBackgroundPainterClass TuiNavBarXP2Painter::GroupBackgroundPainterClass() {
  return TuiNavBarXPGroupBackgroundPainter::Class();
}
TuiBaseScrollButtonsPainterClass TuiNavBarXP2Painter::ScrollButtonsPainterClass() {
  return TuiNavBarXPScrollButtonsPainter::Class();
}
TuiBaseSelectionPainterClass TuiNavBarXP2Painter::SelectionPainterClass() {
  return TuiNavBarXPSelectionPainter::Class();
}

// ---------------------------------------------------------------------------
// TuiNavBarXPExplorerBarViewInfo

// The base constructor and destructor reach only the base's empty resource
// operations, so this class takes and lets go of the style itself.
TuiNavBarXPExplorerBarViewInfo::TuiNavBarXPExplorerBarViewInfo(TuiNavBarPainter* APainter)
    : TuiNavBarExplorerBarViewInfo(APainter) {
  CreateResources();
}

TuiNavBarXPExplorerBarViewInfo::~TuiNavBarXPExplorerBarViewInfo() { ReleaseResources(); }

void TuiNavBarXPExplorerBarViewInfo::CreateResources() {
  if (FHoldsResources) return;
  AddRefXPExplorerBarStyle();
  FHoldsResources = true;
}

void TuiNavBarXPExplorerBarViewInfo::RefreshResources() { RefreshXPExplorerBarStyle(); }

void TuiNavBarXPExplorerBarViewInfo::ReleaseResources() {
  if (!FHoldsResources) return;
  FHoldsResources = false;
  ReleaseXPExplorerBarStyle();
}

int TuiNavBarXPExplorerBarViewInfo::GroupCaptionSignSize() { return explorerBarThemed() ? 22 : 18; }

TColor TuiNavBarXPExplorerBarViewInfo::BackgroundBackColor() {
  TColor c;
  return themeColor(kHeaderBackground, -1, TMT_GRADIENTCOLOR1, c) ? c
                                                                  : TuiNavBarExplorerBarViewInfo::BackgroundBackColor();
}
TColor TuiNavBarXPExplorerBarViewInfo::BackgroundBackColor2() {
  TColor c;
  return themeColor(kHeaderBackground, -1, TMT_GRADIENTCOLOR2, c)
             ? c
             : TuiNavBarExplorerBarViewInfo::BackgroundBackColor2();
}
BYTE TuiNavBarXPExplorerBarViewInfo::BackgroundAlphaBlending() {
  return explorerBarThemed() ? 255 : TuiNavBarExplorerBarViewInfo::BackgroundAlphaBlending();
}
BYTE TuiNavBarXPExplorerBarViewInfo::BackgroundAlphaBlending2() {
  return explorerBarThemed() ? 255 : TuiNavBarExplorerBarViewInfo::BackgroundAlphaBlending2();
}
TuiBarStyleGradientMode TuiNavBarXPExplorerBarViewInfo::BackgroundGradientMode() {
  return explorerBarThemed() ? gmVertical : TuiNavBarExplorerBarViewInfo::BackgroundGradientMode();
}

// ---------------------------------------------------------------------------
// TuiNavBarXPExplorerBarGroupViewInfo

TColor TuiNavBarXPExplorerBarGroupViewInfo::GetBorderColor() {
  // The task pane's sheet belongs to the themed look, as its fonts do:
  // without visual styles the view keeps the plain explorer bar's border.
  if (explorerBarStyled() && ShellStyleBorderColor() != clNone) return ShellStyleBorderColor();
  TColor c;
  return themeColor(kNormalGroupBackground, 0, TMT_BORDERCOLOR, c) ? c : TuiNavBarGroupViewInfo::GetBorderColor();
}

TColor TuiNavBarXPExplorerBarGroupViewInfo::GetBackgroundBackColor() {
  TColor c;
  return themePair(kNormalGroupBackground, false, c) ? c : TuiNavBarGroupViewInfo::GetBackgroundBackColor();
}
TColor TuiNavBarXPExplorerBarGroupViewInfo::GetBackgroundBackColor2() {
  TColor c;
  return themePair(kNormalGroupBackground, true, c) ? c : TuiNavBarGroupViewInfo::GetBackgroundBackColor2();
}
BYTE TuiNavBarXPExplorerBarGroupViewInfo::GetBackgroundAlphaBlending() {
  return explorerBarThemed() ? 255 : TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending();
}
BYTE TuiNavBarXPExplorerBarGroupViewInfo::GetBackgroundAlphaBlending2() {
  return explorerBarThemed() ? 255 : TuiNavBarGroupViewInfo::GetBackgroundAlphaBlending2();
}
TuiBarStyleGradientMode TuiNavBarXPExplorerBarGroupViewInfo::GetBackgroundGradientMode() {
  return explorerBarThemed() ? gmHorizontal : TuiNavBarGroupViewInfo::GetBackgroundGradientMode();
}

namespace {

int headPart(TuiNavBarGroupViewInfo* AInfo) {
  return AInfo->GetState().Contains(nbsSpecial) ? kSpecialGroupHead : kNormalGroupHead;
}

}  // namespace

TColor TuiNavBarXPExplorerBarGroupViewInfo::GetCaptionBackColor() {
  TColor c;
  return themePair(headPart(this), false, c) ? c : TuiNavBarGroupViewInfo::GetCaptionBackColor();
}
TColor TuiNavBarXPExplorerBarGroupViewInfo::GetCaptionBackColor2() {
  TColor c;
  return themePair(headPart(this), true, c) ? c : TuiNavBarGroupViewInfo::GetCaptionBackColor2();
}
BYTE TuiNavBarXPExplorerBarGroupViewInfo::GetCaptionAlphaBlending() {
  return explorerBarThemed() ? 255 : TuiNavBarGroupViewInfo::GetCaptionAlphaBlending();
}
BYTE TuiNavBarXPExplorerBarGroupViewInfo::GetCaptionAlphaBlending2() {
  return explorerBarThemed() ? 255 : TuiNavBarGroupViewInfo::GetCaptionAlphaBlending2();
}
TuiBarStyleGradientMode TuiNavBarXPExplorerBarGroupViewInfo::GetCaptionGradientMode() {
  return explorerBarThemed() ? gmHorizontal : TuiNavBarGroupViewInfo::GetCaptionGradientMode();
}

TFont* TuiNavBarXPExplorerBarGroupViewInfo::GetCaptionFont() {
  TFont* font = TuiNavBarGroupViewInfo::GetCaptionFont();
  if (!explorerBarStyled()) return font;
  TFont* shell = GetState().Contains(nbsHotTracked) ? ShellStyleCaptionHotFont() : ShellStyleCaptionFont();
  if (shell) font->Assign(shell);
  removeFontStyle(font, fsUnderline);
  return font;
}

TColor TuiNavBarXPExplorerBarGroupViewInfo::GetCaptionFontColor() {
  if (!explorerBarStyled()) return TuiNavBarGroupViewInfo::GetCaptionFontColor();
  if (GetState().Contains(nbsSpecial)) return kWhite;
  return GetCaptionFont()->Color();
}

// ---------------------------------------------------------------------------
// TuiNavBarXPExplorerBarLinkViewInfo

TFont* TuiNavBarXPExplorerBarLinkViewInfo::GetFont() {
  TFont* font = TuiNavBarLinkViewInfo::GetFont();
  if (!explorerBarStyled()) return font;
  const TuiNavBarDrawStates state = GetState();
  TFont* shell = state.Contains(nbsHotTracked) ? ShellStyleLinkHotFont() : ShellStyleLinkFont();
  if (shell) font->Assign(shell);
  if (state.Contains(nbsDisabled)) removeFontStyle(font, fsUnderline);
  return font;
}

TColor TuiNavBarXPExplorerBarLinkViewInfo::GetFontColor() {
  if (!explorerBarStyled()) return TuiNavBarLinkViewInfo::GetFontColor();
  const TColor color = GetFont()->Color();
  return GetState().Contains(nbsDisabled) ? GetLightColor80(color) : color;
}

// ---------------------------------------------------------------------------
// TuiNavBarXPExplorerBarPainter

TuiNavBarViewInfo* TuiNavBarXPExplorerBarPainter::CreateViewInfo() { return new TuiNavBarXPExplorerBarViewInfo(this); }
TuiNavBarGroupViewInfo* TuiNavBarXPExplorerBarPainter::CreateGroupViewInfo(TuiNavBarViewInfo* AViewInfo,
                                                                           TuiNavBarGroup* AGroup, bool AItemsVisible,
                                                                           bool ACaptionVisible) {
  return new TuiNavBarXPExplorerBarGroupViewInfo(AViewInfo, AGroup, AItemsVisible, ACaptionVisible);
}
TuiNavBarLinkViewInfo* TuiNavBarXPExplorerBarPainter::CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo,
                                                                         TuiNavBarItemLink* ALink, bool AImageVisible,
                                                                         bool ACaptionVisible) {
  return new TuiNavBarXPExplorerBarLinkViewInfo(AGroupInfo, ALink, AImageVisible, ACaptionVisible);
}
TuiBaseBackgroundPainterClass TuiNavBarXPExplorerBarPainter::BackgroundPainterClass() {
  return TuiNavBarXPExplorerBarBackgroundPainter::Class();
}
TuiBaseButtonPainterClass TuiNavBarXPExplorerBarPainter::ButtonPainterClass() {
  return TuiNavBarXPExplorerBarButtonPainter::Class();
}
TuiBaseSignPainterClass TuiNavBarXPExplorerBarPainter::SignPainterClass() {
  return TuiNavBarXPExplorerBarSignPainter::Class();
}

// ---------------------------------------------------------------------------
// The unit

namespace {

void startUp() {
  RegisterView(nbXP1View, "XP1View", TuiNavBarXP1Painter::PainterClass());
  RegisterView(nbXP2View, "XP2View", TuiNavBarXP2Painter::PainterClass());
  RegisterView(nbXPExplorerBarView, "XPExplorerBarView", TuiNavBarXPExplorerBarPainter::PainterClass());
}

void shutDown() {
  UnregisterView(nbXPExplorerBarView);
  UnregisterView(nbXP2View);
  UnregisterView(nbXP1View);
}

const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarBaseViewsUnit, &uiNavBarOfficeViewsUnit,
                                                &uiNavBarExplorerViewsUnit, &uiNavBarGraphicsUnit,
                                                &uiNavBarViewsFactUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarXPViewsUnit{"uiNavBarXPViews", kUses, &startUp, &shutDown};
