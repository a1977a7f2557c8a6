# Words of the Wendle cases, sourced by them inside run-case.sh (which has set up the bed).
#
#   wendle_log_before <text>      c:\monitor.log holds this before the start (a fresh log
#                                 must not keep it)
#   without_keytable              no key table file in the Windows folder's System32
#   with_keytable                 a valid key table file there (no keys)
#   start_wendle                  Wendle.exe in the background, its traces captured
#   drive <step>...               wendledriver.exe (steps: see wendledriver.cpp), output for
#                                 expect_output
#   expect_wendle_exit <code>     waits for Wendle.exe to end, and checks its exit code
#   expect_wendle_log <format>    c:\monitor.log holds exactly printf <format>
#   expect_wendle_traces          Wendle's debug-output texts include these lines (from stdin),
#                                 in this order
#   expect_wendle_trace_times <n> <text>   the text appears exactly n times

WENDLE_LOG="$WB_CDRIVE/monitor.log"
WENDLE_TRACES="$CASE_DIR/wendle-traces.txt"

wendle_log_before() {
  printf '%s\r\n' "$1" >"$WENDLE_LOG"
}

# The monitor reads the table with WOW64 redirection off, so in a 64-bit prefix it looks in the
# real system32; both folders are cleared so that neither can stand in.
without_keytable() {
  rm -f "$WB_CDRIVE/windows/system32/tamoirtbl.bin" "$WB_CDRIVE/windows/syswow64/tamoirtbl.bin"
}

with_keytable() {
  without_keytable
  # 50 empty records, then the trailer: value 0x7fff, count 0, prefix time-out 62, threshold 25.
  { head -c 350 /dev/zero; printf '\x7f\xff\x00\x3e\x19\x00'; } >"$WB_CDRIVE/windows/system32/tamoirtbl.bin"
}

start_wendle() {
  rm -f "$WB_CDRIVE/bed/wendle-traces.txt" "$CASE_DIR/wendle.status"
  (
    timeout -k 5 "$WB_WINE_TIMEOUT" wine 'C:\bed\dbgcapture.exe' 'C:\bed\wendle-traces.txt' 'C:\bed\Wendle.exe' \
      >"$CASE_DIR/wendle-output.txt" 2>&1
    echo $? >"$CASE_DIR/wendle.status"
  ) &
  WENDLE_JOB=$!
}

drive() {
  run_program wendledriver.exe "$@"
}

expect_wendle_exit() {
  wait "$WENDLE_JOB"
  local status
  status=$(cat "$CASE_DIR/wendle.status" 2>/dev/null)
  [ "$status" = "$1" ] || case_failed "Wendle.exe ended with ${status:-nothing}, expected $1"
  if [ -f "$WB_CDRIVE/bed/wendle-traces.txt" ]; then
    tr -d '\r' <"$WB_CDRIVE/bed/wendle-traces.txt" >"$WENDLE_TRACES"
    rm -f "$WB_CDRIVE/bed/wendle-traces.txt"
  else
    : >"$WENDLE_TRACES"
  fi
}

expect_wendle_log() {
  printf "$1" >"$CASE_DIR/expected-monitor.log"
  if [ ! -f "$WENDLE_LOG" ]; then
    case_failed "c:\\monitor.log was not written"
  elif ! cmp -s "$CASE_DIR/expected-monitor.log" "$WENDLE_LOG"; then
    case_failed "c:\\monitor.log does not match"
    echo "  expected: $(od -c "$CASE_DIR/expected-monitor.log" | head -n 5)"
    echo "  actual:   $(od -c "$WENDLE_LOG" | head -n 5)"
  fi
}

expect_wendle_traces() {
  local line at=0
  local -a traces
  mapfile -t traces <"$WENDLE_TRACES"
  while IFS= read -r line; do
    while [ $at -lt ${#traces[@]} ] && [ "${traces[at]}" != "$line" ]; do at=$((at + 1)); done
    if [ $at -ge ${#traces[@]} ]; then
      case_failed "trace \"$line\" is missing (or out of order)"
      sed 's/^/  | /' "$WENDLE_TRACES"
      return
    fi
    at=$((at + 1))
  done
}

expect_wendle_trace_times() {
  local times
  times=$(grep -c -x -F -- "$2" "$WENDLE_TRACES")
  [ "$times" = "$1" ] || case_failed "trace \"$2\" appeared $times times, expected $1"
}
