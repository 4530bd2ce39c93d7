#include "bench/summary.h"

#include <cstdio>
#include <cstring>

namespace kelvo::bench {

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error_occurred) continue;
        const double toNs = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        const Times times{run.GetAdjustedRealTime() * toNs, run.GetAdjustedCPUTime() * toNs};
        if (run.run_type == Run::RT_Aggregate) {
            if (run.aggregate_name == "median") medians_[run.run_name.function_name] = times;
        } else {
            singles_[run.run_name.function_name] = times;
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

std::optional<Times> SummaryReporter::Of(const std::string& name) const {
    if (const auto m = medians_.find(name); m != medians_.end()) return m->second;
    if (const auto s = singles_.find(name); s != singles_.end()) return s->second;
    return std::nullopt;
}

std::vector<char*> WithDefaultFlags(int argc, char** argv, std::vector<std::string>& storage) {
    const auto given = [&](const char* flag) {
        for (int i = 1; i < argc; ++i)
            if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) return true;
        return false;
    };
    storage.clear();
    // Repetitions interleaved across benchmarks, so that a slow moment of the machine
    // spreads over all of them instead of skewing one ratio.
    if (!given("--benchmark_repetitions")) storage.emplace_back("--benchmark_repetitions=7");
    if (!given("--benchmark_enable_random_interleaving"))
        storage.emplace_back("--benchmark_enable_random_interleaving=true");
    if (!given("--benchmark_report_aggregates_only"))
        storage.emplace_back("--benchmark_report_aggregates_only=true");
    std::vector<char*> args(argv, argv + argc);
    for (std::string& flag : storage) args.push_back(flag.data());
    args.push_back(nullptr);
    return args;
}

std::string FormatTime(double nanoseconds) {
    char text[32];
    if (nanoseconds >= 1e6)
        std::snprintf(text, sizeof text, "%.2f ms", nanoseconds / 1e6);
    else
        std::snprintf(text, sizeof text, "%.1f us", nanoseconds / 1e3);
    return text;
}

bool RunBenchmarks(int argc, char** argv, SummaryReporter& reporter) {
    std::vector<std::string> storage;
    std::vector<char*> args = WithDefaultFlags(argc, argv, storage);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return false;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return true;
}

}  // namespace kelvo::bench
