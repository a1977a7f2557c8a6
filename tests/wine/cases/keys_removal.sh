# Two receivers attached at start: Wendle opens the first (chip 0x9035, raw codes through the
# key table) and types its button. When that one is unplugged, its removal closes it and its
# poll stops (it receives no further request), and the open attempt that follows at once finds
# the second receiver (chip 0x9015, no key table read), whose reports become keystrokes.
. "$here/wendle-case.sh"
. "$here/keys-case.sh"
keytable <<'END'
0x00ff40bf 0x15 0x00    # r
END
scenario rx0 <<'END'
chip 0x9035
code 300 0x00ff40bf
END
scenario rx1 <<'END'
chip 0x9015
report 300 02 00 12 00 00 00 00 00
report 400 00 00 0e 00 00 00 00 00
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
receiver tuner "usb#vid_0000&pid_0002#$RX_ID2" rx1
start_recorder
start_wendle
drive window:30000
wait_keys 2
expect_unbound rx1
wb_simregister remove tuner "usb#vid_0000&pid_0001#$RX_ID1" || case_failed "simregister remove failed"
drive window:30000 \
  'removal:\\?\usb#vid_0000&pid_0001#5&1f2e3d4c&0&1#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\{9b365890-165f-11d0-a195-0020afd156e4}'
requests_after_removal=$(requests_of rx0)
expect_output <<'END'
window:30000 -> hidden top-level
removal:\\?\usb#vid_0000&pid_0001#5&1f2e3d4c&0&1#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\{9b365890-165f-11d0-a195-0020afd156e4} -> 0
END
expect_bound rx1
wait_keys 8
[ "$(requests_of rx0)" = "$requests_after_removal" ] ||
  case_failed "the removed receiver was polled on: $requests_after_removal requests, then $(requests_of rx0)"
exit_wendle_and_stop_recorder
expect_keys <<'END'
down vk=52 scan=13 flags=10
up vk=52 scan=13 flags=90
down vk=A0 scan=2A flags=10
down vk=4F scan=18 flags=10
up vk=4F scan=18 flags=90
up vk=A0 scan=2A flags=90
down vk=4B scan=25 flags=10
up vk=4B scan=25 flags=90
END
expect_typed 'rOk'
expect_wendle_log ''
expect_wendle_trace_list <<'END'
Disable WOW64 Redirection
C:\windows\System32\tamoirtbl.bin
Disable WOW64 Redirection
Load IR Table
00 FF 40 BF 15 00 00
00 00 00 00 00 00 00 (49 times)
0000 01 3E 19
Enter IR Device Init Function
DisplayName: @device:sw:{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\usb#vid_0000&pid_0001#{9b365890-165f-11d0-a195-0020afd156e4}
<Korvan> PellorReadEEPROM
C:\windows\System32\tamoirtbl.bin
Disable WOW64 Redirection
Load IR Table
00 FF 40 BF 15 00 00
00 00 00 00 00 00 00 (49 times)
0000 01 3E 19
Find an IR Device 9035
GetIRRawData:00FF40BF
SendInput(Hex):0 0 15 0 0 0 0 0
Remove an IR Device 9035
Enter IR Device Init Function
DisplayName: @device:sw:{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\usb#vid_0000&pid_0002#{9b365890-165f-11d0-a195-0020afd156e5}
<Korvan> PellorReadEEPROM
Find an IR Device 9015
DVB_PellorGetIR(PBYTE pData) ...
SendInput(Hex):2 0 12 0 0 0 0 0
DVB_PellorGetIR(PBYTE pData) ...
SendInput(Hex):0 0 E 0 0 0 0 0
DVB_PellorGetIR(PBYTE pData) ...
END
