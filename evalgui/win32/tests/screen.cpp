#include "screen.h"

#include <fstream>

namespace {

const wchar_t* const kDesktopKey = L"Control Panel\\Desktop";

}  // namespace

ScreenResolution::ScreenResolution(DWORD dpi) {
  DWORD size = sizeof(before_);
  had_ = RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr,
                      &before_, &size) == ERROR_SUCCESS;
  RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
}

ScreenResolution::~ScreenResolution() {
  if (had_) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &before_,
                    sizeof(before_));
  } else {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels");
  }
}

// A pixel of a control as the screen shows it.
COLORREF shownPixel(HWND control, int x, int y) {
  POINT at{x, y};
  ClientToScreen(control, &at);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

// The window as the screen shows it, into a BMP file.
void saveScreenshot(HWND window, const char* file) {
  RECT outer;
  GetWindowRect(window, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ before = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, outer.left, outer.top, SRCCOPY);
  const DWORD pixelBytes = static_cast<DWORD>(width * height * 4);
  constexpr DWORD kHeaders = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  const BITMAPFILEHEADER header{0x4D42, kHeaders + pixelBytes, 0, 0, kHeaders};
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
  out.write(static_cast<const char*>(bits), pixelBytes);
  SelectObject(memory, before);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}
