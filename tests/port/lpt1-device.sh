#!/bin/sh
# Backs the Wine prefix's LPT1 with a plain file, so that it can be opened
# like a port:  lpt1-device.sh link|unlink WINEPREFIX
set -eu
prefix=$2
case "$1" in
  link)
    : >"$prefix/lpt1-device"
    ln -sfn "$prefix/lpt1-device" "$prefix/dosdevices/lpt1"
    ;;
  unlink)
    rm -f "$prefix/dosdevices/lpt1" "$prefix/lpt1-device"
    ;;
esac
