#!/usr/bin/env bash
# A long run of Wendle under Wine, watched for leaks: at least 10,000 polls of an open receiver,
# 500 injected keys (two buttons in turn, one every 2 s) and 100 removal/arrival cycles of the
# receiver (each one closes and reopens the library twice), while its memory and handle counts
# are sampled every 10 s from the system's process list (procstat.exe) and from /proc. The
# handles that grew are listed by type and name, and a bare search of the tuner category
# (enumprobe.exe, no Korvan code) shows what the platform's enumerator keeps. Takes about 20
# minutes. Results in build/measure/soak/.
#   tools/measure/soak.sh
# SOAK_KEYS, SOAK_POLLS, SOAK_CYCLES make a shorter run.
. "$(dirname "$0")/common.sh"
keys=${SOAK_KEYS:-500}
polls=${SOAK_POLLS:-10000}
cycles=${SOAK_CYCLES:-100}
first_ms=5000
spacing_ms=2000
cycle_pause_ms=9000
interface='\\?\usb#vid_0000&pid_0001#5&1f2e3d4c&0&1#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\{9b365890-165f-11d0-a195-0020afd156e4}'
measure_setup soak
{
  echo "chip 0x9035"
  for ((k = 0; k < keys; k++)); do
    if ((k % 2 == 0)); then code=0x00ff40bf; else code=0x00ff20df; fi
    echo "code $((first_ms + k * spacing_ms)) $code"
  done
} >"$OUT/scenario.txt"
printf '0x00ff40bf 0x04 0x00\n0x00ff20df 0x05 0x00\n' >"$OUT/keytable.txt"
measure_receiver "$OUT/scenario.txt" "$OUT/keytable.txt"

hook_seconds=$(( (first_ms + keys * spacing_ms) / 1000 + 600 ))
timeout -k 5 $((hook_seconds + 30)) wine 'C:\bed\keytimes.exe' 'C:\bed\keytimes.txt' "$hook_seconds" \
  >"$OUT/keytimes-output.txt" 2>&1 &
hook_job=$!
for i in $(seq 300); do grep -q ready "$OUT/keytimes-output.txt" && break; sleep 0.1; done
start_wendle_plain
wait_for_open
pid=$(wendle_unix_pid)
echo "soak: $keys keys, $polls polls, $cycles removal/arrival cycles; about $(( (first_ms + keys * spacing_ms) / 60000 + 1 )) min" >&2

# Every handle with its type and name, at the start and at the end: what a growth consists of.
list_handles() {
  timeout -k 5 60 wine 'C:\bed\procstat.exe' Wendle.exe handles | tr -d '\r' | cut -d' ' -f2- | sort | uniq -c >"$1"
}
list_handles "$OUT/handles-start.txt"
timeout -k 5 7200 wine 'C:\bed\procstat.exe' Wendle.exe 100000 10000 | tr -d '\r' >"$OUT/procstat.txt" &
sampler_job=$!
( while kill -0 "$pid" 2>/dev/null; do echo "$(date +%s) $(proc_memory "$pid")"; sleep 10; done ) >"$OUT/proc-samples.txt" 2>/dev/null &
proc_job=$!

steps=(window:10000)
for ((c = 0; c < cycles; c++)); do steps+=("removal:$interface" "arrival:$interface" "alive:$cycle_pause_ms"); done
timeout -k 5 7200 wine 'C:\bed\wendledriver.exe' "${steps[@]}" | tr -d '\r' >"$OUT/cycles.txt"

poll_count() { grep -c 'flags=2 .* data=12:07' "$WB_SIM/meter.log"; }
key_count() { grep -c ' down ' "$WB_CDRIVE/bed/keytimes.txt" 2>/dev/null; }
for i in $(seq 7200); do
  [ "$(poll_count)" -ge "$polls" ] && [ "$(key_count)" -ge "$keys" ] && break
  sleep 1
done
sleep 12   # one more sample after the last key
list_handles "$OUT/handles-end.txt"
stop_wendle
wait "$sampler_job" "$proc_job"
kill "$hook_job" 2>/dev/null
# The same search of the tuner category without Korvan: whose handles a growth is.
timeout -k 5 120 wine 'C:\bed\enumprobe.exe' 20 | tr -d '\r' >"$OUT/enumprobe.txt"
tr -d '\r' <"$WB_CDRIVE/bed/keytimes.txt" >"$OUT/keytimes.txt"

{
  echo "Soak of Wendle under Wine: $(poll_count) polls, $(key_count) injected keys," \
    "$(grep -c '^removal:.* -> 0$' "$OUT/cycles.txt") removal/arrival cycles" \
    "($(grep -c 'CONTROL id=13 flags=2' "$WB_SIM/meter.log") opens), $(grep -c '^[0-9]' "$OUT/procstat.txt") samples"
  # The second sample is the baseline: the first opens, key presses and cycles have happened.
  awk "$SAMPLES_AWK"'
    { read_sample() }
    END {
      if (samples < 3) { print "  too few samples"; exit }
      n = split("handle.entries sys.handles workingset", names, " ")
      for (k = 1; k <= n; k++) {
        name = names[k]; low = high = value[2, name]
        for (i = 2; i <= samples; i++) { v = value[i, name]; if (v < low) low = v; if (v > high) high = v }
        printf "  %-15s start %9d  after warm-up %9d  end %9d  (range after warm-up %d to %d)\n", name,
               value[1, name], value[2, name], value[samples, name], low, high
      }
    }' "$OUT/procstat.txt"
  awk '
    { n++; for (i = 2; i <= NF; i++) { split($i, kv, "="); v[n, kv[1]] = kv[2] } }
    END {
      if (n < 3) exit
      split("rss anon fds", names, " ")
      for (k = 1; k <= 3; k++) {
        name = names[k]; low = high = v[2, name]
        for (i = 2; i <= n; i++) { x = v[i, name]; if (x < low) low = x; if (x > high) high = x }
        printf "  /proc %-9s start %9d  after warm-up %9d  end %9d  (range after warm-up %d to %d)%s\n", name,
               v[1, name], v[2, name], v[n, name], low, high, name == "fds" ? "" : " KiB"
      }
    }' "$OUT/proc-samples.txt"
  echo "  handles that grew from the start to the end (count, type, name):"
  join -1 2 -2 2 -a 2 -e 0 -o '1.1,2.1,0' -t $'\t' \
    <(awk '{ n = $1; $1 = ""; print n "\t" substr($0, 2) }' "$OUT/handles-start.txt" | sort -t $'\t' -k 2) \
    <(awk '{ n = $1; $1 = ""; print n "\t" substr($0, 2) }' "$OUT/handles-end.txt" | sort -t $'\t' -k 2) |
    awk -F '\t' '$2 > $1 { printf "    %+d  %s\n", $2 - $1, $3 }'
  awk '/^round 1 / { first = $4 } /^round/ { rounds = $2; last = $4 }
       END { printf "  a bare search of the tuner category without Korvan (enumprobe.exe): %d handles after round 1, %d after round %d: %.1f per round\n",
                    first, last, rounds, (last - first) / (rounds - 1) }' \
    "$OUT/enumprobe.txt"
} | tee "$OUT/result.txt"
