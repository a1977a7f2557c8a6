#pragma once
// Handle types shared by the monitor's platform seams. The core never sees a Win32 HANDLE or
// HWND: both travel as pointer-sized integers, which the Win32 side converts back unchanged.
#include <cstdint>

namespace wendle {

// An open file of the FileApi role. INVALID_FILE_HANDLE has the bit pattern of the system's
// INVALID_HANDLE_VALUE, so the Win32 side can pass either direction by a plain cast.
using FileHandle = std::uintptr_t;
constexpr FileHandle INVALID_FILE_HANDLE = ~FileHandle{0};

// A window of the window system; 0 means "no window" (for example a message box without owner).
using WindowHandle = std::uintptr_t;

}  // namespace wendle
