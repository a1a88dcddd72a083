// Our FillRect and BitBlt against pixman on a 1024 x 768 32-bit surface.
// After the runs it prints our time over pixman's for each pair; the aim is
// to stay within 1.5.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/os/gdi/Gdi.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct OurSurface {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  ~OurSurface() {
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
};

struct PixmanSurface {
  std::vector<std::uint32_t> bits = std::vector<std::uint32_t>(size_t{kWidth} * kHeight);
  pixman_image_t* image =
      pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, bits.data(), kWidth * 4);
  ~PixmanSurface() { pixman_image_unref(image); }
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

BENCHMARK(FillRect_Ours);
BENCHMARK(FillRect_Pixman);
BENCHMARK(BitBlt_Ours);
BENCHMARK(BitBlt_Pixman);

// Keeps each run's time per iteration, then reports the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) times_[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  void printRatios() const {
    for (const char* op : {"FillRect", "BitBlt"}) {
      auto ours = times_.find(std::string(op) + "_Ours");
      auto theirs = times_.find(std::string(op) + "_Pixman");
      if (ours == times_.end() || theirs == times_.end() || theirs->second <= 0) continue;
      std::printf("%-8s ours / pixman = %.2f\n", op, ours->second / theirs->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  benchmark::Shutdown();
  return 0;
}
