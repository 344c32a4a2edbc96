#!/usr/bin/env bash
# Builds and runs the attendance robot benchmark and prints how many
# employee-months one core computes per second.
#
# usage: scripts/bench-robot.sh [BUILD_DIR]   (default: build-bench, configured
# as Release without the Qt parts when it does not exist yet)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build-bench}"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

# An existing build folder is used as configured (RelWithDebInfo is as fast).
if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORTANE_GUI=OFF >"$WORK/build.log" 2>&1 ||
    { cat "$WORK/build.log" >&2; exit 1; }
fi
cmake --build "$BUILD" -j2 --target robot_bench >"$WORK/build.log" 2>&1 || { cat "$WORK/build.log" >&2; exit 1; }

"$BUILD/bench/robot_bench" --benchmark_min_time=0.5 --benchmark_format=json >"$WORK/result.json"

python3 - "$WORK/result.json" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
print("attendance robot, one employee-month (May 2021, 4 registrations a working day):")
for b in data["benchmarks"]:
    name = b["name"].replace("BM_", "")
    print(f"  {name:40s} {b['items_per_second']:12,.0f} employee-months/s  ({b['real_time']:.1f} us each)")
PY
