# TESK_init(n) takes the n-th matching receiver of the tuner category, in enumeration order;
# with no n-th one (and an empty capture category) it fails after tracing every name.
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" first
receiver tuner "usb#vid_0000&pid_0002#$RX_ID3" second
run_korvan init:1 exit:1 init:2 exit:2
expect_output <<'END'
init:1 -> 1
exit:1 -> done
init:2 -> 0
exit:2 -> done
END
expect_traces <<END
aaa TESK_init DevNo: 1
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
DisplayName: ${TUNER}usb#vid_0000&pid_0002#$RX_ID3
aaa TESK_init DevNo: 2
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
DisplayName: ${TUNER}usb#vid_0000&pid_0002#$RX_ID3
<Korvan> Could not find Tamo Device!
<Brenlo> Could not find Brenlo Analog Device!
END
expect_bound second
expect_unbound first
