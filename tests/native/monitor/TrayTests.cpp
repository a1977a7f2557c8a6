// The tray icon's record, adding it with its one retry, changing and deleting it, and the
// pop-up menu with its placement and failure lines.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "DesktopFakes.h"
#include "HiddenWindow.h"
#include "MonitorGlobals.h"

namespace wendle {
namespace {

using fakes::DesktopHarness;
using Events = std::vector<std::string>;

bool AllZero(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

void ExpectAddRecord(const TrayIconRecord& r) {
  EXPECT_EQ(r.cbSize, 952u);
  EXPECT_EQ(r.hWnd, fakes::kWindow);
  EXPECT_EQ(r.uID, 0x12345u);
  EXPECT_EQ(r.uFlags, 7u);
  EXPECT_EQ(r.uCallbackMessage, 0x8001u);
  EXPECT_EQ(r.hIcon, fakes::IconFor(216));
  EXPECT_EQ(std::u16string(r.szTip), u"Wendle");
  EXPECT_TRUE(AllZero(r.szTip + 6, sizeof r.szTip - 6 * sizeof(char16_t)));
  EXPECT_EQ(r.uTimeoutOrVersion, 3u);
  EXPECT_EQ(r.dwState, 0u);
  EXPECT_EQ(r.dwStateMask, 0u);
  EXPECT_TRUE(AllZero(r.szInfo, sizeof r.szInfo));
  EXPECT_TRUE(AllZero(r.szInfoTitle, sizeof r.szInfoTitle));
  EXPECT_EQ(r.dwInfoFlags, 0u);
  EXPECT_TRUE(AllZero(&r.guidItem, sizeof r.guidItem));
}

struct TrayFixture {
  DesktopHarness harness;
  CHiddenWindow window;
  TrayFixture() {
    harness.OpenLog();
    window.m_hWnd = fakes::kWindow;
    harness.ClearSequence();
  }
};

TEST(TrayIcon, IsAddedWithTheNoDeviceIconAndItsFixedFields) {
  TrayFixture f;
  EXPECT_TRUE(f.window.AddTrayIcon());
  EXPECT_SEQUENCE((Events{"LoadIcon 217 16", "LoadIcon 215 16", "LoadIcon 216 16",
                          "Tray add IDI_NODEVICE"}),
                  f.harness.Sequence());
  ASSERT_EQ(f.harness.tray.records.size(), 1u);
  ExpectAddRecord(f.harness.tray.records[0]);
}

TEST(TrayIcon, SecondAttemptComesThreeSecondsLaterWithTheSameRecord) {
  TrayFixture f;
  f.harness.tray.outcomes = {{false, 1460}};
  EXPECT_TRUE(f.window.AddTrayIcon());
  EXPECT_SEQUENCE((Events{"LoadIcon 217 16", "LoadIcon 215 16", "LoadIcon 216 16",
                          "Tray add IDI_NODEVICE", "Sleep 3000", "Tray add IDI_NODEVICE"}),
                  f.harness.Sequence());
  ASSERT_EQ(f.harness.tray.records.size(), 2u);
  ExpectAddRecord(f.harness.tray.records[1]);
  EXPECT_EQ(f.harness.LogText(), "");
}

TEST(TrayIcon, TwoFailedAttemptsAreLoggedWithTheErrorOfTheSecond) {
  TrayFixture f;
  f.harness.tray.outcomes = {{false, 2}, {false, 0x5B4}};
  EXPECT_FALSE(f.window.AddTrayIcon());
  EXPECT_SEQUENCE((Events{"LoadIcon 217 16", "LoadIcon 215 16", "LoadIcon 216 16",
                          "Tray add IDI_NODEVICE", "Sleep 3000", "Tray add IDI_NODEVICE",
                          "log OnCreate: Icon was not added to the taskbar!0x5b4\\n"}),
                  f.harness.Sequence());
  EXPECT_EQ(f.harness.LogText(), "OnCreate: Icon was not added to the taskbar!0x5b4\n\r\n");
}

TEST(TrayIcon, IconsThatDoNotLoadAreHandedOverAsNone) {
  TrayFixture f;
  f.harness.windows.iconLoads = {{216, true}, {217, true}};
  EXPECT_TRUE(f.window.AddTrayIcon());
  EXPECT_SEQUENCE((Events{"LoadIcon 217 16", "LoadIcon 215 16", "LoadIcon 216 16",
                          "Tray add no icon"}),
                  f.harness.Sequence());
  EXPECT_EQ(f.window.m_hIconKey, fakes::IconFor(215));
  EXPECT_EQ(f.harness.LogText(), "");
}

TEST(TrayIcon, ChangingThePictureResendsTheWholeRecord) {
  TrayFixture f;
  f.window.AddTrayIcon();
  f.harness.tray.outcomes = {{false, 1}};  // the shell ignoring one change goes unnoticed
  f.window.SetTrayIcon(fakes::IconFor(217));
  f.window.SetTrayIcon(fakes::IconFor(215));
  ASSERT_EQ(f.harness.tray.records.size(), 3u);
  for (size_t i = 1; i < 3; ++i) {
    TrayIconRecord expected = f.harness.tray.records[0];
    expected.hIcon = i == 1 ? fakes::IconFor(217) : fakes::IconFor(215);
    EXPECT_EQ(std::memcmp(&expected, &f.harness.tray.records[i], sizeof expected), 0) << i;
  }
  EXPECT_EQ(f.harness.LogText(), "");
}

TEST(TrayIcon, DeleteNamesTheIconAgainAndLogsAFailure) {
  struct Case {
    bool bSucceed;
    std::string log;
  };
  for (const Case& c : {Case{true, ""}, Case{false, "OnDestroy: Icon was not added to the taskbar! 0x490\n\r\n"}}) {
    TrayFixture f;
    f.window.m_nid.hWnd = 0x777;
    f.window.m_nid.uID = 1;
    f.harness.tray.outcomes = {{c.bSucceed, 0x490}};
    f.window.DeleteTrayIcon();
    ASSERT_EQ(f.harness.tray.records.size(), 1u);
    EXPECT_EQ(f.harness.tray.records[0].hWnd, fakes::kWindow);
    EXPECT_EQ(f.harness.tray.records[0].uID, 0x12345u);
    EXPECT_EQ(f.harness.LogText(), c.log);
  }
}

// ---- the pop-up menu ---------------------------------------------------------------------------

struct MenuCase {
  const char* name;
  std::function<void(DesktopHarness&)> setup;
  int32_t result;
  Events events;
  std::string log;
};

void PrintTo(const MenuCase& c, std::ostream* os) { *os << c.name; }

std::vector<MenuCase> MenuCases() {
  return {
      {"shown and released", [](DesktopHarness&) {}, 0,
       {"LoadMenu 128", "GetCursorPos", "SetForegroundWindow 0x1000", "GetSubMenu 0x3000 0",
        "MonitorFromPoint 700,500 null", "TrackPopupMenu 0x3001 0xa 700,500 0x1000",
        "DestroyMenu 0x3000"},
       ""},
      {"menu not loaded", [](DesktopHarness& h) { h.menus.bMenuLoads = false; }, 1,
       {"LoadMenu 128", "log Menu was not loaded!\\n", "GetCursorPos", "SetForegroundWindow 0x1000",
        "log Handle to the first shortcut menu was not retrieved!\\n"},
       "Menu was not loaded!\n\r\nHandle to the first shortcut menu was not retrieved!\n\r\n"},
      {"menu without a pop-up", [](DesktopHarness& h) { h.menus.bHasPopup = false; }, 1,
       {"LoadMenu 128", "GetCursorPos", "SetForegroundWindow 0x1000", "GetSubMenu 0x3000 0",
        "log Handle to the first shortcut menu was not retrieved!\\n", "DestroyMenu 0x3000"},
       "Handle to the first shortcut menu was not retrieved!\n\r\n"},
      {"menu not displayed", [](DesktopHarness& h) { h.menus.track = {false, 1401}; }, 1,
       {"LoadMenu 128", "GetCursorPos", "SetForegroundWindow 0x1000", "GetSubMenu 0x3000 0",
        "MonitorFromPoint 700,500 null", "TrackPopupMenu 0x3001 0xa 700,500 0x1000",
        "log Shortcut menu was not displayed!\\n", "DestroyMenu 0x3000"},
       "Shortcut menu was not displayed!\n\r\n"},
      {"cursor off every monitor", [](DesktopHarness& h) { h.menus.cursor = {-40, 300}; }, 0,
       {"LoadMenu 128", "GetCursorPos", "SetForegroundWindow 0x1000", "GetSubMenu 0x3000 0",
        "MonitorFromPoint -40,300 null", "MonitorFromPoint -40,300 nearest", "GetMonitorInfo 0x5000",
        "TrackPopupMenu 0x3001 0xa 0,300 0x1000", "DestroyMenu 0x3000"},
       ""},
  };
}

class MenuTest : public ::testing::TestWithParam<MenuCase> {};

TEST_P(MenuTest, ShowsOrLogsAndAlwaysReleases) {
  const MenuCase& c = GetParam();
  TrayFixture f;
  c.setup(f.harness);
  EXPECT_EQ(f.window.ShowTrayMenu(), c.result);
  EXPECT_SEQUENCE(c.events, f.harness.Sequence());
  EXPECT_EQ(f.harness.LogText(), c.log);
  EXPECT_EQ(f.window.m_menu, MenuHandle{0});
  EXPECT_EQ(f.harness.menus.liveMenus, 0);
}

INSTANTIATE_TEST_SUITE_P(Menus, MenuTest, ::testing::ValuesIn(MenuCases()), [](const auto& info) {
  std::string name = info.param.name;
  for (char& ch : name)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
});

TEST(TrayMenu, MenuIsHeldOnlyWhileItIsOpen) {
  TrayFixture f;
  MenuHandle whileOpen = 0;
  f.harness.menus.whileTracking = [&] { whileOpen = f.window.m_menu; };
  f.window.ShowTrayMenu();
  EXPECT_EQ(whileOpen, fakes::kMenu);
  EXPECT_EQ(f.window.m_menu, MenuHandle{0});
}

// ---- placement -------------------------------------------------------------------------------------

struct ClampCase {
  const char* name;
  std::vector<ScreenRect> monitors;
  std::vector<ScreenRect> workAreas;
  bool bMonitorInfo;
  int32_t x, y;
  int32_t expectedX;
};

TEST(ClampPopupX, MovesXIntoTheNearestWorkAreaOnlyWhenThePointIsOffScreen) {
  const std::vector<ScreenRect> one = {{0, 0, 1024, 768}};
  const std::vector<ScreenRect> oneWork = {{100, 0, 900, 740}};  // a task bar on each side
  const std::vector<ScreenRect> two = {{0, 0, 1024, 768}, {1024, 0, 2304, 1024}};
  const std::vector<ScreenRect> twoWork = {{0, 0, 1024, 740}, {1100, 0, 2304, 1000}};
  const ClampCase cases[] = {
      {"on a monitor, outside its work area", one, oneWork, true, 50, 760, 50},
      {"on a monitor, right of its work area", one, oneWork, true, 1000, 10, 1000},
      {"left of the screen", one, oneWork, true, -300, 400, 100},
      {"right of the screen", one, oneWork, true, 5000, 400, 900},
      {"below the screen, x inside", one, oneWork, true, 500, 2000, 500},
      {"below the screen, x outside", one, oneWork, true, 950, 2000, 900},
      {"no monitor at all", {}, {}, true, -300, 400, -300},
      {"monitor information refused", one, oneWork, false, -300, 400, -300},
      {"in the gap below the smaller monitor", two, twoWork, true, 500, 900, 500},
      {"right of the larger monitor", two, twoWork, true, 2400, 500, 2304},
      {"above the second monitor's work area start", two, twoWork, true, 1050, -20, 1100},
  };
  for (const ClampCase& c : cases) {
    DesktopHarness harness;
    harness.menus.monitors = c.monitors;
    harness.menus.workAreas = c.workAreas;
    harness.menus.bMonitorInfo = c.bMonitorInfo;
    EXPECT_EQ(ClampPopupX(c.x, c.y), c.expectedX) << c.name;
  }
}

}  // namespace
}  // namespace wendle
