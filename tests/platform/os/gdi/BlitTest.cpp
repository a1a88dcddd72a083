// Block transfers: every ternary raster operation against its truth table,
// monochrome conversions, stretching, mirroring, overlapping copies, masks.
#include <gtest/gtest.h>

#include <functional>

#include "GdiCanvas.h"

using gditest::Canvas;
using gditest::Selected;
using Picture = std::vector<std::string>;

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
const std::map<COLORREF, char> kLegend = {
    {kWhite, '.'}, {kBlack, '#'}, {RGB(255, 0, 0), 'r'}, {RGB(0, 255, 0), 'g'}, {RGB(0, 0, 255), 'b'}};

// Eight pixels enumerate the eight (pattern, source, destination) bit
// combinations: pixel x is white where bit 2 (pattern), bit 1 (source) or
// bit 0 (destination) of x is set. A rop's result at x is then its truth
// table's bit x.
class TruthTable {
 public:
  TruthTable() : src_(8, 1), dst_(8, 1) {
    HBITMAP pattern = CreateBitmap(8, 8, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, pattern);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) SetPixel(dc, x, y, (x & 4) ? kWhite : kBlack);
    SelectObject(dc, old);
    DeleteDC(dc);
    brush_ = CreatePatternBrush(pattern);
    DeleteObject(pattern);
    for (int x = 0; x < 8; ++x) SetPixel(src_.dc(), x, 0, (x & 2) ? kWhite : kBlack);
  }
  ~TruthTable() { DeleteObject(brush_); }

  // The truth table the DC shows after a blit with `rop`.
  int run(DWORD rop) {
    for (int x = 0; x < 8; ++x) SetPixel(dst_.dc(), x, 0, (x & 1) ? kWhite : kBlack);
    HGDIOBJ old = SelectObject(dst_.dc(), brush_);
    BitBlt(dst_.dc(), 0, 0, 8, 1, src_.dc(), 0, 0, rop);
    SelectObject(dst_.dc(), old);
    int table = 0;
    for (int x = 0; x < 8; ++x) {
      COLORREF c = dst_.at(x, 0);
      EXPECT_TRUE(c == kWhite || c == kBlack) << std::hex << rop;
      if (c == kWhite) table |= 1 << x;
    }
    return table;
  }

 private:
  Canvas src_, dst_;
  HBRUSH brush_;
};

TEST(RasterOperations, EveryTernaryCodeFollowsItsTruthTable) {
  TruthTable t;
  for (int code = 0; code < 256; ++code)
    EXPECT_EQ(t.run(static_cast<DWORD>(code) << 16), code) << "rop code " << std::hex << code;
}

TEST(RasterOperations, NamedOperationsMeanWhatTheirNamesSay) {
  struct {
    const char* name;
    DWORD rop;
    std::function<bool(bool, bool, bool)> f;
  } cases[] = {
      {"SRCCOPY", SRCCOPY, [](bool, bool s, bool) { return s; }},
      {"SRCPAINT", SRCPAINT, [](bool, bool s, bool d) { return s || d; }},
      {"SRCAND", SRCAND, [](bool, bool s, bool d) { return s && d; }},
      {"SRCINVERT", SRCINVERT, [](bool, bool s, bool d) { return s != d; }},
      {"SRCERASE", SRCERASE, [](bool, bool s, bool d) { return s && !d; }},
      {"NOTSRCCOPY", NOTSRCCOPY, [](bool, bool s, bool) { return !s; }},
      {"NOTSRCERASE", NOTSRCERASE, [](bool, bool s, bool d) { return !(s || d); }},
      {"MERGECOPY", MERGECOPY, [](bool p, bool s, bool) { return p && s; }},
      {"MERGEPAINT", MERGEPAINT, [](bool, bool s, bool d) { return !s || d; }},
      {"PATCOPY", PATCOPY, [](bool p, bool, bool) { return p; }},
      {"PATPAINT", PATPAINT, [](bool p, bool s, bool d) { return p || !s || d; }},
      {"PATINVERT", PATINVERT, [](bool p, bool, bool d) { return p != d; }},
      {"DSTINVERT", DSTINVERT, [](bool, bool, bool d) { return !d; }},
      {"BLACKNESS", BLACKNESS, [](bool, bool, bool) { return false; }},
      {"WHITENESS", WHITENESS, [](bool, bool, bool) { return true; }},
  };
  TruthTable t;
  for (const auto& c : cases) {
    int expected = 0;
    for (int x = 0; x < 8; ++x)
      if (c.f(x & 4, x & 2, x & 1)) expected |= 1 << x;
    EXPECT_EQ(t.run(c.rop), expected) << c.name;
  }
}

