// The in-process server entry points: class object, unload query and self-registration.
#include <windows.h>
#include <unknwn.h>

#include <string>

#include "SimFilter.h"
#include "SimReceiverIds.h"

namespace sim {
namespace {

LONG g_serverLocks = 0;

class SimClassFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // The factory is a static object: references do not decide its life.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    SimFilter* filter = new SimFilter;
    HRESULT result = filter->QueryInterface(iid, object);
    filter->Release();
    return result;
  }

  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) InterlockedIncrement(&g_serverLocks);
    else InterlockedDecrement(&g_serverLocks);
    return S_OK;
  }
};

SimClassFactory g_factory;
HMODULE g_module = nullptr;

std::wstring ClassKeyPath() { return std::wstring(L"CLSID\\") + kClsidSimReceiverText; }

LONG SetText(HKEY key, const wchar_t* name, const wchar_t* value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                        static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
}

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

}  // namespace
}  // namespace sim

using namespace sim;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, kClsidSimReceiver)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow() {
  return SimFilter::LiveObjects() == 0 && g_serverLocks == 0 ? S_OK : S_FALSE;
}

// HKCR\CLSID\{class}\InprocServer32 = this module, ThreadingModel Both, in the 32-bit view.
STDAPI DllRegisterServer() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return E_FAIL;
  RegistryKey classKey;
  LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, ClassKeyPath().c_str(), 0, nullptr, 0,
                                KEY_WRITE | KEY_WOW64_32KEY, nullptr, classKey.out(), nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  SetText(classKey.get(), nullptr, L"Simulated receiver");
  RegistryKey serverKey;
  status = RegCreateKeyExW(classKey.get(), L"InprocServer32", 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY,
                           nullptr, serverKey.out(), nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status = SetText(serverKey.get(), nullptr, path);
  if (status == ERROR_SUCCESS) status = SetText(serverKey.get(), L"ThreadingModel", L"Both");
  return HRESULT_FROM_WIN32(status);
}

STDAPI DllUnregisterServer() {
  RegistryKey classKey;
  LONG status = RegOpenKeyExW(HKEY_CLASSES_ROOT, ClassKeyPath().c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                              classKey.out());
  if (status == ERROR_FILE_NOT_FOUND) return S_OK;
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  RegDeleteTreeW(classKey.get(), nullptr);
  status = RegDeleteKeyExW(HKEY_CLASSES_ROOT, ClassKeyPath().c_str(), KEY_WOW64_32KEY, 0);
  return HRESULT_FROM_WIN32(status);
}
