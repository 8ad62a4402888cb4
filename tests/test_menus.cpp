// The screens: drawing over parents, the ball cursor, fades, key loops, questions, the
// keyboard menu and image screens.
#include <algorithm>
#include <string>
#include <vector>

#include "shell/keys.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "shell_fixture.h"

namespace {

using TMenuTest = TShellTest;

// Index of the first command in the list that draws the border tile at (x, y), or -1.
int BorderTileAt(const std::vector<TDrawCommand>& commands, float x, float y, int tile) {
  for (size_t i = 0; i < commands.size(); ++i) {
    const TDrawCommand& c = commands[i];
    if (c.Kind == TCommandKind::DrawImage && c.Image == BorderTiles && c.X == x && c.Y == y &&
        c.Frame == tile)
      return int(i);
  }
  return -1;
}

bool AllPixels(const TPixmap& picture, uint32_t argb) {
  return !picture.Pixels.empty() && std::all_of(picture.Pixels.begin(), picture.Pixels.end(),
                                                [&](uint32_t p) { return p == argb; });
}

TEST_F(TMenuTest, BoxOverBoxDrawsBottomUpWithOnlyTheTopBall) {
  auto lower = CreateMessageWindow("LOWER", 16, 16, 12, 6, TitleScreen.get());
  auto upper = CreateMessageWindow("UPPER", 56, 48, 12, 2, lower.get());
  EXPECT_EQ(upper->BallX, 56 + 192);
  EXPECT_EQ(upper->BallY, 48 + 32);
  for (int i = 0; i < 6; ++i) {
    upper->Draw(true);
    PresentFrame();
    const std::vector<TDrawCommand>& commands = Headless->LastFrame();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front().Kind, TCommandKind::Clear);  // the bottom screen has no parent
    int lowerCorner = BorderTileAt(commands, 16, 16, 18);
    int upperCorner = BorderTileAt(commands, 56, 48, 18);
    ASSERT_GE(lowerCorner, 0);
    ASSERT_GE(upperCorner, 0);
    EXPECT_LT(lowerCorner, upperCorner);
    if (TitlePicture) {
      auto title = std::find_if(commands.begin(), commands.end(),
                                [](const TDrawCommand& c) { return c.Image == TitlePicture; });
      ASSERT_NE(title, commands.end());
      EXPECT_LT(int(title - commands.begin()), lowerCorner);
    }
    EXPECT_EQ(Frames.back().Text, "LOWERUPPER");
    TDrawn ball;
    ASSERT_TRUE(BallOf(Frames.back(), ball)) << "exactly one ball";
    EXPECT_EQ(ball, (TDrawn{56 + 192, 48 + 32, 613 + i % 4}));
  }
  EXPECT_EQ(lower->BallFrame, 0);  // the lower box's ball never moved
  EXPECT_EQ(upper->BallFrame, 6 % 4);

  // An inactive draw shows no ball and keeps the phase.
  upper->Draw(false);
  PresentFrame();
  TDrawn ball;
  EXPECT_FALSE(BallOf(Frames.back(), ball));
  EXPECT_EQ(upper->BallFrame, 2);
}

TEST_F(TMenuTest, FadeOutGoesFromTheScreenToBlackInSeventeenFrames) {
  auto box = CreateMessageWindow("FADE", 56, 48, 12, 2, TitleScreen.get());
  box->Draw(false);
  Headless->Flip(false);
  const TPixmap screen = Headless->ShownFrame();
  ASSERT_FALSE(AllPixels(screen, 0xFF000000u));

  Frames.clear();
  KeepPictures = true;
  box->FadeOut(0, 16);
  std::vector<TPixmap> pictures = TakePictures();
  ASSERT_EQ(Frames.size(), 17u);
  ASSERT_EQ(pictures.size(), 17u);
  for (size_t i = 0; i < Frames.size(); ++i) {
    ASSERT_EQ(Frames[i].Fills.size(), 1u);
    EXPECT_EQ(Frames[i].Fills[0].Colour, 0u);
    EXPECT_FLOAT_EQ(Frames[i].Fills[0].Alpha, float(i) / 16.0f);
    TDrawn ball;
    EXPECT_FALSE(BallOf(Frames[i], ball));  // fades draw inactive
  }
  EXPECT_EQ(pictures.front().Pixels, screen.Pixels);
  EXPECT_TRUE(AllPixels(pictures.back(), 0xFF000000u));
  EXPECT_NE(pictures[8].Pixels, screen.Pixels);
  EXPECT_FALSE(AllPixels(pictures[8], 0xFF000000u));
  // The drawing state is back to plain white and opaque.
  EXPECT_EQ(Platform().GetColour(), 0xFFFFFFu);
  EXPECT_EQ(Platform().GetAlpha(), 1.0f);
}

