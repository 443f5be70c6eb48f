#pragma once

#include <windows.h>

#include <optional>

#include "standard_resistors_list.h"

// File > "Standard resistors..." on Win32: the list's pairs in a modal dialog over `owner`, the
// first one selected. The pair chosen by OK or a double-click on its row; none on Cancel.
std::optional<StandardPair> chooseStandardPair(HINSTANCE instance, HWND owner,
                                               const StandardResistorsList& list);
