// HWiNFO's block with the layout HWiNFO writes and with hostile ones: the
// parser reads nothing outside the bytes it is given.
#include "sensorlib/hwinfo_block.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sensorlib/kinds.h"
#include "sensors/hardware_block.h"
#include "tests/sensors/hwinfo_layout.h"
#include "tests/sensors/publish_items.h"

namespace sensorlib {
namespace {

using ostrel::sensors::BlockField;
using sensors_test::Publish;
namespace layout = hwinfo_layout;

// Parsed from an exact-size copy, so a read past the end is caught by the
// sanitizers.
HwinfoParse Parse(const std::vector<std::byte>& bytes) {
  const auto copy = std::make_unique<std::byte[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return ParseHwinfoBlock({copy.get(), bytes.size()});
}

TEST(HwinfoBlock, DesktopAsHwinfoWritesIt) {
  const HwinfoParse parsed = Parse(layout::Write(layout::Desktop()));
  ASSERT_TRUE(parsed.block) << parsed.why;
  const auto items = HwinfoItems(*parsed.block);
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[0].kind, kKindOther);
  EXPECT_EQ(items[1].kind, kKindProcessor);
  EXPECT_EQ(items[1].name, "AMD Ryzen 7 5800X");
  EXPECT_EQ(items[2].name, "AMD Ryzen 7 5800X: Enhanced");
  EXPECT_EQ(items[2].readings.size(), 2u);  // the package power has no class in the record
  EXPECT_EQ(items[3].kind, kKindGraphics);
  EXPECT_EQ(items[3].name, "NVIDIA GeForce RTX 3080");
  EXPECT_EQ(items[4].kind, kKindMainboard);
  EXPECT_EQ(items[5].kind, kKindDrive);
  EXPECT_EQ(items[3].readings[1].slot, 1);  // second temperature of the card
  EXPECT_EQ(items[3].readings[2].sensor_class, kClassLoad);
  EXPECT_EQ(items[3].readings[2].slot, 0);

  const auto u = Publish(items);
  EXPECT_EQ(u[BlockField::Cpu].value, 61.5f);
  EXPECT_EQ(u[BlockField::GpuDedicated].value, 48.0f);
  EXPECT_TRUE(u[BlockField::GpuIntegrated].cleared);
  EXPECT_EQ(u[BlockField::Mainboard].value, 35.0f);
}

TEST(HwinfoBlock, HostileLayoutsAreRefusedWhole) {
  const auto good = layout::Write(layout::Desktop());
  const struct {
    std::size_t field;
    std::uint32_t value;
    const char* why;
  } cases[] = {
      {layout::kSensorCount, 0xFFFFFFFF, "the sensor section lies outside the block"},
      {layout::kReadingCount, 15, "the reading section lies outside the block"},
      {layout::kReadingCount, 0x10000000, "the reading section lies outside the block"},
      {layout::kSensorOffset, static_cast<std::uint32_t>(good.size()),
       "the sensor section lies outside the block"},
      {layout::kReadingOffset, 0xFFFFFF00, "the reading section lies outside the block"},
      {layout::kReadingOffset, static_cast<std::uint32_t>(good.size() - 100),
       "the reading section lies outside the block"},
      {layout::kSensorSize, 0, "the sensor section lies outside the block"},
      {layout::kReadingSize, 0, "the reading section lies outside the block"},
      {layout::kReadingSize, 100, "the reading section lies outside the block"},
      {layout::kReadingSize, 0x80000000, "the reading section lies outside the block"},
      {0, 0x44414544, "HWiNFO is not running its sensors (signature)"},  // "DEAD"
  };
  for (const auto& c : cases) {
    auto bytes = good;
    layout::Set(bytes, c.field, c.value);
    const HwinfoParse parsed = Parse(bytes);
    EXPECT_FALSE(parsed.block) << c.field << " = " << c.value;
    EXPECT_EQ(parsed.why, c.why) << c.field << " = " << c.value;
  }
  for (std::size_t size : {0, 1, 43}) {
    EXPECT_FALSE(Parse(std::vector<std::byte>(good.begin(), good.begin() + size)).block);
  }
  EXPECT_FALSE(Parse(std::vector<std::byte>(good.begin(), good.end() - 1)).block);
}

TEST(HwinfoBlock, BadElementsAreLeftOutAndLabelsStayInTheirField) {
  auto block = layout::Desktop();
  block.readings.push_back({1, 99, "Beyond the sensors", 50});
  block.readings.push_back({1, 4, "Not a number", std::numeric_limits<double>::quiet_NaN()});
  block.readings.push_back({1, 4, "Endless", std::numeric_limits<double>::infinity()});
  block.readings.push_back({42, 4, "Unknown type", 1});
  auto bytes = layout::Write(block);
  // A label and a sensor name filling their 128 bytes with no NUL.
  const std::size_t label = layout::ReadingLabelAt(bytes, 10);
  std::fill(bytes.begin() + label, bytes.begin() + label + 128, std::byte{'L'});
  std::fill(bytes.begin() + 44 + 4 * 264 + 8, bytes.begin() + 44 + 4 * 264 + 136, std::byte{'N'});
  const HwinfoParse parsed = Parse(bytes);
  ASSERT_TRUE(parsed.block);
  EXPECT_EQ(parsed.block->readings.size(), layout::Desktop().readings.size() + 1);  // the unknown type stays
  const auto items = HwinfoItems(*parsed.block);
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[4].name, std::string(128, 'N'));
  EXPECT_EQ(items[4].readings[0].label, std::string(128, 'L'));
  for (const auto& item : items) {
    for (const auto& r : item.readings) EXPECT_TRUE(std::isfinite(r.value));
  }
  // The board chip lost its "Motherboard" label: nothing else poses as one.
  EXPECT_FALSE(Publish(items)[BlockField::Mainboard].write);
}

}  // namespace
}  // namespace sensorlib
