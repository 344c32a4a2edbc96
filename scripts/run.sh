#!/usr/bin/env bash
# Runs the desktop program on a scratch copy of sample/, connected to the
# terminal simulator on a pseudo-terminal.
#
#   bash scripts/run.sh [--ask] [--port DEVICE] [--offscreen]
#
# By default the scratch installation is a fixed unit with automatic transfer:
# the simulator starts with 30 registrations of the sample employees that are
# new to the program, so the first transfer runs right after the first status
# reply, and a new registration arrives every 5 seconds and is transferred on
# the next heartbeat. The presence board ("Stav") shows who is in.
#   --ask        keep the sample's portable-unit settings: the program asks
#                before each transfer ("V KAVEX sú nové záznamy ...")
#   --port DEV   use a real terminal on DEV instead of the simulator
#   --offscreen  run without a display (nothing is shown; for smoke tests)
# The scratch folder is kept; its path is printed at the start.
# VORTANE_BUILD_DIR chooses the build folder (build).
set -euo pipefail
cd "$(dirname "$0")/.."

ask=0
port=""
offscreen=0
while [ $# -gt 0 ]; do
  case "$1" in
    --ask) ask=1 ;;
    --port) port="${2:?--port needs a device}"; shift ;;
    --port=*) port="${1#--port=}" ;;
    --offscreen) offscreen=1 ;;
    -h|--help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "$offscreen" = 0 ]; then
  cat >&2 <<'EOF'
run.sh: no display ($DISPLAY and $WAYLAND_DISPLAY are empty).
  On a desktop, run it from a terminal of the desktop session.
  On a server, use a virtual display:   xvfb-run -a -s "-screen 0 1280x800x24" bash scripts/run.sh
  To start it without showing anything: bash scripts/run.sh --offscreen
EOF
  exit 2
fi

bash scripts/deps.sh
build=${VORTANE_BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORTANE_WERROR=ON >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target ${VORTANE_RUN_TARGETS:-vortane vortane-cli timeclock-sim}

work=$(mktemp -d /tmp/vortane-demo.XXXXXX)
cp -r sample/. "$work/"
echo "Program directory: $work"

sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    exec 3>&- 2>/dev/null || true
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -f "$work/.sim-in"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

production=100
if [ -z "$port" ]; then
  sim_type=0
  if [ "$ask" = 0 ]; then
    # A fixed unit that transfers by itself; the pointer of this terminal is
    # known, so the 30 registrations in the ring count as new.
    sim_type=1
    sed -i -e 's/^type=[0-9]*\r$/type=1\r/' -e 's/^AUTODNL=[0-9]*\r$/AUTODNL=1\r/' "$work/vortane.ini"
    printf '[REQPTR]\r\n%s=0\r\n' "$production" >>"$work/vortane.ini"
  fi
  mkfifo "$work/.sim-in"
  "$build/tools/timeclock-sim/timeclock-sim" --model rfid --type "$sim_type" --production "$production" \
    --employees "$work/prac.txt" --prefill 30 --link "$work/terminal" \
    <"$work/.sim-in" >"$work/sim.log" 2>&1 &
  sim_pid=$!
  # Holding the writing end open keeps the simulator running until we close it.
  exec 3>"$work/.sim-in"
  for _ in $(seq 1 100); do
    grep -q '^PTY ' "$work/sim.log" 2>/dev/null && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
      echo "run.sh: the simulator did not start:" >&2
      cat "$work/sim.log" >&2
      exit 1
    fi
    sleep 0.1
  done
  port=$(sed -n 's/^PTY //p' "$work/sim.log" | head -n 1)
  [ -n "$port" ] || { echo "run.sh: the simulator gave no pseudo-terminal" >&2; exit 1; }
  echo "auto 5" >&3
  echo "Terminal simulator on $port (log: $work/sim.log); a registration arrives every 5 s"
fi

if [ "$offscreen" = 1 ]; then
  export QT_QPA_PLATFORM=offscreen
fi
status=0
"$build/src/app/vortane" "$work/" --port "$port" || status=$?
exit "$status"
