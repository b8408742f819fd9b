#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <thread>

#include "sensorlib/library.h"
#include "sensorlib/scripted_source.h"
#include "sensorlib/snapshot.h"

namespace sensorlib {
namespace {

using namespace std::chrono_literals;
using Record = std::array<std::byte, kRecordSize>;

std::int32_t Int(const Record& r, std::size_t offset) {
  std::int32_t v;
  std::memcpy(&v, r.data() + offset, 4);
  return v;
}
double Value(const Record& r) {
  double v;
  std::memcpy(&v, r.data() + 8, 8);
  return v;
}
std::string Label(const Record& r) { return reinterpret_cast<const char*>(r.data() + 328); }

Snapshot TwoItems() {
  return Snapshot(
      {{11, "Intel Core i7", {{1, 0, 45.5, "CPU Package"}, {7, 0, 12, "CPU Total"}, {7, 2, 30, "Core"}}},
       {13, "GeForce", {}}});
}

TEST(Snapshot, FilledRecordHasTheFieldsAndZerosElsewhere) {
  Record record;
  record.fill(std::byte{0xCC});
  ASSERT_EQ(TwoItems().Read(1, 0, 0, record), Answer::Filled);
  EXPECT_EQ(Int(record, 0), 1);
  EXPECT_EQ(Value(record), 45.5);
  EXPECT_EQ(Int(record, 48), 11);
  EXPECT_EQ(Label(record), "CPU Package");
  for (std::size_t i = 0; i < kRecordSize; ++i) {
    const bool field = i < 4 || (i >= 8 && i < 16) || (i >= 48 && i < 52) || (i >= 328 && i < 328 + 11);
    if (!field) {
      ASSERT_EQ(record[i], std::byte{0}) << i;
    }
  }
}

TEST(Snapshot, AnswersBySlotAndClass) {
  const Snapshot s = TwoItems();
  Record record;
  // Only another class at this slot: fail, record untouched.
  record.fill(std::byte{0xCC});
  EXPECT_EQ(s.Read(3, 0, 0, record), Answer::Unknown);
  EXPECT_EQ(record[0], std::byte{0xCC});
  // Nothing of any class at this slot (a gap, or past the end): empty record.
  for (int slot : {1, 3, 511, 100000}) {
    record.fill(std::byte{0xCC});
    EXPECT_EQ(s.Read(1, 0, slot, record), Answer::EmptySlot) << slot;
    EXPECT_EQ(Int(record, 0), 0);
    EXPECT_EQ(record[463], std::byte{0});
  }
  EXPECT_EQ(s.Read(7, 0, 2, record), Answer::Filled);
  EXPECT_EQ(Label(record), "Core");
  // An item without readings, unknown items and classes.
  EXPECT_EQ(s.Read(1, 1, 0, record), Answer::EmptySlot);
  EXPECT_EQ(s.Read(1, 2, 0, record), Answer::Unknown);
  EXPECT_EQ(s.Read(1, -1, 0, record), Answer::Unknown);
  EXPECT_EQ(s.Read(8, 0, 0, record), Answer::Unknown);
  EXPECT_EQ(s.Read(-1, 0, 0, record), Answer::Unknown);
  EXPECT_EQ(s.Read(1, 0, -1, record), Answer::Unknown);
}

TEST(Snapshot, LongLabelsAreCutWithTheirNul) {
  Record record;
  record.fill(std::byte{0xCC});
  Snapshot({{11, "X", {{1, 0, 1, std::string(200, 'l')}}}}).Read(1, 0, 0, record);
  EXPECT_EQ(Label(record), std::string(135, 'l'));
}

TEST(Snapshot, NamesAreCutToTheBuffer) {
  const Snapshot s = TwoItems();
  std::array<char, 8> small;
  small.fill('x');
  s.CopyName(0, small);
  EXPECT_STREQ(small.data(), "Intel C");
  std::array<char, 256> big;
  big.fill('x');
  s.CopyName(1, big);
  EXPECT_STREQ(big.data(), "GeForce");
  s.CopyName(7, big);
  EXPECT_STREQ(big.data(), "");
  s.CopyName(0, std::span<char>());  // nothing to write to, nothing written
}

// A program's source that comes and goes with `up`; with no `celsius` it is
// there but gives nothing.
class ComingSource final : public SensorSource {
 public:
  ComingSource(std::string name, std::optional<double> celsius, std::shared_ptr<std::atomic<bool>> up)
      : name_(std::move(name)), celsius_(celsius), up_(std::move(up)) {}
  void Open() override {}
  bool Changed() override { return false; }
  void Collect(const Moment&, std::vector<SnapshotItem>& items) override {
    if (*up_ && celsius_) items.push_back({11, name_, {{1, 0, *celsius_, "CPU Package"}}});
  }
  bool Gone() override { return !*up_; }

