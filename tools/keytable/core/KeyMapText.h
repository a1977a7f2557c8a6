#pragma once
// A key map as written: one button a line, and header lines for the table's limits.
//
//   # comment
//   prefix-timeout 1240 ms        time the prefix key stays in force (20 ms steps)
//   repeat-threshold 500 ms       time before a held button repeats (20 ms steps)
//   0x00FF30CF  1   alt LShift+1  raw code, key, and the key it types after the prefix key
//   0x00FFA25D  prefix            the prefix key
//
// and, for files that only a byte-exact form describes: count, trailer-value, spare-byte, size
// and data lines, the flag words "alt next" (the next line's key is the alternate) and
// "bits 0xNN" (flag bits the monitor ignores).
#include <cstdint>
#include <string>
#include <vector>

namespace keytable {

struct Diagnostic {
  int line;    // 1-based; 0 for the map as a whole
  int column;  // 1-based; 0 for the whole line
  std::string text;
};

enum class Alternate {
  None,
  Filler,  // "alt KEY": the tool adds a filler record after the key to carry the alternate
  Next,    // "alt next": the record of the next line is the alternate
};

struct KeyMapEntry {
  int line = 0;
  uint32_t rawCode = 0;
  uint8_t modifiers = 0;
  uint8_t usage = 0;
  uint8_t flags = 0;  // the record's flag byte: 0x80 prefix, 0x40 alternate, other bits as given
  Alternate alternate = Alternate::None;
  uint8_t altModifiers = 0;
  uint8_t altUsage = 0;
};

struct MapSetting {
  bool given = false;
  int64_t value = 0;  // times are in 20 ms units
  int line = 0;
};

struct DataLine {
  int line = 0;
  int64_t offset = 0;
  std::vector<uint8_t> bytes;
};

struct KeyMapSource {
  std::vector<KeyMapEntry> entries;
  MapSetting prefixTimeout;
  MapSetting repeatThreshold;
  MapSetting count;
  MapSetting trailerValue;
  MapSetting spareByte;
  MapSetting size;
  std::vector<DataLine> data;
};

// The largest file a map may describe, and the largest the tool reads.
constexpr int64_t MAX_FILE_SIZE = 1 << 20;

// Filler records carry this code: the two halves of a remote code are each a byte and its
// complement, so no remote sends all ones.
constexpr uint32_t FILLER_CODE = 0xFFFFFFFF;

// Parses text. Errors are collected for every line; warnings (a time rounded to 20 ms) too.
// True when there was no error.
bool ParseKeyMap(const std::string& text, KeyMapSource* pSource, std::vector<Diagnostic>* pErrors,
                 std::vector<Diagnostic>* pWarnings);

// "file:line:column: error: text" (line and column left out where 0).
std::string FormatDiagnostic(const std::string& file, const Diagnostic& diagnostic, const char* kind);

}  // namespace keytable
