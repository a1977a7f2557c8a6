#pragma once
// The simulated receiver itself: the answers a receiver driver gives to the property requests
// of the control, PID-map and channel sets. Not thread-safe; the COM side serialises calls.
#include <cstdint>
#include <vector>

#include "PropertySets.h"
#include "Scenario.h"

namespace sim {

// Results the driver answers with besides the scenario's injected ones.
constexpr uint32_t kResultOk = 0;
constexpr uint32_t kResultPointer = 0x80004003;         // E_POINTER: no data buffer
constexpr uint32_t kResultNoData = 0x8007001F;          // ERROR_GEN_FAILURE: code or report queue empty
constexpr uint32_t kResultNotReady = 0x80070015;        // ERROR_NOT_READY: channel read without a read command
constexpr uint32_t kResultNotSupported = 0x80070032;    // ERROR_NOT_SUPPORTED: flags or direction refused
constexpr uint32_t kResultInvalidArgument = 0x80070057; // E_INVALIDARG: wrong length or unknown command
constexpr uint32_t kResultBufferTooSmall = 0x8007007A;  // ERROR_INSUFFICIENT_BUFFER
constexpr uint32_t kResultIdNotFound = 0x80070490;      // ERROR_NOT_FOUND: unknown property id
constexpr uint32_t kResultSetNotFound = 0x80070492;     // ERROR_SET_NOT_FOUND: unknown property set

struct Answer {
  uint32_t hresult = kResultOk;
  uint32_t bytesReturned = 0;
};

class ReceiverModel {
 public:
  explicit ReceiverModel(const Scenario& scenario);

  // One KsProperty request. data is the caller's buffer of length bytes: read for a set,
  // read and then overwritten for a get. nowMs counts from the device's start.
  Answer Handle(PropertySet set, uint32_t id, uint32_t flags, uint8_t* data, uint32_t length,
                uint64_t nowMs);

  bool OffersKsControl() const { return scenario_.offersKsControl; }
  uint32_t LoadResult() const { return scenario_.loadResult; }

 private:
  struct PendingCommand {
    bool valid = false;
    uint32_t code = 0;
    std::vector<uint8_t> bytes;
  };

  // A queue of timed items delivered in order, each on as many reads as it repeats.
  struct TimedQueue {
    std::vector<TimedItem> items;
    size_t next = 0;
    uint32_t readsLeft = 0;
    bool Take(uint64_t nowMs, std::vector<uint8_t>* bytes);
  };

  bool Injected(PropertySet set, uint32_t id, uint32_t flags, const uint8_t* data, uint32_t length,
                uint64_t nowMs, uint32_t* hresult);
  Answer HandleControl(uint32_t id, bool get, uint8_t* data, uint32_t length, uint64_t nowMs);
  Answer HandlePidMap(uint32_t id, bool get, uint8_t* data, uint32_t length);
  Answer HandleChannelSet(uint32_t id, const uint8_t* data, uint32_t length);
  Answer HandleChannelGet(uint32_t id, uint8_t* data, uint32_t length, uint64_t nowMs);
  Answer ReadRegister(uint8_t* data, uint32_t length);
  Answer WriteRegister(const uint8_t* data, uint32_t length);
  Answer Eeprom(bool get, uint8_t* data, uint32_t length);
  Answer Bulk(uint32_t id, bool get, uint8_t* data, uint32_t length);
  Answer Stream(uint8_t* data, uint32_t length);
  Answer StoredValue(uint32_t id, bool get, uint8_t* data, uint32_t length);

  Scenario scenario_;
  std::vector<uint32_t> failureUses_;  // per rule of scenario_.failures
  uint8_t registerPage_;
  uint8_t eepromAddress_ = 0;
  std::vector<uint8_t> bulk_[2];
  std::vector<uint8_t> streamPattern_;
  uint64_t streamPosition_ = 0;
  std::vector<uint8_t> activeFilter_;
  std::vector<std::vector<uint8_t>> values_;  // fixed-size control values by id
  std::vector<uint8_t> pidMap_;
  PendingCommand pending_[2];  // DRV and DEV channel
  uint32_t power_ = 1;
  uint8_t isoValue_ = 0;
  TimedQueue codes_;
  TimedQueue reports_;
};

}  // namespace sim
