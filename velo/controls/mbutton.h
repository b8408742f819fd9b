// MButton: a skinned push button with four looks (normal, hover, pressed,
// disabled) taken from a strip of four frames. All four are rendered into
// one cached strip, so a change of state only copies another quarter.
#pragma once

#include <memory>

#include "velo/controls/mcontrol_font.h"

namespace VELO {

class VELO_API MButton : public MControlFont {
 public:
  enum State { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

  MButton(MObject* owner, UINT id, CRect rc, const wchar_t* title, BOOL visible, BOOL enabled);
  ~MButton() override;

  const wchar_t* GetClassNameW() const override { return L"MButton"; }
  void DrawControl(HDC& dc, CRect paintRect) override;
  void SetControlEnabled(int enabled) override;
  int OnControlMouseMove(UINT keys, CPoint pt) override;
  int OnControlLButtonDown(UINT keys, CPoint pt) override;
  int OnControlLButtonUp(UINT keys, CPoint pt) override;
  int OnControlKeyDown(UINT vk, UINT repeat, UINT flags) override;

  void SetFrameSize(int corner) noexcept { m_nCorner = corner; }
  void SetTextRect(CRect rc) noexcept { m_rcText = rc; }
  BOOL SetIconImage(const wchar_t* name, int frames);
  int GetState() const noexcept { return m_nState; }

 protected:
  int m_nState = kNormal;
  std::unique_ptr<Gdiplus::Image> m_pIconImage;
  int m_nIconWidth = 0;
  int m_nIconHeight = 0;
  int m_nIconCount = 4;
  int m_nCorner = 8;
  CRect m_rcIcon;
  CRect m_rcText;

 private:
  // Returns 1 (and asks for a repaint from the cache) when the state changed.
  int ChangeState(int state);
};

}  // namespace VELO
