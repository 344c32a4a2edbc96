#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/fuzz_*.cpp) with clang under
# AddressSanitizer and UndefinedBehaviorSanitizer and runs each in turn.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS per target, default 60. TARGET names (e.g. fuzz_ini) pick targets;
# default all. Seeds come from fuzz/corpus/<target>/ when present; the
# growing corpus and any crash artifacts stay in the build folder
# (FUZZ_BUILD_DIR, default build-fuzz). Exit status 1 when a target fails to
# build or finds something.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:-60}
[[ $# -gt 0 ]] && shift
if ! [[ $seconds =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2
  exit 2
fi

build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
# Prefer the newest clang present; clang-14 is the Debian 12 default.
cxx=${FUZZ_CXX:-}
if [[ -z $cxx ]]; then
  for c in clang++-19 clang++-18 clang++-17 clang++-16 clang++-15 clang++-14 clang++; do
    if command -v "$c" >/dev/null 2>&1; then cxx=$c; break; fi
  done
fi
if [[ -z $cxx ]]; then
  echo "no clang++ found (apt-get install clang)" >&2
  exit 1
fi
echo "compiler: $($cxx --version | head -1)"

if [[ $# -gt 0 ]]; then
  targets=("$@")
else
  targets=()
  for src in fuzz/fuzz_*.cpp; do
    [[ -e $src ]] && targets+=("$(basename "$src" .cpp)")
  done
fi
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "no fuzz targets in fuzz/" >&2
  exit 1
fi

mkdir -p "$build"
CXX=$cxx cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORTANE_FUZZ=ON -DVORTANE_GUI=OFF \
  -DVORTANE_BENCH=OFF >"$build/configure.log" 2>&1 || {
  echo "configure failed, see $build.configure.log" >&2
  tail -20 "$build/configure.log" >&2
  exit 1
}

# Build each target on its own, so one that does not compile does not hide the others.
declare -A result
for t in "${targets[@]}"; do
  if ! cmake --build "$build" -j 2 --target "$t" >"$build/$t.build.log" 2>&1; then
    result[$t]="BUILD FAILED (see $build/$t.build.log)"
  fi
done

export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=0
for t in "${targets[@]}"; do
  [[ -n ${result[$t]:-} ]] && continue
  corpus="$build/corpus/$t"
  artifacts="$build/artifacts/$t/"
  mkdir -p "$corpus" "$artifacts"
  dirs=("$corpus")
  [[ -d fuzz/corpus/$t ]] && dirs+=("fuzz/corpus/$t")
  log="$build/$t.run.log"
  echo "running $t for ${seconds}s ..."
  "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$artifacts" "${dirs[@]}" >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  peak=$(grep -o 'stat::peak_rss_mb: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
  if [[ $rc -eq 0 ]] && ! grep -q -E 'ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error:' "$log"; then
    result[$t]="ok: ${runs:-?} runs, ${cov:-cov: ?}, peak ${peak:-?} MB"
  else
    result[$t]="FINDING (exit $rc): see $log and $artifacts"
    grep -m3 -E 'ERROR:|runtime error:|deadly signal' "$log" | sed 's/^/    /'
  fi
done

echo
echo "fuzz results (${seconds}s per target, $cxx):"
for t in "${targets[@]}"; do
  printf '  %-28s %s\n' "$t" "${result[$t]}"
  [[ ${result[$t]} == ok:* ]] || failed=1
done
exit $failed
