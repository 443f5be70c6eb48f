#include "frm_main.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QValidator>

#include "picture_widget.h"
#include "progress_button.h"
#include "qt_text.h"
#include "standard_resistors_dialog.h"
#include "window_pictures.h"

namespace {

constexpr DvrKeyCodes kDvrKeys{Qt::Key_Up,       Qt::Key_Down,   Qt::Key_PageUp,
                               Qt::Key_PageDown, Qt::Key_Return, Qt::Key_Enter};

// A focus change inside the window, as opposed to the window losing the focus to a box or menu.
bool focusMovedWithinWindow(const QFocusEvent& event) {
  return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

// Text that arrives without typing, such as a paste, as the DVR entry's rules take it; typed
// characters have already passed the typing filter.
class DvrText final : public QValidator {
 public:
  DvrText(const EvalWindow& rules, QObject* parent) : QValidator(parent), rules_(rules) {}
  State validate(QString& input, int& /*pos*/) const override {
    const auto accepted = rules_.txtTest_Paste(input.toStdString());
    if (!accepted) return Invalid;
    input = QString::fromStdString(*accepted);
    return Acceptable;
  }

 private:
  const EvalWindow& rules_;
};

}  // namespace

FrmMain::FrmMain(BridgeLibrary& library, MessageBoxes& boxes, BoardDirectory* boards)
    : twips_(*this),
      rules_(*this, library, boxes, numbers_, boards),
      busy_(*this, [this] { return !rules_.takesInput(); }) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(qText(kWindowCaption));
  setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
  QStringList faces;
  for (const char* face : kWindowFontFaces) faces.append(QString::fromLatin1(face));
  QFont font(faces);
  font.setPointSizeF(kWindowFontPoints);
  setFont(font);
  buildMenu();
  if (boards) buildBoardMenuAndStatus();

  auto* client = new QWidget(this);
  setCentralWidget(client);
  client->setFixedSize(twips_.x(kClientArea.width), twips_.y(kClientArea.height));
  buildControls(*client);
  connectControls();
  setFocusOrder();
  setFixedWidth(client->width());
  fitHeightTo(menuBar()->sizeHint().height() + client->height());
}

bool FrmMain::Form_Load() {
  return rules_.Form_Load();
}

// File > Board comes first in the menu; the status line lies below the window's content.
void FrmMain::buildBoardMenuAndStatus() {
  QMenu* mnuFile = findChild<QMenu*>(qText(kFileMenuName));
  mnuBoard_ = new QMenu(qText(kBoardMenuCaption), mnuFile);
  mnuBoard_->setObjectName(qText(kBoardMenuName));
  mnuFile->insertMenu(mnuFile->actions().constFirst(), mnuBoard_);
  boardChoice_ = new QActionGroup(mnuBoard_);
  boardStatus_ = new QLabel(this);
  boardStatus_->setObjectName(QStringLiteral("boardStatus"));
  statusBar()->setSizeGripEnabled(false);
  statusBar()->addWidget(boardStatus_, 1);
}

// The window's content (menu bar and client area) with the status line, if any, below it.
void FrmMain::fitHeightTo(int contentHeight) {
  setFixedHeight(contentHeight + (boardStatus_ ? statusBar()->sizeHint().height() : 0));
}

void FrmMain::buildMenu() {
  QMenu* mnuFile = menuBar()->addMenu(qText(kFileMenuCaption));
  mnuFile->setObjectName(qText(kFileMenuName));
  for (const MenuItem& item : kFileMenu) {
    if (*item.name == '\0') {
      mnuFile->addSeparator();
      continue;
    }
    QAction* action = mnuFile->addAction(qText(item.caption));
    action->setObjectName(qText(item.name));
  }
  connect(findChild<QAction*>(QStringLiteral("mnuStandardResistors")), &QAction::triggered, this,
          &FrmMain::mnuStandardResistors_Click);
  connect(findChild<QAction*>(QStringLiteral("mnuExit")), &QAction::triggered, this,
          [this] { rules_.mnuExit_Click(); });
}

void FrmMain::buildControls(QWidget& client) {
  controls_[static_cast<std::size_t>(Control::Client)] = &client;
  for (const ControlDesign& design : kControls) {
    QWidget* control = createControl(design, widget(design.parent));
    control->setObjectName(qText(design.name));
    if (*design.tip != '\0') control->setToolTip(qText(design.tip));
    const TwipsBox& box = design.box;
    if (design.kind == ControlKind::Line) {
      control->setGeometry(
          QRect(QPoint(twips_.x(box.left), twips_.y(box.top)),
                QPoint(twips_.x(box.left + box.width), twips_.y(box.top + box.height))));
    } else {
      twips_.place(*control, box);
    }
    controls_[static_cast<std::size_t>(design.control)] = control;
  }
  qobject_cast<QRadioButton*>(&widget(kSelectedOptionAtStart))->setChecked(true);
}

