# The raw-code read keeps its channel failures quiet except "Not Implemented!", and a failing
# channel operation after it traces again.
scenario rx0 <<'END'
code 0 0x11223344
fail CHANNEL 1 set 0x80004005 cmd 7 times 1
fail CHANNEL 1 get 0x80070001 cmd 7 times 1
fail CHANNEL 1 set 0x80004005 cmd 0 times 1
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
run_korvan init:0 rawir:0 rawir:0 rawir:0 rawir:0 readofdm:50:0 exit:0
expect_output <<'END'
init:0 -> 1
rawir:0 -> 1 eeeeeeee
rawir:0 -> 2 eeeeeeee
rawir:0 -> 0 44332211
rawir:0 -> 1 eeeeeeee
readofdm:50:0 -> 1 eeeeeeee
exit:0 -> done
END
expect_traces <<END
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
<Korvan> DVB_GetDEVData: Not Implemented!
<Korvan> DVB_SetDEVData: Failed!
END
expect_log rx0 <<END
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:07000000???????????????? reply=- hr=0x80004005
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:07000000???????????????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=- hr=0x80070001
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:07000000???????????????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:44332211 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:07000000???????????????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=- hr=0x8007001F
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000032000000???????? reply=- hr=0x80004005
END
