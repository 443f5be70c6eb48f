#pragma once

#include <QPointer>
#include <QWidget>

#include "message_boxes.h"

// The boxes as modal Qt message boxes over the owner window.
class QtMessageBoxes final : public MessageBoxes {
 public:
  void setOwner(QWidget* owner) { owner_ = owner; }
  BoxAnswer show(const MessageBoxRequest& box) override;

 private:
  QPointer<QWidget> owner_;
};
