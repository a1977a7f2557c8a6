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

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

bool IsEmpty(const wendle::KeyTableEntry& entry) {
  return entry.rawCode == 0 && entry.keyUsage == 0 && entry.modifierBits == 0 && entry.entryFlags == 0;
}

uint8_t Byte(int32_t widened) { return static_cast<uint8_t>(widened); }

// The record lines of the loader's slots 0 to nRecords - 1, trailing empty records left out (the
// compiler writes zeros there). Readable: an "alt KEY" line takes its filler record along.
// Explicit: every record is a line of its own and alternates are "alt next", so the compiler
// lays the lines out exactly in their order. entries receives what the lines stand for.
std::string RecordLines(const LoadedTable& loaded, bool bExplicit, std::vector<KeyMapEntry>& entries) {
  const wendle::KeyTableEntry* records = loaded.table.entries;
  size_t nUsed = static_cast<size_t>(loaded.nRecords);
  while (nUsed > 0 && IsEmpty(records[nUsed - 1])) --nUsed;

  std::string text;
  for (size_t slot = 0; slot < nUsed; ++slot) {
    const wendle::KeyTableEntry& record = records[slot];
    KeyMapEntry entry;
    std::string flags;
    if (record.entryFlags & 0x80) flags += " prefix";
    if (record.entryFlags & 0x40) {
      const bool bFiller = !bExplicit && slot + 1 < nUsed && records[slot + 1].rawCode == FILLER_CODE &&
                           records[slot + 1].entryFlags == 0;
      if (bFiller) {
        entry.alternate = Alternate::Filler;
        entry.altModifiers = Byte(records[slot + 1].modifierBits);
        entry.altUsage = Byte(records[slot + 1].keyUsage);
        flags += " alt " + KeyText(entry.altModifiers, entry.altUsage);
      } else {
        entry.alternate = Alternate::Next;
        flags += " alt next";
      }
    }
    if (record.entryFlags & 0x3F) flags += " bits " + Hex(record.entryFlags & 0x3F, 2);
    const std::string key = KeyText(Byte(record.modifierBits), Byte(record.keyUsage));
    const bool bBarePrefix = (record.entryFlags & 0x80) && key == "none";
    std::string line = Padded(Hex(record.rawCode, 8), CODE_WIDTH);
    line += bBarePrefix ? flags.substr(1) : Padded(key, KEY_WIDTH - 1) + flags;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line + "\n";
    entry.rawCode = record.rawCode;
    entry.modifiers = Byte(record.modifierBits);
    entry.usage = Byte(record.keyUsage);
    entry.flags = record.entryFlags;
    entries.push_back(entry);
    if (entry.alternate == Alternate::Filler) ++slot;
  }
  return text;
}

// "data" lines for the bytes in [begin, end) that are not zero, 16 to a line.
std::string DataLines(const std::vector<uint8_t>& bytes, size_t begin, size_t end) {
  std::string text;
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
  return text;
}

// The map text of the whole file, in the readable or the explicit form.
std::string MapText(const std::vector<uint8_t>& bytes, const LoadedTable& loaded, const std::string& header,
                    bool bExplicit) {
  const bool bShort = bytes.size() < FULL_SIZE;
  std::vector<KeyMapEntry> entries;
  const std::string records = RecordLines(loaded, bExplicit, entries);

  std::string text = header;
  if (bytes.size() != FULL_SIZE) text += "size " + std::to_string(bytes.size()) + "\n";
  if (!bShort) {
    const uint8_t* trailer = bytes.data() + wendle::KEY_FILE_TRAILER_OFFSET;
    const int32_t ms = static_cast<int32_t>(wendle::MS_PER_UNIT);
    text += "prefix-timeout " + std::to_string(static_cast<int8_t>(trailer[3]) * ms) + " ms\n";
    text += "repeat-threshold " + std::to_string(static_cast<int8_t>(trailer[4]) * ms) + " ms\n";
    const int64_t count = static_cast<int8_t>(trailer[2]);
    if (count != DefaultEntryCount(LayOutEntries(entries, wendle::KEY_TABLE_CAPACITY)))
      text += "count " + std::to_string(count) + "\n";
    const uint32_t trailerValue = static_cast<uint32_t>(trailer[0]) << 8 | trailer[1];
    if (trailerValue != DEFAULT_TRAILER) text += "trailer-value " + Hex(trailerValue, 4) + "\n";
    if (trailer[5] != 0) text += "spare-byte " + Hex(trailer[5], 2) + "\n";
  }
  if (!records.empty())
    text += "\n" + Padded(Padded("# code", CODE_WIDTH) + "key", CODE_WIDTH + KEY_WIDTH) + "flags\n" + records;

  const size_t dataStart = bShort ? static_cast<size_t>(loaded.nRecords) * RECORD_SIZE : FULL_SIZE;
  const std::string data = DataLines(bytes, dataStart, bytes.size());
  if (!data.empty()) text += "\n# bytes the monitor does not read\n" + data;
  return text;
}

bool CompilesTo(const std::string& text, const std::vector<uint8_t>& bytes) {
  KeyMapSource source;
  std::vector<Diagnostic> errors, warnings;
  CompiledKeyTable table;
  return ParseKeyMap(text, &source, &errors, &warnings) && CompileKeyMap(source, &table, &errors) &&
         table.bytes == bytes;
}

// A name for the header comment: control characters would end the comment.
std::string CommentSafe(std::string name) {
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return name;
}

}  // namespace

std::string DecompileKeyTable(const std::vector<uint8_t>& bytes, const std::string& sourceName,
                              std::vector<std::string>* pWarnings) {
  const LoadedTable loaded = LoadTableImage(bytes);
  std::string header = "# Key map of " + CommentSafe(sourceName) + " (" + std::to_string(bytes.size()) +
                       " bytes): keytable compile turns it back into the same bytes.\n";
  for (const Finding& finding : CheckFile(loaded)) {
    header += "# warning: " + finding.text + "\n";
    pWarnings->push_back(finding.text);
  }
  // The readable form leaves the layout to the compiler, which may give a key another line's
  // record as its alternate instead of the file's filler; the explicit form never differs.
  const std::string readable = MapText(bytes, loaded, header, false);
  if (CompilesTo(readable, bytes)) return readable;
  return MapText(bytes, loaded, header, true);
}

}  // namespace keytable
