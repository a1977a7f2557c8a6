# A driver that answers 0x80070001 on the channel set: the channel reads return 2 with their
# "Not Implemented!" traces, send no second step and leave the caller's buffer untouched.
scenario rx0 <<'END'
fail CHANNEL 1 set 0x80070001
fail CHANNEL 0 set 0x80070001
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
run_korvan init:0 readofdm:50:0 drvinfo:0 exit:0
expect_output <<'END'
init:0 -> 1
readofdm:50:0 -> 2 eeeeeeee
drvinfo:0 -> 2 eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee
exit:0 -> done
END
expect_traces <<END
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
<Korvan> DVB_SetDEVData: Not Implemented!
<Korvan> DVB_SetDRVData: Not Implemented!
END
expect_log rx0 <<END
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000032000000???????? reply=- hr=0x80070001
CHANNEL id=0 flags=2 req=24:${CHANNEL}0000000002000000 data=12:0100000000000000???????? reply=- hr=0x80070001
END
