// Picture readers and writers. Fixtures are made here byte by byte (BMP,
// ICO) or through libpng and libjpeg directly, so that a reader and our own
// writer cannot share a mistake.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>
#include <sys/resource.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "DesktopTest.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Bmp.h"
#include "platform/os/gdi/Dib.h"
#include "platform/os/gdi/Ico.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/Jpeg.h"
#include "platform/os/gdi/Png.h"

using namespace qv::os::gdi;
using Bytes = std::vector<std::uint8_t>;

namespace {

void put16(Bytes& b, std::uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void put32(Bytes& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

// Raw pixel values, top row first: palette indices, 16-bit words, 0xRRGGBB
// (24 bits) or 32-bit values.
using Grid = std::vector<std::vector<std::uint32_t>>;

Bytes packRows(const Grid& rows, int bitCount, bool topDown) {
  Bytes out;
  const size_t stride = ((rows[0].size() * bitCount + 31) / 32) * 4;
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto& row = rows[topDown ? i : rows.size() - 1 - i];
    Bytes r(stride, 0);
    for (size_t x = 0; x < row.size(); ++x) {
      std::uint32_t v = row[x];
      switch (bitCount) {
        case 1:
          r[x / 8] |= static_cast<std::uint8_t>(v << (7 - x % 8));
          break;
        case 4:
          r[x / 2] |= static_cast<std::uint8_t>(x % 2 ? v : v << 4);
          break;
        case 8:
          r[x] = static_cast<std::uint8_t>(v);
          break;
        case 16:
          r[2 * x] = v & 0xFF;
          r[2 * x + 1] = (v >> 8) & 0xFF;
          break;
        case 24:
          r[3 * x] = v & 0xFF;
          r[3 * x + 1] = (v >> 8) & 0xFF;
          r[3 * x + 2] = (v >> 16) & 0xFF;
          break;
        default:
          for (int k = 0; k < 4; ++k) r[4 * x + k] = (v >> (8 * k)) & 0xFF;
      }
    }
    out.insert(out.end(), r.begin(), r.end());
  }
  return out;
}

struct BmpFields {
  int headerSize = 40;  // 12 (core), 40, 108 (V4), 124 (V5)
  int width = 3;
  int height = 2;  // negative: top-down
  int bitCount = 24;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> palette;  // 0xRRGGBB
  std::vector<std::uint32_t> masks;    // red, green, blue[, alpha]
  Bytes bits;
};

// A DIB (header, masks, colour table, bits) without the file header.
Bytes dib(const BmpFields& s) {
  Bytes b;
  put32(b, s.headerSize);
  if (s.headerSize == 12) {
    put16(b, s.width);
    put16(b, s.height);
    put16(b, 1);
    put16(b, s.bitCount);
  } else {
    put32(b, s.width);
    put32(b, static_cast<std::uint32_t>(s.height));
    put16(b, 1);
    put16(b, s.bitCount);
    put32(b, s.compression);
    put32(b, static_cast<std::uint32_t>(s.bits.size()));
    put32(b, 3780);
    put32(b, 3780);
    put32(b, static_cast<std::uint32_t>(s.palette.size()));
    put32(b, 0);
    if (s.headerSize > 40) {
      for (size_t i = 0; i < 4; ++i) put32(b, i < s.masks.size() ? s.masks[i] : 0);
      b.resize(s.headerSize, 0);
    } else {
      for (auto m : s.masks) put32(b, m);
    }
  }
  for (auto c : s.palette) {
    b.push_back(c & 0xFF);
    b.push_back((c >> 8) & 0xFF);
    b.push_back((c >> 16) & 0xFF);
    if (s.headerSize != 12) b.push_back(0);
  }
  b.insert(b.end(), s.bits.begin(), s.bits.end());
  return b;
}

Bytes bmpFile(const BmpFields& s) {
  Bytes d = dib(s);
  Bytes f;
  f.push_back('B');
  f.push_back('M');
  put32(f, static_cast<std::uint32_t>(14 + d.size()));
  put32(f, 0);
  put32(f, static_cast<std::uint32_t>(14 + d.size() - s.bits.size()));
  f.insert(f.end(), d.begin(), d.end());
  return f;
}

const std::vector<std::uint32_t> kPalette = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF};
const Grid kIndices = {{0, 1, 2}, {3, 0, 1}};

std::vector<std::uint32_t> opaque(const Grid& colours) {
  std::vector<std::uint32_t> v;
  for (auto& row : colours)
    for (auto c : row) v.push_back(0xFF000000u | c);
  return v;
}

std::vector<std::uint32_t> paletteColours(const Grid& idx, const std::vector<std::uint32_t>& pal) {
  Grid g = idx;
  for (auto& row : g)
    for (auto& c : row) c = pal[c];
  return opaque(g);
}

// --- Fixtures through the libraries themselves -----------------------------

Bytes libpngEncode(int w, int h, int colourType, const std::vector<std::uint8_t>& samples,
                   const std::vector<png_color>& palette = {}, const std::vector<png_byte>& trns = {}, int depth = 8,
                   bool interlaced = false) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep d, png_size_t n) {
        auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
        o->insert(o->end(), d, d + n);
      },
      nullptr);
  png_set_IHDR(png, info, w, h, depth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!trns.empty()) png_set_tRNS(png, info, trns.data(), static_cast<int>(trns.size()), nullptr);
  png_write_info(png, info);
  const size_t stride = samples.size() / h;
  std::vector<png_bytep> rows;
  for (int y = 0; y < h; ++y) rows.push_back(const_cast<png_bytep>(&samples[stride * y]));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

