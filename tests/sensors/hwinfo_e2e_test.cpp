// This process plays HWiNFO: it publishes "Global\HWiNFO_SENS_SM2" with the
// layout HWiNFO writes, or a hostile one, and ostrelctl reads it through the
// library as a user's machine would.
#include <cstring>

#include "tests/sensors/hwinfo_layout.h"
#include "tests/sensors/tool_copy_win.h"

namespace {

using namespace ostrel::sensors;

class HwinfoEndToEnd : public sensors_test::ToolCopy {
 protected:
  void SetUp() override {
    ToolCopy::SetUp();
    // No host tree: HWiNFO is the only source.
    ::SetEnvironmentVariableW(L"OSTREL_SYSFS_ROOT", (base_ / "no-tree").wstring().c_str());
  }
  void TearDown() override {
    hwinfo_view_.reset();
    hwinfo_.reset();
    ToolCopy::TearDown();
  }

  void Publish(const std::vector<std::byte>& bytes) {
    hwinfo_view_.reset();
    hwinfo_.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(bytes.size()), L"Global\\HWiNFO_SENS_SM2"));
    ASSERT_TRUE(hwinfo_);
    hwinfo_view_.reset(::MapViewOfFile(hwinfo_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_TRUE(hwinfo_view_);
    std::memcpy(hwinfo_view_.get(), bytes.data(), bytes.size());
  }

  ostrel::win::unique_handle hwinfo_;
  ostrel::win::unique_mapped_view hwinfo_view_;
};

TEST_F(HwinfoEndToEnd, DesktopAsHwinfoPublishesIt) {
  Publish(hwinfo_layout::Write(hwinfo_layout::Desktop()));
  HoldBlock();
  const std::string out = Run(L"sensors --publish");
  EXPECT_EQ(Field(BlockField::Cpu), 61.5f);
  EXPECT_EQ(Field(BlockField::GpuDedicated), 48.0f);
  EXPECT_EQ(Field(BlockField::GpuIntegrated), 0.0f);
  EXPECT_EQ(Field(BlockField::Mainboard), 35.0f);
  for (const char* line :
       {"  [2] hwinfo   AMD Ryzen 7 5800X: Enhanced\n", "  [3] hwinfo   NVIDIA GeForce RTX 3080\n",
        "Found Dedicated GPU usage: 97.0%\n", "Found CPU usage: 12.5%\n"}) {
    EXPECT_NE(out.find(line), std::string::npos) << line << "\n---\n" << out;
  }
  EXPECT_NE(Run(L"sources")
                .find("  hwinfo                 found   Global\\HWiNFO_SENS_SM2: 6 sensors, 14 readings\n"),
            std::string::npos);
}

TEST_F(HwinfoEndToEnd, HostileBlocksGiveNothing) {
  auto bytes = hwinfo_layout::Write(hwinfo_layout::Desktop());
  // The page rounds the mapping up; a count reaching past that is still out.
  hwinfo_layout::Set(bytes, hwinfo_layout::kReadingCount, 100000);
  Publish(bytes);
  HoldBlock();
  std::string out = Run(L"sources");
  EXPECT_NE(
      out.find("  hwinfo                 absent  Global\\HWiNFO_SENS_SM2: the reading section lies outside "
               "the block\n"),
      std::string::npos)
      << out;
  out = Run(L"sensors --publish");
  EXPECT_EQ(out.find("hwinfo  "), std::string::npos) << out;
  for (BlockField f : kBlockFields) EXPECT_EQ(Field(f), -1.0f);

  bytes = hwinfo_layout::Write(hwinfo_layout::Desktop());
  hwinfo_layout::Set(bytes, hwinfo_layout::kSensorSize, 0);
  Publish(bytes);
  EXPECT_NE(Run(L"sources").find("the sensor section lies outside the block"), std::string::npos);

  bytes = hwinfo_layout::Write(hwinfo_layout::Desktop());
  hwinfo_layout::Set(bytes, hwinfo_layout::kSensorOffset, 0x7FFFFFF0);
  Publish(bytes);
  EXPECT_NE(Run(L"sources").find("the sensor section lies outside the block"), std::string::npos);

  // Labels without their NUL stay within their field.
  bytes = hwinfo_layout::Write(hwinfo_layout::Desktop());
  const std::size_t label = hwinfo_layout::ReadingLabelAt(bytes, 3);
  std::fill(bytes.begin() + label, bytes.begin() + label + 128, std::byte{'T'});
  Publish(bytes);
  out = Run(L"sensors --publish");
  EXPECT_NE(out.find(std::string(128, 'T') + " "), std::string::npos) << out;
  EXPECT_EQ(out.find(std::string(129, 'T')), std::string::npos) << out;
  EXPECT_EQ(Field(BlockField::Mainboard), 35.0f);
}

}  // namespace
