#pragma once
// Loading the key table file "<Windows directory>\System32\tamoirtbl.bin" into g_keyTable.
#include <cstdint>

#include "KeyTable.h"

namespace wendle {

// The file's layout: 50 records of 7 bytes, then a 6-byte trailer. Big-endian values.
constexpr uint32_t KEY_FILE_RECORD_SIZE = 7;
constexpr uint32_t KEY_FILE_TRAILER_OFFSET = 350;
constexpr uint32_t KEY_FILE_FULL_SIZE = 356;

// What a key table file means, apart from reading it: fills table from image (the file's first
// bytes, at most 356, zero past the bytes read) as a load does. dwSize is the file's size, which
// decides between a short and a full file; dwRead is the number of bytes read, which gives a
// short file's records. Returns the number of records converted (slots 0 to n-1); the other
// slots keep what they held. Shared by the loader and the key table tool.
int32_t ConvertKeyTableImage(const uint8_t (&image)[KEY_FILE_FULL_SIZE], uint32_t dwSize,
                             uint32_t dwRead, KeyTable& table);

// Loads the table: RESULT_OK after a load, RESULT_E_HANDLE when the file cannot be opened,
// RESULT_E_FAIL when the read reports more bytes than the file's size. Callers ignore the result;
// the effect is g_keyTable. Failures go to the log (g_hLogFile), traces to the debug channel.
int32_t LoadIRTable();

}  // namespace wendle
