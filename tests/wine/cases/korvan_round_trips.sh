# Register, EEPROM, demodulator and I2C writes read back through the TESK_ names, byte for byte
# on the wire; an I2C write longer than its 500-byte record is refused without a request, and
# a number whose slot is empty or outside 0 to 9 reaches no driver.
scenario rx0 <<'END'
chip 0x9135
i2c 0102030405
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
run_program exports_wine_test.exe 'C:\bed\Korvan.dll' 'C:\bed\Korvan.def' roundtrips
expect_output <<'END'
TESK_initIRDev(0) -> 0x9135
TESK_WriteReg(0x9a56, 0x11, 0) -> 1
TESK_ReadReg(0x9a56, 0) -> 1 11
TESK_WriteEEPROM(0x40, 0x5c, 0) -> 0
TESK_ReadEEPROM(0x40, 0) -> 0 5c
TESK_WriteOFDMReg(0x10, 0x1ff, 0) -> 0
TESK_ReadOFDMReg(0x10, 0) -> 0 ff000000
TESK_WriteI2CData(0xa0, 0x02, 4, 0) -> 0
TESK_WriteI2CData(0xa0, 0x02, 501, 0) -> 1
TESK_ReadI2CData(6, 0) -> 0 d1d2d3d40000
TESK_ReadReg(0x9a56, 3) -> 0 ee
TESK_WriteReg(0x9a56, 0x11, 10) -> 0
TESK_exit(0) -> done
END
expect_traces <<END
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
<Korvan> PellorReadEEPROM
<Korvan> PellorReadEEPROM
END
expect_log rx0 <<END
CONTROL id=13 flags=2 req=24:${CONTROL}0d00000002000000 data=1:18 reply=- hr=0x00000000
CONTROL id=13 flags=1 req=24:${CONTROL}0d00000001000000 data=1:?? reply=1:00 hr=0x00000000
CHANNEL id=0 flags=2 req=24:${CHANNEL}0000000002000000 data=12:0100000000000000???????? reply=- hr=0x00000000
CHANNEL id=0 flags=1 req=24:${CHANNEL}0000000001000000 data=20:???????????????????????????????????????? reply=20:01003591040302013007102001000b0002000000 hr=0x00000000
CONTROL id=10 flags=2 req=24:${CONTROL}0a00000002000000 data=3:569a11 reply=- hr=0x00000000
CONTROL id=10 flags=1 req=24:${CONTROL}0a00000001000000 data=1:56 reply=1:11 hr=0x00000000
CONTROL id=13 flags=2 req=24:${CONTROL}0d00000002000000 data=2:405c reply=- hr=0x00000000
CONTROL id=13 flags=2 req=24:${CONTROL}0d00000002000000 data=1:40 reply=- hr=0x00000000
CONTROL id=13 flags=1 req=24:${CONTROL}0d00000001000000 data=1:ee reply=1:5c hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0100000010000000ff?????? reply=- hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000010000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:ff000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=16:6500000004000000a002d1d2d3d4???? reply=- hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:6400000006000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=6:eeeeeeeeeeee reply=6:d1d2d3d40000 hr=0x00000000
END
