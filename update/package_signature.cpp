#include "update/package_signature.h"

#include <sodium.h>

#include <string>
#include <vector>

#include "update/minisign_format.h"

namespace ostrel::update {

namespace {

bool Verifies(const std::array<std::uint8_t, 64>& signature, const std::uint8_t* message, std::size_t size,
              const MinisignPublicKey& key) noexcept {
  return ::crypto_sign_verify_detached(signature.data(), message, size, key.key.data()) == 0;
}

}  // namespace

SignatureVerdict VerifyPackageSignature(std::span<const std::uint8_t> package,
                                        std::optional<std::string_view> signature_file,
                                        std::string_view package_name,
                                        std::string_view trusted_key) noexcept {
  try {
    if (package.size() > kMaxPackageBytes) return SignatureVerdict::TooLarge;
    const auto key = ParseMinisignPublicKey(trusted_key);
    if (!key) return SignatureVerdict::UnusableKey;
    if (!signature_file) return SignatureVerdict::NoSignature;
    const auto signature = ParseMinisignSignature(*signature_file);
    if (!signature) return SignatureVerdict::UnreadableSignature;
    if (signature->key_id != key->key_id) return SignatureVerdict::OtherKey;
    if (::sodium_init() < 0) return SignatureVerdict::CryptoUnavailable;

    // The trusted comment is believed only once its signature verifies.
    std::vector<std::uint8_t> signed_comment(signature->signature.begin(), signature->signature.end());
    signed_comment.insert(signed_comment.end(), signature->trusted_comment.begin(),
                          signature->trusted_comment.end());
    if (!Verifies(signature->global_signature, signed_comment.data(), signed_comment.size(), *key)) {
      return SignatureVerdict::BadTrustedComment;
    }
    if (!CommentNamesFile(signature->trusted_comment, package_name)) return SignatureVerdict::OtherFile;

    if (signature->algorithm == MinisignAlgorithm::Legacy) {
      return Verifies(signature->signature, package.data(), package.size(), *key)
                 ? SignatureVerdict::Verified
                 : SignatureVerdict::BadSignature;
    }
    std::array<std::uint8_t, crypto_generichash_BYTES_MAX> hash{};
    if (::crypto_generichash(hash.data(), hash.size(), package.data(), package.size(), nullptr, 0) != 0) {
      return SignatureVerdict::CryptoUnavailable;
    }
    return Verifies(signature->signature, hash.data(), hash.size(), *key) ? SignatureVerdict::Verified
                                                                          : SignatureVerdict::BadSignature;
  } catch (...) {
    // Only memory can run out here; an unverified package is refused.
    return SignatureVerdict::CryptoUnavailable;
  }
}

std::string_view VerdictText(SignatureVerdict verdict) noexcept {
  switch (verdict) {
    case SignatureVerdict::Verified:
      return "verified";
    case SignatureVerdict::NoSignature:
      return "refused: no signature";
    case SignatureVerdict::UnreadableSignature:
      return "refused: signature file unreadable";
    case SignatureVerdict::UnusableKey:
      return "refused: trusted key unusable";
    case SignatureVerdict::OtherKey:
      return "refused: signed with another key";
    case SignatureVerdict::BadSignature:
      return "refused: signature does not verify";
    case SignatureVerdict::BadTrustedComment:
      return "refused: trusted comment does not verify";
    case SignatureVerdict::OtherFile:
      return "refused: signature made for another file";
    case SignatureVerdict::TooLarge:
      return "refused: package too large";
    case SignatureVerdict::CryptoUnavailable:
      return "refused: verification unavailable";
  }
  return "refused";
}

}  // namespace ostrel::update
