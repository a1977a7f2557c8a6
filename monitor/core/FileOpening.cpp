#include "FileOpening.h"

#include "MonitorPlatform.h"
#include "StatusCodes.h"

namespace wendle {

int32_t IsWow64() {
  const MonitorPlatform& platform = Platform();
  int32_t bIsWow64 = 0;
  if (platform.pWow64->HasIsWow64Process() && !platform.pWow64->IsWow64Process(&bIsWow64))
    platform.pDebug->Output(u"fnIsWow64Process Failed");
  return bIsWow64;
}

int32_t OpenFileNoRedirection(int mode, const char16_t* path, FileHandle& handle) {
  const MonitorPlatform& platform = Platform();
  FileAccess access = mode != OPEN_FOR_WRITE ? FileAccess::ReadExisting : FileAccess::WriteTruncate;
  if (handle != INVALID_FILE_HANDLE) return RESULT_OK;
  if (!path) return static_cast<int32_t>(SYSERR_INVALID_NAME);

  // On 64-bit Windows a 32-bit process asking for System32 is sent to the 32-bit folder; the
  // key table lives in the real one. The switch only exists on systems that have WOW64.
  Wow64Api& wow64 = *platform.pWow64;
  bool bSwitchedOff = false;
  std::uintptr_t oldValue = 0;
  if (IsWow64() && wow64.LoadRedirectionSwitch()) {
    int32_t bDisabled = wow64.DisableRedirection(&oldValue);
    platform.pDebug->Output(u"Disable WOW64 Redirection");
    if (!bDisabled) {
      // Opening now could reach the wrong folder, so nothing is opened at all. Any nonzero
      // result counts as switched off, so that a switch that is off is always switched back.
      uint32_t dwError = platform.pFiles->LastError();
      wow64.ReleaseRedirectionSwitch();
      return ResultFromSystemError(dwError);
    }
    bSwitchedOff = true;
  }

  handle = platform.pFiles->Open(path, access);
  // Taken straight after the open, before the revert call can leave a code of its own.
  uint32_t dwError = handle == INVALID_FILE_HANDLE ? platform.pFiles->LastError() : 0;

  if (bSwitchedOff) {
    wow64.RevertRedirection(oldValue);
    wow64.ReleaseRedirectionSwitch();
  }
  return handle != INVALID_FILE_HANDLE ? RESULT_OK : ResultFromSystemError(dwError);
}

}  // namespace wendle
