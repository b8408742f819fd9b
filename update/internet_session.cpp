#include "update/internet_session.h"

#include <vector>

#include "common/swallowed_failure.h"
#include "common/win/text.h"
#include "update/response_check.h"
#include "update/transfer_limits.h"

namespace ostrel::update {

namespace {

constexpr char kUserAgent[] = "ZUD2.0/UD 5.5.0000";
constexpr char kExtraHeaders[] = "Accept: */*\r\n\r\n";
// Redirects are followed here, where they can be counted.
constexpr DWORD kOpenUrlFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT;
// Longest header value or URL taken from a reply.
constexpr DWORD kMaxHeaderBytes = 64 * 1024;

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) noexcept {
  ::InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
}

std::optional<std::string> QueryHeaderText(HINTERNET request, DWORD info) {
  std::vector<char> buffer(256);
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    if (::HttpQueryInfoA(request, info, buffer.data(), &size, nullptr))
      return std::string(buffer.data(), size);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size > kMaxHeaderBytes || size <= buffer.size()) {
      return std::nullopt;
    }
    buffer.resize(size + 1);
  }
}

bool IsHttpRequest(HINTERNET request) noexcept {
  DWORD type = 0;
  DWORD size = sizeof type;
  return ::InternetQueryOptionA(request, INTERNET_OPTION_HANDLE_TYPE, &type, &size) &&
         type == INTERNET_HANDLE_TYPE_HTTP_REQUEST;
}

std::optional<std::string> CombineUrl(const std::string& base, const std::string& relative) {
  std::vector<char> buffer(base.size() + relative.size() + 64);
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    if (::InternetCombineUrlA(base.c_str(), relative.c_str(), buffer.data(), &size, ICU_NO_ENCODE)) {
      return std::string(buffer.data(), size);
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size > kMaxHeaderBytes) return std::nullopt;
    buffer.resize(size + 1);
  }
  return std::nullopt;
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
    // server that stalls or drips all run on), which is why every transfer
    // also runs under a deadline of its own.
    SetTimeout(internet.get(), INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutMs);
    SetTimeout(internet.get(), INTERNET_OPTION_SEND_TIMEOUT, kSendTimeoutMs);
    SetTimeout(internet.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, kReceiveTimeoutMs);
  }
  return internet;
}

OpenedUrl OpenUrlChecked(HINTERNET internet, std::string url_utf8,
                         const std::atomic<int>& keep_going) noexcept {
  try {
    for (int redirects = 0;; ++redirects) {
      if (keep_going.load() == 0) return {HttpResult::Stopped, {}};
      unique_hinternet request(::InternetOpenUrlA(internet, url_utf8.c_str(), kExtraHeaders,
                                                  ::lstrlenA(kExtraHeaders), kOpenUrlFlags, 0));
      if (!request) return {};
      // FTP and file replies carry no status to check.
      if (!IsHttpRequest(request.get())) return {HttpResult::Complete, std::move(request)};

      DWORD status = 0;
      DWORD size = sizeof status;
      if (!::HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                            nullptr)) {
        return {};
      }
      if (IsSuccessStatus(status)) {
        const auto head = QueryHeaderText(request.get(), HTTP_QUERY_RAW_HEADERS_CRLF);
        if (!head || !HasHeaderLines(*head)) return {};
        return {HttpResult::Complete, std::move(request)};
      }
      if (!IsRedirectStatus(status) || redirects >= kMaxRedirects) return {};
      const auto location = QueryHeaderText(request.get(), HTTP_QUERY_LOCATION);
      if (!location) return {};
      auto next = CombineUrl(url_utf8, *location);
      if (!next || !IsFollowableRedirect(url_utf8, *next)) return {};
      url_utf8 = std::move(*next);
    }
  } catch (...) {
    ::ostrel::ReportSwallowed("update/internet_session.cpp OpenUrlChecked");
    return {};
  }
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

bool BodyMatchesLength(HINTERNET request, std::uint64_t received) noexcept {
  try {
    if (!IsHttpRequest(request)) return true;
    const auto text = QueryHeaderText(request, HTTP_QUERY_CONTENT_LENGTH);
    return IsBodyComplete(received, text ? ParseContentLength(*text) : std::nullopt);
  } catch (...) {
    ::ostrel::ReportSwallowed("update/internet_session.cpp BodyMatchesLength");
    return false;
  }
}

}  // namespace ostrel::update
