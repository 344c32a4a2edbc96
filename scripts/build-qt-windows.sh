#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (qtbase: Core, Gui, Widgets, PrintSupport,
# Test, the windows and offscreen platform plugins, shared libraries) from
# Debian's own qt6-base source package, of the same version as the installed
# host Qt whose moc, rcc and uic the build uses, with Debian's MinGW-w64
# (posix threads).
#
# The result is kept in a cache outside the clone, in a folder named by a key
# over what decides the binaries: the Debian version of qt6-base, the MinGW
# compiler's package versions, the configure options, the toolchain file and
# the source change in scripts/qt-windows-directwrite.patch. When that folder
# is complete the script only prints its prefix; otherwise it builds it, under
# a lock that every clone of this machine shares. It takes some 50 CPU-minutes
# (82 minutes measured on two cores beside other builds), about 1.4 GB of disk
# while it builds (the build folder is removed after the install) and 0.4 GB
# afterwards: 79 MB installed, the rest the source package and its unpacked
# source, kept for a look at what Qt does.
#
#   bash scripts/build-qt-windows.sh        # prints the prefix on stdout
#
# Progress goes to stderr, the compiler's output to build.log in the folder.
# VORTANE_CACHE_DIR chooses the cache (default ${XDG_CACHE_HOME:-~/.cache}/vortane),
# VORTANE_QT_JOBS the parallel jobs (default: every core, at the lowest
# priority), VORTANE_QT_KEEP_BUILD=1 keeps the build folder after the install.
#
# A program is configured against it with the prefix's
# lib/cmake/Qt6/qt.toolchain.cmake and -DQT_HOST_PATH=/usr
# -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/<multiarch>/cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

triple=x86_64-w64-mingw32
cache_root=${VORTANE_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vortane}
patch_file=$root/scripts/qt-windows-directwrite.patch

say() { echo "== qt for windows: $*" >&2; }
version_of() { dpkg-query -W -f='${db:Status-Status} ${Version}' "$1" 2>/dev/null | sed -n 's/^installed //p'; }

# What the folder's key is made of; the same inputs give the same folder.
read_versions() {
  qt_version=$(version_of qt6-base-dev)
  qt_tools_version=$(version_of qt6-base-dev-tools)
  gxx_version=$(version_of g++-mingw-w64-x86-64-posix)
  crt_version=$(version_of mingw-w64-x86-64-dev)
}
read_versions
if [ -z "$qt_version" ] || [ -z "$qt_tools_version" ] || [ -z "$gxx_version" ] || [ -z "$crt_version" ]; then
  VORTANE_QT_WINDOWS_DEPS=1 bash scripts/deps.sh >&2
  read_versions
fi
if [ "$qt_version" != "$qt_tools_version" ]; then
  say "qt6-base-dev $qt_version and qt6-base-dev-tools $qt_tools_version differ; install one version of both"
  exit 1
fi
# 6.4.2+dfsg-10 -> 6.4.2
qt_upstream=${qt_version%%[+-]*}
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)

configure_options=(
  -release -shared -nomake examples -nomake tests
  -no-opengl -no-direct2d -no-dbus -no-icu -no-zstd -no-openssl -no-feature-vulkan
  -system-zlib -qt-pcre -qt-libpng -no-libjpeg -qt-freetype -qt-harfbuzz -qt-doubleconversion
  -no-feature-network -no-feature-sql -no-feature-concurrent -no-feature-xml
  # Debian's source lacks the tablet header the Windows tablet support includes.
  -no-feature-tabletevent
  -no-feature-androiddeployqt -no-feature-windeployqt -no-feature-qmake
)
toolchain_text="# The compilers Qt for Windows in this folder was built with (written by
# vortane's scripts/build-qt-windows.sh); the prefix's qt.toolchain.cmake loads it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
"
key_text="qt6-base $qt_version
g++-mingw-w64-x86-64-posix $gxx_version
mingw-w64-x86-64-dev $crt_version
host $multiarch
configure ${configure_options[*]}
toolchain $(sha256sum <<<"$toolchain_text" | cut -c1-64)
patch $(sha256sum "$patch_file" | cut -c1-64)"
key=$(sha256sum <<<"$key_text" | cut -c1-12)

dir=$cache_root/qt-$qt_upstream-mingw-$key
prefix=$dir/prefix
done_mark=$dir/complete

if [ -f "$done_mark" ]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache_root"
exec 9>"$cache_root/qt-windows.lock"
if ! flock -n 9; then
  say "another build holds $cache_root/qt-windows.lock; waiting"
  flock 9
fi
# Another clone may have finished it while this one waited.
if [ -f "$done_mark" ]; then
  echo "$prefix"
  exit 0
