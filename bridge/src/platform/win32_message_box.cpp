// The library's boxes as Windows shows them: modal and owned by no window.
#include <windows.h>

#include "../message_box.h"

namespace ksthid {

// The library's styles and answers are the system's own values.
static_assert(KSTHID_MB_OK == MB_OK && KSTHID_MB_OKCANCEL == MB_OKCANCEL &&
              KSTHID_MB_YESNO == MB_YESNO && KSTHID_MB_RETRYCANCEL == MB_RETRYCANCEL &&
              KSTHID_MB_ICONQUESTION == MB_ICONQUESTION && KSTHID_MB_DEFBUTTON2 == MB_DEFBUTTON2);
static_assert(KSTHID_IDOK == IDOK && KSTHID_IDCANCEL == IDCANCEL && KSTHID_IDRETRY == IDRETRY &&
              KSTHID_IDYES == IDYES && KSTHID_IDNO == IDNO);

int showPlatformMessageBox(const std::string& text, const std::string& caption, unsigned style) {
  return MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
}

}  // namespace ksthid
