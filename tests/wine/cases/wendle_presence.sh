# A receiver attached at start is opened (a chip that decodes its buttons itself: no key table
# is read for it); the arrival of another matching interface closes it and opens the library
# afresh; arrivals of other interfaces change nothing; the removal of another family changes
# nothing, the removal of its own family closes it and opens again what is still attached.
. "$here/wendle-case.sh"
without_keytable
scenario rx0 <<'END'
chip 0x9015
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
start_wendle
drive window:30000 alive:1000 "arrival:\\?\usb#vid_0000&pid_0009#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\$RX_ID5" \
  "arrival:\\?\USB#VID_0000&PID_0009#{71985F48-1CA1-11D3-9CC8-00C04F7971E0}\\{CACACEFD-0000}" \
  "arrival:\\?\usb#vid_0000&pid_0009#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\{5a1b2c3d-0000}" \
  "removal:\\?\usb#vid_0000&pid_0009#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\$RX_ID3" \
  "removal:\\?\usb#vid_0000&pid_0001#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\$RX_ID1" \
  alive:500 post:0x111:0x8006:0 gone:10000
expect_output <<END
window:30000 -> hidden top-level
alive:1000 -> yes
arrival:\\?\usb#vid_0000&pid_0009#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\$RX_ID5 -> 0
arrival:\\?\USB#VID_0000&PID_0009#{71985F48-1CA1-11D3-9CC8-00C04F7971E0}\\{CACACEFD-0000} -> 0
arrival:\\?\usb#vid_0000&pid_0009#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\{5a1b2c3d-0000} -> 0
removal:\\?\usb#vid_0000&pid_0009#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\$RX_ID3 -> 0
removal:\\?\usb#vid_0000&pid_0001#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\$RX_ID1 -> 0
alive:500 -> yes
post:0x111:0x8006:0 -> ok
gone:10000 -> yes
END
expect_wendle_exit 0
expect_wendle_log 'LoadIRTable failed: 0x80070002\n\r\n'
expect_wendle_traces <<'END'
C:\windows\System32\tamoirtbl.bin
Enter IR Device Init Function
Find an IR Device 9015
Remove an IR Device 9015
Enter IR Device Init Function
Find an IR Device 9015
Remove an IR Device 9015
Enter IR Device Init Function
Find an IR Device 9015
END
expect_wendle_trace_times 2 'Remove an IR Device 9015'
expect_wendle_trace_times 3 'Find an IR Device 9015'
expect_bound rx0
