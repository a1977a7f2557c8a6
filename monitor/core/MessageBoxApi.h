#pragma once
// Seam: modal message boxes (MessageBoxW). The monitor shows two: the disk-full warning of the
// log writer and the failed device-notification registration.
#include <cstdint>

#include "PlatformTypes.h"

namespace wendle {

// Box types and answers, with the platform's values (MB_OK, MB_ICONWARNING, IDOK).
constexpr uint32_t MSGBOX_OK = 0x00000000;
constexpr uint32_t MSGBOX_ICONWARNING = 0x00000030;
constexpr int32_t MSGBOX_ANSWER_OK = 1;

class MessageBoxApi {
 public:
  virtual ~MessageBoxApi() = default;

  // Shows a modal box and returns when the user has closed it, with the button chosen (IDOK = 1),
  // or 0 when the box could not be shown. owner 0 means a box without owner window. The texts
  // are NUL-terminated UTF-16. While it is open, the thread's messages go on being dispatched.
  virtual int32_t Show(WindowHandle owner, const char16_t* text, const char16_t* caption,
                       uint32_t type) = 0;
};

}  // namespace wendle
