#pragma once
// Recording fakes of the desktop roles, and a harness that puts them together with the monitor
// platform fakes. Every call of every role is appended, in order, to one sequence of readable
// events; a test compares that sequence with its expected table in one assertion.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DesktopApi.h"
#include "MonitorFakes.h"
#include "WindowObject.h"

namespace wendle::fakes {

// Icon handles are 0x10000 + resource id, so events can name the picture.
constexpr IconHandle IconFor(uint32_t resourceId) { return 0x10000 + resourceId; }

constexpr WindowHandle kWindow = 0x1000;
constexpr MenuHandle kMenu = 0x3000;
constexpr MenuHandle kPopup = 0x3001;
constexpr NotifyHandle kRegistration = 0x4000;
constexpr LayoutHandle kLayout = 0x04090409;
constexpr LResult kDefaultResult = 0x5A5A;  // what the fake default procedure answers
constexpr uint32_t kQuitMessage = 0x0012;   // WM_QUIT, when queued ends the loop by itself

// The outcome of one call: success, or failure with the last error it leaves.
struct Outcome {
  bool bSucceed = true;
  uint32_t dwError = 0;
};

class FakeWindowSystem : public WindowSystem {
 public:
  explicit FakeWindowSystem(FakeSystem& system) : m_system(system) {}

  // Script.
  Outcome create;                          // CreateWindowExW before any message
  std::deque<Outcome> timers;              // SetTimer outcomes; empty: success
  std::map<uint32_t, bool> iconLoads;      // resource id -> load fails
  // Messages the loop delivers, in order, until WM_QUIT is posted. A message that arrives after
  // the window is gone is dropped, like a message to a destroyed window.
  struct Message {
    uint32_t uMsg;
    WParam wParam;
    LParam lParam;
  };
  std::deque<Message> queue;

  // State.
  CWindowObject* pObject = nullptr;
  bool bWindowAlive = false;
  bool bQuitPosted = false;
  int32_t quitCode = -1;
  std::vector<std::uintptr_t> runningTimers;
  std::vector<LResult> results;  // result of every dispatched message, in order

  // Delivers one message to the window as the system would, recording it.
  LResult Send(uint32_t uMsg, WParam wParam = 0, LParam lParam = 0);

  WindowHandle CreateMonitorWindow(CWindowObject& object, const char16_t* title, uint32_t style,
                                   uint32_t exStyle) override;
  void ShowWindow(WindowHandle window, int32_t command) override;
  int32_t RunMessageLoop() override;
  LResult DefaultProcedure(WindowHandle window, uint32_t message, WParam wParam,
                           LParam lParam) override;
  bool SetTimer(WindowHandle window, std::uintptr_t id, uint32_t periodMs) override;
  bool KillTimer(WindowHandle window, std::uintptr_t id) override;
  bool DestroyWindow(WindowHandle window) override;
  void PostQuitMessage(int32_t exitCode) override;
  bool SetForegroundWindow(WindowHandle window) override;
  IconHandle LoadIconImage(uint32_t resourceId, int32_t size) override;
  bool DestroyIcon(IconHandle icon) override;

 private:
  FakeSystem& m_system;
};

class FakeTray : public TrayArea {
 public:
  explicit FakeTray(FakeSystem& system) : m_system(system) {}
  std::deque<Outcome> outcomes;           // per call, in order; empty: success
  std::vector<TrayIconRecord> records;    // every record handed over
  bool NotifyIcon(uint32_t message, const TrayIconRecord& record) override;

 private:
  FakeSystem& m_system;
};

class FakeMenus : public MenuSystem {
 public:
  explicit FakeMenus(FakeSystem& system) : m_system(system) {}

  // Script.
  bool bMenuLoads = true;
  bool bHasPopup = true;
  Outcome track;
  ScreenPoint cursor{700, 500};
  std::vector<ScreenRect> monitors{{0, 0, 1024, 768}};  // full rectangles
  std::vector<ScreenRect> workAreas{{0, 0, 1024, 740}};
  bool bMonitorInfo = true;
  std::function<void()> whileTracking;  // what the user does while the menu is open

  // State.
  int liveMenus = 0;

  MenuHandle LoadMenuResource(uint32_t resourceId) override;
  MenuHandle GetSubMenu(MenuHandle menu, int32_t position) override;
  bool TrackPopupMenu(MenuHandle popup, uint32_t flags, int32_t x, int32_t y,
                      WindowHandle owner) override;
  bool DestroyMenu(MenuHandle menu) override;
  bool GetCursorPos(ScreenPoint& point) override;
  MonitorHandle MonitorFromPoint(ScreenPoint point, uint32_t flags) override;
  bool GetMonitorWorkArea(MonitorHandle monitor, ScreenRect& workArea) override;

