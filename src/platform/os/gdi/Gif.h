// GIF pictures through giflib: the first image of the file, placed on the
// file's logical screen, with its transparent colour as alpha 0 (the
// browser shows the first frame of an animation and does not animate it).
#pragma once

#include <cstdint>
#include <string>

#include "platform/os/gdi/Image.h"

namespace qv::os::gdi {

// A file cut short keeps the rows it has (the rest stays transparent), as a
// browser shows a picture that is still coming in.
bool decodeGif(const std::uint8_t* data, size_t size, Image& out, std::string* error = nullptr);

}  // namespace qv::os::gdi
