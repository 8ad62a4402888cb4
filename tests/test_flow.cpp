// The program flow: the menu cursor, the main menu and its sub-menus, the restore and save
// menus, the in-game menu, the high-score window and name entry, the end of a game, the
// end of the episode, and leaving the program.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "menus/screens.h"
#include "shell/demo.h"
#include "shell/flow.h"
#include "shell/keys.h"
#include "shell/settings.h"
#include "shell_fixture.h"
#include "world/world_state.h"

namespace {

class TFlowTest : public TShellTest {
 protected:
  void TearDown() override {
    DemoRecorder.Active = 0;
    TShellTest::TearDown();
  }
  // Presses the key every stepMs from fromMs to toMs after now (for runs of boxes that
  // each wait for a key).
  void PressEvery(int code, uint32_t fromMs, uint32_t toMs, uint32_t stepMs) {
    for (uint32_t t = fromMs; t <= toMs; t += stepMs) Press(code, t);
  }
  // A started game on map `map` of two small levels.
  void StartLevel(uint16_t map) {
    WriteLevels(2);
    NewGameState(World(), true);
    Game().MapOn = map;
    ASSERT_TRUE(LoadLevel(World()));
  }
};

TEST_F(TFlowTest, HeldDownMovesOnceThenAfterTwentyFramesThenEveryFour) {
  int cursor = -1;
  Headless->HoldKey(KeyDown, Now() + 50, Now() + 50 + 80 * 17);
  std::vector<int> moves;  // frame numbers where the cursor changed
  int previous = cursor;
  for (int frame = 0; frame < 70; ++frame) {
    PresentFrame();
    EXPECT_FALSE(MenuCursor(cursor, 4));
    if (cursor != previous) moves.push_back(frame);
    previous = cursor;
  }
  ASSERT_EQ(moves.size(), 5u);  // rows 0 to 4, then it stays on the last row
  EXPECT_EQ(cursor, 4);
  EXPECT_EQ(moves[1] - moves[0], 20);
  EXPECT_EQ(moves[2] - moves[1], 4);
  EXPECT_EQ(moves[3] - moves[2], 4);
  EXPECT_EQ(moves[4] - moves[3], 4);
}

TEST_F(TFlowTest, UpStopsAtTheFirstRowAndEnterIsReported) {
  int cursor = -1;
  Press(KeyUp, 20);
  Headless->AdvanceClock(40);
  Headless->PollEvents();
  EXPECT_FALSE(MenuCursor(cursor, 3));
  EXPECT_EQ(cursor, -1);  // Up does nothing before the first Down
  Press(KeyDown, 20);
  Headless->AdvanceClock(40);
  Headless->PollEvents();
  MenuCursor(cursor, 3);
  EXPECT_EQ(cursor, 0);
  Press(KeyUp, 20);
  Press(KeyEnter, 20);
  Headless->AdvanceClock(40);
  Headless->PollEvents();
  EXPECT_TRUE(MenuCursor(cursor, 3));
  EXPECT_EQ(cursor, 0);
  EXPECT_FALSE(MenuCursor(cursor, 3));  // the Enter hit was taken
}

TEST_F(TFlowTest, EnterBeforeAnyCursorKeySelectsNothing) {
  Press(KeyEnter, 100);
  Press('T', 400);
  const uint32_t leave = Now() + 400;
  ASSERT_TRUE(Run([&] { MainMenu(TitleScreen.get()); }));
  // Nothing faded before "T"; then the one fade-out of the menu.
  int fades = 0;
  for (const TFrameSummary& f : Frames) {
    if (f.Fills.empty()) continue;
    ++fades;
    EXPECT_GE(f.AtMs + 20, leave);
  }
  EXPECT_EQ(fades, 17);
  TDrawn ball;
  for (const TFrameSummary& f : Frames) {
    EXPECT_NE(f.Text.find(Drawn(MainMenuText)), std::string::npos);
    EXPECT_FALSE(BallOf(f, ball));  // no row highlighted while the cursor is -1
  }
}

TEST_F(TFlowTest, SetupRowByEnterAndSoundSwitch) {
  // From the main menu: Enter on row 0 shows the joystick box until any key.
  Press(KeyDown, 100);
  Press(KeyEnter, 200);
  Press(KeySpace, 500);
  ASSERT_TRUE(Run([&] { GameSetupMenu(56, 32, TitleScreen.get(), true); }));
  int box = FirstFrameWith(JoystickText.substr(0, JoystickText.find('\n')));
  ASSERT_GE(box, 0);
  EXPECT_TRUE(HasBorderTile(Frames[size_t(box)], 56, 48, 18));  // at x, y + 16
  TDrawn ball;
  ASSERT_TRUE(BallOf(Frames[size_t(box) - 1], ball));
  EXPECT_EQ(ball, (TDrawn{96, 64, ball.Frame}));  // x + 40, y + 32 on row 0

  // During play (not from the main menu) the box waits for Enter.
  NewGameState(World(), true);
  Frames.clear();
  PlaySettings().SoundOn = true;
  Press('S', 100);
  Press(KeySpace, 300);
  Press(KeyEnter, 600);
  const uint32_t enter = Now() + 600;
  ASSERT_TRUE(Run([&] { GameSetupMenu(16, 32, GameScreen.get(), false); }));
  EXPECT_FALSE(PlaySettings().SoundOn);
  EXPECT_GE(Now(), enter);
  EXPECT_GE(FirstFrameWith(Drawn(SoundOffText)), 0);

  // Hints follow into the running game.
  Frames.clear();
  ASSERT_TRUE(PlaySettings().HintsDefault);
  Press('H', 100);
  Press(KeyEnter, 300);
  ASSERT_TRUE(Run([&] { GameSetupMenu(16, 32, GameScreen.get(), false); }));
  EXPECT_FALSE(PlaySettings().HintsDefault);
  for (uint16_t on : Game().MessageActive) EXPECT_EQ(on, 0);
  EXPECT_GE(FirstFrameWith(Drawn(HintOffText)), 0);
}

TEST_F(TFlowTest, KeyboardSetupTakesNewKeysButNotEsc) {
  Press('6', 100);  // jump
  Press(KeyRightShift, 300);
  Press(KeyDown, 500);  // row 0
  Press(KeyDown, 600);  // row 1: down
  Press(KeyEnter, 700);
  Press('S', 900);
  Press('1', 1100);        // up
  Press(KeyEscape, 1300);  // cancels the new key only
  Press(KeyEscape, 1500);  // leaves
  ASSERT_TRUE(Run([&] { KeyboardSetupMenu(56, 48, TitleScreen.get(), false); }));
  EXPECT_EQ(std::vector<uint8_t>(PlaySettings().PlayKeys, PlaySettings().PlayKeys + 6),
            (std::vector<uint8_t>{72, 31, 75, 77, 56, 54}));
  EXPECT_NE(Frames.back().Text.find("RSHFT"), std::string::npos);
  EXPECT_GE(FirstFrameWith(Drawn(ModKeyText[5])), 0);
  EXPECT_GE(FirstFrameWith(Drawn(ModKeyText[1])), 0);
  // No fade when not called from the main menu.
  for (const TFrameSummary& f : Frames) EXPECT_TRUE(f.Fills.empty());
}

TEST_F(TFlowTest, SaveSlotListShowsEachSlot) {
  WriteSave(2, 3, 9, 2, 123456);
  WriteSave(7, 12, 1, 4, 4294967295);
  TTempDir::Write(Temp.Dir() + "SAVED5.QZ1", std::vector<uint8_t>(20, 1));  // no header
  std::string expected = "\n";
  for (int i = 1; i <= 9; ++i) {
    expected += "\n  " + std::to_string(i) + ") ";
    if (i == 2)
      expected += "03 9 2     123456";
    else if (i == 7)
      expected += "12 1 4 4294967295";
    else
      expected += "----- empty -----";
  }
  EXPECT_EQ(SaveSlotList(), expected);
}

TEST_F(TFlowTest, RestoreLoadsTheSlotOfTheDigitKey) {
  WriteLevels(2);
  WriteSave(3, 1, 3, 1, 0);
  WriteSave(5, 1, 7, 2, 0);
  Press(KeyDown, 100);
  Press(KeyDown, 200);
  Press(KeyDown, 300);  // on the row of slot 3
  Press('5', 500);
  Press(KeyEscape, 1800);  // in the game: quit
  Press('Y', 2100);
  Press(KeySpace, 2500);  // the high-score window
  ASSERT_TRUE(Run([&] { RestoreGameMenu(TitleScreen.get()); }));
  ASSERT_TRUE(World().GameStarted);
  EXPECT_EQ(Game().Health, 7);
  EXPECT_EQ(Game().FirePower, 2);
  EXPECT_EQ(Game().MapOn, 1);
  EXPECT_GT(Game().Timer, 5);  // the game ran
  int menu = FirstFrameWith(Drawn(RestoreText));
  ASSERT_GE(menu, 0);
  EXPECT_NE(Frames[size_t(menu)].Text.find("  5) 01 7 2          0"), std::string::npos);
  TDrawn ball;
  bool onSlot3 = false;
  for (const TFrameSummary& f : Frames)
    if (BallOf(f, ball) && ball.X == 64 && ball.Y == 96 + 16) onSlot3 = true;
  EXPECT_TRUE(onSlot3);
}

TEST_F(TFlowTest, RestoringAnEmptySlotShowsNotFound) {
  WriteLevels(2);
  Press('4', 100);
  Press(KeySpace, 400);
  ASSERT_TRUE(Run([&] { RestoreGameMenu(TitleScreen.get()); }));
  EXPECT_GE(FirstFrameWith(Drawn(NotFoundText)), 0);
  EXPECT_FALSE(World().GameStarted);
}

TEST_F(TFlowTest, InGameSaveOnlyInHallways) {
  StartLevel(0);
  Press('S', 100);
  Press(KeySpace, 300);
  ASSERT_TRUE(Run([&] { InGameMenu(); }));
  EXPECT_GE(FirstFrameWith(Drawn(CannotSaveText)), 0);
  EXPECT_FALSE(std::filesystem::exists(SavegameFileName(3)));

  StartLevel(1);
  Frames.clear();
  Press('S', 100);
  Press(KeyEscape, 300);  // not saved: back in the in-game menu
  Press(KeyEnter, 500);
  Press('S', 700);
  Press('3', 900);
  Press(KeyEnter, 1100);
  ASSERT_TRUE(Run([&] { InGameMenu(); }));
  EXPECT_GE(FirstFrameWith(Drawn(NotSavedText)), 0);
  EXPECT_GE(FirstFrameWith(Drawn(SavedText)), 0);
  auto save = ReadSavegame(SavegameFileName(3));
  ASSERT_TRUE(save);
  EXPECT_EQ(save->MapNumber, 1);
}

TEST_F(TFlowTest, InGameRestartAsksOverTheMenuAndRestoresTheParent) {
  StartLevel(0);
  SaveGame(World(), 0);
  Game().Score = 777;
  Press(KeyF10, 100);
  Press('N', 300);
  ASSERT_TRUE(Run([&] { InGameMenu(); }));
  EXPECT_EQ(RestartQuestion->Parent, GameScreen.get());
  int asked = FirstFrameWith(Drawn(RestartText));
  ASSERT_GE(asked, 0);
  EXPECT_NE(Frames[size_t(asked)].Text.find(Drawn(HelpMenuText)), std::string::npos);
  EXPECT_EQ(Game().Score, 777);

  // Yes: slot 0 is reloaded and the recording of the game ends there.
  DemoRecorder.Reset(Temp.Dir() + "REC.QZ1");
  DemoRecorder.NextTick(0, 0, 0, 1, 0, 0);
  Press(KeyF10, 100);
  Press('Y', 300);
  ASSERT_TRUE(Run([&] { InGameMenu(); }));
  EXPECT_EQ(Game().Score, 0);
  EXPECT_FALSE(DemoRecorder.Active);
  EXPECT_EQ(TTempDir::ReadText(Temp.Dir() + "REC.QZ1").substr(0, 8),
            std::string("\x06\0\0\0\0\x01\0\0", 8));
}

TEST_F(TFlowTest, RecordedGameMenuItemWithoutADemoSaysSo) {
  Press('V', 100);
  Press(KeySpace, 300);  // the box waits for Enter
  Press(KeyEnter, 600);
  Press('T', 1200);
  const uint32_t enter = Now() + 600;
  ASSERT_TRUE(Run([&] { MainMenu(TitleScreen.get()); }));
  int box = FirstFrameWith(Drawn(NoDemoText));
  ASSERT_GE(box, 0);
  EXPECT_TRUE(HasBorderTile(Frames[size_t(box)], 56, 48, 18));
  int last = box;
  while (last + 1 < int(Frames.size()) &&
         Frames[size_t(last) + 1].Text.find(Drawn(NoDemoText)) != std::string::npos)
    ++last;
  EXPECT_GE(Frames[size_t(last)].AtMs + 20, enter);
  EXPECT_TRUE(Frames.back().Text.find(Drawn(MainMenuText)) != std::string::npos);
  EXPECT_FALSE(World().GameStarted);  // no demo was played
}

TEST_F(TFlowTest, HighScoreWindowListsEightPlaces) {
  HighScores[0] = {"MAX", 4294967295};
  HighScores[1] = {"BOB", 500};
  HighScores[8] = {"NINTH", 1};
  Press(KeySpace, 100);
  ASSERT_TRUE(Run([&] { ShowHighScores(16, 16, nullptr, false); }));
  const std::string text = Frames.back().Text;
  std::string expected = Drawn(HighScoresText) + " 1.  42949672MAX 2.  500     BOB";
  for (int place = 3; place <= 8; ++place)
    expected += " " + std::to_string(place) + ".  " +
                (std::to_string(HighScores[place - 1].Score) + "        ").substr(0, 8) +
                HighScores[place - 1].Name;
  EXPECT_EQ(text, expected);
  EXPECT_TRUE(HasBorderTile(Frames.back(), 16, 16, 18));
  EXPECT_TRUE(HasBorderTile(Frames.back(), 16 + 192, 16 + 144, 21));  // 12 x 9
  for (const TFrameSummary& f : Frames) EXPECT_TRUE(f.Fills.empty());

  Frames.clear();
  Press(KeySpace, 100);
  ASSERT_TRUE(Run([&] { ShowHighScores(56, 16, nullptr, true); }));
  size_t fades = 0;
  for (const TFrameSummary& f : Frames) fades += f.Fills.size();
  EXPECT_EQ(fades, 17u);
}

TEST_F(TFlowTest, NameEntryTakesTenLettersAndBackspace) {
  Type("Ab cdefghijkl1", 100);  // 14 characters: 10 are taken, the digit never
  Type("\b", 300);
  Type("Z", 400);
  Type("\b\b", 500);
  Type("\r", 600);
  std::string name;
  ASSERT_TRUE(Run([&] { name = EnterHighScoreName(); }));
  EXPECT_EQ(name, "Ab cdefg");

  // Before typing: nine dashes after the cursor; with ten letters none.
  const TFrameSummary& first = Frames.front();
  EXPECT_EQ(first.Text, Drawn(HighScoreText) + "---------");
  EXPECT_TRUE(HasBorderTile(first, 56, 32, 18));
  EXPECT_TRUE(HasBorderTile(first, 56 + 192, 32 + 80, 21));
  TDrawn cursor;
  ASSERT_TRUE(BallOf(first, cursor));
  EXPECT_EQ(cursor, (TDrawn{120, 88, 613}));
  int full = FirstFrameWith("Ab cdefghi");
  ASSERT_GE(full, 0);
  EXPECT_EQ(Frames[size_t(full)].Text, Drawn(HighScoreText) + "Ab cdefghi");
  ASSERT_TRUE(BallOf(Frames[size_t(full)], cursor));
  EXPECT_EQ(cursor.X, 200);
  ASSERT_TRUE(BallOf(Frames[1], cursor));
  EXPECT_EQ(cursor.Frame, 614);  // the cursor turns one phase a frame
}

TEST_F(TFlowTest, EmptyNameAndBackspaceOnNothing) {
  Type("\b\b", 100);
  Type("\r", 200);
  std::string name = "x";
  ASSERT_TRUE(Run([&] { name = EnterHighScoreName(); }));
  EXPECT_EQ(name, "");
}

TEST_F(TFlowTest, EndOfGameEntersAQualifyingScore) {
  NewGameState(World(), true);
  Game().Score = 35000;
  DemoRecorder.Reset(Temp.Dir() + "REC.QZ1");
  Type("ACE", 100);
  Type("\r", 200);
  Press(KeySpace, 500);
  ASSERT_TRUE(Run([&] { EndOfGame(); }));
  EXPECT_EQ(HighScores[1].Name, "ACE");
  EXPECT_EQ(HighScores[1].Score, 35000);
  EXPECT_FALSE(DemoRecorder.Active);
  EXPECT_TRUE(std::filesystem::exists(Temp.Dir() + "REC.QZ1"));
  int table = FirstFrameWith(Drawn(HighScoresText));
  ASSERT_GE(table, 0);
  EXPECT_NE(Frames[size_t(table)].Text.find(" 2.  35000   ACE"), std::string::npos);
  // Saved as soon as the name is entered: a window closed later loses nothing.
  EXPECT_NE(TTempDir::ReadText(Temp.Dir() + "HIGHS.QZ1").find("ACE"), std::string::npos);

  // A score that does not qualify goes straight to the table.
  Frames.clear();
  Game().Score = 0;
  Press(KeySpace, 100);
  ASSERT_TRUE(Run([&] { EndOfGame(); }));
  EXPECT_EQ(FirstFrameWith(Drawn(HighScoreText)), -1);
  EXPECT_EQ(FirstFrameWith(Drawn(HighScoresText)), 0);
  EXPECT_EQ(HighScores[1].Name, "ACE");
}

TEST_F(TFlowTest, FinaleOfFiveLinesIsABoxOfThreeRowsAtY64) {
  NewGameState(World(), true);
  FinaleText = "ONE\nTWO\nTHREE\nFOUR\nFIVE";
  FinaleLineCount = 5;
  PressEvery(KeySpace, 400, 3000, 150);
  ASSERT_TRUE(Run([&] { EpisodeEnding(true); }));
  int finale = FirstFrameWith("ONETWOTHREEFOURFIVE");
  ASSERT_GE(finale, 0);
  EXPECT_TRUE(HasBorderTile(Frames[size_t(finale)], 56, 64, 18));
  EXPECT_TRUE(HasBorderTile(Frames[size_t(finale)], 56 + 192, 64 + 48, 21));
  // The short form shows the hero's "extro" before it.
  int extro = FirstFrameWith(Drawn(ExtroText));
  ASSERT_GE(extro, 0);
  EXPECT_LT(extro, finale);
  EXPECT_TRUE(HasBorderTile(Frames[size_t(extro)], 80, 144, 18));
}

TEST_F(TFlowTest, LongEndingAnimatesTheHeroThenTellsTheStory) {
  NewGameState(World(), true);
  PressEvery(KeySpace, 14000, 24000, 150);
  ASSERT_TRUE(Run([&] { EpisodeEnding(false); }));
  // The 205 frames of the animation follow the fade-out of the game and the fade-in of
  // the end picture.
  ASSERT_GT(Frames.size(), 34u + 205u);
  auto hero = [&](int i, TDrawn& drawn) {
    int found = 0;
    for (const TDrawn& d : Frames[size_t(34 + i)].Sprites)
      if (d.Frame >= 669 && d.Frame <= 675) {
        drawn = d;
        ++found;
      }
    return found;
  };
  const std::vector<std::pair<int, TDrawn>> expected = {
      {0, {208, 125, 669}},  {1, {208, 124, 670}},  {51, {208, 74, 670}},
      {101, {208, 74, 670}}, {102, {208, 74, 671}}, {104, {208, 74, 672}},
      {106, {208, 73, 673}}, {107, {208, 73, 673}}, {110, {208, 71, 675}}};
  for (const auto& [i, want] : expected) {
    TDrawn d;
    ASSERT_EQ(hero(i, d), 1) << "frame " << i;
    EXPECT_EQ(d, want) << "frame " << i;
  }
  TDrawn d;
  EXPECT_EQ(hero(111, d), 0);
  EXPECT_EQ(hero(204, d), 0);
  if (EndPicture) {
    ASSERT_FALSE(Frames[34].Pictures.empty());
    EXPECT_EQ(Frames[34].Pictures.front(), EndPicture);
  }
  // Then the four messages in turn and the finale.
  int last = 34 + 205;
  for (const std::string* text :
       {&AnyKeyText, &Extro1Text, &Extro2Text, &Extro3Text, &Extro4Text, &FinaleText}) {
    int at = FirstFrameWith(Drawn(*text), size_t(last));
    ASSERT_GE(at, 0) << *text;
    last = at;
  }
}

TEST_F(TFlowTest, QuitFromTheMainMenuSavesScoresAndSettings) {
  Press(KeyEscape, 100);
  Press('N', 300);
  Press('Q', 1000);
  Press('Y', 1200);
  Press(KeySpace, 2200);  // the exit screen
  const int status = RunToExit([&] { MainMenu(TitleScreen.get()); });
  EXPECT_EQ(status, 0);
  int asked = FirstFrameWith(Drawn(QuitText));
  ASSERT_GE(asked, 0);
  EXPECT_NE(Frames[size_t(asked)].Text.find(Drawn(MainMenuText)), std::string::npos);
  TDrawn ball;
  ASSERT_TRUE(BallOf(Frames[size_t(asked)], ball));
  EXPECT_EQ(ball.X, 56 + 128);
  EXPECT_EQ(ball.Y, 80 + 16);
  // The "no" answer went back to the menu before the second question.
  int back = -1;
  for (size_t i = size_t(asked); i < Frames.size(); ++i)
    if (Frames[i].Text.find(Drawn(QuitText)) == std::string::npos) {
      back = int(i);
      break;
    }
  ASSERT_GE(back, 0);
  EXPECT_GT(FirstFrameWith(Drawn(QuitText), size_t(back)), back);
  // The unchanged default table, the configuration and the keys were written.
  std::string table;
  for (const THighscoreEntry& e : HighScores) table += std::to_string(e.Score) + e.Name + "\r\n";
  EXPECT_EQ(TTempDir::ReadText(Temp.Dir() + "HIGHS.QZ1"), table);
  EXPECT_EQ(TTempDir::ReadText("Zyntra.ini"), "[GAME]\r\nspeed = 16\r\n\r\n");
  EXPECT_EQ(TTempDir::ReadText(Temp.Dir() + "KEYS.QZ1").size(), 6u);
}

TEST_F(TFlowTest, TitleOpensTheMenuAfterANoToQuitAndLeavesOnYes) {
  Press('Q', 500);  // after the fade-in, which forgets earlier keys
  Press('N', 700);
  Press('T', 1100);  // back to the title
  Press(KeyEscape, 1800);
  Press('Y', 2000);
  Press(KeySpace, 3000);
  const int status = RunToExit([&] { TitleLoop(); });
  EXPECT_EQ(status, 0);
  int menu = FirstFrameWith(Drawn(MainMenuText));
  ASSERT_GE(menu, 0);
  int second = FirstFrameWith(Drawn(QuitText), size_t(menu) + 40);
  ASSERT_GT(second, menu);
  // Between the menu and the second question the title was shown without the menu.
  bool titleAgain = false;
  for (int i = menu; i < second; ++i)
    if (Frames[size_t(i)].Text.empty() && Frames[size_t(i)].Fills.empty()) titleAgain = true;
  EXPECT_TRUE(titleAgain);
}

TEST_F(TFlowTest, TitleCountsTheFrameThatOpenedTheMenu) {
  Press(KeySpace, 500);
  Press('T', 1100);
  Press(KeyEscape, 9500);  // on the credits
  Press('Y', 9800);
  Press(KeySpace, 10500);
  ASSERT_EQ(RunToExit([&] { TitleLoop(); }), 0);
  int menu = FirstFrameWith(Drawn(MainMenuText));
  ASSERT_GE(menu, 0);
  size_t i = size_t(menu);
  while (i < Frames.size() && !Frames[i].Text.empty()) ++i;   // the menu and its fade-out
  while (i < Frames.size() && !Frames[i].Fills.empty()) ++i;  // the title's fade-in
  int plain = 0;
  for (; i < Frames.size() && Frames[i].Fills.empty() && Frames[i].Text.empty(); ++i) ++plain;
  // The counter restarts at 0 and the frame that opened the menu counts: 359 more frames.
  EXPECT_EQ(plain, 359);
  ASSERT_LT(i + 17, Frames.size());
  if (CreditsPicture) {
    ASSERT_FALSE(Frames[i + 17].Pictures.empty());
    EXPECT_EQ(Frames[i + 17].Pictures.front(), CreditsPicture);
  }
}

TEST_F(TFlowTest, NewGameIsRecordedIntoTheUserDemo) {
  WriteLevels(2);
  PressEvery(KeySpace, 300, 1600, 150);  // the two intro messages
  Headless->HoldKey(KeyRight, Now() + 2200, Now() + 2600);
  Press(KeyEscape, 3200);
  Press('Y', 3400);
  Press(KeySpace, 3800);
  ASSERT_TRUE(Run([&] { NewGame(); }));
  EXPECT_GE(FirstFrameWith(Drawn(Intro1Text)), 0);
  EXPECT_GE(FirstFrameWith(Drawn(Intro2Text)), 0);
  const std::string demo = TTempDir::ReadText(UserDemoFileName());
  ASSERT_EQ(demo.size(), 17002u);
  const int n = uint8_t(demo[0]) + 256 * uint8_t(demo[1]);
  EXPECT_EQ(n, 6 * Game().Timer);
  int right = 0;
  for (int i = 0; i < n; i += 6) right += demo[size_t(2 + i + 3)];
  EXPECT_GT(right, 3);
  EXPECT_FALSE(DemoRecorder.Active);
}

TEST_F(TFlowTest, NewGameWhoseFirstLevelFailsDoesNotRecordALaterGame) {
  WriteLevels(2);
  const std::vector<std::string> levels = LevelList;
  LevelList = {"MISSING.QZ1"};
  PressEvery(KeySpace, 300, 1600, 150);
  ASSERT_TRUE(Run([&] { NewGame(); }));
  EXPECT_FALSE(DemoRecorder.Active);

  // A restored game afterwards is not recorded into the user demo.
  LevelList = levels;
  WriteSave(1, 1, 9, 1, 0);
  std::filesystem::remove(UserDemoFileName());
  Press('1', 100);
  Press(KeyEscape, 1500);
  Press('Y', 1700);
  Press(KeySpace, 2000);
  ASSERT_TRUE(Run([&] { RestoreGameMenu(TitleScreen.get()); }));
  ASSERT_GT(Game().Timer, 3);
  const std::string demo = TTempDir::ReadText(UserDemoFileName());
  EXPECT_TRUE(demo.empty() || (demo[0] == 0 && demo[1] == 0));
}

}  // namespace
