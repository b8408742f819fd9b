// The paint step of a layered window, read back from the screen: the pushed
// pixels (premultiplied, with alpha) of the background, a translucent area
// and the CPU-temperature readout; the edit caret; the per-window caches.
#include <gtest/gtest.h>

#include "tests/velo/paint_support.h"
#include "velo/controls/carea.h"
#include "velo/controls/mpicture.h"
#include "velo/core/manager.h"

using namespace velo_test;

namespace {

// Pixels of a region, for comparing one frame with the next.
std::vector<Argb> Region(const Canvas& c, CRect r) {
  std::vector<Argb> out;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) out.push_back(c.Pixel(x, y));
  return out;
}

int CountBright(const std::vector<Argb>& pixels) {
  int n = 0;
  for (Argb p : pixels) n += Red(p) > 200 && Green(p) > 200 && Blue(p) > 200 ? 1 : 0;
  return n;
}

TEST(PaintLayered, BackgroundAreaAlphaAndTheReadoutArePushedWithTheWindow) {
  HostWindow w(200, 150, 340, 250, true);
  ASSERT_TRUE(w.hwnd());

  // No background image: a border of 0x646464 and a fill of 0xC8C8C8, both at
  // alpha 254, premultiplied in the pushed bitmap.
  PaintNow(w.hwnd());
  auto shot = Grab(w.hwnd());
  EXPECT_TRUE(Near(shot->Pixel(0, 0), 0xFE636363u)) << std::hex << shot->Pixel(0, 0);
  EXPECT_TRUE(Near(shot->Pixel(339, 249), 0xFE636363u)) << std::hex << shot->Pixel(339, 249);
  EXPECT_TRUE(Near(shot->Pixel(170, 30), 0xFEC7C7C7u)) << std::hex << shot->Pixel(170, 30);

  // A background whose left half is transparent and right half opaque blue,
  // and a default CArea (white at 80 % transparency) across both halves.
  auto bk = std::make_unique<Gdiplus::Bitmap>(340, 250, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(bk.get());
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    Gdiplus::SolidBrush blue(Gdiplus::Color(0xFF0000FF));
    g.FillRectangle(&blue, 170, 0, 170, 250);
  }
  ASSERT_TRUE(SavePng(*bk, L"paint_bk_half.png"));
  ASSERT_TRUE(w.pm.LoadBKImage(L"paint_bk_half.png"));
  VELO::MControl* area = w.pm.CreateArea(&w, L"CArea", 7, CRect(100, 200, 240, 240), nullptr, 1, 0);
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->IsEnabled(), 1);  // areas are always built enabled
  PaintNow(w.hwnd());
  shot = Grab(w.hwnd());
  EXPECT_EQ(Alpha(shot->Pixel(20, 20)), 0) << std::hex << shot->Pixel(20, 20);  // transparent stays so
  EXPECT_TRUE(Near(shot->Pixel(300, 20), 0xFF0000FFu)) << std::hex << shot->Pixel(300, 20);
  // White at alpha 254 x 20 %: alpha about 51 over nothing, white mixed into
  // the blue over the opaque half.
  const Argb overClear = shot->Pixel(120, 220);
  EXPECT_NEAR(Alpha(overClear), 51, 3) << std::hex << overClear;
  EXPECT_NEAR(Red(overClear), 51, 3);
  const Argb overBlue = shot->Pixel(220, 220);
  EXPECT_GE(Alpha(overBlue), 253);
  EXPECT_NEAR(Red(overBlue), 51, 3);
  EXPECT_GE(Blue(overBlue), 253);

  // The readout: digits in the box (W/2 - 55, 100, 120, 60), changing with
  // the temperature, nothing drawn outside it.
  const CRect box(170 - 55, 100, 170 + 65, 160);
  const CRect beside(0, 60, 110, 100);
  VELO::Manager::SetCPUTemp(42.7f);
  w.pm.EnableDrawInfo(TRUE);
  PaintNow(w.hwnd());
  shot = Grab(w.hwnd());
  const auto first = Region(*shot, box);
  const auto besideFirst = Region(*shot, beside);
  EXPECT_GT(CountBright(first), 40);
  VELO::Manager::SetCPUTemp(88.0f);
  PaintNow(w.hwnd());
  shot = Grab(w.hwnd());
  const auto second = Region(*shot, box);
  EXPECT_GT(CountBright(second), 40);
  EXPECT_NE(first, second);
  EXPECT_EQ(Region(*shot, beside), besideFirst);
  VELO::Manager::SetCPUTemp(42.0f);  // same integer part as 42.7: same digits
  PaintNow(w.hwnd());
  EXPECT_EQ(Region(*Grab(w.hwnd()), box), first);
  VELO::Manager::SetCPUTemp(0.0f);
}

