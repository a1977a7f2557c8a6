#include "DesktopFakes.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "HiddenWindow.h"
#include "MonitorGlobals.h"
#include "WideFormat.h"
#include "WindowMessages.h"

namespace wendle::fakes {
namespace {

std::string Hex(std::uintmax_t value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%jx", value);
  return buffer;
}

// Shows line ends as \n and \r so that a log line's exact text is visible in a failure.
std::string Visible(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

std::string IconName(IconHandle icon) {
  switch (icon) {
    case IconFor(215): return "IDI_KEY";
    case IconFor(216): return "IDI_NODEVICE";
    case IconFor(217): return "IDI_READY";
    case 0: return "no icon";
    default: return Hex(icon);
  }
}

}  // namespace

std::string MessageName(uint32_t uMsg) {
  switch (uMsg) {
    case MSG_CREATE: return "WM_CREATE";
    case MSG_DESTROY: return "WM_DESTROY";
    case MSG_CLOSE: return "WM_CLOSE";
    case MSG_NCDESTROY: return "WM_NCDESTROY";
    case MSG_COMMAND: return "WM_COMMAND";
    case MSG_TIMER: return "WM_TIMER";
    case MSG_DEVICECHANGE: return "WM_DEVICECHANGE";
    case 0x8001: return "WM_TRAYNOTIFY";
    default: return Hex(uMsg);
  }
}

// ---- window system -------------------------------------------------------------------------------

LResult FakeWindowSystem::Send(uint32_t uMsg, WParam wParam, LParam lParam) {
  m_system.Record("> " + MessageName(uMsg) + " " + Hex(wParam) + " " + Hex(static_cast<uintptr_t>(lParam)));
  const LResult result = DispatchWindowMessage(*pObject, kWindow, uMsg, wParam, lParam);
  results.push_back(result);
  return result;
}

WindowHandle FakeWindowSystem::CreateMonitorWindow(CWindowObject& object, const char16_t* title,
                                                   uint32_t style, uint32_t exStyle) {
  m_system.Record("CreateWindow \"" + text::Narrow(title) + "\" " + Hex(style) + " " + Hex(exStyle));
  if (!create.bSucceed) {
    m_system.lastError = create.dwError;
    return 0;
  }
  pObject = &object;
  bWindowAlive = true;
  // The system fails the creation when WM_CREATE answers -1, after destroying the window.
  if (Send(MSG_CREATE) == -1) {
    Send(MSG_DESTROY);
    Send(MSG_NCDESTROY);
    bWindowAlive = false;
    m_system.Record("CreateWindow failed");
    return 0;
  }
  return kWindow;
}

void FakeWindowSystem::ShowWindow(WindowHandle, int32_t command) {
  m_system.Record("ShowWindow " + std::to_string(command));
}

int32_t FakeWindowSystem::RunMessageLoop() {
  m_system.Record("MessageLoop");
  while (!bQuitPosted) {
    if (queue.empty()) {
      m_system.Record("MessageLoop ran dry");
      return -999;
    }
    const Message message = queue.front();
    queue.pop_front();
    if (message.uMsg == kQuitMessage) {  // posted to the thread, not to the window
      m_system.Record("WM_QUIT " + std::to_string(message.wParam) + " from outside");
      return static_cast<int32_t>(message.wParam);
    }
    if (bWindowAlive) Send(message.uMsg, message.wParam, message.lParam);
  }
  m_system.Record("WM_QUIT " + std::to_string(quitCode));
  return quitCode;
}

LResult FakeWindowSystem::DefaultProcedure(WindowHandle, uint32_t message, WParam wParam,
                                           LParam lParam) {
  m_system.Record("DefWindowProc " + MessageName(message) + " " + Hex(wParam) + " " +
                  Hex(static_cast<uintptr_t>(lParam)));
  if (message == MSG_CLOSE) DestroyWindow(kWindow);
  return kDefaultResult;
}

bool FakeWindowSystem::SetTimer(WindowHandle window, std::uintptr_t id, uint32_t periodMs) {
  m_system.Record("SetTimer " + Hex(window) + " " + std::to_string(id) + " " + std::to_string(periodMs));
  Outcome outcome;
  if (!timers.empty()) {
    outcome = timers.front();
    timers.pop_front();
  }
  if (!outcome.bSucceed) {
    m_system.lastError = outcome.dwError;
    return false;
  }
  runningTimers.push_back(id);
  return true;
}

bool FakeWindowSystem::KillTimer(WindowHandle window, std::uintptr_t id) {
  m_system.Record("KillTimer " + Hex(window) + " " + std::to_string(id));
  for (auto it = runningTimers.begin(); it != runningTimers.end(); ++it) {
    if (*it == id) {
      runningTimers.erase(it);
      return true;
    }
  }
  return false;
}

bool FakeWindowSystem::DestroyWindow(WindowHandle window) {
  m_system.Record("DestroyWindow " + Hex(window));
  if (!bWindowAlive || window != kWindow) return false;
  Send(MSG_DESTROY);
  Send(MSG_NCDESTROY);
  bWindowAlive = false;
  runningTimers.clear();
  return true;
}

void FakeWindowSystem::PostQuitMessage(int32_t exitCode) {
  m_system.Record("PostQuitMessage " + std::to_string(exitCode));
  bQuitPosted = true;
  quitCode = exitCode;
}

bool FakeWindowSystem::SetForegroundWindow(WindowHandle window) {
  m_system.Record("SetForegroundWindow " + Hex(window));
  return true;
}

IconHandle FakeWindowSystem::LoadIconImage(uint32_t resourceId, int32_t size) {
  m_system.Record("LoadIcon " + std::to_string(resourceId) + " " + std::to_string(size));
  auto failing = iconLoads.find(resourceId);
  if (failing != iconLoads.end() && failing->second) return 0;
  return IconFor(resourceId);
}

bool FakeWindowSystem::DestroyIcon(IconHandle icon) {
  m_system.Record("DestroyIcon " + IconName(icon));
  return true;
}

// ---- tray ----------------------------------------------------------------------------------------

bool FakeTray::NotifyIcon(uint32_t message, const TrayIconRecord& record) {
  static const char* const kNames[] = {"add", "modify", "delete"};
  std::string event = "Tray ";
  event += message < 3 ? kNames[message] : Hex(message);
  if (message != TRAY_DELETE) event += " " + IconName(record.hIcon);
  m_system.Record(event);
  records.push_back(record);
  Outcome outcome;
  if (!outcomes.empty()) {
    outcome = outcomes.front();
    outcomes.pop_front();
  }
  if (!outcome.bSucceed) m_system.lastError = outcome.dwError;
  return outcome.bSucceed;
}

// ---- menus ---------------------------------------------------------------------------------------

MenuHandle FakeMenus::LoadMenuResource(uint32_t resourceId) {
  m_system.Record("LoadMenu " + std::to_string(resourceId));
  if (!bMenuLoads) return 0;
  ++liveMenus;
  return kMenu;
}

MenuHandle FakeMenus::GetSubMenu(MenuHandle menu, int32_t position) {
  m_system.Record("GetSubMenu " + Hex(menu) + " " + std::to_string(position));
  return menu == kMenu && position == 0 && bHasPopup ? kPopup : 0;
}

bool FakeMenus::TrackPopupMenu(MenuHandle popup, uint32_t flags, int32_t x, int32_t y,
                               WindowHandle owner) {
  m_system.Record("TrackPopupMenu " + Hex(popup) + " " + Hex(flags) + " " + std::to_string(x) +
                  "," + std::to_string(y) + " " + Hex(owner));
  if (!track.bSucceed) {
    m_system.lastError = track.dwError;
    return false;
  }
  if (whileTracking) whileTracking();
  return true;
}

bool FakeMenus::DestroyMenu(MenuHandle menu) {
  m_system.Record("DestroyMenu " + Hex(menu));
  if (menu != kMenu || liveMenus == 0) return false;
  --liveMenus;
  return true;
}

bool FakeMenus::GetCursorPos(ScreenPoint& point) {
  m_system.Record("GetCursorPos");
  point = cursor;
  return true;
}

MonitorHandle FakeMenus::MonitorFromPoint(ScreenPoint point, uint32_t flags) {
  m_system.Record("MonitorFromPoint " + std::to_string(point.x) + "," + std::to_string(point.y) +
                  (flags == MONITOR_NEAREST ? " nearest" : flags == MONITOR_NULL_IF_NONE ? " null" : " " + Hex(flags)));
  if (monitors.empty()) return 0;
  for (size_t i = 0; i < monitors.size(); ++i) {
    const ScreenRect& r = monitors[i];
    if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) {
      return 0x5000 + i;
    }
  }
  if (flags != MONITOR_NEAREST) return 0;
  // Nearest by distance to the rectangle.
  size_t best = 0;
  int64_t bestDistance = INT64_MAX;
  for (size_t i = 0; i < monitors.size(); ++i) {
    const ScreenRect& r = monitors[i];
    const int64_t dx = point.x < r.left ? r.left - point.x : point.x >= r.right ? point.x - r.right + 1 : 0;
    const int64_t dy = point.y < r.top ? r.top - point.y : point.y >= r.bottom ? point.y - r.bottom + 1 : 0;
    if (dx * dx + dy * dy < bestDistance) {
      bestDistance = dx * dx + dy * dy;
      best = i;
    }
  }
  return 0x5000 + best;
}

bool FakeMenus::GetMonitorWorkArea(MonitorHandle monitor, ScreenRect& workArea) {
  m_system.Record("GetMonitorInfo " + Hex(monitor));
  if (!bMonitorInfo || monitor < 0x5000 || monitor - 0x5000 >= workAreas.size()) return false;
  workArea = workAreas[monitor - 0x5000];
  return true;
}

// ---- keyboard ------------------------------------------------------------------------------------

uint32_t FakeKeyboard::SendInput(const KeyboardInputRecord& record) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "SendInput type=%u vk=0x%02X scan=0x%02X flags=%u",
                record.type, record.wVk, record.wScan, record.dwFlags);
  std::string event = buffer;
  if (record.time != 0 || record.dwExtraInfo != 0) event += " time/extra set";
  m_system.Record(event);
  Outcome outcome;
  if (!outcomes.empty()) {
    outcome = outcomes.front();
    outcomes.pop_front();
  }
  if (!outcome.bSucceed) {
    m_system.lastError = outcome.dwError;
    return 0;
  }
  return 1;
}

