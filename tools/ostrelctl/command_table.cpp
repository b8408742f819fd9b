#include "tools/ostrelctl/command.h"

namespace ostrelctl {

// Add a command: declare its run function here and list it below.
int RunSensors(Args args);
int RunBlock(Args args);

std::span<const Command> AllCommands() {
  static const Command commands[] = {
      {"help", "", "list the commands", nullptr},
      {"sensors", "[--library FILE]",
       "one read pass: every reading, and where each published value came from", RunSensors},
      {"block", "", "the four values of the running program's hardware block", RunBlock},
  };
  return commands;
}

}  // namespace ostrelctl
