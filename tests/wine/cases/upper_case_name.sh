# A name that spells the bus and the identifier in capitals matches: the library lowers it.
receiver tuner "USB#VID_0000&PID_0001#{9B365890-165F-11D0-A195-0020AFD156E4}" upper
run_korvan init:0 exit:0
expect_output <<'END'
init:0 -> 1
exit:0 -> done
END
expect_traces <<END
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
END
expect_bound upper
