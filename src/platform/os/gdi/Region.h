// Regions on pixman's banded rectangles. Shapes that GDI rasterises in its
// own way (polygons, ellipses, rounded rectangles) are scan-converted here
// into spans with the platform's rules and then handed to pixman.
#pragma once

#include <pixman.h>

#include <memory>
#include <vector>

#include "platform/os/Types.h"
#include "platform/os/gdi/GdiObject.h"

#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_ERROR ERROR
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5
#define RDH_RECTANGLES 1
// Polygon fill modes.
#define ALTERNATE 1
#define WINDING 2

struct RGNDATAHEADER {
  DWORD dwSize;
  DWORD iType;
  DWORD nCount;
  DWORD nRgnSize;
  RECT rcBound;
};
struct RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];
};
using LPRGNDATA = RGNDATA*;
struct XFORM;

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* r);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int widthEllipse, int heightEllipse);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* r);
HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode);
HRGN CreatePolyPolygonRgn(const POINT* pts, const INT* counts, int polygons, int fillMode);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int x, int y);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* r);
int GetRgnBox(HRGN rgn, LPRECT box);
DWORD GetRegionData(HRGN rgn, DWORD size, LPRGNDATA data);
// The transform must be null: only plain rectangle lists are read.
HRGN ExtCreateRegion(const XFORM* xform, DWORD size, const RGNDATA* data);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);

namespace qv::os::gdi {

// A pixman region with value semantics.
class RegionData {
 public:
  RegionData();
  RegionData(int left, int top, int right, int bottom);
  RegionData(const RegionData& other);
  RegionData& operator=(const RegionData& other);
  ~RegionData();

  pixman_region32_t* raw() { return &r_; }
  const pixman_region32_t* raw() const { return &r_; }
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int complexity() const;
  RECT box() const;
  bool contains(int x, int y) const;
  void offset(int x, int y);
  void setRect(int left, int top, int right, int bottom);
  void intersect(const RegionData& o);
  void unite(const RegionData& o);
  void subtract(const RegionData& o);
  void exclusiveOr(const RegionData& o);
  bool operator==(const RegionData& o) const;
  std::vector<RECT> rects() const;
  // The banded rectangles without copying them.
  const pixman_box32_t* boxes(int& count) const { return pixman_region32_rectangles(&r_, &count); }

  static RegionData fromRects(const std::vector<RECT>& rects);
  // The regions of CreatePolygonRgn, CreateEllipticRgn and
  // CreateRoundRectRgn. Like a rectangle's, the elliptic and rounded ones
  // leave out the box's right column and bottom row.
  static RegionData polygon(const POINT* pts, const INT* counts, int polygons, int fillMode);
  static RegionData ellipse(int left, int top, int right, int bottom);
  static RegionData roundRect(int left, int top, int right, int bottom, int ew, int eh);

 private:
  pixman_region32_t r_;
};

class Region : public GdiObject {
 public:
  Region() : GdiObject(OBJ_REGION) {}
  explicit Region(RegionData d) : GdiObject(OBJ_REGION), data(std::move(d)) {}
  RegionData data;
};

Region* regionOf(HRGN h);
// A new region handle holding a copy; windows keep their region this way.
HRGN createRegion(const RegionData& data);
// A copy of a region's data, or an empty region for a bad handle.
RegionData regionData(HRGN h);

// Horizontal spans [x0, x1) on row y of filled shapes. A pixel belongs to a
// polygon when its top-left corner is inside (corners on a left or top edge
// count, on a right or bottom edge do not), so that the fill keeps within
// the polygon's outline. Ellipses and the corners of rounded rectangles are
// those of EllipseShape. Only rows in [clipTop, clipBottom) are produced;
// without a clip, shapes are cut to rows -65536 to 65535, far beyond any
// surface.
struct Span {
  int y;
  int x0;
  int x1;
};
constexpr int kNoClipTop = -(1 << 16);
constexpr int kNoClipBottom = 1 << 16;

// Coordinates beyond the platform's 27-bit space are pinned to its edge, so
// that no arithmetic on them overflows.
constexpr int kCoordLimit = 1 << 27;
constexpr int clampCoord(long long v) {
  return v < -kCoordLimit ? -kCoordLimit : v > kCoordLimit ? kCoordLimit : static_cast<int>(v);
}
std::vector<Span> polygonSpans(const POINT* pts, const INT* counts, int polygons, int fillMode,
                               int clipTop = kNoClipTop, int clipBottom = kNoClipBottom);

// The platform's ellipse in the pixels [left, right) x [top, bottom): a thin
// 8-connected curve through the box's extreme pixels and what it encloses.
// Each pixel of the curve is placed by the midpoint rule on the ellipse
// through the centres of those extreme pixels: going round from the top,
// the curve steps outward along the flat parts and inward along the steep
// ones, and takes the step whose half-pixel midpoint lies strictly inside.
// A box one or two pixels thin is all curve; a one-pixel box has none.
class EllipseShape {
 public:
  EllipseShape(int left, int top, int right, int bottom);
  // The curve's pixels on row y are [outerLeft, innerLeft) and
  // [innerRight, outerRight); it encloses [innerLeft, innerRight), which
  // may be empty. False for a row the ellipse does not reach.
  struct Row {
    int outerLeft, innerLeft, innerRight, outerRight;
  };
  bool row(int y, Row& out) const;
  int top() const { return top_; }
  int bottom() const { return bottom_; }
  // Boxes one or two pixels thin: all curve, nothing enclosed.
  bool thin() const { return thin_; }

 private:
  int left_, top_, right_, bottom_;
  bool thin_ = false;
  long long a_ = 0, b_ = 0;   // doubled semi-axes: width - 1, height - 1
  long long xs_ = 0, ys_ = 0;  // where the curve turns from flat to steep
  long long flatRowEnd(long long y) const;
  long long steepColumn(long long y) const;
  long long flatRow(long long x) const;
};

// The curve of an ellipse with what it encloses, and without.
std::vector<Span> ellipseSpans(int left, int top, int right, int bottom, int clipTop = kNoClipTop,
                               int clipBottom = kNoClipBottom);
// A rectangle whose corners are quarters of the ellipse in a box of
// min(ew, width) x min(eh, height).
std::vector<Span> roundRectSpans(int left, int top, int right, int bottom, int ew, int eh,
                                 int clipTop = kNoClipTop, int clipBottom = kNoClipBottom);
RegionData regionOfSpans(const std::vector<Span>& spans);

}  // namespace qv::os::gdi
