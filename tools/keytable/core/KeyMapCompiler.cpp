#include "KeyMapCompiler.h"

#include <algorithm>
#include <map>
#include <string>

#include "KeyTable.h"
#include "KeyTableFile.h"

namespace keytable {
namespace {

constexpr int64_t FULL_SIZE = wendle::KEY_FILE_FULL_SIZE;
constexpr int64_t RECORD_SIZE = wendle::KEY_FILE_RECORD_SIZE;

void PutRecord(std::vector<uint8_t>& bytes, size_t slot, uint32_t code, uint8_t usage, uint8_t modifiers,
               uint8_t flags) {
  uint8_t* record = bytes.data() + RECORD_SIZE * slot;
  record[0] = static_cast<uint8_t>(code >> 24);
  record[1] = static_cast<uint8_t>(code >> 16);
  record[2] = static_cast<uint8_t>(code >> 8);
  record[3] = static_cast<uint8_t>(code);
  record[4] = usage;
  record[5] = modifiers;
  record[6] = flags;
}

bool SamePair(const KeyMapEntry& entry, uint8_t modifiers, uint8_t usage) {
  return entry.modifiers == modifiers && entry.usage == usage;
}

std::string NoSlotText(int64_t size, size_t capacity, bool bForAlternate) {
  std::string text = size >= FULL_SIZE ? "no slot left: a key table holds 50 records"
                                       : "no slot left: a file of " + std::to_string(size) + " bytes holds " +
                                             std::to_string(capacity) + " records";
  if (bForAlternate) return text + "; this key takes the last, and its alternate needs a filler record after it";
  if (size < FULL_SIZE) return text;
  return text + ", and the keys before this one fill them (a key whose alternate needs a filler record takes two)";
}

}  // namespace

std::vector<SlotPlan> LayOutEntries(const std::vector<KeyMapEntry>& entries, size_t limit) {
  std::map<uint32_t, int> codeUses;
  for (const KeyMapEntry& entry : entries) ++codeUses[entry.rawCode];
  auto movable = [&](size_t j) {
    return codeUses[entries[j].rawCode] == 1 && entries[j].alternate != Alternate::Next &&
           (j == 0 || entries[j - 1].alternate != Alternate::Next);
  };

  std::vector<SlotPlan> plan;
  std::vector<bool> placed(entries.size(), false);
  for (size_t first = 0; first < entries.size() && plan.size() <= limit; ++first) {
    // A key, then the line that serves as its alternate, then that line's alternate, and so on.
    for (size_t i = first; !placed[i] && plan.size() <= limit;) {
      placed[i] = true;
      plan.push_back(SlotPlan{i, false});
      const KeyMapEntry& entry = entries[i];
      if (entry.alternate != Alternate::Filler) break;
      size_t partner = first + 1;  // every line not yet placed comes after first
      while (partner < entries.size() &&
             (placed[partner] || !movable(partner) || !SamePair(entries[partner], entry.altModifiers, entry.altUsage)))
        ++partner;
      if (partner == entries.size()) {
        plan.push_back(SlotPlan{i, true});
        break;
      }
      i = partner;
    }
  }
  return plan;
}

int64_t DefaultEntryCount(const std::vector<SlotPlan>& plan) {
  int64_t count = static_cast<int64_t>(plan.size());
  while (count > 0 && plan[static_cast<size_t>(count) - 1].bFiller) --count;
  return count;
}

bool CompileKeyMap(const KeyMapSource& source, CompiledKeyTable* pTable, std::vector<Diagnostic>* pErrors) {
  const size_t nErrorsBefore = pErrors->size();
  const int64_t size = source.size.given ? source.size.value : FULL_SIZE;
  const bool bShort = size < FULL_SIZE;
  const size_t capacity = bShort ? static_cast<size_t>(size / RECORD_SIZE) : wendle::KEY_TABLE_CAPACITY;

  CompiledKeyTable table;
  table.bytes.assign(static_cast<size_t>(std::max(size, FULL_SIZE)), 0);
  const std::vector<SlotPlan> plan = LayOutEntries(source.entries, capacity);
  if (plan.size() > capacity) {
    const SlotPlan& overflow = plan[capacity];
    pErrors->push_back(Diagnostic{source.entries[overflow.entry].line, 1,
                                  NoSlotText(size, capacity, overflow.bFiller)});
  }
  for (size_t slot = 0; slot < std::min(plan.size(), capacity); ++slot) {
    const KeyMapEntry& entry = source.entries[plan[slot].entry];
    if (plan[slot].bFiller)
      PutRecord(table.bytes, slot, FILLER_CODE, entry.altUsage, entry.altModifiers, 0);
    else
      PutRecord(table.bytes, slot, entry.rawCode, entry.usage, entry.modifiers, entry.flags);
    table.slotLines.push_back(entry.line);
  }

  const MapSetting* trailerSettings[] = {&source.prefixTimeout, &source.repeatThreshold, &source.count,
                                         &source.trailerValue, &source.spareByte};
  const char* trailerNames[] = {"prefix-timeout", "repeat-threshold", "count", "trailer-value", "spare-byte"};
  if (bShort) {
    for (size_t i = 0; i < 5; ++i) {
      if (!trailerSettings[i]->given) continue;
      pErrors->push_back(Diagnostic{trailerSettings[i]->line, 1,
                                    std::string("a file of ") + std::to_string(size) +
                                        " bytes has no trailer (that needs 356 bytes), so it cannot hold " +
                                        trailerNames[i]});
    }
  } else {
    uint8_t* trailer = table.bytes.data() + wendle::KEY_FILE_TRAILER_OFFSET;
    const int64_t trailerValue = source.trailerValue.given ? source.trailerValue.value : DEFAULT_TRAILER;
    trailer[0] = static_cast<uint8_t>(trailerValue >> 8);
    trailer[1] = static_cast<uint8_t>(trailerValue);
    trailer[2] = static_cast<uint8_t>(source.count.given ? source.count.value : DefaultEntryCount(plan));
    trailer[3] = static_cast<uint8_t>(source.prefixTimeout.given ? source.prefixTimeout.value : wendle::DEFAULT_PREFIX_TIMEOUT);
    trailer[4] = static_cast<uint8_t>(source.repeatThreshold.given ? source.repeatThreshold.value : wendle::DEFAULT_REPEAT_THRESHOLD);
    trailer[5] = static_cast<uint8_t>(source.spareByte.value);
  }

  // Data fills what the records and the trailer leave: the rest of a short file after its last
  // whole record, or whatever follows the trailer.
  const int64_t freeStart = bShort ? static_cast<int64_t>(capacity) * RECORD_SIZE : FULL_SIZE;
  for (const DataLine& data : source.data) {
    const int64_t end = data.offset + static_cast<int64_t>(data.bytes.size());
    if (data.offset >= freeStart && end <= size) {
      std::copy(data.bytes.begin(), data.bytes.end(), table.bytes.begin() + data.offset);
      continue;
    }
    std::string text = freeStart >= size
                           ? "this " + std::to_string(size) + "-byte file has no room for data after its records" +
                                 (bShort ? "" : " and trailer")
                           : "data must lie in offsets " + std::to_string(freeStart) + " to " +
                                 std::to_string(size - 1) + " of this " + std::to_string(size) +
                                 "-byte file, after its records" + (bShort ? "" : " and trailer");
    pErrors->push_back(Diagnostic{data.line, 1, text});
  }

  table.bytes.resize(static_cast<size_t>(size));
  *pTable = std::move(table);
  return pErrors->size() == nErrorsBefore;
}

}  // namespace keytable
