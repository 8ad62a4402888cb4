#include "shell/flow.h"

#include <cstdio>

#include "data/graphics.h"
#include "data/music.h"
#include "data/sound.h"
#include "menus/high_scores.h"
#include "menus/menu.h"
#include "platform/platform.h"
#include "shell/demo.h"
#include "shell/frame.h"
#include "shell/game_loop.h"
#include "shell/keys.h"
#include "shell/log.h"
#include "shell/places.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/strings.h"
#include "world/game_state.h"
#include "world/savegame.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"

#include "menus/screens.h"
#include "world/world_state.h"

namespace {

TInputState& Input() { return Platform().Input(); }

}  // namespace

[[noreturn]] void TitleLoop() {
  TTextScreen order;
  order.Init(Order1Text);
  order.BallY = -8;
  TMenu* current = TitleScreen.get();
  current->FadeIn(0, 16);
  ResetKeys();
  int counter = 0;
  for (;;) {
    current->Draw(true);
    PresentFrame();
    bool escape = Input().KeyHit(KeyEscape) + Input().KeyHit('Q') > 0;
    if (escape && QuitAsked(current, 56, 80)) QuitProgram();
    if (escape || AnyKeyHit()) {
      MainMenu(current);
      current = TitleScreen.get();
      current->FadeIn(0, 16);
      counter = 0;
    }
    ++counter;
    if (counter == 360) {
      current->FadeOut(0, 16);
      current = CreditsScreen.get();
      current->FadeIn(0, 16);
    } else if (counter == 720) {
      current->FadeOut(0, 16);
      current = &order;
      current->FadeIn(0, 16);
    } else if (counter == 1080) {
      current->FadeOut(-1, 16);
      PlayDemo();
      counter = 0;
      current = TitleScreen.get();
      current->FadeIn(0, 16);
    }
  }
}

void ShowHeroMessage(const std::string& text, int fadeOut, int fadeIn) {
  auto box = CreateMessageWindow(text, 80, 144, 12, 2, HeroScreen.get());
  ResetKeys();
  box->FadeIn(fadeIn, 16);
  box->ShowLoop(false);
  box->FadeOut(fadeOut, 16);
}

void ShowVillainMessage(const std::string& text, int fadeOut, int fadeIn) {
  auto box = CreateMessageWindow(text, 0, 144, 12, 2, VillainScreen.get());
  ResetKeys();
  box->FadeIn(fadeIn, 16);
  box->ShowLoop(false);
  box->FadeOut(fadeOut, 16);
}

void NewGame() {
  NewGameState(World(), true);
  ShowVillainMessage(Intro1Text, 0, 0);
  ShowHeroMessage(Intro2Text, -1, 0);
  PlayBraxSound(SoundNewGame);
  GoingInBox->FadeIn(-1, 16);
  DemoRecorder.Reset(UserDemoFileName());
  GameLoop(true);
  // A first level that fails to load ends the recording too, or a game restored later
  // would be recorded into the user demo.
  DemoRecorder.Stop();
}

void WarpGame(int map) {
  LogLine("Warp to map " + std::to_string(map));
  GameLoop(true, map);
  ResetKeys();
}

void EndOfGame() {
  ResetKeys();
  DemoRecorder.Stop();
  int64_t score = Game().Score;
  if (QualifiesForHighScore(score)) {
    PlayBraxSound(SoundHighScore);
    InsertHighScore(EnterHighScoreName(), score);
    // Written at once: a window closed later must not lose it.
    SaveHighScores(PlayerFile(TPlace::GameDir, "HIGHS" + Options().GameExt));
  } else {
    PlayBraxSound(SoundGameOver);
  }
  ShowHighScores(56, 16, nullptr, true);
  EnsureMusic(Options().MenuMusicName);
}

std::string EnterHighScoreName() {
  ResetKeys();
  TPlatform& p = Platform();
  std::string name;
  for (int phase = 0;; phase = (phase + 1) % 4) {
    p.Clear(0);
    DrawFrame(56, 32, 12, 5);
    DrawText(HighScoreText, 64, 40);
    DrawText(name, 120, 88);
    DrawSprite(float(120 + 8 * name.size()), 88, SpriteBallCursor + phase);
    for (int pos = int(name.size()) + 1; pos <= 9; ++pos) DrawText("-", float(120 + 8 * pos), 88);
    PresentFrame();
    while (int ch = Input().NextChar()) {
      bool letter = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == ' ';
      if (letter && name.size() < 10)
        name += char(ch);
      else if (ch == KeyBackspace && !name.empty())
        name.pop_back();
      else if (ch == KeyEnter)
        return name;
    }
  }
}

void EpisodeEnding(bool shortForm) {
  TPlatform& p = Platform();
  GameScreen->FadeOut(0, 16);
  if (shortForm) {
    ShowHeroMessage(ExtroText, 0, 0);
  } else {
    EndScreen->FadeIn(0, 16);
    for (int i = 0; i < 205; ++i) {
      p.Clear(0);
      EndScreen->Draw(true);
      if (i < 102)
        DrawSprite(208, float(std::max(125 - i, 74)), SpriteShipRising + i % 2);
      else if (i <= 110)
        DrawSprite(208, float(74 - std::max(0, (i - 104) / 2)), SpriteShipLeaving + (i - 102) / 2);
      PaceFrame(16);
    }
    auto any = CreateMessageWindow(AnyKeyText, 56, 0, 12, 1, EndScreen.get());
    any->BallY = -8;
    any->ShowLoop(false);
    any->FadeOut(0, 16);
    ShowVillainMessage(Extro1Text, 0, 0);
    ShowHeroMessage(Extro2Text, 0, 0);
    ShowVillainMessage(Extro3Text, 0, 0);
    ShowHeroMessage(Extro4Text, 0, 0);
  }
  int rows = (FinaleLineCount + 1) / 2;
  auto finale = CreateMessageWindow(FinaleText, 56, (6 - (rows + 1) / 2) * 16, 12, rows, nullptr);
  PlayBraxSound(SoundFinale);
  finale->FadeIn(0, 16);
  finale->ShowLoop(false);
  finale->FadeOut(0, 16);
}
