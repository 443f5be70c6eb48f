// Loading and unloading need nothing of the library: its state starts empty
// on first use, and its handles live as long as the process.
#include <windows.h>

// True, as the library writes it (-1), for the process attaching.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  return reason == DLL_PROCESS_ATTACH ? -1 : 0;
}
