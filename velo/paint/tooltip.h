// The window's common-controls tooltip: one tool (id 1313) over the client
// area whose text follows the control under the mouse. Created on first use;
// mouse messages are relayed to it so that it times its own appearance.
#pragma once

#include <windows.h>

#include "velo/core/cstring.h"
#include "velo/core/geometry.h"

namespace VELO {

class Tooltip {
 public:
  Tooltip() = default;
  Tooltip(const Tooltip&) = delete;
  Tooltip& operator=(const Tooltip&) = delete;
  ~Tooltip() { Destroy(); }

  // A null or empty text empties the tool's text and deactivates it.
  void Set(HWND owner, const wchar_t* text, CRect rc);
  void Clear() noexcept;
  void Relay(MSG* msg) noexcept;
  void Destroy() noexcept;

  HWND GetWindow() const noexcept { return m_hTip; }
  const CString& GetText() const noexcept { return m_text; }
  CRect GetRect() const noexcept { return m_rc; }
  int IsActive() const noexcept { return m_active; }
  int m_ownerId = 0;

 private:
  void UpdateTool(UINT flags) noexcept;

  HWND m_hTip = nullptr;
  HWND m_hOwner = nullptr;
  CString m_text;
  CRect m_rc;
  int m_active = 0;
};

}  // namespace VELO
