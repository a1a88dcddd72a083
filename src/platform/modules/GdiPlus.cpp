#include "platform/modules/GdiPlus.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Paths.h"

// The library's objects. Pixels are straight (not premultiplied) ARGB.
struct GpBrush {
  explicit GpBrush(GpBrushType t) : type(t) {}
  virtual ~GpBrush() = default;
  virtual GpBrush* clone() const = 0;
  // The colour at a point of graphics coordinates (a pixel centre).
  virtual ARGB at(double x, double y) const = 0;
  GpBrushType type;
};

struct GpSolidFill : GpBrush {
  explicit GpSolidFill(ARGB c) : GpBrush(BrushTypeSolidColor), color(c) {}
  GpBrush* clone() const override { return new GpSolidFill(*this); }
  ARGB at(double, double) const override { return color; }
  ARGB color;
};

namespace {
ARGB lerp(ARGB a, ARGB b, double t) {
  ARGB out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double ca = (a >> shift) & 0xFF;
    const double cb = (b >> shift) & 0xFF;
    const long v = std::lround(ca + (cb - ca) * t);
    out |= static_cast<ARGB>(std::clamp<long>(v, 0, 255)) << shift;
  }
  return out;
}
}  // namespace

struct GpLineGradient : GpBrush {
  GpLineGradient() : GpBrush(BrushTypeLinearGradient) {}
  GpBrush* clone() const override { return new GpLineGradient(*this); }
  ARGB at(double x, double y) const override {
    const double u = (x - rect.X) / rect.Width;
    const double v = (y - rect.Y) / rect.Height;
    double t = 0;
    switch (mode) {
      case LinearGradientModeHorizontal: t = u; break;
      case LinearGradientModeVertical: t = v; break;
      case LinearGradientModeForwardDiagonal: t = (u + v) / 2; break;
      case LinearGradientModeBackwardDiagonal: t = ((1 - u) + v) / 2; break;
    }
    if (wrap == WrapModeTileFlipX || wrap == WrapModeTileFlipXY) {
      double p = t - 2 * std::floor(t / 2);
      t = p > 1 ? 2 - p : p;
    } else {
      t -= std::floor(t);
    }
    return lerp(color1, color2, t);
  }
  GpRect rect{0, 0, 1, 1};
  ARGB color1 = 0;
  ARGB color2 = 0;
  LinearGradientMode mode = LinearGradientModeHorizontal;
  GpWrapMode wrap = WrapModeTile;
};

struct GpHatch : GpBrush {
  GpHatch() : GpBrush(BrushTypeHatchFill) {}
  GpBrush* clone() const override { return new GpHatch(*this); }
  ARGB at(double fx, double fy) const override {
    const int x = static_cast<int>(std::floor(fx)) & 7;
    const int y = static_cast<int>(std::floor(fy)) & 7;
    const bool h = y == 0, v = x == 0, f = ((x - y) & 7) == 0, b = ((x + y) & 7) == 7;
    bool on = false;
    switch (style) {
      case HatchStyleHorizontal: on = h; break;
      case HatchStyleVertical: on = v; break;
      case HatchStyleForwardDiagonal: on = f; break;
      case HatchStyleBackwardDiagonal: on = b; break;
      case HatchStyleCross: on = h || v; break;
      case HatchStyleDiagonalCross: on = f || b; break;
      default: on = ((x + y) & 1) == 0; break;  // the other styles: a 50 % grid
    }
    return on ? fore : back;
  }
  GpHatchStyle style = HatchStyleHorizontal;
  ARGB fore = 0;
  ARGB back = 0;
};

struct GpPen {
  std::unique_ptr<GpBrush> brush;
  REAL width = 1;
  GpUnit unit = UnitWorld;
  GpPenAlignment alignment = PenAlignmentCenter;
};

struct GpImage {
  virtual ~GpImage() = default;
  int width = 0;
  int height = 0;
  ::PixelFormat format = PixelFormat32bppARGB;
  std::vector<std::uint32_t> px;  // top-down, straight ARGB
  // LockBits.
  bool locked = false;
  GpRect lockRect{0, 0, 0, 0};
  UINT lockFlags = 0;
  ::PixelFormat lockFormat = 0;
  std::vector<BYTE> lockBuffer;
  // A graphics object's GDI device context (GdipGetDC) is out.
  bool busy = false;
};

struct GpBitmap : GpImage {};

struct GpCachedBitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> px;
};

struct GpGraphics {
  HDC dc = nullptr;           // a graphics over a DC
  GpImage* image = nullptr;   // or over an image
  InterpolationMode interpolation = InterpolationModeBilinear;
  CompositingMode compositing = CompositingModeSourceOver;
  CompositingQuality quality = CompositingQualityDefault;
  SmoothingMode smoothing = SmoothingModeNone;
  // GdipGetDC on an image graphics: a memory DC over a copy of its pixels.
  HDC tempDc = nullptr;
  HBITMAP tempBitmap = nullptr;
  HGDIOBJ tempOld = nullptr;
};

