# keytable.exe watch with a receiver of chip 0x9015, which decodes its buttons itself: the watch
# shows each keyboard report it delivers, all eight bytes and the key they press (a report read
# twice shows twice), and the system's key table, though there, plays no part. Korvan.dll traces
# every read of a report.
cat >"$WB_CDRIVE/bed/remote.txt" <<'END'
0x001E0000  Q
END
run_keytable compile remote.txt -o tamoirtbl.bin
expect_exit 0
rm -f "$WB_CDRIVE/windows/syswow64/tamoirtbl.bin"
mv -f "$WB_CDRIVE/bed/tamoirtbl.bin" "$WB_CDRIVE/windows/system32/tamoirtbl.bin"
scenario rx0 <<'END'
chip 0x9015
report 0 02 00 1e 00 00 00 00 00
report 0 00 00 04 05 06 07 08 09
report 0 22 00 00 00 00 00 00 00 repeat 2
report 0 00 00 28 00 00 00 00 00
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID2" rx0
run_keytable watch --codes 5
expect_exit 0
expect_output <<'END'
Key table C:\windows\System32\tamoirtbl.bin: 1 key (0 with an alternate), 0 prefix keys; prefix time-out 1240 ms, repeat threshold 500 ms
Receiver 0 open, chip 9015: it decodes buttons itself, so its reports are shown; the key table is not used
report 02 00 1E 00 00 00 00 00  LShift+1
report 00 00 04 05 06 07 08 09  A
report 22 00 00 00 00 00 00 00  LShift+RShift
report 22 00 00 00 00 00 00 00  LShift+RShift
report 00 00 28 00 00 00 00 00  Enter
END
expect_errors </dev/null
expect_traces <<END
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID2
<Korvan> PellorReadEEPROM
DVB_PellorGetIR(PBYTE pData)
DVB_PellorGetIR(PBYTE pData)
DVB_PellorGetIR(PBYTE pData)
DVB_PellorGetIR(PBYTE pData)
DVB_PellorGetIR(PBYTE pData)
END
expect_bound rx0
rm -f "$WB_CDRIVE/windows/system32/tamoirtbl.bin" "$WB_CDRIVE/bed/remote.txt"
