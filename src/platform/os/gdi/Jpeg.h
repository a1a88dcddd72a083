// JPEG pictures through libjpeg (API 62): baseline and progressive, grey,
// RGB and (Adobe) CMYK read into 32-bit pixels; written as RGB or grey. A
// corrupt or truncated file is an error, never an exit of the process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/gdi/Image.h"

namespace qv::os::gdi {

bool decodeJpeg(const std::uint8_t* data, size_t size, Image& out, std::string* error = nullptr);
// quality 1..100; `grey` writes one channel (the pixels' luminance).
std::vector<std::uint8_t> encodeJpeg(const Image& image, int quality = 90, bool grey = false);

}  // namespace qv::os::gdi
