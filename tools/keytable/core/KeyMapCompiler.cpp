#include "KeyMapCompiler.h"

#include <algorithm>
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

std::string NoSlotText(int64_t size, size_t capacity) {
  if (size >= FULL_SIZE)
    return "no slot left: a key table holds 50 records and the lines above fill them (a key with "
           "an alternate takes two)";
  return "no slot left: a file of " + std::to_string(size) + " bytes holds " + std::to_string(capacity) +
         " records";
}

}  // namespace

int64_t DefaultEntryCount(const std::vector<KeyMapEntry>& entries) {
  int64_t slots = 0;
  for (size_t i = 0; i < entries.size(); ++i)
    slots += entries[i].alternate == Alternate::Filler && i + 1 < entries.size() ? 2 : 1;
  return slots;
}

bool CompileKeyMap(const KeyMapSource& source, CompiledKeyTable* pTable, std::vector<Diagnostic>* pErrors) {
  const size_t nErrorsBefore = pErrors->size();
  const int64_t size = source.size.given ? source.size.value : FULL_SIZE;
  const bool bShort = size < FULL_SIZE;
  const size_t capacity = bShort ? static_cast<size_t>(size / RECORD_SIZE) : wendle::KEY_TABLE_CAPACITY;

  CompiledKeyTable table;
  table.bytes.assign(static_cast<size_t>(std::max(size, FULL_SIZE)), 0);
  for (const KeyMapEntry& entry : source.entries) {
    if (table.slotLines.size() >= capacity) {
      pErrors->push_back(Diagnostic{entry.line, 1, NoSlotText(size, capacity)});
      break;
    }
    PutRecord(table.bytes, table.slotLines.size(), entry.rawCode, entry.usage, entry.modifiers, entry.flags);
    table.slotLines.push_back(entry.line);
    if (entry.alternate != Alternate::Filler) continue;
    if (table.slotLines.size() >= capacity) {
      pErrors->push_back(Diagnostic{entry.line, 1, NoSlotText(size, capacity) + ", and this key's alternate needs one more"});
      break;
    }
    PutRecord(table.bytes, table.slotLines.size(), FILLER_CODE, entry.altUsage, entry.altModifiers, 0);
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
    trailer[2] = static_cast<uint8_t>(source.count.given ? source.count.value : DefaultEntryCount(source.entries));
    trailer[3] = static_cast<uint8_t>(source.prefixTimeout.given ? source.prefixTimeout.value : DEFAULT_PREFIX_UNITS);
    trailer[4] = static_cast<uint8_t>(source.repeatThreshold.given ? source.repeatThreshold.value : DEFAULT_REPEAT_UNITS);
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
