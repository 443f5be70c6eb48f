// qv6180: the QV6180 on an evaluation board from a shell, and its divider calculator.
#include <iostream>

#include "commands.h"

int main(int argc, char** argv) {
  const auto commands = [](tools::CommandSet& set) {
    qv6180_tool::addChipCommands(set);
    qv6180_tool::addCalculatorCommands(set);
  };
  return tools::runTool("qv6180", "The QV6180 VCOM calibrator on its evaluation board", commands,
                        argc, argv, std::cout, std::cerr);
}
