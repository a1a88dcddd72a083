#include "platform/os/gdi/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/os/gdi/Pen.h"
#include "platform/os/gdi/Region.h"

namespace qv::os::gdi {

namespace {

constexpr std::uint32_t kRgb = 0x00FFFFFFu;
HBRUSH (*sysColorBrushResolver)(int) = nullptr;

template <class Fn>
void eachRow(Dc& dc, const pixman_region32_t* area, Fn fn) {
  RegionData part = dc.visiblePart(area);
  int n = 0;
  const pixman_box32_t* boxes = part.boxes(n);
  for (int i = 0; i < n; ++i)
    for (int y = boxes[i].y1; y < boxes[i].y2; ++y) fn(dc.surface->row(y), y, boxes[i].x1, boxes[i].x2);
}

// Solid fills go box by box through pixman's fill, which is as fast as
// filling memory gets.
void fillSolid(Dc& dc, const pixman_region32_t* area, std::uint32_t value) {
  RegionData part = dc.visiblePart(area);
  int n = 0;
  const pixman_box32_t* boxes = part.boxes(n);
  Surface& s = *dc.surface;
  for (int i = 0; i < n; ++i) {
    const pixman_box32_t& b = boxes[i];
    bool done = s.stride > 0 && pixman_fill(s.bits, static_cast<int>(s.stride), 32, b.x1, b.y1, b.x2 - b.x1,
                                            b.y2 - b.y1, value);
    if (!done)
      for (int y = b.y1; y < b.y2; ++y) std::fill(s.row(y) + b.x1, s.row(y) + b.x2, value);
  }
}

}  // namespace

std::uint32_t rop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i)
    if ((code >> i) & 1) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r;
}

std::uint8_t rop3OfRop2(int rop2) {
  int table = rop2 - 1;
  std::uint8_t code = 0;
  for (int i = 0; i < 8; ++i) {
    int p = (i >> 2) & 1, d = i & 1;
    if ((table >> ((p << 1) | d)) & 1) code = static_cast<std::uint8_t>(code | (1 << i));
  }
  return code;
}

void paintArea(Dc& dc, const pixman_region32_t* area, const Paint& paint, std::uint8_t code) {
  if (!dc.surface || (paint.none && ropUsesPattern(code))) return;
  SurfaceUse use(dc.surface.get());
  if (code == 0xF0 || code == 0x00 || code == 0xFF) {
    if (paint.solid || code != 0xF0) {
      fillSolid(dc, area, code == 0xF0 ? paint.pixel : code == 0xFF ? kRgb : 0u);
      return;
    }
  }
  if (paint.solid || !ropUsesPattern(code)) {
    const std::uint32_t p = paint.pixel;
    eachRow(dc, area, [&](std::uint32_t* row, int, int x0, int x1) {
      std::uint32_t* b = row + x0;
      std::uint32_t* e = row + x1;
      switch (code) {
        case 0xF0: std::fill(b, e, p); break;
        case 0x00: std::fill(b, e, 0u); break;
        case 0xFF: std::fill(b, e, kRgb); break;
        case 0x55: for (; b != e; ++b) *b = ~*b & kRgb; break;
        case 0x5A: for (; b != e; ++b) *b = (*b ^ p) & kRgb; break;
        case 0xAA: for (; b != e; ++b) *b &= kRgb; break;
        default: for (; b != e; ++b) *b = rop3(code, p, 0, *b) & kRgb; break;
      }
    });
    return;
  }
  eachRow(dc, area, [&](std::uint32_t* row, int y, int x0, int x1) {
    if (code == 0xF0) {
      for (int x = x0; x < x1; ++x)
        if (paint.covers(x, y)) row[x] = paint.at(x, y);
    } else {
      for (int x = x0; x < x1; ++x)
        if (paint.covers(x, y)) row[x] = rop3(code, paint.at(x, y), 0, row[x]) & kRgb;
    }
  });
}

void paintRect(Dc& dc, int left, int top, int right, int bottom, const Paint& paint, std::uint8_t code) {
  if (left >= right || top >= bottom) return;
  RegionData r(left, top, right, bottom);
  paintArea(dc, r.raw(), paint, code);
}

void setSysColorBrushResolver(HBRUSH (*resolve)(int)) { sysColorBrushResolver = resolve; }

HBRUSH resolveBrush(HBRUSH brush) {
  auto v = reinterpret_cast<std::uintptr_t>(brush);
  if (v >= 1 && v <= 31 && sysColorBrushResolver != nullptr) return sysColorBrushResolver(static_cast<int>(v) - 1);
  return brush;
}

