#include "platform/os/gdi/Png.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace qv::os::gdi {

namespace {

struct ReadState {
  const std::uint8_t* data;
  size_t size;
  size_t pos;
  char message[128];
};

// libpng reports through longjmp: these callbacks hold no objects that need
// destroying, so jumping over them is safe.
void readData(png_structp png, png_bytep out, png_size_t length) {
  auto* st = static_cast<ReadState*>(png_get_io_ptr(png));
  if (length > st->size - st->pos) png_error(png, "truncated PNG file");
  std::memcpy(out, st->data + st->pos, length);
  st->pos += length;
}

void onError(png_structp png, png_const_charp message) {
  auto* st = static_cast<ReadState*>(png_get_error_ptr(png));
  if (st) {
    std::strncpy(st->message, message ? message : "PNG error", sizeof st->message - 1);
    st->message[sizeof st->message - 1] = 0;
  }
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

struct Rows {
  std::vector<png_bytep> pointers;
};

// The bytes of all IDAT chunks, as far as the file holds them.
size_t compressedBytes(const std::uint8_t* data, size_t size) {
  size_t total = 0;
  for (size_t at = 8; size - at >= 12;) {
    const size_t length = static_cast<size_t>(data[at]) << 24 | static_cast<size_t>(data[at + 1]) << 16 |
                          static_cast<size_t>(data[at + 2]) << 8 | data[at + 3];
    const size_t held = std::min(length, size - at - 8);
    if (std::memcmp(data + at + 4, "IDAT", 4) == 0) total += held;
    if (held < length || size - at - 8 - held < 4) break;
    at += 12 + length;
  }
  return total;
}

// Deflate makes at most 1032 bytes out of one (a 258-byte match in two
// bits), so a picture whose samples need more than that of its IDAT bytes
// cannot be in the file: it is refused before its pixels are allocated.
constexpr unsigned long long kMostDeflated = 1032;

// The part that libpng may jump out of. Everything it touches that owns
// memory lives in the caller's frame.
bool decodeCore(png_structp png, png_infop info, Image& out, Rows& rows, ReadState& st) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &st, readData);
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_read_info(png, info);
  png_uint_32 w = 0, h = 0;
  int depth = 0, colourType = 0, interlace = 0;
  png_get_IHDR(png, info, &w, &h, &depth, &colourType, &interlace, nullptr, nullptr);
  if (!imageSizeOk(w, h)) png_error(png, "bad PNG size");
  const int channels = png_get_channels(png, info);
  const bool trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  out.bitDepth = depth * channels;
  out.palette.clear();
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    png_colorp pal = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &pal, &count) && pal) {
      for (int i = 0; i < count; ++i)
        out.palette.push_back((static_cast<std::uint32_t>(pal[i].red) << 16) | (pal[i].green << 8) | pal[i].blue);
    }
  }
  out.hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || trns;

  png_set_expand(png);
  if (depth == 16) png_set_strip_16(png);
  if (!(colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  if (!(colourType & PNG_COLOR_MASK_ALPHA) && !trns) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(w) * 4) png_error(png, "unexpected PNG row layout");

  const unsigned long long sampleBytes = (static_cast<unsigned long long>(w) * h * out.bitDepth + 7) / 8;
  if (compressedBytes(st.data, st.size) * kMostDeflated < sampleBytes)
    png_error(png, "PNG data too short for its size");
  if (!out.allocate(static_cast<int>(w), static_cast<int>(h))) png_error(png, "bad PNG size");
  rows.pointers.resize(h);
  for (png_uint_32 y = 0; y < h; ++y)
    rows.pointers[y] = reinterpret_cast<png_bytep>(&out.pixels[static_cast<size_t>(y) * w]);
  png_read_image(png, rows.pointers.data());
  png_read_end(png, nullptr);
  return true;
}

struct WriteState {
  std::vector<std::uint8_t>* bytes;
};

void writeData(png_structp png, png_bytep data, png_size_t length) {
  auto* st = static_cast<WriteState*>(png_get_io_ptr(png));
  st->bytes->insert(st->bytes->end(), data, data + length);
}
void flushData(png_structp) {}

bool encodeCore(png_structp png, png_infop info, const Image& image, Rows& rows, WriteState& st,
                std::vector<std::uint8_t>& packed) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &st, writeData, flushData);
  const bool alpha = image.hasAlpha;
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t bpp = alpha ? 4 : 3;
  const size_t stride = static_cast<size_t>(image.width) * bpp;
  packed.resize(stride * image.height);
  rows.pointers.resize(static_cast<size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    std::uint8_t* row = &packed[stride * y];
    for (int x = 0; x < image.width; ++x) {
      std::uint32_t px = image.at(x, y);
      row[bpp * x] = static_cast<std::uint8_t>(px >> 16);
      row[bpp * x + 1] = static_cast<std::uint8_t>(px >> 8);
      row[bpp * x + 2] = static_cast<std::uint8_t>(px);
      if (alpha) row[bpp * x + 3] = static_cast<std::uint8_t>(px >> 24);
    }
    rows.pointers[static_cast<size_t>(y)] = row;
  }
  png_write_image(png, rows.pointers.data());
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool decodePng(const std::uint8_t* data, size_t size, Image& out, std::string* error) {
  if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) {
    if (error) *error = "not a PNG file";
    return false;
  }
  ReadState st{data, size, 0, {0}};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &st, onError, onWarning);
  if (!png) {
    if (error) *error = "out of memory";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  Rows rows;
  bool ok = info && decodeCore(png, info, out, rows, st);
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  if (!ok) {
    if (error) *error = st.message[0] ? st.message : "bad PNG file";
    out = Image();
  }
  return ok;
}

std::vector<std::uint8_t> encodePng(const Image& image) {
  std::vector<std::uint8_t> bytes;
  if (!imageSizeOk(image.width, image.height) || image.pixels.size() != static_cast<size_t>(image.width) * image.height)
    return bytes;
  ReadState errors{nullptr, 0, 0, {0}};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, onError, onWarning);
  if (!png) return bytes;
  png_infop info = png_create_info_struct(png);
  WriteState st{&bytes};
  Rows rows;
  std::vector<std::uint8_t> packed;
  bool ok = info && encodeCore(png, info, image, rows, st, packed);
  png_destroy_write_struct(&png, info ? &info : nullptr);
  if (!ok) bytes.clear();
  return bytes;
}

}  // namespace qv::os::gdi
