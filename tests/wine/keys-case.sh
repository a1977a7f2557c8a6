# Words of the end-to-end keystroke cases, sourced by them inside run-case.sh after
# wendle-case.sh: the real Wendle.exe and Korvan.dll play a simulated receiver's buttons into
# the desktop, and a recorder holding a low-level keyboard hook sees what arrives.
#
#   keytable                      the key table file in the Windows folder's System32, written
#                                 by tools/make-keytable.py from the description on stdin
#   start_recorder                keyrecorder.exe in the background, its target window in front;
#                                 returns once its hook is in place
#   wait_keys <n>                 waits (bounded) until the hook has seen n key events
#   stop_recorder                 closes the recorder and collects its events and typed text
#   exit_wendle_and_stop_recorder Wendle's hidden window gets the tray menu's Exit command,
#                                 Wendle ends with 0, then stop_recorder
#   expect_keys                   the key events, exactly, from stdin: "<down|up> vk=XX scan=XX
#                                 flags=XX" per line, in order; every key released right after its
#                                 press was held for 250 to 1500 ms (the poll cycle holds 300 ms)
#   expect_typed <text>           what the keys typed into the target window
#   expect_wendle_trace_list      Wendle's debug-output texts, exactly, from stdin; a run of n
#                                 equal texts is one line "<text> (n times)", and a run of the
#                                 report read's per-poll trace (any length) "<text> ..."; an
#                                 expected "<text> (a to b times)" takes a run of a to b
#   requests_of <name>            number of requests receiver <name> has received so far

KEYS_EVENTS="$CASE_DIR/keys.txt"
KEYS_TYPED="$CASE_DIR/typed.txt"
KEYS_TABLE_TOOL="$(cd "$here/../.." && pwd)/tools/make-keytable.py"
# The hold of the poll cycle is 300 ms; the bounds leave room for a busy machine.
KEYS_HOLD_MIN_MS=250
KEYS_HOLD_MAX_MS=1500

keytable() {
  without_keytable
  cat >"$CASE_DIR/keytable.txt"
  python3 "$KEYS_TABLE_TOOL" "$CASE_DIR/keytable.txt" "$WB_CDRIVE/windows/system32/tamoirtbl.bin" ||
    case_failed "the key table could not be written"
}

start_recorder() {
  rm -f "$WB_CDRIVE/bed/keys.txt" "$WB_CDRIVE/bed/typed.txt" "$CASE_DIR/recorder-output.txt"
  (
    # The recorder ends by itself at the latest after 50 s; stop_recorder closes it sooner.
    timeout -k 5 "$WB_WINE_TIMEOUT" wine 'C:\bed\keyrecorder.exe' 'C:\bed\keys.txt' 'C:\bed\typed.txt' 50 \
      >"$CASE_DIR/recorder-output.txt" 2>&1
  ) &
  RECORDER_JOB=$!
  local i
  for i in $(seq 300); do
    grep -q '^ready' "$CASE_DIR/recorder-output.txt" 2>/dev/null && return 0
    kill -0 "$RECORDER_JOB" 2>/dev/null || break
    sleep 0.1
  done
  case_failed "the keystroke recorder did not get ready"
  sed 's/^/  | /' "$CASE_DIR/recorder-output.txt"
}

key_event_count() {
  local events="$WB_CDRIVE/bed/keys.txt"
  if [ -f "$events" ]; then grep -c -E '^[0-9]+ (down|up) ' "$events"; else echo 0; fi
}

wait_keys() {
  local i
  for i in $(seq 600); do
    [ "$(key_event_count)" -ge "$1" ] && return 0
    sleep 0.1
  done
  case_failed "the hook saw $(key_event_count) key events within 60 s, expected $1"
}

stop_recorder() {
  # taskkill without /f posts WM_CLOSE to the recorder's window, which writes the typed text.
  timeout -k 5 "$WB_WINE_TIMEOUT" wine taskkill /im keyrecorder.exe >"$CASE_DIR/taskkill-output.txt" 2>&1
  wait "$RECORDER_JOB"
  tr -d '\r' <"$WB_CDRIVE/bed/keys.txt" >"$KEYS_EVENTS" 2>/dev/null || : >"$KEYS_EVENTS"
  tr -d '\r' <"$WB_CDRIVE/bed/typed.txt" >"$KEYS_TYPED" 2>/dev/null || : >"$KEYS_TYPED"
}

expect_keys() {
  cut -d' ' -f2- "$KEYS_EVENTS" >"$CASE_DIR/keys-without-times.txt"
  compare_exactly keys "$CASE_DIR/keys-without-times.txt"
  local holds
  holds=$(awk -v min="$KEYS_HOLD_MIN_MS" -v max="$KEYS_HOLD_MAX_MS" '
    $2 == "up" && previous == "down " $3 {
      held = $1 - previousTime
      if (held < min || held > max) printf "  %s held %d ms at %d ms\n", $3, held, previousTime
    }
    { previous = $2 " " $3; previousTime = $1 }' "$KEYS_EVENTS")
  if [ -n "$holds" ]; then
    case_failed "a key was not held for $KEYS_HOLD_MIN_MS to $KEYS_HOLD_MAX_MS ms"
    echo "$holds"
  fi
}

expect_typed() {
  printf '%s' "$1" >"$CASE_DIR/expected-typed.txt"
  if ! cmp -s "$CASE_DIR/expected-typed.txt" "$KEYS_TYPED"; then
    case_failed "the target window holds \"$(cat "$KEYS_TYPED")\", expected \"$1\""
  fi
}

expect_wendle_trace_list() {
  awk -v perPoll='DVB_PellorGetIR(PBYTE pData)' '
    function flush() {
      if (run == 0) return
      if (last == perPoll) print last " ..."
      else if (run > 1) print last " (" run " times)"
      else print last
    }
    $0 == last { run++; next }
    { flush(); last = $0; run = 1 }
    END { flush() }' "$WENDLE_TRACES" >"$CASE_DIR/wendle-trace-runs.txt"
  cat >"$CASE_DIR/expected-trace-list.txt"
  # An expected "<text> (a to b times)" stands for a run whose length the poll timing decides.
  awk '
    NR == FNR { expected[FNR] = $0; next }
    {
      line = $0
      if (match(expected[FNR], / \([0-9]+ to [0-9]+ times\)$/)) {
        text = substr(expected[FNR], 1, RSTART - 1)
        split(substr(expected[FNR], RSTART + 2), bounds, " ")
        run = 0
        if (line == text) run = 1
        else if (index(line, text " (") == 1 && line ~ / times\)$/) run = substr(line, length(text) + 3) + 0
        if (run >= bounds[1] && run <= bounds[3]) line = expected[FNR]
      }
      print line
    }' "$CASE_DIR/expected-trace-list.txt" "$CASE_DIR/wendle-trace-runs.txt" >"$CASE_DIR/wendle-trace-list.txt"
  compare_exactly wendle-traces "$CASE_DIR/wendle-trace-list.txt" <"$CASE_DIR/expected-trace-list.txt"
}

requests_of() {
  local log
  log=$(wb_log "$1")
  if [ -f "$log" ]; then grep -c -v '^#' "$log"; else echo 0; fi
}

exit_wendle_and_stop_recorder() {
  drive window:30000 post:0x111:0x8006:0 gone:10000
  expect_output <<'END'
window:30000 -> hidden top-level
post:0x111:0x8006:0 -> ok
gone:10000 -> yes
END
  expect_wendle_exit 0
  stop_recorder
}
