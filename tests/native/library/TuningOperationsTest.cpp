// Tuning, stream and status operations: request forms and data, the control-interface tests and
// traces of each, the PID map, the driver information, power and the bit error rate.
#include <cstdio>
#include <functional>

#include "OperationsTest.h"

namespace {

using korvan::HResult;

struct ControlCase {
  const char* name;
  std::function<bool()> call;
  const char* request;  // as sent when the driver accepts it
  const char* entryTrace;
  const char* failureTrace;
  bool testsControl;
};

class TuningOperationsTest : public OperationsTest {
 protected:
  uint8_t buffer[16] = {};
  uint32_t word = 0;
  uint16_t half = 0;
};

TEST_F(TuningOperationsTest, EachControlOperationSendsOneRequestAndTracesAsItWasBuilt) {
  const std::vector<ControlCase> cases = {
      {"SetPidFilter", [] { return TESK_SetPidFilter(0x101, 0); }, "control 2 set 32: 01 00 00 00", nullptr, nullptr, false},
      {"SetBandWidth", [] { return TESK_SetBandWidth(8000, 0); }, "control 3 set 32: 40 1F 00 00", nullptr, nullptr, false},
      {"GetBandWidth", [&] { return TESK_GetBandWidth(&word, 0); }, "control 3 get 24: 00 00 00 00", nullptr, nullptr, false},
      {"GetTamoDrvInfo", [&] { return TESK_GetTamoDrvInfo(buffer, 0); },
       "control 4 get 24: 00 00 00 00 00 00 00 00 00 00 00 00", nullptr, nullptr, false},
      {"GetDeviceInfo", [&] { return TESK_GetDeviceInfo(buffer, 0); }, "control 5 get 24: 00 00 00 00 00 00",
       nullptr, nullptr, false},
      {"GetTsData", [&] { return TESK_GetTsData(buffer, 3, 0); }, "control 6 get 24: 00 00 00", nullptr,
       "<Brenlo> GetTsData fail", true},
      {"SetActiveFilter", [] { return TESK_SetActiveFilter(0x01020304, 0); }, "control 6 set 24: 04 03 02 01",
       nullptr, "<Brenlo> SetActiveFilter fail!", true},
      {"GetOvlCnt", [&] { return TESK_GetOvlCnt(&half, 0); }, "control 7 get 24: 00 00", nullptr, "GetOvlCnt fail\n",
       true},
      {"SetFreq", [] { return TESK_SetFreq(474000, 0); }, "control 8 set 32: 90 3B 07 00", nullptr,
       "<Brenlo> SetFreq fail!", true},
      {"GetFreq", [&] { return TESK_GetFreq(&word, 0); }, "control 8 get 24: 00 00 00 00", nullptr, nullptr, false},
      {"ResetUsb", [] { return TESK_ResetUsb(7, 0); }, "control 9 set 32: 07 00 00 00", nullptr,
       "<Brenlo> ResetUsb fail!", true},
      {"GetVitBER", [&] { return TESK_GetVitBER(buffer, 0); }, "control 11 get 24: 00 00 00 00 00 00 00 00 00 00 00 00",
       "enter GetVitBER\n", "GetVitBER fail\n", true},
      {"SetRecLen", [] { return TESK_SetRecLen(188, 0); }, "control 12 set 24: BC 00 00 00", nullptr,
       "<Brenlo> SetRecLen fail!", true},
      {"GetRecLen", [&] { return TESK_GetRecLen(&word, 0); }, "control 12 get 24: 00 00 00 00",
       "<Brenlo> enter GetRecLen!", "<Brenlo> GetRecLen fail!", true},
      {"GetSignalStrength", [&] { return TESK_GetSignalStrength(buffer, 0); }, "control 15 get 24: 00", nullptr,
       nullptr, false},
      {"GetMacroVision", [&] { return TESK_GetMacroVision(&word, 0); }, "control 16 get 24: 00 00 00 00",
       "<Brenlo> enter GetMacroVision", nullptr, false},
      {"GetSnapShot", [&] { return TESK_GetSnapShot(buffer, 0); }, "control 10 get 24: DE", nullptr,
       "<Brenlo> PellorReadReg fail!", true},
  };
  auto traces = [](std::initializer_list<const char*> texts) {
    Texts t;
    for (const char* text : texts)
      if (text) t.push_back(text);
    return t;
  };
  for (const ControlCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::fill(std::begin(buffer), std::end(buffer), 0);
    word = 0;
    half = 0;

    Forget();
    Answer({0});
    EXPECT_TRUE(c.call());
    EXPECT_EQ(Requests(), Texts{c.request});
    EXPECT_EQ(system.traces, traces({c.entryTrace}));

    Forget();
    Answer({kGenFailure});
    EXPECT_FALSE(c.call());
    EXPECT_EQ(system.requests.size(), 1u);
    EXPECT_EQ(system.traces, traces({c.entryTrace, c.failureTrace}));
  }

  // A record without its property interface: the operations that test for it fail before their
  // request and their failure trace; the others find no interface to send through.
  DropPropertyInterface();
  for (const ControlCase& c : cases) {
    SCOPED_TRACE(c.name);
    Forget();
    EXPECT_FALSE(c.call());
    EXPECT_TRUE(system.requests.empty());
    EXPECT_EQ(system.traces, traces({c.entryTrace}));
  }
}

TEST_F(TuningOperationsTest, TheSingleValueSetsCarryTheValueInTheReservedWordAsWell) {
  ASSERT_TRUE(TESK_SetPidFilter(0x101, 0));
  ASSERT_TRUE(TESK_SetFreq(0xA1B2C3D4, 0));
  ASSERT_TRUE(TESK_SetActiveFilter(5, 0));
  const fakes::Request& pid = system.requests.at(0);
  EXPECT_EQ(pid.Word(28), 1u);
  EXPECT_EQ(system.requests.at(1).Word(28), 0xA1B2C3D4u);
  EXPECT_EQ(system.requests.at(2).header.size(), 24u);  // the same kind of value in the short form
}

TEST_F(TuningOperationsTest, GetsHandTheDriversRecordsBack) {
  Answer({0}, fakes::Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
  ASSERT_TRUE(TESK_GetDeviceInfo(buffer, 0));
  EXPECT_EQ(fakes::Hex({buffer, buffer + 8}), "01 02 03 04 05 06 00 00");
  ASSERT_TRUE(TESK_GetFreq(&word, 0));
  EXPECT_EQ(word, 0x04030201u);
  ASSERT_TRUE(TESK_GetOvlCnt(&half, 0));
  EXPECT_EQ(half, 0x0201);
}

TEST_F(TuningOperationsTest, PidMapsOfNoneToThirtyTwoPidsAreSentAndLargerOnesRefused) {
  std::vector<uint16_t> pids(40);
  for (size_t i = 0; i < pids.size(); ++i) pids[i] = static_cast<uint16_t>(0x1FF0 + i);

  ASSERT_TRUE(TESK_SetPidMap(0, pids.data(), 0));
  EXPECT_EQ(Requests(), Texts{"pidmap 0 set 32: 00 00 00 00 00 00 00 00"});

  Forget();
  ASSERT_TRUE(TESK_SetPidMap(2, pids.data(), 0));
  EXPECT_EQ(Requests(), Texts{"pidmap 0 set 32: 00 00 00 00 02 00 00 00 F0 1F 00 00 F1 1F 00 00"});

  Forget();
  ASSERT_TRUE(TESK_SetPidMap(32, pids.data(), 0));
  ASSERT_EQ(system.requests.size(), 1u);
  const std::vector<uint8_t>& map = system.requests[0].dataSent;
  ASSERT_EQ(map.size(), 136u);
  EXPECT_EQ(fakes::Hex({map.end() - 4, map.end()}), "0F 20 00 00");

  for (int32_t count : {33, -1, 0x7FFFFFFF}) {
    Forget();
    EXPECT_FALSE(TESK_SetPidMap(count, pids.data(), 0)) << count;
    EXPECT_TRUE(system.requests.empty());
  }

  Forget();
  Answer({kGenFailure});
  EXPECT_FALSE(TESK_SetPidMap(1, pids.data(), 0));
  EXPECT_TRUE(system.traces.empty());
}

TEST_F(TuningOperationsTest, DriverInformationIsALockedExchangeOnTheDriverChannel) {
  Answer({0}, fakes::Bytes({0, 1, 0x35, 0x91, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
  uint8_t info[24] = {};
  EXPECT_EQ(TESK_GetDrvInfo(info, 0), korvan::CHANNEL_OK);
  EXPECT_EQ(Requests(), (Texts{"channel 0 set 24: 01 00 00 00 00 00 00 00 00 00 00 00",
                               "channel 0 get 24: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"}));
  EXPECT_EQ(system.events, (Texts{"Wait", "KsProperty", "KsProperty", "ReleaseMutex"}));
  EXPECT_EQ(info[19], 19);
  EXPECT_EQ(info[20], 0);  // exactly 20 bytes

  Forget();
  Answer({kNotImplemented});
  uint8_t untouched[20];
  std::fill(std::begin(untouched), std::end(untouched), 0xAA);
  EXPECT_EQ(TESK_GetDrvInfo(untouched, 0), korvan::CHANNEL_NOT_IMPLEMENTED);
  EXPECT_EQ(system.traces, (Texts{"<Korvan> DVB_SetDRVData: Not Implemented!"}));
  EXPECT_EQ(system.requests.size(), 1u);
  EXPECT_TRUE(std::all_of(std::begin(untouched), std::end(untouched), [](uint8_t b) { return b == 0xAA; }));
}

TEST_F(TuningOperationsTest, PowerAndIsoAreUnlockedChannelWrites) {
  EXPECT_EQ(TESK_PowerCtl(0x100, 0), korvan::CHANNEL_OK);
  EXPECT_EQ(TESK_PowerCtl(2, 0), korvan::CHANNEL_OK);
  EXPECT_EQ(TESK_PowerCtl(0, 0), korvan::CHANNEL_OK);
  EXPECT_EQ(TESK_SaveIso(0x5A, 0), korvan::CHANNEL_OK);
  EXPECT_EQ(Requests(), (Texts{"channel 1 set 24: 04 00 00 00 00 00 00 00 00 00 00 00",
                               "channel 1 set 24: 04 00 00 00 01 00 00 00 00 00 00 00",
                               "channel 1 set 24: 04 00 00 00 00 00 00 00 00 00 00 00",
                               "channel 1 set 24: 66 00 00 00 5A 00 00 00"}));
  EXPECT_EQ(std::count(system.events.begin(), system.events.end(), "Wait"), 0);

  Forget();
  Answer({kGenFailure});
  EXPECT_EQ(TESK_PowerCtl(1, 0), korvan::CHANNEL_FAILED);
  EXPECT_EQ(TESK_SaveIso(1, 0), korvan::CHANNEL_FAILED);
  EXPECT_EQ(system.traces, (Texts{"<Korvan> DVB_SetDEVData: Failed!", "<Korvan> DVB_SetDEVData: Failed!"}));
}

// A receiver whose demodulator registers 50 to 56 hold the given bytes; every reply carries three
// more bytes (0xEE) behind the register's value, as the driver's 4-byte replies do.
class BitErrorRateTest : public OperationsTest {
 protected:
  void Registers(std::vector<uint8_t> values, std::vector<bool> fails = {}) {
    auto address = std::make_shared<uint32_t>(0);
    system.driver = [=](const korvan::DriverRequest& r, uint32_t, uint8_t* data, uint32_t length) -> HResult {
      if (!fakes::SameGuid(r.Set, korvan::PROPSET_CHANNEL)) return korvan::kE_FAIL;
      if (r.Flags == korvan::KSPROPERTY_TYPE_SET) {
        *address = data[4] | data[5] << 8 | data[6] << 16 | static_cast<uint32_t>(data[7]) << 24;
        return 0;
      }
      const uint32_t i = *address - 50;
      if (i < fails.size() && fails[i]) return kGenFailure;
      for (uint32_t k = 0; k < length; ++k) data[k] = k == 0 ? values.at(i) : 0xEE;
      return 0;
    };
  }
  double rate = -1;
};

TEST_F(BitErrorRateTest, CombinesSevenRegisterReadsIntoTheRate) {
  struct Case {
    const char* name;
    std::vector<uint8_t> registers;
    Texts traces;
    double rate;
  } cases[] = {
      {"Counts", {10, 0, 0x40, 0x1F, 0, 110, 0},
       {"<Brenlo> GetBer abort : 10\n", "<Brenlo> GetBer error count : 7360\n", "<Brenlo> GetBer bit count : 163200\n"},
       7360.0 / 163200.0},
      {"NoPackets", {10, 0, 0x40, 0x1F, 0, 0, 0},
       {"<Brenlo> GetBer abort : 1000\n", "<Brenlo> GetBer error count : 1\n", "<Brenlo> GetBer bit count : 2\n"},
       0.5},
      {"AllAborted", {0x2C, 0x01, 9, 9, 9, 0x2C, 0x01},
       {"<Brenlo> GetBer abort : 300\n", "<Brenlo> GetBer error count : 1\n", "<Brenlo> GetBer bit count : 2\n"},
       0.5},
      {"ErrorCountWraps", {10, 0, 0, 0, 0, 110, 0},
       {"<Brenlo> GetBer abort : 10\n", "<Brenlo> GetBer error count : -640\n", "<Brenlo> GetBer bit count : 163200\n"},
       4294966656.0 / 163200.0},
      {"WideFigures", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF},
       {"<Brenlo> GetBer abort : 65535\n", "<Brenlo> GetBer error count : 12582975\n",
        "<Brenlo> GetBer bit count : -1632\n"},
       12582975.0 / 4294965664.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Forget();
    Registers(c.registers);
    EXPECT_TRUE(TESK_GetBer(&rate, 0));
    EXPECT_EQ(system.traces, c.traces);
    EXPECT_DOUBLE_EQ(rate, c.rate);
  }
}

TEST_F(BitErrorRateTest, ReadsRegistersFiftyToFiftySixEachUnderTheLock) {
  Registers({10, 0, 0x40, 0x1F, 0, 110, 0});
  ASSERT_TRUE(TESK_GetBer(&rate, 0));
  Texts commands;
  for (const fakes::Request& r : system.requests)
    if (r.Flags() == korvan::KSPROPERTY_TYPE_SET) commands.push_back(Describe(r));
  Texts expected;
  for (int i = 0; i < 7; ++i) {
    char command[64];
    std::snprintf(command, sizeof command, "channel 1 set 24: 00 00 00 00 %02X 00 00 00 00 00 00 00", 50 + i);
    expected.push_back(command);
  }
  EXPECT_EQ(commands, expected);
  EXPECT_EQ(system.requests.size(), 14u);
  EXPECT_EQ(std::count(system.events.begin(), system.events.end(), "Wait"), 7);
  EXPECT_EQ(std::count(system.events.begin(), system.events.end(), "ReleaseMutex"), 7);
}

TEST_F(BitErrorRateTest, AFailedReadKeepsTheBytesThatWereThere) {
  // Register 51 cannot be read: its place keeps the spill of register 50's reply (0xEE).
  Registers({10, 0, 0x40, 0x1F, 0, 110, 0}, {false, true});
  ASSERT_TRUE(TESK_GetBer(&rate, 0));
  ASSERT_EQ(system.traces.size(), 4u);
  EXPECT_EQ(system.traces[0], "<Korvan> DVB_GetDEVData: Failed!");
  EXPECT_EQ(system.traces[1], "<Brenlo> GetBer abort : 60938\n");  // 10 + 256 * 0xEE
}

TEST_F(BitErrorRateTest, AlwaysReadsReceiverZero) {
  Registers({10, 0, 0x40, 0x1F, 0, 110, 0});
  EXPECT_TRUE(TESK_GetBer(&rate, 7));
  EXPECT_EQ(system.requests.size(), 14u);
  EXPECT_DOUBLE_EQ(rate, 7360.0 / 163200.0);
}

}  // namespace
