#pragma once

#include <QList>

#include <functional>

#include "message_boxes.h"

// Answers each box at once: with the next of `answers`, or with its default button when none is
// left. `whileShown` looks at the program while a box is open.
class FakeMessageBoxes : public MessageBoxes {
 public:
  BoxAnswer show(const MessageBoxRequest& box) override {
    shown.append(box);
    if (whileShown) whileShown(box);
    return answers.isEmpty() ? box.defaultAnswer : answers.takeFirst();
  }

  QStringList texts() const {
    QStringList result;
    for (const MessageBoxRequest& box : shown) result.append(box.text);
    return result;
  }

  QList<MessageBoxRequest> shown;
  QList<BoxAnswer> answers;
  std::function<void(const MessageBoxRequest&)> whileShown;
};
