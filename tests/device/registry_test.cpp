// The display registry over the simulated bus (hidapi.dll beside this test is
// the simulator: Wine 8's HID stack cannot enumerate with the real one).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/hid/hid_device_manager.h"
#include "device/protocol/temperature_report.h"
#include "device/worker/device_work.h"
#include "tests/device/sim_session.h"

namespace ostrel::device {
namespace {

using testing::SimEvent;
using testing::SimSession;

std::string Display(const std::string& name, const std::string& extra = "") {
  return "[" + name + "]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\n" + extra + "\n";
}

std::vector<std::string> Where(const std::vector<SimEvent>& events) {
  std::vector<std::string> result;
  for (const auto& e : events) result.push_back(e.kind() + " " + e.where());
  return result;
}

class DeviceRegistryTest : public ::testing::Test {
 protected:
  CHidDeviceManager& devices = CHidDeviceManager::Instance();
  void Rescan() { RescanDisplays(devices); }
};

TEST_F(DeviceRegistryTest, NoDisplayMeansAnEmptyListAndNothingSent) {
  SimSession sim("[keyboard]\nvendor_id = 0x046D\nproduct_id = 0xC31C\ninterfaces = 0001:6\n");
  Rescan();
  EXPECT_EQ(devices.DeviceCount(), 0);
  EXPECT_TRUE(devices.Devices().empty());
  EXPECT_TRUE(devices.SendReport(BuildTemperatureReport(45)));
  std::uint16_t version = 0x1234;
  EXPECT_FALSE(devices.QueryVersion(version));
  EXPECT_EQ(version, 0x1234);
  EXPECT_TRUE(sim.Events("open").empty());
  EXPECT_TRUE(sim.Events("send_feature").empty());
}

TEST_F(DeviceRegistryTest, OnlyTheVendorCollectionOfADisplayStaysOpen) {
  SimSession sim(
      Display("display", "interfaces = 0001:6 FF01:1 FF01:2\nproduct = Cooler Display\nrelease = 0x0105"));
  Rescan();
  ASSERT_EQ(devices.DeviceCount(), 1);
  const HidDeviceEntry& entry = *devices.Devices()[0];
  EXPECT_EQ(entry.index, 0);
  EXPECT_EQ(entry.vendor_id, 0x1A2C);
  EXPECT_EQ(entry.product_id, 0x4F84);
  EXPECT_NE(std::string(entry.path.data()).find("&mi_01#"), std::string::npos) << entry.path.data();
  EXPECT_EQ(entry.product_string, L"Cooler Display");
  EXPECT_EQ(entry.release_number, 0x0105u);
  EXPECT_TRUE(entry.first_string.empty());
  EXPECT_TRUE(entry.third_string.empty());
  // The wrong ones are opened, found wrong and closed at once.
  std::vector<SimEvent> opens_and_closes;
  for (auto& e : sim.Events()) {
    if (e.kind() == "open" || e.kind() == "close") opens_and_closes.push_back(e);
  }
  EXPECT_EQ(Where(opens_and_closes),
            (std::vector<std::string>{"open display 0", "close display 0", "open display 1", "open display 2",
                                      "close display 2"}));
}

TEST_F(DeviceRegistryTest, TwoDisplaysGetTwoEntriesAndEveryReportInOrder) {
  SimSession sim(Display("first", "product = One") + Display("second", "product = Two\nrelease = 0x0200"));
  Rescan();
  ASSERT_EQ(devices.DeviceCount(), 2);
  EXPECT_EQ(devices.Devices()[0]->index, 0);
  EXPECT_EQ(devices.Devices()[1]->index, 1);
  EXPECT_EQ(devices.Devices()[1]->product_string, L"Two");
  EXPECT_EQ(devices.Devices()[1]->release_number, 0x0200u);

  EXPECT_TRUE(devices.SendReport(BuildTemperatureReport(45)));
  EXPECT_TRUE(devices.SendReport(BuildTemperatureReport(7)));
  const auto sends = sim.Events("send_feature");
  ASSERT_EQ(Where(sends), (std::vector<std::string>{"send_feature first 0", "send_feature second 0",
                                                    "send_feature first 0", "send_feature second 0"}));
  for (const auto& send : sends) {
    EXPECT_EQ(send.words[3], "65");
    ASSERT_EQ(SimSession::Bytes(send).size(), 65u);
  }
  const auto bytes = SimSession::Bytes(sends[3]);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 6),
            (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0, 0, 7}));
  EXPECT_EQ(bytes[64], 0);
}

