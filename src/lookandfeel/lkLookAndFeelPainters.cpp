#include "lookandfeel/lkLookAndFeelPainters.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "lookandfeel/lkGeometry.h"
#include "lookandfeel/uiOffice11.h"
#include "platform/classlib/Messages.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/FrameControl.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/MulDiv.h"
#include "platform/os/gdi/PredefinedBitmaps.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/user/Metrics.h"

namespace lg = lkGraphics;

namespace {

// --- unit state -----------------------------------------------------------
int StartCount = 0;
TPoint CheckGlyphSize{0, 0};

// v / 2 rounded the way the platform's multiply-divide rounds.
int half(int v) { return MulDiv(v, 1, 2); }

TRect deflated(const TRect& R, int d) { return lkGrowRect(R, -d, -d, -d, -d); }

// A solid brush of the colour; a clear or patterned brush would leave a
// colour equal to the old one unfilled.
void solidBrush(TlkCanvas* ACanvas, TColor AColor) {
  if (ACanvas->Brush()->Style() != bsSolid || ACanvas->Brush()->Bitmap()) ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
}

// A solid one-pixel pen of the colour.
void thinPen(TlkCanvas* ACanvas, TColor AColor) {
  TPen* pen = ACanvas->Pen();
  if (pen->Style() != psSolid) pen->SetStyle(psSolid);
  if (pen->Width() != 1) pen->SetWidth(1);
  if (pen->Color() != AColor) pen->SetColor(AColor);
}

// A line that includes its end point, which LineTo leaves out.
void lineWithEnd(TlkCanvas* ACanvas, TPoint From, TPoint To) {
  ACanvas->MoveTo(From.x, From.y);
  ACanvas->LineTo(To.x, To.y);
  ACanvas->SetPixel(To.x, To.y, ACanvas->Pen()->Color());
}

void filledPolygon(TlkCanvas* ACanvas, const std::vector<TPoint>& Points, TColor AColor) {
  solidBrush(ACanvas, AColor);
  thinPen(ACanvas, AColor);
  ACanvas->Polygon(Points);
}

TlkTextFlags contentTextFlags(TAlignment AHorz, TTextLayout AVert, bool AMultiLine, bool AEndEllipsis) {
  TlkTextFlags flags = 0;
  switch (AHorz) {
    case taRightJustify: flags |= lg::tfRight; break;
    case taCenter: flags |= lg::tfHCenter; break;
    default: flags |= lg::tfLeft; break;
  }
  switch (AVert) {
    case tlCenter: flags |= lg::tfVCenter; break;
    case tlBottom: flags |= lg::tfBottom; break;
    default: flags |= lg::tfTop; break;
  }
  flags |= AMultiLine ? lg::tfWordBreak : lg::tfSingleLine;
  if (AEndEllipsis) flags |= lg::tfEndEllipsis;
  return flags;
}

// Text with a clear brush; the brush style comes back afterwards. A text
// colour of clDefault keeps the font's own.
void drawClearText(TlkCanvas* ACanvas, const std::string& AText, const TRect& R, TlkTextFlags AFlags,
                   TFont* AFont, TColor ATextColor, bool AEnabled = true) {
  if (AFont) ACanvas->SetFont(AFont);
  if (ATextColor != clDefault && ATextColor != clNone) ACanvas->Font()->SetColor(ATextColor);
  const TBrushStyle style = ACanvas->Brush()->Style();
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->DrawText(AText, R, AFlags, AEnabled);
  ACanvas->Brush()->SetStyle(style);
}

// A background from view parameters: tiled with their bitmap when it has
// one, else filled with their colour by the canvas's rules.
void paintViewParams(TlkCanvas* ACanvas, const TRect& R, const TlkViewParams& AViewParams) {
  if (GlyphIsSet(AViewParams.Bitmap))
    ACanvas->FillRect(R, AViewParams.Bitmap);
  else
    ACanvas->FillRectColor(R, AViewParams.Color);
}

void measureCheckGlyphSize() {
  CheckGlyphSize = TPoint{0, 0};
  HBITMAP bitmap = LoadBitmap(nullptr, MAKEINTRESOURCE(OBM_CHECKBOXES));
  if (!bitmap) return;
  BITMAP info{};
  if (GetBitmapInfo(bitmap, info)) CheckGlyphSize = TPoint{info.bmWidth / 4, info.bmHeight / 3};
  DeleteObject(bitmap);
}

}  // namespace

