#!/usr/bin/env bash
# Full-ring download speed against the line-rate floor.
#
# Builds vortane-cli and timeclock-sim, starts the simulator as a VORT RFID
# with every ring position written (9350 records to fetch), releasing its
# output at the pace of a 19200-baud line, and times
#   vortane-cli download --all
# The floor is the time the bytes that crossed the line (everything the tool
# sent and received, echo included, as it counts them) need at 1920 bytes per
# second. Prints both and their ratio; the target is a ratio of at most 2.0.
# Also prints what the transfer's journal cost (time waiting for the disk on
# its account, in all and per block of ten records).
#
#   BUILD_DIR   build folder (default: build-bench beside the sources)
#   BAUD        line rate (default 19200)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build-bench}"
BAUD="${BAUD:-19200}"

# An existing build folder is used as it is configured.
if [[ ! -f "$BUILD_DIR/build.ninja" ]]; then
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD_DIR" -j2 --target vortane-cli timeclock-sim >/dev/null

CLI="$BUILD_DIR/src/app/vortane-cli"
SIM="$BUILD_DIR/tools/timeclock-sim/timeclock-sim"

WORK="$(mktemp -d)"
SIM_PID=""
cleanup() {
  exec 3>&- 2>/dev/null || true
  if [[ -n "$SIM_PID" ]]; then kill "$SIM_PID" 2>/dev/null || true; wait "$SIM_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

mkdir -p "$WORK/inst/Log"
printf '[GLOBAL]\r\ntype=0\r\n' >"$WORK/inst/vortane.ini"
printf ';Zoznam pracovnikov\r\nPracovnik\t\t101\t\t0\t0\t100\t0\t\r\n' >"$WORK/inst/prac.txt"

# The simulator reads commands from stdin and ends at its end: keep it open.
mkfifo "$WORK/stdin"
"$SIM" --model rfid --full --wrapped --pace --baud "$BAUD" --production 4711 <"$WORK/stdin" >"$WORK/sim.out" 2>"$WORK/sim.err" &
SIM_PID=$!
exec 3>"$WORK/stdin"
for _ in $(seq 100); do
  grep -q '^PTY ' "$WORK/sim.out" 2>/dev/null && break
  sleep 0.05
done
PTY="$(sed -n 's/^PTY //p' "$WORK/sim.out" | head -n1)"
[[ -n "$PTY" ]] || { echo "bench-download: the simulator did not start" >&2; cat "$WORK/sim.err" >&2; exit 1; }

start=$(date +%s.%N)
"$CLI" download --all --stats --dir "$WORK/inst" --port "$PTY" >"$WORK/out.txt" 2>"$WORK/err.txt" || {
  echo "bench-download: the download failed" >&2
  cat "$WORK/err.txt" >&2
  exit 1
}
end=$(date +%s.%N)

records="$(tail -n1 "$WORK/out.txt")"
read -r sent received < <(sed -n 's/^bytes sent \([0-9]*\) received \([0-9]*\).*/\1 \2/p' "$WORK/err.txt")
read -r checkpoints blocks journal < <(sed -n 's/^journal checkpoints \([0-9]*\) blocks \([0-9]*\) seconds \([0-9.]*\).*/\1 \2 \3/p' "$WORK/err.txt") || true
stored=$(cat "$WORK"/inst/Log/*.txt | grep -c . || true)

awk -v s="$start" -v e="$end" -v sent="$sent" -v recv="$received" -v baud="$BAUD" -v rec="$records" -v stored="$stored" -v checkpoints="${checkpoints:-0}" -v blocks="${blocks:-0}" -v journal="${journal:-0}" 'BEGIN {
  elapsed = e - s
  bytes = sent + recv
  floor = bytes / (baud / 10)
  printf "records:           %s (%d lines in the month logs)\n", rec, stored
  printf "bytes on the line: %d (sent %d, received %d)\n", bytes, sent, recv
  printf "download time:     %.2f s\n", elapsed
  printf "line-rate floor:   %.2f s at %d bytes/s\n", floor, baud / 10
  printf "ratio:             %.2f (target <= 2.0)\n", elapsed / floor
  printf "journal:           %.3f s, %d checkpoints, %.2f ms per block of %d\n", journal, checkpoints, blocks ? journal * 1000 / blocks : 0, blocks
}'
