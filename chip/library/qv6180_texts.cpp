// The library's version and the words for its codes.
#include "calculator_codes.h"
#include "qv6180.h"

#define QV6180_STRINGIZE(x) #x
#define QV6180_VERSION_TEXT(major, minor, patch) \
  QV6180_STRINGIZE(major) "." QV6180_STRINGIZE(minor) "." QV6180_STRINGIZE(patch)

extern "C" {

const char* qv6180_version(void) {
  return QV6180_VERSION_TEXT(QV6180_VERSION_MAJOR, QV6180_VERSION_MINOR, QV6180_VERSION_PATCH);
}

const char* qv6180_strerror(int code) {
  if (code == QV6180_E_STOPPED)
    return "the progress function stopped the train: the register's value is unknown";
  if (const char* text = calculatorFaultText(code)) return text;
  return ksthid_strerror(code);
}

}  // extern "C"
