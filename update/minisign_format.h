// The two text files of minisign: a public key and a detached signature,
// read as the minisign tool writes them. Reading checks form only (lines,
// prefixes, base64, lengths); whether anything verifies is
// package_signature.h's business.
//
// Public key: an optional "untrusted comment: ..." line, then base64 of
// "Ed" || key id (8) || Ed25519 key (32). Signature file: "untrusted
// comment: ..." line, base64 of algorithm (2) || key id (8) || signature
// (64), "trusted comment: ..." line, base64 of the global signature (64).
// "Ed" signs the file itself, "ED" its BLAKE2b-512 hash.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel::update {

using MinisignKeyId = std::array<std::uint8_t, 8>;

struct MinisignPublicKey {
  MinisignKeyId key_id{};
  std::array<std::uint8_t, 32> key{};
};

enum class MinisignAlgorithm { Legacy, Prehashed };

struct MinisignSignature {
  MinisignAlgorithm algorithm = MinisignAlgorithm::Legacy;
  MinisignKeyId key_id{};
  std::array<std::uint8_t, 64> signature{};
  std::string trusted_comment;  // the text after "trusted comment: "
  std::array<std::uint8_t, 64> global_signature{};
};

// A signature file is a few hundred bytes; minisign itself caps its trusted
// comment at 8 KiB.
inline constexpr std::size_t kMaxSignatureFileBytes = 16 * 1024;

// Strict base64 (standard alphabet, padding required, nothing else on the
// line); nothing when the text is not exactly that.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text);

// The key line alone, or a whole minisign .pub file.
std::optional<MinisignPublicKey> ParseMinisignPublicKey(std::string_view text);

std::optional<MinisignSignature> ParseMinisignSignature(std::string_view text);

// Whether one tab-separated field of the trusted comment is exactly
// "file:<name>".
bool CommentNamesFile(std::string_view trusted_comment, std::string_view name) noexcept;

}  // namespace ostrel::update
