#include "navbar/uiNavBarGraphics.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <unordered_map>

#include "lookandfeel/lkGeometry.h"
#include "lookandfeel/lkGraphics.h"
#include "lookandfeel/uiGDIPlusAPI.h"
#include "lookandfeel/uiGDIPlusClasses.h"
#include "lookandfeel/uiOffice11.h"
#include "lookandfeel/uiThemeManager.h"
#include "lookandfeel/uiUxTheme.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Jpeg.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/gdi/Blit.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dib.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/gdi/Edge.h"
#include "platform/os/gdi/MulDiv.h"
#include "platform/os/gdi/Font.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Resource.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/Paint.h"

// ---------------------------------------------------------------------------
// Colour helpers.

TColor GetLightColor80(TColor AColor) { return TintColorByPercent(AColor, 80); }
TColor GetLightColor70(TColor AColor) { return TintColorByPercent(AColor, 70); }
TColor GetLightColor40(TColor AColor) { return TintColorByPercent(AColor, 40); }
TColor GetLightColor20(TColor AColor) { return TintColorByPercent(AColor, 20); }
TColor GetScaledColor70(TColor AColor) { return ScaleColorByPercent(AColor, 70); }
TColor GetScaledColor60(TColor AColor) { return ScaleColorByPercent(AColor, 60); }
TColor GetScaledColor20(TColor AColor) { return ScaleColorByPercent(AColor, 20); }

DWORD ComposeGPColor(BYTE A, BYTE R, BYTE G, BYTE B) {
  return (static_cast<DWORD>(A) << 24) | (static_cast<DWORD>(R) << 16) | (static_cast<DWORD>(G) << 8) | B;
}