namespace qv::modules {

namespace {

struct State {
  std::set<ULONG_PTR> tokens;
  ULONG_PTR nextToken = 1;
  std::set<ULONG_PTR> hooks;
};

State& st() {
  static State* s = [] {
    auto* made = new State;
    qv::desktop::onReset([made] { *made = State{}; });
    return made;
  }();
  return *s;
}

bool started() { return !st().tokens.empty(); }

bool hasAlphaFormat(::PixelFormat f) { return f == PixelFormat32bppARGB || f == PixelFormat32bppPARGB; }
bool knownFormat(::PixelFormat f) {
  return f == PixelFormat24bppRGB || f == PixelFormat32bppRGB || f == PixelFormat32bppARGB ||
         f == PixelFormat32bppPARGB;
}

std::uint32_t premultiply(std::uint32_t p) {
  const std::uint32_t a = p >> 24;
  if (a == 255) return p;
  auto ch = [&](int s) { return (((p >> s) & 0xFF) * a + 127) / 255; };
  return (a << 24) | (ch(16) << 16) | (ch(8) << 8) | ch(0);
}
std::uint32_t unpremultiply(std::uint32_t p) {
  const std::uint32_t a = p >> 24;
  if (a == 255) return p;
  if (a == 0) return 0;
  auto ch = [&](int s) { return std::min<std::uint32_t>(255, (((p >> s) & 0xFF) * 255 + a / 2) / a); };
  return (a << 24) | (ch(16) << 16) | (ch(8) << 8) | ch(0);
}

// Source-over of a straight ARGB colour. Onto a DC the destination is
// opaque and keeps its alpha byte; onto an image the alphas compose.
std::uint32_t compose(ARGB s, std::uint32_t d, bool dcTarget, bool copy) {
  const std::uint32_t sa = s >> 24;
  if (copy) return dcTarget ? (s & 0xFFFFFFu) | (d & 0xFF000000u) : s;
  if (sa == 0) return d;
  if (sa == 255) return dcTarget ? (s & 0xFFFFFFu) | (d & 0xFF000000u) : s;
  if (dcTarget) {
    auto ch = [&](int sh) { return ((((s >> sh) & 0xFF) * sa + ((d >> sh) & 0xFF) * (255 - sa) + 127) / 255) << sh; };
    return (d & 0xFF000000u) | ch(16) | ch(8) | ch(0);
  }
  const std::uint32_t da = d >> 24;
  const std::uint32_t outA = sa + (da * (255 - sa) + 127) / 255;
  if (outA == 0) return 0;
  auto ch = [&](int sh) {
    const std::uint64_t num = static_cast<std::uint64_t>((s >> sh) & 0xFF) * sa * 255 +
                              static_cast<std::uint64_t>((d >> sh) & 0xFF) * da * (255 - sa);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(255, (num + outA * 255 / 2) / (outA * 255))) << sh;
  };
  return (outA << 24) | ch(16) | ch(8) | ch(0);
}

constexpr int kCoordLimit = 1 << 24;
int clampCoord(long long v) { return static_cast<int>(std::clamp<long long>(v, -kCoordLimit, kCoordLimit)); }

// Calls shade(x, y) for every pixel of [l, r) x [t, b) in graphics
// coordinates that the target lets us draw, and composes its colour.
template <class Shade>
void paintRect(GpGraphics& g, long long l, long long t, long long r, long long b, Shade&& shade) {
  const bool copy = g.compositing == CompositingModeSourceCopy;
  if (g.image) {
    GpImage& im = *g.image;
    const int x0 = clampCoord(std::max<long long>(l, 0)), x1 = clampCoord(std::min<long long>(r, im.width));
    const int y0 = clampCoord(std::max<long long>(t, 0)), y1 = clampCoord(std::min<long long>(b, im.height));
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        std::uint32_t& p = im.px[static_cast<size_t>(y) * im.width + x];
        p = compose(shade(x, y), p, false, copy);
        if (!hasAlphaFormat(im.format)) p |= 0xFF000000u;
      }
    return;
  }
  qv::os::gdi::Dc* d = qv::os::gdi::dcOf(g.dc);
  if (!d || !d->surface) return;
  const long long dx = static_cast<long long>(d->origin.x) - d->state.windowOrg.x + d->state.viewportOrg.x;
  const long long dy = static_cast<long long>(d->origin.y) - d->state.windowOrg.y + d->state.viewportOrg.y;
  qv::os::gdi::RegionData area =
      d->visiblePart(clampCoord(l + dx), clampCoord(t + dy), clampCoord(r + dx), clampCoord(b + dy));
  int n = 0;
  const pixman_box32_t* boxes = area.boxes(n);
  if (n == 0) return;
  qv::os::gdi::Surface* s = d->surface.get();
  qv::os::gdi::SurfaceUse use(s);
  for (int i = 0; i < n; ++i)
    for (int y = boxes[i].y1; y < boxes[i].y2; ++y) {
      std::uint32_t* row = s->row(y);
      for (int x = boxes[i].x1; x < boxes[i].x2; ++x) {
        std::uint32_t v = compose(shade(static_cast<int>(x - dx), static_cast<int>(y - dy)), row[x], true, copy);
        row[x] = s->mono ? ((((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF)) >= 384 ? 0xFFFFFFu : 0u) : v;
      }
    }
}

// The rows and columns of graphics coordinates that the target has, so that
// shapes far larger than it cost no more than the target itself.
struct Bounds {
  long long left, top, right, bottom;
};
Bounds targetBounds(const GpGraphics& g) {
  if (g.image) return {0, 0, g.image->width, g.image->height};
  qv::os::gdi::Dc* d = qv::os::gdi::dcOf(g.dc);
  if (!d || !d->surface) return {0, 0, 0, 0};
  const long long dx = static_cast<long long>(d->origin.x) - d->state.windowOrg.x + d->state.viewportOrg.x;
  const long long dy = static_cast<long long>(d->origin.y) - d->state.windowOrg.y + d->state.viewportOrg.y;
  return {-dx, -dy, d->surface->width - dx, d->surface->height - dy};
}

void fillWithBrush(GpGraphics& g, const GpBrush& brush, long long l, long long t, long long r, long long b) {
  paintRect(g, l, t, r, b, [&](int x, int y) { return brush.at(x + 0.5, y + 0.5); });
}

// Spans of a polygon at pixel centres.
void fillPolygon(GpGraphics& g, const GpBrush& brush, const std::vector<GpPointF>& pts, bool winding) {
  if (pts.size() < 3) return;
  double minY = pts[0].Y, maxY = pts[0].Y;
  for (const GpPointF& p : pts) {
    minY = std::min<double>(minY, p.Y);
    maxY = std::max<double>(maxY, p.Y);
  }
  const Bounds area = targetBounds(g);
  const long long y0 = std::max<long long>(area.top, static_cast<long long>(std::floor(std::max(minY, -1e15))));
  const long long y1 = std::min<long long>(area.bottom, static_cast<long long>(std::ceil(std::min(maxY, 1e15))));
  std::vector<std::pair<double, int>> xs;
  for (long long y = y0; y < y1; ++y) {
    const double cy = static_cast<double>(y) + 0.5;
    xs.clear();
    for (size_t i = 0; i < pts.size(); ++i) {
      const GpPointF& a = pts[i];
      const GpPointF& c = pts[(i + 1) % pts.size()];
      if ((a.Y <= cy && c.Y > cy) || (c.Y <= cy && a.Y > cy))
        xs.push_back({a.X + (cy - a.Y) * (c.X - a.X) / (c.Y - a.Y), c.Y > a.Y ? 1 : -1});
    }
    std::sort(xs.begin(), xs.end());
    int wind = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      wind += xs[i].second;
      const bool inside = winding ? wind != 0 : (i % 2) == 0;
      if (!inside) continue;
      const long long xa = static_cast<long long>(std::ceil(xs[i].first - 0.5));
      const long long xb = static_cast<long long>(std::ceil(xs[i + 1].first - 0.5));
      if (xb > xa) fillWithBrush(g, brush, xa, y, xb, y + 1);
    }
  }
}

// Cuts a line to a box (Liang-Barsky); false when nothing of it is inside.
bool clipLine(double& x1, double& y1, double& x2, double& y2, const Bounds& b, double margin) {
  double t0 = 0, t1 = 1;
  const double dx = x2 - x1, dy = y2 - y1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - (b.left - margin), (b.right + margin) - x1, y1 - (b.top - margin), (b.bottom + margin) - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  const double ax = x1 + t0 * dx, ay = y1 + t0 * dy;
  x2 = x1 + t1 * dx;
  y2 = y1 + t1 * dy;
  x1 = ax;
  y1 = ay;
  return true;
}

// Aliased line with both end points, as the library draws them.
void drawLine(GpGraphics& g, const GpPen& pen, double x1, double y1, double x2, double y2) {
  const int w = std::clamp(static_cast<int>(std::lround(pen.width)), 1, 1 << 12);
  const int before = (w - 1) / 2;
  // Only the part near the target is walked. Lines inside it keep their
  // exact pixels; a line cut at the margin may step differently by a pixel
  // where it enters, which costs less than walking millions of pixels.
  if (!clipLine(x1, y1, x2, y2, targetBounds(g), w + 2.0)) return;
  long long x = std::llround(x1), y = std::llround(y1);
  const long long ex = std::llround(x2), ey = std::llround(y2);
  const long long adx = std::llabs(ex - x), ady = -std::llabs(ey - y);
  const int sx = x < ex ? 1 : -1, sy = y < ey ? 1 : -1;
  long long err = adx + ady;
  for (long long guard = 0; guard <= 4 * kCoordLimit; ++guard) {
    fillWithBrush(g, *pen.brush, x - before, y - before, x - before + w, y - before + w);
    if (x == ex && y == ey) break;
    const long long e2 = 2 * err;
    if (e2 >= ady) {
      err += ady;
      x += sx;
    }
    if (e2 <= adx) {
      err += adx;
      y += sy;
    }
  }
}

void drawPolyline(GpGraphics& g, const GpPen& pen, const std::vector<GpPointF>& pts, bool closed) {
  for (size_t i = 0; i + 1 < pts.size(); ++i) drawLine(g, pen, pts[i].X, pts[i].Y, pts[i + 1].X, pts[i + 1].Y);
  if (closed && pts.size() > 2) drawLine(g, pen, pts.back().X, pts.back().Y, pts[0].X, pts[0].Y);
}

std::vector<GpPointF> arcPoints(double x, double y, double w, double h, double start, double sweep) {
  std::vector<GpPointF> out;
  const double rx = w / 2, ry = h / 2, cx = x + rx, cy = y + ry;
  const int steps = std::clamp(static_cast<int>(std::fabs(sweep) / 360.0 * (rx + ry) * 2), 4, 720);
  for (int i = 0; i <= steps; ++i) {
    const double a = (start + sweep * i / steps) * M_PI / 180.0;
    out.push_back({static_cast<REAL>(cx + rx * std::cos(a)), static_cast<REAL>(cy + ry * std::sin(a))});
  }
  return out;
}

void bezierPoints(std::vector<GpPointF>& out, GpPointF p0, GpPointF p1, GpPointF p2, GpPointF p3) {
  const int steps = 32;
  for (int i = out.empty() ? 0 : 1; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps, u = 1 - t;
    out.push_back({static_cast<REAL>(u * u * u * p0.X + 3 * u * u * t * p1.X + 3 * u * t * t * p2.X + t * t * t * p3.X),
                   static_cast<REAL>(u * u * u * p0.Y + 3 * u * u * t * p1.Y + 3 * u * t * t * p2.Y + t * t * t * p3.Y)});
  }
}

