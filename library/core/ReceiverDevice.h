#pragma once
// The record of one open receiver: its driver filter and the filter's property interface,
// and the request routines every operation is built from.
#include <cstdint>

#include "DriverRequest.h"
#include "LibraryPlatform.h"

namespace korvan {

struct ReceiverDevice {
  PropertyPort* m_pKsControl = nullptr;
  FilterObject* m_pFilter = nullptr;

  ReceiverDevice() = default;
  ReceiverDevice(const ReceiverDevice&) = delete;
  ReceiverDevice& operator=(const ReceiverDevice&) = delete;
  // Releases the filter first, then the property interface.
  ~ReceiverDevice();

  // One request through the property interface. form decides the request length; a device
  // without a property interface answers kE_POINTER and sends nothing.
  HResult SendRequest(DriverRequest& request, RequestForm form, void* data, uint32_t length,
                      uint32_t* bytesReturned = nullptr);
  HResult Get(const Guid& set, uint32_t id, void* data, uint32_t length);
  HResult Set(const Guid& set, uint32_t id, void* data, uint32_t length);
  // A node-form set of one 32-bit value carried in the request's Reserved word.
  HResult SetNodeValue(const Guid& set, uint32_t id, uint32_t value);

  // The data channels.
  int32_t DVB_SetDRVData(void* data, uint32_t length, uint32_t* bytesReturned);
  int32_t DVB_GetDRVData(void* data, uint32_t length, uint32_t* bytesReturned);
  int32_t DVB_SetDEVData(void* data, uint32_t length, uint32_t* bytesReturned);
  int32_t DVB_GetDEVData(void* data, uint32_t length, uint32_t* bytesReturned);

  // The locked write-then-read exchange: the command on the channel's set routine, then, only
  // if that was accepted, the reply through its get routine. Returns the last step's result.
  // silenceFailures clears g_bShowChannelFailure before the lock is taken and sets it again
  // before the lock is released (the raw-code read polls and expects to fail quietly).
  int32_t ChannelRead(uint32_t channel, void* command, uint32_t commandLength, void* reply,
                      uint32_t replyLength, bool silenceFailures = false);
  // The unlocked single-step channel write on the device channel.
  int32_t ChannelWrite(void* command, uint32_t commandLength);

  // Registers, EEPROM and bulk data (RegisterOperations.cpp). The register methods answer false
  // and the EEPROM methods 0 on a device without a property interface, sending nothing.
  bool PellorWriteReg(uint16_t wAddress, uint8_t byValue);
  bool PellorReadReg(uint16_t wAddress, uint8_t* pbyValue);
  int32_t PellorWriteEEPROM(uint8_t byAddress, uint8_t byValue);
  int32_t PellorReadEEPROM(uint8_t byAddress, uint8_t* pbyValue);
  bool WriteBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);
  bool ReadBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);
  bool WriteBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);
  bool ReadBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned);

  // Tuning, stream and status (TuningOperations.cpp).
  bool SetPidFilter(uint32_t dwOn);
  bool SetBandWidth(uint32_t dwBandWidth);
  bool GetBandWidth(uint32_t* pdwBandWidth);
  bool GetTamoDrvInfo(uint8_t* pbyInfo12);
  bool GetDeviceInfo(uint8_t* pbyInfo6);
  bool GetTsData(uint8_t* pbyData, uint32_t dwLength);
  bool SetActiveFilter(uint32_t dwFilter);
  bool GetOvlCnt(uint16_t* pwCount);
  bool SetFreq(uint32_t dwFrequency);
  bool GetFreq(uint32_t* pdwFrequency);
  bool ResetUsb(uint32_t dwValue);
  bool GetVitBER(uint8_t* pbyCounters12);
  bool SetRecLen(uint32_t dwLength);
  bool GetRecLen(uint32_t* pdwLength);
  bool GetSignalStrength(uint8_t* pbyStrength);
  bool GetMacroVision(uint32_t* pdwValue);
  bool SetPidMap(int32_t count, const uint16_t* pwPids);

  // Remote control (RemoteOperations.cpp). LoadIrTable writes to receiver 0 whichever device
  // it is called on.
  int32_t DVB_PellorGetIR(uint8_t* pData);
  bool LoadIrTable();

 private:
  int32_t ChannelRoutine(uint32_t channel, uint32_t flags, void* data, uint32_t length,
                         uint32_t* bytesReturned);
};

}  // namespace korvan
