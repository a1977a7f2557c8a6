// The 100 ms poll: where a report comes from, what the tray shows, and the keystrokes a report
// becomes, one SendInput record at a time.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DesktopFakes.h"
#include "HiddenWindow.h"
#include "KeyMaps.h"
#include "MonitorGlobals.h"

namespace wendle {
namespace {

using fakes::DesktopHarness;
using Events = std::vector<std::string>;

KeyboardReport Report(std::initializer_list<uint8_t> bytes) {
  KeyboardReport report{};
  size_t i = 0;
  for (uint8_t b : bytes) report.abyData[i++] = b;
  return report;
}

struct PollCase {
  const char* name;
  int32_t bDeviceOpen;
  uint16_t wChipId;
  std::function<void(DesktopHarness&)> setup;
  Events events;
  std::string log;
};

std::string Down(uint16_t vk, uint16_t scan, uint32_t flags) {
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "SendInput type=1 vk=0x%02X scan=0x%02X flags=%u", vk, scan, flags);
  return buffer;
}
std::string Up(uint16_t vk, uint16_t scan, uint32_t flags) { return Down(vk, scan, flags | 2); }

void Deliver(DesktopHarness& h, KeyboardReport report) { h.receiver.reports.push_back({0, report}); }

std::vector<PollCase> PollCases() {
  return {
      {"no receiver: no-device icon and a 500 ms wait", 0, 0, [](DesktopHarness&) {},
       {"Tray modify IDI_NODEVICE", "Sleep 500"}, ""},
      {"open flag without a chip: nothing", 1, 0, [](DesktopHarness&) {}, {}, ""},
      {"decoding receiver without a report: ready icon, no trace", 1, 0x9015,
       [](DesktopHarness& h) { h.receiver.reports.push_back({1, Report({2, 0, 4})}); },
       {"solv_ReadTamoIR -> 1", "Tray modify IDI_READY"}, ""},
      {"left Shift and a", 1, 0x9015, [](DesktopHarness& h) { Deliver(h, Report({0x02, 0, 0x04})); },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):2 0 4 0 0 0 0 0", Down(0xA0, 0x2A, 0),
        Down(0x41, 0x1E, 0), "Tray modify IDI_KEY", "Sleep 300", Up(0x41, 0x1E, 0),
        Up(0xA0, 0x2A, 0)},
       ""},
      {"trace shows all eight bytes, only 0 and 2 are used", 1, 0x9015,
       [](DesktopHarness& h) { Deliver(h, Report({0x00, 0x11, 0x29, 0x22, 0x33, 0x44, 0xAB, 0xFF})); },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):0 11 29 22 33 44 AB FF", Down(0x1B, 0x01, 0),
        "Tray modify IDI_KEY", "Sleep 300", Up(0x1B, 0x01, 0)},
       ""},
      {"usage 0 with modifiers presses nothing", 1, 0x9015,
       [](DesktopHarness& h) { Deliver(h, Report({0x03, 0, 0x00})); },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):3 0 0 0 0 0 0 0", "Tray modify IDI_KEY"}, ""},
      {"usage 3 presses nothing", 1, 0x9015, [](DesktopHarness& h) { Deliver(h, Report({0x01, 0, 0x03})); },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):1 0 3 0 0 0 0 0", "Tray modify IDI_KEY"}, ""},
      {"usage 100 presses nothing", 1, 0x9015, [](DesktopHarness& h) { Deliver(h, Report({0x01, 0, 0x64})); },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):1 0 64 0 0 0 0 0", "Tray modify IDI_KEY"}, ""},
      {"usage 255 presses nothing", 1, 0x9015, [](DesktopHarness& h) { Deliver(h, Report({0x80, 0, 0xFF})); },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):80 0 FF 0 0 0 0 0", "Tray modify IDI_KEY"}, ""},
      {"all eight modifiers in bit order, released in reverse", 1, 0x9015,
       [](DesktopHarness& h) { Deliver(h, Report({0xFF, 0, 0x28})); },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):FF 0 28 0 0 0 0 0", Down(0xA2, 0x1D, 0),
        Down(0xA0, 0x2A, 0), Down(0xA4, 0x38, 0), Down(0x5B, 0x5B, 1), Down(0xA3, 0x1D, 1),
        Down(0xA1, 0x36, 0), Down(0xA5, 0x38, 1), Down(0x5C, 0x5C, 1), Down(0x0D, 0x1C, 0),
        "Tray modify IDI_KEY", "Sleep 300", Up(0x0D, 0x1C, 0), Up(0x5C, 0x5C, 1),
        Up(0xA5, 0x38, 1), Up(0xA1, 0x36, 0), Up(0xA3, 0x1D, 1), Up(0x5B, 0x5B, 1),
        Up(0xA4, 0x38, 0), Up(0xA0, 0x2A, 0), Up(0xA2, 0x1D, 0)},
       ""},
      {"usage 0x32 takes its scan code from the keyboard layout", 1, 0x9015,
       [](DesktopHarness& h) {
         h.keyboard.scanCodes[0x00] = 0x2B;
         Deliver(h, Report({0, 0, 0x32}));
       },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):0 0 32 0 0 0 0 0", "GetKeyboardLayout 0",
        "MapVirtualKeyEx 0x0 0 0x4090409", Down(0x00, 0x2B, 0), "Tray modify IDI_KEY", "Sleep 300",
        Up(0x00, 0x2B, 0)},
       ""},
      {"Print Screen is VK_PRINT with the layout's scan code", 1, 0x9015,
       [](DesktopHarness& h) {
         h.keyboard.scanCodes[0x2A] = 0x37;
         Deliver(h, Report({0, 0, 0x46}));
       },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):0 0 46 0 0 0 0 0", "GetKeyboardLayout 0",
        "MapVirtualKeyEx 0x2a 0 0x4090409", Down(0x2A, 0x37, 0), "Tray modify IDI_KEY", "Sleep 300",
        Up(0x2A, 0x37, 0)},
       ""},
      {"Pause with Right Alt: the layout's scan code is sent unextended", 1, 0x9015,
       [](DesktopHarness& h) { Deliver(h, Report({0x40, 0, 0x48})); },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):40 0 48 0 0 0 0 0", Down(0xA5, 0x38, 1),
        "GetKeyboardLayout 0", "MapVirtualKeyEx 0x13 0 0x4090409", Down(0x13, 0x45, 0),
        "Tray modify IDI_KEY", "Sleep 300", Up(0x13, 0x45, 0), Up(0xA5, 0x38, 1)},
       ""},
      {"extended key", 1, 0x9015, [](DesktopHarness& h) { Deliver(h, Report({0, 0, 0x4F})); },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):0 0 4F 0 0 0 0 0", Down(0x27, 0x4D, 1),
        "Tray modify IDI_KEY", "Sleep 300", Up(0x27, 0x4D, 1)},
       ""},
      {"Keypad . is VK_OEM_PERIOD, Num Lock unextended", 1, 0x9015,
       [](DesktopHarness& h) { Deliver(h, Report({0, 0, 0x63})); },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):0 0 63 0 0 0 0 0", Down(0xBE, 0x53, 0),
        "Tray modify IDI_KEY", "Sleep 300", Up(0xBE, 0x53, 0)},
       ""},
      {"a refused press is traced and logged, every release still goes", 1, 0x9015,
       [](DesktopHarness& h) {
         h.keyboard.outcomes = {{false, 5}, {true, 0}, {false, 0x57}};
         Deliver(h, Report({0x01, 0, 0x04}));
       },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):1 0 4 0 0 0 0 0", Down(0xA2, 0x1D, 0),
        "debug GetLastError for SendInput 0x5", "log KeyEvent for SendInput 0x5",
        Down(0x41, 0x1E, 0), "Tray modify IDI_KEY", "Sleep 300", Up(0x41, 0x1E, 0),
        Up(0xA2, 0x1D, 0)},
       "KeyEvent for SendInput 0x5\r\n"},
      {"a refused key press after two modifiers", 1, 0x9015,
       [](DesktopHarness& h) {
         h.keyboard.outcomes = {{true, 0}, {true, 0}, {false, 0x4C7}};
         Deliver(h, Report({0x22, 0, 0x05}));
       },
       {"solv_ReadTamoIR -> 0", "debug SendInput(Hex):22 0 5 0 0 0 0 0", Down(0xA0, 0x2A, 0),
        Down(0xA1, 0x36, 0), Down(0x42, 0x30, 0), "debug GetLastError for SendInput 0x4c7",
        "log KeyEvent for SendInput 0x4c7", "Tray modify IDI_KEY", "Sleep 300", Up(0x42, 0x30, 0),
        Up(0xA1, 0x36, 0), Up(0xA0, 0x2A, 0)},
       "KeyEvent for SendInput 0x4c7\r\n"},
      {"raw-code receiver without a code: ready icon", 1, 0x9035, [](DesktopHarness&) {},
       {"solv_ReadRawIR -> 1", "Tray modify IDI_READY"}, ""},
      {"raw-code receiver: the decoder's report is typed", 1, 0x9135,
       [](DesktopHarness& h) {
         g_keyTable.entries[0] = KeyTableEntry{0x00FF40BF, 0x28, 0x01, 0};
         g_keyTable.entryCount = 1;
         g_keyTable.repeatThreshold = 25;
         g_keyTable.prefixTimeout = 62;
         h.receiver.PushCode(0x00FF40BF);
       },
       {"solv_ReadRawIR -> 0", "debug GetIRRawData:00FF40BF", "debug SendInput(Hex):1 0 28 0 0 0 0 0",
        Down(0xA2, 0x1D, 0), Down(0x0D, 0x1C, 0), "Tray modify IDI_KEY", "Sleep 300",
        Up(0x0D, 0x1C, 0), Up(0xA2, 0x1D, 0)},
       ""},
      {"raw-code receiver: an unknown code is no report", 1, 0x9100,
       [](DesktopHarness& h) { h.receiver.PushCode(0x12345678); },
       {"solv_ReadRawIR -> 0", "debug GetIRRawData:12345678", "Tray modify IDI_READY"}, ""},
  };
}

