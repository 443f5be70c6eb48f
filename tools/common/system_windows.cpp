#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "system.h"

namespace tools {
namespace {

// Files an earlier run could not remove. Those still open in a running process are refused by
// Windows and stay.
void removeLeftovers(const std::filesystem::path& folder, const std::string& stem) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    if (entry->path().filename().string().starts_with(stem)) {
      std::error_code ignored;
      std::filesystem::remove(entry->path(), ignored);
    }
  }
}

}  // namespace

// _putenv_s, not SetEnvironmentVariable: the library reads the C runtime's copy of the
// environment, which the runtime shares between this program and the DLL.
void setEnvironment(const std::string& name, const std::string& value) {
  ::_putenv_s(name.c_str(), value.c_str());
}

// An empty value removes the variable.
void unsetEnvironment(const std::string& name) {
  ::_putenv_s(name.c_str(), "");
}

// The library keeps a file it writes open until the process ends, and Windows removes no open
// file, so the caller's removal fails there: each run removes what earlier runs left behind.
std::filesystem::path createTemporaryFile(const std::string& stem) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return {};
  removeLeftovers(folder, stem);
  const std::filesystem::path name =
      folder / (stem + std::to_string(::GetCurrentProcessId()) + ".tmp");
  const HANDLE created = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (created == INVALID_HANDLE_VALUE) return {};
  ::CloseHandle(created);
  return name;
}

bool standardErrorIsTerminal() {
  return ::_isatty(::_fileno(stderr)) != 0;
}

}  // namespace tools
