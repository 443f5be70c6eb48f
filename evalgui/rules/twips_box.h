#pragma once

// A position and size in twips (1/1440 inch; 15 twips make one pixel at 96 dpi): left, top,
// width, height, within the control's parent. A front end converts at the monitor's resolution,
// rounding each of the four to the nearest pixel.
struct TwipsBox {
  int left;
  int top;
  int width;
  int height;
  bool operator==(const TwipsBox&) const = default;
};
