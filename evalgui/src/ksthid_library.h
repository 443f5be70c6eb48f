#pragma once

#include <QLibrary>
#include <QStringList>

#include "bridge_library.h"
#include "message_boxes.h"

// The bridge library ksthid, bound by name at run time. The library is loaded at the first call
// and each function looked up at its own first call, so that the program starts, and can say
// what is missing, whatever the library holds. On loading, the library is given the program's
// boxes to show its own messages in.
class KsthidLibrary final : public BridgeLibrary {
 public:
  // Tries the file names in turn, each without prefix or suffix ("dir/ksthid").
  KsthidLibrary(MessageBoxes& boxes, QStringList fileNames);
  // Beside the program first, then on the system's library path.
  static QStringList defaultFileNames();

  std::optional<std::int16_t> connect() override;
  std::optional<std::int16_t> indicateSelectedModule(std::int16_t hidNumber) override;
  std::optional<std::int16_t> setGPIOValue(std::uint8_t valueByte1, std::uint8_t valueByte2,
                                           std::int16_t hidNumber) override;
  std::optional<std::int16_t> setGPIOConfiguration(std::uint8_t configByte1,
                                                   std::uint8_t configByte2,
                                                   std::int16_t configFlag,
                                                   std::int16_t hidNumber) override;
  std::string bindingError() const override { return error_.toStdString(); }

 private:
  bool load();
  void routeMessageBoxes();
  QFunctionPointer resolve(QFunctionPointer& bound, const char* name);
  template <typename Function, typename... Arguments>
  std::optional<std::int16_t> call(QFunctionPointer& bound, const char* name,
                                   Arguments... arguments);

  MessageBoxes& boxes_;
  QStringList fileNames_;
  QLibrary library_;
  QString error_;
  QFunctionPointer connect_ = nullptr;
  QFunctionPointer indicateSelectedModule_ = nullptr;
  QFunctionPointer setGPIOValue_ = nullptr;
  QFunctionPointer setGPIOConfiguration_ = nullptr;
};