TEST(MonochromeConversion, BetweenMonochromeAndColour) {
  // Monochrome to colour: 0 bits take the destination's text colour, 1 bits
  // its background colour.
  HDC mono = CreateCompatibleDC(nullptr);
  const WORD bits[1] = {0x40};  // 01000000: black, white
  HBITMAP monoBmp = CreateBitmap(2, 1, 1, 1, bits);
  HGDIOBJ old = SelectObject(mono, monoBmp);
  Canvas colour(2, 1);
  SetTextColor(colour.dc(), RGB(255, 0, 0));
  SetBkColor(colour.dc(), RGB(0, 0, 255));
  BitBlt(colour.dc(), 0, 0, 2, 1, mono, 0, 0, SRCCOPY);
  EXPECT_EQ(colour.picture(kLegend), Picture{"rb"});

  // Colour to monochrome: the source DC's background colour becomes 1.
  Canvas src(3, 1);
  SetPixel(src.dc(), 0, 0, RGB(0, 255, 0));
  SetPixel(src.dc(), 1, 0, RGB(255, 0, 0));
  SetPixel(src.dc(), 2, 0, RGB(0, 255, 0));
  SetBkColor(src.dc(), RGB(0, 255, 0));
  HBITMAP target = CreateBitmap(3, 1, 1, 1, nullptr);
  SelectObject(mono, target);
  DeleteObject(monoBmp);
  BitBlt(mono, 0, 0, 3, 1, src.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mono, 0, 0), kWhite);
  EXPECT_EQ(GetPixel(mono, 1, 0), kBlack);
  EXPECT_EQ(GetPixel(mono, 2, 0), kWhite);
  WORD got = 0;
  EXPECT_EQ(GetBitmapBits(target, 2, &got), 2);
  EXPECT_EQ(got & 0xFF, 0xA0);
  SelectObject(mono, old);
  DeleteObject(target);
  DeleteDC(mono);
}

TEST(StretchBlt, NearestPixelsAndMirrors) {
  Canvas src(2, 1);
  SetPixel(src.dc(), 0, 0, RGB(255, 0, 0));
  SetPixel(src.dc(), 1, 0, RGB(0, 0, 255));
  struct {
    int x, w, srcX, srcW;
    Picture expected;
  } cases[] = {
      {0, 4, 0, 2, {"rrbb", "rrbb"}},
      {4, -4, 0, 2, {"bbrr", "bbrr"}},  // a negative width mirrors
      {0, 4, 2, -2, {"bbrr", "bbrr"}},
      {0, 1, 0, 2, {"r...", "r..."}},
  };
  for (const auto& c : cases) {
    Canvas dst(4, 2);
    SetStretchBltMode(dst.dc(), COLORONCOLOR);
    StretchBlt(dst.dc(), c.x, 0, c.w, 2, src.dc(), c.srcX, 0, c.srcW, 1, SRCCOPY);
    EXPECT_EQ(dst.picture(kLegend), c.expected) << c.x << " " << c.w << " " << c.srcX << " " << c.srcW;
  }
}

