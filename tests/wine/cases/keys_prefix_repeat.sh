# Repeat suppression and the prefix key, seen as keystrokes. A held button (one code answering
# ten polls) types once, then again once its repeats have counted up the table's threshold of
# 40 units (800 ms); a code read again soon after is suppressed, also when a code that is not in
# the table came between. After the prefix key a key with an alternate types its alternate
# (Shift + 1), a plain key keeps its own and restarts the prefix time-out (30 units, 600 ms),
# and once that has run out the key types its own pair again.
. "$here/wendle-case.sh"
. "$here/keys-case.sh"
keytable <<'END'
0x00ff00ff 0x00 0x00 0x80    # prefix key
0x00ff807f 0x1e 0x00 0x40    # 1, with an alternate:
0xffffffff 0x1e 0x02         #   left Shift + 1
0x00ff906f 0x04 0x00         # a
0x00ffa05f 0x05 0x00         # b
repeat-threshold 40
prefix-timeout 30
END
scenario rx0 <<'END'
chip 0x9035
code 500 0x00ffa05f repeat 10
code 2500 0x00ff807f repeat 2
code 2600 0x12345678
code 2700 0x00ff807f
code 2800 0x00ff906f
code 2900 0x00ff00ff
code 3000 0x00ff807f
code 3100 0x00ff906f
code 6000 0x00ff807f
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
start_recorder
start_wendle
drive window:30000
wait_keys 16
exit_wendle_and_stop_recorder
expect_keys <<'END'
down vk=42 scan=30 flags=10
up vk=42 scan=30 flags=90
down vk=42 scan=30 flags=10
up vk=42 scan=30 flags=90
down vk=31 scan=02 flags=10
up vk=31 scan=02 flags=90
down vk=41 scan=1E flags=10
up vk=41 scan=1E flags=90
down vk=A0 scan=2A flags=10
down vk=31 scan=02 flags=10
up vk=31 scan=02 flags=90
up vk=A0 scan=2A flags=90
down vk=41 scan=1E flags=10
up vk=41 scan=1E flags=90
down vk=31 scan=02 flags=10
up vk=31 scan=02 flags=90
END
expect_typed 'bb1a!a1'
expect_wendle_log ''
expect_wendle_trace_list <<'END'
Disable WOW64 Redirection
C:\windows\System32\tamoirtbl.bin
Disable WOW64 Redirection
Load IR Table
00 FF 00 FF 00 00 80
00 FF 80 7F 1E 00 40
FF FF FF FF 1E 02 00
00 FF 90 6F 04 00 00
00 FF A0 5F 05 00 00
00 00 00 00 00 00 00 (45 times)
0000 05 1E 28
Enter IR Device Init Function
DisplayName: @device:sw:{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\usb#vid_0000&pid_0001#{9b365890-165f-11d0-a195-0020afd156e4}
<Korvan> PellorReadEEPROM
C:\windows\System32\tamoirtbl.bin
Disable WOW64 Redirection
Load IR Table
00 FF 00 FF 00 00 80
00 FF 80 7F 1E 00 40
FF FF FF FF 1E 02 00
00 FF 90 6F 04 00 00
00 FF A0 5F 05 00 00
00 00 00 00 00 00 00 (45 times)
0000 05 1E 28
Find an IR Device 9035
GetIRRawData:00FFA05F
SendInput(Hex):0 0 5 0 0 0 0 0
GetIRRawData:00FFA05F (5 to 8 times)
SendInput(Hex):0 0 5 0 0 0 0 0
GetIRRawData:00FFA05F (1 to 4 times)
GetIRRawData:00FF807F
SendInput(Hex):0 0 1E 0 0 0 0 0
GetIRRawData:00FF807F
GetIRRawData:12345678
GetIRRawData:00FF807F
GetIRRawData:00FF906F
SendInput(Hex):0 0 4 0 0 0 0 0
GetIRRawData:00FF00FF
GetIRRawData:00FF807F
SendInput(Hex):2 0 1E 0 0 0 0 0
GetIRRawData:00FF906F
SendInput(Hex):0 0 4 0 0 0 0 0
GetIRRawData:00FF807F
SendInput(Hex):0 0 1E 0 0 0 0 0
END
