#include "sensors/hardware_block.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace ostrel::sensors {
namespace {

PassResults With(std::initializer_list<std::pair<ResultId, float>> found) {
  PassResults r;
  int slot = 0;
  for (auto [id, value] : found) r[id] = {value, true, {1, slot++}};
  return r;
}

TEST(PublishDecision, CpuPrecedence) {
  const float package = 1, board_package = 2, tctl = 3, board_cpu = 4;
  struct Case {
    PassResults results;
    ResultId expected;
  } cases[] = {
      {With({{ResultId::ProcessorPackage, package},
             {ResultId::BoardPackage, board_package},
             {ResultId::TctlTdie, tctl},
             {ResultId::BoardCpu, board_cpu}}),
       ResultId::ProcessorPackage},
      {With({{ResultId::BoardPackage, board_package},
             {ResultId::TctlTdie, tctl},
             {ResultId::BoardCpu, board_cpu}}),
       ResultId::BoardPackage},
      {With({{ResultId::TctlTdie, tctl}, {ResultId::BoardCpu, board_cpu}}), ResultId::TctlTdie},
      {With({{ResultId::BoardCpu, board_cpu}}), ResultId::BoardCpu},
      {With({{ResultId::ProcessorPackage, package}, {ResultId::TctlTdie, tctl}}), ResultId::ProcessorPackage},
  };
  for (const auto& c : cases) {
    const BlockUpdate u = DecideBlockUpdate(c.results);
    ASSERT_TRUE(u.cpu.write);
    EXPECT_EQ(u.cpu.origin, c.expected);
    EXPECT_FALSE(u.cpu.cleared);
    EXPECT_EQ(u.cpu.value, c.results[c.expected].value);
    EXPECT_EQ(u.cpu.source.slot, c.results[c.expected].source.slot);
  }
}

TEST(PublishDecision, NothingFoundWritesNothing) {
  const BlockUpdate u = DecideBlockUpdate(PassResults{});
  for (BlockField f : kBlockFields) {
    EXPECT_FALSE(u[f].write);
    EXPECT_FALSE(u[f].origin);
  }
}

TEST(PublishDecision, DedicatedGraphicsClearsIntegrated) {
  const BlockUpdate u =
      DecideBlockUpdate(With({{ResultId::GpuDedicated, 66}, {ResultId::GpuIntegrated, 45}}));
  EXPECT_TRUE(u.gpu_dedicated.write);
  EXPECT_EQ(u.gpu_dedicated.value, 66);
  EXPECT_TRUE(u.gpu_integrated.write);
  EXPECT_EQ(u.gpu_integrated.value, 0);
  EXPECT_TRUE(u.gpu_integrated.cleared);
  EXPECT_EQ(u.gpu_integrated.origin, ResultId::GpuDedicated);
  EXPECT_FALSE(u.cpu.write);
  EXPECT_FALSE(u.mainboard.write);
}

TEST(PublishDecision, IntegratedAloneClearsDedicated) {
  const BlockUpdate u = DecideBlockUpdate(With({{ResultId::GpuIntegrated, 45}}));
  EXPECT_EQ(u.gpu_integrated.value, 45);
  EXPECT_FALSE(u.gpu_integrated.cleared);
  EXPECT_TRUE(u.gpu_dedicated.write);
  EXPECT_EQ(u.gpu_dedicated.value, 0);
  EXPECT_TRUE(u.gpu_dedicated.cleared);
}

TEST(PublishDecision, Mainboard) {
  const BlockUpdate u = DecideBlockUpdate(With({{ResultId::Mainboard, 33}}));
  EXPECT_TRUE(u.mainboard.write);
  EXPECT_EQ(u.mainboard.value, 33);
  EXPECT_FALSE(u.cpu.write);
  EXPECT_FALSE(u.gpu_dedicated.write);
  EXPECT_FALSE(u.gpu_integrated.write);
}

struct alignas(8) Block {
  std::array<std::byte, kBlockSize> bytes;
};

TEST(BlockStore, WritesOnlyTheFieldsDecidedAtTheirOffsets) {
  Block block;
  block.bytes.fill(std::byte{0xA5});
  const Block before = block;
  ApplyBlockUpdate(&block,
                   DecideBlockUpdate(With({{ResultId::TctlTdie, 57.5f}, {ResultId::GpuIntegrated, 44}})));

  float f = 0;
  std::memcpy(&f, block.bytes.data() + 152, 4);
  EXPECT_EQ(f, 57.5f);
  std::memcpy(&f, block.bytes.data() + 296, 4);
  EXPECT_EQ(f, 0.0f);
  std::memcpy(&f, block.bytes.data() + 444, 4);
  EXPECT_EQ(f, 44.0f);
  for (std::size_t i = 0; i < kBlockSize; ++i) {
    if ((i >= 152 && i < 156) || (i >= 296 && i < 300) || (i >= 444 && i < 448)) continue;
    ASSERT_EQ(block.bytes[i], before.bytes[i]) << "byte " << i;
  }
}

TEST(BlockStore, LoadReadsWhatStoreWrote) {
  Block block{};
  StoreBlockFloat(&block, BlockField::Mainboard, 31.25f);
  StoreBlockFloat(&block, BlockField::Cpu, -12.5f);
  EXPECT_EQ(LoadBlockFloat(&block, BlockField::Mainboard), 31.25f);
  EXPECT_EQ(LoadBlockFloat(&block, BlockField::Cpu), -12.5f);
  EXPECT_EQ(LoadBlockFloat(&block, BlockField::GpuDedicated), 0.0f);
  const float expected = 31.25f;
  EXPECT_EQ(std::memcmp(block.bytes.data() + 584, &expected, 4), 0);
}

}  // namespace
}  // namespace ostrel::sensors
