#include "platform/os/gdi/Dib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/os/gdi/Blit.h"
#include "platform/os/gdi/Dc.h"

namespace qv::os::gdi {

namespace {

constexpr std::uint32_t kRgb = 0x00FFFFFFu;
constexpr long long kMaxPixels = 1LL << 26;

// A parsed BITMAPINFO: how its rows read and write.
struct Format {
  int width = 0;
  int height = 0;  // rows, positive
  bool topDown = false;
  int bitCount = 0;
  DWORD compression = BI_RGB;
  int stride = 0;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  DWORD masks[3] = {0, 0, 0};

  // Row `y` counted from the top of the picture.
  std::ptrdiff_t rowOffset(int y) const {
    return static_cast<std::ptrdiff_t>(topDown ? y : height - 1 - y) * stride;
  }
};

int shiftOf(DWORD mask) {
  if (mask == 0) return 0;
  int s = 0;
  while (!(mask & 1)) {
    mask >>= 1;
    ++s;
  }
  return s;
}

// Scales a masked channel to 8 bits.
std::uint32_t channel(DWORD value, DWORD mask) {
  if (mask == 0) return 0;
  int s = shiftOf(mask);
  DWORD m = mask >> s, v = (value & mask) >> s;
  return m == 0xFF ? v : static_cast<std::uint32_t>((v * 255 + m / 2) / m);
}

bool parse(const BITMAPINFO* bmi, UINT usage, Format& f, bool needPalette = true) {
  if (bmi == nullptr || usage != DIB_RGB_COLORS) return false;
  const BITMAPINFOHEADER& h = bmi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1) return false;
  f.width = h.biWidth;
  f.topDown = h.biHeight < 0;
  f.height = f.topDown ? -h.biHeight : h.biHeight;
  if (static_cast<long long>(f.width) * f.height > kMaxPixels) return false;
  f.bitCount = h.biBitCount;
  f.compression = h.biCompression;
  switch (f.bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
      if (f.compression != BI_RGB) return false;
      break;
    case 16:
    case 32:
      if (f.compression != BI_RGB && f.compression != BI_BITFIELDS) return false;
      break;
    default: return false;
  }
  f.stride = dibStride(f.width, f.bitCount);
  const auto* colours = reinterpret_cast<const std::uint8_t*>(bmi) + h.biSize;
  if (f.compression == BI_BITFIELDS) {
    std::memcpy(f.masks, colours, sizeof f.masks);
  } else if (f.bitCount == 16) {
    f.masks[0] = 0x7C00, f.masks[1] = 0x03E0, f.masks[2] = 0x001F;
  } else if (f.bitCount == 32) {
    f.masks[0] = 0xFF0000, f.masks[1] = 0xFF00, f.masks[2] = 0xFF;
  }
  if (f.bitCount <= 8 && needPalette) {
    size_t n = h.biClrUsed != 0 ? std::min<size_t>(h.biClrUsed, size_t{1} << f.bitCount) : size_t{1} << f.bitCount;
    const auto* q = reinterpret_cast<const RGBQUAD*>(colours);
    for (size_t i = 0; i < n; ++i) f.palette.push_back((q[i].rgbRed << 16) | (q[i].rgbGreen << 8) | q[i].rgbBlue);
    f.palette.resize(size_t{1} << f.bitCount, 0u);
  }
  return true;
}

bool standardMasks(const Format& f) {
  return f.masks[0] == 0xFF0000 && f.masks[1] == 0xFF00 && f.masks[2] == 0xFF;
}

// One row of DIB bits to pixels.
void readRow(const Format& f, const std::uint8_t* in, std::uint32_t* out, int count) {
  for (int x = 0; x < count; ++x) {
    switch (f.bitCount) {
      case 1: out[x] = f.palette[(in[x >> 3] >> (7 - (x & 7))) & 1]; break;
      case 4: out[x] = f.palette[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
      case 8: out[x] = f.palette[in[x]]; break;
      case 16: {
        DWORD v = in[2 * x] | (in[2 * x + 1] << 8);
        out[x] = (channel(v, f.masks[0]) << 16) | (channel(v, f.masks[1]) << 8) | channel(v, f.masks[2]);
        break;
      }
      case 24: out[x] = (in[3 * x + 2] << 16) | (in[3 * x + 1] << 8) | in[3 * x]; break;
      default: {
        DWORD v;
        std::memcpy(&v, in + 4 * x, 4);
        // Plain 32-bit rows keep their alpha byte.
        out[x] = standardMasks(f) ? v
                                  : (channel(v, f.masks[0]) << 16) | (channel(v, f.masks[1]) << 8) | channel(v, f.masks[2]);
      }
    }
  }
}

int nearestIndex(const std::vector<std::uint32_t>& palette, std::uint32_t p,
                 std::unordered_map<std::uint32_t, int>& cache) {
  p &= kRgb;
  auto it = cache.find(p);
  if (it != cache.end()) return it->second;
  int best = 0;
  long best_d = -1;
  for (size_t i = 0; i < palette.size(); ++i) {
    long dr = long((palette[i] >> 16) & 0xFF) - long((p >> 16) & 0xFF);
    long dg = long((palette[i] >> 8) & 0xFF) - long((p >> 8) & 0xFF);
    long db = long(palette[i] & 0xFF) - long(p & 0xFF);
    long d = dr * dr + dg * dg + db * db;
    if (best_d < 0 || d < best_d) {
      best_d = d;
      best = static_cast<int>(i);
    }
  }
  cache.emplace(p, best);
  return best;
}

// One row of pixels to DIB bits.
void writeRow(const Format& f, const std::uint32_t* in, std::uint8_t* out, int count,
              std::unordered_map<std::uint32_t, int>& cache) {
  std::memset(out, 0, static_cast<size_t>(f.stride));
  for (int x = 0; x < count; ++x) {
    std::uint32_t p = in[x];
    switch (f.bitCount) {
      case 1:
        if (nearestIndex(f.palette, p, cache)) out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
        break;
      case 4: out[x >> 1] |= static_cast<std::uint8_t>(nearestIndex(f.palette, p, cache) << ((x & 1) ? 0 : 4)); break;
      case 8: out[x] = static_cast<std::uint8_t>(nearestIndex(f.palette, p, cache)); break;
      case 16: {
        auto put = [&](std::uint32_t v8, DWORD mask) {
          int s = shiftOf(mask);
          DWORD m = mask >> s;
          return static_cast<DWORD>(((v8 * m + 127) / 255) << s);
        };
        DWORD v = put((p >> 16) & 0xFF, f.masks[0]) | put((p >> 8) & 0xFF, f.masks[1]) | put(p & 0xFF, f.masks[2]);
        out[2 * x] = static_cast<std::uint8_t>(v);
        out[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        break;
      }
      case 24:
        out[3 * x] = static_cast<std::uint8_t>(p);
        out[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
        out[3 * x + 2] = static_cast<std::uint8_t>(p >> 16);
        break;
      default: std::memcpy(out + 4 * x, &p, 4); break;
    }
  }
}

// The colour tables GetDIBits hands out for the palette depths.
std::vector<std::uint32_t> standardPalette(int bitCount) {
  if (bitCount == 1) return {0x000000, 0xFFFFFF};
  if (bitCount == 4)
    return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
            0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  // A 6 x 6 x 6 colour cube, then greys.
  std::vector<std::uint32_t> p;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) p.push_back(std::uint32_t(r * 51) << 16 | std::uint32_t(g * 51) << 8 | std::uint32_t(b * 51));
  for (int i = 0; p.size() < 256; ++i) {
    std::uint32_t v = static_cast<std::uint32_t>(8 + i * 6);
    p.push_back(v << 16 | v << 8 | v);
  }
  return p;
}

void putPalette(LPBITMAPINFO bmi, const std::vector<std::uint32_t>& palette) {
  auto* q = reinterpret_cast<RGBQUAD*>(reinterpret_cast<std::uint8_t*>(bmi) + bmi->bmiHeader.biSize);
  for (size_t i = 0; i < palette.size(); ++i)
    q[i] = {static_cast<BYTE>(palette[i]), static_cast<BYTE>(palette[i] >> 8), static_cast<BYTE>(palette[i] >> 16), 0};
}

}  // namespace

struct Bitmap::Section {
  Format format;
  BITMAPINFOHEADER header{};
  std::vector<std::uint32_t> memory;  // the caller's bits, 32-bit aligned
  std::uint8_t* bits() { return reinterpret_cast<std::uint8_t*>(memory.data()); }
};

int Bitmap::getObject(int size, void* out) const {
  const Surface& s = *surface;
  BITMAP bm{0, s.width, s.height, s.mono ? ((s.width + 15) / 16) * 2 : s.width * 4, 1,
            static_cast<WORD>(bitsPerPixel), nullptr};
  if (section) {
    bm.bmWidthBytes = section->format.stride;
    bm.bmBits = section->bits();
    if (out == nullptr) return sizeof(DIBSECTION);
    if (size >= static_cast<int>(sizeof(DIBSECTION))) {
      DIBSECTION ds{};
      ds.dsBm = bm;
      ds.dsBmih = section->header;
      if (section->format.compression == BI_BITFIELDS) std::memcpy(ds.dsBitfields, section->format.masks, 12);
      std::memcpy(out, &ds, sizeof ds);
      return sizeof(DIBSECTION);
    }
  }
  if (out == nullptr) return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  std::memcpy(out, &bm, sizeof bm);
  return sizeof(BITMAP);
}

namespace {

// Pixels of a DIB as a temporary 32-bit bitmap. Rows [first, last) from the
// top are present; the bits begin with scan line `firstScan` (DIB order).
HBITMAP bitmapOfDib(const Format& f, const void* bits, int first, int last, int firstScan = 0) {
  HBITMAP h = createBitmapFromPixels(f.width, f.height, nullptr);
  if (h == nullptr) return nullptr;
  Surface& s = *surfaceOf(h);
  const auto* in = static_cast<const std::uint8_t*>(bits);
  for (int y = first; y < last; ++y)
    readRow(f, in + (f.rowOffset(y) - static_cast<std::ptrdiff_t>(firstScan) * f.stride), s.row(y), f.width);
  return h;
}

// The top row, counted from the top, of a source rectangle given in the
// DIB's own coordinates (from the bottom for bottom-up DIBs).
int dibTop(const Format& f, int srcY, int srcHeight) {
  return f.topDown ? srcY : f.height - srcY - srcHeight;
}

}  // namespace
}  // namespace qv::os::gdi

using namespace qv::os::gdi;

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section, DWORD) {
  if (bits != nullptr) *bits = nullptr;
  Format f;
  if (section != nullptr || !parse(bmi, usage, f)) return nullptr;
  auto sec = std::make_shared<Bitmap::Section>();
  sec->format = f;
  sec->header = bmi->bmiHeader;
  sec->header.biSizeImage = static_cast<DWORD>(f.stride * f.height);
  sec->memory.assign(static_cast<size_t>(f.stride) * static_cast<size_t>(f.height) / 4, 0u);

  std::shared_ptr<Surface> surface;
  if (f.bitCount == 32 && standardMasks(f)) {
    // The caller's bits are the pixels: drawing and the bits pointer agree
    // without any copying.
    surface = std::make_shared<Surface>();
    surface->width = f.width;
    surface->height = f.height;
    surface->stride = f.topDown ? f.width : -f.width;
    surface->bits = reinterpret_cast<std::uint32_t*>(sec->bits()) + (f.topDown ? 0 : (f.height - 1) * f.width);
  } else {
    bool mono = f.bitCount == 1 && f.palette[0] == 0 && f.palette[1] == kRgb;
    surface = makeSurface(f.width, f.height, mono);
    Surface* raw = surface.get();
    Bitmap::Section* s = sec.get();
    surface->pull = [raw, s] {
      for (int y = 0; y < raw->height; ++y) readRow(s->format, s->bits() + s->format.rowOffset(y), raw->row(y), raw->width);
    };
    surface->push = [raw, s] {
      std::unordered_map<std::uint32_t, int> cache;
      for (int y = 0; y < raw->height; ++y)
        writeRow(s->format, raw->row(y), s->bits() + s->format.rowOffset(y), raw->width, cache);
    };
    // A fresh section reads as its palette's colour 0.
    surface->pull();
  }
  auto b = std::make_unique<Bitmap>(surface);
  b->bitsPerPixel = f.bitCount;
  b->section = sec;
  if (bits != nullptr) *bits = sec->bits();
  return addObjectAs<HBITMAP>(std::move(b));
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* bmi,
                       UINT usage) {
  if (header == nullptr || header->biWidth < 0) return nullptr;
  int w = header->biWidth, h = std::abs(header->biHeight);
  HBITMAP bmp = dc != nullptr ? CreateCompatibleBitmap(dc, w, h) : CreateBitmap(w, h, 1, 32, nullptr);
  if (bmp == nullptr) return nullptr;
  if ((init & CBM_INIT) && bits != nullptr && bmi != nullptr) SetDIBits(dc, bmp, 0, static_cast<UINT>(h), bits, bmi, usage);
  return bmp;
}

int GetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO bmi, UINT usage) {
  Bitmap* b = bitmapOf(bmp);
  if (dcOf(dc) == nullptr || b == nullptr || bmi == nullptr || usage != DIB_RGB_COLORS) return 0;
  Surface& s = *b->surface;
  BITMAPINFOHEADER& h = bmi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (bits == nullptr && h.biBitCount == 0) {
    h.biWidth = s.width;
    h.biHeight = s.height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(b->bitsPerPixel);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(dibStride(s.width, b->bitsPerPixel) * s.height);
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    return s.height;
  }
  Format f;
  if (!parse(bmi, usage, f, false)) return 0;
  if (f.bitCount <= 8) {
    f.palette = s.mono && f.bitCount == 1 ? standardPalette(1) : standardPalette(f.bitCount);
    if (b->section && b->section->format.bitCount == f.bitCount) f.palette = b->section->format.palette;
    putPalette(bmi, f.palette);
  }
  h.biSizeImage = static_cast<DWORD>(f.stride * f.height);
  if (bits == nullptr) return s.height;
  SurfaceUse use(&s, false);
  std::unordered_map<std::uint32_t, int> cache;
  std::vector<std::uint32_t> row(static_cast<size_t>(f.width), 0u);
  auto* out = static_cast<std::uint8_t*>(bits);
  int done = 0;
  // Scan lines count in the DIB's order: from the bottom for bottom-up DIBs.
  for (long long i = start; i < static_cast<long long>(start) + lines && i < f.height; ++i) {
    int y = f.topDown ? static_cast<int>(i) : f.height - 1 - static_cast<int>(i);
    std::fill(row.begin(), row.end(), 0u);
    if (y < s.height) std::copy_n(s.row(y), std::min(f.width, s.width), row.begin());
    writeRow(f, row.data(), out + (i - start) * f.stride, f.width, cache);
    ++done;
  }
  return done;
}

