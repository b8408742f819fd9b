#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "settings/setting_text.h"
#include "settings/startup_program_path.h"
#include "settings/task_messages.h"

namespace ostrel::settings {
namespace {

int Parse(const std::wstring& text) { return ParseSettingText(text.c_str(), text.size() + 1); }

TEST(SettingText, ReadsLikeWtoi) {
  EXPECT_EQ(Parse(L"1"), 1);
  EXPECT_EQ(Parse(L" 1"), 1);
  EXPECT_EQ(Parse(L"1x"), 1);
  EXPECT_EQ(Parse(L"x1"), 0);
  EXPECT_EQ(Parse(L"-3"), -3);
  EXPECT_EQ(Parse(L"+3"), 3);
  EXPECT_EQ(Parse(L""), 0);
  EXPECT_EQ(Parse(L" \t\r\n\v\f42"), 42);
  EXPECT_EQ(Parse(L"- 3"), 0);
  EXPECT_EQ(Parse(L"+-3"), 0);
  EXPECT_EQ(Parse(L"-"), 0);
  EXPECT_EQ(Parse(L"007"), 7);
  EXPECT_EQ(Parse(L"1 2"), 1);
  EXPECT_EQ(Parse(L"1.9"), 1);
}

TEST(SettingText, SaturatesOutsideTheIntRange) {
  EXPECT_EQ(Parse(L"2147483647"), INT_MAX);
  EXPECT_EQ(Parse(L"2147483648"), INT_MAX);
  EXPECT_EQ(Parse(L"-2147483648"), INT_MIN);
  EXPECT_EQ(Parse(L"-2147483649"), INT_MIN);
  EXPECT_EQ(Parse(std::wstring(300, L'9')), INT_MAX);
  EXPECT_EQ(Parse(L"-" + std::wstring(300, L'9')), INT_MIN);
  EXPECT_EQ(Parse(L"000000000000000000000000000012"), 12);
}

// Heap buffers of exactly the stated size: a read past the end shows up
// under the address sanitizer of the native build.
TEST(SettingText, NeverReadsPastTheGivenSize) {
  const wchar_t digits[] = {L'1', L'2', L'3', L'4', L'5'};
  auto exact = std::make_unique<wchar_t[]>(5);
  std::memcpy(exact.get(), digits, sizeof digits);
  EXPECT_EQ(ParseSettingText(exact.get(), 5), 12345);
  EXPECT_EQ(ParseSettingText(exact.get(), 3), 123);
  EXPECT_EQ(ParseSettingText(exact.get(), 0), 0);

  auto blanks = std::make_unique<wchar_t[]>(4);
  for (int i = 0; i < 4; ++i) blanks[i] = L' ';
  EXPECT_EQ(ParseSettingText(blanks.get(), 4), 0);
  blanks[3] = L'-';
  EXPECT_EQ(ParseSettingText(blanks.get(), 4), 0);

  EXPECT_EQ(ParseSettingText(nullptr, 10), 0);
}

#ifdef _WIN32
// The C runtime's own _wtoi, for every sample of ASCII text.
TEST(SettingText, AgreesWithTheRuntimesWtoi) {
  const wchar_t* samples[] = {
      L"1",   L" 1",         L"1x",         L"x1",          L"-3",          L"+3",
      L"",    L"\t\n 42",    L"- 3",        L"+-3",         L"007",         L"1 2",
      L"-0",  L"2147483647", L"2147483648", L"-2147483648", L"-2147483649", L"99999999999999",
      L" +5z"};
  for (const wchar_t* s : samples) {
    EXPECT_EQ(ParseSettingText(s, std::wcslen(s) + 1), _wtoi(s)) << ::testing::PrintToString(std::wstring(s));
  }
}
#endif

TEST(TaskFailureLine, AppendsLowerCaseHexWithoutLeadingZerosAndALineEnd) {
  EXPECT_EQ(TaskFailureLine("Failed to register task definition with HRESULT: 0x", 0x80070005u),
            "Failed to register task definition with HRESULT: 0x80070005\n");
  EXPECT_EQ(TaskFailureLine("x: 0x", 0x8000FFFFu), "x: 0x8000ffff\n");
  EXPECT_EQ(TaskFailureLine("x: 0x", 0xABCDu), "x: 0xabcd\n");
  EXPECT_EQ(TaskFailureLine("x: 0x", 0x5u), "x: 0x5\n");
  EXPECT_EQ(TaskFailureLine("x: 0x", 0x10u), "x: 0x10\n");
  EXPECT_EQ(TaskFailureLine("x: 0x", 0u), "x: 0x0\n");
  EXPECT_EQ(TaskFailureLine("", 0xFFFFFFFFu), "ffffffff\n");
}

TEST(StartupProgramPath, IsOstrelExeInTheRunningProgramsFolder) {
  EXPECT_EQ(StartupProgramPath(L"C:\\Program Files\\Ostrel\\Ostrel.exe"),
            L"C:\\Program Files\\Ostrel\\Ostrel.exe");
  EXPECT_EQ(StartupProgramPath(L"C:\\Tools\\ostrel-1.0.1.1 (copy).exe"), L"C:\\Tools\\Ostrel.exe");
  EXPECT_EQ(StartupProgramPath(L"C:\\Ostrel.exe"), L"C:\\Ostrel.exe");
  EXPECT_EQ(StartupProgramPath(L"\\\\server\\share\\app.exe"), L"\\\\server\\share\\Ostrel.exe");
  EXPECT_EQ(StartupProgramPath(L"app.exe"), L"Ostrel.exe");
  EXPECT_EQ(StartupProgramPath(L""), L"Ostrel.exe");
}

TEST(StartupProgramPath, KeepsFoldersLongerThanMaxPath) {
  std::wstring folder = L"\\\\?\\C:";
  while (folder.size() < 1000) folder += L"\\a-rather-long-folder-name";
  folder += L"\\";
  EXPECT_EQ(StartupProgramPath(folder + L"Ostrel-portable.exe"), folder + L"Ostrel.exe");
}

}  // namespace
}  // namespace ostrel::settings
