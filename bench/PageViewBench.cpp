// The browser control's page view: loading, laying out and painting the
// demo disc's start page, a page of 200 KB and one of 20 MB, each beside a
// bare libxml2 parse of the same bytes in the same run. After the runs it
// prints what the page view costs against libxml2's parse, the repaint of
// the scrolled 20 MB page (aim: under 5 ms) and the peak of memory while
// the page loads, lays out and paints against the size of libxml2's tree
// (aim: under 3 times).
#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>
#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "platform/browser/HtmlDocument.h"
#include "platform/browser/PageView.h"
#include "platform/desktop/Clock.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/Paths.h"

// Every allocation of the process, counted: the live bytes and their peak.
namespace {
std::atomic<long long> gLive{0}, gPeak{0};
void counted(void* p) {
  if (!p) return;
  const long long now = gLive += static_cast<long long>(malloc_usable_size(p));
  long long peak = gPeak.load();
  while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
  }
}
void uncounted(void* p) {
  if (p) gLive -= static_cast<long long>(malloc_usable_size(p));
}
}  // namespace

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* __libc_memalign(size_t, size_t);

void* malloc(size_t n) {
  void* p = __libc_malloc(n);
  counted(p);
  return p;
}
void* calloc(size_t n, size_t size) {
  void* p = __libc_calloc(n, size);
  counted(p);
  return p;
}
void* realloc(void* old, size_t n) {
  const long long was = old ? static_cast<long long>(malloc_usable_size(old)) : 0;
  void* p = __libc_realloc(old, n);
  // A failed growth keeps the old block; a size of 0 frees it.
  if (p || n == 0) gLive -= was;
  counted(p);
  return p;
}
void free(void* p) {
  uncounted(p);
  __libc_free(p);
}
void* memalign(size_t align, size_t n) {
  void* p = __libc_memalign(align, n);
  counted(p);
  return p;
}
void* aligned_alloc(size_t align, size_t n) { return memalign(align, n); }
int posix_memalign(void** out, size_t align, size_t n) {
  *out = memalign(align, n);
  return *out ? 0 : ENOMEM;
}
}

namespace {

using qv::browser::Document;
using qv::browser::PageView;

constexpr int kWidth = 640, kHeight = 480;

// A disc's catalogue page: sections with a heading, a paragraph, a list of
// links and a small table, repeated up to `bytes`.
std::string catalogue(size_t bytes) {
  static const char* const kWords[] = {"setup", "program", "manual", "picture", "folder", "disc",  "menu",
                                       "install", "read",   "start",  "version", "update", "driver", "help"};
  std::string html =
      "<html><head><title>Catalogue</title><style>h3 { color: #1f3f7f } td { border: 1px solid #ccc }</style>"
      "</head><body bgcolor=\"#ffffff\">\n";
  for (int section = 1; html.size() < bytes; ++section) {
    html += "<h3>Section " + std::to_string(section) + "</h3>\n<p>";
    for (int w = 0; w < 60; ++w) html += std::string(kWords[(section * 7 + w * 3) % 14]) + (w % 12 == 11 ? ".\n" : " ");
    html += "</p>\n<ul>";
    for (int i = 0; i < 4; ++i)
      html += "<li><a href=\"item" + std::to_string(section) + "_" + std::to_string(i) + ".html\">" +
              kWords[(section + i) % 14] + " " + std::to_string(i) + "</a></li>";
    html += "</ul>\n<table cellpadding=2><tr><td>Size</td><td align=right>" + std::to_string(section * 13 % 997) +
            " KB</td></tr></table>\n";
  }
  return html + "</body></html>\n";
}

struct Fixture {
  std::string dir;
  std::map<std::string, std::string> files;  // name -> host path
  HDC dc = nullptr;

