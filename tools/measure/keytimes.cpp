// A low-level keyboard hook that writes each key event with the system tick count, the clock
// the simulated receiver schedules its codes on, so that the delay from a code becoming
// available to its key press can be measured.
//
//   keytimes.exe <events file> <seconds>
//
// One line per event: "<GetTickCount ms> <down|up> vk=XX flags=XX". Prints "ready" once the
// hook is in place; ends after the given seconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

FILE* g_events = nullptr;

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const DWORD now = GetTickCount();
    const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
    std::fprintf(g_events, "%lu %s vk=%02lX flags=%02lX\n", now, up ? "up" : "down",
                 static_cast<unsigned long>(key->vkCode), static_cast<unsigned long>(key->flags));
    std::fflush(g_events);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: keytimes <events file> <seconds>\n");
    return 2;
  }
  g_events = _wfopen(argv[1], L"w");
  if (g_events == nullptr) return 3;
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleW(nullptr), 0);
  if (hook == nullptr) {
    std::fprintf(stderr, "hook failed: %lu\n", GetLastError());
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  // The hook is called on this thread, from its message loop.
  SetTimer(nullptr, 0, static_cast<UINT>(_wtoi(argv[2])) * 1000, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER) break;
    DispatchMessageW(&msg);
  }
  UnhookWindowsHookEx(hook);
  std::fclose(g_events);
  return 0;
}
