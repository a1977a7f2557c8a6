#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReceiverModel.h"
#include "RequestLog.h"

namespace sim {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Le32(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
          static_cast<uint8_t>(value >> 24)};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A device command of the DEV channel: code, then operands, padded with zeros to its length.
Bytes Command(uint32_t code, Bytes operands, size_t length) {
  Bytes command = Concat({Le32(code), operands});
  command.resize(length, 0);
  return command;
}

struct Exchange {
  uint32_t hresult;
  Bytes reply;  // the returned bytes of a get
};

class Receiver {
 public:
  explicit Receiver(const std::string& scenarioText = "") : model_(Parse(scenarioText)) {}

  Exchange Set(PropertySet set, uint32_t id, Bytes data, uint64_t nowMs = 0) {
    Answer answer = model_.Handle(set, id, kFlagSet, data.empty() ? nullptr : data.data(),
                                  static_cast<uint32_t>(data.size()), nowMs);
    return {answer.hresult, {}};
  }

  Exchange Get(PropertySet set, uint32_t id, Bytes buffer, uint64_t nowMs = 0) {
    Answer answer = model_.Handle(set, id, kFlagGet, buffer.empty() ? nullptr : buffer.data(),
                                  static_cast<uint32_t>(buffer.size()), nowMs);
    buffer.resize(answer.hresult == kResultOk ? answer.bytesReturned : 0);
    return {answer.hresult, buffer};
  }

  Exchange Get(PropertySet set, uint32_t id, size_t length, uint64_t nowMs = 0) {
    return Get(set, id, Bytes(length, 0xEE), nowMs);
  }

  // The two steps of a channel read.
  Exchange Dev(Bytes command, size_t replyLength, uint64_t nowMs = 0) {
    Exchange step1 = Set(PropertySet::Channel, kChannelDev, command, nowMs);
    if (step1.hresult != kResultOk) return step1;
    return Get(PropertySet::Channel, kChannelDev, replyLength, nowMs);
  }

  ReceiverModel& model() { return model_; }

