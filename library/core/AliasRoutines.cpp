// The routines behind the tamo_, ruvo_ and solv_ names: each reaches one TESK_ operation on
// receiver 0. Where two or three families offer an operation in the same form, one routine
// carries all of their names; the export list (library/win32/Korvan.def) binds the other names
// to the routine named here. A few aliases narrow an argument or turn a status into a bool,
// because the programs of that family were written against those forms.
#include <cstring>

#include "Connection.h"
#include "Korvan.h"

namespace {

constexpr DeviceNumber kAliasDevice = 0;

}  // namespace

// ---- All three families ----

extern "C" void KORVAN_CALL tamo_exit(void) { TESK_exit(kAliasDevice); }
extern "C" bool KORVAN_CALL tamo_init(void) { return TESK_init(kAliasDevice); }
extern "C" bool KORVAN_CALL tamo_GetSignalStrength(uint8_t* pbyStrength) {
  return TESK_GetSignalStrength(pbyStrength, kAliasDevice);
}

// ---- tamo_ and ruvo_ ----

extern "C" bool KORVAN_CALL tamo_GetBandWidth(uint32_t* pdwBandWidth) {
  return TESK_GetBandWidth(pdwBandWidth, kAliasDevice);
}
extern "C" bool KORVAN_CALL tamo_GetDeviceInfo(uint8_t* pbyInfo6) { return TESK_GetDeviceInfo(pbyInfo6, kAliasDevice); }
extern "C" const char* KORVAN_CALL tamo_GetDllVersion(void) { return TESK_GetDllVersion(); }
extern "C" bool KORVAN_CALL tamo_GetFreq(uint32_t* pdwFrequency) { return TESK_GetFreq(pdwFrequency, kAliasDevice); }
extern "C" bool KORVAN_CALL tamo_GetRecLen(uint32_t* pdwLength) { return TESK_GetRecLen(pdwLength, kAliasDevice); }
extern "C" bool KORVAN_CALL tamo_GetTsData(uint8_t* pbyData, uint32_t dwLength) {
  return TESK_GetTsData(pbyData, dwLength, kAliasDevice);
}
extern "C" bool KORVAN_CALL tamo_LoadIrTable(void) { return TESK_LoadIrTable(kAliasDevice); }
extern "C" bool KORVAN_CALL tamo_ReadBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned) {
  return TESK_ReadBulkData(pbyData, dwLength, pdwReturned, kAliasDevice);
}
extern "C" bool KORVAN_CALL tamo_ReadBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned) {
  return TESK_ReadBulkDataNb(pbyData, dwLength, pdwReturned, kAliasDevice);
}
extern "C" bool KORVAN_CALL tamo_ReadEEPROM(uint8_t byAddress, uint8_t* pbyValue) {
  return TESK_ReadEEPROM(byAddress, pbyValue, kAliasDevice) == 0;
}
extern "C" bool KORVAN_CALL tamo_ReadReg(uint16_t wAddress, uint8_t* pbyValue) {
  return TESK_ReadReg(wAddress, pbyValue, kAliasDevice);
}
extern "C" bool KORVAN_CALL tamo_ResetUsb(uint32_t dwValue) { return TESK_ResetUsb(dwValue, kAliasDevice); }
extern "C" bool KORVAN_CALL tamo_set_notify(void* hWindow) { return TESK_set_notify(hWindow); }
extern "C" bool KORVAN_CALL tamo_SetActiveFilter(uint32_t dwFilter) {
  return TESK_SetActiveFilter(dwFilter, kAliasDevice);
}
extern "C" bool KORVAN_CALL tamo_SetBandWidth(uint32_t dwBandWidth) {
  return TESK_SetBandWidth(dwBandWidth, kAliasDevice);
}
extern "C" bool KORVAN_CALL tamo_SetFreq(uint32_t dwFrequency) { return TESK_SetFreq(dwFrequency, kAliasDevice); }
extern "C" bool KORVAN_CALL tamo_SetPidFilter(uint32_t dwOn) { return TESK_SetPidFilter(dwOn, kAliasDevice); }
extern "C" bool KORVAN_CALL tamo_SetPidMap(int32_t count, const uint16_t* pwPids) {
  return TESK_SetPidMap(count, pwPids, kAliasDevice);
}
extern "C" bool KORVAN_CALL tamo_SetRecLen(uint32_t dwLength) { return TESK_SetRecLen(dwLength, kAliasDevice); }
extern "C" void KORVAN_CALL tamo_unregister_notify(void) { TESK_unregister_notify(); }
extern "C" bool KORVAN_CALL tamo_WriteBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned) {
  return TESK_WriteBulkData(pbyData, dwLength, pdwReturned, kAliasDevice);
}
extern "C" bool KORVAN_CALL tamo_WriteBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned) {
  return TESK_WriteBulkDataNb(pbyData, dwLength, pdwReturned, kAliasDevice);
}
extern "C" bool KORVAN_CALL tamo_WriteEEPROM(uint8_t byAddress, uint8_t byValue) {
  return TESK_WriteEEPROM(byAddress, byValue, kAliasDevice) == 0;
}
extern "C" bool KORVAN_CALL tamo_WriteReg(uint16_t wAddress, uint8_t byValue) {
  return TESK_WriteReg(wAddress, byValue, kAliasDevice);
}

