#include "ReceiverModel.h"

#include <algorithm>
#include <cstring>

namespace sim {
namespace {

constexpr uint32_t kControlIdCount = 17;
constexpr uint32_t kTransportPacketSize = 188;
// Largest bulk transfer the device keeps for reading back.
constexpr uint32_t kBulkCapacity = 1u << 20;

// Device-channel command codes.
enum : uint32_t {
  kReadOfdm = 0,
  kWriteOfdm = 1,
  kReadLink = 2,
  kWriteLink = 3,
  kPower = 4,
  kReadSlave = 5,
  kWriteSlave = 6,
  kReadRawCode = 7,
  kReadI2c = 100,
  kWriteI2c = 101,
  kSaveIso = 102,
};
constexpr uint32_t kDriverInformation = 1;  // DRV channel
constexpr uint32_t kDriverInformationSize = 20;

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutLe32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> Le32Bytes(uint32_t value) {
  std::vector<uint8_t> bytes(4);
  PutLe32(bytes.data(), value);
  return bytes;
}

Answer Fail(uint32_t hresult) { return Answer{hresult, 0}; }

Answer Reply(uint8_t* data, const uint8_t* bytes, uint32_t size) {
  if (size != 0) std::memcpy(data, bytes, size);
  return Answer{kResultOk, size};
}

uint8_t Lookup(const std::map<uint32_t, uint8_t>& space, uint32_t address) {
  auto it = space.find(address);
  return it == space.end() ? 0 : it->second;
}

// Bytes a channel command takes, by command code; 0 for an unknown code.
uint32_t DevCommandLength(uint32_t code, const uint8_t* data, uint32_t length) {
  switch (code) {
    case kReadOfdm:
    case kWriteOfdm:
    case kReadLink:
    case kWriteLink:
    case kPower:
    case kReadRawCode:
    case kReadI2c:
      return 12;
    case kReadSlave:
    case kWriteSlave:
      return 16;
    case kSaveIso:
      return 8;
    case kWriteI2c:
      // The head of 10 bytes and 2 trailing bytes surround the data.
      return length >= 12 ? 12 + Le32(data + 4) : 12;
    default:
      return 0;
  }
}

std::vector<uint8_t> NullPacket() {
  std::vector<uint8_t> packet(kTransportPacketSize, 0xFF);
  packet[0] = 0x47;  // sync byte
  packet[1] = 0x1F;  // PID 0x1FFF
  packet[2] = 0xFF;
  packet[3] = 0x10;  // payload only, counter 0
  return packet;
}

}  // namespace

bool ReceiverModel::TimedQueue::Take(uint64_t nowMs, std::vector<uint8_t>* bytes) {
  if (next >= items.size() || nowMs < items[next].atMs) return false;
  if (readsLeft == 0) readsLeft = items[next].repeat;
  *bytes = items[next].bytes;
  if (--readsLeft == 0) ++next;
  return true;
}

ReceiverModel::ReceiverModel(const Scenario& scenario)
    : scenario_(scenario),
      failureUses_(scenario.failures.size(), 0),
      registerPage_(scenario.registerPage),
      values_(kControlIdCount) {
  values_[2] = Le32Bytes(0);
  values_[3] = Le32Bytes(8000);
  values_[4] = {0x30, 0x07, 0x10, 0x20, 0x04, 0x03, 0x02, 0x01};
  for (uint8_t byte : Le32Bytes(scenario.chipId)) values_[4].push_back(byte);
  values_[5] = {0x00, 0x00, 0x01, 0x00, 0x00, 0x02};  // vendor 0x0000, product 0x0001, USB 2.0
  values_[7] = {0x00, 0x00};
  values_[8] = Le32Bytes(474000);
  values_[9] = Le32Bytes(0);
  values_[11] = std::vector<uint8_t>(12, 0);
  values_[12] = Le32Bytes(kTransportPacketSize * 256);
  values_[15] = {0x50};
  values_[16] = Le32Bytes(0);
  activeFilter_ = Le32Bytes(0);
  streamPattern_ = NullPacket();
  for (const auto& [id, bytes] : scenario.control) {
    if (id == 0 || id == 1) bulk_[id] = bytes;
    else if (id == 6) streamPattern_ = bytes;
    else values_[id] = bytes;
  }
  codes_.items = scenario.codes;
  reports_.items = scenario.reports;
}

Answer ReceiverModel::Handle(PropertySet set, uint32_t id, uint32_t flags, uint8_t* data,
                             uint32_t length, uint64_t nowMs) {
  if (set == PropertySet::Unknown) return Fail(kResultSetNotFound);
  if (flags != kFlagGet && flags != kFlagSet) return Fail(kResultNotSupported);
  if (data == nullptr && length != 0) return Fail(kResultPointer);
  uint32_t injected;
  if (Injected(set, id, flags, data, length, nowMs, &injected)) return Fail(injected);
  bool get = flags == kFlagGet;
  switch (set) {
    case PropertySet::Control: return HandleControl(id, get, data, length, nowMs);
    case PropertySet::PidMap: return HandlePidMap(id, get, data, length);
    case PropertySet::Channel:
      if (id != kChannelDrv && id != kChannelDev) return Fail(kResultIdNotFound);
      return get ? HandleChannelGet(id, data, length, nowMs) : HandleChannelSet(id, data, length);
    case PropertySet::Unknown: break;
  }
  return Fail(kResultSetNotFound);
}

bool ReceiverModel::Injected(PropertySet set, uint32_t id, uint32_t flags, const uint8_t* data,
                             uint32_t length, uint64_t nowMs, uint32_t* hresult) {
  for (size_t i = 0; i < scenario_.failures.size(); ++i) {
    const FailureRule& rule = scenario_.failures[i];
    if (rule.set != set || rule.id != id || nowMs < rule.afterMs) continue;
    if (rule.direction == Direction::Get && flags != kFlagGet) continue;
    if (rule.direction == Direction::Set && flags != kFlagSet) continue;
    if (rule.times != 0 && failureUses_[i] >= rule.times) continue;
    if (rule.hasCommand) {
      // The command of a set is in its data; a get answers the command its channel holds.
      bool known;
      uint32_t command;
      if (flags == kFlagSet) {
        known = length >= 4;
        command = known ? Le32(data) : 0;
      } else {
        const PendingCommand& pending = pending_[id == kChannelDev ? 1 : 0];
        known = id <= kChannelDev && pending.valid;
        command = pending.code;
      }
      if (!known || command != rule.command) continue;
    }
    ++failureUses_[i];
    *hresult = rule.hresult;
    return true;
  }
  return false;
}

Answer ReceiverModel::HandleControl(uint32_t id, bool get, uint8_t* data, uint32_t length,
                                    uint64_t nowMs) {
  switch (id) {
    case 0:
    case 1:
      return Bulk(id, get, data, length);
    case 6:
      if (get) return Stream(data, length);
      if (length != 4) return Fail(kResultInvalidArgument);
      activeFilter_.assign(data, data + 4);
      return Answer{kResultOk, 0};
    case 10:
      return get ? ReadRegister(data, length) : WriteRegister(data, length);
    case 13:
      return Eeprom(get, data, length);
    case 14: {
      if (!get) return Fail(kResultNotSupported);
      if (length < 8) return Fail(kResultBufferTooSmall);
      std::vector<uint8_t> report;
      if (!reports_.Take(nowMs, &report)) return Fail(kResultNoData);
      return Reply(data, report.data(), 8);
    }
    default:
      if (id >= kControlIdCount) return Fail(kResultIdNotFound);
      return StoredValue(id, get, data, length);
  }
}

Answer ReceiverModel::StoredValue(uint32_t id, bool get, uint8_t* data, uint32_t length) {
  std::vector<uint8_t>& value = values_[id];
  if (get) {
    if (length < value.size()) return Fail(kResultBufferTooSmall);
    return Reply(data, value.data(), static_cast<uint32_t>(value.size()));
  }
  if (length != value.size()) return Fail(kResultInvalidArgument);
  value.assign(data, data + length);
  return Answer{kResultOk, 0};
}

Answer ReceiverModel::ReadRegister(uint8_t* data, uint32_t length) {
  if (length < 1) return Fail(kResultBufferTooSmall);
  // Only the low address byte travels with a read; the page is the one last written to.
  uint16_t address = static_cast<uint16_t>((registerPage_ << 8) | data[0]);
  auto it = scenario_.registers.find(address);
  data[0] = it == scenario_.registers.end() ? 0 : it->second;
  return Answer{kResultOk, 1};
}

Answer ReceiverModel::WriteRegister(const uint8_t* data, uint32_t length) {
  if (length != 3) return Fail(kResultInvalidArgument);
  uint16_t address = static_cast<uint16_t>(data[0] | (data[1] << 8));
  scenario_.registers[address] = data[2];
  registerPage_ = data[1];
  return Answer{kResultOk, 0};
}

Answer ReceiverModel::Eeprom(bool get, uint8_t* data, uint32_t length) {
  if (get) {
    if (length < 1) return Fail(kResultBufferTooSmall);
    data[0] = scenario_.eeprom[eepromAddress_];
    return Answer{kResultOk, 1};
  }
  if (length == 1) {
    eepromAddress_ = data[0];
  } else if (length == 2) {
    eepromAddress_ = data[0];
    scenario_.eeprom[data[0]] = data[1];
  } else {
    return Fail(kResultInvalidArgument);
  }
  return Answer{kResultOk, 0};
}

Answer ReceiverModel::Bulk(uint32_t id, bool get, uint8_t* data, uint32_t length) {
  std::vector<uint8_t>& stored = bulk_[id];
  if (get) {
    uint32_t size = std::min<uint32_t>(length, static_cast<uint32_t>(stored.size()));
    return Reply(data, stored.data(), size);
  }
  stored.assign(data, data + std::min(length, kBulkCapacity));
  return Answer{kResultOk, length};
}

Answer ReceiverModel::Stream(uint8_t* data, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i)
    data[i] = streamPattern_[(streamPosition_ + i) % streamPattern_.size()];
  streamPosition_ = (streamPosition_ + length) % streamPattern_.size();
  return Answer{kResultOk, length};
}

