#include "picture_checks.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <tuple>
#include <vector>

namespace {

constexpr DWORD kTwiceTheResolution = 192;
const wchar_t* const kDesktopKey = L"Control Panel\\Desktop";

// The system's resolution, which Wine (like Windows before per-monitor resolutions) takes from
// the user's LogPixels as a program starts; put back as it was when this ends.
class ScreenResolution {
 public:
  explicit ScreenResolution(DWORD dpi) {
    DWORD size = sizeof(before_);
    had_ = RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr,
                        &before_, &size) == ERROR_SUCCESS;
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
  }
  ~ScreenResolution() {
    if (had_) {
      RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &before_,
                      sizeof(before_));
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels");
    }
  }
  ScreenResolution(const ScreenResolution&) = delete;
  ScreenResolution& operator=(const ScreenResolution&) = delete;

 private:
  DWORD before_ = 0;
  bool had_ = false;
};

// A pixel of a control as the screen shows it.
COLORREF shownPixel(HWND control, int x, int y) {
  POINT at{x, y};
  ClientToScreen(control, &at);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

bool isDark(COLORREF colour) {
  return GetRValue(colour) < 16 && GetGValue(colour) < 16 && GetBValue(colour) < 16;
}

std::string hex(COLORREF colour) {
  char text[16];
  std::snprintf(text, sizeof(text), "#%02x%02x%02x", GetRValue(colour), GetGValue(colour),
                GetBValue(colour));
  return text;
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

}  // namespace

// With QV6180_SCREENSHOT=FILE.bmp the driver saves the window as it looks at this resolution.
void picturesAtTwiceTheResolution(const Paths& paths) {
  using enum Control;
  const ScreenResolution resolution(kTwiceTheResolution);
  WindowSession session(paths.program, {{L"KSTHID_SIMULATE", L"1"}});
  if (!startWindow(session)) return;
  const UINT dpi = GetDpiForWindow(session.window());
  check(dpi == kTwiceTheResolution, "the window runs at " + std::to_string(dpi) + " dpi, not 192");
  SetWindowPos(session.window(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
  session.settle();
  const HWND schematic = session.control(Image1);
  const HWND logo = session.control(imgKestroLogo);
  for (const auto& [control, width, height] :
       {std::tuple{schematic, 343, 244}, std::tuple{logo, 231, 27}}) {
    RECT client;
    GetClientRect(control, &client);
    check(client.right == 2 * width && client.bottom == 2 * height,
          "a picture is " + std::to_string(client.right) + " x " + std::to_string(client.bottom) +
              " pixels, not twice " + std::to_string(width) + " x " + std::to_string(height));
  }
  // The wire at y = 204 (x 32 to 56), 1.5 design pixels wide, fills two rows of pixels at 2x.
  for (int row : {407, 408}) {
    const COLORREF wire = shownPixel(schematic, 100, row);
    check(isDark(wire), "the schematic's wire is " + hex(wire) + " in row " + std::to_string(row) +
                            ", not black: drawn blurred");
  }
  check(shownPixel(schematic, 100, 402) == RGB(255, 255, 255), "the schematic lies on white");
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (const POINT corner : {POINT{0, 0}, POINT{461, 53}}) {
    const COLORREF shown = shownPixel(logo, corner.x, corner.y);
    check(shown == face, "the logo's corner is " + hex(shown) + ", not the window's " + hex(face));
  }
  const COLORREF mark = shownPixel(logo, 26, 28);
  check(std::abs(GetRValue(mark) - 0x1b) < 8 && std::abs(GetBValue(mark) - 0x8b) < 8,
        "the logo's mark is " + hex(mark) + ", not its blue #1b3f8b");
  if (const char* file = std::getenv("QV6180_SCREENSHOT")) saveScreenshot(session.window(), file);
  closeAndExpect(session, 0);
}