TEST(PaintCaret, InvertsWhereItIsBlinksFollowsItsPositionAndIsSolidInALayeredWindow) {
  HostWindow w(520, 320, 200, 100, true);
  constexpr Argb kGrey = 0xFEC7C7C7u, kCaret = 0xFF383838u;  // the grey inverted, made solid
  const auto at = [&](int x, int y) { return Grab(w.hwnd())->Pixel(x, y); };
  w.pm.CreateCaret(nullptr, 2, 16);
  w.pm.SetCaretPos(nullptr, 50, 20);
  w.pm.ShowCaret(TRUE);
  PaintNow(w.hwnd());
  EXPECT_TRUE(Near(at(50, 20), kCaret, 3)) << std::hex << at(50, 20);
  EXPECT_TRUE(Near(at(51, 35), kCaret, 3)) << std::hex << at(51, 35);
  EXPECT_TRUE(Near(at(52, 25), kGrey)) << std::hex << at(52, 25);  // 2 wide
  EXPECT_TRUE(Near(at(50, 36), kGrey)) << std::hex << at(50, 36);  // 16 high

  // It blinks at the system's rate: off and on again within three periods.
  const UINT blink = ::GetCaretBlinkTime();
  ASSERT_LT(blink, 2000u);
  int changes = 0;
  bool on = true;
  for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 3 * blink && changes < 2;) {
    Pump(20);
    const bool now = Near(at(50, 25), kCaret, 3);
    if (now != on) ++changes;
    on = now;
  }
  EXPECT_GE(changes, 2);

  // Moved: the old place is clean, the new one shows it.
  w.pm.SetCaretPos(nullptr, 120, 40);
  w.pm.ShowCaret(TRUE);
  PaintNow(w.hwnd());
  EXPECT_TRUE(Near(at(50, 25), kGrey)) << std::hex << at(50, 25);
  EXPECT_TRUE(Near(at(120, 45), kCaret, 3)) << std::hex << at(120, 45);

  // Hidden: gone, and the blinking stops.
  w.pm.ShowCaret(FALSE);
  PaintNow(w.hwnd());
  Pump(static_cast<int>(2 * blink));
  EXPECT_TRUE(Near(at(120, 45), kGrey)) << std::hex << at(120, 45);
}

TEST(PaintCaches, ImagesLoadOncePerWindowAndFontsAndImagesGoWithTheWindow) {
  ASSERT_TRUE(
      SavePng(*MakeStrip({0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF808080u}, 10, 6), L"cache_a.png"));
  auto first = std::make_unique<HostWindow>(50, 50, 100, 80, true);
  HostWindow second(200, 50, 100, 80, true);
  VELO::PaintManager& pm = first->pm;
  EXPECT_EQ(pm.GetFontCache().MemoryFontCount(), 1u);
  pm.Init(first->hwnd(), first.get());  // bound again: the font is not added twice
  EXPECT_EQ(pm.GetFontCache().MemoryFontCount(), 1u);

  VELO::ImgResInfo* a = pm.AddImgResInfo(L"cache_a.png", 4);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(pm.AddImgResInfo(L"cache_a.png", 1), a);  // the first frame count stays
  EXPECT_EQ(a->frameCount, 4);
  EXPECT_EQ(a->frameWidth, 10);
  EXPECT_EQ(a->frameHeight, 6);
  EXPECT_EQ(pm.GetImageCache().LoadCount(), 1);
  EXPECT_EQ(pm.AddImgResInfo(L"CACHE_A.PNG", 4) == a, false);  // names are exact
  // Another window loads its own copy.
  VELO::ImgResInfo* b = second.pm.AddImgResInfo(L"cache_a.png", 4);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(b, a);
  EXPECT_EQ(second.pm.GetImageCache().LoadCount(), 1);

  // A missing image is not cached: the next call tries again and finds it.
  ::DeleteFileW(SkinFile(L"cache_late.png").c_str());
  EXPECT_EQ(pm.AddImgResInfo(L"cache_late.png", 1), nullptr);
  ASSERT_TRUE(SavePng(*MakeStrip({0xFF00FF00u}, 4, 4), L"cache_late.png"));
  EXPECT_NE(pm.AddImgResInfo(L"cache_late.png", 1), nullptr);

  // The library's own resources: the scroll bars (four frames) and the font.
  VELO::ImgResInfo* scroll = pm.AddImgResInfo(pm.GetScrollVID(), L"PNG", 4, FALSE);
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(scroll->frameWidth, 10);
  EXPECT_EQ(scroll->frameHeight, 40);
  VELO::ImgResInfo* hscroll = pm.AddImgResInfo(pm.GetScrollHID(), L"PNG", 4, FALSE);
  ASSERT_NE(hscroll, nullptr);
  EXPECT_EQ(hscroll->frameWidth, 40);
  EXPECT_EQ(pm.AddImgResInfo(555, L"PNG", 4, FALSE), nullptr);
  EXPECT_NE(pm.AddTempFont(L"velo", 106u), nullptr);

  first.reset();  // the window goes: its caches with it (checked on the
                  // manager before its destruction by DestroyData)
  EXPECT_EQ(second.pm.GetImageCache().Count(), 1u);
  second.pm.DestroyData();
  EXPECT_EQ(second.pm.GetImageCache().Count(), 0u);
  EXPECT_EQ(second.pm.GetFontCache().MemoryFontCount(), 0u);
}

