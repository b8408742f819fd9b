// One sub-command of ostrelctl. A command gets the arguments after its name
// and returns the process exit code.
#pragma once

#include <span>
#include <string_view>

namespace ostrelctl {

using Args = std::span<const std::string_view>;

struct Command {
  std::string_view name;
  std::string_view usage;    // arguments, e.g. "[--seconds N]"
  std::string_view summary;  // one line for the help text
  int (*run)(Args args);
};

// Every command, in the order the help lists them (command_table.cpp).
std::span<const Command> AllCommands();

}  // namespace ostrelctl
