#include "platform/browser/PageResources.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/browser/HtmlLoader.h"
#include "platform/os/gdi/Gdi.h"

namespace qv::browser {

namespace {

constexpr long kResourceTimeoutMs = 15000;

// The charset a style sheet names in its first rule: @charset "name";
std::string cssCharset(const std::string& bytes) {
  static const char kRule[] = "@charset \"";
  if (bytes.compare(0, sizeof kRule - 1, kRule) != 0) return "";
  const size_t end = bytes.find('"', sizeof kRule - 1);
  if (end == std::string::npos || end > 64) return "";
  return bytes.substr(sizeof kRule - 1, end - (sizeof kRule - 1));
}

}  // namespace

PageResources::PageResources(bool loadImages) : loadImages_(loadImages) {
  measure_ = CreateCompatibleDC(nullptr);
  measureBitmap_ = CreateCompatibleBitmap(measure_, 1, 1);
  if (measure_ && measureBitmap_) oldBitmap_ = SelectObject(measure_, measureBitmap_);
}

PageResources::~PageResources() {
  for (auto& [url, img] : images_)
    if (img && img->bitmap) DeleteObject(img->bitmap);
  if (measure_) {
    if (oldBitmap_) SelectObject(measure_, oldBitmap_);
    DeleteDC(measure_);
  }
  if (measureBitmap_) DeleteObject(measureBitmap_);
}

const PageImage* PageResources::image(const std::string& url) {
  if (!loadImages_ || url.empty()) return nullptr;
  auto it = images_.find(url);
  if (it != images_.end()) return it->second.get();
  std::unique_ptr<PageImage> img;
  LoadRequest request{url, {}, {}, kResourceTimeoutMs, true};
  LoadedPage bytes = loadPage(request);
  if (!bytes.errorPage && !bytes.html.empty()) {
    auto decoded = std::make_unique<PageImage>();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.html.data());
    if (qv::os::gdi::decodeImage(data, bytes.html.size(), decoded->image) && decoded->image.width > 0 &&
        decoded->image.height > 0) {
      const long long px = static_cast<long long>(decoded->image.width) * decoded->image.height;
      if (pixels_ + px <= kPixelBudget) {
        pixels_ += px;
        if (!decoded->image.hasAlpha) decoded->bitmap = qv::os::gdi::createBitmapFromImage(decoded->image);
        img = std::move(decoded);
      }
    }
  }
  const PageImage* out = img.get();
  images_.emplace(url, std::move(img));
  return out;
}

std::optional<std::string> PageResources::styleSheet(const std::string& url, const std::string& pageCharset) {
  auto it = sheets_.find(url);
  if (it != sheets_.end()) return it->second;
  std::optional<std::string> text;
  LoadedPage bytes = loadPage(LoadRequest{url, {}, {}, kResourceTimeoutMs, true});
  if (!bytes.errorPage) {
    std::string charset = cssCharset(bytes.html);
    if (charset.empty()) charset = charsetOfContentType(bytes.contentType);
    if (charset.empty()) charset = pageCharset;
    text = decodePage(bytes.html, charset);
  }
  sheets_.emplace(url, text);
  return text;
}

void drawPicture(HDC dc, const PageImage& picture, const RECT& dest, const RECT& clip) {
  const qv::os::gdi::Image& img = picture.image;
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  if (dw <= 0 || dh <= 0 || img.width <= 0 || img.height <= 0) return;
  RECT area{};
  if (!IntersectRect(&area, &dest, &clip)) return;
  if (picture.bitmap) {
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(src, picture.bitmap);
    SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    if (dw == img.width && dh == img.height) {
      BitBlt(dc, dest.left, dest.top, dw, dh, src, 0, 0, SRCCOPY);
    } else {
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchBlt(dc, dest.left, dest.top, dw, dh, src, 0, 0, img.width, img.height, SRCCOPY);
    }
    RestoreDC(dc, -1);
    SelectObject(src, old);
    DeleteDC(src);
    return;
  }
  // Transparency: what is under the picture is read, blended with the
  // picture's pixels (the nearest one for a scaled picture) and put back.
  const int aw = area.right - area.left, ah = area.bottom - area.top;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = aw;
  bmi.bmiHeader.biHeight = -ah;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section || !bits) {
    if (section) DeleteObject(section);
    return;
  }
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, section);
  BitBlt(mem, 0, 0, aw, ah, dc, area.left, area.top, SRCCOPY);
  GdiFlush();
  auto* px = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < ah; ++y) {
    const int sy = static_cast<int>(static_cast<long long>(area.top - dest.top + y) * img.height / dh);
    for (int x = 0; x < aw; ++x) {
      const int sx = static_cast<int>(static_cast<long long>(area.left - dest.left + x) * img.width / dw);
      const std::uint32_t s = img.at(std::clamp(sx, 0, img.width - 1), std::clamp(sy, 0, img.height - 1));
      const std::uint32_t a = s >> 24;
      if (a == 0) continue;
      std::uint32_t& d = px[static_cast<size_t>(y) * aw + x];
      if (a == 255) {
        d = s & 0x00FFFFFFu;
        continue;
      }
      auto mix = [&](int shift) {
        const std::uint32_t sc = (s >> shift) & 0xFF, dc2 = (d >> shift) & 0xFF;
        return ((sc * a + dc2 * (255 - a) + 127) / 255) << shift;
      };
      d = mix(16) | mix(8) | mix(0);
    }
  }
  BitBlt(dc, area.left, area.top, aw, ah, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(section);
}

}  // namespace qv::browser
