#!/usr/bin/env bash
# Builds both builds (host and Windows) and runs every test: the platform-free
# ones natively with sanitizers, the Windows ones under Wine in a scratch prefix,
# and then the demo itself once (tools/run.sh --once).
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

# The README's first command itself, as a new user runs it (it builds, so it
# runs after CTest; its prefix and display are the demo's own).
demo=passed
tests/session/run_once_smoke.sh 2>&1 | tee build/demo-test.log || { demo=failed; status=1; }

# One closing line for all runs.
summary() { grep -Eo '[0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1; }
read -r hf _ _ _ _ ht <<<"$(summary build/host-tests.log || echo '1 tests failed out of 1')"
read -r wf _ _ _ _ wt <<<"$(summary build/windows-tests.log || echo '1 tests failed out of 1')"
df=0
[ "$demo" = passed ] || df=1
echo "host: $((ht - hf)) passed, $hf failed; windows: $((wt - wf)) passed, $wf failed; tools/run.sh --once: $demo"
echo "$((ht - hf + wt - wf + 1 - df)) passed, $((hf + wf + df)) failed"
exit $status
