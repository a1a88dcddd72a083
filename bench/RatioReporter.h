// The console report of Google Benchmark, followed by each pair's ratio:
// our time over the baseline's, measured in the same run, with the aim.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace qvbench {

struct Pair {
  std::string label;
  std::string ours;      // benchmark names, without their arguments
  std::string baseline;
  double aim;            // the ratio to stay under
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(std::vector<Pair> pairs) : pairs_(std::move(pairs)) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) times_[r.run_name.function_name] = r.GetAdjustedRealTime();
  }
  // Prints the ratios; false when one is over its aim.
  bool printRatios() const {
    bool within = true;
    for (const Pair& p : pairs_) {
      auto ours = times_.find(p.ours);
      auto theirs = times_.find(p.baseline);
      if (ours == times_.end() || theirs == times_.end() || theirs->second <= 0) continue;
      const double ratio = ours->second / theirs->second;
      within = within && ratio < p.aim;
      std::printf("%-28s %s / baseline = %.2f (aim < %.1f)%s\n", p.label.c_str(), p.ours.c_str(), ratio, p.aim,
                  ratio < p.aim ? "" : "  OVER");
    }
    return within;
  }

 private:
  std::vector<Pair> pairs_;
  std::map<std::string, double> times_;
};

// Runs the benchmarks given on the command line with the report above.
inline int runWithRatios(int argc, char** argv, std::vector<Pair> pairs) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(std::move(pairs));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  benchmark::Shutdown();
  return 0;
}

}  // namespace qvbench
