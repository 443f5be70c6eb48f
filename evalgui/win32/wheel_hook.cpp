#include "wheel_hook.h"

namespace {

// The hook that serves a window, found again from inside its procedure.
constexpr auto kHookProperty = L"qv6180.WheelHook";

}  // namespace

void WheelHook::hookMouseWheel(HWND window, Rolled rolled) {
  unhookMouseWheel();
  window_ = window;
  rolled_ = std::move(rolled);
  SetPropW(window, kHookProperty, this);
  previous_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WheelHook::wheelWindowProc)));
}

void WheelHook::unhookMouseWheel() {
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  RemovePropW(window_, kHookProperty);
  window_ = nullptr;
  previous_ = nullptr;
  rolled_ = nullptr;
}

// Modifier keys leave the rotation as it is: only the upper word of wParam counts.
LRESULT CALLBACK WheelHook::wheelWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  auto* hook = static_cast<WheelHook*>(GetPropW(window, kHookProperty));
  if (message == WM_MOUSEWHEEL) {
    hook->rolled_(GET_WHEEL_DELTA_WPARAM(wParam));
    return 0;
  }
  return CallWindowProcW(hook->previous_, window, message, wParam, lParam);
}
