// GDI+ bound at run time: loaded on the first request, every entry point or
// none, a failed attempt tried again; the wrappers' drawing; the PNG picture
// class registered only while GDI+ is there; the units loader's order.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "lookandfeel/lkControls.h"
#include "lookandfeel/uiGDIPlusAPI.h"
#include "lookandfeel/uiGDIPlusClasses.h"
#include "platform/classlib/Graphics.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/GdiPlus.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/kernel/Module.h"

using qv::desktop::profile;

namespace {

constexpr ARGB kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

std::vector<std::string> boundOrder() {
  return {
#define QV_NAME(Name) #Name,
      QV_GDIPLUS_ENTRY_POINTS(QV_NAME)
#undef QV_NAME
  };
}

int boundCount() {
  int n = 0;
  const auto& p = uiGDIPlusAPI::EntryPoints();
#define QV_COUNT(Name) n += p.Name != nullptr;
  QV_GDIPLUS_ENTRY_POINTS(QV_COUNT)
#undef QV_COUNT
  return n;
}

// A gdiplus.dll with the stand-in's exports, some of them replaced.
void registerPatchedGdiPlus(const std::vector<qv::os::StandInExport>& replaced) {
  HMODULE real = LoadLibrary("gdiplus.dll");
  ASSERT_NE(real, nullptr);
  qv::os::StandInModule m;
  m.fileName = "gdiplus.dll";
  for (const std::string& name : qv::modules::gdiplusExportNames()) {
    qv::os::StandInExport e{name, reinterpret_cast<void*>(GetProcAddress(real, name.c_str()))};
    for (const auto& r : replaced)
      if (r.name == name) e = r;
    m.exports.push_back(e);
  }
  FreeLibrary(real);
  qv::os::registerStandInModule(std::move(m));
}

int StartupCalls = 0;
Status FailFirstStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
  if (StartupCalls++ == 0) {
    if (output) output->NotificationHook = reinterpret_cast<NotificationHookProc>(1);
    return GenericError;
  }
  return ::GdiplusStartup(token, input, output);
}
GpStatus NoEncoders(UINT* count, UINT* size) {
  *count = *size = 0;
  return Ok;
}

// 0x00BBGGRR of a pixel, as GetPixel gives it.
COLORREF rgb(ARGB c) { return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

std::string pngFile(int w, int h, const std::vector<std::uint32_t>& pixels) {
  qv::os::gdi::Image img;
  img.width = w;
  img.height = h;
  img.pixels = pixels;
  img.hasAlpha = true;
  img.bitDepth = 32;
  const auto bytes = qv::os::gdi::encodePng(img);
  return std::string(bytes.begin(), bytes.end());
}

class GdiPlusUnits : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    ModuleIsLib = false;
    qv::classlib::FinalizeUnits();
    profile().gdiplus = true;
    profile().extra.erase("gdiplus.missing");
    qv::modules::registerGdiPlus();
    qvtest::DesktopTest::TearDown();
  }

  // A white canvas to draw on.
  static std::unique_ptr<TBitmap> canvas(int w, int h) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(TRect{0, 0, w, h});
    return b;
  }
  static COLORREF pixel(TBitmap& b, int x, int y) { return GetPixel(b.Canvas()->Handle(), x, y); }
};

// ---------------------------------------------------------------------------
// Binding.

