// The game loop on small levels: speed keys, the typed code, restart and quit questions,
// and the outcome of a tick (death, level exit, victory, failed loads).
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/demo.h"
#include "shell/game_loop.h"
#include "shell/settings.h"
#include "shell_fixture.h"
#include "world/player.h"
#include "world/world_state.h"

namespace {

class TGameLoopTest : public TShellTest {
 protected:
  struct TTick {
    int32_t Timer = 0;
    uint8_t Speed = 0;
    bool God = false;
    uint16_t Map = 0;
  };

  void SetUp() override {
    TShellTest::SetUp();
    // One presentation a tick, so that frames count ticks (smooth motion: test_program).
    StartUpOptions().SmoothMotion = false;
    WriteLevels(2);
    // One sample per tick: the tick's frame is the first frame with a new timer value.
    RegisterFrameRoutine([this] {
      if (OnTick) OnTick(Game().Timer);
      if (!World().GameStarted || (!Ticks.empty() && Ticks.back().Timer == Game().Timer)) return;
      Ticks.push_back({Game().Timer, PlaySettings().Speed, PlaySettings().GodMode, Game().MapOn});
    });
  }
  void TearDown() override {
    DemoRecorder.Active = 0;
    TShellTest::TearDown();
  }
  // Esc, yes, and any key for the high-score window.
  void QuitAt(uint32_t ms) {
    Press(KeyEscape, ms);
    Press('Y', ms + 200);
    Press(KeySpace, ms + 500);
  }
  void StartOnMap(uint16_t map) {
    NewGameState(World(), true);
    Game().MapOn = map;
    ASSERT_TRUE(LoadLevel(World()));
  }

