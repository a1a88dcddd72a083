#include "platform/os/gdi/Region.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qv::os::gdi {

namespace {

void normalise(int& left, int& top, int& right, int& bottom) {
  left = clampCoord(left), top = clampCoord(top), right = clampCoord(right), bottom = clampCoord(bottom);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
}

// ceil(n / d) for d > 0.
long long ceilDiv(long long n, long long d) { return n >= 0 ? (n + d - 1) / d : -((-n) / d); }

}  // namespace

RegionData::RegionData() { pixman_region32_init(&r_); }
RegionData::RegionData(int left, int top, int right, int bottom) {
  pixman_region32_init(&r_);
  setRect(left, top, right, bottom);
}
RegionData::RegionData(const RegionData& other) {
  pixman_region32_init(&r_);
  pixman_region32_copy(&r_, &other.r_);
}
RegionData& RegionData::operator=(const RegionData& other) {
  if (this != &other) pixman_region32_copy(&r_, &other.r_);
  return *this;
}
RegionData::~RegionData() { pixman_region32_fini(&r_); }

int RegionData::complexity() const {
  int n = pixman_region32_n_rects(&r_);
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT RegionData::box() const {
  if (!pixman_region32_not_empty(&r_)) return {0, 0, 0, 0};
  const pixman_box32_t* e = pixman_region32_extents(&r_);
  return {e->x1, e->y1, e->x2, e->y2};
}

bool RegionData::contains(int x, int y) const { return pixman_region32_contains_point(&r_, x, y, nullptr) != 0; }
void RegionData::offset(int x, int y) { pixman_region32_translate(&r_, x, y); }

void RegionData::setRect(int left, int top, int right, int bottom) {
  left = clampCoord(left), top = clampCoord(top), right = clampCoord(right), bottom = clampCoord(bottom);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  pixman_region32_fini(&r_);
  if (left == right || top == bottom)
    pixman_region32_init(&r_);
  else
    pixman_region32_init_rect(&r_, left, top, static_cast<unsigned>(right - left),
                              static_cast<unsigned>(bottom - top));
}

void RegionData::intersect(const RegionData& o) { pixman_region32_intersect(&r_, &r_, &o.r_); }
void RegionData::unite(const RegionData& o) { pixman_region32_union(&r_, &r_, &o.r_); }
void RegionData::subtract(const RegionData& o) { pixman_region32_subtract(&r_, &r_, &o.r_); }
void RegionData::exclusiveOr(const RegionData& o) {
  RegionData both = *this;
  both.intersect(o);
  unite(o);
  subtract(both);
}
bool RegionData::operator==(const RegionData& o) const { return pixman_region32_equal(&r_, &o.r_) != 0; }

std::vector<RECT> RegionData::rects() const {
  int n = 0;
  const pixman_box32_t* b = pixman_region32_rectangles(&r_, &n);
  std::vector<RECT> out(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) out[static_cast<size_t>(i)] = {b[i].x1, b[i].y1, b[i].x2, b[i].y2};
  return out;
}

RegionData RegionData::fromRects(const std::vector<RECT>& rects) {
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(rects.size());
  for (const RECT& r : rects)
    if (r.left < r.right && r.top < r.bottom) boxes.push_back({r.left, r.top, r.right, r.bottom});
  RegionData d;
  if (!boxes.empty()) {
    pixman_region32_fini(&d.r_);
    pixman_region32_init_rects(&d.r_, boxes.data(), static_cast<int>(boxes.size()));
  }
  return d;
}

RegionData regionOfSpans(const std::vector<Span>& spans) {
  std::vector<RECT> rects;
  rects.reserve(spans.size());
  for (const Span& s : spans) rects.push_back({s.x0, s.y, s.x1, s.y + 1});
  return RegionData::fromRects(rects);
}

RegionData RegionData::polygon(const POINT* pts, const INT* counts, int polygons, int fillMode) {
  return regionOfSpans(polygonSpans(pts, counts, polygons, fillMode));
}
// Both leave out the right column and the bottom row of their box, as a
// rectangle does: the shape is the one drawn in the box a pixel smaller.
// Boxes of up to three pixels across are that smaller box, square.
RegionData RegionData::ellipse(int left, int top, int right, int bottom) {
  normalise(left, top, right, bottom);
  if (left == right || top == bottom) return RegionData();
  if (right - left <= 3 || bottom - top <= 3) return RegionData(left, top, right - 1, bottom - 1);
  return regionOfSpans(ellipseSpans(left, top, right - 1, bottom - 1));
}
RegionData RegionData::roundRect(int left, int top, int right, int bottom, int ew, int eh) {
  normalise(left, top, right, bottom);
  if (left == right || top == bottom) return RegionData();
  return regionOfSpans(roundRectSpans(left, top, right - 1, bottom - 1, ew, eh));
}

std::vector<Span> polygonSpans(const POINT* pts, const INT* counts, int polygons, int fillMode, int clipTop,
                               int clipBottom) {
  struct Edge {
    long long x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  int minY = clipBottom, maxY = clipTop;
  const POINT* p = pts;
  for (int k = 0; k < polygons; ++k) {
    int n = counts[k];
    if (n < 0) return {};
    for (int i = 0; i < n; ++i) {
      POINT a = p[i], b = p[(i + 1) % n];
      a = {clampCoord(a.x), clampCoord(a.y)};
      b = {clampCoord(b.x), clampCoord(b.y)};
      if (a.y == b.y) continue;
      int dir = a.y < b.y ? 1 : -1;
      if (dir < 0) std::swap(a, b);
      edges.push_back({a.x, a.y, b.x, b.y, dir});
      minY = std::min(minY, int(a.y));
      maxY = std::max(maxY, int(b.y));
    }
    p += n;
  }
  std::vector<Span> spans;
  minY = std::max(minY, clipTop);
  maxY = std::min(maxY, clipBottom);
  // Each row is sampled along its top edge: an edge crosses row y when
  // y0 <= y < y1, and the pixels from the first corner at or right of one
  // crossing up to the next crossing belong to the polygon.
  std::vector<std::pair<long long, int>> xs;
  for (int y = minY; y < maxY; ++y) {
    xs.clear();
    for (const Edge& e : edges)
      if (e.y0 <= y && y < e.y1) xs.push_back({e.x0 + ceilDiv((y - e.y0) * (e.x1 - e.x0), e.y1 - e.y0), e.dir});
    if (xs.empty()) continue;
    std::sort(xs.begin(), xs.end());
    auto emit = [&](long long xl, long long xr) {
      if (xl < xr) spans.push_back({y, clampCoord(xl), clampCoord(xr)});
    };
    if (fillMode == WINDING) {
      int wind = 0;
      for (size_t i = 0; i + 1 < xs.size(); ++i) {
        wind += xs[i].second;
        if (wind != 0) emit(xs[i].first, xs[i + 1].first);
      }
    } else {
      for (size_t i = 0; i + 1 < xs.size(); i += 2) emit(xs[i].first, xs[i + 1].first);
    }
  }
  return spans;
}

namespace {

using Wide = __int128;

// The largest v of parity `parity` in [parity, limit] for which `inside`
// holds, given that it holds for small values and not for large ones, or
// -1 when it does not even hold at `parity`.
template <class Inside>
long long largestOnGrid(long long parity, long long limit, Inside inside) {
  if (limit < parity || !inside(parity)) return -1;
  long long lo = 0, hi = (limit - parity) / 2;
  if (inside(parity + 2 * hi)) return parity + 2 * hi;
  while (hi - lo > 1) {
    long long mid = lo + (hi - lo) / 2;
    (inside(parity + 2 * mid) ? lo : hi) = mid;
  }
  return parity + 2 * lo;
}

}  // namespace

// The curve is worked out in one quadrant, in coordinates doubled so that
// the centre of a box of even size falls on the grid: x and y run from the
// centre outward, pixel centres sit at the parity of a = width - 1 and
// b = height - 1, and the ellipse is b^2 x^2 + a^2 y^2 = a^2 b^2. Going from
// the top, each column of the flat part takes the highest row whose midpoint
// below is strictly inside; once the slope passes one, each row takes the
// outermost column whose midpoint to its left is strictly inside.
EllipseShape::EllipseShape(int left, int top, int right, int bottom) {
  normalise(left, top, right, bottom);
  left_ = left, top_ = top, right_ = right, bottom_ = bottom;
  const long long w = static_cast<long long>(right) - left, h = static_cast<long long>(bottom) - top;
  if (w <= 0 || h <= 0 || (w == 1 && h == 1)) {
    top_ = bottom_ = top;
    return;
  }
  if (w <= 2 || h <= 2) {
    thin_ = true;
    return;
  }
  a_ = w - 1;
  b_ = h - 1;
  // The turn: the first column of the flat walk where the slope reaches one.
  auto steep = [&](long long x) {
    long long y = flatRow(x);
    return y < 0 || Wide(b_) * b_ * x >= Wide(a_) * a_ * y;
  };
  const long long px = a_ & 1;
  if (steep(px)) {
    xs_ = px;
    ys_ = b_;
    return;
  }
  long long lo = 0, hi = (a_ - px) / 2;  // steep at the far end, where y is 0
  while (hi - lo > 1) {
    long long mid = lo + (hi - lo) / 2;
    (steep(px + 2 * mid) ? hi : lo) = mid;
  }
  xs_ = px + 2 * hi;
  // The flat walk comes down at most one row per column.
  ys_ = std::max(flatRow(xs_), flatRow(xs_ - 2) - 2);
}

// Column x of the flat part: the highest row whose midpoint below is inside.
long long EllipseShape::flatRow(long long x) const {
  const Wide aa = Wide(a_) * a_, bb = Wide(b_) * b_, xx = bb * x * x, ab = aa * bb;
  return largestOnGrid(b_ & 1, b_, [&](long long y) { return xx + aa * (y - 1) * (y - 1) < ab; });
}

// Row y of the flat part reaches out to the last column whose midpoint
// below is inside.
long long EllipseShape::flatRowEnd(long long y) const {
  const Wide aa = Wide(a_) * a_, bb = Wide(b_) * b_, yy = aa * (y - 1) * (y - 1), ab = aa * bb;
  return largestOnGrid(a_ & 1, a_, [&](long long x) { return bb * x * x + yy < ab; });
}

// Row y of the steep part: the outermost column whose midpoint to the left
// is inside, never inside the turn.
long long EllipseShape::steepColumn(long long y) const {
  const Wide aa = Wide(a_) * a_, bb = Wide(b_) * b_, yy = aa * y * y, ab = aa * bb;
  long long x = largestOnGrid(a_ & 1, a_, [&](long long x) { return bb * (x - 1) * (x - 1) + yy < ab; });
  return std::max(x, xs_);
}

bool EllipseShape::row(int y, Row& out) const {
  if (y < top_ || y >= bottom_) return false;
  if (thin_) {
    out = {left_, right_, right_, right_};
    return true;
  }
  const long long yq = std::llabs(2 * (static_cast<long long>(y) - top_) - b_);
  long long inner, outer;
  if (yq > ys_) {
    inner = yq == b_ ? (a_ & 1) : flatRowEnd(yq + 2) + 2;
    outer = std::min(flatRowEnd(yq), xs_ - 2);
  } else if (yq == ys_) {
    inner = yq == b_ ? (a_ & 1) : std::min(flatRowEnd(yq + 2) + 2, xs_);
    outer = xs_;
  } else {
    inner = outer = steepColumn(yq);
  }
  // The middle rows reach the box's sides even where the flat walk of a
  // flat ellipse drops past them before its slope turns.
  if (yq == (b_ & 1)) outer = a_;
  out.outerLeft = static_cast<int>(left_ + (a_ - outer) / 2);
  out.innerLeft = static_cast<int>(left_ + (a_ - inner) / 2 + 1);
  out.innerRight = static_cast<int>(left_ + (a_ + inner) / 2);
  out.outerRight = static_cast<int>(left_ + (a_ + outer) / 2 + 1);
  if (out.innerLeft > out.innerRight) out.innerLeft = out.innerRight = out.outerRight;
  return true;
}

std::vector<Span> ellipseSpans(int left, int top, int right, int bottom, int clipTop, int clipBottom) {
  EllipseShape e(left, top, right, bottom);
  std::vector<Span> spans;
  EllipseShape::Row r;
  for (int y = std::max(e.top(), clipTop); y < std::min(e.bottom(), clipBottom); ++y)
    if (e.row(y, r)) spans.push_back({y, r.outerLeft, r.outerRight});
  return spans;
}

std::vector<Span> roundRectSpans(int left, int top, int right, int bottom, int ew, int eh, int clipTop,
                                 int clipBottom) {
  normalise(left, top, right, bottom);
  std::vector<Span> spans;
  const long long w = static_cast<long long>(right) - left, h = static_cast<long long>(bottom) - top;
  if (w <= 0 || h <= 0) return spans;
  const int cw = static_cast<int>(std::min<long long>(std::abs(static_cast<long long>(ew)), w));
  const int ch = static_cast<int>(std::min<long long>(std::abs(static_cast<long long>(eh)), h));
  EllipseShape corner(0, 0, cw, ch);
  for (int y = std::max(top, clipTop); y < std::min(bottom, clipBottom); ++y) {
    // The corner ellipse's upper half rounds the top rows, its lower half
    // the bottom ones; the rows between are straight.
    const long long fromTop = static_cast<long long>(y) - top, fromBottom = static_cast<long long>(bottom) - 1 - y;
    EllipseShape::Row r{0, 0, 0, 0};
    if (fromTop < ch / 2) corner.row(static_cast<int>(fromTop), r);
    else if (fromBottom < ch / 2) corner.row(static_cast<int>(ch - 1 - fromBottom), r);
    if (left + r.outerLeft < right - r.outerLeft) spans.push_back({y, left + r.outerLeft, right - r.outerLeft});
  }
  return spans;
}

Region* regionOf(HRGN h) { return lookupAs<Region>(h, OBJ_REGION); }

HRGN createRegion(const RegionData& data) { return addObjectAs<HRGN>(std::make_unique<Region>(data)); }

RegionData regionData(HRGN h) {
  Region* r = regionOf(h);
  return r != nullptr ? r->data : RegionData();
}

}  // namespace qv::os::gdi

using namespace qv::os::gdi;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return createRegion(RegionData(left, top, right, bottom));
}