enum class JpegCoding { Huffman, Progressive, Arithmetic };

Bytes libjpegEncode(int w, int h, int components, const std::vector<std::uint8_t>& samples,
                    JpegCoding coding = JpegCoding::Huffman) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &mem, &size);
  c.image_width = w;
  c.image_height = h;
  c.input_components = components;
  c.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  if (coding == JpegCoding::Progressive) jpeg_simple_progression(&c);
  c.arith_code = coding == JpegCoding::Arithmetic;
  jpeg_start_compress(&c, TRUE);
  for (int y = 0; y < h; ++y) {
    JSAMPROW row = const_cast<JSAMPROW>(&samples[static_cast<size_t>(y) * w * components]);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes out(mem, mem + size);
  std::free(mem);
  return out;
}

// The file with the frame's size set to w x h, as a header that lies about
// its picture would have it.
Bytes withJpegSize(Bytes file, int w, int h) {
  for (size_t at = 2; at + 9 <= file.size() && file[at] == 0xFF;) {
    const std::uint8_t marker = file[at + 1];
    if (marker == 0xC0 || marker == 0xC2 || marker == 0xC9 || marker == 0xCA) {
      file[at + 5] = static_cast<std::uint8_t>(h >> 8);
      file[at + 6] = static_cast<std::uint8_t>(h);
      file[at + 7] = static_cast<std::uint8_t>(w >> 8);
      file[at + 8] = static_cast<std::uint8_t>(w);
      break;
    }
    at += 2 + (file[at + 2] << 8 | file[at + 3]);
  }
  return file;
}

// A progressive file without its DC scans (each scan runs from its SOS
// segment to the next marker that is neither a stuffed 0xFF nor a restart).
Bytes withoutDcScans(const Bytes& file) {
  Bytes out(file.begin(), file.begin() + 2);
  size_t at = 2;
  while (at + 2 <= file.size()) {
    const std::uint8_t marker = file[at + 1];
    size_t end = marker == 0xD9 ? at + 2 : at + 2 + (file[at + 2] << 8 | file[at + 3]);
    bool keep = true;
    if (marker == 0xDA) {
      keep = file[at + 5 + 2 * file[at + 4]] != 0;  // Ss: 0 is a DC scan
      while (end + 1 < file.size() && !(file[end] == 0xFF && file[end + 1] != 0 && (file[end + 1] & 0xF8) != 0xD0))
        ++end;
    }
    if (keep) out.insert(out.end(), file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(end));
    if (marker == 0xD9) break;
    at = end;
  }
  return out;
}

std::uint32_t pngCrc(const std::uint8_t* p, size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
  }
  return ~c;
}

// The most memory the process has held so far.
long peakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A 32 x 32 picture of four flat quarters, each a whole 16 x 16 block of
// subsampled colour, kind to JPEG.
std::vector<std::uint8_t> quarters(int components) {
  const std::uint8_t colours[4][3] = {{200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {240, 240, 240}};
  std::vector<std::uint8_t> s;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const std::uint8_t* c = colours[(y / 16) * 2 + x / 16];
      if (components == 1)
        s.push_back(c[0]);
      else
        s.insert(s.end(), c, c + 3);
    }
  return s;
}

