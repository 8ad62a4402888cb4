// The play keys as DOS scan codes, their names, and the settings files Zyntra.ini and KEYS.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "headless_fixture.h"
#include "shell/keys.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "temp_dir.h"

namespace {

class TKeysTest : public THeadlessTest {
 protected:
  void SetUp() override {
    THeadlessTest::SetUp();
    StartUpOptions().GameDir = Temp.Dir();
    ConfigIni.Init();
  }
  void TearDown() override {
    ConfigIni.Init();
    SetKeyNames({});
    THeadlessTest::TearDown();
  }
  // Applies scripted events due now.
  void Poll() { Headless->PollEvents(); }
  std::vector<uint8_t> Keys() const {
    return std::vector<uint8_t>(PlaySettings().PlayKeys, PlaySettings().PlayKeys + 6);
  }
  static std::vector<std::string> LogLines() { return TTempDir::LogLines(); }
  std::string TryLine() const {
    return "LoadConfig :: Trying to load key settings from \"" + Temp.Dir() + "KEYS.QZ1\" ... ";
  }
  // The log lines from the first one that starts with the LoadConfig text.
  std::vector<std::string> ConfigLog() const {
    std::vector<std::string> lines = LogLines();
    auto it = std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.rfind("LoadConfig ::", 0) == 0; });
    return std::vector<std::string>(it, lines.end());
  }

  TTempDir Temp;
};

TEST_F(TKeysTest, NamesComeFromTheListOrTheNumber) {
  LoadStrings("STRINGS.QZ1.TXT");
  EXPECT_EQ(KeyName(55), "PRTSC");  // no key produces it, it still has its name
  EXPECT_EQ(KeyName(1), "ESC");
  EXPECT_EQ(KeyName(29), "CTRL");
  EXPECT_EQ(KeyName(57), "SPACE");
  EXPECT_EQ(KeyName(88), "F12");
  EXPECT_EQ(KeyName(72), std::string(1, char(24)));  // the arrow glyphs of the font
  EXPECT_EQ(KeyName(80), std::string(1, char(25)));
  EXPECT_EQ(KeyName(85), "KEY #85");  // an empty name
  EXPECT_EQ(KeyName(89), "KEY #89");  // beyond the list
  EXPECT_EQ(KeyName(100), "KEY #100");
  SetKeyNames({"A", ""});
  EXPECT_EQ(KeyName(0), "A");
  EXPECT_EQ(KeyName(1), "KEY #1");
  EXPECT_EQ(KeyName(55), "KEY #55");
}

TEST_F(TKeysTest, RightCtrlIsJumpAndKeypad8IsUp) {
  Headless->HoldKey(KeyRightControl, 0, 100);
  Headless->HoldKey(KeyNumpad0 + 8, 0, 100);
  Poll();
  EXPECT_TRUE(ScanDown(PlaySettings().PlayKeys[KeyIndexJump]));
  EXPECT_TRUE(ScanDown(PlaySettings().PlayKeys[KeyIndexUp]));
  EXPECT_FALSE(ScanDown(PlaySettings().PlayKeys[KeyIndexDown]));
  EXPECT_FALSE(ScanDown(300));
  EXPECT_TRUE(ScanCodeKeys(55).empty());
  EXPECT_TRUE(ScanCodeKeys(256).empty());
  // Both Ctrl keys count for the one scan code.
  Headless->PressKey(KeyLeftControl, 0);
  Poll();
  EXPECT_EQ(ScanHit(29), 2);
  EXPECT_EQ(ScanHit(29), 0);
  EXPECT_EQ(ScanHit(-5), 0);
}

TEST_F(TKeysTest, FirstScanHitTakesTheLowestCodeAndConsumesIt) {
  Headless->PressKey('A', 0);          // 30
  Headless->PressKey(KeyEscape, 0);    // 1
  Headless->PressKey(KeyF12, 0);       // 88
  Headless->PressKey(KeyRightAlt, 0);  // 56
  Poll();
  EXPECT_EQ(FirstScanHit(), 1);
  EXPECT_EQ(FirstScanHit(), 30);
  EXPECT_EQ(FirstScanHit(), 56);
  EXPECT_EQ(FirstScanHit(), 88);
  EXPECT_EQ(FirstScanHit(), 0);
  // A key of no scan code is never found.
  Headless->PressKey(KeyPause, 10);
  Headless->AdvanceClock(20);
  Poll();
  EXPECT_EQ(FirstScanHit(), 0);
}

