#pragma once

#include <windows.h>

#include "ksthid.h"
#include "message_boxes.h"

// The program's boxes and the library's as MessageBox shows them: modal to the window once it
// exists.
class Win32MessageBoxes final : public MessageBoxes {
 public:
  void setOwner(HWND owner) { owner_ = owner; }
  BoxAnswer show(const MessageBoxRequest& box) override;

  // For kstHID_setMessageBoxHandler, with this object as the context. The library's styles and
  // answers are MessageBox's own.
  static int KSTHID_CALL showLibraryBox(void* context, const char* text, const char* caption,
                                        unsigned style);

 private:
  HWND owner_ = nullptr;
};
