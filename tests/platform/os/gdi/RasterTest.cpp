// Shapes, lines and fills on a memory bitmap, asserted as pictures of their
// pixels: '.' white, '#' black, 'g' light grey unless a test says otherwise.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <set>
#include <functional>

#include "GdiCanvas.h"

using gditest::Canvas;
using gditest::Selected;
using Picture = std::vector<std::string>;

namespace {

const std::map<COLORREF, char> kLegend = {
    {RGB(255, 255, 255), '.'}, {RGB(0, 0, 0), '#'}, {RGB(192, 192, 192), 'g'},
    {RGB(255, 0, 0), 'r'},     {RGB(0, 0, 255), 'b'}};

struct ShapeCase {
  const char* name;
  int w, h;
  std::function<void(HDC)> draw;
  Picture expected;
};

class ShapeTest : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ShapeTest, DrawsExactPixels) {
  const ShapeCase& c = GetParam();
  Canvas canvas(c.w, c.h);
  c.draw(canvas.dc());
  EXPECT_EQ(canvas.picture(kLegend), c.expected) << c.name;
}

void withGreyBrush(HDC dc, const std::function<void()>& draw) {
  HGDIOBJ old = SelectObject(dc, GetStockObject(LTGRAY_BRUSH));
  draw();
  SelectObject(dc, old);
}

