#pragma once

#include <QPushButton>

#include <optional>

#include "eval_window.h"

// A push button that can show how far a long action has come, as a bar along its bottom edge
// inside the button, without changing its size or caption.
class ProgressButton final : public QPushButton {
 public:
  using QPushButton::QPushButton;

  // The bar's length in 1/kLevels of the button.
  void showLevel(int level);
  void hideProgress();
  // The bar's length in 1/kLevels of the button, empty when it shows none.
  std::optional<int> progressLevel() const { return level_; }

  static constexpr int kLevels = kProgressLevels;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<int> level_;
};
