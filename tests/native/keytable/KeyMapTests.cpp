// Key names, the map's grammar and the layout the compiler gives a map.
#include <gtest/gtest.h>

#include <set>

#include "KeyMapCompiler.h"
#include "KeyMapText.h"
#include "KeyMaps.h"
#include "KeyNames.h"
#include "ToolFakes.h"

namespace keytable {
namespace {

std::vector<uint8_t> Record(uint32_t code, uint8_t usage, uint8_t modifiers, uint8_t flags) {
  return {static_cast<uint8_t>(code >> 24), static_cast<uint8_t>(code >> 16), static_cast<uint8_t>(code >> 8),
          static_cast<uint8_t>(code), usage, modifiers, flags};
}

std::vector<uint8_t> SlotBytes(const std::vector<uint8_t>& file, size_t slot) {
  return std::vector<uint8_t>(file.begin() + 7 * slot, file.begin() + 7 * slot + 7);
}

// Compiles text that must be free of errors.
CompiledKeyTable Compile(const std::string& text) {
  KeyMapSource source;
  std::vector<Diagnostic> errors, warnings;
  CompiledKeyTable table;
  EXPECT_TRUE(ParseKeyMap(text, &source, &errors, &warnings) && CompileKeyMap(source, &table, &errors))
      << (errors.empty() ? "" : errors[0].text);
  return table;
}

TEST(KeyNames, EveryTypeableUsageHasOneNameAndEveryPairRoundTrips) {
  std::set<std::string> names;
  for (unsigned usage = wendle::FIRST_MAPPED_USAGE; usage <= wendle::LAST_MAPPED_USAGE; ++usage) {
    std::string name = UsageName(static_cast<uint8_t>(usage));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(names.insert(name).second) << name;
  }
  EXPECT_EQ(UsageName(0x03), nullptr);
  EXPECT_EQ(UsageName(0x64), nullptr);
  for (unsigned modifiers = 0; modifiers < 256; ++modifiers) {
    for (unsigned usage = 0; usage < 256; ++usage) {
      uint8_t m = 0xAA, u = 0xAA;
      size_t bad = 0;
      const std::string text = KeyText(static_cast<uint8_t>(modifiers), static_cast<uint8_t>(usage));
      ASSERT_TRUE(ParseKeyText(text, &m, &u, &bad)) << text;
      ASSERT_EQ(m, modifiers) << text;
      ASSERT_EQ(u, usage) << text;
    }
  }
}

TEST(KeyNames, TextForms) {
  EXPECT_EQ(KeyText(0x00, 0x1E), "1");
  EXPECT_EQ(KeyText(0x03, 0x06), "LCtrl+LShift+C");
  EXPECT_EQ(KeyText(0x80, 0x57), "RWin+KP_Plus");
  EXPECT_EQ(KeyText(0x02, 0x00), "LShift");
  EXPECT_EQ(KeyText(0x00, 0x00), "none");
  EXPECT_EQ(KeyText(0x01, 0xE0), "LCtrl+0xE0");
  uint8_t m = 0, u = 0;
  size_t bad = 0;
  ASSERT_TRUE(ParseKeyText("ctrl+SHIFT+enter", &m, &u, &bad));
  EXPECT_EQ(m, 0x03);
  EXPECT_EQ(u, 0x28);
  EXPECT_FALSE(ParseKeyText("LShift+Entr", &m, &u, &bad));
  EXPECT_EQ(bad, 7u);
  EXPECT_FALSE(ParseKeyText("A+B", &m, &u, &bad));  // only modifiers go before the key
  EXPECT_EQ(bad, 0u);
}

TEST(KeyMapLayout, KeysInOrderWithAFillerAfterEachAlternate) {
  const CompiledKeyTable table = Compile(
      "# remote\n"
      "prefix-timeout 2000 ms\n"
      "repeat-threshold 300\n"
      "0x00FF30CF  1  alt LShift+1\n"
      "00ff18e7    Enter\n"
      "0x00FFA25D  prefix\n");
  ASSERT_EQ(table.bytes.size(), 356u);
  EXPECT_EQ(SlotBytes(table.bytes, 0), Record(0x00FF30CF, 0x1E, 0x00, 0x40));
  EXPECT_EQ(SlotBytes(table.bytes, 1), Record(FILLER_CODE, 0x1E, 0x02, 0x00));
  EXPECT_EQ(SlotBytes(table.bytes, 2), Record(0x00FF18E7, 0x28, 0x00, 0x00));
  EXPECT_EQ(SlotBytes(table.bytes, 3), Record(0x00FFA25D, 0x00, 0x00, 0x80));
  EXPECT_EQ(SlotBytes(table.bytes, 4), Record(0, 0, 0, 0));
  // trailer value, count, 100 and 15 units, spare byte
  EXPECT_EQ(std::vector<uint8_t>(table.bytes.begin() + 350, table.bytes.end()),
            (std::vector<uint8_t>{0x00, 0x00, 4, 100, 15, 0}));
  EXPECT_EQ(table.slotLines, (std::vector<int>{4, 4, 5, 6}));
}

TEST(KeyMapLayout, CountLeavesOutTheLastKeysFillerAndDefaultsAreTheMonitorsOwn) {
  const CompiledKeyTable table = Compile("1 A\n2 B ALT C  # flag words ignore case like key names\n");
  EXPECT_EQ(SlotBytes(table.bytes, 2), Record(FILLER_CODE, 0x06, 0, 0));
  EXPECT_EQ(std::vector<uint8_t>(table.bytes.begin() + 350, table.bytes.end()),
            (std::vector<uint8_t>{0x00, 0x00, 2, 62, 25, 0}));
}

// A key whose alternate is another key of the map takes that key's record along as its
// alternate instead of a filler, where moving that key changes nothing the monitor does.
struct ArrangeCase {
  const char* name;
  const char* map;
  std::vector<uint32_t> codes;  // the records' codes in file order (F: a filler)
  uint8_t count;
};

class KeyMapArrangement : public ::testing::TestWithParam<ArrangeCase> {};

TEST_P(KeyMapArrangement, RecordsInFileOrder) {
  const CompiledKeyTable table = Compile(GetParam().map);
  std::vector<uint32_t> codes;
  for (size_t slot = 0; slot < table.slotLines.size(); ++slot) {
    const std::vector<uint8_t> record = SlotBytes(table.bytes, slot);
    codes.push_back(static_cast<uint32_t>(record[0]) << 24 | record[1] << 16 | record[2] << 8 | record[3]);
  }
  EXPECT_EQ(codes, GetParam().codes);
  EXPECT_EQ(table.bytes[352], GetParam().count);
}

constexpr uint32_t F = FILLER_CODE;

INSTANTIATE_TEST_SUITE_P(
    Maps, KeyMapArrangement,
    ::testing::Values(
        ArrangeCase{"NextLineIsTheAlternate", "0x2 prefix\n0x1 A alt B\n0x3 B\n", {2, 1, 3}, 3},
        ArrangeCase{"LaterLineMovesUp", "0x1 A alt LShift+B\n0x5 C\n0x3 LShift+B\n", {1, 3, 5}, 3},
        ArrangeCase{"AChainOfAlternates", "0x1 A alt B\n0x4 C\n0x3 B alt C\n", {1, 3, 4}, 3},
        ArrangeCase{"NoMoveForACodeOnTwoLines", "0x1 A alt B\n0x3 B\n0x3 C\n", {1, F, 3, 3}, 4},
        ArrangeCase{"NoMoveOfAnotherKeysAlternate", "0x1 A alt B\n0x5 C alt next\n0x3 B\n", {1, F, 5, 3}, 4},
        ArrangeCase{"NoMoveOfAnAltNextKey", "0x1 A alt B\n0x3 B alt next\n0x6 D\n", {1, F, 3, 6}, 4},
        ArrangeCase{"DifferentModifiersAreAnotherKey", "0x1 A alt B\n0x3 LCtrl+B\n", {1, F, 3}, 3},
        ArrangeCase{"LastKeysFillerPastTheCount", "0x1 A\n0x2 B alt C\n", {1, 2, F}, 2}),
    [](const ::testing::TestParamInfo<ArrangeCase>& info) { return std::string(info.param.name); });

TEST(KeyMapLayout, SharedAlternatesLetMoreKeysFit) {
  // 40 keys, ten of them with an alternate that is another of the keys: 40 records, not 50.
  std::string map;
  for (int i = 0; i < 40; ++i) {
    char line[64];
    if (i < 10)
      std::snprintf(line, sizeof line, "0x%02X KP_%d alt F%d\n", i, i == 0 ? 0 : i, i + 1);
    else if (i < 22)
      std::snprintf(line, sizeof line, "0x%02X F%d\n", i, i - 9);
    else
      std::snprintf(line, sizeof line, "0x%02X LCtrl+0x%02X\n", i, i);
    map += line;
  }
  const CompiledKeyTable table = Compile(map);
  EXPECT_EQ(table.slotLines.size(), 40u);
  EXPECT_EQ(SlotBytes(table.bytes, 1), Record(10, 0x3A, 0, 0));  // KP_0's alternate F1 is line 11's record
}

TEST(KeyMapLayout, ExactFormsSetEveryByte) {
  const CompiledKeyTable table = Compile(
      "size 360\ncount -3\ntrailer-value 0x1280\nspare-byte 0xEE\nprefix-timeout -2560ms\n"
      "repeat-threshold 2540 ms\n"
      "0x12345678 LShift+0x64 prefix alt next bits 0x21\n"
      "0xFFFFFFFF none\n"
      "data 357 0a 0xFF\n");
  EXPECT_EQ(table.bytes.size(), 360u);
  EXPECT_EQ(SlotBytes(table.bytes, 0), Record(0x12345678, 0x64, 0x02, 0xE1));
  EXPECT_EQ(SlotBytes(table.bytes, 1), Record(0xFFFFFFFF, 0, 0, 0));
  EXPECT_EQ(std::vector<uint8_t>(table.bytes.begin() + 350, table.bytes.end()),
            (std::vector<uint8_t>{0x12, 0x80, 0xFD, 0x80, 0x7F, 0xEE, 0x00, 0x0A, 0xFF, 0x00}));
}

TEST(KeyMapLayout, ShortSizeHoldsWholeRecordsAndDataAfterThem) {
  const CompiledKeyTable table = Compile("size 17\n0x01 A\n0x02 B\ndata 14 01 02 03\n");
  ASSERT_EQ(table.bytes.size(), 17u);
  EXPECT_EQ(SlotBytes(table.bytes, 1), Record(0x02, 0x05, 0, 0));
  EXPECT_EQ(std::vector<uint8_t>(table.bytes.begin() + 14, table.bytes.end()), (std::vector<uint8_t>{1, 2, 3}));
}

// Errors: the tool prints each with its place, writes nothing, and says so.
struct ErrorCase {
  std::string map;
  const char* expected;  // the first line of standard error
};

class KeyMapErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(KeyMapErrors, NamePlaceAndExpectationAndWriteNothing) {
  FakeToolEnvironment env;
  env.Put("map.txt", GetParam().map);
  EXPECT_EQ(env.Run({"compile", "map.txt", "-o", "out.bin"}), EXIT_FAILED);
  EXPECT_EQ(env.writes, 0);
  EXPECT_EQ(env.files.count("out.bin"), 0u);
  ASSERT_FALSE(env.err.empty());
  EXPECT_EQ(env.err.substr(0, env.err.find('\n')), GetParam().expected);
  EXPECT_NE(env.err.find("keytable: nothing written to out.bin\n"), std::string::npos) << env.err;
}

std::string Lines(int n, const char* line) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%02X ", i + 1);
    text += code + std::string(line) + "\n";
  }
  return text;
}

