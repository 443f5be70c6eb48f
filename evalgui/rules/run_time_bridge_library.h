#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "board_directory.h"
#include "bridge_library.h"

struct ksthid_monitor;

// The bridge library bound by name at run time, whatever loads it: the library is loaded at the
// first call and each function looked up at its own first call, so that the program starts, and
// can say what is missing, whatever the file holds. A front end says only how a function is found.
// The boards present and their comings and goings come from the library's own interface.
class RunTimeBridgeLibrary : public BridgeLibrary, public BoardDirectory {
 public:
  ~RunTimeBridgeLibrary() override;

  // Any function's address; cast to the export's own type before the call.
  using ExportAddress = void (*)();

  std::optional<std::int16_t> connect() final;
  std::optional<std::string> pathOf(std::int16_t hidNumber) final;
  std::optional<std::int16_t> indicateSelectedModule(std::int16_t hidNumber) final;
  std::optional<std::int16_t> setGPIOValue(std::uint8_t valueByte1, std::uint8_t valueByte2,
                                           std::int16_t hidNumber) final;
  std::optional<std::int16_t> setGPIOConfiguration(std::uint8_t configByte1,
                                                   std::uint8_t configByte2,
                                                   std::int16_t configFlag,
                                                   std::int16_t hidNumber) final;
  std::string bindingError() const final { return error_; }

  std::vector<PresentBoard> presentBoards() final;
  std::optional<FirmwareVersion> firmwareVersion(const std::string& path) final;
  bool watch(std::function<void()> wake) final;
  void stopWatching() final;
  bool takeChanges() final;

 protected:
  // Loads the library when it is not loaded yet and looks the function up. Null when either
  // fails, after saying why through setBindingError.
  virtual ExportAddress lookUp(const char* name) = 0;
  void setBindingError(std::string error) { error_ = std::move(error); }

 private:
  template <typename Function, typename... Arguments>
  std::optional<std::int16_t> call(ExportAddress& bound, const char* name, Arguments... arguments);
  // The export as its own type; null when it cannot be had.
  template <typename Function>
  Function bind(ExportAddress& bound, const char* name);
  void followMonitor();

  std::string error_;
  ExportAddress connect_ = nullptr;
  ExportAddress hidNumberPath_ = nullptr;
  ExportAddress indicateSelectedModule_ = nullptr;
  ExportAddress setGPIOValue_ = nullptr;
  ExportAddress setGPIOConfiguration_ = nullptr;
  ExportAddress enumerate_ = nullptr;
  ExportAddress freeEnumeration_ = nullptr;
  ExportAddress open_ = nullptr;
  ExportAddress close_ = nullptr;
  ExportAddress setTimeout_ = nullptr;
  ExportAddress firmwareVersion_ = nullptr;
  ExportAddress monitorOpen_ = nullptr;
  ExportAddress monitorNext_ = nullptr;
  ExportAddress monitorClose_ = nullptr;
  ksthid_monitor* monitor_ = nullptr;
  bool watching_ = false;
  // The monitor is waited in by a thread of its own, which alone calls it once started.
  std::thread watcher_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> changed_{false};
  std::mutex wakeMutex_;
  std::function<void()> wake_;
};
