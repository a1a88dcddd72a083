// The GDI+ stand-in: bound by name per profile (and disabled by one missing
// entry point), startup with the notification hook, line gradients with
// source-over alpha, graphics over a DC's origin and clip, and images from
// streams and bitmaps.
#include <gtest/gtest.h>

#include "../os/gdi/GdiCanvas.h"
#include "DesktopTest.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/GdiPlus.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/kernel/Module.h"

using gditest::Canvas;
using qv::desktop::profile;

namespace {

class GdiPlus : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    GdiplusStartupInput in{1, nullptr, FALSE, TRUE};
    ASSERT_EQ(GdiplusStartup(&token_, &in, nullptr), Ok);
  }
  void TearDown() override {
    GdiplusShutdown(token_);
    DesktopTest::TearDown();
  }
  ULONG_PTR token_ = 0;
};

TEST_F(GdiPlus, BindsEveryEntryPointInOrderUnlessAbsentOrOneIsMissing) {
  const auto& names = qv::modules::gdiplusExportNames();
  ASSERT_EQ(names.size(), 91u);
  EXPECT_EQ(names.front(), "GdipAlloc");
  EXPECT_EQ(names[33], "GdipCreateFromHDC");
  EXPECT_EQ(names.back(), "GdipCloneBitmapAreaI");

  HMODULE lib = LoadLibrary("gdiplus.dll");
  ASSERT_NE(lib, nullptr);
  for (const std::string& n : names) EXPECT_NE(GetProcAddress(lib, n.c_str()), nullptr) << n;
  FreeLibrary(lib);

  profile().extra["gdiplus.missing"] = "GdipDrawImageRectRectI";
  qv::modules::registerGdiPlus();
  lib = LoadLibrary("gdiplus.dll");
  ASSERT_NE(lib, nullptr);
  EXPECT_EQ(GetProcAddress(lib, "GdipDrawImageRectRectI"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_NE(GetProcAddress(lib, "GdipDrawImageRectRect"), nullptr);
  FreeLibrary(lib);
  profile().extra.erase("gdiplus.missing");
  qv::modules::registerGdiPlus();

  profile().gdiplus = false;
  EXPECT_EQ(LoadLibrary("gdiplus.dll"), nullptr);
}

TEST_F(GdiPlus, StartupHandsOutTheNotificationHookWithoutABackgroundThread) {
  GdiplusStartupInput in{1, nullptr, TRUE, TRUE};
  ULONG_PTR token = 0;
  EXPECT_EQ(GdiplusStartup(&token, &in, nullptr), InvalidParameter);
  GdiplusStartupInput wrong{2, nullptr, FALSE, FALSE};
  GdiplusStartupOutput out{};
  EXPECT_EQ(GdiplusStartup(&token, &wrong, &out), UnsupportedGdiplusVersion);

  ASSERT_EQ(GdiplusStartup(&token, &in, &out), Ok);
  ASSERT_NE(out.NotificationHook, nullptr);
  ASSERT_NE(out.NotificationUnhook, nullptr);
  ULONG_PTR hookToken = 0;
  EXPECT_EQ(out.NotificationHook(&hookToken), Ok);
  EXPECT_NE(hookToken, 0u);
  out.NotificationUnhook(hookToken);
  EXPECT_EQ(qv::modules::gdiplusStartupCount(), 2);
  GdiplusShutdown(token);
  GdiplusShutdown(token_);
  EXPECT_EQ(qv::modules::gdiplusStartupCount(), 0);

  GpSolidFill* brush = nullptr;
  EXPECT_EQ(GdipCreateSolidFill(0xFF000000u, &brush), GdiplusNotInitialized);
  ASSERT_EQ(GdiplusStartup(&token_, &in, &out), Ok);
}

// A 4 x 4 gradient from opaque blue to transparent red over white: the
// pixel centres sit at 1/8 and 7/8 of the way, so the first pixel is blue
// with alpha 223 (red 32) and the last red 223 with alpha 32 (blue 32),
// each composed over white.
struct GradientCase {
  const char* name;
  LinearGradientMode mode;
  POINT first;  // t = 1/8
  POINT last;   // t = 7/8
};

class LineGradients : public GdiPlus, public ::testing::WithParamInterface<GradientCase> {};

TEST_P(LineGradients, RunFromColourOneToColourTwoSourceOver) {
  const GradientCase& c = GetParam();
  Canvas canvas(4, 4);
  GpGraphics* g = nullptr;
  ASSERT_EQ(GdipCreateFromHDC(canvas.dc(), &g), Ok);
  const GpRect rect{0, 0, 4, 4};
  GpLineGradient* brush = nullptr;
  ASSERT_EQ(GdipCreateLineBrushFromRectI(&rect, 0xFF0000FFu, 0x00FF0000u, c.mode, WrapModeTile, &brush), Ok);
  ASSERT_EQ(GdipFillRectangleI(g, reinterpret_cast<GpBrush*>(brush), 0, 0, 4, 4), Ok);
  EXPECT_EQ(canvas.at(c.first.x, c.first.y), RGB(60, 32, 227));
  EXPECT_EQ(canvas.at(c.last.x, c.last.y), RGB(251, 223, 227));
  EXPECT_EQ(canvas.raw(0, 0) >> 24, 0u);  // the DC's alpha byte stays as GDI left it
  GdipDeleteBrush(reinterpret_cast<GpBrush*>(brush));
  GdipDeleteGraphics(g);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LineGradients,
    ::testing::Values(GradientCase{"Horizontal", LinearGradientModeHorizontal, {0, 2}, {3, 1}},
                      GradientCase{"Vertical", LinearGradientModeVertical, {2, 0}, {1, 3}},
                      GradientCase{"ForwardDiagonal", LinearGradientModeForwardDiagonal, {0, 0}, {3, 3}},
                      GradientCase{"BackwardDiagonal", LinearGradientModeBackwardDiagonal, {3, 0}, {0, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GdiPlus, LineBrushesRejectWhatTheLibraryRejects) {
  GpLineGradient* brush = nullptr;
  const GpRect empty{0, 0, 0, 5};
  EXPECT_EQ(GdipCreateLineBrushFromRectI(&empty, 0, 0, LinearGradientModeVertical, WrapModeTile, &brush), OutOfMemory);
  const GpRect rect{0, 0, 5, 5};
  EXPECT_EQ(GdipCreateLineBrushFromRectI(&rect, 0, 0, LinearGradientModeVertical, WrapModeClamp, &brush),
            InvalidParameter);
  EXPECT_EQ(GdipCreateLineBrushFromRectI(&rect, 0, 0, static_cast<LinearGradientMode>(4), WrapModeTile, &brush),
            InvalidParameter);
  EXPECT_EQ(GdipFillRectangleI(nullptr, nullptr, 0, 0, 1, 1), InvalidParameter);
}

TEST_F(GdiPlus, GraphicsFromADcHonoursItsOriginAndClip) {
  Canvas canvas(8, 8);
  SetViewportOrgEx(canvas.dc(), 2, 2, nullptr);
  IntersectClipRect(canvas.dc(), 0, 0, 3, 4);  // device (2, 2) to (5, 6)
  ExcludeClipRect(canvas.dc(), 1, 1, 2, 2);    // device (3, 3)
  GpGraphics* g = nullptr;
  ASSERT_EQ(GdipCreateFromHDC(canvas.dc(), &g), Ok);
  GpSolidFill* black = nullptr;
  GdipCreateSolidFill(0xFF000000u, &black);
  ASSERT_EQ(GdipFillRectangleI(g, reinterpret_cast<GpBrush*>(black), -5, -5, 20, 20), Ok);
  EXPECT_EQ(canvas.picture(), (std::vector<std::string>{
                                  "........",
                                  "........",
                                  "..###...",
                                  "..#.#...",
                                  "..###...",
                                  "..###...",
                                  "........",
                                  "........",
                              }));
  GdipDeleteBrush(reinterpret_cast<GpBrush*>(black));
  GdipDeleteGraphics(g);
}

// A 2 x 2 PNG: red, green / blue, and white at half alpha.
std::vector<std::uint8_t> smallPng() {
  qv::os::gdi::Image img;
  img.allocate(2, 2);
  img.at(0, 0) = 0xFFFF0000u;
  img.at(1, 0) = 0xFF00FF00u;
  img.at(0, 1) = 0xFF0000FFu;
  img.at(1, 1) = 0x80FFFFFFu;
  img.hasAlpha = true;
  return qv::os::gdi::encodePng(img);
}

TEST_F(GdiPlus, DrawsAPngFromAStreamFromSourceToDestinationRectangle) {
  IStream* stream = qv::modules::createMemoryStream(smallPng());
  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromStream(stream, &bitmap), Ok);
  stream->Release();
  auto* image = reinterpret_cast<GpImage*>(bitmap);
  UINT w = 0, h = 0;
  GdipGetImageWidth(image, &w);
  GdipGetImageHeight(image, &h);
  EXPECT_EQ(w, 2u);
  EXPECT_EQ(h, 2u);

  Canvas canvas(6, 6, RGB(0, 0, 0));
  GpGraphics* g = nullptr;
  ASSERT_EQ(GdipCreateFromHDC(canvas.dc(), &g), Ok);
  ASSERT_EQ(GdipSetInterpolationMode(g, InterpolationModeNearestNeighbor), Ok);
  // The picture's bottom row, doubled, at (1, 1).
  ASSERT_EQ(GdipDrawImageRectRectI(g, image, 1, 1, 4, 2, 0, 1, 2, 1, UnitPixel, nullptr, nullptr, nullptr), Ok);
  const COLORREF half = RGB(128, 128, 128);
  EXPECT_EQ(canvas.picture({{RGB(0, 0, 0), '.'}, {RGB(0, 0, 255), 'b'}, {half, 'w'}}),
            (std::vector<std::string>{
                "......",
                ".bbww.",
                ".bbww.",
                "......",
                "......",
                "......",
            }));
  EXPECT_EQ(GdipDrawImageRectRectI(g, image, 0, 0, 2, 2, 0, 0, 2, 2, UnitInch, nullptr, nullptr, nullptr),
            NotImplemented);
  GdipDeleteGraphics(g);
  GdipDisposeImage(image);

  IStream* junk = qv::modules::createMemoryStream({'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
  GpImage* none = nullptr;
  EXPECT_EQ(GdipLoadImageFromStream(junk, &none), UnknownImageFormat);
  EXPECT_EQ(none, nullptr);
  junk->Release();
}

TEST_F(GdiPlus, BitmapsConvertBetweenFormatsAndToHbitmaps) {
  // Premultiplied half-transparent white in, straight out.
  std::uint32_t bits[2] = {0x80808080u, 0xFF102030u};
  GpBitmap* b = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(2, 1, 8, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(bits), &b), Ok);
  BitmapData data{};
  ASSERT_EQ(GdipBitmapLockBits(b, nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), Ok);
  EXPECT_EQ(GdipBitmapLockBits(b, nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), WrongState);
  EXPECT_EQ(static_cast<std::uint32_t*>(data.Scan0)[0], 0x80FFFFFFu);
  EXPECT_EQ(static_cast<std::uint32_t*>(data.Scan0)[1], 0xFF102030u);
  ASSERT_EQ(GdipBitmapUnlockBits(b, &data), Ok);

  // Onto a black background the HBITMAP holds the composed pixels.
  HBITMAP hbm = nullptr;
  ASSERT_EQ(GdipCreateHBITMAPFromBitmap(b, &hbm, 0xFF000000u), Ok);
  DIBSECTION section{};
  ASSERT_EQ(GetObject(hbm, sizeof section, &section), static_cast<int>(sizeof section));
  EXPECT_EQ(section.dsBmih.biBitCount, 32);
  qv::os::gdi::Image back;
  ASSERT_TRUE(qv::os::gdi::imageFromBitmap(hbm, back));
  EXPECT_EQ(back.at(0, 0), 0xFF808080u);
  EXPECT_EQ(back.at(1, 0), 0xFF102030u);

  // And back from the HBITMAP, opaque.
  GpBitmap* again = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromHBITMAP(hbm, nullptr, &again), Ok);
  ASSERT_EQ(GdipBitmapLockBits(again, nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), Ok);
  EXPECT_EQ(static_cast<std::uint32_t*>(data.Scan0)[0], 0xFF808080u);
  GdipBitmapUnlockBits(again, &data);
  DeleteObject(hbm);
  GdipDisposeImage(reinterpret_cast<GpImage*>(again));
  GdipDisposeImage(reinterpret_cast<GpImage*>(b));
}

TEST_F(GdiPlus, ImageGraphicsComposeAlphaAndSaveAsPng) {
  GpBitmap* b = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(2, 1, 0, PixelFormat32bppARGB, nullptr, &b), Ok);
  auto* image = reinterpret_cast<GpImage*>(b);
  GpGraphics* g = nullptr;
  ASSERT_EQ(GdipGetImageGraphicsContext(image, &g), Ok);
  GpSolidFill* red = nullptr;
  GdipCreateSolidFill(0x80FF0000u, &red);
  ASSERT_EQ(GdipFillRectangleI(g, reinterpret_cast<GpBrush*>(red), 0, 0, 1, 1), Ok);
  ASSERT_EQ(GdipFillRectangleI(g, reinterpret_cast<GpBrush*>(red), 1, 0, 1, 1), Ok);
  ASSERT_EQ(GdipFillRectangleI(g, reinterpret_cast<GpBrush*>(red), 1, 0, 1, 1), Ok);
  GdipDeleteBrush(reinterpret_cast<GpBrush*>(red));
  GdipDeleteGraphics(g);

  UINT count = 0, size = 0;
  ASSERT_EQ(GdipGetImageEncodersSize(&count, &size), Ok);
  std::vector<BYTE> buffer(size);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  ASSERT_EQ(GdipGetImageEncoders(count, size, codecs), Ok);
  ASSERT_EQ(std::u16string(codecs[0].MimeType), u"image/png");

  IStream* out = qv::modules::createMemoryStream();
  ASSERT_EQ(GdipSaveImageToStream(image, out, &codecs[0].Clsid, nullptr), Ok);
  const auto bytes = qv::modules::memoryStreamBytes(out);
  out->Release();
  qv::os::gdi::Image png;
  ASSERT_TRUE(qv::os::gdi::decodePng(bytes.data(), bytes.size(), png));
  EXPECT_EQ(png.at(0, 0), 0x80FF0000u);  // onto transparent: the source itself
  EXPECT_EQ(png.at(1, 0), 0xC0FF0000u);  // twice: 128 + 128 * 127 / 255
  GdipDisposeImage(image);
}

TEST_F(GdiPlus, ShapesFarLargerThanTheTargetDrawOnlyWhatItShows) {
  Canvas canvas(4, 4);
  GpGraphics* g = nullptr;
  ASSERT_EQ(GdipCreateFromHDC(canvas.dc(), &g), Ok);
  GpSolidFill* black = nullptr;
  GdipCreateSolidFill(0xFF000000u, &black);
  auto* brush = reinterpret_cast<GpBrush*>(black);
  const INT big = 0x7FFFFFF0;
  ASSERT_EQ(GdipFillEllipseI(g, brush, -big / 2, -big / 2, big, big), Ok);
  EXPECT_EQ(canvas.at(2, 2), RGB(0, 0, 0));
  canvas.clear(RGB(255, 255, 255));
  const GpPoint tri[3] = {{-big, -big}, {big, 0}, {-big, big}};
  ASSERT_EQ(GdipFillPolygonI(g, brush, tri, 3, 0), Ok);
  EXPECT_EQ(canvas.at(3, 3), RGB(0, 0, 0));
  canvas.clear(RGB(255, 255, 255));
  GpPen* pen = nullptr;
  GdipCreatePen1(0xFF000000u, 1, UnitPixel, &pen);
  ASSERT_EQ(GdipDrawLineI(g, pen, -big, 1, big, 1), Ok);
  EXPECT_EQ(canvas.picture()[1], "####");
  EXPECT_EQ(canvas.picture()[0], "....");
  GdipDeletePen(pen);
  GdipDeleteBrush(brush);
  GdipDeleteGraphics(g);
}

TEST_F(GdiPlus, OutlinesIncludeTheirEndPointsUnlikeGdi) {
  Canvas canvas(6, 5);
  GpGraphics* g = nullptr;
  ASSERT_EQ(GdipCreateFromHDC(canvas.dc(), &g), Ok);
  GpPen* pen = nullptr;
  ASSERT_EQ(GdipCreatePen1(0xFF000000u, 1, UnitPixel, &pen), Ok);
  ASSERT_EQ(GdipDrawRectangleI(g, pen, 0, 0, 3, 2), Ok);
  ASSERT_EQ(GdipDrawLineI(g, pen, 5, 0, 5, 3), Ok);
  EXPECT_EQ(canvas.picture(), (std::vector<std::string>{
                                  "####.#",
                                  "#..#.#",
                                  "####.#",
                                  ".....#",
                                  "......",
                              }));
  ARGB colour = 0;
  EXPECT_EQ(GdipGetPenColor(pen, &colour), Ok);
  EXPECT_EQ(colour, 0xFF000000u);
  GdipDeletePen(pen);
  GdipDeleteGraphics(g);
}

}  // namespace
