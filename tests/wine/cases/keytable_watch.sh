# keytable.exe watch with a raw-code receiver: the table is the one the monitor loads (the real
# System32, read with WOW64 redirection off), each code read is one line with what the table makes
# of it (a held code once per read), and --codes ends the watch by itself. The codes are all due
# at once and the simulator answers one per read, so each poll shows exactly one.
cat >"$WB_CDRIVE/bed/remote.txt" <<'END'
prefix-timeout 600 ms
repeat-threshold 800 ms
0x00FF00FF  prefix
0x00FF807F  1      alt LShift+1
0x00FF906F  A
0x00FFA05F  Enter
END
run_keytable compile remote.txt -o tamoirtbl.bin
expect_exit 0
rm -f "$WB_CDRIVE/windows/syswow64/tamoirtbl.bin"
mv -f "$WB_CDRIVE/bed/tamoirtbl.bin" "$WB_CDRIVE/windows/system32/tamoirtbl.bin"
scenario rx0 <<'END'
chip 0x9035
code 0 0x00ff807f
code 0 0x00ff00ff
code 0 0x12345678
code 0 0x00ff906f repeat 2
code 0 0x00ffa05f
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
run_keytable watch --codes 6
expect_exit 0
expect_output <<'END'
Key table C:\windows\System32\tamoirtbl.bin: 3 keys (1 with an alternate), 1 prefix key; prefix time-out 600 ms, repeat threshold 800 ms
Receiver 0 open, chip 9035: showing raw codes and what the key table makes of them
0x00FF807F  1 (slot 2; after the prefix key: LShift+1)
0x00FF00FF  prefix key (slot 1)
0x12345678  not in the table
0x00FF906F  A (slot 4)
0x00FF906F  A (slot 4)
0x00FFA05F  Enter (slot 5)
END
expect_errors </dev/null
expect_traces <<END
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
<Korvan> PellorReadEEPROM
END
expect_bound rx0
rm -f "$WB_CDRIVE/windows/system32/tamoirtbl.bin" "$WB_CDRIVE/bed/remote.txt"
