// Draws the picture of the designer's picture dialog and writes the dialog's
// form resource, forms/TEASTEREGG.txt, with the picture stored in it as
// JPEG. Run from this folder after a change:
//
//   g++ -std=c++20 -O2 make_easteregg.cpp -ljpeg -o /tmp/make_easteregg && /tmp/make_easteregg
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 402;
constexpr int kHeight = 350;

struct Rgb {
  double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

// An evening sky over a sea, a sun and a disc on the horizon.
Rgb pixel(int x, int y) {
  const double horizon = 220;
  Rgb c;
  if (y < horizon) {
    c = mix({40, 30, 110}, {250, 150, 60}, y / horizon);
  } else {
    double t = (y - horizon) / (kHeight - horizon);
    c = mix({30, 70, 140}, {10, 20, 60}, t);
    // Light of the sun on the water.
    double glint = std::exp(-std::pow((x - 201) / (20 + 60 * t), 2)) * (0.5 + 0.5 * std::sin(y * 0.9));
    c = mix(c, {255, 210, 120}, 0.6 * glint);
  }
  const double sun = std::hypot(x - 201, y - 205);
  if (sun < 48 && y < horizon) c = mix({255, 230, 140}, {255, 170, 70}, sun / 48);
  // The disc: a ring with a hole, leaning on the horizon.
  const double dx = (x - 300) / 1.0, dy = (y - 200) / 0.35;
  const double d = std::hypot(dx, dy);
  if (d < 70 && d > 12) c = mix({235, 235, 245}, {150, 170, 210}, std::fabs(std::sin(std::atan2(dy, dx) * 3)) * 0.6);
  return c;
}

std::vector<unsigned char> encode() {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = kWidth;
  cinfo.image_height = kHeight;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 80, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(kWidth * 3);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      Rgb c = pixel(x, y);
      row[x * 3] = static_cast<unsigned char>(std::lround(std::clamp(c.r, 0.0, 255.0)));
      row[x * 3 + 1] = static_cast<unsigned char>(std::lround(std::clamp(c.g, 0.0, 255.0)));
      row[x * 3 + 2] = static_cast<unsigned char>(std::lround(std::clamp(c.b, 0.0, 255.0)));
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<unsigned char> bytes(out, out + size);
  std::free(out);
  return bytes;
}

}  // namespace

int main() {
  // A picture in a form resource: the graphic's class name with a length
  // byte, then the JPEG file.
  std::string name = "TJPEGImage";
  std::vector<unsigned char> data{static_cast<unsigned char>(name.size())};
  data.insert(data.end(), name.begin(), name.end());
  std::vector<unsigned char> jpeg = encode();
  data.insert(data.end(), jpeg.begin(), jpeg.end());

  std::ofstream f("forms/TEASTEREGG.txt", std::ios::binary);
  f << "object EasterEgg: TEasterEgg\n"
       "  Left = 0\n"
       "  Top = 0\n"
       "  BorderStyle = bsDialog\n"
       "  Caption = 'Yeah, you found an easter egg! ;-)'\n"
    << "  ClientHeight = " << kHeight << "\n"
    << "  ClientWidth = " << kWidth << "\n"
    << "  Position = poScreenCenter\n"
       "  object EasterEggImage: TImage\n"
       "    Left = 0\n"
       "    Top = 0\n"
    << "    Width = " << kWidth << "\n"
    << "    Height = " << kHeight << "\n"
    << "    Align = alClient\n"
       "    Picture.Data = {\n";
  char hex[3];
  for (std::size_t i = 0; i < data.size(); i += 32) {
    f << "      ";
    for (std::size_t j = i; j < data.size() && j < i + 32; ++j) {
      std::snprintf(hex, sizeof hex, "%02X", data[j]);
      f << hex;
    }
    f << (i + 32 >= data.size() ? "}\n" : "\n");
  }
  f << "    OnClick = EasterEggImageClick\n"
       "  end\n"
       "end\n";
  std::printf("%zu bytes of JPEG\n", jpeg.size());
  return 0;
}
