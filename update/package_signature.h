// Whether an update package may be installed: its detached minisign
// signature must be made by the trusted key, verify over the package's bytes
// (legacy or prehashed), carry a global signature over its trusted comment,
// and that comment must name this very package ("file:<name>"), so that a
// signature of another package or version is no signature of this one.
//
// The bytes checked are the bytes that are then unpacked: the caller holds
// the package in memory from the check to the end of the unpacking.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace ostrel::update {

enum class SignatureVerdict {
  Verified,
  NoSignature,          // none was found beside the package
  UnreadableSignature,  // not a minisign signature file (cut short, damaged)
  UnusableKey,          // the trusted key itself could not be read
  OtherKey,             // made with a key other than the trusted one
  BadSignature,         // does not verify over the package
  BadTrustedComment,    // the global signature does not verify
  OtherFile,            // the trusted comment names another file
  TooLarge,             // the package is larger than an update may be
  CryptoUnavailable,    // libsodium could not start
};

// The largest package read into memory and verified.
inline constexpr std::uint64_t kMaxPackageBytes = std::uint64_t{256} << 20;

// `signature_file` is nothing when no signature could be fetched;
// `package_name` is the file name the signature must name (UTF-8);
// `trusted_key` is the trusted public key in minisign's format.
SignatureVerdict VerifyPackageSignature(std::span<const std::uint8_t> package,
                                        std::optional<std::string_view> signature_file,
                                        std::string_view package_name, std::string_view trusted_key) noexcept;

// One line for traces and ostrelctl: "verified", "no signature", ...
std::string_view VerdictText(SignatureVerdict verdict) noexcept;

}  // namespace ostrel::update
