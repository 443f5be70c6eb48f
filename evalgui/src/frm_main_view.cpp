// The Qt window's side of WindowView: what the window rules ask of the controls.
#include <QActionGroup>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "frm_main.h"
#include "progress_button.h"
#include "qt_text.h"

std::string FrmMain::text(Control control) const {
  return static_cast<const QLineEdit&>(widget(control)).text().toStdString();
}

void FrmMain::setText(Control control, const std::string& text) {
  QWidget& target = widget(control);
  if (auto* edit = qobject_cast<QLineEdit*>(&target)) {
    edit->setText(qText(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(&target)) {
    button->setText(qText(text));
  } else if (auto* label = qobject_cast<QLabel*>(&target)) {
    label->setText(qText(text));
  }
}

void FrmMain::setCaret(Control control, std::size_t position) {
  static_cast<QLineEdit&>(widget(control)).setCursorPosition(static_cast<int>(position));
}

void FrmMain::setTextColour(Control control, FieldColour colour) {
  QWidget& field = widget(control);
  QPalette palette = field.palette();
  palette.setColor(QPalette::Text, colour == FieldColour::Red
                                       ? QColor(255, 0, 0)
                                       : palette.color(QPalette::ButtonText));
  field.setPalette(palette);
}

void FrmMain::setToolTip(Control control, const std::string& tip) {
  widget(control).setToolTip(qText(tip));
}

void FrmMain::setTop(Control control, int topTwips) {
  QWidget& moved = widget(control);
  moved.move(moved.x(), twips_.y(topTwips));
}

void FrmMain::setHeight(Control control, int heightTwips) {
  QWidget& resized = widget(control);
  resized.resize(resized.width(), twips_.y(heightTwips));
}

// The window system draws the caption bar and borders outside the window: the client area is
// the one the design gives that outer height.
void FrmMain::setWindowOuterHeight(int heightTwips) {
  const int client =
      twips_.y(heightTwips - (kCalculatorOnlyOuterHeight - kCalculatorOnlyClientHeight));
  centralWidget()->setFixedHeight(client);
  fitHeightTo(menuBar()->sizeHint().height() + client);
}

void FrmMain::setWindowDesignHeight() {
  const int client = twips_.y(kClientArea.height);
  centralWidget()->setFixedHeight(client);
  fitHeightTo(menuBar()->sizeHint().height() + client);
}

void FrmMain::hide(Control control) {
  widget(control).hide();
}

void FrmMain::show(Control control) {
  widget(control).show();
}

void FrmMain::showBoardStatus(const std::string& text) {
  boardStatus_->setText(qText(text));
}

// A path or serial may hold an ampersand, which a menu would take for an access key. One board
// is in use at a time: the entries are shown as options. The entries go later, as the one chosen
// may be the one whose signal is still under way.
void FrmMain::showBoardMenu(const std::vector<BoardMenuEntry>& entries, bool enabled) {
  for (QAction* shown : mnuBoard_->actions()) {
    mnuBoard_->removeAction(shown);
    boardChoice_->removeAction(shown);
    shown->deleteLater();
  }
  for (const BoardMenuEntry& entry : entries) {
    QAction* board = mnuBoard_->addAction(qText(entry.caption).replace(u'&', QStringLiteral("&&")));
    board->setCheckable(true);
    board->setChecked(entry.checked);
    boardChoice_->addAction(board);
    connect(board, &QAction::triggered, this,
            [this, path = entry.path] { rules_.mnuBoard_Click(path); });
  }
  mnuBoard_->setEnabled(enabled);
}

void FrmMain::setFocus(Control control) {
  widget(control).setFocus();
}

void FrmMain::hookMouseWheel() {
  wheel_.hookMouseWheel(*this, [this](int rotation) { rules_.MouseWheelRolled(rotation); });
}

void FrmMain::unhookMouseWheel() {
  wheel_.unhookMouseWheel();
}

void FrmMain::showProgress(Control button, int level) {
  static_cast<ProgressButton&>(widget(button)).showLevel(level);
  busy_.paint();
}

void FrmMain::hideProgress(Control button) {
  static_cast<ProgressButton&>(widget(button)).hideProgress();
}

// From the board watch's thread: the rules hear of it on the window's, from its event loop.
void FrmMain::postBoardsChanged() {
  QMetaObject::invokeMethod(
      this, [this] { rules_.boardsChanged(); }, Qt::QueuedConnection);
}

void FrmMain::closeWindow() {
  QMainWindow::close();
}
