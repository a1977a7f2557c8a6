#!/usr/bin/env bash
# Checks the export table of the built Korvan.dll against its export list:
#   check-exports.sh <objdump> <Korvan.dll> <Korvan.def>
# - the DLL exports exactly the names of the list, no more and no fewer (133: 49 TESK_, 29 tamo_,
#   36 ruvo_, 19 solv_);
# - every "name = routine" line of the list reaches the same entry point as routine;
# - the TESK_ names lead to 47 entry points and the alias names to 54 routines.
# Exit code 0 when all holds, 1 otherwise (each difference is printed).
set -uo pipefail
export LC_ALL=C

[ $# -eq 3 ] || { echo "usage: $0 <objdump> <Korvan.dll> <Korvan.def>" >&2; exit 2; }
objdump=$1 dll=$2 def=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# The list: "name routine" per export (routine = name for a plain line).
awk '
  /^[ \t]*;/ || /^[ \t]*$/ { next }
  /^EXPORTS/ { inside = 1; next }
  /^[A-Z]+/ && !/^[ \t]/ { inside = 0; next }
  inside {
    sub(/;.*/, "")
    if ($2 == "=") print $1, $3; else print $1, $1
  }' "$def" | sort >"$work/list"

# The DLL: "name rva" per exported name. The name table gives each name its index in the
# export address table, which holds the entry points.
"$objdump" -p "$dll" >"$work/dump" || { echo "FAILED: $objdump -p $dll"; exit 1; }
awk '
  /^Export Address Table --/ { part = "eat"; next }
  /^\[Ordinal\/Name Pointer\] Table/ { part = "names"; next }
  /^[ \t]*$/ { part = ""; next }
  part == "eat" && match($0, /^\t\[ *[0-9]+\] \+base\[ *[0-9]+\] [0-9a-f]+/) {
    line = $0; gsub(/[\[\]+]/, " ", line); split(line, f, " ")
    rva[f[1]] = f[4]
  }
  part == "names" && match($0, /^\t\[ *[0-9]+\] /) {
    line = $0; sub(/^\t\[ */, "", line); index_ = line; sub(/\].*/, "", index_)
    name = line; sub(/^[0-9]+\] /, "", name)
    names[name] = index_
  }
  END { for (n in names) print n, rva[names[n]] }' "$work/dump" | sort >"$work/exports"

cut -d" " -f1 "$work/list" >"$work/listed"
cut -d" " -f1 "$work/exports" >"$work/exported"
if ! diff -u "$work/listed" "$work/exported" >"$work/diff"; then
  fail "export names differ from the list (- listed only, + exported only):"
  sed -n '3,$p' "$work/diff" | grep '^[-+]'
fi

count() { grep -c "$1" "$work/exported"; }
[ "$(wc -l <"$work/exported")" -eq 133 ] || fail "$(wc -l <"$work/exported") names exported, not 133"
[ "$(count '^TESK_\|^?TESK_')" -eq 49 ] || fail "$(count '^TESK_\|^?TESK_') TESK_ names, not 49"
[ "$(count '^tamo_')" -eq 29 ] || fail "$(count '^tamo_') tamo_ names, not 29"
[ "$(count '^ruvo_')" -eq 36 ] || fail "$(count '^ruvo_') ruvo_ names, not 36"
[ "$(count '^solv_')" -eq 19 ] || fail "$(count '^solv_') solv_ names, not 19"

# Each name's entry point equals its routine's.
join "$work/list" "$work/exports" >"$work/named"  # name routine rva
while read -r name routine address; do
  routine_address=$(awk -v r="$routine" '$1 == r { print $2 }' "$work/exports")
  [ "$address" = "$routine_address" ] || fail "$name is at $address, its routine $routine at ${routine_address:-nowhere}"
done <"$work/named"

entry_points() { grep "$1" "$work/exports" | cut -d" " -f2 | sort -u | wc -l; }
[ "$(entry_points '^TESK_\|^?TESK_')" -eq 47 ] || fail "TESK_ names reach $(entry_points '^TESK_\|^?TESK_') entry points, not 47"
[ "$(entry_points '^tamo_\|^ruvo_\|^solv_')" -eq 54 ] ||
  fail "alias names reach $(entry_points '^tamo_\|^ruvo_\|^solv_') routines, not 54"

if [ $failures -eq 0 ]; then
  echo "ok: $(wc -l <"$work/exported") exports match $def"
  exit 0
fi
exit 1
