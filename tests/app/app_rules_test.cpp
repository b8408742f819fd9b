#include <gtest/gtest.h>

#include "app/process_name.h"
#include "app/screen_rule.h"

namespace ostrel::app {
namespace {

TEST(AppRules, OtherMonitorProcessMatchesInAnyLetterCaseAndNothingElse) {
  for (const wchar_t* same : {L"OpenHardwareMonitorServer.exe", L"openhardwaremonitorserver.exe",
                              L"OPENHARDWAREMONITORSERVER.EXE", L"oPeNhArDwArEmOnItOrSeRvEr.ExE"}) {
    EXPECT_TRUE(SameExecutableName(same, kOtherMonitorProcess)) << same;
  }
  for (const wchar_t* other :
       {L"", L"OpenHardwareMonitor.exe", L"OpenHardwareMonitorServer", L"OpenHardwareMonitorServer.exe ",
        L"xOpenHardwareMonitorServer.exe", L"C:\\Tools\\OpenHardwareMonitorServer.exe",
        // Only A-Z fold: the Kelvin sign and a dotless i are other names.
        L"OpenHardwareMonitorServer.ex\u212A", L"OpenHardwareMon\u0131torServer.exe",
        // Letters just outside A-Z and a-z must not fold onto them.
        L"OpenHardwareMonitorServer.ex@", L"OpenHardwareMonitorServer.ex`"}) {
    EXPECT_FALSE(SameExecutableName(other, kOtherMonitorProcess)) << static_cast<const void*>(other);
  }
  EXPECT_FALSE(SameExecutableName(L"", L""));
}

TEST(AppRules, SmallPrimaryScreensGetRealPixels) {
  EXPECT_TRUE(WantsDpiAwareness(1366, 768));
  EXPECT_TRUE(WantsDpiAwareness(1399, 1080));
  EXPECT_TRUE(WantsDpiAwareness(1920, 799));
  EXPECT_TRUE(WantsDpiAwareness(0, 0));
  EXPECT_FALSE(WantsDpiAwareness(1400, 800));
  EXPECT_FALSE(WantsDpiAwareness(1920, 1080));
  EXPECT_FALSE(WantsDpiAwareness(3840, 2160));
}

}  // namespace
}  // namespace ostrel::app
