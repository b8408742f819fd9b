#include "app/lifecycle_win.h"

#include "app/process_kill_win.h"
#include "app/process_name.h"
#include "app/process_setup_win.h"
#include "app/runtime_sessions_win.h"
#include "app/single_instance_win.h"
#include "update/live_jobs.h"

namespace ostrel::app {
namespace {

void EndOtherMonitor() noexcept { KillProcessByName(kOtherMonitorProcess); }

void RunWithSessions(HINSTANCE instance, ProgramParts& parts) noexcept {
  const GdiplusSession gdiplus;
  parts.SetLibraryInstance(instance);
  const ComOleSession com_ole;
  parts.RunMainWindow();
  EndOtherMonitor();
}

}  // namespace

int RunProgram(HINSTANCE instance, ProgramParts& parts) noexcept {
  const SingleInstance single = SingleInstance::Claim();
  if (!single.IsFirst()) {
    // Found but left alone: the running instance is not disturbed.
    FindRunningInstanceWindow();
    return 0;
  }
  ApplyDpiRule();
  EnableDebugPrivilege();
  EndOtherMonitor();
  RunWithSessions(instance, parts);
  // A version fetch given up on may still be inside WinINet; the process
  // does not tear down around it unless it stays blocked past the bound.
  update::WaitForLiveJobsAtExit();
  return 1;
}

}  // namespace ostrel::app
