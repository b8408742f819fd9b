#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "update/chunk_channel.h"
#include "update/deadline_job.h"
#include "update/download_progress.h"
#include "update/response_check.h"
#include "update/text_body.h"

namespace ostrel::update {
namespace {

using namespace std::chrono_literals;

TEST(ResponseCheck, TakesOnlyTheWholeResource) {
  EXPECT_TRUE(IsSuccessStatus(200));
  EXPECT_TRUE(IsSuccessStatus(299));
  for (std::uint32_t status : {0u, 199u, 300u, 304u, 404u, 500u})
    EXPECT_FALSE(IsSuccessStatus(status)) << status;
  for (std::uint32_t status : {301u, 302u, 303u, 307u, 308u}) EXPECT_TRUE(IsRedirectStatus(status)) << status;
  for (std::uint32_t status : {300u, 304u, 305u, 306u}) EXPECT_FALSE(IsRedirectStatus(status)) << status;

  // What WinINet makes of a reply with no status line, against real heads.
  EXPECT_FALSE(HasHeaderLines("HTTP/1.0 200 OK\r\n\r\n"));
  EXPECT_FALSE(HasHeaderLines("\r\n"));
  EXPECT_FALSE(HasHeaderLines(""));
  EXPECT_TRUE(HasHeaderLines("HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\n"));

  EXPECT_EQ(ParseContentLength("1073741824"), 1073741824u);
  EXPECT_EQ(ParseContentLength(" 18446744073709551615 "), UINT64_MAX);
  EXPECT_EQ(ParseContentLength("18446744073709551616"), std::nullopt);
  EXPECT_EQ(ParseContentLength("-1"), std::nullopt);
  EXPECT_EQ(ParseContentLength("12 34"), std::nullopt);
  EXPECT_EQ(ParseContentLength(""), std::nullopt);
  EXPECT_TRUE(IsBodyComplete(10, std::nullopt));
  EXPECT_TRUE(IsBodyComplete(10, 10));
  EXPECT_FALSE(IsBodyComplete(10, 1073741824));
  EXPECT_FALSE(IsBodyComplete(11, 10));

  EXPECT_TRUE(IsFollowableRedirect("http://a/v", "https://b/v"));
  EXPECT_TRUE(IsFollowableRedirect("HTTPS://a/v", "HTTPS://b/v"));
  EXPECT_FALSE(IsFollowableRedirect("https://a/v", "http://a/v"));
  EXPECT_FALSE(IsFollowableRedirect("http://a/v", "file:///c:/windows/win.ini"));
  EXPECT_FALSE(IsFollowableRedirect("http://a/v", "ftp://a/v"));
}

// The writer of a download waits a bounded time and can walk away from a
// reader that is blocked or racing ahead; the reader is held back, not lost.
TEST(ChunkChannel, BoundsTheQueueAndReleasesTheReaderWhenAbandoned) {
  auto channel = std::make_shared<ChunkChannel>(2);
  EXPECT_EQ(channel->Next(20ms), std::nullopt);
  std::atomic<int> pushed{0};
  std::atomic<bool> refused{false};
  std::thread reader([channel, &pushed, &refused] {
    for (int i = 0; i < 5; ++i) {
      if (!channel->Push({TransferEvent::Kind::Chunk, std::string(1, static_cast<char>('a' + i))})) {
        refused = true;
        return;
      }
      ++pushed;
    }
  });
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(pushed.load(), 2);
  const auto first = channel->Next(1000ms);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->bytes, "a");
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(pushed.load(), 3);
  channel->Abandon();
  reader.join();
  EXPECT_TRUE(refused.load());
  EXPECT_EQ(channel->KeepGoing().load(), 0);
  EXPECT_EQ(channel->Next(10ms), std::nullopt);
}

TEST(ChunkProgress, IsTenPlusNinetyTimesTheShareOfChunksRead) {
  EXPECT_EQ(ChunkProgress(0, 4), 10);
  EXPECT_EQ(ChunkProgress(1, 4), 32);  // 10 + 90 / 4 = 10 + 22
  EXPECT_EQ(ChunkProgress(2, 4), 55);
  EXPECT_EQ(ChunkProgress(4, 4), 100);
  EXPECT_EQ(ChunkProgress(1, 3), 40);
  EXPECT_EQ(ChunkProgress(2, 3), 70);
  EXPECT_EQ(ChunkProgress(1, 97), 10);  // 90 / 97 rounds down to 0
  EXPECT_EQ(ChunkProgress(2, 97), 11);
}

TEST(ChunkProgress, PassesOneHundredWhenMoreChunksArriveThanExpected) {
  EXPECT_EQ(ChunkProgress(3, 2), 145);
  EXPECT_EQ(ChunkProgress(10, 1), 910);
}

TEST(ChunkProgress, StaysInRangeForAbsurdCounts) {
  EXPECT_EQ(ChunkProgress(INT64_C(1) << 40, 1), INT_MAX);
  EXPECT_EQ(ChunkProgress(INT_MAX, INT_MAX), 100);
  EXPECT_EQ(ChunkProgress(5, 0), 10);
}

// Runs a whole download's worth of progress events and returns what is
// posted, for reads of the given sizes.
std::vector<int> Posted(int& last, bool window, std::uint32_t content_length,
                        const std::vector<std::uint32_t>& reads) {
  std::vector<int> posted;
  const auto keep = [&](std::optional<int> v) {
    if (v) posted.push_back(*v);
  };
  DownloadProgress progress(last, window);
  keep(progress.Reach(kProgressStart));
  keep(progress.Reach(kProgressOpened));
  keep(progress.Reach(kProgressConnected));
  progress.SetContentLength(content_length);
  keep(progress.Reach(kProgressFileReady));
  for (std::size_t i = 0; i < reads.size(); ++i) keep(progress.ChunkRead());
  keep(progress.Reach(kProgressDone));
  return posted;
}

TEST(DownloadProgress, FullChunksOfAnExactMultiple) {
  int last = 0;
  EXPECT_EQ(Posted(last, true, 40960, {10240, 10240, 10240, 10240}),
            (std::vector<int>{2, 8, 10, 32, 55, 77, 100}));
  EXPECT_EQ(last, 100);
}

TEST(DownloadProgress, ATrailingPartChunkGoesPastOneHundredBeforeTheFinalHundred) {
  int last = 0;
  EXPECT_EQ(Posted(last, true, 25000, {10240, 10240, 4520}), (std::vector<int>{2, 8, 10, 55, 100, 145, 100}));
}

TEST(DownloadProgress, ShortReadsCountAsChunksToo) {
  int last = 0;
  EXPECT_EQ(Posted(last, true, 20480, {4000, 4000, 4000, 4000, 4480}),
            (std::vector<int>{2, 8, 10, 55, 100, 145, 190, 235, 100}));
}

TEST(DownloadProgress, WithoutContentLengthOnlyStagesArePosted) {
  int last = 0;
  EXPECT_EQ(Posted(last, true, 0, {10240, 10240, 100}), (std::vector<int>{2, 8, 10, 100}));
  // The same fetcher again: it starts by taking the window back to 0.
  EXPECT_EQ(Posted(last, true, 0, {10240}), (std::vector<int>{0, 2, 8, 10, 100}));
}

TEST(DownloadProgress, BodyShorterThanAChunkHasNoChunkValues) {
  int last = 0;
  EXPECT_EQ(Posted(last, true, 5000, {5000}), (std::vector<int>{2, 8, 10, 100}));
  EXPECT_EQ(Posted(last, true, 0, {}), (std::vector<int>{0, 2, 8, 10, 100}));
}

TEST(DownloadProgress, RepeatedValuesArePostedOnce) {
  int last = 0;
  // T = 97: the first chunk still gives 10, the one after 11.
  EXPECT_EQ(Posted(last, true, 97 * 10240, {10240, 10240}), (std::vector<int>{2, 8, 10, 11, 100}));
}

TEST(DownloadProgress, WithoutAWindowNothingIsPostedOrRemembered) {
  int last = 45;
  EXPECT_EQ(Posted(last, false, 25000, {10240, 10240, 4520}), std::vector<int>{});
  EXPECT_EQ(last, 45);
}

TEST(TextBeforeZero, EndsAtTheFirstZeroByte) {
  using namespace std::string_view_literals;
  EXPECT_EQ(TextBeforeZero("1.0.1.2"sv), "1.0.1.2"sv);
  EXPECT_EQ(TextBeforeZero("1.0\0.1.2"sv), "1.0"sv);
  EXPECT_EQ(TextBeforeZero("\0"
                           "1.0.1.2"sv),
            ""sv);
  EXPECT_EQ(TextBeforeZero(""sv), ""sv);
  EXPECT_EQ(TextBeforeZero("\0\0"sv), ""sv);
}

// A gate the test opens to let a blocked job go on.
class Gate {
 public:
  void Open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    cv_.notify_all();
  }
  void Wait() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool open_ = false;
};

