#pragma once
// The names a key map uses for key usage codes (keyboard usage page 0x07) and modifier bits, and
// the key text of a (modifiers, usage) pair: "LCtrl+LShift+A", "Enter", "LShift", "none", "0x64".
#include <cstdint>
#include <string>

namespace keytable {

// The name of a usage code the monitor can type (0x04 to 0x63), or null for any other code.
const char* UsageName(uint8_t usage);

// Looks a name up, ignoring case: usage names, then the plain number form "0xNN". False when the
// word is neither.
bool FindUsage(const std::string& word, uint8_t* pUsage);

// The modifier bit of a name ("LCtrl" bit 0 ... "RWin" bit 7; "Ctrl", "Shift", "Alt" and "Win"
// stand for the left ones), ignoring case; 0 when the word is not a modifier.
uint8_t FindModifier(const std::string& word);

// The key text of a pair: modifiers in bit order, then the usage's name; a usage of 0 is
// "none" alone and left out after modifiers; a usage without a name is written 0xNN.
std::string KeyText(uint8_t modifiers, uint8_t usage);

// Parses key text as KeyText writes it (and with the modifier aliases). On failure returns false
// and sets *pBadPart to the offset within text of the part that is not understood.
bool ParseKeyText(const std::string& text, uint8_t* pModifiers, uint8_t* pUsage, size_t* pBadPart);

// Examples for messages.
constexpr const char* KEY_NAME_EXAMPLES = "like A, 1, Enter, F5, Up, KP_Plus or LCtrl+C";

}  // namespace keytable
