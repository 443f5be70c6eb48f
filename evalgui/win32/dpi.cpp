#include "dpi.h"

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

// The window's captions are sized for a font of this many points.
constexpr int kFontPoints = 8;

HFONT createDialogFont(UINT dpi) {
  static const auto parametersForDpi =
      user32Function<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!parametersForDpi ||
      !parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  }
  metrics.lfMessageFont.lfHeight = -MulDiv(kFontPoints, static_cast<int>(dpi), 72);
  return CreateFontIndirectW(&metrics.lfMessageFont);
}
