#!/usr/bin/env bash
# Builds and runs the folder-lock benchmark and prints what taking turns in a
# shared program folder adds to one transfer, against 5 ms.
#
# usage: scripts/bench-lock.sh [BUILD_DIR]   (default: build-bench, configured
# as Release without the Qt parts when it does not exist yet)
# VORTANE_BENCH_DIR=/mnt/share/folder measures on another file system (a share).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build-bench}"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORTANE_GUI=OFF >"$WORK/build.log" 2>&1 ||
    { cat "$WORK/build.log" >&2; exit 1; }
fi
cmake --build "$BUILD" -j2 --target folder_lock_bench >"$WORK/build.log" 2>&1 || { cat "$WORK/build.log" >&2; exit 1; }

"$BUILD/bench/folder_lock_bench" --benchmark_min_time=0.5 --benchmark_format=json >"$WORK/result.json"

python3 - "$WORK/result.json" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
t = {b["name"].replace("BM_", ""): b["real_time"] for b in data["benchmarks"]}
print("shared program folder, per transfer (median of the runs' means):")
print(f"  transfer lock taken and let go        {t['TransferLockAndRelease'] / 1000:8.3f} ms")
print(f"  all the locking of one transfer       {t['LockingOfOneTransfer'] / 1000:8.3f} ms  (target < 5 ms)")
print(f"  for scale: storing the pointer        {t['StorePointer'] / 1000:8.3f} ms")
sys.exit(0 if t['LockingOfOneTransfer'] < 5000 else 1)
PY
