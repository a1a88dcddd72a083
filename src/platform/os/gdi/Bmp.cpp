#include "platform/os/gdi/Bmp.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace qv::os::gdi {

namespace {

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t u32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t s32(const std::uint8_t* p) { return static_cast<std::int32_t>(u32(p)); }

bool fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;

// A channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;
  explicit Channel(std::uint32_t m = 0) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    max = m >> shift;
  }
  std::uint32_t get(std::uint32_t px) const {
    if (!mask) return 0;
    std::uint32_t v = (px & mask) >> shift;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(v) * 255 + max / 2) / max);
  }
};

struct Header {
  std::uint32_t size = 0;
  long long width = 0, height = 0;
  int bitCount = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t colorsUsed = 0;
  std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool haveMasks = false;
  bool core = false;
};

}  // namespace

namespace {

bool decodeDibAt(const std::uint8_t* data, size_t size, Image& out, std::string* error, bool iconHeight,
                 size_t* bitsEnd, size_t bitsAt) {
  if (!data || size < 12) return fail(error, "truncated bitmap header");
  Header h;
  h.size = u32(data);
  if (h.size == 12) {
    h.core = true;
    h.width = u16(data + 4);
    h.height = static_cast<std::int16_t>(u16(data + 6));
    h.bitCount = u16(data + 10);
  } else if (h.size >= 16 && h.size <= 124) {
    if (size < h.size) return fail(error, "truncated bitmap header");
    // Fields past an OS/2 2.x header's end stay at their defaults.
    auto field = [&](size_t off) -> std::uint32_t { return off + 4 <= h.size ? u32(data + off) : 0; };
    h.width = s32(data + 4);
    h.height = s32(data + 8);
    h.bitCount = u16(data + 14);
    h.compression = field(16);
    h.colorsUsed = field(32);
    if (h.size == 64 && (h.compression == 3 || h.compression == 4))
      return fail(error, "OS/2 Huffman and RLE24 bitmaps are not supported");
    if (h.size >= 52) {
      for (int i = 0; i < 3; ++i) h.masks[i] = field(40 + 4 * i);
      if (h.size >= 56) h.masks[3] = field(52);
      h.haveMasks = h.compression == kBitfields || h.compression == kAlphaBitfields;
    }
  } else {
    return fail(error, "unknown bitmap header size");
  }

  size_t offset = h.size;
  if (!h.core && h.size == 40 && (h.compression == kBitfields || h.compression == kAlphaBitfields)) {
    int n = h.compression == kAlphaBitfields ? 4 : 3;
    if (size < offset + 4u * n) return fail(error, "truncated bit fields");
    for (int i = 0; i < n; ++i) h.masks[i] = u32(data + offset + 4 * i);
    offset += 4u * n;
    h.haveMasks = true;
  }

  if (iconHeight) h.height /= 2;
  const bool topDown = h.height < 0;
  const long long height = topDown ? -h.height : h.height;
  if (!imageSizeOk(h.width, height)) return fail(error, "bad bitmap size");
  switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return fail(error, "unsupported bit count");
  }
  switch (h.compression) {
    case kRgb:
      break;
    case kRle8:
      if (h.bitCount != 8 || topDown) return fail(error, "bad RLE8 bitmap");
      break;
    case kRle4:
      if (h.bitCount != 4 || topDown) return fail(error, "bad RLE4 bitmap");
      break;
    case kBitfields:
    case kAlphaBitfields:
      if (h.bitCount != 16 && h.bitCount != 32) return fail(error, "bit fields need 16 or 32 bits");
      break;
    default:
      return fail(error, "unsupported compression");
  }

