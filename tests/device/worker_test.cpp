// The worker thread, its queue and the update step, against the simulated
// display and the real shared hardware block.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "device/worker/device_work.h"
#include "device/worker/thread_basic.h"
#include "tests/device/sim_session.h"
#include "tests/device/test_support.h"

namespace ostrel::device {
namespace {

using namespace std::chrono_literals;
using testing::ForeignBlock;
using testing::SimSession;
using testing::WaitUntil;

constexpr char kOneDisplay[] = "[display]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\n";
// No sensor library: the pass does nothing and the block keeps what it holds.
constexpr char kNoSensorLibrary[] = "no-such-sensor-library.dll";

struct Step {
  int iteration;
  int value;  // shown value, or task code
  int devices;
};

// Hosts DeviceWork the way the main dialog does, recording which iteration
// did what.
class RecordingWorker final : public CThreadBasic, public TemperatureView, public UpdateTaskRunner {
 public:
  explicit RecordingWorker(DeviceWork::UpdatePause pause = &DeviceWork::PauseUntilStop)
      : work_(kNoSensorLibrary) {
    work_.SetUpdatePause(pause);
    work_.SetView(this);
    work_.SetUpdateTasks(this);
  }
  ~RecordingWorker() { StopWorker(); }

  void Run() override {
    ++iterations_;
    work_.Run(*this);
  }
  void ShowCpuTemperature(int value) noexcept override { Record(shown_, value); }
  void RunUpdateTask(WorkerTask task) noexcept override { Record(tasks_, static_cast<int>(task)); }

  int Iterations() const { return iterations_.load(); }
  std::vector<Step> Shown() const {
    const std::lock_guard lock(lock_);
    return shown_;
  }
  std::vector<Step> Tasks() const {
    const std::lock_guard lock(lock_);
    return tasks_;
  }

 private:
  void Record(std::vector<Step>& steps, int value) noexcept {
    const std::lock_guard lock(lock_);
    steps.push_back({iterations_.load(), value, CHidDeviceManager::Instance().DeviceCount()});
  }

  DeviceWork work_;
  std::atomic<int> iterations_{0};
  mutable std::mutex lock_;
  std::vector<Step> shown_;
  std::vector<Step> tasks_;
};

class IdleQueue final : public CThreadBasic {
 public:
  void Run() override {}
};

std::vector<std::uint8_t> Digits(const testing::SimEvent& send) {
  const auto bytes = SimSession::Bytes(send);
  return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 6);
}

TEST(DeviceWorkerTest, StartUpRunsCommands5Then1Then6AndReportsInTheFourthIteration) {
  SimSession sim(kOneDisplay);
  ForeignBlock block(45.9f);
  ASSERT_TRUE(block.ok());
  RecordingWorker worker;
  worker.StartWorker();
  ASSERT_TRUE(WaitUntil([&] { return !worker.Shown().empty(); }));
  worker.StopWorker();

  const auto tasks = worker.Tasks();
  ASSERT_EQ(tasks.size(), 2u);
  EXPECT_EQ(tasks[0].iteration, 1);
  EXPECT_EQ(tasks[0].value, 5);
  EXPECT_EQ(tasks[0].devices, 0);
  EXPECT_EQ(tasks[1].iteration, 3);
  EXPECT_EQ(tasks[1].value, 6);
  EXPECT_EQ(tasks[1].devices, 1);  // the rescan ran in iteration 2
  const auto shown = worker.Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].iteration, 4);
  // The block's value is another process's: the panel has no reading of its
  // own to show, while the display's report stays what the block says.
  EXPECT_EQ(shown[0].value, kNoCpuTemperature);

  const auto sends = sim.Events("send_feature");
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_EQ(Digits(sends[0]), (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0, 4, 5}));
}

// The start-up commands are in the queue before the thread can look at it, so
// its first iteration never runs an update step ahead of them. Repeated,
// since a thread that starts first wins that race only now and then.
TEST(DeviceWorkerTest, TheFirstIterationAlreadySeesTheStartUpCommands) {
  class FirstLook final : public CThreadBasic {
   public:
    ~FirstLook() { StopWorker(); }
    void Run() override {
      if (first_pending.load() < 0) first_pending = static_cast<int>(PendingTasks());
      while (TakeTask()) {
      }
    }
    std::atomic<int> first_pending{-1};
  };
  for (int attempt = 0; attempt < 25; ++attempt) {
    FirstLook worker;
    worker.StartWorker();
    ASSERT_TRUE(WaitUntil([&] { return worker.first_pending.load() >= 0; }));
    worker.StopWorker();
    ASSERT_EQ(worker.first_pending.load(), 3) << "attempt " << attempt;
  }
}

TEST(DeviceWorkerTest, StartingARunningWorkerQueuesNothingMore) {
  IdleQueue queue;
  queue.StartWorker();
  queue.StartWorker();
  EXPECT_EQ(queue.PendingTasks(), 3u);
  queue.StopWorker();
}

TEST(DeviceWorkerTest, AStopDuringTheUpdatePauseTakesEffectAfterIt) {
  SimSession sim(kOneDisplay);
  RecordingWorker worker(&DeviceWork::SleepThroughStop);
  worker.StartWorker();
  ASSERT_TRUE(WaitUntil([&] { return !worker.Shown().empty(); }));
  const auto asked = std::chrono::steady_clock::now();
  worker.PostTask(static_cast<std::int32_t>(WorkerTask::CheckFirmwareNow));
  worker.StopWorker();
  const auto waited = std::chrono::steady_clock::now() - asked;

  EXPECT_FALSE(worker.IsRunning());
  EXPECT_GE(waited, 700ms);  // the rest of the 1000 ms pause, then 16 ms
  EXPECT_LT(waited, 3000ms);
  EXPECT_EQ(worker.Iterations(), 4);
  EXPECT_EQ(worker.Tasks().size(), 2u);  // 5 and 6 only
  EXPECT_EQ(worker.PendingTasks(), 1u);
  ::Sleep(100);
  EXPECT_EQ(worker.Iterations(), 4);
}

