#pragma once
// What one simulated receiver is: its chip, its preloaded memories, the remote codes and
// keyboard reports it will deliver, and the failures it answers. Read from a scenario file
// (format in README.md).
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "PropertySets.h"

namespace sim {

// A remote code or keyboard report that becomes readable atMs after the device started and
// answers that many reads before the next one is due.
struct TimedItem {
  uint64_t atMs = 0;
  std::vector<uint8_t> bytes;
  uint32_t repeat = 1;
};

enum class Direction { Get, Set, Any };

// "This (set, id, direction) answers this HRESULT", optionally narrowed to one channel
// command, to requests from a point in time on, and to the first N matching requests.
struct FailureRule {
  PropertySet set = PropertySet::Control;
  uint32_t id = 0;
  Direction direction = Direction::Any;
  uint32_t hresult = 0;
  bool hasCommand = false;
  uint32_t command = 0;
  uint64_t afterMs = 0;
  uint32_t times = 0;  // 0: no limit
};

struct Scenario {
  uint16_t chipId = 0x9135;
  // Driver-information reply of the DRV channel; bytes 2 and 3 are replaced by chipId.
  std::array<uint8_t, 20> driverInfo = {0x01, 0x00, 0x00, 0x00,  // record version
                                        0x04, 0x03, 0x02, 0x01,  // firmware 1.2.3.4
                                        0x30, 0x07, 0x10, 0x20,  // driver date 2010-07-30
                                        0x01, 0x00, 0x0b, 0x00,  // link firmware 11.0.1
                                        0x02,                    // tuner type
                                        0x00, 0x00, 0x00};
  // High byte of the register a one-byte register read reaches until the first register write.
  uint8_t registerPage = 0;
  std::map<uint16_t, uint8_t> registers;
  std::array<uint8_t, 256> eeprom{};
  std::map<uint32_t, uint8_t> ofdm;
  std::map<uint32_t, uint8_t> link;
  std::map<std::pair<uint8_t, uint32_t>, uint8_t> slave;
  std::vector<uint8_t> i2c;
  // Preloaded answers of control ids (bulk ids 0 and 1, id 6 = the transport stream pattern).
  std::map<uint32_t, std::vector<uint8_t>> control;
  std::vector<TimedItem> codes;
  std::vector<TimedItem> reports;
  std::vector<FailureRule> failures;
  bool offersKsControl = true;
  uint32_t loadResult = 0;  // HRESULT of IPersistPropertyBag::Load, i.e. of the bind
};

struct ParsedScenario {
  Scenario scenario;
  std::vector<std::string> errors;  // "line N: what is wrong"
};

ParsedScenario ParseScenario(const std::string& text);

}  // namespace sim