TEST(PaintImages, MissingOrBrokenSkinImagesDrawNothingAndNeverCrash) {
  HostWindow w(60, 300, 200, 120, true);
  ASSERT_TRUE(SavePng(*MakeStrip({0xFFFF0000u}, 30, 30), L"good.png"));
  WriteSkinBytes(L"empty.png", {});
  {
    std::vector<uint8_t> png = ReadWholeFile(SkinFile(L"good.png"));
    ASSERT_GT(png.size(), 40u);
    png.resize(png.size() / 2);
    WriteSkinBytes(L"truncated.png", png);
  }
  {
    Gdiplus::Bitmap tall(1, 100000, PixelFormat32bppARGB);
    ASSERT_TRUE(SavePng(tall, L"tall.png"));
  }
  auto* picture = static_cast<VELO::MPicture*>(
      w.pm.CreateControl(&w, L"MPicture", 1, CRect(10, 10, 90, 90), nullptr, 1, 1));
  ASSERT_NE(picture, nullptr);
  EXPECT_TRUE(picture->SetImage(L"good.png", 1));
  PaintNow(w.hwnd());
  EXPECT_TRUE(Near(Grab(w.hwnd())->Pixel(12, 50), 0xFFFF0000u));  // mode 0: left edge, centred vertically

  for (const wchar_t* broken : {L"missing.png", L"empty.png", L"truncated.png"}) {
    EXPECT_FALSE(picture->SetImage(broken, 1)) << static_cast<const void*>(broken);
    PaintNow(w.hwnd());
    auto shot = Grab(w.hwnd());
    EXPECT_TRUE(Near(shot->Pixel(12, 50), 0xFEC7C7C7u)) << std::hex << shot->Pixel(12, 50);
    EXPECT_TRUE(Near(shot->Pixel(50, 50), 0xFEC7C7C7u));
  }
  // A 1 x 100000 image: whatever it draws stays inside the control.
  picture->SetImage(L"tall.png", 1);
  picture->SetShowMode(VELO::SHOW_TILE, 0);
  PaintNow(w.hwnd());
  auto shot = Grab(w.hwnd());
  EXPECT_TRUE(Near(shot->Pixel(5, 50), 0xFEC7C7C7u));
  EXPECT_TRUE(Near(shot->Pixel(95, 50), 0xFEC7C7C7u));

  // Through the window's cache (buttons): a broken strip is refused and the
  // button keeps drawing without it.
  auto* button = static_cast<VELO::MControlFont*>(
      w.pm.CreateControl(&w, L"MButton", 2, CRect(100, 10, 190, 40), L"ok", 1, 1));
  ASSERT_NE(button, nullptr);
  for (const wchar_t* broken : {L"missing.png", L"empty.png", L"truncated.png"}) {
    EXPECT_EQ(button->SetImage(broken, 4), 0);
  }
  EXPECT_EQ(button->GetImage(), nullptr);
  PaintNow(w.hwnd());
}

}  // namespace
