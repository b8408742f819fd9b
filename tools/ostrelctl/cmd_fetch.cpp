// ostrelctl fetch: one transfer as the update checks and installs make it.
// Without a file the body is fetched as a version text and printed; with one
// it is downloaded into the file. Either way the result code and the time
// taken are printed, so slow or silent servers can be measured.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "common/printable.h"
#include "common/win/text.h"
#include "tools/ostrelctl/command.h"
#include "update/http_fetch.h"

namespace ostrelctl {

int RunFetch(Args args) {
  if (args.empty() || args.size() > 2) {
    std::fprintf(stderr, "usage: ostrelctl fetch <url> [file]\n");
    return 2;
  }
  const std::wstring url = ostrel::win::Widen(args[0], CP_ACP);
  ostrel::update::HttpFetcher fetcher;
  const auto start = std::chrono::steady_clock::now();
  if (args.size() == 1) {
    std::wstring text;
    const ostrel::update::HttpResult result = ostrel::update::HttpGetToString(fetcher, url.c_str(), text);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // A server's text reaches the terminal with its control bytes escaped.
    std::printf("result %d after %.2f s, %zu characters: %s\n", ostrel::update::ResultNumber(result), seconds,
                text.size(), ostrel::Printable(ostrel::win::Narrow(text)).c_str());
    return result == ostrel::update::HttpResult::Complete ? 0 : 1;
  }
  const std::wstring path = ostrel::win::Widen(args[1], CP_ACP);
  const ostrel::update::HttpResult result =
      ostrel::update::HttpDownloadToFile(fetcher, url.c_str(), path.c_str(), nullptr);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // The bytes of this transfer, not the size of whatever file is there: a
  // failed download leaves an older file in place.
  const unsigned long long bytes = fetcher.body_bytes;
  std::printf("result %d after %.3f s, %llu bytes (%.1f MB/s)\n", ostrel::update::ResultNumber(result),
              seconds, bytes, seconds > 0 ? static_cast<double>(bytes) / seconds / 1e6 : 0.0);
  return result == ostrel::update::HttpResult::Complete ? 0 : 1;
}

}  // namespace ostrelctl
