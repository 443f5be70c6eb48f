#pragma once

#include <QPointer>
#include <QWidget>

#include "message_boxes.h"

// The boxes as modal Qt message boxes over the owner window, each wide enough for its title.
class QtMessageBoxes final : public MessageBoxes {
 public:
  void setOwner(QWidget* owner) { owner_ = owner; }
  BoxAnswer show(const MessageBoxRequest& box) override;

  // How wide a box must be for the window manager to show the whole title on its title bar.
  static int widthForTitle(const QString& title);

 private:
  QPointer<QWidget> owner_;
};
