// Decoded pictures and the readers and writers of picture files. Every
// reader takes outside bytes: bad input gives false and a reason, never a
// crash, and sizes are checked before anything is allocated.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/Types.h"

// LoadImage types and flags.
#define IMAGE_BITMAP 0u
#define IMAGE_ICON 1u
#define IMAGE_CURSOR 2u
#define IMAGE_ENHMETAFILE 3u
#define LR_DEFAULTCOLOR 0x00000000u
#define LR_MONOCHROME 0x00000001u
#define LR_COLOR 0x00000002u
#define LR_COPYRETURNORG 0x00000004u
#define LR_COPYDELETEORG 0x00000008u
#define LR_LOADFROMFILE 0x00000010u
#define LR_LOADTRANSPARENT 0x00000020u
#define LR_DEFAULTSIZE 0x00000040u
#define LR_VGACOLOR 0x00000080u
#define LR_LOADMAP3DCOLORS 0x00001000u
#define LR_CREATEDIBSECTION 0x00002000u
#define LR_COPYFROMRESOURCE 0x00004000u
#define LR_SHARED 0x00008000u

// Loads a bitmap file (IMAGE_BITMAP with LR_LOADFROMFILE; the name in the
// platform's form or a host path) as a 32-bit bitmap, a bottom-up DIB
// section with LR_CREATEDIBSECTION. NULL with the last
// error set when the file is missing (ERROR_FILE_NOT_FOUND) or not a
// bitmap (ERROR_BAD_FORMAT); other types and resource loading are not
// handled here (ERROR_NOT_SUPPORTED).
HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);

namespace qv::os::gdi {

// The largest picture a reader accepts: 16384 pixels a side and 64 million
// pixels (256 MB of pixels) at most.
constexpr int kMaxImageSide = 16384;
constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;
bool imageSizeOk(long long width, long long height);
// Lowers the pixels a picture may have for the rest of the process (never
// above kMaxImagePixels). A run-length bitmap or a PNG may validly describe
// the largest picture in a few bytes, and each of its pixels then costs its
// share; the picture fuzz target lowers the limit so that its time goes to
// the readers' paths, not to filling pixels.
void limitImagePixels(long long pixels);

struct Image {
  int width = 0;
  int height = 0;
  // Top-down pixels 0xAARRGGBB (in memory blue, green, red, alpha, as a
  // 32-bit DIB). Pictures without transparency are opaque (alpha 255).
  std::vector<std::uint32_t> pixels;
  int bitDepth = 0;                    // bits per pixel of the source
  std::vector<std::uint32_t> palette;  // the source's palette, 0x00RRGGBB
  bool hasAlpha = false;               // the alpha bytes mean something

  std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  std::uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  // Sets the size (checked) with zeroed pixels.
  bool allocate(int w, int h);
};

enum class ImageFormat { Unknown, Bmp, Ico, Cur, Jpeg, Png, Gif };

// The format by the file's first bytes.
ImageFormat sniffImage(const std::uint8_t* data, size_t size);
// Decodes any of the formats (an icon file gives its largest, deepest image).
bool decodeImage(const std::uint8_t* data, size_t size, Image& out, std::string* error = nullptr);
bool loadImageFile(const std::string& hostPath, Image& out, std::string* error = nullptr);
bool readHostFile(const std::string& hostPath, std::vector<std::uint8_t>& bytes, size_t limit = 512u << 20);
bool writeHostFile(const std::string& hostPath, const std::vector<std::uint8_t>& bytes);

// A 32-bit bitmap of the picture. Without meaningful alpha the alpha bytes
// are 0, as GDI's own drawing leaves them.
HBITMAP createBitmapFromImage(const Image& image);
// A 32-bit bottom-up DIB section of the picture, alpha as above.
HBITMAP createSectionFromImage(const Image& image);
// The pixels of a bitmap, read back top-down; false for a bad handle.
bool imageFromBitmap(HBITMAP bitmap, Image& out);

}  // namespace qv::os::gdi
