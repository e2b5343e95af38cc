#!/bin/sh
# Checks the release zip: exactly the shipped files in one top folder (no
# pdh.dll, no import libraries), each identical to what the build made.
#
#   zip_contents.sh ZIP TOP_FOLDER BIN_DIR SOURCE_DIR
#
# BIN_DIR is the build's bin folder; the firmware the build made lies in its
# sibling firmware/.
set -eu
zip=$1 top=$2 bin=$3 src=$4
firmware=$(dirname "$bin")/firmware
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$zip" ] || fail "no zip at $zip"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each shipped file and where the build or the sources hold it.
cat >"$work/expected" <<LIST
pipstack.exe $bin/pipstack.exe
pipstack-virtual-port.dll $bin/pipstack-virtual-port.dll
ledview.exe $bin/ledview.exe
README.md $src/README.md
LICENSE.txt $src/packaging/LICENSE.txt
docs/dialog-about.png $src/docs/dialog-about.png
docs/dialog-configuration.png $src/docs/dialog-configuration.png
docs/dialog-select-data-source.png $src/docs/dialog-select-data-source.png
docs/dialog-test-sequences.png $src/docs/dialog-test-sequences.png
firmware/PipstackLeds/PipstackLeds.ino $src/firmware/PipstackLeds/PipstackLeds.ino
firmware/PipstackLeds/led_protocol.h $src/firmware/PipstackLeds/led_protocol.h
firmware/PipstackLeds/led_protocol.cpp $src/firmware/PipstackLeds/led_protocol.cpp
firmware/PipstackLeds.ino.hex $firmware/PipstackLeds.ino.hex
firmware/UPLOAD.txt $src/firmware/UPLOAD.txt
LIST

unzip -Z1 "$zip" | grep -v '/$' | sort >"$work/listed"
sed "s|^\([^ ]*\) .*|$top/\1|" "$work/expected" | sort >"$work/wanted"
if ! cmp -s "$work/listed" "$work/wanted"; then
  echo "zip holds (<) / should hold (>):" >&2
  diff "$work/listed" "$work/wanted" >&2 || true
  fail "unexpected contents in $zip"
fi

unzip -q "$zip" -d "$work/out"
while read -r name origin; do
  cmp -s "$work/out/$top/$name" "$origin" || fail "$name in the zip differs from $origin"
done <"$work/expected"
echo "zip holds the $(wc -l <"$work/expected") shipped files, each as built"
