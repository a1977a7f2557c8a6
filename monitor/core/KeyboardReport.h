#pragma once
// The 8-byte keyboard report of one remote button: byte 0 modifier bits (bit 0 left Ctrl ...
// bit 7 right Windows), byte 1 reserved, bytes 2 to 7 key usage codes (keyboard usage page).
#include <cstdint>

namespace wendle {

struct KeyboardReport {
  uint8_t abyData[8];
};
static_assert(sizeof(KeyboardReport) == 8, "the receiver delivers exactly 8 bytes");

}  // namespace wendle
