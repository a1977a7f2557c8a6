#include "Win32MessageBox.h"

#include <windows.h>

namespace wendle {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 texts pass to the wide calls as they are");
static_assert(sizeof(WindowHandle) == sizeof(HWND), "a window travels as a pointer-sized integer");

int32_t Win32MessageBox::Show(WindowHandle owner, const char16_t* text, const char16_t* caption,
                              uint32_t type) {
  return MessageBoxW(reinterpret_cast<HWND>(owner), reinterpret_cast<const wchar_t*>(text),
                     reinterpret_cast<const wchar_t*>(caption), type);
}

}  // namespace wendle