  // Colour table.
  std::vector<std::uint32_t> palette;
  if (h.bitCount <= 8) {
    std::uint32_t count = h.colorsUsed ? h.colorsUsed : (1u << h.bitCount);
    if (count > (1u << h.bitCount)) count = 1u << h.bitCount;
    const size_t entry = h.core ? 3 : 4;
    // OS/2 files may hold a shorter table; the offset of the bits tells.
    if (h.core && bitsAt > offset && (bitsAt - offset) / entry < count)
      count = static_cast<std::uint32_t>((bitsAt - offset) / entry);
    if (size < offset + entry * count) return fail(error, "truncated colour table");
    palette.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint8_t* p = data + offset + entry * i;
      palette[i] = (static_cast<std::uint32_t>(p[2]) << 16) | (p[1] << 8) | p[0];
    }
    offset += entry * count;
  } else if (!h.core && h.size == 40 && h.colorsUsed && h.colorsUsed <= 256) {
    // Deep bitmaps may carry an optimisation palette; it is skipped.
    offset += 4u * h.colorsUsed;
  }
  if (bitsAt > offset) offset = bitsAt;
  {
    const int w = static_cast<int>(h.width), hh = static_cast<int>(height);
    const bool runLength = h.compression == kRle8 || h.compression == kRle4;
    const size_t stride = ((static_cast<size_t>(w) * h.bitCount + 31) / 32) * 4;
    const size_t need = stride * static_cast<size_t>(hh);
    if (!runLength && (offset > size || size - offset < need)) return fail(error, "truncated bitmap bits");
    // Below 32 bits an icon's AND mask, a bit a pixel, follows the colours
    // and is not optional. Run-length colours can claim the largest picture
    // in a few bytes; the room for its mask they cannot.
    if (iconHeight && h.bitCount < 32) {
      const size_t mask = ((static_cast<size_t>(w) + 31) / 32) * 4 * static_cast<size_t>(hh);
      if (offset > size || size - offset - (runLength ? 0 : need) < mask) return fail(error, "truncated icon mask");
    }
    if (!out.allocate(w, hh)) return fail(error, "bad bitmap size");
    out.bitDepth = h.bitCount;
    out.palette = palette;
    out.hasAlpha = false;
    auto paletteColour = [&](std::uint32_t index) -> std::uint32_t {
      return (index < palette.size() ? palette[index] : 0u) | 0xFF000000u;
    };

    if (runLength) {
      // Run-length bits: pixels never reached keep colour index 0.
      const bool four = h.compression == kRle4;
      std::fill(out.pixels.begin(), out.pixels.end(), paletteColour(0));
      size_t p = offset;
      int x = 0, y = 0;  // y counts rows from the bottom
      auto put = [&](std::uint32_t index) {
        if (x < w && y < hh) out.at(x, hh - 1 - y) = paletteColour(index);
        ++x;
      };
      while (true) {
        if (p + 2 > size) return fail(error, "truncated RLE bits");
        std::uint8_t n = data[p], c = data[p + 1];
        p += 2;
        if (n > 0) {
          for (int i = 0; i < n; ++i) put(four ? ((i & 1) ? (c & 0x0F) : (c >> 4)) : c);
        } else if (c == 0) {
          x = 0;
          ++y;
        } else if (c == 1) {
          break;
        } else if (c == 2) {
          if (p + 2 > size) return fail(error, "truncated RLE delta");
          x += data[p];
          y += data[p + 1];
          p += 2;
        } else {
          size_t bytes = four ? (c + 1u) / 2 : c;
          if (p + bytes > size) return fail(error, "truncated RLE run");
          for (int i = 0; i < c; ++i)
            put(four ? ((i & 1) ? (data[p + i / 2] & 0x0F) : (data[p + i / 2] >> 4)) : data[p + i]);
          p += (bytes + 1) & ~size_t{1};
        }
        if (y >= hh) break;
      }
      if (bitsEnd) *bitsEnd = p;
      return true;
    }

    if (bitsEnd) *bitsEnd = offset + need;

    Channel red, green, blue, alpha;
    if (h.bitCount == 16) {
      if (h.haveMasks) {
        red = Channel(h.masks[0]);
        green = Channel(h.masks[1]);
        blue = Channel(h.masks[2]);
        alpha = Channel(h.masks[3] & 0xFFFF);
      } else {
        red = Channel(0x7C00);
        green = Channel(0x03E0);
        blue = Channel(0x001F);
      }
    } else if (h.bitCount == 32 && h.haveMasks) {
      red = Channel(h.masks[0]);
      green = Channel(h.masks[1]);
      blue = Channel(h.masks[2]);
      alpha = Channel(h.masks[3]);
    }
    bool anyAlpha = false;
    for (int row = 0; row < hh; ++row) {
      const std::uint8_t* src = data + offset + stride * static_cast<size_t>(row);
      std::uint32_t* dst = &out.pixels[static_cast<size_t>(topDown ? row : hh - 1 - row) * w];
      for (int x = 0; x < w; ++x) {
        std::uint32_t px;
        switch (h.bitCount) {
          case 1:
            px = paletteColour((src[x >> 3] >> (7 - (x & 7))) & 1);
            break;
          case 4:
            px = paletteColour((x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4));
            break;
          case 8:
            px = paletteColour(src[x]);
            break;
          case 16: {
            std::uint32_t v = u16(src + 2 * x);
            px = (red.get(v) << 16) | (green.get(v) << 8) | blue.get(v) | ((alpha.mask ? alpha.get(v) : 255u) << 24);
            break;
          }
          case 24:
            px = 0xFF000000u | (static_cast<std::uint32_t>(src[3 * x + 2]) << 16) | (src[3 * x + 1] << 8) | src[3 * x];
            break;
          default: {
            std::uint32_t v = u32(src + 4 * x);
            if (h.haveMasks)
              px = (red.get(v) << 16) | (green.get(v) << 8) | blue.get(v) | ((alpha.mask ? alpha.get(v) : 255u) << 24);
            else
              px = v;  // the fourth byte kept as it is
            break;
          }
        }
        if ((px >> 24) != 0) anyAlpha = true;
        dst[x] = px;
      }
    }
    if (h.bitCount == 32 && !h.haveMasks) {
      // A plain 32-bit bitmap whose fourth bytes are all 0 is opaque; any other
      // value makes them an alpha channel.
      if (anyAlpha)
        out.hasAlpha = true;
      else
        for (auto& px : out.pixels) px |= 0xFF000000u;
    } else {
      out.hasAlpha = alpha.mask != 0;
    }
    return true;
  }
}

}  // namespace

