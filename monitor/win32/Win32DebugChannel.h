#pragma once
// Traces to an attached debugger through the system's debug output.
#include "DebugChannel.h"

namespace wendle {

class Win32DebugChannel : public DebugChannel {
 public:
  void Output(const char16_t* text) override;
};

}  // namespace wendle
