#include "velo/plain/lifetime_watch.h"

namespace VELO::render {
namespace {
thread_local LifetimeWatch* t_head = nullptr;
}  // namespace

LifetimeWatch::LifetimeWatch(const void* object) noexcept : object_(object), next_(t_head) { t_head = this; }

LifetimeWatch::~LifetimeWatch() {
  // Watches nest with the stack, but unlink by search so that an odd order
  // never leaves a dangling node behind.
  for (LifetimeWatch** link = &t_head; *link; link = &(*link)->next_) {
    if (*link == this) {
      *link = next_;
      return;
    }
  }
}

void LifetimeWatch::Ended(const void* object) noexcept {
  for (LifetimeWatch* w = t_head; w; w = w->next_) {
    if (w->object_ == object) w->alive_ = false;
  }
}

int LifetimeWatch::Count() noexcept {
  int n = 0;
  for (const LifetimeWatch* w = t_head; w; w = w->next_) ++n;
  return n;
}

}  // namespace VELO::render
