#pragma once
// COM and common controls for the program's thread, sleeping and the last error code.
#include "DesktopApi.h"

namespace wendle {

class Win32SystemServices : public SystemServices {
 public:
  void InitializeCom() override;
  void InitCommonControls(uint32_t classes) override;
  void UninitializeCom() override;
  void Sleep(uint32_t milliseconds) override;
  uint32_t LastError() override;
};

}  // namespace wendle
