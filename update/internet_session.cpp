#include "update/internet_session.h"

#include "common/win/text.h"
#include "update/transfer_limits.h"

namespace ostrel::update {

namespace {

constexpr char kUserAgent[] = "ZUD2.0/UD 5.5.0000";
constexpr char kExtraHeaders[] = "Accept: */*\r\n\r\n";
constexpr DWORD kOpenUrlFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) noexcept {
  ::InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
}

}  // namespace

std::string UrlToUtf8(const wchar_t* url) { return url ? win::Narrow(url) : std::string(); }

unique_hinternet OpenInternet() noexcept {
  // Only the proxy bit of the connected state matters; the call's own result
  // is not looked at.
  DWORD state = 0;
  ::InternetGetConnectedState(&state, 0);
  const DWORD access = (state & INTERNET_CONNECTION_PROXY) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                           : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
  unique_hinternet internet(::InternetOpenA(kUserAgent, access, nullptr, nullptr, 0));
  if (internet) {
    // Windows hands these on to every request of the handle. Under Wine 8
    // none of them ends a blocked call (a connect that is never answered, a
    // server that stalls or drips all run on), which is why text fetches
    // also run under a deadline.
    SetTimeout(internet.get(), INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutMs);
    SetTimeout(internet.get(), INTERNET_OPTION_SEND_TIMEOUT, kSendTimeoutMs);
    SetTimeout(internet.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, kReceiveTimeoutMs);
  }
  return internet;
}

unique_hinternet OpenUrl(HINTERNET internet, const std::string& url_utf8) noexcept {
  return unique_hinternet(::InternetOpenUrlA(internet, url_utf8.c_str(), kExtraHeaders,
                                             ::lstrlenA(kExtraHeaders), kOpenUrlFlags, 0));
}

DWORD QueryContentLength(HINTERNET request) noexcept {
  DWORD length = 0;
  DWORD size = sizeof length;
  if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size,
                        nullptr)) {
    return 0;
  }
  return length;
}

}  // namespace ostrel::update
