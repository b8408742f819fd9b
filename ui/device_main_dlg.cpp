#include "ui/device_main_dlg.h"

#include <imm.h>

#include <limits>

#include "common/program_ids.h"
#include "device/hid/hid_device_manager.h"
#include "device/worker/device_watch.h"
#include "settings/registry_settings.h"
#include "settings/startup_task.h"
#include "ui/menu_text.h"
#include "ui/scale_mark_win.h"
#include "ui/ui_message_box.h"
#include "velo/controls/mpicture.h"
#include "velo/core/manager.h"

namespace ostrel::ui {
namespace {

constexpr DWORD kPanelStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

Box WorkArea() noexcept {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return {static_cast<int>(work.left), static_cast<int>(work.top), static_cast<int>(work.right),
          static_cast<int>(work.bottom)};
}

Box ToBox(const VELO::CRect& rc) {
  return {static_cast<int>(rc.left), static_cast<int>(rc.top), static_cast<int>(rc.right),
          static_cast<int>(rc.bottom)};
}

void SwitchInputMethodOff(HWND window) noexcept {
  if (HIMC context = ::ImmGetContext(window)) {
    ::ImmSetOpenStatus(context, FALSE);
    ::ImmReleaseContext(window, context);
  }
  ::ImmAssociateContext(window, nullptr);
}

// A setting that reads 0 ("led_switch" never stored, or stored as 0) is put
// back to on.
int ReadLedSwitch() noexcept {
  const int value = settings::ReadSettingInt(L"led_switch");
  if (value != 0) return value;
  settings::WriteSettingString(L"led_switch", L"1");
  return 1;
}

constexpr float kNoReading = std::numeric_limits<float>::quiet_NaN();

bool IsResume(WPARAM event) noexcept {
  return event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND;
}

}  // namespace

DeviceMainDlg::DeviceMainDlg() { work_.SetView(this); }

DeviceMainDlg::~DeviceMainDlg() {
  // Backstop for a caller that skipped StopWorker: the thread must not run
  // into a half-destroyed dialog.
  updates_.Stop();
  CThreadBasic::StopWorker();
  tray_.Remove();
}

UINT DeviceMainDlg::ShowMainWindow() {
  // No reading yet: the first paint shows "--", not a 0 that looks like one.
  VELO::Manager::SetCPUTemp(kNoReading);
  const Box panel = PanelBox(WorkArea());
  // Layered from its creation: a layered window shows nothing until its
  // first frame is pushed, so the plain window never reaches the screen
  // before the skin does. The first paint would add the style anyway.
  Create(nullptr, L"TEMP", kPanelStyle, WS_EX_TOOLWINDOW | WS_EX_LAYERED,
         VELO::CRect(panel.left, panel.top, panel.right, panel.bottom));
  // Shown, not hidden (0): the style and the topmost step in OnInitDialog
  // show the panel, and a tray program's panel is what the user starts it
  // for. No activation: the program never takes the keyboard from the user.
  return ShowModal(SW_SHOWNA);
}

BOOL DeviceMainDlg::OnInitDialog() {
  MDialog::OnInitDialog();
  background_layout_ = 1;
  led_switch_ = ReadLedSwitch();
  device_type_ = settings::ReadSettingInt(L"device_type");
  tempe_type_ = settings::ReadSettingInt(L"tempe_type");
  LoadBackground();
  settings::RegisterStartupTask();
  SetUpTrayAndWindow();
  // Topmost without activation: started at logon, the panel must not take
  // the keyboard from whatever the user is typing into.
  SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  current_version_ = update::kCurrentVersion;
  SetUpUpdates();
  StartWorker();
  return TRUE;
}

void DeviceMainDlg::SetUpTrayAndWindow() noexcept {
  // The mark a second start looks for.
  ::SetPropW(m_hWnd, kInstanceName, reinterpret_cast<HANDLE>(1));
  tray_.Add(m_hWnd);
  SetTimer(TIMER_TRAY_REFRESH, kTrayRefreshMs);
  SetIcon(IDI_OSTREL);
  SwitchInputMethodOff(m_hWnd);
  device::RegisterDeviceWatch(m_hWnd);
}

// The update checks and installs (commands 3 to 8) are handed from the
// worker to the update thread and answer this window; the server's origin
// is resolved by the service.
void DeviceMainDlg::SetUpUpdates() noexcept {
  update::UpdateHost host;
  host.window = m_hWnd;
  host.current_version = current_version_;
  updates_.Start(std::move(host), [this] { CThreadBasic::StopWorker(); });
  work_.SetUpdateTasks(updates_.Tasks());
}

void DeviceMainDlg::InitUI(VELO::CRect client) {
  SetLayeredWindow(TRUE);
  EnableDrawInfo(TRUE);
  auto scale = std::make_unique<ScaleMark>(this, kScaleMarkId, client);
  scale->SetLook(tempe_type_);
  scale_ = static_cast<ScaleMark*>(GetPaintManager().AddControl(std::move(scale), 0));
  close_ = CreateArea(L"MPicture", kCloseButtonId, VELO::CRect(), nullptr, TRUE, TRUE);
  if (auto* picture = dynamic_cast<VELO::MPicture*>(close_)) picture->SetImage(L"img_btn_close.png", 1);
  UISize(client);
}

void DeviceMainDlg::UISize(VELO::CRect client) {
  const Box close = CloseButtonBox(ToBox(client));
  if (close == Box{}) return;
  close_box_ = close;
  if (close_) close_->SetRect(VELO::CRect(close.left, close.top, close.right, close.bottom));
}

LRESULT DeviceMainDlg::OnMessage(UINT, UINT, WPARAM, LPARAM) { return 0; }

int DeviceMainDlg::OnMouseMove(UINT keys, VELO::CPoint pt) {
  const int result = MDialog::OnMouseMove(keys, pt);
  const int hover = close_box_.Contains(pt.x, pt.y) ? 1 : 0;
  if (hover != hover_) {
    hover_ = hover;
    VELO::CRect client;
    GetClientRect(&client);
    InvalidateRect(client, FALSE);
  }
  return result;
}

int DeviceMainDlg::OnLButtonDown(UINT keys, VELO::CPoint pt) {
  const int result = MDialog::OnLButtonDown(keys, pt);
  if (close_box_.Contains(pt.x, pt.y)) ShowWindow(SW_HIDE);
  LoadBackground();
  VELO::CRect client;
  GetClientRect(&client);
  InvalidateRect(client, FALSE);
  return result;
}

int DeviceMainDlg::OnLButtonUp(UINT keys, VELO::CPoint pt) { return MDialog::OnLButtonUp(keys, pt); }

void DeviceMainDlg::OnTimer(UINT id) {
  if (id != TIMER_TRAY_REFRESH) return;
  KillTimer(TIMER_TRAY_REFRESH);
  tray_.Remove();
  tray_.Add(m_hWnd);
  MoveToCorner();
}

LRESULT DeviceMainDlg::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_DEVICECHANGE:
      return device::HandleDeviceChange(wParam, lParam, *this);
    case MSG_TRAY_CALLBACK:
      return OnTrayCallback(lParam);
    case MSG_UPDATE_RESULT:
      OnUpdateResult(wParam, lParam);
      return 0;
    case MSG_UPDATE_REFUSED:
      OnUpdateRefused(wParam);
      return 0;
    case MSG_CPU_SENSOR_STATE:
      tray_.SetTip(TrayTip(wParam != 0));
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == ID_TRAY_EXIT) {
        tray_.Remove();
        ::ExitProcess(0);
      }
      if (LOWORD(wParam) == ID_CHECK_FIRMWARE)
        PostTask(static_cast<std::int32_t>(device::WorkerTask::CheckFirmwareNow));
      if (LOWORD(wParam) == ID_CHECK_SOFTWARE)
        PostTask(static_cast<std::int32_t>(device::WorkerTask::CheckSoftwareNow));
      break;
    case WM_POWERBROADCAST:
      // Displays come back from sleep with new handles.
      if (IsResume(wParam)) PostTask(static_cast<std::int32_t>(device::WorkerTask::RefreshDevices));
      break;
    default:
      // Explorer started again with an empty tray: put the icon back.
      if (msg == TaskbarCreatedMessage() && msg != 0) {
        tray_.Remove();
        tray_.Add(m_hWnd);
        return 0;
      }
      break;
  }
  return MDialog::OnWindowMessage(msg, wParam, lParam);
}

