#include "platform/os/gdi/Icon.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Cursor.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Ico.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/Resource.h"

namespace qv::os::gdi {

namespace {

// Icon handles live apart from GDI objects, as on the platform, in their
// own range of values.
struct IconTable {
  std::mutex lock;
  std::map<std::uintptr_t, std::shared_ptr<IconData>> icons;
  std::uintptr_t next = 0x20000;
};

IconTable& table() {
  static IconTable t;
  return t;
}

constexpr int kStandardSize = 32;

std::uint16_t u16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

IconData fromIconImage(const IconImage& img, bool icon) {
  IconData d;
  d.icon = icon;
  d.width = img.image.width;
  d.height = img.image.height;
  // The decoder derives alpha from the AND mask for images without their
  // own; only 32-bit images and partial transparency are blended.
  d.alpha = img.image.bitDepth == 32;
  for (auto p : img.image.pixels)
    if ((p >> 24) != 0 && (p >> 24) != 255) d.alpha = true;
  d.colour = img.image.pixels;
  if (!d.alpha)
    for (auto& p : d.colour) p &= 0x00FFFFFFu;
  d.mask = img.andMask;
  d.mask.resize(static_cast<size_t>(d.width) * d.height, 0);
  d.hotX = icon ? d.width / 2 : img.hotspotX;
  d.hotY = icon ? d.height / 2 : img.hotspotY;
  return d;
}

// The size asked for: 0 means the picture's own, or the standard size with
// LR_DEFAULTSIZE.
int wanted(int asked, int own, UINT flags) {
  if (asked > 0) return asked;
  return (flags & LR_DEFAULTSIZE) ? kStandardSize : own;
}

HICON withSize(IconData d, int width, int height, UINT flags, bool shared) {
  const int w = wanted(width, d.width, flags);
  const int h = wanted(height, d.height, flags);
  if (w != d.width || h != d.height) d = scaledIcon(d, w, h);
  d.shared = shared;
  return addIcon(std::move(d));
}

// Icons drawn by us, 32 x 32, for LoadIcon(NULL, IDI_*).
struct Sprite {
  IconData d;
  Sprite() {
    d.width = d.height = kStandardSize;
    d.colour.assign(kStandardSize * kStandardSize, 0);
    d.mask.assign(kStandardSize * kStandardSize, 1);
    d.hotX = d.hotY = kStandardSize / 2;
    d.shared = true;
  }
  void set(int x, int y, COLORREF c) {
    if (x < 0 || y < 0 || x >= kStandardSize || y >= kStandardSize) return;
    d.colour[y * kStandardSize + x] = pixelOf(c);
    d.mask[y * kStandardSize + x] = 0;
  }
  void rect(int l, int t, int r, int b, COLORREF c) {
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) set(x, y, c);
  }
  void disk(double cx, double cy, double radius, COLORREF c) {
    for (int y = 0; y < kStandardSize; ++y)
      for (int x = 0; x < kStandardSize; ++x)
        if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= radius) set(x, y, c);
  }
  void map(int x, int y, const char* const* rows, int n, COLORREF c) {
    for (int j = 0; j < n; ++j)
      for (int i = 0; rows[j][i] != 0; ++i)
        if (rows[j][i] == '#') set(x + i, y + j, c);
  }
};

const char* const kQuestion[12] = {"..####..", ".######.", "##....##", "......##", ".....##.", "....##..",
                                   "...##...", "...##...", "........", "........", "...##...", "...##..."};
const char* const kBang[12] = {"##", "##", "##", "##", "##", "##", "##", "##", "..", "..", "##", "##"};
const char* const kLetterI[12] = {"..##", "..##", "....", "....", "####", "..##",
                                  "..##", "..##", "..##", "..##", "..##", "####"};

