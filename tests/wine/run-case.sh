#!/usr/bin/env bash
# Runs one end-to-end case in the shared Wine bed (prepared by bed-setup.sh) and checks it.
#   run-case.sh <bed-dir> <case-file>
#
# A case file is a bash fragment using the words below. The bed starts each case with no
# receiver listed and no scenario file or request log in C:\sim.
#
#   scenario <name>                      scenario file C:\sim\<name>.txt from stdin
#   receiver <tuner|capture> <instance> <name>   list a simulated receiver playing <name>
#   run_korvan <step>...                 korvan_wine_test.exe with C:\bed\Korvan.dll (steps: see
#                                        korvan_wine_test.cpp); a missing export skips the case
#   run_probe <tuner|capture> <index> <step>...  simprobe.exe (steps: see simprobe.cpp)
#   run_keytable <argument>...           keytable.exe, working in C:\bed (so it loads Korvan.dll
#                                        from there); any exit code is taken, for expect_exit; a
#                                        bed without keytable.exe skips the case
#   expect_output                        the program's output, exactly, from stdin
#   expect_traces                        its debug-output texts, exactly, from stdin
#   expect_errors                        its standard error, exactly, from stdin (run_keytable)
#   expect_exit <code>                   its exit code (run_keytable)
#   expect_log <name>                    the requests of receiver <name>, from stdin; lines that
#                                        begin with "#" are notes and not compared; "??" in an
#                                        expected line stands for any one byte in hex
#   expect_bound <name>...               these receivers were bound by the program
#   expect_unbound <name>...             these were not
# Exit code: 0 passed, 1 failed, 77 skipped (an export the case needs is not there yet).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/winebed.sh"

