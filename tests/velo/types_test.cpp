#include <gtest/gtest.h>

#include "velo/core/cstring.h"
#include "velo/core/geometry.h"
#include "velo/core/module.h"

using VELO::CPoint;
using VELO::CRect;
using VELO::CString;

TEST(CStringTest, FormatUsesWideStringsForPercentS) {
  CString s;
  s.Format(L"\\%s Files\\", L"TEMP");
  EXPECT_EQ(s, L"\\TEMP Files\\");
  s.AppendFormat(L"%d-%02d", -7, 3);
  EXPECT_EQ(s, L"\\TEMP Files\\-7-03");
  CString big;
  big.Format(L"%s", std::wstring(5000, L'x').c_str());
  EXPECT_EQ(big.GetLength(), 5000);
}

TEST(CStringTest, SubstringsClampInsteadOfThrowing) {
  const CString s(L"theme1\\");
  EXPECT_EQ(s.Left(100), s);
  EXPECT_EQ(s.Left(-1), L"");
  EXPECT_EQ(s.Right(1), L"\\");
  EXPECT_EQ(s.Right(100), s);
  EXPECT_EQ(s.Mid(5), L"1\\");
  EXPECT_EQ(s.Mid(50), L"");
  EXPECT_EQ(s.Mid(2, 100), L"eme1\\");
  EXPECT_EQ(s.Mid(-3, 2), L"th");
  EXPECT_EQ(s.GetAt(99), L'\0');
  EXPECT_EQ(s.Find(L"me", 99), -1);
}

TEST(CStringTest, ReplaceDoesNotRescanInsertedText) {
  CString s(L"aaa");
  EXPECT_EQ(s.Replace(L"a", L"aa"), 3);
  EXPECT_EQ(s, L"aaaaaa");
  EXPECT_EQ(s.Replace(L"", L"x"), 0);
  CString path(L"VID_1a2c&pid_4f84");
  EXPECT_EQ(path.MakeUpper(), L"VID_1A2C&PID_4F84");
}

TEST(CStringTest, MultiByteRoundTrip) {
  const CString s = CString::FromMultiByte("caf\xc3\xa9", CP_UTF8);
  EXPECT_EQ(s, L"caf\u00e9");
  EXPECT_EQ(s.ToMultiByte(CP_UTF8), "caf\xc3\xa9");
  EXPECT_TRUE(CString::FromMultiByte(nullptr).IsEmpty());
}

TEST(CRectTest, UnionAndIntersectionMatchWin32) {
  const RECT cases[][2] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}}, {{0, 0, 10, 10}, {20, 20, 30, 30}}, {{0, 0, 0, 0}, {5, 5, 20, 20}},
      {{3, 3, 3, 9}, {0, 0, 1, 1}},     {{0, 0, 10, 10}, {10, 0, 20, 10}},
  };
  for (const auto& c : cases) {
    RECT expected;
    CRect got;
    const bool wu = ::UnionRect(&expected, &c[0], &c[1]) != FALSE;
    EXPECT_EQ(got.UnionRect(c[0], c[1]), wu);
    EXPECT_EQ(got, expected);
    const bool wi = ::IntersectRect(&expected, &c[0], &c[1]) != FALSE;
    EXPECT_EQ(got.IntersectRect(c[0], c[1]), wi);
    EXPECT_EQ(got, expected);
  }
}

TEST(CRectTest, PointsOnTheRightAndBottomEdgeAreOutside) {
  const CRect r(0, 0, 10, 10);
  EXPECT_TRUE(r.PtInRect(CPoint(0, 0)));
  EXPECT_FALSE(r.PtInRect(CPoint(10, 5)));
  EXPECT_FALSE(r.PtInRect(CPoint(5, 10)));
  EXPECT_EQ(CPoint::FromLParam(MAKELPARAM(-5, 7)), CPoint(-5, 7));
}

TEST(LibraryTest, KnowsItsOwnModule) {
  const HMODULE velo = ::GetModuleHandleW(L"VELO.dll");
  ASSERT_NE(velo, nullptr);
  EXPECT_EQ(VELO::GetLibraryModule(), velo);
}
