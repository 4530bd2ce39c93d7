// The compute step of every group on the headless front end, against its floor: the same
// opens, seeks, reads and closes of the same table with nothing around them; and the step
// on tables with 10 and 100 times the records.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "bench/figure_runs.h"
#include "bench/summary.h"
#include "platform/codepage.h"
#include "res/resource.h"

namespace kelvo::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kScales[] = {1, 10, 100};
constexpr double kFloorTarget = 1.25;
constexpr double kScalingTarget = 110.0;

// Fields per compute step on the bundled tables, as the floor counted them.
std::map<std::string, std::size_t> fieldCounts;

std::size_t FieldCount(const GroupRun& run) {
    const auto found = fieldCounts.find(run.name);
    return found == fieldCounts.end() ? 0 : found->second;
}

std::string DataDirectoryFor(const fs::path& native) { return platform::Utf8ToAnsi(native.string()); }

std::string ScaledName(const GroupRun& run, int scale) {
    std::string name = Name("Scaled", run);
    name += '/';
    name += std::to_string(scale);
    name += 'x';
    return name;
}

void Compute(benchmark::State& state, const GroupRun& run, const fs::path& dataDirectory) {
    HeadlessFigure figure(run.group, DataDirectoryFor(dataDirectory));
    const std::int32_t rows = figure.dialog.Results().GetSize();
    if (!figure.dialog.IsComputed() || rows == 0) {
        state.SkipWithError("the window opened without a figure");
        return;
    }
    for (auto _ : state) (figure.dialog.*run.compute)();
    if (figure.window->ItemCount(res::kIdResultList) != rows) state.SkipWithError("the list lost rows");
    state.counters["rows"] = rows;
    state.SetItemsProcessed(state.iterations() * rows);
}

// The number of read() calls one compute step makes: one per field it reads.
std::int64_t CountFieldReads(HeadlessFigure& figure, const GroupRun& run) {
    const std::int64_t first = ReadCalls();
    const std::int64_t own = ReadCalls() - first;  // what taking the count costs
    const std::int64_t before = ReadCalls();
    (figure.dialog.*run.compute)();
    const std::int64_t after = ReadCalls();
    return first < 0 ? -1 : after - before - own;
}

void Floor(benchmark::State& state, const GroupRun& run, const fs::path& dataDirectory) {
    HeadlessFigure figure(run.group, DataDirectoryFor(dataDirectory));
    const std::string path = (dataDirectory / "BD" / run.file).string();
    TableLayout layout;
    if (!ReadLayout(path, layout)) {
        state.SkipWithError("the table's layout cannot be read");
        return;
    }
    const std::vector<FieldRead> reads = ComputeReads(run, layout, figure.dialog.Keys());
    // The floor must make exactly the calls the compute step makes, or the ratio means nothing.
    const std::int64_t made = CountFieldReads(figure, run);
    if (made >= 0 && made != static_cast<std::int64_t>(reads.size())) {
        char message[128];
        std::snprintf(message, sizeof message, "the compute step reads %lld fields, the floor %zu",
                      static_cast<long long>(made), reads.size());
        state.SkipWithError(message);
        return;
    }
    for (auto _ : state) {
        const std::int64_t bytes = ReadFieldsBare(path.c_str(), reads);
        benchmark::DoNotOptimize(bytes);
        if (bytes < 0) {
            state.SkipWithError("a bare field read failed");
            break;
        }
    }
    state.counters["fields"] = static_cast<double>(reads.size());
    fieldCounts[run.name] = reads.size();
}

// A temporary data directory holding each group's table scaled by `scale`, per scale.
class ScaledTables {
public:
    bool Write(const fs::path& bundled) {
        std::string pattern = (fs::temp_directory_path() / "kelvo-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) return false;
        root_ = pattern;
        for (const int scale : kScales) {
            const fs::path bd = For(scale) / "BD";
            fs::create_directories(bd);
            for (const GroupRun& run : GroupRuns())
                if (!WriteScaledTable((bundled / "BD" / run.file).string(), (bd / run.file).string(), scale))
                    return false;
        }
        return true;
    }
    ~ScaledTables() {
        std::error_code ignored;
        if (!root_.empty()) fs::remove_all(root_, ignored);
    }
    fs::path For(int scale) const { return root_ / ('x' + std::to_string(scale)); }

private:
    fs::path root_;
};

void PrintSummary(const SummaryReporter& reporter) {
    std::printf("\nCompute step with RefreshList (headless) against the floor, bundled tables\n"
                "(times are CPU time, user + system; the verdict is on the CPU-time ratio)\n");
    std::printf("%-8s %7s %10s %10s %9s %10s  %s\n", "group", "fields", "floor", "compute", "ratio",
                "real-time", "target <= 1.25");
    for (const GroupRun& run : GroupRuns()) {
        const auto floor = reporter.Of(Name("Floor", run));
        const auto compute = reporter.Of(Name("Compute", run));
        if (!floor || !compute) continue;
        const double ratio = compute->cpu / floor->cpu;
        std::printf("%-8s %7zu %10s %10s %9.3f %10.3f  %s\n", run.name, FieldCount(run),
                    FormatTime(floor->cpu).c_str(), FormatTime(compute->cpu).c_str(), ratio,
                    compute->real / floor->real, ratio <= kFloorTarget ? "met" : "MISSED");
    }
    std::printf("\nCompute step on tables with 1, 10 and 100 times the records (CPU time)\n");
    std::printf("%-8s %10s %10s %10s %8s %8s %10s  %s\n", "group", "1x", "10x", "100x", "10x/1x",
                "100x/1x", "real-time", "target <= 110");
    for (const GroupRun& run : GroupRuns()) {
        const auto one = reporter.Of(ScaledName(run, 1));
        const auto ten = reporter.Of(ScaledName(run, 10));
        const auto hundred = reporter.Of(ScaledName(run, 100));
        if (!one || !ten || !hundred) continue;
        const double ratio = hundred->cpu / one->cpu;
        std::printf("%-8s %10s %10s %10s %8.1f %8.1f %10.1f  %s\n", run.name,
                    FormatTime(one->cpu).c_str(), FormatTime(ten->cpu).c_str(),
                    FormatTime(hundred->cpu).c_str(), ten->cpu / one->cpu, ratio,
                    hundred->real / one->real, ratio <= kScalingTarget ? "met" : "MISSED");
    }
}

}  // namespace
}  // namespace kelvo::bench

int main(int argc, char** argv) {
    using namespace kelvo::bench;
    const fs::path bundled = KELVO_BUNDLED_DATA;
    ScaledTables scaled;
    if (!scaled.Write(bundled)) {
        std::fprintf(stderr, "kelvo_bench: cannot write the scaled tables from %s\n", bundled.c_str());
        return 1;
    }
    for (const GroupRun& run : GroupRuns()) {
        benchmark::RegisterBenchmark(Name("Compute", run).c_str(), Compute, run, bundled);
        benchmark::RegisterBenchmark(Name("Floor", run).c_str(), Floor, run, bundled);
        for (const int scale : kScales)
            benchmark::RegisterBenchmark(ScaledName(run, scale).c_str(), Compute, run, scaled.For(scale));
    }
    SummaryReporter reporter;
    if (!RunBenchmarks(argc, argv, reporter)) return 1;
    PrintSummary(reporter);
    return 0;
}
