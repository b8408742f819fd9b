// MPicture: a skin image drawn by show mode (natural size placed by the
// alignments, tiled, stretched, nine-part by corner or by margins, or a
// source rectangle stretched). It owns its image, outside the window cache.
#pragma once

#include <memory>

#include "velo/controls/mcontrol_font.h"

namespace VELO {

enum enumShowMode {
  SHOW_NORMAL = 0,
  SHOW_TILE = 1,
  SHOW_STRETCH = 2,
  SHOW_FRAME = 3,
  SHOW_FRAME_MID = 4,
  SHOW_CUSTOM = 5
};

class VELO_API MPicture : public MControlFont {
 public:
  MPicture(MObject* owner, UINT id, CRect rc, BOOL visible, BOOL enabled);
  ~MPicture() override;

  const wchar_t* GetClassNameW() const override { return L"MPicture"; }
  void DrawControl(HDC& dc, CRect paintRect) override;
  BOOL SetImage(UINT id, CString type, int frames) override;
  BOOL SetImage(const wchar_t* name, int frames) override;

  BOOL SetShowMode(enumShowMode mode, int corner);
  int SetShowModeMID(int left, int top, int right, int bottom);
  void SetCustomRect(CRect rc) noexcept { m_rcCustom = rc; }
  int GetShowMode() const noexcept { return m_nShowMode; }

 private:
  void Adopt(std::unique_ptr<Gdiplus::Image> image, int frames);
  void DrawImage(Gdiplus::Graphics& g, int w, int h);

  int m_nShowMode = 0;
  int m_nCorner = 4;
  int m_nMarginLeft = 0, m_nMarginTop = 0, m_nMarginRight = 0, m_nMarginBottom = 0;
  CRect m_rcCustom;
  std::unique_ptr<Gdiplus::Image> m_ownImage;
};

}  // namespace VELO
