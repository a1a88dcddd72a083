#include "lookandfeel/lkLookAndFeelPainters.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "lookandfeel/lkGeometry.h"
#include "lookandfeel/uiOffice11.h"
#include "lookandfeel/uiThemeManager.h"
#include "platform/classlib/Messages.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/FrameControl.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/MulDiv.h"
#include "platform/os/gdi/PredefinedBitmaps.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Resource.h"
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

void measureCheckGlyphSizeNow() {
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

void GetCheckGlyphSize() { measureCheckGlyphSizeNow(); }


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

// Radio glyphs come from the shared radio glyph cache (below, with the
// painters that its colours come from).

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
// Shared pieces of the derived painters.

namespace {

// The ultra-flat look's hot and pressed faces.
TColor ultraFlatHotColor() { return NearestScreenColor(SystemMixColor2()); }
TColor ultraFlatPressedColor() { return NearestScreenColor(SystemMixColor1()); }

// The four classic rings: (top and left, bottom and right).
struct TRingColors {
  TColor LeftTop;
  TColor RightBottom;
};
constexpr TRingColors kRaisedInner{clBtnHighlight, clBtnShadow};
constexpr TRingColors kRaisedOuter{cl3DLight, cl3DDkShadow};
constexpr TRingColors kSunkenOuter{clBtnShadow, clBtnHighlight};
constexpr TRingColors kSunkenInner{cl3DDkShadow, cl3DLight};

void ring(TlkCanvas* ACanvas, const TRect& R, TRingColors AColors, TlkBorders ABorders = lkAllBorders) {
  ACanvas->DrawBorders(R, AColors.LeftTop, AColors.RightBottom, ABorders);
}

void ring(TlkCanvas* ACanvas, const TRect& R, TColor ALeftTop, TColor ARightBottom,
          TlkBorders ABorders = lkAllBorders) {
  ACanvas->DrawBorders(R, ALeftTop, ARightBottom, ABorders);
}

// A one-pixel frame in one colour.
void frame(TlkCanvas* ACanvas, const TRect& R, TColor AColor) { ACanvas->FrameRect(R, AColor); }

// Page areas of the classic scroll bars: the pattern brush of the state.
void fillScrollBarPage(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) {
  TBitmap* pattern = lkScrollBarPatternBitmap(AState == pdsPressed);
  if (!pattern) return;
  ACanvas->Brush()->SetBitmap(pattern);
  ACanvas->FillRect(R);
  ACanvas->Brush()->SetBitmap(nullptr);
  ACanvas->Brush()->SetStyle(bsSolid);
}

// The raised inner ring with the pixels that join a cell to its neighbours;
// the standard and flat headers share it.
void drawClassicHeaderFrame(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors) {
  ring(ACanvas, R, kRaisedInner);
  if (ANeighbors & lkbLeft) {
    ACanvas->SetPixel(R.left, R.top + 1, clBtnFace);
    ACanvas->SetPixel(R.left, R.bottom - 2, clBtnFace);
  }
  if (ANeighbors & lkbRight) {
    ACanvas->SetPixel(R.right - 1, R.top, clBtnHighlight);
    ACanvas->SetPixel(R.right - 1, R.top + 1, clBtnFace);
    ACanvas->SetPixel(R.right - 1, R.bottom - 2, clBtnFace);
  }
}

void drawClassicFilterDropDown(const TlkCustomLookAndFeelPainter* APainter, TlkCanvas* ACanvas, const TRect& R,
                               TlkPartDrawState AState, bool AActive) {
  ring(ACanvas, R, AState == pdsPressed ? kSunkenOuter : kRaisedInner);
  const TRect inner = deflated(R, 1);
  ACanvas->FillRectColor(inner, clBtnFace);
  APainter->DrawDropDownGlyph(ACanvas, inner, AActive ? clBlue : clBtnText);
}

void drawClassicTabItemFrame(TlkCanvas* ACanvas, const TRect& R, bool AVertical, TlkBorders ABorders, int AEdge) {
  TRect r = R;
  if (AVertical) {
    if (AEdge == 0) {
      r.top += (ABorders & lkbTop) ? 2 : 1;
      r.bottom -= (ABorders & lkbBottom) ? 2 : 1;
      ACanvas->SetPixel(r.left + 1, r.top - 1, clBtnHighlight);
      ACanvas->SetPixel(r.left + 1, r.bottom, clBtnHighlight);
    } else if ((AEdge == 1 || AEdge == 3) && (ABorders & lkbLeft)) {
      r.left += 1;
    }
  } else {
    if (AEdge == 0 || AEdge == 2) {
      if (ABorders & lkbTop) r.top += 2;
      if (ABorders & lkbBottom) r.bottom -= 1;
    } else if (AEdge == 1) {
      r.left += 1;
      r.right -= 1;
      ACanvas->SetPixel(r.left - 1, r.top + 1, clBtnHighlight);
      ACanvas->SetPixel(r.right, r.top + 1, clBtnHighlight);
    }
  }
  const bool shadowEdge = AVertical ? AEdge == 3 : AEdge == 2;
  ACanvas->FillRectColor(r, shadowEdge ? clBtnShadow : clBtnHighlight);
}

// Splitters: a line at each side across the split, the rect then moved in
// between them, and the rest from the view parameters.
void drawSplitterLines(TlkCanvas* ACanvas, TRect& R, bool AHorizontal, TColor AFirst, TColor ASecond) {
  if (AHorizontal) {
    ACanvas->FillRectColor(TRect{R.left, R.top, R.right, R.top + 1}, AFirst);
    ACanvas->FillRectColor(TRect{R.left, R.bottom - 1, R.right, R.bottom}, ASecond);
    R = lkGrowRect(R, 1, -1, 1, -1);
  } else {
    ACanvas->FillRectColor(TRect{R.left, R.top, R.left + 1, R.bottom}, AFirst);
    ACanvas->FillRectColor(TRect{R.right - 1, R.top, R.right, R.bottom}, ASecond);
    R = lkGrowRect(R, -1, 1, -1, 1);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TlkStandardLookAndFeelPainter

BYTE TlkStandardLookAndFeelPainter::StyleCode() const { return lkStyleCodeStandard; }
TColor TlkStandardLookAndFeelPainter::DefaultColor37() const { return clWindow; }
int TlkStandardLookAndFeelPainter::FrameBorderWidth() const { return 2; }

void TlkStandardLookAndFeelPainter::DrawFrameBorder(TlkCanvas* ACanvas, const TRect& R) const {
  ring(ACanvas, R, kSunkenOuter);
  ring(ACanvas, deflated(R, 1), kSunkenInner);
}

int TlkStandardLookAndFeelPainter::ButtonBorderWidth(TlkPartDrawState AState) const {
  return AState == pdsDefault ? 3 : 2;
}

int TlkStandardLookAndFeelPainter::ButtonCaptionOffset() const { return 1; }
int TlkStandardLookAndFeelPainter::ButtonPressedShift() const { return 1; }

void TlkStandardLookAndFeelPainter::DrawButtonFrame(TlkCanvas* ACanvas, const TRect& R,
                                                    TlkPartDrawState AState) const {
  TRect r = R;
  if (AState == pdsPressed) {
    frame(ACanvas, r, clBlack);
    ring(ACanvas, deflated(r, 1), clBtnShadow, clBtnShadow);
    return;
  }
  if (AState == pdsDefault) {
    frame(ACanvas, r, clBlack);
    r = deflated(r, 1);
  }
  ring(ACanvas, r, clBtnHighlight, cl3DDkShadow);
  ring(ACanvas, deflated(r, 1), cl3DLight, clBtnShadow);
}

void TlkStandardLookAndFeelPainter::DrawTreeExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AColor,
                                                         bool AExpanded) const {
  TRect r = R;
  ring(ACanvas, r, kRaisedInner.LeftTop, kRaisedOuter.RightBottom);
  r = deflated(r, 1);
  ring(ACanvas, r, kRaisedInner, lkbRight | lkbBottom);
  --r.right;
  --r.bottom;
  ACanvas->FillRectColor(r, AColor == clDefault ? clBtnFace : AColor);
  lkDrawExpandCross(ACanvas, r, AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

void TlkStandardLookAndFeelPainter::DrawGroupExpandButton(TlkCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                          TlkPartDrawState AState) const {
  TlkFlatLookAndFeelPainter::Class()->TlkCustomLookAndFeelPainter::DrawGroupExpandButton(ACanvas, R, AExpanded,
                                                                                       AState);
}

int TlkStandardLookAndFeelPainter::TreeExpandButtonExtent() const { return 12; }
bool TlkStandardLookAndFeelPainter::ButtonsHotTrack() const { return false; }

void TlkStandardLookAndFeelPainter::DrawCheckFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState) const {
  ring(ACanvas, R, kSunkenInner);
  ring(ACanvas, deflated(R, 1), kSunkenOuter);
}

void TlkStandardLookAndFeelPainter::DrawHeaderFrame(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors,
                                                    TlkBorders) const {
  drawClassicHeaderFrame(ACanvas, R, ANeighbors);
}

void TlkStandardLookAndFeelPainter::DrawHeaderSectionFrame(TlkCanvas* ACanvas, const TRect& R,
                                                           TlkPartDrawState AState, TlkBorders ABorders) const {
  if (AState == pdsPressed) {
    ring(ACanvas, R, clBtnShadow, clBtnShadow, ABorders);
    return;
  }
  ring(ACanvas, R, clBtnHighlight, cl3DDkShadow, ABorders);
  ring(ACanvas, deflated(R, 1), cl3DLight, clBtnShadow, ABorders);
}

void TlkStandardLookAndFeelPainter::DrawSortMark(TlkCanvas* ACanvas, const TRect& R, bool AAscending) const {
  DrawSortMarkShape(ACanvas, R, AAscending, clBtnHighlight, clBtnShadow);
}

int TlkStandardLookAndFeelPainter::HeaderFrameWidth() const { return 1; }

int TlkStandardLookAndFeelPainter::HeaderSectionFrameWidth(TlkPartDrawState AState) const {
  return AState == pdsPressed ? 1 : 2;
}

TPoint TlkStandardLookAndFeelPainter::SortMarkExtent() const { return TPoint{8, 7}; }
int TlkStandardLookAndFeelPainter::FooterFrameWidth() const { return 1; }
int TlkStandardLookAndFeelPainter::FooterCellFrameWidth() const { return 1; }
int TlkStandardLookAndFeelPainter::FooterCellInset() const { return 1; }

void TlkStandardLookAndFeelPainter::DrawFooterFrame(TlkCanvas* ACanvas, const TRect& R) const {
  ring(ACanvas, R, kRaisedInner);
}

void TlkStandardLookAndFeelPainter::DrawFooterCellFrame(TlkCanvas* ACanvas, const TRect& R) const {
  ring(ACanvas, R, kSunkenOuter);
}

void TlkStandardLookAndFeelPainter::DrawFilterDropDown(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                                       bool AActive) const {
  drawClassicFilterDropDown(this, ACanvas, R, AState, AActive);
}

void TlkStandardLookAndFeelPainter::DrawTabItemFrame(TlkCanvas* ACanvas, const TRect& R, bool AVertical,
                                                     TlkBorders ABorders, int AEdge) const {
  drawClassicTabItemFrame(ACanvas, R, AVertical, ABorders, AEdge);
}

void TlkStandardLookAndFeelPainter::DrawTabStrip(TlkCanvas* ACanvas, const TRect& R, bool,
                                                 TlkBorders ABorders) const {
  ring(ACanvas, R, kRaisedInner, ABorders);
}

int TlkStandardLookAndFeelPainter::TabItemFrameWidth(bool) const { return 1; }

void TlkStandardLookAndFeelPainter::DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                      TlkScrollBarArea AArea, TlkPartDrawState AState) const {
  if (IsRectEmpty(&R) || (AArea == sbaThumb && AState == pdsDisabled)) return;
  if (AState == pdsHot) AState = pdsNormal;
  const bool pressedArrow = AState == pdsPressed && AArea != sbaThumb;
  const auto border = [&] {
    if (pressedArrow) {
      ring(ACanvas, R, clBtnShadow, clBtnShadow);
      ring(ACanvas, deflated(R, 1), clBtnFace, clBtnFace);
    } else {
      ring(ACanvas, R, clBtnFace, cl3DDkShadow);
      ring(ACanvas, deflated(R, 1), clBtnHighlight, clBtnShadow);
    }
  };
  switch (AArea) {
    case sbaTopLeftArrow:
    case sbaBottomRightArrow: {
      TRect r = R;
      if (AState == pdsPressed) OffsetRect(&r, 1, 1);
      const bool first = AArea == sbaTopLeftArrow;
      UINT kind = AHorizontal ? (first ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT) : (first ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
      if (AState == pdsDisabled) kind |= DFCS_INACTIVE;
      if (AState == pdsPressed) kind |= DFCS_FLAT;
      DrawFrameControl(ACanvas->Handle(), &r, DFC_SCROLL, kind);
      border();
      break;
    }
    case sbaThumb:
      border();
      ACanvas->FillRectColor(deflated(R, ButtonBorderWidth(pdsNormal)), clBtnFace);
      break;
    case sbaPageBefore:
    case sbaPageAfter:
      fillScrollBarPage(ACanvas, R, AState);
      break;
    default:
      break;
  }
}

void TlkStandardLookAndFeelPainter::DrawHeaderWithArrows(TlkCanvas* ACanvas, const TRect& R,
                                                         const TRect& ATextAreaBounds, TAlignment AHorzAlignment,
                                                         TTextLayout AVertAlignment, bool AMultiLine,
                                                         bool AShowEndEllipsis, const std::string& AText,
                                                         TFont* AFont, TColor ATextColor, TColor ABackgroundColor,
                                                         TlkBorders ANeighbors, int AArrows,
                                                         int AArrowOffset) const {
  const bool left = ANeighbors & lkbLeft, right = ANeighbors & lkbRight;
  const TlkBorders sides = left && right ? 10 : right ? 11 : left ? 14 : 15;
  ACanvas->FrameRect(R, clBlack, 1, sides);
  const TRect inner = HeaderInnerBounds(R, sides);
  DrawHeaderCell(ACanvas, inner, ATextAreaBounds, 0, lkAllBorders, pdsNormal, AHorzAlignment, AVertAlignment,
                 AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABackgroundColor, nullptr, false);
  DrawSideArrows(ACanvas, R, AArrows, AArrowOffset, clWindowText);
}

void TlkStandardLookAndFeelPainter::DrawSplitterFrame(TlkCanvas* ACanvas, const TRect& R, bool AHorizontal,
                                                      const TlkViewParams& AViewParams) const {
  TRect r = R;
  drawSplitterLines(ACanvas, r, AHorizontal, clBtnFace, cl3DDkShadow);
  drawSplitterLines(ACanvas, r, AHorizontal, clBtnHighlight, clBtnShadow);
  paintViewParams(ACanvas, r, AViewParams);
}

// ---------------------------------------------------------------------------
// TlkFlatLookAndFeelPainter

BYTE TlkFlatLookAndFeelPainter::StyleCode() const { return lkStyleCodeFlat; }
int TlkFlatLookAndFeelPainter::FrameBorderWidth() const { return 1; }

void TlkFlatLookAndFeelPainter::DrawFrameBorder(TlkCanvas* ACanvas, const TRect& R) const {
  ring(ACanvas, R, kSunkenOuter);
}

int TlkFlatLookAndFeelPainter::ButtonBorderWidth(TlkPartDrawState AState) const {
  return AState == pdsDefault ? 2 : 1;
}

int TlkFlatLookAndFeelPainter::ButtonCaptionOffset() const { return 1; }
int TlkFlatLookAndFeelPainter::ButtonPressedShift() const { return 1; }

void TlkFlatLookAndFeelPainter::DrawButtonFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const {
  if (AState == pdsPressed) {
    ring(ACanvas, R, kSunkenOuter);
  } else if (AState == pdsDefault) {
    frame(ACanvas, R, clBlack);
    ring(ACanvas, deflated(R, 1), kRaisedInner);
  } else {
    ring(ACanvas, R, kRaisedInner);
  }
}

void TlkFlatLookAndFeelPainter::DrawTreeExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AColor,
                                                     bool AExpanded) const {
  DrawPushButton(ACanvas, R, "", pdsNormal, true, AColor, clDefault, false);
  lkDrawExpandCross(ACanvas, deflated(R, 1), AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

int TlkFlatLookAndFeelPainter::TreeExpandButtonExtent() const { return 11; }
bool TlkFlatLookAndFeelPainter::ButtonsHotTrack() const { return false; }

void TlkFlatLookAndFeelPainter::DrawCheckFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const {
  ring(ACanvas, R, kSunkenOuter);
  frame(ACanvas, deflated(R, 1), CheckFaceColor(AState));
}

void TlkFlatLookAndFeelPainter::DrawHeaderFrame(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors,
                                                TlkBorders) const {
  drawClassicHeaderFrame(ACanvas, R, ANeighbors);
}

void TlkFlatLookAndFeelPainter::DrawHeaderSectionFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                                       TlkBorders ABorders) const {
  ring(ACanvas, R, AState == pdsPressed ? kSunkenOuter : kRaisedInner, ABorders);
}

void TlkFlatLookAndFeelPainter::DrawSortMark(TlkCanvas* ACanvas, const TRect& R, bool AAscending) const {
  DrawSortMarkShape(ACanvas, R, AAscending, clBtnHighlight, clBtnShadow);
}

int TlkFlatLookAndFeelPainter::HeaderFrameWidth() const { return 1; }
TPoint TlkFlatLookAndFeelPainter::SortMarkExtent() const { return TPoint{8, 7}; }
int TlkFlatLookAndFeelPainter::FooterFrameWidth() const { return 1; }
int TlkFlatLookAndFeelPainter::FooterCellFrameWidth() const { return 1; }
int TlkFlatLookAndFeelPainter::FooterCellInset() const { return 1; }

void TlkFlatLookAndFeelPainter::DrawFooterFrame(TlkCanvas* ACanvas, const TRect& R) const {
  ring(ACanvas, R, kRaisedInner);
}

void TlkFlatLookAndFeelPainter::DrawFooterCellFrame(TlkCanvas* ACanvas, const TRect& R) const {
  ring(ACanvas, R, kSunkenOuter);
}

void TlkFlatLookAndFeelPainter::DrawFilterDropDown(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                                   bool AActive) const {
  drawClassicFilterDropDown(this, ACanvas, R, AState, AActive);
}

void TlkFlatLookAndFeelPainter::DrawTabItemFrame(TlkCanvas* ACanvas, const TRect& R, bool AVertical,
                                                 TlkBorders ABorders, int AEdge) const {
  drawClassicTabItemFrame(ACanvas, R, AVertical, ABorders, AEdge);
}

void TlkFlatLookAndFeelPainter::DrawTabStrip(TlkCanvas* ACanvas, const TRect& R, bool, TlkBorders ABorders) const {
  ring(ACanvas, R, kRaisedInner, ABorders);
}

int TlkFlatLookAndFeelPainter::TabItemFrameWidth(bool) const { return 1; }

namespace {

// The flat and ultra-flat scroll bars: buttons for the arrows and the thumb,
// the pattern for the page areas. Only the ultra-flat look shows hot parts,
// and it draws its arrows over the whole button.
void drawFlatScrollBarPart(const TlkCustomLookAndFeelPainter* APainter, TlkCanvas* ACanvas, bool AHorizontal,
                           const TRect& R, TlkScrollBarArea AArea, TlkPartDrawState AState, bool AUltraFlat) {
  if (IsRectEmpty(&R) || (AArea == sbaThumb && AState == pdsDisabled)) return;
  if (AState == pdsHot && !AUltraFlat) AState = pdsNormal;
  switch (AArea) {
    case sbaTopLeftArrow:
    case sbaBottomRightArrow:
    case sbaThumb: {
      APainter->DrawPushButton(ACanvas, R, "", AState, true, clDefault, clDefault, false);
      if (AArea == sbaThumb) break;
      const TRect r = AUltraFlat ? R : deflated(R, APainter->ButtonBorderWidth(pdsNormal));
      APainter->DrawStateArrow(ACanvas, r, ScrollBarArrowHeading(AHorizontal, AArea), AState);
      break;
    }
    case sbaPageBefore:
    case sbaPageAfter:
      fillScrollBarPage(ACanvas, R, AState);
      break;
    default:
      break;
  }
}

}  // namespace

void TlkFlatLookAndFeelPainter::DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                  TlkScrollBarArea AArea, TlkPartDrawState AState) const {
  drawFlatScrollBarPart(this, ACanvas, AHorizontal, R, AArea, AState, false);
}

void TlkFlatLookAndFeelPainter::DrawSplitterFrame(TlkCanvas* ACanvas, const TRect& R, bool AHorizontal,
                                                  const TlkViewParams& AViewParams) const {
  TRect r = R;
  drawSplitterLines(ACanvas, r, AHorizontal, clBtnHighlight, clBtnShadow);
  paintViewParams(ACanvas, r, AViewParams);
}

// ---------------------------------------------------------------------------
// TlkUltraFlatLookAndFeelPainter

BYTE TlkUltraFlatLookAndFeelPainter::StyleCode() const { return lkStyleCodeUltraFlat; }
TColor TlkUltraFlatLookAndFeelPainter::DefaultColor34() const { return clBtnShadow; }
int TlkUltraFlatLookAndFeelPainter::FrameBorderWidth() const { return 1; }

void TlkUltraFlatLookAndFeelPainter::DrawFrameBorder(TlkCanvas* ACanvas, const TRect& R) const {
  frame(ACanvas, R, clBtnShadow);
}

int TlkUltraFlatLookAndFeelPainter::ButtonBorderWidth(TlkPartDrawState AState) const {
  return AState == pdsDefault ? 2 : 1;
}

TColor TlkUltraFlatLookAndFeelPainter::ButtonFaceColor(TlkPartDrawState AState) const {
  switch (AState) {
    case pdsHot: return ultraFlatHotColor();
    case pdsPressed: return ultraFlatPressedColor();
    default: return TlkCustomLookAndFeelPainter::ButtonFaceColor(AState);
  }
}

TRect TlkUltraFlatLookAndFeelPainter::ButtonFocusBounds(TlkCanvas*, const TRect& R) const {
  const TRect r = deflated(R, 3);
  return IsRectEmpty(&r) ? R : r;
}

TRect TlkUltraFlatLookAndFeelPainter::ButtonGroupBorderWidths(int AButtonIndex, int AButtonCount) const {
  TRect widths{1, 2, 1, 2};
  if (AButtonIndex == 0)
    widths.left = 2;
  else if (AButtonIndex == AButtonCount - 1)
    widths.right = 2;
  return widths;
}

int TlkUltraFlatLookAndFeelPainter::ButtonCaptionOffset() const { return 2; }
int TlkUltraFlatLookAndFeelPainter::ButtonPressedShift() const { return 0; }

TColor TlkUltraFlatLookAndFeelPainter::ButtonGlyphColor(TlkPartDrawState AState, TColor ADefaultColor) const {
  if (AState == pdsPressed) return clHighlightText;
  return TlkCustomLookAndFeelPainter::ButtonGlyphColor(AState, ADefaultColor);
}

TlkPartDrawState TlkUltraFlatLookAndFeelPainter::ButtonGlyphState(TlkPartDrawState) const { return pdsNormal; }

void TlkUltraFlatLookAndFeelPainter::DrawCaptionlessButton(TlkCanvas* ACanvas, const TRect& R,
                                                           TlkPartDrawState AState, int AButtonCount,
                                                           int AButtonIndex, TColor AColor) const {
  TRect r = R;
  ++r.top;
  --r.bottom;
  if (AButtonIndex == 0) ++r.left;
  if (AButtonIndex == AButtonCount - 1) --r.right;
  if (AState == pdsNormal || AState == pdsDisabled) {
    frame(ACanvas, r, AColor);
    r = deflated(r, 1);
  } else {
    if (AButtonIndex > 0) {
      ACanvas->FillRectColor(TRect{r.left, r.top, r.left + 1, r.bottom}, HighlightFrameColor());
      ++r.left;
    }
    if (AButtonIndex < AButtonCount - 1) {
      ACanvas->FillRectColor(TRect{r.right - 1, r.top, r.right, r.bottom}, HighlightFrameColor());
      --r.right;
    }
  }
  ACanvas->FillRectColor(r, ButtonFaceColor(AState));
}

void TlkUltraFlatLookAndFeelPainter::DrawButtonFrame(TlkCanvas* ACanvas, const TRect& R,
                                                     TlkPartDrawState AState) const {
  switch (AState) {
    case pdsDefault:
      frame(ACanvas, R, clWindowFrame);
      frame(ACanvas, deflated(R, 1), clWindowFrame);
      break;
    case pdsDisabled: frame(ACanvas, R, clBtnShadow); break;
    case pdsHot:
    case pdsPressed: frame(ACanvas, R, clHighlight); break;
    default: frame(ACanvas, R, clBtnText); break;
  }
}

void TlkUltraFlatLookAndFeelPainter::DrawButtonGroupOutline(TlkCanvas* ACanvas, const TRect& R, bool AActive,
                                                            bool AHighlighted) const {
  frame(ACanvas, R, AActive ? clBtnText : AHighlighted ? HighlightFrameColor() : clBtnShadow);
}

void TlkUltraFlatLookAndFeelPainter::DrawTreeExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AColor,
                                                          bool AExpanded) const {
  frame(ACanvas, R, clBtnShadow);
  const TRect r = deflated(R, 1);
  ACanvas->FillRectColor(r, AColor == clDefault ? clBtnFace : AColor);
  lkDrawExpandCross(ACanvas, r, AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

int TlkUltraFlatLookAndFeelPainter::TreeExpandButtonExtent() const { return 11; }
bool TlkUltraFlatLookAndFeelPainter::ButtonsHotTrack() const { return true; }

void TlkUltraFlatLookAndFeelPainter::DrawCheckFrame(TlkCanvas* ACanvas, const TRect& R,
                                                    TlkPartDrawState AState) const {
  frame(ACanvas, R, clBtnText);
  frame(ACanvas, deflated(R, 1), CheckFaceColor(AState));
}

void TlkUltraFlatLookAndFeelPainter::DrawHeaderCellPlain(TlkCanvas* ACanvas, const TRect& ABounds,
                                                         const TRect& ATextAreaBounds, TlkPartDrawState AState,
                                                         TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                                         bool AMultiLine, bool AShowEndEllipsis,
                                                         const std::string& AText, TFont* AFont, TColor ATextColor,
                                                         TColor ABackgroundColor,
                                                         const TlkCustomDrawContentProc& ACustomDraw) const {
  TlkCustomLookAndFeelPainter::DrawHeaderCellPlain(ACanvas, ABounds, deflated(ATextAreaBounds, 1), AState,
                                                   AHorzAlignment, AVertAlignment, AMultiLine, AShowEndEllipsis,
                                                   AText, AFont, ATextColor, ABackgroundColor, ACustomDraw);
  DrawHeaderFrame(ACanvas, deflated(ABounds, 1), 0, lkAllBorders);
}

void TlkUltraFlatLookAndFeelPainter::DrawHeaderFrame(TlkCanvas* ACanvas, const TRect& R, TlkBorders,
                                                     TlkBorders ABorders) const {
  if (ABorders & lkbLeft) ACanvas->FillRectColor(TRect{R.left, R.top, R.left + 1, R.bottom}, clBtnText);
  if (ABorders & lkbTop) ACanvas->FillRectColor(TRect{R.left, R.top, R.right, R.top + 1}, clBtnText);
  ACanvas->FillRectColor(TRect{R.right - 1, R.top, R.right, R.bottom}, clBtnText);
  ACanvas->FillRectColor(TRect{R.left, R.bottom - 1, R.right, R.bottom}, clBtnText);
}

void TlkUltraFlatLookAndFeelPainter::DrawHeaderSectionFrame(TlkCanvas* ACanvas, const TRect& R,
                                                            TlkPartDrawState AState, TlkBorders ABorders) const {
  const TColor color = AState == pdsDisabled ? clBtnShadow : clBlack;
  ring(ACanvas, R, color, color, ABorders);
}

void TlkUltraFlatLookAndFeelPainter::DrawHeaderSectionContent(TlkCanvas* ACanvas, const TRect& R,
                                                              const TRect& ATextAreaBounds, TlkPartDrawState AState,
                                                              TColor ABackgroundColor, TAlignment AHorzAlignment,
                                                              TTextLayout AVertAlignment, bool AMultiLine,
                                                              bool AShowEndEllipsis, const std::string& AText,
                                                              TFont* AFont, TColor ATextColor) const {
  ACanvas->FillRectColor(R, AState > pdsNormal ? ButtonFaceColor(AState) : ABackgroundColor);
  if (AFont) ACanvas->SetFont(AFont);
  if (ATextColor != clDefault && ATextColor != clNone) ACanvas->Font()->SetColor(ATextColor);
  DrawHeaderSectionCaption(ACanvas, HeaderSectionCaptionBounds(ATextAreaBounds, AState), ATextColor, AFont, AText,
                           AHorzAlignment, AVertAlignment, AMultiLine, AShowEndEllipsis, AState);
}

void TlkUltraFlatLookAndFeelPainter::DrawSortMark(TlkCanvas* ACanvas, const TRect& R, bool AAscending) const {
  DrawSortMarkShape(ACanvas, R, AAscending, clBtnShadow, clBtnShadow);
}

TlkBorders TlkUltraFlatLookAndFeelPainter::HeaderDrawnSides(TlkBorders ANeighbors) const {
  TlkBorders sides = TlkCustomLookAndFeelPainter::HeaderDrawnSides(ANeighbors);
  if (ANeighbors & lkbLeft) sides &= ~lkbLeft;
  if (ANeighbors & lkbTop) sides &= ~lkbTop;
  return sides;
}

int TlkUltraFlatLookAndFeelPainter::HeaderFrameWidth() const { return 1; }
TPoint TlkUltraFlatLookAndFeelPainter::SortMarkExtent() const { return TPoint{7, 8}; }
TlkBorders TlkUltraFlatLookAndFeelPainter::FooterDrawnSides() const { return lkbRight | lkbBottom; }
int TlkUltraFlatLookAndFeelPainter::FooterFrameWidth() const { return 1; }
int TlkUltraFlatLookAndFeelPainter::FooterCellFrameWidth() const { return 1; }
int TlkUltraFlatLookAndFeelPainter::FooterCellInset() const { return 2; }

void TlkUltraFlatLookAndFeelPainter::DrawFooterFrame(TlkCanvas* ACanvas, const TRect& R) const {
  const TColor color = FooterSeparatorLineColor();
  ACanvas->FillRectColor(TRect{R.right - 1, R.top, R.right, R.bottom}, color);
  ACanvas->FillRectColor(TRect{R.left, R.bottom - 1, R.right, R.bottom}, color);
}

void TlkUltraFlatLookAndFeelPainter::DrawFooterCellFrame(TlkCanvas* ACanvas, const TRect& R) const {
  frame(ACanvas, R, FooterSeparatorLineColor());
}

void TlkUltraFlatLookAndFeelPainter::DrawFilterDropDown(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                                        bool AActive) const {
  frame(ACanvas, R, StateFrameColor(AState));
  const TRect inner = deflated(R, 1);
  ACanvas->FillRectColor(inner, ButtonFaceColor(AState));
  DrawDropDownGlyph(ACanvas, inner, AActive ? clBlue : ButtonGlyphColor(AState, clDefault));
}

TPoint TlkUltraFlatLookAndFeelPainter::CloseCrossButtonExtent() const {
  TPoint extent = TlkCustomLookAndFeelPainter::CloseCrossButtonExtent();
  ++extent.y;
  return extent;
}

void TlkUltraFlatLookAndFeelPainter::DrawTabItemFrame(TlkCanvas* ACanvas, const TRect& R, bool AVertical,
                                                      TlkBorders, int AEdge) const {
  TRect r = R;
  if (AVertical ? AEdge == 3 : AEdge == 2) {
    if (!AVertical) r.bottom -= TabItemFrameWidth(AVertical);
    ACanvas->FillRectColor(r, TabEdgeColor());
  } else {
    ACanvas->FillRectColor(r, TabFrameColor());
  }
}

void TlkUltraFlatLookAndFeelPainter::DrawTabStrip(TlkCanvas* ACanvas, const TRect& R, bool AVertical,
                                                  TlkBorders ABorders) const {
  const TColor color = TabFrameColor();
  ACanvas->DrawBorders(R, color, color, ABorders, TabItemFrameWidth(AVertical));
}

int TlkUltraFlatLookAndFeelPainter::TabItemFrameWidth(bool) const { return 1; }

void TlkUltraFlatLookAndFeelPainter::DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                       TlkScrollBarArea AArea, TlkPartDrawState AState) const {
  drawFlatScrollBarPart(this, ACanvas, AHorizontal, R, AArea, AState, true);
}

void TlkUltraFlatLookAndFeelPainter::DrawNavigatorButton(TlkCanvas* ACanvas, const TRect& R,
                                                         TlkPartDrawState AState) const {
  DrawPushButton(ACanvas, R, "", AState, AState == pdsHot || AState == pdsPressed, clDefault, clDefault, false);
}

void TlkUltraFlatLookAndFeelPainter::DrawSplitterFrame(TlkCanvas* ACanvas, const TRect& R, bool AHorizontal,
                                                       const TlkViewParams& AViewParams) const {
  TRect r = R;
  drawSplitterLines(ACanvas, r, AHorizontal, DefaultColor34(), DefaultColor34());
  paintViewParams(ACanvas, r, AViewParams);
}

TColor TlkUltraFlatLookAndFeelPainter::StateFrameColor(TlkPartDrawState AState) const {
  return AState == pdsNormal ? clBtnShadow : clHighlight;
}

TColor TlkUltraFlatLookAndFeelPainter::TabFrameColor() const { return clBtnShadow; }
TColor TlkUltraFlatLookAndFeelPainter::TabEdgeColor() const { return clBtnText; }
TColor TlkUltraFlatLookAndFeelPainter::HighlightFrameColor() const { return clHighlight; }

// ---------------------------------------------------------------------------
// TlkOffice11LookAndFeelPainter

namespace {

// Which entry of the Office 2003 colour set each role of the painter takes.
// The set names few of its entries; the rest is ours to choose, and this is
// the one place where it is chosen.
namespace office11 {
constexpr int ButtonFace = 0;          // button faces, DefaultColor8, 29, 47
constexpr int Member35 = 1;            // DefaultColor35, DefaultColor49
constexpr int Member11 = 2;            // DefaultColor11, DefaultColor15
constexpr int Member13 = 3;            // DefaultColor13
constexpr int Member42 = 20;           // DefaultColor42, DefaultColor44
constexpr int Member30 = 21;           // DefaultColor30
constexpr int FrameBorder = 24;        // DrawFrameBorder
constexpr int HeaderHighlight = 28;    // HeaderLineColor3, white by default
constexpr int HighlightFrame = 41;     // frames of hot and pressed parts
constexpr int Hot = 42;                // hot faces, the hot strip's start
constexpr int Hot2 = 43;               // the hot strip's end
constexpr int Pressed = 44;            // pressed faces
constexpr int Glyph = 51;              // glyphs
constexpr int DisabledGlyph = 52;      // disabled glyphs and frames
constexpr int Member34 = 55;           // DefaultColor34, split borders
constexpr int Shadow = 57;             // DefaultColor5
constexpr int HeaderLight = 58;        // HeaderLineColor1
constexpr int HeaderDark = 59;         // DefaultColor12, hot header cells
constexpr int HeaderLine = 60;         // HeaderLineColor2
constexpr int Light = 61;              // DefaultColor6
}  // namespace office11

TColor office11Color(int AEntry) { return Office11ColorSet()[AEntry]; }

}  // namespace

void TlkOffice11LookAndFeelPainter::PaintContent(TlkCanvas* ACanvas, const TRect& R,
                                                 const TlkCustomDrawContentProc& ACustomDraw,
                                                 TColor ABackgroundColor, TColor ATextColor, TFont* AFont,
                                                 const std::string& AText, TAlignment AHorzAlignment,
                                                 TTextLayout AVertAlignment, bool AMultiLine, bool AShowEndEllipsis,
                                                 const TRect& ATextRect) const {
  PaintContentEx(ACanvas, R, false, ACustomDraw, ABackgroundColor, ATextColor, AFont, AText, AHorzAlignment,
                 AVertAlignment, pdsNormal, AMultiLine, AShowEndEllipsis, ATextRect);
}

void TlkOffice11LookAndFeelPainter::PaintContentEx(TlkCanvas* ACanvas, const TRect& R, bool APlain,
                                                   const TlkCustomDrawContentProc& ACustomDraw, TColor,
                                                   TColor ATextColor, TFont* AFont, const std::string& AText,
                                                   TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                                   TlkPartDrawState AState, bool AMultiLine, bool AShowEndEllipsis,
                                                   const TRect& ATextRect) const {
  if (ACustomDraw && ACustomDraw(ACanvas, R)) return;
  const bool hot = AState == pdsHot;
  const TColor fill = hot ? office11Color(office11::HeaderDark) : HeaderMixColor();
  const TColor second = hot ? office11Color(office11::HeaderDark) : HeaderLineColor1();
  if (APlain) {
    ACanvas->FillRectColor(R, fill);
  } else {
    ACanvas->FillRectColor(TRect{R.left, R.top, R.right, R.bottom - 3}, fill);
    FillRectGradient(ACanvas->Handle(), TRect{R.left, R.bottom - 4, R.right, R.bottom}, fill, second, false);
  }
  if (!AText.empty())
    drawClearText(ACanvas, AText, ATextRect,
                  contentTextFlags(AHorzAlignment, AVertAlignment, AMultiLine, AShowEndEllipsis), AFont, ATextColor);
  if (hot)
    FillRectGradient(ACanvas->Handle(), TRect{R.left - 1, R.bottom - 2, R.right, R.bottom + 1},
                     office11Color(office11::Hot), office11Color(office11::Hot2), false);
}

BYTE TlkOffice11LookAndFeelPainter::StyleCode() const { return lkStyleCodeOffice11; }
TColor TlkOffice11LookAndFeelPainter::DefaultColor5() const { return office11Color(office11::Shadow); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor6() const { return office11Color(office11::Light); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor8() const { return office11Color(office11::ButtonFace); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor9() const { return DefaultColor18(); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor11() const { return office11Color(office11::Member11); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor12() const { return office11Color(office11::HeaderDark); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor13() const { return office11Color(office11::Member13); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor15() const { return DefaultColor11(); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor17() const { return HeaderMixColor(); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor29() const { return office11Color(office11::ButtonFace); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor30() const { return office11Color(office11::Member30); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor31() const { return clWindowText; }
TColor TlkOffice11LookAndFeelPainter::DefaultColor34() const { return office11Color(office11::Member34); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor35() const { return office11Color(office11::Member35); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor42() const { return office11Color(office11::Member42); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor44() const { return DefaultColor42(); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor47() const { return office11Color(office11::ButtonFace); }
TColor TlkOffice11LookAndFeelPainter::DefaultColor49() const { return DefaultColor35(); }

void TlkOffice11LookAndFeelPainter::DrawFrameBorder(TlkCanvas* ACanvas, const TRect& R) const {
  frame(ACanvas, R, office11Color(office11::FrameBorder));
}

TColor TlkOffice11LookAndFeelPainter::ButtonFaceColor(TlkPartDrawState AState) const {
  switch (AState) {
    case pdsHot: return office11Color(office11::Hot);
    case pdsPressed: return office11Color(office11::Pressed);
    case pdsDisabled: return clBtnFace;
    default: return office11Color(office11::ButtonFace);
  }
}

TColor TlkOffice11LookAndFeelPainter::ButtonGlyphColor(TlkPartDrawState AState, TColor) const {
  // Without an XP scheme a pressed face is the system's highlight mix, on
  // which only the highlight text colour reads.
  if (AState == pdsPressed && !IsXPSchemeActive()) return clHighlightText;
  return office11Color(AState == pdsDisabled ? office11::DisabledGlyph : office11::Glyph);
}

void TlkOffice11LookAndFeelPainter::DrawButtonFrame(TlkCanvas* ACanvas, const TRect& R,
                                                    TlkPartDrawState AState) const {
  switch (AState) {
    case pdsDefault: TlkUltraFlatLookAndFeelPainter::DrawButtonFrame(ACanvas, R, AState); break;
    case pdsDisabled: frame(ACanvas, R, office11Color(office11::DisabledGlyph)); break;
    case pdsHot:
    case pdsPressed: frame(ACanvas, R, office11Color(office11::HighlightFrame)); break;
    default: frame(ACanvas, R, clBtnText); break;
  }
}

void TlkOffice11LookAndFeelPainter::DrawTreeExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor,
                                                         bool AExpanded) const {
  const TOffice11ColorSet& set = Office11ColorSet();
  TBitmap* bitmap = AExpanded ? set.ExpandButtonMinusBitmap : set.ExpandButtonPlusBitmap;
  if (!bitmap || bitmap->Empty()) return;
  // The corners blend into whatever lies under the button, so the shared
  // bitmap takes them from the canvas every time it is drawn.
  TCanvas* bits = bitmap->Canvas();
  const TColor topLeft = ACanvas->Canvas()->Pixels(R.left, R.top);
  bits->SetPixels(0, 0, MixColorsByPercent(TOffice11ColorSet::ExpandButtonCornerColor1, topLeft, 25));
  const TColor bottomRight = ACanvas->Canvas()->Pixels(R.right - 1, R.bottom - 1);
  const TColor corner = MixColorsByPercent(TOffice11ColorSet::ExpandButtonCornerColor2, bottomRight, 25);
  bits->SetPixels(10, 10, corner);
  bits->SetPixels(0, 10, corner);
  bits->SetPixels(10, 0, corner);
  ACanvas->Draw(R.left, R.top, bitmap);
}

bool TlkOffice11LookAndFeelPainter::TreeExpandButtonPaintedFirst() const { return false; }

void TlkOffice11LookAndFeelPainter::DrawSmallExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor, TColor,
                                                          bool AExpanded) const {
  DrawTreeExpandButton(ACanvas, R, clDefault, AExpanded);
}

int TlkOffice11LookAndFeelPainter::TreeExpandButtonExtent() const { return 11; }
int TlkOffice11LookAndFeelPainter::SmallExpandButtonExtent() const { return TreeExpandButtonExtent(); }

TColor TlkOffice11LookAndFeelPainter::CheckFaceColor(TlkPartDrawState AState) const {
  if (AState == pdsHot || AState == pdsPressed || AState == pdsDisabled) return ButtonFaceColor(AState);
  return TlkUltraFlatLookAndFeelPainter::CheckFaceColor(AState);
}

void TlkOffice11LookAndFeelPainter::DrawHeaderCell(TlkCanvas* ACanvas, const TRect& ABounds,
                                                   const TRect& ATextAreaBounds, TlkBorders, TlkBorders ABorders,
                                                   TlkPartDrawState AState, TAlignment AHorzAlignment,
                                                   TTextLayout AVertAlignment, bool AMultiLine,
                                                   bool AShowEndEllipsis, const std::string& AText, TFont* AFont,
                                                   TColor ATextColor, TColor ABackgroundColor,
                                                   const TlkCustomDrawContentProc& ACustomDraw, bool) const {
  // The base drawing without neighbours; the content gets the cell's state,
  // which makes a hot cell darker.
  DrawHeaderFrame(ACanvas, ABounds, 0, ABorders);
  PaintContentEx(ACanvas, HeaderInnerBounds(ABounds, ABorders), false, ACustomDraw, ABackgroundColor, ATextColor,
                 AFont, AText, AHorzAlignment, AVertAlignment, AState, AMultiLine, AShowEndEllipsis,
                 ATextAreaBounds);
}

void TlkOffice11LookAndFeelPainter::DrawHeaderFrame(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors,
                                                    TlkBorders ABorders) const {
  const TColor mix = HeaderMixColor(), line1 = HeaderLineColor1(), line2 = HeaderLineColor2();
  const TColor line3 = HeaderLineColor3();
  const TColor lowMix = MixColorsByPercent(mix, line1, 25);
  const auto column = [&](int x, int from, int to, TColor c) { ACanvas->FillRectColor(TRect{x, from, x + 1, to}, c); };
  if (ABorders & lkbTop) ACanvas->FillRectColor(TRect{R.left, R.top, R.right, R.top + 1}, mix);
  if (ABorders & lkbBottom) ACanvas->FillRectColor(TRect{R.left, R.bottom - 1, R.right, R.bottom}, line2);
  if (ABorders & lkbLeft) {
    const int x = R.left;
    if (ANeighbors & lkbLeft) {
      column(x, R.top + 2, R.bottom - 3, line3);
      ACanvas->SetPixel(x, R.top + 2, mix);
      ACanvas->SetPixel(x, R.bottom - 3, lowMix);
    } else {
      column(x, R.top + 1, R.bottom - 2, line3);
    }
    ACanvas->SetPixel(x, R.top + 1, mix);
    ACanvas->SetPixel(x, R.bottom - 2, line1);
  }
  if (ABorders & lkbRight) {
    const int x = R.right - 1;
    if (ANeighbors & lkbRight) {
      column(x, R.top + 2, R.bottom - 3, line2);
      ACanvas->SetPixel(x, R.top + 1, mix);
      ACanvas->SetPixel(x, R.top + 2, mix);
      ACanvas->SetPixel(x, R.bottom - 3, lowMix);
      ACanvas->SetPixel(x, R.bottom - 2, line1);
    } else {
      column(x, R.top + 1, R.bottom - 2, line2);
      ACanvas->SetPixel(x, R.top, MixColorsByPercent(mix, line2, 50));
      ACanvas->SetPixel(x, R.bottom - 2, MixColorsByPercent(line1, line2, 50));
    }
  }
}

void TlkOffice11LookAndFeelPainter::DrawHeaderSection(TlkCanvas* ACanvas, const TRect& ABounds,
                                                      const TRect& ATextAreaBounds, TlkPartDrawState AState,
                                                      TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                                      bool AMultiLine, bool AShowEndEllipsis, const std::string& AText,
                                                      TFont* AFont, TColor ATextColor, TColor ABackgroundColor) const {
  DrawHeaderCell(ACanvas, ABounds, ATextAreaBounds, 0, 0, AState, AHorzAlignment, AVertAlignment, AMultiLine,
                 AShowEndEllipsis, AText, AFont, ATextColor, ABackgroundColor, nullptr, false);
  if (AState == pdsPressed) InvertHeaderArea(ACanvas, ABounds);
}

void TlkOffice11LookAndFeelPainter::DrawSortMark(TlkCanvas* ACanvas, const TRect& R, bool AAscending) const {
  DrawSortMarkShape(ACanvas, R, AAscending, HeaderLineColor3(), HeaderLineColor2());
}

TlkBorders TlkOffice11LookAndFeelPainter::HeaderDrawnSides(TlkBorders) const { return lkAllBorders; }
int TlkOffice11LookAndFeelPainter::HeaderFrameWidth() const { return 1; }
bool TlkOffice11LookAndFeelPainter::HeaderHotTracks() const { return true; }
TColor TlkOffice11LookAndFeelPainter::FooterSeparatorLineColor() const { return HeaderLineColor2(); }

void TlkOffice11LookAndFeelPainter::DrawFilterDropDown(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                                       bool AActive) const {
  TlkUltraFlatLookAndFeelPainter::DrawFilterDropDown(ACanvas, R, AState, AActive);
}

void TlkOffice11LookAndFeelPainter::DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                      TlkScrollBarArea AArea, TlkPartDrawState AState) const {
  // Office 2003 has no scroll bar of its own: the themed one when the
  // desktop draws themed scroll bars, else the classic one.
  if (AreThemesAvailable(1u << thkScrollBar))
    TlkWinXPLookAndFeelPainter::Class()->DrawScrollBarPart(ACanvas, AHorizontal, R, AArea, AState);
  else
    TlkStandardLookAndFeelPainter::Class()->DrawScrollBarPart(ACanvas, AHorizontal, R, AArea, AState);
}

void TlkOffice11LookAndFeelPainter::DrawSizeGripArea(TlkCanvas* ACanvas, const TRect& R, TColor AColor) const {
  ACanvas->FillRectColor(R, AColor);
  DrawOffice11SizeGrip(ACanvas->Handle(), R);
}

void TlkOffice11LookAndFeelPainter::DrawHeaderWithArrows(TlkCanvas* ACanvas, const TRect& R,
                                                         const TRect& ATextAreaBounds, TAlignment AHorzAlignment,
                                                         TTextLayout AVertAlignment, bool AMultiLine,
                                                         bool AShowEndEllipsis, const std::string& AText,
                                                         TFont* AFont, TColor ATextColor, TColor ABackgroundColor,
                                                         TlkBorders, int AArrows, int AArrowOffset) const {
  const TRect inner = deflated(R, 1);
  ACanvas->FillRectColor(inner, ABackgroundColor);
  if (!AText.empty())
    drawClearText(ACanvas, AText, ATextAreaBounds,
                  contentTextFlags(AHorzAlignment, AVertAlignment, AMultiLine, AShowEndEllipsis), AFont, ATextColor);
  DrawSideArrows(ACanvas, R, AArrows, AArrowOffset, clWindowText);
}

void TlkOffice11LookAndFeelPainter::DrawSplitBorder(TlkCanvas* ACanvas, const TRect& R) const {
  frame(ACanvas, R, DefaultColor34());
}

void TlkOffice11LookAndFeelPainter::DrawNavigatorButton(TlkCanvas* ACanvas, const TRect& R,
                                                        TlkPartDrawState AState) const {
  TlkWinXPLookAndFeelPainter::Class()->DrawNavigatorButton(ACanvas, R, AState);
}

TColor TlkOffice11LookAndFeelPainter::StateFrameColor(TlkPartDrawState AState) const {
  return AState == pdsNormal ? HeaderLineColor2() : office11Color(office11::HighlightFrame);
}

TColor TlkOffice11LookAndFeelPainter::TabFrameColor() const { return HeaderLineColor2(); }
TColor TlkOffice11LookAndFeelPainter::TabEdgeColor() const { return clBtnText; }
TColor TlkOffice11LookAndFeelPainter::HighlightFrameColor() const { return office11Color(office11::HighlightFrame); }
TColor TlkOffice11LookAndFeelPainter::HeaderLineColor1() const { return office11Color(office11::HeaderLight); }
TColor TlkOffice11LookAndFeelPainter::HeaderLineColor2() const { return office11Color(office11::HeaderLine); }
TColor TlkOffice11LookAndFeelPainter::HeaderLineColor3() const { return office11Color(office11::HeaderHighlight); }

TColor TlkOffice11LookAndFeelPainter::HeaderMixColor() const {
  return MixColorsByPercent(office11Color(office11::HeaderDark), office11Color(office11::HeaderLight), 50);
}

// ---------------------------------------------------------------------------
// TlkWinXPLookAndFeelPainter

namespace {

// Painter states to theme states, indexed by TlkPartDrawState.
using TStateMap = std::array<int, 5>;
constexpr TStateMap kPushButtonStates{5, 1, 2, 3, 4};
constexpr TStateMap kHeaderStates{1, 1, 2, 3, 1};
constexpr TStateMap kCloseButtonStates{1, 1, 2, 3, 4};
constexpr TStateMap kDropDownStates{1, 1, 2, 3, 4};
constexpr TStateMap kTabStates{1, 1, 2, 3, 4};
constexpr TStateMap kNavigatorStates{2, 2, 5, 3, 4};
constexpr TStateMap kTrackStates{1, 1, 2, 3, 4};
constexpr TStateMap kGroupExpandStates{6, 1, 2, 3, 1};

int themeState(const TStateMap& AMap, TlkPartDrawState AState) {
  return AState <= pdsDisabled ? AMap[AState] : 0;
}

// Check boxes and radio buttons: unchecked 1 to 4, checked 5 to 8.
int checkState(bool AChecked, TlkPartDrawState AState) {
  static constexpr std::array<int, 10> kStates{1, 1, 2, 3, 4, 5, 5, 6, 7, 8};
  return AState <= pdsDisabled ? kStates[(AChecked ? 5 : 0) + AState] : 0;
}

// Scroll bar arrows: four states per heading.
int arrowState(TlkArrowHeading AHeading, TlkPartDrawState AState) {
  const int base = 4 * AHeading;
  switch (AState) {
    case pdsDefault:
    case pdsNormal: return base + 1;
    case pdsHot: return base + 2;
    case pdsPressed: return base + 3;
    case pdsDisabled: return base + 4;
    default: return 0;
  }
}

HTHEME openTheme(TuiThemeKind AKind) { return OpenThemeForKind(AKind); }

bool drawPart(HTHEME ATheme, TlkCanvas* ACanvas, int APart, int AState, const TRect& R) {
  return SUCCEEDED(uiUxTheme::DrawThemeBackground(ATheme, ACanvas->Handle(), APart, AState, R));
}

// The part's size, or false when the theme cannot tell it.
bool partSize(HTHEME ATheme, int APart, int AState, THEMESIZE AKind, SIZE& ASize) {
  ASize = SIZE{0, 0};
  return SUCCEEDED(uiUxTheme::GetThemePartSize(ATheme, nullptr, APart, AState, AKind, &ASize));
}

// The insets of the part's content on a 100 x 100 rectangle (left, top,
// right, bottom widths), or false.
bool contentInsets(HTHEME ATheme, int APart, int AState, TRect& AInsets) {
  const RECT bounds{0, 0, 100, 100};
  RECT content{};
  if (FAILED(uiUxTheme::GetThemeBackgroundContentRect(ATheme, nullptr, APart, AState, &bounds, &content)))
    return false;
  AInsets = TRect{content.left, content.top, 100 - content.right, 100 - content.bottom};
  return true;
}

bool themeColor(HTHEME ATheme, int APart, int AState, int AProp, TColor& AColor) {
  COLORREF color = 0;
  if (FAILED(uiUxTheme::GetThemeColor(ATheme, APart, AState, AProp, &color))) return false;
  AColor = static_cast<TColor>(color);
  return true;
}

constexpr int kTmtFillColor = 204;
constexpr int kTmtBorderColor = 3801;
constexpr int kTmtTextColor = 3803;

}  // namespace

BYTE TlkWinXPLookAndFeelPainter::StyleCode() const { return lkStyleCodeNative; }

TColor TlkWinXPLookAndFeelPainter::DefaultColor34() const {
  TColor color = clNone;
  if (HTHEME t = openTheme(thkComboBox); t && themeColor(t, 1, 1, kTmtBorderColor, color)) return color;
  return TlkStandardLookAndFeelPainter::DefaultColor34();
}

TColor TlkWinXPLookAndFeelPainter::DefaultColor37() const { return static_cast<TColor>(0xD5FFFF); }

void TlkWinXPLookAndFeelPainter::DrawFilledArrow(TlkCanvas* ACanvas, const TRect& R, TColor AColor,
                                                 TlkArrowHeading AHeading) const {
  TlkCustomLookAndFeelPainter::DrawFilledArrow(ACanvas, R, AColor, AHeading);
}

void TlkWinXPLookAndFeelPainter::DrawArrowButton(TlkCanvas* ACanvas, const TRect& R, bool AWithBody,
                                                 TlkArrowHeading AHeading, TlkPartDrawState AState) const {
  if (HTHEME t = openTheme(thkScrollBar)) {
    drawPart(t, ACanvas, 1, arrowState(AHeading, AState), R);
    return;
  }
  TlkStandardLookAndFeelPainter::DrawArrowButton(ACanvas, R, AWithBody, AHeading, AState);
}

void TlkWinXPLookAndFeelPainter::DrawButtonBody(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const {
  if (HTHEME t = openTheme(thkButton)) {
    drawPart(t, ACanvas, 1, themeState(kPushButtonStates, AState), R);
    return;
  }
  TlkStandardLookAndFeelPainter::DrawButtonBody(ACanvas, R, AState);
}

int TlkWinXPLookAndFeelPainter::FrameBorderWidth() const {
  return openTheme(thkListView) ? 1 : TlkStandardLookAndFeelPainter::FrameBorderWidth();
}

void TlkWinXPLookAndFeelPainter::DrawFrameBorder(TlkCanvas* ACanvas, const TRect& R) const {
  HTHEME t = openTheme(thkListView);
  if (!t) {
    TlkStandardLookAndFeelPainter::DrawFrameBorder(ACanvas, R);
    return;
  }
  // Only the frame: the part's body would cover what the frame surrounds.
  HDC dc = ACanvas->Handle();
  const int saved = SaveDC(dc);
  ACanvas->ExcludeClipRect(deflated(R, 1));
  drawPart(t, ACanvas, 5, 0, R);
  RestoreDC(dc, saved);
}

TRect TlkWinXPLookAndFeelPainter::GroupButtonDisplayBounds(const TRect& R) const {
  HTHEME t = openTheme(thkButton);
  if (t && uiUxTheme::IsThemeBackgroundPartiallyTransparent(t, 1, 1)) return lkGrowRect(R, 1, 1, 1, 1);
  return TlkStandardLookAndFeelPainter::GroupButtonDisplayBounds(R);
}

int TlkWinXPLookAndFeelPainter::ButtonBorderWidth(TlkPartDrawState AState) const {
  TRect insets;
  if (HTHEME t = openTheme(thkButton); t && contentInsets(t, 1, themeState(kPushButtonStates, AState), insets))
    return insets.left;
  return TlkStandardLookAndFeelPainter::ButtonBorderWidth(pdsNormal);
}

TColor TlkWinXPLookAndFeelPainter::ButtonFaceColor(TlkPartDrawState AState) const {
  TColor color = clNone;
  if (HTHEME t = openTheme(thkButton);
      t && themeColor(t, 1, themeState(kPushButtonStates, AState), kTmtFillColor, color))
    return color;
  return TlkStandardLookAndFeelPainter::ButtonFaceColor(AState);
}

TRect TlkWinXPLookAndFeelPainter::ButtonFocusBounds(TlkCanvas* ACanvas, const TRect& R) const {
  if (HTHEME t = openTheme(thkButton)) {
    RECT content{};
    if (SUCCEEDED(uiUxTheme::GetThemeBackgroundContentRect(t, ACanvas ? ACanvas->Handle() : nullptr, 1, 1, &R,
                                                           &content)))
      return content;
  }
  return TlkStandardLookAndFeelPainter::ButtonFocusBounds(ACanvas, R);
}

TRect TlkWinXPLookAndFeelPainter::ButtonGroupBorderWidths(int AButtonIndex, int AButtonCount) const {
  HTHEME t = openTheme(thkButton);
  TRect insets;
  if (!t || !contentInsets(t, 1, 1, insets))
    return TlkStandardLookAndFeelPainter::ButtonGroupBorderWidths(AButtonIndex, AButtonCount);
  if (uiUxTheme::IsThemeBackgroundPartiallyTransparent(t, 1, 1)) OffsetRect(&insets, -1, -1);
  return insets;
}

int TlkWinXPLookAndFeelPainter::ButtonCaptionOffset() const { return 2; }
int TlkWinXPLookAndFeelPainter::ButtonPressedShift() const { return 0; }

TColor TlkWinXPLookAndFeelPainter::ButtonGlyphColor(TlkPartDrawState AState, TColor ADefaultColor) const {
  TColor color = clNone;
  if (HTHEME t = openTheme(thkButton);
      t && themeColor(t, 1, themeState(kPushButtonStates, AState), kTmtTextColor, color))
    return color;
  return TlkStandardLookAndFeelPainter::ButtonGlyphColor(AState, ADefaultColor);
}

void TlkWinXPLookAndFeelPainter::DrawPushButton(TlkCanvas* ACanvas, const TRect& R, const std::string& ACaption,
                                                TlkPartDrawState AState, bool ADrawFrame, TColor AFaceColor,
                                                TColor ATextColor, bool AWordWrap) const {
  HTHEME t = openTheme(thkButton);
  if (!t) {
    TlkStandardLookAndFeelPainter::DrawPushButton(ACanvas, R, ACaption, AState, ADrawFrame, AFaceColor, ATextColor,
                                                  AWordWrap);
    return;
  }
  const int state = themeState(kPushButtonStates, AState);
  drawPart(t, ACanvas, 1, state, R);
  if (ACaption.empty()) return;
  const int mode = SetBkMode(ACanvas->Handle(), TRANSPARENT);
  uiUxTheme::DrawThemeText(t, ACanvas->Handle(), 1, state, ACaption, -1, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0,
                           &R);
  SetBkMode(ACanvas->Handle(), mode);
}

void TlkWinXPLookAndFeelPainter::DrawTreeExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AColor,
                                                      bool AExpanded) const {
  if (HTHEME t = openTheme(thkTreeView)) {
    drawPart(t, ACanvas, 2, AExpanded ? 2 : 1, R);
    ACanvas->ExcludeClipRect(R);
    return;
  }
  TlkStandardLookAndFeelPainter::DrawTreeExpandButton(ACanvas, R, AColor, AExpanded);
}

bool TlkWinXPLookAndFeelPainter::TreeExpandButtonPaintedFirst() const { return false; }

void TlkWinXPLookAndFeelPainter::DrawGroupExpandButton(TlkCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                       TlkPartDrawState AState) const {
  if (HTHEME t = openTheme(thkExplorerBar)) {
    drawPart(t, ACanvas, AExpanded ? 6 : 7, themeState(kGroupExpandStates, AState), R);
    return;
  }
  TlkStandardLookAndFeelPainter::DrawGroupExpandButton(ACanvas, R, AExpanded, AState);
}

void TlkWinXPLookAndFeelPainter::DrawSmallExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AFrameColor,
                                                       TColor AFillColor, bool AExpanded) const {
  if (openTheme(thkTreeView)) {
    DrawTreeExpandButton(ACanvas, R, clDefault, AExpanded);
    return;
  }
  TlkStandardLookAndFeelPainter::DrawSmallExpandButton(ACanvas, R, AFrameColor, AFillColor, AExpanded);
}

int TlkWinXPLookAndFeelPainter::TreeExpandButtonExtent() const {
  SIZE size;
  if (HTHEME t = openTheme(thkTreeView); t && partSize(t, 2, 1, TS_TRUE, size)) return size.cx;
  return TlkStandardLookAndFeelPainter::TreeExpandButtonExtent();
}

int TlkWinXPLookAndFeelPainter::GroupExpandButtonExtent() const {
  SIZE size;
  if (HTHEME t = openTheme(thkExplorerBar); t && partSize(t, 7, 1, TS_TRUE, size)) return size.cx;
  return TlkStandardLookAndFeelPainter::GroupExpandButtonExtent();
}

bool TlkWinXPLookAndFeelPainter::ButtonsHotTrack() const { return true; }

bool TlkWinXPLookAndFeelPainter::PointInGroupExpandButton(const TRect& R, const TPoint& P) const {
  if (HTHEME t = openTheme(thkExplorerBar)) {
    HRGN region = nullptr;
    if (SUCCEEDED(uiUxTheme::GetThemeBackgroundRegion(t, nullptr, 7, 1, &R, &region)) && region) {
      const bool inside = PtInRegion(region, P.x, P.y) != 0;
      DeleteObject(region);
      return inside;
    }
  }
  return TlkStandardLookAndFeelPainter::PointInGroupExpandButton(R, P);
}

int TlkWinXPLookAndFeelPainter::SmallExpandButtonExtent() const {
  if (openTheme(thkTreeView)) return TreeExpandButtonExtent();
  return TlkStandardLookAndFeelPainter::SmallExpandButtonExtent();
}

int TlkWinXPLookAndFeelPainter::CheckFrameWidth() const {
  return openTheme(thkButton) ? 0 : TlkStandardLookAndFeelPainter::CheckFrameWidth();
}

TPoint TlkWinXPLookAndFeelPainter::CheckBoxExtent() const {
  SIZE size;
  if (HTHEME t = openTheme(thkButton); t && partSize(t, 3, 1, TS_TRUE, size)) return TPoint{size.cx, size.cy};
  return TlkStandardLookAndFeelPainter::CheckBoxExtent();
}

void TlkWinXPLookAndFeelPainter::DrawCheckMark(TlkCanvas* ACanvas, const TRect& R, TColor AColor, bool AChecked,
                                               TlkPartDrawState AState) const {
  if (HTHEME t = openTheme(thkButton)) {
    drawPart(t, ACanvas, 3, checkState(AChecked, AState), R);
    return;
  }
  TlkStandardLookAndFeelPainter::DrawCheckMark(ACanvas, R, AColor, AChecked, AState);
}

void TlkWinXPLookAndFeelPainter::DrawCheckFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const {
  if (openTheme(thkButton)) return;
  TlkStandardLookAndFeelPainter::DrawCheckFrame(ACanvas, R, AState);
}

void TlkWinXPLookAndFeelPainter::DrawRadioGlyph(TlkCanvas* ACanvas, const TPoint& P, TlkPartDrawState AState,
                                                bool AChecked, bool AFocused, bool AHighlighted,
                                                TColor ABackgroundColor) const {
  // Without visual styles the cached standard glyphs stand in.
  HTHEME t = openTheme(thkButton);
  if (!t) {
    TlkStandardLookAndFeelPainter::DrawRadioGlyph(ACanvas, P, AState, AChecked, AFocused, AHighlighted,
                                                  ABackgroundColor);
    return;
  }
  const TPoint extent = RadioGlyphExtent();
  drawPart(t, ACanvas, 2, checkState(AChecked, AState), TRect{P.x, P.y, P.x + extent.x, P.y + extent.y});
}

TPoint TlkWinXPLookAndFeelPainter::RadioGlyphExtent() const {
  SIZE size;
  if (HTHEME t = openTheme(thkButton); t && partSize(t, 2, 1, TS_TRUE, size)) return TPoint{size.cx, size.cy};
  return TlkStandardLookAndFeelPainter::RadioGlyphExtent();
}

void TlkWinXPLookAndFeelPainter::DrawHeaderCell(TlkCanvas* ACanvas, const TRect& ABounds,
                                                const TRect& ATextAreaBounds, TlkBorders ANeighbors,
                                                TlkBorders ABorders, TlkPartDrawState AState,
                                                TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                                bool AMultiLine, bool AShowEndEllipsis, const std::string& AText,
                                                TFont* AFont, TColor ATextColor, TColor ABackgroundColor,
                                                const TlkCustomDrawContentProc& ACustomDraw, bool AIsLast) const {
  HTHEME t = openTheme(thkHeader);
  if (!t) {
    TlkStandardLookAndFeelPainter::DrawHeaderCell(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState,
                                                  AHorzAlignment, AVertAlignment, AMultiLine, AShowEndEllipsis, AText,
                                                  AFont, ATextColor, ABackgroundColor, ACustomDraw, AIsLast);
    return;
  }
  const int state = themeState(kHeaderStates, AState);
  const BYTE scheme = Office11SchemeIndex();
  const int part = AIsLast && state == 1 && (scheme == xpcsBlue || scheme == xpcsOlive) ? 3 : 1;
  drawPart(t, ACanvas, part, state, ABounds);
  TRect text = ATextAreaBounds;
  if (AState == pdsPressed) OffsetRect(&text, 1, 1);
  DrawThemedCaption(ACanvas, t, ATextColor, AFont, AText, AHorzAlignment, AVertAlignment, AMultiLine,
                    AShowEndEllipsis, text, part, state);
}

void TlkWinXPLookAndFeelPainter::InvertHeaderArea(TlkCanvas*, const TRect&) const {}

void TlkWinXPLookAndFeelPainter::DrawHeaderSection(TlkCanvas* ACanvas, const TRect& ABounds,
                                                   const TRect& ATextAreaBounds, TlkPartDrawState AState,
                                                   TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                                   bool AMultiLine, bool AShowEndEllipsis, const std::string& AText,
                                                   TFont* AFont, TColor ATextColor, TColor ABackgroundColor) const {
  ACanvas->FillRectColor(ABounds, clBtnFace);
  DrawHeaderCell(ACanvas, ABounds, ATextAreaBounds, 0, 0, AState, AHorzAlignment, AVertAlignment, AMultiLine,
                 AShowEndEllipsis, AText, AFont, ATextColor, ABackgroundColor, nullptr, false);
}

void TlkWinXPLookAndFeelPainter::DrawSortMark(TlkCanvas* ACanvas, const TRect& R, bool AAscending) const {
  TlkUltraFlatLookAndFeelPainter::Class()->DrawSortMark(ACanvas, R, AAscending);
}

int TlkWinXPLookAndFeelPainter::HeaderFrameWidth() const {
  TRect insets;
  if (HTHEME t = openTheme(thkHeader); t && contentInsets(t, 1, 1, insets)) return (insets.left + insets.top) / 2;
  return TlkStandardLookAndFeelPainter::HeaderFrameWidth();
}

int TlkWinXPLookAndFeelPainter::HeaderSectionFrameWidth(TlkPartDrawState) const { return HeaderFrameWidth(); }

TRect TlkWinXPLookAndFeelPainter::HeaderSectionContentBounds(const TRect& R, TlkPartDrawState AState) const {
  if (openTheme(thkHeader)) return deflated(R, HeaderFrameWidth());
  return TlkStandardLookAndFeelPainter::HeaderSectionContentBounds(R, AState);
}

bool TlkWinXPLookAndFeelPainter::HeaderHotTracks() const { return true; }
TPoint TlkWinXPLookAndFeelPainter::SortMarkExtent() const { return TPoint{7, 8}; }

int TlkWinXPLookAndFeelPainter::FooterFrameWidth() const {
  return openTheme(thkEdit) ? 1 : TlkStandardLookAndFeelPainter::FooterFrameWidth();
}

int TlkWinXPLookAndFeelPainter::FooterCellFrameWidth() const {
  TRect insets;
  if (HTHEME t = openTheme(thkTrackBar); t && contentInsets(t, 1, 1, insets)) return insets.left;
  return TlkStandardLookAndFeelPainter::FooterCellFrameWidth();
}

int TlkWinXPLookAndFeelPainter::FooterCellInset() const {
  return openTheme(thkTrackBar) ? 1 : TlkStandardLookAndFeelPainter::FooterCellInset();
}

bool TlkWinXPLookAndFeelPainter::FooterCellsPaintedFirst() const { return false; }

void TlkWinXPLookAndFeelPainter::DrawFooterCellContent(TlkCanvas* ACanvas, const TRect& R,
                                                       TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                                       bool AMultiLine, bool AShowEndEllipsis,
                                                       const std::string& AText, TFont* AFont, TColor ATextColor,
                                                       TColor ABackgroundColor) const {
  HTHEME t = openTheme(thkTrackBar);
  if (!t) {
    TlkStandardLookAndFeelPainter::DrawFooterCellContent(ACanvas, R, AHorzAlignment, AVertAlignment, AMultiLine,
                                                         AShowEndEllipsis, AText, AFont, ATextColor,
                                                         ABackgroundColor);
    return;
  }
  drawPart(t, ACanvas, 1, 1, R);
  RECT content = R;
  uiUxTheme::GetThemeBackgroundContentRect(t, ACanvas->Handle(), 1, 1, &R, &content);
  DrawThemedCaption(ACanvas, t, ATextColor, AFont, AText, AHorzAlignment, AVertAlignment, AMultiLine,
                    AShowEndEllipsis, content, 1, 1);
}

void TlkWinXPLookAndFeelPainter::DrawFooterFrame(TlkCanvas* ACanvas, const TRect& R) const {
  if (HTHEME t = openTheme(thkEdit)) {
    uiUxTheme::DrawThemeEdge(t, ACanvas->Handle(), 0, 0, &R, 15, 4, nullptr);
    return;
  }
  TlkStandardLookAndFeelPainter::DrawFooterFrame(ACanvas, R);
}

void TlkWinXPLookAndFeelPainter::DrawCloseCrossButton(TlkCanvas* ACanvas, const TRect& R,
                                                      TlkPartDrawState AState) const {
  if (HTHEME t = openTheme(thkWindow)) {
    drawPart(t, ACanvas, 19, themeState(kCloseButtonStates, AState), R);
    return;
  }
  TlkStandardLookAndFeelPainter::DrawCloseCrossButton(ACanvas, R, AState);
}

void TlkWinXPLookAndFeelPainter::DrawFilterDropDown(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                                    bool AActive) const {
  if (HTHEME t = openTheme(thkComboBox)) {
    drawPart(t, ACanvas, 1, themeState(kDropDownStates, AState), R);
    return;
  }
  TlkStandardLookAndFeelPainter::DrawFilterDropDown(ACanvas, R, AState, AActive);
}

TPoint TlkWinXPLookAndFeelPainter::FilterCheckBoxExtent() const {
  SIZE size;
  if (HTHEME t = openTheme(thkButton); t && partSize(t, 3, 1, TS_TRUE, size)) return TPoint{size.cx, size.cy};
  return TlkStandardLookAndFeelPainter::FilterCheckBoxExtent();
}

TPoint TlkWinXPLookAndFeelPainter::CloseCrossButtonExtent() const {
  SIZE size;
  if (HTHEME t = openTheme(thkWindow); t && partSize(t, 19, 1, TS_TRUE, size)) return TPoint{size.cx + 4, size.cy + 4};
  return TlkStandardLookAndFeelPainter::CloseCrossButtonExtent();
}

void TlkWinXPLookAndFeelPainter::DrawTabItem(TlkCanvas* ACanvas, const TRect& R, const TRect& AContentRect,
                                             bool AVertical, TlkBorders ABorders, TlkPartDrawState AState,
                                             const std::string& AText, TFont* AFont, TColor ATextColor,
                                             TColor ABackgroundColor) const {
  HTHEME t = openTheme(thkTab);
  if (!t) {
    TlkStandardLookAndFeelPainter::DrawTabItem(ACanvas, R, AContentRect, AVertical, ABorders, AState, AText, AFont,
                                               ATextColor, ABackgroundColor);
    return;
  }
  const int state = themeState(kTabStates, AState);
  // A tab runs on past the ends that have no frame of their own, so that
  // neighbouring tabs join.
  const bool openStart = !(ABorders & (AVertical ? lkbTop : lkbLeft));
  const bool openEnd = !(ABorders & (AVertical ? lkbBottom : lkbRight));
  const auto widened = [&](TRect r) {
    if (openStart) r.left -= 2;
    if (openEnd) r.right += 2;
    return r;
  };
  if (AVertical) {
    // The theme draws tabs lying only: draw one on its side into a bitmap,
    // then stand it up in place.
    const int run = lkGetRectHeight(R), across = lkGetRectWidth(R);
    TlkBitmap bitmap(run, across);
    drawPart(t, bitmap.lkCanvas(), 1, state, widened(TRect{0, 0, run, across}));
    bitmap.Rotate(raMinus90);
    ACanvas->CopyRect(R, bitmap.Canvas(), TRect{0, 0, across, run});
  } else {
    drawPart(t, ACanvas, 1, state, widened(R));
  }
  TRect content = AContentRect;
  if (AState == pdsPressed) {
    if (AVertical)
      content.left -= 2;
    else
      content.top -= 2;
  }
  DrawThemedCaption(ACanvas, t, ATextColor, AFont, AText, taCenter, tlCenter, false, false, content, 1, state);
}

void TlkWinXPLookAndFeelPainter::DrawTabItemFrame(TlkCanvas* ACanvas, const TRect& R, bool AVertical,
                                                  TlkBorders ABorders, int AEdge) const {
  if (openTheme(thkTab)) return;
  TlkStandardLookAndFeelPainter::DrawTabItemFrame(ACanvas, R, AVertical, ABorders, AEdge);
}

void TlkWinXPLookAndFeelPainter::DrawTabStrip(TlkCanvas* ACanvas, const TRect& R, bool AVertical,
                                              TlkBorders ABorders) const {
  HTHEME t = openTheme(thkTab);
  if (!t) {
    TlkStandardLookAndFeelPainter::DrawTabStrip(ACanvas, R, AVertical, ABorders);
    return;
  }
  // Only the pane's body shows in the strip: the pane is drawn past the
  // strip's far side and the content insets' width beyond it.
  TRect insets{0, 0, 0, 0};
  contentInsets(t, 9, 0, insets);
  TRect pane = R;
  if (AVertical) {
    pane.right += 10;
    pane.bottom += insets.bottom;
  } else {
    pane.bottom += 10;
    pane.right += insets.right;
  }
  uiUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 9, 0, pane, &R);
}

bool TlkWinXPLookAndFeelPainter::TabItemSupported(bool AVertical) const {
  return openTheme(thkTab) ? true : TlkStandardLookAndFeelPainter::TabItemSupported(AVertical);
}

bool TlkWinXPLookAndFeelPainter::TabsHotTrack(bool AVertical) const {
  return openTheme(thkTab) ? true : TlkStandardLookAndFeelPainter::TabsHotTrack(AVertical);
}

int TlkWinXPLookAndFeelPainter::TabItemFrameWidth(bool AVertical) const {
  return openTheme(thkTab) ? 1 : TlkStandardLookAndFeelPainter::TabItemFrameWidth(AVertical);
}

void TlkWinXPLookAndFeelPainter::DrawRowIndicatorCell(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors,
                                                      TlkBorders ABorders, int AKind) const {
  TlkFlatLookAndFeelPainter::Class()->TlkCustomLookAndFeelPainter::DrawRowIndicatorCell(ACanvas, R, ANeighbors,
                                                                                      ABorders, AKind);
}

int TlkWinXPLookAndFeelPainter::ScrollBarMinimalThumbSize(bool AVertical) const {
  constexpr int kLeast = 8;
  HTHEME t = openTheme(thkScrollBar);
  if (!t) return kLeast;
  const int gripper = AVertical ? 9 : 8;
  SIZE least, real;
  if (!partSize(t, gripper, 1, TS_MIN, least)) return kLeast;
  const auto along = [AVertical](const SIZE& s) { return static_cast<int>(AVertical ? s.cx : s.cy); };
  if (!partSize(t, gripper, 1, TS_TRUE, real)) return std::max(kLeast, along(least));
  return std::max({kLeast, along(least), along(real) + 4});
}

void TlkWinXPLookAndFeelPainter::DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                   TlkScrollBarArea AArea, TlkPartDrawState AState) const {
  if (IsRectEmpty(&R)) return;
  HTHEME t = openTheme(thkScrollBar);
  if (!t) {
    TlkStandardLookAndFeelPainter::DrawScrollBarPart(ACanvas, AHorizontal, R, AArea, AState);
    return;
  }
  const int track = themeState(kTrackStates, AState);
  switch (AArea) {
    case sbaTopLeftArrow:
    case sbaBottomRightArrow:
      DrawArrowButton(ACanvas, R, true, ScrollBarArrowHeading(AHorizontal, AArea), AState);
      break;
    case sbaThumb:
      drawPart(t, ACanvas, AHorizontal ? 2 : 3, track, R);
      drawPart(t, ACanvas, AHorizontal ? 8 : 9, 0, R);
      break;
    case sbaPageBefore:
      drawPart(t, ACanvas, AHorizontal ? 4 : 6, track, R);
      break;
    case sbaPageAfter:
      drawPart(t, ACanvas, AHorizontal ? 5 : 7, track, R);
      break;
    default:
      break;
  }
}

void TlkWinXPLookAndFeelPainter::DrawSizeGripArea(TlkCanvas* ACanvas, const TRect& R, TColor AColor) const {
  ACanvas->FillRectColor(R, AColor);
  if (HTHEME t = openTheme(thkScrollBar)) {
    drawPart(t, ACanvas, 10, 1, R);
    return;
  }
  TlkStandardLookAndFeelPainter::DrawSizeGripArea(ACanvas, R, clDefault);
}

void TlkWinXPLookAndFeelPainter::DrawHeaderWithArrows(TlkCanvas* ACanvas, const TRect& R,
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

void TlkWinXPLookAndFeelPainter::DrawNavigatorButton(TlkCanvas* ACanvas, const TRect& R,
                                                     TlkPartDrawState AState) const {
  if (HTHEME t = openTheme(thkToolBar)) {
    drawPart(t, ACanvas, 1, themeState(kNavigatorStates, AState), R);
    return;
  }
  TlkStandardLookAndFeelPainter::DrawNavigatorButton(ACanvas, R, AState);
}

void TlkWinXPLookAndFeelPainter::DrawSplitterFrame(TlkCanvas* ACanvas, const TRect& R, bool AHorizontal,
                                                   const TlkViewParams& AViewParams) const {
  HTHEME combo = openTheme(thkComboBox);
  TColor color = clNone;
  if (!openTheme(thkListView) || !combo || !themeColor(combo, 1, 1, kTmtBorderColor, color)) {
    TlkStandardLookAndFeelPainter::DrawSplitterFrame(ACanvas, R, AHorizontal, AViewParams);
    return;
  }
  TRect r = R;
  drawSplitterLines(ACanvas, r, AHorizontal, color, color);
  paintViewParams(ACanvas, r, AViewParams);
}

void TlkWinXPLookAndFeelPainter::DrawThemedCaption(TlkCanvas* ACanvas, HTHEME ATheme, TColor ATextColor,
                                                   TFont* AFont, const std::string& AText, TAlignment AHorzAlignment,
                                                   TTextLayout AVertAlignment, bool AMultiLine,
                                                   bool AShowEndEllipsis, const TRect& AContentRect, int APart,
                                                   int AState) const {
  if (AText.empty()) return;
  if (AFont) ACanvas->SetFont(AFont);
  if (ATextColor != clDefault && ATextColor != clNone) ACanvas->Font()->SetColor(ATextColor);
  HDC dc = ACanvas->Handle();
  const UINT flags =
      TextFlagsToDrawTextFlags(contentTextFlags(AHorzAlignment, AVertAlignment, AMultiLine, AShowEndEllipsis)) |
      DT_EDITCONTROL;
  TRect r = AContentRect;
  if (AMultiLine) {
    // Several lines centre or sink as a block: measure it, then place it.
    ACanvas->MeasureTextRect(AText, r, contentTextFlags(AHorzAlignment, AVertAlignment, AMultiLine,
                                                        AShowEndEllipsis));
  }
  const int mode = SetBkMode(dc, TRANSPARENT);
  uiUxTheme::DrawThemeText(ATheme, dc, APart, AState, AText, -1, flags, 0, &r);
  SetBkMode(dc, mode);
}

// ---------------------------------------------------------------------------
// Radio button glyphs.

namespace {

// Where the platform's radio button lies in its check box cell, and the
// bounds of its dot, measured once.
struct TRadioMetrics {
  bool Measured = false;
  TPoint Origin{0, 0};
  TPoint Size{0, 0};
  TRect Dot{0, 0, 0, 0};  // in cell coordinates
};
TRadioMetrics RadioMetrics;

// Pixel classes of the glyph pattern.
enum : BYTE {
  rcOutside = 0,
  rcRingUpperLeft = 1,
  rcRingLowerRight = 2,
  rcInnerUpperLeft = 3,
  rcInnerLowerRight = 4,
  rcBody = 5,
  rcDot = 6
};
std::vector<BYTE> RadioPattern;  // W x H, rows top-down

TlkRadioButtonImageList* RadioGlyphs = nullptr;

// A monochrome-drawn picture read back as "is this pixel black".
std::vector<bool> blackPixels(int AWidth, int AHeight, const std::function<void(HDC, RECT&)>& ADraw) {
  std::vector<bool> black(static_cast<size_t>(AWidth) * AHeight, false);
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = AWidth;
  info.bmiHeader.biHeight = -AHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT r{0, 0, AWidth, AHeight};
    ADraw(dc, r);
    GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < black.size(); ++i) black[i] = (pixels[i] & 0xFFFFFF) == 0;
    SelectObject(dc, old);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(dc);
  return black;
}

void measureRadioButton() {
  RadioMetrics = TRadioMetrics{};
  const TPoint cell = lkCheckGlyphSize();
  if (cell.x <= 0 || cell.y <= 0) return;
  const auto fillBlack = [](HDC dc, const RECT& r) {
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  };
  const std::vector<bool> mask = blackPixels(cell.x, cell.y, [&](HDC dc, RECT& r) {
    fillBlack(dc, r);
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_MONO);
  });
  int firstColumn = -1, firstRow = -1, columns = 0, rows = 0;
  for (int x = 0; x < cell.x; ++x) {
    bool any = false;
    for (int y = 0; y < cell.y && !any; ++y) any = mask[static_cast<size_t>(y) * cell.x + x];
    if (!any) continue;
    if (firstColumn < 0) firstColumn = x;
    ++columns;
  }
  for (int y = 0; y < cell.y; ++y) {
    bool any = false;
    for (int x = 0; x < cell.x && !any; ++x) any = mask[static_cast<size_t>(y) * cell.x + x];
    if (!any) continue;
    if (firstRow < 0) firstRow = y;
    ++rows;
  }
  if (columns == 0 || rows == 0) return;
  RadioMetrics.Origin = TPoint{firstColumn, firstRow};
  RadioMetrics.Size = TPoint{columns, rows};

  // The dot of a checked glyph, in the window text colour.
  const COLORREF text = ColorToRGB(clWindowText);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(lkScreenCanvas()->Handle(), cell.x, cell.y);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT r{0, 0, cell.x, cell.y};
  fillBlack(dc, r);
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_MONO);
  const int cx = firstColumn + columns / 2, cy = firstRow + rows / 2;
  const auto isDot = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < cell.x && y < cell.y && GetPixel(dc, x, y) == text;
  };
  TRect dot{cx, cy, cx, cy};
  if (isDot(cx, cy)) {
    while (isDot(cx, dot.top - 1)) --dot.top;
    while (isDot(cx, dot.bottom + 1)) ++dot.bottom;
    while (isDot(dot.left - 1, cy)) --dot.left;
    while (isDot(dot.right + 1, cy)) ++dot.right;
    ++dot.right;
    ++dot.bottom;
  }
  RadioMetrics.Dot = dot;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  RadioMetrics.Measured = true;
}

void buildRadioPattern() {
  const int W = RadioMetrics.Size.x, H = RadioMetrics.Size.y;
  RadioPattern.assign(static_cast<size_t>(W) * H, rcOutside);
  if (W <= 0 || H <= 0) return;
  const auto at = [W](int x, int y) { return static_cast<size_t>(y) * W + x; };
  const std::vector<bool> ring = blackPixels(W, H, [&](HDC dc, RECT& r) {
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &r, white);
    DeleteObject(white);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    RoundRect(dc, 0, 0, W, H, W - 1, H - 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  });
  // Which side of the diagonal from the top-right to the bottom-left corner
  // a pixel lies on: the lower-right side is in shadow.
  const auto lowerRight = [W, H](int x, int y, bool ADiagonalByColumn) {
    const int d = y * (W - 1) - (H - 1) * (W - x - 1);
    if (d == 0) return ADiagonalByColumn && 2 * x > W - 1;
    return d > 0;
  };
  // Outside is what the border reaches without crossing the ring.
  std::vector<bool> outside(ring.size(), false);
  std::vector<TPoint> pending;
  for (int x = 0; x < W; ++x) pending.insert(pending.end(), {TPoint{x, 0}, TPoint{x, H - 1}});
  for (int y = 0; y < H; ++y) pending.insert(pending.end(), {TPoint{0, y}, TPoint{W - 1, y}});
  while (!pending.empty()) {
    const TPoint p = pending.back();
    pending.pop_back();
    if (p.x < 0 || p.y < 0 || p.x >= W || p.y >= H || outside[at(p.x, p.y)] || ring[at(p.x, p.y)]) continue;
    outside[at(p.x, p.y)] = true;
    pending.insert(pending.end(), {TPoint{p.x + 1, p.y}, TPoint{p.x - 1, p.y}, TPoint{p.x, p.y + 1},
                                   TPoint{p.x, p.y - 1}});
  }
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      BYTE& c = RadioPattern[at(x, y)];
      if (ring[at(x, y)]) {
        c = lowerRight(x, y, false) ? rcRingLowerRight : rcRingUpperLeft;
      } else if (!outside[at(x, y)]) {
        const auto isRing = [&](int nx, int ny) {
          return nx >= 0 && ny >= 0 && nx < W && ny < H && ring[at(nx, ny)];
        };
        const bool edge = isRing(x - 1, y) || isRing(x + 1, y) || isRing(x, y - 1) || isRing(x, y + 1);
        c = !edge ? rcBody : lowerRight(x, y, true) ? rcInnerLowerRight : rcInnerUpperLeft;
      }
    }
  // The dot, where the glyph's own origin is (0, 0).
  TRect dot = RadioMetrics.Dot;
  OffsetRect(&dot, -RadioMetrics.Origin.x, -RadioMetrics.Origin.y);
  if (IsRectEmpty(&dot)) return;
  const std::vector<bool> dotPixels = blackPixels(W, H, [&](HDC dc, RECT& r) {
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &r, white);
    DeleteObject(white);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    RoundRect(dc, dot.left, dot.top, dot.right, dot.bottom, dot.right - dot.left - 1, dot.bottom - dot.top - 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  });
  for (size_t i = 0; i < RadioPattern.size(); ++i)
    if (dotPixels[i]) RadioPattern[i] = rcDot;
}

TColor radioBodyColor(TlkLookAndFeelKind AKind, TlkPartDrawState AState) {
  if (AKind == lfOffice11)
    return AState == pdsNormal ? clWindow : TlkOffice11LookAndFeelPainter::Class()->ButtonFaceColor(AState);
  if (AState == pdsDisabled) return clBtnFace;
  if (AKind == lfUltraFlat) {
    if (AState == pdsHot) return ultraFlatHotColor();
    if (AState == pdsPressed) return ultraFlatPressedColor();
    return clWindow;
  }
  return AState == pdsPressed ? clBtnFace : clWindow;
}

// The seven class colours of one glyph; class 0 is black.
std::array<TColor, 7> radioGlyphColors(TlkLookAndFeelKind AKind, TlkPartDrawState AState, bool AChecked,
                                       bool AFlagA, bool AFlagB) {
  const TColor body = radioBodyColor(AKind, AState);
  const bool disabled = AState == pdsDisabled;
  TColor dot = body;
  if (AChecked)
    dot = !disabled ? clWindowText : AKind == lfOffice11 ? Office11ColorSet()[52] : clBtnShadow;
  std::array<TColor, 7> c{clBlack, clBtnShadow, clBtnHighlight, cl3DLight, cl3DLight, body, dot};
  switch (AKind) {
    case lfFlat: break;
    case lfStandard: c[rcInnerUpperLeft] = cl3DDkShadow; break;
    case lfUltraFlat: {
      const bool lit = AFlagA || AState == pdsHot || AState == pdsPressed || (AFlagB && !disabled);
      c[rcRingUpperLeft] = c[rcRingLowerRight] = lit ? clHighlight : clBtnShadow;
      c[rcInnerUpperLeft] = c[rcInnerLowerRight] = body;
      break;
    }
    case lfOffice11: {
      const TColor ringColor = disabled ? Office11ColorSet()[52]
                               : (AFlagA || AFlagB || AState == pdsHot || AState == pdsPressed)
                                   ? Office11ColorSet()[41]
                                   : clBtnText;
      c[rcRingUpperLeft] = c[rcRingLowerRight] = ringColor;
      c[rcInnerUpperLeft] = c[rcInnerLowerRight] = body;
      break;
    }
  }
  return c;
}

}  // namespace

TlkRadioButtonImageList::TlkRadioButtonImageList() {
  if (!RadioMetrics.Measured) {
    measureRadioButton();
    buildRadioPattern();
  }
  const int W = RadioMetrics.Size.x, H = RadioMetrics.Size.y;
  FImageList = new TImageList(W, H);
  FImageList->SetMasked(true);
  FImageList->SetImageType(itImage);
  FButtonMask = new TBitmap;
  FButtonMask->SetMonochrome(true);
  FButtonMask->SetSize(W, H);
  TCanvas* mask = FButtonMask->Canvas();
  mask->Brush()->SetColor(clWhite);
  mask->FillRect(TRect{0, 0, W, H});
  mask->Brush()->SetColor(clBlack);
  mask->Pen()->SetColor(clBlack);
  mask->RoundRect(0, 0, W, H, W - 1, H - 1);
}

TlkRadioButtonImageList::~TlkRadioButtonImageList() {
  delete FButtonMask;
  delete FImageList;
}

int TlkRadioButtonImageList::GlyphKey(TlkLookAndFeelKind AKind, TlkPartDrawState AState, bool AChecked, bool AFlagA,
                                      bool AFlagB) {
  return AState + 8 * AKind + 4 * AChecked + 32 * AFlagB + 64 * AFlagA - 1;
}

int TlkRadioButtonImageList::GlyphIndex(TlkLookAndFeelKind AKind, TlkPartDrawState AState, bool AChecked,
                                        bool AFlagA, bool AFlagB) const {
  const int key = GlyphKey(AKind, AState, AChecked, AFlagA, AFlagB);
  return key >= 0 && key < static_cast<int>(FIndexMap.size()) ? FIndexMap[static_cast<size_t>(key)] : -1;
}

TPoint TlkRadioButtonImageList::ImageSize() const { return TPoint{FImageList->Width(), FImageList->Height()}; }

int TlkRadioButtonImageList::Count() const { return FImageList->Count(); }

void TlkRadioButtonImageList::Rebuild() {
  if (FImageList->Count() > 0) return;
  const int W = RadioMetrics.Size.x, H = RadioMetrics.Size.y;
  if (W <= 0 || H <= 0) return;
  FIndexMap.assign(128, -1);
  TBitmap image;
  image.SetPixelFormat(pf32bit);
  image.SetSize(W, H);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = W;
  info.bmiHeader.biHeight = -H;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<DWORD> pixels(RadioPattern.size());
  for (int flagA = 0; flagA <= 1; ++flagA)
    for (int flagB = 0; flagB <= 1; ++flagB)
      for (TlkLookAndFeelKind kind : {lfFlat, lfStandard, lfUltraFlat, lfOffice11})
        for (int checked = 0; checked <= 1; ++checked)
          for (int state = pdsNormal; state <= pdsDisabled; ++state) {
            const auto colors = radioGlyphColors(kind, static_cast<TlkPartDrawState>(state), checked, flagA, flagB);
            std::array<DWORD, 7> bgr{};
            for (size_t c = 0; c < bgr.size(); ++c) {
              const COLORREF rgb = ColorToRGB(colors[c]);
              bgr[c] = (static_cast<DWORD>(GetRValue(rgb)) << 16) | (static_cast<DWORD>(GetGValue(rgb)) << 8) |
                       GetBValue(rgb);
            }
            for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = bgr[RadioPattern[i]];
            SetDIBits(image.Canvas()->Handle(), image.Handle(), 0, static_cast<UINT>(H), pixels.data(), &info,
                      DIB_RGB_COLORS);
            image.Modified();
            const int index = FImageList->Add(&image, FButtonMask);
            FIndexMap[static_cast<size_t>(GlyphKey(kind, static_cast<TlkPartDrawState>(state), checked, flagA,
                                                    flagB))] = index;
          }
}

void TlkRadioButtonImageList::RegenerateGlyphs() {
  FImageList->Clear();
  Rebuild();
}

void TlkRadioButtonImageList::PaintGlyph(TlkCanvas* ACanvas, int X, int Y, TlkLookAndFeelKind AKind,
                                         TlkPartDrawState AState, bool AChecked, bool AFlagA, bool AFlagB,
                                         TColor ABackgroundColor) {
  const int index = GlyphIndex(AKind, AState, AChecked, AFlagA, AFlagB);
  if (index < 0) return;
  if (ABackgroundColor == clDefault) {
    FImageList->Draw(ACanvas->Canvas(), X, Y, index);
    return;
  }
  TlkCustomBitmap bitmap(FImageList->Width(), FImageList->Height());
  bitmap.Canvas()->Brush()->SetColor(ABackgroundColor);
  bitmap.Canvas()->FillRect(bitmap.ClientRect());
  FImageList->Draw(bitmap.Canvas(), 0, 0, index);
  ACanvas->Draw(X, Y, &bitmap);
}

TlkRadioButtonImageList* SharedRadioGlyphs() {
  if (!RadioGlyphs) {
    RadioGlyphs = new TlkRadioButtonImageList;
    RadioGlyphs->Rebuild();
  }
  return RadioGlyphs;
}

void TlkCustomLookAndFeelPainter::DrawRadioGlyph(TlkCanvas* ACanvas, const TPoint& P, TlkPartDrawState AState,
                                                 bool AChecked, bool AFocused, bool AHighlighted,
                                                 TColor ABackgroundColor) const {
  SharedRadioGlyphs()->PaintGlyph(ACanvas, P.x, P.y, StyleCodeToLookAndFeelKind(StyleCode()), AState, AChecked,
                                  AFocused, AHighlighted, ABackgroundColor);
}

TPoint TlkCustomLookAndFeelPainter::RadioGlyphExtent() const { return SharedRadioGlyphs()->ImageSize(); }

// ---------------------------------------------------------------------------
// Shared painter resources: the scroll bar's page patterns and the row
// indicator images.

namespace {

TBitmap* ScrollBarPatterns[2] = {nullptr, nullptr};  // normal, pressed
TCustomImageList* IndicatorImages = nullptr;
TlkSystemPaletteChangedNotifier* PaletteNotifier = nullptr;

}  // namespace

TBitmap* lkScrollBarPatternBitmap(bool APressed) { return ScrollBarPatterns[APressed ? 1 : 0]; }

void PaintScrollBarPatternBitmaps() {
  for (TBitmap*& pattern : ScrollBarPatterns) {
    if (!pattern) {
      pattern = new TBitmap;
      pattern->SetSize(8, 8);
    }
  }
  TCanvas* normal = ScrollBarPatterns[0]->Canvas();
  TCanvas* pressed = ScrollBarPatterns[1]->Canvas();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool odd = (x + y) % 2 != 0;
      normal->SetPixels(x, y, odd ? clBtnHighlight : clBtnFace);
      pressed->SetPixels(x, y, odd ? cl3DDkShadow : clBlack);
    }
}

void BuildScrollBarPatternBitmaps() { PaintScrollBarPatternBitmaps(); }

void FreeScrollBarPatternBitmaps() {
  for (TBitmap*& pattern : ScrollBarPatterns) {
    delete pattern;
    pattern = nullptr;
  }
}

void LoadIndicatorBitmaps() {
  static const char* const kNames[] = {"LK_ARROWBITMAP",    "LK_EDITBITMAP",       "LK_INSERTBITMAP",
                                       "LK_MULTIDOTBITMAP", "LK_MULTIARROWBITMAP", "LK_FILTERBITMAP"};
  std::unique_ptr<TBitmap> bitmap(new TBitmap);
  for (const char* name : kNames) {
    // A program without the images draws no indicator glyphs.
    HINSTANCE program = GetModuleHandle(nullptr);
    if (!FindResource(program, name, RT_BITMAP)) break;
    bitmap->LoadFromResourceName(program, name);
    if (!IndicatorImages) IndicatorImages = new TImageList(bitmap->Width(), bitmap->Height());
    IndicatorImages->AddMasked(bitmap.get(), clWhite);
  }
}

void FreeIndicatorBitmaps() {
  delete IndicatorImages;
  IndicatorImages = nullptr;
}

TCustomImageList* lkRowIndicatorImages() { return IndicatorImages; }

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
  LoadIndicatorBitmaps();
  BuildScrollBarPatternBitmaps();
  // The first to hear of new system colours, so that every control that
  // repaints on the change finds the patterns and glyphs already redone.
  PaletteNotifier = new TlkSystemPaletteChangedNotifier(true);
  PaletteNotifier->OnSystemPaletteChanged = [] {
    PaintScrollBarPatternBitmaps();
    if (RadioGlyphs) RadioGlyphs->RegenerateGlyphs();
  };
  GetCheckGlyphSize();
}

void Finalize() {
  if (StartCount == 0 || --StartCount > 0) return;
  delete PaletteNotifier;
  PaletteNotifier = nullptr;
  FreeScrollBarPatternBitmaps();
  FreeIndicatorBitmaps();
  delete RadioGlyphs;
  RadioGlyphs = nullptr;
  delete NamedPainters;
  NamedPainters = nullptr;
  // The next start measures the platform's glyphs again.
  RadioMetrics = TRadioMetrics{};
  RadioPattern.clear();
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
