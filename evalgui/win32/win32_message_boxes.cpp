#include "win32_message_boxes.h"

#include "text_conversion.h"

namespace {

UINT buttonsStyle(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::OkCancel:
      return MB_OKCANCEL;
    case BoxButtons::YesNo:
      return MB_YESNO;
    case BoxButtons::RetryCancel:
      return MB_RETRYCANCEL;
    case BoxButtons::Ok:
      break;
  }
  return MB_OK;
}

UINT iconStyle(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Question:
      return MB_ICONQUESTION;
    case BoxIcon::Critical:
      return MB_ICONERROR;
    case BoxIcon::None:
      break;
  }
  return 0;
}

// The second button of each pair is the only other choice of default.
UINT defaultStyle(const MessageBoxRequest& box) {
  const bool second =
      (box.buttons == BoxButtons::OkCancel || box.buttons == BoxButtons::RetryCancel)
          ? box.defaultAnswer == BoxAnswer::Cancel
          : box.buttons == BoxButtons::YesNo && box.defaultAnswer == BoxAnswer::No;
  return second ? MB_DEFBUTTON2 : MB_DEFBUTTON1;
}

BoxAnswer answerOf(int id) {
  switch (id) {
    case IDCANCEL:
      return BoxAnswer::Cancel;
    case IDRETRY:
      return BoxAnswer::Retry;
    case IDYES:
      return BoxAnswer::Yes;
    case IDNO:
      return BoxAnswer::No;
    default:
      return BoxAnswer::Ok;
  }
}

}  // namespace

BoxAnswer Win32MessageBoxes::show(const MessageBoxRequest& box) {
  const UINT style = buttonsStyle(box.buttons) | iconStyle(box.icon) | defaultStyle(box);
  return answerOf(
      MessageBoxW(owner_, widen(box.text).c_str(), widen(box.title).c_str(), style | MB_TASKMODAL));
}
