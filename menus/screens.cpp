// The menus: main menu, game and keyboard set-up, restore and save, the in-game menu,
// the high-score table and the instruction pages.
#include "menus/screens.h"

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

#include "shell/flow.h"
#include "world/world_state.h"

namespace {

TInputState& Input() { return Platform().Input(); }

// A box shown until a key, then faded out.
void MessageBox(const std::string& text, int x, int y, int w, int h, TMenu* parent,
                bool needEnter) {
  auto box = CreateMessageWindow(text, x, y, w, h, parent);
  box->ShowLoop(needEnter);
  box->FadeOut(0, 16);
}

// One frame of a menu: the ball follows the cursor, then the cursor keys.
bool MenuFrame(TMenuWithBall& menu, int& cursor, int last, int ballY0, int step = 8) {
  menu.BallY = cursor * step + ballY0;
  menu.Draw(cursor >= 0);
  PresentFrame();
  return MenuCursor(cursor, last);
}

// The row of a hot key hit this frame, or -1. Enter on a row counts for that row.
int Choice(const std::vector<int>& keys, bool enter, int cursor) {
  for (size_t row = 0; row < keys.size(); ++row)
    if (keys[row] && Input().KeyHit(keys[row])) return int(row);
  if (enter && cursor >= 0 && cursor < int(keys.size())) return cursor;
  return -1;
}

}  // namespace

bool QuitAsked(TMenu* parent, int x, int y) {
  QuitQuestion->Init(QuitText, x, y, 12, 1, parent);
  QuitQuestion->SetRelativeBallPosition(128, 16);
  return QuitQuestion->Invoke();
}

bool MenuCursor(int& cursor, int last) {
  if (KeyRepeat(KeyUp, 20, 4) && cursor > 0) --cursor;
  if (KeyRepeat(KeyDown, 20, 4) && cursor < last) ++cursor;
  return Input().KeyHit(KeyEnter) > 0;
}

std::string SaveSlotList() {
  std::string text = "\n";
  for (int i = 1; i <= 9; ++i) {
    text += "\n  " + std::to_string(i) + ") ";
    auto save = ReadSavegame(SavegameFileToRead(i));
    if (!save) {
      text += "----- empty -----";
      continue;
    }
    char score[16];
    std::snprintf(score, sizeof score, "%10u", unsigned(uint64_t(save->Score) & 0xFFFFFFFFu));
    std::string map = std::to_string(save->MapNumber);
    if (map.size() == 1) map = "0" + map;
    text += map + " " + std::to_string(save->Health) + " " + std::to_string(save->FirePower) + " " +
            score;
  }
  return text;
}

void MainMenu(TMenu* parent) {
  auto menu = CreateMessageWindow(MainMenuText, 56, 32, 12, 8, parent);
  menu->BallX = 64;
  ResetKeys();
  int cursor = -1;
  const std::vector<int> keys = {'S', 'R', 'I', 'O', 'G', 'H', 'P', 'V', 'T', 'C', 'Q'};
  for (;;) {
    bool enter = MenuFrame(*menu, cursor, 10, 72);
    int row = Choice(keys, enter, cursor);
    if (row < 0 && Input().KeyHit(KeyEscape)) row = 10;
    if (row < 0) continue;
    switch (row) {
      case 0:
        menu->FadeOut(0, 16);
        NewGame();
        ResetKeys();
        return;
      case 1:
        RestoreGameMenu(menu.get());
        ResetKeys();
        return;
      case 2:
        menu->FadeOut(0, 16);
        ShowInstructions();
        menu->FadeIn(0, 16);
        break;
      case 3:
        menu->FadeOut(0, 16);
        ShowOrderInfo();
        menu->FadeIn(0, 16);
        break;
      case 4:
        GameSetupMenu(menu->x, menu->y, menu.get(), true);
        menu->FadeIn(0, 16);
        break;
      case 5:
        ShowHighScores(56, 16, menu.get(), true);
        menu->FadeIn(0, 16);
        break;
      case 6:
        menu->FadeOut(-1, 16);
        PlayDemo();
        ResetKeys();
        return;
      case 7:
        if (FileSize(UserDemoFileToRead()) >= 0) {
          menu->FadeOut(-1, 16);
          PlayUserDemo();
          ResetKeys();
          return;
        }
        MessageBox(NoDemoText, 56, 48, 12, 2, menu.get(), true);
        menu->FadeIn(0, 16);
        break;
      case 8:
        menu->FadeOut(0, 16);
        ResetKeys();
        return;
      case 9:
        menu->FadeOut(0, 16);
        CreditsScreen->FadeIn(0, 16);
        CreditsScreen->ShowLoop(false);
        CreditsScreen->FadeOut(0, 16);
        menu->FadeIn(0, 16);
        break;
      case 10:
        if (QuitAsked(menu.get(), 56, 80)) QuitProgram();
        QuitQuestion->FadeOut(0, 16);
        menu->FadeIn(0, 16);
        break;
    }
    ResetKeys();
  }
}

