#!/usr/bin/env bash
# The delay from a raw code becoming available in the simulated driver to its key press as a
# low-level keyboard hook in another process sees it, over N presses (default 60). Both ends
# use the system tick count of one wineserver: the simulator notes the tick its scenario clock
# starts at ("# clock starts at tick N" in its request log), and keytimes.exe stamps each key
# event with GetTickCount. Codes come 730 ms apart, so they meet the 100 ms poll at every phase
# and never wait behind another key's 300 ms hold. Results in build/measure/delay/.
#   tools/measure/delay.sh [presses]
. "$(dirname "$0")/common.sh"
presses=${1:-60}
first_ms=3000
spacing_ms=730
measure_setup delay
{
  echo "chip 0x9035"
  for ((k = 0; k < presses; k++)); do
    # Two buttons in turn: the same code again so soon would be suppressed as a repeat.
    if ((k % 2 == 0)); then code=0x00ff40bf; else code=0x00ff20df; fi
    echo "code $((first_ms + k * spacing_ms)) $code"
  done
} >"$OUT/scenario.txt"
printf '0x00ff40bf 0x04 0x00\n0x00ff20df 0x05 0x00\n' >"$OUT/keytable.txt"
measure_receiver "$OUT/scenario.txt" "$OUT/keytable.txt"

seconds=$(( (first_ms + presses * spacing_ms) / 1000 + 30 ))
timeout -k 5 $((seconds + 30)) wine 'C:\bed\keytimes.exe' 'C:\bed\keytimes.txt' "$seconds" >"$OUT/keytimes-output.txt" 2>&1 &
hook_job=$!
for i in $(seq 300); do grep -q ready "$OUT/keytimes-output.txt" && break; sleep 0.1; done
start_wendle_plain
wait_for_open
echo "delay: $presses presses, one every $spacing_ms ms; about $(( (first_ms + presses * spacing_ms) / 1000 )) s" >&2
events="$WB_CDRIVE/bed/keytimes.txt"
for i in $(seq $((seconds * 10))); do
  [ "$(grep -c ' down ' "$events" 2>/dev/null)" -ge "$presses" ] && break
  sleep 0.1
done
stop_wendle
kill "$hook_job" 2>/dev/null
tr -d '\r' <"$events" >"$OUT/keytimes.txt"

awk -v clock="$CLOCK_TICK" -v first="$first_ms" -v spacing="$spacing_ms" -v presses="$presses" '
  BEGIN { n = 0 }
  $2 == "down" {
    due = (clock + first + n * spacing) % 4294967296
    delay[n] = ($1 - due + 4294967296) % 4294967296
    if (delay[n] > 2147483648) delay[n] -= 4294967296
    printf "press %3d  due %10d  hook %10d  delay %4d ms\n", n + 1, due, $1, delay[n] > "/dev/stderr"
    n++
  }
  END {
    if (n == 0) { print "no key presses were seen"; exit 1 }
    for (i = 0; i < n; i++) { sorted[i] = delay[i]; sum += delay[i] }
    for (i = 1; i < n; i++) { v = sorted[i]; for (j = i - 1; j >= 0 && sorted[j] > v; j--) sorted[j + 1] = sorted[j]; sorted[j + 1] = v }
    median = n % 2 ? sorted[(n - 1) / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2
    printf "Delay from a code becoming available to its key press, %d of %d presses:\n", n, presses
    printf "  median %.1f ms, worst %d ms, best %d ms, mean %.1f ms\n", median, sorted[n - 1], sorted[0], sum / n
  }' "$OUT/keytimes.txt" 2>"$OUT/presses.txt" | tee "$OUT/result.txt"
