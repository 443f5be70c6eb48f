#include <stdlib.h>
#include <unistd.h>

#include "system.h"

namespace tools {

void setEnvironment(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void unsetEnvironment(const std::string& name) {
  ::unsetenv(name.c_str());
}

std::filesystem::path createTemporaryFile(const std::string& stem) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return {};
  std::string name = (folder / (stem + "XXXXXX")).string();
  const int descriptor = ::mkstemp(name.data());
  if (descriptor < 0) return {};
  ::close(descriptor);
  return name;
}

bool standardErrorIsTerminal() {
  return ::isatty(STDERR_FILENO) != 0;
}

}  // namespace tools
