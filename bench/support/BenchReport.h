#pragma once

// Runs the registered benchmarks, keeps each run's time per iteration, and
// prints the figure lines the benchmark READMEs promise:
//   RATIO <name> <ours/anchor>      FIGURE <name> <value> <unit>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace corvane::bench {

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                seconds_[run.benchmark_name()] = run.GetAdjustedRealTime() * unitSeconds(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }

    // Seconds per iteration of a benchmark run, 0 when it did not run.
    double seconds(const std::string& name) const {
        auto it = seconds_.find(name);
        return it == seconds_.end() ? 0 : it->second;
    }

private:
    static double unitSeconds(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kNanosecond: return 1e-9;
        case benchmark::kMicrosecond: return 1e-6;
        case benchmark::kMillisecond: return 1e-3;
        default: return 1;
        }
    }
    std::map<std::string, double> seconds_;
};

inline void printRatio(const char* name, double ours, double anchor) {
    if (ours > 0 && anchor > 0) std::printf("RATIO %s %.3f\n", name, ours / anchor);
}

inline void printFigure(const char* name, double value, const char* unit) {
    std::printf("FIGURE %s %.3f %s\n", name, value, unit);
}

}  // namespace corvane::bench