TEST(RunWithDeadline, ReturnsTheResultOfWorkThatEndsInTime) {
  std::atomic<int> keep_going{1};
  int abandoned = 0;
  const auto result =
      RunWithDeadline<int>([](const std::atomic<int>&) { return 42; }, 5s, keep_going, [&] { ++abandoned; });
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(*result, 42);
  EXPECT_EQ(abandoned, 0);
}

TEST(RunWithDeadline, GivesUpOnBlockedWorkAndTheWorkEndsSafelyLater) {
  auto gate = std::make_shared<Gate>();
  auto finished = std::make_shared<Gate>();
  std::atomic<int> keep_going{1};
  int abandoned = 0;
  const auto start = std::chrono::steady_clock::now();
  const auto result = RunWithDeadline<std::vector<int>>(
      [gate, finished](const std::atomic<int>&) {
        gate->Wait();
        std::vector<int> big(100000, 7);
        finished->Open();
        return big;
      },
      300ms, keep_going, [&] { ++abandoned; });
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(result.has_value());
  EXPECT_EQ(abandoned, 1) << "giving up is what ends a job blocked in a call";
  EXPECT_GE(took, 300ms);
  EXPECT_LT(took, 2s);
  // The abandoned job runs on and stores its result in state that nobody
  // reads any more; the sanitizers of the native build watch this.
  gate->Open();
  finished->Wait();
  std::this_thread::sleep_for(50ms);
}

TEST(RunWithDeadline, HandsTheCallersFlagOnToTheJob) {
  std::atomic<int> keep_going{1};
  std::thread stopper([&] {
    std::this_thread::sleep_for(200ms);
    keep_going.store(0);
  });
  const auto result = RunWithDeadline<int>(
      [](const std::atomic<int>& flag) {
        int checks = 0;
        while (flag.load() != 0) {
          std::this_thread::sleep_for(10ms);
          ++checks;
        }
        return checks;
      },
      5s, keep_going);
  stopper.join();
  ASSERT_TRUE(result.has_value());
  EXPECT_GT(*result, 5);
}

TEST(RunWithDeadline, WorkThatThrowsGivesNothing) {
  std::atomic<int> keep_going{1};
  const auto result = RunWithDeadline<int>(
      [](const std::atomic<int>&) -> int { throw std::runtime_error("no"); }, 5s, keep_going);
  EXPECT_FALSE(result.has_value());
}

}  // namespace
}  // namespace ostrel::update
