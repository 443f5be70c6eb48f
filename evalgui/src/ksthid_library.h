#pragma once

#include <QLibrary>
#include <QStringList>

#include "library_boxes.h"
#include "message_boxes.h"
#include "run_time_bridge_library.h"

// The bridge library ksthid, bound by name at run time. The library is loaded at the first call
// and each function looked up at its own first call, so that the program starts, and can say
// what is missing, whatever the library holds. On loading, the library is given the program's
// boxes to show its own messages in.
class KsthidLibrary final : public RunTimeBridgeLibrary {
 public:
  // Tries the file names in turn, each without prefix or suffix ("dir/ksthid").
  KsthidLibrary(MessageBoxes& boxes, QStringList fileNames);
  // Beside the program first, then on the system's library path.
  static QStringList defaultFileNames();

 private:
  ExportAddress lookUp(const char* name) override;
  bool load();
  void routeMessageBoxes();

  LibraryBoxes boxes_;
  QStringList fileNames_;
  QLibrary library_;
};
