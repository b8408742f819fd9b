#include <shlwapi.h>

#include <optional>
#include <vector>

#include "update/download_progress.h"
#include "update/http_fetch.h"
#include "update/internet_session.h"
#include "update/transfer_limits.h"

namespace ostrel::update {

int HttpDownloadToFile(HttpFetcher& fetcher, const wchar_t* url, const wchar_t* path, HWND window) noexcept {
  try {
    fetcher.keep_going.store(1);
    DownloadProgress progress(fetcher.last_progress, window != nullptr);
    const auto post = [window](std::optional<int> value) {
      if (value) ::PostMessageW(window, kDownloadProgressMessage, 0, static_cast<LPARAM>(*value));
    };

    post(progress.Reach(kProgressStart));
    unique_hinternet internet = OpenInternet();
    if (!internet) return 0;
    post(progress.Reach(kProgressOpened));
    unique_hinternet request = OpenUrl(internet.get(), UrlToUtf8(url));
    if (!request) return -1;
    post(progress.Reach(kProgressConnected));

    if (path && ::PathFileExistsW(path)) ::DeleteFileW(path);
    ::SetLastError(ERROR_SUCCESS);
    win::unique_file file(::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && ::GetLastError() != ERROR_SUCCESS) return -1;

    progress.SetContentLength(QueryContentLength(request.get()));
    post(progress.Reach(kProgressFileReady));

    std::vector<char> chunk(kReadChunkBytes);
    do {
      DWORD got = 0;
      if (!::InternetReadFile(request.get(), chunk.data(), kReadChunkBytes, &got)) return -1;
      if (got == 0) break;
      if (file) {
        DWORD written = 0;
        // A package cut short by a full disk must not count as downloaded.
        if (!::WriteFile(file.get(), chunk.data(), got, &written, nullptr) || written != got) return -1;
      }
      post(progress.ChunkRead());
    } while (fetcher.keep_going.load() != 0);

    file.reset();
    request.reset();
    internet.reset();
    post(progress.Reach(kProgressDone));
    return fetcher.keep_going.load() != 0 ? 1 : -2;
  } catch (...) {
    return -1;
  }
}

}  // namespace ostrel::update
