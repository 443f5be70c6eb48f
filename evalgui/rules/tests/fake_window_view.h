#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "eval_window.h"
#include "window_view.h"

// The controls as texts and positions, as the layout table creates them, and a log of what else
// the rules asked for: "hide cmdWrite", "height fraCalculator 3615", "progress 16", ... Setting
// txtTest's text runs the change rules, as a front end's change notification does, unless told
// not to.
class FakeWindowView : public WindowView {
 public:
  FakeWindowView() {
    for (const ControlDesign& design : kControls) {
      texts_[index(design.control)] = design.caption;
      tops_[index(design.control)] = design.box.top;
    }
  }

  void attach(EvalWindow& rules) { rules_ = &rules; }

  std::string text(Control control) const override { return texts_[index(control)]; }
  void setText(Control control, const std::string& text) override {
    texts_[index(control)] = text;
    if (control == Control::txtTest && rules_ && notifiesDvrChanges) rules_->txtTest_Change();
  }
  void setCaret(Control, std::size_t position) override { caret = position; }
  void setTextColour(Control control, FieldColour colour) override {
    colours_[index(control)] = colour;
  }
  void setToolTip(Control control, const std::string& tip) override { tips_[index(control)] = tip; }
  void setTop(Control control, int topTwips) override { tops_[index(control)] = topTwips; }
  void setHeight(Control control, int heightTwips) override {
    log.push_back("height " + name(control) + ' ' + std::to_string(heightTwips));
  }
  void setWindowOuterHeight(int heightTwips) override {
    log.push_back("outer height " + std::to_string(heightTwips));
  }
  void hide(Control control) override { log.push_back("hide " + name(control)); }
  void show(Control control) override { log.push_back("show " + name(control)); }
  void setWindowDesignHeight() override { log.emplace_back("design height"); }
  void showBoardStatus(const std::string& text) override { boardStatus = text; }
  void showBoardMenu(const std::vector<BoardMenuEntry>& entries, bool enabled) override {
    boardMenu = entries;
    boardMenuEnabled = enabled;
  }
  void setFocus(Control control) override { log.push_back("focus " + name(control)); }
  void hookMouseWheel() override { log.emplace_back("hook"); }
  void unhookMouseWheel() override { log.emplace_back("unhook"); }
  void showProgress(Control, int level) override {
    log.push_back("progress " + std::to_string(level));
    if (duringProgress) duringProgress();
  }
  void hideProgress(Control) override { log.emplace_back("progress hidden"); }
  void closeWindow() override { log.emplace_back("close"); }
  void postBoardsChanged() override { log.emplace_back("boards changed"); }

  int top(Control control) const { return tops_[index(control)]; }
  FieldColour colour(Control control) const { return colours_[index(control)]; }
  const std::string& tip(Control control) const { return tips_[index(control)]; }

  std::vector<std::string> log;
  std::size_t caret = 0;
  std::string boardStatus;
  std::vector<BoardMenuEntry> boardMenu;
  bool boardMenuEnabled = false;
  std::function<void()> duringProgress;
  // Whether setting txtTest's text tells the rules at once, as Qt does; Windows may not.
  bool notifiesDvrChanges = true;

 private:
  static std::size_t index(Control control) { return static_cast<std::size_t>(control); }
  static std::string name(Control control) { return designOf(control).name; }

  EvalWindow* rules_ = nullptr;
  std::array<std::string, kControlCount> texts_{};
  std::array<int, kControlCount> tops_{};
  std::array<FieldColour, kControlCount> colours_{};
  std::array<std::string, kControlCount> tips_{};
};
