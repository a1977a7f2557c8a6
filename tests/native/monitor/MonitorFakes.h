#pragma once
// Recording fakes of the monitor's platform roles, for native tests, the fuzz target and the
// benchmarks. Each is a small working implementation (files really are stored, ticks really
// advance) that also records what it was asked to do. No test framework is needed here.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "KeyboardReport.h"
#include "MonitorPlatform.h"

namespace wendle::fakes {

// What the fakes share as one "thread": its last error code and the order of the calls made.
struct FakeSystem {
  uint32_t lastError = 0;
  std::vector<std::string> events;  // e.g. "Open c:\monitor.log write", "DisableRedirection"
  void Record(std::string event) { events.push_back(std::move(event)); }
};

// The outcome of one scripted read or write call. Unscripted calls behave like a real file.
struct ScriptedIo {
  bool bSucceed = true;
  uint32_t dwError = 0;                   // last error set when the call fails
  std::optional<uint32_t> reportedBytes = std::nullopt;  // reported instead of the real count
  bool bTransfer = true;                  // whether any bytes are actually copied
};

class FakeFileSystem : public FileApi {
 public:
  explicit FakeFileSystem(FakeSystem& system) : m_system(system) {}

  void AddFile(const std::u16string& path, std::vector<uint8_t> bytes);
  bool HasFile(const std::u16string& path) const { return m_files.count(path) != 0; }
  const std::vector<uint8_t>& Contents(const std::u16string& path) const;
  std::string ContentsText(const std::u16string& path) const;

  // Every Open of path fails with error (and creates nothing).
  void FailOpen(const std::u16string& path, uint32_t error) { m_openErrors[path] = error; }
  // GetSize reports size for path instead of its real length (for "huge" files).
  void OverrideSize(const std::u16string& path, uint32_t size) { m_sizeOverrides[path] = size; }
  // The next Read/Write calls take their outcome from these queues, in order.
  void ScriptRead(ScriptedIo io) { m_readScript.push_back(io); }
  void ScriptWrite(ScriptedIo io) { m_writeScript.push_back(io); }
  // Every write fails with error until cleared with 0 (a disk that stays full).
  void FailAllWrites(uint32_t error) { m_persistentWriteError = error; }

  int OpenHandleCount() const { return static_cast<int>(m_open.size()); }
  uint32_t LargestReadRequest() const { return m_largestReadRequest; }
  int WriteCallCount() const { return m_writeCalls; }

  FileHandle Open(const char16_t* path, FileAccess access) override;
  uint32_t GetSize(FileHandle file) override;
  bool Read(FileHandle file, void* buffer, uint32_t byteCount, uint32_t* bytesRead) override;
  bool Write(FileHandle file, const void* data, uint32_t byteCount, uint32_t* bytesWritten) override;
  void Close(FileHandle file) override;
  uint32_t LastError() override { return m_system.lastError; }

 private:
  struct OpenFile {
    std::u16string path;
    FileAccess access;
    size_t position;
  };
  OpenFile* Find(FileHandle file);

  FakeSystem& m_system;
  std::map<std::u16string, std::vector<uint8_t>> m_files;
  std::map<std::u16string, uint32_t> m_openErrors;
  std::map<std::u16string, uint32_t> m_sizeOverrides;
  std::map<FileHandle, OpenFile> m_open;
  std::deque<ScriptedIo> m_readScript;
  std::deque<ScriptedIo> m_writeScript;
  uint32_t m_persistentWriteError = 0;
  FileHandle m_nextHandle = 0x100;
  uint32_t m_largestReadRequest = 0;
  int m_writeCalls = 0;
};

class FakeTicks : public TickSource {
 public:
  uint32_t dwNow = 0;
  void Advance(uint32_t ms) { dwNow += ms; }
  uint32_t TickCount() override { return dwNow; }
};

class RecordingDebugChannel : public DebugChannel {
 public:
  std::vector<std::u16string> texts;
  std::vector<std::string> Narrowed() const;  // the texts as ASCII, for readable comparisons
  void Output(const char16_t* text) override { texts.emplace_back(text); }
};

class RecordingMessageBox : public MessageBoxApi {
 public:
  struct Shown {
    WindowHandle owner;
    std::u16string text;
    std::u16string caption;
    uint32_t type;
  };
  explicit RecordingMessageBox(FakeSystem& system) : m_system(system) {}
  std::vector<Shown> shown;
  int32_t answer = MSGBOX_ANSWER_OK;
  // Runs while the box is "open", as the box's modal loop would dispatch other messages.
  std::function<void()> whileOpen;
  int32_t Show(WindowHandle owner, const char16_t* text, const char16_t* caption,
               uint32_t type) override;

