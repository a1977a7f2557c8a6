#include <cstring>
#include <string>

#include "DebugChannel.h"
#include "HiddenWindow.h"
#include "KeyTableFile.h"
#include "MessageBoxApi.h"
#include "MonitorGlobals.h"
#include "MonitorPlatform.h"
#include "WideFormat.h"
#include "WindowMessages.h"

namespace wendle {

NotifyHandle g_hDevNotify = 0;

namespace {

// KSCATEGORY_BDA_NETWORK_TUNER: every receiver the library can open shows up in this category.
constexpr Guid BDA_NETWORK_TUNER = {0x71985F48, 0x1CA1, 0x11D3,
                                    {0x9C, 0xC8, 0x00, 0xC0, 0x4F, 0x79, 0x71, 0xE0}};

// The first eight digits of the filter identifiers the library recognises a receiver by, with
// the chips that stand behind each. Device names carry them in lower case.
struct ReceiverFamily {
  const char16_t* szFragment;
  uint16_t awChipIds[2];  // 0 = unused
};
constexpr ReceiverFamily RECEIVER_FAMILIES[] = {
    {u"9b365890", {0x9015, 0x9035}},
    {u"92fb1e43", {0x9100, 0}},
    {u"cacacefd", {0x9135, 0}},
};

// The interface name of a broadcast record, or an empty name when the record carries none:
// only device-interface records have one, and a record is never read past its own size.
std::u16string DeviceInterfaceName(LParam record) {
  if (record == 0) return {};
  const auto* bytes = reinterpret_cast<const uint8_t*>(record);
  uint32_t size = 0;
  uint32_t deviceType = 0;
  std::memcpy(&size, bytes, sizeof size);
  std::memcpy(&deviceType, bytes + 4, sizeof deviceType);
  if (deviceType != DEVICE_TYPE_INTERFACE || size <= DEVICE_RECORD_NAME_OFFSET) return {};
  std::u16string name;
  for (size_t at = DEVICE_RECORD_NAME_OFFSET; at + sizeof(char16_t) <= size; at += sizeof(char16_t)) {
    char16_t unit;
    std::memcpy(&unit, bytes + at, sizeof unit);
    if (unit == u'\0') break;
    name.push_back(unit);
  }
  return name;
}

bool Contains(const std::u16string& name, const char16_t* fragment) {
  return name.find(fragment) != std::u16string::npos;
}

bool IsOfFamily(const ReceiverFamily& family, uint16_t wChipId) {
  for (uint16_t wMember : family.awChipIds) {
    if (wMember != 0 && wMember == wChipId) return true;
  }
  return false;
}

void Trace(const char16_t* format, unsigned value) {
  text::FormatWide(g_szDebugText, DEBUG_TEXT_CAPACITY, format, value);
  Platform().pDebug->Output(g_szDebugText);
}

}  // namespace

int32_t CHiddenWindow::RegisterReceiverNotification(WindowHandle hWnd) {
  DeviceInterfaceFilter filter{};
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DEVICE_TYPE_INTERFACE;
  filter.dbcc_classguid = BDA_NETWORK_TUNER;
  g_hDevNotify = Desktop().pDeviceNotify->Register(hWnd, filter, 0);  // to the window
  if (g_hDevNotify != 0) return 1;

  char16_t szText[64];
  text::FormatWide(szText, sizeof szText / sizeof szText[0],
                   u"RegisterDeviceNotification failed: %d\n",
                   static_cast<int>(Desktop().pSystem->LastError()));
  Platform().pMessageBox->Show(hWnd, szText, u"RegisterDeviceNotification", MSGBOX_OK);
  return 0;
}

int32_t CHiddenWindow::InitIRDevice() {
  if (m_bDeviceOpen != 0) return 0;
  Platform().pDebug->Output(u"Enter IR Device Init Function");
  m_wChipId = static_cast<uint16_t>(Platform().pReceiver->InitIRDev() & 0xFFFF);
  if (m_wChipId == 0) return 0;
  m_bDeviceOpen = 1;
  // Reading the file at every open lets edits to it take effect with the next receiver.
  if (m_wChipId != CHIP_DECODES_ITSELF) LoadIRTable();
  Trace(u"Find an IR Device %x", m_wChipId);
  if (m_bTimerOn == 0 && Desktop().pWindows->SetTimer(m_hWnd, IDT_POLL, POLL_PERIOD_MS)) {
    g_dwPollTick = Platform().pTicks->TickCount();
    m_bTimerOn = 1;
  }
  SetTrayIcon(m_hIconReady);
  return 1;
}

void CHiddenWindow::RemoveIRDevice() {
  if (m_bDeviceOpen == 0) return;
  Trace(u"Remove an IR Device %x", m_wChipId);
  Platform().pReceiver->Exit();
  m_bDeviceOpen = 0;
  m_wChipId = 0;
  if (m_bTimerOn != 0) {
    Desktop().pWindows->KillTimer(m_hWnd, IDT_POLL);
    m_bTimerOn = 0;
  }
  SetTrayIcon(m_hIconNoDevice);
}

int32_t CHiddenWindow::OnDeviceChange(WParam event, LParam record) {
  if (event == DEVICE_ARRIVAL) {
    const std::u16string name = DeviceInterfaceName(record);
    for (const ReceiverFamily& family : RECEIVER_FAMILIES) {
      if (!Contains(name, family.szFragment)) continue;
      // The library holds one receiver at a time: start afresh so the newcomer gets a chance.
      if (m_bDeviceOpen == 1) RemoveIRDevice();
      InitIRDevice();
      break;
    }
  } else if (event == DEVICE_REMOVE_COMPLETE && m_bDeviceOpen == 1) {
    const std::u16string name = DeviceInterfaceName(record);
    for (const ReceiverFamily& family : RECEIVER_FAMILIES) {
      if (!Contains(name, family.szFragment)) continue;
      if (!IsOfFamily(family, m_wChipId)) continue;
      RemoveIRDevice();
      InitIRDevice();  // another receiver may still be attached
      break;
    }
  }
  return 0;
}

}  // namespace wendle
