// TPicture with its registered file formats, and the graphics it holds
// besides bitmaps: TJPEGImage, TIcon, TMetafile.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/Jpeg.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/Icon.h"
#include "platform/os/gdi/Jpeg.h"

namespace {

class PictureTest : public qvtest::DesktopTest {
 protected:
  static void make(TBitmap& b, int w, int h, TColor fill) {
    b.SetSize(w, h);
    b.Canvas()->Brush()->SetColor(fill);
    b.Canvas()->FillRect(RECT{0, 0, w, h});
  }
  static COLORREF at(TCanvas* c, int x, int y) { return static_cast<COLORREF>(c->Pixels(x, y)); }
  static bool near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
  }
  // A 16 x 16 JPEG, red on the left half and blue on the right, so that each
  // 8 x 8 block is flat and decodes without ringing.
  static std::string jpegBytes() {
    qv::os::gdi::Image image;
    image.allocate(16, 16);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) image.at(x, y) = x < 8 ? 0xFF0000u : 0x0000FFu;
    std::vector<std::uint8_t> bytes = qv::os::gdi::encodeJpeg(image, 95);
    return std::string(bytes.begin(), bytes.end());
  }
  // A one-image .ico: 2 x 2, 24 bits, the top-left pixel masked.
  static std::string iconBytes() {
    std::string ico;
    auto u16 = [&](unsigned v) { ico += static_cast<char>(v & 0xFF), ico += static_cast<char>(v >> 8); };
    auto u32 = [&](std::uint32_t v) {
      for (int i = 0; i < 4; ++i) ico += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    u16(0), u16(1), u16(1);
    const std::uint32_t imageSize = 40 + 2 * 8 + 2 * 4;
    ico += '\x02', ico += '\x02', ico += '\0', ico += '\0';
    u16(1), u16(24), u32(imageSize), u32(22);
    u32(40), u32(2), u32(4), u16(1), u16(24), u32(0), u32(0), u32(0), u32(0), u32(0), u32(0);
    // XOR rows bottom-up (blue, green, red), padded to 4 bytes: bottom row
    // green, green; top row black (under the mask), red.
    ico += std::string("\x00\xFF\x00\x00\xFF\x00\x00\x00", 8);
    ico += std::string("\x00\x00\x00\x00\x00\xFF\x00\x00", 8);
    // AND rows bottom-up: bottom row opaque, top row's first pixel masked.
    ico += std::string("\x00\x00\x00\x00", 4);
    ico += std::string("\x80\x00\x00\x00", 4);
    return ico;
  }
};

TEST_F(PictureTest, FormatsAreFoundByExtensionInAnyCase) {
  struct Case {
    const char* extension;
    TGraphicClass cls;
  } cases[] = {{"bmp", TBitmap::StaticClass()},     {".BMP", TBitmap::StaticClass()},
               {"ico", TIcon::StaticClass()},       {"emf", TMetafile::StaticClass()},
               {"WMF", TMetafile::StaticClass()},   {"jpg", TJPEGImage::StaticClass()},
               {"Jpeg", TJPEGImage::StaticClass()}, {"gif", nullptr},
               {"", nullptr}};
  for (const auto& c : cases) EXPECT_EQ(TPicture::FindGraphicClass(c.extension), c.cls) << c.extension;
  EXPECT_NE(TPicture::GraphicFilter(TBitmap::StaticClass()).find("Bitmaps (*.bmp)|*.bmp"), std::string::npos);

  // A later registration of an extension wins; unregistering restores.
  TPicture::RegisterFileFormat("bmp", "Other bitmaps", TMetafile::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("bmp"), TMetafile::StaticClass());
  TPicture::UnregisterGraphicClass(TMetafile::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("bmp"), TBitmap::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("emf"), nullptr);
  TPicture::RegisterFileFormat("wmf", "Metafiles", TMetafile::StaticClass());
  TPicture::RegisterFileFormat("emf", "Enhanced Metafiles", TMetafile::StaticClass());
}

