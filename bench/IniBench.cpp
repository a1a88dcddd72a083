// The runtime's settings as it reads them at start (every key through the
// class library's INI file, one private-profile call each) from files of
// 1 KB, 1 MB and 10 MB, beside reading the same file and parsing it once.
// Each round reads a copy that no earlier round has left in the parse cache
// (the cache keeps fewer files than there are copies), as a freshly started
// runtime does. The aim: under 1.5 times the single parse at every size.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "BenchDesktop.h"
#include "RatioReporter.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/IniFiles.h"
#include "platform/os/kernel/PrivateProfile.h"

namespace {

struct Size {
  const char* name;
  std::size_t bytes;
};
constexpr Size kSizes[] = {{"1KB", 1u << 10}, {"1MB", 1u << 20}, {"10MB", 10u << 20}};

const char* const kDisc =
    "[autorun]\r\nopen=qvlaunch.exe\r\nicon=disc.ico\r\n\r\n"
    "[quorvel]\r\nstartpage=index.html\r\nwindowcaption=Quorvel demo disc\r\nappcaption=Quorvel demo\r\n"
    "intromusic=intro.wav\r\nstopmusiconclick=1\r\nwindowwidth=640\r\nwindowheight=480\r\nshowstatusbar=1\r\n"
    "contextmenu=simple\r\nhideheaderfooter=1\r\nsingleinstance=1\r\ntoolbar=exit,print,goback\r\n"
    "toolbarcolor=0x00C0C0C0\r\nexecuteext=exe,bat\r\n\r\n"
    "[fulltextsearchengine]\r\nactive=0\r\nindex=Index.qvix\r\nresulttemplate=result.html\r\n";

// The disc's settings with other sections around them up to `bytes`: a
// disc's autorun file may list a great many files for other tools.
std::string settingsText(std::size_t bytes) {
  std::string before, after;
  for (int n = 0; std::string(kDisc).size() + before.size() + after.size() < bytes; ++n) {
    std::string& to = n % 2 ? after : before;
    if (n % 64 == 0) to += "[files" + std::to_string(n) + "]\r\n";
    to += "file" + std::to_string(n) + "=pages\\section\\page" + std::to_string(n) + ".html\r\n";
  }
  return before + kDisc + after;
}

class Folder {
 public:
  Folder() {
    for (const Size& s : kSizes) {
      const std::string text = settingsText(s.bytes);
      for (int copy = 0; copy < kCopies; ++copy) std::ofstream(file(s, copy), std::ios::binary) << text;
    }
    // Written long before they are read, as on a disc: once the file clock
    // has moved on, nothing can change them unseen.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  static constexpr int kCopies = 12;
  std::string file(const Size& s, int copy) const {
    return desktop_.dir() + "/" + s.name + "-" + std::to_string(copy % kCopies) + ".inf";
  }

 private:
  qvbench::DesktopFolder desktop_{"qvbench"};
};

const Folder& folder() {
  static Folder f;
  return f;
}

// ReadSettings' reads, in its order.
void readSettings(TIniFile& ini) {
  const char* q = "quorvel";
  benchmark::DoNotOptimize(ini.ReadBool(q, "singleinstance", false));
  benchmark::DoNotOptimize(ini.ReadString(q, "splashscreenimg", ""));
  benchmark::DoNotOptimize(ini.ReadInteger(q, "splashscreentime", 2));
  benchmark::DoNotOptimize(ini.ReadString("autorun", "icon", ""));
  for (const char* key : {"windowcaption", "appcaption", "startpage", "altstartpage", "intromusic", "borderstyle",
                          "skin", "skinposition", "toolbar", "buttondir", "windowposition", "windowheight",
                          "windowwidth", "contextmenu", "requirements", "executeext"})
    benchmark::DoNotOptimize(ini.ReadString(q, key, ""));
  for (const char* key : {"dropshadow", "uselanguagestartpage", "loopmusic", "stopmusiconclick", "fullscreen",
                          "hidesplashscreen", "defaultcursor", "noscrollbars", "forceofflinemode", "internalpopups",
                          "disablescripterrors", "hideheaderfooter", "showstatusbar"})
    benchmark::DoNotOptimize(ini.ReadBool(q, key, false));
  benchmark::DoNotOptimize(ini.ReadInteger(q, "toolbarcolor", 0));
  benchmark::DoNotOptimize(ini.ReadInteger(q, "fadein", 0));
  if (ini.ValueExists(q, "windowwith")) benchmark::DoNotOptimize(ini.ReadInteger(q, "windowwith", 600));
  benchmark::DoNotOptimize(ini.ReadBool("fulltextsearchengine", "active", false));
  benchmark::DoNotOptimize(ini.ReadString("fulltextsearchengine", "index", ""));
  benchmark::DoNotOptimize(ini.ReadString("fulltextsearchengine", "resulttemplate", ""));
}

// Which copy comes next, over all rounds and repetitions.
int nextCopy() {
  static int copy = 0;
  return copy++;
}

void readAllKeys(benchmark::State& state, const Size& size) {
  for (auto _ : state) {
    TIniFile ini(folder().file(size, nextCopy()));
    readSettings(ini);
  }
}

void parseOnce(benchmark::State& state, const Size& size) {
  for (auto _ : state) {
    std::ifstream in(folder().file(size, nextCopy()), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    qv::os::ProfileText text(bytes);
    benchmark::DoNotOptimize(text);
  }
}

}  // namespace

int main(int argc, char** argv) {
  (void)folder();  // the files, made before any round is timed
  std::vector<qvbench::Pair> pairs;
  for (const Size& s : kSizes) {
    const std::string ours = std::string("ReadAllKeys/") + s.name, baseline = std::string("ParseOnce/") + s.name;
    benchmark::RegisterBenchmark(ours.c_str(), [&s](benchmark::State& st) { readAllKeys(st, s); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(baseline.c_str(), [&s](benchmark::State& st) { parseOnce(st, s); })
        ->Unit(benchmark::kMillisecond);
    pairs.push_back({std::string("settings ") + s.name, ours, baseline, 1.5});
  }
  return qvbench::runWithRatios(argc, argv, std::move(pairs));
}