uint32_t FakeKeyboard::MapVirtualKeyCode(uint32_t code, uint32_t mapType, LayoutHandle layout) {
  m_system.Record("MapVirtualKeyEx " + Hex(code) + " " + std::to_string(mapType) + " " + Hex(layout));
  auto it = scanCodes.find(code);
  return it == scanCodes.end() ? 0 : it->second;
}

LayoutHandle FakeKeyboard::GetKeyboardLayout(uint32_t threadId) {
  m_system.Record("GetKeyboardLayout " + std::to_string(threadId));
  return kLayout;
}

// ---- device notifications ---------------------------------------------------------------------

NotifyHandle FakeDeviceNotifications::Register(WindowHandle window,
                                               const DeviceInterfaceFilter& filter, uint32_t flags) {
  m_system.Record("RegisterDeviceNotification " + Hex(window) + " " + Hex(flags));
  filters.push_back(filter);
  if (!registration.bSucceed) {
    m_system.lastError = registration.dwError;
    return 0;
  }
  return kRegistration;
}

bool FakeDeviceNotifications::Unregister(NotifyHandle registration) {
  m_system.Record("UnregisterDeviceNotification " + Hex(registration));
  return registration == kRegistration;
}

// ---- system services -------------------------------------------------------------------------

void FakeSystemServices::InitCommonControls(uint32_t classes) {
  m_system.Record("InitCommonControlsEx " + Hex(classes));
}

