#include "DiagnosticLog.h"

#include <cstdio>
#include <cstring>

#include "MonitorGlobals.h"
#include "MonitorPlatform.h"
#include "StatusCodes.h"

namespace wendle {
namespace {

const char16_t kDiskFullCaption[] = u"Dump Filter failure";
const char16_t kDiskFullText[] =
    u"The disk containing dump file has run out of space, so the dump filter has been stopped."
    u"\r\n\r\nYou must set a new dump file name or restart the graph to clear this filter error.";

// Set while a failure is being reported. The report's own log line goes through WriteLog, whose
// failure would come back here; and the disk-full box runs a modal loop in which other handlers
// may log and fail in turn. While one report is under way, further failures are only converted,
// so a disk that stays full yields one box and one attempted line, not an endless chain.
bool g_bReportingFailure = false;

}  // namespace

void WriteLog(FileHandle handle, const char* text) {
  if (handle == INVALID_FILE_HANDLE) return;
  if (!text) text = "";
  FileApi& files = *Platform().pFiles;
  uint32_t dwAsked = static_cast<uint32_t>(std::strlen(text));
  uint32_t dwWritten = 0;
  bool bOk = files.Write(handle, text, dwAsked, &dwWritten);
  if (bOk) {
    dwAsked = 2;
    bOk = files.Write(handle, "\r\n", dwAsked, &dwWritten);
  }
  // Only the write made last is judged: a short text write followed by a full CR LF goes unseen.
  if (!bOk || dwWritten < dwAsked) HandleWriteFailure();
}

int32_t HandleWriteFailure() {
  const MonitorPlatform& platform = Platform();
  uint32_t dwError = platform.pFiles->LastError();
  if (g_bReportingFailure) return ResultFromSystemError(dwError);
  g_bReportingFailure = true;
  if (dwError == SYSERR_DISK_FULL)
    platform.pMessageBox->Show(0, kDiskFullText, kDiskFullCaption, MSGBOX_OK | MSGBOX_ICONWARNING);
  std::snprintf(g_szLogText, LOG_TEXT_CAPACITY, "HandleWriteFailure 0x%x", dwError);
  WriteLog(g_hLogFile, g_szLogText);
  g_bReportingFailure = false;
  return ResultFromSystemError(dwError);
}

}  // namespace wendle
