#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

// Turns the wheel of a window into calls of one handler, whichever of its controls has the
// focus. Wheel events go to the control under the pointer and pass up to its parents while
// nobody uses them, so watching the window catches the wheel of the window itself and of every
// control that does not use the wheel. The events caught go no further.
class MouseWheel : public QObject {
 public:
  // Receives the wheel's rotation: 120 for each notch turned away from the user, -120 towards.
  using Rolled = std::function<void(int rotation)>;

  void hookMouseWheel(QWidget& window, Rolled rolled);
  void unhookMouseWheel();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> window_;
  Rolled rolled_;
};
