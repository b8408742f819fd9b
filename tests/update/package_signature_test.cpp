// Update package signatures against what Debian's minisign writes: each
// package signed at test time with the development key (and a second key),
// then verified as the install verifies it, whole and after every kind of
// tampering.
#include "update/package_signature.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace ostrel::update {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class PackageSignature : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ostrel-signature-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    keys_ = fs::path(OSTREL_TEST_KEYS_DIR);
    trusted_ = ReadText(keys_ / "dev.pub");
    for (std::size_t i = 0; i < 100000; ++i)
      package_.push_back(static_cast<std::uint8_t>((i * 131 + 7) % 253));
  }
  void TearDown() override { fs::remove_all(dir_); }

  // minisign's signature of `bytes` stored under `name`, made with
  // `extra` options and the given secret key.
  std::string Sign(const std::string& name, const std::vector<std::uint8_t>& bytes,
                   const std::string& extra = {}, const fs::path& key = {}) {
    const fs::path file = dir_ / name;
    WriteBytes(file, bytes);
    fs::remove(file.string() + ".minisig");
    const std::string command = "minisign -S -q " + extra + " -s '" +
                                (key.empty() ? keys_ / "dev.key" : key).string() + "' -m '" + file.string() +
                                "' </dev/null >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadText(file.string() + ".minisig");
  }

  SignatureVerdict Verify(const std::vector<std::uint8_t>& bytes, const std::optional<std::string>& signature,
                          const std::string& name = "Software-1.0.1.2.zip") {
    std::optional<std::string_view> view;
    if (signature) view = *signature;
    return VerifyPackageSignature(bytes, view, name, trusted_);
  }

  fs::path dir_, keys_;
  std::string trusted_;
  std::vector<std::uint8_t> package_;
};

TEST_F(PackageSignature, OnlyTheTrustedKeysSignatureOfThisVeryPackageVerifies) {
  const std::string prehashed = Sign("Software-1.0.1.2.zip", package_);
  const std::string legacy = Sign("Software-1.0.1.2.zip", package_, "-l");
  ASSERT_NE(prehashed.find("\nRU"), std::string::npos) << "minisign signs prehashed by default";
  ASSERT_NE(legacy.find("\nRW"), std::string::npos);
  EXPECT_EQ(Verify(package_, prehashed), SignatureVerdict::Verified);
  EXPECT_EQ(Verify(package_, legacy), SignatureVerdict::Verified);
  // The key as the build stores it: its base64 line alone.
  const std::string line = trusted_.substr(trusted_.find('\n') + 1, 56);
  EXPECT_EQ(VerifyPackageSignature(package_, prehashed, "Software-1.0.1.2.zip", line),
            SignatureVerdict::Verified);
  // Lines ending in CRLF, as a server or an editor may turn them.
  std::string crlf;
  for (char c : legacy) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(Verify(package_, crlf), SignatureVerdict::Verified);

  // One changed byte anywhere, or one byte less or more.
  for (std::size_t at : {std::size_t{0}, package_.size() / 2, package_.size() - 1}) {
    auto changed = package_;
    changed[at] ^= 0x01;
    EXPECT_EQ(Verify(changed, prehashed), SignatureVerdict::BadSignature) << at;
    EXPECT_EQ(Verify(changed, legacy), SignatureVerdict::BadSignature) << at;
  }
  auto shorter = package_;
  shorter.pop_back();
  EXPECT_EQ(Verify(shorter, prehashed), SignatureVerdict::BadSignature);
  auto longer = package_;
  longer.push_back(0);
  EXPECT_EQ(Verify(longer, legacy), SignatureVerdict::BadSignature);

  // A signature made for another version, or for a name that only begins
  // like this one, is no signature of this package.
  const std::string other_version = Sign("Software-1.0.1.3.zip", package_);
  EXPECT_EQ(Verify(package_, other_version), SignatureVerdict::OtherFile);
  EXPECT_EQ(Verify(package_, prehashed, "Software-1.0.1.3.zip"), SignatureVerdict::OtherFile);
  EXPECT_EQ(Verify(package_, Sign("x.zip", package_, "-t 'timestamp:1\tfile:Software-1.0.1.2.zip.old'")),
            SignatureVerdict::OtherFile);
  EXPECT_EQ(Verify(package_, Sign("x.zip", package_, "-t 'file:software-1.0.1.2.zip'")),
            SignatureVerdict::OtherFile);
  EXPECT_EQ(Verify(package_, Sign("x.zip", package_, "-t 'file:Software-1.0.1.2.zip'")),
            SignatureVerdict::Verified);

  // A trusted comment changed after signing: its global signature fails.
  std::string renamed = other_version;
  renamed.replace(renamed.find("Software-1.0.1.3.zip"), 20, "Software-1.0.1.2.zip");
  EXPECT_EQ(Verify(package_, renamed), SignatureVerdict::BadTrustedComment);

  // Another key, however well made.
  const fs::path other_key = dir_ / "other.key";
  ASSERT_EQ(std::system(("minisign -G -W -q -p '" + (dir_ / "other.pub").string() + "' -s '" +
                         other_key.string() + "' </dev/null >/dev/null 2>&1")
                            .c_str()),
            0);
  EXPECT_EQ(Verify(package_, Sign("Software-1.0.1.2.zip", package_, "", other_key)),
            SignatureVerdict::OtherKey);
  // And the trusted key's signature is nothing to a build that trusts
  // another.
  EXPECT_EQ(VerifyPackageSignature(package_, legacy, "Software-1.0.1.2.zip", ReadText(dir_ / "other.pub")),
            SignatureVerdict::OtherKey);

  // Missing, cut short at any byte, or damaged: refused, never verified.
  EXPECT_EQ(Verify(package_, std::nullopt), SignatureVerdict::NoSignature);
  for (std::size_t n = 0; n + 1 < legacy.size(); ++n) {
    EXPECT_EQ(Verify(package_, legacy.substr(0, n)), SignatureVerdict::UnreadableSignature) << n;
  }
  EXPECT_EQ(Verify(package_, "not a signature"), SignatureVerdict::UnreadableSignature);
  EXPECT_EQ(VerifyPackageSignature(package_, legacy, "Software-1.0.1.2.zip", "RWQ"),
            SignatureVerdict::UnusableKey);
}

}  // namespace
}  // namespace ostrel::update