// A cardinal spline through the points, flattened.
std::vector<GpPointF> curvePoints(const GpPoint* pts, int count, double tension, bool closed) {
  std::vector<GpPointF> out;
  auto p = [&](int i) {
    if (closed) i = ((i % count) + count) % count;
    else i = std::clamp(i, 0, count - 1);
    return GpPointF{static_cast<REAL>(pts[i].X), static_cast<REAL>(pts[i].Y)};
  };
  const int segments = closed ? count : count - 1;
  const double k = tension / 3;
  for (int i = 0; i < segments; ++i) {
    const GpPointF a = p(i), b = p(i + 1), before = p(i - 1), after = p(i + 2);
    const GpPointF c1{static_cast<REAL>(a.X + k * (b.X - before.X)), static_cast<REAL>(a.Y + k * (b.Y - before.Y))};
    const GpPointF c2{static_cast<REAL>(b.X - k * (after.X - a.X)), static_cast<REAL>(b.Y - k * (after.Y - a.Y))};
    bezierPoints(out, a, c1, c2, b);
  }
  return out;
}

std::vector<GpPointF> toFloat(const GpPoint* pts, int count) {
  std::vector<GpPointF> out;
  for (int i = 0; i < count; ++i) out.push_back({static_cast<REAL>(pts[i].X), static_cast<REAL>(pts[i].Y)});
  return out;
}

bool ready(GpGraphics* g) { return g && !(g->image && g->image->busy) && !g->tempDc; }

GpBitmap* newBitmap(int w, int h, ::PixelFormat f) {
  auto* b = new GpBitmap;
  b->width = w;
  b->height = h;
  b->format = f;
  b->px.assign(static_cast<size_t>(w) * h, hasAlphaFormat(f) ? 0u : 0xFF000000u);
  return b;
}

GpBitmap* bitmapFromImage(const qv::os::gdi::Image& img) {
  auto* b = new GpBitmap;
  b->width = img.width;
  b->height = img.height;
  b->format = img.hasAlpha ? PixelFormat32bppARGB : (img.bitDepth == 32 ? PixelFormat32bppRGB : PixelFormat24bppRGB);
  b->px = img.pixels;
  if (!img.hasAlpha)
    for (auto& p : b->px) p |= 0xFF000000u;
  return b;
}

GpStatus decodeBytes(const std::vector<std::uint8_t>& bytes, GpBitmap** out) {
  qv::os::gdi::Image img;
  if (!qv::os::gdi::decodeImage(bytes.data(), bytes.size(), img)) return UnknownImageFormat;
  *out = bitmapFromImage(img);
  return Ok;
}

GpStatus fromStream(IStream* stream, GpBitmap** out) {
  if (!stream || !out) return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  std::vector<std::uint8_t> bytes;
  if (!readWholeStream(stream, bytes)) return Win32Error;
  return decodeBytes(bytes, out);
}

GpStatus fromFile(const WCHAR* fileName, GpBitmap** out) {
  if (!fileName || !out) return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  const auto host = qv::os::toHostPath(qv::os::utf16ToAnsi(fileName));
  std::vector<std::uint8_t> bytes;
  if (!host || !qv::os::gdi::readHostFile(*host, bytes)) return FileNotFound;
  return decodeBytes(bytes, out);
}

// Bilinear or nearest sampling of a source rectangle, clamped to it.
struct Sampler {
  const GpImage& im;
  double sx, sy, sw, sh;
  bool nearest;
  int x0, y0, x1, y1;  // the source rectangle's pixels, inclusive, inside the image

  std::uint32_t pixel(int x, int y) const {
    return im.px[static_cast<size_t>(std::clamp(y, y0, y1)) * im.width + std::clamp(x, x0, x1)];
  }
  std::uint32_t at(double fx, double fy) const {
    if (nearest) return pixel(static_cast<int>(std::floor(fx)), static_cast<int>(std::floor(fy)));
    const double gx = fx - 0.5, gy = fy - 0.5;
    const int ix = static_cast<int>(std::floor(gx)), iy = static_cast<int>(std::floor(gy));
    const double ax = gx - ix, ay = gy - iy;
    const std::uint32_t q[4] = {premultiply(pixel(ix, iy)), premultiply(pixel(ix + 1, iy)),
                                premultiply(pixel(ix, iy + 1)), premultiply(pixel(ix + 1, iy + 1))};
    const double wgt[4] = {(1 - ax) * (1 - ay), ax * (1 - ay), (1 - ax) * ay, ax * ay};
    std::uint32_t out = 0;
    for (int sh2 = 0; sh2 < 32; sh2 += 8) {
      double v = 0;
      for (int i = 0; i < 4; ++i) v += wgt[i] * ((q[i] >> sh2) & 0xFF);
      out |= static_cast<std::uint32_t>(std::clamp<long>(std::lround(v), 0, 255)) << sh2;
    }
    return unpremultiply(out);
  }
};

GpStatus drawImage(GpGraphics* g, GpImage* image, double dx, double dy, double dw, double dh, double sx, double sy,
                   double sw, double sh, GpUnit unit) {
  if (!g || !image) return InvalidParameter;
  if (!ready(g) || image->busy || g->image == image) return ObjectBusy;
  if (unit != UnitPixel) return NotImplemented;
  if (image->width == 0 || image->height == 0 || dw == 0 || dh == 0 || sw <= 0 || sh <= 0) return Ok;
  const int x0 = std::clamp(static_cast<int>(std::floor(sx)), 0, image->width - 1);
  const int y0 = std::clamp(static_cast<int>(std::floor(sy)), 0, image->height - 1);
  const int x1 = std::clamp(static_cast<int>(std::ceil(sx + sw)) - 1, x0, image->width - 1);
  const int y1 = std::clamp(static_cast<int>(std::ceil(sy + sh)) - 1, y0, image->height - 1);
  const bool nearest = g->interpolation == InterpolationModeNearestNeighbor ||
                       (std::fabs(dw - sw) < 1e-9 && std::fabs(dh - sh) < 1e-9);
  const Sampler s{*image, sx, sy, sw, sh, nearest, x0, y0, x1, y1};
  const long long l = std::llround(std::min(dx, dx + dw)), r = std::llround(std::max(dx, dx + dw));
  const long long t = std::llround(std::min(dy, dy + dh)), b = std::llround(std::max(dy, dy + dh));
  paintRect(*g, l, t, r, b, [&](int x, int y) {
    return s.at(sx + (x + 0.5 - dx) * sw / dw, sy + (y + 0.5 - dy) * sh / dh);
  });
  return Ok;
}

// Bytes per pixel of the formats we lock and load.
int bytesPer(::PixelFormat f) { return f == PixelFormat24bppRGB ? 3 : 4; }

void packPixel(std::uint32_t p, ::PixelFormat f, BYTE* out) {
  if (f == PixelFormat24bppRGB) {
    out[0] = static_cast<BYTE>(p);
    out[1] = static_cast<BYTE>(p >> 8);
    out[2] = static_cast<BYTE>(p >> 16);
    return;
  }
  if (f == PixelFormat32bppPARGB) p = premultiply(p);
  if (f == PixelFormat32bppRGB) p |= 0xFF000000u;
  std::memcpy(out, &p, 4);
}

std::uint32_t unpackPixel(const BYTE* in, ::PixelFormat f) {
  if (f == PixelFormat24bppRGB) return 0xFF000000u | in[0] | (in[1] << 8) | (static_cast<std::uint32_t>(in[2]) << 16);
  std::uint32_t p;
  std::memcpy(&p, in, 4);
  if (f == PixelFormat32bppPARGB) return unpremultiply(p);
  if (f == PixelFormat32bppRGB) return p | 0xFF000000u;
  return p;
}

const std::u16string kCodecName = u"Built-in PNG Codec";
const std::u16string kFormatDescription = u"PNG";
const std::u16string kExtensions = u"*.PNG";
const std::u16string kMime = u"image/png";
const std::u16string kDll;

size_t encoderStringBytes() {
  return (kCodecName.size() + kFormatDescription.size() + kExtensions.size() + kMime.size() + kDll.size() + 5) *
         sizeof(WCHAR);
}

}  // namespace

int gdiplusStartupCount() { return static_cast<int>(st().tokens.size()); }

}  // namespace qv::modules

using namespace qv::modules;

void* GdipAlloc(size_t size) { return std::malloc(size ? size : 1); }
void GdipFree(void* ptr) { std::free(ptr); }

