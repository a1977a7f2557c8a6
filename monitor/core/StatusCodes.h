#pragma once
// Result codes in the style of COM results, and the system error codes the monitor acts on.
// The names differ from the platform's macros so that this header can sit beside <windows.h>.
#include <cstdint>

namespace wendle {

constexpr int32_t RESULT_OK = 0;
constexpr int32_t RESULT_E_HANDLE = static_cast<int32_t>(0x80070006u);  // key table file not opened
constexpr int32_t RESULT_E_FAIL = static_cast<int32_t>(0x80004005u);    // key table read came back over-long

constexpr uint32_t SYSERR_FILE_NOT_FOUND = 2;
constexpr uint32_t SYSERR_DISK_FULL = 112;
constexpr uint32_t SYSERR_INVALID_NAME = 123;

// The usual conversion of a system error code into a failure result: a positive code e becomes
// 0x80070000 | (e & 0xFFFF); 0 and codes that are negative as 32-bit numbers pass unchanged.
constexpr int32_t ResultFromSystemError(uint32_t e) {
  return static_cast<int32_t>(e) <= 0 ? static_cast<int32_t>(e)
                                      : static_cast<int32_t>((e & 0xFFFFu) | 0x80070000u);
}

}  // namespace wendle