// An icon file of one entry: `image` is its DIB with the mask after it.
Bytes singleIcon(const Bytes& image, std::uint8_t width, std::uint8_t height, std::uint32_t bitCount) {
  Bytes ico;
  put16(ico, 0);
  put16(ico, 1);
  put16(ico, 1);
  ico.insert(ico.end(), {width, height, 0, 0});
  put16(ico, 1);
  put16(ico, bitCount);
  put32(ico, static_cast<std::uint32_t>(image.size()));
  put32(ico, 22);
  ico.insert(ico.end(), image.begin(), image.end());
  return ico;
}

void expectPixels(const Image& img, int w, int h, const std::vector<std::uint32_t>& want) {
  ASSERT_EQ(img.width, w);
  ASSERT_EQ(img.height, h);
  ASSERT_EQ(img.pixels.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i)
    EXPECT_EQ(img.pixels[i], want[i]) << "pixel " << i % w << "," << i / w << std::hex << " got " << img.pixels[i];
}

}  // namespace

TEST(Bmp, EveryDepthAndHeader) {
  const Grid idx1 = {{0, 1, 0}, {1, 0, 1}};
  const Grid c24 = {{0x123456, 0xFF0000, 0x00FF80}, {0x0000FF, 0xFFFFFF, 0x000001}};
  const Grid w555 = {{0x7C00, 0x03E0, 0x001F}, {0x4210, 0x7FFF, 0x0000}};
  const Grid w565 = {{0xF800, 0x07E0, 0x001F}, {0x8410, 0xFFFF, 0x0000}};
  const Grid px16 = {{0xFF0000, 0x00FF00, 0x0000FF}, {0x848484, 0xFFFFFF, 0x000000}};
  const Grid px565 = {{0xFF0000, 0x00FF00, 0x0000FF}, {0x848284, 0xFFFFFF, 0x000000}};
  const Grid argb = {{0x80123456u, 0xFFFF0000u, 0x00000000u}, {0x01010101u, 0xFF00FF00u, 0x7F0000FFu}};

  struct Case {
    const char* name;
    BmpFields fields;
    std::vector<std::uint32_t> want;
    bool hasAlpha;
  } cases[] = {
      {"1 bit",
       {40, 3, 2, 1, 0, {0x102030, 0xFF0000}, {}, packRows(idx1, 1, false)},
       paletteColours(idx1, kPalette),
       false},
      {"4 bits",
       {40, 3, 2, 4, 0, kPalette, {}, packRows(kIndices, 4, false)},
       paletteColours(kIndices, kPalette),
       false},
      {"8 bits",
       {40, 3, 2, 8, 0, kPalette, {}, packRows(kIndices, 8, false)},
       paletteColours(kIndices, kPalette),
       false},
      {"8 bits core",
       {12, 3, 2, 8, 0, kPalette, {}, packRows(kIndices, 8, false)},
       paletteColours(kIndices, kPalette),
       false},
      {"16 bits 555", {40, 3, 2, 16, 0, {}, {}, packRows(w555, 16, false)}, opaque(px16), false},
      {"16 bits 565", {40, 3, 2, 16, 3, {}, {0xF800, 0x07E0, 0x001F}, packRows(w565, 16, false)}, opaque(px565), false},
      {"24 bits", {40, 3, 2, 24, 0, {}, {}, packRows(c24, 24, false)}, opaque(c24), false},
      {"24 bits top-down", {40, 3, -2, 24, 0, {}, {}, packRows(c24, 24, true)}, opaque(c24), false},
      {"32 bits no alpha", {40, 3, 2, 32, 0, {}, {}, packRows(c24, 32, false)}, opaque(c24), false},
      {"32 bits alpha",
       {40, 3, 2, 32, 0, {}, {}, packRows(argb, 32, false)},
       {argb[0][0], argb[0][1], argb[0][2], argb[1][0], argb[1][1], argb[1][2]},
       true},
      {"32 bits V5 fields",
       {124, 3, 2, 32, 3, {}, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, packRows(argb, 32, false)},
       {argb[0][0], argb[0][1], argb[0][2], argb[1][0], argb[1][1], argb[1][2]},
       true},
      {"32 bits V4 BGR fields",
       {108, 3, 2, 32, 3, {}, {0x000000FF, 0x0000FF00, 0x00FF0000}, packRows(c24, 32, false)},
       opaque({{0x563412, 0x0000FF, 0x80FF00}, {0xFF0000, 0xFFFFFF, 0x010000}}),
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Image img;
    std::string why;
    ASSERT_TRUE(decodeBmp(bmpFile(c.fields).data(), bmpFile(c.fields).size(), img, &why)) << why;
    expectPixels(img, 3, 2, c.want);
    EXPECT_EQ(img.bitDepth, c.fields.bitCount);
    EXPECT_EQ(img.hasAlpha, c.hasAlpha);
    if (c.fields.bitCount <= 8) {
      EXPECT_EQ(img.palette, c.fields.palette);
    }
  }
}

TEST(Bmp, RunLengthEncoding) {
  // 4 x 3, rows bottom-up: a run, an absolute run, a delta and an early end.
  const Bytes rle8 = {
      4, 1,              // bottom row: four of index 1
      0, 0,              // end of line
      0, 3, 2, 3, 1, 0,  // absolute: 2 3 1, padded to a word
      0, 0,              // end of line (x = 3 stays index 0)
      0, 2, 1, 0,        // delta: x += 1 on the top row
      2, 2,              // two of index 2
      0, 1,              // end of bitmap
  };
  BmpFields s{40, 4, 3, 8, 1, kPalette, {}, rle8};
  Image img;
  std::string why;
  ASSERT_TRUE(decodeBmp(bmpFile(s).data(), bmpFile(s).size(), img, &why)) << why;
  expectPixels(img, 4, 3, paletteColours({{0, 2, 2, 0}, {2, 3, 1, 0}, {1, 1, 1, 1}}, kPalette));

  const Bytes rle4 = {
      3, 0x12,                    // 1 2 1
      0, 0,    0, 4, 0x32, 0x10,  // absolute: 3 2 1 0
      0, 1,
  };
  BmpFields s4{40, 4, 2, 4, 2, kPalette, {}, rle4};
  ASSERT_TRUE(decodeBmp(bmpFile(s4).data(), bmpFile(s4).size(), img, &why)) << why;
  expectPixels(img, 4, 2, paletteColours({{3, 2, 1, 0}, {1, 2, 1, 0}}, kPalette));
}

TEST(Bmp, WriterRoundTrips) {
  Image img;
  ASSERT_TRUE(img.allocate(5, 3));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) img.at(x, y) = 0xFF000000u | kPalette[(x + y) % 4];
  img.palette = kPalette;
  for (int bits : {4, 8, 24, 32}) {
    SCOPED_TRACE(bits);
    Bytes file = encodeBmp(img, bits);
    Image back;
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), back));
    EXPECT_EQ(back.pixels, img.pixels);
    EXPECT_EQ(back.bitDepth, bits);
  }
  EXPECT_TRUE(encodeBmp(img, 1).empty());  // four colours do not fit one bit
  img.palette = {0x123456};
  EXPECT_TRUE(encodeBmp(img, 8).empty());  // a pixel outside the palette
}

