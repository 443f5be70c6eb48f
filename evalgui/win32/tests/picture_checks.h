#pragma once

#include "driver_checks.h"

// The pictures at 192 dpi (200 %): drawn at twice their design size, sharp, the logo on the
// window's colour. Wine keeps the resolution that the session's desktop started with:
// this case runs in a session of its own.
void picturesAtTwiceTheResolution(const Paths& paths);
