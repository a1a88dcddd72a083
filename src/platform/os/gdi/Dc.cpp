#include "platform/os/gdi/Dc.h"

#include <algorithm>

#include "platform/desktop/Profile.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Pen.h"

namespace qv::os::gdi {

Dc::Dc(bool isMemory) : GdiObject(isMemory ? OBJ_MEMDC : OBJ_DC), memory(isMemory) {
  pixman_region32_init(&drawable_);
  state.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  state.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  state.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  retainSelected(state.pen);
  retainSelected(state.brush);
  retainSelected(state.font);
}

Dc::~Dc() {
  auto releaseState = [](const DcState& s) {
    releaseSelected(s.pen);
    releaseSelected(s.brush);
    releaseSelected(s.font);
  };
  releaseState(state);
  releaseSelected(bitmap);
  for (const Saved& s : saved) {
    releaseState(s.state);
    releaseSelected(s.bitmap);
  }
  pixman_region32_fini(&drawable_);
}

const pixman_region32_t* Dc::drawable() {
  if (drawableValid_) return &drawable_;
  pixman_region32_fini(&drawable_);
  int w = surface ? surface->width : 0;
  int h = surface ? surface->height : 0;
  pixman_region32_init_rect(&drawable_, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
  auto limit = [&](const RegionData& r) {
    RegionData moved = r;
    moved.offset(origin.x, origin.y);
    pixman_region32_intersect(&drawable_, &drawable_, moved.raw());
  };
  if (visible) limit(*visible);
  if (state.clip) limit(*state.clip);
  drawableValid_ = true;
  return &drawable_;
}

Dc* dcOf(HDC h) { return lookupAs<Dc>(h, OBJ_DC); }

RegionData Dc::visiblePart(const pixman_region32_t* area) {
  RegionData part;
  pixman_region32_intersect(part.raw(), area, drawable());
  return part;
}

RegionData Dc::visiblePart(int left, int top, int right, int bottom) {
  RegionData part(left, top, right, bottom);
  pixman_region32_intersect(part.raw(), part.raw(), drawable());
  return part;
}

namespace {

// Calls `fn(y, x0, x1)` for the rows of a surface rectangle a DC may draw.
template <class Fn>
void forDrawable(Dc& dc, int left, int top, int right, int bottom, Fn fn) {
  if (!dc.surface || left >= right || top >= bottom) return;
  RegionData part = dc.visiblePart(left, top, right, bottom);
  int n = 0;
  const pixman_box32_t* boxes = part.boxes(n);
  for (int i = 0; i < n; ++i)
    for (int y = boxes[i].y1; y < boxes[i].y2; ++y) fn(y, boxes[i].x1, boxes[i].x2);
}

}  // namespace

void drawMask(HDC hdc, int deviceX, int deviceY, const std::uint8_t* mask, int w, int h, int stride,
              COLORREF colour) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || mask == nullptr || w <= 0 || h <= 0 || !dc->surface) return;
  Surface& s = *dc->surface;
  SurfaceUse use(&s);
  std::uint32_t value = s.mono ? monoPixelOf(colour) : pixelOf(colour);
  int left = deviceX + dc->origin.x;
  int top = deviceY + dc->origin.y;
  forDrawable(*dc, left, top, left + w, top + h, [&](int y, int x0, int x1) {
    const std::uint8_t* m = mask + static_cast<std::ptrdiff_t>(y - top) * stride - left;
    std::uint32_t* row = s.row(y);
    for (int x = x0; x < x1; ++x)
      if (m[x] != 0) row[x] = value;
  });
}

void fillDeviceRect(HDC hdc, const RECT& device, COLORREF colour) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || !dc->surface) return;
  Surface& s = *dc->surface;
  SurfaceUse use(&s);
  std::uint32_t value = s.mono ? monoPixelOf(colour) : pixelOf(colour);
  forDrawable(*dc, device.left + dc->origin.x, device.top + dc->origin.y, device.right + dc->origin.x,
              device.bottom + dc->origin.y,
              [&](int y, int x0, int x1) { std::fill(s.row(y) + x0, s.row(y) + x1, value); });
}

HDC createSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, HRGN visible) {
  HDC h = addObjectAs<HDC>(std::make_unique<Dc>(false));
  setSurfaceDC(h, std::move(surface), origin, visible);
  return h;
}

void setSurfaceDC(HDC hdc, std::shared_ptr<Surface> surface, POINT origin, HRGN visible) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return;
  dc->surface = std::move(surface);
  dc->origin = origin;
  dc->visible = visible != nullptr ? std::make_shared<RegionData>(regionData(visible)) : nullptr;
  dc->invalidate();
}

