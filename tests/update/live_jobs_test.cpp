// The record of jobs a caller may give up on, and the handle set through
// which giving up ends a blocked job. The sanitizers of the native build
// watch the threads.
#include "update/live_jobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "update/abandonable_handles.h"

namespace ostrel::update {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(LiveJobs, CountsJobsUntilTheyEndAndWaitsABoundedTime) {
  LiveJobs jobs;
  std::promise<void> release;
  const std::shared_future<void> released = release.get_future().share();
  auto captured = std::make_shared<int>(7);
  std::weak_ptr<int> watch = captured;
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(jobs.Start([released, captured] { released.wait(); }));
  }
  captured.reset();
  EXPECT_EQ(jobs.Count(), 2u);

  auto start = Clock::now();
  EXPECT_FALSE(jobs.WaitUntilNone(150ms));
  EXPECT_GE(Clock::now() - start, 150ms);
  EXPECT_EQ(jobs.Count(), 2u);

  ASSERT_TRUE(jobs.Start([] { throw std::runtime_error("swallowed"); }));
  release.set_value();
  start = Clock::now();
  EXPECT_TRUE(jobs.WaitUntilNone(5s));
  EXPECT_LT(Clock::now() - start, 2s);
  EXPECT_EQ(jobs.Count(), 0u);
  // A job counts as ended only once what it captured is gone.
  EXPECT_TRUE(watch.expired());
  EXPECT_TRUE(jobs.WaitUntilNone(0ms));
}

// Stands in for a network handle: closing it makes a call blocked on it
// return, as WinINet documents for its handles.
struct FakeLine {
  std::atomic<int> closes{0};
  std::promise<void> closed;
  std::shared_future<void> closed_future = closed.get_future().share();
  std::vector<std::string>* order = nullptr;
  std::string name;
};

class FakeOwner {
 public:
  FakeOwner() = default;
  explicit FakeOwner(FakeLine* line) : line_(line) {}
  FakeOwner(FakeOwner&& other) noexcept : line_(std::exchange(other.line_, nullptr)) {}
  FakeOwner& operator=(FakeOwner&& other) noexcept {
    if (this != &other) {
      reset();
      line_ = std::exchange(other.line_, nullptr);
    }
    return *this;
  }
  ~FakeOwner() { reset(); }
  FakeLine* get() const noexcept { return line_; }
  explicit operator bool() const noexcept { return line_ != nullptr; }
  void reset() noexcept {
    if (FakeLine* line = std::exchange(line_, nullptr)) {
      if (line->closes.fetch_add(1) == 0) line->closed.set_value();
      if (line->order) line->order->push_back(line->name);
    }
  }

 private:
  FakeLine* line_ = nullptr;
};

TEST(AbandonableHandles, GivingUpDuringACallClosesEachHandleOnceAndRefusesLaterCalls) {
  std::vector<std::string> order;
  FakeLine session;
  FakeLine request;
  session.order = request.order = &order;
  session.name = "session";
  request.name = "request";
  auto handles = std::make_shared<AbandonableHandles<FakeOwner>>();

  std::promise<void> in_call;
  std::atomic<bool> later_call_ran{false};
  std::thread job([&] {
    FakeLine* s = handles->Keep(FakeOwner(&session));
    FakeLine* r = handles->Keep(FakeOwner(&request));
    EXPECT_EQ(s, &session);
    EXPECT_EQ(r, &request);
    // A read blocked until its handle is closed.
    const auto blocked = handles->Run([&] {
      in_call.set_value();
      return r->closed_future.wait_for(10s) == std::future_status::ready;
    });
    EXPECT_EQ(blocked, std::optional<bool>(true));
    EXPECT_FALSE(handles->Run([&] { return later_call_ran.exchange(true); }).has_value());
    // A handle the job opens after it was given up on is closed at once.
    FakeLine late;
    EXPECT_EQ(handles->Keep(FakeOwner(&late)), nullptr);
    EXPECT_EQ(late.closes.load(), 1);
    handles->CloseAll();
  });
  in_call.get_future().wait();
  const auto start = Clock::now();
  handles->Abandon();
  job.join();
  EXPECT_LT(Clock::now() - start, 2s);
  EXPECT_FALSE(later_call_ran.load());
  EXPECT_EQ(session.closes.load(), 1);
  EXPECT_EQ(request.closes.load(), 1);
  EXPECT_EQ(order, (std::vector<std::string>{"request", "session"}));
}

// Between calls nothing is closed from outside: the job may be using the
// handles in ways no Run covers yet, so it closes them itself.
TEST(AbandonableHandles, GivingUpBetweenCallsLeavesTheClosingToTheJob) {
  FakeLine line;
  AbandonableHandles<FakeOwner> handles;
  FakeLine* kept = handles.Keep(FakeOwner(&line));
  EXPECT_EQ(handles.Run([&] { return kept == &line; }), std::optional<bool>(true));
  handles.Abandon();
  EXPECT_TRUE(handles.Abandoned());
  EXPECT_EQ(line.closes.load(), 0);
  EXPECT_FALSE(handles.Run([] { return 1; }).has_value());
  handles.CloseAll();
  handles.CloseAll();
  handles.Abandon();
  EXPECT_EQ(line.closes.load(), 1);

  // A redirect's request closed early is not closed again at the end.
  FakeLine first;
  FakeLine second;
  {
    AbandonableHandles<FakeOwner> more;
    FakeLine* a = more.Keep(FakeOwner(&first));
    more.Keep(FakeOwner(&second));
    more.Close(a);
    EXPECT_EQ(first.closes.load(), 1);
    EXPECT_EQ(second.closes.load(), 0);
  }
  EXPECT_EQ(first.closes.load(), 1);
  EXPECT_EQ(second.closes.load(), 1);
}

}  // namespace
}  // namespace ostrel::update
