// Samples another process's own accounting, the way a Windows task manager would: CPU times,
// memory and handle counts, so that the measurement scripts can report Wendle's cost and check
// a long run for leaks.
//
//   procstat.exe <image name> <samples> <interval ms>
//   procstat.exe <image name> handles        every handle of the process: value, type and name
//
// Waits up to 30 s for a process of that image name (e.g. Wendle.exe), then prints one line per
// sample, and ends early, with "gone", when the process ends:
//   <tick ms> cpu=<kernel+user ms> kernel=<ms> user=<ms> private=<bytes> workingset=<bytes>
//   handles=<n> gdi=<n> user=<n> sys.cpu=<ms> sys.private=<bytes> sys.handles=<n> handle.entries=<n>
// The first values come from the per-process queries (GetProcessTimes, GetProcessMemoryInfo,
// GetProcessHandleCount, GetGuiResources), the "sys." ones from the system's process list and
// "handle.entries" from its handle table (NtQuerySystemInformation), because Wine answers some
// per-process queries about other processes with zeros.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
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

DWORD FindProcess(const wchar_t* image) {
  Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, image) == 0) return entry.th32ProcessID;
  }
  return 0;
}

unsigned long long Milliseconds(const FILETIME& time) {
  return ((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000;
}

using QuerySystem = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, void*, ULONG, ULONG*);

// One query of a growing system table; empty when it fails.
std::vector<BYTE> SystemTable(QuerySystem query, SYSTEM_INFORMATION_CLASS what) {
  std::vector<BYTE> table(1 << 16);
  for (int attempt = 0; attempt < 8; ++attempt) {
    ULONG needed = 0;
    const NTSTATUS status = query(what, table.data(), static_cast<ULONG>(table.size()), &needed);
    if (status >= 0) return table;
    table.resize(table.size() * 4 > needed ? table.size() * 4 : needed + 4096);
  }
  return {};
}

struct SystemView {
  unsigned long long cpuMs = 0;
  unsigned long privateBytes = 0;
  unsigned long handles = 0;
  unsigned long handleEntries = 0;
};

SystemView ViewFromSystem(QuerySystem query, DWORD pid) {
  SystemView view;
  if (query == nullptr) return view;
  const std::vector<BYTE> processes = SystemTable(query, SystemProcessInformation);
  for (size_t offset = 0; offset + sizeof(SYSTEM_PROCESS_INFORMATION) <= processes.size();) {
    const auto* process = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(processes.data() + offset);
    if (reinterpret_cast<ULONG_PTR>(process->UniqueProcessId) == pid) {
      view.cpuMs = (process->UserTime.QuadPart + process->KernelTime.QuadPart) / 10000;
      view.privateBytes = static_cast<unsigned long>(process->PrivatePageCount);
      view.handles = process->HandleCount;
      break;
    }
    if (process->NextEntryOffset == 0) break;
    offset += process->NextEntryOffset;
  }
  const std::vector<BYTE> handles = SystemTable(query, static_cast<SYSTEM_INFORMATION_CLASS>(16));  // handle table
  if (handles.size() >= sizeof(ULONG)) {
    const auto* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(handles.data());
    const size_t fits = (handles.size() - offsetof(SYSTEM_HANDLE_INFORMATION, Handle)) / sizeof(SYSTEM_HANDLE_ENTRY);
    const size_t count = table->Count < fits ? table->Count : fits;
    for (size_t i = 0; i < count; ++i) {
      if (table->Handle[i].OwnerPid == pid) ++view.handleEntries;
    }
  }
  return view;
}

using QueryObject = NTSTATUS(WINAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, void*, ULONG, ULONG*);

// The text an object query gives back (a UNICODE_STRING at the start of the reply).
std::wstring ObjectText(QueryObject query, HANDLE handle, OBJECT_INFORMATION_CLASS what) {
  std::vector<BYTE> reply(4096);
  ULONG length = 0;
  if (query(handle, what, reply.data(), static_cast<ULONG>(reply.size()), &length) < 0) return L"?";
  const auto* text = reinterpret_cast<const UNICODE_STRING*>(reply.data());
  if (text->Buffer == nullptr) return L"";
  return std::wstring(text->Buffer, text->Length / sizeof(wchar_t));
}

// Lists the handles a leak hunt needs to see: each one duplicated into this process and asked
// for its type and name.
int ListHandles(HANDLE process, DWORD pid, QuerySystem query) {
  const auto queryObject = reinterpret_cast<QueryObject>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
  const std::vector<BYTE> handles = SystemTable(query, static_cast<SYSTEM_INFORMATION_CLASS>(16));
  if (handles.size() < sizeof(ULONG) || queryObject == nullptr) return 1;
  const auto* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(handles.data());
  const size_t fits = (handles.size() - offsetof(SYSTEM_HANDLE_INFORMATION, Handle)) / sizeof(SYSTEM_HANDLE_ENTRY);
  for (size_t i = 0; i < table->Count && i < fits; ++i) {
    const SYSTEM_HANDLE_ENTRY& entry = table->Handle[i];
    if (entry.OwnerPid != pid) continue;
    HANDLE copy = nullptr;
    std::wstring type = L"?", name;
    if (DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(entry.HandleValue)),
                        GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
      type = ObjectText(queryObject, copy, static_cast<OBJECT_INFORMATION_CLASS>(2));  // type
      name = ObjectText(queryObject, copy, static_cast<OBJECT_INFORMATION_CLASS>(1));  // name
      CloseHandle(copy);
    }
    std::printf("%04x %ls %ls\n", entry.HandleValue, type.c_str(), name.c_str());
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool listHandles = argc == 3 && std::wcscmp(argv[2], L"handles") == 0;
  if (argc != 4 && !listHandles) {
    std::fprintf(stderr, "usage: procstat <image name> <samples> <interval ms> | procstat <image name> handles\n");
    return 2;
  }
  const int samples = listHandles ? 0 : _wtoi(argv[2]);
  const DWORD interval = listHandles ? 0 : static_cast<DWORD>(_wtoi(argv[3]));
  DWORD pid = 0;
  for (int i = 0; i < 300 && pid == 0; ++i) {
    pid = FindProcess(argv[1]);
    if (pid == 0) Sleep(100);
  }
  if (pid == 0) {
    std::printf("no process %ls\n", argv[1]);
    return 1;
  }
  Handle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE | SYNCHRONIZE, FALSE, pid));
  if (process.get() == nullptr) {
    std::printf("cannot open process %lu (error %lu)\n", pid, GetLastError());
    return 1;
  }
  const auto query = reinterpret_cast<QuerySystem>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (listHandles) return query != nullptr ? ListHandles(process.get(), pid, query) : 1;
  for (int i = 0; i < samples; ++i) {
    if (i > 0 && WaitForSingleObject(process.get(), interval) == WAIT_OBJECT_0) {
      std::printf("gone\n");
      return 0;
    }
    FILETIME created, exited, kernel, user;
    const bool times = GetProcessTimes(process.get(), &created, &exited, &kernel, &user) != 0;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    const bool counters =
        GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory) != 0;
    DWORD handles = 0;
    const bool handleCount = GetProcessHandleCount(process.get(), &handles) != 0;
    const SystemView system = ViewFromSystem(query, pid);
    std::printf("%lu cpu=%llu kernel=%llu user=%llu private=%lu workingset=%lu handles=%ld gdi=%lu user=%lu "
                "sys.cpu=%llu sys.private=%lu sys.handles=%lu handle.entries=%lu\n",
                GetTickCount(), times ? Milliseconds(kernel) + Milliseconds(user) : 0ULL,
                times ? Milliseconds(kernel) : 0ULL, times ? Milliseconds(user) : 0ULL,
                counters ? static_cast<unsigned long>(memory.PrivateUsage) : 0UL,
                counters ? static_cast<unsigned long>(memory.WorkingSetSize) : 0UL,
                handleCount ? static_cast<long>(handles) : -1L, GetGuiResources(process.get(), GR_GDIOBJECTS),
                GetGuiResources(process.get(), GR_USEROBJECTS), system.cpuMs, system.privateBytes, system.handles,
                system.handleEntries);
    std::fflush(stdout);
  }
  return 0;
}
