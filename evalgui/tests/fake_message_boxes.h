#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "message_boxes.h"

// A box as shown, with Qt's texts for the tests to compare.
struct ShownBox {
  QString text;
  QString title;
  BoxButtons buttons;
  BoxIcon icon;
  BoxAnswer defaultAnswer;
};

// Answers each box at once: with the next of `answers`, or with its default button when none is
// left. `whileShown` looks at the program while a box is open.
class FakeMessageBoxes : public MessageBoxes {
 public:
  BoxAnswer show(const MessageBoxRequest& box) override {
    shown.append({QString::fromStdString(box.text), QString::fromStdString(box.title), box.buttons,
                  box.icon, box.defaultAnswer});
    if (whileShown) whileShown(box);
    return answers.isEmpty() ? box.defaultAnswer : answers.takeFirst();
  }

  QStringList texts() const {
    QStringList result;
    for (const ShownBox& box : shown) result.append(box.text);
    return result;
  }

  QList<ShownBox> shown;
  QList<BoxAnswer> answers;
  std::function<void(const MessageBoxRequest&)> whileShown;
};
