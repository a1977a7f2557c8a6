#pragma once
// The monitor's only window: hidden, top-level, titled "Wendle". Its handlers own the tray
// icon and menu, follow receivers as they come and go, and run the 100 ms poll that turns
// remote buttons into keystrokes.
#include <cstdint>

#include "../res/ResourceIds.h"
#include "DesktopApi.h"
#include "KeyboardReport.h"
#include "RawCodeDecoder.h"
#include "ReceiverLibrary.h"
#include "WindowObject.h"

namespace wendle {

constexpr std::uintptr_t IDT_POLL = 257;
constexpr uint32_t POLL_PERIOD_MS = 100;
constexpr uint32_t WM_TRAYNOTIFY = 0x8001;  // WM_APP + 1
constexpr uint32_t TRAY_ICON_ID = 0x12345;
constexpr uint32_t TRAY_RETRY_DELAY_MS = 3000;
constexpr uint32_t NO_RECEIVER_DELAY_MS = 500;
constexpr uint32_t KEY_HOLD_MS = 300;
constexpr int32_t TRAY_ICON_SIZE = 16;


constexpr char16_t WINDOW_TITLE[] = u"Wendle";
constexpr uint32_t WINDOW_STYLE = 0x00CF0000;  // WS_OVERLAPPEDWINDOW
constexpr uint32_t WINDOW_EX_STYLE = 0;

// The device-notification registration; 0 while there is none.
extern NotifyHandle g_hDevNotify;

class CHiddenWindow : public CWindowObject {
 public:
  CHiddenWindow();
  ~CHiddenWindow() override;
  CHiddenWindow(const CHiddenWindow&) = delete;
  CHiddenWindow& operator=(const CHiddenWindow&) = delete;

  bool ProcessWindowMessage(WindowHandle hWnd, uint32_t uMsg, WParam wParam, LParam lParam,
                            LResult& lResult, uint32_t dwMsgMapID) override;

  // Window life cycle (HiddenWindow.cpp).
  int32_t OnCreate();
  int32_t OnDestroy();

  // Tray icon and menu (Tray.cpp).
  bool AddTrayIcon();
  void SetTrayIcon(IconHandle hIcon);
  void DeleteTrayIcon();
  int32_t OnTrayNotify(LParam lParam);
  int32_t ShowTrayMenu();

  // Receiver presence (Presence.cpp).
  int32_t RegisterReceiverNotification(WindowHandle hWnd);
  int32_t InitIRDevice();
  void RemoveIRDevice();
  int32_t OnDeviceChange(WParam event, LParam record);

  // Poll cycle (PollCycle.cpp).
  int32_t OnPollTimer();

  TrayIconRecord m_nid;
  MenuHandle m_menu;
  IconHandle m_hIconReady;
  IconHandle m_hIconKey;
  IconHandle m_hIconNoDevice;
  int32_t m_bDeviceOpen;
  int32_t m_bTimerOn;
  DecoderState m_decoder;
  uint16_t m_wChipId;

 private:
  void FillTrayRecord();
};

// Keeps a pop-up menu from opening off-screen: when (x, y) lies on no monitor, x is moved into
// the nearest monitor's work area. y is used as it is.
int32_t ClampPopupX(int32_t x, int32_t y);

// Fills record as a keyboard event and sends it with one SendInput call; a refused event is
// traced and logged. Always 0: the caller goes on with its next event either way.
int KeyEvent(KeyboardInputRecord& record, uint16_t wVk, uint16_t wScan, uint32_t dwFlags);

}  // namespace wendle
