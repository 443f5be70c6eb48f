#pragma once

#include <QObject>
#include <QWidget>

#include <functional>

// A window that is at times busy on its own thread: while busy it takes no input (keys, mouse,
// wheel, shortcuts; whether it may close is the window's own question), but paints when asked to.
// Input meant for the window is dropped, not kept for later, so that nothing typed or clicked while
// it looked busy acts afterwards. Boxes that come up meanwhile, such as the library's, take input
// as usual.
class BusyWindow final : public QObject {
 public:
  // `busy` says whether the window is busy now.
  BusyWindow(QWidget& window, std::function<bool()> busy);
  ~BusyWindow() override;
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

  // Brings the screen up to date: pending paints and whatever else is queued, input excepted.
  void paint();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool belongsToWindow(QObject* receiver) const;

  QWidget& window_;
  std::function<bool()> busy_;
};
