#pragma once

// The window's pictures, drawn from evalgui/resources/*.mvg, which the program carries (built in
// by embed_pictures.cmake).

#include <string_view>

#include "vector_drawing.h"

// The drawing of a picture of the layout table, by the name its caption gives: "logo" or
// "schematic". Throws std::out_of_range for another name.
const Drawing& windowPicture(std::string_view name);
