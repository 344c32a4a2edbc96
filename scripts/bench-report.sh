#!/usr/bin/env bash
# Times the combined report from the command line (whole process, median of
# five runs) for installations of 100, 1000 and 5000 employees made by
# bench/report_gen, next to the time of only reading the month's log
# (vortane-cli read-log), and checks the targets:
#   1000 employees under 0.5 s; 5000 employees under 6 x the 1000 time.
#
# usage: scripts/bench-report.sh [BUILD_DIR]   (default: build-bench, configured
# as Release without the Qt parts when it does not exist yet)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build-bench}"
RUNS=5
SIZES=(100 1000 5000)
MONTH=3
YEAR=2024

CLI="$BUILD/src/app/vortane-cli"
GEN="$BUILD/bench/report_gen"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

# An existing build folder is used as configured (RelWithDebInfo is as fast).
if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORTANE_GUI=OFF >"$WORK/build.log" 2>&1 ||
    { cat "$WORK/build.log" >&2; exit 1; }
fi
cmake --build "$BUILD" -j2 --target vortane-cli report_gen >"$WORK/build.log" 2>&1 || { cat "$WORK/build.log" >&2; exit 1; }

now_ns() { date +%s%N; }

# Median wall time in seconds of RUNS runs of the given command.
median_time() {
  local times=()
  for _ in $(seq "$RUNS"); do
    local t0 t1
    t0=$(now_ns)
    "$@" >/dev/null 2>"$WORK/stderr" || { echo "failed: $*" >&2; cat "$WORK/stderr" >&2; exit 1; }
    t1=$(now_ns)
    times+=($((t1 - t0)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((RUNS + 1) / 2))p" | awk '{ printf "%.3f", $1 / 1e9 }'
}

printf '%-10s %-14s %-12s %-12s %-8s\n' employees registrations report_s read_log_s ratio
declare -A REPORT
for n in "${SIZES[@]}"; do
  dir="$WORK/n$n"
  "$GEN" "$dir" "$n" "$MONTH" "$YEAR" >/dev/null
  regs=$(wc -l <"$dir/Log/${MONTH}_${YEAR}.txt")
  report=$(median_time "$CLI" report --dir "$dir" --month "$MONTH" --year "$YEAR")
  readlog=$(median_time "$CLI" read-log --dir "$dir" --month "$MONTH" --year "$YEAR")
  ratio=$(awk -v a="$report" -v b="$readlog" 'BEGIN { printf "%.1f", (b > 0 ? a / b : 0) }')
  REPORT[$n]=$report
  printf '%-10s %-14s %-12s %-12s %-8s\n' "$n" "$regs" "$report" "$readlog" "$ratio"
done

status=0
if awk -v t="${REPORT[1000]}" 'BEGIN { exit !(t < 0.5) }'; then
  echo "1000 employees: ${REPORT[1000]} s (target < 0.5 s): ok"
else
  echo "1000 employees: ${REPORT[1000]} s (target < 0.5 s): MISSED"
  status=1
fi
growth=$(awk -v a="${REPORT[5000]}" -v b="${REPORT[1000]}" 'BEGIN { printf "%.2f", a / b }')
if awk -v g="$growth" 'BEGIN { exit !(g < 6) }'; then
  echo "5000 / 1000 employees: ${growth} x (target < 6 x): ok"
else
  echo "5000 / 1000 employees: ${growth} x (target < 6 x): MISSED"
  status=1
fi
exit $status
