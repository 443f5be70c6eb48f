// A host that uses ksthid.dll from a second thread and then returns from main,
// as a spreadsheet macro's worker or a test harness does. Its test passes when
// the process ends (within the test's time limit) with status 0: the library
// must not hold the process at exit, with or without virtual boards and trace.
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "ksthid.h"

namespace {

decltype(&kstHID_connect) connectBoards;
decltype(&kstHID_setGPIOValue) setGpioValue;

int KSTHID_CALL answerEveryBox(void*, const char* text, const char*, unsigned style) {
  std::printf("box: %s\n", text);
  return (style & KSTHID_MB_TYPEMASK) == KSTHID_MB_RETRYCANCEL ? KSTHID_IDCANCEL : KSTHID_IDOK;
}

// A thread of the system's own, not one the C++ runtime made.
DWORD WINAPI connectAndWrite(LPVOID) {
  std::uint8_t first = 0x50, second = 0;
  std::int16_t board = 0;
  std::printf("second thread: %d boards, write %d\n", connectBoards(),
              setGpioValue(&first, &second, &board));
  return 0;
}

template <typename Function>
Function exported(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

int main() {
  const HMODULE library = LoadLibraryA("ksthid.dll");
  if (library == nullptr) return 2;
  connectBoards = exported<decltype(connectBoards)>(library, "kstHID_connect");
  setGpioValue = exported<decltype(setGpioValue)>(library, "kstHID_setGPIOValue");
  exported<decltype(&kstHID_setMessageBoxHandler)>(library, "kstHID_setMessageBoxHandler")(
      answerEveryBox, nullptr);

  std::printf("main thread: %d boards\n", connectBoards());
  const HANDLE second = CreateThread(nullptr, 0, connectAndWrite, nullptr, 0, nullptr);
  if (second == nullptr) return 3;
  WaitForSingleObject(second, INFINITE);
  CloseHandle(second);
  std::fflush(stdout);
  return 0;
}
