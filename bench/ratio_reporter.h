#pragma once
// The console report of Google Benchmark that also keeps each benchmark's
// real time per iteration (by function name), for the ratios a benchmark
// prints against its baseline run in the same process.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace tdx::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& r : runs)
      if (r.run_type == Run::RT_Iteration) times[r.run_name.function_name] = r.GetAdjustedRealTime();
  }
};

}  // namespace tdx::bench