TEST(Ico, BitmapAndPngImagesWithTheirMasks) {
  // Entry 0: a 2 x 2 24-bit DIB whose AND mask makes the top-left pixel
  // transparent. Entry 1: a 1 x 1 PNG with alpha 0x40.
  const Grid colours = {{0x112233, 0x445566}, {0x778899, 0xAABBCC}};
  BmpFields s{40, 2, 4, 24, 0, {}, {}, packRows(colours, 24, false)};
  Bytes bmp = dib(s);
  const Grid mask = {{1, 0}, {0, 0}};
  Bytes andBits = packRows(mask, 1, false);
  bmp.insert(bmp.end(), andBits.begin(), andBits.end());
  Bytes png = libpngEncode(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, {10, 20, 30, 0x40});
  ASSERT_FALSE(png.empty());

  Bytes ico;
  put16(ico, 0);
  put16(ico, 1);
  put16(ico, 2);
  const std::uint32_t first = 6 + 32;
  for (int i = 0; i < 2; ++i) {
    const Bytes& img = i == 0 ? bmp : png;
    ico.push_back(i == 0 ? 2 : 1);
    ico.push_back(i == 0 ? 2 : 1);
    ico.push_back(0);
    ico.push_back(0);
    put16(ico, 1);
    put16(ico, i == 0 ? 24 : 32);
    put32(ico, static_cast<std::uint32_t>(img.size()));
    put32(ico, i == 0 ? first : first + static_cast<std::uint32_t>(bmp.size()));
  }
  ico.insert(ico.end(), bmp.begin(), bmp.end());
  ico.insert(ico.end(), png.begin(), png.end());

  std::vector<IconEntry> entries;
  bool cursor = true;
  ASSERT_TRUE(readIconDirectory(ico.data(), ico.size(), entries, &cursor));
  EXPECT_FALSE(cursor);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].width, 2);

  IconImage a;
  std::string why;
  ASSERT_TRUE(decodeIconEntry(ico.data(), ico.size(), entries[0], a, &why)) << why;
  expectPixels(a.image, 2, 2, {0x00112233u, 0xFF445566u, 0xFF778899u, 0xFFAABBCCu});
  EXPECT_EQ(a.andMask, (std::vector<std::uint8_t>{1, 0, 0, 0}));

  IconImage b;
  ASSERT_TRUE(decodeIconEntry(ico.data(), ico.size(), entries[1], b, &why)) << why;
  expectPixels(b.image, 1, 1, {0x400A141Eu});

  IconImage best;
  ASSERT_TRUE(decodeIcon(ico.data(), ico.size(), best));  // the largest
  EXPECT_EQ(best.image.width, 2);
  ASSERT_TRUE(decodeIcon(ico.data(), ico.size(), best, 1, 1));
  EXPECT_EQ(best.image.width, 1);

  // A cursor keeps its hot spot in the directory.
  Bytes cur = ico;
  cur[2] = 2;
  cur[6 + 4] = 1;  // hot spot x of entry 0
  cur[6 + 6] = 1;  // hot spot y
  ASSERT_TRUE(readIconDirectory(cur.data(), cur.size(), entries, &cursor));
  EXPECT_TRUE(cursor);
  EXPECT_EQ(entries[0].hotspotX, 1);
  EXPECT_EQ(entries[0].hotspotY, 1);
  Image any;
  EXPECT_TRUE(decodeImage(cur.data(), cur.size(), any));
}

