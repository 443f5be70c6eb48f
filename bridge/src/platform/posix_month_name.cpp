#include <langinfo.h>
#include <locale.h>

#include "../month_name.h"

namespace ksthid {

// The user's LC_TIME, without touching the process-wide locale.
std::string monthName(int month) {
  if (month < 1 || month > 12) return {};
  locale_t userLocale = newlocale(LC_TIME_MASK, "", nullptr);
  if (userLocale == nullptr) userLocale = newlocale(LC_TIME_MASK, "C", nullptr);
  std::string name = nl_langinfo_l(MON_1 + month - 1, userLocale);
  freelocale(userLocale);
  return name;
}

}  // namespace ksthid
