// The shadow's states through its owner's messages.
#include "velo/plain/shadow_state.h"

#include <gtest/gtest.h>

#include <vector>

namespace VELO::render {
namespace {

constexpr OwnerFacts kVisible{true, false, false};
constexpr OwnerFacts kGrown{true, false, true};
constexpr OwnerFacts kMinimized{true, true, false};
constexpr OwnerFacts kInvisible{false, false, false};

void ExpectStep(ShadowStep step, ShadowState state, unsigned actions) {
  EXPECT_EQ(step.state, state);
  EXPECT_EQ(step.actions, actions);
}

TEST(ShadowState, FollowsAnOwnerThroughShowSizeMinimiseAndDestroy) {
  ShadowStep step = StartShadow(kInvisible);
  ExpectStep(step, ShadowState::OwnerHidden, kShadowNothing);
  // Hidden owners are not followed.
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::Moved, kInvisible), ShadowState::OwnerHidden,
             kShadowNothing);

  // Shown: on screen at once, drawn once the owner has painted.
  step = OnOwnerEvent(step.state, OwnerEvent::Shown, kVisible);
  ExpectStep(step, ShadowState::Shown, kShowShadow | kRedrawOnPaint);
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::Painted, kVisible), ShadowState::Shown, kRedrawIfPending);
  // A second show message changes nothing.
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::Shown, kVisible), ShadowState::Shown, kShadowNothing);
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::Moved, kVisible), ShadowState::Shown, kMoveShadow);

  // Growing waits for the owner's paint; shrinking redraws now.
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::Sized, kGrown), ShadowState::Shown,
             kRememberSize | kRedrawOnPaint);
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::Sized, kVisible), ShadowState::Shown,
             kRememberSize | kRedrawShadow);
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::SizeMoveEnded, kVisible), ShadowState::Shown,
             kRedrawShadow);

  // Minimised: off screen and no longer followed; restored: back.
  step = OnOwnerEvent(step.state, OwnerEvent::Sized, kMinimized);
  ExpectStep(step, ShadowState::Hidden, kHideShadow | kRememberSize);
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::Moved, kMinimized), ShadowState::Hidden, kShadowNothing);
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::SizeMoveEnded, kMinimized), ShadowState::Hidden,
             kShadowNothing);
  step = OnOwnerEvent(step.state, OwnerEvent::Sized, kVisible);
  ExpectStep(step, ShadowState::Shown, kShowShadow | kRememberSize | kRedrawShadow);

  step = OnOwnerEvent(step.state, OwnerEvent::Hidden, kInvisible);
  ExpectStep(step, ShadowState::OwnerHidden, kHideShadow);
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::Activated, kInvisible), ShadowState::OwnerHidden,
             kKeepBehindOwner);
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::Destroyed, kInvisible), ShadowState::None, kDestroyShadow);
}

TEST(ShadowState, AnOwnerShownWithoutAShowMessageStillTakesTheNextOne) {
  // SetWindowPos(SWP_SHOWWINDOW) sends no WM_SHOWWINDOW: the size message
  // brings the shadow up, and the owner counts as unseen until one comes.
  ShadowStep step = OnOwnerEvent(ShadowState::OwnerHidden, OwnerEvent::Sized, kVisible);
  ExpectStep(step, ShadowState::ShownOwnerUnseen, kShowShadow | kRememberSize | kRedrawShadow);
  EXPECT_TRUE(IsShadowShown(step.state));
  ExpectStep(OnOwnerEvent(step.state, OwnerEvent::Shown, kVisible), ShadowState::Shown,
             kShowShadow | kRedrawOnPaint);
  // A size message while the owner is invisible only remembers the size.
  ExpectStep(OnOwnerEvent(ShadowState::OwnerHidden, OwnerEvent::Sized, kInvisible), ShadowState::OwnerHidden,
             kRememberSize);
}

TEST(ShadowState, StartingAndStoppingFollowTheOwnersStyle) {
  ExpectStep(StartShadow(kVisible), ShadowState::Shown, kShowShadow | kRedrawShadow);
  ExpectStep(StartShadow(kMinimized), ShadowState::Hidden, kShadowNothing);
  ExpectStep(StopShadow(ShadowState::Shown), ShadowState::Hidden, kHideShadow);
  ExpectStep(StopShadow(ShadowState::ShownOwnerUnseen), ShadowState::OwnerHidden, kHideShadow);
  ExpectStep(StopShadow(ShadowState::OwnerHidden), ShadowState::OwnerHidden, kHideShadow);
}

TEST(ShadowState, NoShadowWindowIgnoresTheOwnerUntilMade) {
  for (const OwnerEvent e : {OwnerEvent::Sized, OwnerEvent::Shown, OwnerEvent::Hidden, OwnerEvent::Moved,
                             OwnerEvent::SizeMoveEnded}) {
    ExpectStep(OnOwnerEvent(ShadowState::None, e, kVisible), ShadowState::None, kShadowNothing);
  }
}

TEST(ShadowState, EveryStepEndsInANamedStateAndShowsOnlyWhatIsShown) {
  const std::vector<ShadowState> named = {ShadowState::None, ShadowState::OwnerHidden,
                                          ShadowState::ShownOwnerUnseen, ShadowState::Hidden,
                                          ShadowState::Shown};
  const std::vector<OwnerEvent> events = {OwnerEvent::Destroyed, OwnerEvent::Moved,        OwnerEvent::Sized,
                                          OwnerEvent::Painted,   OwnerEvent::Shown,        OwnerEvent::Hidden,
                                          OwnerEvent::Activated, OwnerEvent::SizeMoveEnded};
  const auto isNamed = [&](ShadowState s) {
    for (ShadowState n : named) {
      if (n == s) return true;
    }
    return false;
  };
  for (ShadowState s : named) {
    for (OwnerEvent e : events) {
      for (int facts = 0; facts < 8; ++facts) {
        const OwnerFacts f{(facts & 1) != 0, (facts & 2) != 0, (facts & 4) != 0};
        const ShadowStep step = OnOwnerEvent(s, e, f);
        EXPECT_TRUE(isNamed(step.state)) << int(s) << " " << int(e) << " " << facts;
        if (step.actions & kShowShadow) {
          EXPECT_TRUE(IsShadowShown(step.state));
        }
        if (step.actions & kHideShadow) {
          EXPECT_FALSE(IsShadowShown(step.state));
        }
        EXPECT_FALSE((step.actions & kShowShadow) && (step.actions & kHideShadow));
        // Only the owner's end takes the shadow window away.
        EXPECT_EQ((step.actions & kDestroyShadow) != 0, e == OwnerEvent::Destroyed);
      }
    }
  }
}

}  // namespace
}  // namespace VELO::render
