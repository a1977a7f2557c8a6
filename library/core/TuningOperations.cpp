// The tuner and transport-stream side of the receiver and its status values. The library passes
// every value through as the driver defines it: it neither scales nor checks frequencies,
// bandwidths, lengths or the records it hands back.
#include "ChannelCommand.h"
#include "Connection.h"
#include "Korvan.h"
#include "Trace.h"

namespace korvan {

namespace {

// One request of the control property set as the driver offers it. Some operations were built
// to test for a missing property interface first (and then fail without their failure trace);
// some write an entry trace before anything else.
struct ControlOperation {
  uint32_t id;
  bool testsControl;
  const char16_t* entryTrace;    // null: none
  const char16_t* failureTrace;  // null: none
};

constexpr ControlOperation kSetPidFilter = {2, false, nullptr, nullptr};
constexpr ControlOperation kSetBandWidth = {3, false, nullptr, nullptr};
constexpr ControlOperation kGetBandWidth = {3, false, nullptr, nullptr};
constexpr ControlOperation kGetTamoDrvInfo = {4, false, nullptr, nullptr};
constexpr ControlOperation kGetDeviceInfo = {5, false, nullptr, nullptr};
constexpr ControlOperation kGetTsData = {6, true, nullptr, u"<Brenlo> GetTsData fail"};
constexpr ControlOperation kSetActiveFilter = {6, true, nullptr, u"<Brenlo> SetActiveFilter fail!"};
constexpr ControlOperation kGetOvlCnt = {7, true, nullptr, u"GetOvlCnt fail\n"};
constexpr ControlOperation kSetFreq = {8, true, nullptr, u"<Brenlo> SetFreq fail!"};
constexpr ControlOperation kGetFreq = {8, false, nullptr, nullptr};
constexpr ControlOperation kResetUsb = {9, true, nullptr, u"<Brenlo> ResetUsb fail!"};
constexpr ControlOperation kGetVitBER = {11, true, u"enter GetVitBER\n", u"GetVitBER fail\n"};
constexpr ControlOperation kSetRecLen = {12, true, nullptr, u"<Brenlo> SetRecLen fail!"};
constexpr ControlOperation kGetRecLen = {12, true, u"<Brenlo> enter GetRecLen!", u"<Brenlo> GetRecLen fail!"};
constexpr ControlOperation kGetSignalStrength = {15, false, nullptr, nullptr};
constexpr ControlOperation kGetMacroVision = {16, false, u"<Brenlo> enter GetMacroVision", nullptr};

// The PID map goes to the published BDA PID-filter set.
constexpr uint32_t kIdPidMapPids = 0;  // KSPROPERTY_BDA_PIDFILTER_MAP_PIDS
constexpr uint32_t kMediaTransportPacket = 0;
constexpr int32_t kMaxPids = 32;

// The form a request takes: the single-value sets of the tuner use the node form with the
// value carried in the request's Reserved word.
enum class Shape { Get, Set, NodeSet };

bool Run(ReceiverDevice& device, const ControlOperation& op, Shape shape, void* data, uint32_t length) {
  if (op.entryTrace) Trace(op.entryTrace);
  if (op.testsControl && !device.m_pKsControl) return false;
  HResult hr;
  switch (shape) {
    case Shape::Get:
      hr = device.Get(PROPSET_CONTROL, op.id, data, length);
      break;
    case Shape::Set:
      hr = device.Set(PROPSET_CONTROL, op.id, data, length);
      break;
    default:
      hr = device.SetNodeValue(PROPSET_CONTROL, op.id, *static_cast<const uint32_t*>(data));
      break;
  }
  if (Succeeded(hr)) return true;
  if (op.failureTrace) Trace(op.failureTrace);
  return false;
}

bool ControlGet(ReceiverDevice& device, const ControlOperation& op, void* data, uint32_t length) {
  return Run(device, op, Shape::Get, data, length);
}
bool ControlSet(ReceiverDevice& device, const ControlOperation& op, uint32_t value) {
  return Run(device, op, Shape::Set, &value, sizeof value);
}
bool ControlNodeSet(ReceiverDevice& device, const ControlOperation& op, uint32_t value) {
  return Run(device, op, Shape::NodeSet, &value, sizeof value);
}

// The three figures of the bit error rate.
struct BerFigures {
  uint32_t abort;
  uint32_t errors;
  uint32_t bits;
};

BerFigures ComputeBer(const uint8_t (&r)[7]) {
  const uint32_t a = r[0] + 256u * r[1];
  const uint32_t e = r[2] + 256u * r[3] + 65536u * r[4];
  const uint32_t t = r[5] + 256u * r[6];
  if (t == 0) return {1000, 1, 2};
  if (t == a) return {a, 1, 2};
  // 204-byte packets of 8 bits each. The counts wrap like the chip's unsigned registers do.
  return {a, e - 64u * a, 1632u * (t - a)};
}

}  // namespace

bool ReceiverDevice::SetPidFilter(uint32_t dwOn) { return ControlNodeSet(*this, kSetPidFilter, dwOn & 0xFF); }
bool ReceiverDevice::SetBandWidth(uint32_t dwBandWidth) { return ControlNodeSet(*this, kSetBandWidth, dwBandWidth); }
bool ReceiverDevice::GetBandWidth(uint32_t* pdwBandWidth) { return ControlGet(*this, kGetBandWidth, pdwBandWidth, 4); }
bool ReceiverDevice::GetTamoDrvInfo(uint8_t* pbyInfo12) { return ControlGet(*this, kGetTamoDrvInfo, pbyInfo12, 12); }
bool ReceiverDevice::GetDeviceInfo(uint8_t* pbyInfo6) { return ControlGet(*this, kGetDeviceInfo, pbyInfo6, 6); }
bool ReceiverDevice::GetTsData(uint8_t* pbyData, uint32_t dwLength) {
  return ControlGet(*this, kGetTsData, pbyData, dwLength);
}
bool ReceiverDevice::SetActiveFilter(uint32_t dwFilter) { return ControlSet(*this, kSetActiveFilter, dwFilter); }
bool ReceiverDevice::GetOvlCnt(uint16_t* pwCount) { return ControlGet(*this, kGetOvlCnt, pwCount, 2); }
bool ReceiverDevice::SetFreq(uint32_t dwFrequency) { return ControlNodeSet(*this, kSetFreq, dwFrequency); }
bool ReceiverDevice::GetFreq(uint32_t* pdwFrequency) { return ControlGet(*this, kGetFreq, pdwFrequency, 4); }
bool ReceiverDevice::ResetUsb(uint32_t dwValue) { return ControlNodeSet(*this, kResetUsb, dwValue); }
bool ReceiverDevice::GetVitBER(uint8_t* pbyCounters12) { return ControlGet(*this, kGetVitBER, pbyCounters12, 12); }
bool ReceiverDevice::SetRecLen(uint32_t dwLength) { return ControlSet(*this, kSetRecLen, dwLength); }
bool ReceiverDevice::GetRecLen(uint32_t* pdwLength) { return ControlGet(*this, kGetRecLen, pdwLength, 4); }
bool ReceiverDevice::GetSignalStrength(uint8_t* pbyStrength) {
  return ControlGet(*this, kGetSignalStrength, pbyStrength, 1);
}
bool ReceiverDevice::GetMacroVision(uint32_t* pdwValue) { return ControlGet(*this, kGetMacroVision, pdwValue, 4); }

bool ReceiverDevice::SetPidMap(int32_t count, const uint16_t* pwPids) {
  if (count < 0 || count > kMaxPids) return false;
  // BDA_PID_MAP: content kind, count, then each PID widened to 32 bits.
  uint8_t abyMap[8 + 4 * kMaxPids] = {};
  auto put = [&](size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) abyMap[offset + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  put(0, kMediaTransportPacket);
  put(4, static_cast<uint32_t>(count));
  for (int32_t i = 0; i < count; ++i) put(8 + 4 * static_cast<size_t>(i), pwPids[i]);
  DriverRequest request = MakeRequest(PROPSET_PIDMAP, kIdPidMapPids, KSPROPERTY_TYPE_SET);
  return Succeeded(SendRequest(request, RequestForm::Node, abyMap, 8 + 4 * static_cast<uint32_t>(count)));
}

}  // namespace korvan

using korvan::ReceiverDevice;
using korvan::WithDevice;

#define KORVAN_FORWARD(call) WithDevice(n, false, [&](ReceiverDevice& d) { return d.call; })

extern "C" bool KORVAN_CALL TESK_SetPidFilter(uint32_t dwOn, DeviceNumber n) {
  return KORVAN_FORWARD(SetPidFilter(dwOn));
}
extern "C" bool KORVAN_CALL TESK_SetBandWidth(uint32_t dwBandWidth, DeviceNumber n) {
  return KORVAN_FORWARD(SetBandWidth(dwBandWidth));
}
extern "C" bool KORVAN_CALL TESK_GetBandWidth(uint32_t* pdwBandWidth, DeviceNumber n) {
  return KORVAN_FORWARD(GetBandWidth(pdwBandWidth));
}
extern "C" bool KORVAN_CALL TESK_GetTamoDrvInfo(uint8_t* pbyInfo12, DeviceNumber n) {
  return KORVAN_FORWARD(GetTamoDrvInfo(pbyInfo12));
}
extern "C" bool KORVAN_CALL TESK_GetDeviceInfo(uint8_t* pbyInfo6, DeviceNumber n) {
  return KORVAN_FORWARD(GetDeviceInfo(pbyInfo6));
}
extern "C" bool KORVAN_CALL TESK_GetTsData(uint8_t* pbyData, uint32_t dwLength, DeviceNumber n) {
  return KORVAN_FORWARD(GetTsData(pbyData, dwLength));
}
extern "C" bool KORVAN_CALL TESK_SetActiveFilter(uint32_t dwFilter, DeviceNumber n) {
  return KORVAN_FORWARD(SetActiveFilter(dwFilter));
}
extern "C" bool KORVAN_CALL TESK_GetOvlCnt(uint16_t* pwCount, DeviceNumber n) {
  return KORVAN_FORWARD(GetOvlCnt(pwCount));
}
extern "C" bool KORVAN_CALL TESK_SetFreq(uint32_t dwFrequency, DeviceNumber n) {
  return KORVAN_FORWARD(SetFreq(dwFrequency));
}
extern "C" bool KORVAN_CALL TESK_GetFreq(uint32_t* pdwFrequency, DeviceNumber n) {
  return KORVAN_FORWARD(GetFreq(pdwFrequency));
}
extern "C" bool KORVAN_CALL TESK_ResetUsb(uint32_t dwValue, DeviceNumber n) {
  return KORVAN_FORWARD(ResetUsb(dwValue));
}
extern "C" bool KORVAN_CALL TESK_GetVitBER(uint8_t* pbyCounters12, DeviceNumber n) {
  return KORVAN_FORWARD(GetVitBER(pbyCounters12));
}
extern "C" bool KORVAN_CALL TESK_SetRecLen(uint32_t dwLength, DeviceNumber n) {
  return KORVAN_FORWARD(SetRecLen(dwLength));
}
extern "C" bool KORVAN_CALL TESK_GetRecLen(uint32_t* pdwLength, DeviceNumber n) {
  return KORVAN_FORWARD(GetRecLen(pdwLength));
}
extern "C" bool KORVAN_CALL TESK_GetSignalStrength(uint8_t* pbyStrength, DeviceNumber n) {
  return KORVAN_FORWARD(GetSignalStrength(pbyStrength));
}
extern "C" bool KORVAN_CALL TESK_GetMacroVision(uint32_t* pdwValue, DeviceNumber n) {
  return KORVAN_FORWARD(GetMacroVision(pdwValue));
}
extern "C" bool KORVAN_CALL TESK_SetPidMap(int32_t count, const uint16_t* pwPids, DeviceNumber n) {
  return KORVAN_FORWARD(SetPidMap(count, pwPids));
}

#undef KORVAN_FORWARD

extern "C" bool KORVAN_CALL TESK_GetSnapShot(uint8_t* pbyValue, DeviceNumber n) {
  return TESK_ReadReg(0xD8DE, pbyValue, n);
}

extern "C" int32_t KORVAN_CALL TESK_GetDrvInfo(uint8_t* pbyInfo20, DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) {
    korvan::ChannelCommand<12> command(korvan::kCmdGetDrvInfo);
    return d.ChannelRead(korvan::CHANNEL_ID_DRV, command.abyData, sizeof command.abyData, pbyInfo20, 20);
  });
}