// Shutdown waits for a worker still inside a long step, since that step
// still uses the object; a second thread stopping it at the same time (a
// close while an install ends the program) waits for it too.
TEST(DeviceWorkerTest, AWorkerBusyPastTheStopWaitIsWaitedFor) {
  class SlowWorker final : public CThreadBasic {
   public:
    ~SlowWorker() { StopWorker(); }
    void Run() override {
      entered = true;
      ::Sleep(1500);
      finished = true;
    }
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};
  } worker;
  worker.StartWorker();
  ASSERT_TRUE(WaitUntil([&] { return worker.entered.load(); }));
  const auto asked = std::chrono::steady_clock::now();
  std::atomic<bool> other_saw_finished{false};
  std::thread other([&] {
    worker.StopWorker();
    other_saw_finished = worker.finished.load();
  });
  worker.StopWorker();
  EXPECT_TRUE(worker.finished.load());
  EXPECT_GE(std::chrono::steady_clock::now() - asked, 1200ms);
  other.join();
  EXPECT_TRUE(other_saw_finished.load());
  EXPECT_FALSE(worker.IsRunning());
}

TEST(DeviceWorkerTest, TheQueueKeepsEveryProducersOrderUnderConcurrentPosts) {
  IdleQueue queue;
  constexpr int kProducers = 4;
  constexpr int kEach = 20000;
  std::vector<std::thread> producers;
  for (int p = 0; p < kProducers; ++p) {
    producers.emplace_back([&queue, p] {
      for (int i = 0; i < kEach; ++i) queue.PostTask(p * kEach + i);
    });
  }
  std::vector<int> last(kProducers, -1);
  int taken = 0;
  bool in_order = true;
  while (taken < kProducers * kEach) {
    const auto code = queue.TakeTask();
    if (!code) continue;
    const int producer = *code / kEach;
    in_order = in_order && *code % kEach == last[producer] + 1;
    last[producer] = *code % kEach;
    ++taken;
  }
  for (auto& t : producers) t.join();
  EXPECT_TRUE(in_order);
  EXPECT_EQ(queue.PendingTasks(), 0u);
  EXPECT_EQ(last, std::vector<int>(kProducers, kEach - 1));
}

TEST(DeviceWorkerTest, OneCommandPerIterationAndUnknownCodesAreDropped) {
  SimSession sim(kOneDisplay);
  IdleQueue queue;
  DeviceWork work(kNoSensorLibrary);
  struct Runner final : UpdateTaskRunner {
    void RunUpdateTask(WorkerTask task) noexcept override { ran.push_back(static_cast<int>(task)); }
    std::vector<int> ran;
  } runner;
  struct View final : TemperatureView {
    void ShowCpuTemperature(int value) noexcept override { shown.push_back(value); }
    std::vector<int> shown;
  } view;
  work.SetView(&view);
  for (int code : {2, 99, -1, 4, 8, 3}) queue.PostTask(code);
  for (int i = 0; i < 6; ++i) work.Run(queue);
  EXPECT_TRUE(view.shown.empty());
  EXPECT_TRUE(sim.Events("enumerate").empty());

  // Until the update commands have a runner they are taken and dropped.
  work.SetUpdateTasks(&runner);
  for (int code : {7, 5, 6}) queue.PostTask(code);
  for (int i = 0; i < 3; ++i) work.Run(queue);
  EXPECT_EQ(runner.ran, (std::vector<int>{7, 5, 6}));
  EXPECT_TRUE(view.shown.empty());
}

TEST(DeviceWorkerTest, WithoutTheHardwareBlockTheDisplayShows000) {
  SimSession sim(kOneDisplay);
  ForeignBlock block(45.9f);  // exists, but this worker never mapped it
  DeviceWork work(kNoSensorLibrary);
  RescanDisplays(CHidDeviceManager::Instance());
  work.UpdateTick();
  const auto sends = sim.Events("send_feature");
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_EQ(Digits(sends[0]), (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0, 0, 0}));
}

TEST(DeviceWorkerTest, ABlockThisProcessCreatedWithNoReadingShows000) {
  SimSession sim(kOneDisplay);
  DeviceWork work(kNoSensorLibrary);
  work.RefreshDevices();
  ASSERT_TRUE(work.Sensors().IsBlockMapped());
  work.UpdateTick();
  const auto sends = sim.Events("send_feature");
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_EQ(Digits(sends[0]), (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0, 0, 0}));
}

TEST(DeviceWorkerTest, ReadingsOutsideTheDisplayRangeAreBounded) {
  SimSession sim(kOneDisplay);
  for (float cpu : {-5.0f, -1e30f, 123.4f}) {
    ForeignBlock block(cpu);
    DeviceWork work(kNoSensorLibrary);
    work.RefreshDevices();
    work.UpdateTick();
  }
  const auto sends = sim.Events("send_feature");
  ASSERT_EQ(sends.size(), 3u);
  EXPECT_EQ(Digits(sends[0]), (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0, 0, 0}));
  EXPECT_EQ(Digits(sends[1]), (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0, 0, 0}));
  EXPECT_EQ(Digits(sends[2]), (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0, 9, 9}));
}

}  // namespace
}  // namespace ostrel::device