DWORD ColorToGPColor(TColor AColor, BYTE AAlpha) {
  const COLORREF c = static_cast<COLORREF>(AColor);
  return ComposeGPColor(AAlpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

namespace {

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string withoutBlanks(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != ' ' && c != '\t') out += c;
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Helper painters every view shares.

bool TilePicture(TCanvas* ACanvas, const TRect& R, TPicture* AImage) {
  TGraphic* graphic = AImage ? AImage->Graphic() : nullptr;
  if (!graphic || graphic->Empty() || IsRectEmpty(&R)) return false;
  std::unique_ptr<TBitmap> converted;
  TBitmap* tile = dynamic_cast<TBitmap*>(graphic);
  if (!tile) {
    if (!dynamic_cast<TJPEGImage*>(graphic) && !dynamic_cast<TIcon*>(graphic) && !dynamic_cast<TMetafile*>(graphic))
      return false;
    converted = std::make_unique<TBitmap>();
    converted->SetSize(graphic->Width(), graphic->Height());
    converted->Canvas()->Draw(0, 0, graphic);
    tile = converted.get();
  }
  const int w = tile->Width(), h = tile->Height();
  if (w <= 0 || h <= 0) return false;
  HDC source = tile->Canvas()->Handle();
  for (int y = R.top; y < R.bottom; y += h)
    for (int x = R.left; x < R.right; x += w)
      BitBlt(ACanvas->Handle(), x, y, std::min(w, static_cast<int>(R.right) - x),
             std::min(h, static_cast<int>(R.bottom) - y), source, 0, 0, SRCCOPY);
  return true;
}

void FillGradientCells(TCanvas* ACanvas, const TRect& R, TColor AColor1, TColor AColor2,
                       TuiBarStyleGradientMode AGradientMode) {
  const COLORREF c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  HDC dc = ACanvas->Handle();
  if (c1 == c2) {
    FillRectSolid(dc, R, static_cast<TColor>(c1));
    return;
  }
  const int width = lkGetRectWidth(R), height = lkGetRectHeight(R);
  if (width <= 0 || height <= 0) return;
  const int nx = std::min(width, 256), ny = std::min(height, 256);
  // A one-cell direction has nothing to spread over: its first colour.
  const auto step = [](int k, int delta, int n) { return n > 1 ? MulDiv(k, delta, n - 1) : 0; };
  const auto channel = [&](int a, int b, int i, int j) {
    const int d = b - a;
    switch (AGradientMode) {
      case gmVertical: return a + step(j, d, ny);
      case gmForwardDiagonal: return a + (step(i, d, nx) + step(j, d, ny)) / 2;
      case gmBackwardDiagonal: return a + (step(nx - 1 - i, d, nx) + step(j, d, ny)) / 2;
      default: return a + step(i, d, nx);
    }
  };
  int top = R.top;
  for (int j = 0; j < ny && top < R.bottom; ++j) {
    const int bottom = R.top + MulDiv(j + 1, height, ny);
    int left = R.left;
    for (int i = 0; i < nx && left < R.right; ++i) {
      const int right = R.left + MulDiv(i + 1, width, nx);
      if (right > left && bottom > top) {
        const COLORREF c = RGB(channel(GetRValue(c1), GetRValue(c2), i, j), channel(GetGValue(c1), GetGValue(c2), i, j),
                               channel(GetBValue(c1), GetBValue(c2), i, j));
        FillRectSolid(dc, TRect{left, top, right, bottom}, static_cast<TColor>(c));
      }
      left = right;
    }
    top = bottom;
  }
}

void FillGPGradient(HDC DC, const TRect& R, TColor AColor1, TColor AColor2, BYTE AAlpha1, BYTE AAlpha2,
                    TuiBarStyleGradientMode AGradientMode) {
  const int width = lkGetRectWidth(R), height = lkGetRectHeight(R);
  if (width <= 0 || height <= 0) return;
  const DWORD c1 = ColorToGPColor(static_cast<TColor>(ColorToRGB(AColor1)), AAlpha1);
  const DWORD c2 = ColorToGPColor(static_cast<TColor>(ColorToRGB(AColor2)), AAlpha2);
  const auto fill = [&](HDC ATarget, const TRect& AArea, int DX, int DY) {
    TuiGPGraphics graphics(ATarget);
    TRect grown = lkGrowRect(R, 1, 1, 1, 1);
    OffsetRect(&grown, DX, DY);
    TuiGPLinearGradientBrush brush(grown, c1, c2, static_cast<LinearGradientMode>(AGradientMode));
    graphics.FillRectangle(&brush, uiRectToGPRect(AArea));
  };
  // An opaque gradient across or down is the same along every column or
  // row: one strip of it is drawn and stretched over the rest, which costs a
  // fraction of the whole area's per-pixel gradient.
  const bool across = AGradientMode == gmHorizontal, down = AGradientMode == gmVertical;
  if (AAlpha1 == 255 && AAlpha2 == 255 && (across || down) && (across ? height : width) > 1) {
    TBitmap strip;
    strip.SetPixelFormat(pf32bit);
    strip.SetSize(across ? width : 1, down ? height : 1);
    fill(strip.Canvas()->Handle(), TRect{0, 0, strip.Width(), strip.Height()}, -R.left, -R.top);
    StretchBlt(DC, R.left, R.top, width, height, strip.Canvas()->Handle(), 0, 0, strip.Width(), strip.Height(),
               SRCCOPY);
    return;
  }
  fill(DC, R, 0, 0);
}

void TuiNavBarBackgroundPainter::DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, bool AFillBackground,
                                                TColor ABackgroundColor, TColor AColor1, TColor AColor2, BYTE AAlpha1,
                                                BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode) const {
  if (!TilePicture(ACanvas, R, AImage) && AFillBackground && ABackgroundColor != clNone)
    FillRectSolid(ACanvas->Handle(), R, ABackgroundColor);
  if (AColor1 == AColor2 && AAlpha1 == 255 && AAlpha2 == 255) {
    if (AColor1 != clNone) FillRectSolid(ACanvas->Handle(), R, AColor1);
    return;
  }
  if (AColor1 == clNone || AColor2 == clNone) return;
  if (uiIsGDIPlusAvailable()) {
    FillGPGradient(ACanvas->Handle(), R, AColor1, AColor2, AAlpha1, AAlpha2, AGradientMode);
    return;
  }
  if (AAlpha1 == 0 && AAlpha2 == 0) return;
  FillGradientCells(ACanvas, R, AColor1, AColor2, AGradientMode);
}

void TuiNavBarHintPainter::DrawHint(TCanvas* ACanvas, TRect R, const std::string& AHint, TPicture* AImage,
                                    TColor AColor1, TColor AColor2, BYTE AAlpha1, BYTE AAlpha2,
                                    TuiBarStyleGradientMode AGradientMode, TFont* AFont) const {
  if (AHint.empty()) return;
  TuiNavBarBackgroundPainter::Class()->DrawBackground(ACanvas, R, AImage, true, clInfoBk, AColor1, AColor2, AAlpha1,
                                                      AAlpha2, AGradientMode);
  RECT edge = R;
  DrawEdge(ACanvas->Handle(), &edge, BDR_RAISEDOUTER, BF_RECT);
  TRect text = lkGrowRect(R, -1, -1, -1, -1);
  text.left += 2;
  text.top += 2;
  if (AFont) ACanvas->SetFont(AFont);
  ACanvas->Brush()->SetStyle(bsClear);
  RECT r = text;
  lkDrawText(ACanvas->Handle(), AHint, r, DT_WORDBREAK | DT_NOPREFIX);
  ACanvas->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// Lines, frames and the other helper painters.

namespace {

TColor plainColor(TColor AColor) { return static_cast<TColor>(ColorToRGB(AColor)); }

void solidPen(TCanvas* ACanvas, TColor AColor) {
  ACanvas->Pen()->SetStyle(psSolid);
  ACanvas->Pen()->SetWidth(1);
  ACanvas->Pen()->SetColor(AColor);
}

// Pen A up the left edge and across the top, pen B down the right edge and
// back along the bottom.
void bevel(TCanvas* ACanvas, const TRect& R, TColor A, TColor B) {
  solidPen(ACanvas, A);
  ACanvas->MoveTo(R.left, R.bottom - 1);
  ACanvas->LineTo(R.left, R.top);
  ACanvas->LineTo(R.right - 1, R.top);
  solidPen(ACanvas, B);
  ACanvas->LineTo(R.right - 1, R.bottom - 1);
  ACanvas->LineTo(R.left - 1, R.bottom - 1);
}

// The left edge and the top edge up to R.right.
void leftAndTop(TCanvas* ACanvas, const TRect& R, TColor AColor) {
  solidPen(ACanvas, AColor);
  ACanvas->MoveTo(R.left, R.bottom - 1);
  ACanvas->LineTo(R.left, R.top);
  ACanvas->LineTo(R.right, R.top);
}

void rightAndBottom(TCanvas* ACanvas, const TRect& R, TColor AColor) {
  solidPen(ACanvas, AColor);
  ACanvas->MoveTo(R.right - 1, R.top);
  ACanvas->LineTo(R.right - 1, R.bottom - 1);
  ACanvas->LineTo(R.left - 1, R.bottom - 1);
}

void outline(TCanvas* ACanvas, const TRect& R, TColor AColor, int AWidth = 1) {
  solidPen(ACanvas, AColor);
  ACanvas->Pen()->SetWidth(AWidth);
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->Rectangle(R);
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Pen()->SetWidth(1);
}

void filledRect(TCanvas* ACanvas, const TRect& R, TColor APen, TColor ABrush) {
  solidPen(ACanvas, APen);
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Brush()->SetColor(ABrush);
  ACanvas->Rectangle(R);
}

TRect inner(const TRect& R) { return lkGrowRect(R, -1, -1, -1, -1); }

void blackBottomLine(TCanvas* ACanvas, const TRect& R) {
  solidPen(ACanvas, clBlack);
  ACanvas->MoveTo(R.left, R.bottom - 1);
  ACanvas->LineTo(R.right, R.bottom - 1);
}

void buttonFace(TCanvas* ACanvas, const TRect& R, TPicture* AImage, TColor AColor1, TColor AColor2, BYTE AAlpha1,
                BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode) {
  TuiNavBarBackgroundPainter::Class()->DrawBackground(ACanvas, R, AImage, false, clBtnFace, AColor1, AColor2, AAlpha1,
                                                      AAlpha2, AGradientMode);
}

// The pressed face of the flat, tool-box and Office buttons: sunken, and
// darker again inside along the left and the top.
void pressedFrame(TCanvas* ACanvas, const TRect& R, TColor AColor) {
  bevel(ACanvas, R, GetScaledColor20(AColor), GetLightColor20(AColor));
  leftAndTop(ACanvas, inner(R), GetScaledColor70(AColor));
}

bool pressedOrSelected(TuiNavBarDrawStates AState) {
  return AState.Contains(nbsPressed) || AState.Contains(nbsSelected);
}

// A copy of a shared sign bitmap in 32 bits, or null for a missing or empty
// one, so that the pixel passes never read outside it.
std::unique_ptr<TBitmap> signCopy(TBitmap* ASource) {
  if (!ASource || ASource->Empty() || ASource->Width() <= 0 || ASource->Height() <= 0) return nullptr;
  auto copy = std::make_unique<TBitmap>();
  copy->SetPixelFormat(pf32bit);
  copy->SetSize(ASource->Width(), ASource->Height());
  BitBlt(copy->Canvas()->Handle(), 0, 0, ASource->Width(), ASource->Height(), ASource->Canvas()->Handle(), 0, 0,
         SRCCOPY);
  return copy;
}

DWORD* row(TBitmap* ABitmap, int Y) { return static_cast<DWORD*>(ABitmap->ScanLine(Y)); }
BYTE redOf(DWORD APixel) { return static_cast<BYTE>((APixel >> 16) & 0xFF); }
DWORD pixelOf(TColor AColor) {
  const COLORREF c = ColorToRGB(AColor);
  return (static_cast<DWORD>(GetRValue(c)) << 16) | (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
}
TColor colorOf(DWORD APixel) {
  return static_cast<TColor>(RGB((APixel >> 16) & 0xFF, (APixel >> 8) & 0xFF, APixel & 0xFF));
}

void drawTransparent(TCanvas* ACanvas, const TRect& R, TBitmap* ABitmap) {
  ABitmap->SetTransparentMode(tmAuto);
  ABitmap->SetTransparent(true);
  ACanvas->Draw(R.left, R.top, ABitmap);
}

}  // namespace

void TuiNavBarGroupBackgroundPainter::DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, TColor AColor1,
                                                     TColor AColor2, BYTE AAlpha1, BYTE AAlpha2,
                                                     TuiBarStyleGradientMode AGradientMode) const {
  TuiNavBarBackgroundPainter::Class()->DrawBackground(ACanvas, R, AImage, false, clNone, AColor1, AColor2, AAlpha1,
                                                      AAlpha2, AGradientMode);
}

void TuiNavBarExplorerBarBorderPainter::DrawBorder(TCanvas* ACanvas, TRect R, TColor AColor, bool ANoTopLine) const {
  solidPen(ACanvas, AColor);
  ACanvas->MoveTo(R.left, R.top);
  ACanvas->LineTo(R.left, R.bottom - 1);
  ACanvas->LineTo(R.right - 1, R.bottom - 1);
  ACanvas->LineTo(R.right - 1, R.top - 1);
  if (!ANoTopLine) {
    ACanvas->MoveTo(R.right - 1, R.top);
    ACanvas->LineTo(R.left - 1, R.top);
  }
}

void TuiNavBarImagePainter::DrawImage(TCanvas* ACanvas, TCustomImageList* AImageList, int AImageIndex, TRect R,
                                      bool AEnabled) const {
  if (!IsNavBarImageAssigned(AImageList, AImageIndex)) return;
  HDC dc = ACanvas->Handle();
  const int saved = SaveDC(dc);
  AImageList->Draw(ACanvas, R.left, R.top, AImageIndex, AEnabled);
  RestoreDC(dc, saved);
}

void TuiNavBarSelectionPainter::DrawSelection(TCanvas* ACanvas, TRect R, TColor AColor,
                                              TuiNavBarDrawStates AState) const {
  if (pressedOrSelected(AState))
    bevel(ACanvas, R, GetScaledColor20(AColor), GetLightColor20(AColor));
  else if (AState.Contains(nbsHotTracked))
    bevel(ACanvas, R, GetLightColor20(AColor), GetScaledColor20(AColor));
}

void TuiNavBarUltraFlatSelectionPainter::DrawSelection(TCanvas* ACanvas, TRect R, TColor,
                                                       TuiNavBarDrawStates AState) const {
  const TColor selected = GetNearestScreenColor(MixSystemColors(-2, 30, 72));
  const TColor highlight = plainColor(clHighlight);
  if (AState.Contains(nbsSelected))
    filledRect(ACanvas, R, highlight, selected);
  else if (AState.Contains(nbsPressed))
    filledRect(ACanvas, R, highlight, GetNearestScreenColor(MixSystemColors(14, 44, 40)));
  else if (AState.Contains(nbsHotTracked))
    filledRect(ACanvas, R, highlight, selected);
}

void TuiNavBarVSToolBoxSelectionPainter::DrawSelection(TCanvas* ACanvas, TRect R, TColor AColor,
                                                       TuiNavBarDrawStates AState) const {
  if (pressedOrSelected(AState)) {
    bevel(ACanvas, R, GetScaledColor70(AColor), GetLightColor70(AColor));
  } else if (AState.Contains(nbsHotTracked)) {
    bevel(ACanvas, R, GetLightColor20(AColor), GetScaledColor20(AColor));
    leftAndTop(ACanvas, inner(R), GetLightColor70(AColor));
  }
}

// --- signs ---------------------------------------------------------------------

void TuiNavBarExplorerBarSignPainter::DrawSignFrame(TCanvas* ACanvas, TRect R, TColor, TColor, TColor,
                                                    TuiNavBarDrawStates AState) const {
  if (!AState.Contains(nbsHotTracked)) return;
  RECT edge = R;
  DrawEdge(ACanvas->Handle(), &edge, BDR_RAISEDINNER, BF_RECT);
}

void TuiNavBarExplorerBarSignPainter::DrawSign(TCanvas* ACanvas, TRect R, TColor ASignColor, TColor AColor1,
                                               TColor AColor2, TuiNavBarDrawStates AState) const {
  DrawSignFrame(ACanvas, R, ASignColor, AColor1, AColor2, AState);
  solidPen(ACanvas, ASignColor);
  const int cx = R.left + (R.right - R.left) / 2 - 1, cy = R.top + (R.bottom - R.top) / 2;
  // Drawn for an expanded group (pointing up); a collapsed one mirrors
  // every y about cy.
  const int dir = AState.Contains(nbsExpanded) ? 1 : -1;
  const auto at = [&](int dx, int dy) { return TPoint{cx + dx, cy + dir * dy}; };
  for (int shift : {0, 4}) {
    ACanvas->Polyline({at(-3, shift - 1), at(0, shift - 4), at(4, shift)});
    ACanvas->Polyline({at(-2, shift - 1), at(0, shift - 3), at(3, shift)});
  }
}

void TuiNavBarAdvExplorerBarSignPainter::DrawSign(TCanvas* ACanvas, TRect R, TColor ASignColor, TColor,
                                                  TColor, TuiNavBarDrawStates AState) const {
  std::unique_ptr<TBitmap> sign = signCopy(AState.Contains(nbsExpanded) ? ExplorerBarCollapseSignBitmap()
                                                                         : ExplorerBarExpandSignBitmap());
  if (!sign) return;
  const int w = sign->Width(), h = sign->Height();
  // What lies beneath, copied once; pixels beyond the canvas stay black.
  TBitmap under;
  under.SetPixelFormat(pf32bit);
  under.SetSize(w, h);
  BitBlt(under.Canvas()->Handle(), 0, 0, w, h, ACanvas->Handle(), R.left, R.top, SRCCOPY);
  const DWORD key = row(sign.get(), 0)[0] & 0xFFFFFF;
  const DWORD signPixel = pixelOf(ASignColor);
  // The mix asks the screen for its nearest colour; the sign has few shades
  // over few colours of the caption, so each pair is asked once.
  std::unordered_map<std::uint64_t, DWORD> mixed;
  for (int y = 0; y < h; ++y) {
    DWORD* line = row(sign.get(), y);
    const DWORD* beneath = row(&under, y);
    for (int x = 0; x < w; ++x) {
      const DWORD p = line[x] & 0xFFFFFF;
      if (p == key) continue;
      if (p == 0x0000FF) {
        line[x] = signPixel;
        continue;
      }
      const std::uint64_t pair = (static_cast<std::uint64_t>(beneath[x] & 0xFFFFFF) << 24) | p;
      auto it = mixed.find(pair);
      if (it == mixed.end()) {
        const int coverage = MulDiv(255 - redOf(p), 100, 255);
        it = mixed.emplace(pair, pixelOf(MixColorsByPercent(colorOf(beneath[x]), colorOf(p), coverage))).first;
      }
      line[x] = it->second;
    }
  }
  drawTransparent(ACanvas, R, sign.get());
}

void TuiNavBarOffice11SignPainter::DrawSign(TCanvas* ACanvas, TRect R, TColor, TColor AColor1, TColor AColor2,
                                            TuiNavBarDrawStates AState) const {
  std::unique_ptr<TBitmap> sign =
      signCopy(AState.Contains(nbsExpanded) ? Office11CollapseSignBitmap() : Office11ExpandSignBitmap());
  if (!sign) return;
  const int w = sign->Width(), h = sign->Height();
  const DWORD key = row(sign.get(), 0)[0] & 0xFFFFFF;
  const auto counts = [&](DWORD p) { return p != key && p != 0; };
  int largest = 1, smallest = 255;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (const DWORD p = row(sign.get(), y)[x] & 0xFFFFFF; counts(p)) {
        largest = std::max<int>(largest, redOf(p));
        smallest = std::min<int>(smallest, redOf(p));
      }
  const TColor c1 = plainColor(AColor1), c2 = plainColor(AColor2);
  for (int y = 0; y < h; ++y) {
    DWORD* line = row(sign.get(), y);
    for (int x = 0; x < w; ++x) {
      const DWORD p = line[x] & 0xFFFFFF;
      if (!counts(p)) continue;
      // A sign of one shade has no range to spread over: all colour 1.
      const int percent = largest > smallest ? MulDiv(redOf(p) - smallest, 100, largest - smallest) : 100;
      line[x] = pixelOf(MixColorsByPercent(c1, c2, percent));
    }
  }
  drawTransparent(ACanvas, R, sign.get());
}

// --- buttons -------------------------------------------------------------------

#define UI_BUTTON_ARGS                                                                                        \
  TCanvas *ACanvas, TRect R, TPicture *AImage, TColor AColor1, TColor AColor2, BYTE AAlpha1, BYTE AAlpha2, \
      TuiBarStyleGradientMode AGradientMode, TColor ABorderColor, TuiNavBarDrawStates AState
#define UI_BUTTON_FACE() buttonFace(ACanvas, R, AImage, AColor1, AColor2, AAlpha1, AAlpha2, AGradientMode)

void TuiNavBarButtonPainter::DrawButton(UI_BUTTON_ARGS) const {
  (void)ABorderColor;
  UI_BUTTON_FACE();
  const TColor col = AColor1;
  if (AState.Contains(nbsPressed)) {
    outline(ACanvas, R, GetScaledColor20(col));
    outline(ACanvas, inner(R), GetScaledColor70(col));
  } else {
    bevel(ACanvas, R, GetLightColor20(col), GetScaledColor20(col));
    bevel(ACanvas, inner(R), GetLightColor70(col), GetScaledColor70(col));
  }
  if (AState.Contains(nbsActive)) blackBottomLine(ACanvas, R);
}

void TuiNavBarFlatButtonPainter::DrawButton(UI_BUTTON_ARGS) const {
  (void)ABorderColor;
  UI_BUTTON_FACE();
  const TColor col = AColor1;
  if (AState.Contains(nbsPressed)) {
    pressedFrame(ACanvas, R, col);
  } else if (AState.Contains(nbsHotTracked)) {
    bevel(ACanvas, R, GetLightColor20(col), GetScaledColor20(col));
    rightAndBottom(ACanvas, inner(R), GetScaledColor70(col));
  } else {
    bevel(ACanvas, R, GetLightColor20(col), GetScaledColor70(col));
  }
  if (AState.Contains(nbsActive)) blackBottomLine(ACanvas, R);
}

void TuiNavBarVSToolBoxButtonPainter::DrawButton(UI_BUTTON_ARGS) const {
  (void)ABorderColor;
  UI_BUTTON_FACE();
  const TColor col = AColor1;
  if (AState.Contains(nbsPressed)) {
    pressedFrame(ACanvas, R, col);
  } else {
    bevel(ACanvas, R, GetLightColor20(col), GetScaledColor20(col));
    leftAndTop(ACanvas, inner(R), GetLightColor70(col));
  }
}

void TuiNavBarOfficeButtonPainter::DrawButton(UI_BUTTON_ARGS) const {
  (void)ABorderColor;
  UI_BUTTON_FACE();
  const TColor col = AColor1;
  if (AState.Contains(nbsPressed)) {
    pressedFrame(ACanvas, R, col);
  } else if (AState.Contains(nbsHotTracked)) {
    bevel(ACanvas, R, GetLightColor20(col), GetScaledColor20(col));
    bevel(ACanvas, inner(R), GetLightColor70(col), GetScaledColor70(col));
  } else {
    bevel(ACanvas, R, GetLightColor20(col), GetScaledColor20(col));
  }
  if (AState.Contains(nbsActive)) blackBottomLine(ACanvas, R);
}

void TuiNavBarOffice11NavPaneButtonPainter::DrawButton(UI_BUTTON_ARGS) const {
  (void)AState;
  UI_BUTTON_FACE();
  outline(ACanvas, R, plainColor(ABorderColor));
}

void TuiNavBarOffice11NavPaneGroupButtonPainter::DrawButton(UI_BUTTON_ARGS) const {
  (void)AState;
  TRect face = R;
  face.top += 1;
  buttonFace(ACanvas, face, AImage, AColor1, AColor2, AAlpha1, AAlpha2, AGradientMode);
  solidPen(ACanvas, plainColor(ABorderColor));
  ACanvas->MoveTo(R.left, R.top);
  ACanvas->LineTo(R.right, R.top);
}

void TuiNavBarExplorerButtonPainter::DrawButton(UI_BUTTON_ARGS) const {
  (void)ABorderColor, (void)AState;
  UI_BUTTON_FACE();
}

void TuiNavBarAdvExplorerButtonPainter::DrawButton(UI_BUTTON_ARGS) const {
  (void)ABorderColor, (void)AState;
  HDC dc = ACanvas->Handle();
  // The two top corners, cut off by two pixels on the top row and one below.
  ExcludeClipRect(dc, R.left, R.top, R.left + 2, R.top + 1);
  ExcludeClipRect(dc, R.left, R.top + 1, R.left + 1, R.top + 2);
  ExcludeClipRect(dc, R.right - 2, R.top, R.right, R.top + 1);
  ExcludeClipRect(dc, R.right - 1, R.top + 1, R.right, R.top + 2);
  UI_BUTTON_FACE();
  SelectClipRgn(dc, nullptr);
}

// --- scroll buttons ----------------------------------------------------------------

namespace {

void scrollArrow(TCanvas* ACanvas, const TRect& R, bool ADown, TuiNavBarDrawStates AState) {
  const int h = R.bottom - R.top, q = h / 4, w = 2 * q - 1;
  const int cx = R.left + (R.right - R.left) / 2 - 1;
  const int x1 = cx - w / 2, x2 = x1 + w - 1;
  const int apex = ADown ? R.top + h / 2 + q / 2 - 1 : R.top + h / 2 - q / 2 - 1;
  const int base = ADown ? apex - q + 1 : apex + q - 1;
  const TColor color = AState.Contains(nbsDisabled) ? clGrayText : clBlack;
  solidPen(ACanvas, color);
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Brush()->SetColor(color);
  ACanvas->Polygon({TPoint{cx, apex}, TPoint{x1, base}, TPoint{x2, base}});
}

}  // namespace

#define UI_SCROLL_ARGS                                                                                    \
  TCanvas *ACanvas, TRect R, TuiBaseButtonPainterClass AButtonPainter, TColor AColor1, TColor AColor2, \
      BYTE AAlpha1, BYTE AAlpha2, TuiBarStyleGradientMode AGradientMode, TColor ABorderColor,          \
      TuiNavBarDrawStates AState

void TuiNavBarScrollButtonsPainter::DrawBottomButton(UI_SCROLL_ARGS) const {
  if (AButtonPainter)
    AButtonPainter->DrawButton(ACanvas, R, nullptr, AColor1, AColor2, AAlpha1, AAlpha2, AGradientMode, ABorderColor,
                               AState);
  scrollArrow(ACanvas, R, true, AState);
}

void TuiNavBarScrollButtonsPainter::DrawTopButton(UI_SCROLL_ARGS) const {
  if (AButtonPainter)
    AButtonPainter->DrawButton(ACanvas, R, nullptr, AColor1, AColor2, AAlpha1, AAlpha2, AGradientMode, ABorderColor,
                               AState);
  scrollArrow(ACanvas, R, false, AState);
}

// --- drop targets ---------------------------------------------------------------

void TuiNavBarDropTargetLinkPainter::DrawDropTargetLink(TCanvas* ACanvas, TPoint P1, TPoint P2, TPoint P3, TPoint P4,
                                                        TPoint P5, TPoint P6, TColor AColor) const {
  solidPen(ACanvas, AColor);
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Brush()->SetColor(AColor);
  ACanvas->Polygon({P1, P2, P3, P1, P4, P5, P6, P4});
}

void TuiNavBarDropTargetGroupPainter::DrawDropTargetGroup(TCanvas* ACanvas, TRect R, TColor AColor1, TColor AColor2,
                                                          BYTE AAlpha1, BYTE AAlpha2,
                                                          TuiBarStyleGradientMode AGradientMode) const {
  if (uiIsGDIPlusAvailable())
    TuiNavBarBackgroundPainter::Class()->DrawBackground(ACanvas, R, nullptr, false, 0, AColor1, AColor2, AAlpha1,
                                                        AAlpha2, AGradientMode);
  else
    outline(ACanvas, R, AColor1, 2);
}

// --- themed painters -------------------------------------------------------------

bool TuiNavBarXPPainter::DrawThemeElement(TCanvas* ACanvas, const TRect& R, TuiThemeKind AThemeKind, int APart,
                                          int AState) {
  HTHEME theme = OpenThemeForKind(AThemeKind);
  if (!theme) return false;
  RECT r = R;
  DrawThemeBackground(theme, ACanvas->Handle(), APart, AState, &r, nullptr);
  return true;
}

void TuiNavBarXPBackgroundPainter::DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, bool AFillBackground,
                                                  TColor ABackgroundColor, TColor AColor1, TColor AColor2,
                                                  BYTE AAlpha1, BYTE AAlpha2,
                                                  TuiBarStyleGradientMode AGradientMode) const {
  if (TuiNavBarXPPainter::DrawThemeElement(ACanvas, R, thkTab, 10, 0)) return;
  TuiNavBarBackgroundPainter::DrawBackground(ACanvas, R, AImage, AFillBackground, ABackgroundColor, AColor1, AColor2,
                                             AAlpha1, AAlpha2, AGradientMode);
}

void TuiNavBarXPGroupBackgroundPainter::DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage, TColor AColor1,
                                                       TColor AColor2, BYTE AAlpha1, BYTE AAlpha2,
                                                       TuiBarStyleGradientMode AGradientMode) const {
  TuiNavBarXPBackgroundPainter::Class()->DrawBackground(ACanvas, R, AImage, false, clNone, AColor1, AColor2, AAlpha1,
                                                        AAlpha2, AGradientMode);
}

void TuiNavBarXPSelectionPainter::DrawSelection(TCanvas* ACanvas, TRect R, TColor AColor,
                                                TuiNavBarDrawStates AState) const {
  const int state = pressedOrSelected(AState) ? 3 : AState.Contains(nbsHotTracked) ? 2 : 1;
  if (TuiNavBarXPPainter::DrawThemeElement(ACanvas, R, thkToolBar, 1, state)) return;
  TuiNavBarSelectionPainter::DrawSelection(ACanvas, R, AColor, AState);
}

void TuiNavBarXPButtonPainter::DrawButton(UI_BUTTON_ARGS) const {
  const int state = AState.Contains(nbsPressed)     ? 3
                    : AState.Contains(nbsHotTracked) ? 2
                    : AState.Contains(nbsActive)     ? 5
                                                     : 1;
  if (TuiNavBarXPPainter::DrawThemeElement(ACanvas, R, thkButton, 1, state)) return;
  TuiNavBarOfficeButtonPainter::DrawButton(ACanvas, R, AImage, AColor1, AColor2, AAlpha1, AAlpha2, AGradientMode,
                                           ABorderColor, AState);
}

namespace {

// The scroll bar's arrow part in a state of its first (up) or second
// (down) group of four; the clip region then leaves the button out.
bool themedScrollArrow(TCanvas* ACanvas, const TRect& R, int AFirstState, TuiNavBarDrawStates AState) {
  const int state = AFirstState + (AState.Contains(nbsPressed) ? 2 : AState.Contains(nbsHotTracked) ? 1 : 0);
  if (!TuiNavBarXPPainter::DrawThemeElement(ACanvas, R, thkScrollBar, 1, state)) return false;
  ExcludeClipRect(ACanvas->Handle(), R.left, R.top, R.right, R.bottom);
  return true;
}

}  // namespace

void TuiNavBarXPScrollButtonsPainter::DrawBottomButton(UI_SCROLL_ARGS) const {
  if (themedScrollArrow(ACanvas, R, 5, AState)) return;
  TuiNavBarScrollButtonsPainter::DrawBottomButton(ACanvas, R, AButtonPainter, AColor1, AColor2, AAlpha1, AAlpha2,
                                                  AGradientMode, ABorderColor, AState);
}

void TuiNavBarXPScrollButtonsPainter::DrawTopButton(UI_SCROLL_ARGS) const {
  if (themedScrollArrow(ACanvas, R, 1, AState)) return;
  TuiNavBarScrollButtonsPainter::DrawTopButton(ACanvas, R, AButtonPainter, AColor1, AColor2, AAlpha1, AAlpha2,
                                               AGradientMode, ABorderColor, AState);
}

namespace {

bool explorerBarThemed() { return OpenThemeForKind(thkExplorerBar) != nullptr; }

void stretchShellBitmap(TCanvas* ACanvas, const TRect& R, TBitmap* ABitmap) {
  ABitmap->SetPixelFormat(pf32bit);
  ABitmap->SetTransparentColor(static_cast<TColor>(0xFF00FF));
  ABitmap->SetTransparent(true);
  ACanvas->StretchDraw(R, ABitmap);
}

TBitmap* shellCaptionBitmap(TuiNavBarDrawStates AState) {
  TBitmap* special = ShellStyleBitmap(ssbSpecialCaptionBackground);
  if (AState.Contains(nbsSpecial) && special) return special;
  return ShellStyleBitmap(ssbCaptionBackground);
}

TBitmap* shellSignBitmap(TuiNavBarDrawStates AState) {
  const bool expanded = AState.Contains(nbsExpanded), hot = AState.Contains(nbsHotTracked);
  const TuiShellStyleBitmap normal = expanded ? (hot ? ssbCollapseHot : ssbCollapse) : (hot ? ssbExpandHot : ssbExpand);
  const TuiShellStyleBitmap special =
      expanded ? (hot ? ssbSpecialCollapseHot : ssbSpecialCollapse) : (hot ? ssbSpecialExpandHot : ssbSpecialExpand);
  if (AState.Contains(nbsSpecial) && ShellStyleBitmap(special)) return ShellStyleBitmap(special);
  return ShellStyleBitmap(normal);
}

// The sign's own alpha over what the canvas shows at R's top-left corner.
void alphaBlendSign(TCanvas* ACanvas, const TRect& R, TBitmap* ASign) {
  const int w = ASign->Width(), h = ASign->Height();
  if (w <= 0 || h <= 0) return;
  TBitmap sign, canvas;
  for (TBitmap* b : {&sign, &canvas}) {
    b->SetPixelFormat(pf32bit);
    b->SetSize(w, h);
  }
  BitBlt(sign.Canvas()->Handle(), 0, 0, w, h, ASign->Canvas()->Handle(), 0, 0, SRCCOPY);
  BitBlt(canvas.Canvas()->Handle(), 0, 0, w, h, ACanvas->Handle(), R.left, R.top, SRCCOPY);
  GdiFlush();
  for (int y = 0; y < h; ++y) {
    const DWORD* s = row(&sign, y);
    DWORD* c = row(&canvas, y);
    for (int x = 0; x < w; ++x) {
      const DWORD a = s[x] >> 24;
      DWORD out = a << 24;
      for (int shift : {0, 8, 16}) {
        const DWORD sc = (s[x] >> shift) & 0xFF, cc = (c[x] >> shift) & 0xFF;
        out |= ((((sc * a + (255 - a) * cc) >> 8) + 1) & 0xFF) << shift;
      }
      c[x] = out;
    }
  }
  BitBlt(ACanvas->Handle(), R.left, R.top, w, h, canvas.Canvas()->Handle(), 0, 0, SRCCOPY);
}

}  // namespace

void TuiNavBarXPExplorerBarBackgroundPainter::DrawBackground(TCanvas* ACanvas, TRect R, TPicture* AImage,
                                                             bool AFillBackground, TColor ABackgroundColor,
                                                             TColor AColor1, TColor AColor2, BYTE AAlpha1,
                                                             BYTE AAlpha2,
                                                             TuiBarStyleGradientMode AGradientMode) const {
  TBitmap* background = ShellStyleBitmap(ssbBackground);
  if (background && explorerBarThemed()) {
    stretchShellBitmap(ACanvas, R, background);
    return;
  }
  TuiNavBarBackgroundPainter::DrawBackground(ACanvas, R, AImage, AFillBackground, ABackgroundColor, AColor1, AColor2,
                                             AAlpha1, AAlpha2, AGradientMode);
}

void TuiNavBarXPExplorerBarButtonPainter::DrawButton(UI_BUTTON_ARGS) const {
  TBitmap* caption = shellCaptionBitmap(AState);
  if (caption && explorerBarThemed()) {
    stretchShellBitmap(ACanvas, R, caption);
    return;
  }
  TuiNavBarExplorerButtonPainter::DrawButton(ACanvas, R, AImage, AColor1, AColor2, AAlpha1, AAlpha2, AGradientMode,
                                             ABorderColor, AState);
}

void TuiNavBarXPExplorerBarSignPainter::DrawSign(TCanvas* ACanvas, TRect R, TColor ASignColor, TColor AColor1,
                                                 TColor AColor2, TuiNavBarDrawStates AState) const {
  TBitmap* sign = shellSignBitmap(AState);
  if (!sign || sign->Empty() || !explorerBarThemed()) {
    TuiNavBarExplorerBarSignPainter::DrawSign(ACanvas, R, ASignColor, AColor1, AColor2, AState);
    return;
  }
  if (shellCaptionBitmap(AState))
    alphaBlendSign(ACanvas, R, sign);
  else
    stretchShellBitmap(ACanvas, R, sign);
}

#undef UI_BUTTON_ARGS
#undef UI_BUTTON_FACE
#undef UI_SCROLL_ARGS

// ---------------------------------------------------------------------------
// TuiStyleSheetParser

TuiStyleSheetParser::TuiStyleSheetParser(const std::string& AStyleSheet) : FRuleLines(new TStringList) {
  FRuleLines->SetText(Trim(AStyleSheet));
}

TuiStyleSheetParser::~TuiStyleSheetParser() { delete FRuleLines; }

std::string TuiStyleSheetParser::GetStyle(const std::string& ASelector) const {
  const std::string selector = upper(ASelector);
  for (int i = 0; i < FRuleLines->Count(); ++i) {
    const std::string& line = FRuleLines->Strings(i);
    if (line.size() >= selector.size() && upper(line.substr(0, selector.size())) == selector) return line;
  }
  return "";
}

std::string TuiStyleSheetParser::GetValue(const std::string& AStyle, const std::string& AName) {
  if (AName.empty()) return "";
  const std::string style = upper(AStyle), name = upper(AName);
  size_t at = 0;
  for (;; ++at) {
    at = style.find(name, at);
    if (at == std::string::npos) return "";
    // A declaration starts the rule's braces or follows a ";" (blanks
    // between them allowed); anywhere else the name is the tail of a
    // longer one.
    size_t before = at;
    while (before > 0 && (style[before - 1] == ' ' || style[before - 1] == '\t')) --before;
    if (before == 0 || style[before - 1] == '{' || style[before - 1] == ';') break;
  }
  const size_t start = at + name.size();
  size_t end = AStyle.find(';', start);
  if (end == std::string::npos) end = AStyle.find('}', start);
  return AStyle.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void TuiStyleSheetParser::ApplyFontStyle(TFont* AFont, const std::string& ASelector) const {
  const std::string line = withoutBlanks(GetStyle(ASelector));
  if (line.empty()) return;
  ReadFontSize(AFont, line);
  ReadFontWeight(AFont, line);
  ReadTextDecoration(AFont, line);
  ReadFontColor(AFont, line);
}

void TuiStyleSheetParser::ReadFontSize(TFont* AFont, const std::string& ALine) {
  // The whole points of the value: "8pt" is 8 and "8.5pt" 8, not 85. A
  // size that makes no sense for a font leaves it as it is.
  const std::string value = GetValue(ALine, "FONT-SIZE:");
  size_t i = 0;
  while (i < value.size() && !std::isdigit(static_cast<unsigned char>(value[i]))) ++i;
  int size = 0;
  bool any = false;
  for (; i < value.size() && std::isdigit(static_cast<unsigned char>(value[i])); ++i) {
    any = true;
    size = size * 10 + (value[i] - '0');
    if (size > 1000) return;
  }
  if (any && size > 0) AFont->SetSize(size);
}

void TuiStyleSheetParser::ReadFontWeight(TFont* AFont, const std::string& ALine) {
  const std::string value = upper(GetValue(ALine, "FONT-WEIGHT:"));
  TFontStyles style = AFont->Style();
  if (value == "BOLD")
    style.Include(fsBold);
  else if (value == "NORMAL")
    style.Exclude(fsBold);
  else
    return;
  AFont->SetStyle(style);
}

void TuiStyleSheetParser::ReadTextDecoration(TFont* AFont, const std::string& ALine) {
  const std::string value = upper(GetValue(ALine, "TEXT-DECORATION:"));
  TFontStyles style = AFont->Style();
  if (value == "UNDERLINE")
    style.Include(fsUnderline);
  else if (value == "NONE")
    style.Exclude(fsUnderline);
  else
    return;
  AFont->SetStyle(style);
}

void TuiStyleSheetParser::ReadFontColor(TFont* AFont, const std::string& ALine) {
  const std::string value = GetValue(ALine, "COLOR:");
  if (value.empty()) return;
  // Black counts as "no colour given": the font keeps the colour it has.
  TColor color = clNone;
  if (ParseColor(value, color) && color != clNone && static_cast<int>(color) > 0) AFont->SetColor(color);
}

void TuiStyleSheetParser::ReadBorderColor(const std::string& ASelector, TColor& AColor) const {
  const std::string line = withoutBlanks(GetStyle(ASelector));
  if (line.empty()) return;
  std::string value = GetValue(line, "BORDER:");
  std::erase(value, '\'');
  ParseColor(value, AColor);
}

bool TuiStyleSheetParser::ParseColor(const std::string& AValue, TColor& AColor) {
  const size_t hash = AValue.find('#');
  if (hash == std::string::npos) return ColorNameToColor(AValue, AColor);
  if (AValue.size() < hash + 7) return false;
  BYTE channels[3] = {};
  for (int c = 0; c < 3; ++c) {
    int value = 0;
    for (int k = 0; k < 2; ++k) {
      const char ch = AValue[hash + 1 + 2 * c + k];
      if (!std::isxdigit(static_cast<unsigned char>(ch))) return false;
      value = value * 16 + (std::isdigit(static_cast<unsigned char>(ch)) ? ch - '0' : std::toupper(ch) - 'A' + 10);
    }
    channels[c] = static_cast<BYTE>(value);
  }
  AColor = static_cast<TColor>(RGB(channels[0], channels[1], channels[2]));
  return true;
}

bool TuiStyleSheetParser::ColorNameToColor(const std::string& AName, TColor& AColor) {
  return lkWebColorNameToColor(AName, AColor);
}

// ---------------------------------------------------------------------------
// The shell's style module.

namespace {

using TSHGetShellStyleHInstance = HINSTANCE (*)();

HMODULE ShellLibrary = nullptr;
TSHGetShellStyleHInstance ShellStyleEntry = nullptr;
HINSTANCE ShellStyleModule = nullptr;
int ShellStyleRefCount = 0;
std::array<TBitmap*, kShellStyleBitmapCount> ShellStyleBitmaps{};
TFont* LinkFont = nullptr;
TFont* LinkHotFont = nullptr;
TFont* CaptionFont = nullptr;
TFont* CaptionHotFont = nullptr;
TColor BorderColor = clNone;

// The resource ids in the order of TuiShellStyleBitmap.
constexpr std::array<int, kShellStyleBitmapCount> kShellStyleBitmapIds = {110, 112, 105, 101, 104, 100,
                                                                          107, 103, 106, 102, 114};

const LPCSTR kRtHtml = MAKEINTRESOURCE(23);

void loadShellStyleLibrary() {
  ShellLibrary = LoadLibrary("shell32.dll");
  if (ShellLibrary)
    ShellStyleEntry = qv::os::procAs<TSHGetShellStyleHInstance>(GetProcAddress(ShellLibrary, "SHGetShellStyleHInstance"));
}

void freeShellStyleLibrary() {
  if (ShellLibrary) FreeLibrary(ShellLibrary);
  ShellLibrary = nullptr;
  ShellStyleEntry = nullptr;
}

// The module handed out is a reference of ours: it goes when the style is
// dropped.
void dropShellStyleModule() {
  if (ShellStyleModule) FreeLibrary(ShellStyleModule);
  ShellStyleModule = nullptr;
}

void freeShellStyleBitmaps() {
  for (TBitmap*& bitmap : ShellStyleBitmaps) FreeAndNil(bitmap);
}

void freeShellStyleFonts() {
  FreeAndNil(LinkFont);
  FreeAndNil(LinkHotFont);
  FreeAndNil(CaptionFont);
  FreeAndNil(CaptionHotFont);
  BorderColor = clNone;
}

void loadShellStyleBitmaps() {
  for (size_t i = 0; i < ShellStyleBitmaps.size(); ++i) ShellStyleBitmaps[i] = LoadShellStyleBitmap(kShellStyleBitmapIds[i]);
}

void loadShellStyleSheet() {
  const TuiStyleSheetParser parser(LoadShellStyleText("CPWEBVW.CSS"));
  for (TFont** font : {&CaptionFont, &CaptionHotFont, &LinkFont, &LinkHotFont}) {
    *font = new TFont;
    CreateMessageFont(*font);
  }
  parser.ApplyFontStyle(CaptionFont, "BODY ");
  parser.ApplyFontStyle(CaptionHotFont, "BODY ");
  parser.ApplyFontStyle(LinkFont, "BODY ");
  parser.ApplyFontStyle(LinkHotFont, "BODY ");
  parser.ApplyFontStyle(LinkFont, "A ");
  parser.ApplyFontStyle(LinkHotFont, "A ");
  parser.ApplyFontStyle(CaptionFont, ".LEARNABOUTCAPTION ");
  parser.ApplyFontStyle(CaptionHotFont, ".LEARNABOUTCAPTION ");
  parser.ApplyFontStyle(CaptionHotFont, "A:HOVER ");
  parser.ApplyFontStyle(LinkHotFont, "A:HOVER ");
  parser.ReadBorderColor(".LEARNABOUTBOX", BorderColor);
}

void loadShellStyle() {
  if (ShellStyleEntry) ShellStyleModule = ShellStyleEntry();
  loadShellStyleBitmaps();
  loadShellStyleSheet();
}

void unloadShellStyle() {
  dropShellStyleModule();
  freeShellStyleBitmaps();
  freeShellStyleFonts();
}

}  // namespace

bool IsShellStyleLoaded() { return ShellStyleModule != nullptr; }

void AddRefXPExplorerBarStyle() {
  if (ShellStyleRefCount == 0) loadShellStyle();
  ++ShellStyleRefCount;
}

void RefreshXPExplorerBarStyle() {
  if (ShellStyleRefCount == 0) return;
  unloadShellStyle();
  loadShellStyle();
}

void ReleaseXPExplorerBarStyle() {
  if (ShellStyleRefCount == 0) return;
  if (--ShellStyleRefCount == 0) unloadShellStyle();
}

int XPExplorerBarStyleRefCount() { return ShellStyleRefCount; }

TBitmap* LoadShellStyleBitmap(int AResourceId) {
  if (!IsShellStyleLoaded() || !FindResource(ShellStyleModule, MAKEINTRESOURCE(AResourceId), RT_BITMAP))
    return nullptr;
  auto bitmap = std::make_unique<TBitmap>();
  try {
    bitmap->LoadFromResourceID(ShellStyleModule, AResourceId);
  } catch (const Exception&) {
    // A picture the module holds in a form we cannot read counts as missing.
    return nullptr;
  }
  return bitmap.release();
}

std::string LoadShellStyleText(const std::string& AName) {
  if (!IsShellStyleLoaded() || !FindResource(ShellStyleModule, AName.c_str(), kRtHtml)) return "";
  TResourceStream stream(ShellStyleModule, AName, kRtHtml);
  std::string text(static_cast<size_t>(stream.Size()), '\0');
  if (!text.empty()) stream.Read(text.data(), static_cast<int>(text.size()));
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

TBitmap* ShellStyleBitmap(TuiShellStyleBitmap ARole) { return ShellStyleBitmaps.at(static_cast<size_t>(ARole)); }
TFont* ShellStyleLinkFont() { return LinkFont; }
TFont* ShellStyleLinkHotFont() { return LinkHotFont; }
TFont* ShellStyleCaptionFont() { return CaptionFont; }
TFont* ShellStyleCaptionHotFont() { return CaptionHotFont; }
TColor ShellStyleBorderColor() { return BorderColor; }

void CreateMessageFont(TFont* AFont) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
    AFont->SetHandle(CreateFontIndirect(&metrics.lfMessageFont));
  else
    AFont->SetHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

int GetFontItemHeight(TFont* AFont) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, AFont->Handle());
  TEXTMETRICA metrics{};
  GetTextMetrics(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics.tmHeight;
}

// ---------------------------------------------------------------------------
// The XP colour scheme and the view colour sets.

BYTE GetXPColorScheme() {
  if (!AreThemesAvailable(0)) return 0;
  std::u16string file(1024, u'\0'), color(1024, u'\0'), size(1024, u'\0');
  if (FAILED(uiUxTheme::GetCurrentThemeName(reinterpret_cast<LPWSTR>(file.data()), 1024,
                                            reinterpret_cast<LPWSTR>(color.data()), 1024,
                                            reinterpret_cast<LPWSTR>(size.data()), 1024)))
    return 0;
  const auto text = [](const std::u16string& s) {
    return upper(qv::os::utf16ToAnsi(std::u16string(s.c_str())));
  };
  std::string name = text(file);
  const size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  if (name != "LUNA.MSSTYLES") return 0;
  const std::string scheme = text(color);
  if (scheme == "NORMALCOLOR") return 1;
  if (scheme == "HOMESTEAD") return 2;
  if (scheme == "METALLIC") return 3;
  return 0;
}

namespace {

constexpr TColor rgb(BYTE r, BYTE g, BYTE b) { return static_cast<TColor>(RGB(r, g, b)); }

// The explorer-bar rows E0 to E11 of the blue, olive and silver schemes.
// Blue is the task pane of the XP style; olive and silver are ours, in the
// same roles, after those schemes' own task panes.
constexpr std::array<std::array<TColor, 12>, 3> kExplorerBarRows = {{
    {rgb(123, 162, 231), rgb(99, 117, 214), rgb(33, 93, 198), rgb(66, 142, 255), rgb(214, 223, 247),
     rgb(255, 255, 255), rgb(198, 211, 247), rgb(0, 73, 181), rgb(41, 93, 206), rgb(0, 60, 165),
     rgb(172, 205, 255), rgb(66, 142, 255)},
    {rgb(204, 217, 173), rgb(165, 189, 132), rgb(86, 102, 45), rgb(114, 146, 29), rgb(246, 246, 236),
     rgb(255, 252, 236), rgb(224, 231, 184), rgb(119, 140, 64), rgb(150, 168, 103), rgb(86, 102, 45),
     rgb(224, 231, 184), rgb(224, 231, 184)},
    {rgb(196, 200, 212), rgb(177, 179, 200), rgb(63, 61, 61), rgb(126, 124, 124), rgb(240, 241, 245),
     rgb(255, 255, 255), rgb(214, 215, 224), rgb(119, 119, 146), rgb(180, 182, 199), rgb(63, 61, 61),
     rgb(224, 226, 235), rgb(230, 230, 230)},
}};

// The Office 11 task pane's rows O0 to O8, by scheme.
constexpr std::array<std::array<TColor, 9>, 3> kOffice11Rows = {{
    {rgb(196, 218, 250), rgb(74, 122, 201), rgb(221, 236, 254), rgb(186, 208, 241), rgb(196, 219, 249),
     rgb(101, 143, 224), rgb(255, 255, 255), rgb(0, 45, 134), rgb(0, 61, 178)},
    {rgb(242, 241, 228), rgb(217, 217, 167), rgb(244, 247, 222), rgb(214, 222, 182), rgb(223, 230, 187),
     rgb(164, 181, 127), rgb(255, 255, 255), rgb(90, 107, 70), rgb(63, 93, 56)},
    {rgb(243, 243, 247), rgb(215, 215, 229), rgb(238, 238, 244), rgb(212, 212, 226), rgb(232, 232, 240),
     rgb(165, 164, 189), rgb(255, 255, 255), rgb(92, 91, 121), rgb(75, 75, 111)},
}};

TuiExplorerBarColors ExplorerColors;
TBitmap* ExplorerCollapseSign = nullptr;
TBitmap* ExplorerExpandSign = nullptr;
int ExplorerRefCount = 0;

TuiOffice11ViewColors Office11Colors;
TBitmap* Office11ExpandSign = nullptr;
TBitmap* Office11CollapseSign = nullptr;
int Office11RefCount = 0;

std::array<TBitmap*, kNavPaneBitmapCount> NavPaneBitmaps{};
int NavPaneRefCount = 0;

// A bitmap of the program's own resources; empty when it has none, so
// that the painters draw nothing for it.
TBitmap* programBitmap(const char* AName, bool ATransparent) {
  auto* bitmap = new TBitmap;
  HINSTANCE program = GetModuleHandle(nullptr);
  if (FindResource(program, AName, RT_BITMAP)) {
    try {
      bitmap->LoadFromResourceName(program, AName);
    } catch (const Exception&) {
      // A picture we cannot read draws nothing, like a missing one.
    }
  }
  if (ATransparent) bitmap->SetTransparent(true);
  return bitmap;
}

TColor plain(TColor AColor) { return static_cast<TColor>(ColorToRGB(AColor)); }

void buildExplorerBarColors() {
  TuiExplorerBarColors& c = ExplorerColors;
  const BYTE scheme = GetXPColorScheme();
  if (scheme > 0) {
    const auto& row = kExplorerBarRows[static_cast<size_t>(scheme - 1)];
    c.BackgroundColor1 = row[0];
    c.BackgroundColor2 = row[1];
    c.LinkTextColor = row[2];
    c.LinkTextHotColor = row[3];
    c.GroupBackgroundColor = row[4];
    c.CaptionColor1 = row[5];
    c.CaptionColor2 = row[6];
    c.CaptionTextColor = c.LinkTextColor;
    c.CaptionTextHotColor = c.LinkTextHotColor;
    c.SpecialCaptionColor1 = row[7];
    c.SpecialCaptionColor2 = row[8];
    c.CaptionSignColor = row[9];
    c.CaptionSignHotColor = c.LinkTextHotColor;
    c.SpecialCaptionSignColor = c.CaptionSignColor;
    c.SpecialCaptionSignHotColor = c.CaptionSignHotColor;
    c.SpecialCaptionTextColor = static_cast<TColor>(0xFFFFFF);
    c.SpecialCaptionTextHotColor = row[11];
    return;
  }
  c.BackgroundColor1 = c.BackgroundColor2 = plain(clInactiveCaption);
  c.LinkTextColor = ExplorerBarDefaultTextColor({});
  c.LinkTextHotColor = ExplorerBarDefaultTextColor({nbsHotTracked});
  c.GroupBackgroundColor = GetLightColor40(clInactiveCaption);
  c.CaptionColor1 = plain(clWindow);
  c.CaptionColor2 = GetLightColor40(clHighlight);
  c.CaptionSignColor = c.LinkTextColor;
  c.CaptionSignHotColor = c.LinkTextHotColor;
  c.CaptionTextColor = c.LinkTextColor;
  c.CaptionTextHotColor = c.LinkTextHotColor;
  c.SpecialCaptionColor1 = c.SpecialCaptionColor2 = plain(clHighlight);
  c.SpecialCaptionSignColor = c.SpecialCaptionSignHotColor = plain(clHighlight);
  c.SpecialCaptionTextColor = c.SpecialCaptionTextHotColor = plain(clCaptionText);
}

void loadExplorerBarBitmaps() {
  ExplorerCollapseSign = programBitmap("UINAVBARADVEXPLORERBARGROUPCAPTIONCOLLAPSESIGN", false);
  ExplorerExpandSign = programBitmap("UINAVBARADVEXPLORERBARGROUPCAPTIONEXPANDSIGN", false);
}

void freeExplorerBarBitmaps() {
  FreeAndNil(ExplorerCollapseSign);
  FreeAndNil(ExplorerExpandSign);
}

void buildOffice11ViewColors() {
  TuiOffice11ViewColors& c = Office11Colors;
  const BYTE scheme = AreThemesAvailable(0) ? GetXPColorScheme() : 0;
  if (scheme > 0) {
    const auto& row = kOffice11Rows[static_cast<size_t>(scheme - 1)];
    c.Office11BackgroundColor1 = row[0];
    c.Office11BackgroundColor2 = row[1];
    c.Office11GroupBackgroundColor1 = row[2];
    c.Office11GroupBackgroundColor2 = row[3];
    c.Office11CaptionColor1 = row[4];
    c.Office11CaptionColor2 = row[5];
    c.Office11GroupBorderColor = row[6];
    c.Office11CaptionTextColor = row[7];
    c.Office11LinkTextColor = row[8];
    return;
  }
  const auto mix = [](int p) { return MixColorsByPercent(clBtnFace, clWindow, p); };
  c.Office11BackgroundColor1 = mix(50);
  c.Office11BackgroundColor2 = mix(100);
  c.Office11GroupBackgroundColor1 = mix(15);
  c.Office11GroupBackgroundColor2 = mix(20);
  c.Office11CaptionColor1 = mix(45);
  c.Office11CaptionColor2 = mix(70);
  c.Office11GroupBorderColor = mix(5);
  c.Office11CaptionTextColor = static_cast<TColor>(0);
  c.Office11LinkTextColor = static_cast<TColor>(0xFF0000);
}

void loadOffice11Bitmaps() {
  Office11ExpandSign = programBitmap("UINAVBAROFFICE11EXPANDSIGN", false);
  Office11CollapseSign = programBitmap("UINAVBAROFFICE11COLLAPSESIGN", false);
}

void freeOffice11Bitmaps() {
  FreeAndNil(Office11ExpandSign);
  FreeAndNil(Office11CollapseSign);
}

void loadNavPaneBitmaps() {
  static const char* const kNames[kNavPaneBitmapCount] = {
      "UINAVBAROFFICE11NAVPANEOVERFLOW", "UINAVBAROFFICE11NAVPANESPLITTER",     "UINAVBAROFFICE11NAVPANEARROWUP",
      "UINAVBAROFFICE11NAVPANEARROWDOWN", "UINAVBAROFFICE11NAVPANEDEFAULTLARGE", "UINAVBAROFFICE11NAVPANEDEFAULTSMALL"};
  for (size_t i = 0; i < NavPaneBitmaps.size(); ++i) NavPaneBitmaps[i] = programBitmap(kNames[i], true);
}

void freeNavPaneBitmaps() {
  for (TBitmap*& bitmap : NavPaneBitmaps) FreeAndNil(bitmap);
}

}  // namespace

const TuiExplorerBarColors& ExplorerBarColors() { return ExplorerColors; }
TBitmap* ExplorerBarCollapseSignBitmap() { return ExplorerCollapseSign; }
TBitmap* ExplorerBarExpandSignBitmap() { return ExplorerExpandSign; }

TColor ExplorerBarDefaultTextColor(TuiNavBarDrawStates AState) {
  // A dark tone of the user's highlight colour: its channels are pulled
  // down so that the brightest ends near 235, red a little warmer.
  const COLORREF highlight = ColorToRGB(clHighlight);
  const int r = GetRValue(highlight), g = GetGValue(highlight), b = GetBValue(highlight);
  constexpr int kOffset = -50;
  const int f = std::min(0, 220 - kOffset - std::max({r, g, b})) + kOffset + 35;
  const auto channel = [](int v) { return static_cast<BYTE>(std::min(255, std::abs(v))); };
  const TColor base = rgb(channel(r + f + 5), channel(g + f), channel(b + f));
  if (AState.Contains(nbsDisabled)) return GetLightColor40(base);
  if (AState.Contains(nbsSelected) || AState.Contains(nbsHotTracked) || AState.Contains(nbsPressed))
    return GetLightColor80(base);
  return base;
}

void AddRefExplorerBarColors() {
  if (ExplorerRefCount == 0) {
    buildExplorerBarColors();
    loadExplorerBarBitmaps();
  }
  ++ExplorerRefCount;
}

void RefreshExplorerBarColors() {
  buildExplorerBarColors();
  if (ExplorerRefCount == 0) return;
  freeExplorerBarBitmaps();
  loadExplorerBarBitmaps();
}

void ReleaseExplorerBarColors() {
  if (ExplorerRefCount == 0) return;
  if (--ExplorerRefCount == 0) freeExplorerBarBitmaps();
}

const TuiOffice11ViewColors& Office11ViewColors() { return Office11Colors; }
TBitmap* Office11ExpandSignBitmap() { return Office11ExpandSign; }
TBitmap* Office11CollapseSignBitmap() { return Office11CollapseSign; }

void AddRefOffice11ViewColors() {
  if (Office11RefCount == 0) {
    buildOffice11ViewColors();
    loadOffice11Bitmaps();
  }
  ++Office11RefCount;
}

void RefreshOffice11ViewColors() {
  buildOffice11ViewColors();
  if (Office11RefCount == 0) return;
  freeOffice11Bitmaps();
  loadOffice11Bitmaps();
}

void ReleaseOffice11ViewColors() {
  if (Office11RefCount == 0) return;
  if (--Office11RefCount == 0) freeOffice11Bitmaps();
}

TBitmap* NavPaneBitmap(TuiNavPaneBitmap ARole) { return NavPaneBitmaps.at(static_cast<size_t>(ARole)); }

void AddRefNavBarBitmaps() {
  if (NavPaneRefCount == 0) loadNavPaneBitmaps();
  ++NavPaneRefCount;
}

void RefreshNavBarBitmaps() {
  if (NavPaneRefCount == 0) return;
  freeNavPaneBitmaps();
  loadNavPaneBitmaps();
}

void ReleaseNavBarBitmaps() {
  if (NavPaneRefCount == 0) return;
  if (--NavPaneRefCount == 0) freeNavPaneBitmaps();
}

// ---------------------------------------------------------------------------
// The unit.

namespace {

void startUp() { loadShellStyleLibrary(); }

void shutDown() {
  // Whatever users forgot goes with the unit.
  if (ShellStyleRefCount > 0) unloadShellStyle();
  ShellStyleRefCount = 0;
  freeExplorerBarBitmaps();
  freeOffice11Bitmaps();
  freeNavPaneBitmaps();
  ExplorerRefCount = Office11RefCount = NavPaneRefCount = 0;
  freeShellStyleLibrary();
}

// The helper painters bind GDI+, which the unit of its classes loads and
// frees.
const qv::classlib::TUnitInfo* const kUses[] = {&uiNavBarBaseUnit, &uiOffice11Unit, &lkGraphicsUnit,
                                                &uiGDIPlusClassesUnit};

}  // namespace

const qv::classlib::TUnitInfo uiNavBarGraphicsUnit{"uiNavBarGraphics", kUses, &startUp, &shutDown};
