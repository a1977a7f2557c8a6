#pragma once
// What the monitor makes of a key table file: the table its loader builds, what a code does with
// and without the prefix key (asked of the monitor's own decoder), and the things in a file that
// do not do what its author most likely meant.
#include <cstdint>
#include <string>
#include <vector>

#include "KeyTable.h"

namespace keytable {

// The monitor's table for a file of these bytes, as its loader fills it in a fresh process.
struct LoadedTable {
  wendle::KeyTable table{};
  int32_t nRecords = 0;  // records the loader converted (slots 0 to nRecords - 1)
  uint32_t fileSize = 0;
};
LoadedTable LoadTableImage(const std::vector<uint8_t>& bytes);

struct Finding {
  int slot;  // 0-based slot the finding is about; -1 for the file as a whole
  std::string text;
};

// The file as a whole: short or long files, counts outside 1 to 50, negative limits.
std::vector<Finding> CheckFile(const LoadedTable& loaded);

// The slots: codes that can never act, alternates without a prefix key, keys that press
// nothing, records past the count.
std::vector<Finding> CheckSlots(const LoadedTable& loaded);

// What one code does when it arrives on its own, without and with the prefix key in force.
struct CodeMeaning {
  bool bInTable = false;
  bool bPrefix = false;     // it is the prefix key
  bool bKey = false;        // it types a key (plainModifiers/plainUsage)
  int slot = -1;            // 0-based slot that decides
  uint8_t plainModifiers = 0, plainUsage = 0;
  bool bDiffersAfterPrefix = false;
  uint8_t prefixModifiers = 0, prefixUsage = 0;
};
CodeMeaning LookUpCode(const wendle::KeyTable& table, uint32_t code);

// "1 (slot 2; after the prefix key: LShift+1)", "prefix key (slot 24)", "not in the table".
std::string DescribeCode(const wendle::KeyTable& table, uint32_t code);

// "24 keys (3 with an alternate), 1 prefix key; prefix time-out 1240 ms, repeat threshold 500 ms"
std::string SummariseTable(const LoadedTable& loaded);

// "slot 3 (0x00FF30CF)"
std::string SlotName(int slot, uint32_t code);

}  // namespace keytable