TEST_F(TKeysTest, SpeedFromIniWithSpacesAndAnyCase) {
  TTempDir::WriteText("Zyntra.ini", "speed = 9\r\n  [game]  \r\nSpeed=12\r\n");
  TTempDir::Write(Temp.Dir() + "KEYS.QZ1", {1, 2, 3, 4, 5, 6});
  LoadConfig();
  EXPECT_EQ(PlaySettings().Speed, 12);

  TTempDir::WriteText("Zyntra.ini", "[GAME]\nspeed=300\n");
  LoadConfig();
  EXPECT_EQ(PlaySettings().Speed, 44);  // taken modulo 256, not range checked

  TTempDir::WriteText("Zyntra.ini", "[GAME]\nspeed=0\n");
  LoadConfig();
  EXPECT_EQ(PlaySettings().Speed, 0);

  std::filesystem::remove("Zyntra.ini");
  LoadConfig();
  EXPECT_EQ(PlaySettings().Speed, 16);
}

TEST_F(TKeysTest, MirrorSheenSwitchInTheVideoSectionSurvivesASave) {
  TTempDir::WriteText("Zyntra.ini", "[GAME]\nspeed=12\n[Video]\nMirrorSheen=0\n");
  LoadConfig();
  EXPECT_FALSE(Options().MirrorSheen);
  EXPECT_EQ(PlaySettings().Speed, 12);
  SaveConfig();
  ResetSettings();
  StartUpOptions().GameDir = Temp.Dir();
  EXPECT_TRUE(Options().MirrorSheen);
  LoadConfig();
  EXPECT_FALSE(Options().MirrorSheen);  // written back with the other settings
  EXPECT_EQ(PlaySettings().Speed, 12);

  TTempDir::WriteText("Zyntra.ini", "[video]\nmirrorsheen=1\n");
  LoadConfig();
  EXPECT_TRUE(Options().MirrorSheen);
  StartUpOptions().MirrorSheen = false;
  std::filesystem::remove("Zyntra.ini");
  LoadConfig();
  EXPECT_TRUE(Options().MirrorSheen);  // on unless switched off
}

TEST_F(TKeysTest, KeysFileIsReadInOrder) {
  TTempDir::Write(Temp.Dir() + "KEYS.QZ1", {17, 31, 30, 32, 57, 42, 99});
  LoadConfig();
  EXPECT_EQ(Keys(), (std::vector<uint8_t>{17, 31, 30, 32, 57, 42}));
  EXPECT_EQ(ConfigLog(), (std::vector<std::string>{TryLine() + "ok."}));
}

TEST_F(TKeysTest, MissingKeysFileGivesDefaultsAndTwoLogLines) {
  for (uint8_t& k : PlaySettings().PlayKeys) k = 3;
  LoadConfig();
  EXPECT_EQ(Keys(), (std::vector<uint8_t>{72, 80, 75, 77, 56, 29}));
  EXPECT_EQ(ConfigLog(),
            (std::vector<std::string>{TryLine() + "ERROR", "  Using default keys instead."}));
}

TEST_F(TKeysTest, ShortKeysFileIsNotReadPastItsEnd) {
  TTempDir::Write(Temp.Dir() + "KEYS.QZ1", {17, 31, 30});
  for (uint8_t& k : PlaySettings().PlayKeys) k = 3;
  LoadConfig();
  EXPECT_EQ(Keys(), (std::vector<uint8_t>{72, 80, 75, 77, 56, 29}));
  EXPECT_EQ(ConfigLog().front(), TryLine() + "ERROR");

  TTempDir::Write(Temp.Dir() + "KEYS.QZ1", {});
  LoadConfig();
  EXPECT_EQ(Keys(), (std::vector<uint8_t>{72, 80, 75, 77, 56, 29}));
}

TEST_F(TKeysTest, SaveWritesIniAndSixKeyBytes) {
  LoadConfig();  // no files: speed 16, default keys
  SaveConfig();
  EXPECT_EQ(TTempDir::ReadText("Zyntra.ini"), "[GAME]\r\nspeed = 16\r\n\r\n");
  EXPECT_EQ(TTempDir::ReadText(Temp.Dir() + "KEYS.QZ1"),
            std::string("\x48\x50\x4B\x4D\x38\x1D", 6));

  PlaySettings().Speed = 20;
  const uint8_t keys[6] = {17, 31, 30, 32, 57, 54};
  std::copy(keys, keys + 6, PlaySettings().PlayKeys);
  SaveConfig();
  EXPECT_EQ(TTempDir::ReadText("Zyntra.ini"), "[GAME]\r\nspeed = 20\r\n\r\n");
  ResetSettings();
  StartUpOptions().GameDir = Temp.Dir();
  LoadConfig();
  EXPECT_EQ(PlaySettings().Speed, 20);
  EXPECT_EQ(Keys(), std::vector<uint8_t>(keys, keys + 6));
}

TEST_F(TKeysTest, UncreatableKeysFileWritesAndLogsNothing) {
  LoadConfig();
  const size_t logged = LogLines().size();
  StartUpOptions().GameDir = Temp.Dir() + "missing/";
  SaveConfig();
  EXPECT_FALSE(std::filesystem::exists(Temp.Dir() + "missing"));
  EXPECT_EQ(LogLines().size(), logged);
  EXPECT_TRUE(std::filesystem::exists("Zyntra.ini"));
}

}  // namespace
