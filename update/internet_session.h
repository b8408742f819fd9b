// The WinINet steps both transfers share: the internet handle with the
// program's fixed request properties, the URL request with its checks, the
// content length.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "common/win/internet_handle.h"
#include "update/http_result.h"

namespace ostrel::update {

using win::unique_hinternet;

// The wide URL as the UTF-8 bytes that are sent.
std::string UrlToUtf8(const wchar_t* url);

// Null when InternetOpenA fails.
unique_hinternet OpenInternet() noexcept;

struct OpenedUrl {
  // Complete: the request is open on a reply whose body is the resource;
  // Failed: the URL could not be opened, the reply is not a success (status,
  // head, too many redirects); Stopped: keep_going was cleared before the
  // next request.
  HttpResult code = HttpResult::Failed;
  unique_hinternet request;
};

// Opens the URL and follows at most kMaxRedirects redirects itself: WinINet
// follows them without a limit of its own under Wine. keep_going is checked
// before every request, so a transfer given up on stops asking.
OpenedUrl OpenUrlChecked(HINTERNET internet, std::string url_utf8,
                         const std::atomic<int>& keep_going) noexcept;

// The Content-Length header as a number, 0 when there is none.
DWORD QueryContentLength(HINTERNET request) noexcept;

// True unless the reply announced a length and `received` differs from it.
bool BodyMatchesLength(HINTERNET request, std::uint64_t received) noexcept;

}  // namespace ostrel::update
