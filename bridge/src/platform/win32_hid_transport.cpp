// The HID devices of Windows: device interfaces found through the device
// set-up services, reports written and read through file handles, reads
// overlapped so that a wait for one can be bounded.
#include <windows.h>
// The HID class driver's header lacks C++ linkage of its own.
extern "C" {
#include <hidsdi.h>
}
#include <setupapi.h>

#include <cstddef>
#include <map>
#include <mutex>

#include "../platform_transport.h"

namespace ksthid {
namespace {

// The library's records go to the system as they are.
static_assert(sizeof(ReadRecord) == sizeof(OVERLAPPED));
static_assert(offsetof(ReadRecord, internal) == offsetof(OVERLAPPED, Internal));
static_assert(offsetof(ReadRecord, internalHigh) == offsetof(OVERLAPPED, InternalHigh));
static_assert(offsetof(ReadRecord, offset) == offsetof(OVERLAPPED, Offset));
static_assert(offsetof(ReadRecord, offsetHigh) == offsetof(OVERLAPPED, OffsetHigh));
static_assert(offsetof(ReadRecord, event) == offsetof(OVERLAPPED, hEvent));
static_assert(sizeof(SecurityAttributes) == sizeof(SECURITY_ATTRIBUTES));
static_assert(offsetof(SecurityAttributes, descriptor) ==
              offsetof(SECURITY_ATTRIBUTES, lpSecurityDescriptor));
static_assert(offsetof(SecurityAttributes, inherit) ==
              offsetof(SECURITY_ATTRIBUTES, bInheritHandle));

HANDLE systemHandle(Handle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

OVERLAPPED* systemRecord(ReadRecord& record) {
  return reinterpret_cast<OVERLAPPED*>(&record);
}

// The system only reads the record; its interface is not const-correct.
SECURITY_ATTRIBUTES* systemRecord(const SecurityAttributes& security) {
  return reinterpret_cast<SECURITY_ATTRIBUTES*>(const_cast<SecurityAttributes*>(&security));
}

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

Handle openDevice(const std::string& path, const SecurityAttributes& security, DWORD flags) {
  return reinterpret_cast<Handle>(
      CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  systemRecord(security), OPEN_EXISTING, flags, nullptr));
}

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

  Handle openWriteHandle(const std::string& path, const SecurityAttributes& security) override {
    return openDevice(path, security, 0);
  }

  Handle openReadHandle(const std::string& path, const SecurityAttributes& security) override {
    return openDevice(path, security, FILE_FLAG_OVERLAPPED);
  }

  std::optional<HidAttributes> attributes(Handle handle) override {
    HIDD_ATTRIBUTES read{};
    read.Size = sizeof(read);
    if (!HidD_GetAttributes(systemHandle(handle), &read)) return std::nullopt;
    return HidAttributes{read.VendorID, read.ProductID, read.VersionNumber};
  }

  bool writeReport(Handle handle, const Report& report) override {
    DWORD written = 0;
    return WriteFile(systemHandle(handle), report.data(), kReportLength, &written, nullptr) !=
           FALSE;
  }

  Handle createReadEvent(const SecurityAttributes& security) override {
    return reinterpret_cast<Handle>(CreateEventA(systemRecord(security), TRUE, TRUE, nullptr));
  }

  void startRead(Handle handle, Report& into, ReadRecord& record) override {
    remember(handle, record);
    if (!ReadFile(systemHandle(handle), into.data(), kReportLength, nullptr,
                  systemRecord(record)) &&
        GetLastError() != ERROR_IO_PENDING) {
      // Refused at once: nothing will signal, so the wait runs out as it
      // does for a silent device.
      forget(handle);
      ResetEvent(systemHandle(record.event));
    }
  }

  WaitResult waitForRead(Handle event, std::uint32_t milliseconds) override {
    switch (WaitForSingleObject(systemHandle(event), milliseconds)) {
      case WAIT_OBJECT_0:
        forgetReadsOf(event);
        return WaitResult::signalled;
      case WAIT_TIMEOUT:
        return WaitResult::timedOut;
      default:
        return WaitResult::failed;
    }
  }

  void resetReadEvent(Handle event) override { ResetEvent(systemHandle(event)); }

  void cancelRead(Handle handle) override {
    ReadRecord* record = forget(handle);
    if (!record) return;
    CancelIo(systemHandle(handle));
    // The system may go on writing into the report until the read has ended,
    // completed or cancelled; the caller reuses the report as soon as this
    // returns.
    DWORD transferred = 0;
    GetOverlappedResult(systemHandle(handle), systemRecord(*record), &transferred, TRUE);
    ResetEvent(systemHandle(record->event));
  }

  void closeHandle(Handle handle) override {
    cancelRead(handle);
    if (handle != invalidHandle) CloseHandle(systemHandle(handle));
  }

 private:
  // A record carries one read at a time: a read started with it replaces
  // whatever it carried before.
  void remember(Handle handle, ReadRecord& record) {
    std::lock_guard lock(mutex_);
    std::erase_if(pendingReads_, [&](const auto& entry) { return entry.second == &record; });
    pendingReads_[handle] = &record;
  }

  ReadRecord* forget(Handle handle) {
    std::lock_guard lock(mutex_);
    const auto found = pendingReads_.find(handle);
    if (found == pendingReads_.end()) return nullptr;
    ReadRecord* record = found->second;
    pendingReads_.erase(found);
    return record;
  }

  // The reads that signal the event have ended.
  void forgetReadsOf(Handle event) {
    std::lock_guard lock(mutex_);
    std::erase_if(pendingReads_, [&](const auto& entry) { return entry.second->event == event; });
  }

  std::mutex mutex_;
  // The record of each read started and not yet seen to end.
  std::map<Handle, ReadRecord*> pendingReads_;
};

}  // namespace

std::unique_ptr<Transport> makePlatformTransport() {
  return std::make_unique<Win32HidTransport>();
}

}  // namespace ksthid
