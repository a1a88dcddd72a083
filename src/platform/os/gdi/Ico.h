// Icon and cursor files: the directory of images, each a DIB whose header
// counts the colour (XOR) and mask (AND) bitmaps together, or a PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/gdi/Image.h"

namespace qv::os::gdi {

struct IconEntry {
  int width = 0;  // from the directory (0 there means 256)
  int height = 0;
  int bitCount = 0;  // as the directory states it (may be 0)
  int hotspotX = 0;  // cursors only
  int hotspotY = 0;
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
};

struct IconImage {
  Image image;  // alpha: the image's own for 32-bit images and PNGs, else the AND mask's
  // One byte per pixel, top-down: 1 where the AND mask is set (transparent
  // or inverting), 0 elsewhere. PNG images derive it from their alpha.
  std::vector<std::uint8_t> andMask;
  int hotspotX = 0;
  int hotspotY = 0;
};

// Reads the directory; `cursor` tells an icon (type 1) from a cursor (2).
bool readIconDirectory(const std::uint8_t* data, size_t size, std::vector<IconEntry>& entries, bool* cursor,
                       std::string* error = nullptr);
bool decodeIconEntry(const std::uint8_t* data, size_t size, const IconEntry& entry, IconImage& out,
                     std::string* error = nullptr);
// The entry closest to the wanted size (0: the largest), the deepest among
// equals, decoded.
bool decodeIcon(const std::uint8_t* data, size_t size, IconImage& out, int wantWidth = 0, int wantHeight = 0,
                std::string* error = nullptr);

}  // namespace qv::os::gdi
