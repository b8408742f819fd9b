#include <memory>
#include <string>
#include <vector>

#include "common/swallowed_failure.h"
#include "common/win/text.h"
#include "update/deadline_job.h"
#include "update/http_fetch.h"
#include "update/internet_session.h"
#include "update/text_body.h"
#include "update/transfer_limits.h"

namespace ostrel::update {

namespace {

struct FetchedBody {
  HttpResult code = HttpResult::Failed;
  std::string bytes;
};

// Runs on the job's own thread; every handle it opens is kept in `handles`,
// which the caller closes when it gives up.
FetchedBody FetchBody(const std::string& url, InternetHandles& handles, const std::atomic<int>& keep_going) {
  const HINTERNET internet = OpenInternet(handles);
  if (!internet) return {handles.Abandoned() ? HttpResult::Failed : HttpResult::NoInternet, {}};
  const OpenedUrl opened = OpenUrlChecked(handles, internet, url, keep_going);
  if (opened.code != HttpResult::Complete) return {opened.code, {}};
  HINTERNET request = opened.request;

  FetchedBody body;
  std::vector<char> chunk(kReadChunkBytes);
  do {
    DWORD got = 0;
    if (!ReadBody(handles, request, chunk.data(), kReadChunkBytes, got)) return {HttpResult::Failed, {}};
    if (got == 0) {
      if (!BodyMatchesLength(handles, request, body.bytes.size())) return {HttpResult::Failed, {}};
      break;
    }
    body.bytes.append(chunk.data(), got);
    if (body.bytes.size() > kMaxTextBodyBytes) return {HttpResult::Failed, {}};
  } while (keep_going.load() != 0);
  body.code = keep_going.load() != 0 ? HttpResult::Complete : HttpResult::Stopped;
  return body;
}

std::optional<FetchedBody> Fetch(HttpFetcher& fetcher, const wchar_t* url,
                                 std::chrono::milliseconds deadline) {
  fetcher.keep_going.store(1);
  fetcher.body_bytes = 0;
  auto handles = std::make_shared<InternetHandles>();
  DeadlineWork<FetchedBody> work = [url8 = UrlToUtf8(url), handles](const std::atomic<int>& keep_going) {
    FetchedBody body = FetchBody(url8, *handles, keep_going);
    handles->CloseAll();
    return body;
  };
  std::optional<FetchedBody> body =
      RunWithDeadline(std::move(work), deadline, fetcher.keep_going, [handles] { handles->Abandon(); });
  if (body) fetcher.body_bytes = body->bytes.size();
  return body;
}

}  // namespace

HttpResult HttpGetBytes(HttpFetcher& fetcher, const wchar_t* url, std::string& bytes,
                        std::chrono::milliseconds deadline) noexcept {
  try {
    std::optional<FetchedBody> body = Fetch(fetcher, url, deadline);
    if (!body) return HttpResult::Failed;
    if (body->code == HttpResult::Complete) bytes = std::move(body->bytes);
    return body->code;
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return HttpResult::Failed;
  }
}

HttpResult HttpGetToString(HttpFetcher& fetcher, const wchar_t* url, std::wstring& text,
                           std::chrono::milliseconds deadline) noexcept {
  try {
    const std::optional<FetchedBody> body = Fetch(fetcher, url, deadline);
    if (!body) return HttpResult::Failed;
    if (body->code == HttpResult::Complete || body->code == HttpResult::Stopped)
      text = win::Widen(TextBeforeZero(body->bytes));
    return body->code;
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return HttpResult::Failed;
  }
}

HttpResult HttpGetToString(HttpFetcher& fetcher, const wchar_t* url, std::wstring& text) noexcept {
  return HttpGetToString(fetcher, url, text, kTextFetchDeadline);
}

}  // namespace ostrel::update
