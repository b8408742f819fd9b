// One update check: fetch the channel's version file, accept it only in its
// channel's form, and compare it with the program's version (software) or
// with the first display's firmware (firmware). Shared by the worker's
// commands and `ostrelctl check-update`.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "update/http_result.h"
#include "update/http_transfer_state.h"
#include "update/transfer_limits.h"
#include "update/version_text.h"

namespace ostrel::update {

// The firmware version of the first display, or nothing when no display is
// open or it did not answer.
using FirmwareQuery = std::function<std::optional<std::uint16_t>()>;

struct CheckOutcome {
  HttpResult fetch_result = HttpResult::NoInternet;  // HttpGetToString's result
  std::wstring server_text;                          // the body as fetched
  std::optional<std::wstring> version;               // the accepted version, nothing when unusable
  std::optional<std::uint16_t> device_version;       // firmware only: what the display answered
  bool newer = false;
};

// The display is asked only once a usable firmware text came back. The
// version fetch gives up after `deadline`.
CheckOutcome CheckChannel(Channel channel, const std::wstring& origin, const std::wstring& current_version,
                          const FirmwareQuery& query_firmware,
                          std::chrono::milliseconds deadline = kTextFetchDeadline) noexcept;

}  // namespace ostrel::update
