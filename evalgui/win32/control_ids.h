#pragma once

#include "window_layout.h"

// The identifier of each control of the layout table as a child window of the main window, by
// which GetDlgItem finds it (and the tests under Wine with it).
constexpr int controlId(Control control) {
  return 1000 + static_cast<int>(control);
}

// The identifiers of the File menu's items, by which WM_COMMAND names them.
inline constexpr int kMenuStandardResistorsId = 2000;
inline constexpr int kMenuExitId = 2001;

// The main window's class, for FindWindow.
inline constexpr const wchar_t* kMainWindowClass = L"QV6180EvalWindow";

// A child's text colour, kept as a property of the child: the colour with kTextColourSet added,
// absent while the child has the default colour.
inline constexpr const wchar_t* kTextColourProperty = L"qv6180.TextColour";
inline constexpr unsigned long kTextColourSet = 0x01000000;

// The progress bar along a button during its work, kept as a property of the button: its length
// in thousandths of the button's width plus one, absent without a bar.
inline constexpr const wchar_t* kProgressProperty = L"qv6180.ProgressPermille";