void ShowInstructions() {
  for (const std::string* text :
       {&Story1Text, &Story2Text, &Keyboard1Text, &Info1Text, &Info2Text}) {
    TTextScreen page;
    page.Init(*text);
    page.FadeIn(0, 16);
    page.ShowLoop(false);
    page.FadeOut(0, 16);
  }
}

void ShowOrderInfo() {
  for (const std::string* text : {&Order1Text, &Order2Text}) {
    TTextScreen page;
    page.Init(*text);
    page.FadeIn(0, 16);
    page.ShowLoop(false);
    page.FadeOut(0, 16);
  }
}

void GameSetupMenu(int x, int y, TMenu* parent, bool fromMain) {
  auto setup = CreateMessageWindow(GameSetupText, x, y, 12, 4, parent);
  setup->BallX = x + 40;
  ResetKeys();
  int cursor = -1;
  const std::vector<int> keys = {'J', 'K', 'S', 'H'};
  for (;;) {
    bool enter = MenuFrame(*setup, cursor, 3, y + 32);
    int row = Choice(keys, enter, cursor);
    if (row < 0) {
      if (Input().KeyHit(KeyEscape)) {
        if (fromMain) setup->FadeOut(0, 16);
        return;
      }
      continue;
    }
    auto box = [&](const std::string& text, int h) {
      auto b = CreateMessageWindow(text, x, y + 16, 12, h, setup.get());
      b->ShowLoop(!fromMain);
    };
    switch (row) {
      case 0: box(JoystickText, JoystickRows); return;
      case 1: KeyboardSetupMenu(x, y + 16, setup.get(), fromMain); return;
      case 2:
        PlaySettings().SoundOn = !PlaySettings().SoundOn;
        if (!PlaySettings().SoundOn) StopAllSounds();
        box(PlaySettings().SoundOn ? SoundOnText : SoundOffText, 2);
        return;
      case 3:
        PlaySettings().HintsDefault = !PlaySettings().HintsDefault;
        Game().SetHintsActive(PlaySettings().HintsDefault ? 1 : 0);
        box(PlaySettings().HintsDefault ? HintOnText : HintOffText, 2);
        return;
    }
  }
}

void KeyboardSetupMenu(int x, int y, TMenu* parent, bool fromMain) {
  TKeyboardMenu menu;
  menu.Init(KeyboardModeText, x, y, 12, 7, parent);
  menu.SetStrings();
  ResetKeys();
  int cursor = -1;
  const std::vector<int> keys = {'1', '2', '3', '4', '5', '6'};
  for (;;) {
    bool enter = MenuFrame(menu, cursor, 5, y + 24);
    int row = Choice(keys, enter, cursor);
    if (row < 0) {
      if (Input().KeyHit(KeyEscape)) {
        if (fromMain) menu.FadeOut(0, 16);
        return;
      }
      continue;
    }
    int key = menu.GetNewKey(ModKeyText[row]);
    // Esc (scan code 1) cancels: a play key on Esc would also open the quit question.
    if (key > 0 && key != 27 && key != 1) PlaySettings().PlayKeys[row] = uint8_t(key);
    menu.SetStrings();
    ResetKeys();
  }
}

