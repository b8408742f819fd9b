// velo-gallery: one dialog showing every control of VELO in each of its
// states, with the windows that accompany a dialog (shadow, balloon,
// overlay, tooltip, pop-up). It saves what the screen shows as PNG files
// and exits, for review, for the README's pictures and for the CI check.
//
//   velo-gallery.exe [output-folder]     writes gallery.png, gallery-dialog.png
//
// Exit code 0 when the pictures were written, 1 otherwise.
#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After objidl.h, whatever include sorting would prefer.
#include <gdiplus.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "common/win/unique_any.h"
#include "tools/velo-gallery/gallery_art.h"
#include "tools/velo-gallery/gallery_layout.h"
#include "velo/controls/carea.h"
#include "velo/controls/mbutton.h"
#include "velo/controls/mpicture.h"
#include "velo/controls/mtext.h"
#include "velo/core/manager.h"
#include "velo/core/mdialog.h"
#include "velo/core/mpopupwnd.h"

using VELO::CRect;
using namespace velo_gallery;

namespace {

constexpr UINT kCaptureTimer = 1;
constexpr UINT kBalloonTimer = 2;
// Light page the translucent windows are shown over in the pictures.
constexpr unsigned kPage = 0xFFD9DEE6u;

CRect R(const Box& b) { return CRect(b.left, b.top, b.right, b.bottom); }

// A button held in one state, so that all four frames show at once.
class StateButton : public VELO::MButton {
 public:
  StateButton(VELO::MObject* owner, UINT id, const Box& box, const wchar_t* title, int state)
      : MButton(owner, id, R(box), title, TRUE, state != kDisabled) {
    m_nState = state;
  }
  int OnControlMouseMove(UINT, VELO::CPoint) override { return 0; }
};

VELO::MText* Text(VELO::MDialog& d, UINT id, const Box& box, const wchar_t* text, UINT h, UINT v) {
  auto* t = static_cast<VELO::MText*>(d.CreateControl(L"MText", id, R(box), text, TRUE, TRUE));
  if (!t) return nullptr;
  t->SetAlignment(h, v);
  t->SetTextColor(Gdiplus::Color(0xFF1C2433u));
  return t;
}

class GalleryPopup : public VELO::MPopupWnd {
 public:
  void InitUI(CRect) override {
    LoadBKImage(VELO::CString(L"gallery_popup.png"));
    SetBackMode(VELO::BACK_FRAME, 6);
    SetLayeredWindow(TRUE);
    auto* t = static_cast<VELO::MText*>(
        CreateControl(L"MText", 1, CRect(12, 10, 178, 40), L"Pop-up window", TRUE, TRUE));
    if (t) t->SetTextColor(Gdiplus::Color(0xFF3B2F00u));
    auto* b = static_cast<VELO::MButton*>(
        CreateControl(L"MButton", 2, CRect(40, 90, 150, 126), L"Choose", TRUE, TRUE));
    if (b) {
      b->SetImage(L"gallery_button.png", 4);
      b->SetTextColor(Gdiplus::Color(0xFFFFFFFFu));
    }
    m_pm.CreateShadow(TRUE, false);
    m_pm.SetShadowImage(L"gallery_shadow.png", CRect(12, 12, 12, 12));
  }
  // Left open for the picture even though it never takes the activation.
  int OnNcActivate(BOOL) override { return 1; }
};

class GalleryDialog : public VELO::MDialog {
 public:
  bool saved = false;
  std::wstring folder;

  void InitUI(CRect) override {
    SetLayeredWindow(TRUE);
    LoadBKImage(VELO::CString(L"gallery_background.png"));
    SetBackMode(VELO::BACK_FRAME, kFrameBorder);
    EnableWndDrag(FALSE);

    if (auto* t = Text(*this, 1, kTitle, L"VELO control gallery", 0, 4)) {
      t->SetTextColor(Gdiplus::Color(0xFFFFFFFFu));
      t->SetFontWidth(15);
      t->SetFontStyle(Gdiplus::FontStyleBold);
    }
    if (auto* p =
            static_cast<VELO::MPicture*>(CreateControl(L"MPicture", 2, R(kPicture), nullptr, TRUE, TRUE))) {
      p->SetImage(L"gallery_picture.png", 1);
      p->SetShowMode(VELO::SHOW_STRETCH, 0);
    }
    Text(*this, 3, kTextLeft, L"Left aligned", 0, 4);
    Text(*this, 4, kTextCenter, L"Centred", 1, 4);
    Text(*this, 5, kTextRight, L"Right aligned", 2, 4);
    if (auto* t = Text(*this, 6, kTextMulti, L"Multi-line text\nsecond line\nthird line", 0, 0)) {
      t->EnableMultiLine(TRUE);
    }
    Text(*this, 7, kTextLong,
         L"A long text that runs on past the width of its box, to show how the control cuts it off at the "
         L"edge",
         0, 4);
    const wchar_t* titles[4] = {L"Normal", L"Hover", L"Pressed", L"Disabled"};
    for (int i = 0; i < 4; ++i) {
      // Images load through the window's cache: file the button first.
      auto* button = static_cast<StateButton*>(
          m_pm.AddControl(std::make_unique<StateButton>(this, 10 + i, kButtons[i], titles[i], i), 1));
      if (!button) continue;
      button->SetImage(L"gallery_button.png", 4);
      button->SetTextColor(Gdiplus::Color(0xFFFFFFFFu));
    }
    if (auto* a = static_cast<VELO::CArea*>(CreateArea(L"CArea", 20, R(kArea), nullptr, TRUE, TRUE))) {
      a->SetDirection(1);
      a->SetTransparent(40, 220, kAreaColor);
    }
    if (auto* b = static_cast<VELO::MButton*>(
            CreateControl(L"MButton", 21, R(kBalloonAnchor), L"Balloon", TRUE, TRUE))) {
      b->SetImage(L"gallery_button.png", 4);
      b->SetTextColor(Gdiplus::Color(0xFFFFFFFFu));
    }
    if (auto* b = static_cast<VELO::MButton*>(
            CreateControl(L"MButton", 22, R(kTooltipTarget), L"Tooltip", TRUE, TRUE))) {
      b->SetImage(L"gallery_button.png", 4);
      b->SetTextColor(Gdiplus::Color(0xFFFFFFFFu));
      b->SetTooltip(L"A tooltip from the control");
    }
    CreateShadow(TRUE, false);
    SetSize(12);
    SetSharpness(10);
    SetDarkness(120);
    SetPosition(4, 6);
    SetTimer(kBalloonTimer, 300);
    SetTimer(kCaptureTimer, 1500);
  }

