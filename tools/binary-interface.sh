#!/usr/bin/env bash
# What the shipped binaries of a Windows build need from the system and offer:
# the functions they import, the names our libraries export and the oldest
# Windows each declares (its PE subsystem version).
#
#   tools/binary-interface.sh BUILD_DIR
#       prints them in the format of the reviewed lists in tests/binaries/
#   tools/binary-interface.sh --check LIST BUILD_DIR
#       fails on an import, export or version that LIST does not hold (naming
#       the binaries), and on an export or version of LIST that is gone
#
# After a reviewed change (a new import that the oldest supported Windows
# has, say), the list is written anew with
#   tools/binary-interface.sh build/windows >tests/binaries/win64.txt
#   tools/binary-interface.sh build/windows32 >tests/binaries/win32.txt
# The build writes the binaries' paths to BUILD_DIR/shipped-binaries.txt.
set -euo pipefail

check=""
if [ "${1:-}" = --check ]; then
  check=$2
  shift 2
fi
[ $# -eq 1 ] || { echo "usage: $0 [--check LIST] BUILD_DIR" >&2; exit 2; }
manifest=$1/shipped-binaries.txt
[ -f "$manifest" ] || { echo "$0: no $manifest; configure and build $1 first" >&2; exit 2; }
# The 64-bit MinGW objdump reads both PE formats.
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}

# One line per fact of one binary: "import dll function", "export dll name",
# "subsystem-version X.Y"; DLL names in lower case, as Windows matches them.
facts() {
  "$objdump" -p "$1" | awk '
    /^MajorSubsystemVersion/ { major = $2 }
    /^MinorSubsystemVersion/ { print "subsystem-version " major "." $2 }
    /^\tDLL Name: / { dll = tolower($3); next }
    /^$/ { dll = "" }
    # An imported function: "vma hint name", or an ordinal with no name.
    dll != "" && /^\t[0-9a-f]+\t/ {
      if (NF >= 3 && $3 != "<none>") print "import " dll " " $3
      else print "import " dll " ordinal-" $2
    }
    /^Name[ \t]/ && exports == "" { exports = tolower($NF) }
    /^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
    table && /^\t\[/ { print "export " exports " " $NF; next }
    table { table = 0 }
  '
}

binaries=()
while IFS= read -r path; do
  [ -n "$path" ] || continue
  [ -f "$path" ] || { echo "$0: $path is not built" >&2; exit 2; }
  binaries+=("$path")
done <"$manifest"

bits=64
"$objdump" -f "${binaries[0]}" | grep -q 'file format pei-i386' && bits=32
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/each"

# Imports and exports as one set for the build; the subsystem version per
# binary, as each executable is started on its own.
for path in "${binaries[@]}"; do
  name=$(basename "$path")
  facts "$path" | sed "s/^subsystem-version \(.*\)/subsystem-version $name \1/" | sort -u >"$work/each/$name"
done
{
  echo "# The ${bits}-bit build's shipped binaries: the system functions they import, the"
  echo "# names our libraries export, and the oldest Windows each declares. Reviewed:"
  echo "# every import exists on the oldest Windows the README names. Rewrite it with"
  echo "#   tools/binary-interface.sh BUILD_DIR >THIS_FILE"
  sort -u "$work"/each/*
} >"$work/current"

if [ -z "$check" ]; then
  cat "$work/current"
  exit 0
fi

grep -v '^#' "$check" | sort -u >"$work/reviewed"
grep -v '^#' "$work/current" >"$work/found"
status=0
while IFS= read -r line; do
  status=1
  holders=$(cd "$work/each" && grep -lxF "$line" -- * | tr '\n' ' ')
  echo "FAIL: not in the reviewed list: $line (${holders% })" >&2
done < <(comm -23 "$work/found" "$work/reviewed")
# A lost export or a changed version fails; an import no longer made only
# leaves the list longer than it need be.
while IFS= read -r line; do
  case "$line" in
    import\ *) echo "note: no longer imported: $line" >&2 ;;
    *) status=1; echo "FAIL: in the reviewed list but not found: $line" >&2 ;;
  esac
done < <(comm -13 "$work/found" "$work/reviewed")
if [ $status -ne 0 ]; then
  echo "After reviewing the change: $0 $1 >$check" >&2
  exit 1
fi
echo "${#binaries[@]} binaries: $(grep -c '^import' "$work/found") imports, $(grep -c '^export' "$work/found") exports, as reviewed"
