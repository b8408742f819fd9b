#include "velo/core/airbladder.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "common/win/unique_any.h"
#include "velo/core/handler_dispatch.h"
#include "velo/core/manager.h"
#include "velo/core/module.h"
#include "velo/plain/balloon_layout.h"
#include "velo/plain/window_style.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {

constexpr UINT kHideTimer = 10;
constexpr UINT kHideAfterMs = 5000;
constexpr UINT kLibraryFontId = 106;
constexpr int kStays = AIRBLADDER_STAYS;
constexpr int kKeepOnFocusLoss = AIRBLADDER_RIGHT_KEPT;
constexpr float kFontPixels = 14.0f;
constexpr INT kNoWrapTrailing = 0x1800;

std::unique_ptr<Gdiplus::Image> FromSkin(const CString& file) {
  return MRender::LoadImageFromFile(Manager::GetSkinPath() + file);
}

std::unique_ptr<Gdiplus::Image> FromResource(UINT id, const CString& type) {
  return MRender::LoadImageFromIDResource(id, type, Manager::GetInstance());
}

// Each image of the balloon is kept with its size; TRUE when it loaded.
BOOL Keep(std::unique_ptr<Gdiplus::Image> loaded, std::unique_ptr<Gdiplus::Image>& image, int& width,
          int& height) {
  image = std::move(loaded);
  width = image ? static_cast<int>(image->GetWidth()) : 0;
  height = image ? static_cast<int>(image->GetHeight()) : 0;
  return image ? TRUE : FALSE;
}

// The paint manager's view of the balloon: the window and its object, made
// and destroyed together.
class AirBladderTip final : public BalloonTip {
 public:
  explicit AirBladderTip(HWND owner) {
    // Created hidden: a visible top-level window would take the activation
    // (and the keyboard) from the dialog it only annotates.
    m_window.Create(owner, L"AirBladder Window", 0x96000080 & ~WS_VISIBLE, 0, CRect(0, 0, 0, 0), nullptr);
  }
  ~AirBladderTip() override { m_window.DestroyWindow(); }
  AirBladderTip(const AirBladderTip&) = delete;
  AirBladderTip& operator=(const AirBladderTip&) = delete;

  bool Ok() const { return m_window.GetSafeHwnd() != nullptr; }
  void LoadImages(const wchar_t* bk, const wchar_t* left, const wchar_t* right, const wchar_t* top) override {
    m_window.LoadBKImage(CString(bk));
    m_window.LoadArrowLImage(CString(left));
    m_window.LoadArrowRImage(CString(right));
    m_window.LoadArrowTImage(CString(top));
  }
  void SetMessage(const CString& text, POINT pt, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode) override {
    m_window.SetAirBladderMsg(text.GetString(), pt, type, mode);
  }
  // Shown without activation, for the same reason.
  BOOL Show(BOOL show) override { return m_window.ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE); }

 private:
  MAirBladder m_window;
};

std::unique_ptr<BalloonTip> MakeAirBladder(HWND owner) {
  auto tip = std::make_unique<AirBladderTip>(owner);
  if (!tip->Ok()) return nullptr;
  return tip;
}

}  // namespace

void InstallAirBladderFactory() noexcept { PaintManager::SetBalloonFactory(&MakeAirBladder); }

MAirBladder::MAirBladder() : m_pFormat(std::make_unique<Gdiplus::StringFormat>(kNoWrapTrailing)) {}

MAirBladder::~MAirBladder() = default;

LRESULT MAirBladder::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      // Painted into a layered bitmap: the update region is validated here,
      // and the default procedure has nothing left to do.
      OnPaint();
      return 0;
    case WM_SETFOCUS:
      OnSetFocus(nullptr);
      break;
    case WM_KILLFOCUS:
      OnKillFocus(nullptr);
      break;
    default:
      if (const std::optional<LRESULT> answer = DispatchToHandlers(*this, msg, wParam, lParam))
        return *answer;
      break;
  }
  // No paint manager: whatever the handler did, the previous procedure runs.
  if (!m_hWnd) return 0;
  return ::CallWindowProcW(m_OldWndProc, m_hWnd, msg, wParam, lParam);
}

BOOL MAirBladder::PreTranslateMessage(MSG*) { return FALSE; }

BOOL MAirBladder::OnInitDialog() {
  const HMODULE module = GetLibraryModule();
  const HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(kLibraryFontId), L"ttf");
  const HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) return TRUE;
  auto fonts = std::make_unique<Gdiplus::PrivateFontCollection>();
  if (fonts->AddMemoryFont(data, static_cast<INT>(::SizeofResource(module, info))) != Gdiplus::Ok ||
      fonts->GetFamilyCount() < 1) {
    return TRUE;
  }
  auto family = std::make_unique<Gdiplus::FontFamily>();
  INT found = 0;
  if (fonts->GetFamilies(1, family.get(), &found) != Gdiplus::Ok || found < 1) return TRUE;
  m_pFonts = std::move(fonts);
  m_pFontFamily = std::move(family);
  return TRUE;
}

