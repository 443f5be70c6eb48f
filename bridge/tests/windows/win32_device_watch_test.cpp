// The watch on Windows over the system's own facts: under Wine it looks,
// since Wine delivers no notifications; and where the system has
// CM_Register_Notification, a watch registers, takes a sign from another
// thread and unregisters when it closes.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/win32_device_watch.h"

namespace ksthid {
namespace {

// Told apart as the library does: Wine's ntdll exports wine_get_version.
bool underWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

bool systemHasNotification() {
  const HMODULE cfgmgr32 = GetModuleHandleW(L"cfgmgr32.dll");
  return cfgmgr32 && GetProcAddress(cfgmgr32, "CM_Register_Notification");
}

TEST(Win32DeviceWatchTest, LooksUnderWine) {
  if (!underWine()) GTEST_SKIP() << "not under Wine";
  const auto watch = openDeviceWatch();
  EXPECT_EQ(dynamic_cast<const SignalledDeviceWatch&>(*watch).how(),
            "looking every 250 ms: Wine delivers no device notifications");
}

TEST(Win32DeviceWatchTest, RegisteredWatchTakesASignAndUnregisters) {
  const auto watch = openWin32DeviceWatch(false);
  if (!systemHasNotification()) GTEST_SKIP() << "the system has no CM_Register_Notification";
  ASSERT_EQ(watch->how(), "device notification");
  EXPECT_FALSE(watch->wait(0));
  std::thread plug([&] { watch->wake(); });
  EXPECT_TRUE(watch->wait(-1));
  plug.join();
}

}  // namespace
}  // namespace ksthid
