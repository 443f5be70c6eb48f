// The Win32 window's side of WindowView: what the window rules ask of the controls.
#include "main_window.h"

#include <commctrl.h>

#include "busy_window.h"
#include "control_ids.h"
#include "text_conversion.h"

namespace {

std::wstring textOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

std::string MainWindow::text(Control control) const {
  return narrow(textOf(handleOf(control)));
}

void MainWindow::setText(Control control, const std::string& text) {
  SetWindowTextW(handleOf(control), widen(text).c_str());
}

void MainWindow::setCaret(Control control, std::size_t position) {
  SendMessageW(handleOf(control), EM_SETSEL, position, static_cast<LPARAM>(position));
}

void MainWindow::setTextColour(Control control, FieldColour colour) {
  const COLORREF rgb = colour == FieldColour::Red ? RGB(255, 0, 0) : GetSysColor(COLOR_BTNTEXT);
  textColours_[control] = rgb;
  HWND child = handleOf(control);
  SetPropW(child, kTextColourProperty,
           reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(rgb | kTextColourSet)));
  InvalidateRect(child, nullptr, TRUE);
}

void MainWindow::setToolTip(Control control, const std::string& tip) {
  std::wstring text = widen(tip);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(handleOf(control));
  tool.lpszText = text.data();
  SendMessageW(toolTips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::setTop(Control control, int topTwips) {
  boxes_.at(control).top = topTwips;
  place(control);
}

void MainWindow::setHeight(Control control, int heightTwips) {
  boxes_.at(control).height = heightTwips;
  place(control);
}

void MainWindow::setWindowOuterHeight(int heightTwips) {
  outerHeightTwips_ = heightTwips;
  placeWindow();
}

void MainWindow::hide(Control control) {
  ShowWindow(handleOf(control), SW_HIDE);
}

void MainWindow::show(Control control) {
  ShowWindow(handleOf(control), SW_SHOW);
}

void MainWindow::setWindowDesignHeight() {
  outerHeightTwips_.reset();
  placeWindow();
}

void MainWindow::setFocus(Control control) {
  SetFocus(handleOf(control));
}

void MainWindow::hookMouseWheel() {
  wheel_.hookMouseWheel(window_, [this](int rotation) { rules_.MouseWheelRolled(rotation); });
}

void MainWindow::unhookMouseWheel() {
  wheel_.unhookMouseWheel();
}

// The pulse train runs on this thread: the window paints and the system is served between its
// steps, and input meant for the window is dropped meanwhile.
void MainWindow::showProgress(Control /*button*/, int level) {
  sendButton_->showProgress(level, kProgressLevels);
  serveMessagesDroppingInput(window_);
}

void MainWindow::hideProgress(Control /*button*/) {
  sendButton_->hideProgress();
}

void MainWindow::closeWindow() {
  SendMessageW(window_, WM_CLOSE, 0, 0);
}
