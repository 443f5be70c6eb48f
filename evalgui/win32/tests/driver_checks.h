#pragma once

// What the window driver checks with: failures counted and printed, the texts, colours and layout
// of the window as the driver sees them, the virtual chip's state from the library's trace.
#include <windows.h>

#include <functional>
#include <string>

#include "window_layout.h"
#include "window_session.h"

struct Paths {
  std::wstring program;
  std::wstring trace;
  // The trace file in the driver's own notation.
  std::string traceHost;
};

// Counts and prints a check that does not hold.
void check(bool holds, const std::string& what);
int failureCount();
void checkText(WindowSession& session, Control control, const std::string& expected,
               const std::string& when);
int pixels(HWND window, int twips);

// The last register value the virtual chip reports in the trace, and the last stored one: of
// the board at `path`, or of any board. -1 while the chip has not changed.
struct ChipState {
  int dvr = -1;
  int eeprom = -1;
  bool operator==(const ChipState&) const = default;
};
ChipState chipState(const std::string& trace, const std::string& path = {});
// A byte of the last report in the trace that set `command` on the board at `path`; -1 when none
// did.
int lastSetByte(const std::string& trace, const std::string& path, int command, std::size_t byte);

// Asks until the condition holds, for up to `milliseconds`: whether it came to hold.
bool waitUntil(const std::function<bool()>& holds, DWORD milliseconds = 10000);
// What the status line says, and its height in pixels (0 without one).
std::string statusLine(WindowSession& session);
int statusLineHeight(WindowSession& session);

COLORREF textColour(WindowSession& session, Control control);
// Waits for the box, checks its text and presses the button; false without a box.
bool answerBox(WindowSession& session, const std::string& title, const std::string& text,
               int button, const std::string& when);
void closeAndExpect(WindowSession& session, DWORD status);
bool startWindow(WindowSession& session);
// The full layout as start-up with a board leaves it.
void checkFullLayout(WindowSession& session);
