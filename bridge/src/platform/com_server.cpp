// The library as an in-process COM server of one class, Class1, which has no
// methods or properties. It registers for the current user only, so that
// registering needs no administrator.
#include <windows.h>
// After windows.h, whose types it uses.
#include <olectl.h>

#include <atomic>
#include <cstdio>
#include <new>
#include <string>

namespace {

// {92E99DFD-C234-48A4-BA02-8F00948DE8C3}
constexpr CLSID kClass1Id = {
    0x92e99dfd, 0xc234, 0x48a4, {0xba, 0x02, 0x8f, 0x00, 0x94, 0x8d, 0xe8, 0xc3}};
constexpr const char* class1ProgId = "ksthid.Class1";
constexpr const char* class1Description = "ksthid Class1";
constexpr const char* userClasses = "Software\\Classes\\";

// Class1 objects alive and references to the class factory handed out: the
// library must stay loaded while any of them is in a host's hands.
std::atomic<long> liveReferences{0};
std::atomic<long> serverLocks{0};

class Class1 final : public IUnknown {
 public:
  Class1() { ++liveReferences; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (!IsEqualIID(iid, IID_IUnknown)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = this;
    AddRef();
    return S_OK;
  }

  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 private:
  ~Class1() { --liveReferences; }

  std::atomic<ULONG> references_{1};
};

// One factory for the life of the library; what it counts is the library's
// references, not its own lifetime.
class Class1Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = this;
    AddRef();
    return S_OK;
  }

  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++liveReferences); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--liveReferences); }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* created = new (std::nothrow) Class1;
    if (created == nullptr) return E_OUTOFMEMORY;
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      ++serverLocks;
    } else {
      --serverLocks;
    }
    return S_OK;
  }
};

Class1Factory factory;

std::string class1IdText() {
  char text[39];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                kClass1Id.Data1, kClass1Id.Data2, kClass1Id.Data3, kClass1Id.Data4[0],
                kClass1Id.Data4[1], kClass1Id.Data4[2], kClass1Id.Data4[3], kClass1Id.Data4[4],
                kClass1Id.Data4[5], kClass1Id.Data4[6], kClass1Id.Data4[7]);
  return text;
}

std::string kClass1Key() {
  return std::string(userClasses) + "CLSID\\" + class1IdText();
}

std::string kProgIdKey() {
  return std::string(userClasses) + class1ProgId;
}

// The full path of this library, as COM is to load it.
std::string libraryPath() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&liveReferences), &self)) {
    return {};
  }
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::string(path, length);
}

// Creates the key of the current user's where needed and sets one text
// value; a null name sets the key's default value.
bool setText(const std::string& key, const char* name, const std::string& text) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text.c_str(),
                         static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

// Deletes a key of the current user's with everything under it; true also
// when there was none.
bool removeKey(const std::string& key) {
  const LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, LPVOID* object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(classId, kClass1Id)) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow() {
  return liveReferences == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}

STDAPI DllUnregisterServer() {
  const bool classRemoved = removeKey(kClass1Key());
  const bool progIdRemoved = removeKey(kProgIdKey());
  return classRemoved && progIdRemoved ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllRegisterServer() {
  const std::string path = libraryPath();
  const std::string server = kClass1Key() + "\\InprocServer32";
  const bool registered = !path.empty() && setText(kClass1Key(), nullptr, class1Description) &&
                          setText(server, nullptr, path) &&
                          setText(server, "ThreadingModel", "Apartment") &&
                          setText(kClass1Key() + "\\ProgID", nullptr, class1ProgId) &&
                          setText(kProgIdKey(), nullptr, class1Description) &&
                          setText(kProgIdKey() + "\\CLSID", nullptr, class1IdText());
  if (registered) return S_OK;
  // Half a registration would point COM at nothing that works.
  DllUnregisterServer();
  return SELFREG_E_CLASS;
}
