// ksthid: the bridge boards from a shell, one command for each family of the library's exports.
#include <iostream>

#include "commands.h"

int main(int argc, char** argv) {
  const auto commands = [](tools::CommandSet& set) {
    ksthid_tool::addBoardCommands(set);
    ksthid_tool::addGpioCommands(set);
    ksthid_tool::addI2CCommands(set);
    ksthid_tool::addBusConfigurationCommands(set);
    ksthid_tool::addTraceCommands(set);
    ksthid_tool::addKernelCommands(set);
  };
  return tools::runTool("ksthid", "The QV6180 evaluation kit's USB bridge boards", commands, argc,
                        argv, std::cout, std::cerr);
}
