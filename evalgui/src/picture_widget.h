#pragma once

#include <QWidget>

#include "vector_drawing.h"

// A picture of the window, painted from its drawing at the widget's size and at the screen's
// resolution, so that it stays sharp at every scale. What the drawing leaves empty shows the
// window behind it.
class PictureWidget final : public QWidget {
 public:
  PictureWidget(const Drawing& drawing, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const Drawing& drawing_;
};
