#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need.
# Runs apt-get only when something is missing (needs root for that).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6opengl6-dev
  libxlsxwriter-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
)
if [ "${VORTANE_TEST_DEPS:-0}" = 1 ]; then
  # The spreadsheet export tests look inside the written workbook and have a
  # real spreadsheet program read it back; printed PDFs are read back as text.
  packages+=(unzip libreoffice-calc-nogui poppler-utils)
fi
if [ "${VORTANE_WINDOWS_DEPS:-0}" = 1 ]; then
  # The Windows build of the layers below the windows and Wine to run its tests;
  # dpkg-dev unpacks the libxlsxwriter source package built for it.
  packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 dpkg-dev)
fi
if [ "${VORTANE_QT_WINDOWS_DEPS:-0}" = 1 ]; then
  # Qt for Windows built from Debian's qt6-base source (scripts/build-qt-windows.sh):
  # the compiler, zlib for Windows, the source package's unpacking and its
  # signed index, and the patch tool for the source change.
  packages+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev dpkg-dev patch perl
    debian-archive-keyring)
fi
if [ "${VORTANE_FUZZ_DEPS:-0}" = 1 ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
