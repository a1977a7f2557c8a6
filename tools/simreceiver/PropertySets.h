#pragma once
// The three property sets a receiver driver answers, identified by the GUID bytes of a request
// header (standard GUID memory layout: Data1..Data3 little-endian, then the eight Data4 bytes).
#include <cstdint>

namespace sim {

enum class PropertySet { Control, PidMap, Channel, Unknown };

// KSPROPERTY flags the driver acts on; every other combination is refused.
constexpr uint32_t kFlagGet = 1;
constexpr uint32_t kFlagSet = 2;

// Size of a kernel-streaming property header: set GUID, id, flags.
constexpr uint32_t kPropertyHeaderSize = 24;

// Ids of the channel set.
constexpr uint32_t kChannelDrv = 0;
constexpr uint32_t kChannelDev = 1;

PropertySet IdentifySet(const uint8_t* guidBytes);

// Size of the value a fixed-size control id stores and answers; 0 for the ids that have their
// own rules (bulk 0 and 1, stream 6, registers 10, EEPROM 13, reports 14) and for unknown ids.
uint32_t ControlValueSize(uint32_t id);

// Name used in the request log and in scenario files: CONTROL, PIDMAP, CHANNEL.
const char* SetName(PropertySet set);

// Reads a set name as written in a scenario file (case-insensitive).
bool ParseSetName(const char* text, PropertySet* set);

}  // namespace sim