// ---- tamo_ alone ----

extern "C" bool KORVAN_CALL tamo_GetDriverInfo(uint8_t* pbyInfo12) {
  return TESK_GetTamoDrvInfo(pbyInfo12, kAliasDevice);
}
// Reads through the device's report read directly, not through TESK_ReadTamoIR; callers see the
// same thing as with ruvo_GetIR.
extern "C" bool KORVAN_CALL tamo_GetIR(KeyboardReport* pReport) {
  return korvan::WithDevice(kAliasDevice, false,
                            [&](korvan::ReceiverDevice& d) { return d.DVB_PellorGetIR(pReport->abyData) == 0; });
}

// ---- ruvo_ alone ----

extern "C" bool KORVAN_CALL ruvo_GetBer(double* pRate) { return TESK_GetBer(pRate, kAliasDevice); }

extern "C" bool KORVAN_CALL ruvo_GetDriverInfo(RuvoDriverInfo* pInfo) {
  uint8_t abyInfo[20] = {};
  if (TESK_GetDrvInfo(abyInfo, kAliasDevice) != CHANNEL_OK) return false;
  auto word = [&](size_t offset) {
    return static_cast<uint32_t>(abyInfo[offset] | abyInfo[offset + 1] << 8 | abyInfo[offset + 2] << 16 |
                                 static_cast<uint32_t>(abyInfo[offset + 3]) << 24);
  };
  RuvoDriverInfo info;
  info.infoWord1 = word(4);
  info.infoWord2 = word(12);
  info.infoByte = abyInfo[16];
  std::memcpy(pInfo, &info, sizeof info);
  return true;
}

extern "C" bool KORVAN_CALL ruvo_GetIR(KeyboardReport* pReport) { return TESK_ReadTamoIR(pReport, kAliasDevice) == 0; }
extern "C" bool KORVAN_CALL ruvo_GetMacroVision(uint32_t* pdwValue) {
  return TESK_GetMacroVision(pdwValue, kAliasDevice);
}
extern "C" bool KORVAN_CALL ruvo_GetSnapShot(uint8_t* pbyValue) { return TESK_GetSnapShot(pbyValue, kAliasDevice); }
// Programs of this family address link registers with 16 bits and values with 8.
extern "C" bool KORVAN_CALL ruvo_ReadLLReg(uint32_t dwAddress, uint8_t* pbyReply) {
  return TESK_ReadLinkReg(dwAddress & 0xFFFF, pbyReply, kAliasDevice) == CHANNEL_OK;
}
extern "C" bool KORVAN_CALL ruvo_WriteLLReg(uint32_t dwAddress, uint32_t dwValue) {
  return TESK_WriteLinkReg(dwAddress & 0xFFFF, dwValue & 0xFF, kAliasDevice) == CHANNEL_OK;
}
extern "C" bool KORVAN_CALL ruvo_ReadOFDMReg(uint32_t dwAddress, uint8_t* pbyReply) {
  return TESK_ReadOFDMReg(dwAddress, pbyReply, kAliasDevice) == CHANNEL_OK;
}
extern "C" bool KORVAN_CALL ruvo_WriteOFDMReg(uint32_t dwAddress, uint32_t dwValue) {
  return TESK_WriteOFDMReg(dwAddress, dwValue & 0xFF, kAliasDevice) == CHANNEL_OK;
}

