#include "Win32DeviceNotifications.h"

#include <cstddef>

#include <windows.h>
#include <dbt.h>

namespace wendle {

static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == sizeof(DeviceInterfaceFilter) &&
                  offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) == DEVICE_RECORD_NAME_OFFSET,
              "the filter is the system's device-interface record");

NotifyHandle Win32DeviceNotifications::Register(WindowHandle window,
                                                const DeviceInterfaceFilter& filter, uint32_t flags) {
  // The system only reads the filter.
  return reinterpret_cast<NotifyHandle>(RegisterDeviceNotificationW(
      reinterpret_cast<HANDLE>(window), const_cast<DeviceInterfaceFilter*>(&filter), flags));
}

bool Win32DeviceNotifications::Unregister(NotifyHandle registration) {
  return UnregisterDeviceNotification(reinterpret_cast<HDEVNOTIFY>(registration)) != FALSE;
}

}  // namespace wendle
