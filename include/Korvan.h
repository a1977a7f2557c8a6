/*
 * Korvan.dll: access to a USB digital-TV receiver's driver filter.
 *
 * Calling convention: every export is a plain function using the C calling convention
 * (__cdecl on 32-bit Windows) and is found by its undecorated name, except TESK_ReadLLReg and
 * TESK_WriteLLReg, which are exported under decorated C++ names (KORVAN_READLLREG_EXPORT and
 * KORVAN_WRITELLREG_EXPORT below) at the entry points of TESK_ReadReg and TESK_WriteReg.
 * Usable from C (C99 or later) and C++.
 *
 * Four families of names:
 *   TESK_  the operations themselves; every receiver operation takes the DeviceNumber (0 to 9)
 *          as its last argument.
 *   tamo_, ruvo_, solv_  aliases for programs written against one chip family each; they
 *          always address receiver 0. Where two or three families offer the same operation in
 *          the same form, one routine carries all of their names.
 *
 * Results: bool (true = success); a 32-bit status (0 = success, 1 = failure) for the EEPROM
 * operations and the decoded report read; a channel result (CHANNEL_OK, CHANNEL_FAILED,
 * CHANNEL_NOT_IMPLEMENTED) for the operations that go through the driver's data channels.
 * A DeviceNumber outside 0 to 9, or one whose receiver is not open, gives the failure value
 * (false, 1, CHANNEL_FAILED, or ChipId 0) without reaching any driver. TESK_GetBer and
 * TESK_LoadIrTable always work on receiver 0, whatever number they are given.
 *
 * One receiver is open at a time: close it (TESK_exit) before opening another.
 */
#ifndef KORVAN_H
#define KORVAN_H

#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#if defined(_WIN32)
#define KORVAN_CALL __cdecl
#else
#define KORVAN_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Index 0 to 9 of a receiver slot; every receiver export of the TESK_ family takes it as its
 * last argument. */
typedef int32_t DeviceNumber;

/* Chip identifier reported by the infra-red open; 0 means nothing was opened. */
typedef uint16_t ChipId;

/* One remote button as the receiver decodes it: byte 0 modifier bits (bit 0 left Ctrl, 1 left
 * Shift, 2 left Alt, 3 left Windows, 4 right Ctrl, 5 right Shift, 6 right Alt, 7 right Windows),
 * byte 1 reserved, bytes 2 to 7 key usage codes of the HID keyboard usage page. */
typedef struct KeyboardReport {
  uint8_t abyData[8];
} KeyboardReport;

/* One raw remote code as the receiver delivers it; read the 4 bytes as one unsigned 32-bit
 * little-endian value. */
typedef struct RawRemoteCode {
  uint8_t abyData[4];
} RawRemoteCode;

/* What ruvo_GetDriverInfo passes on from the 20-byte driver information: reply bytes 4 to 7,
 * 12 to 15 and 16, in this order, without padding (9 bytes). */
#pragma pack(push, 1)
typedef struct RuvoDriverInfo {
  uint32_t infoWord1;
  uint32_t infoWord2;
  uint8_t infoByte;
} RuvoDriverInfo;
#pragma pack(pop)

typedef char KorvanRecordSizesAreFixed[(sizeof(KeyboardReport) == 8 && sizeof(RawRemoteCode) == 4 &&
                                        sizeof(RuvoDriverInfo) == 9)
                                           ? 1
                                           : -1];

/* Results of the channel operations. */
enum {
  CHANNEL_OK = 0,
  CHANNEL_FAILED = 1,
  CHANNEL_NOT_IMPLEMENTED = 2
};

/* ---- TESK_: connection life cycle ---- */

/* Opens slot n on the n-th receiver (tuner category, then the first receiver of the capture
 * category). */
bool KORVAN_CALL TESK_init(DeviceNumber deviceNumber);
/* Closes slot n and takes down the library's lock and COM initialisation. */
void KORVAN_CALL TESK_exit(DeviceNumber deviceNumber);
/* "20100730.1"; the caller neither frees nor changes it. */
const char* KORVAN_CALL TESK_GetDllVersion(void);

