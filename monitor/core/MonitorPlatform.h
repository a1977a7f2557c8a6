#pragma once
// The platform roles the monitor core calls into, gathered in one record. The Win32 program
// fills it with its real implementations before the log is opened; native tests fill it with
// recording fakes. Every pointer must be set before a core routine that uses its role runs.
#include "DebugChannel.h"
#include "FileApi.h"
#include "MessageBoxApi.h"
#include "ReceiverLibrary.h"
#include "TickSource.h"
#include "Wow64Api.h"

namespace wendle {

struct MonitorPlatform {
  FileApi* pFiles = nullptr;
  TickSource* pTicks = nullptr;
  DebugChannel* pDebug = nullptr;
  MessageBoxApi* pMessageBox = nullptr;
  Wow64Api* pWow64 = nullptr;
  ReceiverLibrary* pReceiver = nullptr;
};

// The record in use. Only the window thread touches it, like every other monitor state.
const MonitorPlatform& Platform();

// Installs a new record and returns the one it replaces, so a test can put the previous back.
MonitorPlatform SetMonitorPlatform(const MonitorPlatform& platform);

}  // namespace wendle
