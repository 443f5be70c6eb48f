#pragma once

#include <windows.h>

#include <string>

#include "bridge_library.h"
#include "ksthid.h"

// ksthid.dll, bound by name at run time: loaded at the first call, each function looked up at
// its own first call, so that the program starts, and can say what is missing, whatever the file
// holds. Once loaded, the library's own boxes are shown through the handler given here.
class KsthidDll final : public BridgeLibrary {
 public:
  KsthidDll(kstHID_MessageBoxHandler boxes, void* boxesContext);
  ~KsthidDll() override;
  KsthidDll(const KsthidDll&) = delete;
  KsthidDll& operator=(const KsthidDll&) = delete;

  std::optional<std::int16_t> connect() override;
  std::optional<std::int16_t> indicateSelectedModule(std::int16_t hidNumber) override;
  std::optional<std::int16_t> setGPIOValue(std::uint8_t valueByte1, std::uint8_t valueByte2,
                                           std::int16_t hidNumber) override;
  std::optional<std::int16_t> setGPIOConfiguration(std::uint8_t configByte1,
                                                   std::uint8_t configByte2,
                                                   std::int16_t configFlag,
                                                   std::int16_t hidNumber) override;
  std::string bindingError() const override { return error_; }

 private:
  bool load();
  FARPROC resolve(FARPROC& bound, const char* name);
  template <typename Function, typename... Arguments>
  std::optional<std::int16_t> call(FARPROC& bound, const char* name, Arguments... arguments);

  kstHID_MessageBoxHandler boxes_;
  void* boxesContext_;
  HMODULE module_ = nullptr;
  std::string error_;
  FARPROC connect_ = nullptr;
  FARPROC indicateSelectedModule_ = nullptr;
  FARPROC setGPIOValue_ = nullptr;
  FARPROC setGPIOConfiguration_ = nullptr;
};
