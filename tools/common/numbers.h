// Numbers on the command line: decimal, or hexadecimal after 0x.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tools {

// The whole text as a number, or empty. A leading zero does not mean octal.
std::optional<std::int64_t> parseNumber(std::string_view text);

// A check for CLI11: the text is a number from lowest to highest. `why` says where the highest
// bound comes from, for the message.
CLI::Validator numberIn(std::int64_t lowest, std::int64_t highest, std::string why = {});

// A text that numberIn has passed, as a number.
template <typename Number>
Number numberFrom(const std::string& text) {
  return static_cast<Number>(parseNumber(text).value_or(0));
}

// "0x2a" style, two digits at least.
std::string hexByte(unsigned value);

}  // namespace tools