/* ---- TESK_: registers, memory and bus ---- */

/* Chip registers: only the low 8 bits of the address travel on a read; the reply byte lands in
 * *pbyValue (also when the request fails). */
bool KORVAN_CALL TESK_ReadReg(uint16_t wAddress, uint8_t* pbyValue, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_WriteReg(uint16_t wAddress, uint8_t byValue, DeviceNumber deviceNumber);
/* Configuration EEPROM: 0 = success, 1 = failure. */
int32_t KORVAN_CALL TESK_ReadEEPROM(uint8_t byAddress, uint8_t* pbyValue, DeviceNumber deviceNumber);
int32_t KORVAN_CALL TESK_WriteEEPROM(uint8_t byAddress, uint8_t byValue, DeviceNumber deviceNumber);
/* Bulk data: the driver's count of returned bytes goes to *pdwReturned. */
bool KORVAN_CALL TESK_WriteBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned,
                                    DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_ReadBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned,
                                   DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_WriteBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned,
                                      DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_ReadBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned,
                                     DeviceNumber deviceNumber);
/* Demodulator (OFDM) and link registers: a read fills 4 bytes, the register's value is the first;
 * a write sends the low 8 bits of dwValue. */
int32_t KORVAN_CALL TESK_ReadOFDMReg(uint32_t dwAddress, uint8_t* pbyReply, DeviceNumber deviceNumber);
int32_t KORVAN_CALL TESK_WriteOFDMReg(uint32_t dwAddress, uint32_t dwValue, DeviceNumber deviceNumber);
int32_t KORVAN_CALL TESK_ReadLinkReg(uint32_t dwAddress, uint8_t* pbyReply, DeviceNumber deviceNumber);
int32_t KORVAN_CALL TESK_WriteLinkReg(uint32_t dwAddress, uint32_t dwValue, DeviceNumber deviceNumber);
/* Registers of a slave behind the chip: the low 8 bits of dwSlave and of dwValue are sent. */
int32_t KORVAN_CALL TESK_ReadSlaveReg(uint32_t dwSlave, uint32_t dwAddress, uint8_t* pbyReply,
                                      DeviceNumber deviceNumber);
int32_t KORVAN_CALL TESK_WriteSlaveReg(uint32_t dwSlave, uint32_t dwAddress, uint32_t dwValue,
                                       DeviceNumber deviceNumber);
/* I2C path: a read receives exactly dwLength bytes; a write sends at most 500 data bytes (a longer
 * one is refused with CHANNEL_FAILED and nothing is sent). */
int32_t KORVAN_CALL TESK_ReadI2CData(uint8_t* pbyData, uint32_t dwLength, DeviceNumber deviceNumber);
int32_t KORVAN_CALL TESK_WriteI2CData(uint8_t byArg1, uint8_t byArg2, const uint8_t* pbyData,
                                      uint32_t dwLength, DeviceNumber deviceNumber);

/* ---- TESK_: tuning, stream and status ---- */

