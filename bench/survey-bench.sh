#!/usr/bin/env bash
# kelvo-cli --survey against one mawk pass that sums three columns of the same file, side by
# side in one run, for 10^5, 10^6 and 10^7 people of a generated women's survey (height,
# chest, hip in cm, normally spread); each the best of five wall times, and the peak memory.
#   bench/survey-bench.sh KELVO-CLI DATA-DIR [WORK-DIR]
set -euo pipefail
cli=$1 data=$2 work=${3:-$(mktemp -d)}
command -v mawk >/dev/null || { echo "survey-bench: mawk is not installed" >&2; exit 2; }
mkdir -p "$work"
best() {  # the best wall time of five runs of "$@", in seconds, and the peak memory in KB
  local t m best_t=999999 peak=0
  for _ in 1 2 3 4 5; do
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>&1
    read -r t m <"$work/time"
    best_t=$(awk -v a="$t" -v b="$best_t" 'BEGIN {print (a < b) ? a : b}')
    [ "$m" -gt "$peak" ] && peak=$m
  done
  echo "$best_t $peak"
}
printf '%-9s %12s %10s %12s %8s %12s\n' people "kelvo (s)" "mawk (s)" "kelvo/mawk" "MB" "s/10^6"
for n in 100000 1000000 10000000; do
  file=$work/survey-$n.csv
  [ -s "$file" ] || python3 - "$n" "$file" <<'PY'
import random, sys
n, path = int(sys.argv[1]), sys.argv[2]
random.seed(n)
with open(path, "w") as f:
    f.write("T1,T16,T19\n")
    for _ in range(n):
        h = random.gauss(166, 6); c = random.gauss(96, 8); f.write("%.1f,%.1f,%.1f\n" % (h, c, c + random.gauss(6, 4)))
PY
  read -r k km < <(best "$cli" --data "$data" --group women --survey "$file")
  read -r a _ < <(best mawk -F, '{a+=$1;b+=$2;c+=$3} END{print a,b,c}' "$file")
  awk -v n="$n" -v k="$k" -v a="$a" -v m="$km" 'BEGIN {printf "%-9d %12.3f %10.3f %12.2f %8.1f %12.3f\n", n, k, a, k / a, m / 1024, k / n * 1e6}'
done
