// RKTimer: periodic callbacks from the system's multimedia timer, on that
// timer's own thread. A base class: the derived object receives OnMTimer(id)
// on every tick of each of its timers, and OnMTimer(id, name) as well for
// timers started with the application flag.
//
// Thread rules. The table of each object and the list of live objects are
// guarded by one process-wide lock that is never held while calling out
// (neither into winmm nor into OnMTimer). Ticks of a timer that is no longer
// in its object's table are dropped. KillTimer waits until no callback of the
// object is running on another thread, so once it returns nothing of that
// object runs on the timer thread any more; called from inside a callback it
// does not wait for that callback itself. Consequences for derived classes:
// stop your timers (KillTimer()) in your own destructor before your members
// go, and never hold a lock that your OnMTimer takes while calling KillTimer.
#pragma once

#include <windows.h>

#include <vector>

#include "velo/core/cstring.h"
#include "velo/core/velo_api.h"

namespace VELO {

class VELO_API RKTimer {
 public:
  RKTimer() noexcept;
  RKTimer(const RKTimer&) = delete;
  RKTimer& operator=(const RKTimer&) = delete;

  virtual void OnMTimer(UINT id, CString name);
  virtual void OnMTimer(UINT id) = 0;

  // Starts a periodic timer of `elapse` ms. The id (0 when the system refused)
  // is recorded in the table either way.
  UINT SetTimer(UINT elapse, CString name, int appFlag) noexcept;
  // Each returns the number of timers left in the table.
  int KillTimer(UINT id) noexcept;
  // Only the first timer of that name (exact, case-sensitive).
  int KillTimer(CString name) noexcept;
  void KillTimer() noexcept;

  int GetTimerIsRun(UINT id) noexcept;
  int GetTimerIsRun(CString name) noexcept;
  CString GetTimerName(UINT id) noexcept;
  int IsAppTimer(UINT id) noexcept;
  int GetTimerCount() noexcept;

  // The first live object, in construction order, that holds the id. The
  // pointer is borrowed: it stays good only while the caller knows that the
  // object lives.
  static RKTimer* GetFSTimer(UINT id) noexcept;
  static void CALLBACK TimerCallProc(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR) noexcept;

  // Resolution passed to timeSetEvent and timeBeginPeriod, and whether the
  // process's timer resolution is raised. Read and written under the
  // library's timer lock only.
  static UINT m_uAccuracy;
  static int m_bIsTmierOK;

 protected:
  // Not virtual, and protected so that nobody deletes through this base.
  ~RKTimer();

 private:
  struct TimerEntry {
    UINT id;
    CString name;
    int appFlag;
  };

  static void Deliver(RKTimer* timer, UINT id);
  // Removes and stops the first timer in the table that matches; returns the
  // number left.
  template <typename Match>
  int KillFirst(Match match) noexcept;
  const TimerEntry* Find(UINT id) const noexcept;
  void WaitForCallbacks() noexcept;

  std::vector<TimerEntry> m_timers;
  int m_runningCallbacks = 0;
};

}  // namespace VELO
