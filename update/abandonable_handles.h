// The handles of a job that its caller may give up on. A blocking call on a
// handle of the network library returns once another thread closes that
// handle, and that is how a job given up on is made to end instead of
// waiting out a silent server. Closing from the other side is only sound
// under three rules, kept here:
// - each handle is closed exactly once, by whichever side takes it out of
//   this set first (both take it under one lock);
// - the job starts no call once it was given up on: every call runs through
//   Run, which refuses it then;
// - the giving-up side closes the handles only while a call is running; at
//   any other time the job sees the mark at its next Run and closes them
//   itself.
// One window is left by the library's design: a call that Run has let
// through but that has not yet reached the library when the handles are
// closed fails at once on a closed handle.
//
// Owner is a move-only owner of one handle (unique_any); the set is shared
// by the job and the side that may give up on it.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace ostrel::update {

template <typename Owner>
class AbandonableHandles {
 public:
  using Handle = decltype(std::declval<const Owner&>().get());

  AbandonableHandles() = default;
  AbandonableHandles(const AbandonableHandles&) = delete;
  AbandonableHandles& operator=(const AbandonableHandles&) = delete;
  ~AbandonableHandles() { CloseAll(); }

  // Job side. Keeps `owner` until Close, CloseAll or the job is given up on,
  // and lends out its handle. A job already given up on gets nothing: the
  // handle is closed here and then.
  Handle Keep(Owner owner) noexcept {
    Handle handle = owner.get();
    if (!owner) return handle;
    {
      const std::lock_guard lock(mutex_);
      if (!abandoned_) {
        try {
          kept_.push_back(std::move(owner));
          return handle;
        } catch (...) {
          // No room to keep it: closed below, as if given up on.
        }
      }
    }
    owner.reset();
    return Handle{};
  }

  // Job side. Runs `call` unless the job was given up on; nothing then.
  template <typename Call>
  auto Run(Call&& call) -> std::optional<std::invoke_result_t<Call&>> {
    {
      const std::lock_guard lock(mutex_);
      if (abandoned_) return std::nullopt;
      ++calls_;
    }
    struct Leave {
      AbandonableHandles& set;
      ~Leave() {
        const std::lock_guard lock(set.mutex_);
        --set.calls_;
      }
    } leave{*this};
    return call();
  }

  // Job side: closes one kept handle early (a redirect's request).
  void Close(Handle handle) noexcept {
    Owner taken;
    {
      const std::lock_guard lock(mutex_);
      for (auto it = kept_.begin(); it != kept_.end(); ++it) {
        if (it->get() != handle) continue;
        taken = std::move(*it);
        kept_.erase(it);
        break;
      }
    }
  }

  // Either side: closes what is still kept, the newest (the innermost)
  // first.
  void CloseAll() noexcept {
    std::vector<Owner> taken;
    {
      const std::lock_guard lock(mutex_);
      taken.swap(kept_);
    }
    while (!taken.empty()) taken.pop_back();
  }

  // The giving-up side. A call in progress is ended by closing the handles;
  // otherwise the job stops at its next Run.
  void Abandon() noexcept {
    std::vector<Owner> taken;
    {
      const std::lock_guard lock(mutex_);
      abandoned_ = true;
      if (calls_ > 0) taken.swap(kept_);
    }
    while (!taken.empty()) taken.pop_back();
  }

  bool Abandoned() const noexcept {
    const std::lock_guard lock(mutex_);
    return abandoned_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Owner> kept_;
  std::size_t calls_ = 0;
  bool abandoned_ = false;
};

}  // namespace ostrel::update
