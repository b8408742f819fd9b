// The WinINet steps both transfers share: the internet handle with the
// program's fixed request properties, the URL request, the content length.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

#include "common/win/unique_any.h"

namespace ostrel::update {

using unique_hinternet = win::unique_any<win::traits::null_invalid<HINTERNET, ::InternetCloseHandle>>;

// The wide URL as the UTF-8 bytes that are sent.
std::string UrlToUtf8(const wchar_t* url);

// Null when InternetOpenA fails.
unique_hinternet OpenInternet() noexcept;

// Null when the URL cannot be opened.
unique_hinternet OpenUrl(HINTERNET internet, const std::string& url_utf8) noexcept;

// The Content-Length header as a number, 0 when there is none.
DWORD QueryContentLength(HINTERNET request) noexcept;

}  // namespace ostrel::update
