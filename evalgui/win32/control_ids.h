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

// The status line, a child of the main window, and File > Board's entries, in order.
inline constexpr int kStatusLineId = 2100;
inline constexpr int kMenuBoardFirstId = 2200;
// Beyond this many boards File > Board lists no more.
inline constexpr int kMenuBoardEntries = 100;

// File > Board as a property of the main window, for the tests: Wine shows no process the menus of
// another. The number of entries, the position of the checked one plus one (0: none) and
// whether the menu is enabled.
inline constexpr const wchar_t* kBoardMenuProperty = L"qv6180.BoardMenu";
struct BoardMenuState {
  int entries = 0;
  int checked = 0;
  bool enabled = false;
  bool operator==(const BoardMenuState&) const = default;
};
constexpr unsigned long packBoardMenu(BoardMenuState state) {
  return static_cast<unsigned long>(state.entries) |
         static_cast<unsigned long>(state.checked) << 8 | (state.enabled ? 1ul << 16 : 0);
}
constexpr BoardMenuState unpackBoardMenu(unsigned long packed) {
  return {static_cast<int>(packed & 0xFF), static_cast<int>(packed >> 8 & 0xFF),
          (packed >> 16 & 1) != 0};
}

// The main window's class, for FindWindow.
inline constexpr const wchar_t* kMainWindowClass = L"QV6180EvalWindow";

// A child's text colour, kept as a property of the child: the colour with kTextColourSet added,
// absent while the child has the default colour.
inline constexpr const wchar_t* kTextColourProperty = L"qv6180.TextColour";
inline constexpr unsigned long kTextColourSet = 0x01000000;

// The progress bar along a button during its work, kept as a property of the button: its length
// in thousandths of the button's width plus one, absent without a bar.
inline constexpr const wchar_t* kProgressProperty = L"qv6180.ProgressPermille";
