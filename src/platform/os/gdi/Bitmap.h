// Bitmaps and their pixel surfaces. Every surface holds 32-bit pixels
// 0xAARRGGBB (blue first in memory, as a 32-bit DIB); a monochrome bitmap is a
// surface whose pixels are only black 0x000000 and white 0xFFFFFF, which keeps
// one fast code path for all drawing. Device-independent sections whose bits
// are not in that layout (8 and 24 bits) keep a 32-bit shadow that is pulled
// from and pushed back to the caller's bits around each drawing call.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "platform/os/Types.h"
#include "platform/os/gdi/GdiObject.h"

struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
};
using PBITMAP = BITMAP*;
using LPBITMAP = BITMAP*;

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateBitmapIndirect(const BITMAP* bm);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
LONG GetBitmapBits(HBITMAP bmp, LONG size, LPVOID bits);
LONG SetBitmapBits(HBITMAP bmp, DWORD size, const void* bits);
BOOL GetBitmapDimensionEx(HBITMAP bmp, LPSIZE size);

namespace qv::os::gdi {

// Colour conversions between COLORREF (0x00BBGGRR) and pixels (0x00RRGGBB).
constexpr std::uint32_t pixelOf(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF colorOf(std::uint32_t p) {
  return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}
// Nearest of black and white, as a colour is drawn on a monochrome surface.
constexpr std::uint32_t monoPixelOf(COLORREF c) {
  return (GetRValue(c) + GetGValue(c) + GetBValue(c)) >= 384 ? 0xFFFFFFu : 0u;
}

struct Surface {
  int width = 0;
  int height = 0;
  bool mono = false;
  std::uint32_t* bits = nullptr;  // row 0 (the top row)
  std::ptrdiff_t stride = 0;      // in pixels; negative for bottom-up memory
  // Storage when the surface owns its pixels. Zeroed by calloc, so a large
  // surface takes memory only where it is drawn on.
  struct Free {
    void operator()(std::uint32_t* p) const { std::free(p); }
  };
  std::unique_ptr<std::uint32_t[], Free> own;
  // For shadowed sections: caller's bits -> pixels, and back.
  std::function<void()> pull;
  std::function<void()> push;

  std::uint32_t* row(int y) const { return bits + y * stride; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Brackets work on a surface so that shadowed sections stay in step with
// their caller's bits: pulls on entry, and pushes on exit when writing.
class SurfaceUse {
 public:
  explicit SurfaceUse(Surface* s, bool write = true) : s_(s), write_(write) {
    if (s_ != nullptr && s_->pull) s_->pull();
  }
  ~SurfaceUse() {
    if (s_ != nullptr && write_ && s_->push) s_->push();
  }
  SurfaceUse(const SurfaceUse&) = delete;
  SurfaceUse& operator=(const SurfaceUse&) = delete;

 private:
  Surface* s_;
  bool write_;
};

// A surface with its own zeroed pixels (black, alpha 0).
std::shared_ptr<Surface> makeSurface(int width, int height, bool mono = false);

class Bitmap : public GdiObject {
 public:
  explicit Bitmap(std::shared_ptr<Surface> s) : GdiObject(OBJ_BITMAP), surface(std::move(s)) {}
  int getObject(int size, void* out) const override;

  std::shared_ptr<Surface> surface;
  int bitsPerPixel = 32;  // as GetObject reports it: 1 or 32, or the section's depth
  SIZE dimension{0, 0};   // SetBitmapDimensionEx
  // Device-independent section data, filled by CreateDIBSection.
  struct Section;
  std::shared_ptr<Section> section;
};

Bitmap* bitmapOf(HBITMAP h);
// The surface a bitmap draws into, or nullptr.
Surface* surfaceOf(HBITMAP h);

// A 32-bit bitmap from top-down pixels 0xAARRGGBB, `stride` in pixels
// (0: width). Image decoders make their HBITMAPs this way; alpha is kept.
HBITMAP createBitmapFromPixels(int width, int height, const std::uint32_t* pixels, int stride = 0);
// A monochrome bitmap from one byte per pixel (0 black, non-zero white).
HBITMAP createMonoBitmapFromMask(int width, int height, const std::uint8_t* mask, int stride = 0);

// The 1 x 1 monochrome stock bitmap that new memory DCs hold.
HBITMAP stockBitmap();

}  // namespace qv::os::gdi
