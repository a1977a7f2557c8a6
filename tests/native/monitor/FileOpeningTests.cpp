// Opening files with WOW64 redirection switched off, and the WOW64 query.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileOpening.h"
#include "MonitorFakes.h"
#include "MonitorGlobals.h"
#include "StatusCodes.h"

namespace wendle {
namespace {

using fakes::FakePlatform;

const std::u16string kPath = u"C:\\windows\\System32\\tamoirtbl.bin";

class FileOpeningTest : public ::testing::Test {
 protected:
  FakePlatform platform;
};

struct OpenCase {
  const char* name;
  int mode;
  bool bFileExists;
  uint32_t dwOpenError;  // 0: the open succeeds (when the file is there)
  int32_t result;
  bool bOpened;
  const char* event;  // the Open call made, or "" for none
};

class OpenFileTest : public FileOpeningTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenFileTest, OpensWithTheModesAccess) {
  const OpenCase& c = GetParam();
  if (c.bFileExists) platform.files.AddFile(kPath, {1, 2, 3});
  if (c.dwOpenError) platform.files.FailOpen(kPath, c.dwOpenError);
  platform.system.events.clear();
  FileHandle handle = INVALID_FILE_HANDLE;

  EXPECT_EQ(OpenFileNoRedirection(c.mode, kPath.c_str(), handle), c.result);

