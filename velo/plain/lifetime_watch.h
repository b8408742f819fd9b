// LifetimeWatch: tells a running loop or handler that the object it works
// for was destroyed under it. A window's handler may delete its own object
// (or have it deleted by a nested loop); code further up the stack that still
// holds `this` asks its watch before touching a member again.
//
// Watches live on the stack of the thread that runs the object's messages;
// the object's destructor calls Ended(object) on that same thread.
#pragma once

namespace VELO::render {

class LifetimeWatch {
 public:
  explicit LifetimeWatch(const void* object) noexcept;
  ~LifetimeWatch();
  LifetimeWatch(const LifetimeWatch&) = delete;
  LifetimeWatch& operator=(const LifetimeWatch&) = delete;

  bool Alive() const noexcept { return alive_; }
  // Every watch of this thread on `object` reports it gone.
  static void Ended(const void* object) noexcept;
  // Watches of this thread still on the stack (for tests).
  static int Count() noexcept;

 private:
  const void* object_;
  bool alive_ = true;
  LifetimeWatch* next_;
};

}  // namespace VELO::render
