#pragma once
// Seam: the developer trace output (OutputDebugStringW). Seen only by an attached debugger.
namespace wendle {

class DebugChannel {
 public:
  virtual ~DebugChannel() = default;

  // Passes one NUL-terminated UTF-16 text on as it is; no line end is added. The text lives in a
  // shared buffer that is reused by the next trace, so an implementation must copy what it keeps.
  virtual void Output(const char16_t* text) = 0;
};

}  // namespace wendle
