#include "platform/os/gdi/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/os/gdi/Dc.h"

namespace qv::os::gdi {

namespace {

// Larger bitmaps than this (8192 x 8192) fail, as on the platform when
// memory runs out.
constexpr long long kMaxPixels = 1LL << 26;

bool sizeAllowed(int width, int height) {
  return width > 0 && height > 0 && static_cast<long long>(width) * height <= kMaxPixels;
}

// Bytes per row of a device bitmap: rows are padded to 16 bits.
int ddbStride(const Surface& s) { return s.mono ? ((s.width + 15) / 16) * 2 : s.width * 4; }

}  // namespace

std::shared_ptr<Surface> makeSurface(int width, int height, bool mono) {
  auto s = std::make_shared<Surface>();
  s->width = width;
  s->height = height;
  s->mono = mono;
  const size_t pixels = static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0));
  s->own.reset(static_cast<std::uint32_t*>(std::calloc(pixels ? pixels : 1, sizeof(std::uint32_t))));
  if (!s->own) throw std::bad_alloc();
  s->bits = s->own.get();
  s->stride = width;
  return s;
}

Bitmap* bitmapOf(HBITMAP h) { return lookupAs<Bitmap>(h, OBJ_BITMAP); }

Surface* surfaceOf(HBITMAP h) {
  Bitmap* b = bitmapOf(h);
  return b != nullptr ? b->surface.get() : nullptr;
}

HBITMAP createBitmapFromPixels(int width, int height, const std::uint32_t* pixels, int stride) {
  if (!sizeAllowed(width, height)) return nullptr;
  auto s = makeSurface(width, height);
  if (pixels != nullptr) {
    if (stride == 0) stride = width;
    for (int y = 0; y < height; ++y)
      std::memcpy(s->row(y), pixels + static_cast<std::ptrdiff_t>(y) * stride, static_cast<size_t>(width) * 4);
  }
  return addObjectAs<HBITMAP>(std::make_unique<Bitmap>(s));
}

HBITMAP createMonoBitmapFromMask(int width, int height, const std::uint8_t* mask, int stride) {
  if (!sizeAllowed(width, height)) return nullptr;
  auto s = makeSurface(width, height, true);
  if (mask != nullptr) {
    if (stride == 0) stride = width;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        s->row(y)[x] = mask[static_cast<std::ptrdiff_t>(y) * stride + x] != 0 ? 0xFFFFFFu : 0u;
  }
  auto b = std::make_unique<Bitmap>(s);
  b->bitsPerPixel = 1;
  return addObjectAs<HBITMAP>(std::move(b));
}

HBITMAP stockBitmap() {
  static HBITMAP stock = [] {
    HBITMAP h = createMonoBitmapFromMask(1, 1, nullptr);
    markStock(h);
    return h;
  }();
  return stock;
}

}  // namespace qv::os::gdi

using namespace qv::os::gdi;

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (width < 0 || height < 0 || planes != 1) return nullptr;
  if (width == 0 || height == 0) return stockBitmap();
  if (bitsPerPixel != 1 && bitsPerPixel != 32) return nullptr;
  HBITMAP h = bitsPerPixel == 1 ? createMonoBitmapFromMask(width, height, nullptr)
                                : createBitmapFromPixels(width, height, nullptr);
  if (h != nullptr && bits != nullptr) {
    Surface& s = *surfaceOf(h);
    SetBitmapBits(h, static_cast<DWORD>(ddbStride(s) * height), bits);
  }
  return h;
}

HBITMAP CreateBitmapIndirect(const BITMAP* bm) {
  if (bm == nullptr) return nullptr;
  return CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || width < 0 || height < 0) return nullptr;
  if (width == 0 || height == 0) return stockBitmap();
  // A memory DC is as deep as the bitmap in it: with the stock bitmap that
  // is monochrome, which catches everyone once.
  bool mono = dc->memory && dc->surface && dc->surface->mono;
  return mono ? createMonoBitmapFromMask(width, height, nullptr) : createBitmapFromPixels(width, height, nullptr);
}

LONG GetBitmapBits(HBITMAP bmp, LONG size, LPVOID bits) {
  Surface* s = surfaceOf(bmp);
  if (s == nullptr || size < 0) return 0;
  SurfaceUse use(s, false);
  int stride = ddbStride(*s);
  if (bits == nullptr) return stride * s->height;
  auto* out = static_cast<std::uint8_t*>(bits);
  int rows = std::min(s->height, static_cast<int>(size / stride));
  for (int y = 0; y < rows; ++y) {
    std::uint8_t* o = out + static_cast<std::ptrdiff_t>(y) * stride;
    const std::uint32_t* row = s->row(y);
    if (s->mono) {
      std::memset(o, 0, static_cast<size_t>(stride));
      for (int x = 0; x < s->width; ++x)
        if (row[x] & 0xFFFFFFu) o[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    } else {
      std::memcpy(o, row, static_cast<size_t>(stride));
    }
  }
  return rows * stride;
}

LONG SetBitmapBits(HBITMAP bmp, DWORD size, const void* bits) {
  Surface* s = surfaceOf(bmp);
  if (s == nullptr || bits == nullptr) return 0;
  if (Bitmap* b = bitmapOf(bmp); b->isStock()) return 0;
  SurfaceUse use(s);
  int stride = ddbStride(*s);
  const auto* in = static_cast<const std::uint8_t*>(bits);
  int rows = std::min(s->height, static_cast<int>(size / static_cast<DWORD>(stride)));
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* i = in + static_cast<std::ptrdiff_t>(y) * stride;
    std::uint32_t* row = s->row(y);
    if (s->mono) {
      for (int x = 0; x < s->width; ++x) row[x] = (i[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFu : 0u;
    } else {
      std::memcpy(row, i, static_cast<size_t>(stride));
    }
  }
  return rows * stride;
}

BOOL GetBitmapDimensionEx(HBITMAP bmp, LPSIZE size) {
  Bitmap* b = bitmapOf(bmp);
  if (b == nullptr || size == nullptr) return FALSE;
  *size = b->dimension;
  return TRUE;
}
