// A Windows critical section as a standard Lockable, so that it works with
// std::lock_guard. It re-enters on the owning thread: a handler may change a
// list that its caller is walking under the same lock.
#pragma once

#include <windows.h>

#include <mutex>

namespace VELO {

class CriticalSection {
 public:
  CriticalSection() noexcept { ::InitializeCriticalSection(&cs_); }
  ~CriticalSection() { ::DeleteCriticalSection(&cs_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void lock() noexcept { ::EnterCriticalSection(&cs_); }
  bool try_lock() noexcept { return ::TryEnterCriticalSection(&cs_) != FALSE; }
  void unlock() noexcept { ::LeaveCriticalSection(&cs_); }

 private:
  CRITICAL_SECTION cs_;
};

using CriticalSectionGuard = std::lock_guard<CriticalSection>;

}  // namespace VELO
