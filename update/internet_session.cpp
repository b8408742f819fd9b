#include "update/internet_session.h"

#include <utility>
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

void SetTimeout(InternetHandles& handles, HINTERNET handle, DWORD option, DWORD milliseconds) noexcept {
  handles.Run([&] { return ::InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds); });
}

// A call refused because the job was given up on counts as failed.
template <typename Call>
bool Succeeds(InternetHandles& handles, Call&& call) {
  return handles.Run(std::forward<Call>(call)).value_or(FALSE) != FALSE;
}

std::optional<std::string> QueryHeaderText(InternetHandles& handles, HINTERNET request, DWORD info) {
  std::vector<char> buffer(256);
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD error = 0;
    const bool got = Succeeds(handles, [&] {
      const BOOL ok = ::HttpQueryInfoA(request, info, buffer.data(), &size, nullptr);
      error = ok ? 0 : ::GetLastError();
      return ok;
    });
    if (got) return std::string(buffer.data(), size);
    if (error != ERROR_INSUFFICIENT_BUFFER || size > kMaxHeaderBytes || size <= buffer.size()) {
      return std::nullopt;
    }
    buffer.resize(size + 1);
  }
}

// Nothing when the question itself failed: such a reply is not let through
// as if it had no status to check.
std::optional<bool> IsHttpRequest(InternetHandles& handles, HINTERNET request) noexcept {
  DWORD type = 0;
  DWORD size = sizeof type;
  if (!Succeeds(handles,
                [&] { return ::InternetQueryOptionA(request, INTERNET_OPTION_HANDLE_TYPE, &type, &size); })) {
    return std::nullopt;
  }
  return type == INTERNET_HANDLE_TYPE_HTTP_REQUEST;
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

// One request. Nothing when it was a redirect to follow (url_utf8 is then
// the next URL); a request that is not handed back is closed.
std::optional<OpenedUrl> OpenOne(InternetHandles& handles, HINTERNET internet, std::string& url_utf8,
                                 int redirects) {
  const HINTERNET request = handles.Keep(
      unique_hinternet(handles
                           .Run([&] {
                             return ::InternetOpenUrlA(internet, url_utf8.c_str(), kExtraHeaders,
                                                       ::lstrlenA(kExtraHeaders), kOpenUrlFlags, 0);
                           })
                           .value_or(nullptr)));
  if (!request) return OpenedUrl{};
  const auto refuse = [&] {
    handles.Close(request);
    return OpenedUrl{};
  };
  // FTP and file replies carry no status to check.
  const std::optional<bool> http = IsHttpRequest(handles, request);
  if (!http) return refuse();
  if (!*http) {
    if (handles.Abandoned()) return refuse();
    return OpenedUrl{HttpResult::Complete, request};
  }

  DWORD status = 0;
  DWORD size = sizeof status;
  if (!Succeeds(handles, [&] {
        return ::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                                nullptr);
      })) {
    return refuse();
  }
  if (IsSuccessStatus(status)) {
    const auto head = QueryHeaderText(handles, request, HTTP_QUERY_RAW_HEADERS_CRLF);
    if (!head || !HasHeaderLines(*head)) return refuse();
    return OpenedUrl{HttpResult::Complete, request};
  }
  if (!IsRedirectStatus(status) || redirects >= kMaxRedirects) return refuse();
  const auto location = QueryHeaderText(handles, request, HTTP_QUERY_LOCATION);
  if (!location) return refuse();
  auto next = CombineUrl(url_utf8, *location);
  if (!next || !IsFollowableRedirect(url_utf8, *next)) return refuse();
  url_utf8 = std::move(*next);
  handles.Close(request);
  return std::nullopt;
}

}  // namespace

std::string UrlToUtf8(const wchar_t* url) { return url ? win::Narrow(url) : std::string(); }

HINTERNET OpenInternet(InternetHandles& handles) noexcept {
  // Only the proxy bit of the connected state matters; the call's own result
  // is not looked at.
  DWORD state = 0;
  ::InternetGetConnectedState(&state, 0);
  const DWORD access = (state & INTERNET_CONNECTION_PROXY) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                           : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
  const HINTERNET internet = handles.Keep(
      unique_hinternet(handles.Run([&] { return ::InternetOpenA(kUserAgent, access, nullptr, nullptr, 0); })
                           .value_or(nullptr)));
  if (internet) {
    // Windows hands these on to every request of the handle. Under Wine 8
    // none of them ends a blocked call (a connect that is never answered, a
    // server that stalls or drips all run on), which is why every transfer
    // also runs under a deadline of its own.
    SetTimeout(handles, internet, INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutMs);
    SetTimeout(handles, internet, INTERNET_OPTION_SEND_TIMEOUT, kSendTimeoutMs);
    SetTimeout(handles, internet, INTERNET_OPTION_RECEIVE_TIMEOUT, kReceiveTimeoutMs);
  }
  return internet;
}

OpenedUrl OpenUrlChecked(InternetHandles& handles, HINTERNET internet, std::string url_utf8,
                         const std::atomic<int>& keep_going) noexcept {
  try {
    for (int redirects = 0;; ++redirects) {
      if (keep_going.load() == 0) return {HttpResult::Stopped, nullptr};
      if (std::optional<OpenedUrl> opened = OpenOne(handles, internet, url_utf8, redirects)) return *opened;
    }
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return {};
  }
}

DWORD QueryContentLength(InternetHandles& handles, HINTERNET request) noexcept {
  DWORD length = 0;
  DWORD size = sizeof length;
  if (!Succeeds(handles, [&] {
        return ::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size,
                                nullptr);
      })) {
    return 0;
  }
  return length;
}

bool BodyMatchesLength(InternetHandles& handles, HINTERNET request, std::uint64_t received) noexcept {
  try {
    const std::optional<bool> http = IsHttpRequest(handles, request);
    if (!http) return false;
    if (!*http) return !handles.Abandoned();
    const auto text = QueryHeaderText(handles, request, HTTP_QUERY_CONTENT_LENGTH);
    if (handles.Abandoned()) return false;
    return IsBodyComplete(received, text ? ParseContentLength(*text) : std::nullopt);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return false;
  }
}

bool ReadBody(InternetHandles& handles, HINTERNET request, char* buffer, DWORD size, DWORD& got) noexcept {
  got = 0;
  return Succeeds(handles, [&] { return ::InternetReadFile(request, buffer, size, &got); });
}

}  // namespace ostrel::update
