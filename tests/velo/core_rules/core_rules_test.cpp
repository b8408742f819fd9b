// Plain rules of the library core: scaling, the skin folder, cursor names.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "velo/core/cursor_names.h"
#include "velo/plain/scale.h"
#include "velo/plain/skin_path.h"
#include "velo/plain/window_style.h"

namespace {

TEST(SkinnedWindowStyle, DropsTheSystemFrameAndKeepsEverythingElse) {
  constexpr std::uint32_t kPopup = 0x80000000, kVisible = 0x10000000, kCaption = 0x00C00000,
                          kThickFrame = 0x00040000, kSysMenu = 0x00080000, kMinimizeBox = 0x00020000,
                          kClipSiblings = 0x04000000, kClipChildren = 0x02000000;
  // An overlapped window with every frame part the system offers.
  const std::uint32_t framed = kVisible | kCaption | kThickFrame | kSysMenu | kMinimizeBox;
  const std::uint32_t skinned = VELO::SkinnedWindowStyle(framed);
  EXPECT_EQ(skinned & kCaption, 0u);
  EXPECT_EQ(skinned & kThickFrame, 0u);
  EXPECT_EQ(skinned & (kVisible | kSysMenu | kMinimizeBox), kVisible | kSysMenu | kMinimizeBox);
  EXPECT_EQ(skinned & (kClipSiblings | kClipChildren), kClipSiblings | kClipChildren);
  EXPECT_EQ(VELO::SkinnedWindowStyle(skinned), skinned);  // applying it twice changes nothing
  EXPECT_EQ(VELO::SkinnedWindowStyle(kPopup), 0x86000008u);
  // The value every window had before the rule had a name.
  EXPECT_EQ(VELO::SkinnedWindowStyle(framed), (framed & 0xFF3BFFFFu) | 0x06000008u);
}

TEST(ScaleTruncate, SinglePrecisionProductTruncatedTowardZero) {
  EXPECT_EQ(VELO::ScaleTruncate(15, 1.5f), 22);
  EXPECT_EQ(VELO::ScaleTruncate(1, 0.99f), 0);
  EXPECT_EQ(VELO::ScaleTruncate(-15, 1.5f), -22);
  EXPECT_EQ(VELO::ScaleTruncate(-1, 0.99f), 0);
  EXPECT_EQ(VELO::ScaleTruncate(100, 1.0f), 100);
  EXPECT_EQ(VELO::ScaleTruncate(0, 3.0f), 0);
  // 0.1f is slightly above 0.1: 30 × 0.1f rounds to exactly 3 in float.
  EXPECT_EQ(VELO::ScaleTruncate(30, 0.1f), 3);
  // 16777217 is not a float: the product is computed in single precision.
  EXPECT_EQ(VELO::ScaleTruncate(16777217, 1.0f), 16777216);
}

TEST(ScaleTruncate, OutOfRangeProductsSaturateInsteadOfOverflowing) {
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  EXPECT_EQ(VELO::ScaleTruncate(kMax, 2.0f), kMax);
  EXPECT_EQ(VELO::ScaleTruncate(kMax, 1.0f), kMax);  // 2^31 as a float
  EXPECT_EQ(VELO::ScaleTruncate(kMin, 1.0f), kMin);
  EXPECT_EQ(VELO::ScaleTruncate(kMin, 2.0f), kMin);
  EXPECT_EQ(VELO::ScaleTruncate(5, std::numeric_limits<float>::infinity()), kMax);
  EXPECT_EQ(VELO::ScaleTruncate(5, -std::numeric_limits<float>::infinity()), kMin);
  EXPECT_EQ(VELO::ScaleTruncate(5, std::nanf("")), 0);
  EXPECT_EQ(VELO::ScaleTruncate(0, std::numeric_limits<float>::infinity()), 0);  // 0 × inf is NaN
}

TEST(SkinFolder, ExecutableFolderThenSkinsThenTheme) {
  EXPECT_EQ(VELO::SkinFolderFor(L"C:\\Program Files\\TEMP\\Ostrel.exe", L"theme1\\"),
            L"C:\\Program Files\\TEMP\\skins\\theme1\\");
  EXPECT_EQ(VELO::SkinFolderFor(L"\\\\server\\share\\a.b\\x.exe", L"theme1\\"),
            L"\\\\server\\share\\a.b\\skins\\theme1\\");
  EXPECT_EQ(VELO::SkinFolderFor(L"C:/tools/x.exe", L"theme1\\"), L"C:/tools/skins\\theme1\\");
  EXPECT_EQ(VELO::SkinFolderFor(L"Ostrel.exe", L"theme1\\"), L"skins\\theme1\\");
  EXPECT_EQ(VELO::SkinFolderFor(L"", L"theme1\\"), L"skins\\theme1\\");
  EXPECT_EQ(VELO::SkinFolderFor(L"C:\\", L"theme1\\"), L"C:\\skins\\theme1\\");
}

TEST(CursorNames, TheSevenNamesAndNothingElse) {
  EXPECT_EQ(VELO::SystemCursorIdForName(L"arrow"), 32512);
  EXPECT_EQ(VELO::SystemCursorIdForName(L"wait"), 32514);
  EXPECT_EQ(VELO::SystemCursorIdForName(L"cross"), 32515);
  EXPECT_EQ(VELO::SystemCursorIdForName(L"sizewe"), 32644);
  EXPECT_EQ(VELO::SystemCursorIdForName(L"sizens"), 32645);
  EXPECT_EQ(VELO::SystemCursorIdForName(L"hand"), 32649);
  EXPECT_EQ(VELO::SystemCursorIdForName(L"help"), 32651);
  for (const wchar_t* other : {L"Arrow", L"HAND", L"", L"hand2", L"han", L"ibeam", L" help"}) {
    EXPECT_EQ(VELO::SystemCursorIdForName(other), 0);
  }
  EXPECT_EQ(VELO::SystemCursorIdForName(nullptr), 0);
}

}  // namespace
