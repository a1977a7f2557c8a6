# The registration tool: receivers listed in both categories, one removed by its instance name,
# the listing in enumeration order (instance names alphabetically, upper and lower case alike).
receiver tuner "usb#vid_0000&pid_0002#$RX_ID1" rx1
receiver tuner "USB#VID_0000&PID_0001#$RX_ID1" rx0
receiver tuner "usb#vid_0000&pid_0003#$RX_ID1" rx2
receiver capture "usb#vid_0000&pid_0001#$RX_ID7" rx0
run_program simregister.exe list tuner ';' remove tuner "usb#vid_0000&pid_0002#$RX_ID1" ';' list tuner ';' list capture
expect_output <<END
@device:sw:{71985F48-1CA1-11D3-9CC8-00C04F7971E0}\\USB#VID_0000&PID_0001#$RX_ID1
@device:sw:{71985F48-1CA1-11D3-9CC8-00C04F7971E0}\\usb#vid_0000&pid_0002#$RX_ID1
@device:sw:{71985F48-1CA1-11D3-9CC8-00C04F7971E0}\\usb#vid_0000&pid_0003#$RX_ID1
@device:sw:{71985F48-1CA1-11D3-9CC8-00C04F7971E0}\\USB#VID_0000&PID_0001#$RX_ID1
@device:sw:{71985F48-1CA1-11D3-9CC8-00C04F7971E0}\\usb#vid_0000&pid_0003#$RX_ID1
@device:sw:{65E8773D-8F56-11D0-A3B9-00A0C9223196}\\usb#vid_0000&pid_0001#$RX_ID7
END
expect_traces </dev/null
