#include "Win32ToolEnvironment.h"

#include <cstdio>
#include <cstring>

#include "KeyTableFile.h"
#include "MonitorGlobals.h"
#include "MonitorPlatform.h"
#include "Win32Files.h"
#include "Win32Wow64.h"

namespace keytable {
namespace {

volatile LONG g_lStopRequested = 0;

BOOL WINAPI OnConsoleControl(DWORD dwType) {
  if (dwType != CTRL_C_EVENT && dwType != CTRL_BREAK_EVENT) return FALSE;
  InterlockedExchange(&g_lStopRequested, 1);
  return TRUE;
}

std::wstring WideFromUtf8(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

// The system's text for an error code, without its line end, in UTF-8 like all the tool's texts.
std::string SystemMessage(DWORD dwError) {
  wchar_t text[256] = {};
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwError, 0, text,
                           sizeof text / sizeof text[0], nullptr);
  while (n > 0 && (text[n - 1] == L'\n' || text[n - 1] == L'\r' || text[n - 1] == L' ' || text[n - 1] == L'.')) --n;
  text[n] = L'\0';
  if (n == 0) return "error " + std::to_string(dwError);
  return Utf8FromWide(text) + " (error " + std::to_string(dwError) + ")";
}

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE h) : m_h(h) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE Get() const { return m_h; }
  bool Valid() const { return m_h != INVALID_HANDLE_VALUE; }
  void Reset(HANDLE h) {
    Close();
    m_h = h;
  }
  bool Close() {
    if (!Valid()) return true;
    bool bOk = CloseHandle(m_h) != FALSE;
    m_h = INVALID_HANDLE_VALUE;
    return bOk;
  }

 private:
  HANDLE m_h;
};

void WriteStream(DWORD dwWhich, const std::string& text) {
  std::FILE* stream = dwWhich == STD_OUTPUT_HANDLE ? stdout : stderr;
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

// Keeps the first trace of a key table load: the path of the file.
class PathTrace : public wendle::DebugChannel {
 public:
  void Output(const char16_t* text) override {
    if (!m_path.empty()) return;
    for (; *text != u'\0'; ++text) m_path += static_cast<wchar_t>(*text);
  }
  const std::wstring& Path() const { return m_path; }

 private:
  std::wstring m_path;
};

// The monitor's files with its log kept in memory: the loader's log lines say why a load failed.
class KeptLogFiles : public wendle::FileApi {
 public:
  // Stands for the log; the system's handles are multiples of four, so none is this odd value.
  static constexpr wendle::FileHandle LOG = 0x4C4F47;

  explicit KeptLogFiles(wendle::FileApi& files) : m_files(files) {}
  const std::string& Log() const { return m_log; }

  wendle::FileHandle Open(const char16_t* path, wendle::FileAccess access) override {
    return m_files.Open(path, access);
  }
  uint32_t GetSize(wendle::FileHandle file) override { return m_files.GetSize(file); }
  bool Read(wendle::FileHandle file, void* buffer, uint32_t byteCount, uint32_t* bytesRead) override {
    return m_files.Read(file, buffer, byteCount, bytesRead);
  }
  bool Write(wendle::FileHandle file, const void* data, uint32_t byteCount, uint32_t* bytesWritten) override {
    if (file != LOG) return m_files.Write(file, data, byteCount, bytesWritten);
    m_log.append(static_cast<const char*>(data), byteCount);
    *bytesWritten = byteCount;
    return true;
  }
  void Close(wendle::FileHandle file) override { m_files.Close(file); }
  uint32_t LastError() override { return m_files.LastError(); }

 private:
  wendle::FileApi& m_files;
  std::string m_log;
};

// A console tool shows no message boxes.
class NoMessageBox : public wendle::MessageBoxApi {
 public:
  int32_t Show(wendle::WindowHandle, const char16_t*, const char16_t*, uint32_t) override { return 0; }
};

// A library function by name, typed as the library's header declares it.
template <typename Function>
bool LookUp(HMODULE hModule, const char* name, Function* pFunction) {
  // Through the generic function pointer type, which converts to any other without complaint.
  *pFunction = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(hModule, name)));
  return *pFunction != nullptr;
}

}  // namespace

std::string Utf8FromWide(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string narrow(static_cast<size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], n, nullptr, nullptr);
  return narrow;
}

KorvanReceiver::~KorvanReceiver() {
  if (m_hModule != nullptr) FreeLibrary(m_hModule);
}

bool KorvanReceiver::Load() {
  if (m_hModule != nullptr) return true;
  m_hModule = LoadLibraryW(L"Korvan.dll");
  if (m_hModule == nullptr) return false;
  if (LookUp(m_hModule, "solv_initIRDev", &m_pfnInit) && LookUp(m_hModule, "solv_ReadRawIR", &m_pfnReadRaw) &&
      LookUp(m_hModule, "solv_ReadTamoIR", &m_pfnReadReport) && LookUp(m_hModule, "solv_exit", &m_pfnExit))
    return true;
  const DWORD dwError = GetLastError();  // why the lookup failed, not what FreeLibrary leaves
  FreeLibrary(m_hModule);
  m_hModule = nullptr;
  SetLastError(dwError);
  return false;
}

uint16_t KorvanReceiver::Open() { return m_pfnInit(); }

bool KorvanReceiver::ReadRawCode(uint32_t* pCode) {
  RawRemoteCode code = {};
  if (m_pfnReadRaw(&code) != 0) return false;
  *pCode = static_cast<uint32_t>(code.abyData[0]) | static_cast<uint32_t>(code.abyData[1]) << 8 |
           static_cast<uint32_t>(code.abyData[2]) << 16 | static_cast<uint32_t>(code.abyData[3]) << 24;
  return true;
}

