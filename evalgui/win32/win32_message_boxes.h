#pragma once

#include <windows.h>

#include "message_boxes.h"

// The program's boxes and the library's as MessageBox shows them: modal to the window once it
// exists.
class Win32MessageBoxes final : public MessageBoxes {
 public:
  void setOwner(HWND owner) { owner_ = owner; }
  BoxAnswer show(const MessageBoxRequest& box) override;

 private:
  HWND owner_ = nullptr;
};
