#!/usr/bin/env bash
# Builds the whole program for 64-bit Windows: the desktop program
# vortane.exe, vortane-cli.exe and every test program, against the Qt for
# Windows that scripts/build-qt-windows.sh keeps in its cache (it has no Qt
# Serial Port: the ports are opened through the Win32 functions), with the
# project's warnings as errors. Then runs the cli and ui test programs under
# Wine with the offscreen platform and prints their counts.
#
# GoogleTest and libxlsxwriter for MinGW are the ones scripts/test-windows.sh
# builds and keeps in build-mingw/deps (MINGW_BUILD_DIR chooses another
# folder); run that script once first when they are missing.
#
#   bash scripts/windows-program.sh            # build and run the tests
#   VORTANE_WINDOWS_RUN=0 bash scripts/windows-program.sh   # build only
#
# WINPROG_BUILD_DIR chooses the build folder (default build-winprog/).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

step() { echo "== windows program: $*"; }

mingw_build=${MINGW_BUILD_DIR:-build-mingw}
deps=$(cd "$mingw_build" 2>/dev/null && pwd)/deps
if [ ! -f "$deps/lib/libgtest.a" ] || [ ! -f "$deps/lib/libxlsxwriter.a" ]; then
  echo "GoogleTest and libxlsxwriter for MinGW are not in $mingw_build/deps; run bash scripts/test-windows.sh once"
  exit 1
fi

qt=$(bash scripts/build-qt-windows.sh)
build=${WINPROG_BUILD_DIR:-build-winprog}
mkdir -p "$build"
build=$(cd "$build" && pwd)
multiarch=$(gcc -print-multiarch 2>/dev/null || echo x86_64-linux-gnu)
gcc_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
mingw_dlls=/usr/x86_64-w64-mingw32/lib
lock=$root/.build.lock
jobs=2
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")}

# Qt's toolchain file loads the project's own MinGW one, which knows where
# GoogleTest and libxlsxwriter are. The programs use the C++ run-time DLLs
# the Qt libraries use (not the static one of the test-only build), as the
# installed program will.
step "configure ($qt)"
export PKG_CONFIG_LIBDIR=$deps/lib/pkgconfig
export PKG_CONFIG_PATH=
t0=$(date +%s)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DVORTANE_MINGW_PREFIX="$deps" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$multiarch/cmake" \
  -DCMAKE_EXE_LINKER_FLAGS= "${launcher[@]}" \
  -DVORTANE_WERROR=ON -DVORTANE_BENCH=OFF >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
t1=$(date +%s)
step "build (vortane.exe, vortane-cli.exe, the test programs)"
targets=(vortane vortane-cli vortane_core_tests vortane_robot_tests vortane_device_tests vortane_cli_tests
         vortane_ui_tests)
flock "$lock" cmake --build "$build" -j "$jobs" --target "${targets[@]}"
t2=$(date +%s)
echo "  configure $((t1 - t0)) s, build $((t2 - t1)) s"

if [ "${VORTANE_WINDOWS_RUN:-1}" = 0 ]; then exit 0; fi

# Wine keeps its own Windows installation in the build folder. Programs find
# the Qt and MinGW run-time DLLs through WINEPATH; the Qt plugins through
# QT_PLUGIN_PATH. Wine passes WINEQT_X to Windows programs as QT_X.
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "Wine prefix"
  DISPLAY= wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
winpath() { LC_ALL=C.UTF-8 winepath -w "$1" 2>/dev/null | tr -d '\r'; }
# Only the two fonts the program's texts are drawn in: with the whole DejaVu
# set the default family resolves to the mathematics one.
fonts=$build/fonts
mkdir -p "$fonts"
for f in DejaVuSans.ttf DejaVuSans-Bold.ttf; do cp -f "/usr/share/fonts/truetype/dejavu/$f" "$fonts/"; done
export WINEPATH="$(winpath "$qt/bin");$(winpath "$gcc_dlls");$(winpath "$mingw_dlls")"
export WINEQT_PLUGIN_PATH=$(winpath "$qt/plugins")
export WINEQT_QPA_PLATFORM=offscreen
export WINEQT_QPA_FONTDIR=$(winpath "$fonts")
export WINEQT_FORCE_STDERR_LOGGING=1

total_failed=0
for layer in cli ui; do
  exe=$build/tests/vortane_${layer}_tests.exe
  log=$build/${layer}-tests.log
  step "$layer tests under Wine"
  status=0
  t0=$(date +%s)
  DISPLAY= LC_ALL=C.UTF-8 timeout --kill-after=10 "${VORTANE_WINDOWS_TIMEOUT:-1800}" \
    wine "$exe" --gtest_brief=1 >"$log" 2>&1 || status=$?
  t1=$(date +%s)
  passed=$(tr -d '\r' <"$log" | sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?[.,].*/\1/p' | tail -n 1)
  skipped=$(tr -d '\r' <"$log" | sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?[.,].*/\1/p' | tail -n 1)
  failed=$(tr -d '\r' <"$log" | grep -cE '^\[  FAILED  \] [A-Za-z_][A-Za-z0-9_/]*\.[A-Za-z0-9_/]+' || true)
  passed=${passed:-0}
  skipped=${skipped:-0}
  failed=${failed:-0}
  if [ "$status" != 0 ] && [ "$failed" = 0 ]; then failed=1; fi
  tr -d '\r' <"$log" | awk '/: Skipped$/ { getline reason; print "  skipped: " reason }
    /^\[  FAILED  \] [A-Za-z_]/ { print "  " $0 }' | sort | uniq -c | head -n 60
  echo "windows $layer: $passed passed, $failed failed, $skipped skipped ($((t1 - t0)) s, exit $status, log: $log)"
  total_failed=$((total_failed + failed))
done
wineserver -k >/dev/null 2>&1 || true
[ "$total_failed" = 0 ]
