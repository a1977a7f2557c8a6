#pragma once
// The monitor's process-wide state. Everything here is touched by the window thread only, so a
// text is formatted into a shared buffer and handed on before anything else is formatted.
#include <cstddef>
#include <cstdint>

#include "KeyTable.h"
#include "PlatformTypes.h"

namespace wendle {

constexpr size_t LOG_TEXT_CAPACITY = 300;    // 8-bit characters, terminator included
constexpr size_t DEBUG_TEXT_CAPACITY = 256;  // UTF-16 units, terminator included

// The log file "c:\monitor.log": INVALID_FILE_HANDLE until RunMonitor opens it and again after
// RunMonitor closes it; WriteLog drops lines while it is invalid.
extern FileHandle g_hLogFile;

// Every formatted log line is produced here, then handed to WriteLog.
extern char g_szLogText[LOG_TEXT_CAPACITY];

// Every formatted debug text (receiver, decoder and poll traces) is produced here, then handed
// to the debug channel. The key table loader formats in a buffer of its own.
extern char16_t g_szDebugText[DEBUG_TEXT_CAPACITY];

// Tick count (ms) of the decoder's previous call, or of the latest start of the poll timer:
// presence tracking stores the current tick count here each time it starts the timer.
extern uint32_t g_dwPollTick;

// The key table; all zero at process start, and never cleared afterwards.
extern KeyTable g_keyTable;

}  // namespace wendle
