// What check says of a table, and what a code does as watch describes it: both asked of the
// monitor's own loader and decoder.
#include <gtest/gtest.h>

#include "KeyMapCompiler.h"
#include "KeyMapText.h"
#include "KeyTableCheck.h"
#include "ToolFakes.h"

namespace keytable {
namespace {

struct CheckCase {
  const char* name;
  const char* map;
  const char* expected;  // check's whole output
  int exitCode;
};

class CheckMap : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckMap, SaysWhatTheMonitorWouldDo) {
  FakeToolEnvironment env;
  env.Put("m.txt", GetParam().map);
  EXPECT_EQ(env.Run({"check", "m.txt"}), GetParam().exitCode);
  EXPECT_EQ(env.out, GetParam().expected);
  EXPECT_EQ(env.writes, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Findings, CheckMap,
    ::testing::Values(
        CheckCase{"Clean", "0x1 A alt B\n0x2 prefix\n0x3 LShift\n",
                  "m.txt:3: warning: slot 4 (0x00000003) types LShift, which presses nothing\n"
                  "m.txt: 2 keys (1 with an alternate), 1 prefix key; prefix time-out 1240 ms, repeat threshold "
                  "500 ms; 1 warning\n",
                  EXIT_WARNINGS},
        CheckCase{"Duplicates", "0x1 A\n0x2 B\n0x1 C\n",
                  "m.txt:3: warning: slot 3 (0x00000001) can never act: slot 1 has the same code and decides first\n"
                  "m.txt: 2 keys (0 with an alternate), 0 prefix keys; prefix time-out 1240 ms, repeat threshold "
                  "500 ms; 1 warning\n",
                  EXIT_WARNINGS},
        CheckCase{"TheFillerCode", "0x1 A alt B\n0x2 prefix\n0xFFFFFFFF C\n",
                  "m.txt:3: warning: slot 4 (0xFFFFFFFF) can never act: its code is that of the filler record in "
                  "slot 2, which carries the alternate of slot 1 and decides first\n"
                  "m.txt: 1 key (1 with an alternate), 1 prefix key; prefix time-out 1240 ms, repeat threshold "
                  "500 ms; 1 warning\n",
                  EXIT_WARNINGS},
        CheckCase{"KeyBehindPrefixWithTheSameCode", "0x1 prefix\n0x1 A\n",
                  "m.txt:2: warning: slot 2 (0x00000001) acts only when a poll comes at least 500 ms after the one "
                  "before (polls come every 100 ms): it follows the prefix key in slot 1 with the same code, and the "
                  "monitor takes it for that key's repeat\n"
                  "m.txt: 0 keys (0 with an alternate), 1 prefix key; prefix time-out 1240 ms, repeat threshold "
                  "500 ms; 1 warning\n",
                  EXIT_WARNINGS},
        CheckCase{"KeyBehindPrefixActsWithAThresholdOfOnePoll", "repeat-threshold 100\n0x1 prefix\n0x1 A\n",
                  "m.txt: 1 key (0 with an alternate), 1 prefix key; prefix time-out 1240 ms, repeat threshold "
                  "100 ms; no problems found\n",
                  EXIT_OK},
        CheckCase{"APrefixKeysAlternate", "0x2 prefix alt C\n0x1 A alt B\n",
                  "m.txt:1: warning: slot 1 (0x00000002) is a prefix key, so its alternate (C) is never typed\n"
                  "m.txt: 1 key (1 with an alternate), 1 prefix key; prefix time-out 1240 ms, repeat threshold "
                  "500 ms; 1 warning\n",
                  EXIT_WARNINGS},
        CheckCase{"APrefixTimeOutShorterThanAPoll", "prefix-timeout 80\n0x2 prefix\n0x1 A alt B\n",
                  "m.txt: warning: the prefix time-out is 80 ms, shorter than the 100 ms between polls: the prefix "
                  "key's state ends at the next poll, so alternates are hardly ever typed\n"
                  "m.txt: 1 key (1 with an alternate), 1 prefix key; prefix time-out 80 ms, repeat threshold "
                  "500 ms; 1 warning\n",
                  EXIT_WARNINGS},
        CheckCase{"EmptyRecordsInsideTheCount", "count 60\n0x1 A\n0x0 none\n",
                  "m.txt: warning: the entry count is 60, more than the 50 slots: the monitor matches all 50\n"
                  "m.txt:3: warning: slots 2 to 50 are empty records (code 0, no key) inside the entry count: code 0 "
                  "types nothing\n"
                  "m.txt: 1 key (0 with an alternate), 0 prefix keys; prefix time-out 1240 ms, repeat threshold "
                  "500 ms; 2 warnings\n",
                  EXIT_WARNINGS},
        CheckCase{"AlternateWithoutPrefix", "0x1 A alt B\n",
                  "m.txt:1: warning: slot 1 (0x00000001) has an alternate (B), but the table has no prefix key, so "
                  "it is never typed\n"
                  "m.txt: 1 key (0 with an alternate), 0 prefix keys; prefix time-out 1240 ms, repeat threshold "
                  "500 ms; 1 warning\n",
                  EXIT_WARNINGS},
        CheckCase{"PastTheCount", "count 1\n0x1 A alt next\n0x2 B\n0x3 C\n",
                  "m.txt:2: warning: slot 1 (0x00000001) has an alternate (B), but the table has no prefix key, so "
                  "it is never typed\n"
                  "m.txt:4: warning: slot 3 (0x00000003) lies past the entry count 1 and is never matched\n"
                  "m.txt: 1 key (0 with an alternate), 0 prefix keys; prefix time-out 1240 ms, repeat threshold "
                  "500 ms; 2 warnings\n",
                  EXIT_WARNINGS},
        CheckCase{"NothingToType", "0x1 none\n0x2 0x64\n0x3 prefix\n0x4 A alt 0x00\n",
                  "m.txt:1: warning: slot 1 (0x00000001) types none, which presses nothing\n"
                  "m.txt:2: warning: slot 2 (0x00000002) types 0x64, which presses nothing\n"
                  "m.txt:4: warning: slot 4 (0x00000004) has the alternate none, which presses nothing\n"
                  "m.txt: 3 keys (1 with an alternate), 1 prefix key; prefix time-out 1240 ms, repeat threshold "
                  "500 ms; 3 warnings\n",
                  EXIT_WARNINGS},
        CheckCase{"EmptyAndOddLimits", "count 0\nprefix-timeout -40\nrepeat-threshold -20\n",
                  "m.txt: warning: the entry count is 0: the table is empty and the monitor ignores every code\n"
                  "m.txt: warning: the prefix time-out is negative (-40 ms): the prefix key's state ends at the next "
                  "poll, so no alternate is ever typed\n"
                  "m.txt: warning: the repeat threshold is negative (-20 ms): the monitor suppresses no repeated "
                  "code, as with 0\n"
                  "m.txt: 0 keys (0 with an alternate), 0 prefix keys; prefix time-out -40 ms, repeat threshold "
                  "-20 ms; 3 warnings\n",
                  EXIT_WARNINGS}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(CheckFile, TheLastSlotsAlternateAndABigCount) {
  FakeToolEnvironment env;
  std::string map = "count 60\n0x99 prefix\n";
  for (int i = 2; i < 50; ++i) map += std::to_string(i) + " A\n";
  env.Put("m.txt", map + "0x50 B alt next\n");  // the 50th slot, on line 51
  EXPECT_EQ(env.Run({"check", "m.txt"}), EXIT_WARNINGS);
  EXPECT_NE(env.out.find("m.txt: warning: the entry count is 60, more than the 50 slots: the monitor matches all 50\n"),
            std::string::npos)
      << env.out;
  EXPECT_NE(env.out.find("m.txt:51: warning: slot 50 (0x00000050) has an alternate, but no slot follows the last "
                         "one: the monitor types its own key after the prefix key too\n"),
            std::string::npos)
      << env.out;
}

TEST(CheckFile, ShortLongAndMissingFiles) {
  FakeToolEnvironment env;
  env.files["short.bin"] = {0, 0, 0, 1, 0x04, 0, 0, 0xAA};
  EXPECT_EQ(env.Run({"check", "short.bin"}), EXIT_WARNINGS);
  EXPECT_EQ(env.out,
            "short.bin: warning: the file has 8 bytes, fewer than 356: the monitor takes its 1 whole records and "
            "its own limits (prefix time-out 1240 ms, repeat threshold 500 ms), and ignores the 1 bytes after them\n"
            "short.bin: 1 key (0 with an alternate), 0 prefix keys; prefix time-out 1240 ms, repeat threshold "
            "500 ms; 1 warning\n");

  env.out.clear();
  env.files["long.BIN"] = std::vector<uint8_t>(1000, 0);
  env.files["long.BIN"][352] = 0;
  EXPECT_EQ(env.Run({"check", "long.BIN"}), EXIT_WARNINGS);
  EXPECT_EQ(env.out.substr(0, env.out.find('\n')),
            "long.BIN: warning: the file has 1000 bytes: the monitor reads its first 356 and ignores the rest");

  env.err.clear();
  EXPECT_EQ(env.Run({"check", "gone.bin"}), EXIT_FAILED);
  EXPECT_EQ(env.err, "keytable: gone.bin: cannot read it: No such file or directory\n");

  env.err.clear();
  env.files["huge.bin"] = std::vector<uint8_t>(MAX_FILE_SIZE + 1, 0);
  EXPECT_EQ(env.Run({"decompile", "huge.bin"}), EXIT_FAILED);
  EXPECT_EQ(env.err,
            "keytable: huge.bin: the file has more than 1048576 bytes, more than this tool reads (a key table "
            "file has 356)\n");
}

wendle::KeyTable TableOf(const std::string& map) {
  KeyMapSource source;
  std::vector<Diagnostic> errors, warnings;
  CompiledKeyTable compiled;
  EXPECT_TRUE(ParseKeyMap(map, &source, &errors, &warnings) && CompileKeyMap(source, &compiled, &errors));
  return LoadTableImage(compiled.bytes).table;
}

TEST(DescribeCode, PlainAlternatePrefixAndUnknownCodes) {
  const wendle::KeyTable table = TableOf("0x1 A alt LShift+A\n0x2 prefix\n0x3 Enter\ncount 3\n0x4 B\n");
  EXPECT_EQ(DescribeCode(table, 0x1), "A (slot 1; after the prefix key: LShift+A)");
  EXPECT_EQ(DescribeCode(table, 0x2), "prefix key (slot 3)");
  EXPECT_EQ(DescribeCode(table, 0x3), "not in the table");  // past the count
  EXPECT_EQ(DescribeCode(table, 0x5), "not in the table");
  EXPECT_EQ(DescribeCode(table, FILLER_CODE), "LShift+A (slot 2)");
}

}  // namespace
}  // namespace keytable
