// Fuzz target for the monitor's two input paths: the key table file (any content, any size,
// failing reads and writes, WOW64 or not) and the raw code decoder (any sequence of codes and
// time steps against the table just loaded). Checks the invariants the rest of the monitor
// relies on, besides what AddressSanitizer and UBSan catch.
//
// Input layout:
//   byte 0       platform switches (see kSwitch*)
//   bytes 1..2   file length L, little-endian (cut to what is left)
//   L bytes      the key table file
//   then steps of 4 bytes: time step in ms (2 bytes LE), kind, argument
//     kind < 0x20  no code this poll
//     kind < 0x80  the code of table slot (argument % 50), so lookups hit
//     kind < 0x90  reload the key table file (a receiver was opened), up to 4 times
//     otherwise    the raw code kind:argument:time bytes
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "KeyTableFile.h"
#include "MonitorFakes.h"
#include "MonitorGlobals.h"
#include "RawCodeDecoder.h"

using namespace wendle;

namespace {

constexpr uint8_t kSwitchWow64 = 0x01;
constexpr uint8_t kSwitchReadFails = 0x02;
constexpr uint8_t kSwitchOverRead = 0x04;
constexpr uint8_t kSwitchHugeSize = 0x08;
constexpr uint8_t kSwitchDiskFull = 0x10;
constexpr uint8_t kSwitchIsWow64Fails = 0x20;
constexpr uint8_t kSwitchDisableFails = 0x40;
constexpr uint8_t kSwitchNoFile = 0x80;

constexpr int kMaxReloads = 4;  // each reload traces 50 records; more add time, not paths

void Check(bool condition) {
  if (!condition) std::abort();
}

// Keeps nothing, but every text must end within one formatting buffer (256 units).
class CheckingDebugChannel : public DebugChannel {
 public:
  void Output(const char16_t* text) override {
    size_t n = 0;
    while (text[n] != u'\0') Check(++n < DEBUG_TEXT_CAPACITY);
  }
};

void LoadAndCheck(fakes::FakePlatform& platform) {
  size_t boxesBefore = platform.messageBox.shown.size();
  LoadIRTable();
  // At most three log lines per load, each failing write reported once.
  Check(platform.messageBox.shown.size() - boxesBefore <= 3);
  Check(platform.files.OpenHandleCount() <= 1);  // only the log may stay open
  Check(platform.files.LargestReadRequest() <= KEY_FILE_FULL_SIZE);
  Check(platform.wow64.loadedModules == 0);
  Check(!platform.wow64.bRedirectionOff);
  Check(g_keyTable.entryCount >= -128 && g_keyTable.entryCount <= 127);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  fakes::FakePlatform platform;
  uint8_t bySwitches = data[0];
  size_t fileLength = data[1] | static_cast<size_t>(data[2]) << 8;
  data += 3;
  size -= 3;
  if (fileLength > size) fileLength = size;

  CheckingDebugChannel debug;
  MonitorPlatform roles = Platform();
  roles.pDebug = &debug;
  SetMonitorPlatform(roles);  // the FakePlatform puts its own record back when it goes

  platform.OpenLog();
  if (!(bySwitches & kSwitchNoFile))
    platform.files.AddFile(fakes::FakePlatform::kKeyTablePath,
                           std::vector<uint8_t>(data, data + fileLength));
  data += fileLength;
  size -= fileLength;

  platform.wow64.bWow64 = bySwitches & kSwitchWow64 ? 1 : 0;
  if (bySwitches & kSwitchIsWow64Fails) platform.wow64.isWow64ProcessResult = 0;
  if (bySwitches & kSwitchDisableFails) platform.wow64.disableResult = 0;
  if (bySwitches & kSwitchHugeSize)
    platform.files.OverrideSize(fakes::FakePlatform::kKeyTablePath, 0xFFFFFFF0u - static_cast<uint32_t>(fileLength));
  if (bySwitches & (kSwitchReadFails | kSwitchOverRead)) {
    fakes::ScriptedIo io;
    io.bSucceed = !(bySwitches & kSwitchReadFails);
    io.dwError = 112;
    io.bTransfer = fileLength % 2 == 0;
    if (bySwitches & kSwitchOverRead) io.reportedBytes = static_cast<uint32_t>(fileLength + 1);
    else io.reportedBytes = static_cast<uint32_t>(fileLength / 3);
    platform.files.ScriptRead(io);
  }
  if (bySwitches & kSwitchDiskFull) platform.files.FailAllWrites(112);

  LoadAndCheck(platform);

  int reloads = 0;
  DecoderState state{};
  g_dwPollTick = platform.ticks.dwNow;
  for (; size >= 4; data += 4, size -= 4) {
    uint32_t dwStep = data[0] | static_cast<uint32_t>(data[1]) << 8;
    uint8_t byKind = data[2], byArg = data[3];
    platform.ticks.Advance(dwStep);
    if (byKind < 0x20) {
      platform.receiver.PushNoCode();
    } else if (byKind < 0x80) {
      platform.receiver.PushCode(g_keyTable.entries[byArg % KEY_TABLE_CAPACITY].rawCode);
    } else if (byKind < 0x90) {
      if (++reloads <= kMaxReloads) LoadAndCheck(platform);
      continue;
    } else {
      platform.receiver.PushCode(static_cast<uint32_t>(byKind) << 24 | static_cast<uint32_t>(byArg) << 16 |
                                 static_cast<uint32_t>(data[1]) << 8 | data[0]);
    }
    KeyboardReport report{};
    int result = GetIRRawData(state, report);
    Check(result == 0 || result == 1);
    Check(state.m_bPrefixActive == 0 || state.m_bPrefixActive == 1);
    Check(g_dwPollTick == platform.ticks.dwNow);
    for (int i : {1, 3, 4, 5, 6, 7}) Check(report.abyData[i] == 0);
    if (result == 0) Check(report.abyData[0] == 0 && report.abyData[2] == 0);
  }
  return 0;
}
