#include "HiddenWindow.h"

#include "DiagnosticLog.h"
#include "MonitorGlobals.h"
#include "MonitorPlatform.h"
#include "WindowMessages.h"

namespace wendle {

CHiddenWindow::CHiddenWindow()
    : m_nid{},
      m_menu(0),
      m_hIconReady(0),
      m_hIconKey(0),
      m_hIconNoDevice(0),
      m_bDeviceOpen(0),
      m_bTimerOn(0),
      m_decoder{},
      m_wChipId(0) {
  m_nid.cbSize = 952;
}

// The window is normally gone by now; what it owned besides the window is released here.
CHiddenWindow::~CHiddenWindow() {
  WindowSystem& windows = *Desktop().pWindows;
  if (m_menu != 0 && Desktop().pMenus->DestroyMenu(m_menu)) m_menu = 0;
  if (m_hIconNoDevice != 0) windows.DestroyIcon(m_hIconNoDevice);
  if (m_hIconKey != 0) windows.DestroyIcon(m_hIconKey);
  if (m_hIconReady != 0) windows.DestroyIcon(m_hIconReady);
}

bool CHiddenWindow::ProcessWindowMessage(WindowHandle hWnd, uint32_t uMsg, WParam wParam,
                                         LParam lParam, LResult& lResult, uint32_t dwMsgMapID) {
  if (dwMsgMapID != 0) return false;
  switch (uMsg) {
    case MSG_CREATE:
      lResult = OnCreate();
      return true;
    case MSG_DESTROY:
      lResult = OnDestroy();
      return true;
    case MSG_TIMER:
      lResult = wParam == IDT_POLL ? OnPollTimer() : 0;
      return true;
    case WM_TRAYNOTIFY:
      lResult = OnTrayNotify(lParam);
      return true;
    case MSG_DEVICECHANGE:
      lResult = OnDeviceChange(wParam, lParam);
      return true;
    case MSG_COMMAND:
      // Only the menu's own command: a notification code other than 0 comes from a control or
      // an accelerator and must not end the program.
      if ((wParam & 0xFFFF) == ID_TRAY_EXIT && ((wParam >> 16) & 0xFFFF) == 0) {
        Desktop().pWindows->DestroyWindow(hWnd);
        lResult = 0;
        return true;
      }
      break;
    default:
      break;
  }
  return DefaultReflectionHandler(hWnd, uMsg, wParam, lParam, lResult);
}

// A tray icon that cannot be added even by the retry ends the program: without it the user
// could neither see the monitor nor exit it, and no receiver is followed. -1 makes the system
// fail the window's creation (after WM_DESTROY), so the run ends as for any failed creation.
int32_t CHiddenWindow::OnCreate() {
  if (!AddTrayIcon()) return -1;
  RegisterReceiverNotification(m_hWnd);
  InitIRDevice();
  return 0;
}

int32_t CHiddenWindow::OnDestroy() {
  DeleteTrayIcon();
  if (g_hDevNotify != 0) {
    Desktop().pDeviceNotify->Unregister(g_hDevNotify);
    g_hDevNotify = 0;
  }
  if (m_bTimerOn != 0) {
    Desktop().pWindows->KillTimer(m_hWnd, IDT_POLL);
    m_bTimerOn = 0;
  }
  // The receiver state is left as it is: nothing reads it after this, and the icon is gone.
  if (m_bDeviceOpen == 1) Platform().pReceiver->Exit();
  Desktop().pWindows->PostQuitMessage(0);
  return 0;
}

}  // namespace wendle
