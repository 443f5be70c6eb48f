#include "library_boxes.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

class AnsweringBoxes : public MessageBoxes {
 public:
  BoxAnswer show(const MessageBoxRequest& box) override {
    shown = box;
    return answer;
  }
  MessageBoxRequest shown;
  BoxAnswer answer = BoxAnswer::Ok;
};

std::string upperCased(const char* text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

// The library's boxes reach the window's boxes as requests, its texts decoded, and the button
// chosen goes back as the library's id.
TEST(LibraryBoxesTest, StylesBecomeRequestsAndAnswersTheLibrarysIds) {
  struct Case {
    unsigned style;
    BoxButtons buttons;
    BoxIcon icon;
    BoxAnswer defaultAnswer;
    BoxAnswer chosen;
    int id;
  };
  for (const Case& c : {
           Case{KSTHID_MB_OK, BoxButtons::Ok, BoxIcon::None, BoxAnswer::Ok, BoxAnswer::Ok,
                KSTHID_IDOK},
           Case{KSTHID_MB_OKCANCEL | KSTHID_MB_DEFBUTTON2, BoxButtons::OkCancel, BoxIcon::None,
                BoxAnswer::Cancel, BoxAnswer::Cancel, KSTHID_IDCANCEL},
           Case{KSTHID_MB_YESNO | KSTHID_MB_ICONQUESTION, BoxButtons::YesNo, BoxIcon::Question,
                BoxAnswer::Yes, BoxAnswer::No, KSTHID_IDNO},
           Case{KSTHID_MB_YESNO | KSTHID_MB_DEFBUTTON2, BoxButtons::YesNo, BoxIcon::None,
                BoxAnswer::No, BoxAnswer::Yes, KSTHID_IDYES},
           Case{KSTHID_MB_RETRYCANCEL, BoxButtons::RetryCancel, BoxIcon::None, BoxAnswer::Retry,
                BoxAnswer::Retry, KSTHID_IDRETRY},
       }) {
    AnsweringBoxes boxes;
    boxes.answer = c.chosen;
    LibraryBoxes library(boxes, &upperCased);
    EXPECT_EQ(LibraryBoxes::show(&library, "board gone", "ksthid", c.style), c.id) << c.style;
    EXPECT_EQ(boxes.shown,
              (MessageBoxRequest{"BOARD GONE", "KSTHID", c.buttons, c.icon, c.defaultAnswer}))
        << c.style;
  }
}

}  // namespace
