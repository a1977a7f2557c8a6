# A receiver of chip 0x9015 decodes its buttons itself: Wendle reads no key table for it and
# injects the reports it delivers as they are, modifiers included. Only bytes 0 and 2 press
# keys (the trace shows all eight), a report whose key byte has no key presses nothing, and a
# report delivered twice types twice: the receiver's reports know no repeat suppression.
. "$here/wendle-case.sh"
. "$here/keys-case.sh"
without_keytable
scenario rx0 <<'END'
chip 0x9015
report 500 02 00 0b 00 00 00 00 00
report 600 00 00 0c 0d 0e 0f 10 11
report 700 22 00 00 00 00 00 00 00
report 800 00 00 1e 00 00 00 00 00 repeat 2
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID2" rx0
start_recorder
start_wendle
drive window:30000
wait_keys 10
exit_wendle_and_stop_recorder
expect_keys <<'END'
down vk=A0 scan=2A flags=10
down vk=48 scan=23 flags=10
up vk=48 scan=23 flags=90
up vk=A0 scan=2A flags=90
down vk=49 scan=17 flags=10
up vk=49 scan=17 flags=90
down vk=31 scan=02 flags=10
up vk=31 scan=02 flags=90
down vk=31 scan=02 flags=10
up vk=31 scan=02 flags=90
END
expect_typed 'Hi11'
expect_wendle_log 'LoadIRTable failed: 0x80070002\n\r\n'
expect_wendle_trace_list <<'END'
Disable WOW64 Redirection
C:\windows\System32\tamoirtbl.bin
Disable WOW64 Redirection
Enter IR Device Init Function
DisplayName: @device:sw:{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\usb#vid_0000&pid_0001#{9b365890-165f-11d0-a195-0020afd156e5}
<Korvan> PellorReadEEPROM
Find an IR Device 9015
DVB_PellorGetIR(PBYTE pData) ...
SendInput(Hex):2 0 B 0 0 0 0 0
DVB_PellorGetIR(PBYTE pData) ...
SendInput(Hex):0 0 C D E F 10 11
DVB_PellorGetIR(PBYTE pData) ...
SendInput(Hex):22 0 0 0 0 0 0 0
DVB_PellorGetIR(PBYTE pData) ...
SendInput(Hex):0 0 1E 0 0 0 0 0
DVB_PellorGetIR(PBYTE pData) ...
SendInput(Hex):0 0 1E 0 0 0 0 0
DVB_PellorGetIR(PBYTE pData) ...
END
