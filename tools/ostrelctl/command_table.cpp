#include "tools/ostrelctl/command.h"

namespace ostrelctl {

// Add a command: declare its run function here and list it below.

std::span<const Command> AllCommands() {
  static const Command commands[] = {
      {"help", "", "list the commands", nullptr},
  };
  return commands;
}

}  // namespace ostrelctl
