#!/usr/bin/env bash
# Builds the benchmarks in Release in their own tree and runs them: every group's compute
# step against the bare file calls it makes, its scaling to 10 and 100 times the records,
# a group change on the Qt window until the list has painted, and start-up to the first
# figure (hyperfine over kelvo drawing its window offscreen and ending).
#   tools/bench.sh [Google Benchmark flags, e.g. --benchmark_filter=Floor]
# KELVO_BENCH_BUILD_DIR overrides the build tree (default build-bench).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BENCH_BUILD_DIR:-$top/build-bench}
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKELVO_BENCH=ON -DKELVO_WERROR=ON >/dev/null
targets=(kelvo_bench)
if grep -q '^KELVO_BUILD_QT:BOOL=ON' "$build/CMakeCache.txt"; then targets+=(kelvo_qt_bench kelvo); fi
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== compute step, floor and scaling (headless)"
"$build/bin/kelvo_bench" "$@"

if [ -x "$build/bin/kelvo_qt_bench" ]; then
  echo "== Qt window"
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bin/kelvo_qt_bench" "$@"

  echo "== start-up to the first figure (women, the default; men, the largest table)"
  if command -v hyperfine >/dev/null; then
    picture=$(mktemp -d)
    trap 'rm -rf "$picture"' EXIT
    hyperfine --shell=none --warmup 3 --runs 30 \
      --command-name "kelvo (women)" \
      "env QT_QPA_PLATFORM=offscreen KELVO_SCREENSHOT=$picture/window.png $build/bin/kelvo" \
      --command-name "kelvo 4 (men)" \
      "env QT_QPA_PLATFORM=offscreen KELVO_SCREENSHOT=$picture/window.png $build/bin/kelvo 4"
  else
    echo "hyperfine is missing (apt-get install hyperfine): start-up not measured"
  fi
fi