extern "C" int32_t KORVAN_CALL TESK_PowerCtl(uint32_t dwOn, DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) {
    korvan::ChannelCommand<12> command(korvan::kCmdPowerCtl);
    command.PutWord(4, (dwOn & 0xFF) != 0 ? 1 : 0);
    command.PutByte(8, 0);
    return d.ChannelWrite(command.abyData, sizeof command.abyData);
  });
}

extern "C" int32_t KORVAN_CALL TESK_SaveIso(uint8_t byValue, DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) {
    korvan::ChannelCommand<8> command(korvan::kCmdSaveIso);
    command.PutByte(4, byValue);
    return d.ChannelWrite(command.abyData, sizeof command.abyData);
  });
}

// The rate always comes from receiver 0, whatever number is given: the registers are read
// through the ruvo_ path, which addresses receiver 0.
extern "C" bool KORVAN_CALL TESK_GetBer(double* pRate, DeviceNumber) {
  return WithDevice(0, false, [&](ReceiverDevice&) {
    // Each reply is 4 bytes long and lands at r[i]; its last three bytes spill into the next
    // registers' places and are overwritten by the reads that follow.
    uint8_t abyRegs[7 + 3] = {};
    for (uint32_t i = 0; i < 7; ++i) ruvo_ReadOFDMReg(50 + i, &abyRegs[i]);
    uint8_t r[7];
    for (int i = 0; i < 7; ++i) r[i] = abyRegs[i];
    const korvan::BerFigures figures = korvan::ComputeBer(r);
    korvan::TraceFormat(u"<Brenlo> GetBer abort : %d\n", figures.abort);
    korvan::TraceFormat(u"<Brenlo> GetBer error count : %d\n", figures.errors);
    korvan::TraceFormat(u"<Brenlo> GetBer bit count : %d\n", figures.bits);
    *pRate = static_cast<double>(figures.errors) / static_cast<double>(figures.bits);
    return true;
  });
}