TEST_F(DeviceRegistryTest, OtherProductsOfTheVendorAreNeverOpened) {
  SimSession sim("[other]\nvendor_id = 0x1A2C\nproduct_id = 0x4F85\n" + Display("display") +
                 "[stranger]\nvendor_id = 0x1A2D\nproduct_id = 0x4F84\n");
  Rescan();
  EXPECT_EQ(devices.DeviceCount(), 1);
  EXPECT_EQ(Where(sim.Events("open")), std::vector<std::string>{"open display 0"});
}

TEST_F(DeviceRegistryTest, RescanClosesAndReopensEveryDisplay) {
  SimSession sim(Display("display"));
  Rescan();
  Rescan();
  EXPECT_EQ(devices.DeviceCount(), 1);
  EXPECT_EQ(sim.Events("enumerate").size(), 2u);
  EXPECT_EQ(sim.Events("open").size(), 2u);
  EXPECT_EQ(Where(sim.Events("close")), std::vector<std::string>{"close display 0"});
}

TEST_F(DeviceRegistryTest, OpenFlagGatesSendingAndClosing) {
  SimSession sim(Display("display"));
  Rescan();
  devices.SetOpen(false);
  EXPECT_FALSE(devices.SendReport(BuildTemperatureReport(45)));
  devices.CloseAll();  // does nothing while the flag is clear
  EXPECT_EQ(devices.DeviceCount(), 1);
  EXPECT_TRUE(sim.Events("send_feature").empty());
  devices.SetOpen(true);
  devices.CloseAll();
  EXPECT_EQ(devices.DeviceCount(), 0);
  EXPECT_FALSE(devices.IsOpen());
  EXPECT_EQ(sim.Events("close").size(), 1u);
}

TEST_F(DeviceRegistryTest, InterfacesThatCannotBeOpenedAreSkipped) {
  SimSession sim(Display("broken", "open_fails = yes") + Display("good"));
  Rescan();
  ASSERT_EQ(devices.DeviceCount(), 1);
  EXPECT_EQ(devices.Devices()[0]->index, 0);
  EXPECT_NE(std::string(devices.Devices()[0]->path.data()).find("#7&0001"), std::string::npos);
}

TEST_F(DeviceRegistryTest, PathsLongerThan1023BytesAreRefusedNotCut) {
  SimSession sim(Display("longest", "path_length = 1023") + Display("too-long", "path_length = 1024"));
  Rescan();
  ASSERT_EQ(devices.DeviceCount(), 1);
  EXPECT_EQ(std::string(devices.Devices()[0]->path.data()).size(), 1023u);
  EXPECT_EQ(Where(sim.Events("open")), std::vector<std::string>{"open longest 0"});
}

TEST_F(DeviceRegistryTest, HidapiThatCannotInitialiseFindsNothing) {
  SimSession sim("init_fails = yes\n" + Display("display"));
  Rescan();
  EXPECT_EQ(devices.DeviceCount(), 0);
  EXPECT_TRUE(devices.SendReport(BuildTemperatureReport(45)));
}

// A failed send is neither retried nor reported; the entry stays until the
// next rescan, which drops the unplugged display.
TEST_F(DeviceRegistryTest, SendFailuresAreIgnoredUntilTheNextRescan) {
  SimSession sim(Display("leaving", "disappear_after = 1") + Display("staying") +
                 Display("mute", "send_fails = yes"));
  Rescan();
  ASSERT_EQ(devices.DeviceCount(), 3);
  EXPECT_TRUE(devices.SendReport(BuildTemperatureReport(40)));
  EXPECT_TRUE(devices.SendReport(BuildTemperatureReport(41)));
  EXPECT_EQ(devices.DeviceCount(), 3);
  EXPECT_EQ(Where(sim.Events("send_feature")),
            (std::vector<std::string>{"send_feature leaving 0", "send_feature staying 0",
                                      "send_feature staying 0"}));
  EXPECT_EQ(Where(sim.Events("send_feature_failed")),
            (std::vector<std::string>{"send_feature_failed mute 0", "send_feature_failed leaving 0",
                                      "send_feature_failed mute 0"}));
  Rescan();
  EXPECT_EQ(devices.DeviceCount(), 2);
}

