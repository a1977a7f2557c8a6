#pragma once
// The library's one device-change registration.
#include <cstdint>

#include "LibraryPlatform.h"

namespace korvan {

constexpr uint32_t kNotifyFilterSize = 32;

// The registration made by TESK_set_notify; null while none is in force.
extern NotifyHandle g_hNotify;

// The filter handed to the system: interfaces of the network-tuner category, by any name.
void FillNotifyFilter(uint8_t (&filter)[kNotifyFilterSize]);

}  // namespace korvan
