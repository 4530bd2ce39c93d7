// Makes a group's compute step, or the floor's bare field reads, a given number of times
// after the same set-up, so that counting the system calls of two runs (`strace -c -f`,
// tools/bench.sh does it) shows what one step and one floor iteration cost in calls.
//   kelvo_syscall_probe GROUP compute|floor|setup COUNT [SCALE]
// GROUP is nursery, girls, boys, women or men. "setup" makes neither: its counts are what
// the other two are compared against. With SCALE the bundled table is first copied with
// its records repeated SCALE times into a temporary data directory (for profiling a step
// on a large table; the copy is counted in every mode alike).

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/figure_runs.h"
#include "platform/codepage.h"
#include "res/resource.h"

int main(int argc, char** argv) {
    using namespace kelvo::bench;
    namespace fs = std::filesystem;
    if (argc < 4) {
        std::fprintf(stderr, "usage: kelvo_syscall_probe GROUP compute|floor|setup COUNT [SCALE]\n");
        return 2;
    }
    const GroupRun* run = nullptr;
    for (const GroupRun& candidate : GroupRuns())
        if (std::strcmp(candidate.name, argv[1]) == 0) run = &candidate;
    const std::string mode = argv[2];
    const int count = std::atoi(argv[3]);
    if (!run || (mode != "compute" && mode != "floor" && mode != "setup") || count < 0) {
        std::fprintf(stderr, "kelvo_syscall_probe: unknown group or mode, or a negative count\n");
        return 2;
    }
    const int scale = argc > 4 ? std::atoi(argv[4]) : 1;
    const fs::path bundled = KELVO_BUNDLED_DATA;
    fs::path data = bundled;
    struct Scratch {
        fs::path root;
        ~Scratch() {
            std::error_code ignored;
            if (!root.empty()) fs::remove_all(root, ignored);
        }
    } scratch;
    if (scale != 1) {
        std::string pattern = (fs::temp_directory_path() / "kelvo-probe-XXXXXX").string();
        if (scale < 1 || !::mkdtemp(pattern.data())) return 2;
        scratch.root = data = pattern;
        fs::create_directories(data / "BD");
        if (!WriteScaledTable((bundled / "BD" / run->file).string(), (data / "BD" / run->file).string(), scale))
            return 1;
    }

    // Everything both kinds of run need, made in every run alike.
    HeadlessFigure figure(run->group, kelvo::platform::Utf8ToAnsi(data.string()));
    const std::string path = (data / "BD" / run->file).string();
    TableLayout layout;
    if (!figure.dialog.IsComputed() || !ReadLayout(path, layout)) {
        std::fprintf(stderr, "kelvo_syscall_probe: no figure, or %s cannot be read\n", path.c_str());
        return 1;
    }
    const std::vector<FieldRead> reads = ComputeReads(*run, layout, figure.dialog.Keys());

    std::int64_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        if (mode == "compute") {
            (figure.dialog.*run->compute)();
        } else if (mode == "floor") {
            const std::int64_t n = ReadFieldsBare(path.c_str(), reads);
            if (n < 0) return 1;
            bytes += n;
        }
    }
    std::printf("%s %s x%d: %zu fields a step, %d rows shown, %lld bytes read bare\n", run->name,
                mode.c_str(), count, reads.size(), figure.window->ItemCount(kelvo::res::kIdResultList),
                static_cast<long long>(bytes));
    return 0;
}
