// Blocking HTTP(S) GETs over WinINet for the update checks and installs.
//
// Result codes: 1 the body was read to its end; -2 the keep-going flag was
// cleared and what was read so far is delivered; -1 the URL could not be
// opened, a read or write failed, the output file could not be created, or
// (text only) the body was too long or the deadline passed; 0 InternetOpenA
// failed.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "update/http_fetcher.h"

namespace ostrel::update {

// The message that carries download progress (wParam 0, lParam the value);
// the main window receives its tray callbacks under the same number.
inline constexpr UINT kDownloadProgressMessage = 0x69A;

// The body decoded as UTF-8 up to its first zero byte. `text` is left as it
// was unless the result is 1 or -2. Gives up after kTextFetchDeadline.
int HttpGetToString(HttpFetcher& fetcher, const wchar_t* url, std::wstring& text) noexcept;
int HttpGetToString(HttpFetcher& fetcher, const wchar_t* url, std::wstring& text,
                    std::chrono::milliseconds deadline) noexcept;

// Streams the body into `path` (replacing any file there) and posts progress
// to `window` when one is given.
int HttpDownloadToFile(HttpFetcher& fetcher, const wchar_t* url, const wchar_t* path, HWND window) noexcept;

}  // namespace ostrel::update