namespace {
Status notificationHook(ULONG_PTR* token) {
  if (!token) return InvalidParameter;
  State& s = st();
  *token = 0x4000 + s.nextToken++;
  s.hooks.insert(*token);
  return Ok;
}
void notificationUnhook(ULONG_PTR token) { st().hooks.erase(token); }
}  // namespace

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
  if (!token || !input) return InvalidParameter;
  if (input->GdiplusVersion != 1) return UnsupportedGdiplusVersion;
  if (input->SuppressBackgroundThread && !output) return InvalidParameter;
  if (output) {
    output->NotificationHook = &notificationHook;
    output->NotificationUnhook = &notificationUnhook;
  }
  State& s = st();
  *token = s.nextToken++;
  s.tokens.insert(*token);
  return Ok;
}

void GdiplusShutdown(ULONG_PTR token) { st().tokens.erase(token); }

// Brushes.
GpStatus GdipCloneBrush(GpBrush* brush, GpBrush** clone) {
  if (!brush || !clone) return InvalidParameter;
  *clone = brush->clone();
  return Ok;
}
GpStatus GdipDeleteBrush(GpBrush* brush) {
  if (!brush) return InvalidParameter;
  delete brush;
  return Ok;
}
GpStatus GdipGetBrushType(GpBrush* brush, GpBrushType* type) {
  if (!brush || !type) return InvalidParameter;
  *type = brush->type;
  return Ok;
}
GpStatus GdipCreateSolidFill(ARGB color, GpSolidFill** brush) {
  if (!brush) return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  *brush = new GpSolidFill(color);
  return Ok;
}
GpStatus GdipSetSolidFillColor(GpSolidFill* brush, ARGB color) {
  if (!brush) return InvalidParameter;
  brush->color = color;
  return Ok;
}
GpStatus GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color) {
  if (!brush || !color) return InvalidParameter;
  *color = brush->color;
  return Ok;
}
GpStatus GdipCreateLineBrushFromRectI(const GpRect* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                      GpWrapMode wrap, GpLineGradient** brush) {
  if (!rect || !brush || mode < LinearGradientModeHorizontal || mode > LinearGradientModeBackwardDiagonal ||
      wrap == WrapModeClamp || wrap < WrapModeTile || wrap > WrapModeClamp)
    return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  // An empty rectangle has no direction: the library answers OutOfMemory.
  if (rect->Width == 0 || rect->Height == 0) return OutOfMemory;
  auto* b = new GpLineGradient;
  b->rect = *rect;
  b->color1 = color1;
  b->color2 = color2;
  b->mode = mode;
  b->wrap = wrap;
  *brush = b;
  return Ok;
}
GpStatus GdipGetLineRectI(GpLineGradient* brush, GpRect* rect) {
  if (!brush || !rect) return InvalidParameter;
  *rect = brush->rect;
  return Ok;
}
GpStatus GdipSetLineColors(GpLineGradient* brush, ARGB color1, ARGB color2) {
  if (!brush) return InvalidParameter;
  brush->color1 = color1;
  brush->color2 = color2;
  return Ok;
}
GpStatus GdipGetLineColors(GpLineGradient* brush, ARGB* colors) {
  if (!brush || !colors) return InvalidParameter;
  colors[0] = brush->color1;
  colors[1] = brush->color2;
  return Ok;
}
GpStatus GdipSetLineWrapMode(GpLineGradient* brush, GpWrapMode wrap) {
  if (!brush || wrap < WrapModeTile || wrap >= WrapModeClamp) return InvalidParameter;
  brush->wrap = wrap;
  return Ok;
}
GpStatus GdipGetLineWrapMode(GpLineGradient* brush, GpWrapMode* wrap) {
  if (!brush || !wrap) return InvalidParameter;
  *wrap = brush->wrap;
  return Ok;
}
GpStatus GdipCreateHatchBrush(GpHatchStyle style, ARGB fore, ARGB back, GpHatch** brush) {
  if (!brush || style < HatchStyleHorizontal || style > HatchStyleMax) return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  auto* b = new GpHatch;
  b->style = style;
  b->fore = fore;
  b->back = back;
  *brush = b;
  return Ok;
}
GpStatus GdipGetHatchStyle(GpHatch* brush, GpHatchStyle* style) {
  if (!brush || !style) return InvalidParameter;
  *style = brush->style;
  return Ok;
}
GpStatus GdipGetHatchForegroundColor(GpHatch* brush, ARGB* color) {
  if (!brush || !color) return InvalidParameter;
  *color = brush->fore;
  return Ok;
}
GpStatus GdipGetHatchBackgroundColor(GpHatch* brush, ARGB* color) {
  if (!brush || !color) return InvalidParameter;
  *color = brush->back;
  return Ok;
}

// Pens.
GpStatus GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen) {
  if (!pen || width < 0) return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  auto* p = new GpPen;
  p->brush = std::make_unique<GpSolidFill>(color);
  p->width = width;
  p->unit = unit;
  *pen = p;
  return Ok;
}
GpStatus GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen) {
  if (!pen || !brush || width < 0) return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  auto* p = new GpPen;
  p->brush.reset(brush->clone());
  p->width = width;
  p->unit = unit;
  *pen = p;
  return Ok;
}
GpStatus GdipClonePen(GpPen* pen, GpPen** clone) {
  if (!pen || !clone) return InvalidParameter;
  auto* p = new GpPen;
  p->brush.reset(pen->brush->clone());
  p->width = pen->width;
  p->unit = pen->unit;
  p->alignment = pen->alignment;
  *clone = p;
  return Ok;
}
GpStatus GdipDeletePen(GpPen* pen) {
  if (!pen) return InvalidParameter;
  delete pen;
  return Ok;
}
GpStatus GdipGetPenFillType(GpPen* pen, GpPenType* type) {
  if (!pen || !type) return InvalidParameter;
  *type = static_cast<GpPenType>(pen->brush->type);
  return Ok;
}
GpStatus GdipSetPenBrushFill(GpPen* pen, GpBrush* brush) {
  if (!pen || !brush) return InvalidParameter;
  pen->brush.reset(brush->clone());
  return Ok;
}
GpStatus GdipGetPenBrushFill(GpPen* pen, GpBrush** brush) {
  if (!pen || !brush) return InvalidParameter;
  *brush = pen->brush->clone();  // the caller deletes it
  return Ok;
}
GpStatus GdipSetPenColor(GpPen* pen, ARGB color) {
  if (!pen) return InvalidParameter;
  pen->brush = std::make_unique<GpSolidFill>(color);
  return Ok;
}
GpStatus GdipGetPenColor(GpPen* pen, ARGB* color) {
  if (!pen || !color) return InvalidParameter;
  if (pen->brush->type != BrushTypeSolidColor) return WrongState;
  *color = static_cast<GpSolidFill*>(pen->brush.get())->color;
  return Ok;
}
GpStatus GdipSetPenMode(GpPen* pen, GpPenAlignment mode) {
  if (!pen || (mode != PenAlignmentCenter && mode != PenAlignmentInset)) return InvalidParameter;
  pen->alignment = mode;
  return Ok;
}
GpStatus GdipGetPenMode(GpPen* pen, GpPenAlignment* mode) {
  if (!pen || !mode) return InvalidParameter;
  *mode = pen->alignment;
  return Ok;
}
GpStatus GdipSetPenWidth(GpPen* pen, REAL width) {
  if (!pen || width < 0) return InvalidParameter;
  pen->width = width;
  return Ok;
}
GpStatus GdipGetPenWidth(GpPen* pen, REAL* width) {
  if (!pen || !width) return InvalidParameter;
  *width = pen->width;
  return Ok;
}

