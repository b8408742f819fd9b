#include "velo/shadow/mshadow.h"

#include <vector>

#include "common/win/unique_any.h"
#include "velo/core/manager.h"
#include "velo/paint/paint_manager.h"
#include "velo/plain/shadow_shape.h"
#include "velo/plain/shadow_state.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {

constexpr wchar_t kShadowClass[] = L"ShadowWnd";
bool g_registered = false;

using render::InShadowRange;
using render::kShadowLimit;

bool ToOwnerEvent(UINT msg, WPARAM wParam, render::OwnerEvent& event) noexcept {
  using render::OwnerEvent;
  switch (msg) {
    case WM_DESTROY:
      event = OwnerEvent::Destroyed;
      return true;
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
      event = OwnerEvent::Moved;
      return true;
    case WM_SIZE:
      event = OwnerEvent::Sized;
      return true;
    case WM_PAINT:
      event = OwnerEvent::Painted;
      return true;
    case WM_SHOWWINDOW:
      event = wParam ? OwnerEvent::Shown : OwnerEvent::Hidden;
      return true;
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
      event = OwnerEvent::Activated;
      return true;
    case WM_EXITSIZEMOVE:
      event = OwnerEvent::SizeMoveEnded;
      return true;
    default:
      return false;
  }
}

// The owner as its style shows it: at creation and when the shadow is turned
// back on.
render::OwnerFacts StyleFacts(HWND owner) noexcept {
  const LONG_PTR style = ::GetWindowLongPtrW(owner, GWL_STYLE);
  return render::OwnerFacts{(style & WS_VISIBLE) != 0, (style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0, false};
}

// The owner's outline, one span per row: its window region, or its whole
// rectangle when it has none.
std::vector<render::RowSpan> OwnerRows(HWND owner, int width, int height) {
  std::vector<render::RowSpan> rows(static_cast<size_t>(height), render::RowSpan{0, width - 1});
  ostrel::win::unique_hrgn rgn(::CreateRectRgn(0, 0, 0, 0));
  if (!rgn || ::GetWindowRgn(owner, rgn.get()) == ERROR) return rows;
  for (int y = 0; y < height; ++y) {
    render::RowSpan& s = rows[static_cast<size_t>(y)];
    s = render::RowSpan{};
    int first = 0;
    while (first < width && !::PtInRegion(rgn.get(), first, y)) ++first;
    if (first == width) continue;
    int last = width - 1;
    while (last > first && !::PtInRegion(rgn.get(), last, y)) --last;
    s = render::RowSpan{first, last};
  }
  return rows;
}

}  // namespace

std::map<HWND, MShadow*>& MShadow::GetShadowMap() {
  static std::map<HWND, MShadow*> map;
  return map;
}

MShadow::~MShadow() {
  Unhook();
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

int MShadow::Initialize(HINSTANCE instance, bool force) {
  if (g_registered && !force) return 0;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kShadowClass;
  ::RegisterClassExW(&wc);
  g_registered = true;
  return 1;
}

void MShadow::Create(PaintManager* manager) {
  if (!m_bShow || !manager) return;
  const HWND owner = manager->GetPaintWnd();
  if (!owner || !::IsWindow(owner)) return;
  // Once per owner: a second call only brings the shadow up to date.
  if (m_hOwner == owner && m_hWnd && ::IsWindow(m_hWnd)) {
    RedrawIfShown();
    return;
  }
  Unhook();
  m_pManager = manager;
  m_hOwner = owner;
  GetShadowMap()[owner] = this;
  const render::OwnerFacts facts = StyleFacts(owner);
  // A bare popup: a layered window never shows a frame, and frame or system
  // menu bits make window managers (Wine's X11 driver among them) treat it as
  // a managed top-level window, with a round trip on every show and hide.
  m_hWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE, kShadowClass, nullptr,
                             WS_POPUP, CW_USEDEFAULT, 0, 0, 0, owner, nullptr, Manager::m_hInstance, nullptr);
  Apply(render::StartShadow(facts), owner, 0);
  m_OriParentProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MShadow::ParentProc)));
}

// Gives the owner its procedure back, when ours is still the one installed
// (someone subclassing after us would otherwise lose theirs).
void MShadow::Unhook() noexcept {
  if (!m_hOwner) return;
  auto& map = GetShadowMap();
  const auto it = map.find(m_hOwner);
  if (it != map.end() && it->second == this) map.erase(it);
  if (m_OriParentProc && ::IsWindow(m_hOwner) &&
      ::GetWindowLongPtrW(m_hOwner, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&MShadow::ParentProc)) {
    ::SetWindowLongPtrW(m_hOwner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OriParentProc));
  }
  m_OriParentProc = nullptr;
  m_hOwner = nullptr;
}

