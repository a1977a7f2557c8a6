// Registers the simulated receiver and lists it under chosen instance names in the device
// categories a receiver appears in, so that clients find it like a plugged-in device.
//
//   simregister register [dll]                  HKCR\CLSID\{class}\InprocServer32 (32-bit view)
//   simregister unregister [dll]
//   simregister add <tuner|capture> <instance> [<scenario>]
//   simregister remove <tuner|capture> <instance>
//   simregister clear <tuner|capture>
//   simregister list <tuner|capture>
// Several commands run in one call when separated by a lone ";" argument.
#include <windows.h>
#include <objbase.h>
#include <strmif.h>
#include <uuids.h>

#include <cstdio>
#include <string>
#include <vector>

#include "SimReceiverIds.h"

namespace {

using Arguments = std::vector<std::wstring>;

// The scenario a receiver plays when the command names none: C:\sim\sim.txt.
constexpr wchar_t kDefaultScenario[] = L"sim";

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_ != nullptr) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** out() { return &p_; }
  void** outVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class CoTaskText {
 public:
  ~CoTaskText() { CoTaskMemFree(text_); }
  LPOLESTR* out() { return &text_; }
  LPOLESTR get() const { return text_; }

 private:
  LPOLESTR text_ = nullptr;
};

int Fail(const wchar_t* command, const wchar_t* what, HRESULT result) {
  fwprintf(stderr, L"simregister %ls: %ls (0x%08lX)\n", command, what, static_cast<unsigned long>(result));
  return 1;
}

int Usage() {
  fwprintf(stderr,
           L"usage: simregister register [dll] | unregister [dll]\n"
           L"       simregister add <tuner|capture> <instance> [<scenario>]\n"
           L"       simregister remove <tuner|capture> <instance>\n"
           L"       simregister clear <tuner|capture> | list <tuner|capture>\n"
           L"       commands can be chained with a lone \";\" argument\n");
  return 2;
}

bool CategoryOf(const std::wstring& name, GUID* category) {
  if (name == L"tuner") *category = sim::kCategoryBdaNetworkTuner;
  else if (name == L"capture") *category = sim::kCategoryCapture;
  else return false;
  return true;
}

std::wstring InstanceKeyPath(const GUID& category) {
  wchar_t text[40];
  StringFromGUID2(category, text, 40);
  return std::wstring(L"CLSID\\") + text + L"\\Instance";
}

std::wstring DefaultDllPath() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  size_t slash = folder.find_last_of(L"\\/");
  folder.erase(slash == std::wstring::npos ? 0 : slash + 1);
  return folder + L"simreceiver.dll";
}

int CallServerEntry(const Arguments& args, const char* entryName) {
  if (args.size() > 2) return Usage();
  std::wstring path = args.size() == 2 ? args[1] : DefaultDllPath();
  HMODULE module = LoadLibraryW(path.c_str());
  if (module == nullptr) return Fail(args[0].c_str(), path.c_str(), HRESULT_FROM_WIN32(GetLastError()));
  using Entry = HRESULT(STDAPICALLTYPE*)();
  auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, entryName)));
  HRESULT result = entry != nullptr ? entry() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  FreeLibrary(module);
  if (FAILED(result)) return Fail(args[0].c_str(), path.c_str(), result);
  return 0;
}

