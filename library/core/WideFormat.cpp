#include "WideFormat.h"

#include <cstdint>

namespace text {
namespace {

class Writer {
 public:
  Writer(char16_t* buffer, size_t capacity) : m_buffer(buffer), m_capacity(capacity) {}
  void Put(char16_t c) {
    if (m_capacity != 0 && m_length + 1 < m_capacity) m_buffer[m_length++] = c;
  }
  size_t Finish() {
    if (m_capacity != 0) m_buffer[m_length] = u'\0';
    return m_length;
  }

 private:
  char16_t* m_buffer;
  size_t m_capacity;
  size_t m_length = 0;
};

void PutPadded(Writer& out, const char16_t* digits, size_t count, bool negative, unsigned width,
               bool leftAlign, bool zeroPad) {
  size_t total = count + (negative ? 1 : 0);
  size_t pad = width > total ? width - total : 0;
  if (!leftAlign && !zeroPad)
    for (size_t i = 0; i < pad; ++i) out.Put(u' ');
  if (negative) out.Put(u'-');
  if (!leftAlign && zeroPad)
    for (size_t i = 0; i < pad; ++i) out.Put(u'0');
  for (size_t i = 0; i < count; ++i) out.Put(digits[i]);
  if (leftAlign)
    for (size_t i = 0; i < pad; ++i) out.Put(u' ');
}

size_t ToDigits(uint32_t value, unsigned base, bool upper, char16_t* digits) {
  char16_t reversed[16];
  size_t count = 0;
  do {
    unsigned d = value % base;
    reversed[count++] = static_cast<char16_t>(d < 10 ? u'0' + d : (upper ? u'A' : u'a') + d - 10);
    value /= base;
  } while (value != 0);
  for (size_t i = 0; i < count; ++i) digits[i] = reversed[count - 1 - i];
  return count;
}

}  // namespace

size_t WideLength(const char16_t* text) {
  size_t n = 0;
  if (text)
    while (text[n]) ++n;
  return n;
}

size_t FormatWideV(char16_t* buffer, size_t capacity, const char16_t* format, va_list args) {
  Writer out(buffer, capacity);
  for (const char16_t* p = format; *p; ++p) {
    if (*p != u'%') {
      out.Put(*p);
      continue;
    }
    ++p;
    bool leftAlign = false, zeroPad = false;
    for (;; ++p) {
      if (*p == u'-') leftAlign = true;
      else if (*p == u'0') zeroPad = true;
      else break;
    }
    unsigned width = 0;
    while (*p >= u'0' && *p <= u'9') width = width * 10 + (*p++ - u'0');
    while (*p == u'l' || *p == u'h') ++p;
    char16_t digits[16];
    switch (*p) {
      case u'd':
      case u'i': {
        int32_t v = va_arg(args, int32_t);
        uint32_t magnitude = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
        PutPadded(out, digits, ToDigits(magnitude, 10, false, digits), v < 0, width, leftAlign, zeroPad);
        break;
      }
      case u'u':
        PutPadded(out, digits, ToDigits(va_arg(args, uint32_t), 10, false, digits), false, width,
                  leftAlign, zeroPad);
        break;
      case u'x':
      case u'X':
        PutPadded(out, digits, ToDigits(va_arg(args, uint32_t), 16, *p == u'X', digits), false,
                  width, leftAlign, zeroPad);
        break;
      case u'c': {
        char16_t c = static_cast<char16_t>(va_arg(args, int));
        PutPadded(out, &c, 1, false, width, leftAlign, false);
        break;
      }
      case u's': {
        const char16_t* s = va_arg(args, const char16_t*);
        static const char16_t kNull[] = u"(null)";
        if (!s) s = kNull;
        PutPadded(out, s, WideLength(s), false, width, leftAlign, false);
        break;
      }
      case u'\0':
        return out.Finish();
      default:  // "%%" and unknown conversions print the character itself
        out.Put(*p);
        break;
    }
  }
  return out.Finish();
}

size_t FormatWide(char16_t* buffer, size_t capacity, const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  size_t n = FormatWideV(buffer, capacity, format, args);
  va_end(args);
  return n;
}

std::u16string Widen(const char* ascii) {
  std::u16string s;
  for (; ascii && *ascii; ++ascii) s.push_back(static_cast<unsigned char>(*ascii));
  return s;
}

std::string Narrow(const char16_t* text) {
  std::string s;
  for (; text && *text; ++text) s.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
  return s;
}

}  // namespace text
