#include "sensorlib/script.h"

#include <gtest/gtest.h>

#include <cmath>

namespace sensorlib {
namespace {

TEST(Script, ItemsAndReadingsInFileOrder) {
  const auto parsed = ParseScript(
      "\xEF\xBB\xBF# header\r\n"
      "\n"
      "hardware processor   Intel Core i7-12700K\r\n"
      "  temperature 0 45.5 CPU Package\r\n"
      "load 3 wave(1, 80, 40)   CPU Core #1 \n"
      "7 4 steps(1,2,3) Total\n"
      "hardware 17 Wi-Fi\n"
      "hardware mainboard Nuvoton NCT6798D\n"
      "fan 511 -3 Fan #2");
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  const auto& items = parsed.script.items;
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].kind, 11);
  EXPECT_EQ(items[0].name, "Intel Core i7-12700K");
  ASSERT_EQ(items[0].readings.size(), 3u);
  EXPECT_EQ(items[0].readings[0].sensor_class, 1);
  EXPECT_EQ(items[0].readings[0].slot, 0);
  EXPECT_EQ(items[0].readings[0].label, "CPU Package");
  EXPECT_EQ(std::get<Constant>(items[0].readings[0].value).value, 45.5);
  EXPECT_EQ(items[0].readings[1].sensor_class, 7);
  EXPECT_EQ(items[0].readings[1].label, "CPU Core #1");
  const auto& wave = std::get<Wave>(items[0].readings[1].value);
  EXPECT_EQ(wave.low, 1);
  EXPECT_EQ(wave.high, 80);
  EXPECT_EQ(wave.period_seconds, 40);
  EXPECT_EQ(std::get<Steps>(items[0].readings[2].value).values, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(items[1].kind, 17);
  EXPECT_TRUE(items[1].readings.empty());
  EXPECT_EQ(items[2].kind, 12);
  EXPECT_EQ(items[2].readings[0].sensor_class, 3);
  EXPECT_EQ(items[2].readings[0].slot, 511);
  EXPECT_EQ(std::get<Constant>(items[2].readings[0].value).value, -3);
}

TEST(Script, EmptyTextHasNoItems) {
  EXPECT_TRUE(ParseScript("").ok());
  EXPECT_TRUE(ParseScript("# nothing\n\n   \n").script.items.empty());
}

TEST(Script, SameSlotInOtherClassesOrItemsIsFine) {
  EXPECT_TRUE(
      ParseScript("hardware 11 A\ntemperature 0 1 T\nload 0 1 L\nhardware 11 B\ntemperature 0 1 T\n").ok());
}

TEST(Script, LengthLimits) {
  EXPECT_TRUE(
      ParseScript("hardware 11 " + std::string(255, 'n') + "\ntemperature 0 1 " + std::string(135, 'l'))
          .ok());
  EXPECT_EQ(ParseScript("hardware 11 " + std::string(256, 'n')).error,
            "line 1: hardware name longer than 255 bytes");
  EXPECT_EQ(ParseScript("hardware 11 n\ntemperature 0 1 " + std::string(136, 'l')).error,
            "line 2: label longer than 135 bytes");
}

TEST(Script, MalformedLinesNameTheLineAndYieldNothing) {
  struct Case {
    std::string text, error;
  } cases[] = {
      {"temperature 0 1 T", "line 1: reading before the first hardware line"},
      {"hardware\n", "line 1: bad hardware kind \"\" (processor, mainboard, gpu or a number)"},
      {"hardware cpu X", "line 1: bad hardware kind \"cpu\" (processor, mainboard, gpu or a number)"},
      {"hardware -1 X", "line 1: bad hardware kind \"-1\" (processor, mainboard, gpu or a number)"},
      {"hardware 11", "line 1: hardware without a name"},
      {"hardware 11 X\ntemp 0 1 T",
       "line 2: unknown line start \"temp\" (hardware, temperature, voltage, fan, clock, load or a class "
       "number 1, 2, 3, 6 or 7)"},
      {"hardware 11 X\n8 0 1 T",
       "line 2: unknown line start \"8\" (hardware, temperature, voltage, fan, clock, load "
       "or a class number 1, 2, 3, 6 or 7)"},
      {"hardware 11 X\n\n# c\ntemperature 512 1 T", "line 4: bad slot \"512\" (0 to 511)"},
      {"hardware 11 X\ntemperature -1 1 T", "line 2: bad slot \"-1\" (0 to 511)"},
      {"hardware 11 X\ntemperature x 1 T", "line 2: bad slot \"x\" (0 to 511)"},
      {"hardware 11 X\ntemperature 0 1 T\ntemperature 0 2 U", "line 3: slot 0 used twice"},
      {"hardware 11 X\ntemperature 0", "line 2: reading without a value"},
      {"hardware 11 X\ntemperature 0 42", "line 2: reading without a label"},
      {"hardware 11 X\ntemperature 0 42C T",
       "line 2: bad value \"42C\" (a number, wave(low,high,seconds) or steps(v1,v2,...))"},
      {"hardware 11 X\ntemperature 0 wave(1,2) T",
       "line 2: wave takes three numbers: wave(low,high,seconds)"},
      {"hardware 11 X\ntemperature 0 wave(1,2,0) T", "line 2: the period of wave must be above 0"},
      {"hardware 11 X\ntemperature 0 wave(1,2,-5) T", "line 2: the period of wave must be above 0"},
      {"hardware 11 X\ntemperature 0 wave(1,2,3 T", "line 2: missing ) in \"wave(1,2,3\""},
      {"hardware 11 X\ntemperature 0 steps() T", "line 2: bad number in \"steps()\""},
      {"hardware 11 X\ntemperature 0 steps(1,,2) T", "line 2: bad number in \"steps(1,,2)\""},
      {"hardware 11 X\ntemperature 0 ramp(1,2) T", "line 2: unknown value function \"ramp\" (wave or steps)"},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseScript(c.text);
    EXPECT_EQ(parsed.error, c.error) << c.text;
    EXPECT_TRUE(parsed.script.items.empty()) << c.text;
  }
}

// Input that used to be taken silently in a wrong sense: each is an error now,
// and quoted input shows its control bytes escaped instead of raw.
TEST(Script, NothingIsMisreadSilently) {
  const std::string kLoad =
      " (hardware, temperature, voltage, fan, clock, load or a class number 1, 2, 3, 6 or 7)";
  struct Case {
    std::string text, error;
  } cases[] = {
      // Lone CR line ends would fold every reading into the hardware name.
      {"hardware processor CPU\rtemperature 0 45 CPU Package\r",
       "line 1: carriage return inside the line (line ends are LF or CR LF, not CR alone)"},
      {"hardware 11 X\ntemperature 0 wave(40,70,30)x CPU Package",
       "line 2: text right after ) in \"wave(40,70,30)x\" (put a blank before the label)"},
      {"hardware 11 X\ntemperature 0 steps(1,2)) CPU",
       "line 2: text right after ) in \"steps(1,2))\" (put a blank before the label)"},
      {"hardware 11 X\ntemperature 0 1 " + std::string(3, '\0'), "line 2: control byte 0x00 at byte 17"},
      {"hardware 11 \x1B[31mRed", "line 1: control byte 0x1B at byte 13"},
      {"# a comment\x07\n", "line 1: control byte 0x07 at byte 12"},
      {"hardware 11 X\ntemperature 0 nan T",
       "line 2: bad value \"nan\" (a number, wave(low,high,seconds) or steps(v1,v2,...))"},
      {"hardware 11 X\ntemperature 0 -inf T",
       "line 2: bad value \"-inf\" (a number, wave(low,high,seconds) or steps(v1,v2,...))"},
      {"hardware 11 X\ntemperature 0 steps(1,infinity) T", "line 2: bad number in \"steps(1,infinity)\""},
      {"hardware 11 X\ntemperature 0 wave(nan,1,2) T", "line 2: bad number in \"wave(nan,1,2)\""},
      {"hardware 11 X\n4 0 1 T", "line 2: unknown line start \"4\"" + kLoad},
      {"hardware 11 X\n5 0 1 T", "line 2: unknown line start \"5\"" + kLoad},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseScript(c.text);
    EXPECT_EQ(parsed.error, c.error) << c.text;
    EXPECT_TRUE(parsed.script.items.empty()) << c.text;
  }
  // Tabs are blanks, and CR LF line ends are fine.
  const auto parsed =
      ParseScript("hardware\t11\tX\r\n2 0 1.5 Vcore\r\n3 0 900 Fan\r\n6 0 1 C\r\n7 0 1 L\r\n");
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  EXPECT_EQ(parsed.script.items[0].readings.size(), 4u);
}

TEST(Script, GarbageNeverCrashes) {
  std::string text;
  for (int i = 0; i < 4000; ++i) text += static_cast<char>((i * 7919) % 256);
  EXPECT_FALSE(ParseScript(text).ok());
  EXPECT_FALSE(ParseScript(std::string("hardware 11 X\nload 0 wave(") + std::string(1, '\0') + ") T").ok());
}

TEST(Values, ConstantWaveAndSteps) {
  EXPECT_EQ(Evaluate(Constant{42}, {123.0, 9}), 42);

  const Wave wave{40, 70, 30};
  EXPECT_NEAR(Evaluate(wave, {0, 0}), 40, 1e-9);
  EXPECT_NEAR(Evaluate(wave, {15, 0}), 70, 1e-9);
  EXPECT_NEAR(Evaluate(wave, {7.5, 0}), 55, 1e-9);
  EXPECT_NEAR(Evaluate(wave, {30 * 1000 + 15, 0}), 70, 1e-6);
  for (double t = -100; t < 100; t += 0.37) {
    const double v = Evaluate(wave, {t, 0});
    EXPECT_GE(v, 40 - 1e-9);
    EXPECT_LE(v, 70 + 1e-9);
  }

  const Steps steps{{1, 2, 3}};
  EXPECT_EQ(Evaluate(steps, {0, 0}), 1);
  EXPECT_EQ(Evaluate(steps, {0, 2}), 3);
  EXPECT_EQ(Evaluate(steps, {0, 3}), 1);
  EXPECT_EQ(Evaluate(Steps{}, {0, 5}), 0);
}

}  // namespace
}  // namespace sensorlib
