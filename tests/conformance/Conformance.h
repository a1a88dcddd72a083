// A conformance program is written once against the platform's API and built
// twice: natively against our platform layer, and with a cross compiler for
// a reference implementation of the same API. Each case prints what a caller
// sees, as text: return values, strings, region boxes, and pictures of the
// pixels of a 64 x 64 32-bit DIB section or of a region's points. The
// comparer lines the two outputs up case by case.
//
// Output: "case NAME" starts a case; "  label = value" lines follow, and a
// picture is "  pixels LABEL W H" with a palette line "  palette RRGGBB ..."
// and H rows of W characters, one per pixel, indexing the palette.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/Kernel.h"
#include "platform/os/kernel/PrivateProfile.h"
#include "platform/os/user/User.h"
#endif

#include <cstdint>
#include <string>
#include <vector>

namespace conf {

// The program's cases, run by main in the order they are written.
void run();

// Starts a case; its values follow until the next one.
void begin(const std::string& name);
void value(const char* label, long long v);
void text(const char* label, const std::string& s);
// Bytes with every byte below 32 or above 126 escaped, so NULs show.
void bytes(const char* label, const char* data, std::size_t n);
void rect(const char* label, const RECT& r);
// A picture: `rgb` holds w * h colours (0xRRGGBB), row by row.
void picture(const char* label, int w, int h, const std::vector<std::uint32_t>& rgb);

// A memory DC over a top-down 32-bit DIB section, cleared by writing its
// bits, so that nothing of the drawing under test prepares it.
class Canvas {
 public:
  explicit Canvas(int w = 64, int h = 64, std::uint32_t rgb = 0xFFFFFF);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  void clear(std::uint32_t rgb);
  std::uint32_t at(int x, int y) const;  // 0xRRGGBB
  // Prints the pixels as a picture.
  void show(const char* label = "dib") const;

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  std::uint32_t* bits_ = nullptr;
};

// Prints which points of the grid [x0, x0 + w) x [y0, y0 + h) a region
// holds, as a picture of black points on white.
void regionPoints(const char* label, HRGN rgn, int x0, int y0, int w, int h);

}  // namespace conf
