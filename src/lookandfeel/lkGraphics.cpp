#include "lookandfeel/lkGraphics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "lookandfeel/lkClasses.h"
#include "lookandfeel/lkGeometry.h"
#include "lookandfeel/uiOffice11.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Dib.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/MulDiv.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/gdi/Text.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/user/Paint.h"
#include "platform/os/user/SysColors.h"
#include "platform/os/user/Window.h"

namespace lg = lkGraphics;

namespace {

// The wrapped canvas selects its font and brush only for its own drawing
// calls; text that goes straight to the platform needs them selected too,
// and a bitmap's canvas should still report the change.
struct CanvasAccess : TCanvas {
  using TCanvas::Changed;
  using TCanvas::Changing;
  using TCanvas::RequiredState;
};

void requireState(TCanvas* Canvas, TCanvasState State) {
  void (TCanvas::*required)(TCanvasState) = &CanvasAccess::RequiredState;
  (Canvas->*required)(State);
}

void canvasChanging(TCanvas* Canvas) {
  void (TCanvas::*changing)() = &CanvasAccess::Changing;
  (Canvas->*changing)();
}

void canvasChanged(TCanvas* Canvas) {
  void (TCanvas::*changed)() = &CanvasAccess::Changed;
  (Canvas->*changed)();
}

int textLength(const std::string& Text, int Length) {
  const int whole = static_cast<int>(Text.size());
  return Length < 0 || Length > whole ? whole : Length;
}

// Floor division, so that tiles left of or above the origin line up too.
int floorDiv(int a, int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

int byteOf(DWORD Value, int Shift) { return static_cast<int>((Value >> Shift) & 0xFF); }

// --- unit state -----------------------------------------------------------
int StartCount = 0;
HBITMAP HalftoneBitmap = nullptr;
HBRUSH Halftone = nullptr;
std::array<HBRUSH, qv::os::kSysColorCount> SystemBrushes{};
HMODULE Msimg32Library = nullptr;
lg::TAlphaBlendFunc AlphaBlendEntry = nullptr;
TlkScreenCanvas* ScreenCanvasInstance = nullptr;

}  // namespace

// ---------------------------------------------------------------------------
UINT TextFlagsToDrawTextFlags(TlkTextFlags Flags) {
  UINT result = DT_NOPREFIX;
  if (Flags & lg::tfRight) result |= DT_RIGHT;
  if (Flags & lg::tfHCenter) result |= DT_CENTER;
  if (Flags & lg::tfBottom) result |= DT_BOTTOM;
  if (Flags & lg::tfVCenter) result |= DT_VCENTER;
  if (Flags & lg::tfSingleLine) result |= DT_SINGLELINE;
  if (Flags & lg::tfDontClip) result |= DT_NOCLIP;
  if (Flags & lg::tfExpandTabs) result |= DT_EXPANDTABS;
  if (Flags & lg::tfShowPrefix) result &= ~DT_NOPREFIX;
  if (Flags & lg::tfWordBreak) {
    result |= DT_WORDBREAK;
    if (!(Flags & lg::tfNoCharBreak)) result |= DT_EDITCONTROL;
  }
  if (Flags & lg::tfEndEllipsis) result |= DT_END_ELLIPSIS;
  if (Flags & lg::tfCalcRect) result |= DT_CALCRECT;
  if (Flags & lg::tfPathEllipsis) result |= DT_PATH_ELLIPSIS;
  return result;
}

// ---------------------------------------------------------------------------
TlkRegion::TlkRegion(HRGN AHandle) : FHandle(AHandle) {}
TlkRegion::TlkRegion(const TRect& R) : FHandle(CreateRectRgnIndirect(&R)) {}
TlkRegion::TlkRegion(int Left, int Top, int Right, int Bottom) : FHandle(CreateRectRgn(Left, Top, Right, Bottom)) {}
TlkRegion::TlkRegion() : TlkRegion(0, 0, 0, 0) {}

TlkRegion::~TlkRegion() {
  if (FHandle) DeleteObject(FHandle);
}

void TlkRegion::Combine(TlkRegion* ARegion, TlkRegionOperation Operation, bool ADestroyRegion) {
  if (!ARegion) return;
  if (Operation == roSet)
    CombineRgn(FHandle, ARegion->FHandle, nullptr, RGN_COPY);
  else {
    static const int modes[] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};
    CombineRgn(FHandle, FHandle, ARegion->FHandle, modes[Operation]);
  }
  if (ADestroyRegion && ARegion != this) delete ARegion;
}

void TlkRegion::Offset(int DeltaX, int DeltaY) { OffsetRgn(FHandle, DeltaX, DeltaY); }

// ---------------------------------------------------------------------------
TlkCanvas::TlkCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}

TPoint TlkCanvas::WindowOrg() const {
  TPoint p{0, 0};
  GetWindowOrgEx(Handle(), &p);
  return p;
}

void TlkCanvas::SetWindowOrg(const TPoint& Value) { SetWindowOrgEx(Handle(), Value.x, Value.y, nullptr); }

TPoint TlkCanvas::ViewportOrg() const {
  TPoint p{0, 0};
  GetViewportOrgEx(Handle(), &p);
  return p;
}

void TlkCanvas::SetViewportOrg(const TPoint& Value) { SetViewportOrgEx(Handle(), Value.x, Value.y, nullptr); }

TPoint TlkCanvas::DCOrigin() const {
  TPoint window = WindowOrg(), viewport = ViewportOrg();
  return TPoint{viewport.x - window.x, viewport.y - window.y};
}

