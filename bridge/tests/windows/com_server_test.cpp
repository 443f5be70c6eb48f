// ksthid.dll as an in-process COM server: its one empty class, the answers
// of DllCanUnloadNow, and its registration for the current user by regsvr32.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "loaded_library.h"

namespace ksthid::testing {
namespace {

// The identity that registrations and hosts keep.
constexpr CLSID kClass1Id = {
    0x92e99dfd, 0xc234, 0x48a4, {0xba, 0x02, 0x8f, 0x00, 0x94, 0x8d, 0xe8, 0xc3}};
const std::string kClass1Key = "Software\\Classes\\CLSID\\{92E99DFD-C234-48A4-BA02-8F00948DE8C3}";
const std::string kProgIdKey = "Software\\Classes\\ksthid.Class1";

std::string userRegistryText(const std::string& key, const char* name) {
  char text[MAX_PATH] = "";
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return "(none)";
  }
  return text;
}

bool userKeyExists(const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(opened);
  return true;
}

// Runs Windows' regsvr32 on the library, silently; its exit code.
DWORD regsvr32(const std::string& options, const std::string& library) {
  std::string commandLine = "regsvr32.exe " + options + " \"" + library + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return GetLastError();
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

class ComServerTest : public ::testing::Test {
 protected:
  IClassFactory* classFactory() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(getClassObject.call(kClass1Id, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              S_OK);
    return factory;
  }

  LoadedLibrary library{"ksthid.dll"};
  Export<decltype(DllCanUnloadNow)> canUnloadNow = KSTHID_EXPORT(library, DllCanUnloadNow);
  Export<decltype(DllGetClassObject)> getClassObject = KSTHID_EXPORT(library, DllGetClassObject);
};

TEST_F(ComServerTest, CanUnloadOnlyWhenNoObjectFactoryOrLockIsHeld) {
  EXPECT_EQ(canUnloadNow.call(), S_OK);
  IClassFactory* factory = classFactory();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(canUnloadNow.call(), S_FALSE);
  IUnknown* object = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)),
            S_OK);
  factory->Release();
  EXPECT_EQ(canUnloadNow.call(), S_FALSE);
  object->Release();
  EXPECT_EQ(canUnloadNow.call(), S_OK);

  factory = classFactory();
  factory->LockServer(TRUE);
  factory->Release();
  EXPECT_EQ(canUnloadNow.call(), S_FALSE);
  factory = classFactory();
  factory->LockServer(FALSE);
  factory->Release();
  EXPECT_EQ(canUnloadNow.call(), S_OK);
}

TEST_F(ComServerTest, Class1IsAnEmptyObjectOfItsOwnClassOnly) {
  IClassFactory* factory = nullptr;
  EXPECT_EQ(
      getClassObject.call(IID_IUnknown, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
      CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(factory, nullptr);

  factory = classFactory();
  ASSERT_NE(factory, nullptr);
  void* object = &factory;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(factory->CreateInstance(factory, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
  factory->Release();
  EXPECT_EQ(canUnloadNow.call(), S_OK);
}

// The keys, rather than COM's lookup of them: Windows merges the user's
// classes into those of the machine, Wine's COM reads the machine's only.
TEST_F(ComServerTest, Regsvr32RegistersForTheCurrentUserAndUnregisters) {
  ASSERT_EQ(regsvr32("/s", library.path()), 0u);
  EXPECT_EQ(userRegistryText(kClass1Key + "\\InprocServer32", nullptr), library.path());
  EXPECT_EQ(userRegistryText(kClass1Key + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(userRegistryText(kProgIdKey + "\\CLSID", nullptr),
            "{92E99DFD-C234-48A4-BA02-8F00948DE8C3}");

  ASSERT_EQ(regsvr32("/u /s", library.path()), 0u);
  EXPECT_FALSE(userKeyExists(kClass1Key));
  EXPECT_FALSE(userKeyExists(kProgIdKey));
}

}  // namespace
}  // namespace ksthid::testing
