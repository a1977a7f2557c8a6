// Registration of a program's window for the arrival and removal messages of receivers. The
// messages go to that window; the library only registers and unregisters, independently of the
// receiver slots.
#include "DeviceNotification.h"

#include <cstring>

#include "Connection.h"
#include "Korvan.h"
#include "Trace.h"

namespace korvan {

NotifyHandle g_hNotify = nullptr;

void FillNotifyFilter(uint8_t (&filter)[kNotifyFilterSize]) {
  // DEV_BROADCAST_DEVICEINTERFACE_W: size, DBT_DEVTYP_DEVICEINTERFACE, reserved 0, the class of
  // interfaces (the category receivers are searched in), then an empty name.
  constexpr uint32_t kDeviceInterfaceType = 5;
  std::memset(filter, 0, sizeof filter);
  const uint32_t words[2] = {kNotifyFilterSize, kDeviceInterfaceType};
  for (size_t w = 0; w < 2; ++w)
    for (size_t i = 0; i < 4; ++i) filter[4 * w + i] = static_cast<uint8_t>(words[w] >> (8 * i));
  static_assert(sizeof kTunerCategory == 16, "GUID memory layout");
  std::memcpy(filter + 12, &kTunerCategory, sizeof kTunerCategory);
}

namespace {

void EndRegistration() {
  NotifyHandle handle = g_hNotify;
  g_hNotify = nullptr;
  // The outcome is not examined: a registration the system no longer knows is gone all the same.
  Platform().notify->Unregister(handle);
}

}  // namespace

}  // namespace korvan

extern "C" bool KORVAN_CALL TESK_set_notify(void* hWindow) {
  // One handle is kept: a new registration replaces the earlier one, which is ended first so that
  // it cannot be left behind unreachable.
  if (korvan::g_hNotify) korvan::EndRegistration();
  uint8_t filter[korvan::kNotifyFilterSize];
  korvan::FillNotifyFilter(filter);
  korvan::g_hNotify = korvan::Platform().notify->Register(hWindow, filter);
  return korvan::g_hNotify != nullptr;
}

extern "C" void KORVAN_CALL TESK_unregister_notify(void) {
  if (!korvan::g_hNotify) return;
  korvan::EndRegistration();
  korvan::Trace(u"unregister_notify ok");
}