void FakeSystemServices::Sleep(uint32_t milliseconds) {
  m_system.Record("Sleep " + std::to_string(milliseconds));
  sleptMs += milliseconds;
}

// ---- sequenced monitor fakes ------------------------------------------------------------------

uint32_t SequencedReceiver::InitIRDev() {
  const uint32_t result = ScriptedReceiver::InitIRDev();
  m_system.Record("solv_initIRDev -> " + Hex(result));
  return result;
}

int32_t SequencedReceiver::ReadRawIR(uint8_t* code4) {
  const int32_t result = ScriptedReceiver::ReadRawIR(code4);
  m_system.Record("solv_ReadRawIR -> " + std::to_string(result));
  return result;
}

int32_t SequencedReceiver::ReadTamoIR(uint8_t* report8) {
  const int32_t result = ScriptedReceiver::ReadTamoIR(report8);
  m_system.Record("solv_ReadTamoIR -> " + std::to_string(result));
  return result;
}

void SequencedReceiver::Exit() {
  ScriptedReceiver::Exit();
  m_system.Record("solv_exit");
}

void SequencedDebugChannel::Output(const char16_t* text) {
  RecordingDebugChannel::Output(text);
  m_system.Record("debug " + text::Narrow(text));
}

FileHandle SequencedFiles::Open(const char16_t* path, FileAccess access) {
  const FileHandle handle = FakeFileSystem::Open(path, access);
  if (std::u16string(path) == FakePlatform::kLogPath && handle != INVALID_FILE_HANDLE) m_log = handle;
  return handle;
}

bool SequencedFiles::Write(FileHandle file, const void* data, uint32_t byteCount,
                           uint32_t* bytesWritten) {
  const std::string text(static_cast<const char*>(data), byteCount);
  if (file == m_log && text != "\r\n") m_system.Record("log " + Visible(text));
  return FakeFileSystem::Write(file, data, byteCount, bytesWritten);
}

// ---- harness --------------------------------------------------------------------------------------