int SetDIBits(HDC, HBITMAP bmp, UINT start, UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage) {
  Bitmap* b = bitmapOf(bmp);
  Format f;
  if (b == nullptr || b->isStock() || bits == nullptr || !parse(bmi, usage, f)) return 0;
  Surface& s = *b->surface;
  SurfaceUse use(&s);
  std::vector<std::uint32_t> row(static_cast<size_t>(f.width));
  const auto* in = static_cast<const std::uint8_t*>(bits);
  int done = 0;
  for (long long i = start; i < static_cast<long long>(start) + lines && i < f.height; ++i) {
    readRow(f, in + (i - start) * f.stride, row.data(), f.width);
    int y = f.topDown ? static_cast<int>(i) : f.height - 1 - static_cast<int>(i);
    if (y < s.height) {
      std::uint32_t* target = s.row(y);
      int n = std::min(f.width, s.width);
      for (int x = 0; x < n; ++x) {
        std::uint32_t p = row[static_cast<size_t>(x)];
        target[x] = s.mono ? monoPixelOf(colorOf(p)) : (f.bitCount == 32 ? p : p & kRgb);
      }
    }
    ++done;
  }
  return done;
}

int SetDIBitsToDevice(HDC hdc, int x, int y, DWORD width, DWORD height, int srcX, int srcY, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage) {
  Format f;
  if (dcOf(hdc) == nullptr || bits == nullptr || !parse(bmi, usage, f)) return 0;
  int w = static_cast<int>(std::min<DWORD>(width, 1u << 24)), h = static_cast<int>(std::min<DWORD>(height, 1u << 24));
  // The bits hold scan lines [startScan, startScan + lines) in DIB order.
  long long firstScan = startScan, lastScan = std::min<long long>(static_cast<long long>(startScan) + lines, f.height);
  if (firstScan >= lastScan) return 0;
  int first = f.topDown ? static_cast<int>(firstScan) : f.height - static_cast<int>(lastScan);
  int last = f.topDown ? static_cast<int>(lastScan) : f.height - static_cast<int>(firstScan);
  HBITMAP tmp = bitmapOfDib(f, bits, first, last, static_cast<int>(startScan));
  if (tmp == nullptr) return 0;
  int top = dibTop(f, srcY, h);
  int from = std::max(top, first), to = std::min(top + h, last);
  if (from < to) {
    HDC mem = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(mem, tmp);
    BitBlt(hdc, x, y + (from - top), w, to - from, mem, srcX, from, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  DeleteObject(tmp);
  return static_cast<int>(lastScan - firstScan);
}

int StretchDIBits(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                  const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop) {
  Format f;
  if (dcOf(hdc) == nullptr || bits == nullptr || !parse(bmi, usage, f)) return 0;
  HBITMAP tmp = bitmapOfDib(f, bits, 0, f.height);
  if (tmp == nullptr) return 0;
  HDC mem = CreateCompatibleDC(hdc);
  HGDIOBJ old = SelectObject(mem, tmp);
  int top = dibTop(f, srcY, srcHeight);
  BOOL ok = StretchBlt(hdc, x, y, width, height, mem, srcX, top, srcWidth, srcHeight, rop);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(tmp);
  return ok ? f.height : 0;
}
