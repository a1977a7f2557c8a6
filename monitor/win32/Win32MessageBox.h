#pragma once
// Modal message boxes of the window system.
#include "MessageBoxApi.h"

namespace wendle {

class Win32MessageBox : public MessageBoxApi {
 public:
  int32_t Show(WindowHandle owner, const char16_t* text, const char16_t* caption, uint32_t type) override;
};

}  // namespace wendle
