#include "dpi.h"

#include <cstddef>

#include "window_layout.h"

namespace {

template <typename Function>
Function user32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT screenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return static_cast<UINT>(dpi);
}

int CALLBACK notePresent(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM present) {
  *reinterpret_cast<bool*>(present) = true;
  return 0;
}

}  // namespace

UINT windowDpi(HWND window) {
  static const auto getDpiForWindow = user32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
  return dpi ? dpi : screenDpi();
}

SIZE outerSize(SIZE client, DWORD style, DWORD extendedStyle, bool hasMenu, UINT dpi) {
  static const auto adjustForDpi =
      user32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, client.cx, client.cy};
  if (!adjustForDpi || !adjustForDpi(&rect, style, hasMenu, extendedStyle, dpi)) {
    AdjustWindowRectEx(&rect, style, hasMenu, extendedStyle);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

HFONT createWindowFont(UINT dpi) {
  LOGFONTW font{};
  // Rounded down: a font a fraction of a pixel larger than the design's would not fit.
  font.lfHeight = -static_cast<LONG>(kWindowFontPoints * dpi / 72.0);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  HDC screen = GetDC(nullptr);
  for (const char* face : kWindowFontFaces) {
    font.lfFaceName[0] = L'\0';
    for (std::size_t i = 0; face[i] && i + 1 < LF_FACESIZE; ++i) {
      font.lfFaceName[i] = static_cast<wchar_t>(face[i]);
      font.lfFaceName[i + 1] = L'\0';
    }
    bool present = false;
    EnumFontFamiliesExW(screen, &font, notePresent, reinterpret_cast<LPARAM>(&present), 0);
    if (present) break;
  }
  ReleaseDC(nullptr, screen);
  return CreateFontIndirectW(&font);
}
