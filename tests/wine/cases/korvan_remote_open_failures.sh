# The infra-red open without a receiver in the tuner category (one in the capture category does
# not count) fails with 0 and its trace; with a driver that has no data channels it reports
# chip 0x9015 and stays open, and the raw-code read then answers 2 every time.
scenario rx0 <<'END'
chip 0x9135
fail CHANNEL 0 set 0x80070001
fail CHANNEL 1 set 0x80070001
END
receiver capture "usb#vid_0000&pid_0001#$RX_ID7" rx0
run_korvan initir:0 apartment exit:0
expect_output <<'END'
initir:0 -> 0x0000
apartment -> none
exit:0 -> done
END
expect_traces <<END
<Korvan> Could not find TESK Device: 1!
END
expect_unbound rx0

receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
run_korvan initir:0 rawir:0 rawir:0 exit:0
expect_output <<'END'
initir:0 -> 0x9015
rawir:0 -> 2 eeeeeeee
rawir:0 -> 2 eeeeeeee
exit:0 -> done
END
expect_traces <<END
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
<Korvan> PellorReadEEPROM
<Korvan> DVB_SetDRVData: Not Implemented!
<Korvan> DVB_SetDEVData: Not Implemented!
<Korvan> DVB_SetDEVData: Not Implemented!
END
expect_log rx0 <<END
CONTROL id=13 flags=2 req=24:${CONTROL}0d00000002000000 data=1:18 reply=- hr=0x00000000
CONTROL id=13 flags=1 req=24:${CONTROL}0d00000001000000 data=1:?? reply=1:00 hr=0x00000000
CHANNEL id=0 flags=2 req=24:${CHANNEL}0000000002000000 data=12:0100000000000000???????? reply=- hr=0x80070001
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:07000000???????????????? reply=- hr=0x80070001
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:07000000???????????????? reply=- hr=0x80070001
END
