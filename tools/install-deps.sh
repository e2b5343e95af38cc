#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Pipstack
# need, when any is missing. Safe to run again: with everything present it
# does nothing.
set -euo pipefail

packages=(
  cmake make g++                       # host build
  libbenchmark-dev                     # the core benchmark (bench/)
  libgtest-dev libgmock-dev googletest # GoogleTest for both builds
  g++-mingw-w64-x86-64                 # the Windows cross build
  wine wine64                          # running the Windows programs
  xvfb x11-utils xauth                 # a display for windows under Wine
  twm                                  # a window manager on it: Wine waits for one when hiding a window
  xfonts-75dpi                         # twm's fonts: without them it ends at once; nothing pulls them in
  imagemagick                          # screenshots of the dialogs
  util-linux procps                    # flock, setsid, pgrep
  nsis unzip                           # the release installer; checking the release zip
  clang libclang-rt-14-dev             # the fuzz targets (libFuzzer, sanitizers)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