void PrintTo(const PollCase& c, std::ostream* os) { *os << c.name; }

class PollTest : public ::testing::TestWithParam<PollCase> {};

TEST_P(PollTest, TurnsTheReportIntoKeystrokes) {
  const PollCase& c = GetParam();
  DesktopHarness harness;
  harness.OpenLog();
  CHiddenWindow window;
  window.m_hWnd = fakes::kWindow;
  window.m_hIconReady = fakes::IconFor(217);
  window.m_hIconKey = fakes::IconFor(215);
  window.m_hIconNoDevice = fakes::IconFor(216);
  window.m_bDeviceOpen = c.bDeviceOpen;
  window.m_wChipId = c.wChipId;
  c.setup(harness);
  harness.ClearSequence();

  EXPECT_EQ(window.OnPollTimer(), 0);

  EXPECT_SEQUENCE(c.events, harness.Sequence());
  EXPECT_EQ(harness.LogText(), c.log);
}

INSTANTIATE_TEST_SUITE_P(Reports, PollTest, ::testing::ValuesIn(PollCases()), [](const auto& info) {
  std::string name = info.param.name;
  for (char& ch : name)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
});

TEST(KeyEvent, FillsEveryFieldOfTheRecordItSends) {
  DesktopHarness harness;
  KeyboardInputRecord record;
  record.type = 7;
  record.time = 1234;
  record.dwExtraInfo = 99;
  EXPECT_EQ(KeyEvent(record, 0x5B, 0x5B, KEYSTROKE_EXTENDED), 0);
  EXPECT_EQ(record.type, INPUT_TYPE_KEYBOARD);
  EXPECT_EQ(record.wVk, 0x5B);
  EXPECT_EQ(record.wScan, 0x5B);
  EXPECT_EQ(record.dwFlags, KEYSTROKE_EXTENDED);
  EXPECT_EQ(record.time, 0u);
  EXPECT_EQ(record.dwExtraInfo, 0u);
  EXPECT_SEQUENCE(Events{Down(0x5B, 0x5B, 1)}, harness.Sequence());
}

