#include "Win32Menus.h"

#include <windows.h>

namespace wendle {
namespace {

HMENU ToMenu(MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }

}  // namespace

MenuHandle Win32Menus::LoadMenuResource(uint32_t resourceId) {
  return reinterpret_cast<MenuHandle>(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId)));
}

MenuHandle Win32Menus::GetSubMenu(MenuHandle menu, int32_t position) {
  return reinterpret_cast<MenuHandle>(::GetSubMenu(ToMenu(menu), position));
}

bool Win32Menus::TrackPopupMenu(MenuHandle popup, uint32_t flags, int32_t x, int32_t y,
                                WindowHandle owner) {
  return ::TrackPopupMenu(ToMenu(popup), flags, x, y, 0, reinterpret_cast<HWND>(owner), nullptr) != FALSE;
}

bool Win32Menus::DestroyMenu(MenuHandle menu) { return ::DestroyMenu(ToMenu(menu)) != FALSE; }

bool Win32Menus::GetCursorPos(ScreenPoint& point) {
  POINT pt{};
  if (!::GetCursorPos(&pt)) return false;
  point = {pt.x, pt.y};
  return true;
}

MonitorHandle Win32Menus::MonitorFromPoint(ScreenPoint point, uint32_t flags) {
  return reinterpret_cast<MonitorHandle>(::MonitorFromPoint(POINT{point.x, point.y}, flags));
}

bool Win32Menus::GetMonitorWorkArea(MonitorHandle monitor, ScreenRect& workArea) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  static_assert(sizeof(MONITORINFO) == 40, "the plain monitor record, without a device name");
  if (!GetMonitorInfoW(reinterpret_cast<HMONITOR>(monitor), &info)) return false;
  workArea = {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  return true;
}

}  // namespace wendle
