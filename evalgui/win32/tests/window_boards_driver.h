#pragma once

#include "driver_checks.h"

// Started without a board: the calculator-only layout.
void withoutBoard(const Paths& paths);
// Two virtual boards plugged in and pulled out from outside while the window runs.
void boardsComeAndGo(const Paths& paths);
