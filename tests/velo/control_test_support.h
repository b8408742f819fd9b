// Small controls and owners for the routing tests: they record what reaches
// them, in order, and answer with configurable results.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "velo/core/mcontrol.h"
#include "velo/core/mobject.h"

namespace velo_test {

using VELO::CPoint;
using VELO::CRect;

struct EventLog {
  std::vector<std::string> events;
  void Add(std::string e) { events.push_back(std::move(e)); }
  int Count(const std::string& e) const {
    int n = 0;
    for (const auto& x : events) n += x == e ? 1 : 0;
    return n;
  }
  void Clear() { events.clear(); }
};

inline std::string At(const char* what, UINT id, CPoint pt) {
  return std::string(what) + " " + std::to_string(id) + " " + std::to_string(pt.x) + "," +
         std::to_string(pt.y);
}
inline std::string Of(const char* what, UINT id) { return std::string(what) + " " + std::to_string(id); }

class TestControl : public VELO::MControl {
 public:
  TestControl(VELO::MObject* owner, UINT id, CRect rc, EventLog* log, BOOL visible = 1, BOOL enabled = 1,
              BOOL responds = 1)
      : MControl(owner, id, rc, visible, enabled, responds), log_(log) {}
  ~TestControl() override { log_->Add(Of("destroy", m_uControlID)); }

  const wchar_t* GetClassNameW() const override { return L"TestControl"; }
  void DrawControl(HDC&, CRect) override { log_->Add(Of("draw", m_uControlID)); }
  int OnControlMouseMove(UINT, CPoint pt) override {
    log_->Add(At("move", m_uControlID, pt));
    if (onMove) onMove();
    return moveResult;
  }
  int OnControlLButtonDown(UINT, CPoint pt) override {
    log_->Add(At("ldown", m_uControlID, pt));
    if (onLDown) onLDown();
    return buttonResult;
  }
  int OnControlLButtonUp(UINT, CPoint pt) override {
    log_->Add(At("lup", m_uControlID, pt));
    return buttonResult;
  }
  int OnControlLButtonDblClk(UINT, CPoint pt) override {
    log_->Add(At("ldbl", m_uControlID, pt));
    return buttonResult;
  }
  int OnControlRButtonDown(UINT, CPoint pt) override {
    log_->Add(At("rdown", m_uControlID, pt));
    return buttonResult;
  }
  int OnControlRButtonUp(UINT, CPoint pt) override {
    log_->Add(At("rup", m_uControlID, pt));
    return buttonResult;
  }
  int OnControlRButtonDblClk(UINT, CPoint pt) override {
    log_->Add(At("rdbl", m_uControlID, pt));
    return buttonResult;
  }
  int OnControlScroll(int delta, UINT, CPoint) override {
    log_->Add(Of("scroll", m_uControlID) + " " + std::to_string(delta));
    return scrollResult;
  }
  int OnControlKeyDown(UINT vk, UINT repeat, UINT flags) override {
    log_->Add(Of("key", m_uControlID) + " " + std::to_string(vk));
    return keyResult >= 0 ? keyResult : MControl::OnControlKeyDown(vk, repeat, flags);
  }
  int OnControlTimer() override {
    log_->Add(Of("timer", m_uControlID));
    if (onTimer) onTimer();
    return timerResult;
  }
  int SetControlFocus(int focus) override {
    log_->Add(Of(focus ? "focus" : "unfocus", m_uControlID));
    return MControl::SetControlFocus(focus);
  }
  int OnMousePointChange(CPoint& pt) override {
    pt.Offset(translate.x, translate.y);
    return 0;
  }

  int moveResult = 1;
  int buttonResult = 1;
  int scrollResult = 0;
  int keyResult = -1;  // -1: the base behaviour (hot key)
  int timerResult = 0;
  CPoint translate;
  std::function<void()> onMove;
  std::function<void()> onLDown;
  std::function<void()> onTimer;

 private:
  EventLog* log_;
};

// A control of another most-derived class.
class TestButton : public TestControl {
 public:
  using TestControl::TestControl;
  const wchar_t* GetClassNameW() const override { return L"TestButton"; }
};

struct Notification {
  UINT id;
  UINT code;
  WPARAM wParam;
  LPARAM lParam;
};

struct UpdateRequest {
  CRect rc;
  int resetCache;
  VELO::MControl* control;
};

class TestOwner : public VELO::MObject {
 public:
  explicit TestOwner(const wchar_t* className = L"TestOwner") : className_(className) {}
  const wchar_t* GetClassNameW() const override { return className_; }
  LRESULT OnBaseMessage(UINT id, UINT code, WPARAM w, LPARAM l) override {
    notifications.push_back({id, code, w, l});
    if (code == 3 && l) lastDoubleClickPoint = *reinterpret_cast<const CPoint*>(l);
    return answer;
  }
  LRESULT OnControlUpdate(CRect rc, int resetCache, VELO::MControl* control) override {
    updates.push_back({rc, resetCache, control});
    return 0;
  }
  int CountCode(UINT code) const {
    int n = 0;
    for (const auto& x : notifications) n += x.code == code ? 1 : 0;
    return n;
  }

  std::vector<Notification> notifications;
  std::vector<UpdateRequest> updates;
  CPoint lastDoubleClickPoint{-1, -1};
  LRESULT answer = 0;

 private:
  const wchar_t* className_;
};

}  // namespace velo_test