int Add(const Arguments& args) {
  GUID category;
  if (args.size() < 3 || args.size() > 4 || !CategoryOf(args[1], &category)) return Usage();
  const std::wstring& instance = args[2];
  // The instance name becomes one registry key name: a backslash would split it.
  if (instance.empty() || instance.find(L'\\') != std::wstring::npos)
    return Fail(L"add", L"an instance name must be non-empty and hold no backslash", E_INVALIDARG);
  std::wstring scenario = args.size() == 4 ? args[3] : kDefaultScenario;
  ComRef<IFilterMapper2> mapper;
  HRESULT result = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                    mapper.outVoid());
  if (FAILED(result)) return Fail(L"add", L"no filter mapper", result);
  REGFILTER2 filter = {};
  filter.dwVersion = 1;
  filter.dwMerit = MERIT_DO_NOT_USE;
  filter.cPins = 0;
  filter.rgPins = nullptr;
  result = mapper->RegisterFilter(sim::kClsidSimReceiver, scenario.c_str(), nullptr, &category, instance.c_str(),
                                  &filter);
  if (FAILED(result)) return Fail(L"add", instance.c_str(), result);
  return 0;
}

int Remove(const Arguments& args) {
  GUID category;
  if (args.size() != 3 || !CategoryOf(args[1], &category)) return Usage();
  RegistryKey instances;
  LONG status = RegOpenKeyExW(HKEY_CLASSES_ROOT, InstanceKeyPath(category).c_str(), 0,
                              KEY_ALL_ACCESS | KEY_WOW64_32KEY, instances.out());
  if (status == ERROR_SUCCESS) status = RegDeleteTreeW(instances.get(), args[2].c_str());
  if (status != ERROR_SUCCESS) return Fail(L"remove", args[2].c_str(), HRESULT_FROM_WIN32(status));
  return 0;
}

int Clear(const Arguments& args) {
  GUID category;
  if (args.size() != 2 || !CategoryOf(args[1], &category)) return Usage();
  RegistryKey instances;
  LONG status = RegOpenKeyExW(HKEY_CLASSES_ROOT, InstanceKeyPath(category).c_str(), 0,
                              KEY_ALL_ACCESS | KEY_WOW64_32KEY, instances.out());
  if (status == ERROR_FILE_NOT_FOUND) return 0;
  if (status == ERROR_SUCCESS) status = RegDeleteTreeW(instances.get(), nullptr);
  if (status != ERROR_SUCCESS) return Fail(L"clear", args[1].c_str(), HRESULT_FROM_WIN32(status));
  return 0;
}

int List(const Arguments& args) {
  GUID category;
  if (args.size() != 2 || !CategoryOf(args[1], &category)) return Usage();
  ComRef<ICreateDevEnum> devices;
  HRESULT result = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                    devices.outVoid());
  if (FAILED(result)) return Fail(L"list", L"no system device enumerator", result);
  ComRef<IEnumMoniker> monikers;
  // 0x40: the flags a receiver client enumerates with.
  result = devices->CreateClassEnumerator(category, monikers.out(), 0x40);
  if (FAILED(result)) return Fail(L"list", args[1].c_str(), result);
  if (monikers.get() == nullptr) return 0;
  for (;;) {
    ComRef<IMoniker> moniker;
    if (monikers->Next(1, moniker.out(), nullptr) != S_OK) break;
    CoTaskText name;
    if (SUCCEEDED(moniker->GetDisplayName(nullptr, nullptr, name.out())) && name.get() != nullptr)
      wprintf(L"%ls\n", name.get());
  }
  return 0;
}

int Run(const Arguments& args) {
  if (args.empty()) return Usage();
  const std::wstring& command = args[0];
  if (command == L"register") return CallServerEntry(args, "DllRegisterServer");
  if (command == L"unregister") return CallServerEntry(args, "DllUnregisterServer");
  if (command == L"add") return Add(args);
  if (command == L"remove") return Remove(args);
  if (command == L"clear") return Clear(args);
  if (command == L"list") return List(args);
  return Usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(com)) return Fail(L"", L"COM initialisation failed", com);
  int status = 0;
  Arguments command;
  for (int i = 1; i <= argc && status == 0; ++i) {
    if (i == argc || wcscmp(argv[i], L";") == 0) {
      status = Run(command);
      command.clear();
    } else {
      command.push_back(argv[i]);
    }
  }
  fflush(stdout);
  CoUninitialize();
  return status;
}
