#include "common/swallowed_failure.h"
#include "common/win/text.h"
#include "update/http_fetch.h"
#include "update/package_fetch.h"
#include "update/package_file.h"
#include "update/transfer_limits.h"
#include "update/trusted_key.h"

namespace ostrel::update {

namespace {

void Fetch(HttpFetcher& fetcher, const std::wstring& package_url, const std::wstring& path, HWND window,
           std::wstring_view package_name, std::string_view trusted_key, FetchedPackage& fetched) {
  ::DeleteFileW(path.c_str());
  fetched.download = HttpDownloadToFile(fetcher, package_url.c_str(), path.c_str(), window);
  if (fetched.download == HttpResult::Complete) {
    fetched.bytes = ReadPackageFile(path.c_str(), kMaxPackageBytes);
    if (!fetched.bytes) fetched.verdict = SignatureVerdict::TooLarge;
  }
  ::DeleteFileW(path.c_str());
  if (!fetched.bytes) return;

  HttpFetcher signature_fetcher;
  std::string signature;
  const std::wstring signature_url = package_url + kSignatureSuffix;
  fetched.signature_fetch =
      HttpGetBytes(signature_fetcher, signature_url.c_str(), signature, kTextFetchDeadline);
  std::optional<std::string_view> signature_file;
  if (fetched.signature_fetch == HttpResult::Complete) signature_file = signature;
  fetched.verdict = VerifyPackageSignature(*fetched.bytes, signature_file, win::Narrow(package_name),
                                           trusted_key.empty() ? TrustedUpdateKey() : trusted_key);
}

}  // namespace

FetchedPackage FetchPackage(HttpFetcher& fetcher, const std::wstring& package_url, const std::wstring& path,
                            HWND window, std::wstring_view package_name,
                            std::string_view trusted_key) noexcept {
  FetchedPackage fetched;
  try {
    Fetch(fetcher, package_url, path, window, package_name, trusted_key, fetched);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    ::DeleteFileW(path.c_str());
    fetched.bytes.reset();
  }
  return fetched;
}

}  // namespace ostrel::update
