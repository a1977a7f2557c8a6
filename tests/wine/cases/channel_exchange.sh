# Two-step channel reads through an open receiver: the driver information (DRV channel) with the
# scenario's chip in bytes 2 and 3, and a demodulator register (DEV channel), byte for byte.
scenario rx0 <<'END'
chip 0x9035
ofdm 50 0x0a
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
run_korvan init:0 drvinfo:0 readofdm:50:0 exit:0
expect_output <<'END'
init:0 -> 1
drvinfo:0 -> 0 01003590040302013007102001000b0002000000
readofdm:50:0 -> 0 0a000000
exit:0 -> done
END
expect_traces <<END
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
END
expect_log rx0 <<END
CHANNEL id=0 flags=2 req=24:${CHANNEL}0000000002000000 data=12:0100000000000000???????? reply=- hr=0x00000000
CHANNEL id=0 flags=1 req=24:${CHANNEL}0000000001000000 data=20:eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee reply=20:01003590040302013007102001000b0002000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000032000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:0a000000 hr=0x00000000
END
