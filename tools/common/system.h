// What the tools need of the operating system beyond the standard library: one source file for
// each platform.
#pragma once

#include <filesystem>
#include <string>

namespace tools {

// The process's environment, where the library reads its settings at its first call.
void setEnvironment(const std::string& name, const std::string& value);
void unsetEnvironment(const std::string& name);

// Whether standard error goes to a terminal (a console on Windows), where a progress bar may be
// drawn.
bool standardErrorIsTerminal();

// A new empty file of this process's own in the temporary folder, its name beginning with
// `stem`; empty when none could be made. The caller removes it when done.
std::filesystem::path createTemporaryFile(const std::string& stem);

}  // namespace tools
