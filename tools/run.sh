#!/usr/bin/env bash
# Builds Pipstack and runs the meter under Wine on the virtual parallel port,
# with the LEDs shown live in this terminal.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps.sh

cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"

if [ ! -f build/windows/bin/pipstack.exe ]; then
  echo
  echo "Built what exists so far: the meter core and its tests (tools/test.sh runs them)."
  echo "Not there yet: pipstack.exe, the virtual port and the live LED view."
  exit 0
fi
