#include "RunMonitor.h"

#include "DiagnosticLog.h"
#include "FileOpening.h"
#include "HiddenWindow.h"
#include "KeyTableFile.h"
#include "MonitorGlobals.h"
#include "MonitorPlatform.h"
#include "WindowMessages.h"

namespace wendle {
namespace {

constexpr char16_t LOG_FILE_PATH[] = u"c:\\monitor.log";
constexpr uint32_t COMMON_CONTROL_CLASSES = 0x00000004;  // ICC_BAR_CLASSES

}  // namespace

int32_t MonitorMain() {
  SystemServices& system = *Desktop().pSystem;
  // Failures here are not fatal: the library's device search reports its own, and the
  // program's one menu does not need the common controls.
  system.InitializeCom();
  system.InitCommonControls(COMMON_CONTROL_CLASSES);
  const int32_t exitCode = RunMonitor();
  system.UninitializeCom();
  return exitCode;
}

int32_t RunMonitor() {
  OpenFileNoRedirection(OPEN_FOR_WRITE, LOG_FILE_PATH, g_hLogFile);
  LoadIRTable();

  int32_t exitCode = 0;
  {
    CHiddenWindow window;
    WindowSystem& windows = *Desktop().pWindows;
    const WindowHandle hWnd =
        windows.CreateMonitorWindow(window, WINDOW_TITLE, WINDOW_STYLE, WINDOW_EX_STYLE);
    if (hWnd != 0) {
      windows.ShowWindow(hWnd, SHOW_HIDE);
      exitCode = windows.RunMessageLoop();
      // A WM_QUIT posted to the thread from outside ends the loop with the window still there;
      // it is taken down now, while the log is open, so that its icon, registration, timer and
      // receiver are released as on every other way out and no message reaches a gone object.
      if (window.m_hWnd != 0) windows.DestroyWindow(window.m_hWnd);
    } else {
      WriteLog(g_hLogFile, "The Wendle can't open\n");
    }
    // The log goes before the window object: every handler, OnDestroy included, has run by now.
    if (g_hLogFile != INVALID_FILE_HANDLE) {
      Platform().pFiles->Close(g_hLogFile);
      g_hLogFile = INVALID_FILE_HANDLE;
    }
  }
  return exitCode;
}

}  // namespace wendle