  std::vector<TTick> Ticks;
  std::function<void(int32_t timer)> OnTick;  // called at every frame during a game
};

TEST_F(TGameLoopTest, HeldPeriodRaisesSpeedToTwentyAndCommaLowersItToEight) {
  Headless->HoldKey(KeyPeriod, Now() + 300, Now() + 1000);
  Headless->HoldKey(KeyComma, Now() + 1500, Now() + 3000);
  QuitAt(3500);
  ASSERT_TRUE(Run([] { GameLoop(true); }));
  std::vector<int> speeds;
  for (const TTick& t : Ticks)
    if (speeds.empty() || speeds.back() != t.Speed) speeds.push_back(t.Speed);
  EXPECT_EQ(speeds,
            (std::vector<int>{16, 17, 18, 19, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8}));
  // Each value held for one tick only, apart from the ends.
  size_t first17 = 0;
  while (first17 < Ticks.size() && Ticks[first17].Speed != 17) ++first17;
  ASSERT_LT(first17 + 4, Ticks.size());
  EXPECT_EQ(Ticks[first17 + 3].Speed, 20);
  EXPECT_EQ(Ticks[first17 + 4].Speed, 20);
  EXPECT_EQ(PlaySettings().Speed, 8);
  int marks = 0;
  for (const TFrameSummary& f : Frames)
    if (HasBorderTile(f, 32, 0, 40)) ++marks;
  EXPECT_EQ(marks, 4);
}

// The controller plays whatever the play keys are: here they are letters, and the pad's
// arrow keys mean nothing to the game, so the moves come from the pad state.
TEST_F(TGameLoopTest, ControllerRunsAndJumpsWithRedefinedKeys) {
  const uint8_t letters[6] = {17, 31, 30, 32, 33, 36};  // W S A D F J
  std::copy(letters, letters + 6, PlaySettings().PlayKeys);
  std::vector<std::pair<int32_t, int32_t>> positions;
  OnTick = [&](int32_t timer) {
    TInputState& in = Headless->Input();
    in.PadButton(PadRight, timer >= 3 && timer < 12);
    in.PadButton(PadA, timer >= 14 && timer < 16);
    if (World().Player && (positions.empty() || int32_t(positions.size()) <= timer))
      positions.emplace_back(World().Player->PosX, World().Player->PosY);
  };
  QuitAt(3000);
  ASSERT_TRUE(Run([] { GameLoop(true); }));
  ASSERT_GT(positions.size(), 30u);
  const auto start = positions[2];
  EXPECT_GT(positions[14].first, start.first);
  int32_t highest = start.second;
  for (const auto& p : positions) highest = std::min(highest, p.second);
  EXPECT_LE(highest, start.second - 32);  // a jump, not a step
}

// Four taps of fire, each between two ticks: with the latch the hero shoots, with the
// classic sampling the tick never sees the key held.
TEST_F(TGameLoopTest, QuickTapsOfFireShootOnlyWithTheLatch) {
  for (bool latch : {true, false}) {
    StartUpOptions().LatchTaps = latch;
    int shots = 0;  // frames with a shot of the hero's in the list
    OnTick = [&](int32_t) {
      for (const PActorListEntry& e : ActorList().Entries())
        if (e->ClassName() == "TBraxShot") {
          ++shots;
          break;
        }
    };
    const uint32_t t = Now();
    // Press and release at the same moment: never both sides of a tick.
    for (uint32_t i = 0; i < 4; ++i) {
      Headless->Script({t + 500 + 250 * i, TScriptedEvent::Press, KeyLeftAlt, 0, 0});
      Headless->Script({t + 500 + 250 * i, TScriptedEvent::Release, KeyLeftAlt, 0, 0});
    }
    QuitAt(t + 2500);
    ASSERT_TRUE(Run([] { GameLoop(true); }));
    if (latch)
      EXPECT_GT(shots, 0);
    else
      EXPECT_EQ(shots, 0);
  }
}

TEST_F(TGameLoopTest, TypedCodeWithoutDebugDoesNothing) {
  Type("vbqelt", 300);
  QuitAt(1200);
  ASSERT_TRUE(Run([] { GameLoop(true); }));
  for (const TTick& t : Ticks) EXPECT_FALSE(t.God);
}

TEST_F(TGameLoopTest, TypedCodeTogglesGodModeInDebug) {
  StartUpOptions().DebugMode = true;
  Type("xYVBQELT", 300);  // other letters before it; upper case counts
  Type("vbqelt", 1000);   // again: back to the previous state
  Type("vbqxelt", 1600);  // interrupted: nothing
  QuitAt(2500);
  ASSERT_TRUE(Run([] { GameLoop(true); }));
  std::vector<std::pair<bool, int32_t>> changes;  // (new state, tick)
  for (size_t i = 1; i < Ticks.size(); ++i)
    if (Ticks[i].God != Ticks[i - 1].God) changes.push_back({Ticks[i].God, Ticks[i].Timer});
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_TRUE(changes[0].first);
  EXPECT_FALSE(changes[1].first);
  EXPECT_FALSE(PlaySettings().GodMode);
}

TEST_F(TGameLoopTest, F10AsksToRestartOnlyOnEvenMaps) {
  StartOnMap(1);  // a hallway
  Press(KeyF10, 300);
  Press('Y', 500);  // would answer the question if it were asked
  QuitAt(1000);
  ASSERT_TRUE(Run([] { GameLoop(false); }));
  EXPECT_EQ(FirstFrameWith(Drawn(RestartText)), -1);
  // No restart: the tick counter ran on from the start.
  for (size_t i = 1; i < Ticks.size(); ++i) EXPECT_EQ(Ticks[i].Timer, Ticks[i - 1].Timer + 1);

  Frames.clear();
  Ticks.clear();
  StartOnMap(0);
  Press(KeyF10, 300);
  Press('N', 500);
  QuitAt(1000);
  ASSERT_TRUE(Run([] { GameLoop(false); }));
  int asked = FirstFrameWith(Drawn(RestartText));
  ASSERT_GE(asked, 0);
  EXPECT_TRUE(HasBorderTile(Frames[size_t(asked)], 16, 16, 18));
}

TEST_F(TGameLoopTest, EscAndNoPlaysOnEscAndYesEndsTheGame) {
  Press(KeyEscape, 300);
  Press('N', 500);
  Press('Q', 1000);
  Press('Y', 1200);
  Press(KeySpace, 1500);
  ASSERT_TRUE(Run([] { GameLoop(true); }));
  int asked = FirstFrameWith(Drawn(QuitText));
  ASSERT_GE(asked, 0);
  EXPECT_TRUE(HasBorderTile(Frames[size_t(asked)], 16, 80, 18));
  TDrawn ball;
  ASSERT_TRUE(BallOf(Frames[size_t(asked)], ball));
  EXPECT_EQ(ball.X, 16 + 128);
  EXPECT_EQ(ball.Y, 80 + 16);
  // Play went on between the two questions, then the high-score window came.
  ASSERT_FALSE(Ticks.empty());
  EXPECT_GT(Ticks.back().Timer, 8);
  EXPECT_GE(FirstFrameWith(Drawn(HighScoresText)), 0);
}

TEST_F(TGameLoopTest, FailedFirstLoadReturnsAtOnce) {
  LevelList.clear();
  ASSERT_TRUE(Run([] { GameLoop(true); }));
  EXPECT_TRUE(Frames.empty());
}

TEST_F(TGameLoopTest, DebugDigitOfAMissingSaveReturnsAtOnce) {
  StartUpOptions().DebugMode = true;
  Press('7', 300);
  QuitAt(1500);  // not reached
  ASSERT_TRUE(Run([] { GameLoop(true); }));
  EXPECT_EQ(FirstFrameWith(Drawn(QuitText)), -1);
  EXPECT_EQ(FirstFrameWith(Drawn(HighScoresText)), -1);
  EXPECT_LT(Ticks.back().Timer, 10);
}

TEST_F(TGameLoopTest, DeathOnTheFirstMapFadesToWhiteAndRestarts) {
  bool killed = false;
  OnTick = [&](int32_t timer) {
    if (timer == 10 && !killed) {
      Game().PlayerIsDead = 1;
      killed = true;
    }
  };
  DemoRecorder.Reset(Temp.Dir() + "REC.QZ1");
  QuitAt(2500);
  ASSERT_TRUE(Run([] { GameLoop(true); }));
  ASSERT_TRUE(killed);
  // The recording ended at the death.
  const std::string demo = TTempDir::ReadText(Temp.Dir() + "REC.QZ1");
  ASSERT_EQ(demo.size(), 17002u);
  EXPECT_EQ(uint8_t(demo[0]) + 256 * uint8_t(demo[1]), 60);
  // The tick counter started again after the reload.
  bool restarted = false;
  for (size_t i = 1; i < Ticks.size(); ++i)
    if (Ticks[i].Timer < Ticks[i - 1].Timer) restarted = true;
  EXPECT_TRUE(restarted);
  int whites = 0;
  for (const TFrameSummary& f : Frames)
    if (!f.Fills.empty() && f.Fills.back().Colour == 0xFFFFFFu) ++whites;
  EXPECT_EQ(whites, 34);  // the game fades out to white, the going-in box fades in from it
  EXPECT_EQ(FirstFrameWith(Drawn(DiedText)), -1);
}

TEST_F(TGameLoopTest, DeathLaterShowsTheDiedBoxUntilEnter) {
  StartOnMap(1);
  bool killed = false;
  OnTick = [&](int32_t timer) {
    if (timer == 5 && !killed) {
      Game().PlayerIsDead = 1;
      killed = true;
    }
  };
  Press(KeySpace, 700);
  Press(KeyEnter, 900);
  QuitAt(2000);
  ASSERT_TRUE(Run([] { GameLoop(false); }));
  int died = FirstFrameWith(Drawn(DiedText));
  ASSERT_GE(died, 0);
  EXPECT_TRUE(HasBorderTile(Frames[size_t(died)], 16, 16, 18));
  EXPECT_EQ(Game().MapOn, 1);
}

TEST_F(TGameLoopTest, LevelExitAdvancesAndStopsTheRecording) {
  for (THighscoreEntry& e : HighScores) e.Score = 1000000;  // level bonuses: no name entry
  OnTick = [&](int32_t timer) {
    if (timer == 8 && Game().MapOn == 0) Game().ExitLevel = 1;
  };
  DemoRecorder.Reset(Temp.Dir() + "REC.QZ1");
  QuitAt(1500);
  ASSERT_TRUE(Run([] { GameLoop(true); }));
  EXPECT_EQ(Game().MapOn, 1);
  EXPECT_FALSE(DemoRecorder.Active);
  const std::string demo = TTempDir::ReadText(Temp.Dir() + "REC.QZ1");
  ASSERT_EQ(demo.size(), 17002u);
  EXPECT_EQ(uint8_t(demo[0]), 48);
  // The recording mark stood at 16,0 in the recorded ticks only.
  int marks = 0;
  for (const TFrameSummary& f : Frames)
    if (HasBorderTile(f, 16, 0, 16)) ++marks;
  EXPECT_EQ(marks, 8);
  auto save = ReadSavegame(SavegameFileName(0));
  ASSERT_TRUE(save);
  EXPECT_EQ(save->MapNumber, 1);
}

TEST_F(TGameLoopTest, VictoryOfTheSecondKindPlaysOnThenShowsTheShortEnding) {
  for (THighscoreEntry& e : HighScores) e.Score = 1000000;  // no name entry
  int32_t wonAt = -1;
  OnTick = [&](int32_t timer) {
    if (timer == 6 && wonAt < 0) {
      Game().Victory = 2;
      wonAt = timer;
    }
  };
  for (uint32_t t = 2500; t < 9000; t += 150) Press(KeySpace, t);  // the boxes of the ending
  ASSERT_TRUE(Run([] { GameLoop(true); }));
  EXPECT_EQ(Game().Score, 100000);
  EXPECT_EQ(Game().Timer, 6 + 8);
  int extro = FirstFrameWith(Drawn(ExtroText));
  ASSERT_GE(extro, 0);
  EXPECT_GT(FirstFrameWith(Drawn(FinaleText), size_t(extro)), extro);
  EXPECT_GE(FirstFrameWith(Drawn(HighScoresText)), 0);
  EXPECT_EQ(FirstFrameWith(Drawn(QuitText)), -1);
}

}  // namespace
