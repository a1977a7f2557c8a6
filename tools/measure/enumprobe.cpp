// Walks the network-tuner category of the system device enumerator the way a receiver search
// does (enumerator, first moniker, its display name), without any of Korvan's code, and prints
// its own handle count after each round: a growth here belongs to the platform's enumerator.
//
//   enumprobe.exe <rounds>
//
// One line per round: "round <n> handles <count>", counted in the system's handle table.
#include <windows.h>
#include <dshow.h>
#include <winternl.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const GUID kTunerCategory = {0x71985f48, 0x1ca1, 0x11d3, {0x9c, 0xc8, 0x00, 0xc0, 0x4f, 0x79, 0x71, 0xe0}};
constexpr DWORD kPnpDevicesOnly = 0x40;

using QuerySystem = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, void*, ULONG, ULONG*);

unsigned long OwnHandles() {
  const auto query = reinterpret_cast<QuerySystem>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return 0;
  std::vector<BYTE> table(1 << 20);
  ULONG needed = 0;
  if (query(static_cast<SYSTEM_INFORMATION_CLASS>(16), table.data(), static_cast<ULONG>(table.size()), &needed) < 0)
    return 0;
  const auto* handles = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(table.data());
  const size_t fits = (table.size() - offsetof(SYSTEM_HANDLE_INFORMATION, Handle)) / sizeof(SYSTEM_HANDLE_ENTRY);
  unsigned long count = 0;
  for (size_t i = 0; i < handles->Count && i < fits; ++i)
    if (handles->Handle[i].OwnerPid == GetCurrentProcessId()) ++count;
  return count;
}

void OneRound() {
  ICreateDevEnum* devices = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                              reinterpret_cast<void**>(&devices))))
    return;
  IEnumMoniker* monikers = nullptr;
  if (devices->CreateClassEnumerator(kTunerCategory, &monikers, kPnpDevicesOnly) == S_OK && monikers != nullptr) {
    IMoniker* moniker = nullptr;
    if (monikers->Next(1, &moniker, nullptr) == S_OK && moniker != nullptr) {
      LPOLESTR name = nullptr;
      if (SUCCEEDED(moniker->GetDisplayName(nullptr, nullptr, &name))) CoTaskMemFree(name);
      moniker->Release();
    }
    monikers->Release();
  }
  devices->Release();
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
  CoInitialize(nullptr);
  std::printf("before handles %lu\n", OwnHandles());
  for (int round = 1; round <= rounds; ++round) {
    OneRound();
    std::printf("round %d handles %lu\n", round, OwnHandles());
  }
  CoUninitialize();
  return 0;
}
