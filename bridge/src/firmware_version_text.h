// The firmware version as text, "Firmware Version 1.3 - 2009/February/27":
// the library's version box names the month in the user's language, the
// tools in English. Header only, for the tools that write the same text.
#pragma once

#include <array>
#include <string>

namespace ksthid {

inline constexpr std::array<const char*, 12> kEnglishMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// Month 1 to 12 in English; empty for any other number, as in the box.
inline std::string englishMonthName(int month) {
  return month >= 1 && month <= 12 ? kEnglishMonthNames[static_cast<std::size_t>(month - 1)] : "";
}

inline std::string firmwareVersionText(int major, int minor, int year, const std::string& month,
                                       int day) {
  return "Firmware Version " + std::to_string(major) + "." + std::to_string(minor) + " - " +
         std::to_string(year) + "/" + month + "/" + std::to_string(day);
}

}  // namespace ksthid