TEST(Png, ColourTypesDecodeToTheSamePixels) {
  const std::vector<png_color> pal = {{10, 20, 30}, {40, 50, 60}};
  struct Case {
    const char* name;
    Bytes file;
    int width;
    std::vector<std::uint32_t> want;
    bool hasAlpha;
    int bitDepth;
  } cases[] = {
      {"rgb",
       libpngEncode(2, 1, PNG_COLOR_TYPE_RGB, {1, 2, 3, 250, 251, 252}),
       2,
       {0xFF010203u, 0xFFFAFBFCu},
       false,
       24},
      {"rgba",
       libpngEncode(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, {1, 2, 3, 0, 9, 8, 7, 200}),
       2,
       {0x00010203u, 0xC8090807u},
       true,
       32},
      {"grey", libpngEncode(2, 1, PNG_COLOR_TYPE_GRAY, {0, 77}), 2, {0xFF000000u, 0xFF4D4D4Du}, false, 8},
      {"grey alpha", libpngEncode(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, {77, 128}), 1, {0x804D4D4Du}, true, 16},
      {"palette", libpngEncode(2, 1, PNG_COLOR_TYPE_PALETTE, {1, 0}, pal), 2, {0xFF28323Cu, 0xFF0A141Eu}, false, 8},
      {"palette tRNS",
       libpngEncode(2, 1, PNG_COLOR_TYPE_PALETTE, {1, 0}, pal, {0x00}),
       2,
       {0xFF28323Cu, 0x000A141Eu},
       true,
       8},
      // 16-bit channels keep their high bytes.
      {"rgb 16 bits",
       libpngEncode(1, 1, PNG_COLOR_TYPE_RGB, {0x12, 0x99, 0xAB, 0x01, 0xFF, 0xFF}, {}, {}, 16),
       1,
       {0xFF12ABFFu},
       false,
       48},
      {"grey 2 bits",
       libpngEncode(4, 1, PNG_COLOR_TYPE_GRAY, {0x1B}, {}, {}, 2),
       4,
       {0xFF000000u, 0xFF555555u, 0xFFAAAAAAu, 0xFFFFFFFFu},
       false,
       2},
      {"interlaced",
       libpngEncode(3, 3, PNG_COLOR_TYPE_GRAY, {0, 1, 2, 3, 4, 5, 6, 7, 8}, {}, {}, 8, true),
       3,
       {0xFF000000u, 0xFF010101u, 0xFF020202u, 0xFF030303u, 0xFF040404u, 0xFF050505u, 0xFF060606u, 0xFF070707u,
        0xFF080808u},
       false,
       8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_FALSE(c.file.empty());
    Image img;
    std::string why;
    ASSERT_TRUE(decodePng(c.file.data(), c.file.size(), img, &why)) << why;
    expectPixels(img, c.width, static_cast<int>(c.want.size()) / c.width, c.want);
    EXPECT_EQ(img.hasAlpha, c.hasAlpha);
    EXPECT_EQ(img.bitDepth, c.bitDepth);
    if (std::string(c.name) == "palette") {
      EXPECT_EQ(img.palette, (std::vector<std::uint32_t>{0x0A141E, 0x28323C}));
    }
  }
}

TEST(Png, WriterRoundTripsExactly) {
  for (bool alpha : {false, true}) {
    Image img;
    ASSERT_TRUE(img.allocate(7, 5));
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x)
        img.at(x, y) =
            (alpha ? static_cast<std::uint32_t>(x * 30) << 24 : 0xFF000000u) | (x * 0x250000u) | (y * 0x3100u) | 7u;
    img.hasAlpha = alpha;
    Bytes file = encodePng(img);
    Image back;
    ASSERT_TRUE(decodePng(file.data(), file.size(), back));
    EXPECT_EQ(back.pixels, img.pixels);
    EXPECT_EQ(back.hasAlpha, alpha);
  }
}

