// The update thread and the worker's answer to the firmware check, as plain
// threads (natively with sanitizers, and under Wine).
#include "device/worker/update_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "device/worker/worker_version_query.h"

namespace ostrel::device {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Records each task with the thread it ran on; a task blocks while the gate
// is shut, as a check on a silent server does.
class GatedRunner final : public UpdateTaskRunner {
 public:
  void RunUpdateTask(WorkerTask task) noexcept override {
    std::unique_lock lock(mutex_);
    if (running_++ != 0) overlapped_ = true;
    started_.push_back(static_cast<int>(task));
    threads_.push_back(std::this_thread::get_id());
    changed_.notify_all();
    changed_.wait(lock, [&] { return open_; });
    --running_;
    finished_.push_back(static_cast<int>(task));
    changed_.notify_all();
  }
  void Open() {
    const std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  bool WaitStarted(std::size_t count, std::chrono::milliseconds limit = 5s) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return started_.size() >= count; });
  }
  bool WaitFinished(std::size_t count, std::chrono::milliseconds limit = 5s) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return finished_.size() >= count; });
  }
  std::vector<int> Started() {
    const std::lock_guard lock(mutex_);
    return started_;
  }
  std::vector<int> Finished() {
    const std::lock_guard lock(mutex_);
    return finished_;
  }
  std::vector<std::thread::id> Threads() {
    const std::lock_guard lock(mutex_);
    return threads_;
  }
  bool Overlapped() {
    const std::lock_guard lock(mutex_);
    return overlapped_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  int running_ = 0;
  bool overlapped_ = false;
  std::vector<int> started_;
  std::vector<int> finished_;
  std::vector<std::thread::id> threads_;
};

TEST(UpdateThread, HandsOverAtOnceRunsInOrderOneAtATimeAndStopsWithoutWaitingForAStuckTask) {
  auto runner = std::make_shared<GatedRunner>();
  std::weak_ptr<GatedRunner> alive = runner;
  auto thread = std::make_unique<UpdateThread>(runner);

  // The worker's side: every hand-over returns at once, even while the
  // first task is stuck.
  const auto handed = Clock::now();
  for (WorkerTask task : {WorkerTask::CheckSoftwareAtStart, WorkerTask::CheckFirmwareAtStart,
                          WorkerTask::CheckSoftwareNow, WorkerTask::InstallSoftware}) {
    thread->RunUpdateTask(task);
  }
  EXPECT_LT(Clock::now() - handed, 200ms);
  ASSERT_TRUE(runner->WaitStarted(1));
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(runner->Started(), (std::vector<int>{5})) << "one task at a time";

  runner->Open();
  ASSERT_TRUE(runner->WaitFinished(4));
  EXPECT_EQ(runner->Finished(), (std::vector<int>{5, 6, 3, 7})) << "the order they were handed over";
  EXPECT_FALSE(runner->Overlapped());
  for (const auto id : runner->Threads()) {
    EXPECT_NE(id, std::this_thread::get_id()) << "never on the caller";
    EXPECT_EQ(id, runner->Threads().front()) << "one thread for all";
  }

  // A clean stop: the idle thread ends at once.
  int cancels = 0;
  EXPECT_TRUE(thread->Stop(2s, [&] { ++cancels; }));
  EXPECT_GE(cancels, 1);
  thread->RunUpdateTask(WorkerTask::CheckFirmwareNow);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(runner->Started().size(), 4u) << "nothing runs after the stop";
  thread.reset();

  // A stop while a task is stuck: codes not yet begun are dropped, the
  // cancel is repeated while waiting, and the wait ends at its bound.
  auto stuck = std::make_shared<GatedRunner>();
  auto second = std::make_unique<UpdateThread>(stuck);
  second->RunUpdateTask(WorkerTask::CheckSoftwareAtStart);
  second->RunUpdateTask(WorkerTask::CheckFirmwareAtStart);
  ASSERT_TRUE(stuck->WaitStarted(1));
  std::atomic<int> stuck_cancels{0};
  const auto asked = Clock::now();
  EXPECT_FALSE(second->Stop(300ms, [&] { ++stuck_cancels; }));
  const auto waited = Clock::now() - asked;
  EXPECT_GE(waited, 290ms);
  EXPECT_LT(waited, 1500ms);
  EXPECT_GE(stuck_cancels.load(), 3) << "asked again about every 50 ms";
  // The owner goes; the thread given up on still holds its runner, ends its
  // task, takes no further code and lets the runner go.
  second.reset();
  std::weak_ptr<GatedRunner> stuck_alive = stuck;
  stuck->Open();
  ASSERT_TRUE(stuck->WaitFinished(1));
  stuck.reset();
  for (int i = 0; i < 200 && !stuck_alive.expired(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(stuck_alive.expired()) << "the runner goes with the last thread that held it";
  runner.reset();
  EXPECT_TRUE(alive.expired());
}

TEST(WorkerVersionQuery, AnsweredOnTheWorkerBoundedWithdrawnAndClosedAsNoDevice) {
  std::atomic<int> queries{0};
  std::thread::id query_thread;
  WorkerVersionQuery query([&]() -> WorkerVersionQuery::Answer {
    ++queries;
    query_thread = std::this_thread::get_id();
    return std::uint16_t{0x10A};
  });

  // Nothing asked: serving does not touch the display.
  query.Serve();
  EXPECT_EQ(queries.load(), 0);

  // The worker loop: serves between its steps, one step every 100 ms.
  std::atomic<bool> stop{false};
  std::thread worker([&] {
    while (!stop) {
      query.Serve();
      std::this_thread::sleep_for(100ms);
    }
  });
  const auto asked = Clock::now();
  EXPECT_EQ(query.Ask(5s), WorkerVersionQuery::Answer(0x10A));
  EXPECT_LT(Clock::now() - asked, 1s);
  EXPECT_EQ(query_thread, worker.get_id()) << "the display is asked on the worker";
  EXPECT_EQ(query.Ask(5s), WorkerVersionQuery::Answer(0x10A)) << "each question is answered";
  EXPECT_EQ(queries.load(), 2);
  stop = true;
  worker.join();

  // No worker: the question gives up at its bound and is withdrawn, so a
  // late serve does not reach the display.
  const auto unanswered = Clock::now();
  EXPECT_EQ(query.Ask(200ms), std::nullopt);
  EXPECT_GE(Clock::now() - unanswered, 190ms);
  query.Serve();
  EXPECT_EQ(queries.load(), 2);

  // A stopping worker: a waiting question gets "no device" at once, and so
  // does every later one; the display is not asked again.
  std::optional<WorkerVersionQuery::Answer> waited;
  std::chrono::steady_clock::duration took{};
  std::thread asker([&] {
    const auto start = Clock::now();
    waited = query.Ask(10s);
    took = Clock::now() - start;
  });
  std::this_thread::sleep_for(100ms);
  query.Close();
  asker.join();
  ASSERT_TRUE(waited.has_value());
  EXPECT_EQ(*waited, std::nullopt);
  EXPECT_LT(took, 2s);
  EXPECT_EQ(query.Ask(10s), std::nullopt);
  query.Serve();
  EXPECT_EQ(queries.load(), 2);
}

}  // namespace
}  // namespace ostrel::device
