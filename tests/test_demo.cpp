// Demos: the recorder's file, reading demo files of any length, and playback through the
// world tick with its keys, text scroller and marks.
#include <filesystem>
#include <string>
#include <vector>

#include "shell/demo.h"
#include "shell/settings.h"
#include "shell_fixture.h"
#include "world/world_state.h"

namespace {

std::vector<uint8_t> DemoBytes(int n, const std::vector<uint8_t>& records, size_t total = 0) {
  std::vector<uint8_t> bytes = {uint8_t(n & 255), uint8_t(n >> 8)};
  bytes.insert(bytes.end(), records.begin(), records.end());
  if (bytes.size() < total) bytes.resize(total, 0);
  return bytes;
}

// count ticks of the same record.
std::vector<uint8_t> Repeated(int count, const std::vector<uint8_t>& record) {
  std::vector<uint8_t> out;
  for (int i = 0; i < count; ++i) out.insert(out.end(), record.begin(), record.end());
  return out;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  const std::string text = TTempDir::ReadText(path);
  return std::vector<uint8_t>(text.begin(), text.end());
}

// --- The recorder -------------------------------------------------------------------------

class TDemoRecorderTest : public ::testing::Test {
 protected:
  TTempDir Temp;
};

TEST_F(TDemoRecorderTest, HundredTicksGiveAFullSizeFileWithTheirLength) {
  const std::string path = Temp.Dir() + "USERDEMO.QZ1";
  TDemoStream recorder;
  recorder.NextTick(1, 1, 1, 1, 1, 1);  // not active yet: nothing
  EXPECT_EQ(recorder.index, 0);
  recorder.Reset(path);
  for (int i = 0; i < 100; ++i)
    recorder.NextTick(uint8_t(i % 2), 0, uint8_t(i % 3 == 0), 1, 0, uint8_t(i == 99));
  recorder.Stop();
  EXPECT_FALSE(recorder.Active);
  std::vector<uint8_t> bytes = FileBytes(path);
  ASSERT_EQ(bytes.size(), 17002u);
  EXPECT_EQ(bytes[0], 0x58);
  EXPECT_EQ(bytes[1], 0x02);
  for (int i = 0; i < 100; ++i) {
    const std::vector<uint8_t> record(bytes.begin() + 2 + 6 * i, bytes.begin() + 8 + 6 * i);
    EXPECT_EQ(record, (std::vector<uint8_t>{uint8_t(i % 2), 0, uint8_t(i % 3 == 0), 1, 0,
                                            uint8_t(i == 99)}))
        << "tick " << i;
  }
  for (size_t i = 602; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0) << i;

  // Later stops and ticks change nothing.
  TTempDir::WriteText(path, "other");
  recorder.Stop();
  recorder.NextTick(1, 1, 1, 1, 1, 1);
  EXPECT_EQ(TTempDir::ReadText(path), "other");
  EXPECT_EQ(recorder.index, 600);
}

TEST_F(TDemoRecorderTest, ShorterSecondRecordingLeavesTheOldBytesAfterItsLength) {
  const std::string path = Temp.Dir() + "USERDEMO.QZ1";
  TDemoStream recorder;
  recorder.Reset(path);
  for (int i = 0; i < 100; ++i) recorder.NextTick(1, 1, 1, 1, 1, 1);
  recorder.Stop();
  recorder.Reset(path);
  for (int i = 0; i < 10; ++i) recorder.NextTick(0, 0, 0, 2, 0, 0);
  recorder.Stop();
  std::vector<uint8_t> bytes = FileBytes(path);
  ASSERT_EQ(bytes.size(), 17002u);
  EXPECT_EQ(bytes[0], 60);
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(bytes[2 + 3], 2);
  for (size_t i = 62; i < 602; ++i) ASSERT_EQ(bytes[i], 1) << i;
  EXPECT_EQ(bytes[602], 0);
  // A reader takes the first N bytes only.
  EXPECT_EQ(ReadDemoFile(path), Repeated(10, {0, 0, 0, 2, 0, 0}));
}

TEST_F(TDemoRecorderTest, FullBufferStopsAndWritesWhatItHolds) {
  const std::string path = Temp.Dir() + "USERDEMO.QZ1";
  TDemoStream recorder;
  recorder.Reset(path);
  for (int i = 0; i < 2831; ++i) recorder.NextTick(0, 0, 0, 0, 0, 1);
  EXPECT_TRUE(recorder.Active);
  EXPECT_FALSE(std::filesystem::exists(path));
  recorder.NextTick(1, 1, 1, 1, 1, 1);  // dropped: the buffer is full
  EXPECT_FALSE(recorder.Active);
  std::vector<uint8_t> bytes = FileBytes(path);
  ASSERT_EQ(bytes.size(), 17002u);
  EXPECT_EQ(bytes[0] + 256 * bytes[1], 16986);
  EXPECT_EQ(bytes[2 + 16986 - 1], 1);
  EXPECT_EQ(bytes[2 + 16986], 0);
  EXPECT_EQ(ReadDemoFile(path).size(), 16986u);
}

TEST_F(TDemoRecorderTest, ReaderNeverPassesTheBufferOrTheFile) {
  const std::string path = Temp.Dir() + "MY_DEMO.QZ1";
  // A length beyond the buffer: cut to the buffer, in whole ticks.
  TTempDir::Write(path, DemoBytes(0xFFFF, Repeated(2833, {1, 0, 0, 0, 0, 0}), 20000));
  EXPECT_EQ(ReadDemoFile(path).size(), 16998u);
  // A length beyond the file.
  TTempDir::Write(path, DemoBytes(600, Repeated(10, {0, 1, 0, 0, 0, 0})));
  EXPECT_EQ(ReadDemoFile(path), Repeated(10, {0, 1, 0, 0, 0, 0}));
  TTempDir::Write(path, DemoBytes(600, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(ReadDemoFile(path), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
  // A length that is not a whole number of ticks.
  TTempDir::Write(path, DemoBytes(7, Repeated(3, {1, 1, 1, 1, 1, 1})));
  EXPECT_EQ(ReadDemoFile(path).size(), 6u);
  TTempDir::Write(path, {7});
  EXPECT_TRUE(ReadDemoFile(path).empty());
  TTempDir::Write(path, {});
  EXPECT_TRUE(ReadDemoFile(path).empty());
  EXPECT_TRUE(ReadDemoFile(Temp.Dir() + "missing.QZ1").empty());
}

// --- Playback -----------------------------------------------------------------------------

class TDemoPlaybackTest : public TShellTest {
 protected:
  void SetUp() override {
    TShellTest::SetUp();
    WriteLevels(2);
    RegisterFrameRoutine([this] {
      if (!World().GameStarted || (!TickTimes.empty() && Game().Timer == TickTimers.back())) return;
      TickTimers.push_back(Game().Timer);
      TickTimes.push_back(Now());
      if (OnTick) OnTick(Game().Timer);
    });
  }
  void WriteUserDemo(const std::vector<uint8_t>& records) {
    TTempDir::Write(UserDemoFileName(), DemoBytes(int(records.size()), records, 17002));
  }
  int32_t Played() const { return World().GameStarted ? Game().Timer : -1; }

  std::vector<int32_t> TickTimers;
  std::vector<uint32_t> TickTimes;
  std::function<void(int32_t timer)> OnTick;
};

TEST_F(TDemoPlaybackTest, PlaysTheRecordedTicksOnMapZeroInOrder) {
  WriteUserDemo(Repeated(20, {0, 0, 0, 1, 0, 0}));  // right
  int32_t startX = -1;
  OnTick = [&](int32_t timer) {
    if (timer == 1) startX = World().Player->PosX;
  };
  ASSERT_TRUE(Run(PlayUserDemo));
  EXPECT_EQ(Played(), 20);
  EXPECT_EQ(Game().MapOn, 0);
  ASSERT_TRUE(World().Player);
  EXPECT_GT(World().Player->PosX, startX);

  TickTimers.clear();
  TickTimes.clear();
  WriteUserDemo(Repeated(20, {0, 0, 1, 0, 0, 0}));  // left
  ASSERT_TRUE(Run(PlayUserDemo));
  EXPECT_LT(World().Player->PosX, startX);
}

TEST_F(TDemoPlaybackTest, OldBytesAfterTheLengthAreNotPlayed) {
  TDemoStream recorder;
  recorder.Reset(UserDemoFileName());
  for (int i = 0; i < 100; ++i) recorder.NextTick(0, 0, 0, 1, 0, 0);
  recorder.Stop();
  recorder.Reset(UserDemoFileName());
  for (int i = 0; i < 10; ++i) recorder.NextTick(0, 0, 0, 0, 0, 0);
  recorder.Stop();
  ASSERT_TRUE(Run(PlayUserDemo));
  EXPECT_EQ(Played(), 10);
}

TEST_F(TDemoPlaybackTest, LengthBeyondTheFileIsPlayedWithoutOverrun) {
  TTempDir::Write(UserDemoFileName(), DemoBytes(0xFFFF, Repeated(12, {0, 0, 0, 0, 0, 1})));
  ASSERT_TRUE(Run(PlayUserDemo));
  EXPECT_EQ(Played(), 12);
}

TEST_F(TDemoPlaybackTest, MissingFileFadesTheGoingInBoxInAndOut) {
  ASSERT_TRUE(Run(PlayUserDemo));
  EXPECT_EQ(Played(), 0);
  ASSERT_EQ(Frames.size(), 34u);
  for (const TFrameSummary& f : Frames)
    EXPECT_NE(f.Text.find(Drawn(GoingInText)), std::string::npos);
  // The fade is the last thing drawn in each frame.
  EXPECT_EQ(Frames.front().Fills.back().Colour, 0xFFFFFFu);  // in from white
  EXPECT_FLOAT_EQ(Frames.front().Fills.back().Alpha, 1.0f);
  EXPECT_EQ(Frames.back().Fills.back().Colour, 0u);  // out to black
  EXPECT_FLOAT_EQ(Frames.back().Fills.back().Alpha, 1.0f);
}

TEST_F(TDemoPlaybackTest, AnyKeyEndsPlaybackWithoutDebug) {
  WriteUserDemo(Repeated(200, {0, 0, 0, 0, 0, 0}));
  Press('A', 600);  // the going-in box takes the first 283 ms
  ASSERT_TRUE(Run(PlayUserDemo));
  EXPECT_GT(Played(), 2);
  EXPECT_LT(Played(), 10);
  // The game picture fades out at the end.
  ASSERT_FALSE(Frames.back().Fills.empty());
  EXPECT_EQ(Frames.back().Fills.back().Colour, 0u);
  EXPECT_FLOAT_EQ(Frames.back().Fills.back().Alpha, 1.0f);
}

TEST_F(TDemoPlaybackTest, WithDebugOnlyEscEndsPlayback) {
  StartUpOptions().DebugMode = true;
  WriteUserDemo(Repeated(200, {0, 0, 0, 0, 0, 0}));
  Press('A', 600);
  Press(KeySpace, 700);
  Press(KeyEscape, 1300);
  ASSERT_TRUE(Run(PlayUserDemo));
  EXPECT_GE(Played(), 14);
  EXPECT_LT(Played(), 20);
}

TEST_F(TDemoPlaybackTest, DebugEnterPausesSpaceStepsEnterResumes) {
  StartUpOptions().DebugMode = true;
  WriteUserDemo(Repeated(200, {0, 0, 0, 0, 0, 0}));
  const uint32_t start = Now();
  Press(KeyEnter, 600);
  Press(KeySpace, 900);
  Press(KeySpace, 1100);
  Press(KeyEnter, 1300);
  Press(KeyEscape, 1600);
  ASSERT_TRUE(Run(PlayUserDemo));
  int stepped = 0, before = 0, after = 0;
  for (uint32_t t : TickTimes) {
    if (t < start + 600) ++before;
    if (t >= start + 700 && t < start + 1300) ++stepped;
    if (t >= start + 1300) ++after;
  }
  EXPECT_GT(before, 2);
  EXPECT_EQ(stepped, 2);
  EXPECT_GT(after, 2);
  EXPECT_LT(Played(), 30);
}

TEST_F(TDemoPlaybackTest, PlaybackStopsWhenThePlayerDies) {
  WriteUserDemo(Repeated(100, {0, 0, 0, 0, 0, 0}));
  OnTick = [&](int32_t timer) {
    if (timer == 7) Game().PlayerIsDead = 1;
  };
  ASSERT_TRUE(Run(PlayUserDemo));
  EXPECT_EQ(Played(), 7);
}

TEST_F(TDemoPlaybackTest, EpisodeDemoPlaysOnTheLastMapWithScrollerAndMarks) {
  DemoText.clear();
  for (int i = 0; i < 200; ++i) DemoText += char(33 + i % 94);
  TTempDir::Write(EpisodeDemoFileName(), DemoBytes(6 * 60, Repeated(60, {0, 0, 0, 0, 0, 0})));
  // Per tick: the scroller's first character, whether the demo mark and the "any key" text
  // were drawn.
  struct TSeen {
    int First = -1;
    float FirstY = 0;
    bool Mark = false;
    bool AnyKey = false;
  };
  std::vector<TSeen> seen;
  OnTick = [&](int32_t) {
    TSeen s;
    const std::vector<TDrawCommand>& commands = Headless->PendingCommands();
    for (const TDrawCommand& c : commands) {
      if (c.Image == FontImage && c.X == 16 && c.Y >= 163 && c.Y <= 165) {
        s.First = c.Frame;
        s.FirstY = c.Y;
      }
      if (c.Image == BorderTiles && c.X == 16 && c.Y == 0 && c.Frame == 12) s.Mark = true;
    }
    s.AnyKey = TextOf(commands).find(Drawn(AnyKeyText)) != std::string::npos;
    seen.push_back(s);
  };
  ASSERT_TRUE(Run(PlayDemo));
  EXPECT_EQ(Game().MapOn, 1);
  ASSERT_EQ(seen.size(), 60u);
  const int wave[4] = {-1, 0, 1, 0};
  for (int i = 0; i < 60; ++i) {
    const int timer = i + 1;
    // 40 ticks still, then 2 characters a tick for 13 ticks, then still again.
    const int p = i < 40 ? 0 : i <= 52 ? 2 * (i - 39) : 26;
    EXPECT_EQ(seen[size_t(i)].First, DemoText[size_t(p)]) << "tick " << i;
    EXPECT_EQ(seen[size_t(i)].FirstY, 164 + wave[timer % 4]) << "tick " << i;
    EXPECT_EQ(seen[size_t(i)].Mark, timer % 4 == 0) << "tick " << i;
    EXPECT_EQ(seen[size_t(i)].AnyKey, timer % 4 <= 1) << "tick " << i;
  }
}

// The demo our episode ships is real play: on the last map it beats the villain.
TEST_F(TDemoPlaybackTest, OurEpisodesDemoPlaysToTheVillainsDefeat) {
  StartUpOptions().GameDir = ZYNTRA_EPISODE_DIR;
  LoadStrings("STRINGS.QZ1.TXT");  // the episode's own levels list
  FrameLimit = 20000;
  ASSERT_TRUE(Run(PlayDemo));
  EXPECT_EQ(Game().MapOn, LastMapNumber());
  EXPECT_GT(Played(), 1000);
  EXPECT_TRUE(Game().Victory);
  EXPECT_FALSE(Game().PlayerIsDead);
}

TEST_F(TDemoPlaybackTest, ScreenshotsOfEveryTickWhenSwitchedOn) {
  WriteUserDemo(Repeated(3, {0, 0, 0, 0, 0, 0}));
  std::filesystem::create_directory("Screens");
  PlaySettings().DemoScreenshots = true;
  const bool ran = Run(PlayUserDemo);
  PlaySettings().DemoScreenshots = false;
  ASSERT_TRUE(ran);
  for (const char* name : {"Screens/Shot0001.png", "Screens/Shot0002.png", "Screens/Shot0003.png"})
    EXPECT_TRUE(std::filesystem::exists(name)) << name;
  EXPECT_FALSE(std::filesystem::exists("Screens/Shot0004.png"));
}

}  // namespace