IconData standardIcon(WORD id) {
  Sprite s;
  const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
  switch (id) {
    case 32512:  // application: a window with its caption
      s.rect(2, 4, 30, 28, black);
      s.rect(3, 5, 29, 27, white);
      s.rect(3, 5, 29, 9, RGB(0, 0, 128));
      break;
    case 32513:  // error: a red disc with a white cross
      s.disk(16, 16, 14, RGB(128, 0, 0));
      s.disk(16, 16, 13, RGB(255, 0, 0));
      for (int k = -6; k <= 6; ++k)
        for (int t = 0; t < 3; ++t) {
          s.set(16 + k + t - 1, 16 + k, white);
          s.set(16 + k + t - 1, 15 - k, white);
        }
      break;
    case 32514:  // question
      s.disk(16, 16, 14, black);
      s.disk(16, 16, 13, white);
      s.map(12, 10, kQuestion, 12, RGB(0, 0, 255));
      break;
    case 32515: {  // warning: a yellow triangle with a mark
      for (int y = 2; y < 30; ++y) {
        const int half = (y - 2) / 2 + 1;
        s.rect(16 - half, y, 16 + half, y + 1, black);
        if (y > 3 && y < 29) s.rect(16 - half + 1, y, 16 + half - 1, y + 1, RGB(255, 255, 0));
      }
      s.map(15, 13, kBang, 12, black);
      break;
    }
    case 32516:  // information
      s.disk(16, 16, 14, black);
      s.disk(16, 16, 13, white);
      s.map(14, 10, kLetterI, 12, RGB(0, 0, 255));
      break;
    case 32517:  // the system's logo: four panes
      s.rect(4, 4, 15, 15, RGB(255, 0, 0));
      s.rect(17, 4, 28, 15, RGB(0, 128, 0));
      s.rect(4, 17, 15, 28, RGB(0, 0, 255));
      s.rect(17, 17, 28, 28, RGB(255, 255, 0));
      break;
    default:
      s.d.width = 0;
      break;
  }
  return s.d;
}

HICON sharedStandardIcon(WORD id) {
  static std::mutex lock;
  static std::map<WORD, HICON> made;
  std::lock_guard<std::mutex> guard(lock);
  auto it = made.find(id);
  if (it != made.end()) return it->second;
  IconData d = standardIcon(id);
  if (d.width == 0) return nullptr;
  HICON h = addIcon(std::move(d));
  made[id] = h;
  return h;
}

bool hostFileBytes(LPCSTR name, std::vector<std::uint8_t>& bytes) {
  if (name == nullptr || IS_INTRESOURCE(name)) return false;
  auto host = qv::os::toHostPath(name);
  return host && readHostFile(*host, bytes);
}

}  // namespace

HICON addIcon(IconData data) {
  auto& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  const std::uintptr_t h = t.next;
  t.next += 4;
  t.icons[h] = std::make_shared<IconData>(std::move(data));
  return reinterpret_cast<HICON>(h);
}

std::shared_ptr<const IconData> iconOf(HICON h) {
  auto& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  auto it = t.icons.find(reinterpret_cast<std::uintptr_t>(h));
  if (it == t.icons.end()) return nullptr;
  return it->second;
}

IconData scaledIcon(const IconData& d, int width, int height) {
  IconData s = d;
  if (width <= 0 || height <= 0 || d.width <= 0 || d.height <= 0) return s;
  s.width = width;
  s.height = height;
  s.colour.assign(static_cast<size_t>(width) * height, 0);
  s.mask.assign(static_cast<size_t>(width) * height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const size_t from = static_cast<size_t>(y * d.height / height) * d.width + x * d.width / width;
      s.colour[static_cast<size_t>(y) * width + x] = d.colour[from];
      s.mask[static_cast<size_t>(y) * width + x] = d.mask[from];
    }
  s.hotX = d.hotX * width / d.width;
  s.hotY = d.hotY * height / d.height;
  return s;
}

