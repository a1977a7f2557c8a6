#pragma once
// The WOW64 query and the file-system redirection switch, looked up at run time because systems
// without WOW64 do not have them; and the Windows folder.
#include "Wow64Api.h"

namespace wendle {

class Win32Wow64 : public Wow64Api {
 public:
  Win32Wow64() = default;
  ~Win32Wow64() override;  // releases the module if a caller left it loaded
  Win32Wow64(const Win32Wow64&) = delete;
  Win32Wow64& operator=(const Win32Wow64&) = delete;

  bool HasIsWow64Process() override;
  int32_t IsWow64Process(int32_t* pbWow64) override;
  bool LoadRedirectionSwitch() override;
  int32_t DisableRedirection(std::uintptr_t* pOldValue) override;
  int32_t RevertRedirection(std::uintptr_t oldValue) override;
  void ReleaseRedirectionSwitch() override;
  uint32_t GetWindowsFolder(char16_t* buffer, uint32_t capacity) override;

 private:
  using IsWow64ProcessFn = int(__stdcall*)(void* hProcess, int* pbWow64);
  using DisableFn = int(__stdcall*)(void** ppOldValue);
  using RevertFn = int(__stdcall*)(void* pOldValue);

  IsWow64ProcessFn m_pfnIsWow64Process = nullptr;
  void* m_hKernel = nullptr;  // HMODULE from LoadRedirectionSwitch
  DisableFn m_pfnDisable = nullptr;
  RevertFn m_pfnRevert = nullptr;
};

}  // namespace wendle
