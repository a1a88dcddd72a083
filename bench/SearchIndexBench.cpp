// Loading a search index of 10,000 pages (about 21 MB) into the runtime's
// records, beside reading the same file and splitting it at its line ends
// with memchr. Aims: under 2 times the baseline, and a peak of memory
// (counter peak_per_file: the most the heap held during the load over the
// file's size) under 1.2.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "BenchDesktop.h"
#include "RatioReporter.h"
#include "platform/classlib/Forms.h"
#include "runtime/Browser.h"

// The heap as the program's own allocations use it.
namespace {
std::atomic<std::size_t> heapNow{0}, heapPeak{0};
void counted(void* p) {
  if (p == nullptr) return;
  std::size_t now = heapNow += malloc_usable_size(p);
  for (std::size_t peak = heapPeak; now > peak && !heapPeak.compare_exchange_weak(peak, now);) {
  }
}
}  // namespace

void* operator new(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (p == nullptr) throw std::bad_alloc();
  counted(p);
  return p;
}
void operator delete(void* p) noexcept {
  if (p != nullptr) heapNow -= malloc_usable_size(p);
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

constexpr int kPages = 10000;

class Index {
 public:
  Index() {
    static const char* const words[] = {"disc", "menu", "page", "search", "index", "window", "picture", "sound",
                                        "the", "of", "a", "start", "program", "install", "read", "more"};
    std::ofstream out(path(), std::ios::binary);
    std::uint32_t seed = 7;
    for (int k = 0; k < kPages; ++k) {
      out << "0001/pages/chapter" << k / 100 << "/page" << k << ".html####Page " << k << " of the disc####x\r\n";
      std::string text;
      while (text.size() < 2000) {
        seed = seed * 1664525u + 1013904223u;
        text += words[(seed >> 16) % 16];
        text += ' ';
      }
      out << text << "\r\n";
    }
    out.close();
    bytes_ = std::filesystem::file_size(path());
  }
  std::string path() const { return desktop_.dir() + "/Index.qvix"; }
  std::size_t bytes() const { return bytes_; }

 private:
  qvbench::DesktopFolder desktop_{"qvbench-index"};
  std::size_t bytes_ = 0;
};

const Index& index() {
  static Index i;
  return i;
}

void LoadSearchIndex_Ours(benchmark::State& state) {
  const Index& ix = index();
  auto* window = new TBrowserWindow(nullptr);
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    window->SearchIndex = {};
    const std::size_t before = heapNow;
    heapPeak = before;
    state.ResumeTiming();
    window->LoadSearchIndex(ix.path());
    state.PauseTiming();
    peak = std::max(peak, static_cast<double>(heapPeak - before) / static_cast<double>(ix.bytes()));
    if (window->SearchIndex.size() != kPages) state.SkipWithError("wrong number of pages");
    state.ResumeTiming();
  }
  state.counters["peak_per_file"] = peak;
  delete window;
}

void LoadSearchIndex_Baseline(benchmark::State& state) {
  const Index& ix = index();
  for (auto _ : state) {
    int fd = ::open(ix.path().c_str(), O_RDONLY);
    std::string bytes(ix.bytes(), '\0');
    std::size_t got = 0;
    for (ssize_t n; got < bytes.size() && (n = ::read(fd, bytes.data() + got, bytes.size() - got)) > 0;)
      got += static_cast<std::size_t>(n);
    ::close(fd);
    std::vector<std::string_view> lines;
    for (const char* p = bytes.data(), *end = p + got; p < end;) {
      const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
      const char* e = nl ? static_cast<const char*>(nl) : end;
      lines.emplace_back(p, static_cast<std::size_t>(e - p));
      p = e + 1;
    }
    benchmark::DoNotOptimize(lines.data());
  }
}

BENCHMARK(LoadSearchIndex_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadSearchIndex_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return qvbench::runWithRatios(
      argc, argv, {{"search index of 10,000 pages", "LoadSearchIndex_Ours", "LoadSearchIndex_Baseline", 2}});
}
