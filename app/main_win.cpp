// Ostrel.exe: the lifecycle around the panel. The command line is ignored.
#include <windows.h>

#include "app/lifecycle_win.h"
#include "ui/device_main_dlg.h"
#include "velo/core/manager.h"

namespace {

class OstrelParts final : public ostrel::app::ProgramParts {
 public:
  void SetLibraryInstance(HINSTANCE instance) noexcept override { VELO::Manager::SetInstance(instance); }

  void RunMainWindow() noexcept override {
    ostrel::ui::DeviceMainDlg panel;
    panel.ShowMainWindow();
    // The loop ended without "Exit" (the window was destroyed): the worker
    // stops before the panel goes.
    panel.StopWorker();
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  OstrelParts parts;
  return ostrel::app::RunProgram(instance, parts);
}