Answer ReceiverModel::HandlePidMap(uint32_t id, bool get, uint8_t* data, uint32_t length) {
  if (id != 0) return Fail(kResultIdNotFound);
  if (get) {
    if (pidMap_.empty()) pidMap_.assign(8, 0);
    if (length < pidMap_.size()) return Fail(kResultBufferTooSmall);
    return Reply(data, pidMap_.data(), static_cast<uint32_t>(pidMap_.size()));
  }
  if (length < 8 || (length - 8) / 4 != Le32(data + 4) || (length - 8) % 4 != 0)
    return Fail(kResultInvalidArgument);
  pidMap_.assign(data, data + length);
  return Answer{kResultOk, 0};
}

Answer ReceiverModel::HandleChannelSet(uint32_t id, const uint8_t* data, uint32_t length) {
  if (length < 4) return Fail(kResultInvalidArgument);
  uint32_t code = Le32(data);
  if (id == kChannelDrv) {
    if (code != kDriverInformation || length != 12) return Fail(kResultInvalidArgument);
  } else {
    uint32_t expected = DevCommandLength(code, data, length);
    if (expected == 0 || length != expected) return Fail(kResultInvalidArgument);
    switch (code) {
      case kWriteOfdm: scenario_.ofdm[Le32(data + 4)] = data[8]; break;
      case kWriteLink: scenario_.link[Le32(data + 4)] = data[8]; break;
      case kWriteSlave: scenario_.slave[{data[4], Le32(data + 8)}] = data[12]; break;
      case kPower: power_ = Le32(data + 4); break;
      case kWriteI2c: scenario_.i2c.assign(data + 10, data + 10 + Le32(data + 4)); break;
      case kSaveIso: isoValue_ = data[4]; break;
      default: break;
    }
  }
  PendingCommand& pending = pending_[id];
  pending.valid = true;
  pending.code = code;
  pending.bytes.assign(data, data + length);
  return Answer{kResultOk, 0};
}

