#pragma once
// Menus, the cursor and the monitors' geometry.
#include "DesktopApi.h"

namespace wendle {

class Win32Menus : public MenuSystem {
 public:
  MenuHandle LoadMenuResource(uint32_t resourceId) override;
  MenuHandle GetSubMenu(MenuHandle menu, int32_t position) override;
  bool TrackPopupMenu(MenuHandle popup, uint32_t flags, int32_t x, int32_t y,
                      WindowHandle owner) override;
  bool DestroyMenu(MenuHandle menu) override;
  bool GetCursorPos(ScreenPoint& point) override;
  MonitorHandle MonitorFromPoint(ScreenPoint point, uint32_t flags) override;
  bool GetMonitorWorkArea(MonitorHandle monitor, ScreenRect& workArea) override;
};

}  // namespace wendle
