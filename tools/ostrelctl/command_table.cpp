#include "tools/ostrelctl/command.h"

namespace ostrelctl {

// Add a command: declare its run function here and list it below.
int RunSensors(Args args);
int RunBlock(Args args);
int RunDevices(Args args);
int RunSend(Args args);
int RunRun(Args args);
int RunSources(Args args);
#ifdef _WIN32
// The update commands: the Linux daemon has no updates of its own (the
// package manager brings them).
int RunFetch(Args args);
int RunExtract(Args args);
int RunCheckUpdate(Args args);
int RunVerify(Args args);
#endif

std::span<const Command> AllCommands() {
  static const Command commands[] = {
      {"help", "", "list the commands", nullptr},
      {"sensors", "[--library FILE] [--publish]",
       "one read pass: every reading, and where each published value came from", RunSensors},
      {"sources", "[--library FILE]", "the sensor library's sources: found or absent, and why", RunSources},
      {"block", "", "the four values of the running program's hardware block", RunBlock},
      {"devices", "", "rescan and list the open displays, with the first one's firmware version", RunDevices},
      {"send", "<celsius>", "send one temperature report to every display", RunSend},
      {"run", "[--seconds N] [--trace]", "the worker without the panel: read, publish and send once a second",
       RunRun},
#ifdef _WIN32
      {"fetch", "<url> [file]", "one update transfer: a version text, or a download into the file", RunFetch},
      {"extract", "<archive> <folder>", "unpack an update package as the install does, one line per entry",
       RunExtract},
      {"check-update", "[software|firmware]",
       "the update check: server text, current or device version, verdict, package signature",
       RunCheckUpdate},
      {"verify", "<package> [signature]",
       "check a package's minisign signature (default <package>.minisig) as the install does", RunVerify},
#endif
  };
  return commands;
}

}  // namespace ostrelctl
