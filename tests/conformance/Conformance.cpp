#include "Conformance.h"

#include <cstdio>
#include <cstring>
#include <map>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace conf {

namespace {

// Picture characters: white and black read as '.' and '#', the rest in
// order of first appearance.
const char kCodes[] = "123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ@$%&*+=~^";

}  // namespace

void begin(const std::string& name) { std::printf("case %s\n", name.c_str()); }

void value(const char* label, long long v) { std::printf("  %s = %lld\n", label, v); }

void text(const char* label, const std::string& s) { bytes(label, s.data(), s.size()); }

void bytes(const char* label, const char* data, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) {
    auto c = static_cast<unsigned char>(data[i]);
    if (c == '\\') {
      out += "\\\\";
    } else if (c < 32 || c > 126) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  std::printf("  %s = \"%s\"\n", label, out.c_str());
}

void rect(const char* label, const RECT& r) {
  std::printf("  %s = (%ld,%ld)-(%ld,%ld)\n", label, static_cast<long>(r.left), static_cast<long>(r.top),
              static_cast<long>(r.right), static_cast<long>(r.bottom));
}

void picture(const char* label, int w, int h, const std::vector<std::uint32_t>& rgb) {
  std::map<std::uint32_t, char> codes{{0xFFFFFFu, '.'}, {0x000000u, '#'}};
  std::vector<std::uint32_t> order;
  bool fits = true;
  for (std::uint32_t c : rgb) {
    if (codes.count(c)) continue;
    if (order.size() + 1 >= sizeof kCodes) {
      fits = false;
      break;
    }
    codes[c] = kCodes[order.size()];
    order.push_back(c);
  }
  if (!fits) {
    std::printf("  pixels %s %d %d hex\n", label, w, h);
    for (int y = 0; y < h; ++y) {
      std::printf("  ");
      for (int x = 0; x < w; ++x) std::printf("%06X", static_cast<unsigned>(rgb[y * w + x]));
      std::printf("\n");
    }
    return;
  }
  std::printf("  pixels %s %d %d\n  palette", label, w, h);
  for (std::size_t i = 0; i < order.size(); ++i) std::printf(" %c=%06X", kCodes[i], static_cast<unsigned>(order[i]));
  std::printf("\n");
  for (int y = 0; y < h; ++y) {
    std::string row;
    for (int x = 0; x < w; ++x) row += codes[rgb[y * w + x]];
    std::printf("  %s\n", row.c_str());
  }
}

Canvas::Canvas(int w, int h, std::uint32_t rgb) : w_(w), h_(h) {
  BITMAPINFO bmi;
  std::memset(&bmi, 0, sizeof bmi);
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dc_ = CreateCompatibleDC(nullptr);
  bmp_ = CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<std::uint32_t*>(bits);
  old_ = SelectObject(dc_, bmp_);
  clear(rgb);
}

Canvas::~Canvas() {
  SelectObject(dc_, old_);
  DeleteObject(bmp_);
  DeleteDC(dc_);
}

void Canvas::clear(std::uint32_t rgb) {
  GdiFlush();
  for (int i = 0; i < w_ * h_; ++i) bits_[i] = rgb;
}

std::uint32_t Canvas::at(int x, int y) const {
  GdiFlush();
  return bits_[y * w_ + x] & 0xFFFFFFu;
}

void Canvas::show(const char* label) const {
  GdiFlush();
  std::vector<std::uint32_t> rgb(static_cast<std::size_t>(w_ * h_));
  for (int i = 0; i < w_ * h_; ++i) rgb[static_cast<std::size_t>(i)] = bits_[i] & 0xFFFFFFu;
  picture(label, w_, h_, rgb);
}

void regionPoints(const char* label, HRGN rgn, int x0, int y0, int w, int h) {
  std::vector<std::uint32_t> rgb;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) rgb.push_back(PtInRegion(rgn, x, y) ? 0x000000u : 0xFFFFFFu);
  picture(label, w, h, rgb);
}

}  // namespace conf

int main() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  conf::run();
  std::fflush(stdout);
  return 0;
}
