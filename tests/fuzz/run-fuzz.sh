#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) and runs each: the
# monitor's inputs, and the key table tool's maps and files.
# Usage: tests/fuzz/run-fuzz.sh [seconds] [extra libFuzzer options...]   (default 5 seconds each)
# New inputs go to a scratch corpus under the build folder; the committed corpus is only read.
set -euo pipefail
seconds=${1:-5}
shift || true
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${FUZZ_BUILD_DIR:-$root/build/fuzz}
cxx=${FUZZ_CXX:-clang++}
mkdir -p "$out/corpus" "$out/artifacts"

sources=(
  "$root/tests/fuzz/monitor_input_fuzzer.cpp"
  "$root/tests/native/monitor/MonitorFakes.cpp"
  "$root/library/core/WideFormat.cpp"
)
# The core routines the target exercises, with the globals and the platform record they use.
for name in MonitorPlatform MonitorGlobals DiagnosticLog FileOpening KeyTableFile RawCodeDecoder; do
  sources+=("$root/monitor/core/$name.cpp")
done

"$cxx" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/monitor/core" -I"$root/library/core" -I"$root/tests/native/monitor" \
  "${sources[@]}" -o "$out/monitor_input_fuzzer"

"$out/monitor_input_fuzzer" -max_total_time="$seconds" -max_len=1024 -print_final_stats=1 \
  -artifact_prefix="$out/artifacts/" "$@" "$out/corpus" "$root/tests/fuzz/corpus"

# The key table tool: its core, and the monitor routines it asks what a file means.
keytable_sources=("$root/tests/fuzz/keytable_fuzzer.cpp" "$root/library/core/WideFormat.cpp")
for file in "$root"/tools/keytable/core/*.cpp; do keytable_sources+=("$file"); done
for name in MonitorPlatform MonitorGlobals DiagnosticLog FileOpening KeyTableFile RawCodeDecoder KeyMaps; do
  keytable_sources+=("$root/monitor/core/$name.cpp")
done
mkdir -p "$out/keytable-corpus"
"$cxx" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/monitor/core" -I"$root/library/core" -I"$root/tools/keytable/core" \
  "${keytable_sources[@]}" -o "$out/keytable_fuzzer"
"$out/keytable_fuzzer" -max_total_time="$seconds" -max_len=2048 -print_final_stats=1 \
  -artifact_prefix="$out/artifacts/keytable-" "$@" "$out/keytable-corpus" "$root/tests/fuzz/keytable-corpus"
