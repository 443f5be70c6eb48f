#include "mouse_wheel.h"

#include <QWheelEvent>

void MouseWheel::hookMouseWheel(QWidget& window, Rolled rolled) {
  unhookMouseWheel();
  window_ = &window;
  rolled_ = std::move(rolled);
  window.installEventFilter(this);
}

void MouseWheel::unhookMouseWheel() {
  if (window_) window_->removeEventFilter(this);
  window_ = nullptr;
  rolled_ = nullptr;
}

bool MouseWheel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
  // Only the vertical wheel: the modifier keys do not change the rotation.
  rolled_(static_cast<QWheelEvent*>(event)->angleDelta().y());
  return true;
}