/* Values pass through as the driver defines them; the library neither scales nor checks them. */
bool KORVAN_CALL TESK_SetFreq(uint32_t dwFrequency, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_GetFreq(uint32_t* pdwFrequency, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_SetBandWidth(uint32_t dwBandWidth, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_GetBandWidth(uint32_t* pdwBandWidth, DeviceNumber deviceNumber);
/* Only the low 8 bits of dwOn are sent. */
bool KORVAN_CALL TESK_SetPidFilter(uint32_t dwOn, DeviceNumber deviceNumber);
/* count 0 to 32 PIDs; any other count is refused without a request. */
bool KORVAN_CALL TESK_SetPidMap(int32_t count, const uint16_t* pwPids, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_GetTsData(uint8_t* pbyData, uint32_t dwLength, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_SetActiveFilter(uint32_t dwFilter, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_SetRecLen(uint32_t dwLength, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_GetRecLen(uint32_t* pdwLength, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_ResetUsb(uint32_t dwValue, DeviceNumber deviceNumber);
/* Records as the driver delivers them: 12, 6 and 12 bytes. */
bool KORVAN_CALL TESK_GetTamoDrvInfo(uint8_t* pbyInfo12, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_GetDeviceInfo(uint8_t* pbyInfo6, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_GetVitBER(uint8_t* pbyCounters12, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_GetSignalStrength(uint8_t* pbyStrength, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_GetMacroVision(uint32_t* pdwValue, DeviceNumber deviceNumber);
bool KORVAN_CALL TESK_GetOvlCnt(uint16_t* pwCount, DeviceNumber deviceNumber);
/* Register 0xD8DE, read as TESK_ReadReg reads it. */
bool KORVAN_CALL TESK_GetSnapShot(uint8_t* pbyValue, DeviceNumber deviceNumber);
/* Bit error rate from demodulator registers 50 to 56 of receiver 0. */
bool KORVAN_CALL TESK_GetBer(double* pRate, DeviceNumber deviceNumber);
/* Driver information: 20 bytes; bytes 2 and 3 hold the ChipId. */
int32_t KORVAN_CALL TESK_GetDrvInfo(uint8_t* pbyInfo20, DeviceNumber deviceNumber);
/* Power on when the low 8 bits of dwOn are not zero. */
int32_t KORVAN_CALL TESK_PowerCtl(uint32_t dwOn, DeviceNumber deviceNumber);
int32_t KORVAN_CALL TESK_SaveIso(uint8_t byValue, DeviceNumber deviceNumber);

/* ---- TESK_: remote control ---- */

/* Opens the receiver for remote-control use and reports its chip: 0 = nothing opened. */
ChipId KORVAN_CALL TESK_initIRDev(DeviceNumber deviceNumber);
/* 0 (CHANNEL_OK) = a code was stored; otherwise *pCode is left as it was. */
int32_t KORVAN_CALL TESK_ReadRawIR(RawRemoteCode* pCode, DeviceNumber deviceNumber);
/* 0 = a report was stored, 1 = the request failed. */
int32_t KORVAN_CALL TESK_ReadTamoIR(KeyboardReport* pReport, DeviceNumber deviceNumber);
/* Uploads the key table file "tamoirtbl.bin" of the system folder to receiver 0's registers. */
bool KORVAN_CALL TESK_LoadIrTable(DeviceNumber deviceNumber);

/* ---- TESK_: device-change notification ---- */

/* Registers the window (an HWND) for arrival and removal messages of receivers (network-tuner
 * category). A second registration ends the earlier one first. */
bool KORVAN_CALL TESK_set_notify(void* hWindow);
void KORVAN_CALL TESK_unregister_notify(void);

/* ---- Aliases of all three families (receiver 0) ---- */

void KORVAN_CALL tamo_exit(void);
void KORVAN_CALL ruvo_exit(void);
void KORVAN_CALL solv_exit(void);
bool KORVAN_CALL tamo_init(void);
bool KORVAN_CALL ruvo_init(void);
bool KORVAN_CALL solv_init(void);
bool KORVAN_CALL tamo_GetSignalStrength(uint8_t* pbyStrength);
bool KORVAN_CALL ruvo_GetSignalStrength(uint8_t* pbyStrength);
bool KORVAN_CALL solv_GetSignalStrength(uint8_t* pbyStrength);

/* ---- Aliases of tamo_ and ruvo_ ---- */

bool KORVAN_CALL tamo_GetBandWidth(uint32_t* pdwBandWidth);
bool KORVAN_CALL ruvo_GetBandWidth(uint32_t* pdwBandWidth);
bool KORVAN_CALL tamo_GetDeviceInfo(uint8_t* pbyInfo6);
bool KORVAN_CALL ruvo_GetDeviceInfo(uint8_t* pbyInfo6);
const char* KORVAN_CALL tamo_GetDllVersion(void);
const char* KORVAN_CALL ruvo_GetDllVersion(void);
bool KORVAN_CALL tamo_GetFreq(uint32_t* pdwFrequency);
bool KORVAN_CALL ruvo_GetFreq(uint32_t* pdwFrequency);
bool KORVAN_CALL tamo_GetRecLen(uint32_t* pdwLength);
bool KORVAN_CALL ruvo_GetRecLen(uint32_t* pdwLength);
bool KORVAN_CALL tamo_GetTsData(uint8_t* pbyData, uint32_t dwLength);
bool KORVAN_CALL ruvo_GetTsData(uint8_t* pbyData, uint32_t dwLength);
bool KORVAN_CALL tamo_LoadIrTable(void);
bool KORVAN_CALL ruvo_LoadIrTable(void);
bool KORVAN_CALL tamo_ReadBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);
bool KORVAN_CALL ruvo_ReadBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);
bool KORVAN_CALL tamo_ReadBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);
bool KORVAN_CALL ruvo_ReadBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);
/* true exactly when the TESK_ operation returns 0. */
bool KORVAN_CALL tamo_ReadEEPROM(uint8_t byAddress, uint8_t* pbyValue);
bool KORVAN_CALL ruvo_ReadEEPROM(uint8_t byAddress, uint8_t* pbyValue);
bool KORVAN_CALL tamo_ReadReg(uint16_t wAddress, uint8_t* pbyValue);
bool KORVAN_CALL ruvo_ReadReg(uint16_t wAddress, uint8_t* pbyValue);
bool KORVAN_CALL tamo_ResetUsb(uint32_t dwValue);
bool KORVAN_CALL ruvo_ResetUsb(uint32_t dwValue);
bool KORVAN_CALL tamo_set_notify(void* hWindow);
bool KORVAN_CALL ruvo_set_notify(void* hWindow);
bool KORVAN_CALL tamo_SetActiveFilter(uint32_t dwFilter);
bool KORVAN_CALL ruvo_SetActiveFilter(uint32_t dwFilter);
bool KORVAN_CALL tamo_SetBandWidth(uint32_t dwBandWidth);
bool KORVAN_CALL ruvo_SetBandWidth(uint32_t dwBandWidth);
bool KORVAN_CALL tamo_SetFreq(uint32_t dwFrequency);
bool KORVAN_CALL ruvo_SetFreq(uint32_t dwFrequency);
bool KORVAN_CALL tamo_SetPidFilter(uint32_t dwOn);
bool KORVAN_CALL ruvo_SetPidFilter(uint32_t dwOn);
bool KORVAN_CALL tamo_SetPidMap(int32_t count, const uint16_t* pwPids);
bool KORVAN_CALL ruvo_SetPidMap(int32_t count, const uint16_t* pwPids);
bool KORVAN_CALL tamo_SetRecLen(uint32_t dwLength);
bool KORVAN_CALL ruvo_SetRecLen(uint32_t dwLength);
void KORVAN_CALL tamo_unregister_notify(void);
void KORVAN_CALL ruvo_unregister_notify(void);
bool KORVAN_CALL tamo_WriteBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);
bool KORVAN_CALL ruvo_WriteBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);
bool KORVAN_CALL tamo_WriteBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);
bool KORVAN_CALL ruvo_WriteBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);
/* true exactly when the TESK_ operation returns 0. */
bool KORVAN_CALL tamo_WriteEEPROM(uint8_t byAddress, uint8_t byValue);
bool KORVAN_CALL ruvo_WriteEEPROM(uint8_t byAddress, uint8_t byValue);
bool KORVAN_CALL tamo_WriteReg(uint16_t wAddress, uint8_t byValue);
bool KORVAN_CALL ruvo_WriteReg(uint16_t wAddress, uint8_t byValue);

/* ---- Aliases of tamo_ alone ---- */

/* TESK_GetTamoDrvInfo: 12 bytes. */
bool KORVAN_CALL tamo_GetDriverInfo(uint8_t* pbyInfo12);
/* true exactly when a report was stored. */
bool KORVAN_CALL tamo_GetIR(KeyboardReport* pReport);

/* ---- Aliases of ruvo_ alone ---- */

bool KORVAN_CALL ruvo_GetBer(double* pRate);
/* true after a successful driver-information read; on failure *pInfo is left untouched. */
bool KORVAN_CALL ruvo_GetDriverInfo(RuvoDriverInfo* pInfo);
/* true exactly when a report was stored. */
bool KORVAN_CALL ruvo_GetIR(KeyboardReport* pReport);
bool KORVAN_CALL ruvo_GetMacroVision(uint32_t* pdwValue);
bool KORVAN_CALL ruvo_GetSnapShot(uint8_t* pbyValue);
/* Link registers with a 16-bit address (higher bits are dropped); true exactly when the channel
 * answered CHANNEL_OK. ruvo_WriteLLReg sends the low 8 bits of dwValue. */
bool KORVAN_CALL ruvo_ReadLLReg(uint32_t dwAddress, uint8_t* pbyReply);
bool KORVAN_CALL ruvo_WriteLLReg(uint32_t dwAddress, uint32_t dwValue);
/* true exactly when the channel answered CHANNEL_OK. */
bool KORVAN_CALL ruvo_ReadOFDMReg(uint32_t dwAddress, uint8_t* pbyReply);
bool KORVAN_CALL ruvo_WriteOFDMReg(uint32_t dwAddress, uint32_t dwValue);

/* ---- Aliases of solv_ alone (results as the TESK_ operation's) ---- */

int32_t KORVAN_CALL solv_GetDrvInfo(uint8_t* pbyInfo20);
bool KORVAN_CALL solv_GetVitBER(uint8_t* pbyCounters12);
/* The ChipId is in the low 16 bits of the result. */
ChipId KORVAN_CALL solv_initIRDev(void);
int32_t KORVAN_CALL solv_PowerCtl(uint32_t dwOn);
int32_t KORVAN_CALL solv_ReadEEPROM(uint8_t byAddress, uint8_t* pbyValue);
int32_t KORVAN_CALL solv_ReadI2CData(uint8_t* pbyData, uint32_t dwLength);
int32_t KORVAN_CALL solv_ReadLinkReg(uint32_t dwAddress, uint8_t* pbyReply);
int32_t KORVAN_CALL solv_ReadOFDMReg(uint32_t dwAddress, uint8_t* pbyReply);
int32_t KORVAN_CALL solv_ReadRawIR(RawRemoteCode* pCode);
int32_t KORVAN_CALL solv_ReadSlaveReg(uint32_t dwSlave, uint32_t dwAddress, uint8_t* pbyReply);
int32_t KORVAN_CALL solv_ReadTamoIR(KeyboardReport* pReport);
int32_t KORVAN_CALL solv_SaveIso(uint8_t byValue);
int32_t KORVAN_CALL solv_WriteI2CData(uint8_t byArg1, uint8_t byArg2, const uint8_t* pbyData,
                                      uint32_t dwLength);
int32_t KORVAN_CALL solv_WriteLinkReg(uint32_t dwAddress, uint32_t dwValue);
int32_t KORVAN_CALL solv_WriteOFDMReg(uint32_t dwAddress, uint32_t dwValue);
int32_t KORVAN_CALL solv_WriteSlaveReg(uint32_t dwSlave, uint32_t dwAddress, uint32_t dwValue);

#ifdef __cplusplus
}
#endif

/* The second names of TESK_ReadReg and TESK_WriteReg, exported with the decoration of the C++
 * functions
 *   bool __cdecl TESK_ReadLLReg(unsigned short, unsigned char*, int)
 *   bool __cdecl TESK_WriteLLReg(unsigned short, unsigned char, int)
 * Programs that cannot link them by that name (C, or C++ compilers with another decoration)
 * call TESK_ReadReg and TESK_WriteReg, or look these names up with GetProcAddress. */
#define KORVAN_READLLREG_EXPORT "?TESK_ReadLLReg@@YA_NGPAEH@Z"
#define KORVAN_WRITELLREG_EXPORT "?TESK_WriteLLReg@@YA_NGEH@Z"
#if defined(__cplusplus) && defined(_MSC_VER)
bool __cdecl TESK_ReadLLReg(unsigned short wAddress, unsigned char* pbyValue, int deviceNumber);
bool __cdecl TESK_WriteLLReg(unsigned short wAddress, unsigned char byValue, int deviceNumber);
#endif

#endif /* KORVAN_H */
