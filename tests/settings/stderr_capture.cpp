#include "tests/settings/stderr_capture.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace ostrel::settings::testing {

StderrCapture::StderrCapture() {
  wchar_t folder[MAX_PATH + 1] = {};
  wchar_t file[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, folder);
  ::GetTempFileNameW(folder, L"err", 0, file);
  path_ = file;
  std::fflush(stderr);
  const int fd = ::_wopen(path_.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
  if (fd < 0) return;
  saved_ = ::_dup(2);
  ::_dup2(fd, 2);
  ::_close(fd);
}

StderrCapture::~StderrCapture() {
  Finish();
  ::DeleteFileW(path_.c_str());
}

std::string StderrCapture::Finish() {
  if (saved_ >= 0) {
    std::fflush(stderr);
    ::_dup2(saved_, 2);
    ::_close(saved_);
    saved_ = -1;
  }
  std::ifstream in(std::filesystem::path(path_), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace ostrel::settings::testing
