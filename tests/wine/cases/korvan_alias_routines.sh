# One call through a name of each of the 54 alias routines (the name another family shares where
# there is one), and through the two decorated names, against one receiver: results by family
# (bool, status, channel code), the receiver always being number 0, the ruvo_ narrowing of link
# addresses and values, ruvo_GetDriverInfo's 9 bytes, the key table upload (a 32-bit program
# reads the system folder through the WOW64 redirection, so the file lies in syswow64 when the
# prefix has one) and the notification registration.
scenario rx0 <<'END'
chip 0x9035
page 0xd8
reg 0xd8de 0x3c
eeprom 24 0x5a
eeprom 0x30 0x77
ofdm 50 10
ofdm 51 0
ofdm 52 0x40
ofdm 53 0x1f
ofdm 54 0
ofdm 55 110
ofdm 56 0
link 0x1234 0x42
slave 0xc0 8 0x99
i2c 0102030405
code 0 0x11223344
report 0 01001e0000000000 repeat 3
END
receiver tuner "usb#vid_0000&pid_0001#$RX_ID1" rx0
table_dir="$WB_CDRIVE/windows/system32"
[ -d "$WB_CDRIVE/windows/syswow64" ] && table_dir="$WB_CDRIVE/windows/syswow64"
printf '\x10\x20\x30' >"$table_dir/tamoirtbl.bin"
run_program exports_wine_test.exe 'C:\bed\Korvan.dll' 'C:\bed\Korvan.def' aliases
rm -f "$table_dir/tamoirtbl.bin"
expect_output <<'END'
ruvo_init() -> 1
solv_exit() -> done
solv_initIRDev() -> 0x9035
ruvo_GetDllVersion() -> 20100730.1
ruvo_GetSnapShot() -> 1 3c
solv_GetSignalStrength() -> 1 50
ruvo_GetDeviceInfo() -> 1 000001000002
tamo_GetDriverInfo() -> 1 300710200403020135900000
solv_GetDrvInfo() -> 0 01003590040302013007102001000b0002000000
ruvo_GetDriverInfo() -> 1 0403020101000b0002
solv_GetVitBER() -> 1 000000000000000000000000
ruvo_GetMacroVision() -> 1 00000000
ruvo_SetBandWidth(7000) -> 1
ruvo_GetBandWidth() -> 1 581b0000
ruvo_SetFreq(650000) -> 1
ruvo_GetFreq() -> 1 10eb0900
ruvo_SetRecLen(188) -> 1
ruvo_GetRecLen() -> 1 bc000000
ruvo_SetPidFilter(0x101) -> 1
ruvo_SetPidMap(2) -> 1
ruvo_SetPidMap(33) -> 0
ruvo_SetActiveFilter(3) -> 1
ruvo_GetTsData(4) -> 1 471fff10
ruvo_ResetUsb(1) -> 1
solv_PowerCtl(0x100) -> 0
solv_SaveIso(9) -> 0
ruvo_WriteBulkData(4) -> 1 04000000
ruvo_ReadBulkData(4) -> 1 a1a2a3a4
ruvo_WriteBulkDataNb(2) -> 1 02000000
ruvo_ReadBulkDataNb(2) -> 1 b1b2
ruvo_WriteReg(0x9a60, 0x21) -> 1
ruvo_ReadReg(0x9a60) -> 1 21
?TESK_WriteLLReg(0x9a61, 0x22, 0) -> 1
?TESK_ReadLLReg(0x9a61, 0) -> 1 22
ruvo_WriteEEPROM(0x31, 0x88) -> 1
ruvo_ReadEEPROM(0x31) -> 1 88
solv_ReadEEPROM(0x30) -> 0 77
ruvo_ReadOFDMReg(50) -> 1 0a000000
ruvo_WriteOFDMReg(0x60, 0x1cd) -> 1
solv_WriteOFDMReg(0x61, 0x1ce) -> 0
solv_ReadOFDMReg(0x60) -> 0 cd000000
ruvo_ReadLLReg(0x11234) -> 1 42000000
ruvo_WriteLLReg(0x11235, 0x1ab) -> 1
solv_WriteLinkReg(0x1236, 0x1ac) -> 0
solv_ReadLinkReg(0x1235) -> 0 ab000000
solv_WriteSlaveReg(0x1c0, 8, 0x55) -> 0
solv_ReadSlaveReg(0xc0, 8) -> 0 55000000
solv_WriteI2CData(0xa0, 0x01, 3) -> 0
solv_ReadI2CData(5) -> 0 c1c2c30000
ruvo_GetBer() -> 1 0.045098
solv_ReadRawIR() -> 0 44332211
tamo_GetIR() -> 1 01001e0000000000
ruvo_GetIR() -> 1 01001e0000000000
solv_ReadTamoIR() -> 0 01001e0000000000
ruvo_LoadIrTable() -> 1
ruvo_set_notify(not a window) -> 0
ruvo_set_notify(window) -> 1
ruvo_unregister_notify() -> done
ruvo_exit() -> done
tamo_init() -> 1
tamo_exit() -> done
tamo_GetDllVersion() -> 20100730.1
aliases -> 54 of 54 alias routines called
END
expect_traces <<END
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
<Korvan> PellorReadEEPROM
enter GetVitBER\n
<Brenlo> enter GetMacroVision
<Brenlo> enter GetRecLen!
<Korvan> PellorReadEEPROM
<Korvan> PellorReadEEPROM
<Brenlo> GetBer abort : 10\n
<Brenlo> GetBer error count : 7360\n
<Brenlo> GetBer bit count : 163200\n
DVB_PellorGetIR(PBYTE pData)
DVB_PellorGetIR(PBYTE pData)
DVB_PellorGetIR(PBYTE pData)
LoadIrTable()
unregister_notify ok
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}usb#vid_0000&pid_0001#$RX_ID1
END
expect_log rx0 <<END
CONTROL id=13 flags=2 req=24:${CONTROL}0d00000002000000 data=1:18 reply=- hr=0x00000000
CONTROL id=13 flags=1 req=24:${CONTROL}0d00000001000000 data=1:00 reply=1:5a hr=0x00000000
CHANNEL id=0 flags=2 req=24:${CHANNEL}0000000002000000 data=12:0100000000000000???????? reply=- hr=0x00000000
CHANNEL id=0 flags=1 req=24:${CHANNEL}0000000001000000 data=20:0000000000000000000000000000000000000000 reply=20:01003590040302013007102001000b0002000000 hr=0x00000000
CONTROL id=10 flags=1 req=24:${CONTROL}0a00000001000000 data=1:de reply=1:3c hr=0x00000000
CONTROL id=15 flags=1 req=24:${CONTROL}0f00000001000000 data=1:ee reply=1:50 hr=0x00000000
CONTROL id=5 flags=1 req=24:${CONTROL}0500000001000000 data=6:eeeeeeeeeeee reply=6:000001000002 hr=0x00000000
CONTROL id=4 flags=1 req=24:${CONTROL}0400000001000000 data=12:eeeeeeeeeeeeeeeeeeeeeeee reply=12:300710200403020135900000 hr=0x00000000
CHANNEL id=0 flags=2 req=24:${CHANNEL}0000000002000000 data=12:0100000000000000???????? reply=- hr=0x00000000
CHANNEL id=0 flags=1 req=24:${CHANNEL}0000000001000000 data=20:eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee reply=20:01003590040302013007102001000b0002000000 hr=0x00000000
CHANNEL id=0 flags=2 req=24:${CHANNEL}0000000002000000 data=12:0100000000000000???????? reply=- hr=0x00000000
CHANNEL id=0 flags=1 req=24:${CHANNEL}0000000001000000 data=20:0000000000000000000000000000000000000000 reply=20:01003590040302013007102001000b0002000000 hr=0x00000000
CONTROL id=11 flags=1 req=24:${CONTROL}0b00000001000000 data=12:eeeeeeeeeeeeeeeeeeeeeeee reply=12:000000000000000000000000 hr=0x00000000
CONTROL id=16 flags=1 req=24:${CONTROL}1000000001000000 data=4:eeeeeeee reply=4:00000000 hr=0x00000000
CONTROL id=3 flags=2 req=32:${CONTROL}0300000002000000????????581b0000 data=4:581b0000 reply=- hr=0x00000000
CONTROL id=3 flags=1 req=24:${CONTROL}0300000001000000 data=4:eeeeeeee reply=4:581b0000 hr=0x00000000
CONTROL id=8 flags=2 req=32:${CONTROL}0800000002000000????????10eb0900 data=4:10eb0900 reply=- hr=0x00000000
CONTROL id=8 flags=1 req=24:${CONTROL}0800000001000000 data=4:eeeeeeee reply=4:10eb0900 hr=0x00000000
CONTROL id=12 flags=2 req=24:${CONTROL}0c00000002000000 data=4:bc000000 reply=- hr=0x00000000
CONTROL id=12 flags=1 req=24:${CONTROL}0c00000001000000 data=4:eeeeeeee reply=4:bc000000 hr=0x00000000
CONTROL id=2 flags=2 req=32:${CONTROL}0200000002000000????????01000000 data=4:01000000 reply=- hr=0x00000000
PIDMAP id=0 flags=2 req=32:${PIDMAP}0000000002000000???????????????? data=16:000000000200000000010000ff1f0000 reply=- hr=0x00000000
CONTROL id=6 flags=2 req=24:${CONTROL}0600000002000000 data=4:03000000 reply=- hr=0x00000000
CONTROL id=6 flags=1 req=24:${CONTROL}0600000001000000 data=4:eeeeeeee reply=4:471fff10 hr=0x00000000
CONTROL id=9 flags=2 req=32:${CONTROL}0900000002000000????????01000000 data=4:01000000 reply=- hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:040000000000000000?????? reply=- hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=8:6600000009?????? reply=- hr=0x00000000
CONTROL id=0 flags=2 req=24:${CONTROL}0000000002000000 data=4:a1a2a3a4 reply=- hr=0x00000000
CONTROL id=0 flags=1 req=24:${CONTROL}0000000001000000 data=4:eeeeeeee reply=4:a1a2a3a4 hr=0x00000000
CONTROL id=1 flags=2 req=24:${CONTROL}0100000002000000 data=2:b1b2 reply=- hr=0x00000000
CONTROL id=1 flags=1 req=24:${CONTROL}0100000001000000 data=2:eeee reply=2:b1b2 hr=0x00000000
CONTROL id=10 flags=2 req=24:${CONTROL}0a00000002000000 data=3:609a21 reply=- hr=0x00000000
CONTROL id=10 flags=1 req=24:${CONTROL}0a00000001000000 data=1:60 reply=1:21 hr=0x00000000
CONTROL id=10 flags=2 req=24:${CONTROL}0a00000002000000 data=3:619a22 reply=- hr=0x00000000
CONTROL id=10 flags=1 req=24:${CONTROL}0a00000001000000 data=1:61 reply=1:22 hr=0x00000000
CONTROL id=13 flags=2 req=24:${CONTROL}0d00000002000000 data=2:3188 reply=- hr=0x00000000
CONTROL id=13 flags=2 req=24:${CONTROL}0d00000002000000 data=1:31 reply=- hr=0x00000000
CONTROL id=13 flags=1 req=24:${CONTROL}0d00000001000000 data=1:ee reply=1:88 hr=0x00000000
CONTROL id=13 flags=2 req=24:${CONTROL}0d00000002000000 data=1:30 reply=- hr=0x00000000
CONTROL id=13 flags=1 req=24:${CONTROL}0d00000001000000 data=1:ee reply=1:77 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000032000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:0a000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0100000060000000cd?????? reply=- hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0100000061000000ce?????? reply=- hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000060000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:cd000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0200000034120000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:42000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0300000035120000ab?????? reply=- hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0300000036120000ac?????? reply=- hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0200000035120000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:ab000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=16:06000000c0??????0800000055?????? reply=- hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=16:05000000c0??????08000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:55000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=15:6500000003000000a001c1c2c3???? reply=- hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:6400000005000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=5:eeeeeeeeee reply=5:c1c2c30000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000032000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:00000000 reply=4:0a000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000033000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:00000000 reply=4:00000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000034000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:00000000 reply=4:40000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000035000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:00000000 reply=4:1f000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000036000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:00000000 reply=4:00000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000037000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:00000000 reply=4:6e000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:0000000038000000???????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:00000000 reply=4:00000000 hr=0x00000000
CHANNEL id=1 flags=2 req=24:${CHANNEL}0100000002000000 data=12:07000000???????????????? reply=- hr=0x00000000
CHANNEL id=1 flags=1 req=24:${CHANNEL}0100000001000000 data=4:eeeeeeee reply=4:44332211 hr=0x00000000
CONTROL id=14 flags=1 req=24:${CONTROL}0e00000001000000 data=8:eeeeeeeeeeeeeeee reply=8:01001e0000000000 hr=0x00000000
CONTROL id=14 flags=1 req=24:${CONTROL}0e00000001000000 data=8:eeeeeeeeeeeeeeee reply=8:01001e0000000000 hr=0x00000000
CONTROL id=14 flags=1 req=24:${CONTROL}0e00000001000000 data=8:eeeeeeeeeeeeeeee reply=8:01001e0000000000 hr=0x00000000
CONTROL id=10 flags=2 req=24:${CONTROL}0a00000002000000 data=3:569a10 reply=- hr=0x00000000
CONTROL id=10 flags=2 req=24:${CONTROL}0a00000002000000 data=3:579a20 reply=- hr=0x00000000
CONTROL id=10 flags=2 req=24:${CONTROL}0a00000002000000 data=3:589a30 reply=- hr=0x00000000
END
