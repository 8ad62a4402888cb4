#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/headless.h"
#include "shell/input_script.h"
#include "shell/log.h"

namespace {

TEST(TInputScriptTest, KeyNames) {
  EXPECT_EQ(ScriptKeyCode("ESC"), KeyEscape);
  EXPECT_EQ(ScriptKeyCode("enter"), KeyEnter);
  EXPECT_EQ(ScriptKeyCode("a"), 'A');
  EXPECT_EQ(ScriptKeyCode("7"), '7');
  EXPECT_EQ(ScriptKeyCode("F1"), KeyF1);
  EXPECT_EQ(ScriptKeyCode("f12"), KeyF12);
  EXPECT_EQ(ScriptKeyCode("#188"), KeyComma);
  EXPECT_EQ(ScriptKeyCode("F13"), 0);
  EXPECT_EQ(ScriptKeyCode("#256"), 0);
  EXPECT_EQ(ScriptKeyCode("!"), 0);
}

TEST(TInputScriptTest, EventsArriveAtTheirTime) {
  THeadlessPlatform platform;
  ASSERT_TRUE(ApplyInputScriptLine("500 press ESC", platform));
  ASSERT_TRUE(ApplyInputScriptLine("  600   type a b\r", platform));
  ASSERT_TRUE(ApplyInputScriptLine("700 down left", platform));
  ASSERT_TRUE(ApplyInputScriptLine("900 up LEFT", platform));
  ASSERT_TRUE(ApplyInputScriptLine("1000 close", platform));
  TInputState& input = platform.Input();

  platform.AdvanceClock(499);
  platform.PollEvents();
  EXPECT_EQ(input.KeyHit(KeyEscape), 0);
  platform.AdvanceClock(1);
  platform.PollEvents();
  EXPECT_EQ(input.KeyHit(KeyEscape), 1);
  EXPECT_EQ(input.NextChar(), 27);  // Esc types too, as on the real keyboard

  platform.AdvanceClock(100);
  platform.PollEvents();
  EXPECT_EQ(input.NextChar(), 'a');
  EXPECT_EQ(input.NextChar(), ' ');
  EXPECT_EQ(input.NextChar(), 'b');
  EXPECT_EQ(input.NextChar(), 0);

  platform.AdvanceClock(150);
  platform.PollEvents();
  EXPECT_TRUE(input.KeyDown(KeyLeft));
  platform.AdvanceClock(150);
  platform.PollEvents();
  EXPECT_FALSE(input.KeyDown(KeyLeft));
  EXPECT_FALSE(platform.CloseRequested());
  platform.AdvanceClock(100);
  platform.PollEvents();
  EXPECT_TRUE(platform.CloseRequested());
}

TEST(TInputScriptTest, ControllerButtonsHoldAndPress) {
  THeadlessPlatform platform;
  ASSERT_TRUE(ApplyInputScriptLine("100 down pad_right", platform));
  ASSERT_TRUE(ApplyInputScriptLine("300 up PAD_RIGHT", platform));
  ASSERT_TRUE(ApplyInputScriptLine("400 press PAD_A", platform));
  EXPECT_FALSE(ApplyInputScriptLine("400 press PAD_Z", platform));
  TInputState& input = platform.Input();
  platform.AdvanceClock(100);
  platform.PollEvents();
  EXPECT_TRUE(input.PadDown(PadRight));
  EXPECT_TRUE(input.KeyDown(KeyRight));  // the arrow key goes with it
  platform.AdvanceClock(200);
  platform.PollEvents();
  EXPECT_FALSE(input.PadDown(PadRight));
  platform.AdvanceClock(100);
  platform.PollEvents();
  EXPECT_TRUE(input.PadDown(PadA));
  EXPECT_EQ(input.KeyHit(KeyEnter), 1);
  platform.AdvanceClock(1);
  platform.PollEvents();
  EXPECT_FALSE(input.PadDown(PadA));
}

TEST(TInputScriptTest, SwitchesAndBadLines) {
  THeadlessPlatform platform;
  EXPECT_TRUE(ApplyInputScriptLine("", platform));
  EXPECT_TRUE(ApplyInputScriptLine("# a comment", platform));
  for (const char* bad : {"500 press NOPE", "500 press", "500 jump", "hello", "500 type",
                          "800 close now", "failwindow please"}) {
    EXPECT_FALSE(ApplyInputScriptLine(bad, platform)) << bad;
  }
  EXPECT_EQ(platform.PendingScriptEvents(), 0u);
  EXPECT_FALSE(platform.FailWindow);

  EXPECT_TRUE(ApplyInputScriptLine("failwindow", platform));
  EXPECT_TRUE(ApplyInputScriptLine("FailAudio", platform));
  EXPECT_FALSE(platform.OpenWindow(640, 400, 0, 60));
  EXPECT_FALSE(platform.OpenAudio());
}

TEST(TInputScriptTest, LoadsAFileAndSkipsWhatItDoesNotKnow) {
  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / "zyntra_script_XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path script = fs::path(pattern) / "keys.txt";
  {
    std::ofstream file(script, std::ios::binary);
    file << "# start\r\n100 press SPACE\r\nnonsense\r\n200 press ENTER";  // no final line end
  }
  // The warnings go to a log of the temporary directory.
  const fs::path previous = fs::current_path();
  fs::current_path(pattern);
  THeadlessPlatform platform;
  EXPECT_TRUE(LoadInputScript(script.string(), platform));
  EXPECT_EQ(platform.PendingScriptEvents(), 4u);  // two presses, two releases
  EXPECT_FALSE(LoadInputScript((fs::path(pattern) / "missing.txt").string(), platform));
  CloseLog();
  std::ifstream log(fs::path(pattern) / "log.txt", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("WARNING :: LoadInputScript :: line 3 not understood: nonsense\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("WARNING :: LoadInputScript :: cannot read"), std::string::npos);
  fs::current_path(previous);
  std::error_code error;
  fs::remove_all(pattern, error);
}

}  // namespace
