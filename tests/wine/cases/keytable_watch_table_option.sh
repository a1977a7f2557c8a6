# keytable.exe watch --table: a key map in C:\bed stands in for the system's table, which is not
# there; a map with errors ends the watch before the receiver is opened; without --table and
# without a system table every code is not in the table; --polls ends a watch that sees no code;
# and with no receiver listed the watch fails with exit code 2.
# The monitor's loader looks in the real System32 (WOW64 redirection off); neither folder has one.
rm -f "$WB_CDRIVE/windows/system32/tamoirtbl.bin" "$WB_CDRIVE/windows/syswow64/tamoirtbl.bin"
cat >"$WB_CDRIVE/bed/remote.txt" <<'END'
repeat-threshold 300 ms
0x00FF30CF  Up
0x00FF18E7  Down
0x00FF7A85  prefix
0x00FF10EF  KP_Plus    alt LCtrl+C
END
cat >"$WB_CDRIVE/bed/broken.txt" <<'END'
0x00FF30CF  Upwards
END
scenario rx0 <<'END'
chip 0x9035
code 0 0x00ff18e7
code 0 0x00ff10ef
code 0 0x00ff7a85
code 0 0x00ff10ef
code 0 0x00ff30cf
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
run_keytable watch --table remote.txt --codes 4
expect_exit 0
expect_output <<'END'
Key table remote.txt: 3 keys (1 with an alternate), 1 prefix key; prefix time-out 1240 ms, repeat threshold 300 ms
Receiver 0 open, chip 9035: showing raw codes and what the key table makes of them
0x00FF18E7  Down (slot 2)
0x00FF10EF  KP_Plus (slot 4; after the prefix key: LCtrl+C)
0x00FF7A85  prefix key (slot 3)
0x00FF10EF  KP_Plus (slot 4; after the prefix key: LCtrl+C)
END
expect_errors </dev/null

run_keytable watch --table broken.txt --codes 1
expect_exit 2
expect_output </dev/null
expect_errors <<'END'
broken.txt:1:13: error: expected a key name (like A, 1, Enter, F5, Up, KP_Plus or LCtrl+C), a modifier or a usage code 0x00 to 0xFF, found 'Upwards'
keytable: broken.txt: 1 error
END
expect_traces </dev/null

# A new process starts the scenario again: the same codes, none of them in a table.
run_keytable watch --codes 2
expect_exit 0
expect_output <<'END'
No key table (C:\windows\System32\tamoirtbl.bin: LoadIRTable failed: 0x80070002): every code shows as not in the table
Receiver 0 open, chip 9035: showing raw codes and what the key table makes of them
0x00FF18E7  not in the table
0x00FF10EF  not in the table
END
expect_errors </dev/null

wb_simregister remove tuner "usb#vid_0000&pid_0001#$RX_ID1" || case_failed "simregister remove failed"
scenario quiet <<'END'
chip 0x9035
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" quiet
run_keytable watch --table remote.txt --polls 3
expect_exit 0
expect_output <<'END'
Key table remote.txt: 3 keys (1 with an alternate), 1 prefix key; prefix time-out 1240 ms, repeat threshold 300 ms
Receiver 0 open, chip 9035: showing raw codes and what the key table makes of them
END
expect_errors </dev/null
expect_bound quiet

wb_simregister remove tuner "usb#vid_0000&pid_0001#$RX_ID1" || case_failed "simregister remove failed"
run_keytable watch --table remote.txt --codes 1
expect_exit 2
expect_output <<'END'
Key table remote.txt: 3 keys (1 with an alternate), 1 prefix key; prefix time-out 1240 ms, repeat threshold 300 ms
END
expect_errors <<'END'
keytable: watch: no receiver could be opened (is it plugged in and its driver installed?)
END

# A copy of the tool in a folder without Korvan.dll, run from there, says why it cannot watch.
mkdir -p "$WB_CDRIVE/alone"
cp -f "$WB_CDRIVE/bed/keytable.exe" "$WB_CDRIVE/alone/"
(cd "$WB_CDRIVE/alone" && timeout -k 5 "$WB_WINE_TIMEOUT" wine 'C:\alone\keytable.exe' watch) \
  >"$CASE_DIR/alone-output.txt" 2>"$CASE_DIR/alone-stderr.txt"
alone_exit=$?
[ "$alone_exit" = 2 ] || case_failed "keytable.exe without Korvan.dll exited with $alone_exit, expected 2"
tr -d '\r' <"$CASE_DIR/alone-stderr.txt" >"$CASE_DIR/alone-errors.txt"
compare_exactly alone-errors "$CASE_DIR/alone-errors.txt" <<'END'
keytable: watch: Korvan.dll cannot be loaded: Module not found (error 126)
END
rm -rf "$WB_CDRIVE/alone"
rm -f "$WB_CDRIVE/bed/remote.txt" "$WB_CDRIVE/bed/broken.txt"
