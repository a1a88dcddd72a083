// Device contexts and bitmaps: origins, saved states, object selection and
// lifetime, object descriptions, device-independent bits and sections.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "GdiCanvas.h"
#include "platform/desktop/Profile.h"

using gditest::Canvas;
using gditest::Selected;

namespace {

TEST(Origins, MoveLogicalButNotDeviceCoordinates) {
  struct {
    POINT window, viewport, logical, device;
  } cases[] = {
      {{0, 0}, {0, 0}, {1, 1}, {1, 1}},
      {{5, 5}, {0, 0}, {6, 7}, {1, 2}},
      {{0, 0}, {2, 1}, {0, 0}, {2, 1}},
      {{5, 5}, {2, 1}, {5, 5}, {2, 1}},
      {{-1, 0}, {0, 0}, {0, 0}, {1, 0}},
  };
  for (const auto& c : cases) {
    Canvas canvas(4, 4);
    SetWindowOrgEx(canvas.dc(), c.window.x, c.window.y, nullptr);
    SetViewportOrgEx(canvas.dc(), c.viewport.x, c.viewport.y, nullptr);
    POINT p = c.logical;
    LPtoDP(canvas.dc(), &p, 1);
    EXPECT_EQ(p.x, c.device.x);
    EXPECT_EQ(p.y, c.device.y);
    DPtoLP(canvas.dc(), &p, 1);
    EXPECT_EQ(p.x, c.logical.x);
    SetPixel(canvas.dc(), c.logical.x, c.logical.y, RGB(0, 0, 0));
    EXPECT_EQ(canvas.at(c.device.x, c.device.y), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc(), c.logical.x, c.logical.y), RGB(0, 0, 0));
  }
}

TEST(Origins, OffsetsReturnThePreviousOrigin) {
  Canvas c(2, 2);
  POINT old;
  SetViewportOrgEx(c.dc(), 3, 4, nullptr);
  OffsetViewportOrgEx(c.dc(), 1, 1, &old);
  EXPECT_EQ(old.x, 3);
  GetViewportOrgEx(c.dc(), &old);
  EXPECT_EQ(old.y, 5);
  OffsetWindowOrgEx(c.dc(), -2, 0, &old);
  GetWindowOrgEx(c.dc(), &old);
  EXPECT_EQ(old.x, -2);
  SetBrushOrgEx(c.dc(), 3, 1, &old);
  EXPECT_EQ(old.x, 0);
  GetBrushOrgEx(c.dc(), &old);
  EXPECT_EQ(old.x, 3);
}

TEST(SaveDC, RestoresByPositiveAndNegativeLevels) {
  Canvas c(2, 2);
  HDC dc = c.dc();
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  SetTextColor(dc, RGB(1, 1, 1));
  EXPECT_EQ(SaveDC(dc), 1);
  SetTextColor(dc, RGB(2, 2, 2));
  SelectObject(dc, red);
  SetViewportOrgEx(dc, 5, 5, nullptr);
  EXPECT_EQ(SaveDC(dc), 2);
  SetTextColor(dc, RGB(3, 3, 3));
  EXPECT_EQ(SaveDC(dc), 3);
  SetBkMode(dc, TRANSPARENT);

  EXPECT_TRUE(RestoreDC(dc, -1));  // back to state 3
  EXPECT_EQ(GetTextColor(dc), RGB(3, 3, 3));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_TRUE(RestoreDC(dc, 2));
  EXPECT_EQ(GetTextColor(dc), RGB(2, 2, 2));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), red);
  EXPECT_FALSE(RestoreDC(dc, 2));  // already gone
  EXPECT_FALSE(RestoreDC(dc, -2));
  EXPECT_FALSE(RestoreDC(dc, 0));
  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(GetTextColor(dc), RGB(1, 1, 1));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  POINT org;
  GetViewportOrgEx(dc, &org);
  EXPECT_EQ(org.x, 0);
  DeleteObject(red);
}

