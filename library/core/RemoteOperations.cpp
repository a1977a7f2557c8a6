// The infra-red side of the library: opening a receiver for remote-control use and reporting its
// chip, reading raw remote codes and the keyboard reports that some receivers decode themselves,
// and uploading the receiver's own key table.
#include "ChannelCommand.h"
#include "Connection.h"
#include "Korvan.h"
#include "Trace.h"

namespace korvan {

namespace {

constexpr uint32_t kIdKeyboardReport = 14;

// Receivers whose driver has no data channels decode buttons themselves; that chip is assumed.
constexpr ChipId kChipDecodesItself = 0x9015;
// The configuration EEPROM byte that the open reads; its value is not used.
constexpr uint8_t kOpenEEPROMAddress = 24;

// The key table goes to consecutive registers from here on, one file byte per register.
constexpr uint16_t kKeyTableRegister = 0x9A56;
constexpr uint32_t kKeyTableBufferSize = 500;
constexpr uint32_t kPathBufferSize = 256;
constexpr char kKeyTableFileName[] = "tamoirtbl.bin";

// The failure exit of an open: back to Closed, whatever the open had made so far.
ChipId CloseAfterFailedOpen() {
  CloseIfOpen();
  return 0;
}

// The system folder followed by the key table's name; false if it does not fit the path buffer.
bool KeyTablePath(char (&path)[kPathBufferSize]) {
  const uint32_t length = Platform().files->GetSystemDirectoryA(path, kPathBufferSize);
  if (length == 0 || length + 1 + sizeof kKeyTableFileName > kPathBufferSize) return false;
  path[length] = '\\';
  for (size_t i = 0; i < sizeof kKeyTableFileName; ++i) path[length + 1 + i] = kKeyTableFileName[i];
  return true;
}

// Reads the whole key table file; 0 when it cannot be opened, is empty or does not fit.
uint32_t ReadKeyTable(uint8_t (&table)[kKeyTableBufferSize]) {
  char path[kPathBufferSize];
  if (!KeyTablePath(path)) return 0;
  SystemFiles& files = *Platform().files;
  FileHandle file = files.OpenForReading(path);
  if (!file) return 0;
  const int64_t size = files.FileSize(file);
  uint32_t length = 0;
  if (size > 0 && size <= static_cast<int64_t>(kKeyTableBufferSize) &&
      files.ReadFile(file, table, static_cast<size_t>(size)) == static_cast<size_t>(size))
    length = static_cast<uint32_t>(size);
  files.CloseFile(file);
  return length;
}

}  // namespace

int32_t ReceiverDevice::DVB_PellorGetIR(uint8_t* pData) {
  Trace(u"DVB_PellorGetIR(PBYTE pData)");
  return Succeeded(Get(PROPSET_CONTROL, kIdKeyboardReport, pData, 8)) ? 0 : 1;
}

bool ReceiverDevice::LoadIrTable() {
  Trace(u"LoadIrTable()");
  uint8_t abyTable[kKeyTableBufferSize];
  const uint32_t length = ReadKeyTable(abyTable);
  if (length == 0) {
    Trace(u"<Brenlo> LoadIrTable fail!");
    return false;
  }
  // A failing write is traced by the write itself; the upload goes on with the next byte.
  for (uint16_t i = 0; i < length; ++i)
    tamo_WriteReg(static_cast<uint16_t>(kKeyTableRegister + i), abyTable[i]);
  return true;
}

}  // namespace korvan

using korvan::ReceiverDevice;
using korvan::WithDevice;

// The open creates the lock before it looks for the receiver: its last step is a locked
// driver-information read. The EEPROM read and the driver information go to the slot just
// opened, and a failure takes the whole library back to Closed.
extern "C" ChipId KORVAN_CALL TESK_initIRDev(DeviceNumber n) {
  // A second open without a close first closes the first, so nothing it held is leaked.
  korvan::CloseIfOpen();
  if (!korvan::InitializeLibraryApartment()) return korvan::CloseAfterFailedOpen();
  ReceiverDevice* device = korvan::CreateSlotRecord(n);
  if (!device) return korvan::CloseAfterFailedOpen();
  if (!korvan::CreateLibraryLock()) {
    korvan::Trace(u"<Korvan> CreateMutex error!");
    return korvan::CloseAfterFailedOpen();
  }
  if (!korvan::FindTunerFilter(*device, 0)) {
    korvan::TraceFormat(u"<Korvan> Could not find TESK Device: %d!", 1);
    return korvan::CloseAfterFailedOpen();
  }
  if (!korvan::GetKsControl(*device)) {
    korvan::Trace(u"<Korvan> Fail to get KS Control!");
    return korvan::CloseAfterFailedOpen();
  }

  uint8_t byConfig = 0;
  TESK_ReadEEPROM(korvan::kOpenEEPROMAddress, &byConfig, n);
  uint8_t abyInfo[20] = {};
  if (TESK_GetDrvInfo(abyInfo, n) != korvan::CHANNEL_OK) return korvan::kChipDecodesItself;
  return static_cast<ChipId>(abyInfo[2] | abyInfo[3] << 8);
}

extern "C" int32_t KORVAN_CALL TESK_ReadRawIR(RawRemoteCode* pCode, DeviceNumber n) {
  return WithDevice<int32_t>(n, korvan::CHANNEL_FAILED, [&](ReceiverDevice& d) {
    korvan::ChannelCommand<12> command(korvan::kCmdReadRawIR);
    // Polled every 100 ms and expected to find nothing most of the time: failures stay quiet.
    return d.ChannelRead(korvan::CHANNEL_ID_DEV, command.abyData, sizeof command.abyData, pCode->abyData,
                         sizeof pCode->abyData, true);
  });
}

extern "C" int32_t KORVAN_CALL TESK_ReadTamoIR(KeyboardReport* pReport, DeviceNumber n) {
  return WithDevice(n, 1, [&](ReceiverDevice& d) { return d.DVB_PellorGetIR(pReport->abyData); });
}

// The table always goes to receiver 0; the number given is not used.
extern "C" bool KORVAN_CALL TESK_LoadIrTable(DeviceNumber) {
  return WithDevice(0, false, [](ReceiverDevice& d) { return d.LoadIrTable(); });
}
