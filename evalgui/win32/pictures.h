#pragma once

#include <windows.h>

#include "vector_drawing.h"

// GDI+, which draws the pictures, started for as long as this lives.
class GdiPlusSession {
 public:
  GdiPlusSession();
  ~GdiPlusSession();
  GdiPlusSession(const GdiPlusSession&) = delete;
  GdiPlusSession& operator=(const GdiPlusSession&) = delete;

 private:
  ULONG_PTR token_ = 0;
};

// The drawing painted by GDI+, antialiased, into a bitmap of the given size in pixels, over
// `background` where the drawing leaves it empty. Null when it cannot be had. The caller deletes
// the bitmap.
HBITMAP drawPicture(const Drawing& drawing, int width, int height, COLORREF background);
