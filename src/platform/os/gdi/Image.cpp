#include "platform/os/gdi/Image.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Bmp.h"
#include "platform/os/gdi/Dib.h"
#include "platform/os/gdi/Gif.h"
#include "platform/os/gdi/Ico.h"
#include "platform/os/gdi/Icon.h"
#include "platform/os/gdi/Jpeg.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/gdi/PredefinedBitmaps.h"
#include "platform/os/kernel/Paths.h"

namespace qv::os::gdi {

namespace {
std::atomic<long long> pixelLimit{kMaxImagePixels};
}  // namespace

bool imageSizeOk(long long width, long long height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= pixelLimit.load(std::memory_order_relaxed);
}

void limitImagePixels(long long pixels) {
  pixelLimit.store(std::clamp(pixels, 1LL, kMaxImagePixels), std::memory_order_relaxed);
}

bool Image::allocate(int w, int h) {
  if (!imageSizeOk(w, h)) return false;
  width = w;
  height = h;
  pixels.assign(static_cast<size_t>(w) * h, 0);
  return true;
}

ImageFormat sniffImage(const std::uint8_t* data, size_t size) {
  if (!data) return ImageFormat::Unknown;
  if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1A\n", 8) == 0) return ImageFormat::Png;
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return ImageFormat::Jpeg;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return ImageFormat::Bmp;
  if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0)) return ImageFormat::Gif;
  if (size >= 6 && data[0] == 0 && data[1] == 0 && data[3] == 0 && (data[2] == 1 || data[2] == 2) &&
      (data[4] | data[5]) != 0)
    return data[2] == 1 ? ImageFormat::Ico : ImageFormat::Cur;
  return ImageFormat::Unknown;
}

bool decodeImage(const std::uint8_t* data, size_t size, Image& out, std::string* error) {
  switch (sniffImage(data, size)) {
    case ImageFormat::Bmp:
      return decodeBmp(data, size, out, error);
    case ImageFormat::Png:
      return decodePng(data, size, out, error);
    case ImageFormat::Jpeg:
      return decodeJpeg(data, size, out, error);
    case ImageFormat::Gif:
      return decodeGif(data, size, out, error);
    case ImageFormat::Ico:
    case ImageFormat::Cur: {
      IconImage icon;
      if (!decodeIcon(data, size, icon, 0, 0, error)) return false;
      out = std::move(icon.image);
      return true;
    }
    default:
      if (error) *error = "unknown picture format";
      return false;
  }
}

bool readHostFile(const std::string& hostPath, std::vector<std::uint8_t>& bytes, size_t limit) {
  bytes.clear();
  std::FILE* f = std::fopen(hostPath.c_str(), "rb");
  if (!f) return false;
  std::uint8_t buf[65536];
  bool ok = true;
  while (true) {
    size_t n = std::fread(buf, 1, sizeof buf, f);
    if (n == 0) {
      ok = !std::ferror(f);
      break;
    }
    if (bytes.size() + n > limit) {
      ok = false;
      break;
    }
    bytes.insert(bytes.end(), buf, buf + n);
  }
  std::fclose(f);
  return ok;
}

bool writeHostFile(const std::string& hostPath, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(hostPath.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

bool loadImageFile(const std::string& hostPath, Image& out, std::string* error) {
  std::vector<std::uint8_t> bytes;
  if (!readHostFile(hostPath, bytes)) {
    if (error) *error = "cannot read the file";
    return false;
  }
  return decodeImage(bytes.data(), bytes.size(), out, error);
}

HBITMAP createBitmapFromImage(const Image& image) {
  if (!imageSizeOk(image.width, image.height) || image.pixels.size() != static_cast<size_t>(image.width) * image.height)
    return nullptr;
  if (image.hasAlpha) return createBitmapFromPixels(image.width, image.height, image.pixels.data());
  std::vector<std::uint32_t> pixels(image.pixels);
  for (auto& p : pixels) p &= 0x00FFFFFFu;
  return createBitmapFromPixels(image.width, image.height, pixels.data());
}

HBITMAP createSectionFromImage(const Image& image) {
  if (!imageSizeOk(image.width, image.height) || image.pixels.size() != static_cast<size_t>(image.width) * image.height)
    return nullptr;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = image.width;
  bmi.bmiHeader.biHeight = image.height;  // bottom-up, as a loaded file's section
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp || !bits) return bmp;
  auto* rows = static_cast<std::uint32_t*>(bits);
  const std::uint32_t keep = image.hasAlpha ? 0xFFFFFFFFu : 0x00FFFFFFu;
  for (int y = 0; y < image.height; ++y) {
    std::uint32_t* dst = rows + static_cast<size_t>(image.height - 1 - y) * image.width;
    const std::uint32_t* src = &image.pixels[static_cast<size_t>(y) * image.width];
    for (int x = 0; x < image.width; ++x) dst[x] = src[x] & keep;
  }
  return bmp;
}

bool imageFromBitmap(HBITMAP bitmap, Image& out) {
  Surface* s = surfaceOf(bitmap);
  if (!s || !out.allocate(s->width, s->height)) return false;
  if (s->pull) s->pull();
  for (int y = 0; y < s->height; ++y)
    std::memcpy(&out.pixels[static_cast<size_t>(y) * s->width], s->row(y), sizeof(std::uint32_t) * s->width);
  out.bitDepth = s->mono ? 1 : 32;
  out.palette.clear();
  out.hasAlpha = false;
  for (auto p : out.pixels)
    if (p >> 24) {
      out.hasAlpha = true;
      break;
    }
  return true;
}

}  // namespace qv::os::gdi

HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
  if (type == IMAGE_ICON || type == IMAGE_CURSOR)
    return qv::os::gdi::loadIconImage(instance, name, type, width, height, flags);
  if (type == IMAGE_BITMAP && !(flags & LR_LOADFROMFILE))
    return qv::os::gdi::loadBitmapResource(instance, name, flags);
  if (!(flags & LR_LOADFROMFILE) || instance != nullptr || type != IMAGE_BITMAP || IS_INTRESOURCE(name)) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto host = qv::os::toHostPath(name);
  std::vector<std::uint8_t> bytes;
  if (!host || !qv::os::gdi::readHostFile(*host, bytes)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  qv::os::gdi::Image image;
  if (!qv::os::gdi::decodeBmp(bytes.data(), bytes.size(), image)) {
    SetLastError(ERROR_BAD_FORMAT);
    return nullptr;
  }
  HBITMAP bmp = (flags & LR_CREATEDIBSECTION) ? qv::os::gdi::createSectionFromImage(image)
                                              : qv::os::gdi::createBitmapFromImage(image);
  if (!bmp) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return bmp;
}