namespace {

POINT toSurface(const Dc& dc, POINT p) {
  const DcState& s = dc.state;
  return {clampCoord(static_cast<long long>(p.x) - s.windowOrg.x + s.viewportOrg.x + dc.origin.x),
          clampCoord(static_cast<long long>(p.y) - s.windowOrg.y + s.viewportOrg.y + dc.origin.y)};
}

RECT toSurface(const Dc& dc, const RECT& r) {
  POINT a = toSurface(dc, POINT{r.left, r.top});
  POINT b = toSurface(dc, POINT{r.right, r.bottom});
  return {a.x, a.y, b.x, b.y};
}

RECT normalised(RECT r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

// The pixels a fill covers when its extent runs backwards: from the start
// coordinate itself back to just after the end one, as if the exclusive
// edge had been the start's.
RECT backwardsFilled(RECT r) {
  if (r.left > r.right) r = {r.right + 1, r.top, r.left + 1, r.bottom};
  if (r.top > r.bottom) r = {r.left, r.bottom + 1, r.right, r.top + 1};
  return r;
}

// The rows a DC can draw on, to keep shape conversion to what shows.
void drawableRows(Dc& dc, int& top, int& bottom) {
  const pixman_box32_t* e = pixman_region32_extents(dc.drawable());
  top = e->y1;
  bottom = e->y2;
}

// Lengths of the on and off runs of the cosmetic styles, as the platform's
// display drivers draw them.
std::vector<int> dashesOf(const Pen& pen) {
  switch (pen.lineStyle()) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE: return {1, 1};
    case PS_USERSTYLE: {
      std::vector<int> d;
      for (DWORD v : pen.userStyle) d.push_back(std::max<int>(1, static_cast<int>(std::min<DWORD>(v, 1 << 16))));
      if (d.size() % 2) d.push_back(d.back());
      return d;
    }
    default: return {};
  }
}

// Gathers the pixels of a thin pen's path in surface coordinates: each
// segment leaves out its last point, so joined segments touch each point
// once. Only pixels within `bounds` are gathered, and the walk starts where
// they begin, so a line from far away costs no more than what shows of it.
class PenPath {
 public:
  PenPath(const Pen& pen, RECT bounds) : dashes_(dashesOf(pen)), bounds_(bounds) {
    for (int d : dashes_) cycle_ += d;
  }

  void segment(POINT a, POINT b) {
    long long adx = std::llabs(static_cast<long long>(b.x) - a.x), ady = std::llabs(static_cast<long long>(b.y) - a.y);
    bool xMajor = adx >= ady;
    long long major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    long long startMajor = xMajor ? a.x : a.y, startMinor = xMajor ? a.y : a.x;
    int stepMajor = (xMajor ? b.x >= a.x : b.y >= a.y) ? 1 : -1;
    int stepMinor = (xMajor ? b.y >= a.y : b.x >= a.x) ? 1 : -1;
    long long lo = xMajor ? bounds_.left : bounds_.top, hi = xMajor ? bounds_.right : bounds_.bottom;
    long long first = stepMajor > 0 ? lo - startMajor : startMajor - hi + 1;
    long long last = stepMajor > 0 ? hi - startMajor : startMajor - lo + 1;
    first = std::max(first, 0LL);
    last = std::min(last, major);
    step_ += std::min(first, major);
    for (long long i = first; i < last; ++i) {
      // Bresenham's minor coordinate after i steps, in closed form: the
      // nearest one, and at a half-pixel tie the smaller coordinate, so
      // that a line drawn back from its end covers the same pixels.
      long long k = (2 * i * minor + major - (stepMinor > 0 ? 1 : 0)) / (2 * major);
      long long mj = startMajor + stepMajor * i, mn = startMinor + stepMinor * k;
      plot(static_cast<int>(xMajor ? mj : mn), static_cast<int>(xMajor ? mn : mj));
    }
    step_ += std::max(0LL, major - std::max(first, last));
  }

  std::vector<RECT> on;
  std::vector<RECT> off;

 private:
  void plot(int x, int y) {
    if (x < bounds_.left || x >= bounds_.right || y < bounds_.top || y >= bounds_.bottom) {
      ++step_;
      return;
    }
    RECT r{x, y, x + 1, y + 1};
    if (cycle_ == 0) {
      on.push_back(r);
      return;
    }
    int pos = static_cast<int>(step_++ % cycle_);
    bool isOn = true;
    for (size_t i = 0; i < dashes_.size(); ++i) {
      if (pos < dashes_[i]) {
        isOn = i % 2 == 0;
        break;
      }
      pos -= dashes_[i];
    }
    (isOn ? on : off).push_back(r);
  }

