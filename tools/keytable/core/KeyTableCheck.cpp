#include "KeyTableCheck.h"

#include <algorithm>
#include <cstdio>

#include "KeyMapText.h"
#include "KeyNames.h"
#include "KeyTableFile.h"
#include "RawCodeDecoder.h"

namespace keytable {
namespace {

constexpr int32_t MS_PER_UNIT = wendle::MS_PER_UNIT;
constexpr int32_t POLL_UNITS = 5;  // the monitor polls every 100 ms

int32_t SlotsMatched(const wendle::KeyTable& table) {
  return std::max(0, std::min<int32_t>(table.entryCount, wendle::KEY_TABLE_CAPACITY));
}

// One arrival of code at a regular poll, after a different code (so the repeat check lets the
// first match pass), with or without the prefix key in force. Returns the decoder's result.
int DecodeAlone(const wendle::KeyTable& table, uint32_t code, bool bPrefixActive, wendle::KeyboardReport& report,
                uint64_t* pqwPassed) {
  wendle::DecoderState state{};
  state.m_bPrefixActive = bPrefixActive ? 1 : 0;
  state.m_dwLastCode = ~code;
  report = wendle::KeyboardReport{};
  return wendle::DecodeRawCode(table, code, POLL_UNITS, state, report, pqwPassed);
}

// The slots that pass the repeat check when code arrives alone, in either prefix state.
uint64_t PassingSlots(const wendle::KeyTable& table, uint32_t code) {
  uint64_t qwPassed = 0;
  wendle::KeyboardReport report;
  DecodeAlone(table, code, false, report, &qwPassed);
  DecodeAlone(table, code, true, report, &qwPassed);
  return qwPassed;
}

bool Passes(uint64_t qwPassed, int slot) { return (qwPassed >> slot & 1) != 0; }

bool IsEmptyRecord(const wendle::KeyTableEntry& entry) {
  return entry.rawCode == 0 && entry.keyUsage == 0 && entry.modifierBits == 0 && entry.entryFlags == 0;
}

// A record that carries the alternate of the one before it and has the filler code no remote
// sends: part of that key, not a key of its own.
bool IsFiller(const wendle::KeyTable& table, int32_t slot) {
  return slot > 0 && table.entries[slot].rawCode == FILLER_CODE &&
         (table.entries[slot - 1].entryFlags & wendle::KEY_FLAG_ALTERNATE) != 0;
}

// A key of its own: neither an empty record nor a filler.
bool IsKeyRecord(const wendle::KeyTable& table, int32_t slot) {
  return !IsEmptyRecord(table.entries[slot]) && !IsFiller(table, slot);
}

bool HasPrefixKey(const wendle::KeyTable& table) {
  for (int32_t i = 0; i < SlotsMatched(table); ++i) {
    const wendle::KeyTableEntry& entry = table.entries[i];
    if ((entry.entryFlags & wendle::KEY_FLAG_PREFIX) && Passes(PassingSlots(table, entry.rawCode), i)) return true;
  }
  return false;
}

std::string Milliseconds(int32_t units) { return std::to_string(units * MS_PER_UNIT) + " ms"; }

std::string PairText(const wendle::KeyTableEntry& entry) {
  return KeyText(static_cast<uint8_t>(entry.modifierBits), static_cast<uint8_t>(entry.keyUsage));
}

bool Typeable(const wendle::KeyTableEntry& entry) { return UsageName(static_cast<uint8_t>(entry.keyUsage)) != nullptr; }

std::string SlotNumbers(int32_t first, int32_t last) {
  return first == last ? "slot " + std::to_string(first + 1)
                       : "slots " + std::to_string(first + 1) + " to " + std::to_string(last + 1);
}

// Empty records inside the count all stand for code 0 with no key; one finding per run of them.
void CheckEmptyRecords(const wendle::KeyTable& table, std::vector<Finding>& findings) {
  const int32_t nMatched = SlotsMatched(table);
  for (int32_t i = 0; i < nMatched; ++i) {
    if (!IsEmptyRecord(table.entries[i])) continue;
    int32_t last = i;
    while (last + 1 < nMatched && IsEmptyRecord(table.entries[last + 1])) ++last;
    findings.push_back(Finding{i, SlotNumbers(i, last) + (i == last ? " is an empty record" : " are empty records") +
                                      " (code 0, no key) inside the entry count: code 0 types nothing"});
    i = last;
  }
}

// Keys that the code never reaches: a slot with the same code before them decides first.
void CheckReach(const wendle::KeyTable& table, std::vector<Finding>& findings) {
  for (int32_t i = 0; i < SlotsMatched(table); ++i) {
    if (!IsKeyRecord(table, i)) continue;
    const wendle::KeyTableEntry& entry = table.entries[i];
    const uint64_t qwPassed = PassingSlots(table, entry.rawCode);
    if (Passes(qwPassed, i)) continue;
    // The slot before it that let the code through decides why this one never sees it.
    int32_t j = i - 1;
    while (j > 0 && !Passes(qwPassed, j)) --j;
    const std::string name = SlotName(i, entry.rawCode);
    if (table.entries[j].entryFlags & wendle::KEY_FLAG_PREFIX)
      findings.push_back(Finding{i, name + " acts only when a poll comes at least " +
                                        Milliseconds(table.repeatThreshold) +
                                        " after the one before (polls come every 100 ms): it follows the prefix key "
                                        "in slot " + std::to_string(j + 1) +
                                        " with the same code, and the monitor takes it for that key's repeat"});
    else if (IsFiller(table, j))
      findings.push_back(Finding{i, name + " can never act: its code is that of the filler record in slot " +
                                        std::to_string(j + 1) + ", which carries the alternate of slot " +
                                        std::to_string(j) + " and decides first"});
    else
      findings.push_back(Finding{i, name + " can never act: slot " + std::to_string(j + 1) +
                                        " has the same code and decides first"});
  }
}

// What the keys that are reached type, and whether their alternates are ever typed.
void CheckKeys(const wendle::KeyTable& table, std::vector<Finding>& findings) {
  const bool bHasPrefix = HasPrefixKey(table);
  for (int32_t i = 0; i < SlotsMatched(table); ++i) {
    const wendle::KeyTableEntry& entry = table.entries[i];
    if (!IsKeyRecord(table, i) || !Passes(PassingSlots(table, entry.rawCode), i)) continue;
    const std::string name = SlotName(i, entry.rawCode);
    const bool bPrefix = (entry.entryFlags & wendle::KEY_FLAG_PREFIX) != 0;
    const bool bAlternate = (entry.entryFlags & wendle::KEY_FLAG_ALTERNATE) != 0;
    if (!bPrefix && !Typeable(entry))
      findings.push_back(Finding{i, name + " types " + PairText(entry) + ", which presses nothing"});
    if (!bAlternate) continue;
    if (i + 1 >= wendle::KEY_TABLE_CAPACITY) {
      findings.push_back(Finding{i, name + " has an alternate, but no slot follows the last one: the monitor "
                                           "types its own key after the prefix key too"});
      continue;
    }
    const std::string alternate = PairText(table.entries[i + 1]);
    if (bPrefix)
      findings.push_back(Finding{i, name + " is a prefix key, so its alternate (" + alternate + ") is never typed"});
    else if (!bHasPrefix)
      findings.push_back(Finding{i, name + " has an alternate (" + alternate +
                                        "), but the table has no prefix key, so it is never typed"});
    else if (!Typeable(table.entries[i + 1]))
      findings.push_back(Finding{i, name + " has the alternate " + alternate + ", which presses nothing"});
  }
}

// Records past the count, apart from the alternate of the last counted slot.
void CheckPastCount(const LoadedTable& loaded, std::vector<Finding>& findings) {
  const wendle::KeyTable& table = loaded.table;
  const int32_t firstUnmatched = std::max<int32_t>(0, table.entryCount);
  for (int32_t k = firstUnmatched; k < loaded.nRecords; ++k) {
    const wendle::KeyTableEntry& entry = table.entries[k];
    if (IsEmptyRecord(entry)) continue;
    if (k == firstUnmatched && k > 0 && (table.entries[k - 1].entryFlags & wendle::KEY_FLAG_ALTERNATE)) continue;
    findings.push_back(Finding{k, SlotName(k, entry.rawCode) + " lies past the entry count " +
                                      std::to_string(table.entryCount) + " and is never matched"});
  }
}

}  // namespace

std::string SlotName(int slot, uint32_t code) {
  char text[40];
  std::snprintf(text, sizeof text, "slot %d (0x%08X)", slot + 1, code);
  return text;
}

LoadedTable LoadTableImage(const std::vector<uint8_t>& bytes) {
  LoadedTable loaded;
  uint8_t image[wendle::KEY_FILE_FULL_SIZE] = {};
  std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), sizeof image), image);
  loaded.fileSize = static_cast<uint32_t>(std::min<size_t>(bytes.size(), UINT32_MAX));
  loaded.nRecords = wendle::ConvertKeyTableImage(image, loaded.fileSize, loaded.fileSize, loaded.table);
  return loaded;
}

