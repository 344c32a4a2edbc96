#!/usr/bin/env bash
# Times the combined report window headless (bench/report_window_bench) on
# generated months (bench/report_gen) of 1000 and 5000 employees: showing the
# window through GO until every row is filled and painted (median of 5), one
# in-place edit with its row recalculation (median of 101), and the peak
# memory of the process. Prints the figures and checks the targets: 1000
# employees under 0.5 s, 5000 under 2 s, an edit under 5 ms, peak memory for
# 5000 under 300 MB.
#
# usage: scripts/bench-report-window.sh [BUILD_DIR]   (default: build, the test build)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
MONTH=3
YEAR=2024
RUNS=5
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$WORK/build.log" 2>&1 ||
    { cat "$WORK/build.log" >&2; exit 1; }
fi
cmake --build "$BUILD" -j2 --target report_window_bench report_gen >"$WORK/build.log" 2>&1 ||
  { cat "$WORK/build.log" >&2; exit 1; }

status=0
check() {  # label value limit unit
  if awk -v v="$2" -v l="$3" 'BEGIN { exit !(v < l) }'; then
    echo "$1: $2 $4 (target < $3 $4): ok"
  else
    echo "$1: $2 $4 (target < $3 $4): MISSED"
    status=1
  fi
}

printf '%-10s %-10s %-9s %-8s\n' employees show_go_s edit_ms peak_mb
declare -A GO EDIT PEAK
for n in 1000 5000; do
  "$BUILD/bench/report_gen" "$WORK/n$n" "$n" "$MONTH" "$YEAR" >/dev/null
  read -r count go edit peak < <(QT_QPA_PLATFORM=offscreen "$BUILD/bench/report_window_bench" "$WORK/n$n" "$MONTH" "$YEAR" "$RUNS")
  GO[$n]=$go
  EDIT[$n]=$edit
  PEAK[$n]=$peak
  printf '%-10s %-10s %-9s %-8s\n' "$count" "$go" "$edit" "$peak"
done
check "1000 employees, show and GO" "${GO[1000]}" 0.5 s
check "5000 employees, show and GO" "${GO[5000]}" 2 s
check "one edit with its row (5000)" "${EDIT[5000]}" 5 ms
check "peak memory (5000)" "${PEAK[5000]}" 300 MB
exit $status
