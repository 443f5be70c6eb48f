// Without a desktop to show boxes on, a box becomes one line on standard
// error and takes the answer that lets the caller go on without blocking.
#include <cstdio>
#include <string>

#include "../message_box.h"

namespace ksthid {
namespace {

int nonBlockingAnswer(unsigned style) {
  switch (style & KSTHID_MB_TYPEMASK) {
    case KSTHID_MB_OKCANCEL:
    case KSTHID_MB_RETRYCANCEL:
      return KSTHID_IDCANCEL;
    case KSTHID_MB_YESNO:
      return KSTHID_IDNO;
    default:
      return KSTHID_IDOK;
  }
}

std::string oneLine(const std::string& text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\r' || text[i] == '\n') {
      line += " / ";
    } else {
      line += text[i];
    }
  }
  return line;
}

}  // namespace

int showPlatformMessageBox(const std::string& text, const std::string& caption, unsigned style) {
  std::fprintf(stderr, "%s [%s]\n", oneLine(text).c_str(), caption.c_str());
  std::fflush(stderr);
  return nonBlockingAnswer(style);
}

}  // namespace ksthid
