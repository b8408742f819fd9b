// ostrelctl verify: the install's signature check of one package file, with
// the key this build trusts, so that a package can be tried before it is
// put on the server.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "common/win/text.h"
#include "tools/ostrelctl/command.h"
#include "update/minisign_format.h"
#include "update/package_file.h"
#include "update/package_signature.h"
#include "update/trusted_key.h"

namespace ostrelctl {

namespace {

std::wstring FileName(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

int RunVerify(Args args) {
  using namespace ostrel::update;
  if (args.empty() || args.size() > 2) {
    std::fprintf(stderr, "usage: ostrelctl verify <package> [signature]\n");
    return 2;
  }
  const std::wstring package = ostrel::win::Widen(args[0], CP_ACP);
  const std::wstring signature_path =
      args.size() == 2 ? ostrel::win::Widen(args[1], CP_ACP) : package + L".minisig";
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const auto bytes = ReadPackageFile(package.c_str(), kMaxPackageBytes);
  const auto read = Clock::now();
  if (!bytes) {
    std::printf("package: %s unreadable or larger than %llu bytes\n", std::string(args[0]).c_str(),
                static_cast<unsigned long long>(kMaxPackageBytes));
    std::printf("verdict: refused\n");
    return 1;
  }
  const auto signature = ReadPackageFile(signature_path.c_str(), kMaxSignatureFileBytes + 1);
  std::optional<std::string_view> signature_text;
  if (signature)
    signature_text = std::string_view(reinterpret_cast<const char*>(signature->data()), signature->size());
  const std::wstring name = FileName(package);
  const SignatureVerdict verdict =
      VerifyPackageSignature(*bytes, signature_text, ostrel::win::Narrow(name), TrustedUpdateKey());
  const auto checked = Clock::now();
  const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  std::printf("package: %s (%zu bytes)\n", ostrel::win::Narrow(name).c_str(), bytes->size());
  std::printf("signature: %s%s\n", ostrel::win::Narrow(signature_path).c_str(), signature ? "" : " (none)");
  std::printf("verdict: %s\n", std::string(VerdictText(verdict)).c_str());
  std::printf("time: read %.1f ms, checked %.1f ms\n", ms(read - start), ms(checked - read));
  return verdict == SignatureVerdict::Verified ? 0 : 1;
}

}  // namespace ostrelctl
