// Fetching one update package for an install (or for ostrelctl): the
// package is downloaded to a file, its detached signature fetched from
// beside it ("<package URL>.minisig"), the file read into memory once and
// deleted, and the signature checked over those bytes. Whatever is unpacked
// afterwards must come from `bytes`, never from the file again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/http_result.h"
#include "update/http_transfer_state.h"
#include "update/package_signature.h"

namespace ostrel::update {

struct FetchedPackage {
  HttpResult download = HttpResult::Failed;
  HttpResult signature_fetch = HttpResult::Failed;
  // The package as downloaded; nothing when the download failed or the
  // file could not be read whole within kMaxPackageBytes.
  std::optional<std::vector<std::uint8_t>> bytes;
  SignatureVerdict verdict = SignatureVerdict::NoSignature;

  bool Verified() const noexcept { return bytes && verdict == SignatureVerdict::Verified; }
};

inline constexpr wchar_t kSignatureSuffix[] = L".minisig";

// `path` is where the download goes (deleted again in every case);
// progress goes to `window` when one is given. An empty `trusted_key` is
// the build's.
FetchedPackage FetchPackage(HttpFetcher& fetcher, const std::wstring& package_url, const std::wstring& path,
                            HWND window, std::wstring_view package_name,
                            std::string_view trusted_key = {}) noexcept;

}  // namespace ostrel::update
