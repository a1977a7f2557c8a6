#include "Win32Wow64.h"

#include <windows.h>

namespace wendle {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 texts pass to the wide calls as they are");

// GetProcAddress hands back a generic procedure pointer; the caller knows the real type.
template <typename Fn>
Fn Lookup(HMODULE hModule, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(hModule, name)));
}

}  // namespace

Win32Wow64::~Win32Wow64() { ReleaseRedirectionSwitch(); }

bool Win32Wow64::HasIsWow64Process() {
  HMODULE hKernel = GetModuleHandleW(L"kernel32");
  m_pfnIsWow64Process = hKernel ? Lookup<IsWow64ProcessFn>(hKernel, "IsWow64Process") : nullptr;
  return m_pfnIsWow64Process != nullptr;
}

int32_t Win32Wow64::IsWow64Process(int32_t* pbWow64) {
  if (!m_pfnIsWow64Process) return FALSE;
  BOOL bWow64 = FALSE;
  BOOL bOk = m_pfnIsWow64Process(GetCurrentProcess(), &bWow64);
  if (bOk) *pbWow64 = bWow64;
  return bOk;
}

bool Win32Wow64::LoadRedirectionSwitch() {
  ReleaseRedirectionSwitch();
  HMODULE hKernel = LoadLibraryW(L"Kernel32.dll");
  if (!hKernel) return false;
  m_pfnDisable = Lookup<DisableFn>(hKernel, "Wow64DisableWow64FsRedirection");
  m_pfnRevert = Lookup<RevertFn>(hKernel, "Wow64RevertWow64FsRedirection");
  if (!m_pfnDisable || !m_pfnRevert) {
    FreeLibrary(hKernel);
    m_pfnDisable = nullptr;
    m_pfnRevert = nullptr;
    return false;
  }
  m_hKernel = hKernel;
  return true;
}

int32_t Win32Wow64::DisableRedirection(std::uintptr_t* pOldValue) {
  if (!m_pfnDisable) return FALSE;
  void* pOld = nullptr;
  BOOL bOk = m_pfnDisable(&pOld);
  *pOldValue = reinterpret_cast<std::uintptr_t>(pOld);
  return bOk;
}

int32_t Win32Wow64::RevertRedirection(std::uintptr_t oldValue) {
  if (!m_pfnRevert) return FALSE;
  return m_pfnRevert(reinterpret_cast<void*>(oldValue));
}

void Win32Wow64::ReleaseRedirectionSwitch() {
  if (m_hKernel) FreeLibrary(static_cast<HMODULE>(m_hKernel));
  m_hKernel = nullptr;
  m_pfnDisable = nullptr;
  m_pfnRevert = nullptr;
}

uint32_t Win32Wow64::GetWindowsFolder(char16_t* buffer, uint32_t capacity) {
  return GetSystemWindowsDirectoryW(reinterpret_cast<wchar_t*>(buffer), capacity);
}

}  // namespace wendle