std::vector<Finding> CheckFile(const LoadedTable& loaded) {
  const wendle::KeyTable& table = loaded.table;
  std::vector<Finding> findings;
  const uint32_t size = loaded.fileSize;
  if (size < wendle::KEY_FILE_FULL_SIZE) {
    std::string text = "the file has " + std::to_string(size) + " bytes, fewer than 356: the monitor takes its " +
                       std::to_string(loaded.nRecords) + " whole records and its own limits (prefix time-out " +
                       Milliseconds(table.prefixTimeout) + ", repeat threshold " +
                       Milliseconds(table.repeatThreshold) + ")";
    const uint32_t rest = size - static_cast<uint32_t>(loaded.nRecords) * wendle::KEY_FILE_RECORD_SIZE;
    if (rest > 0) text += ", and ignores the " + std::to_string(rest) + " bytes after them";
    findings.push_back(Finding{-1, text});
  } else if (size > wendle::KEY_FILE_FULL_SIZE) {
    findings.push_back(Finding{-1, "the file has " + std::to_string(size) +
                                       " bytes: the monitor reads its first 356 and ignores the rest"});
  }
  if (table.entryCount <= 0) {
    findings.push_back(Finding{-1, "the entry count is " + std::to_string(table.entryCount) +
                                       ": the table is empty and the monitor ignores every code"});
  } else if (table.entryCount > wendle::KEY_TABLE_CAPACITY) {
    findings.push_back(Finding{-1, "the entry count is " + std::to_string(table.entryCount) +
                                       ", more than the 50 slots: the monitor matches all 50"});
  }
  if (table.prefixTimeout < 0)
    findings.push_back(Finding{-1, "the prefix time-out is negative (" + Milliseconds(table.prefixTimeout) +
                                       "): the prefix key's state ends at the next poll, so no alternate "
                                       "is ever typed"});
  else if (table.prefixTimeout < POLL_UNITS)
    findings.push_back(Finding{-1, "the prefix time-out is " + Milliseconds(table.prefixTimeout) +
                                       ", shorter than the 100 ms between polls: the prefix key's state ends at "
                                       "the next poll, so alternates are hardly ever typed"});
  if (table.repeatThreshold < 0)
    findings.push_back(Finding{-1, "the repeat threshold is negative (" + Milliseconds(table.repeatThreshold) +
                                       "): the monitor suppresses no repeated code, as with 0"});
  return findings;
}

