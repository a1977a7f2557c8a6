#pragma once
// Seam: what the monitor's window needs from the desktop, one class per role. The Win32 program
// maps every method onto the one system call named in its comment; native tests record the
// calls. Handles travel as pointer-sized integers (0 = none), records in the platform's layout.
// Method names avoid the system's A/W macro names so that the Win32 side sees the same names.
#include <cstddef>
#include <cstdint>

#include "PlatformTypes.h"

namespace wendle {

class CWindowObject;

using IconHandle = std::uintptr_t;
using MenuHandle = std::uintptr_t;
using MonitorHandle = std::uintptr_t;
using NotifyHandle = std::uintptr_t;
using LayoutHandle = std::uintptr_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

struct Guid {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};

// The shell's tray record in its 952-byte form: the layout that ends with guidItem, without the
// balloon icon that newer headers append. Handed to the shell as it is.
struct TrayIconRecord {
  uint32_t cbSize;
  WindowHandle hWnd;
  uint32_t uID;
  uint32_t uFlags;
  uint32_t uCallbackMessage;
  IconHandle hIcon;
  char16_t szTip[128];
  uint32_t dwState;
  uint32_t dwStateMask;
  char16_t szInfo[256];
  uint32_t uTimeoutOrVersion;
  char16_t szInfoTitle[64];
  uint32_t dwInfoFlags;
  Guid guidItem;
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(TrayIconRecord) == 952, "the shell is handed the 952-byte record");
#endif

constexpr uint32_t TRAY_ADD = 0;     // NIM_ADD
constexpr uint32_t TRAY_MODIFY = 1;  // NIM_MODIFY
constexpr uint32_t TRAY_DELETE = 2;  // NIM_DELETE
constexpr uint32_t TRAY_FLAG_MESSAGE = 0x1;
constexpr uint32_t TRAY_FLAG_ICON = 0x2;
constexpr uint32_t TRAY_FLAG_TIP = 0x4;

// A device-interface broadcast record (DEV_BROADCAST_DEVICEINTERFACE_W) with an empty name, as
// the notification filter. Received records have the same head and a longer name.
struct DeviceInterfaceFilter {
  uint32_t dbcc_size;
  uint32_t dbcc_devicetype;
  uint32_t dbcc_reserved;
  Guid dbcc_classguid;
  char16_t dbcc_name[1];
};
static_assert(sizeof(DeviceInterfaceFilter) == 32, "the filter's size is 32 bytes");
constexpr size_t DEVICE_RECORD_NAME_OFFSET = offsetof(DeviceInterfaceFilter, dbcc_name);
static_assert(DEVICE_RECORD_NAME_OFFSET == 28, "device names start at byte 28");

constexpr uint32_t DEVICE_TYPE_INTERFACE = 5;  // DBT_DEVTYP_DEVICEINTERFACE

// One keyboard INPUT record: the fields a keystroke uses. The Win32 side copies them into a
// zeroed INPUT and sends that with one SendInput call.
struct KeyboardInputRecord {
  uint32_t type;
  uint16_t wVk;
  uint16_t wScan;
  uint32_t dwFlags;
  uint32_t time;
  std::uintptr_t dwExtraInfo;
};

constexpr uint32_t INPUT_TYPE_KEYBOARD = 1;
constexpr uint32_t KEYSTROKE_EXTENDED = 0x1;  // KEYEVENTF_EXTENDEDKEY
constexpr uint32_t KEYSTROKE_UP = 0x2;        // KEYEVENTF_KEYUP

struct ScreenPoint {
  int32_t x;
  int32_t y;
};

struct ScreenRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

constexpr uint32_t MONITOR_NULL_IF_NONE = 0;   // MONITOR_DEFAULTTONULL
constexpr uint32_t MONITOR_NEAREST = 2;        // MONITOR_DEFAULTTONEAREST
constexpr uint32_t POPUP_RIGHTALIGN_RIGHTBUTTON = 0x000A;  // TPM_RIGHTALIGN | TPM_RIGHTBUTTON

// Window creation, the message loop, timers and the program's icons.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Registers the private window class (CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, arrow cursor,
  // COLOR_WINDOW + 1 background) if needed and calls CreateWindowExW(exStyle, class, title, style,
  // CW_USEDEFAULT x4, no parent, no menu, no creation parameter). The window procedure hands every
  // message, WM_CREATE included, to DispatchWindowMessage for object. Returns 0 on failure.
  virtual WindowHandle CreateMonitorWindow(CWindowObject& object, const char16_t* title,
                                           uint32_t style, uint32_t exStyle) = 0;

  // ShowWindow(window, command).
  virtual void ShowWindow(WindowHandle window, int32_t command) = 0;