const ShapeCase kShapes[] = {
    {"FillRect excludes right and bottom", 6, 4,
     [](HDC dc) {
       RECT r{1, 1, 4, 3};
       FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
     },
     {"......", ".###..", ".###..", "......"}},
    {"FillRect of a backwards rectangle covers its start back to after its end", 6, 4,
     [](HDC dc) {
       RECT r{4, 3, 1, 1};
       FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
     },
     {"......", "......", "..###.", "..###."}},
    {"FrameRect draws nothing for a backwards rectangle", 6, 4,
     [](HDC dc) {
       RECT r{4, 3, 1, 1};
       EXPECT_EQ(FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
     },
     {"......", "......", "......", "......"}},
    {"FrameRect draws inside its rectangle", 6, 5,
     [](HDC dc) {
       RECT r{1, 1, 5, 4};
       FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
     },
     {"......", ".####.", ".#..#.", ".####.", "......"}},
    {"Rectangle: pen on the last column and row inside", 6, 5,
     [](HDC dc) { withGreyBrush(dc, [&] { Rectangle(dc, 1, 1, 5, 4); }); },
     {"......", ".####.", ".#gg#.", ".####.", "......"}},
    {"Rectangle normalises swapped corners", 6, 5,
     [](HDC dc) { withGreyBrush(dc, [&] { Rectangle(dc, 5, 4, 1, 1); }); },
     {"......", ".####.", ".#gg#.", ".####.", "......"}},
    {"Rectangle without a pen is a pixel smaller", 6, 5,
     [](HDC dc) {
       SelectObject(dc, GetStockObject(NULL_PEN));
       SelectObject(dc, GetStockObject(BLACK_BRUSH));
       Rectangle(dc, 1, 1, 5, 4);
     },
     {"......", ".###..", ".###..", "......", "......"}},
    // Sampled at the pixels' top-left corners, so that the fill keeps
    // within the outline below.
    {"Polygon fill: corners inside, right and bottom edges out", 7, 7,
     [](HDC dc) {
       POINT pts[] = {{0, 0}, {6, 0}, {0, 6}};
       SelectObject(dc, GetStockObject(NULL_PEN));
       SelectObject(dc, GetStockObject(BLACK_BRUSH));
       Polygon(dc, pts, 3);
     },
     {"######.", "#####..", "####...", "###....", "##.....", "#......", "......."}},
    {"Polygon outline closes through every vertex", 7, 7,
     [](HDC dc) {
       POINT pts[] = {{0, 0}, {6, 0}, {0, 6}};
       SelectObject(dc, GetStockObject(NULL_BRUSH));
       Polygon(dc, pts, 3);
     },
     {"#######", "#....#.", "#...#..", "#..#...", "#.#....", "##.....", "#......"}},
    {"Ellipse with pen and brush", 6, 6,
     [](HDC dc) { withGreyBrush(dc, [&] { Ellipse(dc, 0, 0, 6, 6); }); },
     {"..##..", ".#gg#.", "#gggg#", "#gggg#", ".#gg#.", "..##.."}},
    // Unlike a rectangle, an ellipse without a pen fills its whole curve.
    {"Ellipse without a pen fills the curve's pixels", 6, 6,
     [](HDC dc) {
       SelectObject(dc, GetStockObject(NULL_PEN));
       SelectObject(dc, GetStockObject(BLACK_BRUSH));
       Ellipse(dc, 0, 0, 6, 6);
     },
     {"..##..", ".####.", "######", "######", ".####.", "..##.."}},
    // A thin curve of the ellipse's pixels; like a line's last point, the
    // pixel on the end radial is left out.
    {"Arc: counterclockwise from the first radial to the second", 9, 5,
     [](HDC dc) { Arc(dc, 0, 0, 9, 9, 9, 4, 4, 0); },
     {".....#...", "......##.", ".......#.", "........#", "........#"}},
    {"Pie closes through the centre", 9, 5,
     [](HDC dc) { withGreyBrush(dc, [&] { Pie(dc, 0, 0, 9, 9, 9, 4, 4, 0); }); },
     {"....##...", "....#g##.", "....#gg#.", "....#ggg#", "....#####"}},
    {"Chord closes with a straight line", 9, 6,
     [](HDC dc) { withGreyBrush(dc, [&] { Chord(dc, 0, 0, 9, 9, 9, 4, 0, 4); }); },
     {"...###...", ".##ggg##.", ".#ggggg#.", "#ggggggg#", "#########", "........."}},
    {"RoundRect corners", 7, 5,
     [](HDC dc) { withGreyBrush(dc, [&] { RoundRect(dc, 0, 0, 7, 5, 4, 4); }); },
     {".#####.", "#ggggg#", "#ggggg#", "#ggggg#", ".#####."}},
};

INSTANTIATE_TEST_SUITE_P(Raster, ShapeTest, ::testing::ValuesIn(kShapes));

TEST(Polygon, FillModesDecideOverlaps) {
  POINT pts[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {2, 2}, {6, 2}, {6, 6}, {2, 6}};
  INT counts[] = {4, 4};
  struct {
    int mode;
    Picture expected;
  } cases[] = {
      {ALTERNATE, {"####...", "####...", "##..##.", "##..##.", "..####.", "..####.", "......."}},
      {WINDING, {"####...", "####...", "######.", "######.", "..####.", "..####.", "......."}},
  };
  for (const auto& c : cases) {
    Canvas canvas(7, 7);
    SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
    SelectObject(canvas.dc(), GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(canvas.dc(), c.mode);
    PolyPolygon(canvas.dc(), pts, counts, 2);
    EXPECT_EQ(canvas.picture(), c.expected) << c.mode;
  }
}

TEST(Lines, LeaveOutTheLastPoint) {
  struct {
    POINT from, to;
    Picture expected;
  } cases[] = {
      {{0, 0}, {4, 0}, {"####.", ".....", ".....", ".....", "....."}},
      {{2, 4}, {2, 0}, {".....", "..#..", "..#..", "..#..", "..#.."}},
      {{0, 0}, {3, 3}, {"#....", ".#...", "..#..", ".....", "....."}},
      {{0, 0}, {5, 2}, {"##...", "..##.", "....#", ".....", "....."}},
      {{2, 2}, {2, 2}, {".....", ".....", ".....", ".....", "....."}},
      // From far outside: the part that shows is still drawn.
      {{-(1 << 26), 3}, {4, 3}, {".....", ".....", ".....", "####.", "....."}},
      {{1 << 26, -(1 << 26)}, {0, 0}, {".....", ".....", ".....", ".....", "....."}},
  };
  for (const auto& c : cases) {
    Canvas canvas(5, 5);
    MoveToEx(canvas.dc(), c.from.x, c.from.y, nullptr);
    LineTo(canvas.dc(), c.to.x, c.to.y);
    EXPECT_EQ(canvas.picture(), c.expected) << c.to.x << "," << c.to.y;
    POINT pos;
    GetCurrentPositionEx(canvas.dc(), &pos);
    EXPECT_EQ(pos.x, c.to.x);
    EXPECT_EQ(pos.y, c.to.y);
  }
}

TEST(Lines, ClosedPolylineTouchesEachPixelOnce) {
  // Inverting shows a pixel drawn twice: it would turn back to white.
  Canvas canvas(5, 5);
  SetROP2(canvas.dc(), R2_NOT);
  POINT pts[] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}, {0, 0}};
  Polyline(canvas.dc(), pts, 5);
  EXPECT_EQ(canvas.picture(), (Picture{"####.", "#..#.", "#..#.", "####.", "....."}));
}

