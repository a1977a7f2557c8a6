#include "RawCodeDecoder.h"

#include <algorithm>

#include "KeyTable.h"
#include "MonitorGlobals.h"
#include "MonitorPlatform.h"
#include "WideFormat.h"

namespace wendle {

int GetIRRawData(DecoderState& state, KeyboardReport& report) {
  const MonitorPlatform& platform = Platform();
  const KeyTable& table = g_keyTable;

  // Time since the previous call (or the timer start) in whole 20 ms units; the counters are
  // 8-bit, so only the low 8 bits of the units count.
  uint32_t dwNow = platform.pTicks->TickCount();
  uint8_t byUnits = static_cast<uint8_t>((dwNow - g_dwPollTick) / MS_PER_UNIT);
  g_dwPollTick = dwNow;

  if (state.m_bPrefixActive) state.m_byPrefixElapsed = static_cast<uint8_t>(state.m_byPrefixElapsed + byUnits);
  if (static_cast<int32_t>(state.m_byPrefixElapsed) > table.prefixTimeout) {
    state.m_bPrefixActive = 0;
    state.m_byPrefixElapsed = 0;
  }

  uint8_t abyCode[4] = {};
  if (platform.pReceiver->ReadRawIR(abyCode) != 0) return 0;
  uint32_t dwCode = static_cast<uint32_t>(abyCode[0]) | static_cast<uint32_t>(abyCode[1]) << 8 |
                    static_cast<uint32_t>(abyCode[2]) << 16 | static_cast<uint32_t>(abyCode[3]) << 24;
  text::FormatWide(g_szDebugText, DEBUG_TEXT_CAPACITY, u"GetIRRawData:%08X", dwCode);
  platform.pDebug->Output(g_szDebugText);

  return DecodeRawCode(table, dwCode, byUnits, state, report);
}

int DecodeRawCode(const KeyTable& table, uint32_t dwCode, uint8_t byUnits, DecoderState& state,
                  KeyboardReport& report, uint64_t* pqwPassed) {
  // A file's count byte can claim up to 127 entries; the table has 50 slots.
  int32_t nSlots = std::min<int32_t>(table.entryCount, KEY_TABLE_CAPACITY);
  for (int32_t i = 0; i < nSlots; ++i) {
    const KeyTableEntry& entry = table.entries[i];
    if (entry.rawCode != dwCode) continue;

    if (dwCode == state.m_dwLastCode) {
      state.m_byRepeatElapsed = static_cast<uint8_t>(state.m_byRepeatElapsed + byUnits);
      if (static_cast<int32_t>(state.m_byRepeatElapsed) < table.repeatThreshold) return 0;
    }
    state.m_dwLastCode = dwCode;
    state.m_byRepeatElapsed = 0;
    if (pqwPassed != nullptr) *pqwPassed |= uint64_t{1} << i;

    if (entry.entryFlags & KEY_FLAG_PREFIX) {
      state.m_bPrefixActive = 1;
      state.m_byPrefixElapsed = 0;
      continue;  // a later slot with the same code may still give a key
    }

    // The alternate pair is the next slot's; the last slot has none and reports its own.
    const KeyTableEntry* pPair = &entry;
    if (state.m_bPrefixActive && (entry.entryFlags & KEY_FLAG_ALTERNATE) && i + 1 < KEY_TABLE_CAPACITY)
      pPair = &table.entries[i + 1];
    report.abyData[0] = static_cast<uint8_t>(pPair->modifierBits);
    report.abyData[2] = static_cast<uint8_t>(pPair->keyUsage);
    state.m_byPrefixElapsed = 0;
    return 1;
  }
  return 0;
}

}  // namespace wendle
