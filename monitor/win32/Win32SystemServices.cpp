#include "Win32SystemServices.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

namespace wendle {

void Win32SystemServices::InitializeCom() { CoInitialize(nullptr); }

void Win32SystemServices::InitCommonControls(uint32_t classes) {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = classes;
  InitCommonControlsEx(&icc);
}

void Win32SystemServices::UninitializeCom() { CoUninitialize(); }

void Win32SystemServices::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

uint32_t Win32SystemServices::LastError() { return GetLastError(); }

}  // namespace wendle
