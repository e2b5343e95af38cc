#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Pipstack
# need, when any is missing. Safe to run again: with everything present it
# does nothing.
#
# It also adds Debian's i386 architecture and installs wine32, Wine's 32-bit
# loader, which the 32-bit build's tests, the installer and tools/run.sh --32
# need (PIPSTACK_WINE32=0 leaves it out). Once installed it becomes the plain
# "wine" command; our scripts start every program with the loader of its
# bitness (cmake/wine-exec.sh).
set -euo pipefail

packages=(
  cmake make g++                       # host build
  libbenchmark-dev                     # the core benchmark (bench/)
  libgtest-dev libgmock-dev googletest # GoogleTest for both builds
  g++-mingw-w64-x86-64                 # the 64-bit Windows cross build
  g++-mingw-w64-i686-posix             # the 32-bit one (its C compiler and binutils come with it)
  wine wine64                          # running the Windows programs
  xvfb x11-utils xauth                 # a display for windows under Wine
  twm                                  # a window manager on it: Wine waits for one when hiding a window
  xfonts-75dpi                         # twm's fonts: without them it ends at once; nothing pulls them in
  imagemagick                          # screenshots of the dialogs
  util-linux procps                    # flock, setsid, pgrep
  nsis unzip                           # the release installer; checking the release zip
  clang libclang-rt-14-dev             # the fuzz targets (libFuzzer, sanitizers)
  clang-format                         # the layout check (tools/check-source.sh)
  arduino-builder arduino-ctags        # building the LED controller's firmware (the builder runs ctags on the sketch)
  arduino-core-avr                     # the Arduino AVR core the firmware builds against
  gcc-avr avr-libc binutils-avr        # the core's compiler, C library and tools (avr-objcopy, avr-size)
  libsimavr-dev                        # simboard, the simulated board: simavr's headers and library
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

wine32=()
if [ "${PIPSTACK_WINE32:-1}" = 1 ]; then
  wine32=(wine32:i386)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "Adding Debian's i386 architecture (for wine32)"
    $sudo dpkg --add-architecture i386
  fi
fi

missing=()
for p in "${packages[@]}" "${wine32[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
