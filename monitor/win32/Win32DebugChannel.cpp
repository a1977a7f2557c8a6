#include "Win32DebugChannel.h"

#include <windows.h>

namespace wendle {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 texts pass to the wide calls as they are");

void Win32DebugChannel::Output(const char16_t* text) {
  OutputDebugStringW(reinterpret_cast<const wchar_t*>(text));
}

}  // namespace wendle
