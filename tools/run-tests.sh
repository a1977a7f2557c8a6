#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds both sides, runs the native tests
# (with AddressSanitizer and UBSan), a short fuzzing run, and the tests under Wine.
# Usage: tools/run-tests.sh            (from anywhere)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-2}

tools/install-deps.sh

echo "== native build and tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs"

if [ -x tests/fuzz/run-fuzz.sh ]; then
  echo "== fuzzing, briefly"
  tests/fuzz/run-fuzz.sh 5
fi

echo "== win32 build and tests under Wine"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j"$jobs"
ctest --test-dir build/win32 --output-on-failure
echo "== all tests passed"
