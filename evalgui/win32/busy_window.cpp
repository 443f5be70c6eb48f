#include "busy_window.h"

namespace {

bool isInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_CLOSE;
}

}  // namespace

void serveMessagesDroppingInput(HWND window) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the message loop, which ends the program once the work is over.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    const bool forWindow = message.hwnd == window || IsChild(window, message.hwnd);
    if (forWindow && isInput(message.message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
