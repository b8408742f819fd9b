#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "update/chunk_channel.h"
#include "update/download_progress.h"
#include "update/http_fetch.h"
#include "update/internet_session.h"
#include "update/transfer_limits.h"

namespace ostrel::update {

namespace {

using Kind = TransferEvent::Kind;

// How often the writer looks at the caller's keep-going flag while it waits.
constexpr std::chrono::milliseconds kFlagInterval{50};

// The network half: runs on a thread of its own and owns every handle it
// opens. It ends by itself once the writer has gone, at its next push.
void ReadTransfer(const std::string& url, const std::shared_ptr<ChunkChannel>& channel) {
  const auto end = [&](int code) { channel->Push({Kind::End, {}, 0, code}); };
  const unique_hinternet internet = OpenInternet();
  if (!internet) return end(0);
  if (!channel->Push({Kind::Opened})) return;
  const OpenedUrl opened = OpenUrlChecked(internet.get(), url, channel->KeepGoing());
  if (opened.code != 1) return end(opened.code);
  HINTERNET request = opened.request.get();
  if (!channel->Push({Kind::Connected, {}, QueryContentLength(request)})) return;

  std::vector<char> chunk(kReadChunkBytes);
  std::uint64_t received = 0;
  for (;;) {
    DWORD got = 0;
    if (!::InternetReadFile(request, chunk.data(), kReadChunkBytes, &got)) return end(-1);
    if (got == 0) return end(BodyMatchesLength(request, received) ? 1 : -1);
    received += got;
    if (!channel->Push({Kind::Chunk, std::string(chunk.data(), got)})) return;
  }
}

// The file half: the body goes to a file beside the target, which replaces
// the target only once the body is complete.
class PartFile {
 public:
  explicit PartFile(const wchar_t* target) : target_(target ? target : L""), part_(target_ + L".part") {}
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;
  ~PartFile() { Discard(); }

  bool Create() noexcept {
    if (target_.empty()) return false;
    file_.reset(::CreateFileW(part_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file_);
  }
  // A package cut short by a full disk must not count as downloaded.
  bool Write(const std::string& bytes) noexcept {
    DWORD written = 0;
    return ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  }
  bool Commit() noexcept {
    if (!file_) return false;
    file_.reset();
    if (!::MoveFileExW(part_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return false;
    }
    committed_ = true;
    return true;
  }
  void Discard() noexcept {
    if (committed_ || target_.empty()) return;
    const bool created = static_cast<bool>(file_);
    file_.reset();
    if (created || ::GetFileAttributesW(part_.c_str()) != INVALID_FILE_ATTRIBUTES)
      ::DeleteFileW(part_.c_str());
  }
  bool IsOpen() const noexcept { return static_cast<bool>(file_); }

 private:
  std::wstring target_;
  std::wstring part_;
  win::unique_file file_;
  bool committed_ = false;
};

}  // namespace

int HttpDownloadToFile(HttpFetcher& fetcher, const wchar_t* url, const wchar_t* path, HWND window,
                       std::chrono::milliseconds no_progress) noexcept {
  std::shared_ptr<ChunkChannel> channel;
  try {
    fetcher.keep_going.store(1);
    fetcher.body_bytes = 0;
    DownloadProgress progress(fetcher.last_progress, window != nullptr);
    const auto post = [window](std::optional<int> value) {
      if (value) ::PostMessageW(window, kDownloadProgressMessage, 0, static_cast<LPARAM>(*value));
    };
    post(progress.Reach(kProgressStart));

    channel = std::make_shared<ChunkChannel>(kMaxQueuedChunks);
    std::thread([channel, url8 = UrlToUtf8(url)]() noexcept {
      try {
        ReadTransfer(url8, channel);
      } catch (...) {
        try {
          channel->Push({Kind::End, {}, 0, -1});
        } catch (...) {
        }
      }
    }).detach();

    PartFile file(path);
    auto last_event = std::chrono::steady_clock::now();
    for (;;) {
      if (fetcher.keep_going.load() == 0) {
        // Stopped by the caller: what was written so far is delivered.
        channel->Abandon();
        if (file.IsOpen()) file.Commit();
        post(progress.Reach(kProgressDone));
        return -2;
      }
      const std::optional<TransferEvent> event = channel->Next(kFlagInterval);
      const auto now = std::chrono::steady_clock::now();
      if (!event) {
        if (now - last_event < no_progress) continue;
        channel->Abandon();
        return -1;
      }
      last_event = now;
      switch (event->kind) {
        case Kind::Opened:
          post(progress.Reach(kProgressOpened));
          break;
        case Kind::Connected:
          post(progress.Reach(kProgressConnected));
          if (!file.Create()) {
            channel->Abandon();
            return -1;
          }
          progress.SetContentLength(event->content_length);
          post(progress.Reach(kProgressFileReady));
          break;
        case Kind::Chunk:
          if (!file.Write(event->bytes)) {
            channel->Abandon();
            return -1;
          }
          fetcher.body_bytes += event->bytes.size();
          post(progress.ChunkRead());
          break;
        case Kind::End:
          // The reader reports -2 only after the writer gave up, so any
          // code but 1 and 0 is a failure here.
          if (event->code != 1) return event->code == 0 ? 0 : -1;
          if (!file.Commit()) return -1;
          post(progress.Reach(kProgressDone));
          return 1;
      }
    }
  } catch (...) {
    if (channel) channel->Abandon();
    return -1;
  }
}

int HttpDownloadToFile(HttpFetcher& fetcher, const wchar_t* url, const wchar_t* path, HWND window) noexcept {
  return HttpDownloadToFile(fetcher, url, path, window, kDownloadNoProgressDeadline);
}

}  // namespace ostrel::update
