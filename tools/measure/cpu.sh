#!/usr/bin/env bash
# Wendle's CPU use while it polls an open receiver (no buttons) for 30 s under Wine, from the
# process's own accounting: the system's process list as Windows programs see it (procstat.exe;
# Wine answers GetProcessTimes about another process with zeros), and the kernel's utime and
# stime of the Wine process in /proc as a cross-check; the wineserver's share for context. The
# simulated driver runs inside Wendle's process (an in-process COM filter that appends a
# request log line per request), so its cost is included. Results in build/measure/cpu/.
#   tools/measure/cpu.sh [seconds]
. "$(dirname "$0")/common.sh"
seconds=${1:-30}
measure_setup cpu
printf 'chip 0x9035\n' >"$OUT/scenario.txt"
printf '0x00ff40bf 0x04 0x00\n' >"$OUT/keytable.txt"
measure_receiver "$OUT/scenario.txt" "$OUT/keytable.txt"
start_wendle_plain
wait_for_open
sleep 2   # past the open and the key table load
pid=$(wendle_unix_pid)
server=$(wineserver_unix_pid)
hz=$(getconf CLK_TCK)
before_requests=$(requests)
before_proc=$(proc_cpu_ticks "$pid")
before_server=$(proc_cpu_ticks "$server")
timeout -k 5 $((seconds + 60)) wine 'C:\bed\procstat.exe' Wendle.exe 2 $((seconds * 1000)) | tr -d '\r' >"$OUT/procstat.txt"
after_proc=$(proc_cpu_ticks "$pid")
after_server=$(proc_cpu_ticks "$server")
after_requests=$(requests)
stop_wendle
awk -v hz="$hz" -v procTicks=$((after_proc - before_proc)) -v serverTicks=$((after_server - before_server)) \
    -v polls=$(((after_requests - before_requests) / 2)) "$SAMPLES_AWK"'
  { read_sample() }
  END {
    elapsed = (tick[2] - tick[1]) / 1000
    cpu = value[2, "sys.cpu"] - value[1, "sys.cpu"]
    printf "Wendle polling an open receiver, no buttons, %.1f s (%d polls, %.1f per second):\n", elapsed, polls, polls / elapsed
    printf "  process list (kernel + user): %d ms CPU = %.2f %% of one core\n", cpu, cpu / elapsed / 10
    printf "  /proc utime + stime:          %d ms CPU = %.2f %% of one core\n", procTicks * 1000 / hz, procTicks * 100 / hz / elapsed
    printf "  the wineserver meanwhile:     %d ms CPU = %.2f %% of one core\n", serverTicks * 1000 / hz, serverTicks * 100 / hz / elapsed
    printf "  GetProcessTimes answered %d ms (Wine gives zeros for another process)\n", value[2, "cpu"] - value[1, "cpu"]
  }' "$OUT/procstat.txt" | tee "$OUT/result.txt"
