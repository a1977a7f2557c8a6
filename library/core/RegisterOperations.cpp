// Raw access to the receiver's chip: its register space and configuration EEPROM through the
// control property set, the bulk data path, and the demodulator, link and slave registers and
// the I2C bus behind it through the device channel.
#include <cstring>

#include "ChannelCommand.h"
#include "Connection.h"
#include "Korvan.h"
#include "Trace.h"

namespace korvan {

namespace {

// Control property ids of this family.
constexpr uint32_t kIdBulkData = 0;
constexpr uint32_t kIdBulkDataNb = 1;
constexpr uint32_t kIdRegister = 10;
constexpr uint32_t kIdEEPROM = 13;

constexpr int32_t kStatusOk = 0;
constexpr int32_t kStatusFailed = 1;

// The write command is built in a record of this size: 10 bytes of head, the data, and two
// trailing bytes the driver expects behind it.
constexpr size_t kI2CRecordSize = 512;
constexpr uint32_t kI2CWriteOverhead = 12;
constexpr uint32_t kI2CMaxWriteLength = kI2CRecordSize - kI2CWriteOverhead;

bool Bulk(ReceiverDevice& device, uint32_t id, uint32_t flags, uint8_t* pbyData, uint32_t dwLength,
          uint32_t* pdwReturned) {
  DriverRequest request = MakeRequest(PROPSET_CONTROL, id, flags);
  return Succeeded(device.SendRequest(request, RequestForm::Short, pbyData, dwLength, pdwReturned));
}

// Register reads of the device channel: code, 32-bit address, 4 bytes of reply.
int32_t ReadChannelRegister(ReceiverDevice& device, uint32_t code, uint32_t dwAddress, uint8_t* pbyReply) {
  ChannelCommand<12> command(code);
  command.PutWord(4, dwAddress);
  return device.ChannelRead(CHANNEL_ID_DEV, command.abyData, sizeof command.abyData, pbyReply, 4);
}

int32_t WriteChannelRegister(ReceiverDevice& device, uint32_t code, uint32_t dwAddress, uint32_t dwValue) {
  ChannelCommand<12> command(code);
  command.PutWord(4, dwAddress);
  command.PutByte(8, dwValue);
  return device.ChannelWrite(command.abyData, sizeof command.abyData);
}

}  // namespace

bool ReceiverDevice::PellorWriteReg(uint16_t wAddress, uint8_t byValue) {
  if (!m_pKsControl) return false;
  uint8_t abyData[3] = {static_cast<uint8_t>(wAddress), static_cast<uint8_t>(wAddress >> 8), byValue};
  if (Succeeded(Set(PROPSET_CONTROL, kIdRegister, abyData, sizeof abyData))) return true;
  Trace(u"<Brenlo> PellorWriteReg fail!");
  return false;
}

bool ReceiverDevice::PellorReadReg(uint16_t wAddress, uint8_t* pbyValue) {
  if (!m_pKsControl) return false;
  // Only the address's low byte travels; the driver answers in the same byte.
  uint8_t byData = static_cast<uint8_t>(wAddress);
  const bool ok = Succeeded(Get(PROPSET_CONTROL, kIdRegister, &byData, 1));
  *pbyValue = byData;
  if (!ok) Trace(u"<Brenlo> PellorReadReg fail!");
  return ok;
}

int32_t ReceiverDevice::PellorWriteEEPROM(uint8_t byAddress, uint8_t byValue) {
  if (!m_pKsControl) return kStatusOk;
  uint8_t abyData[2] = {byAddress, byValue};
  if (Succeeded(Set(PROPSET_CONTROL, kIdEEPROM, abyData, sizeof abyData))) return kStatusOk;
  Trace(u"<Brenlo> PellorWriteEEPROM fail!");
  return kStatusFailed;
}

int32_t ReceiverDevice::PellorReadEEPROM(uint8_t byAddress, uint8_t* pbyValue) {
  Trace(u"<Korvan> PellorReadEEPROM");
  if (!m_pKsControl) return kStatusOk;
  // The one-byte set selects the address; the get that follows reads it. Callers of other
  // threads can come between the two: the EEPROM read is not locked.
  uint8_t byAddressData = byAddress;
  HResult hr = Set(PROPSET_CONTROL, kIdEEPROM, &byAddressData, 1);
  if (!Succeeded(hr)) {
    TraceFormat(u"<Korvan> PellorWriteEEPROM fail! 0x%X", static_cast<uint32_t>(hr));
    return kStatusFailed;
  }
  if (!Succeeded(Get(PROPSET_CONTROL, kIdEEPROM, pbyValue, 1))) {
    Trace(u"<Korvan> PellorReadEEPROM fail!");
    return kStatusFailed;
  }
  return kStatusOk;
}

bool ReceiverDevice::WriteBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned) {
  return Bulk(*this, kIdBulkData, KSPROPERTY_TYPE_SET, pbyData, dwLength, pdwReturned);
}
bool ReceiverDevice::ReadBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned) {
  return Bulk(*this, kIdBulkData, KSPROPERTY_TYPE_GET, pbyData, dwLength, pdwReturned);
}
bool ReceiverDevice::WriteBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned) {
  return Bulk(*this, kIdBulkDataNb, KSPROPERTY_TYPE_SET, pbyData, dwLength, pdwReturned);
}
bool ReceiverDevice::ReadBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned) {
  return Bulk(*this, kIdBulkDataNb, KSPROPERTY_TYPE_GET, pbyData, dwLength, pdwReturned);
}

}  // namespace korvan

using korvan::ReceiverDevice;
using korvan::WithDevice;

