// Each thread's library state, held in a TLS slot of the system and released,
// with the boards the thread opened, when the loader reports the thread's end.
//
// Not C++ thread_local: MinGW keeps its destructors on winpthreads' keys and
// runs the exiting thread's from the runtime's exit handler inside the
// loader's process detach. Once a host's own thread (CreateThread) has used
// the library and ended, that handler waits forever on a winpthreads lock, and
// a host that returns from main never ends. Here nothing runs at process
// detach: the state of the threads still running then, and their handles, go
// with the process.
#include <windows.h>

#include "library_state.h"

namespace ksthid {
namespace {

DWORD stateSlot = TLS_OUT_OF_INDEXES;

LibraryState* stateInSlot() {
  return static_cast<LibraryState*>(TlsGetValue(stateSlot));
}

void releaseEndingThreadState() {
  LibraryState* state = stateInSlot();
  if (state == nullptr) return;
  TlsSetValue(stateSlot, nullptr);
  delete state;  // and with it the handles of its boards
}

// The loader calls every TLS callback of an image, program or DLL, when the
// image is loaded and whenever a thread ends, before the DLL entry point.
void NTAPI onImageEvent(PVOID, DWORD reason, PVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    stateSlot = TlsAlloc();
  } else if (reason == DLL_THREAD_DETACH && stateSlot != TLS_OUT_OF_INDEXES) {
    releaseEndingThreadState();
  }
}

}  // namespace

LibraryState& libraryState() {
  LibraryState* state = stateInSlot();
  if (state == nullptr) {
    state = new LibraryState;
    TlsSetValue(stateSlot, state);
  }
  return *state;
}

}  // namespace ksthid

// The image's TLS callbacks are the pointers placed between the runtime's
// .CRT$XLA and .CRT$XLZ.
extern "C" __attribute__((section(".CRT$XLK"), used))
const PIMAGE_TLS_CALLBACK ksthidImageEventCallback = ksthid::onImageEvent;