HRGN CreateRectRgnIndirect(const RECT* r) {
  return r == nullptr ? nullptr : CreateRectRgn(r->left, r->top, r->right, r->bottom);
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int widthEllipse, int heightEllipse) {
  return createRegion(RegionData::roundRect(left, top, right, bottom, widthEllipse, heightEllipse));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  return createRegion(RegionData::ellipse(left, top, right, bottom));
}

HRGN CreateEllipticRgnIndirect(const RECT* r) {
  return r == nullptr ? nullptr : CreateEllipticRgn(r->left, r->top, r->right, r->bottom);
}

// A polygon of fewer than two points encloses nothing, and any fill mode
// but WINDING fills alternately.
HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode) {
  if (pts == nullptr || count < 0) return nullptr;
  return CreatePolyPolygonRgn(pts, &count, 1, fillMode);
}

HRGN CreatePolyPolygonRgn(const POINT* pts, const INT* counts, int polygons, int fillMode) {
  if (pts == nullptr || counts == nullptr || polygons <= 0) return nullptr;
  for (int i = 0; i < polygons; ++i)
    if (counts[i] < 0) return nullptr;
  return createRegion(RegionData::polygon(pts, counts, polygons, fillMode == WINDING ? WINDING : ALTERNATE));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  Region* d = regionOf(dest);
  Region* a = regionOf(src1);
  Region* b = mode == RGN_COPY ? a : regionOf(src2);
  if (d == nullptr || a == nullptr || b == nullptr) return ERROR;
  RegionData result = a->data;
  switch (mode) {
    case RGN_AND: result.intersect(b->data); break;
    case RGN_OR: result.unite(b->data); break;
    case RGN_XOR: result.exclusiveOr(b->data); break;
    case RGN_DIFF: result.subtract(b->data); break;
    case RGN_COPY: break;
    default: return ERROR;
  }
  d->data = result;
  return d->data.complexity();
}

