// Decompiling then compiling gives the file's bytes back, whatever they are; compiling then
// decompiling a map keeps its meaning.
#include <gtest/gtest.h>

#include <random>

#include "KeyMapCompiler.h"
#include "KeyMapText.h"
#include "KeyTableCheck.h"
#include "KeyTableDecompiler.h"

namespace keytable {
namespace {

std::vector<uint8_t> CompileText(const std::string& text, std::string* pError) {
  KeyMapSource source;
  std::vector<Diagnostic> errors, warnings;
  CompiledKeyTable table;
  if (!ParseKeyMap(text, &source, &errors, &warnings) || !CompileKeyMap(source, &table, &errors)) {
    *pError = FormatDiagnostic("map", errors.at(0), "error");
    return {};
  }
  return table.bytes;
}

void ExpectRoundTrip(const std::vector<uint8_t>& bytes, const std::string& what) {
  std::vector<std::string> warnings;
  const std::string text = DecompileKeyTable(bytes, "t.bin", &warnings);
  std::string error;
  const std::vector<uint8_t> back = CompileText(text, &error);
  ASSERT_EQ(error, "") << what << "\n" << text;
  ASSERT_EQ(back, bytes) << what << "\n" << text;
}

// Random bytes, but with the shapes the decompiler treats specially often enough to matter:
// alternate flags, filler codes after them, runs of empty records.
std::vector<uint8_t> ShapedBytes(std::mt19937& random, size_t size) {
  std::vector<uint8_t> bytes(size);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  for (size_t slot = 0; slot * 7 + 7 <= std::min<size_t>(size, 350); ++slot) {
    uint8_t* record = bytes.data() + slot * 7;
    switch (random() % 6) {
      case 0: std::fill(record, record + 7, 0); break;
      case 1: record[6] = 0x40; break;
      case 2: std::fill(record, record + 4, 0xFF); record[6] = 0; break;
      case 3: record[6] &= 0xC0; record[4] = 0; record[5] = 0; break;
      default: break;
    }
  }
  return bytes;
}

TEST(RoundTrip, EverySizeFrom0To400) {
  std::mt19937 random(20261211);
  for (size_t size = 0; size <= 400; ++size) {
    ExpectRoundTrip(std::vector<uint8_t>(size, 0), "zeros of size " + std::to_string(size));
    ExpectRoundTrip(std::vector<uint8_t>(size, 0xFF), "ones of size " + std::to_string(size));
    for (int i = 0; i < 3; ++i) ExpectRoundTrip(ShapedBytes(random, size), "random of size " + std::to_string(size));
  }
}

TEST(RoundTrip, TrailersOfEveryCountAndLimit) {
  std::mt19937 random(7);
  for (unsigned value = 0; value < 256; ++value) {
    std::vector<uint8_t> bytes = ShapedBytes(random, 356);
    for (size_t i = 350; i < 356; ++i) bytes[i] = static_cast<uint8_t>(value + i);
    ExpectRoundTrip(bytes, "trailer starting " + std::to_string(value));
  }
}

TEST(RoundTrip, AFileOfAMegabyte) {
  std::mt19937 random(3);
  std::vector<uint8_t> bytes = ShapedBytes(random, MAX_FILE_SIZE);
  std::fill(bytes.begin() + 5000, bytes.begin() + 900000, 0);  // zero runs are left out of the text
  ExpectRoundTrip(bytes, "a megabyte");
}

TEST(RoundTrip, ANameWithControlCharactersStaysInItsComment) {
  std::string error;
  const std::vector<uint8_t> bytes = CompileText("0x1 A\n", &error);
  std::vector<std::string> warnings;
  const std::string text = DecompileKeyTable(bytes, "odd\nname\r.bin", &warnings);
  EXPECT_EQ(text.substr(0, text.find('\n')), "# Key map of odd?name?.bin (356 bytes): keytable compile turns it back "
                                             "into the same bytes.");
  EXPECT_EQ(CompileText(text, &error), bytes) << error;
}

// Maps as people write them: compiling, decompiling and compiling again gives the same bytes,
// and the decompiled text of a file the compiler wrote is the plain form.
struct MapCase {
  const char* name;
  const char* map;
  const char* decompiled;  // the record lines and settings the decompiler gives back
};

class MapRoundTrip : public ::testing::TestWithParam<MapCase> {};

TEST_P(MapRoundTrip, CompileDecompileCompile) {
  std::string error;
  const std::vector<uint8_t> bytes = CompileText(GetParam().map, &error);
  ASSERT_EQ(error, "");
  std::vector<std::string> warnings;
  const std::string text = DecompileKeyTable(bytes, "t.bin", &warnings);
  const std::string body = text.substr(text.find('\n') + 1);
  EXPECT_EQ(body, GetParam().decompiled);
  EXPECT_EQ(CompileText(text, &error), bytes) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Maps, MapRoundTrip,
    ::testing::Values(
        MapCase{"Empty", "",
                "# warning: the entry count is 0: the table is empty and the monitor ignores every code\n"
                "prefix-timeout 1240 ms\nrepeat-threshold 500 ms\n"},
        MapCase{"Plain", "prefix-timeout 800ms\n0x00FF30CF 1\n0x00FF02FD  ctrl+shift+enter\n",
                "prefix-timeout 800 ms\nrepeat-threshold 500 ms\n\n# code      key              flags\n"
                "0x00FF30CF  1\n0x00FF02FD  LCtrl+LShift+Enter\n"},
        MapCase{"Alternates", "0x10 KP_1 alt F1\n0x11 prefix\n0x12 Up alt RAlt+Down\n",
                "prefix-timeout 1240 ms\nrepeat-threshold 500 ms\n\n# code      key              flags\n"
                "0x00000010  KP_1             alt F1\n0x00000011  prefix\n"
                "0x00000012  Up               alt RAlt+Down\n"},
        MapCase{"NextLineAlternateAndOddBits", "0x20 A alt next bits 0x01\n0x21 LShift+A\ncount 1\n",
                "prefix-timeout 1240 ms\nrepeat-threshold 500 ms\ncount 1\n\n# code      key              flags\n"
                "0x00000020  A                alt next bits 0x01\n0x00000021  LShift+A\n"},
        MapCase{"AFillerTheCompilerWouldNotWrite",
                "0x1 A alt next\n0xFFFFFFFF B\n0x2 C\n0x3 B\n",
                "prefix-timeout 1240 ms\nrepeat-threshold 500 ms\n\n# code      key              flags\n"
                "0x00000001  A                alt next\n0xFFFFFFFF  B\n0x00000002  C\n0x00000003  B\n"},
        MapCase{"ShortFile", "size 20\n0x1 A\ndata 14 00 00 09\n",
                "# warning: the file has 20 bytes, fewer than 356: the monitor takes its 2 whole records and its "
                "own limits (prefix time-out 1240 ms, repeat threshold 500 ms), and ignores the 6 bytes after them\n"
                "size 20\n\n# code      key              flags\n0x00000001  A\n"
                "\n# bytes the monitor does not read\ndata 14 00 00 09 00 00 00\n"},
        MapCase{"NegativeLimitsAndABigCount", "prefix-timeout -20 ms\nrepeat-threshold -2560\ncount 90\n0x1 A\n",
                "# warning: the entry count is 90, more than the 50 slots: the monitor matches all 50\n"
                "# warning: the prefix time-out is negative (-20 ms): the prefix key's state ends at the next poll, "
                "so no alternate is ever typed\n"
                "# warning: the repeat threshold is negative (-2560 ms): the monitor suppresses no repeated code, "
                "as with 0\n"
                "prefix-timeout -20 ms\nrepeat-threshold -2560 ms\ncount 90\n\n# code      key              flags\n"
                "0x00000001  A\n"}),
    [](const ::testing::TestParamInfo<MapCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keytable
