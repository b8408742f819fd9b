#include "tests/velo/dialog_support.h"

namespace velo_test {

HWND ScriptDialog::Open(HWND parent, VELO::CRect rc) {
  // No activation: under Xvfb, destroying an activated window costs seconds.
  return Create(parent, L"dialog test", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, rc, nullptr);
}

void ScriptDialog::InitUI(VELO::CRect) {
  log.push_back("InitUI");
  if (onInit) onInit(*this);
}

LRESULT ScriptDialog::OnMessage(UINT id, UINT code, WPARAM, LPARAM) {
  log.push_back("message " + std::to_string(id) + " " + std::to_string(code));
  if (onMessage) onMessage(*this, id, code);
  return 0;
}

int ScriptDialog::OnLButtonDown(UINT, VELO::CPoint) {
  log.push_back("LButtonDown");
  if (onButtonDown) onButtonDown(*this);
  return 1;  // handled, yet the controls still see the press
}

void ScriptDialog::OnTimer(UINT id) {
  if (onTimer) onTimer(*this, id);
}

int ScriptDialog::OnPaint() {
  ++paints;
  return 0;
}

int ScriptDialog::OnClose() {
  log.push_back("Close");
  return 1;
}

int ScriptDialog::OnDestroy() {
  log.push_back("Destroy");
  return 0;
}

int ScriptDialog::PostNcDestroy() {
  log.push_back("PostNcDestroy");
  if (onPostNcDestroy) onPostNcDestroy(*this);
  return 0;
}

void Click(HWND window, VELO::CPoint pt) {
  const LPARAM at = MAKELPARAM(pt.x, pt.y);
  ::SendMessageW(window, WM_MOUSEMOVE, 0, at);
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(window, WM_LBUTTONUP, 0, at);
}

}  // namespace velo_test
