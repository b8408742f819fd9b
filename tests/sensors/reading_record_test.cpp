#include "sensors/reading_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace ostrel::sensors {
namespace {

TEST(ReadingRecord, DecodesTheFieldsAtTheirOffsets) {
  ReadingRecord record;
  record.bytes.fill(std::byte{0x7F});
  const std::int32_t present = 3, kind = 13;
  const double value = 71.375;
  std::memcpy(record.bytes.data() + 0, &present, 4);
  std::memcpy(record.bytes.data() + 8, &value, 8);
  std::memcpy(record.bytes.data() + 48, &kind, 4);
  std::memcpy(record.bytes.data() + 328, "GPU Temperature", 16);

  const Reading r = DecodeReading(record);
  EXPECT_EQ(r.present, 3);
  EXPECT_EQ(r.value, 71.375);
  EXPECT_EQ(r.kind, 13);
  EXPECT_EQ(r.label, "GPU Temperature");
}

// The record is allocated alone on the heap, so a read past its last byte
// is caught by the address sanitizer of the native build.
TEST(ReadingRecord, LabelWithoutNulStopsAtItsField) {
  auto record = std::make_unique<ReadingRecord>();
  std::memset(record->bytes.data() + 328, 'L', 136);
  const Reading r = DecodeReading(*record);
  EXPECT_EQ(r.label.size(), 136u);
  EXPECT_EQ(r.label, std::string(136, 'L'));
}

TEST(HardwareNameBuffer, NameWithoutNulStopsAtTheBuffer) {
  auto name = std::make_unique<HardwareName>();
  name->chars.fill('N');
  EXPECT_EQ(name->View(), std::string(256, 'N'));
  name->chars[5] = '\0';
  EXPECT_EQ(name->View(), "NNNNN");
  name->Clear();
  EXPECT_EQ(name->View(), "");
}

}  // namespace
}  // namespace ostrel::sensors