DesktopHarness::DesktopHarness() {
  MonitorPlatform monitor;
  monitor.pFiles = &files;
  monitor.pTicks = &platform.ticks;
  monitor.pDebug = &debug;
  monitor.pMessageBox = &platform.messageBox;
  monitor.pWow64 = &platform.wow64;
  monitor.pReceiver = &receiver;
  m_previousPlatform = SetMonitorPlatform(monitor);

  DesktopPlatform desktop;
  desktop.pWindows = &windows;
  desktop.pTray = &tray;
  desktop.pMenus = &menus;
  desktop.pKeyboard = &keyboard;
  desktop.pDeviceNotify = &notifications;
  desktop.pSystem = &services;
  m_previousDesktop = SetDesktopPlatform(desktop);
  g_hDevNotify = 0;
}

DesktopHarness::~DesktopHarness() {
  g_hDevNotify = 0;
  SetDesktopPlatform(m_previousDesktop);
  SetMonitorPlatform(m_previousPlatform);
}

void DesktopHarness::OpenLog() {
  g_hLogFile = files.Open(FakePlatform::kLogPath.c_str(), FileAccess::WriteTruncate);
}

std::vector<std::string> DesktopHarness::Sequence() const {
  static const char* const kHidden[] = {
      "Read ", "Write ", "LookupIsWow64Process", "IsWow64Process", "LoadRedirectionSwitch",
      "DisableRedirection", "RevertRedirection", "ReleaseRedirectionSwitch",
      "debug Disable WOW64 Redirection", "debug fnIsWow64Process Failed"};
  const std::string keyTable = text::Narrow(FakePlatform::kKeyTablePath.c_str());
  std::vector<std::string> out;
  for (const std::string& event : system.events) {
    bool bHidden = false;
    for (const char* prefix : kHidden) bHidden = bHidden || event.rfind(prefix, 0) == 0;
    // What the key table loader does in detail is its own business; here it is one step.
    if (event == "debug " + keyTable || event == "Close " + keyTable ||
        event.rfind("log LoadIRTable", 0) == 0) {
      bHidden = true;
    }
    if (bHidden) continue;
    out.push_back(event == "Open " + keyTable + " read" ? "LoadIRTable" : event);
  }
  return out;
}

int DesktopHarness::SuccessfulOpens() const {
  int opens = 0;
  const std::string prefix = "solv_initIRDev -> ";
  for (const std::string& event : system.events) {
    if (event.rfind(prefix, 0) == 0 && (std::stoul(event.substr(prefix.size()), nullptr, 16) & 0xFFFF) != 0) {
      ++opens;
    }
  }
  return opens;
}

std::string FirstDifference(const std::vector<std::string>& expected,
                            const std::vector<std::string>& actual) {
  size_t i = 0;
  while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) ++i;
  if (i == expected.size() && i == actual.size()) return {};
  std::ostringstream out;
  out << "sequences differ at event " << i << ":\n  expected: "
      << (i < expected.size() ? expected[i] : "(end)") << "\n  actual:   "
      << (i < actual.size() ? actual[i] : "(end)") << "\nactual sequence:\n";
  for (size_t k = 0; k < actual.size(); ++k) out << "  " << k << ": " << actual[k] << "\n";
  return out.str();
}

::testing::AssertionResult SequencesMatch(const char* expectedText, const char* actualText,
                                          const std::vector<std::string>& expected,
                                          const std::vector<std::string>& actual) {
  const std::string difference = FirstDifference(expected, actual);
  if (difference.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << actualText << " is not " << expectedText << ": "
                                       << difference;
}

std::vector<uint8_t> DeviceInterfaceRecord(const std::u16string& name) {
  const size_t size = DEVICE_RECORD_NAME_OFFSET + (name.size() + 1) * sizeof(char16_t);
  std::vector<uint8_t> bytes(size, 0);
  const uint32_t head[3] = {static_cast<uint32_t>(size), DEVICE_TYPE_INTERFACE, 0};
  std::memcpy(bytes.data(), head, sizeof head);
  std::memcpy(bytes.data() + DEVICE_RECORD_NAME_OFFSET, name.data(), name.size() * sizeof(char16_t));
  return bytes;
}

std::vector<uint8_t> VolumeRecord() {
  // DEV_BROADCAST_VOLUME: size, type 2, reserved, unit mask, flags; no name anywhere.
  const uint32_t fields[5] = {18, 2, 0, 0x4, 0};
  std::vector<uint8_t> bytes(sizeof fields);
  std::memcpy(bytes.data(), fields, sizeof fields);
  bytes.resize(18);
  return bytes;
}

}  // namespace wendle::fakes
