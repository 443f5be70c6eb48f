// ksthid.dll as its hosts use it: loaded by name, each export looked up by
// name and called with the standard calling convention.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace ksthid::testing {

template <typename Function>
struct Export {
  const char* name;
  Function* call;
};

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* name) : module_(LoadLibraryA(name)) {
    if (module_ == nullptr) throw std::runtime_error(std::string("cannot load ") + name);
  }
  ~LoadedLibrary() { FreeLibrary(module_); }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  HMODULE module() const { return module_; }

  std::string path() const {
    char path[MAX_PATH];
    return std::string(path, GetModuleFileNameA(module_, path, MAX_PATH));
  }

  // The export `name`, typed as `Function`; a missing one fails the test.
  template <typename Function>
  Export<Function> find(const char* name) const {
    const FARPROC found = GetProcAddress(module_, name);
    if (found == nullptr) throw std::runtime_error(std::string("no export ") + name);
    return {name, reinterpret_cast<Function*>(reinterpret_cast<void*>(found))};
  }

 private:
  HMODULE module_;
};

}  // namespace ksthid::testing

// An export looked up under the name and the type of its declaration.
#define KSTHID_EXPORT(library, name) (library).find<decltype(name)>(#name)