LRESULT DeviceMainDlg::OnTrayCallback(LPARAM mouse_message) noexcept {
  if (mouse_message == WM_LBUTTONDOWN) {
    ::SetForegroundWindow(m_hWnd);
    ShowWindow(SW_SHOWNORMAL);
    ::UpdateWindow(m_hWnd);
    ::BringWindowToTop(m_hWnd);
    MoveToCorner();
  } else if (mouse_message == WM_RBUTTONUP) {
    ShowTrayMenu(m_hWnd, device::CHidDeviceManager::Instance().DeviceCount());
  }
  return 0;
}

void DeviceMainDlg::OnUpdateResult(WPARAM channel, LPARAM newer) noexcept {
  if (channel != 1 && channel != 2) return;
  const auto which = channel == 1 ? UpdateChannel::Software : UpdateChannel::Firmware;
  const UpdatePrompt prompt = MakeUpdatePrompt(which, newer != 0, LatestVersion(which));
  const UINT answer = ShowMessageBox(prompt.text.c_str(), prompt.title.c_str(), prompt.style);
  if (newer == 0 || answer != 1) return;
  PostTask(static_cast<std::int32_t>(which == UpdateChannel::Software ? device::WorkerTask::InstallSoftware
                                                                      : device::WorkerTask::InstallFirmware));
}