void MShadow::Apply(const render::ShadowStep& step, HWND owner, LPARAM size) {
  m_Status = static_cast<BYTE>(step.state);
  const unsigned actions = step.actions;
  if (actions & render::kDestroyShadow) {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
  }
  if (actions & render::kHideShadow) ::ShowWindow(m_hWnd, SW_HIDE);
  if (actions & render::kShowShadow) ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  if (actions & render::kMoveShadow) {
    RECT wr{};
    ::GetWindowRect(owner, &wr);
    const POINT at = ShadowOrigin(wr);
    ::SetWindowPos(m_hWnd, owner, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if ((actions & render::kKeepBehindOwner) && m_hWnd) {
    ::SetWindowPos(m_hWnd, owner, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOSIZE);
  }
  if (actions & render::kRedrawShadow) Update(owner);
  if (actions & render::kRedrawOnPaint) m_bUpdate = 1;
  if ((actions & render::kRedrawIfPending) && m_bUpdate) {
    Update(owner);
    m_bUpdate = 0;
  }
  if (actions & render::kRememberSize) m_WndSize = size;
}

LRESULT CALLBACK MShadow::ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& map = GetShadowMap();
  const auto it = map.find(hwnd);
  if (it == map.end()) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  MShadow* self = it->second;
  const WNDPROC previous = self->m_OriParentProc;
  render::OwnerEvent event{};
  if (!self->m_bDisabled && ToOwnerEvent(msg, wParam, event)) {
    render::OwnerFacts facts = StyleFacts(hwnd);
    if (event == render::OwnerEvent::Sized) {
      facts.minimizedOrMaximized = wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED;
      facts.grew = LOWORD(lParam) > LOWORD(self->m_WndSize) || HIWORD(lParam) > HIWORD(self->m_WndSize);
    }
    self->Apply(render::OnOwnerEvent(static_cast<render::ShadowState>(self->m_Status), event, facts), hwnd,
                lParam);
  }
  if (msg == WM_NCDESTROY) {
    // The owner goes: no more messages will come through us.
    map.erase(hwnd);
    self->m_hOwner = nullptr;
    self->m_OriParentProc = nullptr;
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
  return ::CallWindowProcW(previous, hwnd, msg, wParam, lParam);
}

void MShadow::ShowShadow(BOOL show) {
  m_bShow = show ? 1 : 0;
  if (!m_bShow && m_hWnd) {
    ::ShowWindow(m_hWnd, SW_HIDE);
    m_Status &= ~2;
  }
}

void MShadow::DisableShadow(BOOL disable) {
  m_bDisabled = disable ? 1 : 0;
  if (!m_hWnd || !m_hOwner) return;
  const render::ShadowState state = static_cast<render::ShadowState>(m_Status);
  Apply(disable ? render::StopShadow(state) : render::StartShadow(StyleFacts(m_hOwner)), m_hOwner, 0);
}

void MShadow::RedrawIfShown() {
  if (m_hOwner && render::IsShadowShown(static_cast<render::ShadowState>(m_Status))) Update(m_hOwner);
}

int MShadow::SetSize(int size) {
  if (!InShadowRange(size)) return 0;
  m_nSize = static_cast<signed char>(size);
  RedrawIfShown();
  return 1;
}

int MShadow::SetSharpness(UINT sharpness) {
  if (sharpness > kShadowLimit) return 0;
  m_nSharpness = static_cast<BYTE>(sharpness);
  RedrawIfShown();
  return 1;
}

int MShadow::SetDarkness(UINT darkness) {
  if (darkness > 255) return 0;
  m_nDarkness = static_cast<BYTE>(darkness);
  RedrawIfShown();
  return 1;
}

int MShadow::SetPosition(int x, int y) {
  if (!InShadowRange(x) || !InShadowRange(y)) return 0;
  m_nxOffset = static_cast<signed char>(x);
  m_nyOffset = static_cast<signed char>(y);
  RedrawIfShown();
  return 1;
}

int MShadow::SetColor(DWORD color) {
  m_Color = color & 0x00FFFFFF;
  RedrawIfShown();
  return 1;
}

int MShadow::SetImage(const wchar_t* name) {
  if (!name) return 0;
  m_nImageMode = 1;
  m_strImageName = name;
  m_uImageId = 0;
  m_pImage = MRender::LoadImageFromFile(Manager::GetSkinPath() + m_strImageName);
  m_nImageWidth = m_pImage ? static_cast<int>(m_pImage->GetWidth()) : 0;
  m_nImageHeight = m_pImage ? static_cast<int>(m_pImage->GetHeight()) : 0;
  RedrawIfShown();
  return 1;
}

int MShadow::SetImage(UINT id) {
  m_pImage.reset();
  m_nImageMode = 1;
  m_uImageId = id;
  m_strImageName = CString();
  m_pImage = MRender::LoadImageFromIDResource(id, CString(L"PNG"), Manager::m_hInstance);
  m_nImageWidth = m_pImage ? static_cast<int>(m_pImage->GetWidth()) : 0;
  m_nImageHeight = m_pImage ? static_cast<int>(m_pImage->GetHeight()) : 0;
  RedrawIfShown();
  return 0;
}

int MShadow::SetShadowCorner(CRect margins) {
  if (margins.left < 0 || margins.top < 0 || margins.right < 0 || margins.bottom < 0) return 0;
  m_rcCorner = margins;
  RedrawIfShown();
  return 1;
}

int MShadow::CopyShadow(MShadow* other) {
  if (!other) return 0;
  if (m_nImageMode) {
    other->SetImage(m_strImageName.GetString());
    other->SetShadowCorner(m_rcCorner);
    other->m_nSize = m_nSize;
  } else {
    other->m_nSize = m_nSize;
    other->m_nSharpness = m_nSharpness;
    other->m_nDarkness = m_nDarkness;
    other->m_Color = m_Color;
    other->m_nxOffset = m_nxOffset;
    other->m_nyOffset = m_nyOffset;
  }
  other->m_bShow = m_bShow;
  other->RedrawIfShown();
  return 1;
}

POINT MShadow::ShadowOrigin(const RECT& ownerRect) const noexcept {
  if (m_nImageMode) return POINT{ownerRect.left - m_rcCorner.left, ownerRect.top - m_rcCorner.top};
  return POINT{ownerRect.left + m_nxOffset - m_nSize, ownerRect.top + m_nyOffset - m_nSize};
}

void MShadow::Update(HWND owner) {
  if (!m_bShow || !(m_Status & 2) || !m_hWnd) return;
  RECT wr{};
  ::GetWindowRect(owner, &wr);
  const int w = wr.right - wr.left;
  const int h = wr.bottom - wr.top;
  int bw = 0, bh = 0;
  if (m_nImageMode) {
    if (m_strImageName.IsEmpty() && !m_uImageId) return;
    bw = w + m_rcCorner.left + m_rcCorner.right;
    bh = h + m_rcCorner.top + m_rcCorner.bottom;
  } else {
    if (m_nSize == 0) return;
    bw = w + 2 * m_nSize;
    bh = h + 2 * m_nSize;
  }
  if (bw <= 0 || bh <= 0) return;

  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = bw;
  bi.bmiHeader.biHeight = -bh;  // top-down: row 0 is the top
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ostrel::win::unique_hdc dc(::CreateCompatibleDC(nullptr));
  ostrel::win::unique_hbitmap bitmap(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap || !bits) return;
  ostrel::win::scoped_select select(dc.get(), bitmap.get());

  if (m_nImageMode) {
    if (m_pImage) {
      Gdiplus::Graphics g(dc.get());
      MRender::DrawImageFrameMID(g, m_pImage.get(), CRect(0, 0, bw, bh), 0, 0, m_nImageWidth, m_nImageHeight,
                                 m_rcCorner.left, m_rcCorner.top, m_rcCorner.right, m_rcCorner.bottom);
    }
  } else {
    MakeShadow(static_cast<UINT32*>(bits), owner, &wr);
  }

  POINT at = ShadowOrigin(wr);
  ::SetWindowPos(m_hWnd, owner, at.x, at.y, bw, bh, SWP_NOACTIVATE | SWP_NOREDRAW);
  POINT src{0, 0};
  SIZE size{bw, bh};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::UpdateLayeredWindow(m_hWnd, nullptr, &at, &size, dc.get(), &src, 0, &blend, ULW_ALPHA);
}

void MShadow::MakeShadow(UINT32* bits, HWND owner, RECT* windowRect) {
  const int w = windowRect->right - windowRect->left;
  const int h = windowRect->bottom - windowRect->top;
  render::ShadowParams p;
  p.size = m_nSize;
  p.sharpness = m_nSharpness;
  p.darkness = m_nDarkness;
  p.color = m_Color;
  p.offsetX = m_nxOffset;
  p.offsetY = m_nyOffset;
  const render::ShadowImage img = render::MakeShadowImage(OwnerRows(owner, w, h), w, p);
  std::copy(img.pixels.begin(), img.pixels.end(), bits);
}

}  // namespace VELO
