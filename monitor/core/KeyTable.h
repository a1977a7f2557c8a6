#pragma once
// The in-memory key table: which raw remote code stands for which key. Filled by LoadIRTable
// from the key table file, read by the decoder. One instance per process (g_keyTable).
#include <cstdint>

namespace wendle {

constexpr int KEY_TABLE_CAPACITY = 50;

// Bits of KeyTableEntry::entryFlags; the decoder ignores the other bits.
constexpr uint8_t KEY_FLAG_PREFIX = 0x80;     // a second-function key
constexpr uint8_t KEY_FLAG_ALTERNATE = 0x40;  // the next slot's pair is this key's alternate

// The decoder counts time in units of 20 ms.
constexpr uint32_t MS_PER_UNIT = 20;

// Short key table files carry no limits of their own; these stand in (20 ms units).
constexpr int32_t DEFAULT_PREFIX_TIMEOUT = 62;    // 1240 ms
constexpr int32_t DEFAULT_REPEAT_THRESHOLD = 25;  // 500 ms
constexpr uint16_t DEFAULT_TRAILER_VALUE = 0x7FFF;

struct KeyTableEntry {
  uint32_t rawCode;      // matched by equality
  int32_t keyUsage;      // widened from a signed byte; only the low 8 bits are used
  int32_t modifierBits;  // widened from a signed byte; only the low 8 bits are used
  uint8_t entryFlags;    // KEY_FLAG_PREFIX, KEY_FLAG_ALTERNATE
};

struct KeyTable {
  KeyTableEntry entries[KEY_TABLE_CAPACITY];
  // The first entryCount slots take part in matching; 0 or less means none. Kept as the file
  // states it (up to 127); the decoder never looks past the 50 slots whatever it says.
  int32_t entryCount;
  uint16_t trailerValue;    // shown in the load trace only
  int32_t prefixTimeout;    // 20 ms units; the prefix state ends when its count exceeds this
  int32_t repeatThreshold;  // 20 ms units; a repeated code passes once its count reaches this
};

}  // namespace wendle