const std::string kFiftyOneKeys = Lines(51, "A");
const std::string kFilledBeforeAlternate = Lines(49, "A") + "0x99 B alt C\n";
const std::string kLateSize = "0x01 A\n0x02 B\n0x03 C\nsize 20\n";

INSTANTIATE_TEST_SUITE_P(
    Messages, KeyMapErrors,
    ::testing::Values(
        ErrorCase{"0x00FF30CF Entr\n",
                  "map.txt:1:12: error: expected a key name (like A, 1, Enter, F5, Up, KP_Plus or LCtrl+C), a "
                  "modifier or a usage code 0x00 to 0xFF, found 'Entr'"},
        ErrorCase{"\n  0x1 LCtrl+Entr  # x\n",
                  "map.txt:2:13: error: expected a key name (like A, 1, Enter, F5, Up, KP_Plus or LCtrl+C), a "
                  "modifier or a usage code 0x00 to 0xFF, found 'Entr'"},
        ErrorCase{"0x123456789 A\n",
                  "map.txt:1:1: error: expected a raw code in hex (like 0x00FF30CF) or a setting (prefix-timeout, "
                  "repeat-threshold, count, trailer-value, spare-byte, size, data), found '0x123456789'"},
        ErrorCase{"0x1\n",
                  "map.txt:1:4: error: expected a key name (like A, 1, Enter, F5, Up, KP_Plus or LCtrl+C) or prefix "
                  "after the code, found the end of the line"},
        ErrorCase{"0x1 A alt\n",
                  "map.txt:1:10: error: expected a key name (like A, 1, Enter, F5, Up, KP_Plus or LCtrl+C), a "
                  "modifier or a usage code 0x00 to 0xFF, found the end of the line"},
        ErrorCase{"0x1 LShift+\n",
                  "map.txt:1:12: error: expected a key name (like A, 1, Enter, F5, Up, KP_Plus or LCtrl+C), a "
                  "modifier or a usage code 0x00 to 0xFF, found nothing where '+' needs a key on each side"},
        ErrorCase{"0x1 Alt B\n",
                  "map.txt:1:5: error: expected a key name (like A, 1, Enter, F5, Up, KP_Plus or LCtrl+C) or prefix "
                  "after the code, found 'Alt' (the Alt key alone is LAlt)"},
        ErrorCase{std::string("\xFF\xFE" "0\0x\0", 6), "map.txt:1:1: error: the map is UTF-16 text; save it as UTF-8 or ANSI"},
        ErrorCase{std::string("0x1 A\n\x01\x02\0\x03\n", 10),
                  "map.txt:2: error: a NUL byte: this looks like a key table file, not a key map (a key table "
                  "file's name ends in .bin)"},
        ErrorCase{"0x1 A twice\n",
                  "map.txt:1:7: error: unexpected 'twice': expected prefix, alt KEY, alt next or bits 0xNN"},
        ErrorCase{"0x1 prefix prefix\n", "map.txt:1:12: error: 'prefix' is given twice"},
        ErrorCase{"0x1 A bits 0x40\n",
                  "map.txt:1:12: error: expected flag bits from 0x00 to 0x3F (0x80 is prefix, 0x40 is alt), "
                  "found '0x40'"},
        ErrorCase{"prefix-timeout 2550 ms\n",
                  "map.txt:1:16: error: expected a time in milliseconds from -2560 to 2540, found 2550 ms"},
        ErrorCase{"repeat-threshold soon\n",
                  "map.txt:1:18: error: expected a time in milliseconds from -2560 to 2540, found 'soon'"},
        ErrorCase{"repeat-threshold 100 ms later\n",
                  "map.txt:1:25: error: unexpected 'later' after repeat-threshold's value"},
        ErrorCase{"count 10\ncount 11\n", "map.txt:2:1: error: count is already set on line 1"},
        ErrorCase{"count 128\n", "map.txt:1:7: error: expected an entry count from -128 to 127, found '128'"},
        ErrorCase{"size 2000000\n",
                  "map.txt:1:6: error: expected a file size in bytes from 0 to 1048576, found '2000000'"},
        ErrorCase{"data 356\n",
                  "map.txt:1:9: error: expected the data bytes in hex after the offset, found the end of the line"},
        ErrorCase{"size 360\ndata 358 01 GG\n",
                  "map.txt:2:13: error: expected a byte in hex (00 to FF), found 'GG'"},
        ErrorCase{"data 300 01\n",
                  "map.txt:1:1: error: this 356-byte file has no room for data after its records and trailer"},
        ErrorCase{"size 400\ndata 399 01 02\n",
                  "map.txt:2:1: error: data must lie in offsets 356 to 399 of this 400-byte file, after its records "
                  "and trailer"},
        ErrorCase{"size 100\nprefix-timeout 1000\n",
                  "map.txt:2:1: error: a file of 100 bytes has no trailer (that needs 356 bytes), so it cannot hold "
                  "prefix-timeout"},
        ErrorCase{kFiftyOneKeys.c_str(),
                  "map.txt:51:1: error: no slot left: a key table holds 50 records, and the keys before this one "
                  "fill them (a key whose alternate needs a filler record takes two)"},
        ErrorCase{kFilledBeforeAlternate.c_str(),
                  "map.txt:50:1: error: no slot left: a key table holds 50 records; this key takes the last, and its "
                  "alternate needs a filler record after it"},
        ErrorCase{kLateSize.c_str(), "map.txt:3:1: error: no slot left: a file of 20 bytes holds 2 records"}));

