// The bitmap file format: BITMAPFILEHEADER followed by a device-independent
// bitmap with a BITMAPCOREHEADER (OS/2), BITMAPINFOHEADER, its OS/2 2.x
// extension, or a BITMAPV4/V5HEADER; 1, 4 and 8 bits with palettes (also
// run-length encoded), 16 and 32 bits with bit fields (555 by default for
// 16), 24 and 32 bits; rows bottom-up or top-down.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/gdi/Image.h"

namespace qv::os::gdi {

// A whole .bmp file.
bool decodeBmp(const std::uint8_t* data, size_t size, Image& out, std::string* error = nullptr);

// A packed DIB: the header, its colour table and the bits straight after.
// `iconHeight` reads an icon's image: the header's height counts the XOR
// and AND bitmaps, and only the XOR half is decoded (below 32 bits the
// room for the AND mask is required too); `bitsEnd` gets the offset just
// past the decoded bits (where an icon's AND mask starts).
bool decodeDib(const std::uint8_t* data, size_t size, Image& out, std::string* error = nullptr, bool iconHeight = false,
               size_t* bitsEnd = nullptr);

// A .bmp file of the picture with 1, 4 or 8 bits (the picture's palette,
// which must hold every pixel's colour), 24 or 32 bits, rows bottom-up.
// Empty on failure.
std::vector<std::uint8_t> encodeBmp(const Image& image, int bitCount = 24);

}  // namespace qv::os::gdi
