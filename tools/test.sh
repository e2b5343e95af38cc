#!/usr/bin/env bash
# Builds both builds (host and Windows) and runs every test: the platform-free
# ones natively with sanitizers, the Windows ones under Wine in a scratch prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps.sh

jobs=$(nproc)
cmake --preset host -DPIPSTACK_WERROR=ON >/dev/null
cmake --build --preset host -j"$jobs"
cmake --preset windows -DPIPSTACK_WERROR=ON >/dev/null
cmake --build --preset windows -j"$jobs"

# A new Wine prefix for every run, so no run sees what an earlier one left.
cmake/wine-session.sh fresh build/windows/wine

status=0
ctest --preset host -j"$jobs" 2>&1 | tee build/host-tests.log || status=1
ctest --preset windows -j"$jobs" 2>&1 | tee build/windows-tests.log || status=1

# One closing line for both runs.
summary() { grep -Eo '[0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1; }
read -r hf _ _ _ _ ht <<<"$(summary build/host-tests.log || echo '1 tests failed out of 1')"
read -r wf _ _ _ _ wt <<<"$(summary build/windows-tests.log || echo '1 tests failed out of 1')"
echo "host: $((ht - hf)) passed, $hf failed; windows: $((wt - wf)) passed, $wf failed"
echo "$((ht - hf + wt - wf)) passed, $((hf + wf)) failed"
exit $status
