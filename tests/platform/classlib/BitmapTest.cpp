// TBitmap: pixel formats, transparency, scan lines, BMP files and streams,
// program resources, assignment.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "DesktopTest.h"
#include "platform/classlib/Graphics.h"
#include "platform/os/gdi/Dib.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/kernel/Module.h"

namespace {

class BitmapTest : public qvtest::DesktopTest {
 protected:
  static void make(TBitmap& b, int w, int h, TColor fill) {
    b.SetSize(w, h);
    b.Canvas()->Brush()->SetColor(fill);
    b.Canvas()->FillRect(RECT{0, 0, w, h});
  }
  static COLORREF at(TBitmap& b, int x, int y) { return static_cast<COLORREF>(b.Canvas()->Pixels(x, y)); }
};

TEST_F(BitmapTest, PixelFormatConversionMapsColoursToTheFormat) {
  struct Case {
    TPixelFormat format;
    COLORREF in;
    COLORREF out;
  } cases[] = {
      {pf1bit, RGB(200, 200, 200), RGB(255, 255, 255)},
      {pf1bit, RGB(50, 50, 50), RGB(0, 0, 0)},
      {pf4bit, RGB(250, 10, 10), RGB(255, 0, 0)},
      {pf4bit, RGB(120, 130, 125), RGB(128, 128, 128)},
      {pf8bit, RGB(52, 101, 150), RGB(51, 102, 153)},
      {pf15bit, RGB(135, 20, 253), RGB(132, 16, 255)},
      {pf16bit, RGB(135, 20, 253), RGB(132, 20, 255)},  // six bits of green
      {pf24bit, RGB(135, 20, 253), RGB(135, 20, 253)},
      {pf32bit, RGB(135, 20, 253), RGB(135, 20, 253)},
  };
  for (const auto& c : cases) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    make(b, 2, 2, static_cast<TColor>(c.in));
    b.SetPixelFormat(c.format);
    EXPECT_EQ(b.PixelFormat(), c.format);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(at(b, 1, 1), c.out) << "format " << c.format << " colour " << std::hex << c.in;
    // Back to a deep format keeps what the shallow one had.
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(at(b, 0, 0), c.out) << "format " << c.format;
  }
}

TEST_F(BitmapTest, MonochromeAndHandleTypeAreFormats) {
  TBitmap b;
  make(b, 2, 1, clWhite);
  EXPECT_EQ(b.HandleType(), bmDDB);
  b.SetMonochrome(true);
  EXPECT_EQ(b.PixelFormat(), pf1bit);
  EXPECT_EQ(b.HandleType(), bmDIB);
  BITMAP bm{};
  ASSERT_NE(GetObject(b.Handle(), sizeof bm, &bm), 0);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  b.SetHandleType(bmDDB);
  EXPECT_EQ(b.PixelFormat(), pfDevice);
  EXPECT_EQ(at(b, 1, 0), RGB(255, 255, 255));
}

TEST_F(BitmapTest, SetSizeKeepsThePixelsThatFit) {
  TBitmap b;
  make(b, 2, 2, clRed);
  b.SetSize(3, 1);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Height(), 1);
  EXPECT_EQ(at(b, 1, 0), RGB(255, 0, 0));
  EXPECT_EQ(at(b, 2, 0), RGB(0, 0, 0));
  b.SetSize(0, 5);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Handle(), nullptr);
}

TEST_F(BitmapTest, ADescendantSeesEverySizeChange) {
  // SetSize is virtual: sizes set through SetWidth and SetHeight, or
  // through a plain TBitmap pointer, reach a descendant's own SetSize.
  struct Counting : TBitmap {
    int calls = 0;
    void SetSize(int AWidth, int AHeight) override {
      ++calls;
      TBitmap::SetSize(AWidth, AHeight);
    }
  } b;
  b.SetWidth(3);
  b.SetHeight(2);
  static_cast<TBitmap&>(b).SetSize(4, 4);
  EXPECT_EQ(b.calls, 3);
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(b.Height(), 4);
}

TEST_F(BitmapTest, TransparentColorIsTheBottomLeftPixelUnlessFixed) {
  TBitmap b;
  make(b, 3, 2, clBlue);
  b.Canvas()->SetPixels(0, 1, clFuchsia);
  EXPECT_EQ(b.TransparentMode(), tmAuto);
  EXPECT_EQ(b.TransparentColor(), clFuchsia);
  b.Canvas()->SetPixels(0, 1, clLime);  // auto follows the picture
  EXPECT_EQ(b.TransparentColor(), clLime);

  b.SetTransparentColor(clBtnFace);
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  EXPECT_EQ(static_cast<COLORREF>(b.TransparentColor()), ColorToRGB(clBtnFace));
  b.SetTransparentMode(tmAuto);
  EXPECT_EQ(b.TransparentColor(), clLime);

  b.SetMonochrome(true);
  EXPECT_EQ(b.TransparentColor(), clWhite);
}