TEST(Jpeg, DecodesWithinTolerance) {
  const std::uint32_t want[4] = {0xC81E1E, 0x1EC81E, 0x1E1EC8, 0xF0F0F0};
  for (auto [components, coding] :
       {std::pair{3, JpegCoding::Huffman}, std::pair{1, JpegCoding::Huffman}, std::pair{3, JpegCoding::Progressive}}) {
    SCOPED_TRACE(testing::Message() << components << " components, coding " << static_cast<int>(coding));
    Bytes file = libjpegEncode(32, 32, components, quarters(components), coding);
    Image img;
    std::string why;
    ASSERT_TRUE(decodeJpeg(file.data(), file.size(), img, &why)) << why;
    ASSERT_EQ(img.width, 32);
    ASSERT_EQ(img.height, 32);
    EXPECT_EQ(img.bitDepth, 8 * components);
    // Smooth upsampling of the colour blends two pixels either side of a
    // boundary between quarters; those are left out.
    auto nearBoundary = [](int v) { return v >= 14 && v < 18; };
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        if (nearBoundary(x) || nearBoundary(y)) continue;
        std::uint32_t w = want[(y / 16) * 2 + x / 16];
        if (components == 1) w = (w >> 16) * 0x010101u;
        std::uint32_t p = img.at(x, y);
        EXPECT_EQ(p >> 24, 0xFFu);
        for (int shift : {0, 8, 16})
          EXPECT_NEAR(static_cast<int>((p >> shift) & 0xFF), static_cast<int>((w >> shift) & 0xFF), 6) << x << "," << y;
      }
  }
}

TEST(Jpeg, WriterRoundTripsWithinTolerance) {
  Image img;
  ASSERT_TRUE(img.allocate(16, 16));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) img.at(x, y) = x < 8 ? 0xFF3060C0u : 0xFFE0C020u;
  for (bool grey : {false, true}) {
    Bytes file = encodeJpeg(img, 95, grey);
    Image back;
    ASSERT_TRUE(decodeJpeg(file.data(), file.size(), back));
    const std::uint32_t probe = back.at(2, 2);
    if (grey) {
      EXPECT_NEAR(static_cast<int>(probe & 0xFF), (0x30 * 299 + 0x60 * 587 + 0xC0 * 114) / 1000, 6);
    } else {
      EXPECT_NEAR(static_cast<int>((probe >> 16) & 0xFF), 0x30, 6);
      EXPECT_NEAR(static_cast<int>(probe & 0xFF), 0xC0, 6);
    }
  }
}

