#pragma once

#include <QPaintDevice>
#include <QRect>
#include <QWidget>

#include <cmath>

#include "twips_box.h"

// The window is laid out in twips, 1/1440 inch, so that it keeps its proportions at any screen
// resolution: 15 twips make one pixel at 96 dpi.
class Twips {
 public:
  explicit Twips(const QPaintDevice& device)
      : xDpi_(device.logicalDpiX()), yDpi_(device.logicalDpiY()) {}

  int x(int twips) const { return pixels(twips, xDpi_); }
  int y(int twips) const { return pixels(twips, yDpi_); }
  QRect rect(int left, int top, int width, int height) const {
    return {x(left), y(top), x(width), y(height)};
  }
  void place(QWidget& widget, const TwipsBox& box) const {
    widget.setGeometry(rect(box.left, box.top, box.width, box.height));
  }

 private:
  static int pixels(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
  }

  int xDpi_;
  int yDpi_;
};
