#pragma once

#include <windows.h>

// A push button that shows the progress of its work as a bar along its bottom edge, over its
// face. The bar's length is kept as a property of the button (kProgressProperty), where anything
// that looks at the window can read it.
class ProgressButton {
 public:
  explicit ProgressButton(HWND button);
  ~ProgressButton();
  ProgressButton(const ProgressButton&) = delete;
  ProgressButton& operator=(const ProgressButton&) = delete;

  // `level` of `levels` of the button's width, painted before this returns.
  void showProgress(int level, int levels);
  void hideProgress();

  // The bar's length in thousandths of the width, -1 without a bar.
  static int permille(HWND button);

 private:
  static LRESULT CALLBACK paintBar(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR self);
  void setPermille(int permille);

  HWND button_;
};
