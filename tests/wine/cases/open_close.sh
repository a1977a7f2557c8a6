# Open and close with one receiver listed: the open binds it without a request to the driver,
# the close ends the library's COM initialisation, and a second close does nothing more.
scenario rx0 <<'END'
chip 0x9135
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
run_korvan init:0 apartment exit:0 apartment exit:0 init:0 exit:0
expect_output <<'END'
init:0 -> 1
apartment -> sta
exit:0 -> done
apartment -> none
exit:0 -> done
init:0 -> 1
exit:0 -> done
END
expect_traces <<END
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
END
expect_bound rx0
expect_log rx0 </dev/null
