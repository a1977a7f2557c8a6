#include "MapWords.h"

#include <cctype>

namespace keytable {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::vector<Word> SplitWords(const std::string& line) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < line.size() && line[i] != '#') {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    size_t start = i;
    while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') ++i;
    words.push_back(Word{line.substr(start, i - start), static_cast<int>(start) + 1});
  }
  return words;
}

std::string WithoutHexPrefix(const std::string& word) {
  return word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X') ? word.substr(2) : word;
}

bool ParseHex(const std::string& digits, size_t maxDigits, uint32_t* pValue) {
  if (digits.empty() || digits.size() > maxDigits) return false;
  uint32_t value = 0;
  for (char c : digits) {
    int digit = HexDigit(c);
    if (digit < 0) return false;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  *pValue = value;
  return true;
}

bool ParseNumber(const std::string& word, int64_t low, int64_t high, int64_t* pValue) {
  int64_t value = 0;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    uint32_t hex = 0;
    if (!ParseHex(word.substr(2), 8, &hex)) return false;
    value = hex;
  } else {
    size_t i = word.size() > 1 && word[0] == '-' ? 1 : 0;
    if (i == word.size() || word.size() - i > 10) return false;
    for (; i < word.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(word[i]))) return false;
      value = value * 10 + (word[i] - '0');
    }
    if (word[0] == '-') value = -value;
  }
  if (value < low || value > high) return false;
  *pValue = value;
  return true;
}

}  // namespace keytable
