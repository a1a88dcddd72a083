// The painters' drawing layer: fills, frames and edges as exact pixels of
// small memory bitmaps, embossed text, clip regions, bitmap rotation and
// the pixel filters, and the colour and text routines.
#include "lookandfeel/lkGraphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "DesktopTest.h"
#include "lookandfeel/lkGeometry.h"
#include "platform/desktop/Profile.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/SysColors.h"

namespace lg = lkGraphics;

namespace {

using Legend = std::vector<std::pair<TColor, char>>;

// Every pixel of a 32-bit bitmap as stored (0xAARRGGBB), rows top-down.
std::vector<DWORD> rawPixels(TBitmap& b) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = b.Width();
  info.bmiHeader.biHeight = -b.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<DWORD> px(static_cast<size_t>(b.Width() * b.Height()));
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, b.Handle(), 0, static_cast<UINT>(b.Height()), px.data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  return px;
}

class LkGraphics : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    qv::classlib::InitializeUnit(lkGraphicsUnit);
  }
  void TearDown() override {
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
  }

  // A 32-bit bitmap filled with Fill, and a TlkCanvas over it.
  struct Surface {
    TBitmap bitmap;
    std::unique_ptr<TlkCanvas> canvas;
    Surface(int w, int h, TColor fill) {
      bitmap.SetPixelFormat(pf32bit);
      bitmap.SetSize(w, h);
      bitmap.Canvas()->Brush()->SetColor(fill);
      bitmap.Canvas()->FillRect(TRect{0, 0, w, h});
      canvas = std::make_unique<TlkCanvas>(bitmap.Canvas());
    }
    // The stored pixel, whatever origin or clip the canvas has.
    COLORREF at(int x, int y) {
      return qv::os::gdi::colorOf(rawPixels(bitmap)[static_cast<size_t>(y * bitmap.Width() + x)] & 0xFFFFFFu);
    }
    // One character per pixel by the legend ('?' for anything else), rows
    // separated by '|'.
    std::string picture(const Legend& legend) {
      std::string s;
      for (int y = 0; y < bitmap.Height(); ++y) {
        if (y) s += '|';
        for (int x = 0; x < bitmap.Width(); ++x) {
          char c = '?';
          for (const auto& [colour, ch] : legend)
            if (at(x, y) == ColorToRGB(colour)) {
              c = ch;
              break;
            }
          s += c;
        }
      }
      return s;
    }
    // The smallest rectangle holding every pixel that is not Background.
    TRect ink(COLORREF background) {
      TRect r{1000, 1000, -1, -1};
      for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
          if (at(x, y) != background) {
            r.left = std::min<LONG>(r.left, x);
            r.top = std::min<LONG>(r.top, y);
            r.right = std::max<LONG>(r.right, x + 1);
            r.bottom = std::max<LONG>(r.bottom, y + 1);
          }
      return r;
    }
    std::set<std::pair<int, int>> pixelsOf(COLORREF colour) {
      std::set<std::pair<int, int>> s;
      for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
          if (at(x, y) == colour) s.insert({x, y});
      return s;
    }
  };

  static void setSysColor(int index, COLORREF value) { SetSysColors(1, &index, &value); }
};

