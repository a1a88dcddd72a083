// Region algebra against brute-force point sets, region shapes, region data
// round trips, and the rectangle geometry helpers.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <set>
#include <vector>

#include "GdiCanvas.h"

namespace {

constexpr int kGrid = 24;
using Points = std::set<std::pair<int, int>>;

Points pointsOf(HRGN rgn) {
  Points p;
  for (int y = -2; y < kGrid + 2; ++y)
    for (int x = -2; x < kGrid + 2; ++x)
      if (PtInRegion(rgn, x, y)) p.insert({x, y});
  return p;
}

Points pointsOf(const std::vector<RECT>& rects) {
  Points p;
  for (const RECT& r : rects)
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) p.insert({x, y});
  return p;
}

// What the platform answers for a set: empty, one rectangle, or more.
int complexityOf(const Points& p) {
  if (p.empty()) return NULLREGION;
  int l = kGrid, t = kGrid, r = -kGrid, b = -kGrid;
  for (auto [x, y] : p) {
    l = std::min(l, x), t = std::min(t, y), r = std::max(r, x + 1), b = std::max(b, y + 1);
  }
  return static_cast<size_t>((r - l) * (b - t)) == p.size() ? SIMPLEREGION : COMPLEXREGION;
}

TEST(RegionAlgebra, MatchesPointSetsOnRandomRectangles) {
  std::mt19937 rng(20261210);
  std::uniform_int_distribution<int> coord(0, kGrid);
  std::uniform_int_distribution<int> count(0, 3);
  auto randomRects = [&] {
    std::vector<RECT> rects;
    for (int i = count(rng); i > 0; --i) rects.push_back({coord(rng), coord(rng), coord(rng), coord(rng)});
    for (RECT& r : rects) {
      if (r.left > r.right) std::swap(r.left, r.right);
      if (r.top > r.bottom) std::swap(r.top, r.bottom);
    }
    return rects;
  };
  auto regionOf = [](const std::vector<RECT>& rects) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : rects) {
      HRGN part = CreateRectRgnIndirect(&r);
      CombineRgn(rgn, rgn, part, RGN_OR);
      DeleteObject(part);
    }
    return rgn;
  };
  for (int round = 0; round < 200; ++round) {
    std::vector<RECT> ra = randomRects(), rb = randomRects();
    HRGN a = regionOf(ra), b = regionOf(rb), out = CreateRectRgn(0, 0, 0, 0);
    Points pa = pointsOf(ra), pb = pointsOf(rb);
    struct {
      int mode;
      Points expected;
    } cases[] = {{RGN_AND, {}}, {RGN_OR, {}}, {RGN_XOR, {}}, {RGN_DIFF, {}}, {RGN_COPY, pa}};
    for (auto [x, y] : pa) {
      bool inB = pb.count({x, y}) != 0;
      (inB ? cases[0] : cases[2]).expected.insert({x, y});
      if (!inB) cases[3].expected.insert({x, y});
    }
    for (auto pt : pb)
      if (!pa.count(pt)) cases[2].expected.insert(pt);
    cases[1].expected = pa;
    cases[1].expected.insert(pb.begin(), pb.end());
    for (const auto& c : cases) {
      int code = CombineRgn(out, a, b, c.mode);
      ASSERT_EQ(pointsOf(out), c.expected) << "round " << round << " mode " << c.mode;
      ASSERT_EQ(code, complexityOf(c.expected)) << "round " << round << " mode " << c.mode;
    }
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(out);
  }
}