  std::vector<int> dashes_;
  RECT bounds_;
  int cycle_ = 0;
  long long step_ = 0;
};

// Spans of a convex polygon given in pixel-corner coordinates, each row
// sampled along its top edge as filled polygons are; rows in [top, bottom).
std::vector<Span> convexSpans(const std::vector<std::pair<double, double>>& pts, int top, int bottom) {
  std::vector<Span> spans;
  double lo = pts[0].second, hi = pts[0].second;
  for (auto& p : pts) lo = std::min(lo, p.second), hi = std::max(hi, p.second);
  const int y0 = std::max(top, static_cast<int>(std::ceil(lo))), y1 = std::min(bottom, static_cast<int>(std::ceil(hi)));
  for (int y = y0; y < y1; ++y) {
    double xl = 1e18, xr = -1e18;
    for (size_t i = 0; i < pts.size(); ++i) {
      auto a = pts[i], b = pts[(i + 1) % pts.size()];
      if (a.second == b.second) continue;
      if (a.second > b.second) std::swap(a, b);
      if (a.second <= y && y < b.second) {
        double x = a.first + (y - a.second) * (b.first - a.first) / (b.second - a.second);
        xl = std::min(xl, x), xr = std::max(xr, x);
      }
    }
    if (xl > xr) continue;
    const long long x0 = static_cast<long long>(std::ceil(xl)), x1 = static_cast<long long>(std::ceil(xr));
    if (x0 < x1) spans.push_back({y, clampCoord(x0), clampCoord(x1)});
  }
  return spans;
}

// A wide pen's stroke, centred on the path with round ends and joins: each
// point of the path is a disc (what an ellipse without a pen fills in a
// w x w box around the point: from w / 2 before it to the rest after it),
// and each segment the band between the discs of its ends.
class WideStroke {
 public:
  WideStroke(int width, RECT bounds)
      : w_(width),
        bounds_{bounds.left - width, bounds.top - width, bounds.right + width, bounds.bottom + width} {}

  void segment(POINT a, POINT b) {
    disc(a);
    disc(b);
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    const double len = std::hypot(dx, dy);
    if (len == 0) return;
    // The discs' centre, in pixel-corner coordinates.
    const double c = (w_ % 2) ? 0.5 : 0.0;
    const double nx = -dy / len * w_ / 2, ny = dx / len * w_ / 2;
    std::vector<std::pair<double, double>> band = {
        {a.x + c + nx, a.y + c + ny}, {b.x + c + nx, b.y + c + ny}, {b.x + c - nx, b.y + c - ny}, {a.x + c - nx, a.y + c - ny}};
    // Only the rows that can show, and a band that reaches far beyond them
    // is cut to them first, so a line from far away costs what shows.
    band = clipped(band);
    if (band.size() < 3) return;
    for (const Span& sp : convexSpans(band, bounds_.top, bounds_.bottom)) keep(sp);
  }

  RegionData area() const { return regionOfSpans(spans_); }

 private:
  void disc(POINT p) {
    if (p.x < bounds_.left || p.x >= bounds_.right || p.y < bounds_.top || p.y >= bounds_.bottom) return;
    const int h = w_ / 2;
    if (w_ <= 2) {
      for (int y = p.y - h; y < p.y - h + w_; ++y) keep({y, p.x - h, p.x - h + w_});
      return;
    }
    for (const Span& sp : ellipseSpans(p.x - h, p.y - h, p.x - h + w_, p.y - h + w_)) keep(sp);
  }
  void keep(const Span& sp) {
    Span c{sp.y, std::max(sp.x0, bounds_.left), std::min(sp.x1, bounds_.right)};
    if (c.x0 < c.x1) spans_.push_back(c);
  }
  // The band cut to the bounds' rows and columns (grown by a pixel), by
  // the half-planes of the bounds' box.
  std::vector<std::pair<double, double>> clipped(std::vector<std::pair<double, double>> poly) const {
    const double edges[4] = {static_cast<double>(bounds_.left) - 1, static_cast<double>(bounds_.top) - 1,
                             static_cast<double>(bounds_.right) + 1, static_cast<double>(bounds_.bottom) + 1};
    for (int e = 0; e < 4 && !poly.empty(); ++e) {
      auto inside = [&](const std::pair<double, double>& p) {
        switch (e) {
          case 0: return p.first >= edges[0];
          case 1: return p.second >= edges[1];
          case 2: return p.first <= edges[2];
          default: return p.second <= edges[3];
        }
      };
      auto cross = [&](std::pair<double, double> p, std::pair<double, double> q) {
        const double t = (e % 2 == 0) ? (edges[e] - p.first) / (q.first - p.first) : (edges[e] - p.second) / (q.second - p.second);
        return std::make_pair(p.first + t * (q.first - p.first), p.second + t * (q.second - p.second));
      };
      std::vector<std::pair<double, double>> out;
      for (size_t i = 0; i < poly.size(); ++i) {
        auto p = poly[i], q = poly[(i + 1) % poly.size()];
        if (inside(p)) out.push_back(p);
        if (inside(p) != inside(q)) out.push_back(cross(p, q));
      }
      poly = out;
    }
    return poly;
  }