// Graphics.
GpStatus GdipCreateFromHDC(HDC dc, GpGraphics** graphics) {
  if (!graphics || !qv::os::gdi::dcOf(dc)) return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  auto* g = new GpGraphics;
  g->dc = dc;
  *graphics = g;
  return Ok;
}
GpStatus GdipDeleteGraphics(GpGraphics* graphics) {
  if (!graphics) return InvalidParameter;
  if (graphics->tempDc) GdipReleaseDC(graphics, graphics->tempDc);
  delete graphics;
  return Ok;
}
GpStatus GdipGetDC(GpGraphics* graphics, HDC* dc) {
  if (!graphics || !dc) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  if (graphics->dc) {
    *dc = graphics->dc;
    return Ok;
  }
  GpImage& im = *graphics->image;
  graphics->tempBitmap = qv::os::gdi::createBitmapFromPixels(im.width, im.height, im.px.data());
  graphics->tempDc = CreateCompatibleDC(nullptr);
  graphics->tempOld = SelectObject(graphics->tempDc, graphics->tempBitmap);
  im.busy = true;
  *dc = graphics->tempDc;
  return Ok;
}
GpStatus GdipReleaseDC(GpGraphics* graphics, HDC dc) {
  if (!graphics || !dc) return InvalidParameter;
  if (graphics->dc) return dc == graphics->dc ? Ok : InvalidParameter;
  if (dc != graphics->tempDc) return InvalidParameter;
  GpImage& im = *graphics->image;
  qv::os::gdi::Image back;
  SelectObject(graphics->tempDc, graphics->tempOld);
  if (qv::os::gdi::imageFromBitmap(graphics->tempBitmap, back) && back.width == im.width && back.height == im.height) {
    im.px = back.pixels;
    // GDI leaves alpha 0 where it drew; formats without alpha stay opaque.
    if (!hasAlphaFormat(im.format))
      for (auto& p : im.px) p |= 0xFF000000u;
  }
  DeleteDC(graphics->tempDc);
  DeleteObject(graphics->tempBitmap);
  graphics->tempDc = nullptr;
  graphics->tempBitmap = nullptr;
  im.busy = false;
  return Ok;
}
GpStatus GdipGraphicsClear(GpGraphics* graphics, ARGB color) {
  if (!graphics) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  const CompositingMode keep = graphics->compositing;
  graphics->compositing = CompositingModeSourceCopy;
  paintRect(*graphics, -kCoordLimit, -kCoordLimit, kCoordLimit, kCoordLimit, [&](int, int) { return color; });
  graphics->compositing = keep;
  return Ok;
}
GpStatus GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2) {
  if (!graphics || !pen) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  drawLine(*graphics, *pen, x1, y1, x2, y2);
  return Ok;
}
GpStatus GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height) {
  if (!graphics || !brush) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  if (width <= 0 || height <= 0) return Ok;
  fillWithBrush(*graphics, *brush, x, y, static_cast<long long>(x) + width, static_cast<long long>(y) + height);
  return Ok;
}
GpStatus GdipDrawArcI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL start, REAL sweep) {
  if (!graphics || !pen || width <= 0 || height <= 0) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  drawPolyline(*graphics, *pen, arcPoints(x, y, width, height, start, sweep), false);
  return Ok;
}
GpStatus GdipDrawBezierI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4,
                         INT y4) {
  if (!graphics || !pen) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  std::vector<GpPointF> pts;
  auto f = [](INT a, INT b) { return GpPointF{static_cast<REAL>(a), static_cast<REAL>(b)}; };
  bezierPoints(pts, f(x1, y1), f(x2, y2), f(x3, y3), f(x4, y4));
  drawPolyline(*graphics, *pen, pts, false);
  return Ok;
}
GpStatus GdipDrawRectangleI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height) {
  if (!graphics || !pen) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  const REAL l = static_cast<REAL>(x), t = static_cast<REAL>(y), r = static_cast<REAL>(x + width),
             b = static_cast<REAL>(y + height);
  drawPolyline(*graphics, *pen, {{l, t}, {r, t}, {r, b}, {l, b}}, true);
  return Ok;
}
GpStatus GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height) {
  if (!graphics || !pen) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  drawPolyline(*graphics, *pen, arcPoints(x, y, width, height, 0, 360), true);
  return Ok;
}
GpStatus GdipDrawPieI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL start, REAL sweep) {
  if (!graphics || !pen || width <= 0 || height <= 0) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  auto pts = arcPoints(x, y, width, height, start, sweep);
  pts.insert(pts.begin(), GpPointF{static_cast<REAL>(x + width / 2.0), static_cast<REAL>(y + height / 2.0)});
  drawPolyline(*graphics, *pen, pts, true);
  return Ok;
}
GpStatus GdipDrawPolygonI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count) {
  if (!graphics || !pen || !points || count < 2) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  drawPolyline(*graphics, *pen, toFloat(points, count), true);
  return Ok;
}
GpStatus GdipDrawCurve2I(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count, REAL tension) {
  if (!graphics || !pen || !points || count < 2) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  drawPolyline(*graphics, *pen, curvePoints(points, count, tension, false), false);
  return Ok;
}
GpStatus GdipDrawClosedCurve2I(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count, REAL tension) {
  if (!graphics || !pen || !points || count < 3) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  drawPolyline(*graphics, *pen, curvePoints(points, count, tension, true), true);
  return Ok;
}
GpStatus GdipFillPolygonI(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count, INT fillMode) {
  if (!graphics || !brush || !points || count < 1 || (fillMode != 0 && fillMode != 1)) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  fillPolygon(*graphics, *brush, toFloat(points, count), fillMode == 1);
  return Ok;
}
GpStatus GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height) {
  if (!graphics || !brush) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  if (width <= 0 || height <= 0) return Ok;
  const double rx = width / 2.0, ry = height / 2.0, cx = x + rx, cy = y + ry;
  const Bounds area = targetBounds(*graphics);
  const long long rowEnd = std::min<long long>(static_cast<long long>(y) + height, area.bottom);
  for (long long row = std::max<long long>(y, area.top); row < rowEnd; ++row) {
    const double v = (row + 0.5 - cy) / ry;
    if (v * v > 1) continue;
    const double half = rx * std::sqrt(1 - v * v);
    const long long xa = static_cast<long long>(std::ceil(cx - half - 0.5));
    const long long xb = static_cast<long long>(std::floor(cx + half - 0.5)) + 1;
    if (xb > xa) fillWithBrush(*graphics, *brush, xa, row, xb, row + 1);
  }
  return Ok;
}
GpStatus GdipFillPieI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height, REAL start,
                      REAL sweep) {
  if (!graphics || !brush || width <= 0 || height <= 0) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  auto pts = arcPoints(x, y, width, height, start, sweep);
  pts.insert(pts.begin(), GpPointF{static_cast<REAL>(x + width / 2.0), static_cast<REAL>(y + height / 2.0)});
  fillPolygon(*graphics, *brush, pts, true);
  return Ok;
}
GpStatus GdipFillClosedCurveI(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count) {
  if (!graphics || !brush || !points || count < 3) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  fillPolygon(*graphics, *brush, curvePoints(points, count, 0.5, true), false);
  return Ok;
}

// Images.
GpStatus GdipLoadImageFromStream(IStream* stream, GpImage** image) {
  if (!image) return InvalidParameter;
  GpBitmap* b = nullptr;
  const GpStatus s = fromStream(stream, &b);
  if (s == Ok) *image = b;
  return s;
}
GpStatus GdipCreateBitmapFromFile(const WCHAR* fileName, GpBitmap** bitmap) { return fromFile(fileName, bitmap); }
GpStatus GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap) { return fromStream(stream, bitmap); }
GpStatus GdipCreateBitmapFromStreamICM(IStream* stream, GpBitmap** bitmap) { return fromStream(stream, bitmap); }
GpStatus GdipLoadImageFromFile(const WCHAR* fileName, GpImage** image) {
  if (!image) return InvalidParameter;
  GpBitmap* b = nullptr;
  const GpStatus s = fromFile(fileName, &b);
  if (s == Ok) *image = b;
  return s;
}

GpStatus GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbm, ARGB background) {
  if (!bitmap || !hbm) return InvalidParameter;
  if (bitmap->busy || bitmap->locked) return ObjectBusy;
  // A 32-bit bottom-up DIB section, as the platform's library makes it, so
  // that the caller's bitmap keeps its format and alpha.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = bitmap->width;
  info.bmiHeader.biHeight = bitmap->height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  *hbm = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!*hbm || !bits) return OutOfMemory;
  auto* out = static_cast<std::uint32_t*>(bits);
  const size_t w = static_cast<size_t>(bitmap->width);
  for (int y = 0; y < bitmap->height; ++y)
    for (size_t x = 0; x < w; ++x)
      out[static_cast<size_t>(bitmap->height - 1 - y) * w + x] =
          premultiply(compose(bitmap->px[static_cast<size_t>(y) * w + x], background, false, false));
  GdiFlush();
  return Ok;
}

