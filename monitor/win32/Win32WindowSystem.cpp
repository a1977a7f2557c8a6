#include "Win32WindowSystem.h"

#include <windows.h>

#include "WindowObject.h"

namespace wendle {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 texts pass to the wide calls as they are");
static_assert(sizeof(WindowHandle) == sizeof(HWND) && sizeof(WParam) == sizeof(WPARAM) &&
                  sizeof(LParam) == sizeof(LPARAM) && sizeof(LResult) == sizeof(LRESULT),
              "window handles and message parameters travel unchanged");

constexpr wchar_t CLASS_NAME[] = L"WendleHiddenWindow";

HWND ToWindow(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// The object whose window CreateWindowExW is making. Its first messages (WM_GETMINMAXINFO,
// WM_NCCREATE) arrive before CreateWindowExW returns, so the object is bound at the first one.
// One thread creates one window at a time, so a single slot will do.
CWindowObject* g_pObjectInCreation = nullptr;

LRESULT CALLBACK WindowProcedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  auto* object = reinterpret_cast<CWindowObject*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  if (object == nullptr && g_pObjectInCreation != nullptr) {
    object = g_pObjectInCreation;
    g_pObjectInCreation = nullptr;
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
  }
  if (object == nullptr) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  // After its last message the window no longer refers to the object.
  if (uMsg == WM_NCDESTROY) SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
  return DispatchWindowMessage(*object, reinterpret_cast<WindowHandle>(hWnd), uMsg, wParam, lParam);
}

bool RegisterWindowClass(HINSTANCE hInstance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = WindowProcedure;
  wc.hInstance = hInstance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = CLASS_NAME;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

WindowHandle Win32WindowSystem::CreateMonitorWindow(CWindowObject& object, const char16_t* title,
                                                    uint32_t style, uint32_t exStyle) {
  HINSTANCE hInstance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClass(hInstance)) return 0;
  g_pObjectInCreation = &object;
  HWND hWnd = CreateWindowExW(exStyle, CLASS_NAME, reinterpret_cast<const wchar_t*>(title), style,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                              nullptr, hInstance, nullptr);
  g_pObjectInCreation = nullptr;
  return reinterpret_cast<WindowHandle>(hWnd);
}

void Win32WindowSystem::ShowWindow(WindowHandle window, int32_t command) {
  ::ShowWindow(ToWindow(window), command);
}

int32_t Win32WindowSystem::RunMessageLoop() {
  MSG msg{};
  for (;;) {
    const BOOL result = GetMessageW(&msg, nullptr, 0, 0);
    if (result == -1) continue;
    if (result == 0) break;  // WM_QUIT
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int32_t>(msg.wParam);
}

LResult Win32WindowSystem::DefaultProcedure(WindowHandle window, uint32_t message, WParam wParam,
                                            LParam lParam) {
  return DefWindowProcW(ToWindow(window), message, wParam, lParam);
}

bool Win32WindowSystem::SetTimer(WindowHandle window, std::uintptr_t id, uint32_t periodMs) {
  return ::SetTimer(ToWindow(window), id, periodMs, nullptr) != 0;
}

bool Win32WindowSystem::KillTimer(WindowHandle window, std::uintptr_t id) {
  return ::KillTimer(ToWindow(window), id) != FALSE;
}

bool Win32WindowSystem::DestroyWindow(WindowHandle window) {
  return ::DestroyWindow(ToWindow(window)) != FALSE;
}

void Win32WindowSystem::PostQuitMessage(int32_t exitCode) { ::PostQuitMessage(exitCode); }

bool Win32WindowSystem::SetForegroundWindow(WindowHandle window) {
  return ::SetForegroundWindow(ToWindow(window)) != FALSE;
}

IconHandle Win32WindowSystem::LoadIconImage(uint32_t resourceId, int32_t size) {
  HANDLE hIcon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                            size, size, LR_DEFAULTCOLOR);
  return reinterpret_cast<IconHandle>(hIcon);
}

bool Win32WindowSystem::DestroyIcon(IconHandle icon) {
  return ::DestroyIcon(reinterpret_cast<HICON>(icon)) != FALSE;
}

}  // namespace wendle
