#include "platform/os/gdi/Brush.h"

#include <cstring>

#include "platform/os/gdi/Dc.h"

namespace qv::os::gdi {

int Brush::getObject(int size, void* out) const {
  if (out == nullptr) return sizeof(LOGBRUSH);
  if (size < static_cast<int>(sizeof(LOGBRUSH))) return 0;
  LOGBRUSH lb{style, color, 0};
  if (style == BS_HATCHED) lb.lbHatch = static_cast<ULONG_PTR>(hatch);
  if (style == BS_PATTERN) lb.lbHatch = reinterpret_cast<ULONG_PTR>(patternSource);
  std::memcpy(out, &lb, sizeof lb);
  return sizeof(LOGBRUSH);
}

Brush* brushOf(HBRUSH h) { return lookupAs<Brush>(h, OBJ_BRUSH); }

namespace {

int wrap(int v, int n) {
  int r = v % n;
  return r < 0 ? r + n : r;
}

// The 8 x 8 hatch patterns: 0 marks a line pixel (foreground).
std::shared_ptr<Surface> hatchPattern(int hatch) {
  auto s = makeSurface(8, 8, true);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      bool line = false;
      switch (hatch) {
        case HS_HORIZONTAL: line = y == 3; break;
        case HS_VERTICAL: line = x == 4; break;
        case HS_FDIAGONAL: line = x == y; break;
        case HS_BDIAGONAL: line = x == 7 - y; break;
        case HS_CROSS: line = x == 4 || y == 3; break;
        case HS_DIAGCROSS: line = x == y || x == 7 - y; break;
        default: break;
      }
      s->row(y)[x] = line ? 0u : 0xFFFFFFu;
    }
  return s;
}

}  // namespace

std::uint32_t Paint::at(int x, int y) const {
  if (solid) return pixel;
  std::uint32_t v = pattern->row(wrap(y - orgY, pattern->height))[wrap(x - orgX, pattern->width)];
  if (monoPattern) return (v & 0xFFFFFFu) ? back : fore;
  if (toMono) return monoPixelOf(colorOf(v));
  return v & 0xFFFFFFu;
}

bool Paint::covers(int x, int y) const {
  if (!transparentBack) return true;
  return (pattern->row(wrap(y - orgY, pattern->height))[wrap(x - orgX, pattern->width)] & 0xFFFFFFu) == 0;
}

Paint solidPaint(Dc& dc, COLORREF c) {
  Paint p;
  p.none = false;
  p.pixel = dc.surface && dc.surface->mono ? monoPixelOf(c) : pixelOf(c);
  return p;
}

Paint paintOf(Dc& dc, HBRUSH h) {
  Brush* b = brushOf(h);
  Paint p;
  if (b == nullptr || b->style == BS_NULL) return p;
  if (b->style == BS_SOLID) return solidPaint(dc, b->dcBrush ? dc.state.dcBrushColor : b->color);
  bool monoDst = dc.surface && dc.surface->mono;
  auto convert = [&](COLORREF c) { return monoDst ? monoPixelOf(c) : pixelOf(c); };
  p.none = false;
  p.solid = false;
  p.orgX = dc.state.brushOrg.x + dc.origin.x;
  p.orgY = dc.state.brushOrg.y + dc.origin.y;
  if (b->style == BS_HATCHED) {
    p.pattern = b->pattern.get();
    p.monoPattern = true;
    p.fore = convert(b->color);
    p.back = convert(dc.state.bkColor);
    p.transparentBack = dc.state.bkMode == TRANSPARENT;
    return p;
  }
  p.pattern = b->pattern.get();
  p.monoPattern = b->pattern->mono;
  p.fore = convert(dc.state.textColor);
  p.back = convert(dc.state.bkColor);
  p.toMono = !p.monoPattern && monoDst;
  return p;
}

}  // namespace qv::os::gdi

using namespace qv::os::gdi;

HBRUSH CreateSolidBrush(COLORREF c) {
  auto b = std::make_unique<Brush>();
  b->style = BS_SOLID;
  b->color = c & 0xFFFFFFu;
  return addObjectAs<HBRUSH>(std::move(b));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF c) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  auto b = std::make_unique<Brush>();
  b->style = BS_HATCHED;
  b->hatch = hatch;
  b->color = c & 0xFFFFFFu;
  b->pattern = hatchPattern(hatch);
  return addObjectAs<HBRUSH>(std::move(b));
}

HBRUSH CreatePatternBrush(HBITMAP bmp) {
  Surface* s = surfaceOf(bmp);
  if (s == nullptr) return nullptr;
  SurfaceUse use(s, false);
  auto copy = makeSurface(s->width, s->height, s->mono);
  for (int y = 0; y < s->height; ++y) std::memcpy(copy->row(y), s->row(y), static_cast<size_t>(s->width) * 4);
  auto b = std::make_unique<Brush>();
  b->style = BS_PATTERN;
  b->patternSource = bmp;
  b->pattern = copy;
  return addObjectAs<HBRUSH>(std::move(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
  if (lb == nullptr) return nullptr;
  switch (lb->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb->lbColor);
    case BS_NULL: {
      auto b = std::make_unique<Brush>();
      b->style = BS_NULL;
      return addObjectAs<HBRUSH>(std::move(b));
    }
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(lb->lbHatch), lb->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8: return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    default: return nullptr;
  }
}