// ---- solv_ alone ----

extern "C" int32_t KORVAN_CALL solv_GetDrvInfo(uint8_t* pbyInfo20) { return TESK_GetDrvInfo(pbyInfo20, kAliasDevice); }
extern "C" bool KORVAN_CALL solv_GetVitBER(uint8_t* pbyCounters12) { return TESK_GetVitBER(pbyCounters12, kAliasDevice); }
extern "C" ChipId KORVAN_CALL solv_initIRDev(void) { return TESK_initIRDev(kAliasDevice); }
extern "C" int32_t KORVAN_CALL solv_PowerCtl(uint32_t dwOn) { return TESK_PowerCtl(dwOn, kAliasDevice); }
extern "C" int32_t KORVAN_CALL solv_ReadEEPROM(uint8_t byAddress, uint8_t* pbyValue) {
  return TESK_ReadEEPROM(byAddress, pbyValue, kAliasDevice);
}
extern "C" int32_t KORVAN_CALL solv_ReadI2CData(uint8_t* pbyData, uint32_t dwLength) {
  return TESK_ReadI2CData(pbyData, dwLength, kAliasDevice);
}
extern "C" int32_t KORVAN_CALL solv_ReadLinkReg(uint32_t dwAddress, uint8_t* pbyReply) {
  return TESK_ReadLinkReg(dwAddress, pbyReply, kAliasDevice);
}
extern "C" int32_t KORVAN_CALL solv_ReadOFDMReg(uint32_t dwAddress, uint8_t* pbyReply) {
  return TESK_ReadOFDMReg(dwAddress, pbyReply, kAliasDevice);
}
extern "C" int32_t KORVAN_CALL solv_ReadRawIR(RawRemoteCode* pCode) { return TESK_ReadRawIR(pCode, kAliasDevice); }
extern "C" int32_t KORVAN_CALL solv_ReadSlaveReg(uint32_t dwSlave, uint32_t dwAddress, uint8_t* pbyReply) {
  return TESK_ReadSlaveReg(dwSlave, dwAddress, pbyReply, kAliasDevice);
}
extern "C" int32_t KORVAN_CALL solv_ReadTamoIR(KeyboardReport* pReport) {
  return TESK_ReadTamoIR(pReport, kAliasDevice);
}
extern "C" int32_t KORVAN_CALL solv_SaveIso(uint8_t byValue) { return TESK_SaveIso(byValue, kAliasDevice); }
extern "C" int32_t KORVAN_CALL solv_WriteI2CData(uint8_t byArg1, uint8_t byArg2, const uint8_t* pbyData,
                                                 uint32_t dwLength) {
  return TESK_WriteI2CData(byArg1, byArg2, pbyData, dwLength, kAliasDevice);
}
extern "C" int32_t KORVAN_CALL solv_WriteLinkReg(uint32_t dwAddress, uint32_t dwValue) {
  return TESK_WriteLinkReg(dwAddress, dwValue, kAliasDevice);
}
extern "C" int32_t KORVAN_CALL solv_WriteOFDMReg(uint32_t dwAddress, uint32_t dwValue) {
  return TESK_WriteOFDMReg(dwAddress, dwValue, kAliasDevice);
}
extern "C" int32_t KORVAN_CALL solv_WriteSlaveReg(uint32_t dwSlave, uint32_t dwAddress, uint32_t dwValue) {
  return TESK_WriteSlaveReg(dwSlave, dwAddress, dwValue, kAliasDevice);
}