TEST(Lines, PenColourAndBinaryRasterOperations) {
  struct {
    int rop2;
    COLORREF expected;
  } cases[] = {
      {R2_COPYPEN, RGB(0x0F, 0xF0, 0x55)},
      {R2_NOT, RGB(0xFF - 0x33, 0xFF - 0x66, 0xFF - 0x99)},
      {R2_XORPEN, RGB(0x0F ^ 0x33, 0xF0 ^ 0x66, 0x55 ^ 0x99)},
      {R2_NOTXORPEN, RGB(0xFF - (0x0F ^ 0x33), 0xFF - (0xF0 ^ 0x66), 0xFF - (0x55 ^ 0x99))},
      {R2_MASKPEN, RGB(0x0F & 0x33, 0xF0 & 0x66, 0x55 & 0x99)},
      {R2_MERGEPEN, RGB(0x0F | 0x33, 0xF0 | 0x66, 0x55 | 0x99)},
      {R2_BLACK, RGB(0, 0, 0)},
      {R2_WHITE, RGB(255, 255, 255)},
      {R2_NOP, RGB(0x33, 0x66, 0x99)},
  };
  for (const auto& c : cases) {
    Canvas canvas(3, 1, RGB(0x33, 0x66, 0x99));
    Selected pen(canvas.dc(), CreatePen(PS_SOLID, 1, RGB(0x0F, 0xF0, 0x55)));
    EXPECT_EQ(SetROP2(canvas.dc(), c.rop2), R2_COPYPEN);
    MoveToEx(canvas.dc(), 0, 0, nullptr);
    LineTo(canvas.dc(), 3, 0);
    EXPECT_EQ(canvas.at(1, 0), c.expected) << c.rop2;
  }
}

TEST(Lines, DottedPenDrawsGapsInTheBackgroundWhenOpaque) {
  Canvas canvas(8, 2);
  Selected pen(canvas.dc(), CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
  SetBkColor(canvas.dc(), RGB(255, 0, 0));
  MoveToEx(canvas.dc(), 0, 0, nullptr);
  LineTo(canvas.dc(), 8, 0);
  SetBkMode(canvas.dc(), TRANSPARENT);
  MoveToEx(canvas.dc(), 0, 1, nullptr);
  LineTo(canvas.dc(), 8, 1);
  EXPECT_EQ(canvas.picture(kLegend), (Picture{"###rrr##", "###...##"}));
}

TEST(Lines, WidePenIsCentredWithRoundEnds) {
  // Centred on the line, both ends included and rounded: the end discs are
  // the 3 x 3 ellipse around each end point.
  Canvas canvas(7, 5);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, 3, RGB(0, 0, 0)));
  MoveToEx(canvas.dc(), 1, 2, nullptr);
  LineTo(canvas.dc(), 5, 2);
  EXPECT_EQ(canvas.picture(), (Picture{".......", ".#####.", "#######", ".#####.", "......."}));
}

