# The selected match cannot be bound: the search ends there (the next match is not tried),
# the capture category has nothing, and the open fails closed.
scenario broken <<'END'
bind 0x80004005
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" broken
receiver tuner "usb#vid_0000&pid_0002#$RX_ID1" working
run_korvan init:0 apartment exit:0
expect_output <<'END'
init:0 -> 0
apartment -> none
exit:0 -> done
END
expect_traces <<END
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
<Korvan> Could not find Tamo Device!
<Brenlo> Could not find Brenlo Analog Device!
END
expect_bound broken
expect_unbound working
