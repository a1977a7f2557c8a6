#include "Win32Tray.h"

#include <cstddef>

#include <windows.h>
#include <shellapi.h>

namespace wendle {

// The core's record is the head of the system's NOTIFYICONDATAW up to guidItem; mingw's
// structure goes on with hBalloonIcon, which the 952-byte form does not have and cbSize leaves out.
static_assert(offsetof(NOTIFYICONDATAW, hWnd) == offsetof(TrayIconRecord, hWnd), "layout");
static_assert(offsetof(NOTIFYICONDATAW, hIcon) == offsetof(TrayIconRecord, hIcon), "layout");
static_assert(offsetof(NOTIFYICONDATAW, szTip) == offsetof(TrayIconRecord, szTip), "layout");
static_assert(offsetof(NOTIFYICONDATAW, szInfo) == offsetof(TrayIconRecord, szInfo), "layout");
static_assert(offsetof(NOTIFYICONDATAW, uTimeout) == offsetof(TrayIconRecord, uTimeoutOrVersion), "layout");
static_assert(offsetof(NOTIFYICONDATAW, dwInfoFlags) == offsetof(TrayIconRecord, dwInfoFlags), "layout");
static_assert(offsetof(NOTIFYICONDATAW, guidItem) == offsetof(TrayIconRecord, guidItem), "layout");
static_assert(sizeof(TrayIconRecord) == 952 && offsetof(NOTIFYICONDATAW, guidItem) + sizeof(GUID) == 952,
              "the shell is handed the 952-byte record");

bool Win32Tray::NotifyIcon(uint32_t message, const TrayIconRecord& record) {
  // The shell reads no more than cbSize (952) bytes of the record and writes none of them.
  auto* data = reinterpret_cast<NOTIFYICONDATAW*>(const_cast<TrayIconRecord*>(&record));
  return Shell_NotifyIconW(message, data) != FALSE;
}

}  // namespace wendle
