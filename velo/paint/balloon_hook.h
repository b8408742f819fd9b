// The balloon tip of a window is a window class of its own (MAirBladder),
// built beside the dialog. The paint manager reaches it only through this
// interface, made on first use by the factory the balloon's module installs
// with PaintManager::SetBalloonFactory. Without a factory there is no balloon.
#pragma once

#include <windows.h>

#include <memory>

#include "velo/core/cstring.h"
#include "velo/core/velo_api.h"

namespace VELO {

// The balloon hides itself after 5 seconds unless its type is
// AIRBLADDER_STAYS.
enum AIRBLADDER_TYPE { AIRBLADDER_LEFT = 0, AIRBLADDER_RIGHT = 1, AIRBLADDER_TOP = 2, AIRBLADDER_STAYS = 4 };
// Placement beside the anchor point (the balloon window's modes 1 to 5); the
// last one also keeps the balloon when it loses the focus.
enum AIRBLADDER_MODE {
  AIRBLADDER_MODE_NORMAL = 0,
  AIRBLADDER_MODE_AUTOHIDE = 1,
  AIRBLADDER_RIGHT_OF_POINT = 1,
  AIRBLADDER_LEFT_OF_POINT = 2,
  AIRBLADDER_BELOW_POINT = 3,
  AIRBLADDER_ABOVE_POINT = 4,
  AIRBLADDER_RIGHT_KEPT = 5
};

class VELO_API BalloonTip {
 public:
  virtual ~BalloonTip() = default;
  // Images are file names in the skin folder: background, and the arrows
  // pointing left, right and up.
  virtual void LoadImages(const wchar_t* background, const wchar_t* arrowLeft, const wchar_t* arrowRight,
                          const wchar_t* arrowTop) = 0;
  virtual void SetMessage(const CString& text, POINT pt, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode) = 0;
  // The result of showing or hiding the balloon window.
  virtual BOOL Show(BOOL show) = 0;
};

// Makes the balloon of the window `owner`: title "AirBladder Window", style
// 0x96000080.
using BalloonFactory = std::unique_ptr<BalloonTip> (*)(HWND owner);

}  // namespace VELO
