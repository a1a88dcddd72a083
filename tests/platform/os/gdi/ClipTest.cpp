// Clipping: clip regions in device coordinates, the rectangle calls in
// logical ones, visibility queries, and DCs over surfaces that others own.
#include <gtest/gtest.h>

#include <array>

#include "GdiCanvas.h"

using gditest::Canvas;
using Picture = std::vector<std::string>;

namespace {

void fillAll(HDC dc, int w, int h) {
  RECT all{-100, -100, w + 100, h + 100};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

TEST(Clip, TwoRectanglesWithAnExcludedHole) {
  Canvas c(8, 4);
  HRGN clip = CreateRectRgn(0, 0, 3, 4);
  HRGN right = CreateRectRgn(5, 0, 8, 4);
  CombineRgn(clip, clip, right, RGN_OR);
  EXPECT_EQ(SelectClipRgn(c.dc(), clip), COMPLEXREGION);
  EXPECT_EQ(ExcludeClipRect(c.dc(), 1, 1, 2, 3), COMPLEXREGION);
  fillAll(c.dc(), 8, 4);
  EXPECT_EQ(c.picture(), (Picture{"###..###", "#.#..###", "#.#..###", "###..###"}));
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc(), &box), COMPLEXREGION);
  EXPECT_EQ((std::array<LONG, 4>{box.left, box.top, box.right, box.bottom}), (std::array<LONG, 4>{0, 0, 8, 4}));
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.dc(), got), 1);
  EXPECT_FALSE(PtInRegion(got, 1, 1));
  EXPECT_TRUE(PtInRegion(got, 6, 1));
  RECT hole{1, 1, 2, 3}, gap{3, 0, 5, 4}, edge{2, 0, 4, 1};
  EXPECT_FALSE(RectVisible(c.dc(), &hole));
  EXPECT_FALSE(RectVisible(c.dc(), &gap));
  EXPECT_TRUE(RectVisible(c.dc(), &edge));
  EXPECT_FALSE(PtVisible(c.dc(), 3, 0));
  EXPECT_TRUE(PtVisible(c.dc(), 2, 0));
  DeleteObject(clip);
  DeleteObject(right);
  DeleteObject(got);
}

TEST(Clip, SelectingCopiesTheRegionAndNullRemovesIt) {
  Canvas c(4, 1);
  HRGN rgn = CreateRectRgn(0, 0, 2, 1);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.dc(), probe), 0);
  EXPECT_EQ(SelectClipRgn(c.dc(), rgn), SIMPLEREGION);
  SetRectRgn(rgn, 0, 0, 4, 1);  // the DC holds its own copy
  fillAll(c.dc(), 4, 1);
  EXPECT_EQ(c.picture(), Picture{"##.."});
  EXPECT_EQ(SelectClipRgn(c.dc(), nullptr), SIMPLEREGION);
  EXPECT_EQ(GetClipRgn(c.dc(), probe), 0);
  fillAll(c.dc(), 4, 1);
  EXPECT_EQ(c.picture(), Picture{"####"});
  // SelectObject with a region clips the same way and answers its type.
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(SelectObject(c.dc(), rgn)), SIMPLEREGION);
  EXPECT_EQ(GetClipRgn(c.dc(), probe), 1);
  DeleteObject(rgn);
  DeleteObject(probe);
}

TEST(Clip, CombiningModesStartFromTheWholeSurface) {
  struct {
    int mode;
    Picture expected;
  } cases[] = {
      {RGN_AND, {".##."}}, {RGN_OR, {"####"}}, {RGN_DIFF, {"#..#"}}, {RGN_XOR, {"#..#"}}, {RGN_COPY, {".##."}}};
  for (const auto& k : cases) {
    Canvas c(4, 1);
    HRGN rgn = CreateRectRgn(1, 0, 3, 1);
    ExtSelectClipRgn(c.dc(), rgn, k.mode);
    fillAll(c.dc(), 4, 1);
    EXPECT_EQ(c.picture(), k.expected) << k.mode;
    DeleteObject(rgn);
  }
}