 private:
  std::string name_;
  std::optional<double> celsius_;
  std::shared_ptr<std::atomic<bool>> up_;
};

TEST(LookAgain, ALaterSourceIsTakenUpOneThatEndsGivesWayAndNoPassWaitsForALook) {
  auto hwinfo_up = std::make_shared<std::atomic<bool>>(false);
  auto always = std::make_shared<std::atomic<bool>>(true);
  std::atomic<int> looks{0};
  std::mutex gate;  // held by the test: a look that takes long
  const DetectSources detect = [&] {
    std::vector<DetectedSource> found;
    DetectedSource hwinfo{"hwinfo", nullptr, "HWiNFO is not running", {}};
    hwinfo.look_again = [&] {
      ++looks;
      std::lock_guard slow(gate);
      if (!*hwinfo_up) return DetectedSource{"hwinfo", nullptr, "HWiNFO is still not running", {}};
      return DetectedSource{
          "hwinfo", std::make_unique<ComingSource>("Ryzen (HWiNFO)", 61, hwinfo_up), "block", {}};
    };
    found.push_back(std::move(hwinfo));
    found.push_back({"hwmon", std::make_unique<ComingSource>("Ryzen (hwmon)", 40, always), "tree", {}});
    found.push_back({"acpi", std::make_unique<ComingSource>("zones", std::nullopt, always), "zones", {}});
    return found;
  };
  constexpr auto kEvery = 50ms;
  Library lib(
      detect, [] { return 0.0; }, kEvery);
  const auto first_processor = [&] {
    lib.HardwareCount();
    lib.Update();
    std::array<char, 64> name{};
    lib.HardwareName(0, name.data(), static_cast<std::int32_t>(name.size()));
    Record r{};
    lib.GetReading(1, 0, 0, r.data());
    return std::string(name.data()) + " " + std::to_string(static_cast<int>(Value(r)));
  };
  const auto within = [](auto condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(5ms);
    }
    return true;
  };

  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(lib.Init(192), 0);
  EXPECT_EQ(first_processor(), "Ryzen (hwmon) 40");
  EXPECT_EQ(lib.DescribeSources(),
            "hwinfo\tabsent\tHWiNFO is not running\n"
            "hwmon\tfound\ttree\n"
            "acpi\tabsent\tgives no reading\n")
      << "found only for a source that gives a reading";
  std::this_thread::sleep_for(kEvery * 6);
  const double periods = (std::chrono::steady_clock::now() - started) / kEvery;
  EXPECT_GE(looks.load(), 2);
  EXPECT_LE(looks.load(), periods) << "looked for no more often than asked";
  EXPECT_NE(lib.DescribeSources().find("hwinfo\tabsent\tHWiNFO is still not running\n"), std::string::npos);

  *hwinfo_up = true;
  EXPECT_TRUE(within([&] { return first_processor() == "Ryzen (HWiNFO) 61"; }, 5s))
      << "started later, taken up";
  EXPECT_NE(lib.DescribeSources().find("hwinfo\tfound\tblock\n"), std::string::npos);

  *hwinfo_up = false;
  EXPECT_TRUE(within([&] { return first_processor() == "Ryzen (hwmon) 40"; }, 5s)) << "ended, the next one";
  EXPECT_NE(lib.DescribeSources().find("hwinfo\tabsent\t"), std::string::npos);

  {
    // A look that hangs holds up no pass.
    std::lock_guard slow(gate);
    const int before = looks.load();
    ASSERT_TRUE(within([&] { return looks.load() > before; }, 5s));
    const auto pass = std::chrono::steady_clock::now();
    EXPECT_EQ(first_processor(), "Ryzen (hwmon) 40");
    EXPECT_LT(std::chrono::steady_clock::now() - pass, 1s);
  }
  lib.Shutdown();
  const int after_shutdown = looks.load();
  std::this_thread::sleep_for(kEvery * 3);
  EXPECT_EQ(looks.load(), after_shutdown) << "no look after SensorShutdown";
}

class ScriptFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("ostrel-script-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
             ".txt");
    std::filesystem::remove(path_);
  }
  void TearDown() override { std::filesystem::remove(path_); }
  void Write(const std::string& text) {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
    // A later write must show as a change even on coarse file times.
    std::filesystem::last_write_time(path_, std::filesystem::file_time_type::clock::now() + ++bumps_ * 1s);
  }
  Library Make() {
    std::vector<std::unique_ptr<SensorSource>> sources;
    sources.push_back(std::make_unique<ScriptedSource>(
        path_, "test", [this](std::string_view line) { log_.emplace_back(line); }));
    return Library(std::move(sources), [this] { return clock_; });
  }
  std::string PathText() const {
    const auto u8 = path_.u8string();
    return {u8.begin(), u8.end()};
  }

  std::filesystem::path path_;
  std::vector<std::string> log_;
  double clock_ = 0;
  int bumps_ = 0;
};

