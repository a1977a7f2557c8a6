#pragma once
// The library's process-wide state: ten receiver slots, one lock and the library's own COM
// initialisation, and the rule by which every operation finds its receiver.
#include <cstdint>

#include "LibraryPlatform.h"
#include "ReceiverDevice.h"

namespace korvan {

constexpr int kDeviceSlots = 10;

extern ReceiverDevice* g_pDevices[kDeviceSlots];
extern LockHandle g_hMutex;
extern bool g_bComInitialized;

// The receiver in slot n, or null when n is outside 0 to 9 or the slot is empty.
ReceiverDevice* DeviceAt(int32_t n);

// Runs op on the receiver of slot n; without one, nothing is sent and failure is returned.
// Every export that works on a receiver goes through here, so a bad number or an empty slot
// can never reach a driver or memory outside the table.
template <typename Result, typename Operation>
Result WithDevice(int32_t n, Result failure, Operation op) {
  ReceiverDevice* device = DeviceAt(n);
  return device ? op(*device) : failure;
}

// Holds the library lock for one two-step channel exchange.
class LibraryLock {
 public:
  LibraryLock();
  ~LibraryLock();
  LibraryLock(const LibraryLock&) = delete;
  LibraryLock& operator=(const LibraryLock&) = delete;

 private:
  LockHandle m_hLock;
};

// The steps shared by the two opens.
bool InitializeLibraryApartment();
// Stores a fresh record in slot n (releasing any record the slot held); null on failure.
ReceiverDevice* CreateSlotRecord(int32_t n);
bool CreateLibraryLock();
// A second open while one is in force first takes the library back to Closed, so the lock,
// the COM initialisation and the records are never leaked or shared by two opens.
void CloseIfOpen();
// Closes the lock and ends the library's COM initialisation (every close does this).
void ReleaseLibraryState();

// Discovery and binding.
// KSCATEGORY_BDA_NETWORK_TUNER {71985f48-1ca1-11d3-9cc8-00c04f7971e0}: where receivers are
// searched, and the category of the arrival and removal messages a program can register for.
inline constexpr Guid kTunerCategory = {0x71985f48, 0x1ca1, 0x11d3, {0x9c, 0xc8, 0x00, 0xc0, 0x4f, 0x79, 0x71, 0xe0}};
bool FindTunerFilter(ReceiverDevice& device, int32_t index);
bool FindCaptureFilter(ReceiverDevice& device);
bool GetKsControl(ReceiverDevice& device);

}  // namespace korvan
