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
#include <atomic>
#include <cctype>
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

// A HID string of the device (serial number, product), UTF-16 from the
// system, as UTF-8; empty when the device gives none.
std::string hidString(HANDLE device, BOOLEAN(__stdcall* get)(HANDLE, PVOID, ULONG)) {
  // USB string descriptors hold at most 126 UTF-16 units.
  wchar_t text[128] = {};
  if (!get(device, text, sizeof text - sizeof text[0])) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string converted(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), length, nullptr, nullptr);
  converted.resize(static_cast<std::size_t>(length - 1));
  return converted;
}

bool disconnected(DWORD error) {
  return error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_FILE_NOT_FOUND ||
         error == ERROR_DEV_NOT_EXIST;
}

// The name of the mutex that every program on this session shares for the
// device at `path`. Names may hold no backslash, and the system spells a
// device's path in either case.
std::string deviceMutexName(const std::string& path) {
  std::string name = "Local\\ksthid-device-" + path;
  std::transform(name.begin() + 6, name.end(), name.begin() + 6, [](unsigned char c) {
    return c == '\\' ? '/' : static_cast<char>(std::tolower(c));
  });
  return name;
}

// A board opened as the device contract asks: a handle for synchronous
// writes, and one for overlapped reads whose completion signals readEvent, so
// that a wait for a report can be bounded; and the device's named mutex,
// which the system lets go of (abandons) when the thread holding it ends.
class Win32Device final : public DeviceHandle {
 public:
  // See opened() for whether it succeeded.
  explicit Win32Device(const std::string& path)
      : writeHandle_(openDevice(path, 0)),
        readHandle_(openDevice(path, FILE_FLAG_OVERLAPPED)),
        readEvent_(CreateEventA(&handleSecurity_, TRUE, TRUE, nullptr)),
        deviceMutex_(CreateMutexA(nullptr, FALSE, deviceMutexName(path).c_str())) {}
  ~Win32Device() override {
    closeIfOpen(deviceMutex_);
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
    if (WriteFile(writeHandle_, report.data(), kReportLength, &written, nullptr)) return true;
    if (disconnected(GetLastError())) gone_ = true;
    return false;
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
    if (waited == WAIT_TIMEOUT) return ReadResult::timedOut;
    if (disconnected(GetLastError())) gone_ = true;
    return ReadResult::failed;
  }

  bool gone() override { return gone_; }

  // A mutex belongs to a thread: the thread that took it lets go of it. One
  // that another program left behind when it ended counts as taken. A
  // device whose mutex could not be made goes without.
  bool lockDevice(bool wait) override {
    if (!deviceMutex_) return true;
    const DWORD taken = WaitForSingleObject(deviceMutex_, wait ? INFINITE : 0);
    return taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED;
  }

  void unlockDevice() override {
    if (deviceMutex_) ReleaseMutex(deviceMutex_);
  }

  // Each handle has its own queue of input reports; the HID class driver
  // empties it at once. A device that refuses has what it holds read away.
  void discardQueued() override {
    if (!HidD_FlushQueue(readHandle_)) DeviceHandle::discardQueued();
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
  const HANDLE deviceMutex_;
  OVERLAPPED readOverlapped_{};
  bool gone_ = false;
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
    if (!device->opened()) {
      const DWORD error = GetLastError();
      failureKind_ = error == ERROR_ACCESS_DENIED ? OpenFailure::accessDenied
                     : disconnected(error)        ? OpenFailure::absent
                                                  : OpenFailure::other;
      return nullptr;
    }
    return device;
  }

  OpenFailure failureKind(const std::string& /*path*/) override { return failureKind_; }

  // Opened without access rights, which the attributes and strings need no
  // more than they need the device to be free.
  std::optional<HidDeviceInfo> describe(const std::string& path) override {
    const HANDLE device = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) return std::nullopt;
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof(attributes);
    std::optional<HidDeviceInfo> info;
    if (HidD_GetAttributes(device, &attributes)) {
      info = HidDeviceInfo{{attributes.VendorID, attributes.ProductID, attributes.VersionNumber},
                           hidString(device, HidD_GetSerialNumberString),
                           hidString(device, HidD_GetProductString)};
    }
    CloseHandle(device);
    return info;
  }

 private:
  // Of the last open that failed, in any thread: only a hint for a list.
  std::atomic<OpenFailure> failureKind_{OpenFailure::other};
};

}  // namespace

std::unique_ptr<Transport> makePlatformTransport() {
  return std::make_unique<Win32HidTransport>();
}

}  // namespace ksthid
