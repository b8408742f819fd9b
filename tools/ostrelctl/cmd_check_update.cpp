// ostrelctl check-update: the program's update check, run once and spelled
// out. The firmware check scans for displays first, as the program's
// start-up does before its own firmware check.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/win/text.h"
#include "device/hid/hid_device_manager.h"
#include "device/worker/device_work.h"
#include "tools/ostrelctl/command.h"
#include "update/package_fetch.h"
#include "update/update_check.h"
#include "update/update_locations.h"
#include "update/update_server.h"
#include "update/update_service.h"
#include "update/version_compare.h"

namespace ostrelctl {

namespace {

std::optional<std::uint16_t> FirstDisplayVersion() {
  auto& devices = ostrel::device::CHidDeviceManager::Instance();
  ostrel::device::RescanDisplays(devices);
  std::uint16_t version = 0;
  if (!devices.QueryVersion(version)) return std::nullopt;
  return version;
}

// Control characters of an error page shown as escapes, on one line.
std::string Printable(const std::wstring& text) {
  std::string out;
  for (char c : ostrel::win::Narrow(text)) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (static_cast<unsigned char>(c) < 32) {
      out += '?';
    } else {
      out += c;
    }
  }
  return out;
}

// The offered package is fetched as an install would fetch it, into the
// user's temporary folder, and its signature checked; nothing is unpacked.
void PrintPackageSignature(ostrel::update::Channel channel, const std::wstring& origin,
                           const std::wstring& version) {
  using namespace ostrel::update;
  const std::wstring name = PackageName(channel, version);
  const std::wstring url = PackageUrl(ChannelBaseUrl(origin, channel), name);
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) {
    std::printf("package signature: not checked (no temporary folder)\n");
    return;
  }
  HttpFetcher fetcher;
  const FetchedPackage fetched =
      FetchPackage(fetcher, url, std::wstring(temp) + L"ostrelctl-" + name, nullptr, name);
  std::printf("package: %s\n", ostrel::win::Narrow(url).c_str());
  if (fetched.download != HttpResult::Complete) {
    std::printf("package signature: not checked (download result %d)\n", ResultNumber(fetched.download));
    return;
  }
  std::printf("package signature: %s\n", std::string(VerdictText(fetched.verdict)).c_str());
}

}  // namespace

int RunCheckUpdate(Args args) {
  using ostrel::update::Channel;
  if (args.size() > 1 || (args.size() == 1 && args[0] != "software" && args[0] != "firmware")) {
    std::fprintf(stderr, "usage: ostrelctl check-update [software|firmware]\n");
    return 2;
  }
  const Channel channel = (args.empty() || args[0] == "software") ? Channel::Software : Channel::Firmware;
  const std::wstring origin = ostrel::update::UpdateOrigin();
  const std::wstring url = ostrel::update::VersionUrl(ostrel::update::ChannelBaseUrl(origin, channel));
  const ostrel::update::CheckOutcome outcome =
      ostrel::update::CheckChannel(channel, origin, ostrel::update::kCurrentVersion, FirstDisplayVersion);

  std::printf("server: %s\n", ostrel::win::Narrow(url).c_str());
  std::printf("server text: \"%s\" (result %d, %zu characters)\n", Printable(outcome.server_text).c_str(),
              ostrel::update::ResultNumber(outcome.fetch_result), outcome.server_text.size());
  if (!outcome.version) {
    std::printf("verdict: no usable version text\n");
    return 1;
  }
  if (channel == Channel::Software) {
    std::printf("current version: %s\n", ostrel::win::Narrow(ostrel::update::kCurrentVersion).c_str());
  } else if (outcome.device_version) {
    std::printf("device version: 0x%x (compared as %d)\n", *outcome.device_version,
                ostrel::update::DeviceFirmwareNumber(*outcome.device_version));
  } else {
    std::printf("device version: none (no display answered)\n");
  }
  std::printf("verdict: %s %s\n", outcome.newer ? "newer version" : "up to date, latest is",
              ostrel::win::Narrow(*outcome.version).c_str());
  if (outcome.newer) PrintPackageSignature(channel, origin, *outcome.version);
  return 0;
}

}  // namespace ostrelctl
