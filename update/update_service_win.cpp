#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <shlwapi.h>

#include <cstdlib>

#include "common/win/text.h"
#include "device/hid/hid_device_manager.h"
#include "update/admin_folder.h"
#include "update/directory_tree.h"
#include "update/http_fetch.h"
#include "update/live_jobs.h"
#include "update/package_fetch.h"
#include "update/update_locations.h"
#include "update/update_server.h"
#include "update/update_service.h"
#include "update/zip_extract.h"

namespace ostrel::update {

namespace {

// Install failures leave the program running without a word to the user;
// this is where they can still be seen.
void Trace(const std::wstring& what) noexcept {
  ::OutputDebugStringW((L"ostrel update: " + what + L"\n").c_str());
}

std::optional<std::uint16_t> AskFirstDisplay() {
  std::uint16_t version = 0;
  if (!device::CHidDeviceManager::Instance().QueryVersion(version)) return std::nullopt;
  return version;
}

bool ShellStart(const std::wstring& program) {
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, nullptr, SW_SHOW));
  return result > 32;
}

}  // namespace

UpdateService::UpdateService(UpdateHost host) : host_(std::move(host)) {
  if (!host_.query_firmware) host_.query_firmware = AskFirstDisplay;
  if (!host_.start_program) host_.start_program = ShellStart;
  if (!host_.end_process) {
    host_.end_process = [] {
      WaitForLiveJobsAtExit();
      std::exit(0);
    };
  }
}

void UpdateService::RunUpdateTask(device::WorkerTask task) noexcept {
  try {
    using device::WorkerTask;
    switch (task) {
      case WorkerTask::CheckSoftwareNow:
        return Check(Channel::Software, true);
      case WorkerTask::CheckFirmwareNow:
        return Check(Channel::Firmware, true);
      case WorkerTask::CheckSoftwareAtStart:
        return Check(Channel::Software, false);
      case WorkerTask::CheckFirmwareAtStart:
        return Check(Channel::Firmware, false);
      case WorkerTask::InstallSoftware:
        return Install(Channel::Software);
      case WorkerTask::InstallFirmware:
        return Install(Channel::Firmware);
      default:
        return;
    }
  } catch (...) {
    Trace(L"update task failed");
  }
}

std::wstring UpdateService::LatestVersion(Channel channel) const {
  const std::lock_guard guard(lock_);
  return channel == Channel::Software ? latest_software_ : latest_firmware_;
}

std::wstring UpdateService::Origin() const { return host_.origin.empty() ? UpdateOrigin() : host_.origin; }

std::wstring UpdateService::Data() const {
  return host_.data_folder.empty() ? DataFolder() : host_.data_folder;
}

void UpdateService::Check(Channel channel, bool always_report) {
  if (channel == Channel::Firmware) {
    const std::lock_guard guard(lock_);
    latest_firmware_.clear();
  }
  const CheckOutcome outcome =
      CheckChannel(channel, Origin(), host_.current_version, host_.query_firmware, host_.text_fetch_deadline);
  if (!outcome.version) return;
  {
    const std::lock_guard guard(lock_);
    (channel == Channel::Software ? latest_software_ : latest_firmware_) = *outcome.version;
  }
  if (!always_report && !outcome.newer) return;
  const WPARAM which = channel == Channel::Software ? 1 : 2;
  if (host_.window) ::PostMessageW(host_.window, MSG_UPDATE_RESULT, which, outcome.newer ? 1 : 0);
}

void UpdateService::Install(Channel channel) {
  const std::wstring version = LatestVersion(channel);
  if (version.empty()) return Trace(L"install without a checked version");
  const std::wstring data = Data();
  if (data.empty()) return Trace(L"no data folder");
  const std::wstring package_name = PackageName(channel, version);
  const std::wstring package = DownloadedFile(data, package_name);
  const std::wstring program = DownloadedFile(data, ProgramName(channel, version));
  const std::wstring url = PackageUrl(ChannelBaseUrl(Origin(), channel), package_name);

  // Held until the program was started: nobody can swap the folder meanwhile.
  const std::wstring folder = DownloadFolder(data);
  if (!CreateDirectoryTree(data.c_str())) return Trace(L"data folder could not be created: " + data);
  const AdminFolder held_folder = HoldAdminOnlyFolder(folder);
  if (!held_folder.moved_to.empty()) Trace(L"a foreign download folder was moved to " + held_folder.moved_to);
  if (!held_folder.handle) return Trace(L"download folder refused: " + win::Widen(held_folder.refusal));

  const FetchedPackage fetched =
      FetchPackage(fetcher_, url, package, host_.window, package_name, host_.trusted_key);
  if (fetched.download != HttpResult::Complete) {
    return Trace(L"download failed (" + std::to_wstring(ResultNumber(fetched.download)) + L"): " + url);
  }
  if (!fetched.Verified()) {
    Trace(L"package " + win::Widen(VerdictText(fetched.verdict)) + L": " + url);
    if (host_.window)
      ::PostMessageW(host_.window, MSG_UPDATE_REFUSED, channel == Channel::Software ? 1 : 2, 0);
    return;
  }

  ExtractOptions options;
  options.hold_open = program;
  ExtractReport report = ExtractZipFromMemory(*fetched.bytes, folder.c_str(), options);
  if (!report.Complete()) return Trace(L"package did not unpack whole: " + package);
  if (!report.Wrote(program) || !report.held) return Trace(L"package holds no " + program);
  // Started while still held: what starts is what was unpacked.
  if (!host_.start_program(program)) return Trace(L"could not start " + program);
  report.held.reset();
  host_.end_process();
}

}  // namespace ostrel::update
