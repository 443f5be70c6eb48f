#pragma once

#include <QLocale>
#include <QString>

#include <ostream>

// Readable failure messages and test names for the Qt types the tests compare.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QLocale& locale, std::ostream* out) {
  *out << locale.name().toStdString();
}