std::string text(const TRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

void setRawPixels(TBitmap& b, const std::vector<DWORD>& px) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = b.Width();
  info.bmiHeader.biHeight = -b.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC dc = CreateCompatibleDC(nullptr);
  SetDIBits(dc, b.Handle(), 0, static_cast<UINT>(b.Height()), px.data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
}

const Legend kRGBW = {{clRed, 'R'}, {clLime, 'G'}, {clBlue, 'B'}, {clWhite, '.'}, {clBlack, 'K'}, {clYellow, 'Y'}};

// --- fills -------------------------------------------------------------------

TEST_F(LkGraphics, FillRectColorPaintsNothingForNoneAndTheCurrentBrushForDefault) {
  Surface s(4, 1, clWhite);
  TlkCanvas& c = *s.canvas;
  c.SetBrushColor(clRed);
  HBRUSH brush = c.Brush()->Handle();
  c.SetBrushColor(clRed);  // unchanged: the same brush handle stays
  EXPECT_EQ(c.Brush()->Handle(), brush);

  c.FillRectColor(TRect{0, 0, 1, 1}, clNone);
  c.FillRectColor(TRect{1, 0, 2, 1}, clDefault);
  c.FillRectColor(TRect{2, 0, 3, 1}, clBlue);
  c.FillRectColor(TRect{3, 0, 4, 1}, clDefault);  // the brush is blue now
  EXPECT_EQ(s.picture(kRGBW), ".RBB");
}

TEST_F(LkGraphics, FillRectTilesTheBitmapFromTheLogicalOrigin) {
  TBitmap tile;
  tile.SetPixelFormat(pf24bit);
  tile.SetSize(2, 2);
  tile.Canvas()->SetPixels(0, 0, clRed);
  tile.Canvas()->SetPixels(1, 0, clLime);
  tile.Canvas()->SetPixels(0, 1, clBlue);
  tile.Canvas()->SetPixels(1, 1, clYellow);

  Surface s(7, 5, clWhite);
  s.canvas->FillRect(TRect{1, 1, 6, 4}, &tile);
  EXPECT_EQ(s.picture(kRGBW),
            "......."
            "|.YBYBY."
            "|.GRGRG."
            "|.YBYBY."
            "|.......");

  // Logical (-1, -1) at the device's top-left: tiles left of and above the
  // origin line up with the others.
  Surface t(5, 3, clWhite);
  t.canvas->SetWindowOrg(TPoint{-1, -1});
  t.canvas->FillRect(TRect{-1, -1, 4, 2}, &tile);
  EXPECT_EQ(t.picture(kRGBW), "YBYBY|GRGRG|YBYBY");

  // Without a bitmap (or with an empty one) the brush fills; an empty
  // rectangle paints nothing.
  Surface u(3, 1, clWhite);
  TBitmap empty;
  u.canvas->SetBrushColor(clBlack);
  u.canvas->FillRect(TRect{0, 0, 2, 1}, &empty);
  u.canvas->FillRect(TRect{2, 0, 2, 1});
  EXPECT_EQ(u.picture(kRGBW), "KK.");
}

TEST_F(LkGraphics, AnExcludedFillIsSparedByLaterDrawing) {
  Surface s(5, 3, clWhite);
  // A shifted viewport as a painter's back buffer has it: the excluded
  // rectangle is in logical coordinates.
  s.canvas->SetViewportOrg(TPoint{1, 0});
  s.canvas->SetBrushColor(clRed);
  s.canvas->FillRect(TRect{1, 1, 3, 2}, nullptr, true);
  s.canvas->FillRectColor(TRect{-1, 0, 4, 3}, clBlue);
  EXPECT_EQ(s.picture(kRGBW), "BBBBB|BBRRB|BBBBB");
}

// --- frames and edges -----------------------------------------------------------

TEST_F(LkGraphics, FrameRectFillsTheStripsOfTheGivenSides) {
  struct Case {
    TlkBorders borders;
    int width;
    const char* picture;
  } cases[] = {
      {lkAllBorders, 1, "RRRR|R..R|R..R|RRRR"},
      {lkbLeft | lkbBottom, 1, "R...|R...|R...|RRRR"},
      {lkbTop | lkbRight, 2, "RRRR|RRRR|..RR|..RR"},
      {lkbLeft, 9, "RRRR|RRRR|RRRR|RRRR"},  // clamped to the rectangle
      {0, 1, "....|....|....|...."},
  };
  for (const auto& c : cases) {
    Surface s(4, 4, clWhite);
    s.canvas->FrameRect(TRect{0, 0, 4, 4}, clRed, c.width, c.borders);
    EXPECT_EQ(s.picture(kRGBW), c.picture) << "borders " << c.borders << " width " << c.width;
  }

  Surface s(3, 3, clWhite);
  s.canvas->SetBrushColor(clBlue);
  s.canvas->FrameRect(TRect{0, 0, 3, 3}, clNone);
  EXPECT_EQ(s.picture(kRGBW), "...|...|...");
  s.canvas->FrameRect(TRect{0, 0, 3, 3}, clDefault, 1, lkbTop);
  EXPECT_EQ(s.picture(kRGBW), "BBB|...|...");
}

TEST_F(LkGraphics, FillFramedRectFillsInsideTheFramedSides) {
  Surface s(5, 4, clWhite);
  s.canvas->FillFramedRect(TRect{0, 0, 5, 4}, TlkViewParams{nullptr, clLime}, lkbLeft | lkbTop, clRed, 1);
  EXPECT_EQ(s.picture(kRGBW), "RRRRR|RGGGG|RGGGG|RGGGG");

  // A background of clNone leaves the inside alone; clDefault keeps the
  // brush the frame left.
  Surface t(3, 3, clWhite);
  t.canvas->FillFramedRect(TRect{0, 0, 3, 3}, TlkViewParams{nullptr, clNone}, lkAllBorders, clRed, 1);
  EXPECT_EQ(t.picture(kRGBW), "RRR|R.R|RRR");
  t.canvas->FillFramedRect(TRect{0, 0, 3, 3}, TlkViewParams{nullptr, clDefault}, lkbTop, clBlue, 1);
  EXPECT_EQ(t.picture(kRGBW), "BBB|BBB|BBB");
}

TEST_F(LkGraphics, EdgesPaintLeftTopThenRightBottom) {
  Surface s(4, 4, clWhite);
  s.canvas->DrawBorders(TRect{0, 0, 4, 4}, clRed, clBlue, lkAllBorders, 1);
  EXPECT_EQ(s.picture(kRGBW), "RRRB|R..B|R..B|BBBB");

  // Each 3-D edge by the system colours of its two halves.
  setSysColor(COLOR_BTNHIGHLIGHT, RGB(255, 255, 255));
  setSysColor(COLOR_BTNSHADOW, RGB(128, 128, 128));
  setSysColor(COLOR_3DDKSHADOW, RGB(0, 0, 0));
  setSysColor(COLOR_3DLIGHT, RGB(0, 0, 255));
  const Legend legend = {{clBtnHighlight, 'H'}, {clBtnShadow, 'S'}, {cl3DDkShadow, 'D'},
                         {cl3DLight, 'L'},      {clYellow, '.'}};
  struct Case {
    bool sunken, outer;
    const char* picture;
  } cases[] = {
      {false, false, "HHS|H.S|SSS"},
      {true, false, "DDL|D.L|LLL"},
      {false, true, "LLD|L.D|DDD"},
      {true, true, "SSH|S.H|HHH"},
  };
  for (const auto& c : cases) {
    Surface e(3, 3, clYellow);
    e.canvas->DrawEdge3D(TRect{0, 0, 3, 3}, c.sunken, c.outer);
    EXPECT_EQ(e.picture(legend), c.picture) << "sunken " << c.sunken << " outer " << c.outer;
  }
  Surface e(3, 3, clYellow);
  e.canvas->DrawEdge3D(TRect{0, 0, 3, 3}, false, false, lkbRight | lkbBottom);
  EXPECT_EQ(e.picture(legend), "..S|..S|SSS");
}

TEST_F(LkGraphics, InvertRectInvertsAndRestoresThePlainCopy) {
  Surface s(3, 1, clRed);
  s.canvas->InvertRect(TRect{1, 0, 3, 1});
  EXPECT_EQ(s.at(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(s.at(1, 0), RGB(0, 255, 255));
  EXPECT_EQ(s.canvas->Canvas()->CopyMode(), cmSrcCopy);
}

// --- text ----------------------------------------------------------------------

TEST_F(LkGraphics, DisabledTextIsEmbossedAndEnabledTextDrawnOnce) {
  setSysColor(COLOR_BTNHIGHLIGHT, RGB(255, 255, 255));
  setSysColor(COLOR_BTNSHADOW, RGB(128, 128, 128));
  const COLORREF background = RGB(0, 0, 200);
  const TRect r{2, 2, 38, 18};

  Surface on(40, 20, static_cast<TColor>(background));
  on.canvas->Font()->SetColor(clBlack);
  on.canvas->DrawText("Save", r, lg::tfSingleLine);
  const auto glyph = on.pixelsOf(RGB(0, 0, 0));
  ASSERT_FALSE(glyph.empty());
  EXPECT_TRUE(on.pixelsOf(RGB(255, 255, 255)).empty());
  EXPECT_TRUE(on.pixelsOf(RGB(128, 128, 128)).empty());

  Surface off(40, 20, static_cast<TColor>(background));
  off.canvas->Font()->SetColor(clBlack);
  off.canvas->DrawText("Save", r, lg::tfSingleLine, false);
  const auto shadow = off.pixelsOf(RGB(128, 128, 128));
  const auto highlight = off.pixelsOf(RGB(255, 255, 255));
  // The shadow copy is the text in place; the highlight copy is the same
  // text one pixel right and down, under the shadow where they meet.
  EXPECT_EQ(shadow, glyph);
  ASSERT_FALSE(highlight.empty());
  for (auto [x, y] : highlight) EXPECT_TRUE(glyph.count({x - 1, y - 1})) << x << "," << y;
  for (auto [x, y] : glyph) EXPECT_TRUE(shadow.count({x + 1, y + 1}) || highlight.count({x + 1, y + 1}));
  EXPECT_TRUE(off.pixelsOf(RGB(0, 0, 0)).empty());
  // Brush and font are as they were.
  EXPECT_EQ(off.canvas->Brush()->Style(), bsSolid);
  EXPECT_EQ(off.canvas->Font()->Color(), clBlack);

  // Nothing at all for an empty text.
  Surface none(10, 10, static_cast<TColor>(background));
  none.canvas->DrawText("", TRect{0, 0, 10, 10}, 0, false);
  EXPECT_EQ(none.ink(background).right, -1);
}

TEST_F(LkGraphics, DrawTextPlacesTheTextByItsFlags) {
  // An opaque brush paints each text cell, so the cells show where the
  // text went, on both the direct and the layout path.
  Surface probe(1, 1, clWhite);
  const SIZE hi = probe.canvas->TextExtent("Hi");
  ASSERT_GT(hi.cx, 0);
  const int lh = hi.cy;
  const TRect r{2, 2, 38, 38};
  struct Case {
    const char* text;
    TlkTextFlags flags;
    TRect expected;
  } cases[] = {
      {"Hi", lg::tfSingleLine, {2, 2, 2 + hi.cx, 2 + lh}},
      {"Hi", lg::tfSingleLine | lg::tfRight, {38 - hi.cx, 2, 38, 2 + lh}},
      {"Hi",
       lg::tfSingleLine | lg::tfHCenter | lg::tfVCenter,
       {(40 - hi.cx) / 2, (40 - lh) / 2, (40 - hi.cx) / 2 + hi.cx, (40 - lh) / 2 + lh}},
      // With an ellipsis the platform's layout aligns the line itself.
      {"Hi", lg::tfSingleLine | lg::tfEndEllipsis | lg::tfRight | lg::tfBottom, {38 - hi.cx, 38 - lh, 38, 38}},
      // A block of lines is placed as a whole.
      {"Hi\nHi", lg::tfBottom, {2, 38 - 2 * lh, 2 + hi.cx, 38}},
      {"Hi\nHi", lg::tfVCenter, {2, (40 - 2 * lh) / 2, 2 + hi.cx, (40 - 2 * lh) / 2 + 2 * lh}},
  };
  for (const auto& c : cases) {
    Surface s(40, 40, clWhite);
    s.canvas->SetBrushColor(clYellow);
    s.canvas->DrawText(c.text, r, c.flags);
    EXPECT_EQ(text(s.ink(RGB(255, 255, 255))), text(c.expected)) << c.text << " flags " << c.flags;
  }

  // Text that does not fit is clipped to the rectangle.
  Surface s(40, 40, clWhite);
  s.canvas->SetBrushColor(clYellow);
  s.canvas->DrawText("Hi there, a long text", TRect{2, 2, 12, 8}, lg::tfSingleLine);
  EXPECT_EQ(text(s.ink(RGB(255, 255, 255))), "2,2,12,8");
}

TEST_F(LkGraphics, MeasureTextRectPlacesTheMeasuredTextInTheFormerSize) {
  Surface probe(1, 1, clWhite);
  const SIZE hi = probe.canvas->TextExtent("Hi");
  struct Case {
    TRect rect;
    TlkTextFlags flags;
    TRect expected;
  } cases[] = {
      {{10, 10, 110, 60}, lg::tfSingleLine, {10, 10, 10 + hi.cx, 10 + hi.cy}},
      {{10, 10, 110, 60},
       lg::tfSingleLine | lg::tfHCenter | lg::tfVCenter,
       {10 + (100 - hi.cx) / 2, 10 + (50 - hi.cy) / 2, 10 + (100 - hi.cx) / 2 + hi.cx,
        10 + (50 - hi.cy) / 2 + hi.cy}},
      {{10, 10, 110, 60}, lg::tfSingleLine | lg::tfRight | lg::tfBottom, {110 - hi.cx, 60 - hi.cy, 110, 60}},
      // No width: measured from one pixel, and left where it starts.
      {{10, 10, 10, 60}, lg::tfSingleLine, {10, 10, 10 + hi.cx, 10 + hi.cy}},
  };
  for (const auto& c : cases) {
    TRect r = c.rect;
    probe.canvas->MeasureTextRect("Hi", r, c.flags);
    EXPECT_EQ(text(r), text(c.expected)) << "flags " << c.flags;
  }
}

TEST_F(LkGraphics, TextFlagsBecomeDrawTextFlags) {
  struct Case {
    TlkTextFlags flags;
    UINT expected;
  } cases[] = {
      {0, DT_NOPREFIX},
      {lg::tfLeft | lg::tfTop, DT_NOPREFIX},
      {lg::tfSingleLine | lg::tfVCenter | lg::tfHCenter, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_CENTER},
      {lg::tfSingleLine | lg::tfVCenter | lg::tfHCenter | lg::tfShowPrefix, DT_SINGLELINE | DT_VCENTER | DT_CENTER},
      {lg::tfRight | lg::tfBottom | lg::tfDontClip | lg::tfExpandTabs,
       DT_NOPREFIX | DT_RIGHT | DT_BOTTOM | DT_NOCLIP | DT_EXPANDTABS},
      {lg::tfWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
      {lg::tfWordBreak | lg::tfNoCharBreak, DT_NOPREFIX | DT_WORDBREAK},
      {lg::tfNoCharBreak, DT_NOPREFIX},
      {lg::tfEndEllipsis | lg::tfCalcRect | lg::tfPathEllipsis,
       DT_NOPREFIX | DT_END_ELLIPSIS | DT_CALCRECT | DT_PATH_ELLIPSIS},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TextFlagsToDrawTextFlags(c.flags), c.expected) << "flags " << c.flags;
}

TEST_F(LkGraphics, TextOutputWrappersTakeALengthOrTheWholeText) {
  HDC dc = lkScreenCanvas()->Handle();
  SIZE whole{}, part{}, past{}, two{};
  ASSERT_TRUE(MeasureTextExtent(dc, "Hello", whole));
  ASSERT_TRUE(MeasureTextExtent(dc, "Hello", part, 2));
  ASSERT_TRUE(MeasureTextExtent(dc, "Hello", past, 99));
  ASSERT_TRUE(MeasureTextExtent(dc, "He", two));
  EXPECT_EQ(part.cx, two.cx);
  EXPECT_EQ(past.cx, whole.cx);
  EXPECT_GT(whole.cx, part.cx);

  Surface s(30, 20, clWhite);
  HDC bdc = s.bitmap.Canvas()->Handle();
  TRect r{0, 0, 30, 20};
  EXPECT_EQ(lkDrawText(bdc, "Hi", r, DT_CALCRECT | DT_SINGLELINE), r.bottom);
  EXPECT_EQ(r.right, s.canvas->TextExtent("Hi").cx);
  // Clipped output stays inside the clip rectangle.
  SetBkMode(bdc, TRANSPARENT);
  EXPECT_TRUE(OutputTextExt(bdc, "Hi", TRect{1, 1, 30, 20}, TRect{0, 0, 4, 20}, ETO_CLIPPED));
  const TRect drawn = s.ink(RGB(255, 255, 255));
  EXPECT_GE(drawn.left, 1);
  EXPECT_LE(drawn.right, 4);
}

// --- regions and clipping ------------------------------------------------------

TEST_F(LkGraphics, RegionsCombineInPlace) {
  // Each result over the points (1,1) in A only, (5,5) in both, (8,8) in B
  // only, for A = (0,0,6,6) and B = (4,4,10,10).
  struct Case {
    TlkRegionOperation op;
    bool a, both, b;
  } cases[] = {
      {roSet, false, true, true},
      {roAdd, true, true, true},
      {roSubtract, true, false, false},
      {roIntersect, false, true, false},
  };
  for (const auto& c : cases) {
    TlkRegion a(TRect{0, 0, 6, 6});
    TlkRegion b(4, 4, 10, 10);
    a.Combine(&b, c.op, false);
    EXPECT_EQ(PtInRegion(a.Handle(), 1, 1) != 0, c.a) << "op " << c.op;
    EXPECT_EQ(PtInRegion(a.Handle(), 5, 5) != 0, c.both) << "op " << c.op;
    EXPECT_EQ(PtInRegion(a.Handle(), 8, 8) != 0, c.b) << "op " << c.op;
    EXPECT_TRUE(PtInRegion(b.Handle(), 8, 8));  // the other region is untouched
  }

  TlkRegion a;
  RECT box{};
  EXPECT_EQ(GetRgnBox(a.Handle(), &box), NULLREGION);
  auto* b = new TlkRegion(0, 0, 2, 2);
  a.Combine(b, roAdd);  // frees b
  a.Offset(3, 4);
  EXPECT_EQ(GetRgnBox(a.Handle(), &box), SIMPLEREGION);
  EXPECT_EQ(text(box), "3,4,5,6");
  a.Combine(&a, roAdd, true);  // itself: never freed
  EXPECT_EQ(GetRgnBox(a.Handle(), &box), SIMPLEREGION);
}

TEST_F(LkGraphics, ClipRegionIsReadAndSetInLogicalCoordinates) {
  Surface s(6, 2, clWhite);
  TlkCanvas& c = *s.canvas;
  c.SetWindowOrg(TPoint{-2, 0});  // logical x = device x - 2
  RECT box{};

  std::unique_ptr<TlkRegion> none(c.GetClipRegion());
  GetRgnBox(none->Handle(), &box);
  EXPECT_EQ(text(box), "-2,0,29998,30000");
  std::unique_ptr<TlkRegion> device(c.GetClipRegion(false));
  GetRgnBox(device->Handle(), &box);
  EXPECT_EQ(text(box), "0,0,30000,30000");

  // Kept by the caller: handed back as it was.
  TlkRegion keep(0, 0, 2, 2);
  c.SetClipRegion(&keep, roSet, false);
  GetRgnBox(keep.Handle(), &box);
  EXPECT_EQ(text(box), "0,0,2,2");
  c.SetClipRegion(new TlkRegion(-2, 0, 4, 1), roAdd);
  c.FillRectColor(TRect{-2, 0, 4, 2}, clRed);
  EXPECT_EQ(s.picture(kRGBW), "RRRRRR|..RR..");

  c.SetClipRegion(new TlkRegion(0, 0, 1, 2), roIntersect);
  c.FillRectColor(TRect{-2, 0, 4, 2}, clBlue);
  EXPECT_EQ(s.picture(kRGBW), "RRBRRR|..BR..");

  c.ExcludeClipRect(TRect{0, 0, 1, 1});
  c.FillRectColor(TRect{-2, 0, 4, 2}, clLime);
  EXPECT_EQ(s.picture(kRGBW), "RRBRRR|..GR..");
}

// --- bitmaps --------------------------------------------------------------------

TEST_F(LkGraphics, RotationTurnsAndMirrorsThePixels) {
  // A 3 x 2 picture; every result as its rows.
  const Legend legend = {{clRed, 'a'}, {clLime, 'b'}, {clBlue, 'c'}, {clYellow, 'd'}, {clBlack, 'e'}, {clWhite, 'f'}};
  struct Case {
    TlkRotationAngle mode;
    bool flip;
    const char* picture;
  } cases[] = {
      {raNone, false, "abc|def"}, {raNone, true, "def|abc"},  {raPlus90, false, "cf|be|ad"},
      {raPlus90, true, "ad|be|cf"}, {raMinus90, false, "da|eb|fc"}, {raMinus90, true, "fc|eb|da"},
      {ra180, false, "fed|cba"},  {ra180, true, "cba|fed"},
  };
  for (const auto& c : cases) {
    TlkCustomBitmap b(3, 2);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    const TColor colours[] = {clRed, clLime, clBlue, clYellow, clBlack, clWhite};
    for (int i = 0; i < 6; ++i) b.Canvas()->SetPixels(i % 3, i / 3, colours[i]);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.Rotate(c.mode, c.flip);
    EXPECT_EQ(changes, 1) << "mode " << c.mode << " flip " << c.flip;
    std::string s;
    for (int y = 0; y < b.Height(); ++y) {
      if (y) s += '|';
      for (int x = 0; x < b.Width(); ++x) {
        char ch = '?';
        for (const auto& [colour, k] : legend)
          if (static_cast<COLORREF>(b.Canvas()->Pixels(x, y)) == ColorToRGB(colour)) ch = k;
        s += ch;
      }
    }
    EXPECT_EQ(s, c.picture) << "mode " << c.mode << " flip " << c.flip;
  }

  // A plain bitmap: 2 x 1 turned anticlockwise stands 1 x 2 with its right
  // pixel on top.
  TBitmap plain;
  plain.SetPixelFormat(pf32bit);
  plain.SetSize(2, 1);
  plain.Canvas()->SetPixels(0, 0, clRed);
  plain.Canvas()->SetPixels(1, 0, clBlue);
  RotateBitmap(&plain, raPlus90);
  ASSERT_EQ(plain.Width(), 1);
  ASSERT_EQ(plain.Height(), 2);
  EXPECT_EQ(static_cast<COLORREF>(plain.Canvas()->Pixels(0, 0)), RGB(0, 0, 255));
  EXPECT_EQ(static_cast<COLORREF>(plain.Canvas()->Pixels(0, 1)), RGB(255, 0, 0));
  TBitmap empty;
  RotateBitmap(&empty, raMinus90);  // nothing to turn
  RotateBitmap(nullptr, raMinus90);
  EXPECT_TRUE(empty.Empty());
}

TEST_F(LkGraphics, CustomBitmapHoldsBackChangesWhileUpdating) {
  TlkCustomBitmap b(TRect{5, 5, 9, 7});
  EXPECT_EQ(text(b.ClientRect()), "0,0,4,2");
  ASSERT_NE(b.lkCanvas(), nullptr);
  EXPECT_EQ(b.lkCanvas()->Canvas(), b.Canvas());
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };

  b.BeginUpdate();
  b.SetSize(6, 6);
  b.SetWidth(7);  // reaches the bitmap's own SetSize too
  b.BeginUpdate();
  b.EndUpdate();
  EXPECT_EQ(changes, 0);
  b.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(b.Width(), 7);
  b.EndUpdate();  // not updating: nothing
  EXPECT_EQ(changes, 1);
  b.BeginUpdate();
  b.EndUpdate(true);  // forced without a change
  EXPECT_EQ(changes, 2);
  b.BeginUpdate();
  b.EndUpdate();  // nothing happened, nothing sent
  EXPECT_EQ(changes, 2);
}

TEST_F(LkGraphics, BitmapClearsToTheTransparentPixelOnlyWhenItHasAlpha) {
  TlkBitmap b(2, 1);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(rawPixels(b), (std::vector<DWORD>{0, 0}));
  b.SetTransparentPixel(0x00FF0000);  // no alpha: black
  b.Canvas()->SetPixels(0, 0, clWhite);
  b.Clear();
  EXPECT_EQ(rawPixels(b), (std::vector<DWORD>{0, 0}));
  b.SetTransparentPixel(0x80FF0000);
  b.SetWidth(3);  // a new size clears
  EXPECT_EQ(rawPixels(b), (std::vector<DWORD>{0x80FF0000, 0x80FF0000, 0x80FF0000}));
  b.SetSize(3, 1);  // also at the same size
  b.Canvas()->SetPixels(0, 0, clWhite);
  b.SetSize(3, 1);
  EXPECT_EQ(rawPixels(b)[0], 0x80FF0000u);
}

TEST_F(LkGraphics, FiltersChangeEachPixelByKind) {
  setSysColor(COLOR_BTNSHADOW, RGB(128, 128, 128));
  // Pixel 0 is ordinary, pixel 1 the transparent pixel, pixel 2 lime in
  // the transparent-colour list (whatever its alpha).
  const DWORD ordinary = 0x80402010, transparent = 0x11223344, listed = 0x7F00FF00;
  struct Case {
    TlkBitmapFilter kind;
    DWORD expected;  // for the ordinary pixel
    bool skipsTransparent;
  } cases[] = {
      {bfLighten, 0xA6796257, true},  {bfDisable, 0xD9838383, true}, {bfGrayMean, 0x80252525, true},
      {bfGray, 0x80282828, true},     {bfGrayAlt, 0x801F1F1F, true}, {bfOpaque, 0x80402010, true},
      {bfFullAlpha, 0xFF402010, false}, {bfMask, 0x00000000, false}, {bfTransparent, transparent, false},
  };
  for (const auto& c : cases) {
    TlkBitmap b(3, 1);
    b.SetTransparentPixel(transparent);
    b.TransparentColors()->Add(clLime);
    setRawPixels(b, {ordinary, transparent, listed});
    b.Filter(c.kind);
    const auto px = rawPixels(b);
    EXPECT_EQ(px[0], c.expected) << "kind " << c.kind;
    if (c.skipsTransparent) {
      EXPECT_EQ(px[1], transparent) << "kind " << c.kind;
      EXPECT_EQ(px[2], listed) << "kind " << c.kind;
    }
  }

  TlkBitmap b(3, 1);
  b.SetTransparentPixel(transparent);
  b.TransparentColors()->Add(clLime);
  setRawPixels(b, {0x00402010, transparent, listed});
  b.Filter(bfOpaque);
  EXPECT_EQ(rawPixels(b), (std::vector<DWORD>{0xFF402010, transparent, listed}));
  b.Filter(bfMask);
  EXPECT_EQ(rawPixels(b), (std::vector<DWORD>{0, 0xFFFFFFFF, 0xFFFFFFFF}));
  setRawPixels(b, {0x00402010, transparent, listed});
  b.Filter(bfFullAlpha);
  EXPECT_EQ(rawPixels(b), (std::vector<DWORD>{0xFF402010, 0xFF223344, 0xFF00FF00}));
}

TEST_F(LkGraphics, CheckerFilterCountsCellsFromTheBottomLeft) {
  TlkBitmap b(3, 2);
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.Filter(bfChecker);  // no cell size yet: nothing to draw
  EXPECT_EQ(rawPixels(b), std::vector<DWORD>(6, 0));
  EXPECT_EQ(changes, 0);

  b.SetCheckerColors(clRed, 255, clBlue, 255);
  b.SetCheckerSize(1);
  b.Filter(bfChecker);
  EXPECT_EQ(changes, 1);
  const DWORD R = 0xFFFF0000, B = 0xFF0000FF;
  EXPECT_EQ(rawPixels(b), (std::vector<DWORD>{B, R, B, R, B, R}));  // rows top-down
  b.SetCheckerSize(2);
  b.Filter(bfChecker);
  EXPECT_EQ(rawPixels(b), (std::vector<DWORD>{R, R, B, R, R, B}));
}

// --- colours ----------------------------------------------------------------------

TEST_F(LkGraphics, ColoursPackAndBlend) {
  setSysColor(COLOR_BTNFACE, RGB(10, 20, 30));
  EXPECT_EQ(ColorToARGB(clRed), 0xFFFF0000u);
  EXPECT_EQ(ColorToARGB(static_cast<TColor>(RGB(1, 2, 3)), 0x80), 0x80010203u);
  EXPECT_EQ(ColorToARGB(clBtnFace, 0), 0x000A141Eu);

  struct Case {
    DWORD colour, pixel;
    BYTE opacity;
    DWORD expected;
  } cases[] = {
      {0xFF0000FF, 0xFFFF0000, 255, 0xFF0000FF},  // opaque over anything
      {0xFF0000FF, 0xFFFF0000, 0, 0xFFFF0000},    // no opacity: the pixel
      // Half alpha over grey 128: 64 + (1 - 128/255) * 128 = 127.75.
      {0x80404040, 0x00808080, 255, 0x80808080},
      {0xFFFFFFFF, 0xFFFFFFFF, 128, 0xFFFFFFFF},  // capped at 255
  };
  for (const auto& c : cases) {
    DWORD p = c.pixel;
    BlendPixel(c.colour, p, c.opacity);
    EXPECT_EQ(p, c.expected) << std::hex << c.colour << " over " << c.pixel;
  }
}

TEST_F(LkGraphics, SystemMixColoursWeighTheSystemColours) {
  struct Case {
    COLORREF face, highlight, window;
    COLORREF mix1, mix2;
  } cases[] = {
      // The classic scheme: silver, navy, white.
      {RGB(192, 192, 192), RGB(0, 0, 128), RGB(255, 255, 255), RGB(129, 129, 185), RGB(180, 180, 218)},
      // Channels clamp at 255 and at 0.
      {RGB(254, 254, 254), RGB(255, 255, 255), RGB(255, 255, 255), RGB(250, 250, 250), RGB(255, 255, 255)},
      {RGB(250, 1, 1), RGB(0, 0, 0), RGB(0, 0, 0), RGB(35, 0, 0), RGB(0, 0, 0)},
      // A black or white face gives the highlight unmixed.
      {RGB(0, 0, 0), RGB(10, 20, 30), RGB(255, 255, 255), RGB(10, 20, 30), RGB(10, 20, 30)},
      {RGB(255, 255, 255), RGB(10, 20, 30), RGB(0, 0, 0), RGB(10, 20, 30), RGB(10, 20, 30)},
  };
  for (const auto& c : cases) {
    setSysColor(COLOR_BTNFACE, c.face);
    setSysColor(COLOR_HIGHLIGHT, c.highlight);
    setSysColor(COLOR_WINDOW, c.window);
    EXPECT_EQ(static_cast<COLORREF>(SystemMixColor1()), c.mix1) << std::hex << c.face;
    EXPECT_EQ(static_cast<COLORREF>(SystemMixColor2()), c.mix2) << std::hex << c.face;
  }
  // On the 32-bit screen every colour shows as it is; system colours are
  // resolved first.
  EXPECT_EQ(static_cast<COLORREF>(NearestScreenColor(static_cast<TColor>(RGB(1, 2, 3)))), RGB(1, 2, 3));
  EXPECT_EQ(static_cast<COLORREF>(NearestScreenColor(clHighlight)), ColorToRGB(clHighlight));
}

TEST_F(LkGraphics, WebColourNamesIgnoreCase) {
  struct Case {
    const char* name;
    bool found;
    TColor colour;
  } cases[] = {
      {"NAVY", true, static_cast<TColor>(0x800000)},
      {"threedface", true, clBtnFace},
      {"ThreeDDarkShadow", true, cl3DDkShadow},
      {"scrollbar", true, clScrollBar},
      {"gray", true, static_cast<TColor>(0x808080)},
      {"green", true, static_cast<TColor>(0x008000)},
      {"LightGrey", true, static_cast<TColor>(RGB(211, 211, 211))},
      {"mediumpurple", true, static_cast<TColor>(RGB(147, 112, 219))},
      {"aliceblue", true, static_cast<TColor>(RGB(240, 248, 255))},
      {"yellowgreen", true, static_cast<TColor>(RGB(154, 205, 50))},
      {"lightgray", false, 0},
      {"navy ", false, 0},
      {"", false, 0},
  };
  for (const auto& c : cases) {
    TColor colour = clNone;
    EXPECT_EQ(lkWebColorNameToColor(c.name, colour), c.found) << c.name;
    EXPECT_EQ(colour, c.found ? c.colour : clNone) << c.name;
  }
}

// --- image lists and glyphs ----------------------------------------------------

TEST_F(LkGraphics, SetImageListMovesTheLinkAndTheFreeNotification) {
  TComponent owner(nullptr);
  auto* first = new TImageList(&owner);
  auto* second = new TImageList(&owner);
  auto* notifier = new TComponent(&owner);
  TChangeLink link;
  int changes = 0;
  link.OnChange = [&](TObject*) { ++changes; };
  TCustomImageList* field = nullptr;

  lkSetImageList(first, field, &link, notifier);
  EXPECT_EQ(field, first);
  EXPECT_EQ(changes, 1);
  TBitmap glyph;
  glyph.SetSize(16, 16);
  first->Add(&glyph, nullptr);
  EXPECT_EQ(changes, 2);  // the list reaches the link

  lkSetImageList(first, field, &link, notifier);  // the same list: nothing
  EXPECT_EQ(changes, 2);

  lkSetImageList(second, field, &link, notifier);
  EXPECT_EQ(field, second);
  EXPECT_EQ(changes, 3);
  first->Add(&glyph, nullptr);  // the old list no longer reaches it
  EXPECT_EQ(changes, 3);

  lkSetImageList(nullptr, field, &link, notifier);
  EXPECT_EQ(field, nullptr);
  EXPECT_EQ(changes, 4);
  lkSetImageList(first, field, nullptr, nullptr);  // without link or notifier
  EXPECT_EQ(field, first);

  EXPECT_TRUE(lkIsValidImageIndex(first, 0));
  EXPECT_TRUE(lkIsValidImageIndex(first, 1));
  EXPECT_FALSE(lkIsValidImageIndex(first, 2));
  EXPECT_FALSE(lkIsValidImageIndex(first, -1));
  EXPECT_FALSE(lkIsValidImageIndex(second, 0));
  EXPECT_FALSE(lkIsValidImageIndex(nullptr, 0));
  EXPECT_TRUE(GlyphIsSet(&glyph));
  TBitmap empty;
  EXPECT_FALSE(GlyphIsSet(&empty));
  EXPECT_FALSE(GlyphIsSet(nullptr));
}

// --- the unit --------------------------------------------------------------------

TEST_F(LkGraphics, UnitMakesItsBrushesAndBindsAlphaBlend) {
  EXPECT_TRUE(qv::classlib::UnitInitialized(lkGeometryUnit));  // started before it
  ASSERT_NE(lg::HalftoneBrush(), nullptr);
  EXPECT_EQ(lg::SystemColorBrush(COLOR_BTNFACE), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(lg::SystemColorBrush(31), nullptr);
  EXPECT_NE(lg::AlphaBlendFunc(), nullptr);

  // The halftone pattern alternates from pixel to pixel.
  Surface s(4, 2, clWhite);
  HDC dc = s.bitmap.Canvas()->Handle();
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  RECT r{0, 0, 4, 2};
  ::FillRect(dc, &r, lg::HalftoneBrush());
  EXPECT_EQ(s.picture(kRGBW), ".K.K|K.K.");

  // One screen canvas until the unit ends; it measures text.
  TlkScreenCanvas* screen = lkScreenCanvas();
  EXPECT_EQ(lkScreenCanvas(), screen);
  EXPECT_GT(screen->TextWidth("Hi"), 0);
  lg::Finalize();
  EXPECT_EQ(lg::HalftoneBrush(), nullptr);
  EXPECT_EQ(lg::AlphaBlendFunc(), nullptr);
  lg::Initialize();  // for the fixture's shut-down
}

TEST_F(LkGraphics, WithoutMsimg32ThereIsNoAlphaBlend) {
  lg::Finalize();
  qv::desktop::profile().msimg32 = false;
  lg::Initialize();
  EXPECT_EQ(lg::AlphaBlendFunc(), nullptr);
  EXPECT_NE(lg::HalftoneBrush(), nullptr);
}

}  // namespace