// A stretched copy gives what the general transfer gives (a merge with a
// white brush, the same pixels but for alpha): sizes up and down, mirrored,
// reaching past the source and clipped.
TEST(StretchBlt, StretchedCopiesMatchTheGeneralTransfer) {
  std::uint32_t seed = 99;
  auto next = [&](int n) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
  };
  for (int round = 0; round < 300; ++round) {
    Canvas src(1 + next(12), 1 + next(12));
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) SetPixel(src.dc(), x, y, RGB(next(256), next(256), next(256)));
    Canvas copied(20, 20, RGB(1, 2, 3)), merged(20, 20, RGB(1, 2, 3));
    const bool clipped = next(2) == 0;
    const int cx = next(10), cy = next(10), cw = 1 + next(15), ch = 1 + next(15);
    const int x = next(24) - 2, y = next(24) - 2, w = next(41) - 20, h = next(41) - 20;
    const int sx = next(16) - 2, sy = next(16) - 2, sw = next(29) - 14, sh = next(29) - 14;
    for (HDC dc : {copied.dc(), merged.dc()}) {
      SetStretchBltMode(dc, COLORONCOLOR);
      if (clipped) {
        HRGN clip = CreateEllipticRgn(cx, cy, cx + cw, cy + ch);
        SelectClipRgn(dc, clip);
        DeleteObject(clip);
      }
    }
    StretchBlt(copied.dc(), x, y, w, h, src.dc(), sx, sy, sw, sh, SRCCOPY);
    HGDIOBJ old = SelectObject(merged.dc(), GetStockObject(WHITE_BRUSH));
    StretchBlt(merged.dc(), x, y, w, h, src.dc(), sx, sy, sw, sh, MERGECOPY);
    SelectObject(merged.dc(), old);
    for (int py = 0; py < 20; ++py)
      for (int px = 0; px < 20; ++px)
        ASSERT_EQ(copied.at(px, py), merged.at(px, py))
            << "round " << round << " at " << px << "," << py << ": " << x << "," << y << " " << w << "x" << h
            << " from " << sx << "," << sy << " " << sw << "x" << sh;
  }
}

TEST(BitBlt, OverlappingCopyOnOneBitmap) {
  Canvas c(4, 1);
  SetPixel(c.dc(), 0, 0, RGB(255, 0, 0));
  SetPixel(c.dc(), 1, 0, RGB(0, 255, 0));
  SetPixel(c.dc(), 2, 0, RGB(0, 0, 255));
  BitBlt(c.dc(), 1, 0, 3, 1, c.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(c.picture(kLegend), Picture{"rrgb"});
  BitBlt(c.dc(), 0, 0, 3, 1, c.dc(), 1, 0, SRCCOPY);
  EXPECT_EQ(c.picture(kLegend), Picture{"rgbb"});
}

TEST(BitBlt, OnlyWhereTheSourceHasPixelsAndTheDestinationIsVisible) {
  Canvas src(2, 2, kBlack);
  Canvas dst(4, 4);
  BitBlt(dst.dc(), 1, 1, 3, 3, src.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(dst.picture(), (Picture{"....", ".##.", ".##.", "...."}));
  // Without a source, a source operation fails; a pattern one works.
  EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
  EXPECT_EQ(dst.at(0, 0), kBlack);
}

TEST(MaskBlt, MaskChoosesForegroundOrBackgroundOperation) {
  Canvas src(4, 1, RGB(255, 0, 0));
  Canvas dst(4, 1, RGB(0, 0, 255));
  const WORD bits[1] = {0x50};  // 0101: mask 1 at x = 1 and 3
  HBITMAP mask = CreateBitmap(4, 1, 1, 1, bits);
  // Foreground (mask 1) copies the source; background keeps the destination.
  MaskBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029u));
  EXPECT_EQ(dst.picture(kLegend), Picture{"brbr"});
  DeleteObject(mask);
}

}  // namespace
