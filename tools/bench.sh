#!/usr/bin/env bash
# Builds the benchmarks in Release in their own tree and runs them: every group's compute
# step against the bare file calls it makes (and strace's count of both, which must agree),
# its scaling to 10 and 100 times the records, a group change on the Qt window until the
# list has painted, and start-up to the first figure shown (kelvo_startup_probe; hyperfine
# over the whole kelvo process as a check).
#   tools/bench.sh [Google Benchmark flags, e.g. --benchmark_filter=Floor]
# KELVO_BENCH_BUILD_DIR overrides the build tree (default build-bench).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BENCH_BUILD_DIR:-$top/build-bench}
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKELVO_BENCH=ON -DKELVO_WERROR=ON >/dev/null
targets=(kelvo_bench kelvo_syscall_probe)
if grep -q '^KELVO_BUILD_QT:BOOL=ON' "$build/CMakeCache.txt"; then
  targets+=(kelvo_qt_bench kelvo_startup_probe kelvo)
fi
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== compute step, floor and scaling (headless)"
"$build/bin/kelvo_bench" "$@"

# The floor is only a floor if it makes the very calls of the step: count both with strace,
# each as one run of the probe less a run that makes the same set-up and neither.
syscalls() {  # per-syscall call counts of one probe run, "name count" sorted by name
  strace -c -f -o "$1.strace" "$build/bin/kelvo_syscall_probe" "${@:2}" >/dev/null
  awk '$4 ~ /^[0-9]+$/ && $NF ~ /^[a-z_0-9]+$/ && $NF != "total" {print $NF, $4}' "$1.strace" | sort
}
delta() {  # the calls of $2 beyond those of $1, "name+count ..." or "none"
  join -a2 -e 0 -o 0,1.2,2.2 "$1" "$2" | awk '$3 != $2 {printf "%s%s+%d", sep, $1, $3 - $2; sep = " "}
                                             END {if (!sep) printf "none"}'
}
if command -v strace >/dev/null; then
  echo "== system calls of one compute step and one floor iteration (strace -c -f)"
  counts=$(mktemp -d)
  for group in nursery girls boys women men; do
    syscalls "$counts/s" "$group" setup 1 >"$counts/setup"
    syscalls "$counts/c" "$group" compute 1 >"$counts/compute"
    syscalls "$counts/f" "$group" floor 1 >"$counts/floor"
    step=$(delta "$counts/setup" "$counts/compute")
    bare=$(delta "$counts/setup" "$counts/floor")
    printf '%-8s compute step: %s\n%-8s floor:        %s  %s\n' "$group" "$step" "" "$bare" \
      "$([ "$step" = "$bare" ] && echo same || echo DIFFERENT)"
    # Beyond the counts: the file calls themselves, past the set-up's, in order with their
    # paths, offsets, lengths and results.
    for mode in setup compute floor; do
      strace -o "$counts/$mode.calls" -e trace=openat,lseek,read,close \
        "$build/bin/kelvo_syscall_probe" "$group" "$mode" 1 >/dev/null
      grep -v '^+++ exited' "$counts/$mode.calls" >"$counts/$mode.kept"
    done
    common=$(wc -l <"$counts/setup.kept")
    if tail -n +"$((common + 1))" "$counts/compute.kept" | cmp -s - <(tail -n +"$((common + 1))" "$counts/floor.kept") &&
      head -n "$common" "$counts/compute.kept" | cmp -s - "$counts/setup.kept"; then
      printf '%-8s the same %d file calls with the same arguments, in the same order\n' "" \
        "$(($(wc -l <"$counts/compute.kept") - common))"
    else
      printf '%-8s the file calls DIFFER (see %s)\n' "" "$counts"
      keep_counts=1
    fi
  done
  [ -n "${keep_counts:-}" ] || rm -rf "$counts"
else
  echo "strace is missing (apt-get install strace): the floor's calls are not counted"
fi

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
