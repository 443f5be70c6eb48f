#include "library_boxes.h"

#include <utility>

namespace {

BoxButtons buttonsOf(unsigned style) {
  switch (style & KSTHID_MB_TYPEMASK) {
    case KSTHID_MB_OKCANCEL:
      return BoxButtons::OkCancel;
    case KSTHID_MB_YESNO:
      return BoxButtons::YesNo;
    case KSTHID_MB_RETRYCANCEL:
      return BoxButtons::RetryCancel;
    default:
      return BoxButtons::Ok;
  }
}

BoxAnswer defaultAnswerOf(BoxButtons buttons, unsigned style) {
  const bool second = (style & KSTHID_MB_DEFMASK) == KSTHID_MB_DEFBUTTON2;
  switch (buttons) {
    case BoxButtons::OkCancel:
      return second ? BoxAnswer::Cancel : BoxAnswer::Ok;
    case BoxButtons::YesNo:
      return second ? BoxAnswer::No : BoxAnswer::Yes;
    case BoxButtons::RetryCancel:
      return second ? BoxAnswer::Cancel : BoxAnswer::Retry;
    case BoxButtons::Ok:
      break;
  }
  return BoxAnswer::Ok;
}

}  // namespace

MessageBoxRequest libraryBoxRequest(std::string text, std::string caption, unsigned style) {
  MessageBoxRequest box{std::move(text), std::move(caption)};
  box.buttons = buttonsOf(style);
  box.icon =
      (style & KSTHID_MB_ICONMASK) == KSTHID_MB_ICONQUESTION ? BoxIcon::Question : BoxIcon::None;
  box.defaultAnswer = defaultAnswerOf(box.buttons, style);
  return box;
}

int libraryAnswerId(BoxAnswer answer) {
  switch (answer) {
    case BoxAnswer::Cancel:
      return KSTHID_IDCANCEL;
    case BoxAnswer::Retry:
      return KSTHID_IDRETRY;
    case BoxAnswer::Yes:
      return KSTHID_IDYES;
    case BoxAnswer::No:
      return KSTHID_IDNO;
    case BoxAnswer::Ok:
      break;
  }
  return KSTHID_IDOK;
}

int KSTHID_CALL LibraryBoxes::show(void* context, const char* text, const char* caption,
                                   unsigned style) {
  const auto& self = *static_cast<LibraryBoxes*>(context);
  return libraryAnswerId(
      self.boxes_.show(libraryBoxRequest(self.decode_(text), self.decode_(caption), style)));
}
