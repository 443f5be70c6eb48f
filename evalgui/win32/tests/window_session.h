#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "window_layout.h"

// One run of qv6180eval.exe, driven from another process as a user would: its window and
// controls found by their identifiers, keys, characters, clicks and wheel turns delivered to
// them, texts read back, and its message boxes found by title and answered.
class WindowSession {
 public:
  // Starts the program with these environment variables added to the driver's own, in its own
  // folder or in `currentFolder`.
  WindowSession(const std::wstring& program,
                const std::map<std::wstring, std::wstring>& environment,
                const std::wstring& currentFolder = {});
  ~WindowSession();
  WindowSession(const WindowSession&) = delete;
  WindowSession& operator=(const WindowSession&) = delete;

  // The main window once it is visible, null when it does not come within a few seconds.
  HWND waitForWindow();
  HWND window() const { return window_; }
  HWND control(Control control) const;

  std::string text(Control control) const;
  // The text of any window of the program.
  std::string text(HWND window) const;
  // The control of the program that has the keyboard focus.
  HWND focus() const;
  void setText(Control control, const std::string& text);
  // Types each character as the keyboard would deliver it, into the control's selection.
  void type(Control control, const std::string& characters);
  void selectAll(Control control);
  // A key pressed and released in the control.
  void key(Control control, WORD virtualKey);
  void click(Control control);
  // A click of the left mouse button into the control, which takes the focus.
  void clickInto(Control control);
  // A wheel turn delivered to this window: +120 is a notch away from the user.
  void wheel(HWND target, int rotation);
  // Posts through the program's queue, as input from the devices arrives.
  void postKey(Control control, WORD virtualKey);
  void postCharacter(Control control, wchar_t character);

  // Returns once the program has served every message sent to it before, or has come to wait in
  // a box that one of them brought up.
  void settle() const;

  struct Box {
    HWND window = nullptr;
    std::string title;
    std::string text;
  };
  // The next message box of the program, with any title when `title` is empty; none within the
  // time allowed.
  std::optional<Box> waitForBox(const std::string& title = {}, DWORD milliseconds = 5000) const;
  // Presses a button of the box (IDOK, IDCANCEL, IDYES, ...).
  void answer(const Box& box, int button) const;

  // The program's exit status once it has ended, after closing its window when asked to.
  std::optional<DWORD> waitForExit(DWORD milliseconds = 10000) const;
  void close();
  DWORD processId() const { return process_.dwProcessId; }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

// A Windows path for a path that Wine may have been given in the host's notation.
std::wstring windowsPath(const std::string& path);
