#pragma once

#include "driver_checks.h"

// Two virtual boards plugged in and pulled out from outside while the window runs.
void boardsComeAndGo(const Paths& paths);
