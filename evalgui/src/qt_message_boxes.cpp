#include "qt_message_boxes.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace {

// The window manager's icon and buttons on the title bar, in heights of the title's font.
constexpr int kTitleBarControls = 6;

QMessageBox::StandardButtons buttonsOf(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case BoxButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case BoxButtons::RetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
    case BoxButtons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon iconOf(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Question:
      return QMessageBox::Question;
    case BoxIcon::Critical:
      return QMessageBox::Critical;
    case BoxIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton buttonOf(BoxAnswer answer) {
  switch (answer) {
    case BoxAnswer::Cancel:
      return QMessageBox::Cancel;
    case BoxAnswer::Retry:
      return QMessageBox::Retry;
    case BoxAnswer::Yes:
      return QMessageBox::Yes;
    case BoxAnswer::No:
      return QMessageBox::No;
    case BoxAnswer::Ok:
      break;
  }
  return QMessageBox::Ok;
}

BoxAnswer answerOf(int button) {
  switch (button) {
    case QMessageBox::Cancel:
      return BoxAnswer::Cancel;
    case QMessageBox::Retry:
      return BoxAnswer::Retry;
    case QMessageBox::Yes:
      return BoxAnswer::Yes;
    case QMessageBox::No:
      return BoxAnswer::No;
    default:
      return BoxAnswer::Ok;
  }
}

// Qt's boxes size themselves to their text and buttons only, and the title bar cuts a longer
// title short. A spacer across the bottom of the box's grid keeps it wide enough.
void widenForTitle(QMessageBox& dialog) {
  auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
  if (!grid) return;
  grid->addItem(new QSpacerItem(QtMessageBoxes::widthForTitle(dialog.windowTitle()), 0,
                                QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

// Title bars often use a bold font; measured bold, the title fits either way.
int QtMessageBoxes::widthForTitle(const QString& title) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  font.setBold(true);
  const QFontMetrics metrics(font);
  return metrics.horizontalAdvance(title) + kTitleBarControls * metrics.height();
}

BoxAnswer QtMessageBoxes::show(const MessageBoxRequest& box) {
  QString text = QString::fromStdString(box.text);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox dialog(iconOf(box.icon), QString::fromStdString(box.title), text,
                     buttonsOf(box.buttons), owner_);
  dialog.setDefaultButton(buttonOf(box.defaultAnswer));
  dialog.setWindowModality(Qt::ApplicationModal);
  widenForTitle(dialog);
  return answerOf(dialog.exec());
}