  int w_;
  RECT bounds_;
  std::vector<Span> spans_;
};

Pen* activePen(Dc& dc) {
  Pen* pen = penOf(dc.state.pen);
  if (pen == nullptr || pen->lineStyle() == PS_NULL) return nullptr;
  return pen;
}

int penWidth(Dc& dc) {
  Pen* pen = activePen(dc);
  return pen == nullptr ? 0 : pen->width;
}

COLORREF penColour(const Dc& dc, const Pen& pen) { return pen.dcPen ? dc.state.dcPenColor : pen.color; }

// What a pen's stroke of a path covers, in surface coordinates: `on` in the
// pen's colour, `off` the gaps of a styled pen.
struct StrokeArea {
  RegionData on, off;
};

// The stroke of a path of points in surface coordinates; `closed` joins the
// last to the first.
StrokeArea strokeOf(Dc& dc, const Pen& pen, const std::vector<POINT>& pts, bool closed) {
  const pixman_box32_t* e = pixman_region32_extents(dc.drawable());
  const RECT bounds{e->x1, e->y1, e->x2, e->y2};
  const size_t n = pts.size(), segments = pts.size() < 2 ? 0 : closed ? n : n - 1;
  if (pen.width > 1) {
    WideStroke wide(pen.width, bounds);
    for (size_t i = 0; i < segments; ++i) wide.segment(pts[i], pts[(i + 1) % n]);
    return {wide.area(), RegionData()};
  }
  PenPath path(pen, bounds);
  for (size_t i = 0; i < segments; ++i) path.segment(pts[i], pts[(i + 1) % n]);
  return {RegionData::fromRects(path.on), RegionData::fromRects(path.off)};
}

void paintStroke(Dc& dc, const StrokeArea& area, const Pen& pen) {
  std::uint8_t code = rop3OfRop2(dc.state.rop2);
  paintArea(dc, area.on.raw(), solidPaint(dc, penColour(dc, pen)), code);
  if (dc.state.bkMode == OPAQUE) paintArea(dc, area.off.raw(), solidPaint(dc, dc.state.bkColor), code);
}

void strokeSurface(Dc& dc, const std::vector<POINT>& pts, bool closed) {
  Pen* pen = activePen(dc);
  if (pen == nullptr || pts.size() < 2 || !dc.surface) return;
  paintStroke(dc, strokeOf(dc, *pen, pts, closed), *pen);
}

// The pixels [left, right) x [top, bottom); nothing when that is empty.
RegionData boxArea(int left, int top, int right, int bottom) {
  return left < right && top < bottom ? RegionData(left, top, right, bottom) : RegionData();
}

// A figure drawn with a wide PS_INSIDEFRAME pen shrinks so that the pen's
// stroke keeps inside its bounding rectangle.
RECT insideFrame(const Pen& pen, RECT r) {
  if (pen.lineStyle() != PS_INSIDEFRAME || pen.width <= 1) return r;
  const int before = pen.width / 2, after = pen.width - 1 - before;
  return {r.left + before, r.top + before, r.right - after, r.bottom - after};
}

// Strokes a path of logical points.
void stroke(Dc& dc, const POINT* pts, int count, bool closed) {
  std::vector<POINT> surface;
  surface.reserve(static_cast<size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) surface.push_back(toSurface(dc, pts[i]));
  strokeSurface(dc, surface, closed);
}

void fillSpans(Dc& dc, const std::vector<Span>& spans) {
  Paint paint = paintOf(dc, dc.state.brush);
  if (paint.none || spans.empty()) return;
  RegionData area = regionOfSpans(spans);
  paintArea(dc, area.raw(), paint, rop3OfRop2(dc.state.rop2));
}

// Outline and interior of a filled shape: the ring is the shape less the
// same shape moved in by the pen's width.
template <class Shape>
BOOL drawShape(HDC hdc, RECT logical, Shape spansOf, bool fill = true) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return FALSE;
  if (!dc->surface) return TRUE;
  RECT r = normalised(toSurface(*dc, logical));
  int top, bottom;
  drawableRows(*dc, top, bottom);
  int w = penWidth(*dc);
  if (w == 0) {
    // Without a pen the filled area is one pixel smaller, as on the platform.
    if (fill) fillSpans(*dc, spansOf(RECT{r.left, r.top, r.right - 1, r.bottom - 1}, 0, top, bottom));
    return TRUE;
  }
  RECT inner{r.left + w, r.top + w, r.right - w, r.bottom - w};
  std::vector<Span> innerSpans;
  if (inner.left < inner.right && inner.top < inner.bottom) innerSpans = spansOf(inner, 2 * w, top, bottom);
  if (fill) fillSpans(*dc, innerSpans);
  RegionData ring = regionOfSpans(spansOf(r, 0, top, bottom));
  ring.subtract(regionOfSpans(innerSpans));
  paintArea(*dc, ring.raw(), solidPaint(*dc, penColour(*dc, *activePen(*dc))), rop3OfRop2(dc->state.rop2));
  return TRUE;
}

// The pixels of spans, within the DC's drawable columns, that `keep` wants.
template <class Keep>
std::vector<Span> filterSpans(Dc& dc, const std::vector<Span>& spans, Keep keep) {
  const pixman_box32_t* e = pixman_region32_extents(dc.drawable());
  std::vector<Span> out;
  for (const Span& sp : spans) {
    int start = -1, x1 = std::min(sp.x1, e->x2);
    for (int x = std::max(sp.x0, e->x1); x <= x1; ++x) {
      bool in = x < x1 && keep(x, sp.y);
      if (in && start < 0) start = x;
      if (!in && start >= 0) {
        out.push_back({sp.y, start, x});
        start = -1;
      }
    }
  }
  return out;
}

