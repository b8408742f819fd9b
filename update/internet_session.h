// The WinINet steps both transfers share: the internet handle with the
// program's fixed request properties, the URL request with its checks, the
// content length, the reads. Every handle is kept in the job's
// InternetHandles and every call runs through it, so a transfer given up on
// can be ended from the side that gave up (see abandonable_handles.h).
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "common/win/internet_handle.h"
#include "update/abandonable_handles.h"
#include "update/http_result.h"

namespace ostrel::update {

using win::unique_hinternet;
using InternetHandles = AbandonableHandles<unique_hinternet>;

// The wide URL as the UTF-8 bytes that are sent.
std::string UrlToUtf8(const wchar_t* url);

// Null when InternetOpenA fails or the job was given up on.
HINTERNET OpenInternet(InternetHandles& handles) noexcept;

struct OpenedUrl {
  // Complete: the request is open on a reply whose body is the resource;
  // Failed: the URL could not be opened, the reply is not a success (status,
  // head, too many redirects), or the job was given up on; Stopped:
  // keep_going was cleared before the next request.
  HttpResult code = HttpResult::Failed;
  // Kept in the handles; null unless Complete.
  HINTERNET request = nullptr;
};

// Opens the URL and follows at most kMaxRedirects redirects itself: WinINet
// follows them without a limit of its own under Wine. keep_going is checked
// before every request, so a transfer given up on stops asking.
OpenedUrl OpenUrlChecked(InternetHandles& handles, HINTERNET internet, std::string url_utf8,
                         const std::atomic<int>& keep_going) noexcept;

// The Content-Length header as a number, 0 when there is none.
DWORD QueryContentLength(InternetHandles& handles, HINTERNET request) noexcept;

// True unless the reply announced a length and `received` differs from it.
bool BodyMatchesLength(InternetHandles& handles, HINTERNET request, std::uint64_t received) noexcept;

// One InternetReadFile into `buffer`; false when it failed or the job was
// given up on.
bool ReadBody(InternetHandles& handles, HINTERNET request, char* buffer, DWORD size, DWORD& got) noexcept;

}  // namespace ostrel::update
