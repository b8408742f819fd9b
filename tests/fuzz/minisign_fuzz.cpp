// minisign signature and key files as a hostile server or a damaged key
// may present them: no input crashes the readers, what they accept is
// minisign's exact form (base64 in its one spelling, the right lengths),
// a file name is found in the trusted comment only as a whole field, and
// nothing verifies against the trusted key without its secret half.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "update/minisign_format.h"
#include "update/package_signature.h"
#include "update/trusted_key.h"

namespace {

std::string Encode(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::uint32_t n = (bytes[i] << 16) | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                            (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    out += kAlphabet[(n >> 18) & 63];
    out += kAlphabet[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[n & 63] : '=';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ostrel::update;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const std::string_view first_line = text.substr(0, text.find('\n'));
  if (const auto decoded = DecodeBase64(first_line)) OSTREL_FUZZ_CHECK(Encode(*decoded) == first_line);

  (void)ParseMinisignPublicKey(text);

  if (const auto signature = ParseMinisignSignature(text)) {
    OSTREL_FUZZ_CHECK(signature->trusted_comment.find('\n') == std::string::npos);
    OSTREL_FUZZ_CHECK(text.find(signature->trusted_comment) != std::string_view::npos);
    // The name of the first "file:" field, if any, is found; the same name
    // with one more character only when such a field is there too.
    const std::string& comment = signature->trusted_comment;
    const std::size_t at = comment.find("file:");
    if (at == 0 || (at != std::string::npos && comment[at - 1] == '\t')) {
      const std::string name = comment.substr(at + 5, comment.find('\t', at) - at - 5);
      OSTREL_FUZZ_CHECK(name.empty() || CommentNamesFile(comment, name));
      OSTREL_FUZZ_CHECK(!CommentNamesFile(comment, name + "x") ||
                        comment.find("file:" + name + "x") != std::string::npos);
    }
  }
  // The input as a signature of itself: a forgery if it ever verified.
  const std::vector<std::uint8_t> package(data, data + size);
  OSTREL_FUZZ_CHECK(VerifyPackageSignature(package, text, "Software-1.0.1.2.zip", TrustedUpdateKey()) !=
                    SignatureVerdict::Verified);
  return 0;
}
