// Regions: creation of every shape, CombineRgn in every mode, OffsetRgn,
// GetRgnBox and PtInRegion over a grid, with their return codes.
#include <string>

#include "Conformance.h"

namespace {

// What a caller learns of a region: its box with GetRgnBox's answer, and
// its points around the box.
void show(HRGN rgn, int x0 = -2, int y0 = -2, int w = 36, int h = 36) {
  if (rgn == nullptr) {
    conf::value("handle", 0);
    return;
  }
  RECT box{};
  conf::value("GetRgnBox", GetRgnBox(rgn, &box));
  conf::rect("box", box);
  conf::regionPoints("points", rgn, x0, y0, w, h);
  DeleteObject(rgn);
}

std::string rectName(int l, int t, int r, int b) {
  return std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," + std::to_string(b);
}

struct Box {
  int l, t, r, b;
};

void rectangles() {
  const Box boxes[] = {{2, 3, 9, 7}, {9, 7, 2, 3}, {2, 3, 2, 9}, {4, 4, 5, 5}, {0, 0, 0, 0}, {-3, -3, 4, 4}};
  for (const Box& x : boxes) {
    conf::begin("rect " + rectName(x.l, x.t, x.r, x.b));
    show(CreateRectRgn(x.l, x.t, x.r, x.b));
  }
}

void ellipses() {
  const Box boxes[] = {{0, 0, 1, 1},   {0, 0, 2, 2},   {0, 0, 3, 3},   {0, 0, 4, 4},  {0, 0, 5, 5},
                       {0, 0, 6, 6},   {0, 0, 7, 7},   {0, 0, 8, 8},   {1, 1, 10, 6}, {2, 2, 18, 18},
                       {0, 0, 31, 13}, {0, 0, 2, 9},   {0, 0, 9, 1},   {12, 12, 3, 3}, {4, 4, 4, 10},
                       {-5, -5, 9, 9}, {0, 0, 32, 32}, {3, 1, 30, 25}};
  for (const Box& x : boxes) {
    conf::begin("ellipse " + rectName(x.l, x.t, x.r, x.b));
    show(CreateEllipticRgn(x.l, x.t, x.r, x.b));
  }
}

void roundRects() {
  struct Case {
    Box box;
    int w, h;
  };
  const Case cases[] = {
      {{0, 0, 10, 8}, 4, 4},   {{0, 0, 10, 8}, 0, 0},   {{0, 0, 10, 8}, 1, 1},   {{0, 0, 10, 8}, 2, 2},
      {{0, 0, 10, 8}, 3, 3},   {{0, 0, 10, 8}, 6, 3},   {{0, 0, 10, 8}, 20, 20}, {{0, 0, 10, 8}, -4, -4},
      {{2, 2, 30, 20}, 9, 7},  {{2, 2, 30, 20}, 16, 16}, {{20, 20, 2, 2}, 8, 8}, {{0, 0, 1, 1}, 2, 2},
      {{0, 0, 5, 5}, 5, 5},    {{0, 0, 24, 16}, 24, 16},
  };
  for (const Case& c : cases) {
    conf::begin("roundrect " + rectName(c.box.l, c.box.t, c.box.r, c.box.b) + " " + std::to_string(c.w) + "x" +
                std::to_string(c.h));
    show(CreateRoundRectRgn(c.box.l, c.box.t, c.box.r, c.box.b, c.w, c.h));
  }
}

void polygons() {
  struct Case {
    const char* name;
    std::vector<POINT> pts;
  };
  const Case cases[] = {
      {"triangle", {{0, 0}, {6, 0}, {0, 6}}},
      {"triangle wide", {{1, 1}, {29, 5}, {9, 27}}},
      {"diamond", {{3, 0}, {6, 3}, {3, 6}, {0, 3}}},
      {"diamond large", {{15, 1}, {29, 15}, {15, 29}, {1, 15}}},
      {"square", {{2, 2}, {10, 2}, {10, 10}, {2, 10}}},
      {"square reversed", {{2, 2}, {2, 10}, {10, 10}, {10, 2}}},
      {"arrow right", {{2, 10}, {14, 10}, {14, 4}, {26, 15}, {14, 26}, {14, 20}, {2, 20}}},
      {"arrow down small", {{3, 3}, {10, 3}, {6, 7}}},
      {"arrow up small", {{6, 3}, {10, 7}, {2, 7}}},
      {"star", {{16, 1}, {20, 11}, {31, 11}, {22, 18}, {26, 29}, {16, 22}, {6, 29}, {10, 18}, {1, 11}, {12, 11}}},
      {"pentagram", {{16, 1}, {25, 29}, {1, 11}, {31, 11}, {7, 29}}},
      {"bow tie", {{2, 2}, {20, 14}, {20, 2}, {2, 14}}},
      {"concave", {{2, 2}, {28, 2}, {28, 28}, {15, 10}, {2, 28}}},
      {"thin sliver", {{0, 0}, {30, 1}, {0, 2}}},
      {"steep sliver", {{5, 0}, {6, 30}, {4, 30}}},
      {"collinear", {{1, 1}, {5, 5}, {9, 9}}},
      {"two points", {{1, 1}, {9, 9}}},
      {"horizontal line", {{1, 4}, {20, 4}, {10, 4}}},
      {"negative", {{-4, -4}, {10, -2}, {3, 12}}},
      {"slopes", {{0, 0}, {31, 3}, {28, 31}, {2, 24}}},
  };
  for (int mode : {ALTERNATE, WINDING}) {
    for (const Case& c : cases) {
      conf::begin(std::string("polygon ") + c.name + (mode == ALTERNATE ? " alternate" : " winding"));
      show(CreatePolygonRgn(c.pts.data(), static_cast<int>(c.pts.size()), mode));
    }
  }
  POINT pts[] = {{0, 0}, {12, 0}, {12, 12}, {0, 12}, {6, 6}, {18, 6}, {18, 18}, {6, 18}, {2, 2}, {4, 2}, {4, 4}};
  INT counts[] = {4, 4, 3};
  for (int mode : {ALTERNATE, WINDING}) {
    conf::begin(std::string("polypolygon") + (mode == ALTERNATE ? " alternate" : " winding"));
    show(CreatePolyPolygonRgn(pts, counts, 3, mode));
  }
  conf::begin("polygon one point");
  show(CreatePolygonRgn(pts, 1, ALTERNATE));
  conf::begin("polygon bad fill mode");
  show(CreatePolygonRgn(pts, 3, 7));
}

HRGN shapeA() {
  HRGN r = CreateRectRgn(2, 2, 16, 12);
  HRGN e = CreateEllipticRgn(10, 6, 26, 22);
  CombineRgn(r, r, e, RGN_OR);
  DeleteObject(e);
  return r;
}

void combining() {
  struct Pair {
    const char* name;
    HRGN (*a)();
    HRGN (*b)();
  };
  const Pair pairs[] = {
      {"overlapping", shapeA, [] { return CreateRectRgn(8, 4, 30, 16); }},
      {"disjoint", [] { return CreateRectRgn(0, 0, 4, 4); }, [] { return CreateRectRgn(10, 10, 14, 14); }},
      {"same", [] { return CreateRectRgn(3, 3, 9, 9); }, [] { return CreateRectRgn(3, 3, 9, 9); }},
      {"inside", [] { return CreateRectRgn(0, 0, 20, 20); }, [] { return CreateRectRgn(5, 5, 10, 10); }},
      {"empty second", [] { return CreateRectRgn(2, 2, 8, 8); }, [] { return CreateRectRgn(0, 0, 0, 0); }},
      {"both empty", [] { return CreateRectRgn(0, 0, 0, 0); }, [] { return CreateRectRgn(5, 5, 5, 9); }},
      {"side by side", [] { return CreateRectRgn(0, 0, 6, 6); }, [] { return CreateRectRgn(6, 0, 12, 6); }},
      {"stacked", [] { return CreateRectRgn(0, 0, 6, 6); }, [] { return CreateRectRgn(0, 6, 6, 12); }},
  };
  const struct {
    int mode;
    const char* name;
  } modes[] = {{RGN_AND, "and"}, {RGN_OR, "or"}, {RGN_XOR, "xor"}, {RGN_DIFF, "diff"}, {RGN_COPY, "copy"}};
  for (const Pair& p : pairs) {
    for (const auto& m : modes) {
      conf::begin(std::string("combine ") + p.name + " " + m.name);
      HRGN a = p.a(), b = p.b(), out = CreateRectRgn(0, 0, 1, 1);
      conf::value("CombineRgn", CombineRgn(out, a, b, m.mode));
      show(out);
      DeleteObject(a);
      DeleteObject(b);
    }
  }
  conf::begin("combine into a source");
  HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15);
  conf::value("CombineRgn", CombineRgn(a, a, b, RGN_XOR));
  show(a);
  DeleteObject(b);
  conf::begin("combine bad mode");
  a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15);
  conf::value("CombineRgn", CombineRgn(a, a, b, 0));
  conf::value("CombineRgn 6", CombineRgn(a, a, b, 6));
  show(a);
  DeleteObject(b);
  conf::begin("combine copy ignores the second");
  a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(1, 1, 3, 3);
  conf::value("CombineRgn", CombineRgn(b, a, nullptr, RGN_COPY));
  show(b);
  DeleteObject(a);
}

