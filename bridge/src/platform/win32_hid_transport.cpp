// The HID devices of Windows: device interfaces found through the device
// set-up services, reports written and read through file handles, reads
// overlapped so that a wait for one can be bounded.
#include <windows.h>
// The HID class driver's header lacks C++ linkage of its own.
extern "C" {
#include <hidsdi.h>
}
#include <setupapi.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../transport.h"

namespace ksthid {
namespace {

// The path of one device interface; empty when the system cannot give it.
std::string interfacePath(HDEVINFO devices, SP_DEVICE_INTERFACE_DATA& member) {
  DWORD required = 0;
  SetupDiGetDeviceInterfaceDetailA(devices, &member, nullptr, 0, &required, nullptr);
  if (required <= offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath)) return {};
  // Zeroed DWORDs keep the record aligned, and one spare byte ends the path.
  std::vector<DWORD> buffer(required / sizeof(DWORD) + 1, 0);
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
  // 5 in the 32-bit build, 8 in the 64-bit one: the record's own size.
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  if (!SetupDiGetDeviceInterfaceDetailA(devices, &member, detail, required, nullptr, nullptr)) {
    return {};
  }
  return reinterpret_cast<const char*>(buffer.data()) +
         offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
}

// A board opened as the device contract asks: a handle for synchronous
// writes, and one for overlapped reads whose completion signals readEvent, so
// that a wait for a report can be bounded.
class Win32Device final : public DeviceHandle {
 public:
  // See opened() for whether it succeeded.
  explicit Win32Device(const std::string& path)
      : writeHandle_(openDevice(path, 0)),
        readHandle_(openDevice(path, FILE_FLAG_OVERLAPPED)),
        readEvent_(CreateEventA(&handleSecurity_, TRUE, TRUE, nullptr)) {}
  ~Win32Device() override {
    closeIfOpen(readEvent_);
    closeIfOpen(readHandle_);
    closeIfOpen(writeHandle_);
  }

  bool opened() const {
    return writeHandle_ != INVALID_HANDLE_VALUE && readHandle_ != INVALID_HANDLE_VALUE &&
           readEvent_ != nullptr;
  }

  std::optional<HidAttributes> attributes() override {
    HIDD_ATTRIBUTES read{};
    read.Size = sizeof(read);
    if (!HidD_GetAttributes(writeHandle_, &read)) return std::nullopt;
    return HidAttributes{read.VendorID, read.ProductID, read.VersionNumber};
  }

  bool write(const Report& report) override {
    DWORD written = 0;
    return WriteFile(writeHandle_, report.data(), kReportLength, &written, nullptr) != FALSE;
  }

  ReadResult read(Report& into, std::chrono::milliseconds wait) override {
    Report received{};
    ResetEvent(readEvent_);
    readOverlapped_ = OVERLAPPED{};
    readOverlapped_.hEvent = readEvent_;
    if (!ReadFile(readHandle_, received.data(), kReportLength, nullptr, &readOverlapped_) &&
        GetLastError() != ERROR_IO_PENDING) {
      // Refused at once: nothing will signal, so the wait runs out as it does
      // for a silent device.
      WaitForSingleObject(readEvent_, waitMilliseconds(wait));
      return ReadResult::timedOut;
    }
    const DWORD waited = WaitForSingleObject(readEvent_, waitMilliseconds(wait));
    if (waited != WAIT_OBJECT_0) CancelIo(readHandle_);
    // The system may go on writing into the report until the read has ended,
    // completed or cancelled; a read that completed before the cancel keeps
    // its report, which would otherwise be lost.
    DWORD transferred = 0;
    const bool completed =
        GetOverlappedResult(readHandle_, &readOverlapped_, &transferred, TRUE) != FALSE;
    ResetEvent(readEvent_);
    if (completed) {
      into = received;
      return ReadResult::report;
    }
    return waited == WAIT_TIMEOUT ? ReadResult::timedOut : ReadResult::failed;
  }

 private:
  // No descriptor of its own; handles pass on to child processes.
  static inline SECURITY_ATTRIBUTES handleSecurity_{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};

  static HANDLE openDevice(const std::string& path, DWORD flags) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &handleSecurity_, OPEN_EXISTING, flags,
                       nullptr);
  }

  static DWORD waitMilliseconds(std::chrono::milliseconds wait) {
    return static_cast<DWORD>(
        std::clamp<std::chrono::milliseconds::rep>(wait.count(), 0, INFINITE - 1));
  }

  static void closeIfOpen(HANDLE handle) {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }

  const HANDLE writeHandle_;
  const HANDLE readHandle_;
  const HANDLE readEvent_;
  OVERLAPPED readOverlapped_{};
};

class Win32HidTransport final : public Transport {
 public:
  std::vector<std::string> enumerateHidPaths() override {
    GUID hidClass;
    HidD_GetHidGuid(&hidClass);
    const HDEVINFO devices =
        SetupDiGetClassDevsA(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (devices == INVALID_HANDLE_VALUE) return {};
    std::vector<std::string> paths;
    SP_DEVICE_INTERFACE_DATA member{};
    member.cbSize = sizeof(member);
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(devices, nullptr, &hidClass, index, &member);
         ++index) {
      if (std::string path = interfacePath(devices, member); !path.empty()) {
        paths.push_back(std::move(path));
      }
    }
    SetupDiDestroyDeviceInfoList(devices);
    return paths;
  }

  std::unique_ptr<DeviceHandle> open(const std::string& path) override {
    auto device = std::make_unique<Win32Device>(path);
    if (!device->opened()) return nullptr;
    return device;
  }
};

}  // namespace

std::unique_ptr<Transport> makePlatformTransport() {
  return std::make_unique<Win32HidTransport>();
}

}  // namespace ksthid
