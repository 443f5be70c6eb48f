#pragma once

#include <string>

#include "bridge_library.h"

// The bridge library bound by name at run time, whatever loads it: the library is loaded at the
// first call and each function looked up at its own first call, so that the program starts, and
// can say what is missing, whatever the file holds. A front end says only how a function is found.
class RunTimeBridgeLibrary : public BridgeLibrary {
 public:
  // Any function's address; cast to the export's own type before the call.
  using ExportAddress = void (*)();

  std::optional<std::int16_t> connect() final;
  std::optional<std::int16_t> indicateSelectedModule(std::int16_t hidNumber) final;
  std::optional<std::int16_t> setGPIOValue(std::uint8_t valueByte1, std::uint8_t valueByte2,
                                           std::int16_t hidNumber) final;
  std::optional<std::int16_t> setGPIOConfiguration(std::uint8_t configByte1,
                                                   std::uint8_t configByte2,
                                                   std::int16_t configFlag,
                                                   std::int16_t hidNumber) final;
  std::string bindingError() const final { return error_; }

 protected:
  // Loads the library when it is not loaded yet and looks the function up. Null when either
  // fails, after saying why through setBindingError.
  virtual ExportAddress lookUp(const char* name) = 0;
  void setBindingError(std::string error) { error_ = std::move(error); }

 private:
  template <typename Function, typename... Arguments>
  std::optional<std::int16_t> call(ExportAddress& bound, const char* name, Arguments... arguments);

  std::string error_;
  ExportAddress connect_ = nullptr;
  ExportAddress indicateSelectedModule_ = nullptr;
  ExportAddress setGPIOValue_ = nullptr;
  ExportAddress setGPIOConfiguration_ = nullptr;
};