void DeviceMainDlg::OnUpdateRefused(WPARAM channel) noexcept {
  if (channel != 1 && channel != 2) return;
  const UpdatePrompt notice =
      MakeRefusedNotice(channel == 1 ? UpdateChannel::Software : UpdateChannel::Firmware);
  ShowMessageBox(notice.text.c_str(), notice.title.c_str(), notice.style);
}

std::wstring DeviceMainDlg::LatestVersion(UpdateChannel channel) const {
  return updates_.LatestVersion(channel == UpdateChannel::Software ? update::Channel::Software
                                                                   : update::Channel::Firmware);
}

void DeviceMainDlg::LoadBackground() noexcept {
  LoadBKImage(tempe_type_ != 0 ? L"img_cpu_bkg6.png" : L"img_cpu_bkg5.png");
  if (scale_) scale_->SetLook(tempe_type_);
}

void DeviceMainDlg::MoveToCorner() noexcept {
  const Box panel = PanelBox(WorkArea());
  MoveWindow(panel.left, panel.top, kPanelWidth, kPanelHeight, TRUE);
}

void DeviceMainDlg::StopWorker() noexcept {
  // A download in progress ends after its current read instead of holding
  // the shutdown.
  updates_.Stop();
  CThreadBasic::StopWorker();
  tray_.Remove();
  DestroyWindow();
}

void DeviceMainDlg::Run() {
  updates_.ServeWorker();
  work_.Run(*this);
}

void DeviceMainDlg::ShowCpuTemperature(int value) noexcept {
  const bool missing = value == device::kNoCpuTemperature;
  VELO::Manager::SetCPUTemp(missing ? kNoReading : static_cast<float>(value));
  // A repaint of the layered panel is most of the program's CPU time while
  // the temperature moves; the same number draws the same pixels.
  const int before = shown_value_.exchange(value);
  if (before == value) return;
  // The tray belongs to the interface thread.
  if (before == kNotShownYet || (before == device::kNoCpuTemperature) != missing) {
    ::PostMessageW(m_hWnd, MSG_CPU_SENSOR_STATE, missing ? 1 : 0, 0);
  }
  VELO::CRect client;
  GetClientRect(&client);
  InvalidateRect(client, FALSE);
}

}  // namespace ostrel::ui
