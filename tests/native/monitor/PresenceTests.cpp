// Following receivers as they are plugged in and removed: the states (no receiver, receiver
// open) and every transition between them, driven by device-change messages.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <functional>
#include <string>
#include <vector>

#include "DesktopFakes.h"
#include "HiddenWindow.h"
#include "MonitorGlobals.h"
#include "WindowMessages.h"

namespace wendle {
namespace {

using fakes::DesktopHarness;
using Events = std::vector<std::string>;

// Interface names as the system spells them: the receiver's filter identifier in braces.
const std::u16string kName9015Family =
    u"\\\\?\\usb#vid_15a4&pid_9016#6&2a1b3c4d&0&1#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}"
    u"\\{9b365890-165f-11d0-a195-0020afd156e4}";
const std::u16string kName9100Family =
    u"\\\\?\\usb#vid_048d&pid_9100#7&1&0#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\{92fb1e43-0001}";
const std::u16string kName9135Family =
    u"\\\\?\\usb#vid_048d&pid_9135#7&1&0#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\{cacacefd-0002}";
const std::u16string kOtherTuner =
    u"\\\\?\\usb#vid_2040&pid_7200#5&0#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\{5a1b2c3d-0003}";
const std::u16string kUpperCase =
    u"\\\\?\\USB#VID_15A4&PID_9016#6&0#{71985F48-1CA1-11D3-9CC8-00C04F7971E0}\\{9B365890-165F}";

enum class Record { Interface, Volume, None, Truncated, Unterminated };

struct PresenceCase {
  const char* name;
  int32_t bOpenBefore;   // a receiver is open before the message
  uint16_t wChipBefore;  // its ChipId
  uint32_t event;        // WM_DEVICECHANGE wParam
  Record record;
  std::u16string deviceName;
  std::function<void(DesktopHarness&)> setup;
  Events events;
  int32_t bOpenAfter;
  uint16_t wChipAfter;
  bool bTimerAfter;
};

const Events kRemove9035 = {"debug Remove an IR Device 9035", "solv_exit", "KillTimer 0x1000 257",
                            "Tray modify IDI_NODEVICE"};
const Events kOpenNothing = {"debug Enter IR Device Init Function", "solv_initIRDev -> 0x0"};

Events OpenChip(uint16_t chip, bool bReadsTable = true) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "%x", chip);
  Events events = {"debug Enter IR Device Init Function", std::string("solv_initIRDev -> 0x") + hex};
  if (bReadsTable) events.push_back("LoadIRTable");
  events.push_back(std::string("debug Find an IR Device ") + hex);
  events.push_back("SetTimer 0x1000 257 100");
  events.push_back("Tray modify IDI_READY");
  return events;
}

