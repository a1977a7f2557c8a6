// The hidden window's message dispatch, and the order of start-up and teardown from the program
// entry to its exit code.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DesktopFakes.h"
#include "HiddenWindow.h"
#include "MonitorGlobals.h"
#include "RunMonitor.h"
#include "WindowMessages.h"

namespace wendle {
namespace {

using fakes::DesktopHarness;
using fakes::kDefaultResult;
using Events = std::vector<std::string>;

// ---- dispatch ----------------------------------------------------------------------------------

struct DispatchCase {
  const char* name;
  uint32_t uMsg;
  WParam wParam;
  LParam lParam;
  LResult result;
  Events events;  // everything the message leads to, the message itself first
};

const Events kNoMoreEvents = {};

std::vector<DispatchCase> DispatchCases() {
  const Events createEvents = {
      "> WM_CREATE 0x0 0x0",
      "LoadIcon 217 16",
      "LoadIcon 215 16",
      "LoadIcon 216 16",
      "Tray add IDI_NODEVICE",
      "RegisterDeviceNotification 0x1000 0x0",
      "debug Enter IR Device Init Function",
      "solv_initIRDev -> 0x0",
  };
  const Events exitEvents = {
      "DestroyWindow 0x1000",
      "> WM_DESTROY 0x0 0x0",
      "Tray delete",
      "PostQuitMessage 0",
      "> WM_NCDESTROY 0x0 0x0",
      "DefWindowProc WM_NCDESTROY 0x0 0x0",
  };
  auto then = [](Events head, const Events& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  return {
      {"create", MSG_CREATE, 0, 0, 0, createEvents},
      {"destroy", MSG_DESTROY, 0, 0, 0, {"> WM_DESTROY 0x0 0x0", "Tray delete", "PostQuitMessage 0"}},
      {"poll timer", MSG_TIMER, 257, 0, 0,
       {"> WM_TIMER 0x101 0x0", "Tray modify no icon", "Sleep 500"}},
      {"other timer", MSG_TIMER, 258, 0, 0, {"> WM_TIMER 0x102 0x0"}},
      {"timer 0", MSG_TIMER, 0, 0, 0, {"> WM_TIMER 0x0 0x0"}},
      {"tray right button up", 0x8001, 0, 0x0205, 0,
       {"> WM_TRAYNOTIFY 0x0 0x205", "LoadMenu 128", "GetCursorPos", "SetForegroundWindow 0x1000",
        "GetSubMenu 0x3000 0", "MonitorFromPoint 700,500 null",
        "TrackPopupMenu 0x3001 0xa 700,500 0x1000", "DestroyMenu 0x3000"}},
      {"tray left button up", 0x8001, 0, 0x0202, 0, {"> WM_TRAYNOTIFY 0x0 0x202"}},
      {"tray left double click", 0x8001, 0, 0x0203, 0, {"> WM_TRAYNOTIFY 0x0 0x203"}},
      {"tray right button down", 0x8001, 0, 0x0204, 0, {"> WM_TRAYNOTIFY 0x0 0x204"}},
      {"tray mouse move", 0x8001, 0, 0x0200, 0, {"> WM_TRAYNOTIFY 0x0 0x200"}},
      {"device nodes changed", MSG_DEVICECHANGE, 0x0007, 0, 0, {"> WM_DEVICECHANGE 0x7 0x0"}},
      {"arrival without record", MSG_DEVICECHANGE, 0x8000, 0, 0, {"> WM_DEVICECHANGE 0x8000 0x0"}},
      {"exit command", MSG_COMMAND, 32774, 0, 0, then({"> WM_COMMAND 0x8006 0x0"}, exitEvents)},
      {"exit command with notification code 1", MSG_COMMAND, (1u << 16) | 32774, 0, kDefaultResult,
       {"> WM_COMMAND 0x18006 0x0", "DefWindowProc WM_COMMAND 0x18006 0x0"}},
      {"exit command with notification code 0x8000", MSG_COMMAND, (0x8000u << 16) | 32774, 0,
       kDefaultResult, {"> WM_COMMAND 0x80008006 0x0", "DefWindowProc WM_COMMAND 0x80008006 0x0"}},
      {"other command", MSG_COMMAND, 32775, 0, kDefaultResult,
       {"> WM_COMMAND 0x8007 0x0", "DefWindowProc WM_COMMAND 0x8007 0x0"}},
      {"close from outside", MSG_CLOSE, 0, 0, kDefaultResult,
       then({"> WM_CLOSE 0x0 0x0", "DefWindowProc WM_CLOSE 0x0 0x0"}, exitEvents)},
      {"paint", 0x000F, 0, 0, kDefaultResult, {"> 0xf 0x0 0x0", "DefWindowProc 0xf 0x0 0x0"}},
      {"reflected command", 0x2111, 32774, 0x77, kDefaultResult,
       {"> 0x2111 0x8006 0x77", "DefWindowProc WM_COMMAND 0x8006 0x77"}},
      {"reflected notify", 0x204E, 5, 0x88, kDefaultResult,
       {"> 0x204e 0x5 0x88", "DefWindowProc 0x4e 0x5 0x88"}},
      {"reflected static colour", 0x2138, 1, 2, kDefaultResult,
       {"> 0x2138 0x1 0x2", "DefWindowProc 0x138 0x1 0x2"}},
      {"reflected parent notify", 0x2210, 1, 2, kDefaultResult,
       {"> 0x2210 0x1 0x2", "DefWindowProc 0x210 0x1 0x2"}},
      {"reflected timer is no control notification", 0x2113, 257, 0, kDefaultResult,
       {"> 0x2113 0x101 0x0", "DefWindowProc 0x2113 0x101 0x0"}},
      {"reflection base itself", 0x2000, 0, 0, kDefaultResult,
       {"> 0x2000 0x0 0x0", "DefWindowProc 0x2000 0x0 0x0"}},
      {"tray message minus one", 0x8000, 0, 0x0205, kDefaultResult,
       {"> 0x8000 0x0 0x205", "DefWindowProc 0x8000 0x0 0x205"}},
  };
}

void PrintTo(const DispatchCase& c, std::ostream* os) { *os << c.name; }

class DispatchTest : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(DispatchTest, HandlesOrPassesOnAsTabled) {
  const DispatchCase& c = GetParam();
  DesktopHarness harness;
  CHiddenWindow window;
  harness.windows.pObject = &window;
  harness.windows.bWindowAlive = true;

  const LResult result = harness.windows.Send(c.uMsg, c.wParam, c.lParam);

  EXPECT_EQ(result, c.result);
  EXPECT_SEQUENCE(c.events, harness.Sequence());
}

INSTANTIATE_TEST_SUITE_P(Messages, DispatchTest, ::testing::ValuesIn(DispatchCases()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(Dispatch, OtherMessageMapsHandleNothing) {
  DesktopHarness harness;
  CHiddenWindow window;
  for (uint32_t uMsg : {MSG_CREATE, MSG_DESTROY, MSG_TIMER, 0x8001u, MSG_DEVICECHANGE, MSG_COMMAND}) {
    LResult result = 77;
    EXPECT_FALSE(window.ProcessWindowMessage(fakes::kWindow, uMsg, 257, 0x205, result, 1)) << uMsg;
    EXPECT_EQ(result, 77);
  }
  EXPECT_SEQUENCE(Events{}, harness.Sequence());
}

TEST(Dispatch, WindowIsDetachedAfterItsLastMessage) {
  struct Watcher : CHiddenWindow {
    std::vector<WindowHandle> finals;
    void OnFinalMessage(WindowHandle hWnd) override { finals.push_back(hWnd); }
  };
  DesktopHarness harness;
  Watcher window;
  harness.windows.pObject = &window;
  harness.windows.bWindowAlive = true;
  harness.windows.Send(MSG_TIMER, 258);
  EXPECT_EQ(window.m_hWnd, fakes::kWindow);
  harness.windows.DestroyWindow(fakes::kWindow);
  EXPECT_EQ(window.m_hWnd, WindowHandle{0});
  EXPECT_EQ(window.finals, std::vector<WindowHandle>{fakes::kWindow});
}

// ---- construction and destruction -----------------------------------------------------------

TEST(HiddenWindowObject, StartsAllZeroWithTheTrayRecordSized) {
  DesktopHarness harness;
  CHiddenWindow window;
  EXPECT_EQ(window.m_nid.cbSize, 952u);
  EXPECT_EQ(window.m_nid.hWnd, WindowHandle{0});
  EXPECT_EQ(window.m_nid.uFlags, 0u);
  EXPECT_EQ(window.m_nid.szTip[0], u'\0');
  EXPECT_EQ(window.m_menu, MenuHandle{0});
  EXPECT_EQ(window.m_hIconReady + window.m_hIconKey + window.m_hIconNoDevice, IconHandle{0});
  EXPECT_EQ(window.m_bDeviceOpen, 0);
  EXPECT_EQ(window.m_bTimerOn, 0);
  EXPECT_EQ(window.m_decoder.m_bPrefixActive, 0);
  EXPECT_EQ(window.m_decoder.m_byPrefixElapsed, 0);
  EXPECT_EQ(window.m_decoder.m_byRepeatElapsed, 0);
  EXPECT_EQ(window.m_decoder.m_dwLastCode, 0u);
  EXPECT_EQ(window.m_wChipId, 0);
  EXPECT_EQ(window.m_hWnd, WindowHandle{0});
}

TEST(HiddenWindowObject, DestructorReleasesWhatItStillOwnsInOrder) {
  struct Case {
    const char* name;
    std::function<void(CHiddenWindow&)> setup;
    Events events;
  };
  const std::vector<Case> cases = {
      {"nothing loaded", [](CHiddenWindow&) {}, {}},
      {"all three icons",
       [](CHiddenWindow& w) {
         w.m_hIconReady = fakes::IconFor(217);
         w.m_hIconKey = fakes::IconFor(215);
         w.m_hIconNoDevice = fakes::IconFor(216);
       },
       {"DestroyIcon IDI_NODEVICE", "DestroyIcon IDI_KEY", "DestroyIcon IDI_READY"}},
      {"a menu left over and one icon",
       [](CHiddenWindow& w) {
         w.m_menu = fakes::kMenu;
         w.m_hIconKey = fakes::IconFor(215);
       },
       {"DestroyMenu 0x3000", "DestroyIcon IDI_KEY"}},
  };
  for (const Case& c : cases) {
    DesktopHarness harness;
    harness.menus.liveMenus = 1;
    {
      CHiddenWindow window;
      c.setup(window);
    }
    EXPECT_SEQUENCE(c.events, harness.Sequence()) << c.name;
  }
}

// ---- start-up and teardown -------------------------------------------------------------------

struct RunCase {
  const char* name;
  std::function<void(DesktopHarness&)> setup;
  Events events;
  std::string log;  // the log file's content after the run
};

const Events kStart = {
    "CoInitialize",
    "InitCommonControlsEx 0x4",
    "Open c:\\monitor.log write",
    "LoadIRTable",
    "CreateWindow \"Wendle\" 0xcf0000 0x0",
    "> WM_CREATE 0x0 0x0",
    "LoadIcon 217 16",
    "LoadIcon 215 16",
    "LoadIcon 216 16",
    "Tray add IDI_NODEVICE",
};

const Events kNoReceiverAtStart = {
    "RegisterDeviceNotification 0x1000 0x0",
    "debug Enter IR Device Init Function",
    "solv_initIRDev -> 0x0",
    "ShowWindow 0",
    "MessageLoop",
};

const Events kDestroyWithoutReceiver = {
    "> WM_DESTROY 0x0 0x0",
    "Tray delete",
    "UnregisterDeviceNotification 0x4000",
    "PostQuitMessage 0",
    "> WM_NCDESTROY 0x0 0x0",
    "DefWindowProc WM_NCDESTROY 0x0 0x0",
};

const Events kEnd = {
    "WM_QUIT 0",
    "Close c:\\monitor.log",
    "DestroyIcon IDI_NODEVICE",
    "DestroyIcon IDI_KEY",
    "DestroyIcon IDI_READY",
    "CoUninitialize",
};

Events Join(std::initializer_list<Events> parts) {
  Events out;
  for (const Events& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

void PostMessage(DesktopHarness& h, uint32_t uMsg, WParam wParam = 0, LParam lParam = 0) {
  h.windows.queue.push_back({uMsg, wParam, lParam});
}

const std::string kNoKeyTableLine = "LoadIRTable failed: 0x80070002\n\r\n";

std::vector<RunCase> RunCases() {
  return {
      {"exit chosen from the tray menu, no receiver",
       [](DesktopHarness& h) {
         PostMessage(h, 0x8001, 0, 0x0205);
         h.menus.whileTracking = [&h] { PostMessage(h, MSG_COMMAND, 32774); };
       },
       Join({kStart, kNoReceiverAtStart,
             {"> WM_TRAYNOTIFY 0x0 0x205", "LoadMenu 128", "GetCursorPos",
              "SetForegroundWindow 0x1000", "GetSubMenu 0x3000 0", "MonitorFromPoint 700,500 null",
              "TrackPopupMenu 0x3001 0xa 700,500 0x1000", "DestroyMenu 0x3000",
              "> WM_COMMAND 0x8006 0x0", "DestroyWindow 0x1000"},
             kDestroyWithoutReceiver, kEnd}),
       kNoKeyTableLine},
      {"close from outside with a receiver open",
       [](DesktopHarness& h) {
         h.receiver.initResult = 0x9035;
         PostMessage(h, MSG_CLOSE);
       },
       Join({kStart,
             {"RegisterDeviceNotification 0x1000 0x0", "debug Enter IR Device Init Function",
              "solv_initIRDev -> 0x9035", "LoadIRTable", "debug Find an IR Device 9035",
              "SetTimer 0x1000 257 100", "Tray modify IDI_READY", "ShowWindow 0", "MessageLoop",
              "> WM_CLOSE 0x0 0x0", "DefWindowProc WM_CLOSE 0x0 0x0", "DestroyWindow 0x1000",
              "> WM_DESTROY 0x0 0x0", "Tray delete", "UnregisterDeviceNotification 0x4000",
              "KillTimer 0x1000 257", "solv_exit", "PostQuitMessage 0",
              "> WM_NCDESTROY 0x0 0x0", "DefWindowProc WM_NCDESTROY 0x0 0x0"},
             kEnd}),
       kNoKeyTableLine + kNoKeyTableLine},
      {"exit command with a notification code does not end the run",
       [](DesktopHarness& h) {
         PostMessage(h, MSG_COMMAND, (1u << 16) | 32774);
         PostMessage(h, MSG_TIMER, 99);
         PostMessage(h, MSG_COMMAND, 32774);
       },
       Join({kStart, kNoReceiverAtStart,
             {"> WM_COMMAND 0x18006 0x0", "DefWindowProc WM_COMMAND 0x18006 0x0",
              "> WM_TIMER 0x63 0x0", "> WM_COMMAND 0x8006 0x0", "DestroyWindow 0x1000"},
             kDestroyWithoutReceiver, kEnd}),
       kNoKeyTableLine},
      // The window outlives its loop only when someone posts WM_QUIT to the thread.
      {"quit posted from outside with a receiver open",
       [](DesktopHarness& h) {
         h.receiver.initResult = 0x9100;
         PostMessage(h, fakes::kQuitMessage, 0);
       },
       Join({kStart,
             {"RegisterDeviceNotification 0x1000 0x0", "debug Enter IR Device Init Function",
              "solv_initIRDev -> 0x9100", "LoadIRTable", "debug Find an IR Device 9100",
              "SetTimer 0x1000 257 100", "Tray modify IDI_READY", "ShowWindow 0", "MessageLoop",
              "WM_QUIT 0 from outside", "DestroyWindow 0x1000", "> WM_DESTROY 0x0 0x0",
              "Tray delete", "UnregisterDeviceNotification 0x4000", "KillTimer 0x1000 257",
              "solv_exit", "PostQuitMessage 0", "> WM_NCDESTROY 0x0 0x0",
              "DefWindowProc WM_NCDESTROY 0x0 0x0"},
             {kEnd.begin() + 1, kEnd.end()}}),
       kNoKeyTableLine + kNoKeyTableLine},
      {"window creation fails",
       [](DesktopHarness& h) { h.windows.create = {false, 1407}; },
       {"CoInitialize", "InitCommonControlsEx 0x4", "Open c:\\monitor.log write", "LoadIRTable",
        "CreateWindow \"Wendle\" 0xcf0000 0x0", "log The Wendle can't open\\n",
        "Close c:\\monitor.log", "CoUninitialize"},
       kNoKeyTableLine + "The Wendle can't open\n\r\n"},
      {"tray icon added by the retry",
       [](DesktopHarness& h) {
         h.tray.outcomes = {{false, 1460}};
         PostMessage(h, MSG_CLOSE);
       },
       Join({kStart, {"Sleep 3000", "Tray add IDI_NODEVICE"}, kNoReceiverAtStart,
             {"> WM_CLOSE 0x0 0x0", "DefWindowProc WM_CLOSE 0x0 0x0", "DestroyWindow 0x1000"},
             kDestroyWithoutReceiver, kEnd}),
       kNoKeyTableLine},
      // No icon even after the retry: the run ends as for a window that could not be created.
      {"tray icon not added by the retry either",
       [](DesktopHarness& h) {
         h.receiver.initResult = 0x9035;  // present, but never asked for
         h.tray.outcomes = {{false, 1460}, {false, 1460}, {false, 1168}};
       },
       Join({kStart,
             {"Sleep 3000", "Tray add IDI_NODEVICE",
              "log OnCreate: Icon was not added to the taskbar!0x5b4\\n", "> WM_DESTROY 0x0 0x0",
              "Tray delete", "log OnDestroy: Icon was not added to the taskbar! 0x490\\n",
              "PostQuitMessage 0", "> WM_NCDESTROY 0x0 0x0", "DefWindowProc WM_NCDESTROY 0x0 0x0",
              "CreateWindow failed", "log The Wendle can't open\\n", "Close c:\\monitor.log",
              "DestroyIcon IDI_NODEVICE", "DestroyIcon IDI_KEY", "DestroyIcon IDI_READY",
              "CoUninitialize"}}),
       kNoKeyTableLine + "OnCreate: Icon was not added to the taskbar!0x5b4\n\r\n" +
           "OnDestroy: Icon was not added to the taskbar! 0x490\n\r\n" +
           "The Wendle can't open\n\r\n"},
      {"log file cannot be created",
       [](DesktopHarness& h) {
         h.files.FailOpen(fakes::FakePlatform::kLogPath, 5);
         h.tray.outcomes = {{true, 0}, {false, 1168}};
         PostMessage(h, MSG_COMMAND, 32774);
       },
       {"CoInitialize", "InitCommonControlsEx 0x4", "Open c:\\monitor.log write", "LoadIRTable",
        "CreateWindow \"Wendle\" 0xcf0000 0x0", "> WM_CREATE 0x0 0x0", "LoadIcon 217 16",
        "LoadIcon 215 16", "LoadIcon 216 16", "Tray add IDI_NODEVICE",
        "RegisterDeviceNotification 0x1000 0x0", "debug Enter IR Device Init Function",
        "solv_initIRDev -> 0x0", "ShowWindow 0", "MessageLoop", "> WM_COMMAND 0x8006 0x0",
        "DestroyWindow 0x1000", "> WM_DESTROY 0x0 0x0", "Tray delete",
        "UnregisterDeviceNotification 0x4000", "PostQuitMessage 0", "> WM_NCDESTROY 0x0 0x0",
        "DefWindowProc WM_NCDESTROY 0x0 0x0", "WM_QUIT 0", "DestroyIcon IDI_NODEVICE",
        "DestroyIcon IDI_KEY", "DestroyIcon IDI_READY", "CoUninitialize"},
       ""},
  };
}

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class RunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunTest, StartsAndEndsInOrder) {
  const RunCase& c = GetParam();
  DesktopHarness harness;
  c.setup(harness);

  const int32_t exitCode = MonitorMain();

  EXPECT_EQ(exitCode, 0);
  EXPECT_SEQUENCE(c.events, harness.Sequence());
  EXPECT_EQ(harness.LogText(), c.log);
  EXPECT_EQ(g_hLogFile, INVALID_FILE_HANDLE);
  EXPECT_EQ(g_hDevNotify, NotifyHandle{0});
  EXPECT_EQ(harness.files.OpenHandleCount(), 0);
  EXPECT_EQ(harness.receiver.exitCalls, harness.SuccessfulOpens()) << "every open is closed";
  EXPECT_TRUE(harness.windows.runningTimers.empty());
}

INSTANTIATE_TEST_SUITE_P(Runs, RunTest, ::testing::ValuesIn(RunCases()), [](const auto& info) {
  std::string name = info.param.name;
  for (char& ch : name)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
});

TEST(Run, EveryStartEmptiesTheLog) {
  DesktopHarness harness;
  harness.files.AddFile(fakes::FakePlatform::kLogPath,
                        std::vector<uint8_t>{'o', 'l', 'd', '\r', '\n'});
  harness.windows.create = {false, 8};
  MonitorMain();
  EXPECT_EQ(harness.LogText(), kNoKeyTableLine + "The Wendle can't open\n\r\n");
}

}  // namespace
}  // namespace wendle