std::shared_ptr<Surface> screenSurface() {
  static std::shared_ptr<Surface> screen;
  const auto& p = qv::desktop::profile();
  if (!screen || screen->width != p.screenWidth || screen->height != p.screenHeight)
    screen = makeSurface(p.screenWidth, p.screenHeight);
  return screen;
}

HDC createScreenDC() { return createSurfaceDC(screenSurface(), POINT{0, 0}, nullptr); }

}  // namespace qv::os::gdi

using namespace qv::os::gdi;

HDC CreateCompatibleDC(HDC other) {
  if (other != nullptr && dcOf(other) == nullptr) return nullptr;
  auto dc = std::make_unique<Dc>(true);
  Dc* raw = dc.get();
  HDC h = addObjectAs<HDC>(std::move(dc));
  raw->bitmap = stockBitmap();
  retainSelected(raw->bitmap);
  raw->surface = bitmapOf(raw->bitmap)->surface;
  return h;
}

BOOL DeleteDC(HDC hdc) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return FALSE;
  removeObject(hdc);
  return TRUE;
}

int SaveDC(HDC hdc) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return 0;
  retainSelected(dc->state.pen);
  retainSelected(dc->state.brush);
  retainSelected(dc->state.font);
  retainSelected(dc->bitmap);
  dc->saved.push_back({dc->state, dc->bitmap});
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int level) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return FALSE;
  int depth = static_cast<int>(dc->saved.size());
  int target = level < 0 ? depth + level + 1 : level;
  if (level == 0 || target < 1 || target > depth) return FALSE;
  while (static_cast<int>(dc->saved.size()) > target) {
    Dc::Saved& s = dc->saved.back();
    releaseSelected(s.state.pen);
    releaseSelected(s.state.brush);
    releaseSelected(s.state.font);
    releaseSelected(s.bitmap);
    dc->saved.pop_back();
  }
  Dc::Saved s = dc->saved.back();
  dc->saved.pop_back();
  releaseSelected(dc->state.pen);
  releaseSelected(dc->state.brush);
  releaseSelected(dc->state.font);
  releaseSelected(dc->bitmap);
  dc->state = s.state;
  if (dc->memory && s.bitmap != nullptr && bitmapOf(s.bitmap) != nullptr) {
    dc->bitmap = s.bitmap;
    dc->surface = bitmapOf(s.bitmap)->surface;
  }
  dc->invalidate();
  return TRUE;
}

namespace {

BOOL setPoint(HDC hdc, POINT DcState::*field, int x, int y, bool relative, LPPOINT old) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return FALSE;
  POINT& p = dc->state.*field;
  if (old != nullptr) *old = p;
  p = relative ? POINT{p.x + x, p.y + y} : POINT{x, y};
  return TRUE;
}

BOOL getPoint(HDC hdc, POINT DcState::*field, LPPOINT out) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || out == nullptr) return FALSE;
  *out = dc->state.*field;
  return TRUE;
}

template <class T>
T swapState(HDC hdc, T DcState::*field, T value, T failure) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return failure;
  T old = dc->state.*field;
  dc->state.*field = value;
  return old;
}

template <class T>
T readState(HDC hdc, T DcState::*field, T failure) {
  Dc* dc = dcOf(hdc);
  return dc == nullptr ? failure : dc->state.*field;
}

}  // namespace

BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT old) { return setPoint(dc, &DcState::windowOrg, x, y, false, old); }
BOOL GetWindowOrgEx(HDC dc, LPPOINT org) { return getPoint(dc, &DcState::windowOrg, org); }
BOOL OffsetWindowOrgEx(HDC dc, int x, int y, LPPOINT old) {
  return setPoint(dc, &DcState::windowOrg, x, y, true, old);
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old) {
  return setPoint(dc, &DcState::viewportOrg, x, y, false, old);
}
BOOL GetViewportOrgEx(HDC dc, LPPOINT org) { return getPoint(dc, &DcState::viewportOrg, org); }
BOOL OffsetViewportOrgEx(HDC dc, int x, int y, LPPOINT old) {
  return setPoint(dc, &DcState::viewportOrg, x, y, true, old);
}
BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT old) { return setPoint(dc, &DcState::brushOrg, x, y, false, old); }
BOOL GetBrushOrgEx(HDC dc, LPPOINT org) { return getPoint(dc, &DcState::brushOrg, org); }

BOOL GetDCOrgEx(HDC hdc, LPPOINT org) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || org == nullptr) return FALSE;
  *org = dc->origin;
  return TRUE;
}

