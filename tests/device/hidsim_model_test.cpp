// The display simulator's configuration and bus, without the DLL around them.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/hidsim/sim_bus.h"
#include "tools/hidsim/sim_config.h"

namespace hidsim {
namespace {

SimConfig Parse(const std::string& text) {
  ParseResult result = ParseConfig(text);
  EXPECT_TRUE(result.config) << result.error;
  return result.config.value_or(SimConfig{});
}

std::string ErrorOf(const std::string& text) {
  const ParseResult result = ParseConfig(text);
  EXPECT_FALSE(result.config);
  return result.error;
}

TEST(HidsimConfigTest, ReadsEveryKey) {
  const SimConfig config = Parse(
      "# two devices\n"
      "init_fails = no\n"
      "[display]\n"
      "vendor_id = 0x1A2C\r\n"
      "product_id = 20356\n"
      "release = 0x0105\n"
      "product = Cooler Display #2\n"
      "manufacturer = Ostrel\n"
      "serial = 0001\n"
      "interfaces = 0001:6 ff01:1\n"
      "firmware = 0x010A\n"
      "wrong_first_replies = 2\n"
      "present = no\n"
      "open_fails = yes\n"
      "send_fails = true\n"
      "read_fails = 1\n"
      "disappear_after = 5\n"
      "reappear_after = 0\n"
      "path_length = 1100\n"
      "; second\n"
      "[plain]\nvendor_id = 1\nproduct_id = 2\n");
  ASSERT_EQ(config.devices.size(), 2u);
  const SimDevice& d = config.devices[0];
  EXPECT_EQ(d.name, "display");
  EXPECT_EQ(d.vendor_id, 0x1A2C);
  EXPECT_EQ(d.product_id, 0x4F84);
  EXPECT_EQ(d.release, 0x0105);
  EXPECT_EQ(d.product, "Cooler Display #2");
  EXPECT_EQ(d.manufacturer, "Ostrel");
  EXPECT_EQ(d.serial, "0001");
  ASSERT_EQ(d.interfaces.size(), 2u);
  EXPECT_EQ(d.interfaces[1].usage_page, 0xFF01);
  EXPECT_EQ(d.interfaces[1].usage, 1);
  EXPECT_EQ(d.firmware, 0x010A);
  EXPECT_EQ(d.wrong_first_replies, 2);
  EXPECT_FALSE(d.present);
  EXPECT_TRUE(d.open_fails && d.send_fails && d.read_fails);
  EXPECT_EQ(d.disappear_after, 5);
  EXPECT_EQ(d.reappear_after, 0);
  EXPECT_EQ(d.path_length, 1100u);
  // Defaults: one display interface, present, no faults.
  const SimDevice& plain = config.devices[1];
  ASSERT_EQ(plain.interfaces.size(), 1u);
  EXPECT_EQ(plain.interfaces[0].usage_page, 0xFF01);
  EXPECT_TRUE(plain.present);
  EXPECT_FALSE(plain.disappear_after);
}

TEST(HidsimConfigTest, ABadFileSaysWhereAndWhy) {
  EXPECT_EQ(ErrorOf("[a]\nvendor_id = 1\n"), "device a: vendor_id and product_id are required");
  EXPECT_EQ(ErrorOf("[a]\nvendor_id = 1\nproduct_id = 2\ncolour = red\n"), "line 4: unknown key colour");
  EXPECT_EQ(ErrorOf("[a]\nvendor_id = 0x10000\n"), "line 2: bad number for vendor_id");
  EXPECT_EQ(ErrorOf("[a]\nvendor_id = -1\n"), "line 2: bad number for vendor_id");
  EXPECT_EQ(ErrorOf("[a]\nvendor_id = 12abc\n"), "line 2: bad number for vendor_id");
  EXPECT_EQ(ErrorOf("[a]\nopen_fails = maybe\n"), "line 2: expected yes or no for open_fails");
  EXPECT_EQ(ErrorOf("[a]\ninterfaces = FF01\n"), "line 2: expected usage pairs like FF01:1 for interfaces");
  EXPECT_EQ(ErrorOf("[a]\ninterfaces =\n"), "line 2: expected usage pairs like FF01:1 for interfaces");
  EXPECT_EQ(ErrorOf("[a]\n[a]\n"), "line 2: device a defined twice");
  EXPECT_EQ(ErrorOf("[a b]\n"), "line 1: device names use letters, digits, _ and -");
  EXPECT_EQ(ErrorOf("[a\n"), "line 1: section header without ]");
  EXPECT_EQ(ErrorOf("vendor_id = 1\n"), "line 1: unknown key vendor_id before the first device");
  EXPECT_EQ(ErrorOf("[a]\njust words\n"), "line 2: expected key = value");
}

class HidsimBusTest : public ::testing::Test {
 protected:
  SimBus Bus(const std::string& text) {
    return SimBus(Parse(text), [this](const std::string& line) { log.push_back(line); });
  }
  std::vector<std::string> log;
};

TEST_F(HidsimBusTest, EnumerationFiltersByIdsAndKeepsFileOrder) {
  SimBus bus =
      Bus("[a]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\ninterfaces = 0001:6 FF01:1\n"
          "[b]\nvendor_id = 0x046D\nproduct_id = 0xC31C\n"
          "[c]\nvendor_id = 0x1A2C\nproduct_id = 0x4F85\n");
  EXPECT_EQ(bus.Enumerate(0, 0).size(), 4u);
  const auto display = bus.Enumerate(0x1A2C, 0x4F84);
  ASSERT_EQ(display.size(), 2u);
  EXPECT_EQ(display[1].iface, 1u);
  EXPECT_EQ(bus.Enumerate(0x1A2C, 0).size(), 3u);
  EXPECT_EQ(bus.Path(0, 1),
            "\\\\?\\hid#vid_1a2c&pid_4f84&mi_01#7&00005a3c&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  EXPECT_EQ(bus.Path(1, 0).find("&mi_"), std::string::npos);
}

TEST_F(HidsimBusTest, AnUnpluggedDeviceComesBackAfterItsEnumerationsButOldHandlesStayDead) {
  SimBus bus = Bus("[a]\nvendor_id = 1\nproduct_id = 2\ndisappear_after = 2\nreappear_after = 2\n");
  const auto old = bus.OpenPath(bus.Path(0, 0));
  ASSERT_TRUE(old);
  const std::uint8_t report[3] = {7, 0xFF, 0xFF};
  EXPECT_EQ(bus.SendFeature(*old, report, 3), 3);
  EXPECT_EQ(bus.SendFeature(*old, report, 3), 3);
  EXPECT_EQ(log.back(), "gone a");
  EXPECT_EQ(bus.SendFeature(*old, report, 3), -1);
  EXPECT_FALSE(bus.OpenPath(bus.Path(0, 0)));
  EXPECT_TRUE(bus.Enumerate(0, 0).empty());
  EXPECT_TRUE(bus.Enumerate(0, 0).empty());
  EXPECT_EQ(bus.Enumerate(0, 0).size(), 1u);
  const auto fresh = bus.OpenPath(bus.Path(0, 0));
  ASSERT_TRUE(fresh);
  EXPECT_EQ(bus.SendFeature(*old, report, 3), -1);
  // Plugged in again, it takes disappear_after reports before it goes again.
  EXPECT_EQ(bus.SendFeature(*fresh, report, 3), 3);
  EXPECT_EQ(bus.SendFeature(*fresh, report, 3), 3);
  EXPECT_EQ(log.back(), "gone a");
  EXPECT_EQ(bus.SendFeature(*fresh, report, 3), -1);
}

// The README's example, with its trailing comments, is a configuration that
// loads; a '#' inside a value stays part of it.
TEST(HidsimConfigTest, TheReadmeExampleLoads) {
  std::ifstream in(OSTREL_SOURCE_DIR "/tools/hidsim/README.md");
  ASSERT_TRUE(in) << "README.md not found";
  std::string line;
  std::string example;
  bool inside = false;
  while (std::getline(in, line)) {
    if (line == "## Configuration") inside = true;
    if (inside && line.rfind("    ", 0) == 0) example += line.substr(4) + "\n";
    if (inside && line.rfind("Numbers are", 0) == 0) break;
  }
  ASSERT_NE(example.find("[display]"), std::string::npos);
  const SimConfig config = Parse(example);
  ASSERT_EQ(config.devices.size(), 1u);
  EXPECT_EQ(config.devices[0].name, "display");
  EXPECT_EQ(config.devices[0].interfaces.size(), 2u);
  EXPECT_EQ(config.devices[0].firmware, 0x010A);
  EXPECT_EQ(config.devices[0].path_length, 1100u);

  const SimConfig hashes =
      Parse("[d] ; the display\nvendor_id = 1  # ids\nproduct_id = 2\nproduct = Display # 2\n");
  EXPECT_EQ(hashes.devices[0].vendor_id, 1);
  EXPECT_EQ(hashes.devices[0].product, "Display # 2");
}

TEST_F(HidsimBusTest, ATimedUnplugComesBackAfterItsTimeHoweverOftenItWasListed) {
  SimBus bus = Bus("[a]\nvendor_id = 1\nproduct_id = 2\ndisappear_after = 1\nreappear_after_ms = 300\n");
  const auto handle = bus.OpenPath(bus.Path(0, 0));
  ASSERT_TRUE(handle);
  const std::uint8_t report[3] = {7, 0xFF, 0xFF};
  EXPECT_EQ(bus.SendFeature(*handle, report, 3), 3);
  EXPECT_EQ(log.back(), "gone a");
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(bus.Enumerate(0, 0).empty());
  std::this_thread::sleep_for(std::chrono::milliseconds(350));
  EXPECT_EQ(bus.Enumerate(0, 0).size(), 1u);
  EXPECT_TRUE(bus.OpenPath(bus.Path(0, 0)));
}

}  // namespace
}  // namespace hidsim
