#pragma once

#include <QString>

#include <string>

// The window's texts are UTF-8.
inline QString qText(const char* text) {
  return QString::fromUtf8(text);
}

inline QString qText(const std::string& text) {
  return QString::fromStdString(text);
}
