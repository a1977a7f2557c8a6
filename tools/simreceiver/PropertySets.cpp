#include "PropertySets.h"

#include <cctype>
#include <cstring>
#include <initializer_list>

namespace sim {
namespace {

// {c6efe5eb-855a-4f1b-b7aa-87b5e1dc4113}
constexpr uint8_t kControlGuid[16] = {0xeb, 0xe5, 0xef, 0xc6, 0x5a, 0x85, 0x1b, 0x4f,
                                      0xb7, 0xaa, 0x87, 0xb5, 0xe1, 0xdc, 0x41, 0x13};
// {d0a67d65-08df-4fec-8533-e5b550410b85}, the BDA PID-filter set
constexpr uint8_t kPidMapGuid[16] = {0x65, 0x7d, 0xa6, 0xd0, 0xdf, 0x08, 0xec, 0x4f,
                                     0x85, 0x33, 0xe5, 0xb5, 0x50, 0x41, 0x0b, 0x85};
// {f23fac2d-e1af-48e0-8bbe-a14029c92f11}
constexpr uint8_t kChannelGuid[16] = {0x2d, 0xac, 0x3f, 0xf2, 0xaf, 0xe1, 0xe0, 0x48,
                                      0x8b, 0xbe, 0xa1, 0x40, 0x29, 0xc9, 0x2f, 0x11};

}  // namespace

PropertySet IdentifySet(const uint8_t* guidBytes) {
  if (std::memcmp(guidBytes, kControlGuid, 16) == 0) return PropertySet::Control;
  if (std::memcmp(guidBytes, kPidMapGuid, 16) == 0) return PropertySet::PidMap;
  if (std::memcmp(guidBytes, kChannelGuid, 16) == 0) return PropertySet::Channel;
  return PropertySet::Unknown;
}

uint32_t ControlValueSize(uint32_t id) {
  switch (id) {
    case 2: return 4;    // PID filter switch
    case 3: return 4;    // bandwidth
    case 4: return 12;   // driver information record
    case 5: return 6;    // device information record
    case 7: return 2;    // overflow count
    case 8: return 4;    // frequency
    case 9: return 4;    // USB reset value
    case 11: return 12;  // Viterbi error counters
    case 12: return 4;   // record length
    case 15: return 1;   // signal strength
    case 16: return 4;   // MacroVision value
    default: return 0;
  }
}

const char* SetName(PropertySet set) {
  switch (set) {
    case PropertySet::Control: return "CONTROL";
    case PropertySet::PidMap: return "PIDMAP";
    case PropertySet::Channel: return "CHANNEL";
    case PropertySet::Unknown: break;
  }
  return "UNKNOWN";
}

namespace {

bool SameIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
      return false;
  }
  return *a == *b;
}

}  // namespace

bool ParseSetName(const char* text, PropertySet* set) {
  for (PropertySet candidate : {PropertySet::Control, PropertySet::PidMap, PropertySet::Channel}) {
    if (SameIgnoringCase(text, SetName(candidate))) {
      *set = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace sim
