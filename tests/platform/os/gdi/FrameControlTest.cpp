// Frame controls and the predefined bitmaps, with distinct system colours
// so that every pixel names the colour the classic look chose.
#include <gtest/gtest.h>

#include "GdiCanvas.h"
#include "platform/os/gdi/Edge.h"
#include "platform/os/gdi/FrameControl.h"
#include "platform/os/gdi/PredefinedBitmaps.h"

using gditest::Canvas;
using Picture = std::vector<std::string>;

namespace {

DWORD testColour(int index) {
  switch (index) {
    case 5: return RGB(250, 250, 250);   // window 'w'
    case 6: return RGB(0, 0, 0);         // window frame 'k'
    case 8: return RGB(0, 0, 10);        // window text 't'
    case 15: return RGB(192, 192, 192);  // face 'f'
    case 16: return RGB(128, 128, 128);  // shadow 's'
    case 17: return RGB(100, 100, 100);  // grey text 'g'
    case 18: return RGB(0, 0, 20);       // button text 'b'
    case 20: return RGB(255, 255, 255);  // highlight 'h'
    case 21: return RGB(64, 64, 64);     // dark shadow 'd'
    case 22: return RGB(224, 224, 224);  // light 'l'
    default: return RGB(1, 2, 3);
  }
}

const std::map<COLORREF, char> kLegend = {
    {RGB(250, 250, 250), 'w'}, {RGB(0, 0, 0), 'k'},       {RGB(0, 0, 10), 't'},   {RGB(192, 192, 192), 'f'},
    {RGB(128, 128, 128), 's'}, {RGB(100, 100, 100), 'g'}, {RGB(0, 0, 20), 'b'},   {RGB(255, 255, 255), 'h'},
    {RGB(64, 64, 64), 'd'},    {RGB(224, 224, 224), 'l'}, {RGB(255, 0, 0), 'r'}};

class FrameControlTest : public ::testing::Test {
 protected:
  void SetUp() override { qv::os::gdi::setSysColorSource(&testColour); }
  void TearDown() override { qv::os::gdi::setSysColorSource(nullptr); }

  static char at(const Canvas& c, int x, int y) {
    auto it = kLegend.find(c.at(x, y));
    return it == kLegend.end() ? '?' : it->second;
  }
  // The bounds of the pixels of one colour, or an empty rectangle.
  static RECT bounds(const Canvas& c, char colour) {
    RECT r{c.width(), c.height(), 0, 0};
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x)
        if (at(c, x, y) == colour) {
          r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1), r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }
};

bool same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct ArrowCase {
  const char* name;
  UINT state;
  char arrowColour;
  RECT arrow;            // bounds of the arrow's pixels in that colour
  char topLeft, inner;   // pixels (0,0) and (1,1) of the frame
};

class ScrollArrows : public FrameControlTest, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(ScrollArrows, DrawTheFrameAndTheArrow) {
  const ArrowCase& c = GetParam();
  Canvas canvas(16, 16, RGB(255, 0, 0));
  RECT r{0, 0, 16, 16};
  ASSERT_TRUE(DrawFrameControl(canvas.dc(), &r, DFC_SCROLL, c.state));
  const RECT got = bounds(canvas, c.arrowColour);
  EXPECT_TRUE(same(got, c.arrow)) << got.left << "," << got.top << "," << got.right << "," << got.bottom;
  EXPECT_EQ(at(canvas, 0, 0), c.topLeft);
  EXPECT_EQ(at(canvas, 1, 1), c.inner);
  const char bottomRight = c.topLeft == 'l' ? 'd' : c.topLeft == 'd' ? 'h' : c.topLeft;
  EXPECT_EQ(at(canvas, 15, 15), bottomRight);
}

