#include "velo/plain/lifetime_watch.h"

#include <gtest/gtest.h>

#include <memory>

namespace VELO::render {
namespace {

// The shape of a modal loop: an object whose handler may delete it while the
// loop (its own member function) still runs. Under ASan any read of the
// object after the delete fails the test.
class Looper {
 public:
  virtual ~Looper() { LifetimeWatch::Ended(this); }
  virtual bool Handle(int turn) { return turn < 3; }
  // Returns the turns run; stops when Handle says so or the object is gone.
  int Run() {
    LifetimeWatch alive(this);
    int turn = 0;
    while (alive.Alive() && keepGoing_) {
      ++turn;
      if (!Handle(turn) && alive.Alive()) keepGoing_ = false;
    }
    return turn;
  }

 private:
  bool keepGoing_ = true;
};

class SelfDeleting : public Looper {
 public:
  explicit SelfDeleting(int when) : when_(when) {}
  bool Handle(int turn) override {
    if (turn == when_) {
      delete this;
      return false;
    }
    return true;
  }

 private:
  int when_;
};

// A nested loop on another object deletes the outer one.
class Outer : public Looper {
 public:
  bool Handle(int turn) override {
    if (turn == 2) {
      struct Inner : Looper {
        Looper* victim = nullptr;
        bool Handle(int) override {
          delete victim;
          return false;
        }
      } inner;
      inner.victim = this;
      EXPECT_EQ(inner.Run(), 1);
      return false;
    }
    return true;
  }
};

TEST(LifetimeWatch, LoopsOutliveTheirObjectsWithoutTouchingThem) {
  {
    Looper plain;
    EXPECT_EQ(plain.Run(), 3);
  }
  EXPECT_EQ((new SelfDeleting(4))->Run(), 4);
  EXPECT_EQ((new Outer)->Run(), 2);
  EXPECT_EQ(LifetimeWatch::Count(), 0);

  // Two watches on one object both end; a watch on another object stays.
  int a = 0, b = 0;
  LifetimeWatch first(&a);
  {
    LifetimeWatch second(&a);
    LifetimeWatch other(&b);
    EXPECT_EQ(LifetimeWatch::Count(), 3);
    LifetimeWatch::Ended(&a);
    EXPECT_FALSE(first.Alive());
    EXPECT_FALSE(second.Alive());
    EXPECT_TRUE(other.Alive());
  }
  EXPECT_EQ(LifetimeWatch::Count(), 1);
  // Unlinked out of order, the list stays whole.
  auto x = std::make_unique<LifetimeWatch>(&b);
  auto y = std::make_unique<LifetimeWatch>(&b);
  x.reset();
  EXPECT_EQ(LifetimeWatch::Count(), 2);
  y.reset();
  EXPECT_EQ(LifetimeWatch::Count(), 1);
}

}  // namespace
}  // namespace VELO::render