HICON loadGroupResource(HINSTANCE instance, LPCSTR name, bool icon, int width, int height, UINT flags,
                        bool shared) {
  HRSRC group = FindResource(instance, name, icon ? RT_GROUP_ICON : RT_GROUP_CURSOR);
  if (group == nullptr) return nullptr;
  auto* dir = static_cast<BYTE*>(LockResource(LoadResource(instance, group)));
  const DWORD dirSize = SizeofResource(instance, group);
  if (dir == nullptr || dirSize < 6 || dirSize < 6u + 14u * u16(dir + 4)) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  const int w = wanted(width, kStandardSize, flags | LR_DEFAULTSIZE);
  const int h = wanted(height, kStandardSize, flags | LR_DEFAULTSIZE);
  const int id = LookupIconIdFromDirectoryEx(dir, icon, w, h, flags);
  HRSRC image = id > 0 ? FindResource(instance, MAKEINTRESOURCE(id), icon ? RT_ICON : RT_CURSOR) : nullptr;
  if (image == nullptr) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  auto* bits = static_cast<BYTE*>(LockResource(LoadResource(instance, image)));
  HICON made = CreateIconFromResourceEx(bits, SizeofResource(instance, image), icon, 0x00030000, width, height,
                                        flags | ((width == 0 && height == 0) ? LR_DEFAULTSIZE : 0));
  if (made == nullptr) return nullptr;
  if (shared) {
    auto& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    t.icons[reinterpret_cast<std::uintptr_t>(made)]->shared = true;
  }
  return made;
}

HANDLE loadIconImage(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
  const bool icon = type == IMAGE_ICON;
  if (type != IMAGE_ICON && type != IMAGE_CURSOR) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (flags & LR_LOADFROMFILE) {
    std::vector<std::uint8_t> bytes;
    if (!hostFileBytes(name, bytes)) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return nullptr;
    }
    IconImage img;
    const int w = wanted(width, kStandardSize, LR_DEFAULTSIZE);
    const int h = wanted(height, kStandardSize, LR_DEFAULTSIZE);
    if (!decodeIcon(bytes.data(), bytes.size(), img, w, h)) {
      SetLastError(ERROR_BAD_FORMAT);
      return nullptr;
    }
    return withSize(fromIconImage(img, icon), width, height, flags, false);
  }
  if (instance == nullptr) {
    if (!IS_INTRESOURCE(name)) {
      SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
      return nullptr;
    }
    HICON standard = icon ? LoadIcon(nullptr, name) : LoadCursor(nullptr, name);
    if (standard == nullptr || (width == 0 && height == 0)) return standard;
    auto d = iconOf(standard);
    return withSize(*d, width, height, flags, false);
  }
  return loadGroupResource(instance, name, icon, width, height, flags, (flags & LR_SHARED) != 0);
}

}  // namespace qv::os::gdi

using namespace qv::os::gdi;

HICON CreateIconIndirect(PICONINFO info) {
  Surface* mask = info != nullptr ? surfaceOf(info->hbmMask) : nullptr;
  if (mask == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  IconData d;
  d.icon = info->fIcon != FALSE;
  SurfaceUse useMask(mask, false);
  auto maskAt = [mask](int x, int y) {
    return mask->contains(x, y) && (mask->row(y)[x] & 0xFFFFFFu) != 0 ? 1 : 0;
  };
  if (info->hbmColor != nullptr) {
    Image colour;
    if (!imageFromBitmap(info->hbmColor, colour)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    d.width = colour.width;
    d.height = colour.height;
    d.alpha = colour.hasAlpha;
    d.colour = std::move(colour.pixels);
    if (!d.alpha)
      for (auto& p : d.colour) p &= 0x00FFFFFFu;
    d.mask.resize(d.colour.size());
    for (int y = 0; y < d.height; ++y)
      for (int x = 0; x < d.width; ++x) d.mask[static_cast<size_t>(y) * d.width + x] = maskAt(x, y);
  } else {
    d.monochrome = true;
    d.width = mask->width;
    d.height = mask->height / 2;
    d.colour.resize(static_cast<size_t>(d.width) * d.height);
    d.mask.resize(d.colour.size());
    for (int y = 0; y < d.height; ++y)
      for (int x = 0; x < d.width; ++x) {
        d.mask[static_cast<size_t>(y) * d.width + x] = maskAt(x, y);
        d.colour[static_cast<size_t>(y) * d.width + x] = maskAt(x, y + d.height) ? 0xFFFFFFu : 0u;
      }
  }
  if (d.width <= 0 || d.height <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  d.hotX = d.icon ? d.width / 2 : static_cast<int>(info->xHotspot);
  d.hotY = d.icon ? d.height / 2 : static_cast<int>(info->yHotspot);
  return addIcon(std::move(d));
}

BOOL GetIconInfo(HICON icon, PICONINFO info) {
  auto d = iconOf(icon);
  if (d == nullptr || info == nullptr) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return FALSE;
  }
  info->fIcon = d->icon ? TRUE : FALSE;
  info->xHotspot = static_cast<DWORD>(d->hotX);
  info->yHotspot = static_cast<DWORD>(d->hotY);
  const size_t n = d->mask.size();
  if (d->monochrome) {
    std::vector<std::uint8_t> both(d->mask);
    both.resize(2 * n);
    for (size_t i = 0; i < n; ++i) both[n + i] = (d->colour[i] & 0xFFFFFFu) != 0;
    info->hbmMask = createMonoBitmapFromMask(d->width, 2 * d->height, both.data());
    info->hbmColor = nullptr;
  } else {
    info->hbmMask = createMonoBitmapFromMask(d->width, d->height, d->mask.data());
    info->hbmColor = createBitmapFromPixels(d->width, d->height, d->colour.data());
  }
  return TRUE;
}

BOOL DestroyIcon(HICON icon) {
  auto& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  auto it = t.icons.find(reinterpret_cast<std::uintptr_t>(icon));
  if (it == t.icons.end()) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return FALSE;
  }
  if (!it->second->shared) t.icons.erase(it);
  return TRUE;
}

HICON CopyIcon(HICON icon) {
  auto d = iconOf(icon);
  if (d == nullptr) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return nullptr;
  }
  IconData copy = *d;
  copy.shared = false;
  return addIcon(std::move(copy));
}

