#include "platform/os/gdi/Region.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qv::os::gdi {

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
RegionData RegionData::ellipse(int left, int top, int right, int bottom) {
  return regionOfSpans(ellipseSpans(left, top, right, bottom));
}
RegionData RegionData::roundRect(int left, int top, int right, int bottom, int ew, int eh) {
  return regionOfSpans(roundRectSpans(left, top, right, bottom, ew, eh));
}

std::vector<Span> polygonSpans(const POINT* pts, const INT* counts, int polygons, int fillMode, int clipTop,
                               int clipBottom) {
  struct Edge {
    double x0, y0, x1, y1;
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
      edges.push_back({double(a.x), double(a.y), double(b.x), double(b.y), dir});
      minY = std::min(minY, int(a.y));
      maxY = std::max(maxY, int(b.y));
    }
    p += n;
  }
  std::vector<Span> spans;
  minY = std::max(minY, clipTop);
  maxY = std::min(maxY, clipBottom);
  std::vector<std::pair<double, int>> xs;
  for (int y = minY; y < maxY; ++y) {
    double yc = y + 0.5;
    xs.clear();
    for (const Edge& e : edges)
      if (e.y0 <= yc && yc < e.y1) xs.push_back({e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
    if (xs.empty()) continue;
    std::sort(xs.begin(), xs.end());
    auto emit = [&](double xl, double xr) {
      int x0 = clampCoord(static_cast<long long>(std::ceil(xl - 0.5)));
      int x1 = clampCoord(static_cast<long long>(std::ceil(xr - 0.5)));
      if (x0 < x1) spans.push_back({y, x0, x1});
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

void normalise(int& left, int& top, int& right, int& bottom) {
  left = clampCoord(left), top = clampCoord(top), right = clampCoord(right), bottom = clampCoord(bottom);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
}

// The span [x0, x1) of row `row` (0 = top) of an ellipse in a w x h box at 0.
bool ellipseRow(int w, int h, int row, int& x0, int& x1) {
  double a = w / 2.0 - 0.25, b = h / 2.0 - 0.25;
  double dy = row + 0.5 - h / 2.0;
  double v = 1.0 - (dy / b) * (dy / b);
  if (v < 0) return false;
  double hw = a * std::sqrt(v);
  double cx = w / 2.0;
  x0 = std::max(0, static_cast<int>(std::ceil(cx - hw - 0.5)));
  x1 = std::min(w, static_cast<int>(std::floor(cx + hw - 0.5)) + 1);
  return x0 < x1;
}

}  // namespace

std::vector<Span> ellipseSpans(int left, int top, int right, int bottom, int clipTop, int clipBottom) {
  normalise(left, top, right, bottom);
  std::vector<Span> spans;
  int w = right - left, h = bottom - top;
  if (w <= 0 || h <= 0) return spans;
  for (int y = std::max(top, clipTop); y < std::min(bottom, clipBottom); ++y) {
    int x0, x1;
    if (ellipseRow(w, h, y - top, x0, x1)) spans.push_back({y, left + x0, left + x1});
  }
  return spans;
}

std::vector<Span> roundRectSpans(int left, int top, int right, int bottom, int ew, int eh, int clipTop,
                                 int clipBottom) {
  normalise(left, top, right, bottom);
  std::vector<Span> spans;
  int w = right - left, h = bottom - top;
  if (w <= 0 || h <= 0) return spans;
  ew = std::min(std::abs(ew), w);
  eh = std::min(std::abs(eh), h);
  if (ew < 2 || eh < 2) ew = eh = 0;
  for (int y = std::max(top, clipTop); y < std::min(bottom, clipBottom); ++y) {
    int i = y - top, j = bottom - 1 - y;
    int row = -1;
    if (i < eh / 2) row = i;
    else if (j < eh / 2) row = eh - 1 - j;
    int inset = 0;
    if (row >= 0) {
      int x0, x1;
      if (!ellipseRow(ew, eh, row, x0, x1)) continue;
      inset = x0;
    }
    if (left + inset < right - inset) spans.push_back({y, left + inset, right - inset});
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

HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode) {
  if (pts == nullptr || count < 2 || (fillMode != ALTERNATE && fillMode != WINDING)) return nullptr;
  return CreatePolyPolygonRgn(pts, &count, 1, fillMode);
}

HRGN CreatePolyPolygonRgn(const POINT* pts, const INT* counts, int polygons, int fillMode) {
  if (pts == nullptr || counts == nullptr || polygons <= 0 || (fillMode != ALTERNATE && fillMode != WINDING))
    return nullptr;
  for (int i = 0; i < polygons; ++i)
    if (counts[i] < 2) return nullptr;
  return createRegion(RegionData::polygon(pts, counts, polygons, fillMode));
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
