#pragma once
// The diagnostic log "c:\monitor.log": one 8-bit line per failure worth a user's attention,
// each followed by CR LF, without time stamps or levels.
#include <cstdint>

#include "PlatformTypes.h"

namespace wendle {

// Writes text (NUL-terminated, 8-bit) and then CR LF. Does nothing while handle is
// INVALID_FILE_HANDLE. A failed or short write is reported through HandleWriteFailure.
void WriteLog(FileHandle handle, const char* text);

// Reports the failure of the file operation just made (reads the last error on entry): the
// disk-full message box for error 112, then the line "HandleWriteFailure 0x%x". A failure while
// that report is being made is not reported again. Returns the error as a result code.
int32_t HandleWriteFailure();

}  // namespace wendle