TEST_F(GdiPlusUnits, LoadsOnTheFirstRequestWithoutErrorBoxesAndBindsEveryEntryPointInOrder) {
  EXPECT_EQ(boundOrder(), qv::modules::gdiplusExportNames());

  qv::classlib::InitializeUnit(uiGDIPlusAPIUnit);
  EXPECT_TRUE(qv::classlib::UnitInitialized(lkControlsUnit));
  EXPECT_EQ(GetModuleHandle("gdiplus.dll"), nullptr);
  EXPECT_EQ(qv::modules::gdiplusStartupCount(), 0);
  EXPECT_EQ(boundCount(), 0);

  SetErrorMode(SEM_FAILCRITICALERRORS);
  EXPECT_TRUE(uiIsGDIPlusAvailable());
  EXPECT_EQ(SetErrorMode(0), SEM_FAILCRITICALERRORS);  // put back as it was
  EXPECT_NE(GetModuleHandle("gdiplus.dll"), nullptr);
  EXPECT_EQ(boundCount(), 91);
  EXPECT_EQ(qv::modules::gdiplusStartupCount(), 1);

  EXPECT_TRUE(uiIsGDIPlusAvailable());
  EXPECT_EQ(qv::modules::gdiplusStartupCount(), 1);

  // The shut-down ends GDI+ with its own token and lets the library go.
  qv::classlib::FinalizeUnits();
  EXPECT_EQ(qv::modules::gdiplusStartupCount(), 0);
  EXPECT_EQ(GetModuleHandle("gdiplus.dll"), nullptr);
  EXPECT_EQ(boundCount(), 0);
}

struct MissingCase {
  const char* name;
  bool present;
  const char* missing;
};

class GdiPlusUnitsMissing : public GdiPlusUnits, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(GdiPlusUnitsMissing, DisablesGdiPlusQuietlyAndRegistersNoPngFormat) {
  profile().gdiplus = GetParam().present;
  profile().extra["gdiplus.missing"] = GetParam().missing;
  qv::modules::registerGdiPlus();
  qv::classlib::InitializeUnit(uiGDIPlusClassesUnit);

  EXPECT_FALSE(uiIsGDIPlusAvailable());
  EXPECT_EQ(boundCount(), 0);
  EXPECT_EQ(GetModuleHandle("gdiplus.dll"), nullptr);
  EXPECT_EQ(qv::modules::gdiplusStartupCount(), 0);
  EXPECT_EQ(TPicture::FindGraphicClass("png"), nullptr);
  EXPECT_EQ(GetClass("TuiPNGImage"), nullptr);
  EXPECT_EQ(uiGPImageClass(), TuiGPNullImage::StaticClass());

  const std::string file = writeFile("logo.png", pngFile(1, 1, {kRed}));
  TPicture picture;
  EXPECT_THROW(picture.LoadFromFile(file), EInvalidGraphic);
  // A PNG picture made anyway holds a null image and stays empty.
  TuiPNGImage png;
  TStringStream bytes(pngFile(1, 1, {kRed}));
  png.LoadFromStream(&bytes);
  ASSERT_NE(png.Image(), nullptr);
  EXPECT_TRUE(png.Empty());
  EXPECT_THROW(new TuiGPGraphics(nullptr), EOutOfMemory);
}

