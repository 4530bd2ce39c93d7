#pragma once
// The console report of Google Benchmark, keeping each benchmark's time (the median of its
// repetitions when there are several) so that a run can end with the ratios it is for.

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::bench {

// Per iteration, in nanoseconds. CPU time is the process's own, user and system: on a
// machine that other work shares it is the steadier of the two for ratios.
struct Times {
    double real = 0;
    double cpu = 0;
};

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // The times of the benchmark registered as `name`.
    std::optional<Times> Of(const std::string& name) const;

private:
    std::map<std::string, Times> medians_;
    std::map<std::string, Times> singles_;
};

// Adds the defaults of a measuring run (repetitions, interleaved, medians only) unless the
// command line sets them itself; the result lives as long as `storage`.
std::vector<char*> WithDefaultFlags(int argc, char** argv, std::vector<std::string>& storage);

// "123.4 us" for a time in nanoseconds.
std::string FormatTime(double nanoseconds);

// Runs the registered benchmarks that the flags select with the report above; false when
// the command line holds an argument Google Benchmark does not know.
bool RunBenchmarks(int argc, char** argv, SummaryReporter& reporter);

}  // namespace kelvo::bench
