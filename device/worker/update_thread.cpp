#include "device/worker/update_thread.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "common/swallowed_failure.h"

namespace ostrel::device {
namespace {

constexpr std::chrono::milliseconds kCancelInterval{50};

}  // namespace

struct UpdateThread::State {
  explicit State(std::shared_ptr<UpdateTaskRunner> runner) : tasks(std::move(runner)) {}

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<WorkerTask> queue;
  bool stopping = false;
  bool ended = false;
  std::shared_ptr<UpdateTaskRunner> tasks;
};

UpdateThread::UpdateThread(std::shared_ptr<UpdateTaskRunner> tasks) noexcept {
  try {
    state_ = std::make_shared<State>(std::move(tasks));
    thread_ = std::thread(&UpdateThread::Loop, state_);
    threaded_ = true;
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
}

UpdateThread::~UpdateThread() { Stop(std::chrono::milliseconds(0)); }

void UpdateThread::Loop(std::shared_ptr<State> state) noexcept {
  try {
    for (;;) {
      WorkerTask task{};
      {
        std::unique_lock lock(state->mutex);
        state->changed.wait(lock, [&] { return state->stopping || !state->queue.empty(); });
        if (state->stopping) break;
        task = state->queue.front();
        state->queue.pop_front();
      }
      state->tasks->RunUpdateTask(task);
    }
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
  // The runner may be the last thing keeping the update service alive: it
  // goes here, on this thread, before the owner can take the thread as ended.
  std::shared_ptr<UpdateTaskRunner> last;
  {
    const std::lock_guard lock(state->mutex);
    last = std::move(state->tasks);
  }
  last.reset();
  {
    const std::lock_guard lock(state->mutex);
    state->ended = true;
  }
  state->changed.notify_all();
}

void UpdateThread::RunUpdateTask(WorkerTask task) noexcept {
  if (!state_) return;
  try {
    std::shared_ptr<UpdateTaskRunner> inline_runner;
    {
      const std::lock_guard lock(state_->mutex);
      if (state_->stopping) return;
      if (threaded_) {
        state_->queue.push_back(task);
      } else {
        inline_runner = state_->tasks;
      }
    }
    // No thread: the old way, on the caller, is still better than none.
    if (inline_runner) return inline_runner->RunUpdateTask(task);
    state_->changed.notify_all();
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
}

bool UpdateThread::Stop(std::chrono::milliseconds limit, const std::function<void()>& cancel) noexcept {
  if (!state_) return true;
  bool ended = false;
  try {
    {
      const std::lock_guard lock(state_->mutex);
      state_->stopping = true;
      state_->queue.clear();
    }
    state_->changed.notify_all();
    if (!threaded_) return true;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock lock(state_->mutex);
    for (;;) {
      if (cancel) {
        lock.unlock();
        cancel();
        lock.lock();
      }
      if (state_->ended) break;
      const auto now = std::chrono::steady_clock::now();
      if (now >= deadline) break;
      state_->changed.wait_until(lock, std::min(deadline, now + kCancelInterval));
      if (state_->ended) break;
    }
    ended = state_->ended;
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
  if (thread_.joinable()) {
    // A thread still inside a task keeps its own share of the state and
    // the runner: it is let go rather than waited for.
    if (ended) {
      thread_.join();
    } else {
      thread_.detach();
    }
  }
  return ended;
}

}  // namespace ostrel::device
