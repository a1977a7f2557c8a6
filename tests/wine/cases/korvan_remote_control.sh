# The infra-red open reports the scenario's chip; raw codes and keyboard reports come from the
# receiver's queues in order, and an empty queue answers "nothing this time" without a trace
# from the raw-code read (1) or with the report read's own trace (1).
scenario rx0 <<'END'
chip 0x9035
code 0 0x00ff40bf repeat 2
code 0 0x00ff20df
report 0 02001e0000000000
report 0 0000050000000000
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
run_korvan initir:0 rawir:0 rawir:0 rawir:0 rawir:0 tamoir:0 tamoir:0 tamoir:0 exit:0
expect_output <<'END'
initir:0 -> 0x9035
rawir:0 -> 0 bf40ff00
rawir:0 -> 0 bf40ff00
rawir:0 -> 0 df20ff00
rawir:0 -> 1 eeeeeeee
tamoir:0 -> 0 02001e0000000000
tamoir:0 -> 0 0000050000000000
tamoir:0 -> 1 eeeeeeeeeeeeeeee
exit:0 -> done
END
expect_traces <<END
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
<Korvan> PellorReadEEPROM
DVB_PellorGetIR(PBYTE pData)
DVB_PellorGetIR(PBYTE pData)
DVB_PellorGetIR(PBYTE pData)
END
expect_log rx0 <<END
CONTROL id=13 flags=2 req=24:${CONTROL}0d00000002000000 data=1:18 reply=- hr=0x00000000
CONTROL id=13 flags=1 req=24:${CONTROL}0d00000001000000 data=1:?? reply=1:00 hr=0x00000000
CHANNEL id=0 flags=2 req=24:${CHANNEL}0000000002000000 data=12:0100000000000000???????? reply=- hr=0x00000000
CHANNEL id=0 flags=1 req=24:${CHANNEL}0000000001000000 data=20:???????????????????????????????????????? reply=20:01003590040302013007102001000b0002000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:07000000???????????????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:bf40ff00 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:07000000???????????????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:bf40ff00 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:07000000???????????????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:df20ff00 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:07000000???????????????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=- hr=0x8007001F
CONTROL id=14 flags=1 req=24:${CONTROL}0e00000001000000 data=8:eeeeeeeeeeeeeeee reply=8:02001e0000000000 hr=0x00000000
CONTROL id=14 flags=1 req=24:${CONTROL}0e00000001000000 data=8:eeeeeeeeeeeeeeee reply=8:0000050000000000 hr=0x00000000
CONTROL id=14 flags=1 req=24:${CONTROL}0e00000001000000 data=8:eeeeeeeeeeeeeeee reply=- hr=0x8007001F
END
