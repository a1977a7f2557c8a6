#include "KeyMapText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "KeyNames.h"
#include "KeyTable.h"
#include "MapWords.h"

namespace keytable {
namespace {

constexpr int64_t MS_PER_UNIT = wendle::MS_PER_UNIT;
const char* const kFlagWords = "prefix, alt KEY, alt next or bits 0xNN";

class LineParser {
 public:
  LineParser(int line, std::vector<Word> words, KeyMapSource& source, std::vector<Diagnostic>& errors,
             std::vector<Diagnostic>& warnings)
      : m_line(line), m_words(std::move(words)), m_source(source), m_errors(errors), m_warnings(warnings) {}

  void Parse() {
    const std::string& first = m_words[0].text;
    if (first == "prefix-timeout") return ParseTime(m_source.prefixTimeout);
    if (first == "repeat-threshold") return ParseTime(m_source.repeatThreshold);
    if (first == "count") return ParseSetting(m_source.count, -128, 127, "an entry count from -128 to 127");
    if (first == "trailer-value")
      return ParseSetting(m_source.trailerValue, 0, 0xFFFF, "a 16-bit value from 0 to 0xFFFF");
    if (first == "spare-byte") return ParseSetting(m_source.spareByte, 0, 0xFF, "a byte from 0 to 0xFF");
    if (first == "size")
      return ParseSetting(m_source.size, 0, MAX_FILE_SIZE, "a file size in bytes from 0 to 1048576");
    if (first == "data") return ParseData();
    ParseEntry();
  }

 private:
  void Error(size_t word, const std::string& text) {
    int column = word < m_words.size() ? m_words[word].column : 0;
    if (word >= m_words.size() && !m_words.empty())
      column = m_words.back().column + static_cast<int>(m_words.back().text.size());
    m_errors.push_back(Diagnostic{m_line, column, text});
  }

  static std::string Quoted(const std::string& text) { return "'" + text + "'"; }

  std::string Found(size_t word) const {
    return word < m_words.size() ? "found " + Quoted(m_words[word].text) : "found the end of the line";
  }

  bool Claim(MapSetting& setting) {
    if (!setting.given) return true;
    Error(0, m_words[0].text + " is already set on line " + std::to_string(setting.line));
    return false;
  }

  bool CheckEnd(size_t word) {
    if (word >= m_words.size()) return true;
    Error(word, "unexpected " + Quoted(m_words[word].text) + " after " + m_words[0].text + "'s value");
    return false;
  }

  void ParseSetting(MapSetting& setting, int64_t low, int64_t high, const char* expected) {
    if (!Claim(setting)) return;
    int64_t value = 0;
    if (m_words.size() < 2 || !ParseNumber(m_words[1].text, low, high, &value)) {
      Error(1, std::string("expected ") + expected + ", " + Found(1));
      return;
    }
    if (!CheckEnd(2)) return;
    setting = MapSetting{true, value, m_line};
  }

  // "1240 ms", "1240ms" or "1240": milliseconds, rounded to the nearest 20 ms unit (halves away
  // from zero); the unit count is a signed byte in the file.
  void ParseTime(MapSetting& setting) {
    if (!Claim(setting)) return;
    const char* expected = "expected a time in milliseconds from -2560 to 2540";
    std::string number = m_words.size() > 1 ? m_words[1].text : "";
    size_t next = 2;
    if (number.size() > 2 && number.compare(number.size() - 2, 2, "ms") == 0) {
      number.resize(number.size() - 2);
    } else if (next < m_words.size() && m_words[next].text == "ms") {
      ++next;
    }
    int64_t ms = 0;
    if (m_words.size() < 2 || !ParseNumber(number, -1000000, 1000000, &ms)) {
      Error(1, std::string(expected) + ", " + Found(1));
      return;
    }
    int64_t units = (ms >= 0 ? ms + MS_PER_UNIT / 2 : ms - MS_PER_UNIT / 2) / MS_PER_UNIT;
    if (units < -128 || units > 127) {
      Error(1, std::string(expected) + ", found " + std::to_string(ms) + " ms");
      return;
    }
    if (!CheckEnd(next)) return;
    if (units * MS_PER_UNIT != ms)
      m_warnings.push_back(Diagnostic{m_line, m_words[1].column,
                                      std::to_string(ms) + " ms is rounded to " +
                                          std::to_string(units * MS_PER_UNIT) + " ms (20 ms steps)"});
    setting = MapSetting{true, units, m_line};
  }

  void ParseData() {
    DataLine data;
    data.line = m_line;
    if (m_words.size() < 2 || !ParseNumber(m_words[1].text, 0, MAX_FILE_SIZE, &data.offset)) {
      Error(1, "expected a byte offset from 0 to 1048576, " + Found(1));
      return;
    }
    if (m_words.size() < 3) {
      Error(2, "expected the data bytes in hex after the offset, found the end of the line");
      return;
    }
    for (size_t i = 2; i < m_words.size(); ++i) {
      uint32_t value = 0;
      if (!ParseHex(WithoutHexPrefix(m_words[i].text), 2, &value)) {
        Error(i, "expected a byte in hex (00 to FF), " + Found(i));
        return;
      }
      data.bytes.push_back(static_cast<uint8_t>(value));
    }
    m_source.data.push_back(std::move(data));
  }

  // Flag words, like key names, ignore case.
  static std::string Lower(std::string word) {
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word;
  }

  static bool IsFlagWord(const std::string& word) {
    const std::string lower = Lower(word);
    return lower == "prefix" || lower == "alt" || lower == "bits";
  }

