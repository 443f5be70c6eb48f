#include "ksthid_library.h"

#include <QCoreApplication>
#include <QDir>

#include "ksthid.h"

namespace {

constexpr auto kLibraryName = "ksthid";
// The library's file beside the program, named in full: the command-line tool ksthid lies
// there too, and QLibrary, given a bare name in a folder, tries a file of exactly that name
// first and goes no further when it cannot load it.
#ifdef Q_OS_WIN
constexpr auto kLibraryFileName = "ksthid.dll";
#else
constexpr auto kLibraryFileName = "libksthid.so";
#endif

// The library's texts are in the system's 8-bit code page.
std::string fromLocal8Bit(const char* text) {
  return QString::fromLocal8Bit(text).toStdString();
}

}  // namespace

KsthidLibrary::KsthidLibrary(MessageBoxes& boxes, QStringList fileNames)
    : boxes_(boxes, &fromLocal8Bit), fileNames_(std::move(fileNames)) {}

QStringList KsthidLibrary::defaultFileNames() {
  return {QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(kLibraryFileName)),
          QLatin1String(kLibraryName)};
}

RunTimeBridgeLibrary::ExportAddress KsthidLibrary::lookUp(const char* name) {
  if (!load()) return nullptr;
  const QFunctionPointer function = library_.resolve(name);
  if (!function) {
    setBindingError(QStringLiteral("The library %1 (%2) has no function %3.")
                        .arg(QLatin1String(kLibraryName), library_.fileName(), QLatin1String(name))
                        .toStdString());
  }
  return function;
}

bool KsthidLibrary::load() {
  if (library_.isLoaded()) return true;
  QStringList failures;
  for (const QString& fileName : fileNames_) {
    // By the name that carries the major version (libksthid.so.1), as installed with the
    // library; libksthid.so is the linker's name and comes only with its development files.
    library_.setFileNameAndVersion(fileName, KSTHID_VERSION_MAJOR);
    if (library_.load()) {
      routeMessageBoxes();
      return true;
    }
    failures.append(library_.errorString());
  }
  setBindingError(QStringLiteral("The library %1 cannot be loaded.\r\n%2")
                      .arg(QLatin1String(kLibraryName), failures.join(QStringLiteral("\r\n")))
                      .toStdString());
  return false;
}

// Without this the library would write its messages to standard error, where a user of the
// window never sees them.
void KsthidLibrary::routeMessageBoxes() {
  if (const auto setHandler = reinterpret_cast<decltype(&kstHID_setMessageBoxHandler)>(
          library_.resolve("kstHID_setMessageBoxHandler"))) {
    setHandler(&LibraryBoxes::show, &boxes_);
  }
}
