// What the page-view targets do with a page once it is loaded: lay it out
// in a small window, draw it, scroll it and ask for the element under
// points all over it, as the pointer and the paint of a control would.
#pragma once

#include <memory>

#include "platform/browser/HtmlDocument.h"
#include "platform/browser/PageView.h"
#include "platform/os/gdi/Gdi.h"

namespace qvfuzz {

inline void exercisePage(const std::shared_ptr<qv::browser::Document>& doc) {
  constexpr int kW = 320, kH = 240;
  static HDC dc = [] {
    HDC mem = CreateCompatibleDC(nullptr);
    SelectObject(mem, CreateCompatibleBitmap(mem, kW, kH));
    return mem;
  }();
  qv::browser::ViewOptions options;
  qv::browser::PageView view(doc, options);
  view.setBounds(RECT{0, 0, kW, kH});
  const RECT all{0, 0, kW, kH};
  view.paint(dc, all);
  for (int y = 0; y < kH; y += 48)
    for (int x = 0; x < kW; x += 64) (void)view.hitTest(POINT{x, y});
  // A page that does not scroll would only be drawn again as it was (most
  // fuzzed pages fit the window), at the cost of a whole paint per input.
  if (view.scrollTo(view.contentHeight() / 2)) view.paint(dc, all);
  view.wheel(POINT{kW / 2, kH / 2}, -120);
  for (qv::browser::Element* e : doc->elementsByTagName("A")) (void)view.boxOf(*e);
}

}  // namespace qvfuzz