TEST(Objects, CompatibleDCsStartMonochrome) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAP bm{};
  ASSERT_EQ(GetObject(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  // A bitmap "compatible" with a fresh memory DC is monochrome.
  HBITMAP mono = CreateCompatibleBitmap(dc, 20, 3);
  GetObject(mono, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(bm.bmWidthBytes, 4);  // rows padded to 16 bits
  HBITMAP colour = CreateBitmap(2, 2, 1, 32, nullptr);
  SelectObject(dc, colour);
  HBITMAP deep = CreateCompatibleBitmap(dc, 2, 2);
  GetObject(deep, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(GetObjectType(colour), static_cast<DWORD>(OBJ_BITMAP));
  DeleteDC(dc);
  for (HBITMAP b : {mono, colour, deep}) EXPECT_TRUE(DeleteObject(b));
}

TEST(Objects, SelectedObjectsOutliveDeleteObject) {
  Canvas c(2, 1);
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(c.dc(), brush);
  EXPECT_EQ(old, GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(PatBlt(c.dc(), 0, 0, 1, 1, PATCOPY));  // still paints with it
  EXPECT_EQ(c.at(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(SelectObject(c.dc(), old), brush);
  EXPECT_EQ(GetObjectType(brush), 0u);  // freed once deselected

  // A selected bitmap cannot be deleted, nor selected in a second DC.
  EXPECT_FALSE(DeleteObject(c.bitmap()));
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, c.bitmap()), nullptr);
  DeleteDC(other);

  // Stock objects survive deletion, as do brushes marked stock.
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
  HBRUSH sys = CreateSolidBrush(RGB(1, 2, 3));
  qv::os::gdi::markStock(sys);
  EXPECT_TRUE(DeleteObject(sys));
  EXPECT_EQ(GetObjectType(sys), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(SelectObject(nullptr, sys), nullptr);
  EXPECT_FALSE(DeleteObject(nullptr));
}

TEST(Objects, DescribeThemselves) {
  LOGPEN lp{};
  HPEN pen = CreatePen(PS_DOT, 1, RGB(1, 2, 3));
  EXPECT_EQ(GetObject(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DOT));
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  LOGBRUSH lb{};
  HBRUSH brush = CreateHatchBrush(HS_CROSS, RGB(4, 5, 6));
  EXPECT_EQ(GetObject(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
  EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_CROSS));
  EXPECT_EQ(GetObject(brush, 2, &lb), 0);  // too small
  LOGBRUSH extBrush{BS_SOLID, RGB(7, 8, 9), 0};
  HPEN ext = ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 3, &extBrush, 0, nullptr);
  EXPECT_EQ(GetObjectType(ext), static_cast<DWORD>(OBJ_EXTPEN));
  EXTLOGPEN elp{};
  EXPECT_GT(GetObject(ext, sizeof elp, &elp), 0);
  EXPECT_EQ(elp.elpWidth, 3u);
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &extBrush, 0, nullptr), nullptr);  // cosmetic pens are thin
  for (HGDIOBJ o : {static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(brush), static_cast<HGDIOBJ>(ext)})
    DeleteObject(o);
}

TEST(DeviceCaps, DescribeTheProfile) {
  HDC dc = CreateCompatibleDC(nullptr);
  qv::desktop::profile().dpi = 120;
  struct {
    int index, expected;
  } cases[] = {{BITSPIXEL, 32}, {PLANES, 1},    {LOGPIXELSX, 120}, {LOGPIXELSY, 120},
               {HORZRES, 1024}, {VERTRES, 768}, {NUMCOLORS, -1},   {TECHNOLOGY, DT_RASDISPLAY}};
  for (const auto& c : cases) EXPECT_EQ(GetDeviceCaps(dc, c.index), c.expected) << c.index;
  EXPECT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_BITBLT);
  EXPECT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHBLT);
  // With the monochrome stock bitmap selected only black and white exist.
  EXPECT_EQ(GetNearestColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
  HBITMAP bmp = CreateBitmap(1, 1, 1, 32, nullptr);
  SelectObject(dc, bmp);
  EXPECT_EQ(GetNearestColor(dc, RGB(1, 2, 3)), RGB(1, 2, 3));
  DeleteDC(dc);
  DeleteObject(bmp);
  qv::desktop::resetProfile();
}

// A BITMAPINFO with room for a colour table.
struct Info {
  BITMAPINFOHEADER header{};
  RGBQUAD colours[256]{};
  Info(int w, int h, int bits) {
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = BI_RGB;
  }
  BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

TEST(DIBits, TopDownAndBottomUpRows) {
  // A 2 x 2 picture: top row red, blue; bottom row green, white.
  Canvas c(2, 2);
  SetPixel(c.dc(), 0, 0, RGB(255, 0, 0));
  SetPixel(c.dc(), 1, 0, RGB(0, 0, 255));
  SetPixel(c.dc(), 0, 1, RGB(0, 255, 0));
  struct {
    int height, bits;
    std::vector<std::uint8_t> expected;
  } cases[] = {
      {-2, 24, {0, 0, 255, 255, 0, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0, 0}},
      {2, 24, {0, 255, 0, 255, 255, 255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0}},
      {-2, 32, {0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0}},
      {2, 32, {0, 255, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 255, 0, 0, 0}},
      // 1 bit: nearest of black and white; bytes per row padded to 4.
      {-2, 1, {0x00, 0, 0, 0, 0x40, 0, 0, 0}},
  };
  for (const auto& k : cases) {
    Info info(2, k.height, k.bits);
    std::vector<std::uint8_t> bits(k.expected.size(), 0xEE);
    EXPECT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 2, bits.data(), info.get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(bits, k.expected) << k.height << " " << k.bits;
    // Written back the same way, the picture is unchanged.
    Canvas copy(2, 2);
    EXPECT_EQ(SetDIBits(copy.dc(), copy.bitmap(), 0, 2, bits.data(), info.get(), DIB_RGB_COLORS), 2);
    if (k.bits > 1) {
      EXPECT_EQ(copy.picture({{RGB(255, 0, 0), 'r'}, {RGB(0, 0, 255), 'b'}, {RGB(0, 255, 0), 'g'}, {RGB(255, 255, 255), '.'}}),
                (std::vector<std::string>{"rb", "g."}));
    }
  }
  // Asked for the header only, it describes the bitmap.
  Info probe(0, 0, 0);
  EXPECT_NE(GetDIBits(c.dc(), c.bitmap(), 0, 0, nullptr, probe.get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(probe.header.biWidth, 2);
  EXPECT_EQ(probe.header.biBitCount, 32);
}

TEST(DIBits, PalettesAndPartialScans) {
  Info info(3, 2, 8);  // bottom-up
  info.colours[1] = {0, 0, 255, 0};   // red
  info.colours[2] = {255, 0, 0, 0};   // blue
  const std::uint8_t bits[] = {1, 2, 1, 0, /* top row: */ 2, 2, 0, 0};
  Canvas c(3, 2);
  // Only the second scan line (the top row of a bottom-up DIB).
  EXPECT_EQ(SetDIBits(c.dc(), c.bitmap(), 1, 1, bits + 4, info.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(c.picture({{RGB(255, 0, 0), 'r'}, {RGB(0, 0, 255), 'b'}, {RGB(0, 0, 0), '#'}, {RGB(255, 255, 255), '.'}}),
            (std::vector<std::string>{"bb#", "..."}));
  EXPECT_EQ(StretchDIBits(c.dc(), 0, 0, 3, 2, 0, 0, 3, 2, bits, info.get(), DIB_RGB_COLORS, SRCCOPY), 2);
  EXPECT_EQ(c.picture({{RGB(255, 0, 0), 'r'}, {RGB(0, 0, 255), 'b'}, {RGB(0, 0, 0), '#'}}),
            (std::vector<std::string>{"bb#", "rbr"}));
  c.clear(RGB(255, 255, 255));
  EXPECT_EQ(SetDIBitsToDevice(c.dc(), 0, 0, 3, 2, 0, 0, 0, 2, bits, info.get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(c.at(0, 1), RGB(255, 0, 0));
  EXPECT_EQ(SetDIBits(c.dc(), c.bitmap(), 0, 1, bits, info.get(), DIB_PAL_COLORS), 0);

  // CreateDIBitmap makes a bitmap like the DC's: colour here, but
  // monochrome for a fresh memory DC.
  HBITMAP made = CreateDIBitmap(c.dc(), &info.header, CBM_INIT, bits, info.get(), DIB_RGB_COLORS);
  BITMAP bm{};
  GetObject(made, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  HDC fresh = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(fresh, made);
  EXPECT_EQ(GetPixel(fresh, 0, 1), RGB(255, 0, 0));
  SelectObject(fresh, old);
  HBITMAP mono = CreateDIBitmap(fresh, &info.header, CBM_INIT, bits, info.get(), DIB_RGB_COLORS);
  GetObject(mono, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteDC(fresh);
  DeleteObject(made);
  DeleteObject(mono);
}

TEST(DIBSection, BitsAreSharedWithDrawing) {
  for (int depth : {8, 24, 32}) {
    for (int height : {2, -2}) {
      Info info(3, height, depth);
      for (int i = 0; i < 256; ++i) info.colours[i] = {BYTE(i), BYTE(i), BYTE(i), 0};  // grey ramp
      void* bits = nullptr;
      HBITMAP section = CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &bits, nullptr, 0);
      ASSERT_NE(section, nullptr);
      ASSERT_NE(bits, nullptr);
      HDC dc = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(dc, section);
      // Drawing shows in the bits: the top row is the first row in memory
      // only for a top-down section.
      SetPixel(dc, 1, 0, RGB(200, 200, 200));
      GdiFlush();
      int stride = qv::os::gdi::dibStride(3, depth);
      const auto* b = static_cast<const std::uint8_t*>(bits) + (height < 0 ? 0 : stride);
      EXPECT_EQ(b[depth / 8], 200) << depth << " " << height;
      // Writing the bits shows in drawing.
      auto* first = static_cast<std::uint8_t*>(bits) + (height < 0 ? stride : 0);  // the bottom row
      std::memset(first, 100, static_cast<size_t>(depth / 8));
      EXPECT_EQ(GetPixel(dc, 0, 1), RGB(100, 100, 100)) << depth << " " << height;
      DIBSECTION ds{};
      EXPECT_EQ(GetObject(section, sizeof ds, &ds), static_cast<int>(sizeof ds));
      EXPECT_EQ(ds.dsBm.bmBits, bits);
      EXPECT_EQ(ds.dsBmih.biBitCount, depth);
      EXPECT_EQ(ds.dsBm.bmWidthBytes, stride);
      SelectObject(dc, old);
      DeleteDC(dc);
      DeleteObject(section);
    }
  }
  Info bad(3, 2, 7);
  void* bits = nullptr;
  EXPECT_EQ(CreateDIBSection(nullptr, bad.get(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(BitmapBits, MonochromeRowsArePaddedToSixteenBits) {
  const std::uint8_t in[] = {0xF0, 0x00, 0x0F, 0x00};  // 3 x 2: rows of 2 bytes
  HBITMAP bmp = CreateBitmap(3, 2, 1, 1, in);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  EXPECT_EQ(GetPixel(dc, 2, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 0, 0));
  std::uint8_t out[4] = {};
  EXPECT_EQ(GetBitmapBits(bmp, sizeof out, out), 4);
  EXPECT_EQ(out[0], 0xE0);  // only the three pixels come back
  EXPECT_EQ(out[2], 0x00);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bmp);
  EXPECT_EQ(CreateBitmap(3, 2, 1, 7, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(-1, 2, 1, 32, nullptr), nullptr);
}

}  // namespace
