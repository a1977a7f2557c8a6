#include "MonitorFakes.h"

#include <algorithm>
#include <cstring>

#include "MonitorGlobals.h"
#include "WideFormat.h"

namespace wendle::fakes {
namespace {

// The platform's error codes that the fakes produce on their own.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidHandle = 6;

std::string Narrow(const std::u16string& s) { return text::Narrow(s.c_str()); }

}  // namespace

// ---- files -----------------------------------------------------------------------------------

void FakeFileSystem::AddFile(const std::u16string& path, std::vector<uint8_t> bytes) {
  m_files[path] = std::move(bytes);
}

const std::vector<uint8_t>& FakeFileSystem::Contents(const std::u16string& path) const {
  static const std::vector<uint8_t> kNone;
  auto it = m_files.find(path);
  return it == m_files.end() ? kNone : it->second;
}

std::string FakeFileSystem::ContentsText(const std::u16string& path) const {
  const std::vector<uint8_t>& bytes = Contents(path);
  return std::string(bytes.begin(), bytes.end());
}

FakeFileSystem::OpenFile* FakeFileSystem::Find(FileHandle file) {
  auto it = m_open.find(file);
  if (it == m_open.end()) {
    m_system.lastError = kErrorInvalidHandle;
    return nullptr;
  }
  return &it->second;
}

FileHandle FakeFileSystem::Open(const char16_t* path, FileAccess access) {
  std::u16string name(path);
  bool bRead = access == FileAccess::ReadExisting;
  m_system.Record("Open " + Narrow(name) + (bRead ? " read" : " write"));
  auto error = m_openErrors.find(name);
  if (error != m_openErrors.end()) {
    m_system.lastError = error->second;
    return INVALID_FILE_HANDLE;
  }
  if (bRead) {
    if (!HasFile(name)) {
      m_system.lastError = kErrorFileNotFound;
      return INVALID_FILE_HANDLE;
    }
  } else {
    m_files[name].clear();
  }
  FileHandle handle = m_nextHandle;
  m_nextHandle += 4;
  m_open[handle] = OpenFile{name, access, 0};
  return handle;
}

uint32_t FakeFileSystem::GetSize(FileHandle file) {
  OpenFile* open = Find(file);
  if (!open) return 0xFFFFFFFFu;
  auto override = m_sizeOverrides.find(open->path);
  if (override != m_sizeOverrides.end()) return override->second;
  return static_cast<uint32_t>(m_files[open->path].size());
}

bool FakeFileSystem::Read(FileHandle file, void* buffer, uint32_t byteCount, uint32_t* bytesRead) {
  *bytesRead = 0;
  OpenFile* open = Find(file);
  if (!open) return false;
  m_system.Record("Read " + std::to_string(byteCount));
  m_largestReadRequest = std::max(m_largestReadRequest, byteCount);
  if (open->access != FileAccess::ReadExisting) {
    m_system.lastError = kErrorAccessDenied;
    return false;
  }
  ScriptedIo io;
  if (!m_readScript.empty()) {
    io = m_readScript.front();
    m_readScript.pop_front();
  }
  const std::vector<uint8_t>& bytes = m_files[open->path];
  size_t available = bytes.size() > open->position ? bytes.size() - open->position : 0;
  uint32_t copied = 0;
  if (io.bTransfer) {
    copied = static_cast<uint32_t>(std::min<size_t>(byteCount, available));
    if (copied) std::memcpy(buffer, bytes.data() + open->position, copied);
    open->position += copied;
  }
  *bytesRead = io.reportedBytes.value_or(copied);
  if (!io.bSucceed) {
    m_system.lastError = io.dwError;
    return false;
  }
  return true;
}

bool FakeFileSystem::Write(FileHandle file, const void* data, uint32_t byteCount,
                           uint32_t* bytesWritten) {
  *bytesWritten = 0;
  ++m_writeCalls;
  OpenFile* open = Find(file);
  if (!open) return false;
  m_system.Record("Write " + std::to_string(byteCount));
  if (open->access != FileAccess::WriteTruncate) {
    m_system.lastError = kErrorAccessDenied;
    return false;
  }
  if (m_persistentWriteError != 0) {
    m_system.lastError = m_persistentWriteError;
    return false;
  }
  ScriptedIo io;
  if (!m_writeScript.empty()) {
    io = m_writeScript.front();
    m_writeScript.pop_front();
  }
  if (!io.bSucceed) {
    m_system.lastError = io.dwError;
    return false;
  }
  uint32_t stored = io.bTransfer ? std::min(byteCount, io.reportedBytes.value_or(byteCount)) : 0;
  std::vector<uint8_t>& bytes = m_files[open->path];
  const uint8_t* p = static_cast<const uint8_t*>(data);
  bytes.insert(bytes.end(), p, p + stored);
  *bytesWritten = io.reportedBytes.value_or(byteCount);
  return true;
}

void FakeFileSystem::Close(FileHandle file) {
  OpenFile* open = Find(file);
  if (!open) return;
  m_system.Record("Close " + Narrow(open->path));
  m_open.erase(file);
}

// ---- debug channel, message box ----------------------------------------------------------------

std::vector<std::string> RecordingDebugChannel::Narrowed() const {
  std::vector<std::string> out;
  for (const std::u16string& t : texts) out.push_back(Narrow(t));
  return out;
}

int32_t RecordingMessageBox::Show(WindowHandle owner, const char16_t* text, const char16_t* caption,
                                  uint32_t type) {
  m_system.Record("MessageBox " + Narrow(caption));
  shown.push_back(Shown{owner, text, caption, type});
  if (whileOpen) whileOpen();
  return answer;
}

// ---- WOW64 ----------------------------------------------------------------------------------

bool FakeWow64::HasIsWow64Process() {
  m_system.Record("LookupIsWow64Process");
  return bHasIsWow64Process;
}

int32_t FakeWow64::IsWow64Process(int32_t* pbWow64) {
  m_system.Record("IsWow64Process");
  if (isWow64ProcessResult == 0) {
    m_system.lastError = dwIsWow64ProcessError;
    return 0;
  }
  *pbWow64 = bWow64;
  return isWow64ProcessResult;
}

bool FakeWow64::LoadRedirectionSwitch() {
  m_system.Record("LoadRedirectionSwitch");
  if (!bHasRedirectionSwitch) return false;
  ++loadedModules;
  return true;
}

int32_t FakeWow64::DisableRedirection(std::uintptr_t* pOldValue) {
  m_system.Record("DisableRedirection");
  if (disableResult == 0) {
    m_system.lastError = dwDisableError;
    return 0;
  }
  *pOldValue = oldValue;
  bRedirectionOff = true;
  return disableResult;
}

int32_t FakeWow64::RevertRedirection(std::uintptr_t value) {
  m_system.Record("RevertRedirection");
  revertedValues.push_back(value);
  bRedirectionOff = false;
  return 1;
}

void FakeWow64::ReleaseRedirectionSwitch() {
  m_system.Record("ReleaseRedirectionSwitch");
  --loadedModules;
}

uint32_t FakeWow64::GetWindowsFolder(char16_t* buffer, uint32_t capacity) {
  uint32_t length = static_cast<uint32_t>(windowsDirectory.size());
  if (length + 1 <= capacity) {
    std::copy(windowsDirectory.begin(), windowsDirectory.end(), buffer);
    buffer[length] = u'\0';
  } else {
    length = length + 1;  // the size needed, terminator included, as the system reports it
  }
  return windowsDirectoryResult.value_or(length);
}

// ---- receiver --------------------------------------------------------------------------------

uint32_t ScriptedReceiver::InitIRDev() {
  ++initCalls;
  return initResult;
}

int32_t ScriptedReceiver::ReadRawIR(uint8_t* code4) {
  ++rawReadCalls;
  if (rawReads.empty()) return 1;
  RawRead read = rawReads.front();
  rawReads.pop_front();
  if (read.result == 0)
    for (int i = 0; i < 4; ++i) code4[i] = static_cast<uint8_t>(read.code >> (8 * i));
  return read.result;
}

int32_t ScriptedReceiver::ReadTamoIR(uint8_t* report8) {
  ++reportReadCalls;
  if (reports.empty()) return 1;
  auto read = reports.front();
  reports.pop_front();
  if (read.first == 0) std::memcpy(report8, read.second.abyData, sizeof read.second.abyData);
  return read.first;
}

// ---- all together ------------------------------------------------------------------------------

void ResetMonitorGlobals() {
  g_hLogFile = INVALID_FILE_HANDLE;
  std::memset(g_szLogText, 0, sizeof g_szLogText);
  std::memset(g_szDebugText, 0, sizeof g_szDebugText);
  g_dwPollTick = 0;
  g_keyTable = KeyTable{};
}

const std::u16string FakePlatform::kKeyTablePath = u"C:\\windows\\System32\\tamoirtbl.bin";
const std::u16string FakePlatform::kLogPath = u"c:\\monitor.log";

FakePlatform::FakePlatform() {
  ResetMonitorGlobals();
  MonitorPlatform platform;
  platform.pFiles = &files;
  platform.pTicks = &ticks;
  platform.pDebug = &debug;
  platform.pMessageBox = &messageBox;
  platform.pWow64 = &wow64;
  platform.pReceiver = &receiver;
  m_previous = SetMonitorPlatform(platform);
}

FakePlatform::~FakePlatform() {
  SetMonitorPlatform(m_previous);
  ResetMonitorGlobals();
}

void FakePlatform::OpenLog() { g_hLogFile = files.Open(kLogPath.c_str(), FileAccess::WriteTruncate); }

}  // namespace wendle::fakes
