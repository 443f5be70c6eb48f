#pragma once

// The window at each screen resolution, checked for text that does not fit its control: every
// caption of the layout and the longest texts the calculator writes, measured in the font each
// control draws with, against the room the control leaves for its text.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "driver_checks.h"

using DriverCase = std::pair<std::string, std::function<void(const Paths&)>>;

// One case a resolution: text_fits_96, text_fits_120, text_fits_144, text_fits_192, each in a
// session of its own (screen.h). With QV6180_SCREENSHOT=FILE.bmp a case saves the window.
std::vector<DriverCase> textFitCases();