TEST_F(TMenuTest, FadeInFromWhiteEndsOnTheScreen) {
  auto box = CreateMessageWindow("FADE", 56, 48, 12, 2, nullptr);
  box->Draw(false);
  Headless->Flip(false);
  const TPixmap screen = Headless->ShownFrame();

  Frames.clear();
  KeepPictures = true;
  box->FadeIn(-1, 16);
  std::vector<TPixmap> pictures = TakePictures();
  ASSERT_EQ(pictures.size(), 17u);
  EXPECT_TRUE(AllPixels(pictures.front(), 0xFFFFFFFFu));
  EXPECT_EQ(pictures.back().Pixels, screen.Pixels);
  EXPECT_EQ(Frames.front().Fills[0].Colour, 0xFFFFFFu);
  EXPECT_FLOAT_EQ(Frames.front().Fills[0].Alpha, 1.0f);
  EXPECT_FLOAT_EQ(Frames.back().Fills[0].Alpha, 0.0f);
  EXPECT_EQ(Platform().GetColour(), 0xFFFFFFu);
}

TEST_F(TMenuTest, QuestionIsYesForYAndZOnly) {
  const std::vector<std::pair<int, bool>> answers = {
      {'Y', true}, {'Z', true}, {'N', false}, {KeyEscape, false}, {KeySpace, false}, {'1', false}};
  for (const auto& [key, yes] : answers) {
    Frames.clear();
    Press(key, 100);
    const uint32_t due = Now() + 100;
    bool answer = !yes;
    ASSERT_TRUE(Run([&] { answer = QuitQuestion->Invoke(); }));
    EXPECT_EQ(answer, yes) << "key " << key;
    EXPECT_GE(Now(), due);
    EXPECT_LT(Now(), due + 40);
    ASSERT_FALSE(Frames.empty());
    EXPECT_NE(Frames.back().Text.find(Drawn(QuitText)), std::string::npos);
  }
}

TEST_F(TMenuTest, QuestionForgetsEarlierKeysAndIgnoresF12) {
  RegisterFrameRoutine(FlipHookKeys);
  // A Y hit before the question is asked is not an answer.
  Press('Y', 0);
  Headless->PollEvents();
  Press(KeyF12, 50);
  Press('N', 150);
  Press('S', 150);
  const uint32_t due = Now() + 150;
  const bool replacement = PlaySettings().ReplacementMode;
  bool answer = true;
  ASSERT_TRUE(Run([&] { answer = QuitQuestion->Invoke(); }));
  EXPECT_FALSE(answer);
  EXPECT_GE(Now(), due);
  EXPECT_LT(Now(), due + 40);
  EXPECT_NE(PlaySettings().ReplacementMode,
            replacement);  // F12 switched the pictures and did not answer
  EXPECT_EQ(Platform().Input().PeekKeyHits('S'), 0);  // forgotten on return
}

TEST_F(TMenuTest, ShowLoopWaitsForEnterOrAnyKey) {
  RegisterFrameRoutine(FlipHookKeys);
  auto box = CreateMessageWindow("WAIT", 56, 48, 12, 2, nullptr);
  Press(KeySpace, 50);
  Press(KeyEnter, 200);
  Press('X', 200);
  uint32_t due = Now() + 200;
  ASSERT_TRUE(Run([&] { box->ShowLoop(true); }));
  EXPECT_GE(Now(), due);
  EXPECT_LT(Now(), due + 40);
  EXPECT_EQ(Platform().Input().PeekKeyHits('X'), 0);

  Press(KeyF12, 50);
  Press('A', 200);
  due = Now() + 200;
  ASSERT_TRUE(Run([&] { box->ShowLoop(false); }));
  EXPECT_GE(Now(), due);
  EXPECT_LT(Now(), due + 40);
  TDrawn ball;
  EXPECT_TRUE(BallOf(Frames.back(), ball));  // shown as the active screen
}

TEST_F(TMenuTest, ImageScreenWithoutPicturesDrawsNothingOverItsParent) {
  auto box = CreateMessageWindow("UNDER", 56, 48, 12, 2, nullptr);
  box->Draw(false);
  Headless->Flip(false);
  const std::vector<TDrawCommand> alone = Headless->LastFrame();

  TImageScreen screen;
  screen.Parent = box.get();
  screen.CalcScale();
  EXPECT_EQ(screen.HQ_ScaleX, 1.0);
  screen.Draw(true);
  Headless->Flip(false);
  const std::vector<TDrawCommand>& drawn = Headless->LastFrame();
  ASSERT_EQ(drawn.size(), alone.size());
  for (size_t i = 0; i < drawn.size(); ++i) {
    EXPECT_EQ(drawn[i].Kind, alone[i].Kind);
    EXPECT_EQ(drawn[i].Image, alone[i].Image);
    EXPECT_EQ(drawn[i].Frame, alone[i].Frame);
  }
}

