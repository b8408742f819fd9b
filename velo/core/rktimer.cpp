#include "velo/core/rktimer.h"

#include <mmsystem.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "common/swallowed_failure.h"

namespace VELO {

UINT RKTimer::m_uAccuracy = 1;
int RKTimer::m_bIsTmierOK = 0;

namespace {

// The live objects in construction order, and the tables and callback
// counts of each (members of RKTimer, guarded by `lock`).
struct TimerRegistry {
  std::mutex lock;
  std::condition_variable callbackDone;
  std::vector<RKTimer*> objects;
};

TimerRegistry& Registry() {
  static TimerRegistry registry;
  return registry;
}

// Guards the process's timer resolution. Taken before, never inside, the
// registry lock.
std::mutex& PeriodLock() {
  static std::mutex lock;
  return lock;
}

// Callbacks running on this thread, innermost first. The destructor of an
// object destroyed from inside its own callback marks its frames, so that
// the callback does not touch the object again.
struct CallbackFrame {
  RKTimer* timer;
  bool destroyed;
  CallbackFrame* outer;
};
thread_local CallbackFrame* t_callbacks = nullptr;

int OwnCallbacksOnThisThread(const RKTimer* timer) noexcept {
  int n = 0;
  for (const CallbackFrame* f = t_callbacks; f; f = f->outer) {
    if (f->timer == timer && !f->destroyed) ++n;
  }
  return n;
}

}  // namespace

RKTimer::RKTimer() noexcept {
  TimerRegistry& r = Registry();
  std::lock_guard guard(r.lock);
  try {
    r.objects.push_back(this);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    // Without a place in the list the object simply never gets callbacks:
    // TimerCallProc only calls objects it finds there.
  }
}

RKTimer::~RKTimer() {
  KillTimer();
  TimerRegistry& r = Registry();
  {
    std::lock_guard guard(r.lock);
    std::erase(r.objects, this);
  }
  WaitForCallbacks();
  for (CallbackFrame* f = t_callbacks; f; f = f->outer) {
    if (f->timer == this) f->destroyed = true;
  }
  // The resolution was raised once for all objects: lower it with the last
  // one, so that one window closing does not slow the timers of the others.
  std::lock_guard period(PeriodLock());
  bool last;
  {
    std::lock_guard guard(r.lock);
    last = r.objects.empty();
  }
  if (last && m_bIsTmierOK) {
    ::timeEndPeriod(m_uAccuracy);
    m_bIsTmierOK = 0;
  }
}

void RKTimer::OnMTimer(UINT, CString) {}

UINT RKTimer::SetTimer(UINT elapse, CString name, int appFlag) noexcept {
  UINT accuracy;
  {
    std::lock_guard period(PeriodLock());
    if (!m_bIsTmierOK) {
      TIMECAPS caps{};
      if (::timeGetDevCaps(&caps, sizeof caps) == MMSYSERR_NOERROR) {
        UINT p = std::max<UINT>(caps.wPeriodMin, 1);
        if (caps.wPeriodMax >= 1) p = std::min<UINT>(p, caps.wPeriodMax);
        m_uAccuracy = p;
        ::timeBeginPeriod(p);
        m_bIsTmierOK = 1;
      }
    }
    accuracy = m_uAccuracy;
  }
  const UINT id = ::timeSetEvent(elapse, accuracy, &RKTimer::TimerCallProc, reinterpret_cast<DWORD_PTR>(this),
                                 TIME_PERIODIC);
  TimerRegistry& r = Registry();
  try {
    std::lock_guard guard(r.lock);
    m_timers.push_back(TimerEntry{id, std::move(name), appFlag});
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    if (id) ::timeKillEvent(id);
    return 0;
  }
  return id;
}

template <typename Match>
int RKTimer::KillFirst(Match match) noexcept {
  TimerRegistry& r = Registry();
  UINT id = 0;
  bool found = false;
  int left;
  {
    std::lock_guard guard(r.lock);
    auto it = std::find_if(m_timers.begin(), m_timers.end(), match);
    if (it != m_timers.end()) {
      id = it->id;
      m_timers.erase(it);
      found = true;
    }
    left = static_cast<int>(m_timers.size());
  }
  if (found) {
    ::timeKillEvent(id);
    WaitForCallbacks();
  }
  return left;
}

int RKTimer::KillTimer(UINT id) noexcept {
  return KillFirst([id](const TimerEntry& e) { return e.id == id; });
}

int RKTimer::KillTimer(CString name) noexcept {
  return KillFirst([&name](const TimerEntry& e) { return e.name == name; });
}

void RKTimer::KillTimer() noexcept {
  TimerRegistry& r = Registry();
  std::vector<TimerEntry> stopped;
  {
    std::lock_guard guard(r.lock);
    stopped.swap(m_timers);
  }
  for (const TimerEntry& e : stopped) ::timeKillEvent(e.id);
  if (!stopped.empty()) WaitForCallbacks();
}

int RKTimer::GetTimerIsRun(UINT id) noexcept {
  std::lock_guard guard(Registry().lock);
  return Find(id) ? 1 : 0;
}

int RKTimer::GetTimerIsRun(CString name) noexcept {
  std::lock_guard guard(Registry().lock);
  return std::any_of(m_timers.begin(), m_timers.end(),
                     [&name](const TimerEntry& e) { return e.name == name; })
             ? 1
             : 0;
}

CString RKTimer::GetTimerName(UINT id) noexcept {
  try {
    std::lock_guard guard(Registry().lock);
    const TimerEntry* e = Find(id);
    return e ? e->name : CString();
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return CString();
  }
}

int RKTimer::IsAppTimer(UINT id) noexcept {
  std::lock_guard guard(Registry().lock);
  const TimerEntry* e = Find(id);
  return e ? e->appFlag : 0;
}

int RKTimer::GetTimerCount() noexcept {
  std::lock_guard guard(Registry().lock);
  return static_cast<int>(m_timers.size());
}

RKTimer* RKTimer::GetFSTimer(UINT id) noexcept {
  TimerRegistry& r = Registry();
  std::lock_guard guard(r.lock);
  for (RKTimer* t : r.objects) {
    if (t->Find(id)) return t;
  }
  return nullptr;
}

void CALLBACK RKTimer::TimerCallProc(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) noexcept {
  auto* timer = reinterpret_cast<RKTimer*>(user);
  if (!timer) return;
  try {
    Deliver(timer, id);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    // Nothing may unwind into the system's timer thread.
  }
}

void RKTimer::Deliver(RKTimer* timer, UINT id) {
  TimerRegistry& r = Registry();
  {
    std::lock_guard guard(r.lock);
    // The object may be gone (its address is only a number until found in
    // the list), and a tick may still arrive for a timer just killed.
    if (std::find(r.objects.begin(), r.objects.end(), timer) == r.objects.end()) return;
    if (!timer->Find(id)) return;
    ++timer->m_runningCallbacks;
  }
  CallbackFrame frame{timer, false, t_callbacks};
  t_callbacks = &frame;
  struct Leave {
    CallbackFrame& frame;
    TimerRegistry& r;
    ~Leave() {
      t_callbacks = frame.outer;
      if (frame.destroyed) return;
      {
        std::lock_guard guard(r.lock);
        --frame.timer->m_runningCallbacks;
      }
      r.callbackDone.notify_all();
    }
  } leave{frame, r};

  timer->OnMTimer(id);
  if (frame.destroyed) return;
  CString name;
  bool named = false;
  {
    std::lock_guard guard(r.lock);
    if (const TimerEntry* e = timer->Find(id); e && e->appFlag) {
      name = e->name;
      named = true;
    }
  }
  if (named) timer->OnMTimer(id, std::move(name));
}

const RKTimer::TimerEntry* RKTimer::Find(UINT id) const noexcept {
  for (const TimerEntry& e : m_timers) {
    if (e.id == id) return &e;
  }
  return nullptr;
}

void RKTimer::WaitForCallbacks() noexcept {
  TimerRegistry& r = Registry();
  std::unique_lock guard(r.lock);
  const int own = OwnCallbacksOnThisThread(this);
  r.callbackDone.wait(guard, [this, own] { return m_runningCallbacks <= own; });
}

}  // namespace VELO
