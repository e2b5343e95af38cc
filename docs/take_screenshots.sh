#!/bin/sh
# Photographs the program's four dialogs and its notification icon under
# Xvfb for the README:
#   docs/take_screenshots.sh [BUILD_DIR]   (default build/windows, built)
# Each is shown by the show_dialog helper of the app's tests and taken with
# ImageMagick's import: a dialog cropped to its own window; the icon, its
# tooltip and its menu in the taskbar of a Wine desktop of their own (Wine's
# desktop named "shell" has a taskbar with a notification area).
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

# Waits up to 10 s for the window titled $1 and prints its X id.
window_id() {
  tries=0
  until xwininfo -name "$1" >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -le 100 ] || { echo "no window \"$1\"" >&2; exit 1; }
    sleep 0.1
  done
  xwininfo -name "$1" | awk '/Window id:/ {print $4}'
}

shoot() {
  id=$1 caption=$2 file=$3
  "$wine" "$helper" "$id" 8 >/dev/null 2>&1 &
  helper_pid=$!
  window=$(window_id "$caption")
  sleep 1.5  # let it paint
  import -window "$window" "$root/docs/$file"
  wait "$helper_pid" || true
}

shoot 101 "Pipstack Configuration" dialog-configuration.png
shoot 103 "Test Sequences" dialog-test-sequences.png
shoot 104 "Select Data Source" dialog-select-data-source.png
shoot 105 "About Pipstack" dialog-about.png

# The icon: the mouse on it for four seconds (the tooltip), then its menu for
# four. The corner of the desktop that holds them, doubled for legibility.
wine explorer /desktop=shell,800x600 "$helper" 0 4 >/dev/null 2>&1 &
desktop_pid=$!
desktop=$(window_id "shell - Wine desktop")
corner() {
  import -window "$desktop" "$wine_dir/desktop.png"
  convert "$wine_dir/desktop.png" -crop 300x120+500+480 +repage -scale 200% "$root/docs/$1"
}
sleep 3.5
corner notify-icon-tooltip.png
sleep 3
corner notify-icon-menu.png
wait "$desktop_pid" || true