TEST(WidePens, RectangleStrokesCentredOnItsEdgesOrInsideTheFrame) {
  // The path runs along the last pixels inside the rectangle (1..8 both
  // ways); a 3-pixel pen reaches one pixel either side of it with round
  // corners, and PS_INSIDEFRAME moves the path in so that the pen keeps
  // inside.
  struct {
    int style;
    Picture expected;
  } cases[] = {
      {PS_SOLID,
       {".########.", "##########", "##########", "###gggg###", "###gggg###", "###gggg###", "###gggg###",
        "##########", "##########"}},
      {PS_INSIDEFRAME,
       {"..........", "..######..", ".########.", ".########.", ".###gg###.", ".###gg###.", ".########.",
        ".########.", "..######.."}},
  };
  for (const auto& c : cases) {
    Canvas canvas(10, 9);
    Selected pen(canvas.dc(), CreatePen(c.style, 3, RGB(0, 0, 0)));
    HGDIOBJ old = SelectObject(canvas.dc(), GetStockObject(LTGRAY_BRUSH));
    Rectangle(canvas.dc(), 1, 1, 9, 9);
    SelectObject(canvas.dc(), old);
    EXPECT_EQ(canvas.picture(kLegend), c.expected) << c.style;
  }
}

TEST(PatternBrush, AlignsToTheBrushOriginInDeviceCoordinates) {
  // 0 bits take the text colour (red 'r'), 1 bits the background (blue 'b').
  const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH brush = CreatePatternBrush(pattern);
  DeleteObject(pattern);  // the brush keeps its own copy
  struct {
    POINT brushOrg, windowOrg;
    Picture expected;
  } cases[] = {
      {{0, 0}, {0, 0}, {"brbr", "rbrb"}},
      {{1, 0}, {0, 0}, {"rbrb", "brbr"}},
      {{0, 1}, {0, 0}, {"rbrb", "brbr"}},
      {{8, 8}, {0, 0}, {"brbr", "rbrb"}},
      {{0, 0}, {1, 0}, {"brbr", "rbrb"}},
  };
  for (const auto& c : cases) {
    Canvas canvas(4, 2);
    SetTextColor(canvas.dc(), RGB(255, 0, 0));
    SetBkColor(canvas.dc(), RGB(0, 0, 255));
    SetBrushOrgEx(canvas.dc(), c.brushOrg.x, c.brushOrg.y, nullptr);
    SetWindowOrgEx(canvas.dc(), c.windowOrg.x, c.windowOrg.y, nullptr);
    RECT r{c.windowOrg.x, c.windowOrg.y, c.windowOrg.x + 4, c.windowOrg.y + 2};
    FillRect(canvas.dc(), &r, brush);
    EXPECT_EQ(canvas.picture(kLegend), c.expected) << c.brushOrg.x << "," << c.brushOrg.y << " / " << c.windowOrg.x;
  }
  DeleteObject(brush);
}

TEST(HatchBrush, LinesInItsColourBackgroundByMode) {
  struct {
    int mode;
    Picture expected;
  } cases[] = {
      // The vertical hatch's line is the pattern's fifth column.
      {OPAQUE, {"bbbbrbbb", "bbbbrbbb"}},
      {TRANSPARENT, {"....r...", "....r..."}},
  };
  for (const auto& c : cases) {
    Canvas canvas(8, 2);
    SetBkColor(canvas.dc(), RGB(0, 0, 255));
    SetBkMode(canvas.dc(), c.mode);
    Selected brush(canvas.dc(), CreateHatchBrush(HS_VERTICAL, RGB(255, 0, 0)));
    PatBlt(canvas.dc(), 0, 0, 8, 2, PATCOPY);
    EXPECT_EQ(canvas.picture(kLegend), c.expected) << c.mode;
  }
}

