#include <cstdio>

#include "DiagnosticLog.h"
#include "HiddenWindow.h"
#include "MonitorGlobals.h"
#include "WindowMessages.h"

namespace wendle {
namespace {

constexpr char16_t TRAY_TIP[] = u"Wendle";

void LogLastError(const char* format) {
  std::snprintf(g_szLogText, LOG_TEXT_CAPACITY, format,
                static_cast<unsigned>(Desktop().pSystem->LastError()));
  WriteLog(g_hLogFile, g_szLogText);
}

}  // namespace

void CHiddenWindow::FillTrayRecord() {
  m_nid.hWnd = m_hWnd;
  m_nid.uID = TRAY_ICON_ID;
  m_nid.uFlags = TRAY_FLAG_MESSAGE | TRAY_FLAG_ICON | TRAY_FLAG_TIP;
  m_nid.uCallbackMessage = WM_TRAYNOTIFY;
  m_nid.uTimeoutOrVersion = 3;
  m_nid.hIcon = m_hIconNoDevice;
  const size_t capacity = sizeof(m_nid.szTip) / sizeof(m_nid.szTip[0]);
  size_t i = 0;
  for (; i + 1 < capacity && TRAY_TIP[i] != u'\0'; ++i) m_nid.szTip[i] = TRAY_TIP[i];
  m_nid.szTip[i] = u'\0';
}

// The shell may not be ready yet when the monitor starts with the session, hence one retry.
bool CHiddenWindow::AddTrayIcon() {
  WindowSystem& windows = *Desktop().pWindows;
  m_hIconReady = windows.LoadIconImage(IDI_READY, TRAY_ICON_SIZE);
  m_hIconKey = windows.LoadIconImage(IDI_KEY, TRAY_ICON_SIZE);
  m_hIconNoDevice = windows.LoadIconImage(IDI_NODEVICE, TRAY_ICON_SIZE);

  FillTrayRecord();
  if (Desktop().pTray->NotifyIcon(TRAY_ADD, m_nid)) return true;
  Desktop().pSystem->Sleep(TRAY_RETRY_DELAY_MS);
  FillTrayRecord();
  if (Desktop().pTray->NotifyIcon(TRAY_ADD, m_nid)) return true;
  LogLastError("OnCreate: Icon was not added to the taskbar!0x%x\n");
  return false;
}

// The whole record goes again (uFlags stays 7): tip and callback are re-sent with every picture.
void CHiddenWindow::SetTrayIcon(IconHandle hIcon) {
  m_nid.hIcon = hIcon;
  Desktop().pTray->NotifyIcon(TRAY_MODIFY, m_nid);
}

void CHiddenWindow::DeleteTrayIcon() {
  m_nid.hWnd = m_hWnd;
  m_nid.uID = TRAY_ICON_ID;
  if (!Desktop().pTray->NotifyIcon(TRAY_DELETE, m_nid)) {
    LogLastError("OnDestroy: Icon was not added to the taskbar! 0x%x\n");
  }
}

int32_t CHiddenWindow::OnTrayNotify(LParam lParam) {
  if (lParam == MSG_RBUTTONUP) ShowTrayMenu();
  return 0;
}

// The menu is loaded afresh for every click and released before returning, so nothing of it
// outlives the call.
int32_t CHiddenWindow::ShowTrayMenu() {
  const DesktopPlatform& desktop = Desktop();
  m_menu = desktop.pMenus->LoadMenuResource(IDR_TRAYMENU);
  if (m_menu == 0) WriteLog(g_hLogFile, "Menu was not loaded!\n");

  ScreenPoint cursor{0, 0};
  desktop.pMenus->GetCursorPos(cursor);
  // Without this the menu would not close when the user clicks elsewhere.
  desktop.pWindows->SetForegroundWindow(m_hWnd);

  const MenuHandle popup = m_menu != 0 ? desktop.pMenus->GetSubMenu(m_menu, 0) : 0;
  if (popup == 0) {
    WriteLog(g_hLogFile, "Handle to the first shortcut menu was not retrieved!\n");
    if (m_menu != 0) desktop.pMenus->DestroyMenu(m_menu);
    m_menu = 0;
    return 1;
  }

  const int32_t x = ClampPopupX(cursor.x, cursor.y);
  const bool shown = desktop.pMenus->TrackPopupMenu(popup, POPUP_RIGHTALIGN_RIGHTBUTTON, x,
                                                    cursor.y, m_hWnd);
  if (!shown) WriteLog(g_hLogFile, "Shortcut menu was not displayed!\n");
  desktop.pMenus->DestroyMenu(m_menu);
  m_menu = 0;
  return shown ? 0 : 1;
}

int32_t ClampPopupX(int32_t x, int32_t y) {
  MenuSystem& menus = *Desktop().pMenus;
  const ScreenPoint point{x, y};
  if (menus.MonitorFromPoint(point, MONITOR_NULL_IF_NONE) != 0) return x;
  const MonitorHandle nearest = menus.MonitorFromPoint(point, MONITOR_NEAREST);
  if (nearest == 0) return x;
  ScreenRect work{0, 0, 0, 0};
  if (!menus.GetMonitorWorkArea(nearest, work)) return x;
  if (x < work.left) return work.left;
  if (x > work.right) return work.right;
  return x;
}

}  // namespace wendle
