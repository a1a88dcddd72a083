// PNG pictures through libpng: every colour type and depth read into 32-bit
// pixels (palettes, grey, transparency, 16-bit channels, interlacing), and
// written as 8-bit RGB or RGBA (screenshots, GDI+ images).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/gdi/Image.h"

namespace qv::os::gdi {

bool decodePng(const std::uint8_t* data, size_t size, Image& out, std::string* error = nullptr);
// RGBA when the picture has alpha, else RGB. Empty on failure.
std::vector<std::uint8_t> encodePng(const Image& image);

}  // namespace qv::os::gdi
