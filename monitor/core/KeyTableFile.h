#pragma once
// Loading the key table file "<Windows directory>\System32\tamoirtbl.bin" into g_keyTable.
#include <cstdint>

namespace wendle {

// The file's layout: 50 records of 7 bytes, then a 6-byte trailer. Big-endian values.
constexpr uint32_t KEY_FILE_RECORD_SIZE = 7;
constexpr uint32_t KEY_FILE_TRAILER_OFFSET = 350;
constexpr uint32_t KEY_FILE_FULL_SIZE = 356;

// Loads the table: RESULT_OK after a load, RESULT_E_HANDLE when the file cannot be opened,
// RESULT_E_FAIL when the read reports more bytes than the file's size. Callers ignore the result;
// the effect is g_keyTable. Failures go to the log (g_hLogFile), traces to the debug channel.
int32_t LoadIRTable();

}  // namespace wendle
