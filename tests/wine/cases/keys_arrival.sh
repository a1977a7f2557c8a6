# Wendle started without a receiver waits for one. A receiver that is plugged in afterwards
# stays unopened while only arrivals of other interfaces come (one without a receiver fragment,
# one with the fragment in upper case); the arrival of its own interface opens it, reads the key
# table again and its buttons become keystrokes. A short key table file (three records) is
# logged at each of its two loads.
. "$here/wendle-case.sh"
. "$here/keys-case.sh"
keytable <<'END'
0x00ff40bf 0x17 0x00    # t
0x00ff20df 0x08 0x00    # e
0x00ff10ef 0x16 0x00    # s
size 21
END
scenario rx0 <<'END'
chip 0x9035
code 300 0x00ff40bf
code 400 0x00ff20df
code 500 0x00ff10ef
code 600 0x00ff40bf
END
start_recorder
start_wendle
drive window:30000 alive:500
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
drive window:30000 \
  'arrival:\\?\usb#vid_0000&pid_0001#5&1f2e3d4c&0&1#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\{5a1b2c3d-165f-11d0-a195-0020afd156e4}' \
  'arrival:\\?\usb#vid_0000&pid_0001#5&1f2e3d4c&0&1#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\{9B365890-165F-11D0-A195-0020AFD156E4}' \
  alive:1000
expect_output <<'END'
window:30000 -> hidden top-level
arrival:\\?\usb#vid_0000&pid_0001#5&1f2e3d4c&0&1#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\{5a1b2c3d-165f-11d0-a195-0020afd156e4} -> 0
arrival:\\?\usb#vid_0000&pid_0001#5&1f2e3d4c&0&1#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\{9B365890-165F-11D0-A195-0020AFD156E4} -> 0
alive:1000 -> yes
END
expect_unbound rx0
drive window:30000 \
  'arrival:\\?\usb#vid_0000&pid_0001#5&1f2e3d4c&0&1#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\{9b365890-165f-11d0-a195-0020afd156e4}'
expect_output <<'END'
window:30000 -> hidden top-level
arrival:\\?\usb#vid_0000&pid_0001#5&1f2e3d4c&0&1#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\{9b365890-165f-11d0-a195-0020afd156e4} -> 0
END
expect_bound rx0
wait_keys 8
exit_wendle_and_stop_recorder
expect_keys <<'END'
down vk=54 scan=14 flags=10
up vk=54 scan=14 flags=90
down vk=45 scan=12 flags=10
up vk=45 scan=12 flags=90
down vk=53 scan=1F flags=10
up vk=53 scan=1F flags=90
down vk=54 scan=14 flags=10
up vk=54 scan=14 flags=90
END
expect_typed 'test'
expect_wendle_log 'LoadIRTable: File Size is small than 356: 21\n\r\nLoadIRTable: File Size is small than 356: 21\n\r\n'
expect_wendle_trace_list <<'END'
Disable WOW64 Redirection
C:\windows\System32\tamoirtbl.bin
Disable WOW64 Redirection
Load IR Table
00 FF 40 BF 17 00 00
00 FF 20 DF 08 00 00
00 FF 10 EF 16 00 00
7FFF 03 3E 19
Enter IR Device Init Function
<Korvan> Could not find TESK Device: 1!
Enter IR Device Init Function
DisplayName: @device:sw:{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\usb#vid_0000&pid_0001#{9b365890-165f-11d0-a195-0020afd156e4}
<Korvan> PellorReadEEPROM
C:\windows\System32\tamoirtbl.bin
Disable WOW64 Redirection
Load IR Table
00 FF 40 BF 17 00 00
00 FF 20 DF 08 00 00
00 FF 10 EF 16 00 00
7FFF 03 3E 19
Find an IR Device 9035
GetIRRawData:00FF40BF
SendInput(Hex):0 0 17 0 0 0 0 0
GetIRRawData:00FF20DF
SendInput(Hex):0 0 8 0 0 0 0 0
GetIRRawData:00FF10EF
SendInput(Hex):0 0 16 0 0 0 0 0
GetIRRawData:00FF40BF
SendInput(Hex):0 0 17 0 0 0 0 0
END