 private:
  FakeSystem& m_system;
};

class FakeWow64 : public Wow64Api {
 public:
  explicit FakeWow64(FakeSystem& system) : m_system(system) {}

  // Script. The defaults describe a plain 32-bit system: the query exists and says "no".
  bool bHasIsWow64Process = true;
  int32_t isWow64ProcessResult = 1;  // the call's own result
  uint32_t dwIsWow64ProcessError = 0;
  int32_t bWow64 = 0;                // the flag a successful call stores
  bool bHasRedirectionSwitch = true;
  int32_t disableResult = 1;
  uint32_t dwDisableError = 0;
  std::uintptr_t oldValue = 0x5EED;
  std::u16string windowsDirectory = u"C:\\windows";
  std::optional<uint32_t> windowsDirectoryResult;  // replaces the length returned

  // State.
  bool bRedirectionOff = false;
  int loadedModules = 0;  // LoadRedirectionSwitch successes minus releases
  std::vector<std::uintptr_t> revertedValues;

  bool HasIsWow64Process() override;
  int32_t IsWow64Process(int32_t* pbWow64) override;
  bool LoadRedirectionSwitch() override;
  int32_t DisableRedirection(std::uintptr_t* pOldValue) override;
  int32_t RevertRedirection(std::uintptr_t value) override;
  void ReleaseRedirectionSwitch() override;
  uint32_t GetWindowsFolder(char16_t* buffer, uint32_t capacity) override;

 private:
  FakeSystem& m_system;
};

class ScriptedReceiver : public ReceiverLibrary {
 public:
  struct RawRead {
    int32_t result;
    uint32_t code;  // delivered little-endian, like the receiver does
  };
  uint32_t initResult = 0;
  std::deque<RawRead> rawReads;                        // empty: "no code" (result 1)
  std::deque<std::pair<int32_t, KeyboardReport>> reports;  // empty: "no report" (result 1)
  int initCalls = 0, exitCalls = 0, rawReadCalls = 0, reportReadCalls = 0;

  void PushCode(uint32_t code) { rawReads.push_back({0, code}); }
  void PushNoCode() { rawReads.push_back({1, 0}); }

  uint32_t InitIRDev() override;
  int32_t ReadRawIR(uint8_t* code4) override;
  int32_t ReadTamoIR(uint8_t* report8) override;
  void Exit() override { ++exitCalls; }
};

// Puts every monitor global back to its process-start value (log closed, table all zero, ...).
void ResetMonitorGlobals();

// All fakes together. Construction resets the globals and installs the fakes as the platform;
// destruction puts the previous platform back.
class FakePlatform {
 public:
  FakePlatform();
  ~FakePlatform();
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  FakeSystem system;
  FakeFileSystem files{system};
  FakeTicks ticks;
  RecordingDebugChannel debug;
  RecordingMessageBox messageBox{system};
  FakeWow64 wow64{system};
  ScriptedReceiver receiver;

  // Where the loader looks for the key table with the default Windows directory.
  static const std::u16string kKeyTablePath;
  static const std::u16string kLogPath;
  // Opens kLogPath for writing into g_hLogFile, as the program start does.
  void OpenLog();

 private:
  MonitorPlatform m_previous;
};

}  // namespace wendle::fakes
