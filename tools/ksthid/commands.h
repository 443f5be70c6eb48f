// The command families of ksthid, one for each family of the library's exports.
#pragma once

#include "tool.h"

namespace ksthid_tool {

void addBoardCommands(tools::CommandSet& set);
void addGpioCommands(tools::CommandSet& set);
void addI2CCommands(tools::CommandSet& set);
void addBusConfigurationCommands(tools::CommandSet& set);
void addTraceCommands(tools::CommandSet& set);
void addKernelCommands(tools::CommandSet& set);

// "0x12 0x34 ..."
std::string hexBytes(const std::vector<std::uint8_t>& bytes);

}  // namespace ksthid_tool
