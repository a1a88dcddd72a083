#include "platform/modules/Msimg32.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/desktop/Profile.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/kernel/Module.h"

namespace qv::modules {

namespace {

using qv::os::gdi::Dc;
using qv::os::gdi::Surface;
using qv::os::gdi::SurfaceUse;

// a * b / 255, rounded to nearest, as 8-bit blending does it.
inline std::uint32_t mul255(std::uint32_t a, std::uint32_t b) {
  const std::uint32_t t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

// Monochrome bitmaps hold only black and white: a result drawn on one
// becomes the nearer of the two.
inline std::uint32_t fit(const Surface* s, std::uint32_t v) {
  if (!s->mono) return v;
  return ((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF) >= 384 ? 0xFFFFFFu : 0u;
}

BOOL fail() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

// A destination rectangle in surface coordinates with its clip.
struct Target {
  Dc* dc = nullptr;
  Surface* surface = nullptr;
  int left = 0, top = 0;  // surface coordinates of the rectangle's corner
  bool writable(int sx, int sy) {
    return surface->contains(sx, sy) && pixman_region32_contains_point(dc->drawable(), sx, sy, nullptr);
  }
};

bool target(HDC h, int x, int y, Target& t) {
  t.dc = qv::os::gdi::dcOf(h);
  if (t.dc == nullptr || t.dc->surface == nullptr) return false;
  t.surface = t.dc->surface.get();
  const POINT d = t.dc->toDevice(POINT{x, y});
  t.left = d.x + t.dc->origin.x;
  t.top = d.y + t.dc->origin.y;
  return true;
}

// The source rectangle's pixels, read before anything is written so that
// a source overlapping its destination reads the original pixels. False
// when the rectangle leaves the source bitmap.
bool readSource(HDC h, int x, int y, int w, int h2, std::vector<std::uint32_t>& out) {
  Dc* dc = qv::os::gdi::dcOf(h);
  if (dc == nullptr || dc->surface == nullptr) return false;
  const POINT d = dc->toDevice(POINT{x, y});
  const int sx = d.x + dc->origin.x, sy = d.y + dc->origin.y;
  Surface* s = dc->surface.get();
  if (sx < 0 || sy < 0 || sx + w > s->width || sy + h2 > s->height) return false;
  SurfaceUse use(s, false);
  out.resize(static_cast<size_t>(w) * h2);
  for (int j = 0; j < h2; ++j)
    for (int i = 0; i < w; ++i) out[static_cast<size_t>(j) * w + i] = s->row(sy + j)[sx + i];
  return true;
}

// Blends each destination pixel with its nearest source pixel.
template <class Op>
BOOL blit(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth, int srcHeight,
          Op op) {
  if (width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0) return fail();
  Target t;
  std::vector<std::uint32_t> pixels;
  if (!target(dst, x, y, t) || !readSource(src, srcX, srcY, srcWidth, srcHeight, pixels)) return fail();
  if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return TRUE;
  SurfaceUse write(t.surface);
  // Only the part that lands on the bitmap is visited, however large the
  // rectangle.
  const int j0 = std::max(0, -t.top), j1 = static_cast<int>(std::min<long long>(height, 1LL * t.surface->height - t.top));
  const int i0 = std::max(0, -t.left), i1 = static_cast<int>(std::min<long long>(width, 1LL * t.surface->width - t.left));
  for (int j = j0; j < j1; ++j) {
    const int sj = static_cast<int>(static_cast<long long>(j) * srcHeight / height);
    for (int i = i0; i < i1; ++i) {
      const int px = t.left + i, py = t.top + j;
      if (!t.writable(px, py)) continue;
      const int si = static_cast<int>(static_cast<long long>(i) * srcWidth / width);
      std::uint32_t& d = t.surface->row(py)[px];
      op(pixels[static_cast<size_t>(sj) * srcWidth + si], d);
      d = fit(t.surface, d);
    }
  }
  return TRUE;
}

// Per-pixel alpha without stretching goes through pixman, whose OVER
// rounds each product as the loop in `blit` does (a * b / 255 to nearest,
// sums saturated), so the bytes are the same. Not for monochrome bitmaps,
// a source that shares the destination's pixels or bottom-up memory: false
// leaves those to `blit`.
bool blendWithPixman(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                     std::uint32_t constant) {
  Target t;
  Dc* from = qv::os::gdi::dcOf(src);
  if (!target(dst, x, y, t) || from == nullptr || from->surface == nullptr) return false;
  Surface* s = from->surface.get();
  if (s == t.surface || s->mono || t.surface->mono || s->stride <= 0 || t.surface->stride <= 0) return false;
  const POINT d = from->toDevice(POINT{srcX, srcY});
  const int sx = d.x + from->origin.x, sy = d.y + from->origin.y;
  if (sx < 0 || sy < 0 || sx + width > s->width || sy + height > s->height) return false;
  SurfaceUse read(s, false);
  SurfaceUse write(t.surface);
  pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, s->width, s->height, s->bits,
                                                    static_cast<int>(s->stride * 4));
  pixman_image_t* target = pixman_image_create_bits(PIXMAN_a8r8g8b8, t.surface->width, t.surface->height,
                                                    t.surface->bits, static_cast<int>(t.surface->stride * 4));
  pixman_image_t* mask = nullptr;
  if (constant != 255) {
    const pixman_color_t alpha{0, 0, 0, static_cast<std::uint16_t>(constant * 257)};
    mask = pixman_image_create_solid_fill(&alpha);
  }
  // pixman copies the clip; it only lacks the const.
  pixman_image_set_clip_region32(target, const_cast<pixman_region32_t*>(t.dc->drawable()));
  pixman_image_composite32(PIXMAN_OP_OVER, source, mask, target, sx, sy, 0, 0, t.left, t.top, width, height);
  if (mask) pixman_image_unref(mask);
  pixman_image_unref(target);
  pixman_image_unref(source);
  return true;
}

// One 16-bit component interpolated at `pos` of `span`, high byte taken.
inline std::uint32_t lerp(COLOR16 a, COLOR16 b, long long pos, long long span) {
  const long long v = a + (static_cast<long long>(b) - a) * pos / span;
  return static_cast<std::uint32_t>(std::clamp<long long>(v, 0, 0xFFFF) >> 8);
}

inline std::uint32_t pack(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

void fillRectGradient(Target& t, const TRIVERTEX& a, const TRIVERTEX& b, bool vertical) {
  Dc* dc = t.dc;
  const POINT pa = dc->toDevice(POINT{a.x, a.y}), pb = dc->toDevice(POINT{b.x, b.y});
  const int ox = dc->origin.x, oy = dc->origin.y;
  const int left = std::min(pa.x, pb.x) + ox, right = std::max(pa.x, pb.x) + ox;
  const int top = std::min(pa.y, pb.y) + oy, bottom = std::max(pa.y, pb.y) + oy;
  // The colours run from the first vertex to the second, whichever way
  // round the rectangle was given.
  const long long from = vertical ? pa.y + oy : pa.x + ox;
  const long long span = vertical ? static_cast<long long>(pb.y) - pa.y : static_cast<long long>(pb.x) - pa.x;
  if (span == 0) return;
  // What of the rectangle may be drawn, in surface coordinates.
  qv::os::gdi::RegionData part(std::max(left, 0), std::max(top, 0), std::min(right, t.surface->width),
                               std::min(bottom, t.surface->height));
  pixman_region32_intersect(part.raw(), part.raw(), dc->drawable());
  int n = 0;
  const pixman_box32_t* boxes = part.boxes(n);
  if (n == 0) return;
  // The colour depends on one coordinate only: each is worked out once.
  const RECT extents = part.box();
  const int first = vertical ? extents.top : extents.left, last = vertical ? extents.bottom : extents.right;
  std::vector<std::uint32_t> colours(static_cast<size_t>(last - first));
  for (int i = first; i < last; ++i) {
    const long long pos = i - from;
    colours[static_cast<size_t>(i - first)] =
        fit(t.surface, pack(lerp(a.Red, b.Red, pos, span), lerp(a.Green, b.Green, pos, span),
                            lerp(a.Blue, b.Blue, pos, span), lerp(a.Alpha, b.Alpha, pos, span)));
  }
  for (int i = 0; i < n; ++i)
    for (int y = boxes[i].y1; y < boxes[i].y2; ++y) {
      std::uint32_t* row = t.surface->row(y);
      if (vertical)
        std::fill(row + boxes[i].x1, row + boxes[i].x2, colours[static_cast<size_t>(y - first)]);
      else
        std::copy_n(colours.data() + (boxes[i].x1 - first), boxes[i].x2 - boxes[i].x1, row + boxes[i].x1);
    }
}

void fillTriangle(Target& t, const TRIVERTEX& a, const TRIVERTEX& b, const TRIVERTEX& c) {
  Dc* dc = t.dc;
  const POINT p[3] = {dc->toDevice(POINT{a.x, a.y}), dc->toDevice(POINT{b.x, b.y}), dc->toDevice(POINT{c.x, c.y})};
  const TRIVERTEX* v[3] = {&a, &b, &c};
  const long long area = static_cast<long long>(p[1].x - p[0].x) * (p[2].y - p[0].y) -
                         static_cast<long long>(p[2].x - p[0].x) * (p[1].y - p[0].y);
  if (area == 0) return;
  // The bounding box, cut to the bitmap (device = surface - origin).
  const int ox = dc->origin.x, oy = dc->origin.y;
  const int left = std::max(std::min({p[0].x, p[1].x, p[2].x}), -ox);
  const int right = std::min(std::max({p[0].x, p[1].x, p[2].x}), t.surface->width - ox);
  const int top = std::max(std::min({p[0].y, p[1].y, p[2].y}), -oy);
  const int bottom = std::min(std::max({p[0].y, p[1].y, p[2].y}), t.surface->height - oy);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      // Barycentric weights at the pixel's centre, in doubled coordinates.
      const long long cx = 2LL * x + 1, cy = 2LL * y + 1;
      long long w[3];
      for (int k = 0; k < 3; ++k) {
        const POINT& e0 = p[(k + 1) % 3];
        const POINT& e1 = p[(k + 2) % 3];
        w[k] = (2LL * e1.x - 2LL * e0.x) * (cy - 2LL * e0.y) - (2LL * e1.y - 2LL * e0.y) * (cx - 2LL * e0.x);
        if (area < 0) w[k] = -w[k];
      }
      if (w[0] < 0 || w[1] < 0 || w[2] < 0) continue;
      const int sx = x + dc->origin.x, sy = y + dc->origin.y;
      if (!t.writable(sx, sy)) continue;
      // Weights of far-apart vertices times 16-bit colours overflow 64 bits.
      const double total = static_cast<double>(w[0]) + static_cast<double>(w[1]) + static_cast<double>(w[2]);
      auto mix = [&](COLOR16 TRIVERTEX::*field) {
        double s = 0;
        for (int k = 0; k < 3; ++k) s += static_cast<double>(w[k]) * (v[k]->*field);
        return static_cast<std::uint32_t>(std::clamp(s / total, 0.0, 65535.0)) >> 8;
      };
      t.surface->row(sy)[sx] = fit(t.surface, pack(mix(&TRIVERTEX::Red), mix(&TRIVERTEX::Green),
                                                   mix(&TRIVERTEX::Blue), mix(&TRIVERTEX::Alpha)));
    }
}

const bool kRegistered = (registerMsimg32(), true);

}  // namespace

void registerMsimg32() {
  (void)kRegistered;
  qv::os::StandInModule m;
  m.fileName = "msimg32.dll";
  m.exports = {
      qv::os::StandInExport::of("AlphaBlend", &::AlphaBlend),
      qv::os::StandInExport::of("GradientFill", &::GradientFill),
      qv::os::StandInExport::of("TransparentBlt", &::TransparentBlt),
  };
  m.available = [] { return qv::desktop::profile().msimg32; };
  qv::os::registerStandInModule(std::move(m));
}

}  // namespace qv::modules

BOOL AlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, BLENDFUNCTION blend) {
  using namespace qv::modules;
  if (blend.BlendOp != AC_SRC_OVER || (blend.AlphaFormat & ~AC_SRC_ALPHA) != 0) return fail();
  const std::uint32_t constant = blend.SourceConstantAlpha;
  const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  if (perPixel && width > 0 && height > 0 && width == srcWidth && height == srcHeight &&
      blendWithPixman(dst, x, y, width, height, src, srcX, srcY, constant))
    return TRUE;
  return blit(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, [&](std::uint32_t s, std::uint32_t& d) {
    // The source scaled by the constant alpha, then over the destination
    // by its own (premultiplied) or the constant alpha.
    const std::uint32_t sa = perPixel ? mul255(s >> 24, constant) : constant;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const std::uint32_t sc = (s >> shift) & 0xFF;
      const std::uint32_t dc = (d >> shift) & 0xFF;
      const std::uint32_t v = std::min<std::uint32_t>(255, mul255(sc, constant) + mul255(dc, 255 - sa));
      out |= v << shift;
    }
    d = out;
  });
}

