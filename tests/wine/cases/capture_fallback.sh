# TESK_init(1) with a single receiver: the tuner search finds no second match, and the first
# matching receiver of the capture category (seventh identifier) is taken instead.
receiver tuner "usb#vid_0000&pid_0001#$RX_ID7" tunerside
receiver capture "usb#vid_0000&pid_0001#$RX_ID7" captureside
run_korvan init:1 apartment exit:1 apartment
expect_output <<'END'
init:1 -> 1
apartment -> sta
exit:1 -> done
apartment -> none
END
expect_traces <<END
aaa TESK_init DevNo: 1
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID7
<Korvan> Could not find Tamo Device!
DisplayName: ${CAPTURE}usb#vid_0000&pid_0001#$RX_ID7
END
expect_bound captureside
expect_unbound tunerside
