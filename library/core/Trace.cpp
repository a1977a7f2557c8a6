#include "Trace.h"

#include <cstdarg>

#include "LibraryPlatform.h"
#include "WideFormat.h"

namespace korvan {

void Trace(const char16_t* text) { Platform().debug->Write(text); }

void TraceFormat(const char16_t* format, ...) {
  char16_t buffer[kTraceBufferLength];
  va_list args;
  va_start(args, format);
  text::FormatWideV(buffer, kTraceBufferLength, format, args);
  va_end(args);
  Trace(buffer);
}

}  // namespace korvan
