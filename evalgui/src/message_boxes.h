#pragma once

#include <QString>

enum class BoxButtons { Ok, OkCancel, YesNo, RetryCancel };
enum class BoxIcon { None, Question, Critical };
enum class BoxAnswer { Ok, Cancel, Retry, Yes, No };

// One modal box. Lines of the text are separated by "\r\n".
struct MessageBoxRequest {
  QString text;
  QString title = QStringLiteral("QV6180");
  BoxButtons buttons = BoxButtons::Ok;
  BoxIcon icon = BoxIcon::None;
  BoxAnswer defaultAnswer = BoxAnswer::Ok;
};

// Where the program's boxes, and the library's, are shown. The program shows them as modal
// dialogs; tests answer them in place.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Returns once the user has closed the box, with the button chosen.
  virtual BoxAnswer show(const MessageBoxRequest& box) = 0;
};
