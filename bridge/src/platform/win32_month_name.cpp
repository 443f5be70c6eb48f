#include <windows.h>

#include "../month_name.h"

namespace ksthid {

static_assert(LOCALE_SMONTHNAME12 == LOCALE_SMONTHNAME1 + 11);

// In the user's locale and ANSI code page.
std::string monthName(int month) {
  if (month < 1 || month > 12) return {};
  char name[80];
  const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1 + month - 1, name,
                                    static_cast<int>(sizeof name));
  return length > 0 ? std::string(name) : std::string();
}

}  // namespace ksthid
