#pragma once

#include <windows.h>

// The window's resolution and what depends on it. Windows 10 gives each monitor its own; older
// systems have one for the whole screen, which these fall back to.
UINT windowDpi(HWND window);
// The outer size of a window whose client area, below its menu bar, has the given size.
SIZE outerSize(SIZE client, DWORD style, DWORD extendedStyle, bool hasMenu, UINT dpi);
// The window's font (window_layout.h) at this resolution, in the first of its faces that the
// system has; the system's font mapper chooses where it has none. The caller deletes it.
HFONT createWindowFont(UINT dpi);
