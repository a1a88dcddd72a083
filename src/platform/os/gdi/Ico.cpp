#include "platform/os/gdi/Ico.h"

#include <cstdlib>

#include "platform/os/gdi/Bmp.h"
#include "platform/os/gdi/Png.h"

namespace qv::os::gdi {

namespace {

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t u32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

}  // namespace

bool readIconDirectory(const std::uint8_t* data, size_t size, std::vector<IconEntry>& entries, bool* cursor,
                       std::string* error) {
  entries.clear();
  if (!data || size < 6) return fail(error, "truncated icon directory");
  const std::uint16_t type = u16(data + 2);
  if (u16(data) != 0 || (type != 1 && type != 2)) return fail(error, "not an icon file");
  const std::uint16_t count = u16(data + 4);
  if (count == 0) return fail(error, "icon file without images");
  if (size < 6 + 16u * count) return fail(error, "truncated icon directory");
  if (cursor) *cursor = type == 2;
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::uint8_t* e = data + 6 + 16 * i;
    IconEntry entry;
    entry.width = e[0] ? e[0] : 256;
    entry.height = e[1] ? e[1] : 256;
    if (type == 2) {
      entry.hotspotX = u16(e + 4);
      entry.hotspotY = u16(e + 6);
    } else {
      entry.bitCount = u16(e + 6);
    }
    entry.size = u32(e + 8);
    entry.offset = u32(e + 12);
    if (entry.offset > size || entry.size > size - entry.offset) return fail(error, "icon image outside the file");
    entries.push_back(entry);
  }
  return true;
}

bool decodeIconEntry(const std::uint8_t* data, size_t size, const IconEntry& entry, IconImage& out,
                     std::string* error) {
  if (!data || entry.offset > size || entry.size > size - entry.offset)
    return fail(error, "icon image outside the file");
  const std::uint8_t* p = data + entry.offset;
  const size_t n = entry.size;
  out.hotspotX = entry.hotspotX;
  out.hotspotY = entry.hotspotY;
  if (sniffImage(p, n) == ImageFormat::Png) {
    if (!decodePng(p, n, out.image, error)) return false;
    out.andMask.assign(out.image.pixels.size(), 0);
    for (size_t i = 0; i < out.image.pixels.size(); ++i) out.andMask[i] = (out.image.pixels[i] >> 24) == 0;
    out.image.hasAlpha = true;
    return true;
  }
  size_t bitsEnd = 0;
  if (!decodeDib(p, n, out.image, error, true, &bitsEnd)) return false;
  Image& img = out.image;
  const int w = img.width, h = img.height;
  out.andMask.assign(static_cast<size_t>(w) * h, 0);
  const size_t stride = ((static_cast<size_t>(w) + 31) / 32) * 4;
  const bool ownAlpha = img.hasAlpha && img.bitDepth == 32;
  // Some writers leave the mask out of 32-bit images, whose alpha suffices.
  const bool haveMask = bitsEnd <= n && n - bitsEnd >= stride * h;
  if (!haveMask && !ownAlpha) return fail(error, "truncated icon mask");
  if (haveMask) {
    // The mask's rows run bottom-up like the colour bitmap's.
    for (int row = 0; row < h; ++row) {
      const std::uint8_t* src = p + bitsEnd + stride * static_cast<size_t>(row);
      const int y = h - 1 - row;
      for (int x = 0; x < w; ++x) out.andMask[static_cast<size_t>(y) * w + x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
    }
  }
  if (!ownAlpha) {
    for (size_t i = 0; i < img.pixels.size(); ++i)
      img.pixels[i] = (img.pixels[i] & 0xFFFFFFu) | (out.andMask[i] ? 0u : 0xFF000000u);
  } else if (!haveMask) {
    for (size_t i = 0; i < img.pixels.size(); ++i) out.andMask[i] = (img.pixels[i] >> 24) == 0;
  }
  img.hasAlpha = true;
  return true;
}

bool decodeIcon(const std::uint8_t* data, size_t size, IconImage& out, int wantWidth, int wantHeight,
                std::string* error) {
  std::vector<IconEntry> entries;
  if (!readIconDirectory(data, size, entries, nullptr, error)) return false;
  int best = -1;
  long long bestScore = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const IconEntry& e = entries[i];
    long long distance = wantWidth > 0 || wantHeight > 0
                             ? std::abs(e.width - (wantWidth > 0 ? wantWidth : e.width)) +
                                   std::abs(e.height - (wantHeight > 0 ? wantHeight : e.height))
                             : -static_cast<long long>(e.width) * e.height;
    long long score = distance * 64 - e.bitCount;
    if (best < 0 || score < bestScore) {
      best = static_cast<int>(i);
      bestScore = score;
    }
  }
  return decodeIconEntry(data, size, entries[static_cast<size_t>(best)], out, error);
}

}  // namespace qv::os::gdi