 private:
  FakeSystem& m_system;
};

class FakeKeyboard : public KeyboardInput {
 public:
  explicit FakeKeyboard(FakeSystem& system) : m_system(system) {}
  std::deque<Outcome> outcomes;  // per SendInput call, in order; empty: inserted
  std::map<uint32_t, uint32_t> scanCodes{{0x00, 0x00}, {0x2A, 0x00}, {0x13, 0x45}};
  uint32_t SendInput(const KeyboardInputRecord& record) override;
  uint32_t MapVirtualKeyCode(uint32_t code, uint32_t mapType, LayoutHandle layout) override;
  LayoutHandle GetKeyboardLayout(uint32_t threadId) override;

 private:
  FakeSystem& m_system;
};

class FakeDeviceNotifications : public DeviceNotifications {
 public:
  explicit FakeDeviceNotifications(FakeSystem& system) : m_system(system) {}
  Outcome registration;
  std::vector<DeviceInterfaceFilter> filters;
  NotifyHandle Register(WindowHandle window, const DeviceInterfaceFilter& filter,
                        uint32_t flags) override;
  bool Unregister(NotifyHandle registration) override;

 private:
  FakeSystem& m_system;
};

class FakeSystemServices : public SystemServices {
 public:
  explicit FakeSystemServices(FakeSystem& system) : m_system(system) {}
  uint32_t sleptMs = 0;
  void InitializeCom() override { m_system.Record("CoInitialize"); }
  void InitCommonControls(uint32_t classes) override;
  void UninitializeCom() override { m_system.Record("CoUninitialize"); }
  void Sleep(uint32_t milliseconds) override;
  uint32_t LastError() override { return m_system.lastError; }

 private:
  FakeSystem& m_system;
};

// The monitor-side fakes again, now adding their calls to the shared sequence too.
class SequencedReceiver : public ScriptedReceiver {
 public:
  explicit SequencedReceiver(FakeSystem& system) : m_system(system) {}
  uint32_t InitIRDev() override;
  int32_t ReadRawIR(uint8_t* code4) override;
  int32_t ReadTamoIR(uint8_t* report8) override;
  void Exit() override;

 private:
  FakeSystem& m_system;
};

class SequencedDebugChannel : public RecordingDebugChannel {
 public:
  explicit SequencedDebugChannel(FakeSystem& system) : m_system(system) {}
  void Output(const char16_t* text) override;

 private:
  FakeSystem& m_system;
};

// Writes to the log appear as "log <text>" (the CR LF that follows each is left out).
class SequencedFiles : public FakeFileSystem {
 public:
  explicit SequencedFiles(FakeSystem& system) : FakeFileSystem(system), m_system(system) {}
  FileHandle Open(const char16_t* path, FileAccess access) override;
  bool Write(FileHandle file, const void* data, uint32_t byteCount, uint32_t* bytesWritten) override;

 private:
  FakeSystem& m_system;
  FileHandle m_log = INVALID_FILE_HANDLE;
};

// Every fake of both records installed, sharing one FakeSystem. Construction installs them and
// resets the window's process-wide state; destruction puts the previous records back.
class DesktopHarness {
 public:
  DesktopHarness();
  ~DesktopHarness();
  DesktopHarness(const DesktopHarness&) = delete;
  DesktopHarness& operator=(const DesktopHarness&) = delete;

  FakePlatform platform;  // resets the monitor globals; its own receiver and files go unused
  FakeSystem& system = platform.system;
  SequencedFiles files{system};
  SequencedReceiver receiver{system};
  SequencedDebugChannel debug{system};
  FakeWindowSystem windows{system};
  FakeTray tray{system};
  FakeMenus menus{system};
  FakeKeyboard keyboard{system};
  FakeDeviceNotifications notifications{system};
  FakeSystemServices services{system};

  // The recorded events in readable form, the file system's byte-level reads and writes and the
  // WOW64 look-ups left out; the key table load shows as the single event "LoadIRTable".
  std::vector<std::string> Sequence() const;
  void ClearSequence() { system.events.clear(); }
  // Opens that the library answered with a ChipId (non-zero low half).
  int SuccessfulOpens() const;
  std::string LogText() const { return files.ContentsText(FakePlatform::kLogPath); }
  void OpenLog();

 private:
  MonitorPlatform m_previousPlatform;
  DesktopPlatform m_previousDesktop;
};

// Empty when equal; otherwise a description of the first difference and both sequences.
std::string FirstDifference(const std::vector<std::string>& expected,
                            const std::vector<std::string>& actual);

::testing::AssertionResult SequencesMatch(const char* expectedText, const char* actualText,
                                          const std::vector<std::string>& expected,
                                          const std::vector<std::string>& actual);

// The readable name of a message number for events ("WM_TIMER", or "0x1234").
std::string MessageName(uint32_t uMsg);

// A device-interface broadcast record with the given name, or of another device type.
std::vector<uint8_t> DeviceInterfaceRecord(const std::u16string& name);
std::vector<uint8_t> VolumeRecord();

}  // namespace wendle::fakes

// Compares a recorded sequence with the expected table in one assertion; a failure shows the
// first difference and the whole recorded sequence. Further messages can be streamed in.
#define EXPECT_SEQUENCE(expected, actual) \
  EXPECT_PRED_FORMAT2(::wendle::fakes::SequencesMatch, expected, actual)
