# keytable.exe on files under Wine: compile writes the key table file the map describes (the
# bytes below, and those of the native build's tool when there is one: $KEYTABLE_NATIVE, or
# bin/keytable of the native build beside this win32 one), compiling over an
# existing file replaces it, decompile gives the native tool's text back, check reports a code
# that can never act with exit code 1, and a map with errors leaves the existing file as it was.
cat >"$WB_CDRIVE/bed/remote.txt" <<'END'
# A small remote
prefix-timeout 600 ms
repeat-threshold 800 ms
0x00FF00FF  prefix
0x00FF807F  1      alt LShift+1
0x00FF906F  A
0x00FFA05F  Enter
END
cat >"$WB_CDRIVE/bed/twice.txt" <<'END'
0x00FF807F  1
0x00FF906F  A
0x00FF807F  2
END
cat >"$WB_CDRIVE/bed/broken.txt" <<'END'
0x00FF807F  1
0x00FF906F  NoSuchKey
repeat-threshold fast
END
rm -f "$WB_CDRIVE/bed/out.bin" "$WB_CDRIVE/bed/back.txt"

# Records of 7 bytes (code high byte first, modifiers, usage, flags): the prefix key, 1 with its
# alternate in a filler record, A, Enter; then empty records up to 350 bytes and the trailer:
# trailer value 0, count 5, prefix time-out 30 and repeat threshold 40 units of 20 ms, a spare byte.
{
  printf '\x00\xff\x00\xff\x00\x00\x80\x00\xff\x80\x7f\x1e\x00\x40\xff\xff\xff\xff\x1e\x02\x00'
  printf '\x00\xff\x90\x6f\x04\x00\x00\x00\xff\xa0\x5f\x28\x00\x00'
  head -c 315 /dev/zero
  printf '\x00\x00\x05\x1e\x28\x00'
} >"$CASE_DIR/expected-out.bin"

run_keytable compile remote.txt -o out.bin
expect_exit 0
expect_output <<'END'
wrote out.bin (356 bytes): 3 keys (1 with an alternate), 1 prefix key; prefix time-out 600 ms, repeat threshold 800 ms
END
expect_errors </dev/null
cmp "$CASE_DIR/expected-out.bin" "$WB_CDRIVE/bed/out.bin" || case_failed "out.bin does not hold the expected bytes"

run_keytable decompile out.bin -o back.txt
expect_exit 0
expect_output </dev/null
expect_errors </dev/null
compare_exactly decompiled "$WB_CDRIVE/bed/back.txt" <<'END'
# Key map of out.bin (356 bytes): keytable compile turns it back into the same bytes.
prefix-timeout 600 ms
repeat-threshold 800 ms

# code      key              flags
0x00FF00FF  prefix
0x00FF807F  1                alt LShift+1
0x00FF906F  A
0x00FFA05F  Enter
END

# The decompiled map compiled over the existing file: replaced by the same bytes, no temporary
# file left beside it.
run_keytable compile back.txt -o out.bin
expect_exit 0
cmp "$CASE_DIR/expected-out.bin" "$WB_CDRIVE/bed/out.bin" || case_failed "out.bin changed on a round trip"
ls "$WB_CDRIVE/bed" | grep -q '\.tmp$' && case_failed "a temporary file was left behind"

run_keytable check twice.txt
expect_exit 1
expect_output <<'END'
twice.txt:3: warning: slot 3 (0x00FF807F) can never act: slot 1 has the same code and decides first
twice.txt: 2 keys (0 with an alternate), 0 prefix keys; prefix time-out 1240 ms, repeat threshold 500 ms; 1 warning
END
expect_errors </dev/null

run_keytable compile broken.txt -o out.bin
expect_exit 2
expect_output </dev/null
expect_errors <<'END'
broken.txt:2:13: error: expected a key name (like A, 1, Enter, F5, Up, KP_Plus or LCtrl+C), a modifier or a usage code 0x00 to 0xFF, found 'NoSuchKey'
broken.txt:3:18: error: expected a time in milliseconds from -2560 to 2540, found 'fast'
keytable: broken.txt: 2 errors
keytable: nothing written to out.bin
END
cmp "$CASE_DIR/expected-out.bin" "$WB_CDRIVE/bed/out.bin" || case_failed "a failed compile changed out.bin"
ls "$WB_CDRIVE/bed" | grep -q '\.tmp$' && case_failed "a failed compile left a temporary file behind"

# The map itself under another name is refused as an output, and stays as it was.
cp "$WB_CDRIVE/bed/remote.txt" "$CASE_DIR/remote-before.txt"
run_keytable compile remote.txt -o 'C:\bed\.\REMOTE.TXT'
expect_exit 2
expect_errors <<'END'
keytable: the output would replace the input remote.txt
usage: keytable compile MAP.txt [-o tamoirtbl.bin]
       keytable decompile tamoirtbl.bin [-o MAP.txt]
       keytable check MAP.txt|tamoirtbl.bin
       keytable watch [--table MAP.txt|tamoirtbl.bin] [--codes N] [--polls N]
A file whose name ends in .bin is a key table file; any other is a key map.
END
cmp "$CASE_DIR/remote-before.txt" "$WB_CDRIVE/bed/remote.txt" || case_failed "the map was written over"

# A folder that does not exist: the system's reason, and nothing left behind.
run_keytable compile remote.txt -o 'nowhere\out.bin'
expect_exit 2
expect_errors <<'END'
keytable: cannot write nowhere\out.bin: Path not found (error 3)
END

# The native tool, given the same files under the same names, writes the same bytes and text.
native=${KEYTABLE_NATIVE:-}
build_root=$(cd "$WB_DIR/../../.." && pwd)
# build/win32 pairs with build/native, build/<name>-win32 with build/<name>-native.
if [ -z "$native" ] && [ "${build_root%win32}" != "$build_root" ] && [ -x "${build_root%win32}native/bin/keytable" ]; then
  native="${build_root%win32}native/bin/keytable"
fi
if [ -n "$native" ]; then
  echo "comparing with $native"
  mkdir -p "$CASE_DIR/native"
  cp -f "$WB_CDRIVE/bed/remote.txt" "$CASE_DIR/native/"
  (cd "$CASE_DIR/native" && "$native" compile remote.txt -o out.bin && "$native" decompile out.bin -o back.txt) \
    >"$CASE_DIR/native/output.txt" 2>&1 || case_failed "the native tool failed: $(cat "$CASE_DIR/native/output.txt")"
  cmp "$CASE_DIR/native/out.bin" "$WB_CDRIVE/bed/out.bin" || case_failed "the native tool wrote other bytes"
  cmp "$CASE_DIR/native/back.txt" "$WB_CDRIVE/bed/back.txt" || case_failed "the native tool decompiled other text"
else
  echo "no native keytable to compare with: compared with the bytes above only"
fi
rm -f "$WB_CDRIVE/bed/remote.txt" "$WB_CDRIVE/bed/twice.txt" "$WB_CDRIVE/bed/broken.txt" \
  "$WB_CDRIVE/bed/out.bin" "$WB_CDRIVE/bed/back.txt"
