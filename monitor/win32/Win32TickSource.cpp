#include "Win32TickSource.h"

#include <windows.h>

namespace wendle {

uint32_t Win32TickSource::TickCount() { return GetTickCount(); }

}  // namespace wendle
