#include "qt_message_boxes.h"

#include <QMessageBox>

namespace {

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

}  // namespace

BoxAnswer QtMessageBoxes::show(const MessageBoxRequest& box) {
  QString text = box.text;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox dialog(iconOf(box.icon), box.title, text, buttonsOf(box.buttons), owner_);
  dialog.setDefaultButton(buttonOf(box.defaultAnswer));
  dialog.setWindowModality(Qt::ApplicationModal);
  return answerOf(dialog.exec());
}