TEST_F(DeviceRegistryTest, AnUnpluggedDisplayComesBackAtALaterRescan) {
  SimSession sim(Display("display", "disappear_after = 1\nreappear_after = 1"));
  Rescan();
  devices.SendReport(BuildTemperatureReport(40));
  Rescan();
  EXPECT_EQ(devices.DeviceCount(), 0);
  Rescan();
  EXPECT_EQ(devices.DeviceCount(), 1);
  devices.SendReport(BuildTemperatureReport(41));
  EXPECT_EQ(sim.Events("send_feature").size(), 2u);
}

TEST_F(DeviceRegistryTest, VersionIsAskedOfTheFirstDisplayOnly) {
  SimSession sim(Display("first", "firmware = 0x010A") + Display("second", "firmware = 0x0203"));
  Rescan();
  std::uint16_t version = 0;
  ASSERT_TRUE(devices.QueryVersion(version));
  EXPECT_EQ(version, 0x010A);
  const auto sends = sim.Events("send_feature");
  ASSERT_EQ(Where(sends), std::vector<std::string>{"send_feature first 0"});
  EXPECT_EQ(sends[0].words[3], "64");
  const auto request = SimSession::Bytes(sends[0]);
  ASSERT_EQ(request.size(), 64u);
  EXPECT_EQ(request[0], 0x07);
  EXPECT_EQ(request[1], 0xFD);
  const auto reads = sim.Events("get_feature");
  ASSERT_EQ(Where(reads), std::vector<std::string>{"get_feature first 0"});
  EXPECT_EQ(reads[0].words[3], "64");
}

TEST_F(DeviceRegistryTest, AReplyWithAnotherFirstByteIsReadOnceMore) {
  SimSession sim(Display("display", "firmware = 0x010A\nwrong_first_replies = 1"));
  Rescan();
  std::uint16_t version = 0;
  ASSERT_TRUE(devices.QueryVersion(version));
  EXPECT_EQ(version, 0x010A);
  const auto reads = sim.Events("get_feature");
  ASSERT_EQ(reads.size(), 2u);
  EXPECT_EQ(SimSession::Bytes(reads[0])[0], 0x00);
  EXPECT_EQ(SimSession::Bytes(reads[1])[0], 0x07);
}

// Neither a reply still wrong after the one re-read (00 EE EE) nor a failed
// read (the buffer still holds 07 FD 00) is a version: the firmware check
// would otherwise offer an update to a display it never heard from.
TEST_F(DeviceRegistryTest, NoVersionIsMadeUpFromAMissingAnswer) {
  {
    SimSession sim(Display("display", "firmware = 0x010A\nwrong_first_replies = 5"));
    Rescan();
    std::uint16_t version = 0x4242;
    EXPECT_FALSE(devices.QueryVersion(version));
    EXPECT_EQ(version, 0x4242);
    EXPECT_EQ(sim.Events("get_feature").size(), 2u);
  }
  {
    SimSession sim(Display("display", "read_fails = yes"));
    Rescan();
    std::uint16_t version = 0x4242;
    EXPECT_FALSE(devices.QueryVersion(version));
    EXPECT_EQ(version, 0x4242);
    EXPECT_EQ(sim.Events("get_feature_failed").size(), 1u);
  }
}

TEST_F(DeviceRegistryTest, ARefusedRequestLeavesTheVersionAlone) {
  SimSession sim(Display("display", "send_fails = yes"));
  Rescan();
  std::uint16_t version = 0x4242;
  EXPECT_FALSE(devices.QueryVersion(version));
  EXPECT_EQ(version, 0x4242);
  EXPECT_TRUE(sim.Events("get_feature").empty());
}

}  // namespace
}  // namespace ostrel::device
