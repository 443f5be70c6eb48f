#pragma once

#include <windows.h>

// While the window's thread is busy with a long piece of work (a send), serves what waits in the
// thread's queue between two steps, so that the window paints and the system stays answered,
// and drops the keys, clicks, wheel turns and close requests meant for the window.
void serveMessagesDroppingInput(HWND window);
