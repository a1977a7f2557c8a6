// Loading the key table file: sizes, trailer values, traces, log lines and failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "KeyTableFile.h"
#include "MonitorFakes.h"
#include "MonitorGlobals.h"
#include "StatusCodes.h"

namespace wendle {
namespace {

using fakes::FakePlatform;
using fakes::ScriptedIo;

// Record i of the test files: raw code 10 20 30 i, usage 4 + i, modifiers i & 7, no flags.
void PutRecord(std::vector<uint8_t>& file, size_t i) {
  uint8_t record[7] = {0x10, 0x20, 0x30, static_cast<uint8_t>(i), static_cast<uint8_t>(4 + i),
                       static_cast<uint8_t>(i & 7), 0x00};
  for (size_t b = 0; b < 7 && 7 * i + b < file.size(); ++b) file[7 * i + b] = record[b];
}

struct Trailer {
  uint8_t byHigh = 0x12, byLow = 0x34, byCount = 10, byTimeout = 0x30, byThreshold = 0x10;
};

// A file of size bytes: records as far as they go, the trailer if it fits, 0xEE after byte 355.
std::vector<uint8_t> KeyFile(size_t size, Trailer trailer = {}) {
  std::vector<uint8_t> file(size, 0xEE);
  for (size_t i = 0; i < 50; ++i) PutRecord(file, i);
  uint8_t tail[6] = {trailer.byHigh, trailer.byLow, trailer.byCount, trailer.byTimeout,
                     trailer.byThreshold, 0x5A};
  for (size_t b = 0; b < 6 && 350 + b < size; ++b) file[350 + b] = tail[b];
  return file;
}

std::string RecordTrace(size_t i) {
  char line[64];
  std::snprintf(line, sizeof line, "10 20 30 %02X %02X %02X 00", static_cast<unsigned>(i),
                static_cast<unsigned>(4 + i), static_cast<unsigned>(i & 7));
  return line;
}

class KeyTableFileTest : public ::testing::Test {
 protected:
  void SetUp() override { platform.OpenLog(); }
  std::string Log() const { return platform.files.ContentsText(FakePlatform::kLogPath); }
  // The limits a previous load left, to see which loads keep them.
  void SetEarlierLimits() {
    g_keyTable.trailerValue = 0x4242;
    g_keyTable.prefixTimeout = 7;
    g_keyTable.repeatThreshold = 9;
    g_keyTable.entryCount = 3;
  }
  FakePlatform platform;
};

struct SizeCase {
  size_t size;
  bool bShortMessage;
  int32_t entryCount;
  int32_t records;  // slots written and traced
  uint16_t trailerValue;
  int32_t prefixTimeout;
  int32_t repeatThreshold;
};

class KeyTableFileSizeTest : public KeyTableFileTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(KeyTableFileSizeTest, TakesRecordsAndLimitsBySize) {
  const SizeCase& c = GetParam();
  SetEarlierLimits();
  platform.files.AddFile(FakePlatform::kKeyTablePath, KeyFile(c.size));

  EXPECT_EQ(LoadIRTable(), RESULT_OK);

  EXPECT_EQ(g_keyTable.entryCount, c.entryCount);
  EXPECT_EQ(g_keyTable.trailerValue, c.trailerValue);
  EXPECT_EQ(g_keyTable.prefixTimeout, c.prefixTimeout);
  EXPECT_EQ(g_keyTable.repeatThreshold, c.repeatThreshold);
  for (int32_t i = 0; i < c.records; ++i) {
    EXPECT_EQ(g_keyTable.entries[i].rawCode, 0x10203000u + i) << "slot " << i;
    EXPECT_EQ(g_keyTable.entries[i].keyUsage, 4 + i);
    EXPECT_EQ(g_keyTable.entries[i].modifierBits, i & 7);
    EXPECT_EQ(g_keyTable.entries[i].entryFlags, 0);
  }
  if (c.records < 50) {
    EXPECT_EQ(g_keyTable.entries[c.records].rawCode, 0u) << "slot not loaded";
  }

