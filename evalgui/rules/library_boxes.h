#pragma once

#include <string>

#include "ksthid.h"
#include "message_boxes.h"

// The library's own boxes (kstHID_setMessageBoxHandler), shown as the window's boxes are: the
// library's styles become a request, and the answer goes back as the library's button id.
MessageBoxRequest libraryBoxRequest(std::string text, std::string caption, unsigned style);
int libraryAnswerId(BoxAnswer answer);

// The handler's context: the window's boxes, and how the library's texts, which are in the
// system's 8-bit code page, become UTF-8.
class LibraryBoxes {
 public:
  using Decode = std::string (*)(const char* text);
  LibraryBoxes(MessageBoxes& boxes, Decode decode) : boxes_(boxes), decode_(decode) {}

  // For kstHID_setMessageBoxHandler, with a LibraryBoxes as the context. Runs inside the
  // library's calls, on the calling thread.
  static int KSTHID_CALL show(void* context, const char* text, const char* caption, unsigned style);

 private:
  MessageBoxes& boxes_;
  Decode decode_;
};
