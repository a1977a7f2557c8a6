#pragma once
// Synthetic keyboard input and the keyboard layout.
#include "DesktopApi.h"

namespace wendle {

class Win32Keyboard : public KeyboardInput {
 public:
  uint32_t SendInput(const KeyboardInputRecord& record) override;
  uint32_t MapVirtualKeyCode(uint32_t code, uint32_t mapType, LayoutHandle layout) override;
  LayoutHandle GetKeyboardLayout(uint32_t threadId) override;
};

}  // namespace wendle
