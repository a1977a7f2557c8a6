#pragma once
// Seam: the system tick counter that the decoder measures its 20 ms units with.
#include <cstdint>

namespace wendle {

class TickSource {
 public:
  virtual ~TickSource() = default;

  // Milliseconds since system start, wrapping at 2^32 (GetTickCount). The decoder subtracts two
  // readings as unsigned 32-bit values, so the wrap is harmless.
  virtual uint32_t TickCount() = 0;
};

}  // namespace wendle
