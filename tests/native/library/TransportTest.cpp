// Request forms, channel results and the locked two-step channel exchange.
#include <atomic>
#include <thread>

#include "LibraryTest.h"

namespace {

using korvan::HResult;
using korvan::ReceiverDevice;

const HResult kNotImplemented = static_cast<HResult>(0x80070001);
const HResult kGenFailure = static_cast<HResult>(0x8007001F);

class TransportTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    OpenReceiver();
  }
  ReceiverDevice& Device() { return *korvan::g_pDevices[0]; }
};

TEST_F(TransportTest, ShortFormIsTheTwentyFourByteHeader) {
  uint8_t info[6] = {};
  ASSERT_TRUE(korvan::Succeeded(Device().Get(korvan::PROPSET_CONTROL, 5, info, sizeof info)));
  ASSERT_EQ(system.requests.size(), 1u);
  EXPECT_EQ(fakes::Hex(system.requests[0].header),
            "EB E5 EF C6 5A 85 1B 4F B7 AA 87 B5 E1 DC 41 13 05 00 00 00 01 00 00 00");
  EXPECT_EQ(system.requests[0].dataSent.size(), 6u);
}

TEST_F(TransportTest, NodeFormCarriesTheValueInTheReservedWordAsData) {
  ASSERT_TRUE(korvan::Succeeded(Device().SetNodeValue(korvan::PROPSET_CONTROL, 8, 0x11223344)));
  const fakes::Request& r = system.requests.at(0);
  EXPECT_EQ(r.header.size(), 32u);
  EXPECT_EQ(r.Id(), 8u);
  EXPECT_EQ(r.Flags(), 2u);
  EXPECT_EQ(r.Word(24), 0u);
  EXPECT_EQ(r.Word(28), 0x11223344u);
  EXPECT_EQ(fakes::Hex(r.dataSent), "44 33 22 11");
}

struct ChannelCase {
  int routine;  // 0 SetDRV, 1 GetDRV, 2 SetDEV, 3 GetDEV
  HResult hr;
  bool showFailures;
  int32_t result;
  const char* trace;  // nullptr: none
};