TEST(Clip, RectangleCallsTakeLogicalCoordinates) {
  Canvas c(4, 2);
  SetWindowOrgEx(c.dc(), 10, 0, nullptr);
  EXPECT_EQ(IntersectClipRect(c.dc(), 10, 0, 13, 2), SIMPLEREGION);
  EXPECT_EQ(ExcludeClipRect(c.dc(), 11, 0, 12, 1), COMPLEXREGION);
  fillAll(c.dc(), 4, 2);
  EXPECT_EQ(c.picture(), (Picture{"#.#.", "###."}));
  RECT box;
  GetClipBox(c.dc(), &box);
  EXPECT_EQ((std::array<LONG, 4>{box.left, box.top, box.right, box.bottom}), (std::array<LONG, 4>{10, 0, 13, 2}));
  // The stored clip is in device coordinates, unmoved by the origin.
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  GetClipRgn(c.dc(), got);
  GetRgnBox(got, &box);
  EXPECT_EQ((std::array<LONG, 4>{box.left, box.top, box.right, box.bottom}), (std::array<LONG, 4>{0, 0, 3, 2}));
  EXPECT_EQ(OffsetClipRgn(c.dc(), 1, 0), COMPLEXREGION);
  c.clear(RGB(255, 255, 255));
  fillAll(c.dc(), 4, 2);
  EXPECT_EQ(c.picture(), (Picture{".#.#", ".###"}));
  DeleteObject(got);
}

TEST(Clip, SaveAndRestoreKeepTheClip) {
  Canvas c(4, 1);
  int level = SaveDC(c.dc());
  IntersectClipRect(c.dc(), 0, 0, 1, 1);
  SaveDC(c.dc());
  IntersectClipRect(c.dc(), 5, 0, 6, 1);  // now nothing is visible
  fillAll(c.dc(), 4, 1);
  EXPECT_EQ(c.picture(), Picture{"...."});
  RestoreDC(c.dc(), -1);
  fillAll(c.dc(), 4, 1);
  EXPECT_EQ(c.picture(), Picture{"#..."});
  RestoreDC(c.dc(), level);
  fillAll(c.dc(), 4, 1);
  EXPECT_EQ(c.picture(), Picture{"####"});
}

TEST(SurfaceDC, OriginAndVisibleRegionOnAnOwnedSurface) {
  auto surface = qv::os::gdi::makeSurface(6, 4);
  HRGN visible = CreateRectRgn(0, 0, 3, 2);  // device coordinates
  HDC dc = qv::os::gdi::createSurfaceDC(surface, POINT{2, 1}, visible);
  DeleteObject(visible);
  SetPixel(dc, 0, 0, RGB(255, 0, 0));
  EXPECT_EQ(surface->row(1)[2], 0x00FF0000u);
  EXPECT_EQ(GetPixel(dc, 3, 0), CLR_INVALID);  // outside the visible region
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ((std::array<LONG, 4>{box.left, box.top, box.right, box.bottom}), (std::array<LONG, 4>{0, 0, 3, 2}));
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dc, probe), 0);  // the visible region is not a clip
  ExcludeClipRect(dc, 1, 0, 2, 2);
  RECT all{0, 0, 10, 10};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  std::string row1;
  for (int x = 0; x < 6; ++x) row1 += surface->row(1)[x] ? '#' : '.';
  EXPECT_EQ(row1, "..#.#.");
  EXPECT_EQ(surface->row(3)[2], 0u);
  DeleteObject(probe);
  DeleteDC(dc);
}

TEST(TextHooks, MaskAndDeviceRectangleHonourTheClip) {
  Canvas c(4, 2);
  IntersectClipRect(c.dc(), 0, 0, 3, 2);
  SetViewportOrgEx(c.dc(), 1, 0, nullptr);  // the hooks take device coordinates
  const std::uint8_t mask[] = {1, 0, 1, 1, 0, 1, 1, 1};
  qv::os::gdi::drawMask(c.dc(), 0, 0, mask, 4, 2, 4, RGB(0, 0, 0));
  EXPECT_EQ(c.picture(), (Picture{"#.#.", ".##."}));
  c.clear(RGB(255, 255, 255));
  qv::os::gdi::fillDeviceRect(c.dc(), RECT{2, 1, 9, 9}, RGB(0, 0, 0));
  EXPECT_EQ(c.picture(), (Picture{"....", "..#."}));
}

}  // namespace
