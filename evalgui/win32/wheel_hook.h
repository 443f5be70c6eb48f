#pragma once

#include <windows.h>

#include <functional>

// Places a window procedure of its own in front of the window's, which turns every wheel message
// reaching the window into one call of `rolled` with the wheel's rotation (+120 a notch turned
// away from the user), and passes every other message on unchanged. Wheel messages go to the
// control with the focus; a control that does not use the wheel passes it up to its parent, so
// the wheel reaches the window from any of its controls that leaves it alone.
class WheelHook {
 public:
  using Rolled = std::function<void(int rotation)>;

  WheelHook() = default;
  ~WheelHook() { unhookMouseWheel(); }
  WheelHook(const WheelHook&) = delete;
  WheelHook& operator=(const WheelHook&) = delete;

  void hookMouseWheel(HWND window, Rolled rolled);
  // Puts the window's own procedure back.
  void unhookMouseWheel();

 private:
  static LRESULT CALLBACK wheelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  WNDPROC previous_ = nullptr;
  Rolled rolled_;
};
