// Writes a bitmap of the headless desktop to a PNG file of the host, as the
// example programs leave their pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/classlib/Graphics.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/Png.h"

namespace qvexamples {

inline bool savePicture(TBitmap& bitmap, const std::string& path) {
  qv::os::gdi::Image image;
  if (!image.allocate(bitmap.Width(), bitmap.Height())) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = bitmap.Width();
  info.bmiHeader.biHeight = -bitmap.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, bitmap.Handle(), 0, static_cast<UINT>(bitmap.Height()), image.pixels.data(), &info,
            DIB_RGB_COLORS);
  DeleteDC(dc);
  for (auto& px : image.pixels) px |= 0xFF000000u;
  image.bitDepth = 24;
  const std::vector<std::uint8_t> bytes = qv::os::gdi::encodePng(image);
  return !bytes.empty() && qv::os::gdi::writeHostFile(path, bytes);
}

}  // namespace qvexamples
