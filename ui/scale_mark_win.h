// The mark of the shown temperature on the panel's scale: a marker on the
// bar of the first look, the gauge's arc filled up to the value on the
// second. Drawn from the value the panel shows at each repaint (the panel
// repaints only when that value changes); nothing while there is none.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>

#include <memory>

#include "velo/core/mcontrol.h"

namespace ostrel::ui {

class ScaleMark final : public VELO::MControl {
 public:
  // Covers `client`, beneath every other control; no input.
  ScaleMark(VELO::MObject* owner, UINT id, VELO::CRect client);
  ~ScaleMark() override;

  const wchar_t* GetClassNameW() const override { return L"ScaleMark"; }
  // 0: the bar ("img_cpu_bkg5.png"); any other: the gauge ("img_cpu_bkg6.png").
  void SetLook(int tempe_type) noexcept { gauge_ = tempe_type != 0; }
  void DrawControl(HDC& dc, VELO::CRect paint) override;

 private:
  bool gauge_ = false;
  std::unique_ptr<Gdiplus::Bitmap> arc_;  // the whole gauge arc, drawn once
};

}  // namespace ostrel::ui