GpStatus GdipGetImageDimension(GpImage* image, REAL* width, REAL* height) {
  if (!image || !width || !height) return InvalidParameter;
  *width = static_cast<REAL>(image->width);
  *height = static_cast<REAL>(image->height);
  return Ok;
}
GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height) {
  if (!image) return InvalidParameter;
  return drawImage(graphics, image, x, y, width, height, 0, 0, image->width, image->height, UnitPixel);
}
GpStatus GdipDisposeImage(GpImage* image) {
  if (!image) return InvalidParameter;
  delete image;
  return Ok;
}
GpStatus GdipGetImageEncodersSize(UINT* count, UINT* size) {
  if (!count || !size) return InvalidParameter;
  *count = 1;
  *size = static_cast<UINT>(sizeof(ImageCodecInfo) + encoderStringBytes());
  return Ok;
}
GpStatus GdipGetImageEncoders(UINT count, UINT size, ImageCodecInfo* encoders) {
  if (!encoders || count != 1 || size < sizeof(ImageCodecInfo) + encoderStringBytes()) return GenericError;
  ImageCodecInfo& info = encoders[0];
  info = ImageCodecInfo{};
  info.Clsid = kPngEncoderClsid;
  info.FormatID = ImageFormatPNG;
  info.Flags = 0x00010007;  // encoder, decoder, supports bitmaps, built in
  info.Version = 1;
  // The strings follow the array in the caller's buffer.
  auto* text = reinterpret_cast<WCHAR*>(encoders + 1);
  auto put = [&](const std::u16string& s) {
    const WCHAR* at = text;
    std::memcpy(text, s.c_str(), (s.size() + 1) * sizeof(WCHAR));
    text += s.size() + 1;
    return at;
  };
  info.CodecName = put(kCodecName);
  info.DllName = put(kDll);
  info.FormatDescription = put(kFormatDescription);
  info.FilenameExtension = put(kExtensions);
  info.MimeType = put(kMime);
  return Ok;
}
GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const CLSID* encoder, const EncoderParameters*) {
  if (!image || !stream || !encoder) return InvalidParameter;
  if (!(*encoder == kPngEncoderClsid)) return FileNotFound;
  qv::os::gdi::Image img;
  img.width = image->width;
  img.height = image->height;
  img.pixels = image->px;
  img.hasAlpha = hasAlphaFormat(image->format);
  const std::vector<std::uint8_t> bytes = qv::os::gdi::encodePng(img);
  if (bytes.empty()) return GenericError;
  ULONG written = 0;
  if (FAILED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)) || written != bytes.size())
    return Win32Error;
  return Ok;
}
GpStatus GdipCreateBitmapFromHBITMAP(HBITMAP hbm, HPALETTE, GpBitmap** bitmap) {
  if (!bitmap) return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  qv::os::gdi::Image img;
  if (!qv::os::gdi::imageFromBitmap(hbm, img)) return InvalidParameter;
  GpBitmap* b = bitmapFromImage(img);
  b->format = PixelFormat32bppRGB;
  for (auto& p : b->px) p |= 0xFF000000u;
  *bitmap = b;
  return Ok;
}
GpStatus GdipGetEncoderParameterListSize(GpImage* image, const CLSID* encoder, UINT* size) {
  if (!image || !encoder || !size) return InvalidParameter;
  if (!(*encoder == kPngEncoderClsid)) return FileNotFound;
  *size = sizeof(EncoderParameters);  // the PNG encoder takes no parameters
  return Ok;
}
GpStatus GdipGetEncoderParameterList(GpImage* image, const CLSID* encoder, UINT size, EncoderParameters* buffer) {
  if (!image || !encoder || !buffer) return InvalidParameter;
  if (!(*encoder == kPngEncoderClsid)) return FileNotFound;
  if (size < sizeof(EncoderParameters)) return InvalidParameter;
  std::memset(buffer, 0, sizeof(EncoderParameters));
  return Ok;
}
GpStatus GdipCreateBitmapFromGdiDib(const BITMAPINFO* info, void* bits, GpBitmap** bitmap) {
  if (!info || !bits || !bitmap) return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int bpp = h.biBitCount;
  if ((bpp != 24 && bpp != 32) || h.biCompression != 0 /* BI_RGB */) return NotImplemented;
  const long long w = h.biWidth, height = std::llabs(static_cast<long long>(h.biHeight));
  if (!qv::os::gdi::imageSizeOk(w, height)) return InvalidParameter;
  GpBitmap* b = newBitmap(static_cast<int>(w), static_cast<int>(height), bpp == 24 ? PixelFormat24bppRGB : PixelFormat32bppRGB);
  const size_t stride = ((static_cast<size_t>(w) * bpp / 8) + 3) & ~size_t{3};
  const auto* src = static_cast<const BYTE*>(bits);
  for (long long y = 0; y < height; ++y) {
    const BYTE* row = src + stride * static_cast<size_t>(h.biHeight > 0 ? height - 1 - y : y);
    for (long long x = 0; x < w; ++x)
      b->px[static_cast<size_t>(y * w + x)] = unpackPixel(row + x * (bpp / 8), bpp == 24 ? PixelFormat24bppRGB : PixelFormat32bppRGB);
  }
  *bitmap = b;
  return Ok;
}
GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                   GpBitmap** bitmap) {
  if (!bitmap || width <= 0 || height <= 0 || !qv::os::gdi::imageSizeOk(width, height)) return InvalidParameter;
  if (!knownFormat(format)) return NotImplemented;
  if (scan0 && (stride % 4 != 0 || std::llabs(static_cast<long long>(stride)) < static_cast<long long>(width) * bytesPer(format)))
    return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  GpBitmap* b = newBitmap(width, height, format);
  if (scan0)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        b->px[static_cast<size_t>(y) * width + x] = unpackPixel(scan0 + static_cast<std::ptrdiff_t>(y) * stride + x * bytesPer(format), format);
  *bitmap = b;
  return Ok;
}
GpStatus GdipBitmapLockBits(GpBitmap* bitmap, const GpRect* rect, UINT flags, PixelFormat format, BitmapData* data) {
  if (!bitmap || !data || !knownFormat(format) || (flags & (ImageLockModeRead | ImageLockModeWrite)) == 0)
    return InvalidParameter;
  if (bitmap->locked || bitmap->busy) return WrongState;
  const GpRect r = rect ? *rect : GpRect{0, 0, bitmap->width, bitmap->height};
  if (r.X < 0 || r.Y < 0 || r.Width <= 0 || r.Height <= 0 || r.X + r.Width > bitmap->width ||
      r.Y + r.Height > bitmap->height)
    return InvalidParameter;
  const bool user = (flags & ImageLockModeUserInputBuf) != 0;
  if (user && !data->Scan0) return InvalidParameter;
  const INT stride = user ? data->Stride : ((r.Width * bytesPer(format)) + 3) & ~3;
  BYTE* out;
  if (user) {
    out = static_cast<BYTE*>(data->Scan0);
  } else {
    bitmap->lockBuffer.assign(static_cast<size_t>(stride) * r.Height, 0);
    out = bitmap->lockBuffer.data();
  }
  if (flags & ImageLockModeRead)
    for (int y = 0; y < r.Height; ++y)
      for (int x = 0; x < r.Width; ++x)
        packPixel(bitmap->px[static_cast<size_t>(r.Y + y) * bitmap->width + r.X + x], format,
                  out + static_cast<std::ptrdiff_t>(y) * stride + x * bytesPer(format));
  data->Width = static_cast<UINT>(r.Width);
  data->Height = static_cast<UINT>(r.Height);
  data->Stride = stride;
  data->PixelFormat = format;
  data->Scan0 = out;
  data->Reserved = 0;
  bitmap->locked = true;
  bitmap->lockRect = r;
  bitmap->lockFlags = flags;
  bitmap->lockFormat = format;
  return Ok;
}
GpStatus GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* data) {
  if (!bitmap || !data) return InvalidParameter;
  if (!bitmap->locked) return WrongState;
  const GpRect r = bitmap->lockRect;
  if (bitmap->lockFlags & ImageLockModeWrite) {
    const auto* in = static_cast<const BYTE*>(data->Scan0);
    for (int y = 0; y < r.Height; ++y)
      for (int x = 0; x < r.Width; ++x) {
        std::uint32_t p = unpackPixel(in + static_cast<std::ptrdiff_t>(y) * data->Stride + x * bytesPer(bitmap->lockFormat),
                                      bitmap->lockFormat);
        if (!hasAlphaFormat(bitmap->format)) p |= 0xFF000000u;
        bitmap->px[static_cast<size_t>(r.Y + y) * bitmap->width + r.X + x] = p;
      }
  }
  bitmap->locked = false;
  bitmap->lockBuffer.clear();
  return Ok;
}
GpStatus GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstX, INT dstY, INT dstWidth,
                                INT dstHeight, INT srcX, INT srcY, INT srcWidth, INT srcHeight, GpUnit srcUnit,
                                const GpImageAttributes*, DrawImageAbort callback, void* callbackData) {
  if (callback && callback(callbackData)) return Aborted;
  return drawImage(graphics, image, dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth, srcHeight, srcUnit);
}
GpStatus GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstX, REAL dstY, REAL dstWidth,
                               REAL dstHeight, REAL srcX, REAL srcY, REAL srcWidth, REAL srcHeight, GpUnit srcUnit,
                               const GpImageAttributes*, DrawImageAbort callback, void* callbackData) {
  if (callback && callback(callbackData)) return Aborted;
  return drawImage(graphics, image, dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth, srcHeight, srcUnit);
}
GpStatus GdipDrawImagePointRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL srcX, REAL srcY,
                                REAL srcWidth, REAL srcHeight, GpUnit srcUnit) {
  return drawImage(graphics, image, x, y, srcWidth, srcHeight, srcX, srcY, srcWidth, srcHeight, srcUnit);
}
GpStatus GdipCloneImage(GpImage* image, GpImage** clone) {
  if (!image || !clone) return InvalidParameter;
  if (image->locked || image->busy) return ObjectBusy;
  auto* c = new GpBitmap;
  c->width = image->width;
  c->height = image->height;
  c->format = image->format;
  c->px = image->px;
  *clone = c;
  return Ok;
}
GpStatus GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode) {
  if (!graphics || mode < InterpolationModeDefault || mode > InterpolationModeHighQualityBicubic) return InvalidParameter;
  // Default and low quality mean bilinear, high quality bicubic; we sample
  // everything but nearest neighbour bilinearly.
  graphics->interpolation = mode == InterpolationModeDefault || mode == InterpolationModeLowQuality
                                ? InterpolationModeBilinear
                                : mode == InterpolationModeHighQuality ? InterpolationModeHighQualityBicubic : mode;
  return Ok;
}
GpStatus GdipGetInterpolationMode(GpGraphics* graphics, InterpolationMode* mode) {
  if (!graphics || !mode) return InvalidParameter;
  *mode = graphics->interpolation;
  return Ok;
}
GpStatus GdipCreateCachedBitmap(GpBitmap* bitmap, GpGraphics* graphics, GpCachedBitmap** cached) {
  if (!bitmap || !graphics || !cached) return InvalidParameter;
  if (bitmap->locked || bitmap->busy) return ObjectBusy;
  auto* c = new GpCachedBitmap;
  c->width = bitmap->width;
  c->height = bitmap->height;
  c->px = bitmap->px;
  *cached = c;
  return Ok;
}
GpStatus GdipDeleteCachedBitmap(GpCachedBitmap* cached) {
  if (!cached) return InvalidParameter;
  delete cached;
  return Ok;
}
GpStatus GdipDrawCachedBitmap(GpGraphics* graphics, GpCachedBitmap* cached, INT x, INT y) {
  if (!graphics || !cached) return InvalidParameter;
  if (!ready(graphics)) return ObjectBusy;
  paintRect(*graphics, x, y, static_cast<long long>(x) + cached->width, static_cast<long long>(y) + cached->height,
            [&](int px, int py) { return cached->px[static_cast<size_t>(py - y) * cached->width + (px - x)]; });
  return Ok;
}
GpStatus GdipCreateBitmapFromGraphics(INT width, INT height, GpGraphics* graphics, GpBitmap** bitmap) {
  if (!graphics || !bitmap || width <= 0 || height <= 0 || !qv::os::gdi::imageSizeOk(width, height))
    return InvalidParameter;
  *bitmap = newBitmap(width, height, PixelFormat32bppPARGB);
  return Ok;
}
GpStatus GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics) {
  if (!image || !graphics) return InvalidParameter;
  if (!started()) return GdiplusNotInitialized;
  if (image->locked) return WrongState;
  auto* g = new GpGraphics;
  g->image = image;
  *graphics = g;
  return Ok;
}
GpStatus GdipGetImageWidth(GpImage* image, UINT* width) {
  if (!image || !width) return InvalidParameter;
  *width = static_cast<UINT>(image->width);
  return Ok;
}
GpStatus GdipGetImageHeight(GpImage* image, UINT* height) {
  if (!image || !height) return InvalidParameter;
  *height = static_cast<UINT>(image->height);
  return Ok;
}
GpStatus GdipSetCompositingMode(GpGraphics* graphics, CompositingMode mode) {
  if (!graphics || (mode != CompositingModeSourceOver && mode != CompositingModeSourceCopy)) return InvalidParameter;
  graphics->compositing = mode;
  return Ok;
}
GpStatus GdipGetCompositingMode(GpGraphics* graphics, CompositingMode* mode) {
  if (!graphics || !mode) return InvalidParameter;
  *mode = graphics->compositing;
  return Ok;
}
GpStatus GdipSetCompositingQuality(GpGraphics* graphics, CompositingQuality quality) {
  if (!graphics || quality < CompositingQualityDefault || quality > CompositingQualityAssumeLinear) return InvalidParameter;
  graphics->quality = quality;
  return Ok;
}
GpStatus GdipGetCompositingQuality(GpGraphics* graphics, CompositingQuality* quality) {
  if (!graphics || !quality) return InvalidParameter;
  *quality = graphics->quality;
  return Ok;
}
GpStatus GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode) {
  if (!graphics || mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias) return InvalidParameter;
  graphics->smoothing = mode == SmoothingModeDefault || mode == SmoothingModeHighSpeed ? SmoothingModeNone
                        : mode == SmoothingModeHighQuality                           ? SmoothingModeAntiAlias
                                                                                     : mode;
  return Ok;
}
GpStatus GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode) {
  if (!graphics || !mode) return InvalidParameter;
  *mode = graphics->smoothing;
  return Ok;
}
GpStatus GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format, GpBitmap* src,
                              GpBitmap** dst) {
  if (!src || !dst || !knownFormat(format) || x < 0 || y < 0 || width <= 0 || height <= 0 ||
      static_cast<long long>(x) + width > src->width || static_cast<long long>(y) + height > src->height)
    return InvalidParameter;
  if (src->locked || src->busy) return ObjectBusy;
  GpBitmap* b = newBitmap(width, height, format);
  for (int j = 0; j < height; ++j)
    for (int i = 0; i < width; ++i) {
      std::uint32_t p = src->px[static_cast<size_t>(y + j) * src->width + x + i];
      b->px[static_cast<size_t>(j) * width + i] = hasAlphaFormat(format) ? p : (p | 0xFF000000u);
    }
  *dst = b;
  return Ok;
}

