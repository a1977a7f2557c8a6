#include <gtest/gtest.h>

#include "Scenario.h"

namespace sim {
namespace {

TEST(ScenarioFile, ReadsEveryKeyword) {
  ParsedScenario parsed = ParseScenario(
      "# a receiver of chip 0x9035\n"
      "chip 0x9035\n"
      "page 0xD8\n"
      "reg 0xD8DE 0x77   # snapshot register\n"
      "eeprom 24 0x5a\n"
      "ofdm 50 10\n"
      "link 0x10 0x22\n"
      "slave 0xC0 5 0x33\n"
      "i2c 0102 03\n"
      "control 8 d03b0700\n"
      "control 6 47 1f ff 10\n"
      "code 500 0x11223344 repeat 3\n"
      "code 100 aa bb cc dd\n"
      "report 0 0000100000000000\n"
      "fail CHANNEL 1 set 0x80070001 cmd 7 after 200 times 2\n"
      "fail control 10 any 0x80004005\n"
      "kscontrol off\r\n"
      "bind 0x80004005\n");
  ASSERT_TRUE(parsed.errors.empty()) << parsed.errors.front();
  const Scenario& s = parsed.scenario;
  EXPECT_EQ(s.chipId, 0x9035);
  EXPECT_EQ(s.registerPage, 0xD8);
  EXPECT_EQ(s.registers.at(0xD8DE), 0x77);
  EXPECT_EQ(s.eeprom[24], 0x5a);
  EXPECT_EQ(s.ofdm.at(50), 10);
  EXPECT_EQ(s.link.at(0x10), 0x22);
  EXPECT_EQ((s.slave.at({0xC0, 5})), 0x33);
  EXPECT_EQ(s.i2c, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(s.control.at(8), (std::vector<uint8_t>{0xd0, 0x3b, 0x07, 0x00}));
  EXPECT_EQ(s.control.at(6), (std::vector<uint8_t>{0x47, 0x1f, 0xff, 0x10}));
  // Timed items come out in time order; a code written as one number is little-endian.
  ASSERT_EQ(s.codes.size(), 2u);
  EXPECT_EQ(s.codes[0].atMs, 100u);
  EXPECT_EQ(s.codes[0].bytes, (std::vector<uint8_t>{0xaa, 0xbb, 0xcc, 0xdd}));
  EXPECT_EQ(s.codes[0].repeat, 1u);
  EXPECT_EQ(s.codes[1].atMs, 500u);
  EXPECT_EQ(s.codes[1].bytes, (std::vector<uint8_t>{0x44, 0x33, 0x22, 0x11}));
  EXPECT_EQ(s.codes[1].repeat, 3u);
  ASSERT_EQ(s.reports.size(), 1u);
  EXPECT_EQ(s.reports[0].bytes, (std::vector<uint8_t>{0, 0, 0x10, 0, 0, 0, 0, 0}));
  ASSERT_EQ(s.failures.size(), 2u);
  const FailureRule& channel = s.failures[0];
  EXPECT_EQ(channel.set, PropertySet::Channel);
  EXPECT_EQ(channel.id, 1u);
  EXPECT_EQ(channel.direction, Direction::Set);
  EXPECT_EQ(channel.hresult, 0x80070001u);
  EXPECT_TRUE(channel.hasCommand);
  EXPECT_EQ(channel.command, 7u);
  EXPECT_EQ(channel.afterMs, 200u);
  EXPECT_EQ(channel.times, 2u);
  EXPECT_EQ(s.failures[1].set, PropertySet::Control);
  EXPECT_EQ(s.failures[1].direction, Direction::Any);
  EXPECT_FALSE(s.failures[1].hasCommand);
  EXPECT_EQ(s.failures[1].times, 0u);
  EXPECT_FALSE(s.offersKsControl);
  EXPECT_EQ(s.loadResult, 0x80004005u);
}

TEST(ScenarioFile, EmptyTextGivesTheDefaultReceiver) {
  ParsedScenario parsed = ParseScenario("\n   \n# nothing\n");
  EXPECT_TRUE(parsed.errors.empty());
  EXPECT_EQ(parsed.scenario.chipId, 0x9135);
  EXPECT_TRUE(parsed.scenario.offersKsControl);
  EXPECT_EQ(parsed.scenario.loadResult, 0u);
}

struct BadLine {
  const char* line;
  const char* error;
};

class ScenarioErrors : public testing::TestWithParam<BadLine> {};

TEST_P(ScenarioErrors, NameTheLineAndWhatIsWrong) {
  ParsedScenario parsed = ParseScenario(std::string("chip 0x9035\n") + GetParam().line + "\n");
  ASSERT_EQ(parsed.errors.size(), 1u);
  EXPECT_EQ(parsed.errors[0], std::string("line 2: ") + GetParam().error);
  EXPECT_EQ(parsed.scenario.chipId, 0x9035);  // the good lines still count
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScenarioErrors,
    testing::Values(
        BadLine{"frob 1", "unknown keyword 'frob'"},
        BadLine{"chip 0x10000", "'0x10000' is not a number up to 65535"},
        BadLine{"chip", "'chip' takes 1 values"},
        BadLine{"chip -1", "'-1' is not a number up to 65535"},
        BadLine{"reg 0x9A56 0x100", "'0x100' is not a number up to 255"},
        BadLine{"eeprom 256 1", "'256' is not a number up to 255"},
        BadLine{"drvinfo 0102", "'drvinfo' takes 20 hex bytes"},
        BadLine{"i2c 0g", "'i2c' takes hex bytes"},
        BadLine{"control 10 00", "control id 10 is preloaded with 'reg', 'eeprom' or 'report'"},
        BadLine{"control 17 00", "'17' is not a number up to 16"},
        BadLine{"control 8 0102", "control id 8 holds 4 bytes"},
        BadLine{"code 0 112233", "'code' takes 4 hex bytes"},
        BadLine{"code 0 0x11 repeat 0", "'repeat' needs at least 1"},
        BadLine{"code 0", "'code' takes a time in ms and 4 bytes"},
        BadLine{"report 0 0x1122334455667788", "'report' takes 8 hex bytes"},
        BadLine{"fail CHANNEL 1 set", "'fail' takes: set id get|set|any hresult [cmd N] [after MS] [times N]"},
        BadLine{"fail TUNER 1 set 0x1", "unknown property set 'TUNER' (CONTROL, PIDMAP, CHANNEL)"},
        BadLine{"fail CHANNEL 1 both 0x1", "direction must be get, set or any"},
        BadLine{"fail CHANNEL 1 set 0x1 when 5", "unknown qualifier 'when' (cmd, after, times)"},
        BadLine{"fail CHANNEL 1 set 0x1 times 0", "'times' needs at least 1"},
        BadLine{"fail CONTROL 10 get 0x1 cmd 5", "'cmd' narrows CHANNEL rules only"},
        BadLine{"kscontrol maybe", "'kscontrol' takes on or off"}));

}  // namespace
}  // namespace sim
