// Small memory bitmaps that painter tests draw on, and their pixels as
// pictures: one character per pixel by a legend of colours.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lookandfeel/lkGraphics.h"
#include "platform/classlib/Graphics.h"
#include "platform/os/gdi/Gdi.h"

namespace qvtest {

using Legend = std::vector<std::pair<TColor, char>>;

inline std::vector<DWORD> rawPixels(TBitmap& b) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = b.Width();
  info.bmiHeader.biHeight = -b.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<DWORD> px(static_cast<size_t>(b.Width() * b.Height()));
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, b.Handle(), 0, static_cast<UINT>(b.Height()), px.data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  return px;
}

// A 32-bit bitmap filled with one colour and a TlkCanvas over it.
struct Surface {
  TBitmap bitmap;
  std::unique_ptr<TlkCanvas> canvas;
  Surface(int w, int h, TColor fill) {
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(w, h);
    bitmap.Canvas()->Brush()->SetColor(fill);
    bitmap.Canvas()->FillRect(TRect{0, 0, w, h});
    canvas = std::make_unique<TlkCanvas>(bitmap.Canvas());
  }
  TlkCanvas* operator->() const { return canvas.get(); }
  TlkCanvas* get() const { return canvas.get(); }
  // One character per pixel by the legend ('?' for anything else), rows
  // separated by '|'.
  std::string picture(const Legend& legend) {
    const auto px = rawPixels(bitmap);
    std::string s;
    for (int y = 0; y < bitmap.Height(); ++y) {
      if (y) s += '|';
      for (int x = 0; x < bitmap.Width(); ++x) {
        const COLORREF c = qv::os::gdi::colorOf(px[static_cast<size_t>(y * bitmap.Width() + x)] & 0xFFFFFFu);
        char ch = '?';
        for (const auto& [colour, mark] : legend)
          if (c == ColorToRGB(colour)) {
            ch = mark;
            break;
          }
        s += ch;
      }
    }
    return s;
  }
  // The rows holding a pixel that is not Background: first and last + 1.
  std::pair<int, int> inkRows(TColor background) {
    const auto px = rawPixels(bitmap);
    int first = -1, last = -1;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (qv::os::gdi::colorOf(px[static_cast<size_t>(y * bitmap.Width() + x)] & 0xFFFFFFu) !=
            ColorToRGB(background)) {
          if (first < 0) first = y;
          last = y + 1;
        }
    return {first, last};
  }
};

inline std::string rows(std::initializer_list<const char*> lines) {
  std::string s;
  for (const char* line : lines) {
    if (!s.empty()) s += '|';
    s += line;
  }
  return s;
}

}  // namespace qvtest
