#!/usr/bin/env bash
# Builds the layers below the windows (core, robot, device without its Qt
# transport, export and the simulator engine) for 64-bit Windows with Debian's
# MinGW-w64, warnings as errors, and runs the core, robot and device unit
# tests under Wine: once as they are, once more for a user named "Ján" (the
# temporary folder, and so every test's program folder, below it). The device
# tests of the Windows serial port talk to the terminal simulator (its Linux
# build, in build/ or VORTANE_BUILD_DIR) on a pseudo-terminal that the Wine
# prefix shows as COM5. Qt for Windows is not in Debian, so the desktop
# program is not part of this check.
#
# GoogleTest (from /usr/src/googletest) and libxlsxwriter (from Debian's own
# source package of the installed version) are built for MinGW once and kept
# under the build folder; later runs reuse them.
#
#   bash scripts/test-windows.sh
#
# MINGW_BUILD_DIR chooses another build folder (default build-mingw/).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
VORTANE_WINDOWS_DEPS=1 bash scripts/deps.sh

build=${MINGW_BUILD_DIR:-build-mingw}
mkdir -p "$build"
build=$(cd "$build" && pwd)
prefix=$build/deps
toolchain=$root/cmake/mingw-w64.cmake
# Two cores are shared with the native build: the same lock serialises them.
lock=$root/.build.lock
jobs=2
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")}

locked() { flock "$lock" "$@"; }

step() { echo "== windows: $*"; }

if [ ! -f "$prefix/lib/libgtest.a" ]; then
  step "GoogleTest for MinGW"
  rm -rf "$build/googletest"
  cmake -S /usr/src/googletest -B "$build/googletest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" "${launcher[@]}" >/dev/null
  locked cmake --build "$build/googletest" -j "$jobs" >/dev/null
  cmake --install "$build/googletest" >/dev/null
fi

if [ ! -f "$prefix/lib/libxlsxwriter.a" ]; then
  # The same version as the native build links against, from Debian's source
  # package; deb-src entries are added when the system has none.
  version=$(dpkg-query -W -f='${source:Version}' libxlsxwriter-dev)
  src=$build/libxlsxwriter-src
  if [ ! -d "$src/unpacked" ]; then
    step "libxlsxwriter $version source"
    if ! apt-get source --print-uris "libxlsxwriter=$version" >/dev/null 2>&1; then
      SUDO=""
      if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
      $SUDO tee /etc/apt/sources.list.d/vortane-deb-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
      $SUDO apt-get update -qq
    fi
    rm -rf "$src"
    mkdir -p "$src"
    (cd "$src" && apt-get source -qq "libxlsxwriter=$version" >/dev/null 2>&1)
    unpacked=$(find "$src" -mindepth 1 -maxdepth 1 -type d -name 'libxlsxwriter-*' | head -n 1)
    [ -n "$unpacked" ] || { echo "apt-get source libxlsxwriter=$version failed"; exit 1; }
    mv "$unpacked" "$src/unpacked"
  fi
  step "libxlsxwriter for MinGW"
  rm -rf "$build/libxlsxwriter"
  cmake -S "$src/unpacked" -B "$build/libxlsxwriter" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_POLICY_DEFAULT_CMP0074=NEW "${launcher[@]}" >/dev/null
  locked cmake --build "$build/libxlsxwriter" -j "$jobs" >/dev/null
  cmake --install "$build/libxlsxwriter" >/dev/null
fi

step "configure and build (core, robot, device, export, simulator engine, vortane-cli)"
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
export PKG_CONFIG_PATH=
cmake -S . -B "$build/vortane" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVORTANE_MINGW_PREFIX="$prefix" "${launcher[@]}" \
  -DVORTANE_WERROR=ON -DVORTANE_GUI=OFF -DVORTANE_BENCH=OFF >/dev/null
targets=(vortane_core_tests vortane_robot_tests vortane_device_tests vortane-cli)
locked cmake --build "$build/vortane" -j "$jobs" --target "${targets[@]}"

# Wine keeps its own Windows installation in the build folder; it needs no
# display for console programs.
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "Wine prefix"
  DISPLAY= wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
[ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot did not create $WINEPREFIX"; exit 1; }

# The terminal simulator on a pseudo-terminal, seen by Windows programs as
# COM5: Wine's mount manager makes the port from HKLM\Software\Wine\Ports
# when the prefix starts (the dosdevices link and the SERIALCOMM entry that
# the port list reads). The simulator is the Linux program; only its target
# is built.
native=${VORTANE_BUILD_DIR:-build}
step "terminal simulator as COM5"
if [ ! -f "$native/build.ninja" ]; then
  cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORTANE_WERROR=ON "${launcher[@]}" >/dev/null
fi
locked cmake --build "$native" -j "$jobs" --target timeclock-sim >/dev/null
com_port=COM5
com_link=$WINEPREFIX/dosdevices/${com_port,,}
sim_log=$build/timeclock-sim.log
"$native/tools/timeclock-sim/timeclock-sim" --model dallas --prefill 12 --keep-running </dev/null >"$sim_log" 2>&1 &
sim_pid=$!
stop_simulator() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  rm -f "$com_link"
}
trap stop_simulator EXIT
pty=
for _ in $(seq 100); do
  pty=$(sed -n 's/^PTY //p' "$sim_log" | head -n 1)
  if [ -n "$pty" ] || ! kill -0 "$sim_pid" 2>/dev/null; then break; fi
  sleep 0.1
done
[ -n "$pty" ] || { cat "$sim_log"; echo "the simulator did not start"; exit 1; }
LC_ALL=C.UTF-8 wine reg add 'HKLM\Software\Wine\Ports' /v "$com_port" /t REG_SZ /d "$pty" /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true
wineserver -w || true
ln -sfn "$pty" "$com_link"
export VORTANE_TEST_COM_PORT=$com_port
echo "  $com_port is $pty ($(head -n 2 "$sim_log" | tail -n 1))"

total_passed=0
total_failed=0
total_skipped=0
failed_runs=()

# The user's temporary folder, where every test makes its scratch folder.
set_user_temp() {
  LC_ALL=C.UTF-8 wine reg add 'HKCU\Environment' /v TEMP /t REG_EXPAND_SZ /d "$1" /f >/dev/null 2>&1
  LC_ALL=C.UTF-8 wine reg add 'HKCU\Environment' /v TMP /t REG_EXPAND_SZ /d "$1" /f >/dev/null 2>&1
}

# run_layers LABEL SUFFIX: the core, robot and device tests once; SUFFIX
# names their logs.
run_layers() {
  local label=$1 suffix=$2 layer exe log status passed skipped failed
  for layer in core robot device; do
    exe=$build/vortane/tests/vortane_${layer}_tests.exe
    log=$build/${layer}-tests${suffix}.log
    step "$layer tests under Wine${label:+ ($label)}"
    status=0
    # A test that hangs under Wine must not hang the test command.
    DISPLAY= LC_ALL=C.UTF-8 timeout --kill-after=10 600 wine "$exe" --gtest_brief=1 >"$log" 2>&1 || status=$?
    passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?[.,].*/\1/p' "$log" | tail -n 1)
    skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?[.,].*/\1/p' "$log" | tail -n 1)
    failed=$(grep -cE '^\[  FAILED  \] [A-Za-z_][A-Za-z0-9_/]*\.[A-Za-z0-9_/]+' "$log" || true)
    passed=${passed:-0}
    skipped=${skipped:-0}
    failed=${failed:-0}
    if [ "$status" != 0 ] && [ "$failed" = 0 ]; then failed=1; fi
    # Why each skipped test did not run, and which ones failed (details in the log).
    # Programs under Wine end their lines with CR LF.
    tr -d '\r' <"$log" | awk '/: Skipped$/ { getline reason; print "  skipped: " reason }
      /^\[  FAILED  \] [A-Za-z_]/ { print "  " $0 }' | sort | uniq -c | head -n 40
    echo "windows $layer${label:+ ($label)}: $passed passed, $failed failed, $skipped skipped (log: $log)"
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    total_skipped=$((total_skipped + skipped))
    if [ "$status" != 0 ]; then failed_runs+=("$layer${label:+ ($label)}"); fi
  done
}

set_user_temp '%USERPROFILE%\Temp'
run_layers "" ""
# Once more for a user named Ján: every scratch folder, and so every program
# folder, log folder and export of the tests, then has a Slovak letter in it.
mkdir -p "$WINEPREFIX/drive_c/users/Ján/Temp"
set_user_temp 'C:\users\Ján\Temp'
run_layers "user Ján" "-user-jan"
set_user_temp '%USERPROFILE%\Temp'
LC_ALL=C.UTF-8 wine reg delete 'HKLM\Software\Wine\Ports' /v "$com_port" /f >/dev/null 2>&1 || true
wineserver -k >/dev/null 2>&1 || true
stop_simulator
trap - EXIT

echo "windows: $total_passed passed, $total_failed failed, $total_skipped skipped"
if [ ${#failed_runs[@]} -gt 0 ]; then
  echo "windows tests failed: ${failed_runs[*]}"
  exit 1
fi
