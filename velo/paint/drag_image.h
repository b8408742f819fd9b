// The picture that follows the cursor while a control is dragged: a
// click-through, topmost, layered window showing the control's drop bitmap
// centred on the cursor. It is our own window rather than the shell's drag
// image helper, so it looks the same wherever the drag goes and on systems
// without that helper.
#pragma once

#include <windows.h>

#include "common/win/window_handle.h"

namespace VELO {

class DragImage {
 public:
  // Shows a copy of the picture of `bitmap` centred on `centre` (screen
  // coordinates); nothing is shown when the bitmap cannot be read.
  DragImage(HBITMAP bitmap, POINT centre) noexcept;
  DragImage(const DragImage&) = delete;
  DragImage& operator=(const DragImage&) = delete;

  void MoveTo(POINT centre) noexcept;
  HWND GetWindow() const noexcept { return m_window.get(); }

  // Window class of the image, for finding it from outside.
  static const wchar_t* ClassName() noexcept { return L"VeloDragImage"; }

 private:
  ostrel::win::unique_window m_window;
  SIZE m_size{};
};

}  // namespace VELO