Answer ReceiverModel::HandleChannelGet(uint32_t id, uint8_t* data, uint32_t length, uint64_t nowMs) {
  const PendingCommand& pending = pending_[id];
  if (!pending.valid) return Fail(kResultNotReady);
  const uint8_t* command = pending.bytes.data();
  if (id == kChannelDrv) {
    if (length < kDriverInformationSize) return Fail(kResultBufferTooSmall);
    uint8_t reply[kDriverInformationSize];
    std::copy(scenario_.driverInfo.begin(), scenario_.driverInfo.end(), reply);
    reply[2] = static_cast<uint8_t>(scenario_.chipId);
    reply[3] = static_cast<uint8_t>(scenario_.chipId >> 8);
    return Reply(data, reply, kDriverInformationSize);
  }
  uint8_t reply[4] = {0, 0, 0, 0};
  switch (pending.code) {
    case kReadOfdm:
    case kReadLink:
    case kReadSlave:
      if (length < 4) return Fail(kResultBufferTooSmall);
      if (pending.code == kReadOfdm) reply[0] = Lookup(scenario_.ofdm, Le32(command + 4));
      else if (pending.code == kReadLink) reply[0] = Lookup(scenario_.link, Le32(command + 4));
      else {
        auto it = scenario_.slave.find({command[4], Le32(command + 8)});
        reply[0] = it == scenario_.slave.end() ? 0 : it->second;
      }
      return Reply(data, reply, 4);
    case kReadRawCode: {
      if (length < 4) return Fail(kResultBufferTooSmall);
      std::vector<uint8_t> code;
      if (!codes_.Take(nowMs, &code)) return Fail(kResultNoData);
      return Reply(data, code.data(), 4);
    }
    case kReadI2c: {
      uint32_t count = Le32(command + 4);
      if (length < count) return Fail(kResultBufferTooSmall);
      for (uint32_t i = 0; i < count; ++i) data[i] = i < scenario_.i2c.size() ? scenario_.i2c[i] : 0;
      return Answer{kResultOk, count};
    }
    default:
      return Fail(kResultNotReady);
  }
}

}  // namespace sim