void TlkCanvas::SetBrushColor(TColor Value) {
  if (Brush()->Color() != Value) Brush()->SetColor(Value);
}

void TlkCanvas::FillRectColor(const TRect& R, TColor Color) {
  if (Color == clNone) return;
  if (Color != clDefault) SetBrushColor(Color);
  FillRect(R);
}

void TlkCanvas::FillRect(const TRect& R, TBitmap* Bitmap, bool ExcludeRect) {
  if (IsRectEmpty(&R)) return;
  if (Bitmap && !Bitmap->Empty() && Bitmap->Width() > 0 && Bitmap->Height() > 0) {
    const int w = Bitmap->Width(), h = Bitmap->Height();
    for (int j = floorDiv(R.top, h); j * h < R.bottom; ++j)
      for (int i = floorDiv(R.left, w); i * w < R.right; ++i) {
        TRect tile{i * w, j * h, (i + 1) * w, (j + 1) * h}, part;
        if (!IntersectRect(&part, &tile, &R)) continue;
        TRect source = part;
        OffsetRect(&source, -tile.left, -tile.top);
        FCanvas->CopyRect(part, Bitmap->Canvas(), source);
      }
  } else {
    FCanvas->FillRect(R);
  }
  if (ExcludeRect) SetClipRegion(new TlkRegion(R), roSubtract);
}

void TlkCanvas::FrameRect(const TRect& R, TColor Color, int LineWidth, TlkBorders Borders, bool ExcludeRect) {
  if (IsRectEmpty(&R) || Color == clNone) return;
  if (Color != clDefault) SetBrushColor(Color);
  const int across = std::min(LineWidth, lkGetRectWidth(R));
  const int down = std::min(LineWidth, lkGetRectHeight(R));
  if (Borders & lkbLeft) FillRect(TRect{R.left, R.top, R.left + across, R.bottom}, nullptr, ExcludeRect);
  if (Borders & lkbRight) FillRect(TRect{R.right - across, R.top, R.right, R.bottom}, nullptr, ExcludeRect);
  if (Borders & lkbTop) FillRect(TRect{R.left, R.top, R.right, R.top + down}, nullptr, ExcludeRect);
  if (Borders & lkbBottom) FillRect(TRect{R.left, R.bottom - down, R.right, R.bottom}, nullptr, ExcludeRect);
}

void TlkCanvas::FillFramedRect(const TRect& R, const TlkViewParams& Background, TlkBorders Borders,
                               TColor FrameColor, int LineWidth, bool ExcludeRect) {
  FrameRect(R, FrameColor, LineWidth, Borders, ExcludeRect);
  const int width = std::max(LineWidth, 0);
  TRect inner = lkGrowRect(R, (Borders & lkbLeft) ? -width : 0, (Borders & lkbTop) ? -width : 0,
                           (Borders & lkbRight) ? -width : 0, (Borders & lkbBottom) ? -width : 0);
  // clNone and clDefault are no brush colours: the first leaves the inside
  // unpainted unless a bitmap tiles it, the second keeps the brush.
  const bool tiled = GlyphIsSet(Background.Bitmap);
  if (Background.Color == clNone && !tiled) return;
  if (Background.Color != clNone && Background.Color != clDefault) SetBrushColor(Background.Color);
  FillRect(inner, Background.Bitmap, ExcludeRect);
}

void TlkCanvas::DrawBorders(const TRect& R, TColor LeftTopColor, TColor RightBottomColor, TlkBorders Borders,
                            int LineWidth) {
  if (Borders & lkbLeft) FillRectColor(TRect{R.left, R.top, R.left + LineWidth, R.bottom}, LeftTopColor);
  if (Borders & lkbTop) FillRectColor(TRect{R.left, R.top, R.right, R.top + LineWidth}, LeftTopColor);
  if (Borders & lkbRight) FillRectColor(TRect{R.right - LineWidth, R.top, R.right, R.bottom}, RightBottomColor);
  if (Borders & lkbBottom) FillRectColor(TRect{R.left, R.bottom - LineWidth, R.right, R.bottom}, RightBottomColor);
}

void TlkCanvas::DrawEdge3D(const TRect& R, bool Sunken, bool Outer, TlkBorders Borders) {
  TColor leftTop, rightBottom;
  if (Outer) {
    leftTop = Sunken ? clBtnShadow : cl3DLight;
    rightBottom = Sunken ? clBtnHighlight : cl3DDkShadow;
  } else {
    leftTop = Sunken ? cl3DDkShadow : clBtnHighlight;
    rightBottom = Sunken ? cl3DLight : clBtnShadow;
  }
  DrawBorders(R, leftTop, rightBottom, Borders, 1);
}

void TlkCanvas::InvertRect(const TRect& R) {
  FCanvas->SetCopyMode(cmDstInvert);
  FCanvas->CopyRect(R, FCanvas, R);
  FCanvas->SetCopyMode(cmSrcCopy);
}

