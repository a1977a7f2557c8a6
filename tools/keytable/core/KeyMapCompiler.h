#pragma once
// Laying a parsed key map out as a key table file: one record per key in the map's order, a
// filler record after each key whose alternate needs one, the trailer, and the file's size.
#include <cstdint>
#include <vector>

#include "KeyMapText.h"

namespace keytable {

struct CompiledKeyTable {
  std::vector<uint8_t> bytes;
  // For each record written, the map line it came from (a filler's is its key's line).
  std::vector<int> slotLines;
};

// The defaults a map need not state: the monitor's own limits for files without them, and zero
// for the trailer's first two bytes, which the monitor only shows in its load trace.
constexpr int64_t DEFAULT_PREFIX_UNITS = 62;   // 1240 ms
constexpr int64_t DEFAULT_REPEAT_UNITS = 25;   // 500 ms
constexpr int64_t DEFAULT_TRAILER = 0;

// The entry count a map gets when it states none: the records up to its last key, so a filler
// after the last key lies past the count.
int64_t DefaultEntryCount(const std::vector<KeyMapEntry>& entries);

// False with errors (no slot left, a trailer setting in a file too short for one, data outside
// the free bytes); the result is then incomplete and must not be written.
bool CompileKeyMap(const KeyMapSource& source, CompiledKeyTable* pTable, std::vector<Diagnostic>* pErrors);

}  // namespace keytable
