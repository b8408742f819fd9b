// One Ostrel per user session: the named mutex "TEMP", and how a second start
// finds the running instance's window.
#pragma once

#include <windows.h>

#include "common/program_ids.h"
#include "common/win/unique_any.h"

namespace ostrel::app {

// The name of the mutex and of the window property that marks the panel.
using ::ostrel::kInstanceName;

class SingleInstance {
 public:
  // Creates the mutex owned by this thread. A process that gets no handle at
  // all goes on as the first instance: refusing to start would be worse than
  // a rare second copy.
  static SingleInstance Claim(const wchar_t* name = kInstanceName) noexcept;

  bool IsFirst() const noexcept { return first_; }

 private:
  SingleInstance(win::unique_handle mutex, bool first) noexcept : mutex_(std::move(mutex)), first_(first) {}

  // Held, never released, for the life of the process: the mutex marks the
  // running instance until the system ends it.
  win::unique_handle mutex_;
  bool first_;
};

// The running instance's panel: the first top-level window, in z-order, that
// carries the property. Null when none does.
HWND FindRunningInstanceWindow(const wchar_t* property = kInstanceName) noexcept;

}  // namespace ostrel::app