void TlkCanvas::DrawText(const std::string& Text, const TRect& R, TlkTextFlags Flags, bool Enabled) {
  if (Text.empty()) return;
  TRect rect = R;
  const SIZE size = TextExtent(Text);
  const int width = lkGetRectWidth(rect), height = lkGetRectHeight(rect);
  if (size.cx <= width && size.cy <= height) Flags |= lg::tfDontClip;
  // The emboss shifts the highlight copy by one pixel; aligned text keeps
  // that pixel inside the rectangle.
  const int shift = Enabled ? 0 : 1;
  const bool useDrawText = !(Flags & lg::tfSingleLine) ||
                           (Flags & (lg::tfShowPrefix | lg::tfEndEllipsis | lg::tfPathEllipsis)) != 0;
  UINT drawTextFlags = 0;
  UINT options = 0;
  if (useDrawText) {
    // The platform aligns only single lines vertically, so a block of lines
    // is measured and its top placed here.
    if (!(Flags & lg::tfSingleLine) && (Flags & (lg::tfBottom | lg::tfVCenter))) {
      TRect block{rect.left, rect.top, rect.right - shift, rect.bottom};
      const TlkTextFlags blockFlags = Flags & (lg::tfWordBreak | lg::tfShowPrefix | lg::tfNoCharBreak);
      requireState(FCanvas, {csHandleValid, csFontValid});
      if (::DrawText(Handle(), Text.c_str(), static_cast<int>(Text.size()), &block,
                     TextFlagsToDrawTextFlags(blockFlags) | DT_CALCRECT) == 0)
        block.bottom = block.top;
      const int blockHeight = lkGetRectHeight(block);
      if (Flags & lg::tfBottom)
        rect.top = rect.bottom - blockHeight - shift;
      else
        rect.top = (rect.top + rect.bottom - blockHeight) / 2;
    }
    drawTextFlags = TextFlagsToDrawTextFlags(Flags);
  } else {
    if (size.cx < width) {
      if (Flags & lg::tfRight)
        rect.left = rect.right - size.cx - shift;
      else if (Flags & lg::tfHCenter)
        rect.left = (rect.left + rect.right - size.cx) / 2;
    }
    if (size.cy < height) {
      if (Flags & lg::tfBottom)
        rect.top = rect.bottom - size.cy - shift;
      else if (Flags & lg::tfVCenter)
        rect.top = (rect.top + rect.bottom - size.cy) / 2;
    }
    options = (Flags & lg::tfDontClip) ? 0 : ETO_CLIPPED;
  }

  auto output = [&](const TRect& At) {
    canvasChanging(FCanvas);
    requireState(FCanvas, {csHandleValid, csFontValid, csBrushValid});
    if (useDrawText) {
      TRect r = At;
      ::DrawText(Handle(), Text.c_str(), static_cast<int>(Text.size()), &r, drawTextFlags);
    } else {
      ExtTextOut(Handle(), At.left, At.top, options, &At, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    }
    canvasChanged(FCanvas);
  };

  const TBrushStyle brushStyle = Brush()->Style();
  const TColor fontColor = Font()->Color();
  try {
    if (Enabled) {
      output(rect);
    } else {
      Brush()->SetStyle(bsClear);
      Font()->SetColor(clBtnHighlight);
      TRect shifted = rect;
      OffsetRect(&shifted, 1, 1);
      output(shifted);
      Font()->SetColor(clBtnShadow);
      output(rect);
    }
  } catch (...) {
    Brush()->SetStyle(brushStyle);
    Font()->SetColor(fontColor);
    throw;
  }
  Brush()->SetStyle(brushStyle);
  Font()->SetColor(fontColor);
}

void TlkCanvas::MeasureTextRect(const std::string& Text, TRect& R, TlkTextFlags Flags) {
  const int width = lkGetRectWidth(R), height = lkGetRectHeight(R);
  const UINT flags = TextFlagsToDrawTextFlags(Flags);
  if (width <= 0 && !Text.empty()) R.right = R.left + 1;
  requireState(FCanvas, {csHandleValid, csFontValid});
  if (::DrawText(Handle(), Text.c_str(), static_cast<int>(Text.size()), &R, (flags & ~DT_VCENTER) | DT_CALCRECT) == 0)
    R = TRect{R.left, R.top, R.left, R.top};
  const int dx = width - lkGetRectWidth(R), dy = height - lkGetRectHeight(R);
  if (flags & DT_CENTER)
    OffsetRect(&R, dx / 2, 0);
  else if (flags & DT_RIGHT)
    OffsetRect(&R, dx, 0);
  if (flags & DT_VCENTER)
    OffsetRect(&R, 0, dy / 2);
  else if (flags & DT_BOTTOM)
    OffsetRect(&R, 0, dy);
}

SIZE TlkCanvas::TextExtent(const std::string& Text) {
  requireState(FCanvas, {csHandleValid, csFontValid});
  SIZE size{0, 0};
  if (!MeasureTextExtent(Handle(), Text, size)) size = SIZE{0, 0};
  return size;
}

void TlkCanvas::ExcludeClipRect(const TRect& R) { ::ExcludeClipRect(Handle(), R.left, R.top, R.right, R.bottom); }

TlkRegion* TlkCanvas::GetClipRegion(bool ConsiderOrigin) {
  auto region = std::make_unique<TlkRegion>();
  if (GetClipRgn(Handle(), region->Handle()) != 1) SetRectRgn(region->Handle(), 0, 0, 30000, 30000);
  if (ConsiderOrigin) {
    const TPoint origin = DCOrigin();
    region->Offset(-origin.x, -origin.y);
  }
  return region.release();
}

void TlkCanvas::SetClipRegion(TlkRegion* ARegion, TlkRegionOperation Operation, bool DestroyRegion,
                              bool ConsiderOrigin) {
  if (!ARegion) return;
  std::unique_ptr<TlkRegion> owned(DestroyRegion ? ARegion : nullptr);
  if (Operation != roSet) {
    std::unique_ptr<TlkRegion> clip(GetClipRegion(ConsiderOrigin));
    clip->Combine(ARegion, Operation, false);
    SetClipRegion(clip.release(), roSet, true, ConsiderOrigin);
    return;
  }
  const TPoint origin = ConsiderOrigin ? DCOrigin() : TPoint{0, 0};
  ARegion->Offset(origin.x, origin.y);
  SelectClipRgn(Handle(), ARegion->Handle());
  if (!DestroyRegion) ARegion->Offset(-origin.x, -origin.y);
}

// ---------------------------------------------------------------------------
TScreenCanvas::TScreenCanvas() : FScreenControl(new TlkScreenControl(nullptr)) { SetControl(FScreenControl); }

TScreenCanvas::~TScreenCanvas() {
  if (FScreenDC) {
    HDC dc = FScreenDC;
    FScreenDC = nullptr;
    SetHandle(nullptr);
    ReleaseDC(GetDesktopWindow(), dc);
  }
  SetControl(nullptr);
  delete FScreenControl;
}

void TScreenCanvas::CreateHandle() {
  if (!FScreenDC) FScreenDC = GetDCEx(GetDesktopWindow(), nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (FScreenDC) SetHandle(FScreenDC);
}

TlkScreenCanvas::TlkScreenCanvas() : TlkCanvas(new TScreenCanvas()) {}

TlkScreenCanvas::~TlkScreenCanvas() { delete Canvas(); }

TlkScreenCanvas* lkScreenCanvas() {
  if (!ScreenCanvasInstance) ScreenCanvasInstance = new TlkScreenCanvas();
  return ScreenCanvasInstance;
}

// ---------------------------------------------------------------------------
TlkCustomBitmap::TlkCustomBitmap() : TlkCustomBitmap(0, 0, pf24bit) {}
TlkCustomBitmap::TlkCustomBitmap(const TRect& R)
    : TlkCustomBitmap(lkGetRectWidth(R), lkGetRectHeight(R), pf24bit) {}
TlkCustomBitmap::TlkCustomBitmap(int AWidth, int AHeight) : TlkCustomBitmap(AWidth, AHeight, pf24bit) {}

TlkCustomBitmap::TlkCustomBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat) {
  Initialize(AWidth, AHeight, APixelFormat);
}

TlkCustomBitmap::~TlkCustomBitmap() { delete FlkCanvas; }

void TlkCustomBitmap::Initialize(int AWidth, int AHeight, TPixelFormat APixelFormat) {
  FlkCanvas = new TlkCanvas(Canvas());
  BeginUpdate();
  try {
    SetWidth(AWidth);
    SetHeight(AHeight);
    SetPixelFormat(APixelFormat);
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TlkCustomBitmap::EndUpdate(bool Force) {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (Force || FChangedWhileUpdating) Changed(this);
}

void TlkCustomBitmap::Changed(TObject* Sender) {
  if (FUpdateCount > 0) {
    FChangedWhileUpdating = true;
    return;
  }
  TBitmap::Changed(Sender);
  Update();
  FChangedWhileUpdating = false;
}

void TlkCustomBitmap::SetSize(int AWidth, int AHeight) {
  BeginUpdate();
  try {
    TBitmap::SetSize(AWidth, AHeight);
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate(false);
}

void TlkCustomBitmap::Rotate(TlkRotationAngle Mode, bool Flip) {
  // The pixels change behind the canvas: one change for the whole turn.
  BeginUpdate();
  try {
    RotateBitmap(this, Mode, Flip);
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

// ---------------------------------------------------------------------------
int TlkColorList::Add(TColor Color) {
  FItems.push_back(Color);
  return Count() - 1;
}

int TlkColorList::IndexOf(TColor Color) const {
  auto it = std::find(FItems.begin(), FItems.end(), Color);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

// ---------------------------------------------------------------------------
TlkBitmap::TlkBitmap() : TlkCustomBitmap(0, 0, pf32bit) { construct(); }
TlkBitmap::TlkBitmap(const TRect& R) : TlkCustomBitmap(lkGetRectWidth(R), lkGetRectHeight(R), pf32bit) {
  construct();
}
TlkBitmap::TlkBitmap(int AWidth, int AHeight) : TlkCustomBitmap(AWidth, AHeight, pf32bit) { construct(); }

void TlkBitmap::construct() {
  FBitmapInfo.biSize = sizeof(BITMAPINFOHEADER);
  FBitmapInfo.biPlanes = 1;
  FBitmapInfo.biBitCount = 32;
  FBitmapInfo.biCompression = BI_RGB;
  FTransparentColors = new TlkColorList();
  FDC = CreateCompatibleDC(nullptr);
  Update();
  Clear();
}

TlkBitmap::~TlkBitmap() {
  delete FTransparentColors;
  if (FDC) DeleteDC(FDC);
}

void TlkBitmap::Update() {
  FBitmapInfo.biWidth = Width();
  FBitmapInfo.biHeight = Height();
}

void TlkBitmap::SetCheckerColors(TColor Color1, BYTE Alpha1, TColor Color2, BYTE Alpha2) {
  FCheckerColor1 = ColorToARGB(Color1, Alpha1);
  FCheckerColor2 = ColorToARGB(Color2, Alpha2);
}

void TlkBitmap::SetSize(int AWidth, int AHeight) {
  TlkCustomBitmap::SetSize(AWidth, AHeight);
  Clear();
}

std::vector<DWORD> TlkBitmap::ReadPixels() {
  const int w = Width(), h = Height();
  if (Empty() || w <= 0 || h <= 0) return {};
  std::vector<DWORD> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  BITMAPINFO info{};
  info.bmiHeader = FBitmapInfo;
  if (GetDIBits(FDC, Handle(), 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS) == 0) return {};
  return pixels;
}

void TlkBitmap::WritePixels(const std::vector<DWORD>& Pixels) {
  BITMAPINFO info{};
  info.bmiHeader = FBitmapInfo;
  SetDIBits(FDC, Handle(), 0, static_cast<UINT>(Height()), Pixels.data(), &info, DIB_RGB_COLORS);
}

void TlkBitmap::Clear() {
  const int w = Width(), h = Height();
  if (Empty() || w <= 0 || h <= 0) return;
  const DWORD value = (FTransparentPixel >> 24) != 0 ? FTransparentPixel : 0;
  WritePixels(std::vector<DWORD>(static_cast<size_t>(w) * static_cast<size_t>(h), value));
  Changed(this);
}

bool TlkBitmap::IsTransparent(DWORD Pixel) const {
  return Pixel == FTransparentPixel ||
         std::find(FTransparentRGB.begin(), FTransparentRGB.end(), Pixel & 0xFFFFFFu) != FTransparentRGB.end();
}

namespace {

DWORD withGrey(DWORD Pixel, double Red, double Green, double Blue) {
  const double grey = byteOf(Pixel, 16) * Red + byteOf(Pixel, 8) * Green + byteOf(Pixel, 0) * Blue;
  const DWORD v = static_cast<DWORD>(std::clamp(std::lround(grey), 0L, 255L));
  return (Pixel & 0xFF000000u) | (v << 16) | (v << 8) | v;
}

DWORD lightened(DWORD Pixel) {
  DWORD result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int b = byteOf(Pixel, shift);
    result |= static_cast<DWORD>(b + (255 - b) * 3 / 10) << shift;
  }
  return result;
}

}  // namespace

void TlkBitmap::Filter(TlkBitmapFilter Kind) {
  // A checkerboard without a cell size has no cells to draw.
  if (Kind == bfChecker && FCheckerSize == 0) return;
  std::vector<DWORD> pixels = ReadPixels();
  if (pixels.empty()) return;
  FTransparentRGB.clear();
  for (int i = 0; i < FTransparentColors->Count(); ++i)
    FTransparentRGB.push_back(qv::os::gdi::pixelOf(ColorToRGB(FTransparentColors->Items(i))));
  const DWORD shadow = ColorToARGB(clBtnShadow, 0xC0);
  const int w = Width(), h = Height();
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      FCurrentX = x;
      FCurrentY = y;
      DWORD& p = pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
      switch (Kind) {
        case bfLighten:
          if (!IsTransparent(p)) p = lightened(p);
          break;
        case bfDisable:
          if (!IsTransparent(p)) {
            p = withGrey(p, 0.299, 0.587, 0.114);
            BlendPixel(shadow, p, 238);
          }
          break;
        case bfGrayMean:
          if (!IsTransparent(p)) {
            const DWORD v = static_cast<DWORD>((byteOf(p, 16) + byteOf(p, 8) + byteOf(p, 0)) / 3);
            p = (p & 0xFF000000u) | (v << 16) | (v << 8) | v;
          }
          break;
        case bfFullAlpha:
          p |= 0xFF000000u;
          break;
        case bfMask:
          p = IsTransparent(p) ? 0xFFFFFFFFu : 0u;
          break;
        case bfGray:
          if (!IsTransparent(p)) p = withGrey(p, 0.299, 0.587, 0.114);
          break;
        case bfGrayAlt:
          if (!IsTransparent(p)) p = withGrey(p, 0.0729, 0.7146, 0.2125);
          break;
        case bfOpaque:
          if (!IsTransparent(p) && (p >> 24) == 0) p |= 0xFF000000u;
          break;
        case bfChecker:
          BlendPixel(((x / FCheckerSize + y / FCheckerSize) % 2) != 0 ? FCheckerColor2 : FCheckerColor1, p, 255);
          break;
        case bfTransparent:
          p = FTransparentPixel;
          break;
      }
    }
  WritePixels(pixels);
  Changed(this);
}

// ---------------------------------------------------------------------------
void lkSetImageList(TCustomImageList* NewList, TCustomImageList*& Field, TChangeLink* ChangeLink,
                    TComponent* Notifier) {
  if (NewList == Field) return;
  if (Field) {
    if (Notifier) Field->RemoveFreeNotification(Notifier);
    if (ChangeLink) Field->UnRegisterChanges(ChangeLink);
  }
  Field = NewList;
  if (NewList) {
    if (ChangeLink) NewList->RegisterChanges(ChangeLink);
    if (Notifier) NewList->FreeNotification(Notifier);
  }
  if (ChangeLink) ChangeLink->Change();
}

bool GlyphIsSet(TBitmap* Bitmap) { return Bitmap && !Bitmap->Empty(); }

bool lkIsValidImageIndex(TCustomImageList* ImageList, int Index) {
  return ImageList && Index >= 0 && Index < ImageList->Count();
}

// ---------------------------------------------------------------------------
TColor NearestScreenColor(TColor Color) {
  return static_cast<TColor>(GetNearestColor(lkScreenCanvas()->Handle(), ColorToRGB(Color)));
}

namespace {

TColor mixSystemColors(int FacePercent, int HighlightPercent, int WindowPercent) {
  const COLORREF face = ColorToRGB(clBtnFace);
  const COLORREF highlight = ColorToRGB(clHighlight);
  const COLORREF window = ColorToRGB(clWindow);
  COLORREF result = highlight;
  if (face != RGB(0, 0, 0) && face != RGB(255, 255, 255)) {
    auto channel = [&](int Shift) {
      const int v = MulDiv(byteOf(face, Shift), FacePercent, 100) +
                    MulDiv(byteOf(highlight, Shift), HighlightPercent, 100) +
                    MulDiv(byteOf(window, Shift), WindowPercent, 100);
      return static_cast<COLORREF>(std::clamp(v, 0, 255)) << Shift;
    };
    result = channel(0) | channel(8) | channel(16);
  }
  return NearestScreenColor(static_cast<TColor>(result));
}

}  // namespace

TColor SystemMixColor1() { return mixSystemColors(14, 44, 40); }
TColor SystemMixColor2() { return mixSystemColors(-2, 30, 72); }

DWORD ColorToARGB(TColor Color, BYTE Alpha) {
  const COLORREF c = ColorToRGB(Color);
  return (static_cast<DWORD>(Alpha) << 24) | (static_cast<DWORD>(GetRValue(c)) << 16) |
         (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
}

void BlendPixel(DWORD ARGB, DWORD& Pixel, BYTE Opacity) {
  const double d = Opacity / 255.0;
  const double e = d * byteOf(ARGB, 24);
  const double f = 1.0 - e / 255.0;
  auto capped = [](double v) { return static_cast<DWORD>(std::min(std::lround(v), 255L)); };
  DWORD result = capped(e + f * byteOf(Pixel, 24)) << 24;
  for (int shift = 0; shift < 24; shift += 8)
    result |= capped(d * byteOf(ARGB, shift) + f * byteOf(Pixel, shift)) << shift;
  Pixel = result;
}

// ---------------------------------------------------------------------------
namespace {

struct TWebColor {
  const char* Name;
  TColor Color;
};

// From the CSS notation 0xRRGGBB.
constexpr TColor web(std::uint32_t RGBValue) {
  return static_cast<TColor>(((RGBValue & 0xFF) << 16) | (RGBValue & 0xFF00) | ((RGBValue >> 16) & 0xFF));
}
constexpr TColor sys(int Index) { return clSystemColor | Index; }

// Looked up in this order; the first match wins.
constexpr TWebColor kWebColors[] = {
    {"aliceblue", web(0xF0F8FF)},
    {"antiquewhite", web(0xFAEBD7)},
    {"aqua", web(0x00FFFF)},
    {"aquamarine", web(0x7FFFD4)},
    {"azure", web(0xF0FFFF)},
    {"beige", web(0xF5F5DC)},
    {"bisque", web(0xFFE4C4)},
    {"black", web(0x000000)},
    {"blanchedalmond", web(0xFFEBCD)},
    {"blue", web(0x0000FF)},
    {"blueviolet", web(0x8A2BE2)},
    {"brown", web(0xA52A2A)},
    {"burlywood", web(0xDEB887)},
    {"cadetblue", web(0x5F9EA0)},
    {"chartreuse", web(0x7FFF00)},
    {"chocolate", web(0xD2691E)},
    {"coral", web(0xFF7F50)},
    {"cornflowerblue", web(0x6495ED)},
    {"cornsilk", web(0xFFF8DC)},
    {"crimson", web(0xDC143C)},
    {"cyan", web(0x00FFFF)},
    {"darkblue", web(0x00008B)},
    {"darkcyan", web(0x008B8B)},
    {"darkgoldenrod", web(0xB8860B)},
    {"darkgray", web(0xA9A9A9)},
    {"darkgreen", web(0x006400)},
    {"darkkhaki", web(0xBDB76B)},
    {"darkmagenta", web(0x8B008B)},
    {"darkolivegreen", web(0x556B2F)},
    {"darkorange", web(0xFF8C00)},
    {"darkorchid", web(0x9932CC)},
    {"darkred", web(0x8B0000)},
    {"darksalmon", web(0xE9967A)},
    {"darkseagreen", web(0x8FBC8F)},
    {"darkslateblue", web(0x483D8B)},
    {"darkslategray", web(0x2F4F4F)},
    {"darkturquoise", web(0x00CED1)},
    {"darkviolet", web(0x9400D3)},
    {"deeppink", web(0xFF1493)},
    {"deepskyblue", web(0x00BFFF)},
    {"dimgray", web(0x696969)},
    {"dodgerblue", web(0x1E90FF)},
    {"firebrick", web(0xB22222)},
    {"floralwhite", web(0xFFFAF0)},
    {"forestgreen", web(0x228B22)},
    {"fuchsia", web(0xFF00FF)},
    {"gainsboro", web(0xDCDCDC)},
    {"ghostwhite", web(0xF8F8FF)},
    {"gold", web(0xFFD700)},
    {"goldenrod", web(0xDAA520)},
    {"gray", web(0x808080)},
    {"green", web(0x008000)},
    {"greenyellow", web(0xADFF2F)},
    {"honeydew", web(0xF0FFF0)},
    {"hotpink", web(0xFF69B4)},
    {"indianred", web(0xCD5C5C)},
    {"indigo", web(0x4B0082)},
    {"ivory", web(0xFFFFF0)},
    {"khaki", web(0xF0E68C)},
    {"lavender", web(0xE6E6FA)},
    {"lavenderblush", web(0xFFF0F5)},
    {"lawngreen", web(0x7CFC00)},
    {"lemonchiffon", web(0xFFFACD)},
    {"lightblue", web(0xADD8E6)},
    {"lightcoral", web(0xF08080)},
    {"lightcyan", web(0xE0FFFF)},
    {"lightgoldenrodyellow", web(0xFAFAD2)},
    {"lightgreen", web(0x90EE90)},
    {"lightgrey", web(0xD3D3D3)},
    {"lightpink", web(0xFFB6C1)},
    {"lightsalmon", web(0xFFA07A)},
    {"lightseagreen", web(0x20B2AA)},
    {"lightskyblue", web(0x87CEFA)},
    {"lightslategray", web(0x778899)},
    {"lightsteelblue", web(0xB0C4DE)},
    {"lightyellow", web(0xFFFFE0)},
    {"lime", web(0x00FF00)},
    {"limegreen", web(0x32CD32)},
    {"linen", web(0xFAF0E6)},
    {"magenta", web(0xFF00FF)},
    {"maroon", web(0x800000)},
    {"mediumaquamarine", web(0x66CDAA)},
    {"mediumblue", web(0x0000CD)},
    {"mediumorchid", web(0xBA55D3)},
    {"mediumpurple", web(0x9370DB)},
    {"mediumseagreen", web(0x3CB371)},
    {"mediumpurple", web(0x9370DB)},
    {"mediumslateblue", web(0x7B68EE)},
    {"mediumspringgreen", web(0x00FA9A)},
    {"mediumturquoise", web(0x48D1CC)},
    {"mediumvioletred", web(0xC71585)},
    {"midnightblue", web(0x191970)},
    {"mintcream", web(0xF5FFFA)},
    {"mistyrose", web(0xFFE4E1)},
    {"moccasin", web(0xFFE4B5)},
    {"navajowhite", web(0xFFDEAD)},
    {"navy", web(0x000080)},
    {"oldlace", web(0xFDF5E6)},
    {"olive", web(0x808000)},
    {"olivedrab", web(0x6B8E23)},
    {"orange", web(0xFFA500)},
    {"orangered", web(0xFF4500)},
    {"orchid", web(0xDA70D6)},
    {"palegoldenrod", web(0xEEE8AA)},
    {"palegreen", web(0x98FB98)},
    {"paleturquoise", web(0xAFEEEE)},
    {"palevioletred", web(0xDB7093)},
    {"papayawhip", web(0xFFEFD5)},
    {"peachpuff", web(0xFFDAB9)},
    {"peru", web(0xCD853F)},
    {"pink", web(0xFFC0CB)},
    {"plum", web(0xDDA0DD)},
    {"powderblue", web(0xB0E0E6)},
    {"purple", web(0x800080)},
    {"red", web(0xFF0000)},
    {"rosybrown", web(0xBC8F8F)},
    {"royalblue", web(0x4169E1)},
    {"saddlebrown", web(0x8B4513)},
    {"salmon", web(0xFA8072)},
    {"sandybrown", web(0xF4A460)},
    {"seagreen", web(0x2E8B57)},
    {"seashell", web(0xFFF5EE)},
    {"sienna", web(0xA0522D)},
    {"silver", web(0xC0C0C0)},
    {"skyblue", web(0x87CEEB)},
    {"slateblue", web(0x6A5ACD)},
    {"slategray", web(0x708090)},
    {"snow", web(0xFFFAFA)},
    {"springgreen", web(0x00FF7F)},
    {"steelblue", web(0x4682B4)},
    {"tan", web(0xD2B48C)},
    {"teal", web(0x008080)},
    {"thistle", web(0xD8BFD8)},
    {"tomato", web(0xFF6347)},
    {"turquoise", web(0x40E0D0)},
    {"violet", web(0xEE82EE)},
    {"wheat", web(0xF5DEB3)},
    {"white", web(0xFFFFFF)},
    {"whitesmoke", web(0xF5F5F5)},
    {"yellow", web(0xFFFF00)},
    {"yellowgreen", web(0x9ACD32)},
    // System-colour keywords.
    {"activeborder", sys(10)},
    {"activecaption", sys(2)},
    {"appworkspace", sys(12)},
    {"background", sys(1)},
    {"buttonface", sys(15)},
    {"buttonhighlight", sys(20)},
    {"buttonshadow", sys(16)},
    {"buttontext", sys(18)},
    {"captiontext", sys(9)},
    {"graytext", sys(17)},
    {"highlight", sys(13)},
    {"highlighttext", sys(14)},
    {"inactiveborder", sys(11)},
    {"inactivecaption", sys(3)},
    {"inactivecaptiontext", sys(19)},
    {"infobackground", sys(24)},
    {"infotext", sys(23)},
    {"menu", sys(4)},
    {"menutext", sys(7)},
    {"scrollbar", sys(0)},
    {"threeddarkshadow", sys(21)},
    {"threedface", sys(15)},
    {"threedhighlight", sys(20)},
    {"threedlightshadow", sys(22)},
    {"threedshadow", sys(16)},
    {"window", sys(5)},
    {"windowframe", sys(6)},
    {"windowtext", sys(8)},
};
static_assert(std::size(kWebColors) == 169);

bool sameIgnoringCase(const std::string& A, const char* B) {
  size_t i = 0;
  for (; i < A.size() && B[i] != '\0'; ++i) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    if (lower(static_cast<unsigned char>(A[i])) != lower(static_cast<unsigned char>(B[i]))) return false;
  }
  return i == A.size() && B[i] == '\0';
}

}  // namespace

bool lkWebColorNameToColor(const std::string& Name, TColor& Color) {
  for (const TWebColor& row : kWebColors)
    if (sameIgnoringCase(Name, row.Name)) {
      Color = row.Color;
      return true;
    }
  return false;
}

// ---------------------------------------------------------------------------
TBitmap* lkCreateBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(APixelFormat);
  bitmap->SetSize(AWidth, AHeight);
  return bitmap.release();
}

bool GetBitmapInfo(HBITMAP Handle, BITMAP& Info) { return GetObject(Handle, sizeof(BITMAP), &Info) != 0; }

void RotateBitmap(TBitmap* Bitmap, TlkRotationAngle Mode, bool Flip) {
  if (!Bitmap || Bitmap->Empty() || (Mode == raNone && !Flip)) return;
  const int w = Bitmap->Width(), h = Bitmap->Height();
  if (w <= 0 || h <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
  std::vector<DWORD> source(count), target(count);
  HDC dc = lkScreenCanvas()->Handle();
  if (GetDIBits(dc, Bitmap->Handle(), 0, static_cast<UINT>(h), source.data(), &info, DIB_RGB_COLORS) == 0) return;

  const bool quarter = Mode == raPlus90 || Mode == raMinus90;
  const int tw = quarter ? h : w, th = quarter ? w : h;
  for (int ty = 0; ty < th; ++ty)
    for (int tx = 0; tx < tw; ++tx) {
      // Flip mirrors the turned image top to bottom.
      const int y = Flip ? th - 1 - ty : ty;
      int sx = tx, sy = y;
      switch (Mode) {
        case raNone:
          break;
        case raPlus90:  // the right edge becomes the top
          sx = w - 1 - y;
          sy = tx;
          break;
        case raMinus90:  // the left edge becomes the top
          sx = y;
          sy = h - 1 - tx;
          break;
        case ra180:
          sx = w - 1 - tx;
          sy = h - 1 - y;
          break;
      }
      target[static_cast<size_t>(ty) * static_cast<size_t>(tw) + static_cast<size_t>(tx)] =
          source[static_cast<size_t>(sy) * static_cast<size_t>(w) + static_cast<size_t>(sx)];
    }

  if (quarter) Bitmap->SetSize(tw, th);
  info.bmiHeader.biWidth = tw;
  info.bmiHeader.biHeight = -th;
  SetDIBits(dc, Bitmap->Handle(), 0, static_cast<UINT>(th), target.data(), &info, DIB_RGB_COLORS);
}

// ---------------------------------------------------------------------------
bool MeasureTextExtent(HDC DC, const std::string& Text, SIZE& Size, int Length) {
  return GetTextExtentPoint32(DC, Text.data(), textLength(Text, Length), &Size) != 0;
}

int lkDrawText(HDC DC, const std::string& Text, TRect& R, UINT DrawTextFlags, int Length) {
  return ::DrawText(DC, Text.c_str(), textLength(Text, Length), &R, DrawTextFlags);
}

bool OutputTextExt(HDC DC, const std::string& Text, const TRect& R, const TRect& ClipRect, UINT Options,
                   int Length) {
  return ExtTextOut(DC, R.left, R.top, Options, &ClipRect, Text.data(),
                    static_cast<UINT>(textLength(Text, Length)), nullptr) != 0;
}

// ---------------------------------------------------------------------------
namespace lkGraphics {

void Initialize() {
  if (StartCount++ > 0) return;
  // Word-aligned rows of an 8 x 8 monochrome pattern.
  static const WORD kHalftoneRows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  HalftoneBitmap = CreateBitmap(8, 8, 1, 1, kHalftoneRows);
  Halftone = CreatePatternBrush(HalftoneBitmap);
  for (int i = 0; i < qv::os::kSysColorCount; ++i) SystemBrushes[static_cast<size_t>(i)] = GetSysColorBrush(i);
  Msimg32Library = LoadLibrary("msimg32.dll");
  if (Msimg32Library)
    AlphaBlendEntry = qv::os::procAs<TAlphaBlendFunc>(GetProcAddress(Msimg32Library, "AlphaBlend"));
}

void Finalize() {
  if (StartCount == 0 || --StartCount > 0) return;
  AlphaBlendEntry = nullptr;
  if (Msimg32Library) FreeLibrary(Msimg32Library);
  Msimg32Library = nullptr;
  if (Halftone) DeleteObject(Halftone);
  if (HalftoneBitmap) DeleteObject(HalftoneBitmap);
  Halftone = nullptr;
  HalftoneBitmap = nullptr;
  // Brushes of the system colours are the platform's own.
  SystemBrushes = {};
  delete ScreenCanvasInstance;
  ScreenCanvasInstance = nullptr;
}

HBRUSH HalftoneBrush() { return Halftone; }

HBRUSH SystemColorBrush(int Index) {
  return Index >= 0 && Index < qv::os::kSysColorCount ? SystemBrushes[static_cast<size_t>(Index)] : nullptr;
}

TAlphaBlendFunc AlphaBlendFunc() { return AlphaBlendEntry; }

}  // namespace lkGraphics

namespace {
// uiOffice11 starts the theme units before it.
const qv::classlib::TUnitInfo* const kGraphicsUses[] = {&lkClassesUnit, &lkGeometryUnit, &uiOffice11Unit};
}  // namespace

const qv::classlib::TUnitInfo lkGraphicsUnit{"lkGraphics", kGraphicsUses, &lkGraphics::Initialize,
                                             &lkGraphics::Finalize};