// A 16-pixel button holds a 7 x 4 arrow whose apex lies a third into it:
// up and left arrows sit a pixel nearer their apex than down and right
// ones.
INSTANTIATE_TEST_SUITE_P(
    States, ScrollArrows,
    ::testing::Values(ArrowCase{"Up", DFCS_SCROLLUP, 'b', {4, 5, 11, 9}, 'l', 'h'},
                      ArrowCase{"Down", DFCS_SCROLLDOWN, 'b', {4, 6, 11, 10}, 'l', 'h'},
                      ArrowCase{"Left", DFCS_SCROLLLEFT, 'b', {5, 4, 9, 11}, 'l', 'h'},
                      ArrowCase{"Right", DFCS_SCROLLRIGHT, 'b', {6, 4, 10, 11}, 'l', 'h'},
                      ArrowCase{"Combo", DFCS_SCROLLCOMBOBOX, 'b', {4, 6, 11, 10}, 'l', 'h'},
                      // Pressed: softly sunken (dark shadow outside, shadow
                      // inside), the arrow one pixel down and right.
                      ArrowCase{"Pushed", DFCS_SCROLLUP | DFCS_PUSHED, 'b', {5, 6, 12, 10}, 'd', 's'},
                      ArrowCase{"Flat", DFCS_SCROLLUP | DFCS_FLAT, 'b', {4, 5, 11, 9}, 's', 'f'},
                      ArrowCase{"Mono", DFCS_SCROLLUP | DFCS_MONO, 'b', {4, 5, 11, 9}, 'k', 'w'}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameControlTest, ArrowShapesPointTheirWay) {
  Canvas canvas(16, 16, RGB(255, 0, 0));
  RECT r{0, 0, 16, 16};
  DrawFrameControl(canvas.dc(), &r, DFC_SCROLL, DFCS_SCROLLUP);
  EXPECT_EQ(at(canvas, 7, 5), 'b');  // the tip
  EXPECT_EQ(at(canvas, 6, 5), 'f');
  EXPECT_EQ(at(canvas, 4, 8), 'b');  // the base
  DrawFrameControl(canvas.dc(), &r, DFC_SCROLL, DFCS_SCROLLDOWN);
  EXPECT_EQ(at(canvas, 4, 6), 'b');
  EXPECT_EQ(at(canvas, 7, 9), 'b');
  EXPECT_EQ(at(canvas, 6, 9), 'f');
  // Inactive: softly raised, a shadow arrow over a highlight one moved down
  // and right.
  DrawFrameControl(canvas.dc(), &r, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE);
  EXPECT_EQ(at(canvas, 0, 0), 'h');
  EXPECT_EQ(at(canvas, 7, 5), 's');
  EXPECT_EQ(at(canvas, 4, 8), 's');
  EXPECT_EQ(at(canvas, 11, 9), 'h');  // the highlight copy shows past the base's end
  EXPECT_EQ(bounds(canvas, 'b').right, 0);
  // The arrow grows a row every 24/7 pixels: 13 pixels hold 5 x 3, 20 hold
  // 9 x 5.
  Canvas small(13, 13, RGB(255, 0, 0));
  RECT s{0, 0, 13, 13};
  DrawFrameControl(small.dc(), &s, DFC_SCROLL, DFCS_SCROLLUP);
  EXPECT_TRUE(same(bounds(small, 'b'), RECT{4, 4, 9, 7}));
  Canvas large(20, 20, RGB(255, 0, 0));
  RECT l{0, 0, 20, 20};
  DrawFrameControl(large.dc(), &l, DFC_SCROLL, DFCS_SCROLLUP);
  EXPECT_TRUE(same(bounds(large, 'b'), RECT{5, 6, 14, 11}));
}

TEST_F(FrameControlTest, SizeGripFillsItsCellAndDrawsRidgesTowardsTheCorner) {
  Canvas canvas(16, 16, RGB(255, 0, 0));
  RECT r{0, 0, 16, 16};
  ASSERT_TRUE(DrawFrameControl(canvas.dc(), &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP));
  const Picture p = canvas.picture(kLegend);
  // Three ridges of shadow, shadow, highlight from the corner, the last two
  // without face between them.
  EXPECT_EQ(p[15], "fffffhsshssfhssf");
  EXPECT_EQ(p[12], "ffffffffhsshssfh");
  // The cell is filled: nothing of the background is left.
  EXPECT_EQ(p[0], "ffffffffffffffff");
  // Mirrored for right-to-left windows.
  canvas.clear(RGB(255, 0, 0));
  DrawFrameControl(canvas.dc(), &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIPRIGHT);
  EXPECT_EQ(canvas.picture(kLegend)[15], "fsshfsshsshfffff");
  // A grip far larger than the bitmap scales its ridges away from the
  // corner, which stays face, and draws in reasonable time.
  canvas.clear(RGB(255, 0, 0));
  RECT huge{-100000, -100000, 16, 16};
  ASSERT_TRUE(DrawFrameControl(canvas.dc(), &huge, DFC_SCROLL, DFCS_SCROLLSIZEGRIP));
  EXPECT_EQ(canvas.picture(kLegend)[15], "ffffffffffffffff");
}

TEST_F(FrameControlTest, CheckedBoxIsASunkenWellWithTheMark) {
  Canvas canvas(13, 13, RGB(255, 0, 0));
  RECT r{0, 0, 13, 13};
  ASSERT_TRUE(DrawFrameControl(canvas.dc(), &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED));
  EXPECT_EQ(canvas.picture(kLegend), (Picture{
                                         "ssssssssssssh",
                                         "sddddddddddlh",
                                         "sdwwwwwwwwwlh",
                                         "sdwwwwwwwtwlh",
                                         "sdwwwwwwttwlh",
                                         "sdwtwwwtttwlh",
                                         "sdwttwtttwwlh",
                                         "sdwtttttwwwlh",
                                         "sdwwtttwwwwlh",
                                         "sdwwwtwwwwwlh",
                                         "sdwwwwwwwwwlh",
                                         "slllllllllllh",
                                         "hhhhhhhhhhhhh",
                                     }));
}

TEST_F(FrameControlTest, CheckBoxStates) {
  struct Case {
    UINT state;
    char frame, ring, well, mark;  // pixels (0,0), (1,1), (6,2) and (9,3)
  } cases[] = {
      {0, 's', 'd', 'w', 'w'},
      {DFCS_CHECKED, 's', 'd', 'w', 't'},
      // Inactive and indeterminate marks are in the shadow colour; a flat
      // box has a ring of face inside its shadow.
      {DFCS_CHECKED | DFCS_INACTIVE, 's', 'd', 'f', 's'},
      {DFCS_PUSHED, 's', 'd', 'f', 'f'},
      {DFCS_CHECKED | DFCS_MONO, 'k', 'w', 'w', 't'},
      {DFCS_CHECKED | DFCS_FLAT, 's', 'f', 'w', 't'},
      {DFCS_BUTTON3STATE | DFCS_CHECKED, 's', 'd', 'h', 's'},
  };
  for (const auto& c : cases) {
    Canvas canvas(13, 13, RGB(255, 0, 0));
    RECT r{0, 0, 13, 13};
    DrawFrameControl(canvas.dc(), &r, DFC_BUTTON, DFCS_BUTTONCHECK | c.state);
    SCOPED_TRACE(c.state);
    EXPECT_EQ(at(canvas, 0, 0), c.frame);
    EXPECT_EQ(at(canvas, 1, 1), c.ring);
    EXPECT_EQ(at(canvas, 6, 2), c.well);
    EXPECT_EQ(at(canvas, 9, 3), c.mark);
  }
  // A wide rectangle gets a square box in its middle.
  Canvas wide(21, 13, RGB(255, 0, 0));
  RECT r{0, 0, 21, 13};
  DrawFrameControl(wide.dc(), &r, DFC_BUTTON, DFCS_BUTTONCHECK);
  EXPECT_TRUE(same(bounds(wide, 'w'), RECT{6, 2, 15, 11}));
}

TEST_F(FrameControlTest, RadioButtonRingsAndDot) {
  Canvas canvas(12, 12, RGB(255, 0, 0));
  RECT r{0, 0, 12, 12};
  ASSERT_TRUE(DrawFrameControl(canvas.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED));
  EXPECT_EQ(canvas.picture(kLegend), (Picture{
                                         "rrrrssssrrrr",
                                         "rrssddddssrr",
                                         "rsddwwwwddhr",
                                         "rsdwwwwwwlhr",
                                         "sdwwwttwwwlh",
                                         "sdwwttttwwlh",
                                         "sdwwttttwwlh",
                                         "sdwwwttwwwlh",
                                         "rsdwwwwwwlhr",
                                         "rsdlwwwwllhr",
                                         "rrhhllllhhrr",
                                         "rrrrhhhhrrrr",
                                     }));
  DrawFrameControl(canvas.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIO);
  EXPECT_EQ(at(canvas, 5, 5), 'w');
  DrawFrameControl(canvas.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_INACTIVE);
  EXPECT_EQ(at(canvas, 5, 5), 'g');
  EXPECT_EQ(at(canvas, 4, 4), 'f');
}

// The mask and image let a caller compose the glyph: the mask is black on
// white over the whole rectangle, the image has black around the circle.
TEST_F(FrameControlTest, RadioMaskAndMonoImage) {
  Canvas canvas(13, 13, RGB(0, 0, 0));
  RECT r{0, 0, 13, 13};
  ASSERT_TRUE(DrawFrameControl(canvas.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_MONO));
  const std::map<COLORREF, char> bw = {{RGB(255, 255, 255), '.'}, {RGB(0, 0, 0), '#'}};
  EXPECT_EQ(canvas.picture(bw), (Picture{
                                    "....####.....",
                                    "..########...",
                                    ".##########..",
                                    ".##########..",
                                    "############.",
                                    "############.",
                                    "############.",
                                    "############.",
                                    ".##########..",
                                    ".##########..",
                                    "..########...",
                                    "....####.....",
                                    ".............",
                                }));
  canvas.clear(RGB(255, 0, 0));
  DrawFrameControl(canvas.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_MONO);
  EXPECT_EQ(at(canvas, 0, 0), 'k');   // outside the circle
  EXPECT_EQ(at(canvas, 0, 5), 'k');   // the ring
  EXPECT_EQ(at(canvas, 1, 5), 'w');   // the body
  EXPECT_EQ(at(canvas, 5, 5), 't');   // the dot
  EXPECT_TRUE(same(bounds(canvas, 't'), RECT{4, 4, 8, 8}));
}

TEST_F(FrameControlTest, PushButtonAndCaptionButtons) {
  Canvas canvas(16, 14, RGB(255, 0, 0));
  RECT r{0, 0, 16, 14};
  ASSERT_TRUE(DrawFrameControl(canvas.dc(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
  EXPECT_TRUE(same(r, RECT{2, 2, 14, 12}));
  EXPECT_EQ(at(canvas, 0, 0), 'h');
  EXPECT_EQ(at(canvas, 15, 13), 'd');
  EXPECT_EQ(at(canvas, 5, 5), 'f');
  r = RECT{0, 0, 16, 14};
  ASSERT_TRUE(DrawFrameControl(canvas.dc(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE));
  // The cross of an 8 x 7 glyph in the middle, its arms at the corners.
  EXPECT_TRUE(same(bounds(canvas, 'b'), RECT{4, 3, 12, 10}));
  EXPECT_EQ(at(canvas, 4, 3), 'b');
  EXPECT_EQ(at(canvas, 7, 6), 'b');
  EXPECT_EQ(at(canvas, 7, 3), 'f');
  ASSERT_TRUE(DrawFrameControl(canvas.dc(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_PUSHED));
  EXPECT_TRUE(same(bounds(canvas, 'b'), RECT{5, 4, 13, 11}));
  for (UINT kind : {DFCS_CAPTIONMIN, DFCS_CAPTIONMAX, DFCS_CAPTIONRESTORE, DFCS_CAPTIONHELP}) {
    canvas.clear(RGB(255, 0, 0));
    ASSERT_TRUE(DrawFrameControl(canvas.dc(), &r, DFC_CAPTION, kind | DFCS_INACTIVE));
    EXPECT_LT(bounds(canvas, 's').left, bounds(canvas, 'h').right) << kind;
    EXPECT_EQ(bounds(canvas, 'b').right, 0) << kind;  // no active glyph
  }
  EXPECT_FALSE(DrawFrameControl(canvas.dc(), &r, DFC_CAPTION, 0x7F));
  EXPECT_FALSE(DrawFrameControl(canvas.dc(), &r, 99, 0));
  EXPECT_FALSE(DrawFrameControl(canvas.dc(), nullptr, DFC_BUTTON, 0));
}

// A menu glyph is a mask for the caller to compose: every pixel of the
// rectangle is black or white, none of the red beneath shows.
TEST_F(FrameControlTest, MenuGlyphsAreBlackOnWhite) {
  Canvas canvas(13, 13, RGB(255, 0, 0));
  RECT r{0, 0, 13, 13};
  const std::map<COLORREF, char> bw = {{RGB(255, 255, 255), '.'}, {RGB(0, 0, 0), '#'}};
  for (UINT kind : {DFCS_MENUCHECK, DFCS_MENUBULLET, DFCS_MENUARROW, DFCS_MENUARROWRIGHT}) {
    canvas.clear(RGB(255, 0, 0));
    ASSERT_TRUE(DrawFrameControl(canvas.dc(), &r, DFC_MENU, kind));
    int black = 0, white = 0, other = 0;
    for (const auto& row : canvas.picture(bw))
      for (char ch : row) (ch == '#' ? black : ch == '.' ? white : other) += 1;
    EXPECT_GT(black, 0) << kind;
    EXPECT_GT(white, 0) << kind;
    EXPECT_EQ(other, 0) << kind;
    EXPECT_EQ(canvas.picture(bw)[0][0], '.') << kind;
  }
}

TEST_F(FrameControlTest, CheckBoxesBitmapIsAGridOfGlyphs) {
  HBITMAP bmp = LoadBitmap(nullptr, MAKEINTRESOURCE(OBM_CHECKBOXES));
  ASSERT_NE(bmp, nullptr);
  BITMAP info{};
  ASSERT_EQ(GetObject(bmp, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 52);
  EXPECT_EQ(info.bmHeight, 39);
  // Draw it to read its pixels through the legend.
  Canvas canvas(52, 39);
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, bmp);
  BitBlt(canvas.dc(), 0, 0, 52, 39, src, 0, 0, SRCCOPY);
  SelectObject(src, old);
  DeleteDC(src);
  DeleteObject(bmp);
  // Row 0 check boxes: unchecked, checked, pushed, pushed and checked.
  EXPECT_EQ(at(canvas, 9, 3), 'w');
  EXPECT_EQ(at(canvas, 13 + 9, 3), 't');
  EXPECT_EQ(at(canvas, 26 + 9, 3), 'f');
  EXPECT_EQ(at(canvas, 39 + 9, 3), 't');
  EXPECT_EQ(at(canvas, 39 + 6, 2), 'f');
  EXPECT_EQ(at(canvas, 13, 0), 's');
  // Row 1 radio buttons, with the dot when checked and face around the circle.
  EXPECT_EQ(at(canvas, 5, 13 + 5), 'w');
  EXPECT_EQ(at(canvas, 13 + 5, 13 + 5), 't');
  EXPECT_EQ(at(canvas, 13, 13), 'f');
  EXPECT_EQ(at(canvas, 13 + 4, 13), 's');
  // Row 2 three-state boxes: the checked one is highlight with a grey mark.
  EXPECT_EQ(at(canvas, 13 + 9, 26 + 3), 's');
  EXPECT_EQ(at(canvas, 13 + 2, 26 + 2), 'h');
  EXPECT_EQ(at(canvas, 13 + 3, 26 + 2), 'h');
}

TEST_F(FrameControlTest, OtherPredefinedBitmaps) {
  struct Case {
    int id, w, h;
  } cases[] = {{OBM_UPARROW, 16, 16}, {OBM_DNARROWD, 16, 16}, {OBM_LFARROWI, 16, 16}, {OBM_COMBO, 16, 16},
               {OBM_MNARROW, 16, 16}, {OBM_CHECK, 13, 13},    {OBM_SIZE, 16, 16},     {OBM_BTSIZE, 16, 16},
               {OBM_CLOSE, 16, 14},   {OBM_ZOOM, 16, 14},     {OBM_RESTORED, 16, 14}, {OBM_BTNCORNERS, 5, 5}};
  for (const auto& c : cases) {
    HBITMAP bmp = LoadBitmap(nullptr, MAKEINTRESOURCE(c.id));
    ASSERT_NE(bmp, nullptr) << c.id;
    BITMAP info{};
    GetObject(bmp, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, c.w) << c.id;
    EXPECT_EQ(info.bmHeight, c.h) << c.id;
    DeleteObject(bmp);
  }
  SetLastError(0);
  EXPECT_EQ(LoadBitmap(nullptr, MAKEINTRESOURCE(1234)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

}  // namespace
