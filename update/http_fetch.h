// Blocking HTTP(S) GETs over WinINet for the update checks and installs.
//
// Result codes: 1 the body was read to its end; -2 the keep-going flag was
// cleared and what was read so far is delivered; -1 the URL could not be
// opened, the reply was not a success (a status outside 200-299, no proper
// response head, more than kMaxRedirects redirects), the body was shorter
// than announced, a read or write failed, the output file could not be
// created, a deadline passed, or (text only) the body was too long; 0
// InternetOpenA failed.
//
// What WinINet does not report cannot be told apart from a complete body:
// a chunked body closed without its last chunk, or cut at a bad chunk size.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "update/http_result.h"
#include "update/http_transfer_state.h"

namespace ostrel::update {

// The message that carries download progress (wParam 0, lParam the value);
// the main window receives its tray callbacks under the same number.
inline constexpr UINT kDownloadProgressMessage = 0x69A;

// The body decoded as UTF-8 up to its first zero byte. `text` is left as it
// was unless the result is 1 or -2. Gives up after kTextFetchDeadline.
HttpResult HttpGetToString(HttpFetcher& fetcher, const wchar_t* url, std::wstring& text) noexcept;
HttpResult HttpGetToString(HttpFetcher& fetcher, const wchar_t* url, std::wstring& text,
                           std::chrono::milliseconds deadline) noexcept;

// The body's bytes as they came (a signature file), under the same rules and
// bounds as a text. `bytes` is left as it was unless the result is 1.
HttpResult HttpGetBytes(HttpFetcher& fetcher, const wchar_t* url, std::string& bytes,
                        std::chrono::milliseconds deadline) noexcept;

// Streams the body into "<path>.part" and posts progress to `window` when one
// is given. The part file replaces `path` when the body is complete (or, with
// -2, as far as it was read); on any failure it is removed and a file already
// at `path` is left as it was. Gives up when no read completes for
// `no_progress` (kDownloadNoProgressDeadline).
HttpResult HttpDownloadToFile(HttpFetcher& fetcher, const wchar_t* url, const wchar_t* path,
                              HWND window) noexcept;
HttpResult HttpDownloadToFile(HttpFetcher& fetcher, const wchar_t* url, const wchar_t* path, HWND window,
                              std::chrono::milliseconds no_progress) noexcept;

}  // namespace ostrel::update