bool KorvanReceiver::ReadReport(uint8_t (&report)[8]) {
  KeyboardReport read = {};
  if (m_pfnReadReport(&read) != 0) return false;
  std::memcpy(report, read.abyData, sizeof report);
  return true;
}

void KorvanReceiver::Close() { m_pfnExit(); }

Win32ToolEnvironment::Win32ToolEnvironment() : m_uOldOutputCodePage(GetConsoleOutputCP()) {
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  // The tool's texts are UTF-8 (file names may hold any character); the console is shared with
  // the shell, so its code page is put back on the way out.
  if (m_uOldOutputCodePage != 0) SetConsoleOutputCP(CP_UTF8);
}

Win32ToolEnvironment::~Win32ToolEnvironment() {
  if (m_uOldOutputCodePage != 0) SetConsoleOutputCP(m_uOldOutputCodePage);
  SetConsoleCtrlHandler(OnConsoleControl, FALSE);
}

bool Win32ToolEnvironment::ReadFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>* pBytes,
                                    std::string* pError) {
  ScopedHandle file(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    *pError = SystemMessage(GetLastError());
    return false;
  }
  // Reads no more than shows the file is over the limit, whatever its size.
  pBytes->clear();
  uint8_t chunk[4096];
  while (pBytes->size() <= maxBytes) {
    DWORD dwRead = 0;
    if (!::ReadFile(file.Get(), chunk, sizeof chunk, &dwRead, nullptr)) {
      *pError = SystemMessage(GetLastError());
      return false;
    }
    if (dwRead == 0) break;
    pBytes->insert(pBytes->end(), chunk, chunk + dwRead);
  }
  return true;
}

bool Win32ToolEnvironment::WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes,
                                              std::string* pError) {
  const std::wstring target = WideFromUtf8(path);
  // A name of this process's own, created only if no file has it (CREATE_NEW), so nothing else
  // is written over, not even a file named like the output.
  std::wstring temporary;
  ScopedHandle file(INVALID_HANDLE_VALUE);
  for (int attempt = 0; attempt < 100 && !file.Valid(); ++attempt) {
    temporary = target + L".keytable-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) + L".tmp";
    file.Reset(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid() && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (!file.Valid()) {
    *pError = SystemMessage(GetLastError());
    return false;
  }
  DWORD dwWritten = 0;
  bool bOk = ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr) &&
             dwWritten == bytes.size() && FlushFileBuffers(file.Get());
  bOk = file.Close() && bOk;
  if (bOk) bOk = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!bOk) {
    *pError = SystemMessage(GetLastError());
    DeleteFileW(temporary.c_str());
  }
  return bOk;
}

bool Win32ToolEnvironment::SameFile(const std::string& first, const std::string& second) {
  // One file has one volume and one index, whatever the names that lead to it.
  BY_HANDLE_FILE_INFORMATION info[2] = {};
  const std::string* names[2] = {&first, &second};
  for (int i = 0; i < 2; ++i) {
    ScopedHandle file(CreateFileW(WideFromUtf8(*names[i]).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid() || !GetFileInformationByHandle(file.Get(), &info[i])) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

void Win32ToolEnvironment::Out(const std::string& text) { WriteStream(STD_OUTPUT_HANDLE, text); }

void Win32ToolEnvironment::Error(const std::string& text) { WriteStream(STD_ERROR_HANDLE, text); }

RemoteReceiver* Win32ToolEnvironment::Receiver(std::string* pWhyNot) {
  if (m_receiver.Load()) return &m_receiver;
  *pWhyNot = "Korvan.dll cannot be loaded: " + SystemMessage(GetLastError());
  return nullptr;
}

bool Win32ToolEnvironment::LoadSystemKeyTable(wendle::KeyTable* pTable, std::string* pWhere) {
  // The monitor's loader with the monitor's own file and WOW64 sides, so the table is the one the
  // monitor would load; its log stays closed, so its log lines go nowhere.
  wendle::Win32Files systemFiles;
  KeptLogFiles files(systemFiles);
  wendle::Win32Wow64 wow64;
  PathTrace trace;
  NoMessageBox messageBox;
  wendle::MonitorPlatform platform;
  platform.pFiles = &files;
  platform.pWow64 = &wow64;
  platform.pDebug = &trace;
  platform.pMessageBox = &messageBox;
  const wendle::MonitorPlatform previous = wendle::SetMonitorPlatform(platform);
  const wendle::FileHandle previousLog = wendle::g_hLogFile;
  wendle::g_hLogFile = KeptLogFiles::LOG;
  const int32_t result = wendle::LoadIRTable();
  wendle::g_hLogFile = previousLog;
  wendle::SetMonitorPlatform(previous);

  *pTable = wendle::g_keyTable;
  *pWhere = trace.Path().empty() ? "the System32 key table" : Utf8FromWide(trace.Path().c_str());
  if (result == 0) return true;
  // The log's lines, one after another, without their line ends.
  std::string why;
  for (char c : files.Log()) {
    if (c == '\r') continue;
    if (c == '\n') {
      if (!why.empty() && why.back() != ' ') why += "; ";
      continue;
    }
    why += c;
  }
  while (!why.empty() && (why.back() == ' ' || why.back() == ';')) why.pop_back();
  *pWhere += ": " + why;
  return false;
}

bool Win32ToolEnvironment::WaitForPoll(uint32_t milliseconds) {
  Sleep(milliseconds);
  return InterlockedCompareExchange(&g_lStopRequested, 0, 0) == 0;
}

}  // namespace keytable