TEST(PatBlt, PatternOnlyOperations) {
  const COLORREF d = RGB(0x0F, 0xF0, 0x33), p = RGB(0x55, 0xAA, 0xFF);
  struct {
    DWORD rop;
    COLORREF expected;
  } cases[] = {
      {PATCOPY, p},
      {PATINVERT, p ^ d},
      {DSTINVERT, ~d & 0xFFFFFFu},
      {BLACKNESS, RGB(0, 0, 0)},
      {WHITENESS, RGB(255, 255, 255)},
  };
  for (const auto& c : cases) {
    Canvas canvas(2, 2, d);
    Selected brush(canvas.dc(), CreateSolidBrush(p));
    // Negative extents run from the start pixel back to just after the
    // end: (1, 1) with -1 x -1 is the pixel (1, 1).
    EXPECT_TRUE(PatBlt(canvas.dc(), 1, 1, -1, -1, c.rop));
    EXPECT_EQ(canvas.at(1, 1), c.expected) << std::hex << c.rop;
    EXPECT_EQ(canvas.at(0, 0), d);
  }
  Canvas canvas(1, 1);
  EXPECT_FALSE(PatBlt(canvas.dc(), 0, 0, 1, 1, SRCCOPY));  // needs a source
}

TEST(Pixels, OutsideTheBitmapOrTheClipAreInvalid) {
  Canvas canvas(4, 4);
  for (POINT p : {POINT{4, 0}, POINT{-1, 0}, POINT{0, 4}, POINT{0, -1}}) {
    EXPECT_EQ(GetPixel(canvas.dc(), p.x, p.y), CLR_INVALID);
    EXPECT_EQ(SetPixel(canvas.dc(), p.x, p.y, RGB(0, 0, 0)), CLR_INVALID);
  }
  IntersectClipRect(canvas.dc(), 0, 0, 2, 2);
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(canvas.dc(), 2, 2), CLR_INVALID);
  EXPECT_EQ(SetPixel(canvas.dc(), 3, 3, RGB(0, 0, 0)), CLR_INVALID);
  EXPECT_EQ(canvas.at(3, 3), RGB(255, 255, 255));
  EXPECT_EQ(SetPixel(canvas.dc(), 1, 0, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 0), RGB(1, 2, 3));
}

TEST(AlphaByte, DrawingWritesZeroAndPlainCopiesKeepIt) {
  Canvas source(1, 1);
  source.setRaw(0, 0, 0x80123456u);
  struct {
    const char* name;
    std::function<void(HDC)> draw;
    std::uint32_t expected;
  } cases[] = {
      {"FillRect",
       [](HDC dc) {
         RECT r{0, 0, 1, 1};
         FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
       },
       0x00000000u},
      {"SetPixel", [](HDC dc) { SetPixel(dc, 0, 0, RGB(0x56, 0x34, 0x12)); }, 0x00563412u},
      {"LineTo",
       [](HDC dc) {
         MoveToEx(dc, 0, 0, nullptr);
         LineTo(dc, 1, 0);
       },
       0x00000000u},
      {"InvertRect",
       [](HDC dc) {
         RECT r{0, 0, 1, 1};
         InvertRect(dc, &r);
       },
       0x00EDCBA9u},
      {"BitBlt SRCCOPY", [&](HDC dc) { BitBlt(dc, 0, 0, 1, 1, source.dc(), 0, 0, SRCCOPY); }, 0x80123456u},
      {"BitBlt SRCAND", [&](HDC dc) { BitBlt(dc, 0, 0, 1, 1, source.dc(), 0, 0, SRCAND); }, 0x00123456u},
      {"StretchBlt SRCCOPY", [&](HDC dc) { StretchBlt(dc, 0, 0, 1, 1, source.dc(), 0, 0, 1, 1, SRCCOPY); },
       0x80123456u},
  };
  for (const auto& c : cases) {
    Canvas canvas(1, 1);
    canvas.setRaw(0, 0, c.name[0] == 'I' ? 0xFF123456u : 0xFFFFFFFFu);
    c.draw(canvas.dc());
    EXPECT_EQ(canvas.raw(0, 0), c.expected) << c.name;
  }
}