BOOL LPtoDP(HDC hdc, LPPOINT pts, int count) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || (pts == nullptr && count > 0)) return FALSE;
  for (int i = 0; i < count; ++i) pts[i] = dc->toDevice(pts[i]);
  return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT pts, int count) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || (pts == nullptr && count > 0)) return FALSE;
  const DcState& s = dc->state;
  for (int i = 0; i < count; ++i)
    pts[i] = {pts[i].x - s.viewportOrg.x + s.windowOrg.x, pts[i].y - s.viewportOrg.y + s.windowOrg.y};
  return TRUE;
}

int SetMapMode(HDC dc, int mode) {
  if (mode != MM_TEXT) return 0;
  return swapState(dc, &DcState::mapMode, mode, 0);
}
int GetMapMode(HDC dc) { return readState(dc, &DcState::mapMode, 0); }

int GetDeviceCaps(HDC hdc, int index) {
  if (dcOf(hdc) == nullptr) return 0;
  const auto& p = qv::desktop::profile();
  switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return p.screenWidth * 254 / (p.dpi * 10);
    case VERTSIZE: return p.screenHeight * 254 / (p.dpi * 10);
    case HORZRES:
    case DESKTOPHORZRES: return p.screenWidth;
    case VERTRES:
    case DESKTOPVERTRES: return p.screenHeight;
    case BITSPIXEL: return p.bitsPerPixel;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS: return p.bitsPerPixel > 8 ? -1 : 1 << p.bitsPerPixel;
    case NUMFONTS: return 0;
    case RASTERCAPS:
      return RC_BITBLT | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_DIBTODEV | RC_BIGFONT | RC_STRETCHBLT |
             RC_FLOODFILL | RC_STRETCHDIB | (p.bitsPerPixel <= 8 ? RC_PALETTE : 0);
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return p.dpi;
    case SIZEPALETTE: return p.bitsPerPixel <= 8 ? 1 << p.bitsPerPixel : 0;
    case NUMRESERVED: return 20;
    case COLORRES: return 24;
    case VREFRESH: return 60;
    case BLTALIGNMENT: return 0;
    default: return 0;
  }
}

int SetROP2(HDC dc, int rop2) {
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return swapState(dc, &DcState::rop2, rop2, 0);
}
int GetROP2(HDC dc) { return readState(dc, &DcState::rop2, 0); }
COLORREF SetBkColor(HDC dc, COLORREF c) { return swapState(dc, &DcState::bkColor, c & 0xFFFFFFu, CLR_INVALID); }
COLORREF GetBkColor(HDC dc) { return readState(dc, &DcState::bkColor, CLR_INVALID); }
int SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return swapState(dc, &DcState::bkMode, mode, 0);
}
int GetBkMode(HDC dc) { return readState(dc, &DcState::bkMode, 0); }
COLORREF SetTextColor(HDC dc, COLORREF c) {
  return swapState(dc, &DcState::textColor, c & 0xFFFFFFu, CLR_INVALID);
}
COLORREF GetTextColor(HDC dc) { return readState(dc, &DcState::textColor, CLR_INVALID); }
UINT SetTextAlign(HDC dc, UINT align) { return swapState(dc, &DcState::textAlign, align, GDI_ERROR); }
UINT GetTextAlign(HDC dc) { return readState(dc, &DcState::textAlign, GDI_ERROR); }
int SetStretchBltMode(HDC dc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return swapState(dc, &DcState::stretchMode, mode, 0);
}
int GetStretchBltMode(HDC dc) { return readState(dc, &DcState::stretchMode, 0); }
int SetPolyFillMode(HDC dc, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return swapState(dc, &DcState::polyFillMode, mode, 0);
}
int GetPolyFillMode(HDC dc) { return readState(dc, &DcState::polyFillMode, 0); }
COLORREF SetDCBrushColor(HDC dc, COLORREF c) {
  return swapState(dc, &DcState::dcBrushColor, c & 0xFFFFFFu, CLR_INVALID);
}
COLORREF GetDCBrushColor(HDC dc) { return readState(dc, &DcState::dcBrushColor, CLR_INVALID); }
COLORREF SetDCPenColor(HDC dc, COLORREF c) { return swapState(dc, &DcState::dcPenColor, c & 0xFFFFFFu, CLR_INVALID); }
COLORREF GetDCPenColor(HDC dc) { return readState(dc, &DcState::dcPenColor, CLR_INVALID); }

COLORREF GetNearestColor(HDC hdc, COLORREF c) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return CLR_INVALID;
  // Palette-relative and palette-index forms carry flags in the top byte.
  c &= 0xFFFFFFu;
  if (dc->surface && dc->surface->mono) return monoPixelOf(c) != 0 ? RGB(255, 255, 255) : RGB(0, 0, 0);
  return c;
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old) { return setPoint(hdc, &DcState::pos, x, y, false, old); }
BOOL GetCurrentPositionEx(HDC dc, LPPOINT pos) { return getPoint(dc, &DcState::pos, pos); }
