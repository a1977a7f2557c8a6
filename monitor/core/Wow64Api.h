#pragma once
// Seam: the system functions that are looked up at run time because older systems lack them
// (the WOW64 query and the file-system redirection switch), and the Windows folder.
#include <cstdint>

namespace wendle {

class Wow64Api {
 public:
  virtual ~Wow64Api() = default;

  // Whether "IsWow64Process" exists in the already loaded module "kernel32"
  // (GetModuleHandleW + GetProcAddress). Looked up again on every call.
  virtual bool HasIsWow64Process() = 0;

  // Calls IsWow64Process for the current process. Returns the call's result (nonzero = success);
  // on success *pbWow64 holds its flag (nonzero for a 32-bit process on 64-bit Windows), on
  // failure *pbWow64 is left as the caller set it. Only called after HasIsWow64Process().
  virtual int32_t IsWow64Process(int32_t* pbWow64) = 0;

  // Loads "Kernel32.dll" (LoadLibraryW) and looks up "Wow64DisableWow64FsRedirection" and
  // "Wow64RevertWow64FsRedirection". True when the module loaded and both exist; the module then
  // stays loaded until ReleaseRedirectionSwitch(). False leaves nothing loaded.
  virtual bool LoadRedirectionSwitch() = 0;

  // Calls Wow64DisableWow64FsRedirection; *pOldValue receives the value to hand back to the
  // revert. Returns the call's result: nonzero (TRUE) when redirection is now off for this thread.
  virtual int32_t DisableRedirection(std::uintptr_t* pOldValue) = 0;

  // Calls Wow64RevertWow64FsRedirection with the value saved by DisableRedirection.
  virtual int32_t RevertRedirection(std::uintptr_t oldValue) = 0;

  // Releases the module loaded by LoadRedirectionSwitch() (FreeLibrary).
  virtual void ReleaseRedirectionSwitch() = 0;

  // GetSystemWindowsDirectoryW into buffer of capacity units (terminator included). Returns the
  // length written without terminator; 0 on failure; a value >= capacity when the buffer is too
  // small (then the buffer content is unspecified).
  virtual uint32_t GetWindowsFolder(char16_t* buffer, uint32_t capacity) = 0;
};

}  // namespace wendle