// Every reader refuses a corrupt or cut file with an error, and random
// damage never crashes it (run under the sanitizer preset).
TEST(ImageReaders, CorruptAndTruncatedFilesGiveErrors) {
  BmpFields fields{40, 3, 2, 8, 0, kPalette, {}, packRows(kIndices, 8, false)};
  const Bytes bmp = bmpFile(fields);
  BmpFields rleFields{40, 4, 1, 8, 1, kPalette, {}, {4, 1, 0, 1}};
  const Bytes rle = bmpFile(rleFields);
  const Bytes png = libpngEncode(4, 4, PNG_COLOR_TYPE_RGB, std::vector<std::uint8_t>(48, 90));
  const Bytes jpeg = libjpegEncode(32, 32, 3, quarters(3));
  Bytes ico;
  {
    Bytes d = dib(BmpFields{40, 1, 2, 24, 0, {}, {}, packRows({{0x010203}}, 24, false)});
    Bytes m = packRows({{0}}, 1, false);
    d.insert(d.end(), m.begin(), m.end());
    ico = singleIcon(d, 1, 1, 24);
  }
  struct Reader {
    const char* name;
    const Bytes* file;
    bool (*decode)(const std::uint8_t*, size_t, Image&, std::string*);
  } readers[] = {
      {"bmp", &bmp, decodeBmp},    {"bmp rle", &rle, decodeBmp}, {"png", &png, decodePng},
      {"jpeg", &jpeg, decodeJpeg}, {"ico", &ico, decodeImage},
  };
  std::mt19937 rng(1234);
  for (const Reader& r : readers) {
    SCOPED_TRACE(r.name);
    Image img;
    std::string why;
    ASSERT_TRUE(r.decode(r.file->data(), r.file->size(), img, &why)) << why;
    // Every cut is an error with a reason.
    for (size_t n = 0; n < r.file->size(); ++n) {
      why.clear();
      Bytes cut(r.file->begin(), r.file->begin() + static_cast<long>(n));
      EXPECT_FALSE(r.decode(cut.data(), cut.size(), img, &why)) << "cut at " << n;
      EXPECT_FALSE(why.empty()) << "cut at " << n;
    }
    // Damaged bytes: any answer but a crash.
    for (int round = 0; round < 300; ++round) {
      Bytes bad = *r.file;
      for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] = static_cast<std::uint8_t>(rng());
      r.decode(bad.data(), bad.size(), img, &why);
    }
  }
  Image none;
  EXPECT_FALSE(decodeImage(nullptr, 0, none, nullptr));
}

TEST(ImageReaders, HeaderLiesAreRefusedBeforeAllocating) {
  BmpFields fields{40, 3, 2, 24, 0, {}, {}, packRows({{1, 2, 3}, {4, 5, 6}}, 24, false)};
  struct Case {
    const char* name;
    size_t offset;  // into the file
    std::uint32_t value;
  } cases[] = {
      {"huge width", 18, 0x7FFFFFFF},
      {"huge height", 22, 0x40000000},
      {"most negative height", 22, 0x80000000},
      {"zero width", 18, 0},
      {"bit count 7", 28, 7},
      {"unknown compression", 30, 9},
      {"header size 200", 14, 200},
      {"bits beyond the end", 10, 0xFFFFFF00},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes f = bmpFile(fields);
    for (int i = 0; i < (c.offset == 28 ? 2 : 4); ++i) f[c.offset + i] = (c.value >> (8 * i)) & 0xFF;
    Image img;
    bool ok = decodeBmp(f.data(), f.size(), img);
    // A bad bfOffBits is forgiven: the bits follow the header.
    EXPECT_EQ(ok, std::string(c.name) == "bits beyond the end");
  }
  // A PNG whose header claims 100000 x 100000 pixels.
  Bytes png = libpngEncode(1, 1, PNG_COLOR_TYPE_GRAY, {0});
  for (int i = 0; i < 2; ++i) {
    const std::uint32_t v = 100000;
    for (int k = 0; k < 4; ++k) png[16 + 4 * i + k] = (v >> (8 * (3 - k))) & 0xFF;
  }
  Image img;
  EXPECT_FALSE(decodePng(png.data(), png.size(), img));
}

