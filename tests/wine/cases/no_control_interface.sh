# A bound filter without IKsControl: the open fails with its trace and closes again.
scenario plain <<'END'
kscontrol off
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" plain
run_korvan init:0 apartment exit:0
expect_output <<'END'
init:0 -> 0
apartment -> none
exit:0 -> done
END
expect_traces <<END
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
<Korvan> Fail to get KS Control!
END
expect_bound plain
expect_log plain </dev/null
