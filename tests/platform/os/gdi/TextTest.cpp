// Text output and measurement on a memory bitmap: extents against the ink
// that is drawn, alignment, background modes, clipping, lines, coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Font.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/gdi/Text.h"

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFFu;

class Canvas {
 public:
  explicit Canvas(int w = 120, int h = 40, LONG height = -11, BYTE underline = 0, BYTE strike = 0) : w_(w), h_(h) {
    std::vector<std::uint32_t> white(static_cast<size_t>(w) * h, kWhite);
    bmp_ = qv::os::gdi::createBitmapFromPixels(w, h, white.data());
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bmp_);
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strike;
    std::strcpy(lf.lfFaceName, "Tahoma");
    font_ = CreateFontIndirect(&lf);
    SelectObject(dc_, font_);
    SetBkMode(dc_, TRANSPARENT);
    GetTextMetrics(dc_, &tm);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bmp_);
    DeleteObject(font_);
  }
  HDC dc() const { return dc_; }
  std::uint32_t pixel(int x, int y) const { return qv::os::gdi::surfaceOf(bmp_)->row(y)[x]; }
  bool ink(int x, int y) const { return pixel(x, y) != kWhite; }
  RECT box() const {
    RECT r{w_, h_, 0, 0};
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (ink(x, y)) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }
  SIZE extent(const char* s) const {
    SIZE sz{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32(dc_, s, static_cast<int>(std::strlen(s)), &sz));
    return sz;
  }
  TEXTMETRICA tm{};

 private:
  int w_, h_;
  HBITMAP bmp_;
  HDC dc_;
  HGDIOBJ old_;
  HFONT font_;
};

}  // namespace

TEST(Text, ExtentMatchesTheInk) {
  for (const char* s : {"Hallo", "MENU", "Willkommen", "H", "m.m",
                        "\xC4rger \xFC"
                        "ber \xDF"}) {
    SCOPED_TRACE(s);
    Canvas c;
    SIZE sz = c.extent(s);
    EXPECT_EQ(sz.cy, 13);
    ASSERT_TRUE(TextOut(c.dc(), 5, 3, s, static_cast<int>(std::strlen(s))));
    RECT ink = c.box();
    // Ink starts at most a pixel before the origin, ends inside the advance
    // (a side bearing of up to 2 pixels) and stays inside the cell.
    EXPECT_GE(ink.left, 4);
    EXPECT_LE(ink.left, 6);
    EXPECT_LE(ink.right, 5 + sz.cx);
    EXPECT_GE(ink.right, 5 + sz.cx - 2);
    EXPECT_GE(ink.top, 3);
    EXPECT_LE(ink.bottom, 3 + c.tm.tmHeight);
  }
}

TEST(Text, MeasuringCallsAgree) {
  Canvas c;
  const char* s = "Quorvel";
  const int n = static_cast<int>(std::strlen(s));
  std::vector<INT> widths(n), dx(n);
  int sum = 0;
  for (int i = 0; i < n; ++i) {
    ASSERT_TRUE(GetCharWidth32(c.dc(), static_cast<unsigned char>(s[i]), static_cast<unsigned char>(s[i]), &widths[i]));
    sum += widths[i];
  }
  EXPECT_EQ(c.extent(s).cx, sum);
  INT fit = -1;
  SIZE sz{};
  ASSERT_TRUE(GetTextExtentExPoint(c.dc(), s, n, widths[0] + widths[1], &fit, dx.data(), &sz));
  EXPECT_EQ(fit, 2);
  EXPECT_EQ(dx[0], widths[0]);
  EXPECT_EQ(dx[n - 1], sum);
  EXPECT_EQ(sz.cx, sum);
  EXPECT_EQ(c.extent("").cx, 0);
  EXPECT_EQ(c.extent("").cy, 13);
  EXPECT_FALSE(GetTextExtentPoint32(c.dc(), s, -1, &sz));
  EXPECT_FALSE(GetTextExtentPoint32(nullptr, s, n, &sz));
  EXPECT_FALSE(GetTextMetrics(nullptr, &c.tm));
  EXPECT_FALSE(TextOut(nullptr, 0, 0, s, n));
}

TEST(Text, AlignmentPlacesTheCell) {
  struct Case {
    UINT align;
    int left;  // relative to x, in text widths: 0, -1 or -1/2
    int top;   // the cell's top for y = 20
  } cases[] = {
      {TA_LEFT | TA_TOP, 0, 20},         {TA_RIGHT | TA_TOP, -2, 20},
      {TA_CENTER | TA_TOP, -1, 20},      {TA_LEFT | TA_BASELINE, 0, 20 - 11},  // tmAscent
      {TA_LEFT | TA_BOTTOM, 0, 20 - 13},                                       // tmHeight
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.align);
    Canvas c;
    SetBkMode(c.dc(), OPAQUE);
    SetBkColor(c.dc(), RGB(0, 0, 255));
    SetTextAlign(c.dc(), k.align);
    const int w = c.extent("Hxy").cx;
    TextOut(c.dc(), 60, 20, "Hxy", 3);
    RECT cell = c.box();
    EXPECT_EQ(cell.left, 60 + (k.left == -2 ? -w : k.left == -1 ? -w / 2 : 0));
    EXPECT_EQ(cell.right - cell.left, w);
    EXPECT_EQ(cell.top, k.top);
    EXPECT_EQ(cell.bottom - cell.top, 13);
  }
}

