#include "ksthid_dll.h"

#include "text_conversion.h"

namespace {

constexpr auto kLibraryFileName = L"ksthid.dll";

std::wstring modulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring programFolder() {
  const std::wstring program = modulePath(nullptr);
  return program.substr(0, program.find_last_of(L"\\/") + 1);
}

std::string systemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length ? std::wstring(text, length) : std::wstring();
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) {
    message.pop_back();
  }
  if (message.empty()) return "Windows error " + std::to_string(error) + ".";
  return narrow(message);
}

std::string fromAnsiCodePage(const char* text) {
  return narrow(fromAnsi(text));
}

}  // namespace

KsthidDll::KsthidDll(MessageBoxes& boxes) : boxes_(boxes, &fromAnsiCodePage) {}

// The library keeps its handles for the life of the process: it is never unloaded before.
KsthidDll::~KsthidDll() = default;

RunTimeBridgeLibrary::ExportAddress KsthidDll::lookUp(const char* name) {
  if (!load()) return nullptr;
  const FARPROC function = GetProcAddress(module_, name);
  if (!function) {
    setBindingError("The library ksthid (" + narrow(modulePath(module_)) + ") has no function " +
                    name + ".");
  }
  return reinterpret_cast<ExportAddress>(function);
}

// Beside the program first, then where Windows looks for a library of that name once the search
// is restricted (restrictDllSearch): System32 and the folders added on purpose.
bool KsthidDll::load() {
  if (module_) return true;
  const std::wstring besideProgram = programFolder() + kLibraryFileName;
  module_ = LoadLibraryW(besideProgram.c_str());
  if (!module_) module_ = LoadLibraryW(kLibraryFileName);
  if (!module_) {
    setBindingError("The library ksthid cannot be loaded.\r\n" + narrow(besideProgram) + ": " +
                    systemMessage(GetLastError()));
    return false;
  }
  // Without this the library would show its boxes owned by no window, behind the program's.
  if (const auto setHandler = reinterpret_cast<decltype(&kstHID_setMessageBoxHandler)>(
          reinterpret_cast<void*>(GetProcAddress(module_, "kstHID_setMessageBoxHandler")))) {
    setHandler(&LibraryBoxes::show, &boxes_);
  }
  return true;
}
