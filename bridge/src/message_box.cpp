#include "message_box.h"

#include <mutex>

namespace ksthid {
namespace {

struct InstalledHandler {
  kstHID_MessageBoxHandler handler = nullptr;
  void* context = nullptr;
};

std::mutex handlerMutex;
InstalledHandler installed;

InstalledHandler currentHandler() {
  std::lock_guard lock(handlerMutex);
  return installed;
}

}  // namespace

int showMessageBox(const std::string& text, unsigned style) {
  const InstalledHandler host = currentHandler();
  if (host.handler) return host.handler(host.context, text.c_str(), boxCaption, style);
  return showPlatformMessageBox(text, boxCaption, style);
}

}  // namespace ksthid

extern "C" KSTHID_API void KSTHID_CALL kstHID_setMessageBoxHandler(kstHID_MessageBoxHandler handler,
                                                                   void* context) {
  std::lock_guard lock(ksthid::handlerMutex);
  ksthid::installed = {handler, handler ? context : nullptr};
}
