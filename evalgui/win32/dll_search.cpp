#include "dll_search.h"

#include <windows.h>

void restrictDllSearch() {
  // Windows 8 and later, and Windows 7 with its update KB2533623: looked up at run time.
  using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesCall>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories &&
      setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS) != FALSE) {
    return;
  }
  // Without it, the current folder at least leaves the search order.
  SetDllDirectoryW(L"");
}
