#pragma once

#include <string>
#include <string_view>

// The window's texts are UTF-8 in the program and UTF-16 for Windows; the library speaks the
// system's ANSI code page.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);
std::wstring fromAnsi(std::string_view ansi);