// The module.
namespace qv::modules {

namespace {

using qv::os::StandInExport;

const std::vector<StandInExport>& allExports() {
  static const std::vector<StandInExport> e = {
      StandInExport::of("GdipAlloc", &::GdipAlloc),
      StandInExport::of("GdipFree", &::GdipFree),
      StandInExport::of("GdiplusStartup", &::GdiplusStartup),
      StandInExport::of("GdiplusShutdown", &::GdiplusShutdown),
      StandInExport::of("GdipCloneBrush", &::GdipCloneBrush),
      StandInExport::of("GdipDeleteBrush", &::GdipDeleteBrush),
      StandInExport::of("GdipGetBrushType", &::GdipGetBrushType),
      StandInExport::of("GdipCreateSolidFill", &::GdipCreateSolidFill),
      StandInExport::of("GdipSetSolidFillColor", &::GdipSetSolidFillColor),
      StandInExport::of("GdipGetSolidFillColor", &::GdipGetSolidFillColor),
      StandInExport::of("GdipCreateLineBrushFromRectI", &::GdipCreateLineBrushFromRectI),
      StandInExport::of("GdipGetLineRectI", &::GdipGetLineRectI),
      StandInExport::of("GdipSetLineColors", &::GdipSetLineColors),
      StandInExport::of("GdipGetLineColors", &::GdipGetLineColors),
      StandInExport::of("GdipSetLineWrapMode", &::GdipSetLineWrapMode),
      StandInExport::of("GdipGetLineWrapMode", &::GdipGetLineWrapMode),
      StandInExport::of("GdipCreateHatchBrush", &::GdipCreateHatchBrush),
      StandInExport::of("GdipGetHatchStyle", &::GdipGetHatchStyle),
      StandInExport::of("GdipGetHatchForegroundColor", &::GdipGetHatchForegroundColor),
      StandInExport::of("GdipGetHatchBackgroundColor", &::GdipGetHatchBackgroundColor),
      StandInExport::of("GdipCreatePen1", &::GdipCreatePen1),
      StandInExport::of("GdipCreatePen2", &::GdipCreatePen2),
      StandInExport::of("GdipClonePen", &::GdipClonePen),
      StandInExport::of("GdipDeletePen", &::GdipDeletePen),
      StandInExport::of("GdipGetPenFillType", &::GdipGetPenFillType),
      StandInExport::of("GdipSetPenBrushFill", &::GdipSetPenBrushFill),
      StandInExport::of("GdipGetPenBrushFill", &::GdipGetPenBrushFill),
      StandInExport::of("GdipSetPenColor", &::GdipSetPenColor),
      StandInExport::of("GdipGetPenColor", &::GdipGetPenColor),
      StandInExport::of("GdipSetPenMode", &::GdipSetPenMode),
      StandInExport::of("GdipGetPenMode", &::GdipGetPenMode),
      StandInExport::of("GdipSetPenWidth", &::GdipSetPenWidth),
      StandInExport::of("GdipGetPenWidth", &::GdipGetPenWidth),
      StandInExport::of("GdipCreateFromHDC", &::GdipCreateFromHDC),
      StandInExport::of("GdipDeleteGraphics", &::GdipDeleteGraphics),
      StandInExport::of("GdipGetDC", &::GdipGetDC),
      StandInExport::of("GdipReleaseDC", &::GdipReleaseDC),
      StandInExport::of("GdipGraphicsClear", &::GdipGraphicsClear),
      StandInExport::of("GdipDrawLineI", &::GdipDrawLineI),
      StandInExport::of("GdipFillRectangleI", &::GdipFillRectangleI),
      StandInExport::of("GdipDrawArcI", &::GdipDrawArcI),
      StandInExport::of("GdipDrawBezierI", &::GdipDrawBezierI),
      StandInExport::of("GdipDrawRectangleI", &::GdipDrawRectangleI),
      StandInExport::of("GdipDrawEllipseI", &::GdipDrawEllipseI),
      StandInExport::of("GdipDrawPieI", &::GdipDrawPieI),
      StandInExport::of("GdipDrawPolygonI", &::GdipDrawPolygonI),
      StandInExport::of("GdipDrawCurve2I", &::GdipDrawCurve2I),
      StandInExport::of("GdipDrawClosedCurve2I", &::GdipDrawClosedCurve2I),
      StandInExport::of("GdipFillPolygonI", &::GdipFillPolygonI),
      StandInExport::of("GdipFillEllipseI", &::GdipFillEllipseI),
      StandInExport::of("GdipFillPieI", &::GdipFillPieI),
      StandInExport::of("GdipFillClosedCurveI", &::GdipFillClosedCurveI),
      StandInExport::of("GdipLoadImageFromStream", &::GdipLoadImageFromStream),
      StandInExport::of("GdipCreateBitmapFromFile", &::GdipCreateBitmapFromFile),
      StandInExport::of("GdipCreateBitmapFromStream", &::GdipCreateBitmapFromStream),
      StandInExport::of("GdipCreateBitmapFromStreamICM", &::GdipCreateBitmapFromStreamICM),
      StandInExport::of("GdipCreateHBITMAPFromBitmap", &::GdipCreateHBITMAPFromBitmap),
      StandInExport::of("GdipLoadImageFromFile", &::GdipLoadImageFromFile),
      StandInExport::of("GdipGetImageDimension", &::GdipGetImageDimension),
      StandInExport::of("GdipDrawImageRectI", &::GdipDrawImageRectI),
      StandInExport::of("GdipDisposeImage", &::GdipDisposeImage),
      StandInExport::of("GdipGetImageEncodersSize", &::GdipGetImageEncodersSize),
      StandInExport::of("GdipGetImageEncoders", &::GdipGetImageEncoders),
      StandInExport::of("GdipSaveImageToStream", &::GdipSaveImageToStream),
      StandInExport::of("GdipCreateBitmapFromHBITMAP", &::GdipCreateBitmapFromHBITMAP),
      StandInExport::of("GdipGetEncoderParameterListSize", &::GdipGetEncoderParameterListSize),
      StandInExport::of("GdipGetEncoderParameterList", &::GdipGetEncoderParameterList),
      StandInExport::of("GdipCreateBitmapFromGdiDib", &::GdipCreateBitmapFromGdiDib),
      StandInExport::of("GdipCreateBitmapFromScan0", &::GdipCreateBitmapFromScan0),
      StandInExport::of("GdipBitmapLockBits", &::GdipBitmapLockBits),
      StandInExport::of("GdipBitmapUnlockBits", &::GdipBitmapUnlockBits),
      StandInExport::of("GdipDrawImageRectRectI", &::GdipDrawImageRectRectI),
      StandInExport::of("GdipDrawImageRectRect", &::GdipDrawImageRectRect),
      StandInExport::of("GdipDrawImagePointRect", &::GdipDrawImagePointRect),
      StandInExport::of("GdipCloneImage", &::GdipCloneImage),
      StandInExport::of("GdipSetInterpolationMode", &::GdipSetInterpolationMode),
      StandInExport::of("GdipGetInterpolationMode", &::GdipGetInterpolationMode),
      StandInExport::of("GdipCreateCachedBitmap", &::GdipCreateCachedBitmap),
      StandInExport::of("GdipDeleteCachedBitmap", &::GdipDeleteCachedBitmap),
      StandInExport::of("GdipDrawCachedBitmap", &::GdipDrawCachedBitmap),
      StandInExport::of("GdipCreateBitmapFromGraphics", &::GdipCreateBitmapFromGraphics),
      StandInExport::of("GdipGetImageGraphicsContext", &::GdipGetImageGraphicsContext),
      StandInExport::of("GdipGetImageWidth", &::GdipGetImageWidth),
      StandInExport::of("GdipGetImageHeight", &::GdipGetImageHeight),
      StandInExport::of("GdipSetCompositingMode", &::GdipSetCompositingMode),
      StandInExport::of("GdipGetCompositingMode", &::GdipGetCompositingMode),
      StandInExport::of("GdipSetCompositingQuality", &::GdipSetCompositingQuality),
      StandInExport::of("GdipGetCompositingQuality", &::GdipGetCompositingQuality),
      StandInExport::of("GdipSetSmoothingMode", &::GdipSetSmoothingMode),
      StandInExport::of("GdipGetSmoothingMode", &::GdipGetSmoothingMode),
      StandInExport::of("GdipCloneBitmapAreaI", &::GdipCloneBitmapAreaI),
  };
  return e;
}

const bool kRegistered = (registerGdiPlus(), true);

}  // namespace

const std::vector<std::string>& gdiplusExportNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const StandInExport& e : allExports()) n.push_back(e.name);
    return n;
  }();
  return names;
}

void registerGdiPlus() {
  std::set<std::string> missing;
  const auto& extra = qv::desktop::profile().extra;
  if (auto it = extra.find("gdiplus.missing"); it != extra.end()) {
    std::string item;
    for (char c : it->second + ",") {
      if (c == ',' || c == ';') {
        const auto b = item.find_first_not_of(' ');
        if (b != std::string::npos) missing.insert(item.substr(b, item.find_last_not_of(' ') - b + 1));
        item.clear();
      } else {
        item += c;
      }
    }
  }
  qv::os::StandInModule m;
  m.fileName = "gdiplus.dll";
  for (const StandInExport& e : allExports())
    if (!missing.count(e.name)) m.exports.push_back(e);
  m.available = [] { return qv::desktop::profile().gdiplus; };
  qv::os::registerStandInModule(std::move(m));
}

}  // namespace qv::modules