TEST_F(BitmapTest, MaskIsWhiteWhereTheTransparentColourIs) {
  TBitmap b;
  make(b, 2, 1, clRed);
  b.Canvas()->SetPixels(0, 0, clFuchsia);  // the bottom-left pixel of a one-row bitmap
  TBitmap mask;
  mask.SetHandle(b.ReleaseMaskHandle());
  EXPECT_TRUE(mask.Monochrome());
  EXPECT_EQ(at(mask, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(at(mask, 1, 0), RGB(0, 0, 0));
}

TEST_F(BitmapTest, ScanLineRowsAreTopDownInTheFormatsLayout) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  make(b, 2, 3, clBlack);
  auto* row = static_cast<std::uint8_t*>(b.ScanLine(0));
  row[3] = 0x30, row[4] = 0x20, row[5] = 0x10;  // pixel (1, 0) as blue, green, red
  EXPECT_EQ(at(b, 1, 0), RGB(0x10, 0x20, 0x30));
  EXPECT_EQ(at(b, 1, 2), RGB(0, 0, 0));

  b.SetPixelFormat(pf32bit);
  b.Canvas()->SetPixels(0, 2, clRed);
  auto* last = static_cast<std::uint32_t*>(b.ScanLine(2));
  EXPECT_EQ(last[0] & 0xFFFFFFu, 0xFF0000u);

  EXPECT_THROW(b.ScanLine(3), EInvalidGraphicOperation);
  TBitmap device;
  make(device, 1, 1, clRed);
  EXPECT_THROW(device.ScanLine(0), EInvalidGraphicOperation);
}

TEST_F(BitmapTest, BmpStreamsRoundTripEachFormat) {
  struct Case {
    TPixelFormat format;
    TPixelFormat loaded;
  } cases[] = {{pf1bit, pf1bit},   {pf4bit, pf4bit},   {pf8bit, pf8bit},    {pf15bit, pf24bit},
               {pf24bit, pf24bit}, {pf32bit, pf32bit}, {pfDevice, pf24bit}};
  for (const auto& c : cases) {
    TBitmap b;
    b.SetPixelFormat(c.format);
    make(b, 5, 3, clWhite);
    b.Canvas()->SetPixels(0, 0, clBlack);
    b.Canvas()->SetPixels(4, 2, clRed);
    b.SetPixelFormat(c.format);
    COLORREF red = at(b, 4, 2);  // red as the format holds it

    TMemoryStream stream;
    b.SaveToStream(&stream);
    stream.SetPosition(0);
    TBitmap back;
    back.LoadFromStream(&stream);
    EXPECT_EQ(back.PixelFormat(), c.loaded) << "format " << c.format;
    EXPECT_EQ(back.Width(), 5);
    EXPECT_EQ(back.Height(), 3);
    EXPECT_EQ(at(back, 0, 0), RGB(0, 0, 0)) << "format " << c.format;
    EXPECT_EQ(at(back, 4, 2), red) << "format " << c.format;
    EXPECT_EQ(at(back, 2, 1), RGB(255, 255, 255)) << "format " << c.format;
  }
}

TEST_F(BitmapTest, FilesRoundTripAndBadBytesAreAnError) {
  TBitmap b;
  make(b, 4, 4, clTeal);
  std::string path = hostPath("pic.bmp");
  b.SaveToFile(path);
  TBitmap back;
  back.LoadFromFile(path);
  EXPECT_EQ(at(back, 3, 3), ColorToRGB(clTeal));
  EXPECT_EQ(readFile(path).substr(0, 2), "BM");

  std::string bytes = readFile(path);
  for (const std::string& bad : {std::string("not a bitmap"), bytes.substr(0, 40), std::string()}) {
    TStringStream s(bad);
    try {
      back.LoadFromStream(&s);
      FAIL() << "no exception for " << bad.size() << " bytes";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "Bitmap image is not valid");
    }
  }
  EXPECT_THROW(back.LoadFromFile(hostPath("missing.bmp")), EFOpenError);
}

TEST_F(BitmapTest, LoadsBitmapResourcesOfTheProgram) {
  HINSTANCE self = GetModuleHandle(nullptr);
  TBitmap byName, byId;
  byName.LoadFromResourceName(self, "GRAPHICSTEST");
  byId.LoadFromResourceID(self, 300);
  for (TBitmap* b : {&byName, &byId}) {
    EXPECT_EQ(b->Width(), 3);
    EXPECT_EQ(b->Height(), 2);
    EXPECT_EQ(b->PixelFormat(), pf24bit);
    EXPECT_EQ(at(*b, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(at(*b, 2, 0), RGB(0, 0, 255));
    EXPECT_EQ(at(*b, 2, 1), RGB(0, 0, 0));
    EXPECT_EQ(b->TransparentColor(), clFuchsia);
  }
  EXPECT_THROW(byName.LoadFromResourceName(self, "NOSUCHBITMAP"), EInvalidGraphic);
  EXPECT_THROW(byName.LoadFromResourceID(self, 301), EInvalidGraphic);
}

TEST_F(BitmapTest, AssignCopiesThePixelsAndSettings) {
  TBitmap a;
  a.SetPixelFormat(pf8bit);
  make(a, 2, 2, clRed);
  a.SetTransparent(true);
  a.SetTransparentColor(clRed);
  TBitmap b;
  b.Assign(&a);
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.TransparentColor(), clRed);
  EXPECT_EQ(at(b, 1, 1), RGB(255, 0, 0));
  b.Canvas()->SetPixels(1, 1, clBlack);
  EXPECT_EQ(at(a, 1, 1), RGB(255, 0, 0));  // the copy is its own

  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST_F(BitmapTest, CanvasDrawingMarksTheBitmapModified) {
  TBitmap b;
  make(b, 2, 2, clWhite);
  b.SetModified(false);
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.Canvas()->SetPixels(0, 0, clRed);
  EXPECT_TRUE(b.Modified());
  EXPECT_EQ(changes, 1);
}

TEST_F(BitmapTest, SetHandleTakesTheFormatFromTheBitmap) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[16];
  } info{};
  info.header = {sizeof(BITMAPINFOHEADER), 4, 2, 1, 4, BI_RGB, 0, 0, 0, 0, 0};
  HBITMAP h = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, nullptr, nullptr, 0);
  ASSERT_NE(h, nullptr);
  TBitmap b;
  b.SetHandle(h);
  EXPECT_EQ(b.PixelFormat(), pf4bit);
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(b.ReleaseHandle(), h);
  EXPECT_TRUE(b.Empty());
  DeleteObject(h);
}

}  // namespace
