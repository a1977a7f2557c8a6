// Wendle's process entry: the real platform behind every seam, then the monitor's run.
#include <windows.h>

#include "DesktopApi.h"
#include "MonitorPlatform.h"
#include "RunMonitor.h"
#include "Win32DebugChannel.h"
#include "Win32DeviceNotifications.h"
#include "Win32Files.h"
#include "Win32Keyboard.h"
#include "Win32Menus.h"
#include "Win32MessageBox.h"
#include "Win32ReceiverLibrary.h"
#include "Win32SystemServices.h"
#include "Win32TickSource.h"
#include "Win32Tray.h"
#include "Win32WindowSystem.h"
#include "Win32Wow64.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace wendle;

  Win32Files files;
  Win32TickSource ticks;
  Win32DebugChannel debug;
  Win32MessageBox messageBox;
  Win32Wow64 wow64;
  Win32ReceiverLibrary receiver;
  MonitorPlatform platform;
  platform.pFiles = &files;
  platform.pTicks = &ticks;
  platform.pDebug = &debug;
  platform.pMessageBox = &messageBox;
  platform.pWow64 = &wow64;
  platform.pReceiver = &receiver;
  SetMonitorPlatform(platform);

  Win32WindowSystem windows;
  Win32Tray tray;
  Win32Menus menus;
  Win32Keyboard keyboard;
  Win32DeviceNotifications notifications;
  Win32SystemServices services;
  DesktopPlatform desktop;
  desktop.pWindows = &windows;
  desktop.pTray = &tray;
  desktop.pMenus = &menus;
  desktop.pKeyboard = &keyboard;
  desktop.pDeviceNotify = &notifications;
  desktop.pSystem = &services;
  SetDesktopPlatform(desktop);

  const int exitCode = MonitorMain();

  SetDesktopPlatform(DesktopPlatform{});
  SetMonitorPlatform(MonitorPlatform{});
  return exitCode;
}
