#!/usr/bin/env bash
# Checks the layout rules a compiler does not: every C++ file is formatted as
# .clang-format says, and every file of the program and its tools that uses
# the Win32 API (a platform header, or one of our *_win.h headers) says so in
# its name by ending in _win, so that the platform-free code stays visible.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
# The tracked files; where there is no git checkout (a copied tree), every
# source file outside the build folders.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t sources < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t sources < <(find . -path ./build -prune -o -path ./.git -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print |
                         sed 's|^\./||' | sort)
fi
if ! clang-format --style=file --dry-run --Werror "${sources[@]}"; then
  echo "check-source.sh: run clang-format -i on the files above" >&2
  status=1
fi

platform='#include[[:space:]]*(<(windows|winspool|winternl|winperf|winsock2|ws2ipdef|iphlpapi|pdh|pdhmsg|psapi|sddl|shellapi|commctrl|cfgmgr32|setupapi)\.h>|"[^"]*_win\.h")'
for f in "${sources[@]}"; do
  case "$f" in tests/* | fuzz/*) continue ;; esac
  case "$(basename "$f")" in *_win.h | *_win.cpp) continue ;; esac
  if grep -qE "$platform" "$f"; then
    echo "check-source.sh: $f uses the Win32 API but its name does not end in _win" >&2
    status=1
  fi
done
exit $status
