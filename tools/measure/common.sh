# Shared set-up of the measurement scripts (sourced): builds the Windows side, and gives each
# run a private Wine prefix and X display of its own in build/measure/<name>/, with the
# simulated receiver registered; the trap of the bed stops its wineserver and display.
#
#   measure_setup <name>        the bed; sets OUT (results) and BIN (built programs)
#   measure_receiver <scenario file> [<key table description>]
#                               lists receiver "meter" with that scenario and writes the table
#   start_wendle_plain          Wendle.exe in the background, no debugger attached
#   wait_for_open               until Wendle has bound the receiver; sets CLOCK_TICK
#   wendle_unix_pid             the Linux process id of Wendle.exe
#   requests                    requests the receiver has answered so far
set -uo pipefail
MEASURE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$MEASURE_ROOT/tests/wine/winebed.sh"
# Awk functions that read procstat.exe's samples; put in front of an awk program.
SAMPLES_AWK=$(cat "$MEASURE_ROOT/tools/measure/samples.awk")
MEASURE_RECEIVER='usb#vid_0000&pid_0001#{9b365890-165f-11d0-a195-0020afd156e4}'

measure_setup() {
  OUT=$MEASURE_ROOT/build/measure/$1
  local build=${MEASURE_BUILD_DIR:-$MEASURE_ROOT/build/win32}
  "$MEASURE_ROOT/tools/install-deps.sh" || wb_fail "installing failed"
  cmake -S "$MEASURE_ROOT" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$MEASURE_ROOT/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null || wb_fail "configuring failed"
  cmake --build "$build" -j"${JOBS:-2}" --target Korvan Wendle simreceiver simregister wendledriver procstat keytimes enumprobe \
    >/dev/null || wb_fail "building failed"
  BIN=$build/bin
  rm -rf "$OUT"
  mkdir -p "$OUT"
  wb_init "$OUT/bed"
  wb_start
  trap 'wb_stop; rm -rf "$OUT/bed"' EXIT
  echo "$1: creating a private Wine prefix (10 to 60 s)" >&2
  wb_create_prefix
  wb_install "$BIN/Korvan.dll" "$BIN/Wendle.exe" "$BIN/simreceiver.dll" "$BIN/simregister.exe" \
    "$BIN/wendledriver.exe" "$BIN/procstat.exe" "$BIN/keytimes.exe" "$BIN/enumprobe.exe"
  wb_simregister register || wb_fail "the simulated receiver could not be registered"
}

measure_receiver() {
  cp "$1" "$WB_SIM/meter.txt"
  rm -f "$WB_SIM/meter.log" "$WB_CDRIVE/windows/syswow64/tamoirtbl.bin" "$WB_CDRIVE/windows/system32/tamoirtbl.bin"
  if [ $# -ge 2 ]; then
    python3 "$MEASURE_ROOT/tools/make-keytable.py" "$2" "$WB_CDRIVE/windows/system32/tamoirtbl.bin" ||
      wb_fail "the key table could not be written"
  fi
  wb_simregister add tuner "$MEASURE_RECEIVER" meter >/dev/null || wb_fail "simregister add failed"
}

start_wendle_plain() {
  timeout -k 5 3600 wine 'C:\bed\Wendle.exe' >"$OUT/wendle-output.txt" 2>&1 &
  WENDLE_JOB=$!
}

wait_for_open() {
  local i
  for i in $(seq 600); do
    CLOCK_TICK=$(sed -n 's/^# clock starts at tick \([0-9]*\)$/\1/p' "$WB_SIM/meter.log" 2>/dev/null)
    [ -n "$CLOCK_TICK" ] && return 0
    sleep 0.1
  done
  wb_fail "Wendle did not open the simulated receiver within 60 s"
}

wendle_unix_pid() {
  pgrep -f -n 'C:\\bed\\Wendle\.exe' || pgrep -n -x Wendle.exe
}

requests() {
  grep -c -v '^#' "$WB_SIM/meter.log"
}

# stop_wendle: the tray menu's Exit command, then wait for the program to end.
stop_wendle() {
  timeout -k 5 60 wine 'C:\bed\wendledriver.exe' window:10000 post:0x111:0x8006:0 gone:20000 >/dev/null 2>&1
  wait "$WENDLE_JOB"
}

# The wineserver of this prefix (other prefixes may have their own).
wineserver_unix_pid() {
  local pid
  for pid in $(pgrep -x wineserver64; pgrep -x wineserver; pgrep -x wineserver32); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$pid"; return; }
  done
}

# proc_cpu_ticks <pid>: utime + stime in clock ticks.
proc_cpu_ticks() {
  awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0
}

# proc_memory <pid>: resident and anonymous memory in KiB, and the Linux file descriptors.
proc_memory() {
  awk '/^VmRSS:/ { rss = $2 } /^RssAnon:/ { anon = $2 } END { printf "rss=%d anon=%d", rss, anon }' "/proc/$1/status"
  printf ' fds=%d\n' "$(ls "/proc/$1/fd" | wc -l)"
}
