// stalled_exit <url> <deadline ms>: one version fetch under a short deadline,
// then the ordinary end of a program. Against a stalled server the fetch is
// given up on while its job is still inside WinINet, and the process must
// still end with its own exit code (3), not a crash.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/win/text.h"
#include "update/http_fetch.h"
#include "update/live_jobs.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::wstring url = ostrel::win::Widen(argv[1], CP_ACP);
  ostrel::update::HttpFetcher fetcher;
  std::wstring text;
  const ostrel::update::HttpResult result = ostrel::update::HttpGetToString(
      fetcher, url.c_str(), text, std::chrono::milliseconds(std::atoi(argv[2])));
  std::printf("result %d, live jobs %zu\n", ostrel::update::ResultNumber(result),
              ostrel::update::LiveJobs::Process().Count());
  std::fflush(stdout);
  ostrel::update::WaitForLiveJobsAtExit();
  return 3;
}
