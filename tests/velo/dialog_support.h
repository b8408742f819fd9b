// A dialog whose handlers log what reached them and run what a test scripts,
// for driving the real modal loop under Xvfb.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "velo/core/mdialog.h"

namespace velo_test {

class ScriptDialog : public VELO::MDialog {
 public:
  // A hidden, never-activated popup; ShowModal shows it.
  HWND Open(HWND parent, VELO::CRect rc);
  HWND hwnd() const { return m_hWnd; }

  void InitUI(VELO::CRect client) override;
  LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
  int OnLButtonDown(UINT keys, VELO::CPoint pt) override;
  void OnTimer(UINT id) override;
  int OnPaint() override;
  int OnClose() override;
  int OnDestroy() override;
  int PostNcDestroy() override;

  std::vector<std::string> log;
  int paints = 0;
  std::function<void(ScriptDialog&)> onInit;
  std::function<void(ScriptDialog&, UINT id)> onTimer;
  std::function<void(ScriptDialog&, UINT id, UINT code)> onMessage;
  std::function<void(ScriptDialog&)> onButtonDown;
  std::function<void(ScriptDialog&)> onPostNcDestroy;
};

// Clicks a client point through the window procedure: move, press, release.
void Click(HWND window, VELO::CPoint pt);

}  // namespace velo_test
