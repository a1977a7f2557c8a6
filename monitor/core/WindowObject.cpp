#include "WindowObject.h"

#include "WindowMessages.h"

namespace wendle {

bool IsControlNotification(uint32_t message) {
  switch (message) {
    case 0x002B:  // WM_DRAWITEM
    case 0x002C:  // WM_MEASUREITEM
    case 0x002D:  // WM_DELETEITEM
    case 0x002E:  // WM_VKEYTOITEM
    case 0x002F:  // WM_CHARTOITEM
    case 0x0039:  // WM_COMPAREITEM
    case 0x004E:  // WM_NOTIFY
    case 0x0111:  // WM_COMMAND
    case 0x0114:  // WM_HSCROLL
    case 0x0115:  // WM_VSCROLL
    case 0x0132:  // WM_CTLCOLORMSGBOX
    case 0x0133:  // WM_CTLCOLOREDIT
    case 0x0134:  // WM_CTLCOLORLISTBOX
    case 0x0135:  // WM_CTLCOLORBTN
    case 0x0136:  // WM_CTLCOLORDLG
    case 0x0137:  // WM_CTLCOLORSCROLLBAR
    case 0x0138:  // WM_CTLCOLORSTATIC
    case 0x0210:  // WM_PARENTNOTIFY
      return true;
    default:
      return false;
  }
}

void CWindowObject::OnFinalMessage(WindowHandle) {}

bool DefaultReflectionHandler(WindowHandle hWnd, uint32_t uMsg, WParam wParam, LParam lParam,
                              LResult& lResult) {
  if (uMsg < REFLECTED_MESSAGE_BASE || !IsControlNotification(uMsg - REFLECTED_MESSAGE_BASE)) {
    return false;
  }
  lResult = Desktop().pWindows->DefaultProcedure(hWnd, uMsg - REFLECTED_MESSAGE_BASE, wParam,
                                                 lParam);
  return true;
}

LResult DispatchWindowMessage(CWindowObject& object, WindowHandle hWnd, uint32_t uMsg,
                              WParam wParam, LParam lParam) {
  object.m_hWnd = hWnd;
  LResult lResult = 0;
  if (!object.ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 0)) {
    lResult = Desktop().pWindows->DefaultProcedure(hWnd, uMsg, wParam, lParam);
  }
  if (uMsg == MSG_NCDESTROY) {
    object.m_hWnd = 0;
    object.OnFinalMessage(hWnd);
  }
  return lResult;
}

}  // namespace wendle