 private:
  static Scenario Parse(const std::string& text) {
    ParsedScenario parsed = ParseScenario(text);
    EXPECT_TRUE(parsed.errors.empty());
    return parsed.scenario;
  }
  ReceiverModel model_;
};

constexpr PropertySet kControl = PropertySet::Control;
constexpr PropertySet kChannel = PropertySet::Channel;
constexpr PropertySet kPidMap = PropertySet::PidMap;

TEST(ReceiverModel, DriverInformationCarriesTheChip) {
  Receiver receiver("chip 0x9035\n");
  EXPECT_EQ(receiver.Set(kChannel, kChannelDrv, Command(1, {}, 12)).hresult, kResultOk);
  Exchange info = receiver.Get(kChannel, kChannelDrv, 20);
  ASSERT_EQ(info.hresult, kResultOk);
  ASSERT_EQ(info.reply.size(), 20u);
  EXPECT_EQ(info.reply[2], 0x35);
  EXPECT_EQ(info.reply[3], 0x90);
}

TEST(ReceiverModel, DriverInformationRecordCanBeReplacedButKeepsTheChip) {
  Receiver receiver("chip 0x9100\ndrvinfo 0102030405060708090a0b0c0d0e0f1011121314\n");
  receiver.Set(kChannel, kChannelDrv, Command(1, {}, 12));
  EXPECT_EQ(receiver.Get(kChannel, kChannelDrv, 20).reply,
            (Bytes{1, 2, 0x00, 0x91, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
}

TEST(ReceiverModel, RegisterReadsUseThePageOfTheLastWrite) {
  Receiver receiver("page 0xD8\nreg 0xD8DE 0x77\nreg 0x9A56 0x42\n");
  EXPECT_EQ(receiver.Get(kControl, 10, Bytes{0xDE}).reply, Bytes{0x77});
  EXPECT_EQ(receiver.Set(kControl, 10, Bytes{0x57, 0x9A, 0x11}).hresult, kResultOk);
  EXPECT_EQ(receiver.Get(kControl, 10, Bytes{0x56}).reply, Bytes{0x42});
  EXPECT_EQ(receiver.Get(kControl, 10, Bytes{0x57}).reply, Bytes{0x11});
  EXPECT_EQ(receiver.Get(kControl, 10, Bytes{0x58}).reply, Bytes{0x00});
}

TEST(ReceiverModel, EepromWritesAndAddressedReads) {
  Receiver receiver("eeprom 24 0x5a\n");
  EXPECT_EQ(receiver.Set(kControl, 13, Bytes{24}).hresult, kResultOk);
  EXPECT_EQ(receiver.Get(kControl, 13, 1).reply, Bytes{0x5a});
  EXPECT_EQ(receiver.Set(kControl, 13, Bytes{30, 0x99}).hresult, kResultOk);
  EXPECT_EQ(receiver.Get(kControl, 13, 1).reply, Bytes{0x99});  // a write moves the read address
  EXPECT_EQ(receiver.Set(kControl, 13, Bytes{24}).hresult, kResultOk);
  EXPECT_EQ(receiver.Get(kControl, 13, 1).reply, Bytes{0x5a});
}

TEST(ReceiverModel, DeviceRegistersReadBackWhatWasWritten) {
  Receiver receiver("ofdm 50 0x0a\nlink 0x10 0x22\nslave 0xC0 5 0x33\n");
  EXPECT_EQ(receiver.Dev(Command(0, Le32(50), 12), 4).reply, (Bytes{0x0a, 0, 0, 0}));
  EXPECT_EQ(receiver.Dev(Command(2, Le32(0x10), 12), 4).reply, (Bytes{0x22, 0, 0, 0}));
  EXPECT_EQ(receiver.Dev(Command(5, Concat({{0xC0, 0, 0, 0}, Le32(5)}), 16), 4).reply, (Bytes{0x33, 0, 0, 0}));

  EXPECT_EQ(receiver.Set(kChannel, kChannelDev, Command(1, Concat({Le32(51), {0x44}}), 12)).hresult, kResultOk);
  EXPECT_EQ(receiver.Set(kChannel, kChannelDev, Command(3, Concat({Le32(0x11), {0x55}}), 12)).hresult, kResultOk);
  EXPECT_EQ(receiver.Set(kChannel, kChannelDev, Command(6, Concat({{0xC0, 0, 0, 0}, Le32(6), {0x66}}), 16)).hresult,
            kResultOk);
  EXPECT_EQ(receiver.Dev(Command(0, Le32(51), 12), 4).reply[0], 0x44);
  EXPECT_EQ(receiver.Dev(Command(2, Le32(0x11), 12), 4).reply[0], 0x55);
  EXPECT_EQ(receiver.Dev(Command(5, Concat({{0xC0, 0, 0, 0}, Le32(6)}), 16), 4).reply[0], 0x66);
  // The three spaces are separate.
  EXPECT_EQ(receiver.Dev(Command(2, Le32(51), 12), 4).reply[0], 0x00);
}

TEST(ReceiverModel, I2cReadsReturnTheLastWrittenData) {
  Receiver receiver("i2c 0102\n");
  EXPECT_EQ(receiver.Dev(Command(100, Le32(4), 12), 4).reply, (Bytes{1, 2, 0, 0}));
  Bytes write = Concat({Le32(101), Le32(3), {0xA0, 0x01}, {7, 8, 9}, {0, 0}});
  EXPECT_EQ(receiver.Set(kChannel, kChannelDev, write).hresult, kResultOk);
  EXPECT_EQ(receiver.Dev(Command(100, Le32(3), 12), 3).reply, (Bytes{7, 8, 9}));
  // A read longer than the caller's buffer is refused.
  EXPECT_EQ(receiver.Dev(Command(100, Le32(8), 12), 4).hresult, kResultBufferTooSmall);
}

struct CommandLength {
  uint32_t code;
  size_t length;
};

class DevCommandLengths : public testing::TestWithParam<CommandLength> {};

TEST_P(DevCommandLengths, OnlyTheExactLengthIsAccepted) {
  const CommandLength& row = GetParam();
  for (size_t length : {row.length - 1, row.length, row.length + 1}) {
    Receiver receiver;
    Bytes command = Command(row.code, {}, length);
    EXPECT_EQ(receiver.Set(kChannel, kChannelDev, command).hresult,
              length == row.length ? kResultOk : kResultInvalidArgument)
        << "code " << row.code << " length " << length;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, DevCommandLengths,
                         testing::Values(CommandLength{0, 12}, CommandLength{1, 12}, CommandLength{2, 12},
                                         CommandLength{3, 12}, CommandLength{4, 12}, CommandLength{5, 16},
                                         CommandLength{6, 16}, CommandLength{7, 12}, CommandLength{100, 12},
                                         CommandLength{101, 12}, CommandLength{102, 8}));

TEST(ReceiverModel, WriteI2cLengthFollowsItsCount) {
  Receiver receiver;
  Bytes write = Concat({Le32(101), Le32(2), {0, 0}, {1, 2}, {0, 0}});
  EXPECT_EQ(receiver.Set(kChannel, kChannelDev, write).hresult, kResultOk);
  write.pop_back();
  EXPECT_EQ(receiver.Set(kChannel, kChannelDev, write).hresult, kResultInvalidArgument);
  // A count that would wrap the length around is no way past the check.
  Bytes huge = Concat({Le32(101), Le32(0xFFFFFFFF), {0, 0, 0, 0}});
  EXPECT_EQ(receiver.Set(kChannel, kChannelDev, huge).hresult, kResultInvalidArgument);
}

TEST(ReceiverModel, ChannelReadWithoutAReadCommandIsNotReady) {
  Receiver receiver;
  EXPECT_EQ(receiver.Get(kChannel, kChannelDev, 4).hresult, kResultNotReady);
  EXPECT_EQ(receiver.Get(kChannel, kChannelDrv, 20).hresult, kResultNotReady);
  receiver.Set(kChannel, kChannelDev, Command(4, Le32(1), 12));  // power: nothing to read
  EXPECT_EQ(receiver.Get(kChannel, kChannelDev, 4).hresult, kResultNotReady);
  EXPECT_EQ(receiver.Set(kChannel, kChannelDev, Command(9, {}, 12)).hresult, kResultInvalidArgument);
  EXPECT_EQ(receiver.Set(kChannel, kChannelDrv, Command(2, {}, 12)).hresult, kResultInvalidArgument);
  EXPECT_EQ(receiver.Set(kChannel, 2, Command(1, {}, 12)).hresult, kResultIdNotFound);
}

TEST(ReceiverModel, RawCodesComeWhenDueAndRepeat) {
  Receiver receiver("code 0 0x11223344 repeat 2\ncode 500 aa bb cc dd\n");
  Bytes read = Command(7, {}, 12);
  EXPECT_EQ(receiver.Dev(read, 4, 10).reply, (Bytes{0x44, 0x33, 0x22, 0x11}));
  EXPECT_EQ(receiver.Dev(read, 4, 20).reply, (Bytes{0x44, 0x33, 0x22, 0x11}));
  EXPECT_EQ(receiver.Dev(read, 4, 499).hresult, kResultNoData);
  EXPECT_EQ(receiver.Dev(read, 4, 500).reply, (Bytes{0xaa, 0xbb, 0xcc, 0xdd}));
  EXPECT_EQ(receiver.Dev(read, 4, 900).hresult, kResultNoData);
}

TEST(ReceiverModel, KeyboardReportsQueueLikeCodes) {
  Receiver receiver("report 100 0000280000000000\n");
  EXPECT_EQ(receiver.Get(kControl, 14, 8, 50).hresult, kResultNoData);
  EXPECT_EQ(receiver.Get(kControl, 14, 8, 150).reply, (Bytes{0, 0, 0x28, 0, 0, 0, 0, 0}));
  EXPECT_EQ(receiver.Get(kControl, 14, 8, 200).hresult, kResultNoData);
  EXPECT_EQ(receiver.Get(kControl, 14, 7, 200).hresult, kResultBufferTooSmall);
  EXPECT_EQ(receiver.Set(kControl, 14, Bytes(8, 0)).hresult, kResultNotSupported);
}

struct StoredControl {
  uint32_t id;
  size_t size;
};

class StoredControls : public testing::TestWithParam<StoredControl> {};

TEST_P(StoredControls, SetStoresAndGetAnswersTheValue) {
  const StoredControl& row = GetParam();
  Receiver receiver;
  Exchange initial = receiver.Get(kControl, row.id, row.size);
  ASSERT_EQ(initial.hresult, kResultOk);
  EXPECT_EQ(initial.reply.size(), row.size);
  EXPECT_EQ(receiver.Get(kControl, row.id, row.size - 1).hresult, kResultBufferTooSmall);
  Bytes value(row.size);
  for (size_t i = 0; i < row.size; ++i) value[i] = static_cast<uint8_t>(0xA0 + i);
  EXPECT_EQ(receiver.Set(kControl, row.id, value).hresult, kResultOk);
  EXPECT_EQ(receiver.Get(kControl, row.id, row.size + 3).reply, value);
  Bytes wrong(row.size + 1, 0);
  EXPECT_EQ(receiver.Set(kControl, row.id, wrong).hresult, kResultInvalidArgument);
}

INSTANTIATE_TEST_SUITE_P(Table, StoredControls,
                         testing::Values(StoredControl{2, 4}, StoredControl{3, 4}, StoredControl{4, 12},
                                         StoredControl{5, 6}, StoredControl{7, 2}, StoredControl{8, 4},
                                         StoredControl{9, 4}, StoredControl{11, 12}, StoredControl{12, 4},
                                         StoredControl{15, 1}, StoredControl{16, 4}));

TEST(ReceiverModel, ControlPreloadsAndDefaults) {
  Receiver receiver("chip 0x9135\ncontrol 8 d03b0700\n");
  EXPECT_EQ(receiver.Get(kControl, 8, 4).reply, (Bytes{0xd0, 0x3b, 0x07, 0x00}));
  Exchange tamo = receiver.Get(kControl, 4, 12);
  EXPECT_EQ(Bytes(tamo.reply.begin() + 8, tamo.reply.end()), (Bytes{0x35, 0x91, 0, 0}));
}

TEST(ReceiverModel, BulkDataLoopsBack) {
  Receiver receiver;
  Exchange empty = receiver.Get(kControl, 0, 16);
  EXPECT_EQ(empty.hresult, kResultOk);
  EXPECT_TRUE(empty.reply.empty());
  EXPECT_EQ(receiver.Set(kControl, 1, Bytes{1, 2, 3}).hresult, kResultOk);
  EXPECT_EQ(receiver.Get(kControl, 1, 16).reply, (Bytes{1, 2, 3}));
  EXPECT_EQ(receiver.Get(kControl, 1, 2).reply, (Bytes{1, 2}));
  EXPECT_TRUE(receiver.Get(kControl, 0, 16).reply.empty());  // the two ids are separate
}

TEST(ReceiverModel, StreamReadsContinueThePattern) {
  Receiver receiver("control 6 4701020304\n");
  EXPECT_EQ(receiver.Get(kControl, 6, 3).reply, (Bytes{0x47, 1, 2}));
  EXPECT_EQ(receiver.Get(kControl, 6, 4).reply, (Bytes{3, 4, 0x47, 1}));
  EXPECT_EQ(receiver.Set(kControl, 6, Le32(2)).hresult, kResultOk);  // the active filter
  EXPECT_EQ(receiver.Get(kControl, 6, 1).reply, (Bytes{2}));
}

TEST(ReceiverModel, PidMapTakesAWholeMap) {
  Receiver receiver;
  EXPECT_EQ(receiver.Set(kPidMap, 0, Concat({Le32(0), Le32(0)})).hresult, kResultOk);
  Bytes two = Concat({Le32(0), Le32(2), Le32(0x100), Le32(0x1FFF)});
  EXPECT_EQ(receiver.Set(kPidMap, 0, two).hresult, kResultOk);
  EXPECT_EQ(receiver.Get(kPidMap, 0, 16).reply, two);
  EXPECT_EQ(receiver.Set(kPidMap, 0, Concat({Le32(0), Le32(3), Le32(1)})).hresult, kResultInvalidArgument);
  EXPECT_EQ(receiver.Set(kPidMap, 1, two).hresult, kResultIdNotFound);
}

struct RefusedRequest {
  PropertySet set;
  uint32_t id;
  uint32_t flags;
  uint32_t hresult;
};

class RefusedRequests : public testing::TestWithParam<RefusedRequest> {};

TEST_P(RefusedRequests, AnswerTheirError) {
  const RefusedRequest& row = GetParam();
  Receiver receiver;
  Bytes data(4, 0);
  EXPECT_EQ(receiver.model().Handle(row.set, row.id, row.flags, data.data(), 4, 0).hresult, row.hresult);
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedRequests,
                         testing::Values(RefusedRequest{PropertySet::Unknown, 0, kFlagGet, kResultSetNotFound},
                                         RefusedRequest{kControl, 17, kFlagGet, kResultIdNotFound},
                                         RefusedRequest{kControl, 8, 0, kResultNotSupported},
                                         RefusedRequest{kControl, 8, kFlagGet | kFlagSet, kResultNotSupported},
                                         RefusedRequest{kControl, 8, 0x10000001, kResultNotSupported},
                                         RefusedRequest{kChannel, 5, kFlagSet, kResultIdNotFound}));

TEST(ReceiverModel, MissingBufferIsRefused) {
  Receiver receiver;
  EXPECT_EQ(receiver.model().Handle(kControl, 8, kFlagGet, nullptr, 4, 0).hresult, kResultPointer);
}

TEST(ReceiverModel, InjectedFailuresMatchSetIdAndDirection) {
  Receiver receiver("fail CHANNEL 1 set 0x80070001\n");
  EXPECT_EQ(receiver.Set(kChannel, kChannelDev, Command(0, {}, 12)).hresult, 0x80070001u);
  EXPECT_EQ(receiver.Set(kChannel, kChannelDrv, Command(1, {}, 12)).hresult, kResultOk);
  EXPECT_EQ(receiver.Get(kChannel, kChannelDev, 4).hresult, kResultNotReady);  // the set never happened
}

TEST(ReceiverModel, InjectedFailuresNarrowedByCommandTimeAndCount) {
  Receiver receiver(
      "code 0 0x01020304 repeat 10\n"
      "fail CHANNEL 1 get 0x80004005 cmd 7 times 2\n"
      "fail CONTROL 8 any 0x8007001f after 1000\n");
  Bytes read = Command(7, {}, 12);
  EXPECT_EQ(receiver.Dev(read, 4).hresult, 0x80004005u);
  EXPECT_EQ(receiver.Dev(Command(0, {}, 12), 4).hresult, kResultOk);  // another command
  EXPECT_EQ(receiver.Dev(read, 4).hresult, 0x80004005u);
  EXPECT_EQ(receiver.Dev(read, 4).hresult, kResultOk);  // two times only
  EXPECT_EQ(receiver.Get(kControl, 8, 4, 999).hresult, kResultOk);
  EXPECT_EQ(receiver.Get(kControl, 8, 4, 1000).hresult, 0x8007001Fu);
  EXPECT_EQ(receiver.Set(kControl, 8, Le32(1), 1500).hresult, 0x8007001Fu);
}

TEST(RequestLog, OneLinePerRequest) {
  uint8_t header[24] = {0x2d, 0xac};
  header[16] = 1;
  header[20] = 1;
  uint8_t data[4] = {0xee, 0xee, 0xee, 0xee};
  uint8_t reply[4] = {0x0a, 0, 0, 0};
  LoggedRequest logged;
  logged.setName = "CHANNEL";
  logged.id = 1;
  logged.flags = 1;
  logged.request = header;
  logged.requestLength = 2;
  logged.data = data;
  logged.dataLength = 4;
  logged.reply = reply;
  logged.replyLength = 4;
  EXPECT_EQ(FormatRequestLine(logged), "CHANNEL id=1 flags=1 req=2:2dac data=4:eeeeeeee reply=4:0a000000 hr=0x00000000");
  logged.reply = nullptr;
  logged.hresult = 0x80070001;
  EXPECT_EQ(FormatRequestLine(logged), "CHANNEL id=1 flags=1 req=2:2dac data=4:eeeeeeee reply=- hr=0x80070001");
}

TEST(RequestLog, LongDataIsCut) {
  std::vector<uint8_t> data(kLoggedBytesLimit + 1, 0xab);
  LoggedRequest logged;
  logged.data = data.data();
  logged.dataLength = static_cast<uint32_t>(data.size());
  std::string line = FormatRequestLine(logged);
  EXPECT_NE(line.find("data=4097:abab"), std::string::npos);
  EXPECT_NE(line.find("abab... reply=-"), std::string::npos);
  EXPECT_EQ(line.size(), std::string("UNKNOWN id=0 flags=0 req=0: data=4097:... reply=- hr=0x00000000").size() +
                             2 * kLoggedBytesLimit);
}

}  // namespace
}  // namespace sim
