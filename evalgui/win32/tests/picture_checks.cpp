#include "picture_checks.h"

#include "screen.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <tuple>
#include <vector>

namespace {

constexpr DWORD kTwiceTheResolution = 192;
bool isDark(COLORREF colour) {
  return GetRValue(colour) < 16 && GetGValue(colour) < 16 && GetBValue(colour) < 16;
}

std::string hex(COLORREF colour) {
  char text[16];
  std::snprintf(text, sizeof(text), "#%02x%02x%02x", GetRValue(colour), GetGValue(colour),
                GetBValue(colour));
  return text;
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
