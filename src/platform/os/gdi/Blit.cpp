#include "platform/os/gdi/Blit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/os/gdi/Bitmap.h"

namespace qv::os::gdi {
namespace {

constexpr std::uint32_t kRgb = 0x00FFFFFFu;

enum class Convert { None, MonoToColour, ColourToMono };

// How source pixels read for one blit.
struct Source {
  const Surface* surface = nullptr;
  Convert convert = Convert::None;
  std::uint32_t fore = 0;  // monochrome 0 bits on colour
  std::uint32_t back = 0;  // monochrome 1 bits on colour
  std::uint32_t key = 0;   // the colour that becomes 1 on monochrome

  std::uint32_t get(std::uint32_t v) const {
    switch (convert) {
      case Convert::MonoToColour: return (v & kRgb) ? back : fore;
      case Convert::ColourToMono: return (v & kRgb) == key ? kRgb : 0u;
      default: return v;
    }
  }
};

struct Blit {
  Dc* dst = nullptr;
  // Destination rectangle on the destination surface.
  int left = 0, top = 0, width = 0, height = 0;
  // Source column and row for each destination column and row; -1 where
  // the source has no pixel.
  std::vector<int> xmap, ymap;
  Source src;
  std::uint8_t code = 0xCC;
  Paint paint;
  // MaskBlt: the mask's pixel for destination (left, top), and the code for
  // its 0 bits.
  const Surface* mask = nullptr;
  int maskX = 0, maskY = 0;
  std::uint8_t backCode = 0xCC;
};

template <class Op>
void runRows(const Blit& b, const pixman_box32_t* boxes, int n, Op op) {
  Surface& d = *b.dst->surface;
  const bool patterned = !b.paint.solid && ropUsesPattern(b.code);
  for (int i = 0; i < n; ++i)
    for (int y = boxes[i].y1; y < boxes[i].y2; ++y) {
      int sy = b.ymap.empty() ? 0 : b.ymap[static_cast<size_t>(y - b.top)];
      if (sy < 0) continue;
      const std::uint32_t* srow = b.src.surface != nullptr ? b.src.surface->row(sy) : nullptr;
      std::uint32_t* drow = d.row(y);
      for (int x = boxes[i].x1; x < boxes[i].x2; ++x) {
        int sx = b.xmap.empty() ? 0 : b.xmap[static_cast<size_t>(x - b.left)];
        if (sx < 0 || (patterned && !b.paint.covers(x, y))) continue;
        std::uint32_t s = srow != nullptr ? b.src.get(srow[sx]) : 0u;
        std::uint32_t p = patterned ? b.paint.at(x, y) : b.paint.pixel;
        drow[x] = op(p, s, drow[x], x, y);
      }
    }
}

// A stretched plain copy: each destination row is gathered from its source
// row once, and a row that shows the same source row again is a copy of the
// one above it where every pixel of the row has a source.
void copyStretched(const Blit& b, const pixman_box32_t* boxes, int n) {
  Surface& d = *b.dst->surface;
  for (int i = 0; i < n; ++i) {
    const int x1 = boxes[i].x1, x2 = boxes[i].x2;
    const int* xm = b.xmap.data() + (x1 - b.left);
    const bool whole = std::all_of(xm, xm + (x2 - x1), [](int sx) { return sx >= 0; });
    int lastSource = -1;
    const std::uint32_t* lastRow = nullptr;
    for (int y = boxes[i].y1; y < boxes[i].y2; ++y) {
      const int sy = b.ymap[static_cast<size_t>(y - b.top)];
      if (sy < 0) continue;
      std::uint32_t* drow = d.row(y);
      if (whole && sy == lastSource && lastRow != nullptr) {
        std::memcpy(drow + x1, lastRow + x1, static_cast<size_t>(x2 - x1) * 4);
      } else {
        const std::uint32_t* srow = b.src.surface->row(sy);
        if (whole) {
          std::uint32_t* out = drow + x1;
          const int count = x2 - x1;
          int x = 0;
          for (; x + 4 <= count; x += 4) {
            const std::uint32_t p0 = srow[xm[x]], p1 = srow[xm[x + 1]], p2 = srow[xm[x + 2]], p3 = srow[xm[x + 3]];
            out[x] = p0;
            out[x + 1] = p1;
            out[x + 2] = p2;
            out[x + 3] = p3;
          }
          for (; x < count; ++x) out[x] = srow[xm[x]];
        } else {
          for (int x = 0; x < x2 - x1; ++x)
            if (xm[x] >= 0) drow[x1 + x] = srow[xm[x]];
        }
      }
      lastSource = sy;
      lastRow = drow;
    }
  }
}

void run(const Blit& b) {
  RegionData part = b.dst->visiblePart(b.left, b.top, b.left + b.width, b.top + b.height);
  int n = 0;
  const pixman_box32_t* boxes = part.boxes(n);
  if (b.code == 0xCC && b.mask == nullptr && b.src.convert == Convert::None && b.src.surface != nullptr &&
      !b.xmap.empty() && !b.ymap.empty()) {
    copyStretched(b, boxes, n);
    return;
  }
  if (b.mask != nullptr) {
    runRows(b, boxes, n, [&](std::uint32_t p, std::uint32_t s, std::uint32_t d, int x, int y) {
      bool fore = (b.mask->row(y - b.top + b.maskY)[x - b.left + b.maskX] & kRgb) != 0;
      std::uint8_t c = fore ? b.code : b.backCode;
      if (c == 0xCC && b.src.convert == Convert::None) return s;
      return rop3(c, p, s, d) & kRgb;
    });
    return;
  }
  bool direct = b.src.convert == Convert::None;
  auto go = [&](auto op) { runRows(b, boxes, n, op); };
  switch (b.code) {
    // A plain copy keeps all 32 bits; every other operation writes alpha 0.
    case 0xCC:
      if (direct) go([](std::uint32_t, std::uint32_t s, std::uint32_t, int, int) { return s; });
      else go([](std::uint32_t, std::uint32_t s, std::uint32_t, int, int) { return s & kRgb; });
      break;
    case 0x88: go([](std::uint32_t, std::uint32_t s, std::uint32_t d, int, int) { return s & d & kRgb; }); break;
    case 0xEE: go([](std::uint32_t, std::uint32_t s, std::uint32_t d, int, int) { return (s | d) & kRgb; }); break;
    case 0x66: go([](std::uint32_t, std::uint32_t s, std::uint32_t d, int, int) { return (s ^ d) & kRgb; }); break;
    case 0x44: go([](std::uint32_t, std::uint32_t s, std::uint32_t d, int, int) { return s & ~d & kRgb; }); break;
    case 0x33: go([](std::uint32_t, std::uint32_t s, std::uint32_t, int, int) { return ~s & kRgb; }); break;
    case 0xC0: go([](std::uint32_t p, std::uint32_t s, std::uint32_t, int, int) { return p & s & kRgb; }); break;
    default: {
      std::uint8_t c = b.code;
      go([c](std::uint32_t p, std::uint32_t s, std::uint32_t d, int, int) { return rop3(c, p, s, d) & kRgb; });
    }
  }
}

// Plain copies between surfaces of one kind go row by row.
bool copyRows(const Blit& b, int offX, int offY) {
  if (b.code != 0xCC || b.src.convert != Convert::None || b.mask != nullptr) return false;
  RegionData part = b.dst->visiblePart(b.left, b.top, b.left + b.width, b.top + b.height);
  int n = 0;
  const pixman_box32_t* boxes = part.boxes(n);
  Surface& d = *b.dst->surface;
  for (int i = 0; i < n; ++i)
    for (int y = boxes[i].y1; y < boxes[i].y2; ++y)
      std::memmove(d.row(y) + boxes[i].x1, b.src.surface->row(y + offY) + boxes[i].x1 + offX,
                   static_cast<size_t>(boxes[i].x2 - boxes[i].x1) * 4);
  return true;
}

// Source positions for destination pixels [from, to) of `count`.
std::vector<int> axisMap(int count, int srcStart, int srcCount, bool mirror, int limit, int from, int to) {
  std::vector<int> map;
  map.reserve(static_cast<size_t>(to - from));
  for (int i = from; i < to; ++i) {
    long long j = mirror ? count - 1 - i : i;
    // Each destination pixel takes the source pixel its left edge falls in.
    long long s = srcStart + j * srcCount / count;
    map.push_back((s >= 0 && s < limit) ? static_cast<int>(s) : -1);
  }
  return map;
}

BOOL transfer(HDC hdst, int x, int y, int width, int height, HDC hsrc, int srcX, int srcY, int srcWidth,
              int srcHeight, DWORD rop, bool stretch, HBITMAP maskBitmap, int maskX, int maskY, DWORD rop4) {
  Dc* dst = dcOf(hdst);
  if (dst == nullptr) return FALSE;
  std::uint8_t code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
  std::uint8_t backCode = static_cast<std::uint8_t>((rop4 >> 24) & 0xFF);
  bool needSource = ropUsesSource(code) || (maskBitmap != nullptr && ropUsesSource(backCode));
  Dc* src = needSource ? dcOf(hsrc) : nullptr;
  if (needSource && (src == nullptr || !src->surface)) return FALSE;
  if (!dst->surface) return TRUE;

  Blit b;
  b.dst = dst;
  b.code = code;
  b.backCode = backCode;
  if (ropUsesPattern(code) || (maskBitmap != nullptr && ropUsesPattern(backCode)))
    b.paint = paintOf(*dst, dst->state.brush);
  width = clampCoord(width), height = clampCoord(height);
  srcWidth = clampCoord(srcWidth), srcHeight = clampCoord(srcHeight);
  bool mirrorX = false, mirrorY = false;
  POINT d0 = dst->toDevice(POINT{x, y});
  if (width < 0) {
    d0.x += width;
    width = -width;
    mirrorX = !mirrorX;
  }
  if (height < 0) {
    d0.y += height;
    height = -height;
    mirrorY = !mirrorY;
  }
  if (width == 0 || height == 0) return TRUE;
  b.left = d0.x + dst->origin.x;
  b.top = d0.y + dst->origin.y;
  b.width = width;
  b.height = height;

  Surface* srcSurface = nullptr;
  std::shared_ptr<Surface> temp;
  POINT s0{0, 0};
  if (src != nullptr) {
    s0 = src->toDevice(POINT{srcX, srcY});
    if (!stretch) {
      srcWidth = width;
      srcHeight = height;
    }
    if (srcWidth < 0) {
      s0.x += srcWidth;
      srcWidth = -srcWidth;
      mirrorX = !mirrorX;
    }
    if (srcHeight < 0) {
      s0.y += srcHeight;
      srcHeight = -srcHeight;
      mirrorY = !mirrorY;
    }
    if (srcWidth == 0 || srcHeight == 0) return TRUE;
    s0.x += src->origin.x;
    s0.y += src->origin.y;
    srcSurface = src->surface.get();
    b.src.surface = srcSurface;
    bool monoSrc = srcSurface->mono, monoDst = dst->surface->mono;
    if (monoSrc && !monoDst) {
      b.src.convert = Convert::MonoToColour;
      b.src.fore = pixelOf(dst->state.textColor);
      b.src.back = pixelOf(dst->state.bkColor);
    } else if (!monoSrc && monoDst) {
      b.src.convert = Convert::ColourToMono;
      b.src.key = pixelOf(src->state.bkColor);
    }
  }

  Surface* maskSurface = nullptr;
  if (maskBitmap != nullptr) {
    maskSurface = surfaceOf(maskBitmap);
    if (maskSurface == nullptr || !maskSurface->mono || maskX < 0 || maskY < 0 ||
        maskX + width > maskSurface->width || maskY + height > maskSurface->height)
      return FALSE;
    b.mask = maskSurface;
    b.maskX = maskX;
    b.maskY = maskY;
  }

  SurfaceUse readSource(src != nullptr && srcSurface != dst->surface.get() ? srcSurface : nullptr, false);
  SurfaceUse write(dst->surface.get());
  if (srcSurface != nullptr && srcSurface == dst->surface.get()) {
    // Source and destination share pixels: read from a copy of the source.
    int l = std::max(0, s0.x), t = std::max(0, s0.y);
    int r = std::min(srcSurface->width, s0.x + srcWidth), btm = std::min(srcSurface->height, s0.y + srcHeight);
    if (l >= r || t >= btm) return TRUE;
    temp = makeSurface(r - l, btm - t, srcSurface->mono);
    for (int row = t; row < btm; ++row)
      std::memcpy(temp->row(row - t), srcSurface->row(row) + l, static_cast<size_t>(r - l) * 4);
    s0.x -= l;
    s0.y -= t;
    srcSurface = temp.get();
    b.src.surface = srcSurface;
  }

  bool identity = srcSurface != nullptr && !mirrorX && !mirrorY && srcWidth == width && srcHeight == height;
  if (srcSurface == nullptr) {
    run(b);
  } else if (identity) {
    // Only where the source has pixels.
    int offX = s0.x - b.left, offY = s0.y - b.top;
    int l = std::max(b.left, -offX), t = std::max(b.top, -offY);
    int r = std::min(b.left + b.width, srcSurface->width - offX);
    int btm = std::min(b.top + b.height, srcSurface->height - offY);
    if (l >= r || t >= btm) return TRUE;
    b.maskX += l - b.left;
    b.maskY += t - b.top;
    b.left = l;
    b.top = t;
    b.width = r - l;
    b.height = btm - t;
    if (!copyRows(b, offX, offY)) {
      b.xmap.resize(static_cast<size_t>(b.width));
      b.ymap.resize(static_cast<size_t>(b.height));
      for (int i = 0; i < b.width; ++i) b.xmap[static_cast<size_t>(i)] = l + offX + i;
      for (int i = 0; i < b.height; ++i) b.ymap[static_cast<size_t>(i)] = t + offY + i;
      run(b);
    }
  } else {
    // Maps only for the columns and rows that can show.
    const pixman_box32_t* e = pixman_region32_extents(dst->drawable());
    int l = std::max(b.left, e->x1), r = std::min(b.left + b.width, e->x2);
    int t = std::max(b.top, e->y1), btm = std::min(b.top + b.height, e->y2);
    if (l >= r || t >= btm) return TRUE;
    b.xmap = axisMap(b.width, s0.x, srcWidth, mirrorX, srcSurface->width, l - b.left, r - b.left);
    b.ymap = axisMap(b.height, s0.y, srcHeight, mirrorY, srcSurface->height, t - b.top, btm - b.top);
    b.left = l;
    b.top = t;
    b.width = r - l;
    b.height = btm - t;
    run(b);
  }
  return TRUE;
}

}  // namespace
}  // namespace qv::os::gdi

using namespace qv::os::gdi;

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
  return transfer(dst, x, y, width, height, src, srcX, srcY, width, height, rop, false, nullptr, 0, 0, 0);
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop) {
  return transfer(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop, true, nullptr, 0, 0, 0);
}

BOOL MaskBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, HBITMAP mask, int maskX,
             int maskY, DWORD rop4) {
  if (mask == nullptr) return BitBlt(dst, x, y, width, height, src, srcX, srcY, rop4 & 0x00FFFFFFu);
  if (width < 0 || height < 0) return FALSE;
  return transfer(dst, x, y, width, height, src, srcX, srcY, width, height, rop4 & 0x00FFFFFFu, false, mask, maskX,
                  maskY, rop4);
}