int OffsetRgn(HRGN rgn, int x, int y) {
  Region* r = regionOf(rgn);
  if (r == nullptr) return ERROR;
  r->data.offset(x, y);
  return r->data.complexity();
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  Region* r = regionOf(rgn);
  return r != nullptr && r->data.contains(x, y);
}

BOOL RectInRegion(HRGN rgn, const RECT* rc) {
  Region* r = regionOf(rgn);
  if (r == nullptr || rc == nullptr) return FALSE;
  RegionData probe(rc->left, rc->top, rc->right, rc->bottom);
  probe.intersect(r->data);
  return probe.complexity() != NULLREGION;
}

int GetRgnBox(HRGN rgn, LPRECT box) {
  Region* r = regionOf(rgn);
  if (r == nullptr || box == nullptr) return ERROR;
  *box = r->data.box();
  return r->data.complexity();
}

DWORD GetRegionData(HRGN rgn, DWORD size, LPRGNDATA data) {
  Region* r = regionOf(rgn);
  if (r == nullptr) return 0;
  std::vector<RECT> rects = r->data.rects();
  DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  if (data == nullptr) return needed;
  if (size < needed) return 0;
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  data->rdh.rcBound = r->data.box();
  if (!rects.empty()) std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
  return size;
}

HRGN ExtCreateRegion(const XFORM* xform, DWORD size, const RGNDATA* data) {
  if (xform != nullptr || data == nullptr || size < sizeof(RGNDATAHEADER)) return nullptr;
  const RGNDATAHEADER& h = data->rdh;
  if (h.dwSize < sizeof(RGNDATAHEADER) || h.dwSize > size || h.iType != RDH_RECTANGLES) return nullptr;
  if (h.nCount > (size - h.dwSize) / sizeof(RECT)) return nullptr;
  std::vector<RECT> rects(h.nCount);
  if (h.nCount != 0)
    std::memcpy(rects.data(), reinterpret_cast<const char*>(data) + h.dwSize, h.nCount * sizeof(RECT));
  for (RECT& rc : rects) normalise(rc.left, rc.top, rc.right, rc.bottom);
  return createRegion(RegionData::fromRects(rects));
}

BOOL EqualRgn(HRGN a, HRGN b) {
  Region* ra = regionOf(a);
  Region* rb = regionOf(b);
  if (ra == nullptr || rb == nullptr) return ERROR;
  return ra->data == rb->data;
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  Region* r = regionOf(rgn);
  if (r == nullptr) return FALSE;
  r->data.setRect(left, top, right, bottom);
  return TRUE;
}
