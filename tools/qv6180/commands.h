// The command families of qv6180.
#pragma once

#include "tool.h"

namespace qv6180_tool {

void addChipCommands(tools::CommandSet& set);
void addCalculatorCommands(tools::CommandSet& set);

}  // namespace qv6180_tool
