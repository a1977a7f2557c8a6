#pragma once
// The window messages and notification codes the monitor handles, with the system's values.
// Own names, so that this header can sit beside <windows.h>.
#include <cstdint>

namespace wendle {

constexpr uint32_t MSG_CREATE = 0x0001;
constexpr uint32_t MSG_DESTROY = 0x0002;
constexpr uint32_t MSG_CLOSE = 0x0010;
constexpr uint32_t MSG_NCDESTROY = 0x0082;
constexpr uint32_t MSG_COMMAND = 0x0111;
constexpr uint32_t MSG_TIMER = 0x0113;
constexpr uint32_t MSG_RBUTTONUP = 0x0205;
constexpr uint32_t MSG_DEVICECHANGE = 0x0219;

// Control notifications that a parent reflects back to the control with this offset added
// (the framework's "OCM_" numbers). Only the notification messages below are ever reflected.
constexpr uint32_t REFLECTED_MESSAGE_BASE = 0x2000;
bool IsControlNotification(uint32_t message);

// WM_DEVICECHANGE events.
constexpr uint32_t DEVICE_ARRIVAL = 0x8000;          // DBT_DEVICEARRIVAL
constexpr uint32_t DEVICE_REMOVE_COMPLETE = 0x8004;  // DBT_DEVICEREMOVECOMPLETE

constexpr int32_t SHOW_HIDE = 0;  // SW_HIDE

}  // namespace wendle
