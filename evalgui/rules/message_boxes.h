#pragma once

#include <string>

// The window's modal boxes, and the library's, as the window rules ask for them. Texts are UTF-8.

enum class BoxButtons { Ok, OkCancel, YesNo, RetryCancel };
enum class BoxIcon { None, Question, Critical };
enum class BoxAnswer { Ok, Cancel, Retry, Yes, No };

// The application title, which boxes without a title of their own carry.
inline constexpr const char* kAppTitle = "QV6180";

// One modal box. Lines of the text are separated by "\r\n".
struct MessageBoxRequest {
  std::string text;
  std::string title = kAppTitle;
  BoxButtons buttons = BoxButtons::Ok;
  BoxIcon icon = BoxIcon::None;
  BoxAnswer defaultAnswer = BoxAnswer::Ok;
  bool operator==(const MessageBoxRequest&) const = default;
};

// Where the boxes are shown. A front end shows them as modal dialogs over its window (closing a
// box by its close button or Escape answers Cancel where there is one, else the default button);
// tests answer them in place.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Returns once the user has closed the box, with the button chosen.
  virtual BoxAnswer show(const MessageBoxRequest& box) = 0;
};
