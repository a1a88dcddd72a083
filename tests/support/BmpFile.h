// Bitmap files for tests that put pictures on a disc: 24 bits, bottom-up,
// as paint programs write them.
#pragma once

#include <string>
#include <vector>

namespace qvtest {

struct Rgb {
  unsigned char r, g, b;
  bool operator==(const Rgb&) const = default;
};

// A BMP file of `pixels`, rows top first.
inline std::string bmpFile(const std::vector<std::vector<Rgb>>& pixels) {
  const int h = static_cast<int>(pixels.size());
  const int w = h ? static_cast<int>(pixels[0].size()) : 0;
  const int stride = (w * 3 + 3) & ~3;
  std::string out;
  auto u16 = [&](unsigned v) { out += static_cast<char>(v & 0xFF), out += static_cast<char>((v >> 8) & 0xFF); };
  auto u32 = [&](unsigned v) { u16(v & 0xFFFF), u16(v >> 16); };
  out += "BM";
  u32(54 + stride * h), u32(0), u32(54);
  u32(40), u32(w), u32(h), u16(1), u16(24), u32(0), u32(stride * h), u32(2835), u32(2835), u32(0), u32(0);
  for (int y = h - 1; y >= 0; --y) {
    for (const Rgb& p : pixels[y]) out += static_cast<char>(p.b), out += static_cast<char>(p.g), out += static_cast<char>(p.r);
    out.append(static_cast<std::size_t>(stride - w * 3), '\0');
  }
  return out;
}

// A BMP file of one colour.
inline std::string bmpFile(int w, int h, Rgb fill) {
  return bmpFile(std::vector<std::vector<Rgb>>(static_cast<std::size_t>(h), std::vector<Rgb>(static_cast<std::size_t>(w), fill)));
}

}  // namespace qvtest
