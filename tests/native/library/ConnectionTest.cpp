// Opening and closing a receiver slot: traces, results and the Closed state after failures.
#include "LibraryTest.h"

namespace {

using korvan::HResult;

TEST_F(LibraryTest, OpenWithoutReceiverTracesBothSearchesAndStaysClosed) {
  EXPECT_FALSE(TESK_init(0));
  EXPECT_EQ(system.traces, (Texts{"aaa TESK_init DevNo: 0", "<Korvan> Could not find Tamo Device!",
                                  "<Brenlo> Could not find Brenlo Analog Device!"}));
  EXPECT_TRUE(IsClosed());
}

struct OpenFailure {
  const char* name;
  HResult comResult;
  bool lockFails;
  bool hasPort;
  HResult queryResult;
  HResult bindResult;
  Texts traces;
};

class OpenFailureTest : public LibraryTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailureTest, FailsWithItsTracesAndLeavesTheLibraryClosed) {
  const OpenFailure& c = GetParam();
  fakes::FakeDevice receiver{ReceiverName()};
  receiver.hasPropertyPort = c.hasPort;
  receiver.queryResult = c.queryResult;
  receiver.bindResult = c.bindResult;
  system.Category(fakes::kTunerCategory).push_back(receiver);
  system.comInitializeResult = c.comResult;
  system.lockCreationFails = c.lockFails;

  EXPECT_FALSE(TESK_init(0));
  Texts traces;
  for (const std::string& t : system.traces)
    if (t.rfind("DisplayName: ", 0) != 0) traces.push_back(t);
  EXPECT_EQ(traces, c.traces);
  EXPECT_TRUE(IsClosed());
}

const HResult kNoInterface = static_cast<HResult>(0x80004002);
const HResult kChangedMode = static_cast<HResult>(0x80010106);

INSTANTIATE_TEST_SUITE_P(
    Rows, OpenFailureTest,
    ::testing::Values(
        OpenFailure{"ComRefused", kChangedMode, false, true, 0, 0, {"aaa TESK_init DevNo: 0"}},
        OpenFailure{"BindFails", 0, false, true, 0, korvan::kE_FAIL,
                    {"aaa TESK_init DevNo: 0", "<Korvan> Could not find Tamo Device!",
                     "<Brenlo> Could not find Brenlo Analog Device!"}},
        OpenFailure{"NoControlInterface", 0, false, true, kNoInterface, 0,
                    {"aaa TESK_init DevNo: 0", "<Korvan> Fail to get KS Control!"}},
        OpenFailure{"NullControlInterface", 0, false, false, 0, 0,
                    {"aaa TESK_init DevNo: 0", "<Korvan> Fail to get KS Control!"}},
        OpenFailure{"LockRefused", 0, true, true, 0, 0,
                    {"aaa TESK_init DevNo: 0", "<Korvan> CreateMutex error!"}}),
    [](const ::testing::TestParamInfo<OpenFailure>& info) { return info.param.name; });

TEST_F(LibraryTest, OpenTakesComThenBindsThenCreatesTheLock) {
  AddTuner(ReceiverName());
  ASSERT_TRUE(TESK_init(0));
  EXPECT_EQ(system.events, (Texts{"CoInitializeEx", "CreateClassEnumerator",
                                  "Bind " + text::Narrow(ReceiverName().c_str()), "CreateMutex"}));
  ASSERT_NE(korvan::g_pDevices[0], nullptr);
  EXPECT_NE(korvan::g_pDevices[0]->m_pKsControl, nullptr);
  EXPECT_NE(korvan::g_hMutex, nullptr);
  EXPECT_TRUE(korvan::g_bComInitialized);

  Forget();
  TESK_exit(0);
  EXPECT_EQ(system.events, (Texts{"CloseHandle", "CoUninitialize"}));
  EXPECT_TRUE(IsClosed());
  EXPECT_EQ(system.liveObjects, 0);

  Forget();
  TESK_exit(0);  // a second close finds nothing to close
  EXPECT_TRUE(system.events.empty());
  EXPECT_TRUE(system.traces.empty());
}