INSTANTIATE_TEST_SUITE_P(, GdiPlusUnitsMissing,
                         ::testing::Values(MissingCase{"Absent", false, ""}, MissingCase{"FirstName", true, "GdipAlloc"},
                                           MissingCase{"MiddleName", true, "GdipCreateFromHDC"},
                                           MissingCase{"LastName", true, "GdipCloneBitmapAreaI"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GdiPlusUnits, AFailedStartIsTriedAgainOnTheNextRequest) {
  StartupCalls = 0;
  registerPatchedGdiPlus({qv::os::StandInExport::of("GdiplusStartup", &FailFirstStartup)});
  qv::classlib::InitializeUnit(uiGDIPlusAPIUnit);

  EXPECT_FALSE(uiIsGDIPlusAvailable());
  EXPECT_EQ(boundCount(), 0);
  EXPECT_EQ(GetModuleHandle("gdiplus.dll"), nullptr);  // no reference kept per attempt

  EXPECT_TRUE(uiIsGDIPlusAvailable());
  EXPECT_EQ(StartupCalls, 2);
  EXPECT_EQ(qv::modules::gdiplusStartupCount(), 1);
}

// ---------------------------------------------------------------------------
// Brushes and graphics.

TEST_F(GdiPlusUnits, GradientBrushFillsThroughTheGraphicsAndRepeatsBeyondItsRectangle) {
  qv::classlib::InitializeUnit(uiGDIPlusAPIUnit);
  ASSERT_TRUE(uiIsGDIPlusAvailable());
  auto bmp = canvas(7, 5);
  TuiGPGraphics graphics(bmp->Canvas()->Handle());
  EXPECT_EQ(graphics.LastStatus(), Ok);

  // Black to 0x80 red across x 0..4, sampled at pixel centres; filled over
  // x 0..6 of row 0, so x 4 and 5 start the gradient again.
  TuiGPLinearGradientBrush horizontal(TRect{0, 0, 4, 1}, 0xFF000000u, 0xFF800000u, LinearGradientModeHorizontal);
  graphics.FillRectangle(&horizontal, uiRectToGPRect(TRect{0, 0, 6, 1}));
  const int reds[] = {16, 48, 80, 112, 16, 48};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(pixel(*bmp, x, 0), RGB(reds[x], 0, 0)) << x;
  EXPECT_EQ(pixel(*bmp, 6, 0), RGB(255, 255, 255));

  // Top to bottom in column 6, rows 1..4; the clone paints the same.
  TuiGPLinearGradientBrush vertical(TRect{6, 1, 7, 5}, 0xFF000000u, 0xFF000080u, LinearGradientModeVertical);
  std::unique_ptr<TuiGPBrush> clone(vertical.Clone());
  EXPECT_EQ(clone->ClassType(), TuiGPBrush::StaticClass());
  EXPECT_NE(clone->NativeBrush(), vertical.NativeBrush());
  graphics.FillRectangle(clone.get(), GpRect{6, 1, 1, 4});
  for (int y = 1; y < 5; ++y) EXPECT_EQ(pixel(*bmp, 6, y), RGB(0, 0, reds[y - 1])) << y;
  EXPECT_EQ(pixel(*bmp, 5, 1), RGB(255, 255, 255));

  // A failing call is kept; a later success does not clear it.
  graphics.FillRectangle(nullptr, GpRect{0, 0, 1, 1});
  EXPECT_EQ(graphics.LastStatus(), InvalidParameter);
  graphics.FillRectangle(&horizontal, GpRect{0, 0, 1, 1});
  EXPECT_EQ(graphics.LastStatus(), InvalidParameter);

  // An invalid mode leaves the brush without a native brush and says why;
  // its clone carries that status.
  TuiGPLinearGradientBrush bad(TRect{0, 0, 4, 1}, 0, 0, static_cast<LinearGradientMode>(9));
  EXPECT_EQ(bad.NativeBrush(), nullptr);
  EXPECT_EQ(bad.LastStatus(), InvalidParameter);
  std::unique_ptr<TuiGPBrush> badClone(bad.Clone());
  EXPECT_EQ(badClone->NativeBrush(), nullptr);
  EXPECT_EQ(badClone->LastStatus(), InvalidParameter);
}

// ---------------------------------------------------------------------------
// Images and the PNG picture.

TEST_F(GdiPlusUnits, PngPicturesLoadThroughTPictureOnlyWhileTheUnitRuns) {
  const std::string file = writeFile("logo.png", pngFile(2, 2, {kRed, kBlue, 0x00000000u, kGreen}));
  qv::classlib::InitializeUnit(uiGDIPlusClassesUnit);
  EXPECT_EQ(TPicture::FindGraphicClass("png"), TuiPNGImage::StaticClass());
  EXPECT_EQ(GetClass("TuiPNGImage"), TuiPNGImage::StaticClass());
  EXPECT_EQ(uiGPImageClass(), TuiGPImage::StaticClass());

  {  // the pictures go before the unit ends, as a program's pictures do
    TPicture picture;
    picture.LoadFromFile(file);
    auto* png = dynamic_cast<TuiPNGImage*>(picture.Graphic());
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->Width(), 2);
    EXPECT_EQ(png->Height(), 2);
    EXPECT_TRUE(png->Transparent());

    auto bmp = canvas(3, 3);
    bmp->Canvas()->Draw(1, 1, png);
    EXPECT_EQ(pixel(*bmp, 1, 1), rgb(kRed));
    EXPECT_EQ(pixel(*bmp, 2, 1), rgb(kBlue));
    EXPECT_EQ(pixel(*bmp, 1, 2), RGB(255, 255, 255));  // transparent
    EXPECT_EQ(pixel(*bmp, 2, 2), rgb(kGreen));
    EXPECT_EQ(pixel(*bmp, 0, 0), RGB(255, 255, 255));

    // Saved as a PNG file and read back; as a 32-bit bitmap.
    TMemoryStream saved;
    png->SaveToStream(&saved);
    ASSERT_GT(saved.Size(), 8);
    EXPECT_EQ(std::string(static_cast<char*>(saved.Memory()) + 1, 3), "PNG");
    saved.SetPosition(0);
    TuiPNGImage again;
    again.LoadFromStream(&saved);
    TBitmap converted;
    converted.Assign(&again);
    EXPECT_EQ(converted.PixelFormat(), pf32bit);
    ASSERT_EQ(converted.Width(), 2);
    EXPECT_EQ(pixel(converted, 1, 0), rgb(kBlue));
    EXPECT_EQ(pixel(converted, 1, 1), rgb(kGreen));
  }

  qv::classlib::FinalizeUnits();
  EXPECT_EQ(TPicture::FindGraphicClass("png"), nullptr);
  EXPECT_EQ(GetClass("TuiPNGImage"), nullptr);
  EXPECT_EQ(qv::modules::gdiplusStartupCount(), 0);
}

TEST_F(GdiPlusUnits, StreamsTooShortOrUndecodableGiveEmptyPicturesAndBitmapFilesGoThroughTheClassLibrary) {
  qv::classlib::InitializeUnit(uiGDIPlusClassesUnit);
  TuiPNGImage png;

  TStringStream empty("");
  png.LoadFromStream(&empty);
  EXPECT_EQ(png.Image(), nullptr);
  EXPECT_TRUE(png.Empty());

  const std::string full = pngFile(1, 1, {kRed});
  for (const std::string& bytes : {full.substr(0, 13), std::string(40, 'x')}) {
    TStringStream in(bytes);
    png.LoadFromStream(&in);
    ASSERT_NE(png.Image(), nullptr);
    EXPECT_EQ(png.Image()->NativeImage(), nullptr) << bytes.size();
    EXPECT_TRUE(png.Empty());
  }

  // A bitmap file: read by TBitmap, opaque although its bytes carry no alpha.
  TBitmap source;
  source.SetPixelFormat(pf24bit);
  source.SetSize(2, 1);
  source.Canvas()->SetPixels(0, 0, clRed);
  source.Canvas()->SetPixels(1, 0, clLime);
  TMemoryStream bmpFile;
  source.SaveToStream(&bmpFile);
  bmpFile.SetPosition(0);
  png.LoadFromStream(&bmpFile);
  ASSERT_EQ(png.Width(), 2);
  auto bmp = canvas(2, 1);
  bmp->Canvas()->Draw(0, 0, &png);
  EXPECT_EQ(pixel(*bmp, 0, 0), rgb(kRed));
  EXPECT_EQ(pixel(*bmp, 1, 0), rgb(kGreen));
  // ... so a broken one fails as the class library's bitmap fails.
  TStringStream broken("BM" + std::string(40, '\0'));
  EXPECT_THROW(png.LoadFromStream(&broken), EInvalidGraphic);
}

TEST_F(GdiPlusUnits, DrawingFromBitsAndAssigning) {
  qv::classlib::InitializeUnit(uiGDIPlusClassesUnit);
  // Without the alpha flag the pixels are opaque; with it, alpha 0 shows
  // the background.
  for (bool alpha : {false, true}) {
    TuiPNGImage png;
    auto* image = new TuiGPImage;
    image->CreateFromBits(2, 1, {0x00FF0000u, 0xFF0000FFu}, alpha);
    png.SetImage(image);
    auto bmp = canvas(2, 1);
    bmp->Canvas()->Draw(0, 0, &png);
    EXPECT_EQ(pixel(*bmp, 0, 0), alpha ? RGB(255, 255, 255) : rgb(kRed)) << alpha;
    EXPECT_EQ(pixel(*bmp, 1, 0), rgb(kBlue));
  }

  // Too few bits for the size: no image rather than a read past them.
  TuiGPImage shortBits;
  shortBits.CreateFromBits(2, 2, {kRed, kRed, kRed}, true);
  EXPECT_EQ(shortBits.NativeImage(), nullptr);

  // Enlarged, the last source column is left out of the sampling.
  TuiPNGImage png;
  TStringStream in(pngFile(2, 1, {kRed, kBlue}));
  png.LoadFromStream(&in);
  auto wide = canvas(4, 1);
  wide->Canvas()->StretchDraw(TRect{0, 0, 4, 1}, &png);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(pixel(*wide, x, 0), rgb(kRed)) << x;

  // Copies are independent; assigning an empty picture empties the target.
  TuiPNGImage copy;
  copy.Assign(&png);
  ASSERT_NE(copy.Image(), nullptr);
  EXPECT_NE(copy.Image()->NativeImage(), png.Image()->NativeImage());
  EXPECT_EQ(copy.Width(), 2);
  TuiPNGImage none;
  copy.Assign(&none);
  EXPECT_EQ(copy.Image(), nullptr);
  EXPECT_TRUE(copy.Empty());
  // Into a picture of another kind: the class library's conversion error.
  TIcon icon;
  EXPECT_THROW(icon.Assign(&png), EConvertError);

  // From a bitmap.
  TBitmap source;
  source.SetPixelFormat(pf24bit);
  source.SetSize(3, 2);
  copy.Assign(&source);
  EXPECT_EQ(copy.Width(), 3);
  EXPECT_EQ(copy.Height(), 2);
}

TEST_F(GdiPlusUnits, SavingWithoutAPngEncoderFailsInsteadOfWritingNothing) {
  registerPatchedGdiPlus({qv::os::StandInExport::of("GdipGetImageEncodersSize", &NoEncoders)});
  qv::classlib::InitializeUnit(uiGDIPlusClassesUnit);
  TuiPNGImage png;
  TStringStream in(pngFile(1, 1, {kRed}));
  png.LoadFromStream(&in);
  ASSERT_FALSE(png.Empty());
  TMemoryStream out;
  EXPECT_THROW(png.SaveToStream(&out), EInvalidGraphic);
  EXPECT_EQ(out.Size(), 0);
}

// ---------------------------------------------------------------------------
// The units loader.

std::string Log;
void InitA() { Log += "+A"; }
void FinA() { Log += "-A"; }
void InitB() { Log += "+B"; }
void FinB() { Log += "-B"; }
void FinC() { Log += "-C"; }

TEST_F(GdiPlusUnits, UnitsLoaderStartsAtOnceInAProgramAndStopsLastFirst) {
  Log.clear();
  TuiUnitsLoader loader;
  loader.RegisterUnit(&InitA, &FinA);
  loader.RegisterUnit(&InitB, &FinB);
  loader.RegisterUnit(nullptr, &FinC);
  EXPECT_EQ(Log, "+A+B");
  EXPECT_TRUE(TuiUnitsLoader::Initialized());

  loader.UnregisterUnit(&FinB);
  loader.UnregisterUnit(&FinB);  // no longer listed: nothing runs
  EXPECT_EQ(Log, "+A+B-B");

  loader.Finalize();
  EXPECT_EQ(Log, "+A+B-B-C-A");
  EXPECT_FALSE(TuiUnitsLoader::Initialized());
  loader.Finalize();
  EXPECT_EQ(Log, "+A+B-B-C-A");
}

TEST_F(GdiPlusUnits, InADynamicLibraryStartsAreQueuedAndAShutDownWithGdiPlusRunningRaises) {
  Log.clear();
  ModuleIsLib = true;
  {
    TuiUnitsLoader loader;
    loader.RegisterUnit(&InitA, &FinA);
    EXPECT_EQ(Log, "");
    EXPECT_FALSE(TuiUnitsLoader::Initialized());
  }
  EXPECT_EQ(Log, "");  // never started, so never stopped

  qv::classlib::InitializeUnit(uiGDIPlusClassesUnit);
  ASSERT_TRUE(uiIsGDIPlusAvailable());
  try {
    qv::classlib::FinalizeUnits();
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Need call uiFinalizeGDIPlus before free library!");
  }
}

}  // namespace