namespace {

// The slot chosen in the restore or save menu (0..8, by its digit or Enter), or -1 for Esc.
int ChooseSlot(TMenuWithBall& menu) {
  ResetKeys();
  int cursor = -1;
  const std::vector<int> keys = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  for (;;) {
    bool enter = MenuFrame(menu, cursor, 8, 96);
    int row = Choice(keys, enter, cursor);
    if (row >= 0) return row;
    if (Input().KeyHit(KeyEscape)) return -1;
  }
}

}  // namespace

void RestoreGameMenu(TMenu* parent) {
  auto menu = CreateMessageWindow(RestoreText + SaveSlotList(), 56, 48, 12, 7, parent);
  menu->BallX = 64;
  const int row = ChooseSlot(*menu);
  if (row < 0) {
    menu->FadeOut(0, 16);
    return;
  }
  if (!LoadGame(World(), row + 1)) {
    MessageBox(NotFoundText, 56, 32, 12, 1, menu.get(), false);
    return;
  }
  menu->FadeOut(-1, 16);
  GoingInBox->FadeIn(-1, 16);
  GameLoop(false);
}

bool SaveGameMenu(TMenu* parent) {
  auto menu = CreateMessageWindow(SaveText + SaveSlotList(), 16, 48, 12, 7, parent);
  menu->BallX = 24;
  const int row = ChooseSlot(*menu);
  if (row < 0) {
    CreateMessageWindow(NotSavedText, 16, 48, 12, 2, menu.get())->ShowLoop(true);
    return false;
  }
  SaveGame(World(), row + 1);
  CreateMessageWindow(SavedText, 16, 48, 12, 1, menu.get())->ShowLoop(true);
  return true;
}

void InGameMenu() {
  auto menu = CreateMessageWindow(HelpMenuText, 16, 16, 12, 5, GameScreen.get());
  menu->BallX = 32;
  ResetKeys();
  int cursor = -1;
  const std::vector<int> keys = {'S', 'I', 'G', 'H', KeyF10};
  for (;;) {
    bool enter = MenuFrame(*menu, cursor, 4, 56);
    int row = Choice(keys, enter, cursor);
    if (row < 0) {
      if (Input().KeyHit(KeyEscape)) break;
      continue;
    }
    if (row == 0) {
      if (Game().MapOn % 2 == 0) {
        CreateMessageWindow(CannotSaveText, 16, 32, 12, 2, menu.get())->ShowLoop(false);
        break;
      }
      if (SaveGameMenu(menu.get())) break;
      ResetKeys();
      continue;
    }
    if (row == 1) {
      CreateMessageWindow(InstructionsText, 16, 16, 12, 9, menu.get())->ShowLoop(false);
    } else if (row == 2) {
      GameSetupMenu(16, 32, menu.get(), false);
    } else if (row == 3) {
      ShowHighScores(16, 16, GameScreen.get(), false);
    } else if (row == 4) {
      TMenu* previous = RestartQuestion->Parent;
      RestartQuestion->Parent = menu.get();
      bool yes = RestartQuestion->Invoke();
      RestartQuestion->Parent = previous;
      if (yes) {
        DemoRecorder.Stop();
        RestartQuestion->FadeOut(-1, 16);
        GoingInBox->FadeIn(-1, 16);
        LoadGame(World(), 0);
      }
    }
    break;
  }
  ResetKeys();
}

void ShowHighScores(int x, int y, TMenu* parent, bool fadeOut) {
  std::string text = HighScoresText;
  for (int place = 1; place <= 8; ++place) {
    const THighscoreEntry& e = HighScores[place - 1];
    std::string score = std::to_string(HighScoreValue(e.Score));
    score.resize(8, ' ');
    text += "\n\n " + std::to_string(place) + ".  " + score + e.Name;
  }
  auto box = CreateMessageWindow(text, x, y, 12, 9, parent);
  box->ShowLoop(false);
  if (fadeOut) box->FadeOut(0, 16);
}
