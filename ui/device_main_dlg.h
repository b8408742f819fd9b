// DeviceMainDlg: the program's panel and the owner of what runs after
// start-up. A 340 x 250 layered window in the work area's bottom-right
// corner showing the CPU temperature in large digits over the background
// that "tempe_type" selects, with a close button that hides it; the tray
// icon brings it back. It reads the settings, registers the logon task,
// watches device changes and owns the worker thread that reads the sensors
// and feeds the displays.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "device/worker/device_work.h"
#include "device/worker/temperature_view.h"
#include "device/worker/thread_basic.h"
#include "ui/menu_text.h"
#include "ui/panel_layout.h"
#include "ui/tray_icon_win.h"
#include "ui/update_hand_over.h"
#include "update/update_service.h"
#include "velo/core/mdialog.h"

namespace ostrel::ui {

using update::MSG_UPDATE_REFUSED;
using update::MSG_UPDATE_RESULT;
inline constexpr UINT ID_CHECK_FIRMWARE = 101;
inline constexpr UINT ID_CHECK_SOFTWARE = 102;
inline constexpr UINT TIMER_TRAY_REFRESH = 200;
inline constexpr UINT kTrayRefreshMs = 10000;
inline constexpr UINT kCloseButtonId = 31;
inline constexpr UINT kScaleMarkId = 32;
// From the worker: wParam 1 while no processor temperature has been found,
// 0 once one has; the tray tip follows.
inline constexpr UINT MSG_CPU_SENSOR_STATE = WM_APP + 1;

class ScaleMark;

class DeviceMainDlg : public VELO::MDialog, public device::CThreadBasic, private device::TemperatureView {
 public:
  DeviceMainDlg();
  ~DeviceMainDlg() override;

  // Creates the panel and runs its modal loop; returns when the loop ends.
  UINT ShowMainWindow();

  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  BOOL OnInitDialog() override;
  void InitUI(VELO::CRect client) override;
  void UISize(VELO::CRect client) override;
  LRESULT OnMessage(UINT controlId, UINT code, WPARAM wParam, LPARAM lParam) override;
  int OnMouseMove(UINT keys, VELO::CPoint pt) override;
  int OnLButtonDown(UINT keys, VELO::CPoint pt) override;
  int OnLButtonUp(UINT keys, VELO::CPoint pt) override;
  void OnTimer(UINT id) override;

  // Stops the worker, then takes the tray icon and the window down. Must run
  // before the object is destroyed.
  virtual void StopWorker() noexcept;

  void Run() override;

 private:
  void ShowCpuTemperature(int value) noexcept override;
  LRESULT OnTrayCallback(LPARAM mouse_message) noexcept;
  void OnUpdateResult(WPARAM channel, LPARAM newer) noexcept;
  void OnUpdateRefused(WPARAM channel) noexcept;
  void LoadBackground() noexcept;
  void MoveToCorner() noexcept;
  void SetUpTrayAndWindow() noexcept;
  void SetUpUpdates() noexcept;
  std::wstring LatestVersion(UpdateChannel channel) const;

  // Before the worker part in destruction order is not enough: the worker
  // is stopped in the destructor body, before any member goes.
  UpdateHandOver updates_;
  device::DeviceWork work_;
  VELO::MControl* close_ = nullptr;  // owned by the control tree
  ScaleMark* scale_ = nullptr;       // owned by the control tree
  BYTE background_layout_ = 0;
  Box close_box_;
  int hover_ = 0;
  int led_switch_ = 1;
  int device_type_ = 0;
  int tempe_type_ = 0;
  std::wstring current_version_;
  TrayIcon tray_;
  // Last value the panel was asked to paint; none before the first step.
  static constexpr int kNotShownYet = -2;
  std::atomic<int> shown_value_{kNotShownYet};
};

}  // namespace ostrel::ui
