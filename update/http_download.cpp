#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/swallowed_failure.h"
#include "update/chunk_channel.h"
#include "update/download_progress.h"
#include "update/http_fetch.h"
#include "update/internet_session.h"
#include "update/live_jobs.h"
#include "update/part_file.h"
#include "update/transfer_limits.h"

namespace ostrel::update {

namespace {

using Kind = TransferEvent::Kind;

// How often the writer looks at the caller's keep-going flag while it waits.
constexpr std::chrono::milliseconds kFlagInterval{50};

// The network half: runs on a thread of its own and keeps every handle it
// opens in `handles`, which the writer closes when it gives up (ending a
// read blocked on them). It ends by itself once the writer has gone, at its
// next push or call.
void ReadTransfer(const std::string& url, InternetHandles& handles,
                  const std::shared_ptr<ChunkChannel>& channel) {
  const auto end = [&](HttpResult code) { channel->Push({Kind::End, {}, 0, code}); };
  const HINTERNET internet = OpenInternet(handles);
  if (!internet) return end(HttpResult::NoInternet);
  if (!channel->Push({Kind::Opened})) return;
  const OpenedUrl opened = OpenUrlChecked(handles, internet, url, channel->KeepGoing());
  if (opened.code != HttpResult::Complete) return end(opened.code);
  HINTERNET request = opened.request;
  if (!channel->Push({Kind::Connected, {}, QueryContentLength(handles, request)})) return;

  std::vector<char> chunk(kReadChunkBytes);
  std::uint64_t received = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadBody(handles, request, chunk.data(), kReadChunkBytes, got)) return end(HttpResult::Failed);
    if (got == 0)
      return end(BodyMatchesLength(handles, request, received) ? HttpResult::Complete : HttpResult::Failed);
    received += got;
    if (!channel->Push({Kind::Chunk, std::string(chunk.data(), got)})) return;
  }
}

}  // namespace

HttpResult HttpDownloadToFile(HttpFetcher& fetcher, const wchar_t* url, const wchar_t* path, HWND window,
                              std::chrono::milliseconds no_progress) noexcept {
  std::shared_ptr<ChunkChannel> channel;
  std::shared_ptr<InternetHandles> handles;
  // Giving up releases a reader waiting to push and ends one blocked in a
  // call.
  const auto abandon = [&]() noexcept {
    if (channel) channel->Abandon();
    if (handles) handles->Abandon();
  };
  try {
    fetcher.keep_going.store(1);
    fetcher.body_bytes = 0;
    DownloadProgress progress(fetcher.last_progress, window != nullptr);
    const auto post = [window](std::optional<int> value) {
      if (value) ::PostMessageW(window, kDownloadProgressMessage, 0, static_cast<LPARAM>(*value));
    };
    post(progress.Reach(kProgressStart));

    channel = std::make_shared<ChunkChannel>(kMaxQueuedChunks);
    handles = std::make_shared<InternetHandles>();
    const bool started = LiveJobs::Process().Start([channel, handles, url8 = UrlToUtf8(url)]() noexcept {
      try {
        ReadTransfer(url8, *handles, channel);
        handles->CloseAll();
      } catch (...) {
        OSTREL_REPORT_CAUGHT();
        try {
          channel->Push({Kind::End, {}, 0, HttpResult::Failed});
        } catch (...) {
          OSTREL_REPORT_CAUGHT();
        }
      }
    });
    if (!started) return HttpResult::Failed;

    PartFile file(path);
    auto last_event = std::chrono::steady_clock::now();
    for (;;) {
      if (fetcher.keep_going.load() == 0) {
        // Stopped by the caller: what was written so far is delivered.
        abandon();
        if (file.IsOpen()) file.Commit();
        post(progress.Reach(kProgressDone));
        return HttpResult::Stopped;
      }
      const std::optional<TransferEvent> event = channel->Next(kFlagInterval);
      const auto now = std::chrono::steady_clock::now();
      if (!event) {
        if (now - last_event < no_progress) continue;
        abandon();
        return HttpResult::Failed;
      }
      last_event = now;
      switch (event->kind) {
        case Kind::Opened:
          post(progress.Reach(kProgressOpened));
          break;
        case Kind::Connected:
          post(progress.Reach(kProgressConnected));
          if (!file.Create()) {
            abandon();
            return HttpResult::Failed;
          }
          progress.SetContentLength(event->content_length);
          post(progress.Reach(kProgressFileReady));
          break;
        case Kind::Chunk:
          if (!file.Write(event->bytes)) {
            abandon();
            return HttpResult::Failed;
          }
          fetcher.body_bytes += event->bytes.size();
          post(progress.ChunkRead());
          break;
        case Kind::End:
          // The reader reports -2 only after the writer gave up, so any
          // code but 1 and 0 is a failure here.
          if (event->code != HttpResult::Complete) {
            return event->code == HttpResult::NoInternet ? HttpResult::NoInternet : HttpResult::Failed;
          }
          if (!file.Commit()) return HttpResult::Failed;
          post(progress.Reach(kProgressDone));
          return HttpResult::Complete;
      }
    }
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    abandon();
    return HttpResult::Failed;
  }
}

HttpResult HttpDownloadToFile(HttpFetcher& fetcher, const wchar_t* url, const wchar_t* path,
                              HWND window) noexcept {
  return HttpDownloadToFile(fetcher, url, path, window, kDownloadNoProgressDeadline);
}

}  // namespace ostrel::update
