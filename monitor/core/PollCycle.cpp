#include <cstdio>

#include "DebugChannel.h"
#include "DiagnosticLog.h"
#include "HiddenWindow.h"
#include "KeyMaps.h"
#include "MonitorGlobals.h"
#include "MonitorPlatform.h"
#include "WideFormat.h"

namespace wendle {

int KeyEvent(KeyboardInputRecord& record, uint16_t wVk, uint16_t wScan, uint32_t dwFlags) {
  record.type = INPUT_TYPE_KEYBOARD;
  record.wVk = wVk;
  record.wScan = wScan;
  record.dwFlags = dwFlags;
  record.time = 0;
  record.dwExtraInfo = 0;
  if (Desktop().pKeyboard->SendInput(record) == 0) {
    const unsigned error = Desktop().pSystem->LastError();
    text::FormatWide(g_szDebugText, DEBUG_TEXT_CAPACITY, u"GetLastError for SendInput 0x%x", error);
    Platform().pDebug->Output(g_szDebugText);
    std::snprintf(g_szLogText, LOG_TEXT_CAPACITY, "KeyEvent for SendInput 0x%x", error);
    WriteLog(g_hLogFile, g_szLogText);
  }
  return 0;
}

int32_t CHiddenWindow::OnPollTimer() {
  const DesktopPlatform& desktop = Desktop();
  if (m_bDeviceOpen != 1) {
    SetTrayIcon(m_hIconNoDevice);
    desktop.pSystem->Sleep(NO_RECEIVER_DELAY_MS);
    return 0;
  }

  KeyboardReport report{};
  if (m_wChipId == 0) return 0;
  const bool bHasReport = m_wChipId == CHIP_DECODES_ITSELF
                              ? Platform().pReceiver->ReadTamoIR(report.abyData) == 0
                              : GetIRRawData(m_decoder, report) == 1;
  if (!bHasReport) {
    SetTrayIcon(m_hIconReady);
    return 0;
  }

  const uint8_t* by = report.abyData;
  text::FormatWide(g_szDebugText, DEBUG_TEXT_CAPACITY, u"SendInput(Hex):%X %X %X %X %X %X %X %X",
                   unsigned{by[0]}, unsigned{by[1]}, unsigned{by[2]}, unsigned{by[3]},
                   unsigned{by[4]}, unsigned{by[5]}, unsigned{by[6]}, unsigned{by[7]});
  Platform().pDebug->Output(g_szDebugText);

  KeyboardInputRecord key{};
  KeyboardInputRecord modifiers[8]{};
  int nModifiers = 0;
  // Byte 2 outside the mapped usages presses nothing, not even the modifiers of byte 0.
  const KeyMapRow* keyRow = FindUsageKey(by[2]);
  if (keyRow != nullptr) {
    for (int bit = 0; bit < 8; ++bit) {
      if ((by[0] & (1u << bit)) == 0) continue;
      const KeyMapRow& row = ModifierKeyMap[bit];
      KeyEvent(modifiers[nModifiers++], row.wVk, row.wScan, row.bExtended ? KEYSTROKE_EXTENDED : 0);
    }
    if (keyRow->wScan != 0) {
      KeyEvent(key, keyRow->wVk, keyRow->wScan, keyRow->bExtended ? KEYSTROKE_EXTENDED : 0);
    } else {
      KeyboardInput& keyboard = *desktop.pKeyboard;
      const uint32_t scan =
          keyboard.MapVirtualKeyCode(keyRow->wVk, 0 /* MAPVK_VK_TO_VSC */, keyboard.GetKeyboardLayout(0));
      KeyEvent(key, keyRow->wVk, static_cast<uint16_t>(scan), 0);
    }
  }

  SetTrayIcon(m_hIconKey);
  if (keyRow == nullptr) return 0;

  // The key stays down for a moment, as under a finger, before it and its modifiers come up.
  desktop.pSystem->Sleep(KEY_HOLD_MS);
  key.dwFlags |= KEYSTROKE_UP;
  desktop.pKeyboard->SendInput(key);
  for (int i = nModifiers - 1; i >= 0; --i) {
    modifiers[i].dwFlags |= KEYSTROKE_UP;
    desktop.pKeyboard->SendInput(modifiers[i]);
  }
  return 0;
}

}  // namespace wendle
