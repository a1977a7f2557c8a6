#include "KeyTableDecompiler.h"

#include <algorithm>
#include <cstdio>

#include "KeyMapCompiler.h"
#include "KeyMapText.h"
#include "KeyNames.h"
#include "KeyTableCheck.h"
#include "KeyTableFile.h"

namespace keytable {
namespace {

constexpr size_t FULL_SIZE = wendle::KEY_FILE_FULL_SIZE;
constexpr size_t RECORD_SIZE = wendle::KEY_FILE_RECORD_SIZE;
constexpr size_t DATA_BYTES_PER_LINE = 16;
constexpr size_t CODE_WIDTH = 12;  // columns of a record line
constexpr size_t KEY_WIDTH = 17;

struct Record {
  uint32_t code;
  uint8_t usage, modifiers, flags;
  bool IsEmpty() const { return code == 0 && usage == 0 && modifiers == 0 && flags == 0; }
};

Record ReadRecord(const std::vector<uint8_t>& bytes, size_t slot) {
  const uint8_t* p = bytes.data() + RECORD_SIZE * slot;
  return Record{static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
                    static_cast<uint32_t>(p[2]) << 8 | p[3],
                p[4], p[5], p[6]};
}

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// One line per record, an "alt KEY" line taking its filler along; returns the lines and the
// entries they stand for (for the count the compiler would give them).
void WriteRecords(const std::vector<uint8_t>& bytes, size_t nRecords, std::string& text,
                  std::vector<KeyMapEntry>& entries) {
  size_t nUsed = nRecords;
  while (nUsed > 0 && ReadRecord(bytes, nUsed - 1).IsEmpty()) --nUsed;
  for (size_t slot = 0; slot < nUsed; ++slot) {
    const Record record = ReadRecord(bytes, slot);
    KeyMapEntry entry;
    std::string flags;
    if (record.flags & 0x80) flags += " prefix";
    if (record.flags & 0x40) {
      const bool bFiller = slot + 1 < nUsed && ReadRecord(bytes, slot + 1).code == FILLER_CODE &&
                           ReadRecord(bytes, slot + 1).flags == 0;
      if (bFiller) {
        const Record filler = ReadRecord(bytes, slot + 1);
        flags += " alt " + KeyText(filler.modifiers, filler.usage);
        entry.alternate = Alternate::Filler;
      } else {
        flags += " alt next";
        entry.alternate = Alternate::Next;
      }
    }
    if (record.flags & 0x3F) flags += " bits " + Hex(record.flags & 0x3F, 2);
    const bool bBarePrefix = (record.flags & 0x80) && record.usage == 0 && record.modifiers == 0;
    std::string line = Padded(Hex(record.code, 8), CODE_WIDTH);
    line += bBarePrefix ? flags.substr(1) : Padded(KeyText(record.modifiers, record.usage), KEY_WIDTH - 1) + flags;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line + "\n";
    entries.push_back(entry);
    if (entry.alternate == Alternate::Filler) ++slot;
  }
}

// "data" lines for the bytes in [begin, end) that are not zero, 16 to a line.
void WriteData(const std::vector<uint8_t>& bytes, size_t begin, size_t end, std::string& text) {
  for (size_t offset = begin; offset < end; offset += DATA_BYTES_PER_LINE) {
    const size_t stop = std::min(end, offset + DATA_BYTES_PER_LINE);
    if (std::all_of(bytes.begin() + offset, bytes.begin() + stop, [](uint8_t b) { return b == 0; })) continue;
    text += "data " + std::to_string(offset);
    char byte[4];
    for (size_t i = offset; i < stop; ++i) {
      std::snprintf(byte, sizeof byte, " %02X", unsigned{bytes[i]});
      text += byte;
    }
    text += "\n";
  }
}

}  // namespace

std::string DecompileKeyTable(const std::vector<uint8_t>& bytes, const std::string& sourceName,
                              std::vector<std::string>* pWarnings) {
  const LoadedTable loaded = LoadTableImage(bytes);
  const bool bShort = bytes.size() < FULL_SIZE;
  const size_t nRecords = static_cast<size_t>(loaded.nRecords);

  std::string text = "# Key map of " + sourceName + " (" + std::to_string(bytes.size()) +
                     " bytes): keytable compile turns it back into the same bytes.\n";
  for (const Finding& finding : CheckFile(loaded)) {
    text += "# warning: " + finding.text + "\n";
    pWarnings->push_back(finding.text);
  }

  std::string records;
  std::vector<KeyMapEntry> entries;
  WriteRecords(bytes, nRecords, records, entries);

  std::string settings;
  if (bytes.size() != FULL_SIZE) settings += "size " + std::to_string(bytes.size()) + "\n";
  if (!bShort) {
    const uint8_t* trailer = bytes.data() + wendle::KEY_FILE_TRAILER_OFFSET;
    settings += "prefix-timeout " + std::to_string(static_cast<int8_t>(trailer[3]) * 20) + " ms\n";
    settings += "repeat-threshold " + std::to_string(static_cast<int8_t>(trailer[4]) * 20) + " ms\n";
    const int64_t count = static_cast<int8_t>(trailer[2]);
    if (count != DefaultEntryCount(entries)) settings += "count " + std::to_string(count) + "\n";
    const uint32_t trailerValue = static_cast<uint32_t>(trailer[0]) << 8 | trailer[1];
    if (trailerValue != DEFAULT_TRAILER) settings += "trailer-value " + Hex(trailerValue, 4) + "\n";
    if (trailer[5] != 0) settings += "spare-byte " + Hex(trailer[5], 2) + "\n";
  }
  text += settings;
  if (!records.empty()) text += "\n" + Padded(Padded("# code", CODE_WIDTH) + "key", CODE_WIDTH + KEY_WIDTH) + "flags\n" + records;

  const size_t dataStart = bShort ? nRecords * RECORD_SIZE : FULL_SIZE;
  std::string data;
  WriteData(bytes, dataStart, bytes.size(), data);
  if (!data.empty()) text += "\n# bytes the monitor does not read\n" + data;
  return text;
}

}  // namespace keytable
