#include "KeyNames.h"

#include <cctype>
#include <cstdio>

#include "KeyMaps.h"
#include "MapWords.h"

namespace keytable {
namespace {

// Indexed by usage - FIRST_MAPPED_USAGE, like the monitor's UsageKeyMap.
const char* const kUsageNames[] = {
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S",
    "T", "U", "V", "W", "X", "Y", "Z",                                           // 0x04 - 0x1D
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "0",                            // 0x1E - 0x27
    "Enter", "Escape", "Backspace", "Tab", "Space", "Minus", "Equal", "LeftBracket",
    "RightBracket", "Backslash", "NonUSHash", "Semicolon", "Quote", "Grave", "Comma", "Period",
    "Slash", "CapsLock",                                                         // 0x28 - 0x39
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",  // 0x3A - 0x45
    "PrintScreen", "ScrollLock", "Pause", "Insert", "Home", "PageUp", "Delete", "End", "PageDown",
    "Right", "Left", "Down", "Up",                                               // 0x46 - 0x52
    "NumLock", "KP_Divide", "KP_Multiply", "KP_Minus", "KP_Plus", "KP_Enter", "KP_1", "KP_2",
    "KP_3", "KP_4", "KP_5", "KP_6", "KP_7", "KP_8", "KP_9", "KP_0", "KP_Period",  // 0x53 - 0x63
};
static_assert(sizeof kUsageNames / sizeof kUsageNames[0] ==
                  sizeof wendle::UsageKeyMap / sizeof wendle::UsageKeyMap[0],
              "a name for every usage code the monitor types");

const char* const kModifierNames[8] = {"LCtrl", "LShift", "LAlt", "LWin", "RCtrl", "RShift", "RAlt", "RWin"};
const char* const kModifierAliases[4] = {"Ctrl", "Shift", "Alt", "Win"};  // the left ones

bool SameWord(const std::string& word, const char* name) {
  size_t i = 0;
  for (; i < word.size() && name[i] != '\0'; ++i)
    if (std::tolower(static_cast<unsigned char>(word[i])) != std::tolower(static_cast<unsigned char>(name[i])))
      return false;
  return i == word.size() && name[i] == '\0';
}

// "0xNN" with one or two hex digits.
bool ParseUsageNumber(const std::string& word, uint8_t* pUsage) {
  if (word.size() < 3 || word.size() > 4 || word[0] != '0' || (word[1] != 'x' && word[1] != 'X'))
    return false;
  uint32_t value = 0;
  if (!ParseHex(word.substr(2), 2, &value)) return false;
  *pUsage = static_cast<uint8_t>(value);
  return true;
}

}  // namespace

const char* UsageName(uint8_t usage) {
  if (usage < wendle::FIRST_MAPPED_USAGE || usage > wendle::LAST_MAPPED_USAGE) return nullptr;
  return kUsageNames[usage - wendle::FIRST_MAPPED_USAGE];
}

bool FindUsage(const std::string& word, uint8_t* pUsage) {
  for (unsigned usage = wendle::FIRST_MAPPED_USAGE; usage <= wendle::LAST_MAPPED_USAGE; ++usage) {
    if (SameWord(word, UsageName(static_cast<uint8_t>(usage)))) {
      *pUsage = static_cast<uint8_t>(usage);
      return true;
    }
  }
  if (SameWord(word, "none")) {
    *pUsage = 0;
    return true;
  }
  return ParseUsageNumber(word, pUsage);
}

uint8_t FindModifier(const std::string& word) {
  for (int bit = 0; bit < 8; ++bit)
    if (SameWord(word, kModifierNames[bit])) return static_cast<uint8_t>(1u << bit);
  for (int bit = 0; bit < 4; ++bit)
    if (SameWord(word, kModifierAliases[bit])) return static_cast<uint8_t>(1u << bit);
  return 0;
}

std::string KeyText(uint8_t modifiers, uint8_t usage) {
  std::string text;
  for (int bit = 0; bit < 8; ++bit) {
    if ((modifiers & (1u << bit)) == 0) continue;
    if (!text.empty()) text += '+';
    text += kModifierNames[bit];
  }
  if (usage == 0 && !text.empty()) return text;
  if (!text.empty()) text += '+';
  if (usage == 0) return text + "none";
  if (const char* name = UsageName(usage)) return text + name;
  char number[8];
  std::snprintf(number, sizeof number, "0x%02X", unsigned{usage});
  return text + number;
}

bool ParseKeyText(const std::string& text, uint8_t* pModifiers, uint8_t* pUsage, size_t* pBadPart) {
  uint8_t modifiers = 0;
  size_t start = 0;
  for (;;) {
    size_t plus = text.find('+', start);
    std::string part = text.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
    uint8_t bit = FindModifier(part);
    if (plus == std::string::npos) {
      // The last part is the key; a modifier there stands alone, with no key usage.
      uint8_t usage = 0;
      if (bit == 0 && !FindUsage(part, &usage)) {
        *pBadPart = start;
        return false;
      }
      *pModifiers = static_cast<uint8_t>(modifiers | bit);
      *pUsage = usage;
      return true;
    }
    if (bit == 0) {
      *pBadPart = start;
      return false;
    }
    modifiers = static_cast<uint8_t>(modifiers | bit);
    start = plus + 1;
  }
}

}  // namespace keytable
