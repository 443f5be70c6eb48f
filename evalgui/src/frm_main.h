#pragma once

#include <QMainWindow>

#include <array>

#include "bridge_library.h"
#include "busy_window.h"
#include "eval_window.h"
#include "locale_numbers.h"
#include "message_boxes.h"
#include "mouse_wheel.h"
#include "twips.h"
#include "window_view.h"

class ProgressButton;
class QActionGroup;
class QLabel;

// The evaluation program's window in Qt: the controls of the layout table, laid out in twips and
// named as in the program's design, over the window rules (EvalWindow), to which it passes every
// event and for which it carries out what they ask.
class FrmMain final : public QMainWindow, private WindowView {
  Q_OBJECT

 public:
  // With `boards` the window has a status line that says which board the device buttons
  // address, and File > Board to choose another, and follows the boards as they come and go.
  FrmMain(BridgeLibrary& library, MessageBoxes& boxes, BoardDirectory* boards = nullptr);

  // Connects to the boards and prepares the window to be shown: the full layout for board 0 with
  // its counter interface at rest, or the calculator alone without a board. False, after an
  // error box, when the library cannot be used; the window must not be shown then.
  bool Form_Load();
  // Showing the window; show(Control) below shows one of its controls.
  using QMainWindow::show;

  // The wheel steps the DVR value by one: down when turned away from the user (rotation above
  // 0), up when turned towards the user.
  void MouseWheelRolled(int rotation) { rules_.MouseWheelRolled(rotation); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenu();
  void buildBoardMenuAndStatus();
  void fitHeightTo(int contentHeight);
  void buildControls(QWidget& client);
  QWidget* createControl(const ControlDesign& design, QWidget& parent);
  void connectControls();
  void setFocusOrder();
  bool txtTest_KeyPress(const QKeyEvent& event);
  void mnuStandardResistors_Click();
  QWidget& widget(Control control) const;

  // WindowView
  std::string text(Control control) const override;
  void setText(Control control, const std::string& text) override;
  void setCaret(Control control, std::size_t position) override;
  void setTextColour(Control control, FieldColour colour) override;
  void setToolTip(Control control, const std::string& tip) override;
  void setTop(Control control, int topTwips) override;
  void setHeight(Control control, int heightTwips) override;
  void setWindowOuterHeight(int heightTwips) override;
  void hide(Control control) override;
  void show(Control control) override;
  void setWindowDesignHeight() override;
  void showBoardStatus(const std::string& text) override;
  void showBoardMenu(const std::vector<BoardMenuEntry>& entries, bool enabled) override;
  void setFocus(Control control) override;
  void hookMouseWheel() override;
  void unhookMouseWheel() override;
  void showProgress(Control button, int level) override;
  void hideProgress(Control button) override;
  void closeWindow() override;
  void postBoardsChanged() override;

  const Twips twips_;
  const LocaleNumbers numbers_;
  EvalWindow rules_;
  MouseWheel wheel_;
  BusyWindow busy_;
  std::array<QWidget*, kControlCount> controls_{};
  QLabel* boardStatus_ = nullptr;
  QMenu* mnuBoard_ = nullptr;
  QActionGroup* boardChoice_ = nullptr;
};