// Files whose headers claim a picture of 16384 x 4096 (256 MB of pixels)
// that their few bytes cannot hold are refused before its pixels take
// memory: a bitmap's bits, an icon's mask (its run-length colours may stand
// for any size, its mask may not), a PNG's deflated samples and a JPEG's
// Huffman-coded blocks. Arithmetic coding, which the platform's codecs do
// not read, pads a short scan without a word, and AC scans without the DC
// scans before them pass over any number of blocks in a few bytes: both are
// refused whatever the size.
TEST(ImageReaders, PicturesTheirFilesCannotHoldAreRefused) {
  constexpr int kW = 16384, kH = 4096;
  const Bytes icon = singleIcon(dib(BmpFields{40, kW, 2 * kH, 8, 1, {0x102030}, {}, {0, 1}}), 0, 0, 8);
  Bytes png = libpngEncode(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, {1, 2, 3, 4});
  for (int i = 0; i < 8; ++i) png[16 + i] = static_cast<std::uint8_t>((i < 4 ? kW : kH) >> (8 * (3 - i % 4)));
  const std::uint32_t crc = pngCrc(&png[12], 17);
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<std::uint8_t>(crc >> (8 * (3 - i)));
  const auto grey = std::vector<std::uint8_t>(32 * 32, 128);
  struct Case {
    const char* name;
    Bytes file;
    bool (*decode)(const std::uint8_t*, size_t, Image&, std::string*);
  } cases[] = {
      {"bitmap without its bits", bmpFile(BmpFields{40, kW, kH, 24, 0, {}, {}, {}}), decodeBmp},
      {"icon of run-length colours without room for its mask", icon, decodeImage},
      {"png of one deflated pixel", png, decodePng},
      {"jpeg whose blocks end early", withJpegSize(libjpegEncode(32, 32, 1, grey), kW, kH), decodeJpeg},
      {"arithmetic-coded jpeg", withJpegSize(libjpegEncode(32, 32, 1, grey, JpegCoding::Arithmetic), kW, kH),
       decodeJpeg},
      {"progressive jpeg without its DC scans", withoutDcScans(libjpegEncode(32, 32, 1, grey, JpegCoding::Progressive)),
       decodeJpeg},
  };
  const long before = peakResidentKb();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Image img;
    std::string why;
    EXPECT_FALSE(c.decode(c.file.data(), c.file.size(), img, &why));
    EXPECT_FALSE(why.empty());
  }
  EXPECT_LT(peakResidentKb() - before, 128 * 1024) << "half of one such picture";
}

class LoadImageTest : public qvtest::DesktopTest {};

TEST_F(LoadImageTest, LoadsBitmapFilesAsBitmaps) {
  const Grid c24 = {{0x123456, 0xFF0000, 0x00FF80}, {0x0000FF, 0xFFFFFF, 0x000001}};
  Bytes file = bmpFile(BmpFields{40, 3, 2, 24, 0, {}, {}, packRows(c24, 24, false)});
  std::string path = writeFile("pics/Logo.bmp", std::string(file.begin(), file.end()));
  HANDLE h = LoadImage(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  ASSERT_NE(h, nullptr);
  HBITMAP bmp = static_cast<HBITMAP>(h);
  BITMAP info{};
  ASSERT_EQ(GetObject(bmp, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
  Image back;
  ASSERT_TRUE(imageFromBitmap(bmp, back));
  // Opaque pictures become bitmaps with alpha bytes 0, as GDI keeps them.
  expectPixels(back, 3, 2, {0x123456, 0xFF0000, 0x00FF80, 0x0000FF, 0xFFFFFF, 0x000001});
  DIBSECTION ds{};
  ASSERT_EQ(GetObject(bmp, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBmih.biBitCount, 32);
  EXPECT_EQ(ds.dsBmih.biHeight, 2);  // bottom-up
  EXPECT_NE(ds.dsBm.bmBits, nullptr);
  DeleteObject(bmp);

  // Without LR_CREATEDIBSECTION a device bitmap with the same pixels.
  bmp = static_cast<HBITMAP>(LoadImage(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(bmp, nullptr);
  ASSERT_TRUE(imageFromBitmap(bmp, back));
  expectPixels(back, 3, 2, {0x123456, 0xFF0000, 0x00FF80, 0x0000FF, 0xFFFFFF, 0x000001});
  DeleteObject(bmp);

  EXPECT_EQ(LoadImage(nullptr, hostPath("missing.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  std::string junk = writeFile("junk.bmp", "BMnot really a bitmap");
  EXPECT_EQ(LoadImage(nullptr, junk.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
}
