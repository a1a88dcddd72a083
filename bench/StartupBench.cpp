// The real qvlaunch process from its start to the start page of the demo
// disc and its end (the splash off, no exit splash: its driver script ends
// it as soon as the page is shown and it is idle), beside a program linked
// to the same libraries that reads the settings file and parses the start
// page with libxml2 (bench_start_baseline). Also the start with a settings
// file of 10 MB. Aims: under 2 times the baseline; under 0.3 s with the
// 10 MB file; a peak of under 25 MB on the demo disc (counter peak_MB).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RatioReporter.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The demo disc laid out as it would be burnt, once with its own settings
// and once with 10 MB of other sections after them.
class Disc {
 public:
  Disc() {
    std::string tmpl = (fs::temp_directory_path() / "qvbench-start-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) std::abort();
    root_ = tmpl;
    stage(root_ + "/disc", 0);
    stage(root_ + "/large", 10u << 20);
    std::ofstream(root_ + "/end.drv") << "end\n";
  }
  ~Disc() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string disc() const { return root_ + "/disc"; }
  std::string large() const { return root_ + "/large"; }
  std::string script() const { return root_ + "/end.drv"; }
  std::string home() const { return root_ + "/home"; }

 private:
  static void stage(const std::string& to, std::size_t filler) {
    fs::create_directories(to);
    for (const auto& e : fs::directory_iterator(QV_SOURCE_DIR "/examples/disc")) {
      const std::string ext = e.path().extension().string();
      if (ext == ".html" || ext == ".bmp" || ext == ".ico" || ext == ".wav" || ext == ".lib")
        fs::copy_file(e.path(), to + "/" + e.path().filename().string(), fs::copy_options::overwrite_existing);
    }
    fs::copy_file(QV_BIN_DIR "/qvlaunch", to + "/qvlaunch.exe", fs::copy_options::overwrite_existing);
    std::ifstream in(QV_SOURCE_DIR "/examples/disc/autorun.inf", std::ios::binary);
    std::ofstream out(to + "/autorun.inf", std::ios::binary);
    for (std::string line; std::getline(in, line);)
      if (line.rfind("splashscreen", 0) != 0 && line.rfind("singleinstance", 0) != 0) out << line << "\n";
    out << "hidesplashscreen=1\r\n";
    for (std::size_t n = 0, written = 0; written < filler; ++n) {
      std::string l = (n % 64 == 0 ? "[files" + std::to_string(n) + "]\r\n" : std::string()) + "file" +
                      std::to_string(n) + "=pages\\section\\page" + std::to_string(n) + ".html\r\n";
      out << l;
      written += l.size();
    }
  }
  std::string root_;
};

const Disc& disc() {
  static Disc d;
  return d;
}

struct Run {
  double seconds = 0;
  double peakMB = 0;
  bool ok = false;
};

Run run(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("QV_", 0) != 0) env.emplace_back(*e);
  env.insert(env.end(), extraEnv.begin(), extraEnv.end());
  std::vector<char*> argv, envp;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  Run r;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return r;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return r;
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.peakMB = usage.ru_maxrss / 1024.0;
  r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return r;
}

void measure(benchmark::State& state, const std::vector<std::string>& args, const std::vector<std::string>& env) {
  double peak = 0;
  for (auto _ : state) {
    Run r = run(args, env);
    if (!r.ok) {
      state.SkipWithError("the program failed");
      return;
    }
    state.SetIterationTime(r.seconds);
    peak = std::max(peak, r.peakMB);
  }
  state.counters["peak_MB"] = peak;
}

std::vector<std::string> launchEnv() {
  return {"QV_DRIVER=" + disc().script(), "QV_HOME=" + disc().home()};
}

void Qvlaunch_DemoDisc(benchmark::State& state) {
  measure(state, {disc().disc() + "/qvlaunch.exe"}, launchEnv());
}

void Qvlaunch_10MBSettings(benchmark::State& state) {
  measure(state, {disc().large() + "/qvlaunch.exe"}, launchEnv());
}

void Baseline_DemoDisc(benchmark::State& state) {
  measure(state, {QV_BIN_DIR "/bench_start_baseline", disc().disc()}, {});
}

BENCHMARK(Qvlaunch_DemoDisc)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(Baseline_DemoDisc)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(Qvlaunch_10MBSettings)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

int main(int argc, char** argv) {
  return qvbench::runWithRatios(argc, argv, {{"start to the start page", "Qvlaunch_DemoDisc", "Baseline_DemoDisc", 2}});
}