HICON LoadIcon(HINSTANCE instance, LPCSTR name) {
  if (instance == nullptr) {
    HICON h = IS_INTRESOURCE(name) ? sharedStandardIcon(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)))
                                   : nullptr;
    if (h == nullptr) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return h;
  }
  return loadGroupResource(instance, name, true, 0, 0, LR_DEFAULTSIZE, true);
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
  return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_COMPAT | DI_DEFAULTSIZE);
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flickerFreeBrush,
                UINT flags) {
  (void)step;
  auto d = iconOf(icon);
  if (d == nullptr) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return FALSE;
  }
  if (dcOf(dc) == nullptr || (flags & DI_NORMAL) == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const int w = width > 0 ? width : (flags & DI_DEFAULTSIZE) ? kStandardSize : d->width;
  const int h = height > 0 ? height : (flags & DI_DEFAULTSIZE) ? kStandardSize : d->height;
  if (flickerFreeBrush != nullptr) {
    RECT r{x, y, x + w, y + h};
    FillRect(dc, &r, flickerFreeBrush);
  }
  RECT box{};
  if (GetClipBox(dc, &box) == 0) return TRUE;
  const int j0 = std::max(0, box.top - y), j1 = std::min(h, box.bottom - y);
  const int i0 = std::max(0, box.left - x), i1 = std::min(w, box.right - x);
  for (int j = j0; j < j1; ++j) {
    const size_t rowFrom = static_cast<size_t>(static_cast<long long>(j) * d->height / h) * d->width;
    for (int i = i0; i < i1; ++i) {
      const size_t from = rowFrom + static_cast<size_t>(static_cast<long long>(i) * d->width / w);
      const std::uint32_t c = d->colour[from];
      const bool masked = d->mask[from] != 0;
      std::uint32_t out;
      if ((flags & DI_NORMAL) == DI_MASK) {
        out = masked ? 0xFFFFFFu : 0u;
      } else if ((flags & DI_NORMAL) == DI_IMAGE) {
        out = c & 0xFFFFFFu;
      } else {
        const COLORREF under = GetPixel(dc, x + i, y + j);
        if (under == CLR_INVALID) continue;
        const std::uint32_t below = pixelOf(under);
        if (d->alpha) {
          // Straight alpha over the destination, rounded as 8-bit blending does.
          const std::uint32_t a = c >> 24;
          out = 0;
          for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t s = (c >> shift) & 0xFF, b = (below >> shift) & 0xFF;
            out |= ((s * a + b * (255 - a) + 127) / 255) << shift;
          }
        } else {
          out = ((masked ? below : 0u) ^ c) & 0xFFFFFFu;
        }
      }
      SetPixelV(dc, x + i, y + j, colorOf(out));
    }
  }
  return TRUE;
}

