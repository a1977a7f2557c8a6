#pragma once
// Laying a parsed key map out as a key table file: one record per key, the trailer, the file's
// size. The file keeps a key's alternate in the record after the key, so a key with "alt KEY"
// is followed by the map's line for KEY when there is one that can move (see LayOutEntries),
// and otherwise by a filler record added for it.
#include <cstdint>
#include <vector>

#include "KeyMapText.h"

namespace keytable {

struct CompiledKeyTable {
  std::vector<uint8_t> bytes;
  // For each record written, the map line it came from (a filler's is its key's line).
  std::vector<int> slotLines;
};

// A map that states no limits gets the monitor's own for files without them
// (wendle::DEFAULT_PREFIX_TIMEOUT, DEFAULT_REPEAT_THRESHOLD), and zero for the trailer's first two
// bytes, which the monitor only shows in its load trace.
constexpr int64_t DEFAULT_TRAILER = 0;

struct SlotPlan {
  size_t entry;  // index into the map's entries
  bool bFiller;  // the filler record that carries that entry's alternate
};

// The records in file order. Entries keep the map's order, except that a key with "alt KEY"
// takes the first later line whose own key is KEY along as its alternate record, instead of a
// filler, when moving that line changes nothing the monitor does: its code appears on no other
// line, and neither it nor the line before it uses "alt next". Stops after limit + 1 records.
std::vector<SlotPlan> LayOutEntries(const std::vector<KeyMapEntry>& entries, size_t limit);

// The entry count a map gets when it states none: the records up to its last key, so a filler
// after the last key lies past the count.
int64_t DefaultEntryCount(const std::vector<SlotPlan>& plan);

// False with errors (no slot left, a trailer setting in a file too short for one, data outside
// the free bytes); the result is then incomplete and must not be written.
bool CompileKeyMap(const KeyMapSource& source, CompiledKeyTable* pTable, std::vector<Diagnostic>* pErrors);

}  // namespace keytable