TEST(Text, UpdateCpContinuesFromTheCurrentPosition) {
  Canvas one, two;
  TextOut(one.dc(), 10, 5, "abcd", 4);
  SetTextAlign(two.dc(), TA_UPDATECP);
  MoveToEx(two.dc(), 10, 5, nullptr);
  TextOut(two.dc(), 99, 99, "ab", 2);  // the coordinates are ignored
  TextOut(two.dc(), 0, 0, "cd", 2);
  POINT cp{};
  GetCurrentPositionEx(two.dc(), &cp);
  EXPECT_EQ(cp.x, 10 + one.extent("abcd").cx);
  EXPECT_EQ(cp.y, 5);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) ASSERT_EQ(one.ink(x, y), two.ink(x, y)) << x << "," << y;
}

TEST(Text, BackgroundModeAndColours) {
  Canvas c;
  SetTextColor(c.dc(), RGB(1, 2, 3));
  SetBkColor(c.dc(), RGB(200, 100, 50));
  SetBkMode(c.dc(), OPAQUE);
  TextOut(c.dc(), 0, 0, "ii", 2);
  SetBkMode(c.dc(), TRANSPARENT);
  TextOut(c.dc(), 0, 20, "ii", 2);
  const int w = c.extent("ii").cx;
  int text = 0, back = 0;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t p = c.pixel(x, y);
      // Exactly the two colours, alpha byte 0 as GDI draws.
      EXPECT_TRUE(p == 0x00010203u || p == 0x00C86432u) << std::hex << p;
      (p == 0x00010203u ? text : back)++;
    }
  EXPECT_GT(text, 0);
  EXPECT_GT(back, text);
  for (int y = 20; y < 33; ++y)
    for (int x = 0; x < w; ++x) EXPECT_TRUE(c.pixel(x, y) == 0x00010203u || c.pixel(x, y) == kWhite);
}

TEST(Text, ExtTextOutOpaqueAndClippedRectangles) {
  {
    Canvas c;
    SetBkColor(c.dc(), RGB(0, 255, 0));
    RECT r{2, 3, 30, 9};
    ASSERT_TRUE(ExtTextOut(c.dc(), 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
    RECT b = c.box();
    EXPECT_EQ(b.left, 2);
    EXPECT_EQ(b.top, 3);
    EXPECT_EQ(b.right, 30);
    EXPECT_EQ(b.bottom, 9);
  }
  {
    Canvas c;
    RECT r{8, 4, 20, 9};
    ExtTextOut(c.dc(), 5, 0, ETO_CLIPPED, &r, "WWWW", 4, nullptr);
    RECT b = c.box();
    EXPECT_GE(b.left, 8);
    EXPECT_GE(b.top, 4);
    EXPECT_LE(b.right, 20);
    EXPECT_LE(b.bottom, 9);
    EXPECT_LT(b.left, b.right);
  }
  {
    // Spacing from lpDx replaces the advances.
    Canvas c;
    const INT dx[2] = {30, 30};
    SetBkMode(c.dc(), OPAQUE);
    SetBkColor(c.dc(), RGB(0, 0, 0));
    ExtTextOut(c.dc(), 0, 0, 0, nullptr, "ab", 2, dx);
    EXPECT_EQ(c.box().right, 60);
  }
}

TEST(Text, UnderlineAndStrikeOutLines) {
  struct Case {
    BYTE underline, strike;
    int row;  // relative to the baseline
  } cases[] = {{1, 0, 1}, {0, 1, -4}};
  for (const Case& k : cases) {
    Canvas plain(120, 40), lined(120, 40, -11, k.underline, k.strike);
    TextOut(plain.dc(), 4, 2, "Menu", 4);
    TextOut(lined.dc(), 4, 2, "Menu", 4);
    const int w = plain.extent("Menu").cx;
    EXPECT_EQ(lined.extent("Menu").cx, w);
    const int row = 2 + lined.tm.tmAscent + k.row;
    for (int x = 4; x < 4 + w; ++x) EXPECT_TRUE(lined.ink(x, row)) << x;
    EXPECT_FALSE(lined.ink(3, row));
    EXPECT_FALSE(lined.ink(4 + w, row));
    for (int y = 0; y < 40; ++y) {
      if (y == row) continue;
      for (int x = 0; x < 120; ++x) EXPECT_EQ(plain.ink(x, y), lined.ink(x, y)) << x << "," << y;
    }
  }
}

TEST(Text, LogicalCoordinatesAndTheDcClip) {
  Canvas plain, moved;
  TextOut(plain.dc(), 30, 10, "Hallo", 5);
  SetWindowOrgEx(moved.dc(), 20, 5, nullptr);
  SetViewportOrgEx(moved.dc(), 0, 0, nullptr);
  TextOut(moved.dc(), 50, 15, "Hallo", 5);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) ASSERT_EQ(plain.ink(x, y), moved.ink(x, y)) << x << "," << y;

  Canvas clipped;
  HRGN rgn = CreateRectRgn(0, 0, 40, 40);
  SelectClipRgn(clipped.dc(), rgn);
  DeleteObject(rgn);
  TextOut(clipped.dc(), 30, 10, "Hallo", 5);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) ASSERT_EQ(clipped.ink(x, y), x < 40 && plain.ink(x, y)) << x << "," << y;
}