HICON CreateIconFromResource(BYTE* bits, DWORD size, BOOL icon, DWORD version) {
  return CreateIconFromResourceEx(bits, size, icon, version, 0, 0, LR_DEFAULTCOLOR);
}

HICON CreateIconFromResourceEx(BYTE* bits, DWORD size, BOOL icon, DWORD version, int width, int height,
                               UINT flags) {
  (void)version;
  if (bits == nullptr || size < (icon ? 4u : 8u)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  IconEntry entry;
  entry.offset = icon ? 0 : 4;
  entry.size = size - entry.offset;
  if (!icon) {
    entry.hotspotX = u16(bits);
    entry.hotspotY = u16(bits + 2);
  }
  IconImage img;
  if (!decodeIconEntry(bits, size, entry, img)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return withSize(fromIconImage(img, icon != FALSE), width, height, flags, false);
}

int LookupIconIdFromDirectory(BYTE* dir, BOOL icon) {
  return LookupIconIdFromDirectoryEx(dir, icon, 0, 0, LR_DEFAULTCOLOR);
}

int LookupIconIdFromDirectoryEx(BYTE* dir, BOOL icon, int width, int height, UINT flags) {
  (void)flags;
  if (dir == nullptr || u16(dir) != 0 || u16(dir + 2) != (icon ? 1 : 2)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int w = width > 0 ? width : kStandardSize;
  const int h = height > 0 ? height : kStandardSize;
  const int count = u16(dir + 4);
  int best = 0;
  long bestDistance = 0;
  int bestDepth = -1;
  for (int i = 0; i < count; ++i) {
    const BYTE* e = dir + 6 + 14 * i;
    int ew, eh;
    if (icon) {
      ew = e[0] ? e[0] : 256;
      eh = e[1] ? e[1] : 256;
    } else {
      // A cursor's entry counts both masks in its height.
      ew = u16(e);
      eh = u16(e + 2) / 2;
    }
    int depth = u16(e + 6);
    if (depth == 0 && icon && e[2] != 0) depth = e[2] <= 2 ? 1 : e[2] <= 16 ? 4 : 8;
    if (depth > 32) continue;
    const long distance = std::labs(ew - w) + std::labs(eh - h);
    if (best == 0 || distance < bestDistance || (distance == bestDistance && depth > bestDepth)) {
      best = u16(e + 12);
      bestDistance = distance;
      bestDepth = depth;
    }
  }
  return best;
}

HANDLE CopyImage(HANDLE image, UINT type, int width, int height, UINT flags) {
  if (type == IMAGE_BITMAP) {
    Image pixels;
    if (!imageFromBitmap(static_cast<HBITMAP>(image), pixels)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    Image out = pixels;
    const int w = width > 0 ? width : pixels.width;
    const int h = height > 0 ? height : pixels.height;
    if (w != pixels.width || h != pixels.height) {
      if (!out.allocate(w, h)) return nullptr;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out.at(x, y) = pixels.at(x * pixels.width / w, y * pixels.height / h);
    }
    HBITMAP copy = createBitmapFromPixels(w, h, out.pixels.data());
    if (copy && (flags & LR_COPYDELETEORG)) DeleteObject(image);
    return copy;
  }
  if (type != IMAGE_ICON && type != IMAGE_CURSOR) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto d = iconOf(static_cast<HICON>(image));
  if (d == nullptr) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return nullptr;
  }
  if ((flags & LR_COPYRETURNORG) && (width == 0 || width == d->width) && (height == 0 || height == d->height))
    return image;
  HICON copy = withSize(*d, width, height, flags & ~LR_DEFAULTSIZE, false);
  if (flags & LR_COPYDELETEORG) DestroyIcon(static_cast<HICON>(image));
  return copy;
}
