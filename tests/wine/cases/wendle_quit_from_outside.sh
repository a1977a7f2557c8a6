# A WM_QUIT posted to Wendle's thread from outside ends its message loop with the window still
# there; the program then takes the window down itself (the order is checked by the native run
# tests) and ends with exit code 0 and its log complete.
. "$here/wendle-case.sh"
without_keytable
scenario rx0 <<'END'
chip 0x9015
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
start_wendle
drive window:30000 alive:1000 quit gone:10000
expect_output <<'END'
window:30000 -> hidden top-level
alive:1000 -> yes
quit -> ok
gone:10000 -> yes
END
expect_wendle_exit 0
expect_wendle_log 'LoadIRTable failed: 0x80070002\n\r\n'
expect_wendle_traces <<'END'
Enter IR Device Init Function
Find an IR Device 9015
END
