// Services the window offers beside painting: the balloon-tip hook that the
// balloon window's module installs, the shadow settings its shadow window
// reads, and a control rendered alone for drag images.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/velo/paint_support.h"
#include "velo/controls/carea.h"

using namespace velo_test;

namespace {

struct BalloonLog {
  HWND owner = nullptr;
  std::vector<std::wstring> calls;
};
BalloonLog* g_balloon = nullptr;

class FakeBalloon : public VELO::BalloonTip {
 public:
  void LoadImages(const wchar_t* bk, const wchar_t* left, const wchar_t* right, const wchar_t* top) override {
    g_balloon->calls.push_back(std::wstring(L"images ") + bk + L" " + left + L" " + right + L" " + top);
  }
  void SetMessage(const VELO::CString& text, POINT pt, VELO::AIRBLADDER_TYPE type,
                  VELO::AIRBLADDER_MODE) override {
    g_balloon->calls.push_back(L"message " + text.str() + L" " + std::to_wstring(pt.x) + L" " +
                               std::to_wstring(type));
  }
  BOOL Show(BOOL show) override {
    g_balloon->calls.push_back(show ? L"show" : L"hide");
    return TRUE;
  }
};

TEST(PaintServices, BalloonHookShadowSettingsAndDragImages) {
  HostWindow w(650, 500, 200, 100, true);
  BalloonLog log;
  g_balloon = &log;

  // No balloon module installed: nothing to show.
  w.pm.SetAirBladderMsg(L"hi", POINT{1, 2}, VELO::AIRBLADDER_LEFT, VELO::AIRBLADDER_MODE_NORMAL);
  EXPECT_EQ(w.pm.GetAirBladder(), nullptr);
  EXPECT_EQ(w.pm.ShowAirBladder(TRUE, 5), FALSE);

  VELO::PaintManager::SetBalloonFactory([](HWND owner) -> std::unique_ptr<VELO::BalloonTip> {
    g_balloon->owner = owner;
    return std::make_unique<FakeBalloon>();
  });
  w.pm.SetAirBladderMsg(L"hi", POINT{7, 2}, VELO::AIRBLADDER_TOP, VELO::AIRBLADDER_MODE_NORMAL);
  w.pm.SetAirBladderMsg(L"again", POINT{8, 2}, VELO::AIRBLADDER_LEFT, VELO::AIRBLADDER_MODE_NORMAL);
  EXPECT_EQ(log.owner, w.hwnd());
  EXPECT_EQ(log.calls,
            (std::vector<std::wstring>{
                L"images img_tip_bk.png img_tip_arrow_left.png img_tip_arrow_right.png img_tip_arrow_top.png",
                L"message hi 7 2", L"message again 8 0"}));
  log.calls.clear();
  EXPECT_EQ(w.pm.ShowAirBladder(TRUE, 5), TRUE);
  EXPECT_EQ(w.pm.ShowAirBladder(FALSE, 6), FALSE);  // not the owner that showed it
  EXPECT_EQ(w.pm.ShowAirBladder(FALSE, 5), TRUE);
  EXPECT_EQ(w.pm.ShowAirBladder(FALSE, 0), TRUE);  // no owner given: always
  EXPECT_EQ(log.calls, (std::vector<std::wstring>{L"show", L"hide", L"hide"}));
  VELO::PaintManager::SetBalloonFactory(nullptr);

  // Shadow settings are stored for the shadow window, each change counted.
  const unsigned before = w.pm.GetShadowSettings().revision;
  w.pm.CreateShadow(TRUE, true);
  w.pm.SetSize(-3);
  w.pm.SetSharpness(9);
  w.pm.SetDarkness(120);
  w.pm.SetPosition(2, 4);
  w.pm.SetShadowColor(0x00102030);
  w.pm.SetShadowImage(L"shadow.png", CRect(8, 8, 8, 8));
  const VELO::ShadowSettings& s = w.pm.GetShadowSettings();
  EXPECT_EQ(s.created, 1);
  EXPECT_EQ(s.show, 1);
  EXPECT_TRUE(s.flag);
  EXPECT_EQ(s.size, -3);
  EXPECT_EQ(s.sharpness, 9u);
  EXPECT_EQ(s.darkness, 120u);
  EXPECT_EQ(s.x + s.y, 6);
  EXPECT_EQ(s.color, 0x00102030u);
  EXPECT_EQ(s.imageName, VELO::CString(L"shadow.png"));
  EXPECT_EQ(s.revision, before + 7);
  w.pm.SetShadowImage(12u, CRect());
  EXPECT_TRUE(s.imageName.IsEmpty());
  EXPECT_EQ(s.imageId, 12u);

  // A control rendered alone, at its window position, into a bitmap of its
  // own size; a colour with alpha tints it.
  auto* area =
      static_cast<VELO::CArea*>(w.pm.CreateControl(&w, L"CArea", 1, CRect(10, 10, 50, 40), nullptr, 1, 1));
  ASSERT_NE(area, nullptr);
  area->SetTransparent(0, 0, 0x000000FF);  // opaque red
  EXPECT_EQ(w.pm.GenerateBitmap(nullptr, area->GetRect(), 0), nullptr);
  for (const DWORD tint : {0x00000000u, 0x800000FFu}) {
    ostrel::win::unique_hbitmap bitmap(w.pm.GenerateBitmap(area, area->GetRect(), tint));
    ASSERT_TRUE(bitmap);
    BITMAP bm{};
    ::GetObjectW(bitmap.get(), sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 40);
    EXPECT_EQ(bm.bmHeight, 30);
    Canvas canvas(40, 30);
    {
      ostrel::win::unique_hdc src(::CreateCompatibleDC(nullptr));
      ostrel::win::scoped_select sel(src.get(), bitmap.get());
      ::BitBlt(canvas.dc(), 0, 0, 40, 30, src.get(), 0, 0, SRCCOPY);
    }
    const Argb p = canvas.Pixel(20, 15);
    EXPECT_GT(Red(p), 100) << std::hex << p;
    if (tint) {
      EXPECT_GT(Blue(p), 100) << std::hex << p;
    } else {
      EXPECT_LT(Blue(p), 10) << std::hex << p;
    }
  }
  PaintNow(w.hwnd());
  EXPECT_TRUE(Near(Grab(w.hwnd())->Pixel(20, 20), 0xFEFE0000u, 3))
      << std::hex << Grab(w.hwnd())->Pixel(20, 20);
  g_balloon = nullptr;
}

}  // namespace
