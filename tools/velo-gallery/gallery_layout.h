// Where velo-gallery puts everything, in screen pixels of the picture it
// saves (the capture starts at the screen's origin). The check test reads
// the same numbers.
#pragma once

namespace velo_gallery {

struct Box {
  int left, top, right, bottom;
  int cx() const { return (left + right) / 2; }
  int cy() const { return (top + bottom) / 2; }
};

// The whole picture.
constexpr Box kCapture{0, 0, 920, 560};
// The dialog's window on the screen; control boxes below are client
// coordinates of the dialog.
constexpr Box kDialog{40, 40, 660, 480};
constexpr int kFrameBorder = 24;
constexpr Box kPopup{700, 60, 890, 220};

constexpr Box kTitle{30, 14, 590, 40};
constexpr Box kPicture{30, 56, 126, 152};
constexpr Box kTextLeft{150, 56, 380, 80};
constexpr Box kTextCenter{150, 84, 380, 108};
constexpr Box kTextRight{150, 112, 380, 136};
constexpr Box kTextMulti{400, 56, 590, 136};
constexpr Box kTextLong{150, 146, 590, 170};
constexpr Box kButtons[4] = {
    {30, 196, 150, 232}, {170, 196, 290, 232}, {310, 196, 430, 232}, {450, 196, 570, 232}};
constexpr Box kArea{30, 256, 590, 316};
constexpr Box kBalloonAnchor{30, 330, 150, 360};
constexpr Box kTooltipTarget{450, 330, 570, 360};
constexpr Box kOverlay{320, 372, 520, 420};

// Colours of the generated artwork (0xAARRGGBB).
constexpr unsigned kFrameEdge = 0xFF2B3A55u;
constexpr unsigned kFramePanel = 0xFFE9EEF5u;
constexpr unsigned kButtonFrames[4] = {0xFF2F6FD0u, 0xFF4C8DF0u, 0xFF1F4A8Cu, 0xFF9AA3AFu};
constexpr unsigned kPictureCore = 0xFFE08A1Eu;
constexpr unsigned kAreaColor = 0x0000A040u;  // COLORREF: green-teal
constexpr unsigned kPopupPanel = 0xFFFDF6E3u;

}  // namespace velo_gallery
