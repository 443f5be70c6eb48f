#pragma once

#include <functional>
#include <string>
#include <vector>

#include "message_boxes.h"

// Answers each box at once with the next of `answers`, or with its default button.
class FakeBoxes : public MessageBoxes {
 public:
  BoxAnswer show(const MessageBoxRequest& box) override {
    shown.push_back(box);
    if (whileShown) whileShown();
    if (answers.empty()) return box.defaultAnswer;
    const BoxAnswer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> result;
    for (const auto& box : shown) result.push_back(box.text);
    return result;
  }

  std::vector<MessageBoxRequest> shown;
  std::vector<BoxAnswer> answers;
  std::function<void()> whileShown;
};
