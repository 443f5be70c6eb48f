#pragma once

#include <windows.h>

// A PNG picture among the program's resources (RCDATA), decoded by the Windows Imaging Component
// and scaled to the given size in pixels, on white where it is transparent. Null when it cannot be
// had. The caller deletes the bitmap.
HBITMAP loadPicture(int resourceId, int width, int height);
