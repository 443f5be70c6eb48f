// Loading and unloading need nothing of the library: its state starts empty
// on a thread's first use and ends with the thread (win32_thread_state.cpp).
#include <windows.h>

// True, as the library writes it (-1), for the process attaching.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  return reason == DLL_PROCESS_ATTACH ? -1 : 0;
}
