// Month names as the operating system gives them in the user's language.
#pragma once

#include <string>

namespace ksthid {

// The full name of month 1 to 12; empty for any other number.
std::string monthName(int month);

}  // namespace ksthid
