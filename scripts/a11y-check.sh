#!/usr/bin/env bash
# Drives the desktop program from outside through the accessibility bus
# (AT-SPI), as a screen reader such as Orca meets it: on a scratch copy of
# sample/ connected to the terminal simulator, it lists the main window, the
# settings dialog, the calculator, the presence board and the about box with
# every control's role, name and text, sets the log directory of the settings
# dialog without a single key event, presses OK and checks vortane.ini.
#
#   xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- bash scripts/a11y-check.sh
#
# Needs the Debian packages at-spi2-core and python3-pyatspi. Exit status 0
# when every control was found by its name and the directory was saved.
# VORTANE_BUILD_DIR chooses the build folder (build).
set -uo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] || [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  echo "a11y-check.sh: needs a display and a session bus; run it as" >&2
  echo '  xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- bash scripts/a11y-check.sh' >&2
  exit 2
fi
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || [ ! -x /usr/libexec/at-spi-bus-launcher ]; then
  echo "a11y-check.sh: install the Debian packages at-spi2-core and python3-pyatspi" >&2
  exit 2
fi
build=${VORTANE_BUILD_DIR:-build}
cmake --build "$build" --target vortane timeclock-sim >/dev/null || exit 1

work=$(mktemp -d /tmp/vortane-a11y.XXXXXX)
cp -r sample/. "$work/"
# A fixed unit with automatic transfer, as scripts/run.sh sets it up.
sed -i -e 's/^type=[0-9]*\r$/type=1\r/' -e 's/^AUTODNL=[0-9]*\r$/AUTODNL=1\r/' "$work/vortane.ini"
printf '[REQPTR]\r\n100=0\r\n' >>"$work/vortane.ini"
mkdir -p "$work/home" "$work/Log2"
echo "Program directory: $work"

pids=()
cleanup() {
  exec 3>&- 2>/dev/null || true
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  rm -f "$work/.sim-in"
}
trap cleanup EXIT

mkfifo "$work/.sim-in"
"$build/tools/timeclock-sim/timeclock-sim" --model rfid --type 1 --production 100 --employees "$work/prac.txt" \
  --prefill 30 --link "$work/terminal" <"$work/.sim-in" >"$work/sim.log" 2>&1 &
pids+=($!)
exec 3>"$work/.sim-in"
for _ in $(seq 1 100); do grep -q '^PTY ' "$work/sim.log" 2>/dev/null && break; sleep 0.1; done
port=$(sed -n 's/^PTY //p' "$work/sim.log" | head -n 1)
[ -n "$port" ] || { echo "a11y-check.sh: the simulator gave no pseudo-terminal" >&2; exit 1; }
echo "auto 5" >&3

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
pids+=($!)
sleep 1
# A fresh HOME: the first-start note comes up and is answered like any box.
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
  "$build/src/app/vortane" "$work/" --port "$port" >"$work/vortane.out" 2>&1 &
pids+=($!)
/usr/bin/python3 scripts/a11y_check.py "$work"