void offsets() {
  const struct {
    const char* name;
    HRGN (*make)();
    int dx, dy;
  } cases[] = {
      {"rect", [] { return CreateRectRgn(0, 0, 5, 5); }, 3, 4},
      {"rect back", [] { return CreateRectRgn(10, 10, 15, 15); }, -8, -9},
      {"complex", shapeA, -2, 3},
      {"empty", [] { return CreateRectRgn(4, 4, 4, 4); }, 5, 5},
      {"ellipse", [] { return CreateEllipticRgn(0, 0, 9, 9); }, 20, 1},
  };
  for (const auto& c : cases) {
    conf::begin(std::string("offset ") + c.name);
    HRGN r = c.make();
    conf::value("OffsetRgn", OffsetRgn(r, c.dx, c.dy));
    show(r);
  }
  conf::begin("set rect region");
  HRGN r = CreateEllipticRgn(0, 0, 20, 20);
  conf::value("SetRectRgn", SetRectRgn(r, 8, 9, 3, 4));
  show(r);
  conf::begin("rect in region");
  r = shapeA();
  const RECT probes[] = {{0, 0, 2, 2}, {0, 0, 3, 3}, {16, 2, 20, 5}, {15, 11, 16, 12}, {25, 14, 30, 16}, {5, 5, 5, 5}};
  for (const RECT& p : probes) conf::value("RectInRegion", RectInRegion(r, &p));
  show(r);
}

}  // namespace

void conf::run() {
  rectangles();
  ellipses();
  roundRects();
  polygons();
  combining();
  offsets();
}