  std::string expectedLog;
  if (c.bShortMessage)
    expectedLog = "LoadIRTable: File Size is small than 356: " + std::to_string(c.size) + "\n\r\n";
  EXPECT_EQ(Log(), expectedLog);

  std::vector<std::string> traces = {"C:\\windows\\System32\\tamoirtbl.bin", "Load IR Table"};
  for (int32_t i = 0; i < c.records; ++i) traces.push_back(RecordTrace(i));
  char trailer[64];
  std::snprintf(trailer, sizeof trailer, "%04X %02X %02X %02X", unsigned{c.trailerValue},
                static_cast<unsigned>(c.entryCount), static_cast<unsigned>(c.prefixTimeout),
                static_cast<unsigned>(c.repeatThreshold));
  traces.push_back(trailer);
  EXPECT_EQ(platform.debug.Narrowed(), traces);
  EXPECT_EQ(platform.files.OpenHandleCount(), 1) << "only the log stays open";
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, KeyTableFileSizeTest,
    ::testing::Values(SizeCase{0, true, 0, 0, 0x7FFF, 62, 25},
                      SizeCase{6, true, 0, 0, 0x7FFF, 62, 25},
                      SizeCase{7, true, 1, 1, 0x7FFF, 62, 25},
                      SizeCase{13, true, 1, 1, 0x7FFF, 62, 25},
                      SizeCase{14, true, 2, 2, 0x7FFF, 62, 25},
                      SizeCase{350, true, 50, 50, 0x7FFF, 62, 25},
                      SizeCase{355, true, 50, 50, 0x7FFF, 62, 25},
                      SizeCase{356, false, 10, 50, 0x1234, 0x30, 0x10},
                      SizeCase{400, false, 10, 50, 0x1234, 0x30, 0x10}),
    [](const ::testing::TestParamInfo<SizeCase>& info) {
      return "Bytes" + std::to_string(info.param.size);
    });

struct TrailerCase {
  const char* name;
  Trailer trailer;
  int32_t entryCount;
  uint16_t trailerValue;
  int32_t prefixTimeout;
  int32_t repeatThreshold;
  const char* trace;
};

class KeyTableTrailerTest : public KeyTableFileTest,
                            public ::testing::WithParamInterface<TrailerCase> {};

TEST_P(KeyTableTrailerTest, ReadsTrailerAsSignedBytes) {
  const TrailerCase& c = GetParam();
  platform.files.AddFile(FakePlatform::kKeyTablePath, KeyFile(356, c.trailer));

  EXPECT_EQ(LoadIRTable(), RESULT_OK);

  EXPECT_EQ(g_keyTable.entryCount, c.entryCount);
  EXPECT_EQ(g_keyTable.trailerValue, c.trailerValue);
  EXPECT_EQ(g_keyTable.prefixTimeout, c.prefixTimeout);
  EXPECT_EQ(g_keyTable.repeatThreshold, c.repeatThreshold);
  EXPECT_EQ(platform.debug.Narrowed().back(), c.trace);
  // All 50 records are taken whatever the count says.
  EXPECT_EQ(g_keyTable.entries[49].rawCode, 0x10203031u);
}

INSTANTIATE_TEST_SUITE_P(
    Trailers, KeyTableTrailerTest,
    ::testing::Values(
        TrailerCase{"Count10", {0x12, 0x34, 10, 0x30, 0x10}, 10, 0x1234, 0x30, 0x10, "1234 0A 30 10"},
        TrailerCase{"Count0", {0x12, 0x34, 0, 0x30, 0x10}, 0, 0x1234, 0x30, 0x10, "1234 00 30 10"},
        TrailerCase{"Count0x80IsNegative", {0x12, 0x34, 0x80, 62, 25}, -128, 0x1234, 62, 25,
                    "1234 FFFFFF80 3E 19"},
        TrailerCase{"Count0xFF", {0x12, 0x34, 0xFF, 62, 25}, -1, 0x1234, 62, 25, "1234 FFFFFFFF 3E 19"},
        // Counts above the 50 slots are kept as stated; the decoder never scans past slot 49.
        TrailerCase{"Count51", {0x12, 0x34, 51, 62, 25}, 51, 0x1234, 62, 25, "1234 33 3E 19"},
        TrailerCase{"Count100", {0x12, 0x34, 100, 62, 25}, 100, 0x1234, 62, 25, "1234 64 3E 19"},
        TrailerCase{"Count127", {0x12, 0x34, 127, 62, 25}, 127, 0x1234, 62, 25, "1234 7F 3E 19"},
        TrailerCase{"NegativeTimeout", {0x12, 0x34, 10, 0xF0, 25}, 10, 0x1234, -16, 25,
                    "1234 0A FFFFFFF0 19"},
        TrailerCase{"NegativeThreshold", {0x12, 0x34, 10, 62, 0x80}, 10, 0x1234, 62, -128,
                    "1234 0A 3E FFFFFF80"},
        TrailerCase{"LowByteSignedLowersHighByte", {0x12, 0x80, 10, 62, 25}, 10, 0x1180, 62, 25,
                    "1180 0A 3E 19"},
        TrailerCase{"LowByte0xFF", {0x12, 0xFF, 10, 62, 25}, 10, 0x11FF, 62, 25, "11FF 0A 3E 19"},
        TrailerCase{"ZeroHighNegativeLow", {0x00, 0x80, 10, 62, 25}, 10, 0xFF80, 62, 25,
                    "FF80 0A 3E 19"},
        TrailerCase{"HighByteAbove0x7F", {0xFE, 0x01, 10, 62, 25}, 10, 0xFE01, 62, 25,
                    "FE01 0A 3E 19"}),
    [](const ::testing::TestParamInfo<TrailerCase>& info) { return std::string(info.param.name); });

struct RecordCase {
  const char* name;
  uint8_t record[7];
  uint32_t rawCode;
  int32_t keyUsage;
  int32_t modifierBits;
  uint8_t entryFlags;
  const char* trace;
};

class KeyTableRecordTest : public KeyTableFileTest,
                           public ::testing::WithParamInterface<RecordCase> {};

TEST_P(KeyTableRecordTest, ConvertsAndTracesRecord) {
  const RecordCase& c = GetParam();
  std::vector<uint8_t> file(7);
  std::copy(c.record, c.record + 7, file.begin());
  platform.files.AddFile(FakePlatform::kKeyTablePath, file);

  LoadIRTable();

  const KeyTableEntry& entry = g_keyTable.entries[0];
  EXPECT_EQ(entry.rawCode, c.rawCode);
  EXPECT_EQ(entry.keyUsage, c.keyUsage);
  EXPECT_EQ(entry.modifierBits, c.modifierBits);
  EXPECT_EQ(entry.entryFlags, c.entryFlags);
  EXPECT_EQ(platform.debug.Narrowed().at(2), c.trace);
}

INSTANTIATE_TEST_SUITE_P(
    Records, KeyTableRecordTest,
    ::testing::Values(
        RecordCase{"BigEndianCode", {0x12, 0x34, 0x56, 0x78, 0x1E, 0x00, 0x00}, 0x12345678, 0x1E, 0, 0,
                   "12 34 56 78 1E 00 00"},
        RecordCase{"HighCodeByte", {0xFF, 0x00, 0x00, 0x01, 0x04, 0x02, 0x40}, 0xFF000001, 4, 2, 0x40,
                   "FF 00 00 01 04 02 40"},
        RecordCase{"UsageWidenedSigned", {0x00, 0x00, 0x00, 0x05, 0x80, 0x00, 0x00}, 5, -128, 0, 0,
                   "00 00 00 05 FFFFFF80 00 00"},
        RecordCase{"ModifiersWidenedSigned", {0xAB, 0xCD, 0xEF, 0x01, 0x28, 0xFF, 0xC0}, 0xABCDEF01,
                   0x28, -1, 0xC0, "AB CD EF 01 28 FFFFFFFF C0"},
        RecordCase{"FlagsUnchanged", {0x00, 0x00, 0x00, 0x00, 0x7F, 0x81, 0xFF}, 0, 0x7F, -127, 0xFF,
                   "00 00 00 00 7F FFFFFF81 FF"}),
    [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

TEST_F(KeyTableFileTest, MissingFileLogsOpenResultAndLeavesLimits) {
  SetEarlierLimits();

  EXPECT_EQ(LoadIRTable(), static_cast<int32_t>(0x80070006u));

  EXPECT_EQ(Log(), "LoadIRTable failed: 0x80070002\n\r\n");
  EXPECT_EQ(g_keyTable.entryCount, 0);
  EXPECT_EQ(g_keyTable.trailerValue, 0x4242);
  EXPECT_EQ(g_keyTable.prefixTimeout, 7);
  EXPECT_EQ(g_keyTable.repeatThreshold, 9);
  EXPECT_EQ(platform.debug.Narrowed(),
            std::vector<std::string>{"C:\\windows\\System32\\tamoirtbl.bin"});
}

TEST_F(KeyTableFileTest, OpenRefusedLogsItsError) {
  platform.files.AddFile(FakePlatform::kKeyTablePath, KeyFile(356));
  platform.files.FailOpen(FakePlatform::kKeyTablePath, 5);

  EXPECT_EQ(LoadIRTable(), RESULT_E_HANDLE);
  EXPECT_EQ(Log(), "LoadIRTable failed: 0x80070005\n\r\n");
}

TEST_F(KeyTableFileTest, OverLongReadLogsTwiceAndLeavesTableEmpty) {
  SetEarlierLimits();
  platform.files.AddFile(FakePlatform::kKeyTablePath, KeyFile(356));
  platform.system.lastError = 0x1F;
  platform.files.ScriptRead(ScriptedIo{true, 0, 357u});

  EXPECT_EQ(LoadIRTable(), static_cast<int32_t>(0x80004005u));

  EXPECT_EQ(Log(), "HandleWriteFailure 0x1f\r\nLoadIRTable: File Size readed is over!\n\r\n");
  EXPECT_EQ(g_keyTable.entryCount, 0);
  EXPECT_EQ(g_keyTable.prefixTimeout, 7);
  EXPECT_EQ(g_keyTable.repeatThreshold, 9);
  EXPECT_EQ(g_keyTable.trailerValue, 0x4242);
  EXPECT_EQ(platform.files.OpenHandleCount(), 1) << "the key table file is closed again";
  EXPECT_EQ(platform.debug.Narrowed().size(), 1u) << "only the path is traced";
}

TEST_F(KeyTableFileTest, OverLongReadOfShortFileIsRejected) {
  platform.files.AddFile(FakePlatform::kKeyTablePath, KeyFile(20));
  platform.files.ScriptRead(ScriptedIo{false, 38, 21u});

  EXPECT_EQ(LoadIRTable(), RESULT_E_FAIL);
  EXPECT_EQ(Log(),
            "LoadIRTable: File Size is small than 356: 20\n\r\n"
            "HandleWriteFailure 0x26\r\n"
            "LoadIRTable: File Size readed is over!\n\r\n");
  EXPECT_EQ(g_keyTable.entryCount, 0);
}

TEST_F(KeyTableFileTest, FailedFullReadUsesZerosForUnreadBytes) {
  platform.files.AddFile(FakePlatform::kKeyTablePath, KeyFile(356));
  platform.files.ScriptRead(ScriptedIo{false, 23, 0u, false});

  EXPECT_EQ(LoadIRTable(), RESULT_OK);

  EXPECT_EQ(Log(), "HandleWriteFailure 0x17\r\n");
  for (const KeyTableEntry& entry : g_keyTable.entries) {
    EXPECT_EQ(entry.rawCode, 0u);
    EXPECT_EQ(entry.keyUsage, 0);
  }
  EXPECT_EQ(g_keyTable.entryCount, 0);
  EXPECT_EQ(g_keyTable.prefixTimeout, 0);
  EXPECT_EQ(platform.debug.Narrowed().back(), "0000 00 00 00");
}

TEST_F(KeyTableFileTest, ShortReadOfShortFileTakesWhatWasReportedWithZeros) {
  // The read claims 14 bytes but delivers none: two records, both zero, never stack garbage.
  platform.files.AddFile(FakePlatform::kKeyTablePath, KeyFile(100));
  platform.files.ScriptRead(ScriptedIo{false, 30, 14u, false});

  EXPECT_EQ(LoadIRTable(), RESULT_OK);

  EXPECT_EQ(g_keyTable.entryCount, 2);
  EXPECT_EQ(g_keyTable.entries[0].rawCode, 0u);
  EXPECT_EQ(g_keyTable.entries[1].rawCode, 0u);
  EXPECT_EQ(g_keyTable.prefixTimeout, 62);
  EXPECT_EQ(Log(), "LoadIRTable: File Size is small than 356: 100\n\r\nHandleWriteFailure 0x1e\r\n");
}

TEST_F(KeyTableFileTest, ShortFileCountsRecordsFromBytesRead) {
  platform.files.AddFile(FakePlatform::kKeyTablePath, KeyFile(100));
  platform.files.ScriptRead(ScriptedIo{true, 0, 30u});

  EXPECT_EQ(LoadIRTable(), RESULT_OK);
  EXPECT_EQ(g_keyTable.entryCount, 4);
}

struct HugeCase {
  const char* name;
  uint32_t reportedSize;
};

class KeyTableHugeFileTest : public KeyTableFileTest,
                             public ::testing::WithParamInterface<HugeCase> {};

TEST_P(KeyTableHugeFileTest, ReadsOnlyTheBytesTheTableNeeds) {
  platform.files.AddFile(FakePlatform::kKeyTablePath, KeyFile(400));
  platform.files.OverrideSize(FakePlatform::kKeyTablePath, GetParam().reportedSize);

  EXPECT_EQ(LoadIRTable(), RESULT_OK);

  EXPECT_LE(platform.files.LargestReadRequest(), 356u);
  EXPECT_EQ(g_keyTable.entryCount, 10);
  EXPECT_EQ(g_keyTable.trailerValue, 0x1234);
  EXPECT_EQ(g_keyTable.entries[49].rawCode, 0x10203031u);
  EXPECT_EQ(Log(), "");
}

INSTANTIATE_TEST_SUITE_P(Huge, KeyTableHugeFileTest,
                         ::testing::Values(HugeCase{"OneMegabyte", 1u << 20},
                                           HugeCase{"ThreeGigabytes", 0xC0000000u},
                                           HugeCase{"SizeUnknown", 0xFFFFFFFFu}),
                         [](const ::testing::TestParamInfo<HugeCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(KeyTableFileTest, ShorterReloadKeepsLaterSlots) {
  platform.files.AddFile(FakePlatform::kKeyTablePath, KeyFile(356));
  LoadIRTable();
  std::vector<uint8_t> oneRecord = {0xDE, 0xAD, 0xBE, 0xEF, 0x29, 0x00, 0x00};
  platform.files.AddFile(FakePlatform::kKeyTablePath, oneRecord);

  LoadIRTable();

  EXPECT_EQ(g_keyTable.entryCount, 1);
  EXPECT_EQ(g_keyTable.entries[0].rawCode, 0xDEADBEEFu);
  EXPECT_EQ(g_keyTable.entries[1].rawCode, 0x10203001u) << "slot 1 keeps the earlier load";
  EXPECT_EQ(g_keyTable.entries[49].rawCode, 0x10203031u);
}

TEST_F(KeyTableFileTest, PathFollowsWindowsDirectory) {
  platform.wow64.windowsDirectory = u"D:\\WINNT";
  platform.files.AddFile(u"D:\\WINNT\\System32\\tamoirtbl.bin", KeyFile(7));

  EXPECT_EQ(LoadIRTable(), RESULT_OK);
  EXPECT_EQ(platform.debug.Narrowed().at(0), "D:\\WINNT\\System32\\tamoirtbl.bin");
  EXPECT_EQ(g_keyTable.entryCount, 1);
}

TEST_F(KeyTableFileTest, LongestPathThatFitsIsOpened) {
  // 232 characters of directory + 23 of "\System32\tamoirtbl.bin" = 255, the most the buffer holds.
  std::u16string directory = u"C:\\" + std::u16string(229, u'd');
  platform.wow64.windowsDirectory = directory;
  platform.files.AddFile(directory + u"\\System32\\tamoirtbl.bin", KeyFile(7));

  EXPECT_EQ(LoadIRTable(), RESULT_OK);
  EXPECT_EQ(g_keyTable.entryCount, 1);
}

struct NoPathCase {
  const char* name;
  size_t directoryLength;
  std::optional<uint32_t> result;
};

class KeyTableNoPathTest : public KeyTableFileTest,
                           public ::testing::WithParamInterface<NoPathCase> {};

TEST_P(KeyTableNoPathTest, OpensNothingWithoutAWholePath) {
  platform.wow64.windowsDirectory = u"C:\\" + std::u16string(GetParam().directoryLength - 3, u'd');
  platform.wow64.windowsDirectoryResult = GetParam().result;
  SetEarlierLimits();

  EXPECT_EQ(LoadIRTable(), RESULT_E_HANDLE);

  EXPECT_EQ(Log(), "LoadIRTable failed: 0x7b\n\r\n");
  EXPECT_EQ(g_keyTable.entryCount, 0);
  EXPECT_EQ(g_keyTable.prefixTimeout, 7);
  for (const std::string& event : platform.system.events)
    EXPECT_NE(event.rfind("Open C:", 0), 0u) << event;
}

INSTANTIATE_TEST_SUITE_P(NoPath, KeyTableNoPathTest,
                         ::testing::Values(NoPathCase{"DirectoryOneTooLong", 233, std::nullopt},
                                           NoPathCase{"DirectoryFillsBuffer", 255, std::nullopt},
                                           NoPathCase{"DirectoryTooLongForBuffer", 300, std::nullopt},
                                           NoPathCase{"DirectoryNotRead", 10, 0u}),
                         [](const ::testing::TestParamInfo<NoPathCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(KeyTableFileTest, Wow64LoadSwitchesRedirectionAroundTheOpen) {
  platform.wow64.bWow64 = 1;
  platform.files.AddFile(FakePlatform::kKeyTablePath, KeyFile(7));
  platform.system.events.clear();

  EXPECT_EQ(LoadIRTable(), RESULT_OK);

  std::vector<std::string> expected = {"LookupIsWow64Process",
                                       "IsWow64Process",
                                       "LoadRedirectionSwitch",
                                       "DisableRedirection",
                                       "Open C:\\windows\\System32\\tamoirtbl.bin read",
                                       "RevertRedirection",
                                       "ReleaseRedirectionSwitch",
                                       "Write 44",  // the short-file line and its CR LF
                                       "Write 2",
                                       "Read 7",
                                       "Close C:\\windows\\System32\\tamoirtbl.bin"};
  EXPECT_EQ(platform.system.events, expected);
  std::vector<std::string> traces = {"C:\\windows\\System32\\tamoirtbl.bin",
                                     "Disable WOW64 Redirection", "Load IR Table",
                                     RecordTrace(0), "7FFF 01 3E 19"};
  EXPECT_EQ(platform.debug.Narrowed(), traces);
}

TEST_F(KeyTableFileTest, WithoutLogTheLinesAreLost) {
  platform.files.Close(g_hLogFile);
  g_hLogFile = INVALID_FILE_HANDLE;
  int writesBefore = platform.files.WriteCallCount();

  EXPECT_EQ(LoadIRTable(), RESULT_E_HANDLE);
  EXPECT_EQ(platform.files.WriteCallCount(), writesBefore);
}

}  // namespace
}  // namespace wendle