Events Join(std::initializer_list<Events> parts) {
  Events out;
  for (const Events& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

void Answers(DesktopHarness& h, uint32_t initResult) { h.receiver.initResult = initResult; }

std::vector<PresenceCase> PresenceCases() {
  const uint32_t kArrival = DEVICE_ARRIVAL;
  const uint32_t kRemoval = DEVICE_REMOVE_COMPLETE;
  auto none = [](DesktopHarness&) {};
  return {
      // No receiver -> receiver open.
      {"arrival opens a receiver", 0, 0, kArrival, Record::Interface, kName9015Family,
       [](DesktopHarness& h) { Answers(h, 0x9035); }, OpenChip(0x9035), 1, 0x9035, true},
      {"arrival of a chip that decodes itself does not read the key table", 0, 0, kArrival,
       Record::Interface, kName9015Family, [](DesktopHarness& h) { Answers(h, 0x9015); },
       OpenChip(0x9015, false), 1, 0x9015, true},
      {"arrival, but the library opens nothing", 0, 0, kArrival, Record::Interface, kName9100Family,
       none, kOpenNothing, 0, 0, false},
      {"only the low half of the open's result is the chip", 0, 0, kArrival, Record::Interface,
       kName9135Family, [](DesktopHarness& h) { Answers(h, 0xABCD9135); },
       {"debug Enter IR Device Init Function", "solv_initIRDev -> 0xabcd9135", "LoadIRTable",
        "debug Find an IR Device 9135", "SetTimer 0x1000 257 100", "Tray modify IDI_READY"},
       1, 0x9135, true},
      {"a high half alone opens nothing", 0, 0, kArrival, Record::Interface, kName9135Family,
       [](DesktopHarness& h) { Answers(h, 0x00010000); },
       {"debug Enter IR Device Init Function", "solv_initIRDev -> 0x10000"}, 0, 0, false},
      {"timer refused: open without polling", 0, 0, kArrival, Record::Interface, kName9100Family,
       [](DesktopHarness& h) {
         Answers(h, 0x9100);
         h.windows.timers = {{false, 8}};
       },
       {"debug Enter IR Device Init Function", "solv_initIRDev -> 0x9100", "LoadIRTable",
        "debug Find an IR Device 9100", "SetTimer 0x1000 257 100", "Tray modify IDI_READY"},
       1, 0x9100, false},
      // Receiver open -> closed and opened afresh.
      {"arrival while open reopens the library", 1, 0x9035, kArrival, Record::Interface,
       kName9100Family, [](DesktopHarness& h) { Answers(h, 0x9100); },
       Join({kRemove9035, OpenChip(0x9100)}), 1, 0x9100, true},
      {"arrival while open, then nothing answers", 1, 0x9035, kArrival, Record::Interface,
       kName9015Family, none, Join({kRemove9035, kOpenNothing}), 0, 0, false},
      {"removal of the open receiver", 1, 0x9035, kRemoval, Record::Interface, kName9015Family, none,
       Join({kRemove9035, kOpenNothing}), 0, 0, false},
      {"removal of the open receiver, another one is attached", 1, 0x9035, kRemoval,
       Record::Interface, kName9015Family, [](DesktopHarness& h) { Answers(h, 0x9135); },
       Join({kRemove9035, OpenChip(0x9135)}), 1, 0x9135, true},
      {"removal matches 0x9015 by the first fragment", 1, 0x9015, kRemoval, Record::Interface,
       kName9015Family, none,
       {"debug Remove an IR Device 9015", "solv_exit", "KillTimer 0x1000 257",
        "Tray modify IDI_NODEVICE", "debug Enter IR Device Init Function", "solv_initIRDev -> 0x0"},
       0, 0, false},
      {"removal matches 0x9100", 1, 0x9100, kRemoval, Record::Interface, kName9100Family, none,
       {"debug Remove an IR Device 9100", "solv_exit", "KillTimer 0x1000 257",
        "Tray modify IDI_NODEVICE", "debug Enter IR Device Init Function", "solv_initIRDev -> 0x0"},
       0, 0, false},
      {"removal matches 0x9135", 1, 0x9135, kRemoval, Record::Interface, kName9135Family, none,
       {"debug Remove an IR Device 9135", "solv_exit", "KillTimer 0x1000 257",
        "Tray modify IDI_NODEVICE", "debug Enter IR Device Init Function", "solv_initIRDev -> 0x0"},
       0, 0, false},
      // Nothing happens.
      {"removal of another family", 1, 0x9015, kRemoval, Record::Interface, kName9100Family, none,
       {}, 1, 0x9015, true},
      {"removal of the 0x9135 family while 0x9035 is open", 1, 0x9035, kRemoval, Record::Interface,
       kName9135Family, none, {}, 1, 0x9035, true},
      {"removal while nothing is open", 0, 0, kRemoval, Record::Interface, kName9015Family, none, {},
       0, 0, false},
      {"arrival of another tuner", 0, 0, kArrival, Record::Interface, kOtherTuner, none, {}, 0, 0, false},
      {"arrival of an upper-case fragment", 0, 0, kArrival, Record::Interface, kUpperCase, none, {}, 0,
       0, false},
      {"removal of an upper-case fragment", 1, 0x9015, kRemoval, Record::Interface, kUpperCase, none,
       {}, 1, 0x9015, true},
      {"arrival of a volume", 0, 0, kArrival, Record::Volume, u"", none, {}, 0, 0, false},
      {"removal of a volume", 1, 0x9035, kRemoval, Record::Volume, u"", none, {}, 1, 0x9035, true},
      {"arrival without a record", 0, 0, kArrival, Record::None, u"", none, {}, 0, 0, false},
      {"interface record too short to hold its name", 0, 0, kArrival, Record::Truncated,
       kName9015Family, none, {}, 0, 0, false},
      {"name without terminator is read up to the record's end", 0, 0, kArrival,
       Record::Unterminated, u"9b365890", [](DesktopHarness& h) { Answers(h, 0x9035); },
       OpenChip(0x9035), 1, 0x9035, true},
      {"device nodes changed", 0, 0, 0x0007, Record::None, u"", none, {}, 0, 0, false},
      {"query remove of the open receiver", 1, 0x9035, 0x8001, Record::Interface, kName9015Family,
       none, {}, 1, 0x9035, true},
      {"remove pending of the open receiver", 1, 0x9035, 0x8003, Record::Interface, kName9015Family,
       none, {}, 1, 0x9035, true},
      {"custom event with a receiver's name", 0, 0, 0x8006, Record::Interface, kName9015Family,
       [](DesktopHarness& h) { Answers(h, 0x9035); }, {}, 0, 0, false},
  };
}

std::vector<uint8_t> MakeRecord(Record kind, const std::u16string& name) {
  switch (kind) {
    case Record::Interface:
      return fakes::DeviceInterfaceRecord(name);
    case Record::Volume:
      return fakes::VolumeRecord();
    case Record::Truncated: {
      // The head claims 28 bytes: a device-interface record whose name is cut off.
      std::vector<uint8_t> bytes = fakes::DeviceInterfaceRecord(name);
      const uint32_t size = 28;
      std::memcpy(bytes.data(), &size, sizeof size);
      bytes.resize(28);
      return bytes;
    }
    case Record::Unterminated: {
      std::vector<uint8_t> bytes = fakes::DeviceInterfaceRecord(name);
      bytes.resize(bytes.size() - 2);
      const uint32_t size = static_cast<uint32_t>(bytes.size());
      std::memcpy(bytes.data(), &size, sizeof size);
      return bytes;
    }
    case Record::None:
      break;
  }
  return {};
}

void PrintTo(const PresenceCase& c, std::ostream* os) { *os << c.name; }

class PresenceTest : public ::testing::TestWithParam<PresenceCase> {};

TEST_P(PresenceTest, FollowsTheTransition) {
  const PresenceCase& c = GetParam();
  DesktopHarness harness;
  CHiddenWindow window;
  harness.windows.pObject = &window;
  harness.windows.bWindowAlive = true;
  window.m_hWnd = fakes::kWindow;
  window.m_hIconReady = fakes::IconFor(217);
  window.m_hIconKey = fakes::IconFor(215);
  window.m_hIconNoDevice = fakes::IconFor(216);
  if (c.bOpenBefore) {
    window.m_bDeviceOpen = 1;
    window.m_wChipId = c.wChipBefore;
    window.m_bTimerOn = 1;
    harness.windows.runningTimers = {IDT_POLL};
  }
  harness.platform.ticks.dwNow = 777000;
  c.setup(harness);
  // Exact-size heap copies, so that the sanitizer sees any read past a record's end.
  std::vector<uint8_t> bytes = MakeRecord(c.record, c.deviceName);
  std::unique_ptr<uint8_t[]> record;
  if (!bytes.empty()) {
    record.reset(new uint8_t[bytes.size()]);
    std::memcpy(record.get(), bytes.data(), bytes.size());
  }
  const LParam lParam = reinterpret_cast<LParam>(record.get());

  const LResult result = DispatchWindowMessage(window, fakes::kWindow, MSG_DEVICECHANGE, c.event, lParam);

  EXPECT_EQ(result, 0);
  EXPECT_SEQUENCE(c.events, harness.Sequence());
  EXPECT_EQ(window.m_bDeviceOpen, c.bOpenAfter);
  EXPECT_EQ(window.m_wChipId, c.wChipAfter);
  EXPECT_EQ(window.m_bTimerOn, c.bTimerAfter ? 1 : 0);
  EXPECT_EQ(harness.windows.runningTimers.size(), c.bTimerAfter ? 1u : 0u);
  // Every receiver that was open is closed exactly once before another is opened.
  const int successfulOpens = harness.SuccessfulOpens();
  EXPECT_EQ(harness.receiver.exitCalls, c.bOpenBefore + successfulOpens - c.bOpenAfter);
  if (c.bTimerAfter && !c.bOpenBefore) {
    EXPECT_EQ(g_dwPollTick, 777000u) << "the decoder measures from the timer's start";
  }
}

INSTANTIATE_TEST_SUITE_P(Transitions, PresenceTest, ::testing::ValuesIn(PresenceCases()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(Presence, OpeningWhenAlreadyOpenDoesNothing) {
  DesktopHarness harness;
  harness.receiver.initResult = 0x9035;
  CHiddenWindow window;
  window.m_bDeviceOpen = 1;
  window.m_wChipId = 0x9100;
  EXPECT_EQ(window.InitIRDevice(), 0);
  EXPECT_EQ(window.m_wChipId, 0x9100);
  EXPECT_SEQUENCE(Events{}, harness.Sequence());
}

TEST(Presence, ClosingWhenNothingIsOpenDoesNothing) {
  DesktopHarness harness;
  CHiddenWindow window;
  window.RemoveIRDevice();
  EXPECT_SEQUENCE(Events{}, harness.Sequence());
}

TEST(Presence, TheTimerIsNotStartedTwice) {
  DesktopHarness harness;
  harness.receiver.initResult = 0x9015;
  CHiddenWindow window;
  window.m_hWnd = fakes::kWindow;
  window.m_bTimerOn = 1;  // left running by an open whose SetTimer did succeed
  EXPECT_EQ(window.InitIRDevice(), 1);
  EXPECT_SEQUENCE((Events{"debug Enter IR Device Init Function", "solv_initIRDev -> 0x9015",
                          "debug Find an IR Device 9015", "Tray modify no icon"}),
                  harness.Sequence());
}

TEST(Presence, RegistersForNetworkTunerInterfacesOnTheWindow) {
  DesktopHarness harness;
  CHiddenWindow window;
  EXPECT_EQ(window.RegisterReceiverNotification(fakes::kWindow), 1);
  ASSERT_EQ(harness.notifications.filters.size(), 1u);
  const DeviceInterfaceFilter& filter = harness.notifications.filters[0];
  EXPECT_EQ(filter.dbcc_size, 32u);
  EXPECT_EQ(filter.dbcc_devicetype, 5u);
  EXPECT_EQ(filter.dbcc_reserved, 0u);
  const Guid expected = {0x71985F48, 0x1CA1, 0x11D3, {0x9C, 0xC8, 0x00, 0xC0, 0x4F, 0x79, 0x71, 0xE0}};
  EXPECT_EQ(std::memcmp(&filter.dbcc_classguid, &expected, sizeof expected), 0);
  EXPECT_EQ(filter.dbcc_name[0], u'\0');
  EXPECT_EQ(g_hDevNotify, fakes::kRegistration);
  EXPECT_SEQUENCE(Events{"RegisterDeviceNotification 0x1000 0x0"}, harness.Sequence());
}

// Creation goes on: a receiver present at start is still opened, though its removal will go
// unnoticed.
TEST(Presence, AFailedRegistrationIsShownAndCreationGoesOn) {
  DesktopHarness harness;
  harness.notifications.registration = {false, 1066};
  harness.receiver.initResult = 0x9015;
  CHiddenWindow window;
  harness.windows.pObject = &window;
  harness.windows.bWindowAlive = true;

  EXPECT_EQ(harness.windows.Send(MSG_CREATE), 0);

  EXPECT_SEQUENCE((Events{"> WM_CREATE 0x0 0x0", "LoadIcon 217 16", "LoadIcon 215 16",
                          "LoadIcon 216 16", "Tray add IDI_NODEVICE",
                          "RegisterDeviceNotification 0x1000 0x0",
                          "MessageBox RegisterDeviceNotification",
                          "debug Enter IR Device Init Function", "solv_initIRDev -> 0x9015",
                          "debug Find an IR Device 9015", "SetTimer 0x1000 257 100",
                          "Tray modify IDI_READY"}),
                  harness.Sequence());
  ASSERT_EQ(harness.platform.messageBox.shown.size(), 1u);
  const auto& box = harness.platform.messageBox.shown[0];
  EXPECT_EQ(box.owner, fakes::kWindow);
  EXPECT_EQ(box.text, u"RegisterDeviceNotification failed: 1066\n");
  EXPECT_EQ(box.caption, u"RegisterDeviceNotification");
  EXPECT_EQ(box.type, MSGBOX_OK);
  EXPECT_EQ(g_hDevNotify, NotifyHandle{0});
}

}  // namespace
}  // namespace wendle
