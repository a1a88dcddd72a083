// GIF pictures: files made with giflib's writer in memory, read back by
// our reader: palettes and the transparent colour, interlaced rows, a
// picture placed on a larger screen, files cut short, headers that lie.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/os/gdi/Gif.h"
#include "platform/os/gdi/Image.h"

namespace {

using qv::os::gdi::decodeGif;
using qv::os::gdi::decodeImage;
using qv::os::gdi::Image;
using Bytes = std::vector<std::uint8_t>;

int writeBytes(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

struct GifSpec {
  int screenW, screenH;
  int left = 0, top = 0, width = 0, height = 0;  // the picture; 0: the screen
  bool interlace = false;
  int transparent = -1;
  std::vector<GifPixelType> pixels;  // width * height, row by row (in display order)
};

const GifColorType kColours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 128, 255}, {255, 255, 255}};

Bytes makeGif(const GifSpec& s) {
  Bytes out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, writeBytes, &err);
  EXPECT_NE(gif, nullptr);
  ColorMapObject* map = GifMakeMapObject(4, kColours);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, s.screenW, s.screenH, 2, 0, map);
  if (s.transparent >= 0) {
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, s.transparent};
    GifByteType ext[4];
    const size_t n = EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext);
  }
  const int w = s.width ? s.width : s.screenW, h = s.height ? s.height : s.screenH;
  EGifPutImageDesc(gif, s.left, s.top, w, h, s.interlace, nullptr);
  std::vector<int> order;
  if (s.interlace) {
    for (int y = 0; y < h; y += 8) order.push_back(y);
    for (int y = 4; y < h; y += 8) order.push_back(y);
    for (int y = 2; y < h; y += 4) order.push_back(y);
    for (int y = 1; y < h; y += 2) order.push_back(y);
  } else {
    for (int y = 0; y < h; ++y) order.push_back(y);
  }
  for (int y : order) {
    std::vector<GifPixelType> row(s.pixels.begin() + y * w, s.pixels.begin() + (y + 1) * w);
    EGifPutLine(gif, row.data(), w);
  }
  EGifCloseFile(gif, &err);
  GifFreeMapObject(map);
  return out;
}

std::uint32_t argb(int index) {
  const GifColorType& c = kColours[index];
  return 0xFF000000u | static_cast<std::uint32_t>(c.Red) << 16 | static_cast<std::uint32_t>(c.Green) << 8 | c.Blue;
}

TEST(Gif, PaletteTransparencyAndInterlacedRowsComeOutInPlace) {
  std::vector<GifPixelType> px;
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 3; ++x) px.push_back(static_cast<GifPixelType>((x + y) % 4));
  for (bool interlace : {false, true}) {
    SCOPED_TRACE(interlace ? "interlaced" : "plain");
    const Bytes file = makeGif({3, 9, 0, 0, 0, 0, interlace, 3, px});
    Image img;
    std::string why;
    // The general reader knows the file by its signature.
    ASSERT_TRUE(decodeImage(file.data(), file.size(), img, &why)) << why;
    ASSERT_EQ(img.width, 3);
    ASSERT_EQ(img.height, 9);
    EXPECT_TRUE(img.hasAlpha);
    EXPECT_EQ(img.bitDepth, 2);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 3; ++x) {
        const int index = (x + y) % 4;
        EXPECT_EQ(img.at(x, y), index == 3 ? 0u : argb(index)) << x << "," << y;
      }
  }
}

TEST(Gif, APictureSmallerThanItsScreenSitsAtItsPlace) {
  const Bytes file = makeGif({4, 3, 1, 1, 2, 1, false, -1, {1, 2}});
  Image img;
  ASSERT_TRUE(decodeGif(file.data(), file.size(), img));
  ASSERT_EQ(img.width, 4);
  ASSERT_EQ(img.height, 3);
  EXPECT_TRUE(img.hasAlpha);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const std::uint32_t want = y == 1 && x == 1 ? argb(1) : y == 1 && x == 2 ? argb(2) : 0u;
      EXPECT_EQ(img.at(x, y), want) << x << "," << y;
    }
  // Without transparency and covering its screen, a picture is opaque.
  const Bytes opaque = makeGif({2, 1, 0, 0, 0, 0, false, -1, {1, 2}});
  ASSERT_TRUE(decodeGif(opaque.data(), opaque.size(), img));
  EXPECT_FALSE(img.hasAlpha);
}

TEST(Gif, CutShortKeepsWhatCameAndLiesAreRefused) {
  // Pixels that do not compress much, so that they fill many data blocks.
  std::vector<GifPixelType> px(64 * 64);
  std::mt19937 rng(7);
  for (auto& p : px) p = static_cast<GifPixelType>(rng() % 4);
  const Bytes file = makeGif({64, 64, 0, 0, 0, 0, false, -1, px});
  Image img;
  std::string why;
  ASSERT_TRUE(decodeGif(file.data(), file.size(), img, &why)) << why;
  // Cut in its pixels: the rows read are there, the rest is transparent.
  const Bytes cut(file.begin(), file.begin() + static_cast<long>(file.size() * 2 / 3));
  ASSERT_TRUE(decodeGif(cut.data(), cut.size(), img, &why)) << why;
  EXPECT_EQ(img.at(0, 0), argb(px[0]));
  EXPECT_EQ(img.at(63, 63), 0u);
  // Cut before its picture: an error with a reason.
  for (size_t n : {size_t{0}, size_t{6}, size_t{13}, size_t{20}}) {
    why.clear();
    EXPECT_FALSE(decodeGif(file.data(), n, img, &why)) << n;
    EXPECT_FALSE(why.empty()) << n;
  }
  // A screen of 65535 x 65535 pixels for a few bytes of data.
  Bytes huge = makeGif({2, 1, 0, 0, 0, 0, false, -1, {1, 2}});
  huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;
  EXPECT_FALSE(decodeGif(huge.data(), huge.size(), img, &why));
  // A picture of 16000 x 4000 pixels in under a hundred bytes.
  Bytes big = makeGif({2, 1, 0, 0, 0, 0, false, -1, {1, 2}});
  const size_t desc = 13 + 12;  // header, screen, 4-colour table: the image descriptor
  ASSERT_EQ(big[desc], 0x2C);
  big[6] = 0x80, big[7] = 0x3E, big[8] = 0xA0, big[9] = 0x0F;
  big[desc + 5] = 0x80, big[desc + 6] = 0x3E, big[desc + 7] = 0xA0, big[desc + 8] = 0x0F;
  EXPECT_FALSE(decodeGif(big.data(), big.size(), img, &why));
  EXPECT_NE(why.find("larger than its data"), std::string::npos) << why;
}

}  // namespace