// The counterclockwise sweep of an arc of the ellipse in `box` from the
// radial through `from` to the radial through `to` (surface coordinates);
// equal radials sweep the whole ellipse.
struct Sweep {
  double cx, cy, a, b, start, extent;

  Sweep(RECT box, POINT from, POINT to)
      : cx((box.left + box.right) / 2.0),
        cy((box.top + box.bottom) / 2.0),
        a((box.right - box.left - 1) / 2.0),
        b((box.bottom - box.top - 1) / 2.0) {
    // The radial points name pixels, so they count from pixel centres.
    start = angleOf(from.x + 0.5, from.y + 0.5);
    extent = wrap(angleOf(to.x + 0.5, to.y + 0.5) - start);
    if (extent == 0) extent = 2 * kPi;
  }
  // Angles count upwards on screen, as on paper.
  double angleOf(double x, double y) const { return std::atan2(cy - y, x - cx); }
  static double wrap(double t) {
    t = std::fmod(t, 2 * kPi);
    return t < 0 ? t + 2 * kPi : t;
  }
  // From the start radial up to, not including, the end one.
  bool contains(int x, int y) const { return wrap(angleOf(x + 0.5, y + 0.5) - start) < extent; }
  POINT centre() const { return {static_cast<LONG>(std::floor(cx)), static_cast<LONG>(std::floor(cy))}; }
  // The pixel where the ellipse meets the radial at angle t.
  POINT at(double t) const {
    return {static_cast<LONG>(std::floor(cx + a * std::cos(t))), static_cast<LONG>(std::floor(cy - b * std::sin(t)))};
  }
  POINT startPoint() const { return at(start); }
  POINT endPoint() const { return at(start + extent); }

  static constexpr double kPi = 3.14159265358979323846;
};

enum class ArcKind { Arc, Chord, Pie };

BOOL drawArc(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye, ArcKind kind) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return FALSE;
  if (!dc->surface) return TRUE;
  RECT box = normalised(toSurface(*dc, RECT{left, top, right, bottom}));
  if (box.right - box.left < 2 || box.bottom - box.top < 2) return TRUE;
  Sweep sweep(box, toSurface(*dc, POINT{xs, ys}), toSurface(*dc, POINT{xe, ye}));
  POINT s = sweep.startPoint(), e = sweep.endPoint();
  // A chord's area lies left of the line from its end back to its start.
  auto inChord = [&](int x, int y) {
    double ux = s.x - e.x, uy = -(s.y - e.y), vx = x - e.x, vy = -(y - e.y);
    return ux * vy - uy * vx >= 0;
  };
  auto shape = [&](RECT r, int, int clipTop, int clipBottom) {
    std::vector<Span> all = ellipseSpans(r.left, r.top, r.right, r.bottom, clipTop, clipBottom);
    if (kind == ArcKind::Chord) return filterSpans(*dc, all, inChord);
    return filterSpans(*dc, all, [&](int x, int y) { return sweep.contains(x, y); });
  };
  Pen* pen = activePen(*dc);
  auto within = [&](int x, int y) { return kind == ArcKind::Chord ? inChord(x, y) : sweep.contains(x, y); };
  if (pen != nullptr && pen->width == 1) {
    // A thin pen draws the part of the ellipse's curve within the sweep
    // (within the chord's side for a chord: the curve from the start to the
    // end); the brush fills what the curve encloses there.
    int clipTop, clipBottom;
    drawableRows(*dc, clipTop, clipBottom);
    EllipseShape ellipse(box.left, box.top, box.right, box.bottom);
    std::vector<Span> curve, inside;
    for (int y = std::max(ellipse.top(), clipTop); y < std::min(ellipse.bottom(), clipBottom); ++y) {
      EllipseShape::Row row;
      if (!ellipse.row(y, row)) continue;
      curve.push_back({y, row.outerLeft, row.innerLeft});
      if (row.innerRight < row.outerRight && row.innerRight >= row.innerLeft)
        curve.push_back({y, row.innerRight, row.outerRight});
      if (row.innerLeft < row.innerRight) inside.push_back({y, row.innerLeft, row.innerRight});
    }
    auto sweepOf = [&](const std::vector<Span>& spans, auto keep) { return filterSpans(*dc, spans, keep); };
    if (kind != ArcKind::Arc) fillSpans(*dc, sweepOf(inside, within));
    RegionData arc = regionOfSpans(sweepOf(curve, [&](int x, int y) { return sweep.contains(x, y); }));
    paintArea(*dc, arc.raw(), solidPaint(*dc, penColour(*dc, *pen)), rop3OfRop2(dc->state.rop2));
  } else {
    drawShape(hdc, RECT{left, top, right, bottom}, shape, kind != ArcKind::Arc);
  }
  if (pen == nullptr || kind == ArcKind::Arc) return TRUE;
  if (kind == ArcKind::Pie) strokeSurface(*dc, {e, sweep.centre(), s}, false);
  else strokeSurface(*dc, {e, s}, false);
  return TRUE;
}

