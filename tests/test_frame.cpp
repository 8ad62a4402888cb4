// Frame presentation, pacing and the keyboard helpers, on the virtual clock.
#include <stdexcept>

#include "headless_fixture.h"
#include "shell/log.h"
#include "shell/settings.h"

namespace {

class TFrameTest : public THeadlessTest {};

struct TExitCalled : std::runtime_error {
  int Status;
  explicit TExitCalled(int status) : std::runtime_error("exit"), Status(status) {}
};
[[noreturn]] void ThrowingExit(int status) { throw TExitCalled(status); }

TEST_F(TFrameTest, SixtyHertzTimerAveragesOneSecondPerSixtyFrames) {
  PresentFrame();  // starts the timer
  uint32_t start = Headless->Millisecs();
  std::vector<uint32_t> gaps;
  uint32_t last = start;
  for (int i = 0; i < 60; ++i) {
    PresentFrame();
    gaps.push_back(Headless->Millisecs() - last);
    last = Headless->Millisecs();
  }
  EXPECT_EQ(Headless->Millisecs() - start, 1000u);
  for (uint32_t gap : gaps) EXPECT_TRUE(gap == 16 || gap == 17) << gap;
  // The remainder of 40/60 ms makes two of every three frames one millisecond longer.
  EXPECT_EQ(gaps[0], 16u);
  EXPECT_EQ(gaps[1], 17u);
  EXPECT_EQ(gaps[2], 17u);
  EXPECT_EQ(gaps[3], 16u);
}

TEST_F(TFrameTest, SixtyHertzTimerDoesNotCatchUpAfterAStall) {
  PresentFrame();
  PresentFrame();
  Headless->AdvanceClock(500);  // a long stall
  size_t sleeps = Headless->SleepLog.size();
  uint32_t before = Headless->Millisecs();
  PresentFrame();  // late: shown at once, no burst of short frames afterwards
  EXPECT_EQ(Headless->SleepLog.size(), sleeps);
  EXPECT_EQ(Headless->Millisecs(), before);
  PresentFrame();
  EXPECT_GE(Headless->Millisecs() - before, 16u);
  PresentFrame();
  EXPECT_GE(Headless->Millisecs() - before, 32u);
}

TEST_F(TFrameTest, FullScreenWaitsForTheDisplayNotTheTimer) {
  Headless->CloseWindow();
  ASSERT_TRUE(Headless->OpenWindow(640, 400, 32, 60));
  PresentFrame();
  PresentFrame();
  EXPECT_TRUE(Headless->SleepLog.empty());
}

TEST_F(TFrameTest, PaceFramePeriodsFollowTheSpeed) {
  for (auto [fps, period] : {std::pair<int, uint32_t>{16, 62}, {8, 125}, {20, 50}}) {
    ResetFrameTiming();
    PaceFrame(uint8_t(fps));
    uint32_t last = Headless->Millisecs();
    for (int i = 0; i < 5; ++i) {
      PaceFrame(uint8_t(fps));
      EXPECT_EQ(Headless->Millisecs() - last, period) << "fps " << fps;
      last = Headless->Millisecs();
    }
  }
}

TEST_F(TFrameTest, PaceFrameSkipsTheWaitAfterALongFrameAndAtSpeedZero) {
  PaceFrame(16);
  Headless->AdvanceClock(200);
  size_t sleeps = Headless->SleepLog.size();
  PaceFrame(16);
  // Only the 60 Hz timer may have moved the clock; no pacing sleep.
  EXPECT_EQ(Headless->SleepLog.size(), sleeps);
  for (int i = 0; i < 3; ++i) PaceFrame(0);
  for (size_t i = sleeps; i < Headless->SleepLog.size(); ++i) EXPECT_LE(Headless->SleepLog[i], 17);
}

TEST_F(TFrameTest, KeyRepeatFiresOnPressThenAfterTwentyFramesThenEveryFour) {
  Headless->Script({0, TScriptedEvent::Press, KeyDown, 0, 0});
  Headless->PollEvents();
  std::vector<int> fired;
  for (int frame = 0; frame < 40; ++frame) {
    if (KeyRepeat(KeyDown, 20, 4)) fired.push_back(frame);
  }
  EXPECT_EQ(fired, (std::vector<int>{0, 20, 24, 28, 32, 36}));
  // Released: the counter resets, nothing fires.
  Headless->Input().KeyReleased(KeyDown);
  EXPECT_FALSE(KeyRepeat(KeyDown, 20, 4));
  // Down without a seen press (counter 0) fires at once.
  Headless->Input().KeyPressed(KeyDown);
  Headless->Input().KeyHit(KeyDown);
  EXPECT_TRUE(KeyRepeat(KeyDown, 20, 4));
  EXPECT_FALSE(KeyRepeat(KeyDown, 20, 4));
}

TEST_F(TFrameTest, AnyKeyHitScansUpwardAndLeavesIgnoredKeysAlone) {
  SetAnyKeyIgnored(KeyF12, true);
  TInputState& in = Headless->Input();
  in.KeyPressed(KeyF12);
  EXPECT_FALSE(AnyKeyHit());
  EXPECT_EQ(in.PeekKeyHits(KeyF12), 1);  // still there for FlipHookKeys

  in.KeyPressed('Z');
  in.KeyPressed('A');
  EXPECT_TRUE(AnyKeyHit());
  EXPECT_EQ(LastAnyKey(), 'A');
  EXPECT_EQ(in.PeekKeyHits('Z'), 1);  // codes above the first hit are not consumed
  EXPECT_TRUE(AnyKeyHit());
  EXPECT_EQ(LastAnyKey(), 'Z');
  EXPECT_FALSE(AnyKeyHit());

  bool before = PlaySettings().ReplacementMode;
  FlipHookKeys();
  EXPECT_NE(PlaySettings().ReplacementMode, before);
  SetAnyKeyIgnored(KeyF12, false);
}

TEST_F(TFrameTest, DrainAndResetForgetKeys) {
  TInputState& in = Headless->Input();
  in.KeyPressed('Q');
  in.CharTyped('q');
  in.KeyPressed(KeyEnter);
  ASSERT_TRUE(AnyKeyHit());
  DrainKeyHits();
  EXPECT_EQ(LastAnyKey(), 0);
  EXPECT_EQ(in.PeekKeyHits(KeyEnter), 0);
  EXPECT_TRUE(in.KeyDown('Q'));  // drain keeps the down states
  EXPECT_EQ(in.NextChar(), 'q');
  in.CharTyped('x');
  ResetKeys();
  EXPECT_FALSE(in.KeyDown('Q'));
  EXPECT_EQ(in.NextChar(), 0);
}

TEST_F(TFrameTest, DebugSwitchesNeedTheDebugOption) {
  TInputState& in = Headless->Input();
  StartUpOptions().DebugMode = false;
  PlaySettings().ShowCollisionBoxes = false;
  in.KeyPressed(KeyF2);
  FlipHookKeys();
  EXPECT_FALSE(PlaySettings().ShowCollisionBoxes);
  StartUpOptions().DebugMode = true;
  in.KeyPressed(KeyF2);
  in.KeyPressed(KeyF3);
  bool shots = PlaySettings().DemoScreenshots;
  FlipHookKeys();
  EXPECT_TRUE(PlaySettings().ShowCollisionBoxes);
  EXPECT_NE(PlaySettings().DemoScreenshots, shots);
  PlaySettings().ShowCollisionBoxes = false;
  PlaySettings().DemoScreenshots = shots;
}

TEST_F(TFrameTest, FrameRoutinesRunInOrderAtEveryPresentation) {
  std::vector<int> calls;
  RegisterFrameRoutine([&] { calls.push_back(1); });
  RegisterFrameRoutine([&] { calls.push_back(2); });
  PresentFrame();
  PaceFrame(16);
  EXPECT_EQ(calls, (std::vector<int>{1, 2, 1, 2}));
}

TEST_F(TFrameTest, WindowCloseEndsTheProgramThroughTheExitHook) {
  SetExitHook(ThrowingExit);
  RegisterFrameRoutine(FlipHookKeys);
  Headless->Script({Headless->Millisecs(), TScriptedEvent::Close, 0, 0, 0});
  PresentFrame();  // the close arrives with this frame's events
  try {
    PresentFrame();
    FAIL() << "the close request did not end the program";
  } catch (const TExitCalled& e) {
    EXPECT_EQ(e.Status, 0);
  }
  SetExitHook(nullptr);
}

TEST_F(TFrameTest, SuspendedWindowWaitsUntilResumed) {
  uint32_t t = Headless->Millisecs();
  Headless->Script({t, TScriptedEvent::Suspend, 0, 0, 0});
  Headless->Script({t + 100, TScriptedEvent::Resume, 0, 0, 0});
  Headless->PollEvents();
  FlipHookKeys();
  EXPECT_FALSE(Headless->Suspended());
  EXPECT_GE(Headless->Millisecs(), t + 100);
  EXPECT_LT(Headless->Millisecs(), t + 100 + 16);
}

}  // namespace
