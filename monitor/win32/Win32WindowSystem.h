#pragma once
// The window layer: the hidden window's class, its window procedure, the message loop, and the
// window-system calls the handlers make (timers, destruction, the program's icons).
#include "DesktopApi.h"

namespace wendle {

class Win32WindowSystem : public WindowSystem {
 public:
  WindowHandle CreateMonitorWindow(CWindowObject& object, const char16_t* title, uint32_t style,
                                   uint32_t exStyle) override;
  void ShowWindow(WindowHandle window, int32_t command) override;
  int32_t RunMessageLoop() override;
  LResult DefaultProcedure(WindowHandle window, uint32_t message, WParam wParam,
                           LParam lParam) override;
  bool SetTimer(WindowHandle window, std::uintptr_t id, uint32_t periodMs) override;
  bool KillTimer(WindowHandle window, std::uintptr_t id) override;
  bool DestroyWindow(WindowHandle window) override;
  void PostQuitMessage(int32_t exitCode) override;
  bool SetForegroundWindow(WindowHandle window) override;
  IconHandle LoadIconImage(uint32_t resourceId, int32_t size) override;
  bool DestroyIcon(IconHandle icon) override;
};

}  // namespace wendle