TEST(BadInput, AnswersErrorsAndNeverCrashes) {
  Canvas canvas(4, 4);
  HDC dc = canvas.dc();
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  HDC stale = CreateCompatibleDC(nullptr);
  DeleteDC(stale);
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  POINT far[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}};
  struct {
    const char* name;
    std::function<long long()> call;
    long long expected;
  } cases[] = {
      {"FillRect on a stale DC", [&] { return FillRect(stale, &huge, black); }, 0},
      {"FillRect with a pen for a brush", [&] { return FillRect(dc, &huge, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_PEN))); }, 0},
      {"FillRect without a rectangle", [&] { return FillRect(dc, nullptr, black); }, 0},
      {"FillRect over the whole coordinate space", [&] { return FillRect(dc, &huge, black); }, 1},
      {"StretchBlt at the widest extents",
       [&] { return StretchBlt(dc, INT_MIN, INT_MIN, INT_MIN, INT_MAX, dc, INT_MAX, 0, INT_MAX, INT_MIN, SRCCOPY); }, 1},
      {"BitBlt from a stale DC", [&] { return BitBlt(dc, 0, 0, 4, 4, stale, 0, 0, SRCCOPY); }, 0},
      {"Polygon with far points", [&] { return Polygon(dc, far, 3); }, 1},
      {"Polygon with one point", [&] { return Polygon(dc, far, 1); }, 0},
      {"Ellipse over the whole coordinate space", [&] { return Ellipse(dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX); }, 1},
      {"LineTo far away", [&] { return LineTo(dc, INT_MAX, INT_MIN); }, 1},
      {"elliptic region over the whole coordinate space",
       [&] {
         HRGN r = CreateEllipticRgn(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
         return static_cast<long long>(DeleteObject(r));
       },
       1},
      {"polygon region with far points",
       [&] {
         HRGN r = CreatePolygonRgn(far, 3, WINDING);
         return static_cast<long long>(DeleteObject(r));
       },
       1},
      {"SetViewportOrgEx far, then SetPixel", [&] {
         SetViewportOrgEx(dc, INT_MAX, INT_MAX, nullptr);
         return static_cast<long long>(SetPixel(dc, INT_MAX, INT_MAX, 0));
       }, static_cast<long long>(CLR_INVALID)},
      {"CreateBitmap far too large", [&] { return reinterpret_cast<long long>(CreateBitmap(1 << 20, 1 << 20, 1, 32, nullptr)); }, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.call(), c.expected) << c.name;
}

