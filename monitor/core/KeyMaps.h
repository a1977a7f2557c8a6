#pragma once
// How the bytes of a KeyboardReport become keystrokes: one row per modifier bit of byte 0 and
// one per key usage code (keyboard usage page 0x07) that byte 2 may carry.
#include <cstdint>

namespace wendle {

struct KeyMapRow {
  uint16_t wVk;    // virtual-key code
  uint16_t wScan;  // scan code; 0: asked of the keyboard layout at run time
  bool bExtended;  // sent with KEYEVENTF_EXTENDEDKEY (only when wScan is not 0)
};

constexpr uint8_t FIRST_MAPPED_USAGE = 0x04;  // a and A
constexpr uint8_t LAST_MAPPED_USAGE = 0x63;   // Keypad .

// Indexed by modifier bit 0 (left Ctrl) to 7 (right Windows); also the order of the presses.
extern const KeyMapRow ModifierKeyMap[8];

// Indexed by usage code - FIRST_MAPPED_USAGE.
extern const KeyMapRow UsageKeyMap[LAST_MAPPED_USAGE - FIRST_MAPPED_USAGE + 1];

// The row of a usage code, or null outside FIRST_MAPPED_USAGE to LAST_MAPPED_USAGE.
const KeyMapRow* FindUsageKey(uint8_t usage);

}  // namespace wendle
