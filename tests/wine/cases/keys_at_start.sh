# A receiver of chip 0x9035 attached at start, with a key table file in System32 (read with
# WOW64 redirection off): each scheduled raw code becomes one poll's keystrokes, modifiers
# pressed in bit order (an extended one among them), the key held about 300 ms, then the key and
# the modifiers released in reverse order; a code whose usage has no key presses nothing, not
# even its modifier, and a code not in the table is only traced. A full table file logs nothing.
. "$here/wendle-case.sh"
. "$here/keys-case.sh"
keytable <<'END'
0x00ff40bf 0x04 0x00    # a
0x00ff20df 0x05 0x02    # left Shift + b
0x00ff10ef 0x50 0x00    # Left Arrow (extended)
0x00ff906f 0x06 0x00    # c
0x00ff50af 0x07 0x31    # left Ctrl + right Ctrl (extended) + right Shift + d
0x00ffe01f 0x00 0x02    # left Shift and no key
END
scenario rx0 <<'END'
chip 0x9035
code 500 0x00ff40bf
code 600 0x00ffe01f
code 700 0x12345678
code 800 0x00ff20df
code 900 0x00ff10ef
code 1000 0x00ff906f
code 1100 0x00ff50af
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
start_recorder
start_wendle
drive window:30000
wait_keys 18
exit_wendle_and_stop_recorder
expect_keys <<'END'
down vk=41 scan=1E flags=10
up vk=41 scan=1E flags=90
down vk=A0 scan=2A flags=10
down vk=42 scan=30 flags=10
up vk=42 scan=30 flags=90
up vk=A0 scan=2A flags=90
down vk=25 scan=4B flags=11
up vk=25 scan=4B flags=91
down vk=43 scan=2E flags=10
up vk=43 scan=2E flags=90
down vk=A2 scan=1D flags=10
down vk=A3 scan=1D flags=11
down vk=A1 scan=36 flags=10
down vk=44 scan=20 flags=10
up vk=44 scan=20 flags=90
up vk=A1 scan=36 flags=90
up vk=A3 scan=1D flags=91
up vk=A2 scan=1D flags=90
END
expect_typed 'acB'
expect_wendle_log ''
expect_wendle_trace_list <<'END'
Disable WOW64 Redirection
C:\windows\System32\tamoirtbl.bin
Disable WOW64 Redirection
Load IR Table
00 FF 40 BF 04 00 00
00 FF 20 DF 05 02 00
00 FF 10 EF 50 00 00
00 FF 90 6F 06 00 00
00 FF 50 AF 07 31 00
00 FF E0 1F 00 02 00
00 00 00 00 00 00 00 (44 times)
0000 06 3E 19
Enter IR Device Init Function
DisplayName: @device:sw:{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\usb#vid_0000&pid_0001#{9b365890-165f-11d0-a195-0020afd156e4}
<Korvan> PellorReadEEPROM
C:\windows\System32\tamoirtbl.bin
Disable WOW64 Redirection
Load IR Table
00 FF 40 BF 04 00 00
00 FF 20 DF 05 02 00
00 FF 10 EF 50 00 00
00 FF 90 6F 06 00 00
00 FF 50 AF 07 31 00
00 FF E0 1F 00 02 00
00 00 00 00 00 00 00 (44 times)
0000 06 3E 19
Find an IR Device 9035
GetIRRawData:00FF40BF
SendInput(Hex):0 0 4 0 0 0 0 0
GetIRRawData:00FFE01F
SendInput(Hex):2 0 0 0 0 0 0 0
GetIRRawData:12345678
GetIRRawData:00FF20DF
SendInput(Hex):2 0 5 0 0 0 0 0
GetIRRawData:00FF10EF
SendInput(Hex):0 0 50 0 0 0 0 0
GetIRRawData:00FF906F
SendInput(Hex):0 0 6 0 0 0 0 0
GetIRRawData:00FF50AF
SendInput(Hex):31 0 7 0 0 0 0 0
END
