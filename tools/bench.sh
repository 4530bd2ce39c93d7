#!/usr/bin/env bash
# Builds the benchmarks in Release in their own tree and runs them: every group's compute
# step against the bare file calls it makes, its scaling to 10 and 100 times the records,
# a group change on the Qt window until the list has painted, and start-up to the first
# figure shown (kelvo_startup_probe; hyperfine over the whole kelvo process as a check).
#   tools/bench.sh [Google Benchmark flags, e.g. --benchmark_filter=Floor]
# KELVO_BENCH_BUILD_DIR overrides the build tree (default build-bench).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BENCH_BUILD_DIR:-$top/build-bench}
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKELVO_BENCH=ON -DKELVO_WERROR=ON >/dev/null
targets=(kelvo_bench)
if grep -q '^KELVO_BUILD_QT:BOOL=ON' "$build/CMakeCache.txt"; then
  targets+=(kelvo_qt_bench kelvo_startup_probe kelvo)
fi
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== compute step, floor and scaling (headless)"
"$build/bin/kelvo_bench" "$@"

if [ -x "$build/bin/kelvo_qt_bench" ]; then
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  # Qt wants a private runtime folder; without one it says so on every start.
  export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$scratch}

  echo "== Qt window"
  "$build/bin/kelvo_qt_bench" "$@"

  echo "== start-up to the first figure shown (women, the default; men, the largest table)"
  "$build/bin/kelvo_startup_probe" --runs 30
  "$build/bin/kelvo_startup_probe" --runs 30 4
  if command -v hyperfine >/dev/null; then
    echo "== the whole kelvo process, drawing its window into a PNG and ending"
    hyperfine --shell=none --warmup 3 --runs 30 \
      --command-name "kelvo (women)" "env KELVO_SCREENSHOT=$scratch/window.png $build/bin/kelvo" \
      --command-name "kelvo 4 (men)" "env KELVO_SCREENSHOT=$scratch/window.png $build/bin/kelvo 4"
  else
    echo "hyperfine is missing (apt-get install hyperfine): the whole process is not timed"
  fi
fi