QWidget* FrmMain::createControl(const ControlDesign& design, QWidget& parent) {
  const QString caption = qText(design.caption);
  switch (design.kind) {
    case ControlKind::Frame:
      return new QGroupBox(caption, &parent);
    case ControlKind::TextBox:
    case ControlKind::LockedTextBox: {
      auto* field = new QLineEdit(caption, &parent);
      field->setAlignment(Qt::AlignCenter);
      if (design.kind == ControlKind::LockedTextBox) {
        field->setReadOnly(true);
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        field->setPalette(palette);
      }
      return field;
    }
    case ControlKind::Label:
      return new QLabel(caption, &parent);
    case ControlKind::RightAlignedLabel: {
      auto* label = new QLabel(caption, &parent);
      label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      return label;
    }
    case ControlKind::Button:
      if (design.control == Control::cmdForceSend) return new ProgressButton(caption, &parent);
      return new QPushButton(caption, &parent);
    case ControlKind::OptionButton:
      return new QRadioButton(caption, &parent);
    case ControlKind::Picture:
      return new PictureWidget(windowPicture(design.caption), &parent);
    case ControlKind::Outline: {
      auto* outline = new QFrame(&parent);
      outline->setFrameStyle(QFrame::Box | QFrame::Plain);
      return outline;
    }
    case ControlKind::WhiteFill:
    case ControlKind::Line: {
      auto* shape = new QWidget(&parent);
      shape->setAutoFillBackground(true);
      const Qt::GlobalColor colour = design.kind == ControlKind::Line ? Qt::black : Qt::white;
      shape->setPalette(QPalette(colour, colour));
      return shape;
    }
  }
  return new QWidget(&parent);
}

void FrmMain::connectControls() {
  for (const ControlDesign& design : kControls) {
    if (design.kind == ControlKind::TextBox) widget(design.control).installEventFilter(this);
  }
  auto& txtTest = static_cast<QLineEdit&>(widget(Control::txtTest));
  txtTest.setValidator(new DvrText(rules_, &txtTest));
  connect(&txtTest, &QLineEdit::textChanged, this, [this] { rules_.txtTest_Change(); });
  for (Control option : {Control::opDisplayMode_0, Control::opDisplayMode_1}) {
    connect(static_cast<QRadioButton*>(&widget(option)), &QRadioButton::toggled, this,
            [this, option](bool selected) {
              if (selected) rules_.opDisplayMode_Click(option);
            });
  }
  const auto onClick = [this](Control button, void (EvalWindow::*handler)()) {
    connect(static_cast<QPushButton*>(&widget(button)), &QPushButton::clicked, this,
            [this, handler] { (rules_.*handler)(); });
  };
  onClick(Control::cmdCalculate, &EvalWindow::cmdCalculate_Click);
  onClick(Control::cmdForceSend, &EvalWindow::cmdForceSend_Click);
  onClick(Control::cmdWrite, &EvalWindow::cmdWrite_Click);
  onClick(Control::btnHelp, &EvalWindow::btnHelp_Click);
}

void FrmMain::setFocusOrder() {
  for (std::size_t i = 1; i < kTabOrder.size(); ++i) {
    setTabOrder(&widget(kTabOrder[i - 1]), &widget(kTabOrder[i]));
  }
}

QWidget& FrmMain::widget(Control control) const {
  return *controls_[static_cast<std::size_t>(control)];
}

// txtTest_KeyDown steps the value, then txtTest_KeyPress filters what the key types; leaving a
// text box for another control of the window runs what the rules bind to that field.
bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
  const Control* control = nullptr;
  for (const ControlDesign& design : kControls) {
    if (controls_[static_cast<std::size_t>(design.control)] == watched) control = &design.control;
  }
  if (control && *control == Control::txtTest && event->type() == QEvent::KeyPress) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    rules_.txtTest_KeyDown(dvrKeyOf(key.key(), kDvrKeys));
    return txtTest_KeyPress(key);
  }
  if (control && event->type() == QEvent::FocusOut &&
      focusMovedWithinWindow(static_cast<const QFocusEvent&>(*event))) {
    rules_.field_LostFocus(*control);
  }
  return QMainWindow::eventFilter(watched, event);
}

// True when the key has been dealt with and the field must not see it. Shortcuts and keys that
// type nothing are left to the field.
bool FrmMain::txtTest_KeyPress(const QKeyEvent& event) {
  const QString typed = event.text();
  if (typed.size() != 1 || !typed[0].isPrint() ||
      (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    return false;
  }
  const char16_t character = typed[0].unicode();
  const char16_t kept = rules_.txtTest_KeyPress(character);
  if (kept == character) return false;
  if (kept != 0) static_cast<QLineEdit&>(widget(Control::txtTest)).insert(QString(QChar(kept)));
  return true;
}

// A chosen pair replaces R1 and R2, and the range follows from them.
void FrmMain::mnuStandardResistors_Click() {
  StandardResistorsDialog dialog(rules_.wantedRange(), QLocale(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (const auto pair = dialog.chosenPair()) rules_.useResistors(pair->r1, pair->r2);
}

void FrmMain::closeEvent(QCloseEvent* event) {
  if (!rules_.Form_QueryUnload()) {
    event->ignore();
    return;
  }
  rules_.Form_Unload();
  QMainWindow::closeEvent(event);
}
