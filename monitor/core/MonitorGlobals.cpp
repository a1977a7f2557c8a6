#include "MonitorGlobals.h"

namespace wendle {

FileHandle g_hLogFile = INVALID_FILE_HANDLE;
char g_szLogText[LOG_TEXT_CAPACITY];
char16_t g_szDebugText[DEBUG_TEXT_CAPACITY];
uint32_t g_dwPollTick = 0;
KeyTable g_keyTable;

}  // namespace wendle
