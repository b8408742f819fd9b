#include "velo/plain/shadow_state.h"

namespace VELO::render {

namespace {

constexpr std::uint8_t kMade = 1;
constexpr std::uint8_t kOnScreen = 2;
constexpr std::uint8_t kOwnerSeen = 4;

constexpr std::uint8_t Bits(ShadowState s) noexcept { return static_cast<std::uint8_t>(s); }
constexpr ShadowState With(ShadowState s, std::uint8_t set, std::uint8_t clear = 0) noexcept {
  return static_cast<ShadowState>((Bits(s) | set) & ~clear);
}

ShadowStep OnSized(ShadowState s, const OwnerFacts& owner) noexcept {
  if (!(Bits(s) & kMade)) return {s, kShadowNothing};
  if (owner.minimizedOrMaximized) return {With(s, 0, kOnScreen), kHideShadow | kRememberSize};
  if (!owner.visible) return {s, kRememberSize};
  unsigned actions = kRememberSize | (owner.grew ? kRedrawOnPaint : kRedrawShadow);
  if (!(Bits(s) & kOnScreen)) actions |= kShowShadow;
  return {With(s, kOnScreen), actions};
}

ShadowStep OnShowMessage(ShadowState s, bool shown) noexcept {
  if (!(Bits(s) & kMade)) return {s, kShadowNothing};
  if (!shown) return {With(s, 0, kOnScreen | kOwnerSeen), kHideShadow};
  if (Bits(s) & kOwnerSeen) return {s, kShadowNothing};
  return {With(s, kOnScreen | kOwnerSeen), kShowShadow | kRedrawOnPaint};
}

}  // namespace

bool IsShadowShown(ShadowState state) noexcept { return Bits(state) & kOnScreen; }

ShadowStep StartShadow(const OwnerFacts& owner) noexcept {
  if (!owner.visible) return {ShadowState::OwnerHidden, kShadowNothing};
  if (owner.minimizedOrMaximized) return {ShadowState::Hidden, kShadowNothing};
  return {ShadowState::Shown, kShowShadow | kRedrawShadow};
}

ShadowStep StopShadow(ShadowState state) noexcept { return {With(state, 0, kOnScreen), kHideShadow}; }

ShadowStep OnOwnerEvent(ShadowState s, OwnerEvent event, const OwnerFacts& owner) noexcept {
  switch (event) {
    case OwnerEvent::Destroyed:
      return {ShadowState::None, kDestroyShadow};
    case OwnerEvent::Moved:
      return {s, IsShadowShown(s) ? kMoveShadow : kShadowNothing};
    case OwnerEvent::Sized:
      return OnSized(s, owner);
    case OwnerEvent::Painted:
      return {s, kRedrawIfPending};
    case OwnerEvent::Shown:
      return OnShowMessage(s, true);
    case OwnerEvent::Hidden:
      return OnShowMessage(s, false);
    case OwnerEvent::Activated:
      return {s, kKeepBehindOwner};
    case OwnerEvent::SizeMoveEnded:
      return {s, IsShadowShown(s) ? kRedrawShadow : kShadowNothing};
  }
  return {s, kShadowNothing};
}

}  // namespace VELO::render
