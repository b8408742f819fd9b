#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "device/hid/interface_name.h"
#include "device/hid/scan_rules.h"
#include "device/protocol/shown_value.h"
#include "device/protocol/temperature_report.h"
#include "device/protocol/version_exchange.h"
#include "device/worker/rescan_policy.h"

namespace ostrel::device {
namespace {

TEST(DeviceShownValueTest, TruncatesTowardZeroAndCapsAt99) {
  EXPECT_EQ(ShownValue(45.9f), 45);
  EXPECT_EQ(ShownValue(45.0f), 45);
  EXPECT_EQ(ShownValue(0.99f), 0);
  EXPECT_EQ(ShownValue(98.99f), 98);
  EXPECT_EQ(ShownValue(99.0f), 99);
  EXPECT_EQ(ShownValue(100.0f), 99);
  EXPECT_EQ(ShownValue(123.4f), 99);
  EXPECT_EQ(ShownValue(0.0f), 0);
}

TEST(DeviceShownValueTest, AnyFloatFromTheSharedBlockIsBounded) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(ShownValue(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(ShownValue(-std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(ShownValue(inf), 99);
  EXPECT_EQ(ShownValue(-inf), 0);
  EXPECT_EQ(ShownValue(std::numeric_limits<float>::max()), 99);
  EXPECT_EQ(ShownValue(std::numeric_limits<float>::lowest()), 0);
  EXPECT_EQ(ShownValue(-1e30f), 0);
  EXPECT_EQ(ShownValue(std::numeric_limits<float>::denorm_min()), 0);
}

TEST(DeviceShownValueTest, BelowZeroShowsZero) {
  EXPECT_EQ(ShownValue(-0.0f), 0);
  EXPECT_EQ(ShownValue(-0.5f), 0);
  EXPECT_EQ(ShownValue(-5.0f), 0);
  EXPECT_EQ(ShownValue(-99.9f), 0);
}

TEST(DeviceReportTest, LayoutFor45Point9) {
  const TemperatureReport report = BuildTemperatureReport(ShownValue(45.9f));
  ASSERT_EQ(report.size(), 65u);
  const std::vector<std::uint8_t> head(report.begin(), report.begin() + 6);
  EXPECT_EQ(head, (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0, 4, 5}));
  for (std::size_t i = 6; i < report.size(); ++i) EXPECT_EQ(report[i], 0) << "byte " << i;
}

TEST(DeviceReportTest, CappedValuesShow099) {
  for (float celsius : {99.0f, 100.0f, 123.4f}) {
    const TemperatureReport report = BuildTemperatureReport(ShownValue(celsius));
    EXPECT_EQ(report[3], 0) << celsius;
    EXPECT_EQ(report[4], 9) << celsius;
    EXPECT_EQ(report[5], 9) << celsius;
  }
}

TEST(DeviceReportTest, NoReadingShows000) {
  const TemperatureReport report = BuildTemperatureReport(ShownValue(0.0f));
  EXPECT_EQ(report[0], 0x07);
  EXPECT_EQ(report[3], 0);
  EXPECT_EQ(report[4], 0);
  EXPECT_EQ(report[5], 0);
}

TEST(DeviceReportTest, EveryShownValueSplitsIntoItsDigits) {
  for (int value = 0; value <= 99; ++value) {
    // The digits as the value is written in decimal, two places.
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    const Digits d = SplitDigits(value);
    EXPECT_EQ(d.hundreds, 0) << value;
    EXPECT_EQ(d.tens, text[0] - '0') << value;
    EXPECT_EQ(d.units, text[1] - '0') << value;
  }
}

// Whatever a caller passes, no digit byte leaves 0..9.
TEST(DeviceReportTest, DigitBytesStayDecimalForAnyInteger) {
  for (int value : {-1, -5, -9, -10, -99, -100, -12345, std::numeric_limits<int>::min(), 100, 999, 1000,
                    std::numeric_limits<int>::max()}) {
    const TemperatureReport report = BuildTemperatureReport(value);
    for (int i = 3; i <= 5; ++i) EXPECT_LE(report[i], 9) << "value " << value << " byte " << i;
  }
  const Digits below = SplitDigits(-5);
  EXPECT_EQ(below.tens, 0);
  EXPECT_EQ(below.units, 0);
  const Digits above = SplitDigits(500);
  EXPECT_EQ(above.tens, 9);
  EXPECT_EQ(above.units, 9);
}

TEST(DeviceVersionTest, RequestIsReportIdAndCommandThenZeros) {
  const VersionBuffer request = BuildVersionRequest();
  EXPECT_EQ(request[0], 0x07);
  EXPECT_EQ(request[1], 0xFD);
  for (std::size_t i = 2; i < request.size(); ++i) EXPECT_EQ(request[i], 0) << i;
}

TEST(DeviceVersionTest, DecodesHighAndLowByteWhateverTheFirstByte) {
  VersionBuffer reply{};
  reply[0] = 0x07;
  reply[1] = 0x01;
  reply[2] = 0x0A;
  EXPECT_TRUE(IsVersionReplyValid(reply));
  EXPECT_EQ(DecodeVersion(reply), 0x010A);
  reply[0] = 0x00;
  reply[1] = 0xFF;
  reply[2] = 0xFF;
  EXPECT_FALSE(IsVersionReplyValid(reply));
  EXPECT_EQ(DecodeVersion(reply), 0xFFFF);
  // A read that failed leaves the request: 07 FD 00.
  EXPECT_EQ(DecodeVersion(BuildVersionRequest()), 0xFD00);
}

// A failed read leaves the request in the buffer and a wrong reply carries
// 00 EE EE: neither is a version.
TEST(DeviceVersionTest, OnlyAWholeReplyWithTheReportIdIsAVersion) {
  VersionBuffer reply = BuildVersionRequest();
  EXPECT_EQ(VersionFromRead(-1, reply), std::nullopt);
  EXPECT_EQ(VersionFromRead(2, reply), std::nullopt);
  reply[1] = 0x01;
  reply[2] = 0x0A;
  EXPECT_EQ(VersionFromRead(64, reply), 0x010A);
  reply[0] = 0x00;
  reply[1] = reply[2] = 0xEE;
  EXPECT_EQ(VersionFromRead(64, reply), std::nullopt);
}

TEST(DeviceRescanPolicyTest, FailedSendsEveryFiveSecondsAndNoDisplayEveryTen) {
  RescanPolicy policy;
  policy.Rescanned(0);
  // A display open and taking reports: never.
  for (std::uint64_t t = 1000; t <= 60000; t += 1000) EXPECT_FALSE(policy.AfterUpdate(0, 1, t)) << t;
  // Refused reports: at once, then at most once per 5 s.
  EXPECT_TRUE(policy.AfterUpdate(1, 1, 61000));
  EXPECT_FALSE(policy.AfterUpdate(1, 1, 62000));
  EXPECT_FALSE(policy.AfterUpdate(1, 1, 65999));
  EXPECT_TRUE(policy.AfterUpdate(1, 1, 66000));
  policy.Rescanned(66500);
  // Nothing open: 10 s after the last rescan, whatever asked for it.
  EXPECT_FALSE(policy.AfterUpdate(0, 0, 70000));
  EXPECT_FALSE(policy.AfterUpdate(0, 0, 76499));
  EXPECT_TRUE(policy.AfterUpdate(0, 0, 76500));
  EXPECT_FALSE(policy.AfterUpdate(0, 0, 77500)) << "queued, not yet run";
  EXPECT_TRUE(policy.AfterUpdate(0, 0, 86500));

  RescanPolicy fresh;  // no rescan yet at all
  EXPECT_TRUE(fresh.AfterUpdate(0, 0, 5));
}

TEST(DeviceScanRulesTest, FirstFilterWithBothIdsWins) {
  const std::vector<HidDeviceFilter> filters = {
      {0x1A2C, 0x1111, L"a", 1}, {0x1A2C, 0x4F84, L"b", 1}, {0x1A2C, 0x4F84, L"c", 0}};
  EXPECT_EQ(FindMatchingFilter(filters, 0x1A2C, 0x4F84), &filters[1]);
  EXPECT_EQ(FindMatchingFilter(filters, 0x1A2C, 0x1111), &filters[0]);
  EXPECT_EQ(FindMatchingFilter(filters, 0x1A2C, 0x4F85), nullptr);
  EXPECT_EQ(FindMatchingFilter(filters, 0x1A2D, 0x4F84), nullptr);
  EXPECT_EQ(FindMatchingFilter({}, 0x1A2C, 0x4F84), nullptr);
}

TEST(DeviceScanRulesTest, OnlyTheVendorCollectionIsKept) {
  EXPECT_TRUE(IsDisplayCollection(0xFF01, 1));
  EXPECT_FALSE(IsDisplayCollection(0xFF01, 2));
  EXPECT_FALSE(IsDisplayCollection(0xFF00, 1));
  EXPECT_FALSE(IsDisplayCollection(0x0001, 6));
}

TEST(DeviceScanRulesTest, PathsUpTo1023BytesFit) {
  EXPECT_FALSE(PathFitsEntry(nullptr));
  EXPECT_TRUE(PathFitsEntry(""));
  EXPECT_TRUE(PathFitsEntry(std::string(1023, 'x').c_str()));
  EXPECT_FALSE(PathFitsEntry(std::string(1024, 'x').c_str()));
  EXPECT_FALSE(PathFitsEntry(std::string(5000, 'x').c_str()));
}

TEST(DeviceInterfaceNameTest, MatchesTheDisplayInAnyLetterCase) {
  EXPECT_TRUE(IsDisplayInterfaceName(
      L"\\\\?\\HID#VID_1A2C&PID_4F84&MI_01#7&1a2b&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}"));
  EXPECT_TRUE(IsDisplayInterfaceName(
      L"\\\\?\\usb#vid_1a2c&pid_4f84#5&3c&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"));
  EXPECT_TRUE(IsDisplayInterfaceName(L"Vid_1A2c&pId_4f84"));
}

TEST(DeviceInterfaceNameTest, OtherDevicesDoNotMatch) {
  EXPECT_FALSE(IsDisplayInterfaceName(L""));
  EXPECT_FALSE(IsDisplayInterfaceName(L"\\\\?\\HID#VID_1A2C&PID_4F85#7&1&0&0000"));
  EXPECT_FALSE(IsDisplayInterfaceName(L"\\\\?\\HID#VID_1A2D&PID_4F84#7&1&0&0000"));
  EXPECT_FALSE(IsDisplayInterfaceName(L"VID_1A2C_PID_4F84"));
  EXPECT_FALSE(IsDisplayInterfaceName(L"VID_1A2C&PID_4F8"));
  // Only ASCII letters fold: a dotless i is not an I.
  EXPECT_FALSE(IsDisplayInterfaceName(L"V\u0131D_1A2C&P\u0131D_4F84"));
}

}  // namespace
}  // namespace ostrel::device
