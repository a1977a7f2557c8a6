#pragma once
// The system tick counter.
#include "TickSource.h"

namespace wendle {

class Win32TickSource : public TickSource {
 public:
  uint32_t TickCount() override;
};

}  // namespace wendle