  bool ParseKey(size_t word, uint8_t* pModifiers, uint8_t* pUsage) {
    size_t badPart = 0;
    if (word < m_words.size() && ParseKeyText(m_words[word].text, pModifiers, pUsage, &badPart)) return true;
    if (word < m_words.size()) {
      // Point at the part that is not understood.
      const Word& bad = m_words[word];
      const std::string part = bad.text.substr(badPart, bad.text.find('+', badPart) - badPart);
      const std::string found = part.empty() ? "found nothing where '+' needs a key on each side" : "found " + Quoted(part);
      m_errors.push_back(Diagnostic{m_line, bad.column + static_cast<int>(badPart),
                                    std::string("expected a key name (") + KEY_NAME_EXAMPLES +
                                        "), a modifier or a usage code 0x00 to 0xFF, " + found});
      return false;
    }
    Error(word, std::string("expected a key name (") + KEY_NAME_EXAMPLES +
                    "), a modifier or a usage code 0x00 to 0xFF, " + Found(word));
    return false;
  }

  void ParseEntry() {
    KeyMapEntry entry;
    entry.line = m_line;
    uint32_t value = 0;
    if (!ParseHex(WithoutHexPrefix(m_words[0].text), 8, &value)) {
      Error(0, "expected a raw code in hex (like 0x00FF30CF) or a setting (prefix-timeout, "
               "repeat-threshold, count, trailer-value, spare-byte, size, data), found " +
                   Quoted(m_words[0].text));
      return;
    }
    entry.rawCode = value;

    size_t word = 1;
    bool bHaveKey = false;
    if (word < m_words.size() && !IsFlagWord(m_words[word].text)) {
      if (!ParseKey(word, &entry.modifiers, &entry.usage)) return;
      bHaveKey = true;
      ++word;
    }
    while (word < m_words.size()) {
      const std::string flag = Lower(m_words[word].text);
      uint8_t bit = flag == "prefix" ? 0x80 : flag == "alt" ? 0x40 : 0;
      if (bit != 0 && (entry.flags & bit) != 0) {
        Error(word, Quoted(m_words[word].text) + " is given twice");
        return;
      }
      if (flag == "prefix") {
        entry.flags |= 0x80;
        ++word;
      } else if (flag == "alt") {
        entry.flags |= 0x40;
        ++word;
        if (word < m_words.size() && Lower(m_words[word].text) == "next") {
          entry.alternate = Alternate::Next;
        } else {
          if (!ParseKey(word, &entry.altModifiers, &entry.altUsage)) return;
          entry.alternate = Alternate::Filler;
        }
        ++word;
      } else if (flag == "bits") {
        uint32_t bits = 0;
        const std::string digits = word + 1 < m_words.size() ? WithoutHexPrefix(m_words[word + 1].text) : "";
        if (!ParseHex(digits, 2, &bits) || bits > 0x3F) {
          Error(word + 1, "expected flag bits from 0x00 to 0x3F (0x80 is prefix, 0x40 is alt), " + Found(word + 1));
          return;
        }
        entry.flags |= static_cast<uint8_t>(bits);
        word += 2;
      } else {
        Error(word, std::string("unexpected ") + Quoted(m_words[word].text) + ": expected " + kFlagWords);
        return;
      }
    }
    if (!bHaveKey && (entry.flags & 0x80) == 0) {
      // "alt" right after the code is the flag, so the Alt key alone needs its full name.
      const bool bAltKey = m_words.size() > 1 && Lower(m_words[1].text) == "alt";
      Error(1, std::string("expected a key name (") + KEY_NAME_EXAMPLES + ") or prefix after the code, " +
                   Found(1) + (bAltKey ? " (the Alt key alone is LAlt)" : ""));
      return;
    }
    m_source.entries.push_back(entry);
  }

  int m_line;
  std::vector<Word> m_words;
  KeyMapSource& m_source;
  std::vector<Diagnostic>& m_errors;
  std::vector<Diagnostic>& m_warnings;
};

}  // namespace

bool ParseKeyMap(const std::string& text, KeyMapSource* pSource, std::vector<Diagnostic>* pErrors,
                 std::vector<Diagnostic>* pWarnings) {
  *pSource = KeyMapSource{};
  const size_t nErrorsBefore = pErrors->size();
  if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0) {
    pErrors->push_back(Diagnostic{1, 1, "the map is UTF-16 text; save it as UTF-8 or ANSI"});
    return false;
  }
  const size_t nul = text.find('\0');
  if (nul != std::string::npos) {
    const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + nul, '\n'));
    pErrors->push_back(Diagnostic{line, 0, "a NUL byte: this looks like a key table file, not a key map (a key "
                                           "table file's name ends in .bin)"});
    return false;
  }
  size_t start = 0;
  // A byte order mark from a Windows editor is not part of the first line.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
  for (int line = 1; start <= text.size(); ++line) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string content = text.substr(start, end - start);
    std::vector<Word> words = SplitWords(content);
    if (!words.empty()) LineParser(line, std::move(words), *pSource, *pErrors, *pWarnings).Parse();
    start = end + 1;
  }
  return pErrors->size() == nErrorsBefore;
}

std::string FormatDiagnostic(const std::string& file, const Diagnostic& diagnostic, const char* kind) {
  std::string place = file;
  if (diagnostic.line > 0) place += ":" + std::to_string(diagnostic.line);
  if (diagnostic.line > 0 && diagnostic.column > 0) place += ":" + std::to_string(diagnostic.column);
  return place + ": " + kind + ": " + diagnostic.text;
}

}  // namespace keytable
