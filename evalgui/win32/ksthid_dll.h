#pragma once

#include <windows.h>

#include "ksthid.h"
#include "run_time_bridge_library.h"

// ksthid.dll, bound by name at run time: loaded at the first call, each function looked up at
// its own first call, so that the program starts, and can say what is missing, whatever the file
// holds. Once loaded, the library's own boxes are shown through the handler given here.
class KsthidDll final : public RunTimeBridgeLibrary {
 public:
  KsthidDll(kstHID_MessageBoxHandler boxes, void* boxesContext);
  ~KsthidDll() override;
  KsthidDll(const KsthidDll&) = delete;
  KsthidDll& operator=(const KsthidDll&) = delete;

 private:
  ExportAddress lookUp(const char* name) override;
  bool load();

  kstHID_MessageBoxHandler boxes_;
  void* boxesContext_;
  HMODULE module_ = nullptr;
};
