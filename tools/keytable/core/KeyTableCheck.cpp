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

int32_t SlotsMatched(const wendle::KeyTable& table) {
  return std::max(0, std::min<int32_t>(table.entryCount, wendle::KEY_TABLE_CAPACITY));
}

// One arrival of code after a different one (so the repeat check lets the first match pass), with
// or without the prefix key in force and no time passing. Returns the decoder's result.
int DecodeAlone(const wendle::KeyTable& table, uint32_t code, bool bPrefixActive, wendle::KeyboardReport& report,
                uint64_t* pqwPassed) {
  wendle::DecoderState state{};
  state.m_bPrefixActive = bPrefixActive ? 1 : 0;
  state.m_dwLastCode = ~code;
  report = wendle::KeyboardReport{};
  return wendle::DecodeRawCode(table, code, 0, state, report, pqwPassed);
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
  if (table.repeatThreshold < 0)
    findings.push_back(Finding{-1, "the repeat threshold is negative (" + Milliseconds(table.repeatThreshold) +
                                       "): the monitor suppresses no repeated code, as with 0"});
  return findings;
}

std::vector<Finding> CheckSlots(const LoadedTable& loaded) {
  const wendle::KeyTable& table = loaded.table;
  std::vector<Finding> findings;
  const int32_t nMatched = SlotsMatched(table);
  const bool bHasPrefix = HasPrefixKey(table);
  for (int32_t i = 0; i < nMatched; ++i) {
    const wendle::KeyTableEntry& entry = table.entries[i];
    if (IsFiller(table, i)) continue;
    const std::string name = SlotName(i, entry.rawCode);
    const uint64_t qwPassed = PassingSlots(table, entry.rawCode);
    if (!Passes(qwPassed, i)) {
      // The slot before it that let the code through decides why this one never sees it.
      int32_t j = i - 1;
      while (j > 0 && !Passes(qwPassed, j)) --j;
      const bool bAfterPrefix = (table.entries[j].entryFlags & wendle::KEY_FLAG_PREFIX) != 0;
      std::string why;
      if (bAfterPrefix)
        why = "it follows the prefix key in slot " + std::to_string(j + 1) +
              " with the same code, and the monitor suppresses it as that key's repeat";
      else if (IsFiller(table, j))
        why = "its code is that of the filler record in slot " + std::to_string(j + 1) +
              ", which carries the alternate of slot " + std::to_string(j) + " and decides first";
      else
        why = "slot " + std::to_string(j + 1) + " has the same code and decides first";
      findings.push_back(Finding{i, name + " can never act: " + why});
      continue;
    }
    if (entry.entryFlags & wendle::KEY_FLAG_PREFIX) continue;
    if (!Typeable(entry))
      findings.push_back(Finding{i, name + " types " + PairText(entry) + ", which presses nothing"});
    if ((entry.entryFlags & wendle::KEY_FLAG_ALTERNATE) == 0) continue;
    if (i + 1 >= wendle::KEY_TABLE_CAPACITY) {
      findings.push_back(Finding{i, name + " has an alternate, but no slot follows the last one: the monitor "
                                           "types its own key after the prefix key too"});
    } else if (!bHasPrefix) {
      findings.push_back(Finding{i, name + " has an alternate (" + PairText(table.entries[i + 1]) +
                                        "), but the table has no prefix key, so it is never typed"});
    } else if (!Typeable(table.entries[i + 1])) {
      findings.push_back(Finding{i, name + " has the alternate " + PairText(table.entries[i + 1]) +
                                        ", which presses nothing"});
    }
  }

  // Records past the count, apart from the alternate of the last counted slot.
  const int32_t firstUnmatched = std::max<int32_t>(0, table.entryCount);
  for (int32_t k = firstUnmatched; k < loaded.nRecords; ++k) {
    const wendle::KeyTableEntry& entry = table.entries[k];
    if (IsEmptyRecord(entry)) continue;
    const bool bServesAsAlternate = k == firstUnmatched && k > 0 &&
                                    (table.entries[k - 1].entryFlags & wendle::KEY_FLAG_ALTERNATE) &&
                                    !(table.entries[k - 1].entryFlags & wendle::KEY_FLAG_PREFIX);
    if (bServesAsAlternate) continue;
    findings.push_back(Finding{k, SlotName(k, entry.rawCode) + " lies past the entry count " +
                                      std::to_string(table.entryCount) + " and is never matched"});
  }
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
    if (IsFiller(table, i) || !Passes(PassingSlots(table, entry.rawCode), i)) continue;
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
