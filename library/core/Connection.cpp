#include "Connection.h"

#include <new>

#include "Korvan.h"
#include "Trace.h"

namespace korvan {

ReceiverDevice* g_pDevices[kDeviceSlots] = {};
LockHandle g_hMutex = nullptr;
bool g_bComInitialized = false;

namespace {

bool IsValidDeviceNumber(int32_t n) { return n >= 0 && n < kDeviceSlots; }

void DestroySlot(int32_t n) {
  ReceiverDevice* device = g_pDevices[n];
  g_pDevices[n] = nullptr;
  delete device;
}

bool IsOpen() {
  if (g_hMutex || g_bComInitialized) return true;
  for (ReceiverDevice* device : g_pDevices)
    if (device) return true;
  return false;
}

}  // namespace

ReceiverDevice* DeviceAt(int32_t n) { return IsValidDeviceNumber(n) ? g_pDevices[n] : nullptr; }

LibraryLock::LibraryLock() : m_hLock(g_hMutex) { Platform().locks->Wait(m_hLock); }
LibraryLock::~LibraryLock() { Platform().locks->Release(m_hLock); }

bool InitializeLibraryApartment() {
  // S_FALSE (the thread was already initialised) counts too: the close balances it.
  if (!Succeeded(Platform().com->Initialize())) return false;
  g_bComInitialized = true;
  return true;
}

ReceiverDevice* CreateSlotRecord(int32_t n) {
  if (!IsValidDeviceNumber(n)) return nullptr;
  DestroySlot(n);
  g_pDevices[n] = new (std::nothrow) ReceiverDevice();
  return g_pDevices[n];
}

bool CreateLibraryLock() {
  if (g_hMutex) {
    Platform().locks->Close(g_hMutex);
    g_hMutex = nullptr;
  }
  g_hMutex = Platform().locks->Create();
  return g_hMutex != nullptr;
}

void ReleaseLibraryState() {
  if (g_hMutex) {
    Platform().locks->Close(g_hMutex);
    g_hMutex = nullptr;
  }
  if (g_bComInitialized) Platform().com->Uninitialize();
  g_bComInitialized = false;
}

void CloseIfOpen() {
  if (!IsOpen()) return;
  for (int32_t n = 0; n < kDeviceSlots; ++n) DestroySlot(n);
  ReleaseLibraryState();
}

}  // namespace korvan

using namespace korvan;

extern "C" bool KORVAN_CALL TESK_init(DeviceNumber n) {
  TraceFormat(u"aaa TESK_init DevNo: %d", n);
  if (!IsValidDeviceNumber(n)) {
    Trace(u"DevNo error!!!");
    return false;
  }
  CloseIfOpen();

  bool opened = false;
  if (InitializeLibraryApartment()) {
    if (ReceiverDevice* device = CreateSlotRecord(n)) {
      bool found = FindTunerFilter(*device, n);
      if (!found) {
        Trace(u"<Korvan> Could not find Tamo Device!");
        found = FindCaptureFilter(*device);
        if (!found) Trace(u"<Brenlo> Could not find Brenlo Analog Device!");
      }
      if (found) {
        if (!GetKsControl(*device))
          Trace(u"<Korvan> Fail to get KS Control!");
        else if (!CreateLibraryLock())
          Trace(u"<Korvan> CreateMutex error!");
        else
          opened = true;
      }
    }
  }
  if (!opened) TESK_exit(n);
  return opened;
}

extern "C" void KORVAN_CALL TESK_exit(DeviceNumber n) {
  if (!IsValidDeviceNumber(n))
    Trace(u"DevNo error!!!");
  else
    DestroySlot(n);
  ReleaseLibraryState();
}

extern "C" const char* KORVAN_CALL TESK_GetDllVersion(void) { return "20100730.1"; }