  EXPECT_EQ(handle != INVALID_FILE_HANDLE, c.bOpened);
  std::vector<std::string> expected = {"LookupIsWow64Process", "IsWow64Process"};
  expected.push_back(c.event);
  EXPECT_EQ(platform.system.events, expected);
  EXPECT_TRUE(platform.debug.texts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, OpenFileTest,
    ::testing::Values(
        OpenCase{"ReadExisting", 1, true, 0, 0, true, "Open C:\\windows\\System32\\tamoirtbl.bin read"},
        OpenCase{"AnyNonZeroModeReads", -7, true, 0, 0, true,
                 "Open C:\\windows\\System32\\tamoirtbl.bin read"},
        OpenCase{"WriteCreates", 0, false, 0, 0, true, "Open C:\\windows\\System32\\tamoirtbl.bin write"},
        OpenCase{"ReadMissing", 1, false, 0, static_cast<int32_t>(0x80070002u), false,
                 "Open C:\\windows\\System32\\tamoirtbl.bin read"},
        OpenCase{"AccessDenied", 0, true, 5, static_cast<int32_t>(0x80070005u), false,
                 "Open C:\\windows\\System32\\tamoirtbl.bin write"},
        OpenCase{"ErrorHighBitsDropped", 1, true, 0x12345, static_cast<int32_t>(0x80072345u), false,
                 "Open C:\\windows\\System32\\tamoirtbl.bin read"},
        OpenCase{"NegativeErrorKept", 1, true, 0x80070020u, static_cast<int32_t>(0x80070020u), false,
                 "Open C:\\windows\\System32\\tamoirtbl.bin read"}),
    [](const ::testing::TestParamInfo<OpenCase>& info) { return std::string(info.param.name); });

TEST_F(FileOpeningTest, WriteModeTruncates) {
  platform.files.AddFile(kPath, {1, 2, 3});
  FileHandle handle = INVALID_FILE_HANDLE;
  EXPECT_EQ(OpenFileNoRedirection(OPEN_FOR_WRITE, kPath.c_str(), handle), 0);
  EXPECT_TRUE(platform.files.Contents(kPath).empty());
}

TEST_F(FileOpeningTest, AlreadyOpenHandleIsLeftAlone) {
  platform.files.AddFile(kPath, {1});
  FileHandle handle = 0x1234;
  platform.system.events.clear();

  EXPECT_EQ(OpenFileNoRedirection(OPEN_FOR_READ, kPath.c_str(), handle), 0);
  EXPECT_EQ(OpenFileNoRedirection(OPEN_FOR_READ, nullptr, handle), 0);

  EXPECT_EQ(handle, 0x1234u);
  EXPECT_TRUE(platform.system.events.empty());
  EXPECT_EQ(platform.files.OpenHandleCount(), 0);
}

TEST_F(FileOpeningTest, NullPathIsAnInvalidName) {
  FileHandle handle = INVALID_FILE_HANDLE;
  platform.system.events.clear();
  EXPECT_EQ(OpenFileNoRedirection(OPEN_FOR_READ, nullptr, handle), 123);
  EXPECT_EQ(handle, INVALID_FILE_HANDLE);
  EXPECT_TRUE(platform.system.events.empty());
}

struct Wow64Case {
  const char* name;
  bool bHasSwitch;
  int32_t disableResult;
  int32_t result;
  bool bOpened;
  std::vector<std::string> events;
  std::vector<std::string> traces;
};

class OpenFileWow64Test : public FileOpeningTest, public ::testing::WithParamInterface<Wow64Case> {};

TEST_P(OpenFileWow64Test, SwitchesRedirectionOffAroundTheOpen) {
  const Wow64Case& c = GetParam();
  platform.wow64.bWow64 = 1;
  platform.wow64.bHasRedirectionSwitch = c.bHasSwitch;
  platform.wow64.disableResult = c.disableResult;
  platform.wow64.dwDisableError = 0x32;
  platform.files.AddFile(kPath, {1});
  platform.system.events.clear();
  FileHandle handle = INVALID_FILE_HANDLE;

  EXPECT_EQ(OpenFileNoRedirection(OPEN_FOR_READ, kPath.c_str(), handle), c.result);

  EXPECT_EQ(handle != INVALID_FILE_HANDLE, c.bOpened);
  std::vector<std::string> events = {"LookupIsWow64Process", "IsWow64Process"};
  events.insert(events.end(), c.events.begin(), c.events.end());
  EXPECT_EQ(platform.system.events, events);
  EXPECT_EQ(platform.debug.Narrowed(), c.traces);
  EXPECT_EQ(platform.wow64.loadedModules, 0) << "the module is always released";
  EXPECT_FALSE(platform.wow64.bRedirectionOff) << "redirection is never left off";
}

const char kOpenEvent[] = "Open C:\\windows\\System32\\tamoirtbl.bin read";

INSTANTIATE_TEST_SUITE_P(
    Wow64, OpenFileWow64Test,
    ::testing::Values(
        Wow64Case{"SwitchOffOpenRevert",
                  true, 1, 0, true,
                  {"LoadRedirectionSwitch", "DisableRedirection", kOpenEvent, "RevertRedirection",
                   "ReleaseRedirectionSwitch"},
                  {"Disable WOW64 Redirection"}},
        Wow64Case{"SwitchMissingOpensRedirected",
                  false, 1, 0, true,
                  {"LoadRedirectionSwitch", kOpenEvent},
                  {}},
        Wow64Case{"DisableFailsNothingOpened",
                  true, 0, static_cast<int32_t>(0x80070032u), false,
                  {"LoadRedirectionSwitch", "DisableRedirection", "ReleaseRedirectionSwitch"},
                  {"Disable WOW64 Redirection"}},
        // Any nonzero result means the switch is off, so it is always switched back.
        Wow64Case{"DisableNonZeroCountsAsOff",
                  true, 2, 0, true,
                  {"LoadRedirectionSwitch", "DisableRedirection", kOpenEvent, "RevertRedirection",
                   "ReleaseRedirectionSwitch"},
                  {"Disable WOW64 Redirection"}}),
    [](const ::testing::TestParamInfo<Wow64Case>& info) { return std::string(info.param.name); });

TEST_F(FileOpeningTest, RevertGetsTheSavedValue) {
  platform.wow64.bWow64 = 1;
  platform.wow64.oldValue = 0xABCDEF;
  platform.files.AddFile(kPath, {1});
  FileHandle handle = INVALID_FILE_HANDLE;
  OpenFileNoRedirection(OPEN_FOR_READ, kPath.c_str(), handle);
  EXPECT_EQ(platform.wow64.revertedValues, std::vector<std::uintptr_t>{0xABCDEF});
}

TEST_F(FileOpeningTest, FailedOpenWithRedirectionOffStillReverts) {
  platform.wow64.bWow64 = 1;
  FileHandle handle = INVALID_FILE_HANDLE;
  EXPECT_EQ(OpenFileNoRedirection(OPEN_FOR_READ, kPath.c_str(), handle),
            static_cast<int32_t>(0x80070002u));
  EXPECT_EQ(platform.wow64.revertedValues.size(), 1u);
  EXPECT_EQ(platform.wow64.loadedModules, 0);
}

struct IsWow64Case {
  const char* name;
  bool bHasFunction;
  int32_t callResult;
  int32_t flag;
  int32_t expected;
  bool bTraced;
};

class IsWow64Test : public FileOpeningTest, public ::testing::WithParamInterface<IsWow64Case> {};

TEST_P(IsWow64Test, ReportsTheStoredFlag) {
  const IsWow64Case& c = GetParam();
  platform.wow64.bHasIsWow64Process = c.bHasFunction;
  platform.wow64.isWow64ProcessResult = c.callResult;
  platform.wow64.bWow64 = c.flag;

  EXPECT_EQ(IsWow64(), c.expected);

  std::vector<std::string> traces;
  if (c.bTraced) traces.push_back("fnIsWow64Process Failed");
  EXPECT_EQ(platform.debug.Narrowed(), traces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsWow64Test,
    ::testing::Values(IsWow64Case{"FunctionMissing", false, 1, 1, 0, false},
                      IsWow64Case{"CallFails", true, 0, 1, 0, true},
                      IsWow64Case{"Wow64Process", true, 1, 1, 1, false},
                      IsWow64Case{"NativeProcess", true, 1, 0, 0, false}),
    [](const ::testing::TestParamInfo<IsWow64Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wendle