TEST_F(TMenuTest, ImageScreenDrawsTheReplacementScaledToTheClassicPicture) {
  TImageScreen screen;
  screen.image = CreateImage(TPixmap(320, 200, 0xFF112233u), 320, 200, 0, 1, 0);
  screen.HQ_image = CreateImage(TPixmap(1280, 800, 0xFF445566u), 1280, 800, 0, 1, 0);
  screen.CalcScale();
  EXPECT_DOUBLE_EQ(screen.HQ_ScaleX, 0.25);
  EXPECT_DOUBLE_EQ(screen.HQ_ScaleY, 0.25);

  PlaySettings().ReplacementMode = true;
  screen.Draw(true);
  Headless->Flip(false);
  ASSERT_EQ(Headless->LastFrame().size(), 2u);  // clear, picture
  const TDrawCommand& hq = Headless->LastFrame()[1];
  EXPECT_EQ(hq.Image, screen.HQ_image);
  EXPECT_FLOAT_EQ(hq.ScaleX, 0.25f);
  EXPECT_FLOAT_EQ(hq.ScaleY, 0.25f);
  EXPECT_EQ(Headless->ShownFrame().Get(319, 199), 0xFF445566u);  // covers the whole screen
  EXPECT_EQ(Platform().GetScaleX(), 1.0f);

  PlaySettings().ReplacementMode = false;
  screen.Draw(true);
  Headless->Flip(false);
  ASSERT_EQ(Headless->LastFrame().size(), 2u);
  EXPECT_EQ(Headless->LastFrame()[1].Image, screen.image);

  // Without a classic picture the replacement covers the 320 x 200 screen.
  TImageScreen bare;
  bare.HQ_image = screen.HQ_image;
  bare.CalcScale();
  EXPECT_DOUBLE_EQ(bare.HQ_ScaleX, 0.25);
  EXPECT_DOUBLE_EQ(bare.HQ_ScaleY, 0.25);
}

TEST_F(TMenuTest, KeyboardMenuShowsKeyNamesAndTakesTheFirstNewKey) {
  TKeyboardMenu menu;
  menu.Init("KEYS", 56, 48, 12, 7, nullptr);
  menu.SetStrings();
  EXPECT_EQ(menu.BallX, 64);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(menu.KeyNames[i], KeyName(PlaySettings().PlayKeys[i]));
  EXPECT_EQ(menu.KeyNames[5], "CTRL");

  // A key hit before the wait starts does not count.
  Press('A', 0);
  Headless->PollEvents();
  Press(KeyRightShift, 100);
  Press('B', 100);
  int key = 0;
  ASSERT_TRUE(Run([&] { key = menu.GetNewKey("PRESS A KEY"); }));
  EXPECT_EQ(key, 48);         // "B" is the lower scan code
  EXPECT_EQ(ScanHit(54), 1);  // right Shift stays for whoever asks
  EXPECT_NE(Frames.back().Text.find("PRESS A KEY"), std::string::npos);
  TDrawn ball;
  ASSERT_TRUE(BallOf(Frames.back(), ball));
  EXPECT_EQ(ball.X, 56 + 136);
  EXPECT_EQ(ball.Y, 48 + 104);

  // The names stand at x + 136, one line each; the prompt at x + 8, y + 96.
  menu.Draw(false);
  Headless->Flip(false);
  std::vector<TDrawn> chars;
  for (const TDrawCommand& c : Headless->LastFrame())
    if (c.Image == FontImage) chars.push_back({c.X, c.Y, c.Frame});
  auto at = [&](float x, float y) {
    for (const TDrawn& d : chars)
      if (d.X == x && d.Y == y) return d.Frame;
    return -1;
  };
  EXPECT_EQ(at(192, 72), 24);    // up arrow
  EXPECT_EQ(at(192, 80), 25);    // down arrow
  EXPECT_EQ(at(192, 104), 'A');  // ALT
  EXPECT_EQ(at(192, 112), 'C');  // CTRL
  EXPECT_EQ(at(64, 144), 'P');
  menu.SetStrings();
  EXPECT_EQ(menu.WaitKeyText, "");
}

TEST_F(TMenuTest, F12WhileWaitingForANewKeySwitchesPicturesAndIsNoKey) {
  RegisterFrameRoutine(FlipHookKeys);
  TKeyboardMenu menu;
  menu.Init("KEYS", 56, 48, 12, 7, nullptr);
  menu.SetStrings();
  const bool replacement = PlaySettings().ReplacementMode;
  Press(KeyF12, 100);
  Press(KeyRightShift, 300);
  const uint32_t due = Now() + 300;
  int key = 0;
  ASSERT_TRUE(Run([&] { key = menu.GetNewKey("PRESS A KEY"); }));
  EXPECT_EQ(key, 54);
  EXPECT_GE(Now(), due);
  EXPECT_NE(PlaySettings().ReplacementMode, replacement);
}

}  // namespace
