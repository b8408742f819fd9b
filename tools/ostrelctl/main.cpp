#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ostrelctl/command.h"
#ifdef _WIN32
#include "update/live_jobs.h"
#endif

namespace {

void PrintHelp(std::FILE* out) {
  std::fprintf(out, "usage: ostrelctl <command> [arguments]\n\ncommands:\n");
  for (const auto& c : ostrelctl::AllCommands()) {
    std::string line(c.name);
    if (!c.usage.empty()) line.append(" ").append(c.usage);
    std::fprintf(out, "  %-28s %.*s\n", line.c_str(), static_cast<int>(c.summary.size()), c.summary.data());
  }
}

int Dispatch(int argc, char** argv) {
  if (argc < 2) {
    PrintHelp(stderr);
    return 2;
  }
  const std::string_view name = argv[1];
  for (const auto& c : ostrelctl::AllCommands()) {
    if (c.name != name) continue;
    if (!c.run) {
      PrintHelp(stdout);
      return 0;
    }
    const std::vector<std::string_view> args(argv + 2, argv + argc);
    return c.run(args);
  }
  std::fprintf(stderr, "ostrelctl: unknown command '%s'\n\n", argv[1]);
  PrintHelp(stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Trace lines of the modules and the command's own output keep their order
  // when both go to a pipe.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  int code = 1;
  try {
    code = Dispatch(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ostrelctl: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "ostrelctl: unexpected failure\n");
  }
#ifdef _WIN32
  // fetch and check-update give up on stalled servers; their jobs get a
  // bounded time to leave WinINet before the process tears down.
  ostrel::update::WaitForLiveJobsAtExit();
#endif
  return code;
}