fi

VORTANE_QT_WINDOWS_DEPS=1 bash scripts/deps.sh >&2
started=$(date +%s)
mkdir -p "$dir"
printf '%s\n' "$key_text" >"$dir/key.txt"
printf '%s' "$toolchain_text" >"$dir/mingw-w64.cmake"
log=$dir/build.log
# What else the machine was doing decides how long this takes.
echo "started $(date -u +%FT%TZ) on $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)" >>"$dir/times.txt"
say "building Qt $qt_version for Windows into $dir (log: $log)"

# The source package, fetched once per version through a throwaway list of
# deb-src entries, so that the system's apt configuration stays as it is.
downloads=$cache_root/qt6-base-source/$qt_version
dsc=$downloads/qt6-base_${qt_version#*:}.dsc
if [ ! -f "$dsc" ]; then
  say "fetching the qt6-base $qt_version source package"
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  apt_dir=$(mktemp -d "$cache_root/apt.XXXXXX")
  trap 'rm -rf "$apt_dir"' EXIT
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts" "$apt_dir/files"
  cat >"$apt_dir/sources.list" <<EOF
deb-src [signed-by=$keyring] http://deb.debian.org/debian $codename main
deb-src [signed-by=$keyring] http://deb.debian.org/debian $codename-updates main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security $codename-security main
EOF
  apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
  # apt's unprivileged download user cannot write into a folder of root's.
  if [ "$(id -u)" = 0 ]; then apt_options+=(-o APT::Sandbox::User=root); fi
  apt-get "${apt_options[@]}" update -qq >>"$log" 2>&1
  (cd "$apt_dir/files" && apt-get "${apt_options[@]}" source --download-only -qq "qt6-base=$qt_version") >>"$log" 2>&1 || {
    say "apt-get source qt6-base=$qt_version failed; see $log"
    exit 1
  }
  rm -rf "$downloads"
  mkdir -p "$(dirname "$downloads")"
  mv "$apt_dir/files" "$downloads"
  rm -rf "$apt_dir"
  trap - EXIT
fi

src=$dir/src
if [ ! -f "$src/configure" ]; then
  say "unpacking the source and applying $(basename "$patch_file")"
  rm -rf "$src" "$src.new"
  dpkg-source --no-copy -x "$dsc" "$src.new" >>"$log" 2>&1
  patch -d "$src.new" -p1 --forward --no-backup-if-mismatch <"$patch_file" >>"$log"
  mv "$src.new" "$src"
fi

build=$dir/build
if [ ! -f "$build/build.ninja" ]; then
  say "configuring"
  rm -rf "$build"
  mkdir -p "$build"
  t0=$(date +%s)
  (cd "$build" && "$src/configure" -prefix "$prefix" -qt-host-path /usr "${configure_options[@]}" -- \
    -DCMAKE_TOOLCHAIN_FILE="$dir/mingw-w64.cmake" -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$multiarch/cmake") \
    >>"$log" 2>&1 || {
    tail -n 30 "$log" >&2
    say "configure failed; see $log"
    exit 1
  }
  echo "configure: $(($(date +%s) - t0)) s" >>"$dir/times.txt"
fi

jobs=${VORTANE_QT_JOBS:-$(nproc)}
say "compiling with $jobs jobs at the lowest priority (progress: tail -f $log)"
t0=$(date +%s)
nice -n 19 cmake --build "$build" --parallel "$jobs" >>"$log" 2>&1 || {
  grep -E 'error|FAILED' "$log" | tail -n 20 >&2
  say "build failed; see $log (a new run continues where this one stopped)"
  exit 1
}
echo "build: $(($(date +%s) - t0)) s, load at its end $(cut -d' ' -f1-3 /proc/loadavg)" >>"$dir/times.txt"

say "installing into $prefix"
rm -rf "$prefix"
cmake --install "$build" >>"$log" 2>&1

missing=()
for f in bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6PrintSupport.dll bin/Qt6Test.dll \
  plugins/platforms/qwindows.dll plugins/platforms/qoffscreen.dll lib/cmake/Qt6/qt.toolchain.cmake; do
  [ -f "$prefix/$f" ] || missing+=("$f")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "the install lacks: ${missing[*]}"
  exit 1
fi
if [ "${VORTANE_QT_KEEP_BUILD:-0}" != 1 ]; then rm -rf "$build"; fi

echo "total: $(($(date +%s) - started)) s, installed $(du -sm "$prefix" | cut -f1) MB" >>"$dir/times.txt"
printf '%s\n' "$key_text" >"$done_mark"
say "done: $(tail -n 1 "$dir/times.txt")"
echo "$prefix"