RegionData logicalRegionOnSurface(Dc& dc, HRGN rgn) {
  RegionData d = regionData(rgn);
  d.offset(dc.state.viewportOrg.x - dc.state.windowOrg.x + dc.origin.x,
           dc.state.viewportOrg.y - dc.state.windowOrg.y + dc.origin.y);
  return d;
}

}  // namespace
}  // namespace qv::os::gdi

using namespace qv::os::gdi;

BOOL LineTo(HDC hdc, int x, int y) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return FALSE;
  POINT pts[2] = {dc->state.pos, {x, y}};
  stroke(*dc, pts, 2, false);
  dc->state.pos = {x, y};
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* pts, int count) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || pts == nullptr || count < 2) return FALSE;
  stroke(*dc, pts, count, false);
  return TRUE;
}

BOOL PolylineTo(HDC hdc, const POINT* pts, DWORD count) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || pts == nullptr) return FALSE;
  if (count == 0) return TRUE;
  std::vector<POINT> all;
  all.reserve(count + 1);
  all.push_back(dc->state.pos);
  all.insert(all.end(), pts, pts + count);
  stroke(*dc, all.data(), static_cast<int>(all.size()), false);
  dc->state.pos = pts[count - 1];
  return TRUE;
}

BOOL PolyPolyline(HDC hdc, const POINT* pts, const DWORD* counts, DWORD polylines) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || pts == nullptr || counts == nullptr) return FALSE;
  for (DWORD i = 0; i < polylines; ++i)
    if (counts[i] < 2) return FALSE;
  for (DWORD i = 0; i < polylines; ++i) {
    stroke(*dc, pts, static_cast<int>(counts[i]), false);
    pts += counts[i];
  }
  return TRUE;
}

BOOL PolyPolygon(HDC hdc, const POINT* pts, const INT* counts, int polygons) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || pts == nullptr || counts == nullptr || polygons <= 0) return FALSE;
  std::vector<POINT> moved;
  for (int i = 0; i < polygons; ++i) {
    if (counts[i] < 2) return FALSE;
    for (int k = 0; k < counts[i]; ++k) moved.push_back(toSurface(*dc, pts[moved.size()]));
  }
  if (!dc->surface) return TRUE;
  int top, bottom;
  drawableRows(*dc, top, bottom);
  fillSpans(*dc, polygonSpans(moved.data(), counts, polygons, dc->state.polyFillMode, top, bottom));
  const POINT* p = pts;
  for (int i = 0; i < polygons; ++i) {
    stroke(*dc, p, counts[i], true);
    p += counts[i];
  }
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* pts, int count) { return PolyPolygon(hdc, pts, &count, 1); }

