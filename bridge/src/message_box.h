// The library's modal message boxes.
#pragma once

#include <string>

#include "ksthid.h"

namespace ksthid {

inline constexpr const char* boxCaption = "ksthid";

// Shows a box with the library's caption and returns the answer (KSTHID_ID*).
int showMessageBox(const std::string& text, unsigned style);

// What the platform shows when no host has installed a handler.
int showPlatformMessageBox(const std::string& text, const std::string& caption, unsigned style);

}  // namespace ksthid
