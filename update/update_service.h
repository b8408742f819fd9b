// The worker's update commands 3 to 8: the software and firmware checks, at
// start-up (reporting only a newer version) and on command (always
// reporting), and the installs.
//
// Results go to the main window as MSG_UPDATE_RESULT (wParam 1 software,
// 2 firmware; lParam 1 newer, 0 not). An install downloads the channel's
// package into the data folder's temp folder, a folder only administrators
// can write (admin_folder.h), checks its signature (package_fetch.h),
// unpacks it there from the bytes it checked and starts the program it
// holds, then ends this process. It starts a program only when the package
// is signed for this very name with the trusted key, this very extraction
// wrote the program and every entry of the package was written whole. Any
// failure deletes the package, starts nothing and leaves this program
// running; a package whose signature does not verify is also reported as
// MSG_UPDATE_REFUSED (wParam 1 software, 2 firmware).
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

#include "device/worker/update_task_runner.h"
#include "ostrel_version.h"
#include "update/http_transfer_state.h"
#include "update/transfer_limits.h"
#include "update/update_check.h"
#include "update/version_text.h"

namespace ostrel::update {

inline constexpr UINT MSG_UPDATE_RESULT = 0x69C;
inline constexpr UINT MSG_UPDATE_REFUSED = 0x69D;
inline constexpr wchar_t kCurrentVersion[] = OSTREL_VERSION_WIDE;

// What the service works with. Empty members take the program's own: the
// resolved server origin, the user's data folder, the first display,
// ShellExecuteW and exit(0).
struct UpdateHost {
  HWND window = nullptr;  // receives the results and the download progress
  std::wstring current_version = kCurrentVersion;
  std::wstring origin;
  std::wstring data_folder;
  FirmwareQuery query_firmware;
  std::function<bool(const std::wstring& program)> start_program;
  std::function<void()> end_process;
  // The minisign public key packages must be signed with; empty is the
  // build's (OSTREL_UPDATE_PUBLIC_KEY).
  std::string trusted_key;
  // How long a version fetch may hold the worker.
  std::chrono::milliseconds text_fetch_deadline = kTextFetchDeadline;
};

class UpdateService final : public device::UpdateTaskRunner {
 public:
  explicit UpdateService(UpdateHost host);

  // On the update thread, one task at a time.
  void RunUpdateTask(device::WorkerTask task) noexcept override;

  // The version text the last check of a channel accepted; read by the
  // prompt after the result arrived.
  std::wstring LatestVersion(Channel channel) const;
  // Clearing its keep-going flag stops a running download.
  HttpFetcher& Fetcher() noexcept { return fetcher_; }

 private:
  void Check(Channel channel, bool always_report);
  void Install(Channel channel);
  std::wstring Origin() const;
  std::wstring Data() const;

  UpdateHost host_;
  HttpFetcher fetcher_;
  mutable std::mutex lock_;
  std::wstring latest_software_;
  std::wstring latest_firmware_;
};

}  // namespace ostrel::update