TEST(KeyEvent, ARefusedEventIsLostWithoutALogWhenTheLogIsClosed) {
  DesktopHarness harness;
  harness.keyboard.outcomes = {{false, 87}};
  KeyboardInputRecord record{};
  EXPECT_EQ(KeyEvent(record, 0x41, 0x1E, 0), 0);
  EXPECT_SEQUENCE((Events{Down(0x41, 0x1E, 0), "debug GetLastError for SendInput 0x57"}),
                  harness.Sequence());
}

TEST(KeyMaps, UsagesOutsideTheTableHaveNoRow) {
  for (int usage = 0; usage < 256; ++usage) {
    const bool bMapped = usage >= 4 && usage <= 99;
    EXPECT_EQ(FindUsageKey(static_cast<uint8_t>(usage)) != nullptr, bMapped) << usage;
  }
  EXPECT_EQ(FindUsageKey(0x04)->wVk, 0x41);
  EXPECT_EQ(FindUsageKey(0x63)->wVk, 0xBE);
}

TEST(KeyMaps, TheUnusualRowsStayUnusual) {
  struct Row {
    uint8_t usage;
    uint16_t wVk;
    uint16_t wScan;
    bool bExtended;
  };
  const Row rows[] = {
      {0x32, 0x00, 0x00, false},  // no key
      {0x46, 0x2A, 0x00, false},  // VK_PRINT, not VK_SNAPSHOT
      {0x53, 0x90, 0x45, false},  // Num Lock not extended
      {0x63, 0xBE, 0x53, false},  // VK_OEM_PERIOD, not VK_DECIMAL
      {0x48, 0x13, 0x00, false},  // Pause: scan code from the layout
      {0x58, 0x0D, 0x1C, true},   // Keypad Enter
      {0x54, 0x6F, 0x35, true},   // Keypad /
  };
  for (const Row& row : rows) {
    const KeyMapRow* found = FindUsageKey(row.usage);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->wVk, row.wVk) << int(row.usage);
    EXPECT_EQ(found->wScan, row.wScan) << int(row.usage);
    EXPECT_EQ(found->bExtended, row.bExtended) << int(row.usage);
  }
  // Only the rows above take their scan code from the layout.
  int fromLayout = 0;
  for (const KeyMapRow& row : UsageKeyMap) fromLayout += row.wScan == 0;
  EXPECT_EQ(fromLayout, 3);
}

}  // namespace
}  // namespace wendle