TEST(MulDiv, RoundsHalvesAwayFromZeroOverSixtyFourBits) {
  struct {
    int a, b, c, expected;
  } cases[] = {
      {1, 1, 2, 1},         {-1, 1, 2, -1},    {3, 1, 2, 2},   {5, 1, -2, -3},
      {-5, -1, 2, 3},       {1, 1, 3, 0},      {2, 1, 3, 1},   {-11, 96, 72, -15},
      {11, 96, 72, 15},     {-7, 96, 72, -9},  {7, 0, 3, 0},   {5, 7, 0, -1},
      {INT_MAX, 2, 2, INT_MAX}, {INT_MAX, 2, 1, -1}, {INT_MIN, 1, 1, INT_MIN}, {INT_MIN, -1, 1, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

}  // namespace

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels blackPixels(const Canvas& canvas) {
  Pixels p;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (canvas.at(x, y) == RGB(0, 0, 0)) p.insert({x, y});
  return p;
}

const std::vector<std::vector<POINT>> kPolygons = {
    {{16, 1}, {20, 11}, {31, 11}, {22, 18}, {26, 29}, {16, 22}, {6, 29}, {10, 18}, {1, 11}, {12, 11}},  // star
    {{2, 10}, {14, 10}, {14, 4}, {26, 15}, {14, 26}, {14, 20}, {2, 20}},                               // arrow
    {{3, 5}, {29, 12}, {9, 30}},                                                                       // triangle
    {{10, 10}, {17, 10}, {13, 14}},                                                                    // small arrow down
};

TEST(PolygonFill, StaysWithinItsOutlineAndIsItsRegion) {
  for (const auto& pts : kPolygons) {
    const int n = static_cast<int>(pts.size());
    Canvas fill(32, 32), outline(32, 32), region(32, 32);
    SelectObject(fill.dc(), GetStockObject(NULL_PEN));
    SelectObject(fill.dc(), GetStockObject(BLACK_BRUSH));
    Polygon(fill.dc(), pts.data(), n);
    SelectObject(outline.dc(), GetStockObject(NULL_BRUSH));
    Polygon(outline.dc(), pts.data(), n);
    HRGN rgn = CreatePolygonRgn(pts.data(), n, ALTERNATE);
    FillRgn(region.dc(), rgn, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DeleteObject(rgn);
    const Pixels filled = blackPixels(fill), edge = blackPixels(outline);
    EXPECT_EQ(blackPixels(region), filled) << pts[0].x;
    // Every filled pixel lies between the outline's leftmost and rightmost
    // pixels of its row.
    for (auto [x, y] : filled) {
      int lo = 99, hi = -1;
      for (auto [ex, ey] : edge)
        if (ey == y) lo = std::min(lo, ex), hi = std::max(hi, ex);
      EXPECT_TRUE(lo <= x && x <= hi) << "fill pixel " << x << "," << y << " outside the outline";
    }
  }
}

TEST(Lines, DrawTheSamePixelsInBothDirections) {
  // Half-pixel ties on every other step in each octant.
  const POINT ends[] = {{30, 22}, {30, 8}, {2, 22}, {2, 8}, {22, 30}, {8, 30}, {22, 2}, {8, 2}, {27, 21}};
  for (POINT e : ends) {
    Canvas there(32, 32), back(32, 32);
    MoveToEx(there.dc(), 16, 15, nullptr);
    LineTo(there.dc(), e.x, e.y);
    MoveToEx(back.dc(), e.x, e.y, nullptr);
    LineTo(back.dc(), 16, 15);
    Pixels a = blackPixels(there), b = blackPixels(back);
    // Each leaves out its own last point only.
    a.insert({e.x, e.y});
    b.insert({16, 15});
    EXPECT_EQ(a, b) << e.x << "," << e.y;
  }
}

TEST(Ellipse, OutlineIsAThinEightConnectedCurve) {
  for (RECT box : {RECT{1, 1, 31, 31}, RECT{0, 3, 32, 20}, RECT{4, 0, 17, 32}, RECT{2, 2, 9, 8}}) {
    Canvas canvas(32, 32);
    SelectObject(canvas.dc(), GetStockObject(NULL_BRUSH));
    Ellipse(canvas.dc(), box.left, box.top, box.right, box.bottom);
    const Pixels curve = blackPixels(canvas);
    int top = 99, bottom = -1, left = 99, right = -1;
    for (auto [x, y] : curve) {
      top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x), right = std::max(right, x);
      // Thin: no pixel is the corner of an L of curve pixels, which a
      // diagonal step would have made redundant.
      const bool h = curve.count({x - 1, y}) || curve.count({x + 1, y});
      const bool v = curve.count({x, y - 1}) || curve.count({x, y + 1});
      const bool across = curve.count({x - 1, y}) && curve.count({x + 1, y});
      const bool along = curve.count({x, y - 1}) && curve.count({x, y + 1});
      EXPECT_FALSE(h && v && !across && !along) << "stair pixel " << x << "," << y << " in box " << box.left;
    }
    // It touches every side of its box, the right and bottom ones inside.
    EXPECT_EQ((std::array<int, 4>{left, top, right + 1, bottom + 1}),
              (std::array<int, 4>{box.left, box.top, box.right, box.bottom}));
  }
}

}  // namespace
