#pragma once

#include <windows.h>

#include "library_boxes.h"
#include "run_time_bridge_library.h"

// ksthid.dll, bound by name at run time: loaded at the first call, each function looked up at
// its own first call, so that the program starts, and can say what is missing, whatever the file
// holds. Once loaded, the library's own boxes are shown among the program's boxes.
class KsthidDll final : public RunTimeBridgeLibrary {
 public:
  explicit KsthidDll(MessageBoxes& boxes);
  ~KsthidDll() override;
  KsthidDll(const KsthidDll&) = delete;
  KsthidDll& operator=(const KsthidDll&) = delete;

 private:
  ExportAddress lookUp(const char* name) override;
  bool load();

  LibraryBoxes boxes_;
  HMODULE module_ = nullptr;
};
