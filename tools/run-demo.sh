#!/usr/bin/env bash
# The main job: Wendle turning a remote control's buttons into keystrokes, shown end to end on
# a Linux machine. Installs what is missing, builds the Windows side, and runs the real
# Wendle.exe and Korvan.dll under Wine on a private X display, with the simulated receiver
# playing a short remote session (tools/demo/remote.txt, key table tools/demo/keytable.txt).
# A target window with a keyboard hook catches the keystrokes; the desktop with the tray icon
# is saved as PNG. Everything lands in build/demo/ (DEMO_OUT), and a summary is printed.
#
#   tools/run-demo.sh          (as root on a fresh Debian machine; no person needed)
#
# DEMO_BUILD_DIR: the win32 build folder (default build/win32). DEMO_KEEP_PREFIX=1 keeps the
# Wine prefix in build/demo/bed/prefix for a look afterwards.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${DEMO_OUT:-$root/build/demo}
build=${DEMO_BUILD_DIR:-$root/build/win32}
jobs=${JOBS:-2}
desktop=WendleDemo,1024x768
receiver='usb#vid_0000&pid_0001#{9b365890-165f-11d0-a195-0020afd156e4}'

step() {
  echo
  echo "== $*"
}

die() {
  echo "run-demo: $*" >&2
  exit 1
}

rm -rf "$out"
mkdir -p "$out"

step "What is needed (tools/install-deps.sh; a few minutes on a fresh machine)"
"$root/tools/install-deps.sh" || die "installing failed"

step "Building the Windows side in $build"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
  >"$out/configure.log" 2>&1 || die "configuring failed: see $out/configure.log"
programs=(Korvan Wendle keytable simreceiver simregister dbgcapture keyrecorder screenshot wendledriver)
if ! cmake --build "$build" -j"$jobs" --target "${programs[@]}" >"$out/build.log" 2>&1; then
  tail -n 30 "$out/build.log"
  die "building failed: see $out/build.log"
fi
echo "built: ${programs[*]}"
bin=$build/bin
files=("$bin/Korvan.dll" "$bin/Wendle.exe" "$bin/keytable.exe" "$bin/simreceiver.dll" "$bin/simregister.exe" "$bin/dbgcapture.exe"
  "$bin/keyrecorder.exe" "$bin/screenshot.exe" "$bin/wendledriver.exe")

# The bed's shell library: private prefix, private Xvfb display, bounded Wine calls, and a trap
# that stops the wineserver and the display on every way out.
. "$root/tests/wine/winebed.sh"
wb_init "$out/bed"
wb_start
finish() {
  wb_stop
  [ "${DEMO_KEEP_PREFIX:-0}" = 1 ] || rm -rf "$out/bed"
}
trap finish EXIT

step "A private Wine prefix and X display (the prefix takes 10 to 60 s)"
wb_create_prefix
wb_install "${files[@]}"
wb_simregister register || die "the simulated receiver could not be registered"
wb_simregister add tuner "$receiver" remote >/dev/null || die "the simulated receiver could not be listed"
cp "$root/tools/demo/remote.txt" "$WB_SIM/remote.txt"
rm -f "$WB_CDRIVE/windows/syswow64/tamoirtbl.bin"
# The key table as a user makes one: keytable compile of a key map. Wendle reads it with WOW64
# redirection off, so it goes to the 64-bit prefix's real system32.
cp "$root/tools/demo/keytable.txt" "$WB_CDRIVE/bed/keytable.txt"
(cd "$WB_CDRIVE/bed" && wb_run keytable.exe compile keytable.txt -o tamoirtbl.bin) | tr -d '\r' >"$out/keytable-compile.txt" ||
  die "the key table could not be compiled: see $out/keytable.txt"
mv -f "$WB_CDRIVE/bed/tamoirtbl.bin" "$WB_CDRIVE/windows/system32/tamoirtbl.bin"
cat "$out/keytable-compile.txt"
echo "receiver: $receiver (chip 0x9035), session tools/demo/remote.txt, key table tools/demo/keytable.txt"