bool decodeBmp(const std::uint8_t* data, size_t size, Image& out, std::string* error) {
  if (!data || size < 14 + 12) return fail(error, "truncated bitmap file");
  if (data[0] != 'B' || data[1] != 'M') return fail(error, "not a bitmap file");
  const std::uint32_t offBits = u32(data + 10);
  // The bits usually follow the colour table; bfOffBits may put them further
  // on. Writers that leave it 0 or point into the table are forgiven.
  const size_t bitsAt = offBits > 14 && offBits < size ? offBits - 14 : 0;
  return decodeDibAt(data + 14, size - 14, out, error, false, nullptr, bitsAt);
}

bool decodeDib(const std::uint8_t* data, size_t size, Image& out, std::string* error, bool iconHeight,
               size_t* bitsEnd) {
  return decodeDibAt(data, size, out, error, iconHeight, bitsEnd, 0);
}

std::vector<std::uint8_t> encodeBmp(const Image& image, int bitCount) {
  std::vector<std::uint8_t> bytes;
  if (!imageSizeOk(image.width, image.height) || image.pixels.size() != static_cast<size_t>(image.width) * image.height)
    return bytes;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return bytes;
  const bool indexed = bitCount <= 8;
  std::unordered_map<std::uint32_t, std::uint32_t> index;
  std::uint32_t colours = 0;
  if (indexed) {
    if (image.palette.empty() || image.palette.size() > (1u << bitCount)) return bytes;
    colours = static_cast<std::uint32_t>(image.palette.size());
    for (std::uint32_t i = 0; i < colours; ++i) index.emplace(image.palette[i] & 0xFFFFFF, i);
  }
  const size_t stride = ((static_cast<size_t>(image.width) * bitCount + 31) / 32) * 4;
  const size_t offBits = 14 + 40 + 4u * colours;
  const size_t total = offBits + stride * image.height;
  bytes.assign(total, 0);
  auto p16 = [&](size_t at, std::uint16_t v) {
    bytes[at] = v & 0xFF;
    bytes[at + 1] = v >> 8;
  };
  auto p32 = [&](size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  p32(2, static_cast<std::uint32_t>(total));
  p32(10, static_cast<std::uint32_t>(offBits));
  p32(14, 40);
  p32(18, static_cast<std::uint32_t>(image.width));
  p32(22, static_cast<std::uint32_t>(image.height));
  p16(26, 1);
  p16(28, static_cast<std::uint16_t>(bitCount));
  p32(34, static_cast<std::uint32_t>(stride * image.height));
  p32(38, 3780);  // 96 DPI in pixels per metre
  p32(42, 3780);
  p32(46, colours);
  for (std::uint32_t i = 0; i < colours; ++i) p32(54 + 4 * i, image.palette[i] & 0xFFFFFF);
  for (int row = 0; row < image.height; ++row) {
    std::uint8_t* dst = &bytes[offBits + stride * static_cast<size_t>(image.height - 1 - row)];
    for (int x = 0; x < image.width; ++x) {
      std::uint32_t px = image.at(x, row);
      if (indexed) {
        auto it = index.find(px & 0xFFFFFF);
        if (it == index.end()) return {};
        std::uint32_t i = it->second;
        if (bitCount == 8)
          dst[x] = static_cast<std::uint8_t>(i);
        else if (bitCount == 4)
          dst[x >> 1] |= static_cast<std::uint8_t>((x & 1) ? i : (i << 4));
        else
          dst[x >> 3] |= static_cast<std::uint8_t>(i << (7 - (x & 7)));
      } else if (bitCount == 24) {
        dst[3 * x] = px & 0xFF;
        dst[3 * x + 1] = (px >> 8) & 0xFF;
        dst[3 * x + 2] = (px >> 16) & 0xFF;
      } else {
        std::uint32_t v = image.hasAlpha ? px : (px & 0xFFFFFF);
        for (int i = 0; i < 4; ++i) dst[4 * x + i] = static_cast<std::uint8_t>(v >> (8 * i));
      }
    }
  }
  return bytes;
}

}  // namespace qv::os::gdi