TEST_F(ScriptFile, MissingScriptGivesNoHardwareAndOneLine) {
  Library lib = Make();
  EXPECT_EQ(lib.Init(192), 0);
  EXPECT_EQ(lib.HardwareCount(), 0);
  EXPECT_EQ(lib.HardwareCount(), 0);
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0], "sensorlib: no sensor script at " + PathText() + " (test); no hardware");
}

TEST_F(ScriptFile, MalformedScriptGivesNoHardwareAndNamesTheLine) {
  Write("hardware 11 X\ntemperature 0 1 T\nfan 999 1 F\n");
  Library lib = Make();
  EXPECT_EQ(lib.Init(192), 0);
  EXPECT_EQ(lib.HardwareCount(), 0);
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0], "sensorlib: " + PathText() + ": line 3: bad slot \"999\" (0 to 511); no hardware");
}

TEST_F(ScriptFile, EditsAreFollowedAtTheNextCount) {
  Library lib = Make();
  lib.Init(192);
  EXPECT_EQ(lib.HardwareCount(), 0);
  Write("hardware processor A\ntemperature 0 50 CPU Package\nhardware gpu B\n");
  EXPECT_EQ(lib.HardwareCount(), 2);
  Write("hardware processor A\ntemperature 0 61 CPU Package\n");
  EXPECT_EQ(lib.HardwareCount(), 1);
  Record record;
  EXPECT_EQ(lib.GetReading(1, 0, 0, record.data()), 1);
  EXPECT_EQ(Value(record), 61);
  std::filesystem::remove(path_);
  EXPECT_EQ(lib.HardwareCount(), 0);
}

// An edit within the same second that keeps the size, with the time stamp
// set back as it was, is still picked up: the content is what counts.
TEST_F(ScriptFile, AnEditThatKeepsSizeAndTimeIsFollowed) {
  Write("hardware processor A\ntemperature 0 50 CPU Package\n");
  const auto stamp = std::filesystem::last_write_time(path_);
  Library lib = Make();
  lib.Init(192);
  ASSERT_EQ(lib.HardwareCount(), 1);
  std::ofstream(path_, std::ios::binary | std::ios::trunc)
      << "hardware processor A\ntemperature 0 61 CPU Package\n";
  std::filesystem::last_write_time(path_, stamp);
  EXPECT_EQ(lib.HardwareCount(), 1);
  Record record;
  EXPECT_EQ(lib.GetReading(1, 0, 0, record.data()), 1);
  EXPECT_EQ(Value(record), 61);
  EXPECT_TRUE(log_.empty());
}

TEST_F(ScriptFile, ValuesMoveWithUpdatesAndTime) {
  Write("hardware processor A\ntemperature 0 steps(40,41,42) CPU Package\nload 0 wave(0,100,10) CPU Total\n");
  Library lib = Make();
  lib.Init(192);
  Record record;
  std::vector<double> seen;
  for (int pass = 0; pass < 4; ++pass) {
    ASSERT_EQ(lib.HardwareCount(), 1);
    lib.Update();
    lib.GetReading(1, 0, 0, record.data());
    seen.push_back(Value(record));
  }
  EXPECT_EQ(seen, (std::vector<double>{40, 41, 42, 40}));
  clock_ = 5;
  lib.Update();
  lib.GetReading(7, 0, 0, record.data());
  EXPECT_NEAR(Value(record), 100, 1e-9);
}

TEST_F(ScriptFile, EntryPointsAreSafeWithBadArguments) {
  Write("hardware processor A\ntemperature 0 1 T\n");
  Library lib = Make();
  // Before Init there is nothing.
  EXPECT_EQ(lib.HardwareCount(), 0);
  lib.Init(192);
  EXPECT_EQ(lib.GetReading(1, 0, 0, nullptr), 0);
  lib.HardwareName(0, nullptr, 256);
  char name[4] = "abc";
  lib.HardwareName(0, name, 0);
  EXPECT_STREQ(name, "abc");
  lib.HardwareName(0, name, -5);
  lib.HardwareName(0, name, 2);
  EXPECT_STREQ(name, "A");
  lib.Shutdown();
  EXPECT_EQ(lib.HardwareCount(), 0);
  Record record;
  EXPECT_EQ(lib.GetReading(1, 0, 0, record.data()), 0);
  EXPECT_EQ(lib.Init(192), 0);
  EXPECT_EQ(lib.HardwareCount(), 1);
}

}  // namespace
}  // namespace sensorlib
