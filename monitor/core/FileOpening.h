#pragma once
// Opening the monitor's files with WOW64 file-system redirection switched off, so that a 32-bit
// monitor on 64-bit Windows reads the real System32 folder and not its 32-bit stand-in.
#include <cstdint>

#include "PlatformTypes.h"

namespace wendle {

constexpr int OPEN_FOR_WRITE = 0;  // create or truncate, GENERIC_WRITE
constexpr int OPEN_FOR_READ = 1;   // existing file, GENERIC_READ (any nonzero mode)

// Opens path into handle, which must hold INVALID_FILE_HANDLE for anything to happen. Returns 0
// on success or when handle was already open; SYSERR_INVALID_NAME (123, as a plain number) for a
// null path; otherwise ResultFromSystemError(last error).
int32_t OpenFileNoRedirection(int mode, const char16_t* path, FileHandle& handle);

// Nonzero when the process is a 32-bit process on 64-bit Windows.
int32_t IsWow64();

}  // namespace wendle
