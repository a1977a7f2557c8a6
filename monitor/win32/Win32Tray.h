#pragma once
// The shell's notification area.
#include "DesktopApi.h"

namespace wendle {

class Win32Tray : public TrayArea {
 public:
  bool NotifyIcon(uint32_t message, const TrayIconRecord& record) override;
};

}  // namespace wendle