LRESULT MAirBladder::OnUserCloseWindow(WPARAM wParam, LPARAM lParam) {
  if (HoldsHandle()) ::PostMessageW(m_hWnd, WM_CLOSE, wParam, lParam);
  return 1;
}

void MAirBladder::CloseWindow() {
  if (HoldsHandle()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

int MAirBladder::OnCreate(CREATESTRUCTW*) {
  if (!HoldsHandle()) return 1;
  const auto style = static_cast<std::uint32_t>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(SkinnedWindowStyle(style)));
  ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  return 1;
}

int MAirBladder::OnSize(UINT type, int, int) {
  if (type == SIZE_MINIMIZED || !IsLive()) return 1;
  RECT wr{};
  ::GetWindowRect(m_hWnd, &wr);
  const int corner = type == SIZE_MAXIMIZED ? 0 : 3;
  // The window owns the region from here on.
  ::SetWindowRgn(m_hWnd,
                 ::CreateRoundRectRgn(0, 0, wr.right - wr.left + 1, wr.bottom - wr.top + 1, corner, corner),
                 TRUE);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  return 1;
}

int MAirBladder::OnMouseMove(UINT, CPoint) { return 0; }
int MAirBladder::OnMouseLeave(UINT, LPARAM) { return 0; }
int MAirBladder::OnMouseHover(UINT, LPARAM) { return 0; }
int MAirBladder::OnMouseWheel(UINT, short, CPoint) { return 0; }
int MAirBladder::OnLButtonDown(UINT, CPoint) { return 0; }
int MAirBladder::OnLButtonUp(UINT, CPoint) { return 0; }
int MAirBladder::OnLButtonDblClk(UINT, CPoint) { return 0; }
int MAirBladder::OnRButtonDown(UINT, CPoint) { return 0; }
int MAirBladder::OnRButtonUp(UINT, CPoint) { return 0; }
int MAirBladder::OnRButtonDblClk(UINT, CPoint) { return 0; }
int MAirBladder::OnKeyDown(UINT, UINT, UINT) { return 0; }
int MAirBladder::OnNcHitTest(CPoint) { return 0; }
int MAirBladder::OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
int MAirBladder::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { return 0; }
int MAirBladder::OnNcActivate(BOOL) { return 1; }
int MAirBladder::OnSetFocus(MWindow*) { return 1; }

int MAirBladder::OnKillFocus(MWindow*) {
  if (m_nMode != kKeepOnFocusLoss && IsLive()) ::ShowWindow(m_hWnd, SW_HIDE);
  KillTimer(kHideTimer);
  return 1;
}

int MAirBladder::OnWindowPosChanging(WINDOWPOS*) { return 0; }
int MAirBladder::OnWindowPosChanged(WINDOWPOS*) { return 1; }

void MAirBladder::OnTimer(UINT id) {
  if (id != kHideTimer) return;
  KillTimer(kHideTimer);
  if (IsWindowVisible()) ::ShowWindow(m_hWnd, SW_HIDE);
}

int MAirBladder::OnNcPaint() { return 0; }
int MAirBladder::OnClose() { return 1; }
int MAirBladder::PostNcDestroy() { return 0; }
int MAirBladder::OnDestroy() { return 0; }

BOOL MAirBladder::LoadBKImage(CString file) {
  return Keep(FromSkin(file), m_pBkImage, m_nBkWidth, m_nBkHeight);
}
BOOL MAirBladder::LoadBKImage(UINT id, CString type) {
  return Keep(FromResource(id, type), m_pBkImage, m_nBkWidth, m_nBkHeight);
}
BOOL MAirBladder::LoadArrowLImage(CString file) {
  return Keep(FromSkin(file), m_pArrowL, m_nArrowLWidth, m_nArrowLHeight);
}
BOOL MAirBladder::LoadArrowLImage(UINT id, CString type) {
  return Keep(FromResource(id, type), m_pArrowL, m_nArrowLWidth, m_nArrowLHeight);
}
BOOL MAirBladder::LoadArrowRImage(CString file) {
  return Keep(FromSkin(file), m_pArrowR, m_nArrowRWidth, m_nArrowRHeight);
}
BOOL MAirBladder::LoadArrowRImage(UINT id, CString type) {
  return Keep(FromResource(id, type), m_pArrowR, m_nArrowRWidth, m_nArrowRHeight);
}
BOOL MAirBladder::LoadArrowTImage(CString file) {
  return Keep(FromSkin(file), m_pArrowT, m_nArrowTWidth, m_nArrowTHeight);
}
BOOL MAirBladder::LoadArrowTImage(UINT id, CString type) {
  return Keep(FromResource(id, type), m_pArrowT, m_nArrowTWidth, m_nArrowTHeight);
}

void MAirBladder::SetBackMode(enumBackMode mode, int value) noexcept {
  m_backMode = mode;
  m_nBackValue = value;
}

int MAirBladder::SetAirBladderMsg(const wchar_t* text, POINT pt, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode) {
  // A null text is refused, not thrown: no exception leaves the library.
  if (!text) return 0;
  if (m_strText == CString(text) && pt.x == m_ptAnchor.x && pt.y == m_ptAnchor.y && type == m_nType &&
      mode == m_nMode) {
    // A shown message keeps its timer running; one that already went (timer
    // fired, focus lost) gets it again, or shown once more it would stay.
    if (!IsWindowVisible() && m_nType != kStays) SetTimer(kHideTimer, kHideAfterMs);
    return 1;
  }
  m_pFormat->SetAlignment(Gdiplus::StringAlignmentNear);
  m_pFormat->SetLineAlignment(Gdiplus::StringAlignmentNear);
  m_strText = text;
  m_ptAnchor = pt;
  m_nType = type;
  m_nMode = mode;
  Fit();
  if (m_nType != kStays) SetTimer(kHideTimer, kHideAfterMs);
  return 1;
}

Gdiplus::Size MAirBladder::MeasureLine(Gdiplus::Font& font) {
  return MRender::GetTextBounds(font, *m_pFormat, m_strText);
}

void MAirBladder::Fit() {
  if (m_strText.IsEmpty() || !IsLive()) return;
  Gdiplus::FontFamily fallback(L"Arial");
  Gdiplus::Font font(m_pFontFamily ? m_pFontFamily.get() : &fallback, kFontPixels, Gdiplus::FontStyleRegular,
                     Gdiplus::UnitPixel);
  const Gdiplus::Size size = MeasureLine(font);
  const std::wstring& s = m_strText.str();
  m_nLines = 1 + static_cast<int>(std::count(s.begin(), s.end(), L'\n'));
  if (m_nLines == 1 || m_nMode == AIRBLADDER_ABOVE_POINT) {
    m_pFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
    m_pFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
  }
  render::Edges box =
      render::BalloonRect(m_nMode, m_ptAnchor.x, m_ptAnchor.y, size.Width, size.Height, m_nLines);
  if (m_nMode == kKeepOnFocusLoss) m_nLines -= 2;
  // A control at the screen's edge must not push the bubble off it.
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (::GetMonitorInfoW(::MonitorFromPoint(m_ptAnchor, MONITOR_DEFAULTTONEAREST), &mi)) {
    box = render::KeepInside(box, {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom});
  }
  MoveWindow(box.left, box.top, box.Width(), box.Height(), TRUE);
  OnPaint();
}

int MAirBladder::OnPaint() {
  if (!IsLive() || ::IsIconic(m_hWnd)) return 1;
  const ostrel::win::scoped_paint paint(m_hWnd);
  RECT client{};
  ::GetClientRect(m_hWnd, &client);
  const int cw = client.right;
  const int ch = client.bottom;
  if (cw > 0 && ch > 0) {
    ostrel::win::unique_hdc mem(::CreateCompatibleDC(paint.dc()));
    ostrel::win::unique_hbitmap bitmap = MRender::CreateARGB32Bitmap(paint.dc(), cw, ch, nullptr);
    if (mem && bitmap) {
      ostrel::win::scoped_select select(mem.get(), bitmap.get());
      ::SetBkMode(mem.get(), TRANSPARENT);
      {
        Gdiplus::Graphics g(mem.get());
        if (m_pBkImage && m_pBkImage->GetLastStatus() == Gdiplus::Ok) {
          MRender::DrawImageFrame(g, m_pBkImage.get(), CRect(0, 0, cw - 1, ch - 1), 0, 0, m_nBkWidth,
                                  m_nBkHeight, 6);
        } else {
          // Without a skin the bubble is a dark rounded panel, so that the
          // white text still reads.
          Gdiplus::SolidBrush fill(Gdiplus::Color(0xE8, 0x30, 0x36, 0x40));
          g.FillRectangle(&fill, 0, 0, cw, ch);
        }
        if (!m_strText.IsEmpty()) {
          Gdiplus::FontFamily fallback(L"Arial");
          Gdiplus::Font font(m_pFontFamily ? m_pFontFamily.get() : &fallback, kFontPixels,
                             Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
          const Gdiplus::Size size = MeasureLine(font);
          const int n = std::max(m_nLines, 1);
          g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
          Gdiplus::SolidBrush white(Gdiplus::Color(0xFF, 0xFF, 0xFF, 0xFF));
          const Gdiplus::RectF layout(8.0f, static_cast<float>((ch - n * size.Height) * 0.5 + n - 1),
                                      static_cast<float>(cw - 16), static_cast<float>(n * size.Height + 2));
          g.DrawString(m_strText.GetString(), -1, &font, layout, m_pFormat.get(), &white);
        }
      }
      ModifyExStyle(0, WS_EX_LAYERED);
      POINT src{0, 0};
      SIZE sz{cw, ch};
      BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      ::UpdateLayeredWindow(m_hWnd, nullptr, nullptr, &sz, mem.get(), &src, 0, &blend, ULW_ALPHA);
    }
  }
  return 1;
}

}  // namespace VELO
