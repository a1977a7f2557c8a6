#pragma once
// The words of a key map line: splitting a line into words with their columns, and the number
// forms the map uses.
#include <cstdint>
#include <string>
#include <vector>

namespace keytable {

struct Word {
  std::string text;
  int column;  // 1-based byte column within its line
};

// The words of one line, separated by blanks, up to a "#" that starts a comment.
std::vector<Word> SplitWords(const std::string& line);

// word without a leading "0x" or "0X".
std::string WithoutHexPrefix(const std::string& word);

// Hex digits only (no prefix), 1 to maxDigits of them.
bool ParseHex(const std::string& digits, size_t maxDigits, uint32_t* pValue);

// A decimal number with an optional minus sign, or a hex one written 0xNN; within [low, high].
bool ParseNumber(const std::string& word, int64_t low, int64_t high, int64_t* pValue);

}  // namespace keytable
