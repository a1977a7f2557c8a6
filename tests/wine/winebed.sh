# The Wine test bed, sourced by the bed and test scripts (bash).
#
# A bed is a folder (WB_DIR) holding a private Wine prefix, the binaries under test copied into
# C:\bed, and the simulated receivers' scenario files and request logs in C:\sim. Every script
# that starts Wine starts its own Xvfb display and, on every way out, stops the wineserver of
# the prefix and that display again (wb_start installs the trap).
#
# Needs: wine (with wine32 and wine64: a 64-bit prefix running the 32-bit programs under WOW64),
# wineboot, wineserver, Xvfb and coreutils' timeout.

WB_WINE_TIMEOUT=${WB_WINE_TIMEOUT:-60}     # seconds for one Windows program
WB_BOOT_TIMEOUT=${WB_BOOT_TIMEOUT:-240}    # seconds for creating a prefix

wb_fail() {
  echo "winebed: $*" >&2
  exit 1
}

wb_note() {
  echo "winebed: $*" >&2
}

# wb_init <bed-dir>: the environment every Wine call of this bed runs in.
wb_init() {
  WB_DIR=$1
  local tool
  for tool in wine wineboot wineserver Xvfb timeout; do
    command -v "$tool" >/dev/null || wb_fail "$tool is missing (tools/install-deps.sh installs it)"
  done
  export WINEPREFIX="$WB_DIR/prefix"
  export WINEDEBUG=-all
  # No Mono or Gecko installer dialogs, and no menu entries written into the user's home.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  unset WINEARCH WINESERVER WINELOADER
  WB_CDRIVE="$WINEPREFIX/drive_c"
  WB_SIM="$WB_CDRIVE/sim"
}

# Stops what this bed started: the prefix's wineserver and the display recorded in WB_DIR.
wb_stop() {
  if [ -n "${WB_DIR:-}" ] && [ -d "$WINEPREFIX" ]; then
    timeout -k 5 20 wineserver -k >/dev/null 2>&1 || true
    timeout -k 5 20 wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "${WB_DIR:-}" ] && [ -f "$WB_DIR/xvfb.pid" ]; then
    local pid
    pid=$(cat "$WB_DIR/xvfb.pid")
    rm -f "$WB_DIR/xvfb.pid"
    if [ -n "$pid" ] && kill "$pid" 2>/dev/null; then
      local i
      for i in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
      kill -9 "$pid" 2>/dev/null || true
    fi
  fi
}

# Starts a private X display for this script and the trap that always stops the bed.
wb_start() {
  trap 'wb_stop' EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
  mkdir -p "$WB_DIR"
  wb_stop   # whatever an earlier, killed run of this bed left behind
  local displayFile="$WB_DIR/xvfb.display"
  rm -f "$displayFile"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$displayFile" >"$WB_DIR/xvfb.log" 2>&1 &
  echo $! >"$WB_DIR/xvfb.pid"
  local i
  for i in $(seq 100); do
    [ -s "$displayFile" ] && break
    kill -0 "$(cat "$WB_DIR/xvfb.pid")" 2>/dev/null || wb_fail "Xvfb did not start: $(cat "$WB_DIR/xvfb.log")"
    sleep 0.1
  done
  [ -s "$displayFile" ] || wb_fail "Xvfb gave no display number within 10 s"
  export DISPLAY=":$(head -n1 "$displayFile")"
}

# A fresh prefix: removes the old one and boots a new one, waiting for it to settle.
wb_create_prefix() {
  rm -rf "$WINEPREFIX"
  timeout -k 10 "$WB_BOOT_TIMEOUT" wineboot -i >"$WB_DIR/wineboot.log" 2>&1 ||
    wb_fail "wineboot -i failed or took longer than $WB_BOOT_TIMEOUT s: $(tail -n 5 "$WB_DIR/wineboot.log")"
  timeout -k 10 "$WB_BOOT_TIMEOUT" wineserver -w || wb_fail "the prefix did not settle within $WB_BOOT_TIMEOUT s"
  mkdir -p "$WB_CDRIVE/bed" "$WB_SIM"
}

# wb_install <file>...: copies programs and libraries into C:\bed.
wb_install() {
  mkdir -p "$WB_CDRIVE/bed"
  cp -f "$@" "$WB_CDRIVE/bed/"
}

# wb_run <program> [arguments...]: runs C:\bed\<program> with a time limit; its exit code is
# the program's (124 when the limit struck).
wb_run() {
  local program=$1
  shift
  timeout -k 5 "$WB_WINE_TIMEOUT" wine "C:\\bed\\$program" "$@"
}

# wb_capture <trace-file> <program> [arguments...]: like wb_run, and the program's debug-output
# texts go to <trace-file> (one per line).
wb_capture() {
  local traces=$1 program=$2
  shift 2
  rm -f "$traces"
  timeout -k 5 "$WB_WINE_TIMEOUT" wine 'C:\bed\dbgcapture.exe' 'C:\bed\traces.txt' "C:\\bed\\$program" "$@"
  local status=$?
  if [ -f "$WB_CDRIVE/bed/traces.txt" ]; then
    mv -f "$WB_CDRIVE/bed/traces.txt" "$traces"
  else
    : >"$traces"
  fi
  return $status
}

# Receivers: wb_simregister <command>... runs the registration tool (commands chained with ';').
wb_simregister() {
  wb_run simregister.exe "$@"
}

# wb_scenario <name>: the scenario file of receivers registered under <name>, from stdin.
# An earlier request log of that name is removed.
wb_scenario() {
  mkdir -p "$WB_SIM"
  cat >"$WB_SIM/$1.txt"
  rm -f "$WB_SIM/$1.log"
}

# wb_log <name>: path of the request log of the receivers registered under <name>.
wb_log() {
  echo "$WB_SIM/$1.log"
}

# wb_reset_receivers: no receiver listed, no scenario file, no request log.
wb_reset_receivers() {
  wb_simregister clear tuner ';' clear capture || wb_fail "simregister clear failed"
  rm -f "$WB_SIM"/*.txt "$WB_SIM"/*.log
}
