// Runs a program as a debugger would and writes every text it sends to the debug output into a
// file, one text per line, so that tests can compare a program's traces.
//
//   dbgcapture <trace-file> <program> [arguments...]
//
// The exit code is the program's. Line ends inside a text are written as \n and \r, so each
// text stays on one line. Texts arrive as 8-bit text under Wine and are written out as UTF-8.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The command line of the child: each argument quoted by the rules CommandLineToArgvW reverses.
std::wstring QuoteArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
    } else if (c == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
      backslashes = 0;
    } else {
      backslashes = 0;
    }
    quoted += c;
  }
  quoted.append(backslashes, L'\\');
  return quoted + L"\"";
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr, nullptr);
  return result;
}

// The text of one OUTPUT_DEBUG_STRING_EVENT, up to its terminator.
std::wstring ReadDebugText(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  if (info.lpDebugStringData == nullptr || info.nDebugStringLength == 0) return std::wstring();
  size_t units = info.nDebugStringLength;
  size_t unitSize = info.fUnicode ? sizeof(wchar_t) : 1;
  std::vector<char> raw(units * unitSize);
  SIZE_T got = 0;
  if (!ReadProcessMemory(process, info.lpDebugStringData, raw.data(), raw.size(), &got)) return std::wstring();
  if (info.fUnicode) {
    std::wstring text(reinterpret_cast<const wchar_t*>(raw.data()), got / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
  }
  std::string narrow(raw.data(), got);
  narrow = narrow.substr(0, narrow.find('\0'));
  if (narrow.empty()) return std::wstring();
  int size = MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
  std::wstring wide(size, L'\0');
  MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), &wide[0], size);
  return wide;
}

std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\n') line += "\\n";
    else if (c == '\r') line += "\\r";
    else line += c;
  }
  return line + "\n";
}

void CloseEventHandles(const DEBUG_EVENT& event) {
  if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT && event.u.CreateProcessInfo.hFile != nullptr)
    CloseHandle(event.u.CreateProcessInfo.hFile);
  if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT && event.u.LoadDll.hFile != nullptr)
    CloseHandle(event.u.LoadDll.hFile);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    fwprintf(stderr, L"usage: dbgcapture <trace-file> <program> [arguments...]\n");
    return 125;
  }
  Handle traces(CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
  if (traces.get() == INVALID_HANDLE_VALUE) {
    fwprintf(stderr, L"dbgcapture: cannot create %ls (error %lu)\n", argv[1], GetLastError());
    return 125;
  }
  std::wstring commandLine;
  for (int i = 2; i < argc; ++i) {
    if (i > 2) commandLine += L' ';
    commandLine += QuoteArgument(argv[i]);
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                      &startup, &child)) {
    fwprintf(stderr, L"dbgcapture: cannot start %ls (error %lu)\n", argv[2], GetLastError());
    return 126;
  }
  Handle process(child.hProcess);
  Handle thread(child.hThread);

  DWORD exitCode = 0;
  for (bool running = true; running;) {
    DEBUG_EVENT event = {};
    if (!WaitForDebugEvent(&event, INFINITE)) {
      fwprintf(stderr, L"dbgcapture: debugging failed (error %lu)\n", GetLastError());
      return 125;
    }
    DWORD continueStatus = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT: {
        std::string line = OneLine(Utf8(ReadDebugText(process.get(), event.u.DebugString)));
        DWORD written = 0;
        WriteFile(traces.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        break;
      }
      case EXCEPTION_DEBUG_EVENT: {
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        // The loader's breakpoint is for the debugger; everything else belongs to the program.
        if (record.ExceptionCode != EXCEPTION_BREAKPOINT) {
          continueStatus = DBG_EXCEPTION_NOT_HANDLED;
          if (!event.u.Exception.dwFirstChance)
            fwprintf(stderr, L"dbgcapture: unhandled exception 0x%08lX at %p\n", record.ExceptionCode,
                     record.ExceptionAddress);
        }
        break;
      }
      case EXIT_PROCESS_DEBUG_EVENT:
        exitCode = event.u.ExitProcess.dwExitCode;
        running = false;
        break;
      default:
        break;
    }
    CloseEventHandles(event);
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
  }
  return static_cast<int>(exitCode);
}
