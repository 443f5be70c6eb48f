#pragma once

// The screen the driver works on: the resolution the window's programs start at, and what the
// screen shows of a window.
#include <windows.h>

// The system's resolution, which Wine (like Windows before per-monitor resolutions) takes from
// the user's LogPixels as a program starts; put back as it was when this ends. Wine keeps the
// resolution that the session's desktop started with, so a case that sets it runs in a session
// of its own.
class ScreenResolution {
 public:
  explicit ScreenResolution(DWORD dpi);
  ~ScreenResolution();
  ScreenResolution(const ScreenResolution&) = delete;
  ScreenResolution& operator=(const ScreenResolution&) = delete;

 private:
  DWORD before_ = 0;
  bool had_ = false;
};

// A pixel of a control as the screen shows it.
COLORREF shownPixel(HWND control, int x, int y);

// The window as the screen shows it, into a BMP file.
void saveScreenshot(HWND window, const char* file);
