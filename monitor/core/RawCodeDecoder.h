#pragma once
// The raw remote-code decoder for receivers that deliver bare 32-bit codes (every ChipId except
// 0x9015): one call reads at most one code, looks it up in g_keyTable, suppresses repeats and
// applies the prefix key.
#include <cstdint>

#include "KeyboardReport.h"

namespace wendle {

// The decoder's memory between calls. The window object embeds one (value-initialised, so all
// four members start at 0) and hands it to every call; opening or closing a receiver leaves it
// alone, and so does reloading the key table.
struct DecoderState {
  int32_t m_bPrefixActive;    // 0 or 1: a prefix key was decoded and its time has not run out
  uint8_t m_byPrefixElapsed;  // 20 ms units since the prefix key or the last decoded key (wraps)
  uint8_t m_byRepeatElapsed;  // units counted at reads of a code equal to m_dwLastCode (wraps)
  uint32_t m_dwLastCode;      // rawCode of the last slot that passed the repeat check
};

// One poll's decoding. Reads the tick counter (and renews g_dwPollTick with it), calls
// solv_ReadRawIR once, traces "GetIRRawData:%08X" for every code read. Returns 1 after writing
// report byte 0 (modifier bits) and byte 2 (key usage); 0 otherwise. Bytes 1 and 3 to 7 are
// never written.
int GetIRRawData(DecoderState& state, KeyboardReport& report);

struct KeyTable;

// What one code read does to the decoder: the table scan with its repeat check and prefix key,
// byUnits being the 20 ms units the call brought. Returns and writes what GetIRRawData does for
// that code. When pqwPassed is given, bit i is set in it for every slot i that passed the repeat
// check, which lets a tool ask which slots can ever act.
int DecodeRawCode(const KeyTable& table, uint32_t dwCode, uint8_t byUnits, DecoderState& state,
                  KeyboardReport& report, uint64_t* pqwPassed = nullptr);

}  // namespace wendle
