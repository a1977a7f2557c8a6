// Registers, EEPROM, bulk data, and the demodulator, link, slave and I2C paths of the device
// channel: the bytes each export sends, its result and its traces.
#include <functional>

#include "OperationsTest.h"

namespace {

using korvan::HResult;

struct Exchange {
  const char* name;
  std::function<int64_t()> call;
  std::vector<HResult> answers;  // per request, the last repeats
  int64_t result;
  Texts requests;
  Texts traces;
};

class RegisterOperationsTest : public OperationsTest {
 protected:
  void Check(const std::vector<Exchange>& cases) {
    for (const Exchange& c : cases) {
      SCOPED_TRACE(c.name);
      Forget();
      byte = 0xEE;
      std::fill(std::begin(reply), std::end(reply), 0);
      Answer(c.answers, fakes::Bytes({0x77, 0x66, 0x55, 0x44, 0x33}));
      EXPECT_EQ(c.call(), c.result);
      EXPECT_EQ(Requests(), c.requests);
      EXPECT_EQ(system.traces, c.traces);
    }
  }
  uint8_t byte = 0xEE;
  uint8_t reply[8] = {};
};

TEST_F(RegisterOperationsTest, DirectOperationsSendTheirBytesOnTheControlSet) {
  Check({
      {"WriteReg", [] { return TESK_WriteReg(0x9A56, 0x11, 0); }, {0}, true, {"control 10 set 24: 56 9A 11"}, {}},
      {"WriteRegFails", [] { return TESK_WriteReg(0x9A56, 0x11, 0); }, {kGenFailure}, false,
       {"control 10 set 24: 56 9A 11"}, {"<Brenlo> PellorWriteReg fail!"}},
      {"ReadReg", [&] { return TESK_ReadReg(0x1234, &byte, 0); }, {0}, true, {"control 10 get 24: 34"}, {}},
      {"ReadRegFails", [&] { return TESK_ReadReg(0x1234, &byte, 0); }, {kGenFailure}, false,
       {"control 10 get 24: 34"}, {"<Brenlo> PellorReadReg fail!"}},
      {"WriteEEPROM", [] { return TESK_WriteEEPROM(0x05, 0xAB, 0); }, {0}, 0, {"control 13 set 24: 05 AB"}, {}},
      {"WriteEEPROMFails", [] { return TESK_WriteEEPROM(0x05, 0xAB, 0); }, {kGenFailure}, 1,
       {"control 13 set 24: 05 AB"}, {"<Brenlo> PellorWriteEEPROM fail!"}},
      {"ReadEEPROM", [&] { return TESK_ReadEEPROM(0x18, &byte, 0); }, {0}, 0,
       {"control 13 set 24: 18", "control 13 get 24: EE"}, {"<Korvan> PellorReadEEPROM"}},
      {"ReadEEPROMAddressFails", [&] { return TESK_ReadEEPROM(0x18, &byte, 0); }, {kGenFailure}, 1,
       {"control 13 set 24: 18"}, {"<Korvan> PellorReadEEPROM", "<Korvan> PellorWriteEEPROM fail! 0x8007001F"}},
      {"ReadEEPROMValueFails", [&] { return TESK_ReadEEPROM(0x18, &byte, 0); }, {0, korvan::kE_FAIL}, 1,
       {"control 13 set 24: 18", "control 13 get 24: EE"}, {"<Korvan> PellorReadEEPROM", "<Korvan> PellorReadEEPROM fail!"}},
  });
}

TEST_F(RegisterOperationsTest, ARegisterReadHandsBackWhateverByteTheDriverLeft) {
  Answer({0}, fakes::Bytes({0x5A}));
  EXPECT_TRUE(TESK_ReadReg(0x1234, &byte, 0));
  EXPECT_EQ(byte, 0x5A);

  Answer({kGenFailure});
  EXPECT_FALSE(TESK_ReadReg(0x1234, &byte, 0));
  EXPECT_EQ(byte, 0x34);  // the address byte comes back from a failed read
}

TEST_F(RegisterOperationsTest, AnEEPROMReadStoresTheValueAndTakesNoLock) {
  Answer({0}, fakes::Bytes({0xC3}));
  EXPECT_EQ(TESK_ReadEEPROM(24, &byte, 0), 0);
  EXPECT_EQ(byte, 0xC3);
  EXPECT_EQ(system.events, (Texts{"KsProperty", "KsProperty"}));
}

TEST_F(RegisterOperationsTest, WithoutAPropertyInterfaceRegistersFailAndTheEEPROMSucceedsSilently) {
  DropPropertyInterface();
  EXPECT_FALSE(TESK_WriteReg(0x9A56, 0x11, 0));
  EXPECT_FALSE(TESK_ReadReg(0x1234, &byte, 0));
  EXPECT_EQ(byte, 0xEE);
  EXPECT_EQ(TESK_WriteEEPROM(1, 2, 0), 0);
  EXPECT_EQ(TESK_ReadEEPROM(1, &byte, 0), 0);
  EXPECT_EQ(byte, 0xEE);
  EXPECT_TRUE(system.requests.empty());
  EXPECT_EQ(system.traces, (Texts{"<Korvan> PellorReadEEPROM"}));  // written before the test
}

TEST_F(RegisterOperationsTest, BulkOperationsPassBufferLengthAndCountThrough) {
  using Bulk = bool (*)(uint8_t*, uint32_t, uint32_t*, DeviceNumber);
  struct Case {
    const char* name;
    Bulk bulk;
    const char* request;
  } cases[] = {{"WriteBulkData", TESK_WriteBulkData, "control 0 set 24: 01 02 03 04 05"},
               {"ReadBulkData", TESK_ReadBulkData, "control 0 get 24: 01 02 03 04 05"},
               {"WriteBulkDataNb", TESK_WriteBulkDataNb, "control 1 set 24: 01 02 03 04 05"},
               {"ReadBulkDataNb", TESK_ReadBulkDataNb, "control 1 get 24: 01 02 03 04 05"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Forget();
    Answer({0});
    uint8_t data[5] = {1, 2, 3, 4, 5};
    uint32_t returned = 0;
    EXPECT_TRUE(c.bulk(data, sizeof data, &returned, 0));
    EXPECT_EQ(returned, 5u);  // the driver's count
    EXPECT_EQ(Requests(), Texts{c.request});

    Answer({kGenFailure});
    EXPECT_FALSE(c.bulk(data, sizeof data, &returned, 0));
    EXPECT_TRUE(system.traces.empty());
  }
}

TEST_F(RegisterOperationsTest, ChannelOperationsBuildTheirCommands) {
  std::vector<uint8_t> data = fakes::Bytes({0xD0, 0xD1, 0xD2});
  std::vector<uint8_t> big(500, 0x5C);
  Check({
      {"ReadOFDMReg", [&] { return TESK_ReadOFDMReg(0x10, reply, 0); }, {0}, 0,
       {"channel 1 set 24: 00 00 00 00 10 00 00 00 00 00 00 00", "channel 1 get 24: 00 00 00 00"}, {}},
      {"WriteOFDMReg", [] { return TESK_WriteOFDMReg(0x10, 0x1FF, 0); }, {0}, 0,
       {"channel 1 set 24: 01 00 00 00 10 00 00 00 FF 00 00 00"}, {}},
      {"ReadLinkReg", [&] { return TESK_ReadLinkReg(0x12345678, reply, 0); }, {0}, 0,
       {"channel 1 set 24: 02 00 00 00 78 56 34 12 00 00 00 00", "channel 1 get 24: 00 00 00 00"}, {}},
      {"WriteLinkReg", [] { return TESK_WriteLinkReg(0xABCDEF01, 0x42, 0); }, {0}, 0,
       {"channel 1 set 24: 03 00 00 00 01 EF CD AB 42 00 00 00"}, {}},
      {"ReadSlaveReg", [&] { return TESK_ReadSlaveReg(0x1C0, 5, reply, 0); }, {0}, 0,
       {"channel 1 set 24: 05 00 00 00 C0 00 00 00 05 00 00 00 00 00 00 00", "channel 1 get 24: 00 00 00 00"}, {}},
      {"WriteSlaveReg", [] { return TESK_WriteSlaveReg(0x1C0, 0x12345678, 0x1AB, 0); }, {0}, 0,
       {"channel 1 set 24: 06 00 00 00 C0 00 00 00 78 56 34 12 AB 00 00 00"}, {}},
      {"ReadI2CData", [&] { return TESK_ReadI2CData(reply, 5, 0); }, {0}, 0,
       {"channel 1 set 24: 64 00 00 00 05 00 00 00 00 00 00 00", "channel 1 get 24: 00 00 00 00 00"}, {}},
      {"WriteI2CData", [&] { return TESK_WriteI2CData(0xA0, 0x01, data.data(), 3, 0); }, {0}, 0,
       {"channel 1 set 24: 65 00 00 00 03 00 00 00 A0 01 D0 D1 D2 00 00"}, {}},
      {"WriteI2CDataEmpty", [&] { return TESK_WriteI2CData(0xA0, 0x01, data.data(), 0, 0); }, {0}, 0,
       {"channel 1 set 24: 65 00 00 00 00 00 00 00 A0 01 00 00"}, {}},
      {"WriteI2CDataTooLong", [&] { return TESK_WriteI2CData(0xA0, 0x01, big.data(), 501, 0); }, {0},
       korvan::CHANNEL_FAILED, {}, {}},
      {"ReadOFDMRegCommandFails", [&] { return TESK_ReadOFDMReg(0x10, reply, 0); }, {kGenFailure},
       korvan::CHANNEL_FAILED, {"channel 1 set 24: 00 00 00 00 10 00 00 00 00 00 00 00"},
       {"<Korvan> DVB_SetDEVData: Failed!"}},
      {"ReadSlaveRegReplyFails", [&] { return TESK_ReadSlaveReg(1, 2, reply, 0); }, {0, kNotImplemented},
       korvan::CHANNEL_NOT_IMPLEMENTED,
       {"channel 1 set 24: 05 00 00 00 01 00 00 00 02 00 00 00 00 00 00 00", "channel 1 get 24: 00 00 00 00"},
       {"<Korvan> DVB_GetDEVData: Not Implemented!"}},
      {"WriteLinkRegFails", [] { return TESK_WriteLinkReg(1, 2, 0); }, {kGenFailure}, korvan::CHANNEL_FAILED,
       {"channel 1 set 24: 03 00 00 00 01 00 00 00 02 00 00 00"}, {"<Korvan> DVB_SetDEVData: Failed!"}},
  });
}

TEST_F(RegisterOperationsTest, TheLongestI2CWriteFillsTheRecordExactly) {
  std::vector<uint8_t> data(500);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(TESK_WriteI2CData(1, 2, data.data(), 500, 0), korvan::CHANNEL_OK);
  const std::vector<uint8_t>& sent = system.requests.at(0).dataSent;
  ASSERT_EQ(sent.size(), 512u);
  EXPECT_EQ(fakes::Hex({sent.begin(), sent.begin() + 10}), "65 00 00 00 F4 01 00 00 01 02");
  EXPECT_TRUE(std::equal(data.begin(), data.end(), sent.begin() + 10));

  Forget();
  EXPECT_EQ(TESK_WriteI2CData(1, 2, data.data(), 0xFFFFFFFF, 0), korvan::CHANNEL_FAILED);
  EXPECT_TRUE(system.requests.empty());
}

TEST_F(RegisterOperationsTest, ReadsHoldTheLockAndWritesDoNot) {
  struct Case {
    const char* name;
    std::function<int32_t()> call;
    Texts events;
  };
  const Texts locked = {"Wait", "KsProperty", "KsProperty", "ReleaseMutex"};
  const Texts unlocked = {"KsProperty"};
  std::vector<uint8_t> data(4);
  for (const Case& c : std::vector<Case>{
           {"ReadOFDMReg", [&] { return TESK_ReadOFDMReg(1, reply, 0); }, locked},
           {"ReadLinkReg", [&] { return TESK_ReadLinkReg(1, reply, 0); }, locked},
           {"ReadSlaveReg", [&] { return TESK_ReadSlaveReg(1, 1, reply, 0); }, locked},
           {"ReadI2CData", [&] { return TESK_ReadI2CData(reply, 4, 0); }, locked},
           {"WriteOFDMReg", [] { return TESK_WriteOFDMReg(1, 1, 0); }, unlocked},
           {"WriteLinkReg", [] { return TESK_WriteLinkReg(1, 1, 0); }, unlocked},
           {"WriteSlaveReg", [] { return TESK_WriteSlaveReg(1, 1, 1, 0); }, unlocked},
           {"WriteI2CData", [&] { return TESK_WriteI2CData(1, 1, data.data(), 4, 0); }, unlocked}}) {
    SCOPED_TRACE(c.name);
    Forget();
    EXPECT_EQ(c.call(), korvan::CHANNEL_OK);
    EXPECT_EQ(system.events, c.events);
  }
}

TEST_F(RegisterOperationsTest, AReadWhoseCommandFailsLeavesTheBufferAlone) {
  Answer({kGenFailure});
  uint8_t buffer[4] = {9, 9, 9, 9};
  EXPECT_EQ(TESK_ReadI2CData(buffer, 4, 0), korvan::CHANNEL_FAILED);
  EXPECT_EQ(TESK_ReadOFDMReg(1, buffer, 0), korvan::CHANNEL_FAILED);
  EXPECT_EQ(fakes::Hex({buffer, buffer + 4}), "09 09 09 09");
}

TEST_F(RegisterOperationsTest, ADriverWithoutChannelsStillServesTheDirectOperations) {
  system.driver = [](const korvan::DriverRequest& r, uint32_t, uint8_t*, uint32_t) -> HResult {
    return fakes::SameGuid(r.Set, korvan::PROPSET_CHANNEL) ? kNotImplemented : 0;
  };
  std::vector<uint8_t> data(3);
  const std::vector<std::function<int32_t()>> channelOperations = {
      [&] { return TESK_ReadOFDMReg(1, reply, 0); },     [] { return TESK_WriteOFDMReg(1, 1, 0); },
      [&] { return TESK_ReadLinkReg(1, reply, 0); },     [] { return TESK_WriteLinkReg(1, 1, 0); },
      [&] { return TESK_ReadSlaveReg(1, 1, reply, 0); }, [] { return TESK_WriteSlaveReg(1, 1, 1, 0); },
      [&] { return TESK_ReadI2CData(reply, 3, 0); },     [&] { return TESK_WriteI2CData(1, 1, data.data(), 3, 0); }};
  for (const auto& operation : channelOperations) {
    Forget();
    EXPECT_EQ(operation(), korvan::CHANNEL_NOT_IMPLEMENTED);
    EXPECT_EQ(system.traces, (Texts{"<Korvan> DVB_SetDEVData: Not Implemented!"}));
    EXPECT_EQ(system.requests.size(), 1u);
  }
  EXPECT_TRUE(TESK_WriteReg(1, 1, 0));
  EXPECT_TRUE(TESK_ReadReg(1, &byte, 0));
  EXPECT_EQ(TESK_ReadEEPROM(1, &byte, 0), 0);
}

}  // namespace
