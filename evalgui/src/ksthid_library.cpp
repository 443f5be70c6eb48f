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

BoxButtons buttonsOf(unsigned style) {
  switch (style & KSTHID_MB_TYPEMASK) {
    case KSTHID_MB_OKCANCEL:
      return BoxButtons::OkCancel;
    case KSTHID_MB_YESNO:
      return BoxButtons::YesNo;
    case KSTHID_MB_RETRYCANCEL:
      return BoxButtons::RetryCancel;
    default:
      return BoxButtons::Ok;
  }
}

BoxAnswer defaultAnswerOf(BoxButtons buttons, unsigned style) {
  const bool second = (style & KSTHID_MB_DEFMASK) == KSTHID_MB_DEFBUTTON2;
  switch (buttons) {
    case BoxButtons::OkCancel:
      return second ? BoxAnswer::Cancel : BoxAnswer::Ok;
    case BoxButtons::YesNo:
      return second ? BoxAnswer::No : BoxAnswer::Yes;
    case BoxButtons::RetryCancel:
      return second ? BoxAnswer::Cancel : BoxAnswer::Retry;
    case BoxButtons::Ok:
      break;
  }
  return BoxAnswer::Ok;
}

int answerId(BoxAnswer answer) {
  switch (answer) {
    case BoxAnswer::Cancel:
      return KSTHID_IDCANCEL;
    case BoxAnswer::Retry:
      return KSTHID_IDRETRY;
    case BoxAnswer::Yes:
      return KSTHID_IDYES;
    case BoxAnswer::No:
      return KSTHID_IDNO;
    case BoxAnswer::Ok:
      break;
  }
  return KSTHID_IDOK;
}

// The library's boxes, shown from inside its calls on the calling thread.
int showLibraryBox(void* context, const char* text, const char* caption, unsigned style) {
  MessageBoxRequest box;
  box.text = QString::fromLocal8Bit(text).toStdString();
  box.title = QString::fromLocal8Bit(caption).toStdString();
  box.buttons = buttonsOf(style);
  box.icon =
      (style & KSTHID_MB_ICONMASK) == KSTHID_MB_ICONQUESTION ? BoxIcon::Question : BoxIcon::None;
  box.defaultAnswer = defaultAnswerOf(box.buttons, style);
  return answerId(static_cast<MessageBoxes*>(context)->show(box));
}

}  // namespace

KsthidLibrary::KsthidLibrary(MessageBoxes& boxes, QStringList fileNames)
    : boxes_(boxes), fileNames_(std::move(fileNames)) {}

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
    setHandler(showLibraryBox, &boxes_);
  }
}
