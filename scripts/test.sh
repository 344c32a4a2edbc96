#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test; then builds
# the unit tests under AddressSanitizer and UndefinedBehaviorSanitizer in a
# second build folder and runs them there.
set -euo pipefail
cd "$(dirname "$0")/.."
VORTANE_TEST_DEPS=1 bash scripts/deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# A compiler cache, where one is installed, makes a rebuild in a fresh clone
# quick; paths below the clone are hashed relative to it.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$PWD"
  # The clone's folder differs from run to run; only debug information names it.
  export CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORTANE_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORTANE_WERROR=ON -DVORTANE_SANITIZE=ON \
  -DVORTANE_BENCH=OFF "${launcher[@]}" >/dev/null
targets=()
# The list is read whole first: "grep -q" leaving a pipe early would make
# ninja fail under pipefail and drop a test program without a word.
known=$(ninja -C build-asan -t targets all 2>/dev/null)
for t in vortane_core_tests vortane_robot_tests vortane_device_tests; do
  if grep -q "^$t:" <<<"$known"; then targets+=("$t"); fi
done
echo "sanitizer build: ${targets[*]}"
cmake --build build-asan -j "$jobs" --target "${targets[@]}"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600 \
  -R "^($(IFS='|'; echo "${targets[*]}" | sed 's/vortane_\([a-z]*\)_tests/\1/g'))\\." || {
  echo "sanitizer tests failed"; exit 1; }

# The layers below the windows built for Windows and their tests run under Wine.
if [ "${VORTANE_SKIP_WINDOWS:-0}" = 1 ]; then
  echo "windows: skipped (VORTANE_SKIP_WINDOWS=1): the Windows build and its tests under Wine did not run"
else
  bash scripts/test-windows.sh
fi
