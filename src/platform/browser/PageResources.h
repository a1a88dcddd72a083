// What the pages of one control load besides themselves: pictures (BMP,
// GIF, JPEG, PNG, decoded once per address) and linked style sheets, and
// the drawing of pictures into a device context, scaled and, where the
// picture has transparency, blended over what is there.
//
// A picture that cannot be loaded or decoded, one that is not to be loaded
// (the host turned pictures off), and any beyond the budget of decoded
// pixels counts as missing; the page then shows its placeholder.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/os/Types.h"
#include "platform/os/gdi/Image.h"

namespace qv::browser {

struct PageImage {
  qv::os::gdi::Image image;
  HBITMAP bitmap = nullptr;  // opaque pictures only: what blits copy from
};

class PageResources {
 public:
  // Decoded pixels of all pictures of the control together.
  static constexpr long long kPixelBudget = 48LL * 1024 * 1024;

  explicit PageResources(bool loadImages = true);
  ~PageResources();
  PageResources(const PageResources&) = delete;
  PageResources& operator=(const PageResources&) = delete;

  bool loadsImages() const { return loadImages_; }
  // The picture at an absolute address, loaded on first use; nullptr when
  // it is missing.
  const PageImage* image(const std::string& url);
  // A style sheet's text as UTF-8 (its own @charset, a BOM, else the
  // page's charset); nullopt when it cannot be loaded.
  std::optional<std::string> styleSheet(const std::string& url, const std::string& pageCharset);
  // A memory device context for measuring text.
  HDC measureDc() const { return measure_; }

 private:
  bool loadImages_;
  HDC measure_ = nullptr;
  HBITMAP measureBitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  long long pixels_ = 0;
  std::map<std::string, std::unique_ptr<PageImage>> images_;  // nullptr: missing
  std::map<std::string, std::optional<std::string>> sheets_;
};

// Draws a picture into `dest` (scaled to its size), limited to `clip`.
void drawPicture(HDC dc, const PageImage& picture, const RECT& dest, const RECT& clip);

}  // namespace qv::browser
