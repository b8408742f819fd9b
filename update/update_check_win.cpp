#include "common/swallowed_failure.h"
#include "update/http_fetch.h"
#include "update/update_check.h"
#include "update/update_server.h"
#include "update/version_compare.h"

namespace ostrel::update {

CheckOutcome CheckChannel(Channel channel, const std::wstring& origin, const std::wstring& current_version,
                          const FirmwareQuery& query_firmware, std::chrono::milliseconds deadline) noexcept {
  CheckOutcome outcome;
  try {
    HttpFetcher fetcher;
    const std::wstring url = VersionUrl(ChannelBaseUrl(origin, channel));
    outcome.fetch_result = HttpGetToString(fetcher, url.c_str(), outcome.server_text, deadline);
    // A text cut short by the keep-going flag is no version file.
    if (outcome.fetch_result != HttpResult::Complete) return outcome;
    outcome.version = AcceptVersionText(channel, outcome.server_text);
    if (!outcome.version) return outcome;
    if (channel == Channel::Software) {
      outcome.newer = CompareVersions(current_version, *outcome.version) > 0;
    } else {
      if (query_firmware) outcome.device_version = query_firmware();
      outcome.newer = FirmwareIsNewer(*outcome.version, outcome.device_version);
    }
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    outcome.version.reset();
    outcome.newer = false;
  }
  return outcome;
}

}  // namespace ostrel::update
