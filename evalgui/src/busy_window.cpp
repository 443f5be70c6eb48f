#include "busy_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

BusyWindow::BusyWindow(QWidget& window, std::function<bool()> busy)
    : window_(window), busy_(std::move(busy)) {
  QCoreApplication::instance()->installEventFilter(this);
}

BusyWindow::~BusyWindow() {
  QCoreApplication::instance()->removeEventFilter(this);
}

void BusyWindow::paint() {
  QCoreApplication::processEvents();
}

// Input is accepted, so that it goes to no parent, and an accepted shortcut override keeps the
// key from triggering a shortcut as well.
bool BusyWindow::eventFilter(QObject* watched, QEvent* event) {
  if (!event->isInputEvent() || !busy_() || !belongsToWindow(watched)) return false;
  event->accept();
  return true;
}

bool BusyWindow::belongsToWindow(QObject* receiver) const {
  if (auto* widget = qobject_cast<QWidget*>(receiver)) return widget->window() == &window_;
  return receiver == window_.windowHandle();
}
