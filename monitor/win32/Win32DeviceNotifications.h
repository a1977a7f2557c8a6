#pragma once
// Registration for device-interface arrival and removal messages to a window.
#include "DesktopApi.h"

namespace wendle {

class Win32DeviceNotifications : public DeviceNotifications {
 public:
  NotifyHandle Register(WindowHandle window, const DeviceInterfaceFilter& filter,
                        uint32_t flags) override;
  bool Unregister(NotifyHandle registration) override;
};

}  // namespace wendle
