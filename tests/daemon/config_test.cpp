// The configuration rules: what a line may hold, and which line is named
// when one is wrong.
#include <gtest/gtest.h>

#include "daemon/daemon_config.h"

namespace ostrel::daemon {
namespace {

using namespace std::string_view_literals;

TEST(DaemonConfig, AcceptsCommentsBlanksAndOneChoiceAndNamesTheBadLine) {
  auto ok = ParseDaemonConfig("# ostreld\n\n  cpu_sensor =   nct6798/CPU TIN  # the board's\r\n");
  ASSERT_TRUE(ok.config) << ok.error;
  EXPECT_EQ(ok.config->cpu_sensor, "nct6798/CPU TIN");
  EXPECT_EQ(ParseDaemonConfig("").config->cpu_sensor, "");
  EXPECT_EQ(ParseDaemonConfig("cpu_sensor=").config->cpu_sensor, "");

  const struct {
    std::string_view text;
    int line;
    const char* says;
  } bad[] = {
      {"# a\nfan = 1\n"sv, 2, "unknown setting \"fan\""},
      {"cpu_sensor = k10temp/Tctl\ncpu_sensor = k10temp/Tdie\n"sv, 2, "second time"},
      {"\n\n\ncpu_sensor k10temp/Tctl\n"sv, 4, "expected key = value"},
      {"= k10temp/Tctl\n"sv, 1, "expected key = value"},
      {"cpu_sensor = k10temp\n"sv, 1, "<chip>/<label>"},
      {"cpu_sensor = /Tctl\n"sv, 1, "<chip>/<label>"},
      {"cpu_sensor = k10temp/\n"sv, 1, "<chip>/<label>"},
      {"cpu_sensor = k10 temp/Tctl\n"sv, 1, "<chip>/<label>"},
      {"cpu_sensor = k10temp/T\x01"
       "ctl\n"sv,
       1, "control"},
      {"cpu_sensor = k10temp/T\0ctl\n"sv, 1, "control"},
  };
  for (const auto& c : bad) {
    const auto parsed = ParseDaemonConfig(c.text);
    EXPECT_FALSE(parsed.config) << c.text;
    EXPECT_EQ(parsed.line, c.line) << c.text;
    EXPECT_NE(parsed.error.find(c.says), std::string::npos) << parsed.error;
  }
  const auto huge = ParseDaemonConfig(std::string(kMaxConfigBytes + 1, '#'));
  EXPECT_FALSE(huge.config);
  EXPECT_EQ(huge.line, 0);
  EXPECT_TRUE(ParseDaemonConfig(std::string(kMaxConfigBytes, '#')).config);
}

}  // namespace
}  // namespace ostrel::daemon
