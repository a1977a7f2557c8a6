#pragma once
// The small window layer's object side: a window object receives its window's messages through
// ProcessWindowMessage; whatever it does not handle goes to the default window procedure.
#include <cstdint>

#include "DesktopApi.h"

namespace wendle {

class CWindowObject {
 public:
  // Handles message and sets result, or returns false to let the default procedure have it.
  // Only message map 0 has handlers.
  virtual bool ProcessWindowMessage(WindowHandle hWnd, uint32_t uMsg, WParam wParam,
                                    LParam lParam, LResult& lResult, uint32_t dwMsgMapID) = 0;
  virtual ~CWindowObject() = default;
  // Called after WM_NCDESTROY, once the window is detached from the object.
  virtual void OnFinalMessage(WindowHandle hWnd);

  WindowHandle m_hWnd = 0;  // bound by the window procedure at the first message, 0 after
};

// The window procedure's body for a window bound to object: binds the handle, offers the message
// to the object (map 0), passes what it does not handle to DefWindowProcW, and detaches the
// object after WM_NCDESTROY.
LResult DispatchWindowMessage(CWindowObject& object, WindowHandle hWnd, uint32_t uMsg,
                              WParam wParam, LParam lParam);

// The framework's default reflection handler: a reflected control notification goes to the
// default procedure under its own number. Returns false for every other message.
bool DefaultReflectionHandler(WindowHandle hWnd, uint32_t uMsg, WParam wParam, LParam lParam,
                              LResult& lResult);

}  // namespace wendle