TEST_F(PictureTest, LoadFromFileChoosesTheClassByExtension) {
  TBitmap b;
  make(b, 3, 2, clRed);
  b.SaveToFile(hostPath("A.BMP"));
  writeFile("b.jpg", jpegBytes());
  writeFile("c.ico", iconBytes());

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.LoadFromFile(hostPath("A.BMP"));
  EXPECT_TRUE(Is<TBitmap>(picture.Graphic()));
  EXPECT_EQ(picture.Width(), 3);
  EXPECT_EQ(changes, 1);
  picture.LoadFromFile(hostPath("b.jpg"));
  EXPECT_TRUE(Is<TJPEGImage>(picture.Graphic()));
  EXPECT_EQ(picture.Height(), 16);
  picture.LoadFromFile(hostPath("c.ico"));
  EXPECT_TRUE(Is<TIcon>(picture.Graphic()));
  EXPECT_EQ(picture.Width(), 2);
  EXPECT_EQ(changes, 3);

  // Drawing on the picture's bitmap is a change of the picture.
  picture.Bitmap()->SetSize(2, 2);
  int before = changes;
  picture.Bitmap()->Canvas()->SetPixels(0, 0, clBlue);
  EXPECT_GT(changes, before);
}

TEST_F(PictureTest, AnUnknownExtensionIsAnError) {
  writeFile("x.xyz", "whatever");
  TPicture picture;
  try {
    picture.LoadFromFile(hostPath("x.xyz"));
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_EQ(picture.Graphic(), nullptr);
  // A file of a known kind with bad bytes keeps the old graphic.
  TBitmap b;
  make(b, 1, 1, clRed);
  picture.SetGraphic(&b);
  writeFile("bad.bmp", "BMnonsense");
  EXPECT_THROW(picture.LoadFromFile(hostPath("bad.bmp")), EInvalidGraphic);
  EXPECT_TRUE(Is<TBitmap>(picture.Graphic()));
}

TEST_F(PictureTest, GraphicsAreCopiedIn) {
  TBitmap b;
  make(b, 2, 2, clRed);
  TPicture picture;
  picture.SetGraphic(&b);
  ASSERT_NE(picture.Graphic(), &b);
  b.Canvas()->SetPixels(0, 0, clBlue);
  EXPECT_EQ(at(picture.Bitmap()->Canvas(), 0, 0), RGB(255, 0, 0));

  TPicture other;
  other.Assign(&picture);
  EXPECT_TRUE(Is<TBitmap>(other.Graphic()));
  EXPECT_NE(other.Graphic(), picture.Graphic());
  other.Assign(nullptr);
  EXPECT_EQ(other.Graphic(), nullptr);
  EXPECT_EQ(other.Width(), 0);

  // Asking for the bitmap of a picture that holds another graphic gives an
  // empty bitmap in its place.
  TIcon icon;
  TStringStream s(iconBytes());
  icon.LoadFromStream(&s);
  other.SetGraphic(&icon);
  EXPECT_TRUE(other.Bitmap()->Empty());
}

TEST_F(PictureTest, JpegDecodesAndAssignsToABitmap) {
  TJPEGImage jpeg;
  TStringStream s(jpegBytes());
  jpeg.LoadFromStream(&s);
  EXPECT_EQ(jpeg.Width(), 16);
  EXPECT_EQ(jpeg.Height(), 16);

  TBitmap b;
  b.Assign(&jpeg);
  EXPECT_EQ(b.Width(), 16);
  EXPECT_TRUE(near(at(b.Canvas(), 2, 2), RGB(255, 0, 0), 12));
  EXPECT_TRUE(near(at(b.Canvas(), 13, 13), RGB(0, 0, 255), 12));

  jpeg.SetScale(jsHalf);
  EXPECT_EQ(jpeg.Width(), 8);
  TBitmap dst;
  make(dst, 10, 10, clWhite);
  dst.Canvas()->Draw(1, 1, &jpeg);
  EXPECT_TRUE(near(at(dst.Canvas(), 2, 2), RGB(255, 0, 0), 12));
  EXPECT_TRUE(near(at(dst.Canvas(), 8, 8), RGB(0, 0, 255), 12));
  EXPECT_EQ(at(dst.Canvas(), 9, 9), RGB(255, 255, 255));

  // The bytes are written back as they came.
  TStringStream out;
  jpeg.SaveToStream(&out);
  EXPECT_EQ(out.DataString(), jpegBytes());
}

TEST_F(PictureTest, ProgressOfDecodingReachesThePicture) {
  writeFile("p.jpg", jpegBytes());
  TPicture picture;
  std::vector<TProgressStage> stages;
  picture.OnProgress = [&](TObject*, TProgressStage Stage, BYTE, bool, const TRect&, const std::string&) {
    stages.push_back(Stage);
  };
  picture.LoadFromFile(hostPath("p.jpg"));
  TBitmap b;
  b.Assign(picture.Graphic());
  EXPECT_EQ(stages, (std::vector<TProgressStage>{psStarting, psEnding}));
}

TEST_F(PictureTest, AnIconAssignedToABitmapIsDrawnOnWhite) {
  TIcon icon;
  TStringStream s(iconBytes());
  icon.LoadFromStream(&s);
  TBitmap b;
  b.Assign(&icon);
  EXPECT_EQ(b.Width(), 2);
  EXPECT_EQ(at(b.Canvas(), 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(at(b.Canvas(), 1, 0), RGB(255, 0, 0));
  // Objects that are no graphics do not become bitmaps.
  TFont font;
  EXPECT_THROW(b.Assign(&font), EConvertError);
}

TEST_F(PictureTest, JpegFromABitmapAndCorruptBytes) {
  TBitmap b;
  make(b, 8, 8, clLime);
  TJPEGImage jpeg;
  jpeg.Assign(&b);
  EXPECT_EQ(jpeg.Width(), 8);
  EXPECT_TRUE(near(at(jpeg.Bitmap()->Canvas(), 4, 4), RGB(0, 255, 0), 12));

  std::string good = jpegBytes();
  for (const std::string& bad : {std::string("garbage"), good.substr(0, good.size() / 2), std::string()}) {
    TStringStream s(bad);
    EXPECT_THROW(jpeg.LoadFromStream(&s), EJPEG) << bad.size();
  }
  EXPECT_EQ(jpeg.Width(), 8);  // a failed load keeps the image
}

TEST_F(PictureTest, IconLoadsDrawsWithItsMaskAndStreamsBack) {
  TIcon icon;
  TStringStream s(iconBytes());
  icon.LoadFromStream(&s);
  EXPECT_EQ(icon.Width(), 2);
  EXPECT_EQ(icon.Height(), 2);
  EXPECT_THROW(icon.SetWidth(4), EInvalidGraphicOperation);

  TBitmap dst;
  make(dst, 3, 3, clYellow);
  dst.Canvas()->Draw(1, 1, &icon);
  EXPECT_EQ(at(dst.Canvas(), 1, 1), RGB(255, 255, 0));  // masked: the background shows
  EXPECT_EQ(at(dst.Canvas(), 2, 1), RGB(255, 0, 0));
  EXPECT_EQ(at(dst.Canvas(), 1, 2), RGB(0, 255, 0));

  TStringStream out;
  icon.SaveToStream(&out);
  EXPECT_EQ(out.DataString(), iconBytes());

  // An icon known only by its handle is written as an .ico that reads back.
  TIcon copy;
  copy.SetHandle(CopyIcon(icon.Handle()));
  TStringStream written;
  copy.SaveToStream(&written);
  written.SetPosition(0);
  TIcon again;
  again.LoadFromStream(&written);
  make(dst, 3, 3, clYellow);
  dst.Canvas()->Draw(1, 1, &again);
  EXPECT_EQ(at(dst.Canvas(), 1, 1), RGB(255, 255, 0));
  EXPECT_EQ(at(dst.Canvas(), 2, 1), RGB(255, 0, 0));

  TStringStream bad("nonsense");
  EXPECT_THROW(icon.LoadFromStream(&bad), EInvalidGraphic);
  TIcon empty;
  TStringStream sink;
  EXPECT_THROW(empty.SaveToStream(&sink), EInvalidGraphic);
}

TEST_F(PictureTest, MetafilesKeepTheirBytes) {
  // An EMF header: record 1, its size, bounds, a frame of 2540 x 1270
  // hundredths of a millimetre (96 x 48 pixels), the signature.
  std::string emf(88, '\0');
  auto put = [&](size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) emf[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put(0, 1);
  put(4, 88);
  put(32, 2540);
  put(36, 1270);
  put(40, 0x464D4520u);
  TMetafile m;
  TStringStream s(emf);
  m.LoadFromStream(&s);
  EXPECT_TRUE(m.Enhanced());
  EXPECT_EQ(m.Width(), 96);
  EXPECT_EQ(m.Height(), 48);
  TStringStream out;
  m.SaveToStream(&out);
  EXPECT_EQ(out.DataString(), emf);

  TStringStream bad("not a metafile at all, not at all");
  EXPECT_THROW(m.LoadFromStream(&bad), EInvalidGraphic);
}

}  // namespace