// The pen strokes the rectangle's last pixels inside as a closed path that
// starts at the top-right corner and runs counterclockwise (a styled pen's
// dashes follow it), centred on the path for a wide pen and kept inside the
// rectangle for PS_INSIDEFRAME; the brush fills what the path encloses.
// Without a pen the filled area is one pixel smaller, as on the platform.
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return FALSE;
  if (!dc->surface) return TRUE;
  RECT r = normalised(toSurface(*dc, RECT{left, top, right, bottom}));
  Pen* pen = activePen(*dc);
  if (pen == nullptr) {
    RegionData area = boxArea(r.left, r.top, r.right - 1, r.bottom - 1);
    paintArea(*dc, area.raw(), paintOf(*dc, dc->state.brush), rop3OfRop2(dc->state.rop2));
    return TRUE;
  }
  r = insideFrame(*pen, r);
  if (r.right <= r.left || r.bottom <= r.top) return TRUE;
  const std::vector<POINT> path = {{r.right - 1, r.top}, {r.left, r.top}, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}};
  StrokeArea ring = strokeOf(*dc, *pen, path, true);
  RegionData inside = boxArea(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
  inside.subtract(ring.on);
  inside.subtract(ring.off);
  if (inside.complexity() != NULLREGION)
    paintArea(*dc, inside.raw(), paintOf(*dc, dc->state.brush), rop3OfRop2(dc->state.rop2));
  paintStroke(*dc, ring, *pen);
  return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return FALSE;
  if (!dc->surface) return TRUE;
  RECT r = normalised(toSurface(*dc, RECT{left, top, right, bottom}));
  const int cw = static_cast<int>(std::min<long long>(std::llabs(width), static_cast<long long>(r.right) - r.left));
  const int ch = static_cast<int>(std::min<long long>(std::llabs(height), static_cast<long long>(r.bottom) - r.top));
  Pen* pen = activePen(*dc);
  // Corners of less than two pixels round nothing.
  if (pen != nullptr && pen->width == 1 && (cw < 2 || ch < 2)) return Rectangle(hdc, left, top, right, bottom);
  if (pen != nullptr && pen->width == 1) {
    // A thin pen draws the corner ellipse's curve, its left half at the
    // left corners and its right half at the right ones, joined by the
    // straight sides; the brush fills what the curve and the sides enclose.
    int clipTop, clipBottom;
    drawableRows(*dc, clipTop, clipBottom);
    EllipseShape corner(0, 0, cw, ch);
    const int shift = r.right - cw;  // where the corner ellipse's right half goes
    std::vector<Span> curve, inside;
    for (int y = std::max<int>(r.top, clipTop); y < std::min<int>(r.bottom, clipBottom); ++y) {
      const long long fromTop = static_cast<long long>(y) - r.top, fromBottom = static_cast<long long>(r.bottom) - 1 - y;
      EllipseShape::Row e;
      if (fromTop < ch / 2) {
        corner.row(static_cast<int>(fromTop), e);
      } else if (fromBottom < ch / 2) {
        corner.row(static_cast<int>(ch - 1 - fromBottom), e);
      } else {
        // Between the corners the straight sides.
        curve.push_back({y, r.left, r.left + 1});
        curve.push_back({y, r.right - 1, r.right});
        inside.push_back({y, r.left + 1, r.right - 1});
        continue;
      }
      if (e.innerLeft >= e.innerRight) {
        curve.push_back({y, r.left + e.outerLeft, shift + e.outerRight});
        continue;
      }
      curve.push_back({y, r.left + e.outerLeft, r.left + e.innerLeft});
      curve.push_back({y, shift + e.innerRight, shift + e.outerRight});
      inside.push_back({y, r.left + e.innerLeft, shift + e.innerRight});
    }
    fillSpans(*dc, inside);
    RegionData ring = regionOfSpans(curve);
    paintArea(*dc, ring.raw(), solidPaint(*dc, penColour(*dc, *pen)), rop3OfRop2(dc->state.rop2));
    return TRUE;
  }
  return drawShape(hdc, RECT{left, top, right, bottom}, [=](RECT r, int shrink, int clipTop, int clipBottom) {
    return roundRectSpans(r.left, r.top, r.right, r.bottom, std::max(0, std::abs(width) - shrink),
                          std::max(0, std::abs(height) - shrink), clipTop, clipBottom);
  });
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return FALSE;
  if (!dc->surface) return TRUE;
  RECT r = normalised(toSurface(*dc, RECT{left, top, right, bottom}));
  int clipTop, clipBottom;
  drawableRows(*dc, clipTop, clipBottom);
  if (Pen* pen = activePen(*dc); pen != nullptr && pen->width > 1) {
    // A wide pen is centred on the curve: the ring between the ellipses of
    // the box grown by the pen's reach outward and shrunk by its reach
    // inward.
    r = insideFrame(*pen, r);
    const int before = pen->width / 2, after = pen->width - 1 - before;
    RegionData outer = regionOfSpans(
        ellipseSpans(r.left - before, r.top - before, r.right + after, r.bottom + after, clipTop, clipBottom));
    RegionData inner;
    if (r.right - 1 - before > r.left + pen->width - before && r.bottom - 1 - before > r.top + pen->width - before)
      inner = regionOfSpans(ellipseSpans(r.left + pen->width - before, r.top + pen->width - before, r.right - 1 - before,
                                         r.bottom - 1 - before, clipTop, clipBottom));
    paintArea(*dc, inner.raw(), paintOf(*dc, dc->state.brush), rop3OfRop2(dc->state.rop2));
    outer.subtract(inner);
    paintArea(*dc, outer.raw(), solidPaint(*dc, penColour(*dc, *pen)), rop3OfRop2(dc->state.rop2));
    return TRUE;
  }
  EllipseShape e(r.left, r.top, r.right, r.bottom);
  std::vector<Span> inside, curve;
  const bool pen = activePen(*dc) != nullptr;
  for (int y = std::max(e.top(), clipTop); y < std::min(e.bottom(), clipBottom); ++y) {
    EllipseShape::Row row;
    if (!e.row(y, row)) continue;
    if (!pen) {
      // Without a pen the curve's pixels are filled too; a thin box fills
      // as a rectangle does, a pixel smaller.
      if (!e.thin()) inside.push_back({y, row.outerLeft, row.outerRight});
      else if (y < r.bottom - 1) inside.push_back({y, r.left, r.right - 1});
      continue;
    }
    if (row.innerLeft < row.innerRight) inside.push_back({y, row.innerLeft, row.innerRight});
    curve.push_back({y, row.outerLeft, row.innerLeft});
    if (row.innerRight < row.outerRight && row.innerRight >= row.innerLeft)
      curve.push_back({y, row.innerRight, row.outerRight});
  }
  fillSpans(*dc, inside);
  if (pen) {
    RegionData ring = regionOfSpans(curve);
    paintArea(*dc, ring.raw(), solidPaint(*dc, penColour(*dc, *activePen(*dc))), rop3OfRop2(dc->state.rop2));
  }
  return TRUE;
}

BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  return drawArc(dc, left, top, right, bottom, xs, ys, xe, ye, ArcKind::Arc);
}

BOOL Chord(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  return drawArc(dc, left, top, right, bottom, xs, ys, xe, ye, ArcKind::Chord);
}

BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  return drawArc(dc, left, top, right, bottom, xs, ys, xe, ye, ArcKind::Pie);
}

int FillRect(HDC hdc, const RECT* r, HBRUSH brush) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || r == nullptr) return 0;
  brush = resolveBrush(brush);
  if (brushOf(brush) == nullptr) return 0;
  RECT s = backwardsFilled(toSurface(*dc, *r));
  paintRect(*dc, s.left, s.top, s.right, s.bottom, paintOf(*dc, brush), 0xF0);
  return 1;
}

int FrameRect(HDC hdc, const RECT* r, HBRUSH brush) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || r == nullptr) return 0;
  brush = resolveBrush(brush);
  if (brushOf(brush) == nullptr) return 0;
  RECT s = toSurface(*dc, *r);
  // An empty or backwards rectangle has no frame to draw.
  if (s.left >= s.right || s.top >= s.bottom) return 0;
  RegionData frame(s.left, s.top, s.right, s.bottom);
  if (s.right - s.left > 2 && s.bottom - s.top > 2) frame.subtract(RegionData(s.left + 1, s.top + 1, s.right - 1, s.bottom - 1));
  paintArea(*dc, frame.raw(), paintOf(*dc, brush), 0xF0);
  return 1;
}

BOOL InvertRect(HDC hdc, const RECT* r) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || r == nullptr) return FALSE;
  RECT s = backwardsFilled(toSurface(*dc, *r));
  paintRect(*dc, s.left, s.top, s.right, s.bottom, Paint{}, 0x55);
  return TRUE;
}

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
  Dc* dc = dcOf(hdc);
  brush = resolveBrush(brush);
  if (dc == nullptr || regionOf(rgn) == nullptr || brushOf(brush) == nullptr) return FALSE;
  RegionData area = logicalRegionOnSurface(*dc, rgn);
  paintArea(*dc, area.raw(), paintOf(*dc, brush), 0xF0);
  return TRUE;
}

BOOL PaintRgn(HDC hdc, HRGN rgn) {
  Dc* dc = dcOf(hdc);
  return dc != nullptr && FillRgn(hdc, rgn, dc->state.brush);
}

BOOL InvertRgn(HDC hdc, HRGN rgn) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || regionOf(rgn) == nullptr) return FALSE;
  RegionData area = logicalRegionOnSurface(*dc, rgn);
  paintArea(*dc, area.raw(), Paint{}, 0x55);
  return TRUE;
}

BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int width, int height) {
  Dc* dc = dcOf(hdc);
  brush = resolveBrush(brush);
  if (dc == nullptr || regionOf(rgn) == nullptr || brushOf(brush) == nullptr || width < 0 || height < 0) return FALSE;
  RegionData area = logicalRegionOnSurface(*dc, rgn);
  // The frame is what an erosion by (width, height) takes away.
  RegionData inner = area;
  auto erode = [&](int x, int y) {
    RegionData moved = area;
    moved.offset(x, y);
    inner.intersect(moved);
  };
  for (int i = 1; i <= width; ++i) {
    erode(i, 0);
    erode(-i, 0);
  }
  for (int i = 1; i <= height; ++i) {
    erode(0, i);
    erode(0, -i);
  }
  area.subtract(inner);
  paintArea(*dc, area.raw(), paintOf(*dc, brush), 0xF0);
  return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  Dc* dc = dcOf(hdc);
  auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
  if (dc == nullptr || ropUsesSource(code)) return FALSE;
  RECT s = backwardsFilled(toSurface(*dc, RECT{x, y, x + width, y + height}));
  paintRect(*dc, s.left, s.top, s.right, s.bottom, ropUsesPattern(code) ? paintOf(*dc, dc->state.brush) : Paint{},
            code);
  return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF c) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || !dc->surface) return CLR_INVALID;
  POINT p = toSurface(*dc, POINT{x, y});
  if (!pixman_region32_contains_point(dc->drawable(), p.x, p.y, nullptr))
    return CLR_INVALID;
  SurfaceUse use(dc->surface.get());
  Paint paint = solidPaint(*dc, c & kRgb);
  dc->surface->row(p.y)[p.x] = paint.pixel;
  return colorOf(paint.pixel);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF c) { return SetPixel(hdc, x, y, c) != CLR_INVALID; }

COLORREF GetPixel(HDC hdc, int x, int y) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || !dc->surface) return CLR_INVALID;
  POINT p = toSurface(*dc, POINT{x, y});
  if (!pixman_region32_contains_point(dc->drawable(), p.x, p.y, nullptr))
    return CLR_INVALID;
  SurfaceUse use(dc->surface.get(), false);
  return colorOf(dc->surface->row(p.y)[p.x] & kRgb);
}
