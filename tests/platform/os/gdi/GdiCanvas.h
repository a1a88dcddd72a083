// A small memory DC over a 32-bit bitmap for pixel tests, with pictures of
// its pixels as text rows so that expectations read as what is drawn.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/os/gdi/Gdi.h"

namespace gditest {

class Canvas {
 public:
  Canvas(int w, int h, COLORREF fill = RGB(255, 255, 255)) : w_(w), h_(h) {
    dc_ = CreateCompatibleDC(nullptr);
    bmp_ = CreateBitmap(w, h, 1, 32, nullptr);
    old_ = SelectObject(dc_, bmp_);
    clear(fill);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bmp_; }
  int width() const { return w_; }
  int height() const { return h_; }

  void clear(COLORREF c) {
    auto* s = qv::os::gdi::surfaceOf(bmp_);
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) s->row(y)[x] = qv::os::gdi::pixelOf(c);
  }
  // The raw 32-bit pixel, alpha included.
  std::uint32_t raw(int x, int y) const { return qv::os::gdi::surfaceOf(bmp_)->row(y)[x]; }
  void setRaw(int x, int y, std::uint32_t v) { qv::os::gdi::surfaceOf(bmp_)->row(y)[x] = v; }
  COLORREF at(int x, int y) const { return qv::os::gdi::colorOf(raw(x, y) & 0xFFFFFFu); }

  // One string per row; each pixel's colour looked up in the legend, '?'
  // for a colour not in it. The default legend: white '.', black '#'.
  std::vector<std::string> picture(std::map<COLORREF, char> legend = {}) const {
    if (legend.empty()) legend = {{RGB(255, 255, 255), '.'}, {RGB(0, 0, 0), '#'}};
    std::vector<std::string> rows;
    for (int y = 0; y < h_; ++y) {
      std::string row;
      for (int x = 0; x < w_; ++x) {
        auto it = legend.find(at(x, y));
        row += it == legend.end() ? '?' : it->second;
      }
      rows.push_back(row);
    }
    return rows;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
};

// Selects an object for the life of a scope and deletes it afterwards.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ obj) : dc_(dc), obj_(obj), old_(SelectObject(dc, obj)) {}
  ~Selected() {
    SelectObject(dc_, old_);
    DeleteObject(obj_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ obj_;
  HGDIOBJ old_;
};

}  // namespace gditest
