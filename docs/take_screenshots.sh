#!/bin/sh
# Photographs the program's four dialogs under Xvfb for the README:
#   docs/take_screenshots.sh [BUILD_DIR]   (default build/windows, built)
# Each dialog is shown by the show_dialog helper of the app's tests and taken
# with ImageMagick's import, cropped to the dialog's own window.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/windows}
helper=$build/tests/app/show_dialog.exe
# A session and prefix of their own: with no window manager on the display,
# Wine is told to draw the frames and captions itself, which the tests'
# prefix is left without.
wine_dir=$build/screenshots
export WINEPREFIX=$wine_dir/prefix
# The helper and Wine's reg with the loaders of their own bitness.
wine=$root/cmake/wine-exec.sh

"$root/cmake/wine-session.sh" start "$wine_dir"
trap '"$root/cmake/wine-session.sh" stop "$wine_dir"' EXIT
DISPLAY=$(cat "$wine_dir/display")
export DISPLAY
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

shoot() {
  id=$1 caption=$2 file=$3
  "$wine" "$helper" "$id" 8 >/dev/null 2>&1 &
  helper_pid=$!
  tries=0
  until xwininfo -name "$caption" >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -le 100 ] || { echo "no window \"$caption\"" >&2; exit 1; }
    sleep 0.1
  done
  sleep 1.5  # let it paint
  import -window "$(xwininfo -name "$caption" | awk '/Window id:/ {print $4}')" "$root/docs/$file"
  wait "$helper_pid" || true
}

shoot 101 "Pipstack Configuration" dialog-configuration.png
shoot 103 "Test Sequences" dialog-test-sequences.png
shoot 104 "Select Data Source" dialog-select-data-source.png
shoot 105 "About Pipstack" dialog-about.png