TEST(KeyMapErrors, EveryLineIsReportedAndCounted) {
  FakeToolEnvironment env;
  env.Put("map.txt", "0x1 Entr\r\n0x2 A\r\nzz B\r\n");
  EXPECT_EQ(env.Run({"compile", "map.txt"}), EXIT_FAILED);
  EXPECT_NE(env.err.find("map.txt:1:5: error:"), std::string::npos);
  EXPECT_NE(env.err.find("map.txt:3:1: error:"), std::string::npos);
  EXPECT_NE(env.err.find("keytable: map.txt: 2 errors\n"), std::string::npos);
  EXPECT_EQ(env.files.count("tamoirtbl.bin"), 0u);
}

TEST(KeyMapWarnings, RoundedTimesAreSaidAndTheFileIsWritten) {
  FakeToolEnvironment env;
  env.Put("map.txt", "\xEF\xBB\xBFprefix-timeout 1250 ms\n0x1 A\n");
  EXPECT_EQ(env.Run({"compile", "map.txt", "-o", "t.bin"}), EXIT_OK);
  EXPECT_EQ(env.err, "map.txt:1:16: warning: 1250 ms is rounded to 1260 ms (20 ms steps)\n");
  EXPECT_EQ(env.files.at("t.bin")[353], 63);
  EXPECT_EQ(env.out,
            "wrote t.bin (356 bytes): 1 key (0 with an alternate), 0 prefix keys; prefix time-out 1260 ms, repeat "
            "threshold 500 ms\n");
}

}  // namespace
}  // namespace keytable
