// Devices coming and going on Windows: CM_Register_Notification (Windows 8
// and later) tells of HID interfaces arriving and leaving, and the monitor
// waits for that without a timeout. Where it cannot serve, the monitor looks
// at the devices present every 250 ms instead: under Wine, which delivers no
// notifications; on Windows 7, where the function is missing; and where the
// system refuses the registration (the rule is in device_watch_choice.h).
// Each watch tells the debugger's output how it learns of devices when it
// opens.

// The notification's types are Windows 8's; its functions are looked up at
// run time, so that the library still starts where they are missing.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0602
#include <windows.h>
// After windows.h, which they need; the HID class driver's header lacks C++
// linkage of its own.
#include <cfgmgr32.h>
extern "C" {
#include <hidsdi.h>
}

#include <chrono>
#include <functional>
#include <utility>

#include "win32_device_watch.h"

namespace ksthid {
namespace {

constexpr std::chrono::milliseconds kLookInterval{250};

using RegisterNotification = CONFIGRET(WINAPI*)(PCM_NOTIFY_FILTER, PVOID, PCM_NOTIFY_CALLBACK,
                                                PHCMNOTIFICATION);
using UnregisterNotification = CONFIGRET(WINAPI*)(HCMNOTIFICATION);

struct NotificationFunctions {
  RegisterNotification registerNotification = nullptr;
  UnregisterNotification unregisterNotification = nullptr;
};

template <typename Function>
Function exported(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Looked up once, from System32 only; cfgmgr32.dll stays loaded for the
// process, so the functions stay valid. Both null where either is missing.
const NotificationFunctions& notificationFunctions() {
  static const NotificationFunctions functions = [] {
    const HMODULE cfgmgr32 = LoadLibraryExW(L"cfgmgr32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!cfgmgr32) return NotificationFunctions{};
    const NotificationFunctions found{
        exported<RegisterNotification>(cfgmgr32, "CM_Register_Notification"),
        exported<UnregisterNotification>(cfgmgr32, "CM_Unregister_Notification")};
    if (found.registerNotification && found.unregisterNotification) return found;
    FreeLibrary(cfgmgr32);
    return NotificationFunctions{};
  }();
  return functions;
}

// Asked of the system once: Wine's ntdll exports wine_get_version.
bool runsUnderWine() {
  static const bool wine = [] {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
  }();
  return wine;
}

// The system's facts, and the registration of one watch.
class SystemNotifications final : public DeviceNotifications {
 public:
  explicit SystemNotifications(bool underWine) : underWine_(underWine) {}

  // CM_Unregister_Notification waits for the callbacks under way, so that
  // none calls onChange_ after this. It must not run in a callback, and does
  // not: the callback only gives the watch its sign.
  ~SystemNotifications() override {
    if (!registration_) return;
    notificationFunctions().unregisterNotification(registration_);
    FreeLibrary(library_);
  }

  SystemNotifications(const SystemNotifications&) = delete;
  SystemNotifications& operator=(const SystemNotifications&) = delete;

  bool available() const override { return notificationFunctions().registerNotification; }
  bool underWine() const override { return underWine_; }

  // The library is held loaded while the registration stands: a host that
  // unloaded it with a monitor open would otherwise have the system call
  // into freed code.
  bool subscribe(std::function<void()> onChange) override {
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&onDeviceChange), &library_)) {
      return false;
    }
    onChange_ = std::move(onChange);
    CM_NOTIFY_FILTER filter{};
    filter.cbSize = sizeof filter;
    filter.FilterType = CM_NOTIFY_FILTER_TYPE_DEVICEINTERFACE;
    HidD_GetHidGuid(&filter.u.DeviceInterface.ClassGuid);
    if (notificationFunctions().registerNotification(&filter, this, &onDeviceChange,
                                                     &registration_) == CR_SUCCESS) {
      return true;
    }
    registration_ = nullptr;
    FreeLibrary(library_);
    return false;
  }

 private:
  // On a thread of the system's pool.
  static DWORD CALLBACK onDeviceChange(HCMNOTIFICATION, PVOID context, CM_NOTIFY_ACTION action,
                                       PCM_NOTIFY_EVENT_DATA, DWORD) {
    if (action == CM_NOTIFY_ACTION_DEVICEINTERFACEARRIVAL ||
        action == CM_NOTIFY_ACTION_DEVICEINTERFACEREMOVAL) {
      static_cast<SystemNotifications*>(context)->onChange_();
    }
    return ERROR_SUCCESS;
  }

  const bool underWine_;
  std::function<void()> onChange_;
  HCMNOTIFICATION registration_ = nullptr;
  HMODULE library_ = nullptr;
};

}  // namespace

std::unique_ptr<SignalledDeviceWatch> openWin32DeviceWatch(bool underWine) {
  auto watch = std::make_unique<SignalledDeviceWatch>(
      std::make_unique<SystemNotifications>(underWine), kLookInterval);
  OutputDebugStringA(("ksthid: monitor: " + watch->how() + "\n").c_str());
  return watch;
}

std::unique_ptr<DeviceWatch> openDeviceWatch() {
  return openWin32DeviceWatch(runsUnderWine());
}

}  // namespace ksthid
