# Other driver errors on the channel: a failing first step sends no second one, a failing
# second step returns its own result; both return 1 with the "Failed!" trace of their step.
scenario rx0 <<'END'
fail CHANNEL 1 get 0x80004005
fail CHANNEL 0 set 0x8007001f
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
run_korvan init:0 readofdm:50:0 drvinfo:0 exit:0
expect_output <<'END'
init:0 -> 1
readofdm:50:0 -> 1 eeeeeeee
drvinfo:0 -> 1 eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee
exit:0 -> done
END
expect_traces <<END
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
<Korvan> DVB_GetDEVData: Failed!
<Korvan> DVB_SetDRVData: Failed!
END
expect_log rx0 <<END
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000032000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=- hr=0x80004005
CHANNEL id=0 flags=2 req=24:${CHANNEL}0000000002000000 data=12:0100000000000000???????? reply=- hr=0x8007001F
END