  void OnTimer(UINT id) override {
    KillTimer(id);
    if (id == kBalloonTimer) {
      SetMessage(VELO::CString(L"Overlay message"), R(kOverlay), VELO::MSG_INFO);
      SetAirBladderMsg(L"Balloon beside its control", GetAirBladderPoint(GetControl(21), 1),
                       VELO::AIRBLADDER_STAYS);
      // The tooltip shows for the control under the cursor.
      POINT pt{kTooltipTarget.cx(), kTooltipTarget.cy()};
      ClientToScreen(&pt);
      ::SetCursorPos(pt.x, pt.y);
      SendMessageW(WM_MOUSEMOVE, 0, MAKELPARAM(kTooltipTarget.cx(), kTooltipTarget.cy()));
      popup_.Create(m_hWnd, L"Gallery pop-up", WS_POPUP, 0, R(kPopup), nullptr);
      popup_.ShowWindow(SW_SHOWNOACTIVATE);
      return;
    }
    saved = Capture();
    popup_.DestroyWindow();
    DoOK();
  }

 private:
  bool Capture();
  GalleryPopup popup_;
};

bool SavePng(Gdiplus::Bitmap& image, const std::wstring& path) {
  const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

// The screen as it is, each pixel put over the light page: a layered
// window's pixels are premultiplied with their alpha; ordinary windows come
// with alpha 0 and colour, and are kept as they are.
bool GalleryDialog::Capture() {
  const int w = kCapture.right - kCapture.left;
  const int h = kCapture.bottom - kCapture.top;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  ostrel::win::unique_hbitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  ostrel::win::unique_hdc mem(::CreateCompatibleDC(nullptr));
  if (!dib || !mem || !bits) return false;
  {
    ostrel::win::scoped_select sel(mem.get(), dib.get());
    ostrel::win::unique_window_dc screen(nullptr);
    ::BitBlt(mem.get(), 0, 0, w, h, screen.get(), kCapture.left, kCapture.top, SRCCOPY);
  }
  auto* px = static_cast<unsigned*>(bits);
  Gdiplus::Bitmap out(w, h, PixelFormat32bppARGB);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned p = px[y * w + x];
      const unsigned a = p >> 24;
      unsigned rgb = p & 0x00FFFFFFu;
      if (a < 255 && !(a == 0 && rgb != 0)) {
        const auto over = [&](int shift) {
          const unsigned c = (p >> shift) & 0xFF;
          const unsigned page = (kPage >> shift) & 0xFF;
          return (c + page * (255 - a) / 255) << shift;
        };
        rgb = over(16) | over(8) | over(0);
      }
      out.SetPixel(x, y, Gdiplus::Color(0xFF000000u | rgb));
    }
  }
  if (!SavePng(out, folder + L"\\gallery.png")) return false;
  // The dialog alone with its shadow, for the README.
  std::unique_ptr<Gdiplus::Bitmap> crop(out.Clone(kDialog.left - 24, kDialog.top - 24,
                                                  kDialog.right - kDialog.left + 48,
                                                  kDialog.bottom - kDialog.top + 48, PixelFormat32bppARGB));
  return crop && SavePng(*crop, folder + L"\\gallery-dialog.png");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  VELO::Manager::SetInstance(instance);
  VELO::Manager::InitGdiplus();
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::wstring folder = argc > 1 ? argv[1] : L".";
  ::LocalFree(argv);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  int code = 1;
  if (WriteArtwork()) {
    GalleryDialog dialog;
    dialog.folder = folder;
    dialog.Create(nullptr, L"VELO gallery", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW,
                  R(kDialog), nullptr);
    dialog.ShowModal(SW_SHOWNOACTIVATE);
    code = dialog.saved ? 0 : 1;
  }
  VELO::Manager::UnInitGdiplus();
  return code;
}