[ $# -eq 2 ] || wb_fail "usage: run-case.sh <bed-dir> <case-file>"
wb_init "$1"
case_file=$2
case_name=$(basename "$case_file" .sh)
[ -d "$WINEPREFIX" ] || wb_fail "no prefix in $WB_DIR: run bed-setup.sh first"
CASE_DIR="$(dirname "$WB_DIR")/results/$case_name"
rm -rf "$CASE_DIR"
mkdir -p "$CASE_DIR"
case_failures=0

# Property-set GUIDs as they appear in request headers, and the receiver identifiers.
CONTROL=ebe5efc65a851b4fb7aa87b5e1dc4113
PIDMAP=657da6d0df08ec4f8533e5b550410b85
CHANNEL=2dac3ff2afe1e0488bbea14029c92f11
RX_ID1='{9b365890-165f-11d0-a195-0020afd156e4}'
RX_ID2='{9b365890-165f-11d0-a195-0020afd156e5}'
RX_ID3='{92fb1e43-609e-4e54-8f22-77acedf89bdc}'
RX_ID4='{92fb1e43-609e-4e54-8f22-77acedf89bdd}'
RX_ID5='{cacacefd-1b5f-49f4-af24-0ce559cc1e6d}'
RX_ID6='{cacacefd-1b5f-49f4-af24-0ce559cc1e6e}'
RX_ID7='{a38de571-030d-4880-a3b5-9170020f77ea}'
# Display-name heads as the library traces them (lowered).
TUNER='@device:sw:{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\'
CAPTURE='@device:sw:{65e8773d-8f56-11d0-a3b9-00a0c9223196}\'

case_failed() {
  echo "FAILED: $*"
  case_failures=$((case_failures + 1))
}

scenario() {
  wb_scenario "$1"
}

receiver() {
  wb_simregister add "$1" "$2" "$3" || case_failed "simregister add $*"
}

# run_program <program> <argument>...: output, traces and exit code of one Windows program.
run_program() {
  local program=$1
  shift
  wb_capture "$CASE_DIR/traces.txt" "$program" "$@" >"$CASE_DIR/output.txt" 2>"$CASE_DIR/stderr.txt"
  local status=$?
  tr -d '\r' <"$CASE_DIR/output.txt" >"$CASE_DIR/output.tmp" && mv "$CASE_DIR/output.tmp" "$CASE_DIR/output.txt"
  if [ $status -eq 77 ]; then
    echo "SKIPPED: $(tail -n 1 "$CASE_DIR/output.txt")"
    exit 77
  fi
  if [ $status -ne 0 ]; then
    case_failed "$program exited with $status"
    sed 's/^/  | /' "$CASE_DIR/output.txt" "$CASE_DIR/stderr.txt"
  fi
}

run_korvan() {
  run_program korvan_wine_test.exe 'C:\bed\Korvan.dll' "$@"
}

run_probe() {
  run_program simprobe.exe "$@"
}

# run_keytable <argument>...: the key table tool, in C:\bed so that relative file names are
# those of the bed. Its exit code is part of what a case checks, so none fails the case here.
run_keytable() {
  if [ ! -f "$WB_CDRIVE/bed/keytable.exe" ]; then
    echo "SKIPPED: keytable.exe is not in the bed"
    exit 77
  fi
  (cd "$WB_CDRIVE/bed" && wb_capture "$CASE_DIR/traces.txt" keytable.exe "$@") \
    >"$CASE_DIR/output.txt" 2>"$CASE_DIR/stderr.txt"
  program_exit=$?
  local stream
  for stream in output stderr; do
    tr -d '\r' <"$CASE_DIR/$stream.txt" >"$CASE_DIR/$stream.tmp" && mv "$CASE_DIR/$stream.tmp" "$CASE_DIR/$stream.txt"
  done
}

# compare_exactly <what> <actual-file>: stdin against the file, with a diff when they differ.
compare_exactly() {
  local what=$1 actual=$2
  cat >"$CASE_DIR/expected-$what.txt"
  if ! diff -u --label "expected $what" --label "actual $what" "$CASE_DIR/expected-$what.txt" "$actual" \
      >"$CASE_DIR/diff-$what.txt"; then
    case_failed "$what does not match"
    cat "$CASE_DIR/diff-$what.txt"
  fi
}

expect_output() {
  compare_exactly output "$CASE_DIR/output.txt"
}

expect_traces() {
  compare_exactly traces "$CASE_DIR/traces.txt"
}

expect_errors() {
  compare_exactly errors "$CASE_DIR/stderr.txt"
}

expect_exit() {
  [ "${program_exit-}" = "$1" ] || case_failed "the program exited with ${program_exit-nothing}, expected $1"
}

# An expected request line as an extended regular expression: "??" stands for one hex byte.
line_pattern() {
  printf '%s' "$1" | sed -e 's/[][\.*^$(){}+?|/]/\\&/g' -e 's/\\?\\?/[0-9a-f]{2}/g'
}

expect_log() {
  local name=$1 log
  log=$(wb_log "$name")
  local -a expected actual
  mapfile -t expected
  actual=()
  if [ -f "$log" ]; then
    mapfile -t actual < <(grep -v '^#' "$log")
  fi
  local i count=${#expected[@]} mismatch=0
  [ ${#actual[@]} -gt "$count" ] && count=${#actual[@]}
  for ((i = 0; i < count; i++)); do
    local want=${expected[i]-} got=${actual[i]-}
    local pattern
    pattern=$(line_pattern "$want")
    if [ $i -ge ${#expected[@]} ] || [ $i -ge ${#actual[@]} ] || ! [[ $got =~ ^${pattern}$ ]]; then
      [ $mismatch -eq 0 ] && case_failed "requests of $name differ from request $((i + 1)) on"
      mismatch=1
      echo "  expected: ${want:-(nothing)}"
      echo "  actual:   ${got:-(nothing)}"
    fi
  done
}

expect_bound() {
  local name
  for name in "$@"; do
    grep -q "^# scenario $name" "$(wb_log "$name")" 2>/dev/null || case_failed "receiver $name was not bound"
  done
}

expect_unbound() {
  local name
  for name in "$@"; do
    [ -e "$(wb_log "$name")" ] && case_failed "receiver $name was bound"
  done
  return 0
}

# The request logs go with the case's other files; the prefix is removed after the run.
keep_logs() {
  cp -f "$WB_SIM"/*.log "$CASE_DIR/" 2>/dev/null || true
}

wb_start
wb_reset_receivers
trap 'keep_logs; wb_stop' EXIT
. "$case_file"
if [ $case_failures -ne 0 ]; then
  echo "case $case_name: $case_failures check(s) failed; files in $CASE_DIR"
  exit 1
fi
echo "case $case_name: passed"
