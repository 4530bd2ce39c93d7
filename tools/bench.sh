#!/usr/bin/env bash
# Builds the benchmarks in Release in their own tree and runs them: every group's compute
# step against the bare file calls it makes (and strace's count of both, which must agree),
# its scaling to 10 and 100 times the records, a group change on the Qt window until the
# list has painted, the list filled with 1,000 to 100,000 rows until painted, start-up to
# the first figure shown (kelvo_startup_probe; hyperfine over the whole kelvo process as a
# check), and every group's size chart in kelvo-cli against one figure in kelvo-cli.
#   tools/bench.sh [Google Benchmark flags, e.g. --benchmark_filter=Floor]
# KELVO_BENCH_BUILD_DIR overrides the build tree (default build-bench).
# KELVO_BENCH_BASELINE names the build tree of an older tree to set beside this one (built
# with its own tools/bench.sh or the same targets): its list fill and its charts are
# measured in the same run, and its charts must be byte for byte this tree's.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BENCH_BUILD_DIR:-$top/build-bench}
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKELVO_BENCH=ON -DKELVO_WERROR=ON >/dev/null
baseline=${KELVO_BENCH_BASELINE:-}
targets=(kelvo_bench kelvo_syscall_probe kelvo-cli)
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
  if [ -n "$baseline" ] && [ -x "$baseline/bin/kelvo_qt_bench" ]; then
    # Three repetitions: a list that fills in quadratic time takes about a minute for 100,000 rows.
    echo "== the result list filled, baseline $baseline"
    "$baseline/bin/kelvo_qt_bench" --benchmark_filter=QtListFill --benchmark_repetitions=3 | sed -n '/^Result list/,$p'
  fi

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

# A whole size chart against one figure, each a kelvo-cli process on the bundled tables:
# every group, girls and boys in every age group, the chart written in the default dialect.
if command -v hyperfine >/dev/null; then
  data=$build/share/kelvo
  charts=$(mktemp -d)
  timings() {  # label, kelvo-cli, group arguments: "label single chart ratio" (mean wall times)
    hyperfine --shell=none --warmup 3 --runs 20 --style none --export-csv "$charts/times.csv" \
      "$2 --data $data ${*:3}" "$2 --data $data ${*:3} --chart $charts/$1.csv" >/dev/null
    awk -F, -v label="$1" 'NR == 2 {single = $2} NR == 3 {chart = $2}
      END {printf "%-14s %9.1f ms %9.1f ms %8.1f  %s\n", label, single * 1e3, chart * 1e3, chart / single,
           chart / single <= 10 ? "met" : "MISSED"}' "$charts/times.csv"
  }
  echo "== size charts in kelvo-cli: one figure, the whole chart, their ratio (target <= 10)"
  printf '%-14s %12s %12s %8s\n' "chart" "one figure" "chart" "ratio"
  chart_runs=("nursery --group 0" "women --group 3" "men --group 4")
  for age in 0 1 2 3; do chart_runs+=("girls-$age --group 1 --age $age" "boys-$age --group 2 --age $age"); done
  for run in "${chart_runs[@]}"; do
    read -r label arguments <<<"$run"
    timings "$label" "$build/bin/kelvo-cli" $arguments
  done
  if [ -n "$baseline" ]; then
    echo "== size charts in kelvo-cli, baseline $baseline; its charts compared with this tree's, both dialects"
    mkdir -p "$charts/baseline"
    for run in "${chart_runs[@]}"; do
      read -r label arguments <<<"$run"
      timings "baseline/$label" "$baseline/bin/kelvo-cli" $arguments
      for dialect in excel rfc4180; do
        "$build/bin/kelvo-cli" --data "$data" $arguments --chart "$charts/new.csv" --chart-format $dialect
        "$baseline/bin/kelvo-cli" --data "$data" $arguments --chart "$charts/old.csv" --chart-format $dialect
        cmp -s "$charts/new.csv" "$charts/old.csv" || echo "$label ($dialect): the charts DIFFER"
      done
    done
    echo "charts compared: $((${#chart_runs[@]} * 2)), every one the same unless said above"
  fi
  rm -rf "$charts"
else
  echo "hyperfine is missing (apt-get install hyperfine): the size charts are not timed"
fi

echo "== body surveys: kelvo-cli --survey against one mawk pass over the same file"
if command -v mawk >/dev/null; then
  "$top/bench/survey-bench.sh" "$build/bin/kelvo-cli" "$build/share/kelvo" "$build/surveys"
else
  echo "mawk is missing (apt-get install mawk): the surveys are not timed"
fi