BOOL GradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh, ULONG meshCount, ULONG mode) {
  using namespace qv::modules;
  Target t;
  if (vertices == nullptr || mesh == nullptr || !target(dc, 0, 0, t)) return fail();
  mode &= GRADIENT_FILL_OP_FLAG;
  if (mode > GRADIENT_FILL_TRIANGLE) return fail();
  SurfaceUse write(t.surface);
  for (ULONG i = 0; i < meshCount; ++i) {
    if (mode == GRADIENT_FILL_TRIANGLE) {
      const auto& tri = static_cast<const GRADIENT_TRIANGLE*>(mesh)[i];
      if (tri.Vertex1 >= vertexCount || tri.Vertex2 >= vertexCount || tri.Vertex3 >= vertexCount) return fail();
      fillTriangle(t, vertices[tri.Vertex1], vertices[tri.Vertex2], vertices[tri.Vertex3]);
    } else {
      const auto& r = static_cast<const GRADIENT_RECT*>(mesh)[i];
      if (r.UpperLeft >= vertexCount || r.LowerRight >= vertexCount) return fail();
      fillRectGradient(t, vertices[r.UpperLeft], vertices[r.LowerRight], mode == GRADIENT_FILL_RECT_V);
    }
  }
  return TRUE;
}

BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                    int srcHeight, UINT transparent) {
  using namespace qv::modules;
  const std::uint32_t key = qv::os::gdi::pixelOf(transparent) & 0xFFFFFFu;
  return blit(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, [key](std::uint32_t s, std::uint32_t& d) {
    if ((s & 0xFFFFFFu) != key) d = s & 0xFFFFFFu;
  });
}