# in_desktop <program> <arguments>...: runs C:\bed\<program> on the virtual desktop with its
# task bar; the first call creates the desktop, later ones join it.
in_desktop() {
  local program=$1
  shift
  timeout -k 5 180 wine explorer /desktop="$desktop" "C:\\bed\\$program" "$@"
}

# wait_for <seconds> <test command...>: true once the test passes, false after the time.
wait_for() {
  local limit=$(( $1 * 10 ))
  shift
  local i
  for ((i = 0; i < limit; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

events="$WB_CDRIVE/bed/keystrokes.txt"
traces="$WB_CDRIVE/bed/wendle-traces.txt"
# count <pattern> <file>: matching lines (0 when there is no file).
count() {
  if [ -f "$2" ]; then grep -c -- "$1" "$2"; else echo 0; fi
}
key_downs() {
  count ' down ' "$events"
}
has_key_downs() {
  [ "$(key_downs)" -ge "$1" ]
}
has_trace() {
  grep -q "^$1" "$traces" 2>/dev/null
}
screenshot() {
  rm -f "$WB_CDRIVE/bed/$1"
  in_desktop screenshot.exe "C:\\bed\\$1" >/dev/null 2>&1
  wait_for 30 test -f "$WB_CDRIVE/bed/$1" && sleep 0.5 && mv -f "$WB_CDRIVE/bed/$1" "$out/$1"
}

step "The keystroke target window, then Wendle, on the Wine desktop"
in_desktop keyrecorder.exe 'C:\bed\keystrokes.txt' 'C:\bed\typed.txt' 120 >"$out/keyrecorder-output.txt" 2>&1 &
recorder_job=$!
wait_for 60 grep -q '^ready' "$out/keyrecorder-output.txt" || die "the keystroke target did not start"
# dbgcapture runs Wendle as its debugger and writes its debug-output texts to a file.
in_desktop dbgcapture.exe 'C:\bed\wendle-traces.txt' 'C:\bed\Wendle.exe' >"$out/wendle-output.txt" 2>&1 &
wendle_job=$!
wait_for 60 has_trace 'Find an IR Device' || die "Wendle did not open the simulated receiver"
opened_ms=$(date +%s%3N)
echo "Wendle has opened the receiver; the session's first button comes 5 s later"

step "Screenshots: the ready icon, then the key icon while buttons arrive"
screenshot desktop-ready.png
wait_for 60 has_key_downs 2 || echo "(no keystrokes arrived within 60 s)"
screenshot desktop-key.png
for shot in ready key; do
  if [ -f "$out/desktop-$shot.png" ]; then
    # The tray sits at the right end of the task bar: its corner, six times enlarged.
    python3 "$root/tools/demo/zoom-png.py" "$out/desktop-$shot.png" "$out/tray-$shot.png" -160 -28 160 28 6
    echo "saved $out/desktop-$shot.png and its tray corner, $out/tray-$shot.png"
  else
    echo "(the $shot screenshot could not be taken)"
  fi
done

step "The rest of the session"
# The session is over once its last button is due (times count from the open; a held button
# lasts about 100 ms per repeat) and no keystroke has come for 3 s.
session_ms=$(sed 's/#.*//' "$root/tools/demo/remote.txt" | awk '
  $1 == "code" || $1 == "report" { t = $2; if ($(NF - 1) == "repeat") t += $NF * 100; if (t > last) last = t }
  END { print last + 0 }')
session_quiet() {
  local now
  now=$(key_downs)
  if [ "$now" = "${last_count:-}" ]; then
    quiet_polls=$((quiet_polls + 1))
  else
    quiet_polls=0
    last_count=$now
  fi
  [ "$quiet_polls" -ge 30 ] && [ $(( $(date +%s%3N) - opened_ms )) -ge "$session_ms" ]
}
quiet_polls=0
wait_for 90 session_quiet || echo "(the session did not come to an end within 90 s)"

step "Ending Wendle with its tray menu's Exit command (WM_COMMAND 32774)"
# Windows are found on the desktop they live on, so the helpers join the virtual desktop too.
in_desktop wendledriver.exe window:10000 post:0x111:0x8006:0 gone:10000 | tr -d '\r' | sed 's/^/  /'
wait "$wendle_job"
# taskkill without /f closes the target window, which then writes out the text it holds.
timeout -k 5 30 wine explorer /desktop="$desktop" taskkill /im keyrecorder.exe >/dev/null 2>&1
wait "$recorder_job"

tr -d '\r' <"$events" >"$out/keystrokes.txt" 2>/dev/null || : >"$out/keystrokes.txt"
cp -f "$WB_CDRIVE/bed/typed.txt" "$out/typed.txt" 2>/dev/null || : >"$out/typed.txt"
tr -d '\r' <"$traces" >"$out/wendle-traces.txt" 2>/dev/null || : >"$out/wendle-traces.txt"
cp -f "$WB_CDRIVE/monitor.log" "$out/monitor.log" 2>/dev/null || : >"$out/monitor.log"
cp -f "$WB_SIM/remote.log" "$out/receiver-requests.log" 2>/dev/null || true

# key_names: the event lines with the keys' names added.
key_names() {
  awk '
    BEGIN {
      split("08 Backspace 0D Enter 1B Escape 20 Space 21 PageUp 22 PageDown 25 Left 26 Up 27 Right 28 Down " \
            "A0 LeftShift A1 RightShift A2 LeftCtrl A3 RightCtrl A4 LeftAlt A5 RightAlt 5B LeftWin 5C RightWin", n, " ")
      for (i = 1; i < length(n); i += 2) name[n[i]] = n[i + 1]
      for (c = 48; c <= 57; c++) name[sprintf("%02X", c)] = sprintf("%c", c)
      for (c = 65; c <= 90; c++) name[sprintf("%02X", c)] = sprintf("%c", c)
    }
    {
      vk = substr($3, 4)
      printf "  %6s ms  %-4s %s %s %s  %s%s\n", $1, $2, $3, $4, $5, (vk in name ? name[vk] : "?"),
             ($5 ~ /flags=.[1359BDF]/ ? " (extended)" : "")
    }' "$1"
}

{
  echo
  echo "What happened"
  echo "============="
  echo
  echo "Output folder: $out"
  echo
  echo "Screenshots of the Wine desktop (tray icon at the right end of the task bar):"
  for shot in ready key; do
    [ -f "$out/desktop-$shot.png" ] && echo "  $out/desktop-$shot.png   (tray corner enlarged: $out/tray-$shot.png)"
  done
  echo
  echo "Keystrokes the hook saw ($(count ' down ' "$out/keystrokes.txt") presses; flags 10 = injected,"
  echo "80 = key up, 01 = extended; times from the target window's start):"
  key_names "$out/keystrokes.txt"
  echo
  echo "Text typed into the target window:"
  sed 's/^/  | /' "$out/typed.txt"
  echo
  echo
  echo "Wendle's traces (debug output; a run of equal texts shown once with its count):"
  awk 'function flush() { if (run > 1) print "  " last "   (" run " times)"; else if (run) print "  " last }
       $0 == last { run++; next } { flush(); last = $0; run = 1 } END { flush() }' "$out/wendle-traces.txt"
  echo
  echo "Wendle's log c:\\monitor.log ($(wc -c <"$out/monitor.log") bytes; empty: nothing went wrong):"
  od -c "$out/monitor.log" | sed 's/^/  /'
  echo
  echo "Requests the simulated receiver answered: $(grep -v '^#' "$out/receiver-requests.log" 2>/dev/null | wc -l)" \
    "($out/receiver-requests.log)"
} | tee "$out/summary.txt"
