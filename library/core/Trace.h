#pragma once
// Library traces: one whole UTF-16 text per trace, formatted with the system formatter's rules
// into a buffer of 1024 characters.
namespace korvan {

constexpr unsigned kTraceBufferLength = 1024;

void Trace(const char16_t* text);
void TraceFormat(const char16_t* format, ...);

}  // namespace korvan