TEST_F(LibraryTest, AnAlreadyInitialisedApartmentIsBalancedByOneUninitialize) {
  AddTuner(ReceiverName());
  system.comInitializeResult = korvan::kS_FALSE;
  ASSERT_TRUE(TESK_init(0));
  TESK_exit(0);
  EXPECT_EQ(std::count(system.events.begin(), system.events.end(), "CoUninitialize"), 1);
}

TEST_F(LibraryTest, SecondSlotFallsBackToTheCaptureCategory) {
  AddTuner(ReceiverName());
  AddCapture(ReceiverName(u"{a38de571-030d-4880-a3b5-9170020f77ea}"));
  EXPECT_TRUE(TESK_init(1));
  EXPECT_EQ(std::count(system.traces.begin(), system.traces.end(), "<Korvan> Could not find Tamo Device!"), 1);
  EXPECT_NE(korvan::g_pDevices[1], nullptr);
  EXPECT_EQ(korvan::g_pDevices[0], nullptr);
}

TEST_F(LibraryTest, NumbersOutsideTheTableOpenNothing) {
  AddTuner(ReceiverName());
  for (DeviceNumber n : {10, -1, 0x7fffffff, static_cast<DeviceNumber>(0x80000000)}) {
    Forget();
    EXPECT_FALSE(TESK_init(n));
    EXPECT_EQ(system.traces, (Texts{"aaa TESK_init DevNo: " + std::to_string(n), "DevNo error!!!"}));
    EXPECT_TRUE(system.events.empty()) << n;
    EXPECT_TRUE(IsClosed());
  }
}

TEST_F(LibraryTest, CloseOutsideTheTableStillTakesDownLockAndCom) {
  OpenReceiver();
  TESK_exit(10);
  EXPECT_EQ(system.traces, (Texts{"DevNo error!!!"}));
  EXPECT_EQ(system.events, (Texts{"CloseHandle", "CoUninitialize"}));
  EXPECT_NE(korvan::g_pDevices[0], nullptr);  // the record stays until its own slot is closed
  TESK_exit(0);
  EXPECT_TRUE(IsClosed());
}

TEST_F(LibraryTest, ClosingAnotherSlotTakesDownTheLibraryWideState) {
  OpenReceiver();
  TESK_exit(3);
  EXPECT_EQ(system.events, (Texts{"CloseHandle", "CoUninitialize"}));
  EXPECT_TRUE(system.traces.empty());
}

TEST_F(LibraryTest, OpeningAgainReplacesTheEarlierOpenWithoutLeaks) {
  OpenReceiver();
  ASSERT_TRUE(TESK_init(0));
  // the first open's record, lock and COM initialisation went before the second was made
  EXPECT_EQ(system.events[0], "CloseHandle");
  EXPECT_EQ(system.events[1], "CoUninitialize");
  EXPECT_EQ(system.liveLocks, 1);
  EXPECT_EQ(system.apartmentDepth, 1);
  EXPECT_EQ(system.liveObjects, 2);  // one filter and one property interface

  AddTuner(ReceiverName(u"{92fb1e43-609e-4e54-8f22-77acedf89bdc}", u"second"));
  ASSERT_TRUE(TESK_init(1));
  EXPECT_EQ(korvan::g_pDevices[0], nullptr);
  EXPECT_EQ(system.liveLocks, 1);
  EXPECT_EQ(system.liveObjects, 2);
}

TEST_F(LibraryTest, VersionNeedsNoOpenSlot) {
  EXPECT_STREQ(TESK_GetDllVersion(), "20100730.1");
  OpenReceiver();
  TESK_exit(0);
  EXPECT_STREQ(TESK_GetDllVersion(), "20100730.1");
  EXPECT_TRUE(system.events.size() == 2);
}

}  // namespace
