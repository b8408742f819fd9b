#include "velo/paint/tooltip.h"

#include <commctrl.h>

namespace VELO {
namespace {
constexpr UINT_PTR kToolId = 1313;
}

void Tooltip::UpdateTool(UINT flags) noexcept {
  if (!m_hTip) return;
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = flags;
  ti.hwnd = m_hOwner;
  ti.uId = kToolId;
  ti.lpszText = const_cast<wchar_t*>(m_text.GetString());
  ::GetClientRect(m_hOwner, &ti.rect);
  ::SendMessageW(m_hTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Tooltip::Set(HWND owner, const wchar_t* text, CRect rc) {
  if (!text || !*text) {
    Clear();
    return;
  }
  m_text = text;
  m_rc = rc;
  if (!m_hTip && owner && ::IsWindow(owner)) {
    m_hOwner = owner;
    m_hTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, nullptr, nullptr);
    if (m_hTip) {
      ::SendMessageW(m_hTip, TTM_SETMAXTIPWIDTH, 0, 256);
      ::SendMessageW(m_hTip, TTM_SETTIPBKCOLOR, 0x00FFFFFF, 0);
      TOOLINFOW ti{};
      ti.cbSize = sizeof(ti);
      ti.uFlags = TTF_PARSELINKS;
      ti.hwnd = owner;
      ti.uId = kToolId;
      ti.lpszText = const_cast<wchar_t*>(m_text.GetString());
      ::GetClientRect(owner, &ti.rect);
      ::SendMessageW(m_hTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
      if (::GetACP() == 936) {
        RECT margin{2, 3, 0, 0};
        ::SendMessageW(m_hTip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
      }
    }
  } else {
    UpdateTool(TTF_PARSELINKS | TTF_TRACK | TTF_ABSOLUTE);
  }
  if (m_hTip) ::SendMessageW(m_hTip, TTM_ACTIVATE, TRUE, 0);
  m_active = 1;
}

void Tooltip::Clear() noexcept {
  m_text.Empty();
  m_active = 0;
  if (!m_hTip) return;
  UpdateTool(TTF_PARSELINKS);
  ::SendMessageW(m_hTip, TTM_ACTIVATE, FALSE, 0);
}

void Tooltip::Relay(MSG* msg) noexcept {
  if (m_hTip && msg) ::SendMessageW(m_hTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

void Tooltip::Destroy() noexcept {
  if (m_hTip && ::IsWindow(m_hTip)) ::DestroyWindow(m_hTip);
  m_hTip = nullptr;
}

}  // namespace VELO
