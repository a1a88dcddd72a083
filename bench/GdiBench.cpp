// Our FillRect, BitBlt, StretchBlt (2x and 0.5x), AlphaBlend with per-pixel
// alpha and GradientFill against pixman's fill, copy, nearest scaled blit,
// OVER composite and linear gradient, each on a 1024 x 768 32-bit surface.
// After the runs it prints our time over pixman's for each pair; the aim is
// to stay within 1.5.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "RatioReporter.h"
#include "platform/modules/Msimg32.h"
#include "platform/os/gdi/Gdi.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Premultiplied pixels with every alpha, as icons and shadows have them.
std::vector<std::uint32_t> translucentPixels(int width, int height) {
  std::vector<std::uint32_t> px(static_cast<size_t>(width) * height);
  std::uint32_t seed = 1;
  for (std::uint32_t& p : px) {
    seed = seed * 1664525u + 1013904223u;
    std::uint32_t a = seed >> 24, c = (seed >> 8) & 0xFF;
    std::uint32_t v = c * a / 255;
    p = (a << 24) | (v << 16) | (v << 8) | (255 - c) * a / 255;
  }
  return px;
}

struct OurSurface {
  explicit OurSurface(int width = kWidth, int height = kHeight, const std::uint32_t* pixels = nullptr)
      : bmp(CreateBitmap(width, height, 1, 32, pixels)) {
    old = SelectObject(dc, bmp);
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp;
  HGDIOBJ old;
  ~OurSurface() {
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
};

struct PixmanSurface {
  explicit PixmanSurface(int width = kWidth, int height = kHeight, const std::uint32_t* pixels = nullptr,
                         pixman_format_code_t format = PIXMAN_x8r8g8b8)
      : bits(static_cast<size_t>(width) * height) {
    if (pixels) std::copy(pixels, pixels + bits.size(), bits.begin());
    image = pixman_image_create_bits(format, width, height, bits.data(), width * 4);
  }
  ~PixmanSurface() { pixman_image_unref(image); }
  std::vector<std::uint32_t> bits;
  pixman_image_t* image;
};

void FillRect_Ours(benchmark::State& state) {
  OurSurface s;
  HBRUSH brush = CreateSolidBrush(RGB(12, 34, 56));
  RECT r{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    FillRect(s.dc, &r, brush);
    benchmark::ClobberMemory();
  }
  DeleteObject(brush);
}

void FillRect_Pixman(benchmark::State& state) {
  PixmanSurface s;
  pixman_color_t colour{56 * 257, 34 * 257, 12 * 257, 0xFFFF};
  pixman_box32_t box{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    pixman_image_fill_boxes(PIXMAN_OP_SRC, s.image, &colour, 1, &box);
    benchmark::ClobberMemory();
  }
}

void BitBlt_Ours(benchmark::State& state) {
  OurSurface src, dst;
  for (auto _ : state) {
    BitBlt(dst.dc, 0, 0, kWidth, kHeight, src.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
}

void BitBlt_Pixman(benchmark::State& state) {
  PixmanSurface src, dst;
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
}

// The destination at the full size from a source `scale` times its size.
void stretchOurs(benchmark::State& state, double scale) {
  const int w = static_cast<int>(kWidth * scale), h = static_cast<int>(kHeight * scale);
  std::vector<std::uint32_t> px = translucentPixels(w, h);
  OurSurface src(w, h, px.data()), dst;
  for (auto _ : state) {
    StretchBlt(dst.dc, 0, 0, kWidth, kHeight, src.dc, 0, 0, w, h, SRCCOPY);
    benchmark::ClobberMemory();
  }
}

void stretchPixman(benchmark::State& state, double scale) {
  const int w = static_cast<int>(kWidth * scale), h = static_cast<int>(kHeight * scale);
  std::vector<std::uint32_t> px = translucentPixels(w, h);
  PixmanSurface src(w, h, px.data()), dst;
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(1 / scale), pixman_double_to_fixed(1 / scale));
  pixman_image_set_transform(src.image, &t);
  pixman_image_set_filter(src.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
}

void StretchBlt2x_Ours(benchmark::State& state) { stretchOurs(state, 0.5); }
void StretchBlt2x_Pixman(benchmark::State& state) { stretchPixman(state, 0.5); }
void StretchBltHalf_Ours(benchmark::State& state) { stretchOurs(state, 2); }
void StretchBltHalf_Pixman(benchmark::State& state) { stretchPixman(state, 2); }

void AlphaBlend_Ours(benchmark::State& state) {
  std::vector<std::uint32_t> px = translucentPixels(kWidth, kHeight);
  OurSurface src(kWidth, kHeight, px.data()), dst;
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  for (auto _ : state) {
    AlphaBlend(dst.dc, 0, 0, kWidth, kHeight, src.dc, 0, 0, kWidth, kHeight, blend);
    benchmark::ClobberMemory();
  }
}

void AlphaBlend_Pixman(benchmark::State& state) {
  std::vector<std::uint32_t> px = translucentPixels(kWidth, kHeight);
  PixmanSurface src(kWidth, kHeight, px.data(), PIXMAN_a8r8g8b8), dst(kWidth, kHeight, nullptr, PIXMAN_a8r8g8b8);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
}

void GradientFill_Ours(benchmark::State& state) {
  OurSurface dst;
  TRIVERTEX v[2] = {{0, 0, 0x1200, 0x3400, 0x5600, 0xFF00}, {kWidth, kHeight, 0xFE00, 0xDC00, 0xBA00, 0xFF00}};
  GRADIENT_RECT r{0, 1};
  for (auto _ : state) {
    GradientFill(dst.dc, v, 2, &r, 1, GRADIENT_FILL_RECT_H);
    benchmark::ClobberMemory();
  }
}

void GradientFill_Pixman(benchmark::State& state) {
  PixmanSurface dst;
  pixman_point_fixed_t from{0, 0}, to{pixman_int_to_fixed(kWidth), 0};
  pixman_gradient_stop_t stops[2] = {{0, {0x1200, 0x3400, 0x5600, 0xFF00}},
                                     {pixman_int_to_fixed(1), {0xFE00, 0xDC00, 0xBA00, 0xFF00}}};
  pixman_image_t* gradient = pixman_image_create_linear_gradient(&from, &to, stops, 2);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, gradient, nullptr, dst.image, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(gradient);
}

BENCHMARK(FillRect_Ours);
BENCHMARK(FillRect_Pixman);
BENCHMARK(BitBlt_Ours);
BENCHMARK(BitBlt_Pixman);
BENCHMARK(StretchBlt2x_Ours);
BENCHMARK(StretchBlt2x_Pixman);
BENCHMARK(StretchBltHalf_Ours);
BENCHMARK(StretchBltHalf_Pixman);
BENCHMARK(AlphaBlend_Ours);
BENCHMARK(AlphaBlend_Pixman);
BENCHMARK(GradientFill_Ours);
BENCHMARK(GradientFill_Pixman);

}  // namespace

int main(int argc, char** argv) {
  std::vector<qvbench::Pair> pairs;
  for (const char* op : {"FillRect", "BitBlt", "StretchBlt2x", "StretchBltHalf", "AlphaBlend", "GradientFill"})
    pairs.push_back({op, std::string(op) + "_Ours", std::string(op) + "_Pixman", 1.5});
  return qvbench::runWithRatios(argc, argv, std::move(pairs));
}
