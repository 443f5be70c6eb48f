#pragma once

#include <QPushButton>

#include <optional>

// A push button that can show how far a long action has come, as a bar along its bottom edge
// inside the button, without changing its size or caption.
class ProgressButton final : public QPushButton {
 public:
  using QPushButton::QPushButton;

  // The fraction done in steps of 1/kLevels. True when the bar looks different from before, and so
  // wants a paint.
  bool showProgress(int done, int inAll);
  void hideProgress();
  // The bar's length in 1/kLevels of the button, empty when it shows none.
  std::optional<int> progressLevel() const { return level_; }

  static constexpr int kLevels = 32;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<int> level_;
};