std::vector<Finding> CheckSlots(const LoadedTable& loaded) {
  std::vector<Finding> findings;
  CheckEmptyRecords(loaded.table, findings);
  CheckReach(loaded.table, findings);
  CheckKeys(loaded.table, findings);
  CheckPastCount(loaded, findings);
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.slot < b.slot; });
  return findings;
}

CodeMeaning LookUpCode(const wendle::KeyTable& table, uint32_t code) {
  CodeMeaning meaning;
  uint64_t qwPlain = 0, qwPrefix = 0;
  wendle::KeyboardReport plain, afterPrefix;
  const int plainResult = DecodeAlone(table, code, false, plain, &qwPlain);
  const int prefixResult = DecodeAlone(table, code, true, afterPrefix, &qwPrefix);
  if (qwPlain == 0) return meaning;
  meaning.bInTable = true;
  for (int i = 0; i < wendle::KEY_TABLE_CAPACITY; ++i)
    if (Passes(qwPlain, i)) meaning.slot = i;  // the last slot to pass decides
  meaning.bPrefix = (table.entries[meaning.slot].entryFlags & wendle::KEY_FLAG_PREFIX) != 0;
  meaning.bKey = plainResult == 1;
  meaning.plainModifiers = plain.abyData[0];
  meaning.plainUsage = plain.abyData[2];
  meaning.prefixModifiers = afterPrefix.abyData[0];
  meaning.prefixUsage = afterPrefix.abyData[2];
  meaning.bDiffersAfterPrefix = prefixResult == 1 && (afterPrefix.abyData[0] != plain.abyData[0] ||
                                                      afterPrefix.abyData[2] != plain.abyData[2]);
  return meaning;
}

std::string DescribeCode(const wendle::KeyTable& table, uint32_t code) {
  const CodeMeaning meaning = LookUpCode(table, code);
  if (!meaning.bInTable) return "not in the table";
  const std::string slot = "slot " + std::to_string(meaning.slot + 1);
  if (meaning.bPrefix) return "prefix key (" + slot + ")";
  std::string text = KeyText(meaning.plainModifiers, meaning.plainUsage) + " (" + slot;
  if (meaning.bDiffersAfterPrefix)
    text += "; after the prefix key: " + KeyText(meaning.prefixModifiers, meaning.prefixUsage);
  return text + ")";
}

std::string SummariseTable(const LoadedTable& loaded) {
  const wendle::KeyTable& table = loaded.table;
  const bool bHasPrefix = HasPrefixKey(table);
  int nKeys = 0, nAlternates = 0, nPrefixKeys = 0;
  for (int32_t i = 0; i < SlotsMatched(table); ++i) {
    const wendle::KeyTableEntry& entry = table.entries[i];
    if (!IsKeyRecord(table, i) || !Passes(PassingSlots(table, entry.rawCode), i)) continue;
    if (entry.entryFlags & wendle::KEY_FLAG_PREFIX) {
      ++nPrefixKeys;
      continue;
    }
    ++nKeys;
    if ((entry.entryFlags & wendle::KEY_FLAG_ALTERNATE) && bHasPrefix && i + 1 < wendle::KEY_TABLE_CAPACITY)
      ++nAlternates;
  }
  return std::to_string(nKeys) + (nKeys == 1 ? " key" : " keys") + " (" + std::to_string(nAlternates) +
         " with an alternate), " + std::to_string(nPrefixKeys) + (nPrefixKeys == 1 ? " prefix key" : " prefix keys") +
         "; prefix time-out " + Milliseconds(table.prefixTimeout) + ", repeat threshold " +
         Milliseconds(table.repeatThreshold);
}

}  // namespace keytable