extern "C" bool KORVAN_CALL TESK_WriteReg(uint16_t wAddress, uint8_t byValue, DeviceNumber n) {
  return WithDevice(n, false, [&](ReceiverDevice& d) { return d.PellorWriteReg(wAddress, byValue); });
}

extern "C" bool KORVAN_CALL TESK_ReadReg(uint16_t wAddress, uint8_t* pbyValue, DeviceNumber n) {
  return WithDevice(n, false, [&](ReceiverDevice& d) { return d.PellorReadReg(wAddress, pbyValue); });
}

extern "C" int32_t KORVAN_CALL TESK_WriteEEPROM(uint8_t byAddress, uint8_t byValue, DeviceNumber n) {
  return WithDevice(n, korvan::kStatusFailed,
                    [&](ReceiverDevice& d) { return d.PellorWriteEEPROM(byAddress, byValue); });
}

extern "C" int32_t KORVAN_CALL TESK_ReadEEPROM(uint8_t byAddress, uint8_t* pbyValue, DeviceNumber n) {
  return WithDevice(n, korvan::kStatusFailed,
                    [&](ReceiverDevice& d) { return d.PellorReadEEPROM(byAddress, pbyValue); });
}

extern "C" bool KORVAN_CALL TESK_WriteBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned,
                                               DeviceNumber n) {
  return WithDevice(n, false, [&](ReceiverDevice& d) { return d.WriteBulkData(pbyData, dwLength, pdwReturned); });
}

extern "C" bool KORVAN_CALL TESK_ReadBulkData(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned,
                                              DeviceNumber n) {
  return WithDevice(n, false, [&](ReceiverDevice& d) { return d.ReadBulkData(pbyData, dwLength, pdwReturned); });
}

extern "C" bool KORVAN_CALL TESK_WriteBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned,
                                                 DeviceNumber n) {
  return WithDevice(n, false,
                    [&](ReceiverDevice& d) { return d.WriteBulkDataNb(pbyData, dwLength, pdwReturned); });
}

extern "C" bool KORVAN_CALL TESK_ReadBulkDataNb(uint8_t* pbyData, uint32_t dwLength, uint32_t* pdwReturned,
                                                DeviceNumber n) {
  return WithDevice(n, false,
                    [&](ReceiverDevice& d) { return d.ReadBulkDataNb(pbyData, dwLength, pdwReturned); });
}

extern "C" int32_t KORVAN_CALL TESK_ReadOFDMReg(uint32_t dwAddress, uint8_t* pbyReply, DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) {
    return korvan::ReadChannelRegister(d, korvan::kCmdReadOFDMReg, dwAddress, pbyReply);
  });
}

extern "C" int32_t KORVAN_CALL TESK_WriteOFDMReg(uint32_t dwAddress, uint32_t dwValue, DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) {
    return korvan::WriteChannelRegister(d, korvan::kCmdWriteOFDMReg, dwAddress, dwValue);
  });
}

extern "C" int32_t KORVAN_CALL TESK_ReadLinkReg(uint32_t dwAddress, uint8_t* pbyReply, DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) {
    return korvan::ReadChannelRegister(d, korvan::kCmdReadLinkReg, dwAddress, pbyReply);
  });
}

extern "C" int32_t KORVAN_CALL TESK_WriteLinkReg(uint32_t dwAddress, uint32_t dwValue, DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) {
    return korvan::WriteChannelRegister(d, korvan::kCmdWriteLinkReg, dwAddress, dwValue);
  });
}

extern "C" int32_t KORVAN_CALL TESK_ReadSlaveReg(uint32_t dwSlave, uint32_t dwAddress, uint8_t* pbyReply,
                                                 DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) {
    korvan::ChannelCommand<16> command(korvan::kCmdReadSlaveReg);
    command.PutByte(4, dwSlave);
    command.PutWord(8, dwAddress);
    return d.ChannelRead(korvan::CHANNEL_ID_DEV, command.abyData, sizeof command.abyData, pbyReply, 4);
  });
}

extern "C" int32_t KORVAN_CALL TESK_WriteSlaveReg(uint32_t dwSlave, uint32_t dwAddress, uint32_t dwValue,
                                                  DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) {
    korvan::ChannelCommand<16> command(korvan::kCmdWriteSlaveReg);
    command.PutByte(4, dwSlave);
    command.PutWord(8, dwAddress);
    command.PutByte(12, dwValue);
    return d.ChannelWrite(command.abyData, sizeof command.abyData);
  });
}

extern "C" int32_t KORVAN_CALL TESK_ReadI2CData(uint8_t* pbyData, uint32_t dwLength, DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) {
    korvan::ChannelCommand<12> command(korvan::kCmdReadI2CData);
    command.PutWord(4, dwLength);
    return d.ChannelRead(korvan::CHANNEL_ID_DEV, command.abyData, sizeof command.abyData, pbyData, dwLength);
  });
}

extern "C" int32_t KORVAN_CALL TESK_WriteI2CData(uint8_t byArg1, uint8_t byArg2, const uint8_t* pbyData,
                                                 uint32_t dwLength, DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) -> int32_t {
    // The record has room for 500 data bytes; a longer write would run past it.
    if (dwLength > korvan::kI2CMaxWriteLength) return korvan::CHANNEL_FAILED;
    korvan::ChannelCommand<korvan::kI2CRecordSize> command(korvan::kCmdWriteI2CData);
    command.PutWord(4, dwLength);
    command.PutByte(8, byArg1);
    command.PutByte(9, byArg2);
    if (dwLength) std::memcpy(command.abyData + 10, pbyData, dwLength);
    return d.ChannelWrite(command.abyData, dwLength + korvan::kI2CWriteOverhead);
  });
}
