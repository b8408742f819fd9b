#include "update/minisign_format.h"

#include <algorithm>

namespace ostrel::update {

namespace {

constexpr std::string_view kUntrusted = "untrusted comment: ";
constexpr std::string_view kTrusted = "trusted comment: ";

int Sextet(char c) noexcept {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// The file's lines without their "\n" or "\r\n"; a last line need not end
// in one. A zero byte anywhere makes the file unreadable, as for minisign.
std::optional<std::vector<std::string_view>> Lines(std::string_view text) {
  if (text.size() > kMaxSignatureFileBytes || text.find('\0') != std::string_view::npos) return std::nullopt;
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

template <std::size_t N>
std::array<std::uint8_t, N> Take(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  std::array<std::uint8_t, N> out{};
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), N, out.begin());
  return out;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0) return std::nullopt;
  std::size_t padding = 0;
  if (text.back() == '=') ++padding;
  if (text.size() >= 2 && text[text.size() - 2] == '=') ++padding;
  std::vector<std::uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < text.size() - padding; ++i) {
    const int value = Sextet(text[i]);
    if (value < 0) return std::nullopt;
    bits = (bits << 6) | static_cast<std::uint32_t>(value);
    if (i % 4 == 3) {
      out.push_back(static_cast<std::uint8_t>(bits >> 16));
      out.push_back(static_cast<std::uint8_t>(bits >> 8));
      out.push_back(static_cast<std::uint8_t>(bits));
      bits = 0;
    }
  }
  // The bits the padding stands for must be zero, so that each byte string
  // has one spelling only.
  if (padding == 1) {
    if (bits & 0x3) return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(bits >> 10));
    out.push_back(static_cast<std::uint8_t>(bits >> 2));
  } else if (padding == 2) {
    if (bits & 0xF) return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(bits >> 4));
  }
  return out;
}

std::optional<MinisignPublicKey> ParseMinisignPublicKey(std::string_view text) {
  const auto lines = Lines(text);
  if (!lines) return std::nullopt;
  std::size_t at = 0;
  if (at < lines->size() && (*lines)[at].starts_with(kUntrusted)) ++at;
  if (at >= lines->size()) return std::nullopt;
  for (std::size_t rest = at + 1; rest < lines->size(); ++rest) {
    if (!(*lines)[rest].empty()) return std::nullopt;
  }
  const auto bytes = DecodeBase64((*lines)[at]);
  if (!bytes || bytes->size() != 42 || (*bytes)[0] != 'E' || (*bytes)[1] != 'd') return std::nullopt;
  MinisignPublicKey key;
  key.key_id = Take<8>(*bytes, 2);
  key.key = Take<32>(*bytes, 10);
  return key;
}

std::optional<MinisignSignature> ParseMinisignSignature(std::string_view text) {
  const auto lines = Lines(text);
  if (!lines || lines->size() < 4) return std::nullopt;
  for (std::size_t rest = 4; rest < lines->size(); ++rest) {
    if (!(*lines)[rest].empty()) return std::nullopt;
  }
  const std::string_view untrusted = (*lines)[0];
  const std::string_view trusted = (*lines)[2];
  if (!untrusted.starts_with(kUntrusted) || !trusted.starts_with(kTrusted)) return std::nullopt;
  const auto signature = DecodeBase64((*lines)[1]);
  const auto global = DecodeBase64((*lines)[3]);
  if (!signature || signature->size() != 74 || !global || global->size() != 64) return std::nullopt;
  MinisignSignature out;
  if ((*signature)[0] != 'E') return std::nullopt;
  if ((*signature)[1] == 'd') {
    out.algorithm = MinisignAlgorithm::Legacy;
  } else if ((*signature)[1] == 'D') {
    out.algorithm = MinisignAlgorithm::Prehashed;
  } else {
    return std::nullopt;
  }
  out.key_id = Take<8>(*signature, 2);
  out.signature = Take<64>(*signature, 10);
  out.trusted_comment = std::string(trusted.substr(kTrusted.size()));
  out.global_signature = Take<64>(*global, 0);
  return out;
}

bool CommentNamesFile(std::string_view trusted_comment, std::string_view name) noexcept {
  if (name.empty()) return false;
  for (;;) {
    const std::size_t tab = trusted_comment.find('\t');
    const std::string_view field = trusted_comment.substr(0, tab);
    if (field.starts_with("file:") && field.substr(5) == name) return true;
    if (tab == std::string_view::npos) return false;
    trusted_comment.remove_prefix(tab + 1);
  }
}

}  // namespace ostrel::update
