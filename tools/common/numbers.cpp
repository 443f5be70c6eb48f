#include "numbers.h"

#include <charconv>
#include <cstdio>

namespace tools {
namespace {

struct Reading {
  std::optional<std::int64_t> value;
  // The digits were right but too many for any bound: a number below (negative) or above all.
  int beyond = 0;
};

Reading readNumber(std::string_view text) {
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    base = 16;
  }
  // from_chars would take a sign; numbers here are written without one, apart from a minus.
  if (text.empty() || text.front() == '+') return {};
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (end != text.data() + text.size() || (base == 16 && text.front() == '-')) return {};
  if (error == std::errc::result_out_of_range) return {{}, text.front() == '-' ? -1 : 1};
  if (error != std::errc()) return {};
  return {value};
}

}  // namespace

std::optional<std::int64_t> parseNumber(std::string_view text) {
  return readNumber(text).value;
}

CLI::Validator numberIn(std::int64_t lowest, std::int64_t highest, std::string why) {
  const std::string range = std::to_string(lowest) + ".." + std::to_string(highest);
  return CLI::Validator(
      [lowest, highest, why](std::string& text) -> std::string {
        const auto [value, beyond] = readNumber(text);
        if (beyond < 0) return text + " is below " + std::to_string(lowest);
        const std::string above =
            text + " is above " + std::to_string(highest) + (why.empty() ? "" : ", " + why);
        if (beyond > 0) return above;
        if (!value) return text + " is not a number (decimal, or hexadecimal after 0x)";
        if (*value < lowest) return text + " is below " + std::to_string(lowest);
        if (*value > highest) return above;
        return {};
      },
      range);
}

std::string hexByte(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02x", value);
  return text;
}

}  // namespace tools