  // GetMessageW / TranslateMessage / DispatchMessageW over all windows of the thread until
  // WM_QUIT; a GetMessageW result of -1 is skipped. Returns WM_QUIT's wParam.
  virtual int32_t RunMessageLoop() = 0;

  // DefWindowProcW.
  virtual LResult DefaultProcedure(WindowHandle window, uint32_t message, WParam wParam,
                                   LParam lParam) = 0;

  virtual bool SetTimer(WindowHandle window, std::uintptr_t id, uint32_t periodMs) = 0;  // no callback
  virtual bool KillTimer(WindowHandle window, std::uintptr_t id) = 0;
  virtual bool DestroyWindow(WindowHandle window) = 0;
  virtual void PostQuitMessage(int32_t exitCode) = 0;
  virtual bool SetForegroundWindow(WindowHandle window) = 0;

  // LoadImageW(own module, resource id, IMAGE_ICON, size, size, LR_DEFAULTCOLOR); 0 on failure.
  virtual IconHandle LoadIconImage(uint32_t resourceId, int32_t size) = 0;
  virtual bool DestroyIcon(IconHandle icon) = 0;
};

// The shell's notification area.
class TrayArea {
 public:
  virtual ~TrayArea() = default;

  // Shell_NotifyIconW(message, record).
  virtual bool NotifyIcon(uint32_t message, const TrayIconRecord& record) = 0;
};

// Menus and the screen geometry a pop-up menu is placed by.
class MenuSystem {
 public:
  virtual ~MenuSystem() = default;

  virtual MenuHandle LoadMenuResource(uint32_t resourceId) = 0;  // LoadMenuW(own module, id)
  virtual MenuHandle GetSubMenu(MenuHandle menu, int32_t position) = 0;
  // TrackPopupMenu(popup, flags, x, y, 0, owner, no rectangle); false when it failed.
  virtual bool TrackPopupMenu(MenuHandle popup, uint32_t flags, int32_t x, int32_t y,
                              WindowHandle owner) = 0;
  virtual bool DestroyMenu(MenuHandle menu) = 0;
  virtual bool GetCursorPos(ScreenPoint& point) = 0;
  virtual MonitorHandle MonitorFromPoint(ScreenPoint point, uint32_t flags) = 0;
  // GetMonitorInfoW with a MONITORINFO of cbSize 40; on success workArea is its rcWork.
  virtual bool GetMonitorWorkArea(MonitorHandle monitor, ScreenRect& workArea) = 0;
};

// Synthetic keyboard input.
class KeyboardInput {
 public:
  virtual ~KeyboardInput() = default;

  // SendInput(1, &input, sizeof(INPUT)) with the record's fields: the number of events inserted.
  virtual uint32_t SendInput(const KeyboardInputRecord& record) = 0;
  // MapVirtualKeyExW(code, mapType, layout).
  virtual uint32_t MapVirtualKeyCode(uint32_t code, uint32_t mapType, LayoutHandle layout) = 0;
  virtual LayoutHandle GetKeyboardLayout(uint32_t threadId) = 0;
};

// Registration for device-interface arrival and removal messages.
class DeviceNotifications {
 public:
  virtual ~DeviceNotifications() = default;

  // RegisterDeviceNotificationW(window, filter, flags); 0 on failure.
  virtual NotifyHandle Register(WindowHandle window, const DeviceInterfaceFilter& filter,
                                uint32_t flags) = 0;
  virtual bool Unregister(NotifyHandle registration) = 0;  // UnregisterDeviceNotification
};

// Process-wide services around the window: COM and common controls for the thread, sleeping,
// and the thread's last error code.
class SystemServices {
 public:
  virtual ~SystemServices() = default;

  virtual void InitializeCom() = 0;                      // CoInitialize(NULL), result ignored
  virtual void InitCommonControls(uint32_t classes) = 0;  // InitCommonControlsEx, dwSize 8
  virtual void UninitializeCom() = 0;                    // CoUninitialize
  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual uint32_t LastError() = 0;  // GetLastError, read right after the call that failed
};

struct DesktopPlatform {
  WindowSystem* pWindows = nullptr;
  TrayArea* pTray = nullptr;
  MenuSystem* pMenus = nullptr;
  KeyboardInput* pKeyboard = nullptr;
  DeviceNotifications* pDeviceNotify = nullptr;
  SystemServices* pSystem = nullptr;
};

// The record in use; installed by the program's entry or by a test, like MonitorPlatform.
const DesktopPlatform& Desktop();
DesktopPlatform SetDesktopPlatform(const DesktopPlatform& desktop);

}  // namespace wendle
