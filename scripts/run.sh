#!/usr/bin/env bash
# Builds what is missing and runs the program on a scratch copy of sample/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vortane-cli
work=$(mktemp -d /tmp/vortane-demo.XXXXXX)
cp -r sample/. "$work/"
echo "Program directory: $work"
for cmd in employees settings; do
  echo "== vortane-cli $cmd"
  build/src/app/vortane-cli "$cmd" --dir "$work"
done
