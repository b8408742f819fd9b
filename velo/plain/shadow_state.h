// The life of a window's drop shadow as its owner window goes through its
// messages: which state the shadow is in, and what the shadow window must do
// when the owner is shown, hidden, sized, moved or destroyed. The values of
// the states are the bits MShadow reports from GetState: 1 the shadow window
// exists, 2 it is on screen, 4 the owner was seen shown.
#pragma once

#include <cstdint>

namespace VELO::render {

enum class ShadowState : std::uint8_t {
  None = 0,         // no shadow window, or its owner is gone
  OwnerHidden = 1,  // made while the owner was hidden
  // On screen, though the owner was made visible without a show message
  // (a position change that showed it): the next show message still counts.
  ShownOwnerUnseen = 3,
  Hidden = 5,  // the owner is visible, but minimised, maximised or the shadow is off
  Shown = 7,
};

enum class OwnerEvent : std::uint8_t {
  Destroyed,      // WM_DESTROY
  Moved,          // WM_MOVE, WM_WINDOWPOSCHANGED
  Sized,          // WM_SIZE
  Painted,        // WM_PAINT
  Shown,          // WM_SHOWWINDOW, shown
  Hidden,         // WM_SHOWWINDOW, hidden
  Activated,      // WM_ACTIVATEAPP, WM_NCACTIVATE
  SizeMoveEnded,  // WM_EXITSIZEMOVE
};

// What the owner looks like when the event arrives.
struct OwnerFacts {
  bool visible = false;               // WS_VISIBLE
  bool minimizedOrMaximized = false;  // WM_SIZE's kind, or the style's bits
  bool grew = false;                  // WM_SIZE: wider or taller than the last size
};

// Things for the shadow window to do, in this order.
enum ShadowAction : unsigned {
  kShadowNothing = 0,
  kDestroyShadow = 1u << 0,
  kHideShadow = 1u << 1,
  kShowShadow = 1u << 2,
  kMoveShadow = 1u << 3,       // to the owner's new position, just behind it
  kKeepBehindOwner = 1u << 4,  // z-order only
  kRedrawShadow = 1u << 5,     // now
  kRedrawOnPaint = 1u << 6,    // at the owner's next paint: it has not painted its new size yet
  kRedrawIfPending = 1u << 7,  // the owner paints: a redraw waiting for it happens now
  kRememberSize = 1u << 8,     // the size WM_SIZE brings is the one the next one compares with
};

struct ShadowStep {
  ShadowState state = ShadowState::None;
  unsigned actions = kShadowNothing;
};

// Where the shadow starts when it is made or turned back on: on screen only
// beside a visible owner of normal size.
ShadowStep StartShadow(const OwnerFacts& owner) noexcept;
// Turning the shadow off hides it.
ShadowStep StopShadow(ShadowState state) noexcept;
ShadowStep OnOwnerEvent(ShadowState state, OwnerEvent event, const OwnerFacts& owner) noexcept;

bool IsShadowShown(ShadowState state) noexcept;

}  // namespace VELO::render
