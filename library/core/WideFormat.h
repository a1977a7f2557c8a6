#pragma once
// UTF-16 text formatting with the system formatter's rules (wsprintfW), kept portable so
// that every trace text can be checked by the native tests byte for byte.
#include <cstdarg>
#include <cstddef>
#include <string>

namespace text {

// Formats into buffer (capacity in UTF-16 units, terminator included) and returns the number
// of units written without the terminator. Output that does not fit is cut off; the buffer is
// always terminated when capacity > 0.
// Conversions: %d %i %u %x %X %c %s (UTF-16 string) %%, with the flags '-' and '0', a width
// and the size prefixes 'l' and 'h'; %x/%X print the 32-bit value as unsigned.
size_t FormatWide(char16_t* buffer, size_t capacity, const char16_t* format, ...);
size_t FormatWideV(char16_t* buffer, size_t capacity, const char16_t* format, va_list args);

// Length of a NUL-terminated UTF-16 string.
size_t WideLength(const char16_t* text);

// Conversions used by tests and by code that has to pass 8-bit texts through (ASCII only).
std::u16string Widen(const char* ascii);
std::string Narrow(const char16_t* text);

}  // namespace text
