#include "tests/velo/render_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "velo/render/mrender.h"

namespace velo_test {
namespace {

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};

[[maybe_unused]] const auto* const kGdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace

int ColorDistance(Argb a, Argb b) {
  return std::max({std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)), std::abs(Blue(a) - Blue(b))});
}

Canvas::Canvas(int width, int height, Argb fill) : width_(width), height_(height) {
  dc_ = VELO::MRender::CreateCompatibleDC(nullptr);
  bitmap_ = VELO::MRender::CreateARGB32Bitmap(dc_.get(), width, height, &bits_);
  if (dc_ && bitmap_) previous_ = ::SelectObject(dc_.get(), bitmap_.get());
  if (bits_) Fill(fill);
}

Canvas::~Canvas() {
  if (previous_) ::SelectObject(dc_.get(), previous_);
}

void Canvas::Fill(Argb color) {
  ::GdiFlush();
  std::fill_n(reinterpret_cast<Argb*>(bits_), static_cast<size_t>(width_) * height_, color);
}

void Canvas::SetPixel(int x, int y, Argb color) {
  ::GdiFlush();
  reinterpret_cast<Argb*>(bits_)[static_cast<size_t>(height_ - 1 - y) * width_ + x] = color;
}

Argb Canvas::Pixel(int x, int y) const {
  ::GdiFlush();
  return reinterpret_cast<const Argb*>(bits_)[static_cast<size_t>(height_ - 1 - y) * width_ + x];
}

std::unique_ptr<Gdiplus::Bitmap> MakeBlockImage(const int (&columns)[3], const int (&rows)[3],
                                                const Argb (&colors)[9]) {
  const int w = columns[0] + columns[1] + columns[2];
  const int h = rows[0] + rows[1] + rows[2];
  auto image = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
  int top = 0;
  for (int r = 0; r < 3; ++r) {
    int left = 0;
    for (int c = 0; c < 3; ++c) {
      for (int y = top; y < top + rows[r]; ++y) {
        for (int x = left; x < left + columns[c]; ++x)
          image->SetPixel(x, y, Gdiplus::Color(colors[r * 3 + c]));
      }
      left += columns[c];
    }
    top += rows[r];
  }
  return image;
}

std::wstring TestFile(const wchar_t* name) {
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dir(exe);
  dir.resize(dir.find_last_of(L'\\') + 1);
  return dir + name;
}

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, base);
  for (unsigned n = ::GetCurrentProcessId() * 1000u;; ++n) {
    path_ = std::wstring(base) + L"velo-render-" + std::to_wstring(n);
    if (::CreateDirectoryW(path_.c_str(), nullptr)) break;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAW found;
  HANDLE find = ::FindFirstFileW((path_ + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      ::DeleteFileW(File(found.cFileName).c_str());
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(path_.c_str());
}

std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace velo_test
