// The log writer and the failure reporter: line ends, dropped lines, disk full, nested failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DiagnosticLog.h"
#include "FileOpening.h"
#include "MonitorFakes.h"
#include "MonitorGlobals.h"
#include "StatusCodes.h"

namespace wendle {
namespace {

using fakes::FakePlatform;
using fakes::ScriptedIo;

const char16_t kDiskFullText[] =
    u"The disk containing dump file has run out of space, so the dump filter has been stopped."
    u"\r\n\r\nYou must set a new dump file name or restart the graph to clear this filter error.";

class DiagnosticLogTest : public ::testing::Test {
 protected:
  void SetUp() override { platform.OpenLog(); }
  std::string Log() const { return platform.files.ContentsText(FakePlatform::kLogPath); }
  FakePlatform platform;
};

struct LineCase {
  const char* name;
  const char* text;
  std::string stored;
};

class WriteLogLineTest : public DiagnosticLogTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(WriteLogLineTest, AppendsCrLfToTheTextAsGiven) {
  WriteLog(g_hLogFile, GetParam().text);
  EXPECT_EQ(Log(), GetParam().stored);
  EXPECT_TRUE(platform.messageBox.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WriteLogLineTest,
    ::testing::Values(
        LineCase{"TextWithLineFeed", "Menu was not loaded!\n", "Menu was not loaded!\n\r\n"},
        LineCase{"TextWithoutLineFeed", "KeyEvent for SendInput 0x57", "KeyEvent for SendInput 0x57\r\n"},
        LineCase{"WindowNotOpened", "The Wendle can't open\n", "The Wendle can't open\n\r\n"},
        LineCase{"EmptyText", "", "\r\n"}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST_F(DiagnosticLogTest, LinesFollowEachOther) {
  WriteLog(g_hLogFile, "Menu was not loaded!\n");
  WriteLog(g_hLogFile, "KeyEvent for SendInput 0x5");
  EXPECT_EQ(Log(), "Menu was not loaded!\n\r\nKeyEvent for SendInput 0x5\r\n");
}

TEST_F(DiagnosticLogTest, LogIsEmptyAtEveryStart) {
  WriteLog(g_hLogFile, "from the earlier run");
  platform.files.Close(g_hLogFile);
  g_hLogFile = INVALID_FILE_HANDLE;

  EXPECT_EQ(OpenFileNoRedirection(OPEN_FOR_WRITE, FakePlatform::kLogPath.c_str(), g_hLogFile), 0);
  EXPECT_EQ(Log(), "");
  WriteLog(g_hLogFile, "Shortcut menu was not displayed!\n");
  EXPECT_EQ(Log(), "Shortcut menu was not displayed!\n\r\n");
}

TEST_F(DiagnosticLogTest, InvalidHandleDropsTheLine) {
  int writes = platform.files.WriteCallCount();
  WriteLog(INVALID_FILE_HANDLE, "Menu was not loaded!\n");
  EXPECT_EQ(platform.files.WriteCallCount(), writes);
  EXPECT_EQ(Log(), "");
}

struct WriteFailureCase {
  const char* name;
  std::vector<ScriptedIo> writes;  // outcomes of the text write, CR LF write, report writes
  std::string stored;
};

class WriteLogFailureTest : public DiagnosticLogTest,
                            public ::testing::WithParamInterface<WriteFailureCase> {};

TEST_P(WriteLogFailureTest, ReportsTheWriteMadeLast) {
  for (const ScriptedIo& io : GetParam().writes) platform.files.ScriptWrite(io);
  WriteLog(g_hLogFile, "Menu was not loaded!\n");
  EXPECT_EQ(Log(), GetParam().stored);
  EXPECT_TRUE(platform.messageBox.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, WriteLogFailureTest,
    ::testing::Values(
        // A failed text write skips the CR LF; the report line follows.
        WriteFailureCase{"TextWriteFails", {ScriptedIo{false, 5}}, "HandleWriteFailure 0x5\r\n"},
        WriteFailureCase{"CrLfWriteFails",
                         {ScriptedIo{}, ScriptedIo{false, 0x21}},
                         "Menu was not loaded!\nHandleWriteFailure 0x21\r\n"},
        WriteFailureCase{"CrLfWriteShort",
                         {ScriptedIo{}, ScriptedIo{true, 0, 1u}},
                         "Menu was not loaded!\n\rHandleWriteFailure 0x0\r\n"},
        // Only the write made last is judged, so a short text write goes unseen.
        WriteFailureCase{"TextWriteShortThenCrLf",
                         {ScriptedIo{true, 0, 4u}},
                         "Menu\r\n"}),
    [](const ::testing::TestParamInfo<WriteFailureCase>& info) {
      return std::string(info.param.name);
    });

struct ResultCase {
  const char* name;
  uint32_t dwError;
  int32_t result;
  const char* line;
};

class HandleWriteFailureResultTest : public DiagnosticLogTest,
                                     public ::testing::WithParamInterface<ResultCase> {};

TEST_P(HandleWriteFailureResultTest, ConvertsTheLastErrorAndLogsIt) {
  platform.system.lastError = GetParam().dwError;
  EXPECT_EQ(HandleWriteFailure(), GetParam().result);
  EXPECT_EQ(Log(), GetParam().line);
  EXPECT_EQ(platform.messageBox.shown.size(), GetParam().dwError == 112 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Results, HandleWriteFailureResultTest,
    ::testing::Values(
        ResultCase{"NoError", 0, 0, "HandleWriteFailure 0x0\r\n"},
        ResultCase{"AccessDenied", 5, static_cast<int32_t>(0x80070005u), "HandleWriteFailure 0x5\r\n"},
        ResultCase{"DiskFull", 112, static_cast<int32_t>(0x80070070u), "HandleWriteFailure 0x70\r\n"},
        ResultCase{"HighBitsDropped", 0x12345, static_cast<int32_t>(0x80072345u),
                   "HandleWriteFailure 0x12345\r\n"},
        ResultCase{"NegativeKept", 0x80004005u, static_cast<int32_t>(0x80004005u),
                   "HandleWriteFailure 0x80004005\r\n"}),
    [](const ::testing::TestParamInfo<ResultCase>& info) { return std::string(info.param.name); });

TEST_F(DiagnosticLogTest, DiskFullShowsTheBoxThenAttemptsTheReportOnce) {
  platform.files.FailAllWrites(112);
  platform.system.events.clear();

  WriteLog(g_hLogFile, "Menu was not loaded!\n");

  ASSERT_EQ(platform.messageBox.shown.size(), 1u);
  const auto& box = platform.messageBox.shown[0];
  EXPECT_EQ(box.owner, 0u);
  EXPECT_EQ(box.caption, u"Dump Filter failure");
  EXPECT_EQ(box.text, kDiskFullText);
  EXPECT_EQ(box.type, 0x30u);
  // The text write, the box, the report's own line; its failure ends the chain.
  std::vector<std::string> expected = {"Write 21", "MessageBox Dump Filter failure", "Write 23"};
  EXPECT_EQ(platform.system.events, expected);
  EXPECT_EQ(Log(), "");
}

TEST_F(DiagnosticLogTest, DiskFullReportedDirectlyGivesItsResult) {
  platform.files.FailAllWrites(112);
  platform.system.lastError = 112;
  EXPECT_EQ(HandleWriteFailure(), static_cast<int32_t>(0x80070070u));
  EXPECT_EQ(platform.messageBox.shown.size(), 1u);
  EXPECT_EQ(platform.files.WriteCallCount(), 1);
}

TEST_F(DiagnosticLogTest, FailuresWhileTheBoxIsOpenAreNotReportedAgain) {
  platform.files.FailAllWrites(112);
  // The box's modal loop lets other handlers log; their failing writes must not stack boxes.
  int nested = 0;
  platform.messageBox.whileOpen = [&] {
    ++nested;
    WriteLog(g_hLogFile, "KeyEvent for SendInput 0x5");
    WriteLog(g_hLogFile, "Shortcut menu was not displayed!\n");
  };

  WriteLog(g_hLogFile, "Menu was not loaded!\n");

  EXPECT_EQ(nested, 1);
  EXPECT_EQ(platform.messageBox.shown.size(), 1u);
}

TEST_F(DiagnosticLogTest, LaterFailureIsReportedAgain) {
  platform.files.FailAllWrites(112);
  WriteLog(g_hLogFile, "first");
  WriteLog(g_hLogFile, "second");
  EXPECT_EQ(platform.messageBox.shown.size(), 2u);

  platform.files.FailAllWrites(0);
  WriteLog(g_hLogFile, "third");
  EXPECT_EQ(Log(), "third\r\n");
}

TEST_F(DiagnosticLogTest, FailingHandleEndsAfterOneReport) {
  // A handle that keeps failing with another error: one report line attempted, no box.
  platform.files.FailAllWrites(6);
  WriteLog(g_hLogFile, "Menu was not loaded!\n");
  EXPECT_EQ(platform.files.WriteCallCount(), 2);
  EXPECT_TRUE(platform.messageBox.shown.empty());
}

}  // namespace
}  // namespace wendle
