#include "progress_button.h"

#include <commctrl.h>

#include "control_ids.h"
#include "dpi.h"

namespace {

constexpr UINT_PTR kSubclassId = 1;
// In pixels at 96 dpi: the bar's height, and the button's frame that it stays inside.
constexpr int kBarHeight = 3;
constexpr int kFrame = 3;

}  // namespace

ProgressButton::ProgressButton(HWND button) : button_(button) {
  SetWindowSubclass(button_, &ProgressButton::paintBar, kSubclassId, 0);
}

ProgressButton::~ProgressButton() {
  RemoveWindowSubclass(button_, &ProgressButton::paintBar, kSubclassId);
  RemovePropW(button_, kProgressProperty);
}

int ProgressButton::permille(HWND button) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(button, kProgressProperty))) - 1;
}

void ProgressButton::showProgress(int level, int levels) {
  setPermille(levels > 0 ? level * 1000 / levels : 0);
}

void ProgressButton::hideProgress() {
  if (permille(button_) >= 0) setPermille(-1);
}

void ProgressButton::setPermille(int permille) {
  SetPropW(button_, kProgressProperty,
           reinterpret_cast<HANDLE>(static_cast<INT_PTR>(permille + 1)));
  InvalidateRect(button_, nullptr, FALSE);
  UpdateWindow(button_);
}

// The button paints itself first; the bar goes over its face.
LRESULT CALLBACK ProgressButton::paintBar(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR /*id*/, DWORD_PTR /*self*/) {
  const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
  const int done = permille(button);
  if (message != WM_PAINT || done < 0) return result;
  RECT inside;
  GetClientRect(button, &inside);
  const int dpi = static_cast<int>(windowDpi(button));
  const int frame = MulDiv(kFrame, dpi, 96);
  InflateRect(&inside, -frame, -frame);
  RECT bar = inside;
  bar.top = bar.bottom - MulDiv(kBarHeight, dpi, 96);
  bar.right = bar.left + MulDiv(inside.right - inside.left, done, 1000);
  HDC dc = GetDC(button);
  FillRect(dc, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
  ReleaseDC(button, dc);
  return result;
}