TEST(RegionAlgebra, BadHandlesAndModesAreErrors) {
  HRGN a = CreateRectRgn(0, 0, 2, 2);
  EXPECT_EQ(CombineRgn(a, a, nullptr, RGN_AND), ERROR);
  EXPECT_EQ(CombineRgn(a, a, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(CombineRgn(a, a, a, 9), ERROR);
  EXPECT_EQ(OffsetRgn(nullptr, 1, 1), ERROR);
  RECT box;
  EXPECT_EQ(GetRgnBox(reinterpret_cast<HRGN>(GetStockObject(BLACK_BRUSH)), &box), ERROR);
  DeleteObject(a);
}

TEST(Regions, ShapesAsPictures) {
  auto picture = [](HRGN rgn, int w, int h) {
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
      std::string row;
      for (int x = 0; x < w; ++x) row += PtInRegion(rgn, x, y) ? '#' : '.';
      rows.push_back(row);
    }
    DeleteObject(rgn);
    return rows;
  };
  // A pixel belongs to the polygon when its top-left corner does, so the
  // region keeps within the outline: the diamond's top and right points
  // hold no pixel.
  POINT diamond[] = {{3, 0}, {6, 3}, {3, 6}, {0, 3}};
  EXPECT_EQ(picture(CreatePolygonRgn(diamond, 4, ALTERNATE), 6, 6),
            (std::vector<std::string>{"......", "..##..", ".####.", "######", ".####.", "..##.."}));
  // Like a rectangle's, elliptic and rounded regions leave out the right
  // column and the bottom row of their box.
  EXPECT_EQ(picture(CreateEllipticRgn(0, 0, 6, 6), 6, 6),
            (std::vector<std::string>{".###..", "#####.", "#####.", "#####.", ".###..", "......"}));
  EXPECT_EQ(picture(CreateRoundRectRgn(0, 0, 6, 4, 4, 4), 6, 4),
            (std::vector<std::string>{".###..", "#####.", ".###..", "......"}));
  // A one-pixel ellipse has no pixel at all; a polygon of one point neither.
  HRGN dot = CreateEllipticRgn(2, 2, 3, 3);
  RECT box;
  EXPECT_EQ(GetRgnBox(dot, &box), NULLREGION);
  DeleteObject(dot);
  HRGN point = CreatePolygonRgn(diamond, 1, ALTERNATE);
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(GetRgnBox(point, &box), NULLREGION);
  DeleteObject(point);
  EXPECT_EQ(picture(CreateRectRgn(4, 3, 1, 1), 5, 4),
            (std::vector<std::string>{".....", ".###.", ".###.", "....."}));
}

TEST(Regions, QueriesAndOffsets) {
  HRGN rgn = CreateRectRgn(1, 1, 4, 3);
  HRGN hole = CreateRectRgn(2, 1, 3, 2);
  EXPECT_EQ(CombineRgn(rgn, rgn, hole, RGN_DIFF), COMPLEXREGION);
  RECT box;
  EXPECT_EQ(GetRgnBox(rgn, &box), COMPLEXREGION);
  EXPECT_TRUE(EqualRect(&box, std::array<RECT, 1>{RECT{1, 1, 4, 3}}.data()));
  RECT inHole{2, 1, 3, 2}, touching{3, 2, 9, 9}, outside{4, 3, 9, 9};
  EXPECT_FALSE(RectInRegion(rgn, &inHole));
  EXPECT_TRUE(RectInRegion(rgn, &touching));
  EXPECT_FALSE(RectInRegion(rgn, &outside));
  EXPECT_EQ(OffsetRgn(rgn, 10, 20), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(rgn, 11, 21));
  EXPECT_FALSE(PtInRegion(rgn, 12, 21));
  EXPECT_FALSE(PtInRegion(rgn, 14, 22));  // right edge excluded
  EXPECT_TRUE(SetRectRgn(rgn, 0, 0, 0, 5));
  EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
  EXPECT_EQ(box.right, 0);
  DeleteObject(rgn);
  DeleteObject(hole);
}

TEST(Regions, RegionDataRoundTrip) {
  HRGN rgn = CreateRectRgn(0, 0, 4, 4);
  HRGN hole = CreateRectRgn(1, 1, 3, 3);
  CombineRgn(rgn, rgn, hole, RGN_DIFF);
  DWORD size = GetRegionData(rgn, 0, nullptr);
  ASSERT_EQ(size, sizeof(RGNDATAHEADER) + 4 * sizeof(RECT));  // top, two sides, bottom bands
  EXPECT_EQ(GetRegionData(rgn, size - 1, reinterpret_cast<RGNDATA*>(std::vector<char>(size).data())), 0u);
  std::vector<char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  EXPECT_EQ(GetRegionData(rgn, size, data), size);
  EXPECT_EQ(data->rdh.iType, static_cast<DWORD>(RDH_RECTANGLES));
  EXPECT_EQ(data->rdh.nCount, 4u);
  EXPECT_EQ(data->rdh.rcBound.right, 4);
  HRGN copy = ExtCreateRegion(nullptr, size, data);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(EqualRgn(rgn, copy));
  EXPECT_FALSE(EqualRgn(rgn, hole));
  data->rdh.nCount = 1000;  // more rectangles than the buffer holds
  EXPECT_EQ(ExtCreateRegion(nullptr, size, data), nullptr);
  DeleteObject(rgn);
  DeleteObject(hole);
  DeleteObject(copy);
}

TEST(Rects, GeometryHelpers) {
  RECT a{0, 0, 4, 4}, b{2, 2, 6, 6}, out;
  EXPECT_TRUE(IntersectRect(&out, &a, &b));
  EXPECT_EQ((std::array<LONG, 4>{out.left, out.top, out.right, out.bottom}), (std::array<LONG, 4>{2, 2, 4, 4}));
  RECT far{10, 10, 12, 12};
  EXPECT_FALSE(IntersectRect(&out, &a, &far));
  EXPECT_TRUE(IsRectEmpty(&out));
  EXPECT_TRUE(UnionRect(&out, &a, &far));
  EXPECT_EQ(out.right, 12);
  RECT top{0, 0, 4, 1};
  EXPECT_TRUE(SubtractRect(&out, &a, &top));
  EXPECT_EQ(out.top, 1);
  EXPECT_TRUE(SubtractRect(&out, &a, &b));  // a corner does not shrink it
  EXPECT_TRUE(EqualRect(&out, &a));
  // Both sides of each edge: left and top are inside, right and bottom not.
  const struct {
    POINT p;
    bool inside;
  } points[] = {{{0, 0}, true},   {{-1, 0}, false}, {{0, -1}, false}, {{3, 3}, true},
                {{4, 3}, false},  {{3, 4}, false},  {{4, 4}, false},  {{2, 3}, true}};
  for (const auto& c : points) EXPECT_EQ(PtInRect(&a, c.p) != FALSE, c.inside) << c.p.x << "," << c.p.y;
  InflateRect(&a, 1, 2);
  OffsetRect(&a, 1, 1);
  EXPECT_EQ((std::array<LONG, 4>{a.left, a.top, a.right, a.bottom}), (std::array<LONG, 4>{0, -1, 6, 7}));
  // Past the coordinate range the sums wrap round as 32-bit numbers do
  // (a page box of an absurd size reaches there), never undefined.
  RECT edge{INT32_MIN + 81, 0, INT32_MAX - 1, 10};
  OffsetRect(&edge, -526, 0);
  EXPECT_EQ(edge.left, INT32_MAX - 444);
  EXPECT_EQ(edge.right, INT32_MAX - 527);
  InflateRect(&edge, 0, INT32_MAX);
  EXPECT_EQ((std::array<LONG, 2>{edge.top, edge.bottom}), (std::array<LONG, 2>{-INT32_MAX, INT32_MIN + 9}));
}

}  // namespace