class ChannelResultTest : public TransportTest, public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(ChannelResultTest, MapsTheDriverResultAndTraces) {
  const ChannelCase& c = GetParam();
  system.driver = [&](const korvan::DriverRequest&, uint32_t, uint8_t*, uint32_t) { return c.hr; };
  korvan::g_bShowChannelFailure = c.showFailures;
  uint8_t data[4] = {};
  uint32_t returned = 0;
  int32_t (ReceiverDevice::*routines[])(void*, uint32_t, uint32_t*) = {
      &ReceiverDevice::DVB_SetDRVData, &ReceiverDevice::DVB_GetDRVData,
      &ReceiverDevice::DVB_SetDEVData, &ReceiverDevice::DVB_GetDEVData};
  EXPECT_EQ((Device().*routines[c.routine])(data, sizeof data, &returned), c.result);
  EXPECT_EQ(system.traces, c.trace ? Texts{c.trace} : Texts{});
  const fakes::Request& r = system.requests.at(0);
  EXPECT_TRUE(fakes::SameGuid(r.Set(), korvan::PROPSET_CHANNEL));
  EXPECT_EQ(r.header.size(), 24u);
  EXPECT_EQ(r.Id(), c.routine < 2 ? 0u : 1u);
  EXPECT_EQ(r.Flags(), c.routine % 2 == 0 ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChannelResultTest,
    ::testing::Values(
        ChannelCase{0, 0, true, korvan::CHANNEL_OK, nullptr},
        ChannelCase{3, 1, true, korvan::CHANNEL_OK, nullptr},
        ChannelCase{0, kNotImplemented, true, korvan::CHANNEL_NOT_IMPLEMENTED, "<Korvan> DVB_SetDRVData: Not Implemented!"},
        ChannelCase{1, kNotImplemented, false, korvan::CHANNEL_NOT_IMPLEMENTED, "<Korvan> DVB_GetDRVData: Not Implemented!"},
        ChannelCase{2, kNotImplemented, false, korvan::CHANNEL_NOT_IMPLEMENTED, "<Korvan> DVB_SetDEVData: Not Implemented!"},
        ChannelCase{3, kNotImplemented, true, korvan::CHANNEL_NOT_IMPLEMENTED, "<Korvan> DVB_GetDEVData: Not Implemented!"},
        ChannelCase{0, kGenFailure, true, korvan::CHANNEL_FAILED, "<Korvan> DVB_SetDRVData: Failed!"},
        ChannelCase{1, korvan::kE_FAIL, true, korvan::CHANNEL_FAILED, "<Korvan> DVB_GetDRVData: Failed!"},
        ChannelCase{2, kGenFailure, true, korvan::CHANNEL_FAILED, "<Korvan> DVB_SetDEVData: Failed!"},
        ChannelCase{3, kGenFailure, true, korvan::CHANNEL_FAILED, "<Korvan> DVB_GetDEVData: Failed!"},
        ChannelCase{2, kGenFailure, false, korvan::CHANNEL_FAILED, nullptr},
        ChannelCase{3, korvan::kE_FAIL, false, korvan::CHANNEL_FAILED, nullptr}));

TEST_F(TransportTest, ChannelReadSendsTheCommandThenReadsTheReplyUnderTheLock) {
  system.driver = [](const korvan::DriverRequest& r, uint32_t, uint8_t* data, uint32_t length) {
    if (r.Flags == 1)
      for (uint32_t i = 0; i < length; ++i) data[i] = static_cast<uint8_t>(0xA0 + i);
    return 0;
  };
  uint8_t command[12] = {7};
  uint8_t reply[4] = {};
  EXPECT_EQ(Device().ChannelRead(korvan::CHANNEL_ID_DEV, command, 12, reply, 4), korvan::CHANNEL_OK);
  EXPECT_EQ(system.events, (Texts{"Wait", "KsProperty", "KsProperty", "ReleaseMutex"}));
  EXPECT_EQ(fakes::Hex(system.requests[0].dataSent), "07 00 00 00 00 00 00 00 00 00 00 00");
  EXPECT_EQ(system.requests[1].Flags(), 1u);
  EXPECT_EQ(fakes::Hex({reply, reply + 4}), "A0 A1 A2 A3");
}

TEST_F(TransportTest, AFailedCommandSendsNoReadAndLeavesTheReplyAlone) {
  for (HResult hr : {kGenFailure, kNotImplemented}) {
    Forget();
    system.driver = [&](const korvan::DriverRequest&, uint32_t, uint8_t*, uint32_t) { return hr; };
    uint8_t command[12] = {0};
    uint8_t reply[4] = {1, 2, 3, 4};
    int32_t expected = hr == kNotImplemented ? korvan::CHANNEL_NOT_IMPLEMENTED : korvan::CHANNEL_FAILED;
    EXPECT_EQ(Device().ChannelRead(korvan::CHANNEL_ID_DEV, command, 12, reply, 4), expected);
    EXPECT_EQ(system.events, (Texts{"Wait", "KsProperty", "ReleaseMutex"}));
    EXPECT_EQ(fakes::Hex({reply, reply + 4}), "01 02 03 04");
  }
}

TEST_F(TransportTest, ASilencedReadHidesOnlyTheFailedTracesAndRestoresTheFlag) {
  bool flagDuringRequest = true;
  HResult answer = kGenFailure;
  system.driver = [&](const korvan::DriverRequest&, uint32_t, uint8_t*, uint32_t) {
    flagDuringRequest = korvan::g_bShowChannelFailure;
    return answer;
  };
  uint8_t command[12] = {7};
  uint8_t reply[4] = {};
  EXPECT_EQ(Device().ChannelRead(korvan::CHANNEL_ID_DEV, command, 12, reply, 4, true), korvan::CHANNEL_FAILED);
  EXPECT_FALSE(flagDuringRequest);
  EXPECT_TRUE(korvan::g_bShowChannelFailure);
  EXPECT_TRUE(system.traces.empty());

  answer = kNotImplemented;
  EXPECT_EQ(Device().ChannelRead(korvan::CHANNEL_ID_DEV, command, 12, reply, 4, true),
            korvan::CHANNEL_NOT_IMPLEMENTED);
  EXPECT_EQ(system.traces, (Texts{"<Korvan> DVB_SetDEVData: Not Implemented!"}));
}

TEST_F(TransportTest, TheLockKeepsAnotherThreadsExchangeOutOfTheMiddle) {
  std::atomic<int> inside{0};
  std::atomic<bool> overlapped{false};
  system.driver = [&](const korvan::DriverRequest& r, uint32_t, uint8_t*, uint32_t) {
    if (r.Flags == 2) {
      if (inside.fetch_add(1) != 0) overlapped = true;
      std::this_thread::yield();
    } else {
      inside.fetch_sub(1);
    }
    return 0;
  };
  auto exchange = [&] {
    for (int i = 0; i < 300; ++i) {
      uint8_t command[12] = {0};
      uint8_t reply[4];
      Device().ChannelRead(korvan::CHANNEL_ID_DEV, command, 12, reply, 4);
    }
  };
  std::thread other(exchange);
  exchange();
  other.join();
  EXPECT_FALSE(overlapped);
  EXPECT_EQ(system.requests.size(), 1200u);
}

TEST_F(TransportTest, ChannelWriteIsOneUnlockedSet) {
  uint8_t command[12] = {1};
  EXPECT_EQ(Device().ChannelWrite(command, 12), korvan::CHANNEL_OK);
  EXPECT_EQ(system.events, (Texts{"KsProperty"}));
  EXPECT_EQ(system.requests[0].Id(), 1u);
  EXPECT_EQ(system.requests[0].Flags(), 2u);
}

TEST(WideFormatTest, FollowsTheSystemFormatter) {
  char16_t buffer[64];
  struct Case {
    const char16_t* format;
    uint32_t value;
    const char* expected;
  } cases[] = {{u"%d", 0xFFFFFFFB, "-5"}, {u"%x", 0xFFFFFFFF, "ffffffff"},  {u"%08X", 0x1A, "0000001A"},
               {u"%02X", 0xFFFFFF80, "FFFFFF80"}, {u"%04X", 0x7FFF, "7FFF"}, {u"0x%X", 0x80070001, "0x80070001"},
               {u"%d%%", 7, "7%"}};
  for (const Case& c : cases) {
    text::FormatWide(buffer, 64, c.format, c.value);
    EXPECT_EQ(text::Narrow(buffer), c.expected);
  }
  text::FormatWide(buffer, 64, u"DisplayName: %s", u"abc");
  EXPECT_EQ(text::Narrow(buffer), "DisplayName: abc");
  text::FormatWide(buffer, 4, u"%s", u"abcdef");
  EXPECT_EQ(text::Narrow(buffer), "abc");  // cut off, always terminated
}

}  // namespace