  Fixture() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "qvbench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    dir = tmpl;
    qv::desktop::resetDesktop();
    qv::desktop::profile().cDrive = dir + "/C";
    std::filesystem::create_directories(qv::desktop::profile().cDrive);
    qv::desktop::Clock::useVirtual(0);
    files["disc"] = std::string(QV_SOURCE_DIR) + "/examples/disc/index.html";
    files["200k"] = write("page200k.html", catalogue(200u << 10));
    files["20m"] = write("page20m.html", catalogue(20u << 20));
    dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, CreateCompatibleBitmap(dc, kWidth, kHeight));
  }
  ~Fixture() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::string write(const std::string& name, const std::string& text) const {
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

const RECT kAll{0, 0, kWidth, kHeight};

// The size of libxml2's tree of a page: what its parse leaves allocated.
long long libxmlTreeBytes(const std::string& html) {
  const long long before = gLive.load();
  htmlDocPtr doc = htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
                                  HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                                      HTML_PARSE_COMPACT);
  const long long tree = gLive.load() - before;
  xmlFreeDoc(doc);
  return tree;
}

std::map<std::string, double> gResults;

void LibXml2Parse(benchmark::State& state, const char* page) {
  const std::string html = Fixture::read(fixture().files[page]);
  for (auto _ : state) {
    htmlDocPtr doc = htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
                                    HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                        HTML_PARSE_NONET | HTML_PARSE_COMPACT);
    benchmark::DoNotOptimize(doc);
    xmlFreeDoc(doc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * html.size()));
}

// What the control does for a new page: load it, lay it out in the
// window, paint it once.
void LoadLayoutPaint(benchmark::State& state, const char* page) {
  Fixture& f = fixture();
  const std::string path = qv::os::toWindowsPath(f.files[page]);
  const std::string html = Fixture::read(f.files[page]);
  long long peak = 0;
  for (auto _ : state) {
    const long long base = gLive.load();
    gPeak = base;
    {
      auto view = std::make_unique<PageView>(Document::load(path), qv::browser::ViewOptions{});
      view->setBounds(kAll);
      view->paint(f.dc, kAll);
      benchmark::DoNotOptimize(view->contentHeight());
    }
    peak = gPeak.load() - base;
  }
  const long long tree = libxmlTreeBytes(html);
  state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
  state.counters["libxml2_tree_MB"] = static_cast<double>(tree) / 1e6;
  state.counters["peak_over_tree"] = tree > 0 ? static_cast<double>(peak) / static_cast<double>(tree) : 0;
  gResults[std::string("peak over libxml2's tree, ") + page] = tree > 0 ? static_cast<double>(peak) / tree : 0;
}

// A page scrolled to its middle and painted there once.
std::unique_ptr<PageView> scrolledView(const char* page) {
  Fixture& f = fixture();
  auto view = std::make_unique<PageView>(Document::load(qv::os::toWindowsPath(f.files[page])),
                                         qv::browser::ViewOptions{});
  view->setBounds(kAll);
  view->scrollTo(view->contentHeight() / 2);
  view->paint(f.dc, kAll);
  return view;
}

// A repaint of the page scrolled to its middle, its slices there laid out.
void RepaintScrolled(benchmark::State& state, const char* page) {
  Fixture& f = fixture();
  auto view = scrolledView(page);
  for (auto _ : state) view->paint(f.dc, kAll);
  const auto start = std::chrono::steady_clock::now();
  constexpr int kRounds = 20;
  for (int i = 0; i < kRounds; ++i) view->paint(f.dc, kAll);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kRounds;
  gResults[std::string("repaint ms, scrolled ") + page] = ms;
}

// One step of the scroll bar's arrow on the scrolled page: the scroll and
// the paint that follows it.
void ScrollStep(benchmark::State& state, const char* page) {
  Fixture& f = fixture();
  auto view = scrolledView(page);
  int step = PageView::kLineStep;
  for (auto _ : state) {
    if (!view->scrollBy(step)) step = -step;
    view->paint(f.dc, kAll);
  }
}

BENCHMARK_CAPTURE(LibXml2Parse, disc, "disc")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadLayoutPaint, disc, "disc")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibXml2Parse, page200k, "200k")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadLayoutPaint, page200k, "200k")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RepaintScrolled, page200k, "200k")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibXml2Parse, page20m, "20m")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(LoadLayoutPaint, page20m, "20m")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(RepaintScrolled, page20m, "20m")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScrollStep, page20m, "20m")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\n");
  for (const auto& [what, value] : gResults) std::printf("%-40s %8.2f\n", what.c_str(), value);
  std::printf("aims: repaint of the scrolled 20 MB page under 5 ms, peak under 3 times libxml2's tree\n");
  return 0;
}
