// Where the panel and the message box put things, and the texts they show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/menu_text.h"
#include "ui/panel_layout.h"

namespace ostrel::ui {
namespace {

TEST(PanelLayout, PanelSitsThreePixelsInsideTheWorkAreasBottomRightCorner) {
  EXPECT_EQ(PanelBox({0, 0, 1920, 1080}), (Box{1577, 827, 1917, 1077}));
  // A taskbar on the left or at the top moves the work area's origin only.
  EXPECT_EQ(PanelBox({60, 40, 1366, 728}), (Box{1023, 475, 1363, 725}));
  const Box panel = PanelBox({0, 0, 800, 600});
  EXPECT_EQ(panel.Width(), 340);
  EXPECT_EQ(panel.Height(), 250);

  EXPECT_EQ(CloseButtonBox({0, 0, 340, 250}), (Box{295, 25, 313, 42}));
  EXPECT_EQ(CloseButtonBox({0, 0, 10, 250}), Box{});  // not laid out yet
  const Box close = CloseButtonBox({0, 0, 340, 250});
  EXPECT_TRUE(close.Contains(295, 25));
  EXPECT_FALSE(close.Contains(313, 30));  // right edge is outside
  EXPECT_FALSE(close.Contains(300, 42));
}

TEST(PanelLayout, MessageBoxControlsAt380By200) {
  const MessageBoxLayout layout = LayOutMessageBox({0, 0, 380, 200});
  EXPECT_EQ(layout.title, (Box{20, 15, 360, 40}));
  EXPECT_EQ(layout.message, (Box{20, 70, 360, 130}));
  EXPECT_EQ(layout.ok, (Box{60, 160, 320, 190}));
  EXPECT_EQ(layout.yes, (Box{70, 160, 170, 190}));
  EXPECT_EQ(layout.no, (Box{210, 160, 310, 190}));
  // YES left of the centre line, NO right of it, never overlapping.
  EXPECT_LT(layout.yes.right, 190);
  EXPECT_GT(layout.no.left, 190);
}

TEST(MenuText, TheTrayMenuTheUserSeesAndTheUpdatePrompts) {
  // The version line shows the project's version; the count has no plural.
  const std::wstring version = std::wstring(L"Version: ") + OSTREL_VERSION_WIDE;
  EXPECT_EQ(TrayMenu(2),
            (std::vector<MenuLine>{
                {ID_TRAY_VERSION, version}, {ID_TRAY_DEVICES, L"2 Device"}, {ID_TRAY_EXIT, L"Exit"}}));
  EXPECT_EQ(TrayMenu(0)[1].text, L"0 Device");
  EXPECT_EQ(TrayMenu(1)[1].text, L"1 Device");
  // Each line carries its own command, so a click is never mistaken for Exit.
  const std::vector<MenuLine> menu = TrayMenu(1);
  EXPECT_NE(menu[0].command, menu[1].command);
  EXPECT_NE(menu[1].command, menu[2].command);
  EXPECT_NE(menu[0].command, menu[2].command);
  EXPECT_EQ(TrayTip(false), L"TEMP");
  EXPECT_EQ(TrayTip(true), L"TEMP\nNo CPU temperature sensor");

  const UpdatePrompt latest = MakeUpdatePrompt(UpdateChannel::Software, false, L"1.0.1.1");
  EXPECT_EQ(latest.title, L"Software Updates");
  EXPECT_EQ(latest.text, L"The software is the latest version!");
  EXPECT_EQ(latest.style, 0);

  const UpdatePrompt offer = MakeUpdatePrompt(UpdateChannel::Software, true, L"1.0.1.2");
  EXPECT_EQ(offer.text, L"Detected the latest version:v1.0.1.2, update now?");
  EXPECT_EQ(offer.style, 4);

  const UpdatePrompt firmware = MakeUpdatePrompt(UpdateChannel::Firmware, false, L"");
  EXPECT_EQ(firmware.title, L"Firmware Updates");
  EXPECT_EQ(firmware.text, L"The Firmware is the latest version!");
  EXPECT_EQ(MakeUpdatePrompt(UpdateChannel::Firmware, true, L"13").text,
            L"Detected the latest version:v13, update now?");

  const UpdatePrompt refused = MakeRefusedNotice(UpdateChannel::Firmware);
  EXPECT_EQ(refused.title, L"Firmware Updates");
  EXPECT_EQ(refused.text, L"The update could not be verified and was not installed!");
  EXPECT_EQ(refused.style, 0);
}

}  // namespace
}  // namespace ostrel::ui