// ---------------------------------------------------------------------------
TlkLookAndFeelKind StyleCodeToLookAndFeelKind(BYTE AStyleCode) {
  switch (AStyleCode) {
    case lkStyleCodeFlat: return lfFlat;
    case lkStyleCodeUltraFlat: return lfUltraFlat;
    case lkStyleCodeOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

TlkArrowHeading ScrollBarArrowHeading(bool AHorizontal, TlkScrollBarArea AArea) {
  if (AHorizontal) return AArea == sbaTopLeftArrow ? ahLeft : ahRight;
  return AArea == sbaTopLeftArrow ? ahUp : ahDown;
}

std::array<TPoint, 3> lkCalculateArrowPoints(const TRect& R, bool ASquareFit, TlkArrowHeading AHeading,
                                             int ASize) {
  TRect r = R;
  if (ASquareFit) {
    const int d = lkGetRectWidth(r) - lkGetRectHeight(r);
    if (d <= 0) {
      r.top += -d / 2;
      r.bottom -= -d / 2;
    } else {
      r.left += d / 2;
      r.right -= d / 2;
    }
  }
  const bool across = AHeading == ahLeft || AHeading == ahRight;
  const int n = ASize > 0 ? ASize : ((across ? lkGetRectHeight(r) : lkGetRectWidth(r)) - 1) / 4 + 1;
  const int L = r.left, T = r.top, Rt = r.right, B = r.bottom;
  switch (AHeading) {
    case ahUp: {
      const int a = half(T + B - n), x = (L + Rt - (2 * n - 1)) / 2;
      return {TPoint{(L + Rt - 1) / 2, a}, TPoint{x, a + n - 1}, TPoint{x + 2 * n - 2, a + n - 1}};
    }
    case ahDown: {
      const int a = half(T + B - n), x = (L + Rt - (2 * n - 1)) / 2;
      return {TPoint{x, a}, TPoint{x + 2 * n - 2, a}, TPoint{(L + Rt - 1) / 2, a + n - 1}};
    }
    case ahLeft: {
      const int x = (L + Rt - n) / 2, y = half(T + B - (2 * n - 1));
      return {TPoint{x, (T + B) / 2}, TPoint{x + n - 1, y}, TPoint{x + n - 1, y + 2 * n - 2}};
    }
    case ahRight:
    default: {
      const int x = (L + Rt - n) / 2, y = half(T + B - (2 * n - 1));
      return {TPoint{x, y}, TPoint{x, y + 2 * n - 2}, TPoint{x + n - 1, (T + B) / 2}};
    }
  }
}

void lkDrawArrow(TlkCanvas* ACanvas, const TRect& R, bool ASquareFit, TlkArrowHeading AHeading, TColor AColor) {
  const auto p = lkCalculateArrowPoints(R, ASquareFit, AHeading);
  filledPolygon(ACanvas, {p[0], p[1], p[2]}, AColor);
}

void lkDrawExpandCross(TlkCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) {
  const int cx = (R.left + R.right) / 2, cy = (R.top + R.bottom) / 2;
  const int h = (lkGetRectWidth(R) - 4) / 2;
  ACanvas->FillRectColor(TRect{cx - h, cy, cx + h + 1, cy + 1}, AColor);
  if (!AExpanded) ACanvas->FillRectColor(TRect{cx, cy - h, cx + 1, cy + h + 1}, AColor);
}

TPoint lkCheckGlyphSize() { return CheckGlyphSize; }

// The row indicator images are the unit's own resources, loaded with the
// other shared painter resources at start-up once those are built; until
// then there are none and the glyphs draw nothing.
TCustomImageList* lkRowIndicatorImages() { return nullptr; }

// ---------------------------------------------------------------------------
// TlkCustomLookAndFeelPainter

void TlkCustomLookAndFeelPainter::PaintBackground(TlkCanvas* ACanvas, const TRect& R, bool ATransparent,
                                                  TColor AColor, TBitmap* ABitmap) const {
  if (!ATransparent) {
    ACanvas->FillRectColor(R, AColor);
    return;
  }
  if (!GlyphIsSet(ABitmap)) return;
  ACanvas->Brush()->SetBitmap(ABitmap);
  ACanvas->FillRect(R);
  ACanvas->Brush()->SetBitmap(nullptr);
  ACanvas->Brush()->SetStyle(bsSolid);
}

void TlkCustomLookAndFeelPainter::DrawDropDownGlyph(TlkCanvas* ACanvas, const TRect& R, TColor AColor) const {
  int a = lkGetRectWidth(R) / 2;
  if (a % 2 == 0) ++a;
  const int b = a / 2 + 1;
  const TPoint first{(R.left + R.right - a) / 2, half(R.top + R.bottom - b)};
  filledPolygon(ACanvas, {first, TPoint{first.x + a - 1, first.y}, TPoint{first.x + a / 2, first.y + b - 1}},
                AColor);
}

void TlkCustomLookAndFeelPainter::PaintContent(TlkCanvas* ACanvas, const TRect& R,
                                               const TlkCustomDrawContentProc& ACustomDraw,
                                               TColor ABackgroundColor, TColor ATextColor, TFont* AFont,
                                               const std::string& AText, TAlignment AHorzAlignment,
                                               TTextLayout AVertAlignment, bool AMultiLine, bool AShowEndEllipsis,
                                               const TRect& ATextRect) const {
  if (ACustomDraw && ACustomDraw(ACanvas, R)) return;
  ACanvas->FillRectColor(R, ABackgroundColor);
  if (AText.empty()) return;
  drawClearText(ACanvas, AText, ATextRect,
                contentTextFlags(AHorzAlignment, AVertAlignment, AMultiLine, AShowEndEllipsis), AFont, ATextColor);
}

void TlkCustomLookAndFeelPainter::DrawBarFirstPart(TlkCanvas*, const TRect&) const {}
void TlkCustomLookAndFeelPainter::DrawBarSecondPart(TlkCanvas*, const TRect&) const {}

TRect TlkCustomLookAndFeelPainter::BorderClientBounds(const TRect& R) const {
  return deflated(R, FrameBorderWidth());
}

TRect TlkCustomLookAndFeelPainter::BorderTextBounds(const TRect& R) const {
  return deflated(BorderClientBounds(R), 2);
}

BYTE TlkCustomLookAndFeelPainter::StyleCode() const { return lkStyleCodeStandard; }

// --- default colours --------------------------------------------------------
TColor TlkCustomLookAndFeelPainter::DefaultColor1() const { return clWindow; }
TColor TlkCustomLookAndFeelPainter::DefaultColor2() const { return DefaultColor1(); }
TColor TlkCustomLookAndFeelPainter::DefaultColor3() const { return DefaultColor1(); }
TColor TlkCustomLookAndFeelPainter::DefaultColor4() const { return clWindowText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor5() const { return clBtnShadow; }
TColor TlkCustomLookAndFeelPainter::DefaultColor6() const { return clBtnHighlight; }
TColor TlkCustomLookAndFeelPainter::DefaultColor7() const { return clBtnText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor8() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor9() const { return clBtnText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor10() const { return clBtnShadow; }
TColor TlkCustomLookAndFeelPainter::DefaultColor11() const { return clBtnShadow; }
TColor TlkCustomLookAndFeelPainter::DefaultColor12() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor13() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor14() const { return clBtnText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor15() const { return clBtnShadow; }
TColor TlkCustomLookAndFeelPainter::DefaultColor16() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor17() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor18() const { return clBtnText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor19() const { return clBlue; }
TColor TlkCustomLookAndFeelPainter::DefaultColor20() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor21() const { return clBtnText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor22() const { return clBlue; }
TColor TlkCustomLookAndFeelPainter::DefaultColor23() const { return DefaultColor10(); }
TColor TlkCustomLookAndFeelPainter::DefaultColor24() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor25() const { return DefaultColor17(); }
TColor TlkCustomLookAndFeelPainter::DefaultColor26() const { return clDefault; }
TColor TlkCustomLookAndFeelPainter::DefaultColor27() const { return clBlack; }
TColor TlkCustomLookAndFeelPainter::DefaultColor28() const { return DefaultColor27(); }
TColor TlkCustomLookAndFeelPainter::DefaultColor29() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor30() const { return clHighlight; }
TColor TlkCustomLookAndFeelPainter::DefaultColor31() const { return clHighlightText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor32() const { return clWindow; }
TColor TlkCustomLookAndFeelPainter::DefaultColor33() const { return clWindowText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor34() const { return static_cast<TColor>(RGB(161, 157, 157)); }
TColor TlkCustomLookAndFeelPainter::DefaultColor35() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor36() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor37() const { return static_cast<TColor>(RGB(255, 255, 213)); }
TColor TlkCustomLookAndFeelPainter::DefaultColor38() const { return clWindowText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor39() const { return clHighlight; }
TColor TlkCustomLookAndFeelPainter::DefaultColor40() const { return clHighlightText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor41() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor42() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor43() const { return clBtnText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor44() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor45() const { return clWhite; }
TColor TlkCustomLookAndFeelPainter::DefaultColor46() const { return clBlack; }
TColor TlkCustomLookAndFeelPainter::DefaultColor47() const { return clBtnFace; }
TColor TlkCustomLookAndFeelPainter::DefaultColor48() const { return clBtnText; }
TColor TlkCustomLookAndFeelPainter::DefaultColor49() const { return clWhite; }
TColor TlkCustomLookAndFeelPainter::DefaultColor50() const { return clBlack; }
TColor TlkCustomLookAndFeelPainter::DefaultColor51() const { return clBlack; }
TColor TlkCustomLookAndFeelPainter::DefaultColor52() const { return clBlack; }
TColor TlkCustomLookAndFeelPainter::DefaultColor53() const { return static_cast<TColor>(RGB(207, 207, 207)); }
TColor TlkCustomLookAndFeelPainter::DefaultColor54() const { return clWhite; }
TColor TlkCustomLookAndFeelPainter::DefaultColor55() const { return clBtnShadow; }
TColor TlkCustomLookAndFeelPainter::DefaultColor56() const { return static_cast<TColor>(RGB(166, 202, 240)); }
TColor TlkCustomLookAndFeelPainter::DefaultColor57() const { return clNavy; }
TColor TlkCustomLookAndFeelPainter::DefaultColor58() const { return clBtnShadow; }
TColor TlkCustomLookAndFeelPainter::DefaultColor59() const { return clBtnShadow; }

// --- arrows and buttons -------------------------------------------------------
void TlkCustomLookAndFeelPainter::DrawFilledArrow(TlkCanvas* ACanvas, const TRect& R, TColor AColor,
                                                  TlkArrowHeading AHeading) const {
  lkDrawArrow(ACanvas, R, true, AHeading, AColor);
}

void TlkCustomLookAndFeelPainter::DrawArrowButton(TlkCanvas* ACanvas, const TRect& R, bool AWithBody,
                                                  TlkArrowHeading AHeading, TlkPartDrawState AState) const {
  if (AWithBody)
    DrawButtonBody(ACanvas, R, AState);
  else
    ACanvas->FillRectColor(R, ButtonFaceColor(AState));
  lkDrawArrow(ACanvas, R, false, AHeading, ButtonGlyphColor(AState, clDefault));
}

void TlkCustomLookAndFeelPainter::DrawButtonBody(TlkCanvas* ACanvas, const TRect& R,
                                                 TlkPartDrawState AState) const {
  solidBrush(ACanvas, ButtonFaceColor(AState));
  ACanvas->FillRect(R);
  DrawButtonFrame(ACanvas, R, AState);
}

void TlkCustomLookAndFeelPainter::DrawStateArrow(TlkCanvas* ACanvas, const TRect& R, TlkArrowHeading AHeading,
                                                 TlkPartDrawState AState) const {
  TRect r = R;
  if (AState == pdsPressed) OffsetRect(&r, ButtonPressedShift(), ButtonPressedShift());
  if (AState == pdsDisabled) {
    TRect shadow = r;
    OffsetRect(&shadow, 1, 1);
    lkDrawArrow(ACanvas, shadow, true, AHeading, clBtnHighlight);
    lkDrawArrow(ACanvas, r, true, AHeading, clBtnShadow);
  } else {
    lkDrawArrow(ACanvas, r, true, AHeading, ButtonGlyphColor(AState, clDefault));
  }
}

int TlkCustomLookAndFeelPainter::FrameBorderWidth() const { return 0; }
void TlkCustomLookAndFeelPainter::DrawFrameBorder(TlkCanvas*, const TRect&) const {}
TRect TlkCustomLookAndFeelPainter::GroupButtonDisplayBounds(const TRect& R) const { return R; }
int TlkCustomLookAndFeelPainter::ButtonBorderWidth(TlkPartDrawState) const { return 0; }
TColor TlkCustomLookAndFeelPainter::ButtonFaceColor(TlkPartDrawState) const { return clBtnFace; }

TRect TlkCustomLookAndFeelPainter::ButtonFocusBounds(TlkCanvas*, const TRect& R) const {
  const TRect r = deflated(R, 4);
  return IsRectEmpty(&r) ? R : r;
}

TRect TlkCustomLookAndFeelPainter::ButtonGroupBorderWidths(int, int) const {
  const int w = ButtonBorderWidth(pdsNormal);
  return TRect{w, w, w, w};
}

int TlkCustomLookAndFeelPainter::ButtonCaptionOffset() const { return 0; }
int TlkCustomLookAndFeelPainter::ButtonPressedShift() const { return 0; }

TColor TlkCustomLookAndFeelPainter::ButtonGlyphColor(TlkPartDrawState AState, TColor ADefaultColor) const {
  if (AState == pdsDisabled) return clBtnShadow;
  return ADefaultColor == clDefault ? clBtnText : ADefaultColor;
}

TlkPartDrawState TlkCustomLookAndFeelPainter::ButtonGlyphState(TlkPartDrawState AState) const { return AState; }

void TlkCustomLookAndFeelPainter::DrawPushButton(TlkCanvas* ACanvas, const TRect& R, const std::string& ACaption,
                                                 TlkPartDrawState AState, bool ADrawFrame, TColor AFaceColor,
                                                 TColor ATextColor, bool AWordWrap) const {
  TRect r = R;
  if (ADrawFrame) {
    DrawButtonFrame(ACanvas, r, AState);
    r = deflated(r, ButtonBorderWidth(AState));
  }
  solidBrush(ACanvas, AFaceColor == clDefault ? ButtonFaceColor(AState) : AFaceColor);
  ACanvas->FillRect(r);
  ACanvas->Font()->SetColor(ATextColor == clDefault ? ButtonGlyphColor(AState, clDefault) : ATextColor);
  ACanvas->Brush()->SetStyle(bsClear);
  // Captions of odd and small heights sit one pixel higher, where the eye
  // expects the middle of a button.
  if (lkGetRectHeight(r) % 2 != 0) --r.bottom;
  if (lkGetRectHeight(r) < 18) --r.top;
  if (AState == pdsPressed) OffsetRect(&r, ButtonPressedShift(), ButtonPressedShift());
  if (!ACaption.empty())
    ACanvas->DrawText(ACaption, r,
                      lg::tfHCenter | lg::tfVCenter | lg::tfShowPrefix | (AWordWrap ? lg::tfWordBreak : lg::tfSingleLine),
                      AState != pdsDisabled);
  ACanvas->Brush()->SetStyle(bsSolid);
}

void TlkCustomLookAndFeelPainter::DrawCaptionlessButton(TlkCanvas* ACanvas, const TRect& R,
                                                        TlkPartDrawState AState, int, int, TColor) const {
  DrawPushButton(ACanvas, R, "", AState, true, clDefault, clDefault, false);
}

void TlkCustomLookAndFeelPainter::DrawButtonFrame(TlkCanvas*, const TRect&, TlkPartDrawState) const {}
void TlkCustomLookAndFeelPainter::DrawButtonGroupOutline(TlkCanvas*, const TRect&, bool, bool) const {}

// --- expand buttons -----------------------------------------------------------
void TlkCustomLookAndFeelPainter::DrawTreeExpandButton(TlkCanvas*, const TRect&, TColor, bool) const {}
bool TlkCustomLookAndFeelPainter::TreeExpandButtonPaintedFirst() const { return true; }

void TlkCustomLookAndFeelPainter::DrawGroupExpandButton(TlkCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                        TlkPartDrawState AState) const {
  DrawPushButton(ACanvas, R, "", AState, true, clDefault, clDefault, false);
  thinPen(ACanvas, ButtonGlyphColor(AState, clDefault));
  // Two chevrons three pixels deep, each of two lines, with two free rows
  // between them: a block 7 wide and 9 high.
  constexpr int kDepth = 3, kWidth = 2 * kDepth + 1, kHeight = 9;
  const int x = (R.left + R.right - kWidth) / 2, top = (R.top + R.bottom - kHeight) / 2;
  for (int chevron = 0; chevron < 2; ++chevron)
    for (int line = 0; line < 2; ++line) {
      const int row = top + 4 * chevron + line;
      // The end point lies one step past the right end, which LineTo
      // leaves out, so both ends are drawn.
      if (AExpanded)
        ACanvas->Polyline({TPoint{x, row + kDepth}, TPoint{x + kDepth, row},
                           TPoint{x + kWidth, row + kDepth + 1}});
      else
        ACanvas->Polyline({TPoint{x, row}, TPoint{x + kDepth, row + kDepth}, TPoint{x + kWidth, row - 1}});
    }
}

void TlkCustomLookAndFeelPainter::DrawSmallExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AFrameColor,
                                                        TColor AFillColor, bool AExpanded) const {
  ACanvas->FrameRect(R, AFrameColor);
  if (AFillColor != clDefault) ACanvas->FillRectColor(deflated(R, 1), AFillColor);
  lkDrawExpandCross(ACanvas, R, AExpanded, clBtnText);
}

int TlkCustomLookAndFeelPainter::TreeExpandButtonExtent() const { return 0; }
int TlkCustomLookAndFeelPainter::GroupExpandButtonExtent() const { return 15; }
bool TlkCustomLookAndFeelPainter::ButtonsHotTrack() const { return false; }

bool TlkCustomLookAndFeelPainter::PointInGroupExpandButton(const TRect& R, const TPoint& P) const {
  return PtInRect(&R, P) != 0;
}

int TlkCustomLookAndFeelPainter::SmallExpandButtonExtent() const { return 9; }

// --- check boxes and radio buttons ----------------------------------------------
int TlkCustomLookAndFeelPainter::CheckFrameWidth() const { return 2; }

TColor TlkCustomLookAndFeelPainter::CheckFaceColor(TlkPartDrawState AState) const {
  return AState == pdsPressed || AState == pdsDisabled ? clBtnFace : clWindow;
}

TPoint TlkCustomLookAndFeelPainter::CheckBoxExtent() const { return lkCheckGlyphSize(); }

void TlkCustomLookAndFeelPainter::DrawCheckMark(TlkCanvas* ACanvas, const TRect& R, TColor AColor, bool AChecked,
                                                TlkPartDrawState AState) const {
  if (ACanvas->Brush()->Style() == bsSolid && !ACanvas->Brush()->Bitmap())
    ACanvas->FillRectColor(R, CheckFaceColor(AState));
  if (!AChecked) return;
  const int w = lkGetRectWidth(R) - 2, h = lkGetRectHeight(R) - 4;
  const int cx = (R.left + R.right) / 2 - 1;
  thinPen(ACanvas, AColor);
  for (int r = 0; r < 3; ++r) {
    const int y = (R.top + R.bottom + h) / 2 - 2 + r;
    ACanvas->Polyline({TPoint{cx + 1 - w / 2, y - h / 2}, TPoint{cx, y}, TPoint{cx + w / 2 + 2, y - h}});
  }
}

void TlkCustomLookAndFeelPainter::DrawCheckFrame(TlkCanvas*, const TRect&, TlkPartDrawState) const {}

void TlkCustomLookAndFeelPainter::DrawCheckBox(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                               bool AChecked, TColor) const {
  DrawCheckFrame(ACanvas, R, AState);
  DrawCheckMark(ACanvas, deflated(R, CheckFrameWidth()), AState == pdsDisabled ? clGrayText : clBtnText,
                AChecked, AState);
}

// Radio glyphs come from the shared radio glyph cache, which is generated
// from the Office 2003 colours among others and is not built yet: until it
// is, DrawRadioGlyph draws nothing and RadioGlyphExtent is (0, 0). The
// cache draws the glyph of StyleCodeToLookAndFeelKind(StyleCode()).
void TlkCustomLookAndFeelPainter::DrawRadioGlyph(TlkCanvas*, const TPoint&, TlkPartDrawState, bool, bool, bool,
                                                 TColor) const {}

TPoint TlkCustomLookAndFeelPainter::RadioGlyphExtent() const { return TPoint{0, 0}; }

// --- headers --------------------------------------------------------------------
void TlkCustomLookAndFeelPainter::DrawHeaderCell(TlkCanvas* ACanvas, const TRect& ABounds,
                                                 const TRect& ATextAreaBounds, TlkBorders ANeighbors,
                                                 TlkBorders ABorders, TlkPartDrawState, TAlignment AHorzAlignment,
                                                 TTextLayout AVertAlignment, bool AMultiLine, bool AShowEndEllipsis,
                                                 const std::string& AText, TFont* AFont, TColor ATextColor,
                                                 TColor ABackgroundColor,
                                                 const TlkCustomDrawContentProc& ACustomDraw, bool) const {
  DrawHeaderFrame(ACanvas, ABounds, ANeighbors, ABorders);
  PaintContent(ACanvas, HeaderInnerBounds(ABounds, ABorders), ACustomDraw, ABackgroundColor, ATextColor, AFont,
               AText, AHorzAlignment, AVertAlignment, AMultiLine, AShowEndEllipsis, ATextAreaBounds);
}

void TlkCustomLookAndFeelPainter::DrawHeaderCellPlain(TlkCanvas* ACanvas, const TRect& ABounds,
                                                      const TRect& ATextAreaBounds, TlkPartDrawState AState,
                                                      TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                                      bool AMultiLine, bool AShowEndEllipsis, const std::string& AText,
                                                      TFont* AFont, TColor ATextColor, TColor ABackgroundColor,
                                                      const TlkCustomDrawContentProc& ACustomDraw) const {
  DrawHeaderCell(ACanvas, ABounds, ATextAreaBounds, 0, 0, AState, AHorzAlignment, AVertAlignment, AMultiLine,
                 AShowEndEllipsis, AText, AFont, ATextColor, ABackgroundColor, ACustomDraw, false);
}

void TlkCustomLookAndFeelPainter::DrawHeaderFrame(TlkCanvas*, const TRect&, TlkBorders, TlkBorders) const {}

void TlkCustomLookAndFeelPainter::InvertHeaderArea(TlkCanvas* ACanvas, const TRect& R) const {
  ACanvas->InvertRect(R);
}

void TlkCustomLookAndFeelPainter::DrawHeaderSection(TlkCanvas* ACanvas, const TRect& ABounds,
                                                    const TRect& ATextAreaBounds, TlkPartDrawState AState,
                                                    TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                                    bool AMultiLine, bool AShowEndEllipsis, const std::string& AText,
                                                    TFont* AFont, TColor ATextColor, TColor ABackgroundColor) const {
  DrawHeaderSectionFrame(ACanvas, ABounds, AState, lkAllBorders);
  DrawHeaderSectionContent(ACanvas, HeaderSectionContentBounds(ABounds, AState), ATextAreaBounds, AState,
                           ABackgroundColor, AHorzAlignment, AVertAlignment, AMultiLine, AShowEndEllipsis, AText,
                           AFont, ATextColor);
}

void TlkCustomLookAndFeelPainter::DrawHeaderSectionFrame(TlkCanvas*, const TRect&, TlkPartDrawState,
                                                         TlkBorders) const {}

void TlkCustomLookAndFeelPainter::DrawHeaderSectionContent(TlkCanvas* ACanvas, const TRect& R,
                                                           const TRect& ATextAreaBounds, TlkPartDrawState AState,
                                                           TColor ABackgroundColor, TAlignment AHorzAlignment,
                                                           TTextLayout AVertAlignment, bool AMultiLine,
                                                           bool AShowEndEllipsis, const std::string& AText,
                                                           TFont* AFont, TColor ATextColor) const {
  ACanvas->FillRectColor(R, ABackgroundColor);
  DrawHeaderSectionCaption(ACanvas, HeaderSectionCaptionBounds(ATextAreaBounds, AState), ATextColor, AFont, AText,
                           AHorzAlignment, AVertAlignment, AMultiLine, AShowEndEllipsis, AState);
}

void TlkCustomLookAndFeelPainter::DrawHeaderSectionCaption(TlkCanvas* ACanvas, const TRect& R, TColor ATextColor,
                                                           TFont* AFont, const std::string& AText,
                                                           TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                                           bool AMultiLine, bool AShowEndEllipsis,
                                                           TlkPartDrawState AState) const {
  if (AText.empty()) return;
  drawClearText(ACanvas, AText, R, contentTextFlags(AHorzAlignment, AVertAlignment, AMultiLine, AShowEndEllipsis),
                AFont, ATextColor, AState != pdsDisabled);
}

void TlkCustomLookAndFeelPainter::DrawEdgedStrip(TlkCanvas* ACanvas, const TRect& R,
                                                 const TlkViewParams& AViewParams, TColor AColor,
                                                 int AEdgeWidth) const {
  paintViewParams(ACanvas, TRect{R.left, R.top, R.left + AEdgeWidth, R.bottom}, AViewParams);
  paintViewParams(ACanvas, TRect{R.right - AEdgeWidth, R.top, R.right, R.bottom}, AViewParams);
  ACanvas->FillRectColor(TRect{R.left + AEdgeWidth, R.top, R.right - AEdgeWidth, R.bottom}, AColor);
}

void TlkCustomLookAndFeelPainter::DrawSortMark(TlkCanvas*, const TRect&, bool) const {}
TlkBorders TlkCustomLookAndFeelPainter::HeaderDrawnSides(TlkBorders) const { return lkAllBorders; }
int TlkCustomLookAndFeelPainter::HeaderFrameWidth() const { return 0; }

TRect TlkCustomLookAndFeelPainter::HeaderOuterBounds(const TRect& R, TlkBorders ANeighbors,
                                                     TlkBorders ABorders) const {
  const TlkBorders sides = ABorders & ~HeaderDrawnSides(ANeighbors);
  const int w = HeaderFrameWidth();
  return lkGrowRect(R, (sides & lkbLeft) ? w : 0, (sides & lkbTop) ? w : 0, (sides & lkbRight) ? w : 0,
                    (sides & lkbBottom) ? w : 0);
}

TRect TlkCustomLookAndFeelPainter::HeaderInnerBounds(const TRect& R, TlkBorders ABorders) const {
  const int w = HeaderFrameWidth();
  return lkGrowRect(R, (ABorders & lkbLeft) ? -w : 0, (ABorders & lkbTop) ? -w : 0, (ABorders & lkbRight) ? -w : 0,
                    (ABorders & lkbBottom) ? -w : 0);
}

bool TlkCustomLookAndFeelPainter::HeaderCellsPaintedFirst() const { return true; }

int TlkCustomLookAndFeelPainter::HeaderHeightForFont(int AFontHeight) const {
  return AFontHeight + 2 * HeaderFrameWidth() + 4;
}

int TlkCustomLookAndFeelPainter::HeaderSectionFrameWidth(TlkPartDrawState) const { return 1; }

TRect TlkCustomLookAndFeelPainter::HeaderSectionCaptionBounds(const TRect& R, TlkPartDrawState AState) const {
  TRect r = R;
  if (AState == pdsPressed) OffsetRect(&r, 1, 1);
  return r;
}

TRect TlkCustomLookAndFeelPainter::HeaderSectionContentBounds(const TRect& R, TlkPartDrawState AState) const {
  return deflated(R, HeaderSectionFrameWidth(AState));
}

int TlkCustomLookAndFeelPainter::HeaderWidthForText(TlkCanvas* ACanvas, TlkBorders ABorders, TFont* AFont,
                                                    const std::string& AText) const {
  if (AFont) ACanvas->SetFont(AFont);
  int width = ACanvas->TextWidth(AText) + 4;
  if (ABorders & lkbLeft) width += HeaderFrameWidth();
  if (ABorders & lkbRight) width -= HeaderFrameWidth();
  return width;
}

bool TlkCustomLookAndFeelPainter::HeaderHotTracks() const { return false; }
TPoint TlkCustomLookAndFeelPainter::SortMarkAreaSize() const { return TPoint{16, SortMarkExtent().y}; }
TPoint TlkCustomLookAndFeelPainter::SortMarkExtent() const { return TPoint{0, 0}; }

void TlkCustomLookAndFeelPainter::PaintPanelBackground(TlkCanvas* ACanvas, const TRect& R, bool ATransparent,
                                                       TColor AColor, TBitmap* ABitmap) const {
  PaintBackground(ACanvas, R, ATransparent, AColor, ABitmap);
}

// --- footers --------------------------------------------------------------------
TlkBorders TlkCustomLookAndFeelPainter::FooterDrawnSides() const { return lkAllBorders; }
int TlkCustomLookAndFeelPainter::FooterFrameWidth() const { return 0; }
int TlkCustomLookAndFeelPainter::FooterCellFrameWidth() const { return 0; }
int TlkCustomLookAndFeelPainter::FooterCellInset() const { return 0; }
bool TlkCustomLookAndFeelPainter::FooterCellsPaintedFirst() const { return true; }
TColor TlkCustomLookAndFeelPainter::FooterSeparatorLineColor() const { return clBtnShadow; }
int TlkCustomLookAndFeelPainter::FooterSeparatorLineWidth() const { return 1; }

void TlkCustomLookAndFeelPainter::DrawFooterCellContent(TlkCanvas* ACanvas, const TRect& R,
                                                        TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                                        bool AMultiLine, bool AShowEndEllipsis,
                                                        const std::string& AText, TFont* AFont, TColor ATextColor,
                                                        TColor ABackgroundColor) const {
  DrawFooterCellFrame(ACanvas, R);
  PaintContent(ACanvas, BorderClientBounds(R), nullptr, ABackgroundColor, ATextColor, AFont, AText, AHorzAlignment,
               AVertAlignment, AMultiLine, AShowEndEllipsis, BorderTextBounds(R));
}

void TlkCustomLookAndFeelPainter::DrawFooterFrame(TlkCanvas*, const TRect&) const {}
void TlkCustomLookAndFeelPainter::DrawFooterCellFrame(TlkCanvas*, const TRect&) const {}

void TlkCustomLookAndFeelPainter::PaintFooterArea(TlkCanvas* ACanvas, const TRect& R,
                                                  const TlkViewParams& AViewParams) const {
  if (IsRectEmpty(&R)) return;
  paintViewParams(ACanvas, R, AViewParams);
}

void TlkCustomLookAndFeelPainter::DrawFooterSeparatorLine(TlkCanvas* ACanvas, const TRect& R) const {
  ACanvas->FillRectColor(R, FooterSeparatorLineColor());
}

// --- filter and close buttons -----------------------------------------------------
void TlkCustomLookAndFeelPainter::DrawFilterCheckBox(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                                     bool AChecked) const {
  DrawCheckBox(ACanvas, R, AState, AChecked, clDefault);
}

void TlkCustomLookAndFeelPainter::DrawCloseCrossButton(TlkCanvas* ACanvas, const TRect& R,
                                                       TlkPartDrawState AState) const {
  DrawButtonFrame(ACanvas, R, AState);
  const TRect r = deflated(R, ButtonBorderWidth(pdsNormal));
  ACanvas->FillRectColor(r, ButtonFaceColor(AState));
  int a = CloseCrossButtonExtent().x / 2;
  if (a % 2 == 0) --a;
  int x = (r.left + r.right - a) / 2, y = (r.top + r.bottom - a) / 2;
  if (ButtonGlyphState(AState) == pdsPressed) {
    ++x;
    ++y;
  }
  thinPen(ACanvas, ButtonGlyphColor(AState, clDefault));
  for (int dx = 0; dx < 2; ++dx) {
    ACanvas->MoveTo(x + dx, y);
    ACanvas->LineTo(x + dx + a, y + a);
    ACanvas->MoveTo(x + dx, y + a - 1);
    ACanvas->LineTo(x + dx + a, y - 1);
  }
}

void TlkCustomLookAndFeelPainter::DrawFilterDropDown(TlkCanvas*, const TRect&, TlkPartDrawState, bool) const {}

void TlkCustomLookAndFeelPainter::PaintFilterPanel(TlkCanvas* ACanvas, const TRect& R, bool ATransparent,
                                                   TColor AColor, TBitmap* ABitmap) const {
  PaintBackground(ACanvas, R, ATransparent, AColor, ABitmap);
}

TPoint TlkCustomLookAndFeelPainter::FilterCheckBoxExtent() const { return TPoint{13, 13}; }
TPoint TlkCustomLookAndFeelPainter::CloseCrossButtonExtent() const { return TPoint{16, 14}; }
TPoint TlkCustomLookAndFeelPainter::FilterDropDownExtent() const { return TPoint{15, 0}; }

void TlkCustomLookAndFeelPainter::PaintWindowFace(TlkCanvas* ACanvas, const TRect& R) const {
  ACanvas->FillRectColor(R, clBtnFace);
}

BYTE TlkCustomLookAndFeelPainter::PopupFrameKind() const { return 1; }

// --- tabs -------------------------------------------------------------------------
void TlkCustomLookAndFeelPainter::DrawTabItem(TlkCanvas*, const TRect&, const TRect&, bool, TlkBorders,
                                              TlkPartDrawState, const std::string&, TFont*, TColor, TColor) const {}
void TlkCustomLookAndFeelPainter::DrawTabItemFrame(TlkCanvas*, const TRect&, bool, TlkBorders, int) const {}
void TlkCustomLookAndFeelPainter::DrawTabStrip(TlkCanvas*, const TRect&, bool, TlkBorders) const {}
bool TlkCustomLookAndFeelPainter::TabItemSupported(bool) const { return false; }
bool TlkCustomLookAndFeelPainter::TabsHotTrack(bool) const { return false; }
int TlkCustomLookAndFeelPainter::TabItemFrameWidth(bool) const { return 0; }

// --- grid parts ---------------------------------------------------------------------
void TlkCustomLookAndFeelPainter::DrawCustomizeMark(TlkCanvas* ACanvas, const TRect& R, TColor AColor) const {
  const int w = lkGetRectWidth(R) - 6;
  thinPen(ACanvas, AColor);
  for (int i = 0; i < 5; ++i) {
    const int y = (R.top + R.bottom - 9) / 2 + 2 * i;
    ACanvas->MoveTo(R.left + 5, y);
    ACanvas->LineTo(R.left + 3 + w, y);
    if (i % 2 == 0) ACanvas->SetPixel(R.left + 3, y, AColor);
  }
}

void TlkCustomLookAndFeelPainter::DrawRowIndicatorGlyph(TlkCanvas* ACanvas, const TRect& R, int AKind) const {
  TCustomImageList* images = lkRowIndicatorImages();
  // A kind the list has no image for draws nothing, like kind 0.
  if (AKind <= 0 || !images || AKind > images->Count()) return;
  images->Draw(ACanvas->Canvas(), (R.left + R.right - images->Width()) / 2,
               (R.top + R.bottom - images->Height()) / 2, AKind - 1);
}

void TlkCustomLookAndFeelPainter::DrawRowIndicatorCell(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors,
                                                       TlkBorders, int AKind) const {
  DrawHeaderCell(ACanvas, R, R, ANeighbors, HeaderDrawnSides(lkbTop | lkbBottom), pdsNormal, taLeftJustify, tlTop,
                 false, false, "", nullptr, clDefault, clNone, nullptr, false);
  DrawRowIndicatorGlyph(ACanvas, R, AKind);
}

void TlkCustomLookAndFeelPainter::DrawRowIndicatorCellPlain(TlkCanvas* ACanvas, const TRect& R, int AKind) const {
  DrawHeaderCellPlain(ACanvas, R, R, pdsNormal, taLeftJustify, tlTop, false, false, "", nullptr, clDefault, clNone,
                      nullptr);
  DrawRowIndicatorGlyph(ACanvas, R, AKind);
}

bool TlkCustomLookAndFeelPainter::RowIndicatorOption() const { return true; }

// --- scroll bars --------------------------------------------------------------------
int TlkCustomLookAndFeelPainter::ScrollBarMinimalThumbSize(bool) const { return 8; }

void TlkCustomLookAndFeelPainter::DrawScrollBarPart(TlkCanvas*, bool, const TRect&, TlkScrollBarArea,
                                                    TlkPartDrawState) const {}

TPoint TlkCustomLookAndFeelPainter::ScrollBarSystemExtent() const {
  return TPoint{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

void TlkCustomLookAndFeelPainter::DrawSizeGripArea(TlkCanvas* ACanvas, const TRect& R, TColor AColor) const {
  if (IsRectEmpty(&R)) return;
  ACanvas->FillRectColor(R, AColor);
  TRect r = R;
  DrawFrameControl(ACanvas->Handle(), &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void TlkCustomLookAndFeelPainter::DrawReserved1(TlkCanvas*, const TRect&, int, int) const {}

void TlkCustomLookAndFeelPainter::DrawHeaderWithArrows(TlkCanvas* ACanvas, const TRect& R,
                                                       const TRect& ATextAreaBounds, TAlignment AHorzAlignment,
                                                       TTextLayout AVertAlignment, bool AMultiLine,
                                                       bool AShowEndEllipsis, const std::string& AText, TFont* AFont,
                                                       TColor ATextColor, TColor ABackgroundColor,
                                                       TlkBorders ANeighbors, int AArrows, int AArrowOffset) const {
  DrawHeaderCell(ACanvas, R, ATextAreaBounds, ANeighbors, HeaderDrawnSides(ANeighbors), pdsNormal, AHorzAlignment,
                 AVertAlignment, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABackgroundColor, nullptr,
                 false);
  DrawSideArrows(ACanvas, R, AArrows, AArrowOffset, clWindowText);
}

void TlkCustomLookAndFeelPainter::DrawSplitBorder(TlkCanvas* ACanvas, const TRect& R) const {
  DrawFrameBorder(ACanvas, R);
}

void TlkCustomLookAndFeelPainter::DrawBarWithCaption(TlkCanvas* ACanvas, const TRect& ABarRect,
                                                     const TRect& AFillRect, const TRect& ACaptionRect,
                                                     const std::string& ACaption, int AOrientation) const {
  if (IsRectEmpty(&ACaptionRect)) {
    DrawBarSecondPart(ACanvas, ABarRect);
    DrawBarFirstPart(ACanvas, AFillRect);
    return;
  }
  if (IsRectEmpty(&ABarRect)) return;
  // The caption is drawn level into a turned copy of the bar, so that it
  // reads along the bar once the copy is turned back.
  TlkCustomBitmap bitmap(ABarRect);
  const TRect whole = bitmap.ClientRect();
  bitmap.Canvas()->CopyRect(whole, ACanvas->Canvas(), ABarRect);
  TRect bar = ABarRect, fill = AFillRect;
  OffsetRect(&bar, -ABarRect.left, -ABarRect.top);
  OffsetRect(&fill, -ABarRect.left, -ABarRect.top);
  DrawBarSecondPart(bitmap.lkCanvas(), bar);
  DrawBarFirstPart(bitmap.lkCanvas(), fill);
  bitmap.Rotate(AOrientation == 0 ? raMinus90 : raPlus90);
  bitmap.Canvas()->SetFont(ACanvas->Font());
  TRect caption = ACaptionRect;
  OffsetRect(&caption, -ABarRect.left, -ABarRect.top);
  const TRect turned{caption.top, caption.left, caption.bottom, caption.right};
  drawClearText(bitmap.lkCanvas(), ACaption, turned, lg::tfHCenter | lg::tfSingleLine, nullptr, clDefault);
  bitmap.Rotate(AOrientation == 0 ? raPlus90 : raMinus90);
  const TCopyMode mode = ACanvas->Canvas()->CopyMode();
  ACanvas->Canvas()->SetCopyMode(cmSrcCopy);
  ACanvas->CopyRect(ABarRect, bitmap.Canvas(), bitmap.ClientRect());
  ACanvas->Canvas()->SetCopyMode(mode);
}

void TlkCustomLookAndFeelPainter::DrawNavigatorButton(TlkCanvas* ACanvas, const TRect& R,
                                                      TlkPartDrawState AState) const {
  DrawPushButton(ACanvas, R, "", AState, true, clDefault, clDefault, false);
}

void TlkCustomLookAndFeelPainter::DrawSplitterFrame(TlkCanvas*, const TRect&, bool, const TlkViewParams&) const {}
int TlkCustomLookAndFeelPainter::SplitterOption() const { return 1; }

void TlkCustomLookAndFeelPainter::DrawClockFace(TlkCanvas* ACanvas, const TRect& R, TColor ABackgroundColor,
                                                TDateTime ATime) const {
  constexpr double kPi = std::numbers::pi;
  const double cx = (R.left + R.right) / 2.0, cy = (R.top + R.bottom) / 2.0;
  const double rx = lkGetRectWidth(R) / 2.0 - 2, ry = lkGetRectHeight(R) / 2.0 - 2;
  const auto at = [&](double angle, double fx, double fy) {
    return TPoint{static_cast<LONG>(std::lround(cx + fx * rx * std::cos(angle))),
                  static_cast<LONG>(std::lround(cy + fy * ry * std::sin(angle)))};
  };

  // The hour marks are spared while the face is filled; the caller's clip
  // comes back afterwards.
  HDC dc = ACanvas->Handle();
  HRGN savedClip = CreateRectRgn(0, 0, 0, 0);
  const bool hadClip = GetClipRgn(dc, savedClip) == 1;
  for (int i = 0; i < 60; i += 5) {
    const TPoint p = at(i * 2 * kPi / 60, 1, 1);
    const TRect mark{p.x - 1, p.y - 1, p.x + 2, p.y + 2};
    ACanvas->DrawBorders(mark, clAqua, clBtnText);
    ACanvas->SetPixel(p.x, p.y, clTeal);
    ACanvas->ExcludeClipRect(mark);
  }
  ACanvas->FillRectColor(R, ABackgroundColor);

  WORD hour = 0, minute = 0, second = 0, msec = 0;
  DecodeTime(ATime, hour, minute, second, msec);
  const auto hand = [&](double angle, double width, double tip, double tail) {
    const double halfWidth = width / 2;
    const TPoint side1{static_cast<LONG>(std::lround(cx + halfWidth * std::cos(angle + kPi / 2))),
                       static_cast<LONG>(std::lround(cy + halfWidth * std::sin(angle + kPi / 2)))};
    const TPoint side2{static_cast<LONG>(std::lround(cx + halfWidth * std::cos(angle - kPi / 2))),
                       static_cast<LONG>(std::lround(cy + halfWidth * std::sin(angle - kPi / 2)))};
    // The kite's area only, as a filled path leaves it: no outline.
    solidBrush(ACanvas, clTeal);
    const TPenStyle penStyle = ACanvas->Pen()->Style();
    ACanvas->Pen()->SetStyle(psClear);
    ACanvas->Polygon({at(angle, tip, tip), side1, at(angle + kPi, tail, tail), side2});
    ACanvas->Pen()->SetStyle(penStyle);
  };
  hand(((hour % 12) * 3600 + 60 * minute + second - 10800) * 2 * kPi / 43200, 9, 0.75, 0.15);
  hand((60 * minute + second - 900) * 2 * kPi / 3600, 7, 0.85, 0.2);
  thinPen(ACanvas, clRed);
  const TPoint secondTip = at((second - 15) * 2 * kPi / 60, 0.9, 0.9);
  ACanvas->MoveTo(static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(cy)));
  ACanvas->LineTo(secondTip.x, secondTip.y);

  SelectClipRgn(dc, hadClip ? savedClip : nullptr);
  DeleteObject(savedClip);
}

// --- editors and containers -------------------------------------------------------------
void TlkCustomLookAndFeelPainter::DrawEditorButtonFace(TlkCanvas*, const TRect&, TlkPartDrawState, int) const {}
int TlkCustomLookAndFeelPainter::EditorButtonCaptionOffset() const { return 0; }
TPoint TlkCustomLookAndFeelPainter::EditorButtonExtent() const { return TPoint{0, 0}; }
TColor TlkCustomLookAndFeelPainter::EditorButtonCaptionColor() const { return clDefault; }
TColor TlkCustomLookAndFeelPainter::ContainerFrameColor(bool) const { return clDefault; }

void TlkCustomLookAndFeelPainter::DrawImageListGlyph(TlkCanvas* ACanvas, TCustomImageList* AImageList,
                                                     const TPoint& P, int AIndex, bool AEnabled) const {
  if (AImageList) AImageList->Draw(ACanvas->Canvas(), P.x, P.y, AIndex, AEnabled);
}

TPoint TlkCustomLookAndFeelPainter::GlyphAreaExtent() const { return TPoint{0, 0}; }
void TlkCustomLookAndFeelPainter::DrawReserved2(TlkCanvas*, const TRect&, int) const {}
void TlkCustomLookAndFeelPainter::DrawReserved3(TlkCanvas*, const TRect&, int) const {}
TRect TlkCustomLookAndFeelPainter::ContentMargins() const { return TRect{0, 0, 0, 0}; }
TColor TlkCustomLookAndFeelPainter::ContentDefaultColor() const { return clDefault; }
void TlkCustomLookAndFeelPainter::DrawReserved4(TlkCanvas*, const TRect&) const {}
void TlkCustomLookAndFeelPainter::DrawReserved5(TlkCanvas*, const TRect&, int) const {}
void TlkCustomLookAndFeelPainter::DrawReserved6(TlkCanvas*, const TRect&, int) const {}
TRect TlkCustomLookAndFeelPainter::GroupFrameMargins() const { return TRect{0, 0, 0, 0}; }
TColor TlkCustomLookAndFeelPainter::GroupCaptionColor() const { return clDefault; }
bool TlkCustomLookAndFeelPainter::GroupFrameTransparent(bool, int) const { return false; }
void TlkCustomLookAndFeelPainter::DrawReserved7(TlkCanvas*, const TRect&, int, int, int) const {}
void TlkCustomLookAndFeelPainter::DrawReserved8(TlkCanvas*, const TRect&, int, int) const {}
TPoint TlkCustomLookAndFeelPainter::ReservedExtent1(int) const { return TPoint{0, 0}; }
TColor TlkCustomLookAndFeelPainter::ReservedColor() const { return clDefault; }
int TlkCustomLookAndFeelPainter::ReservedValue() const { return 0; }
void TlkCustomLookAndFeelPainter::DrawReserved9(TlkCanvas*, const TRect&, int, int) const {}
TPoint TlkCustomLookAndFeelPainter::ReservedExtent2(int) const { return TPoint{0, 0}; }

// --- non-virtual routines -------------------------------------------------------------
void TlkCustomLookAndFeelPainter::DrawSortMarkShape(TlkCanvas* ACanvas, const TRect& R, bool AAscending,
                                                    TColor ALightColor, TColor ADarkColor) const {
  const TPoint extent = SortMarkExtent();
  const int w = extent.x, h = extent.y;
  if (w <= 0 || h <= 0) return;
  // An even width has no middle column: the apex takes the left one.
  const int apexX = (R.left + R.right) / 2 - (w % 2 == 0 ? 1 : 0);
  const int left = apexX - (w - 1) / 2, right = left + w - 1;
  const int top = (R.top + R.bottom - h) / 2, bottom = top + h - 1;
  const TPoint apex{apexX, AAscending ? top : bottom};
  const int baseY = AAscending ? bottom : top;
  thinPen(ACanvas, ALightColor);
  lineWithEnd(ACanvas, apex, TPoint{right, baseY});
  lineWithEnd(ACanvas, apex, TPoint{right - 1, baseY});
  thinPen(ACanvas, AAscending ? ALightColor : ADarkColor);
  lineWithEnd(ACanvas, TPoint{left, baseY}, TPoint{right, baseY});
  thinPen(ACanvas, ADarkColor);
  lineWithEnd(ACanvas, apex, TPoint{left, baseY});
  lineWithEnd(ACanvas, apex, TPoint{left + 1, baseY});
}

void TlkCustomLookAndFeelPainter::DrawSideArrows(TlkCanvas* ACanvas, const TRect& R, int AArrows, int AArrowOffset,
                                                 TColor AColor) const {
  TRect r = R;
  r.top += FrameBorderWidth() + 1;
  r.bottom -= 1;
  int s = (r.bottom - r.top) / 2;
  if (s % 2 == 0) ++s;
  const int y0 = (r.top + r.bottom - s) / 2 - 1;
  if (AArrows == 1 || AArrows == 3) {
    const int x = r.left + AArrowOffset - 1;
    filledPolygon(ACanvas, {TPoint{x, y0}, TPoint{x, y0 + s + 1}, TPoint{x - (s / 2 + 1), y0 + s / 2 + 1}}, AColor);
  }
  if (AArrows == 2 || AArrows == 3) {
    const int x = r.right - AArrowOffset + 1;
    filledPolygon(ACanvas, {TPoint{x, y0}, TPoint{x, y0 + s + 1}, TPoint{x + s / 2 + 1, y0 + s / 2 + 1}}, AColor);
  }
}

// ---------------------------------------------------------------------------
// The painter classes.

BYTE TlkStandardLookAndFeelPainter::StyleCode() const { return lkStyleCodeStandard; }
BYTE TlkFlatLookAndFeelPainter::StyleCode() const { return lkStyleCodeFlat; }
BYTE TlkUltraFlatLookAndFeelPainter::StyleCode() const { return lkStyleCodeUltraFlat; }
BYTE TlkOffice11LookAndFeelPainter::StyleCode() const { return lkStyleCodeOffice11; }
BYTE TlkWinXPLookAndFeelPainter::StyleCode() const { return lkStyleCodeNative; }

// ---------------------------------------------------------------------------
// System colour changes.

namespace {

class TlkSystemPaletteChangedListener {
 public:
  TlkSystemPaletteChangedListener() {
    // The Office 2003 colours live as long as somebody listens for the
    // changes that refresh them.
    AddRefOffice11ColorSet();
    FWindow = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
  }
  ~TlkSystemPaletteChangedListener() {
    DeallocateHWnd(FWindow);
    ReleaseOffice11ColorSet();
  }
  TlkSystemPaletteChangedListener(const TlkSystemPaletteChangedListener&) = delete;
  TlkSystemPaletteChangedListener& operator=(const TlkSystemPaletteChangedListener&) = delete;

  HWND Window() const { return FWindow; }
  bool Empty() const { return FPrimary.empty() && FOthers.empty(); }

  void Add(TlkSystemPaletteChangedNotifier* ANotifier) {
    (ANotifier->Primary() ? FPrimary : FOthers).push_back(ANotifier);
  }
  void Remove(TlkSystemPaletteChangedNotifier* ANotifier) {
    auto& list = ANotifier->Primary() ? FPrimary : FOthers;
    std::erase(list, ANotifier);
  }

 private:
  void WndProc(TMessage& Message) {
    // The default procedure always gets the message, also when a notifier
    // raises; the exception then goes on to the message loop.
    struct DefaultAfter {
      HWND Window;
      TMessage& Message;
      ~DefaultAfter() { Message.Result = DefWindowProc(Window, Message.Msg, Message.WParam, Message.LParam); }
    } defaultAfter{FWindow, Message};
    if (Message.Msg != WM_SYSCOLORCHANGE) return;
    RefreshOffice11ColorSet();
    notify(FPrimary);
    notify(FOthers);
  }

  // Newest first. A notifier freed by an earlier one's callback is not
  // called; one made meanwhile waits for the next change.
  void notify(const std::vector<TlkSystemPaletteChangedNotifier*>& AList) {
    const std::vector<TlkSystemPaletteChangedNotifier*> snapshot = AList;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
      const auto& live = (*it)->Primary() ? FPrimary : FOthers;
      if (std::find(live.begin(), live.end(), *it) != live.end()) (*it)->DoChanged();
    }
  }

  HWND FWindow = nullptr;
  std::vector<TlkSystemPaletteChangedNotifier*> FPrimary;
  std::vector<TlkSystemPaletteChangedNotifier*> FOthers;
};

TlkSystemPaletteChangedListener* PaletteListener = nullptr;

}  // namespace

TlkSystemPaletteChangedNotifier::TlkSystemPaletteChangedNotifier(bool APrimary) : FPrimary(APrimary) {
  if (!PaletteListener) PaletteListener = new TlkSystemPaletteChangedListener;
  PaletteListener->Add(this);
}

TlkSystemPaletteChangedNotifier::~TlkSystemPaletteChangedNotifier() {
  if (!PaletteListener) return;
  PaletteListener->Remove(this);
  if (PaletteListener->Empty()) {
    delete PaletteListener;
    PaletteListener = nullptr;
  }
}

void TlkSystemPaletteChangedNotifier::DoChanged() {
  if (OnSystemPaletteChanged) OnSystemPaletteChanged();
}

HWND lkSystemPaletteListenerWindow() { return PaletteListener ? PaletteListener->Window() : nullptr; }

// ---------------------------------------------------------------------------
// Named extra painters.

namespace {
TlkExtendedStylePainters* NamedPainters = nullptr;
}

TlkExtendedStylePainters* NamedPainterList() { return NamedPainters; }

TlkExtendedStylePainters::~TlkExtendedStylePainters() { FPainterListeners.clear(); }

void TlkExtendedStylePainters::AddPainterListener(IlkLookAndFeelPainterListener* AListener) {
  if (std::find(FPainterListeners.begin(), FPainterListeners.end(), AListener) == FPainterListeners.end())
    FPainterListeners.push_back(AListener);
}

void TlkExtendedStylePainters::RemovePainterListener(IlkLookAndFeelPainterListener* AListener) {
  std::erase(FPainterListeners, AListener);
}

int TlkExtendedStylePainters::IndexOfName(const std::string& AName, TlkPainterInfo** AInfo) const {
  for (int i = 0; i < Count(); ++i) {
    auto* info = static_cast<TlkPainterInfo*>(Items(i));
    if (SameText(info->Name, AName)) {
      if (AInfo) *AInfo = info;
      return i;
    }
  }
  if (AInfo) *AInfo = nullptr;
  return -1;
}

bool TlkExtendedStylePainters::FindPainterByName(const std::string& AName,
                                                 TlkLookAndFeelPainterClass& APainter) const {
  TlkPainterInfo* info = nullptr;
  if (IndexOfName(AName, &info) < 0) return false;
  APainter = info->Painter;
  return true;
}

TlkPainterInfo* TlkExtendedStylePainters::PainterInfoAt(int AIndex) const {
  return static_cast<TlkPainterInfo*>(Items(AIndex));
}

// ---------------------------------------------------------------------------
namespace lkLookAndFeelPainters {

void Initialize() {
  if (StartCount++ > 0) return;
  NamedPainters = new TlkExtendedStylePainters;
  // Still to come with the shared painter resources, in this order: the
  // row indicator images, the scroll bar pattern bitmaps and the system
  // palette notifier; then the check box size.
  measureCheckGlyphSize();
}

void Finalize() {
  if (StartCount == 0 || --StartCount > 0) return;
  // Still to come: free the palette notifier, the pattern bitmaps, the row
  // indicator images and the radio glyph cache.
  delete NamedPainters;
  NamedPainters = nullptr;
  CheckGlyphSize = TPoint{0, 0};
}

}  // namespace lkLookAndFeelPainters

namespace {
// The derived painters add uiThemeManager and uiOffice11 (the Office 2003
// colours, not built yet) to the units this one starts after.
const qv::classlib::TUnitInfo* const kPaintersUses[] = {&lkClassesUnit, &uiOffice11Unit, &lkGraphicsUnit};
}  // namespace

const qv::classlib::TUnitInfo lkLookAndFeelPaintersUnit{"lkLookAndFeelPainters", kPaintersUses,
                                                        &lkLookAndFeelPainters::Initialize,
                                                        &lkLookAndFeelPainters::Finalize};
