#include "Win32Keyboard.h"

#include <windows.h>

namespace wendle {

uint32_t Win32Keyboard::SendInput(const KeyboardInputRecord& record) {
  INPUT input{};
  input.type = record.type;
  input.ki.wVk = record.wVk;
  input.ki.wScan = record.wScan;
  input.ki.dwFlags = record.dwFlags;
  input.ki.time = record.time;
  input.ki.dwExtraInfo = record.dwExtraInfo;
  return ::SendInput(1, &input, sizeof(INPUT));
}

uint32_t Win32Keyboard::MapVirtualKeyCode(uint32_t code, uint32_t mapType, LayoutHandle layout) {
  return MapVirtualKeyExW(code, mapType, reinterpret_cast<HKL>(layout));
}

LayoutHandle Win32Keyboard::GetKeyboardLayout(uint32_t threadId) {
  return reinterpret_cast<LayoutHandle>(::GetKeyboardLayout(threadId));
}

}  // namespace wendle
