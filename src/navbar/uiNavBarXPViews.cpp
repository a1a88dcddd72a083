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
  RegisterView(nbXPExplorerBarView, "XPExplorerBarView", TuiNavBarXPExplorerBarPainter::PainterClass());
}

void shutDown() { UnregisterView(nbXPExplorerBarView); }

const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarExplorerViewsUnit, &uiNavBarGraphicsUnit,
                                                &uiNavBarViewsFactUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarXPViewsUnit{"uiNavBarXPViews", kUses, &startUp, &shutDown};
