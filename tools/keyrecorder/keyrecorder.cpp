// Records the keystrokes that reach the desktop: a low-level keyboard hook writes one line per
// key event (virtual key, scan code, flags, time), and a target window with an edit control
// holds what the keystrokes typed. Used by the end-to-end tests and the demo.
//
//   keyrecorder.exe <events file> <typed-text file> <seconds>
//
// Each event line: "<ms since start> <down|up> vk=XX scan=XX flags=XX". The recorder ends after
// the given seconds, or earlier on WM_CLOSE, then writes the edit control's text.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

FILE* g_events = nullptr;
DWORD g_start = 0;
HWND g_edit = nullptr;
wchar_t g_typed[4096];

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && g_events) {
    const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
    std::fprintf(g_events, "%lu %s vk=%02lX scan=%02lX flags=%02lX\n",
                 static_cast<unsigned long>(GetTickCount() - g_start), up ? "up" : "down",
                 static_cast<unsigned long>(key->vkCode), static_cast<unsigned long>(key->scanCode),
                 static_cast<unsigned long>(key->flags));
    std::fflush(g_events);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (g_edit) MoveWindow(g_edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (g_edit) SetFocus(g_edit);
      return 0;
    case WM_TIMER:
    case WM_CLOSE:
      GetWindowTextW(g_edit, g_typed, 4096);  // before the edit control goes with the window
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: keyrecorder <events file> <typed-text file> <seconds>\n");
    return 2;
  }
  g_events = _wfopen(argv[1], L"w");
  if (!g_events) return 3;
  g_start = GetTickCount();
  int seconds = _wtoi(argv[3]);

  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"KeyRecorderTarget";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Keystroke target", WS_OVERLAPPEDWINDOW,
                                40, 40, 520, 240, nullptr, nullptr, instance, nullptr);
  g_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                           WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 0, 0,
                           520, 240, window, nullptr, instance, nullptr);
  HFONT font = CreateFontW(28, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Courier New");
  SendMessageW(g_edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(g_edit);

  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, instance, 0);
  if (!hook) std::fprintf(g_events, "hook failed %lu\n", GetLastError());
  std::fprintf(stdout, "ready\n");
  std::fflush(stdout);
  SetTimer(window, 1, seconds * 1000, nullptr);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (hook) UnhookWindowsHookEx(hook);

  std::fclose(g_events);
  FILE* out = _wfopen(argv[2], L"w");
  if (out) {
    for (const wchar_t* p = g_typed; *p; ++p) std::fputc(*p < 0x80 ? static_cast<char>(*p) : '?', out);
    std::fclose(out);
  }
  return 0;
}
