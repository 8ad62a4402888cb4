#include "shell/game_loop.h"

#include <algorithm>
#include <cstdio>

#include "actors/mechanics.h"
#include "actors/spawn.h"
#include "data/graphics.h"
#include "data/sound.h"
#include "menus/menu.h"
#include "menus/screens.h"
#include "platform/platform.h"
#include "shell/demo.h"
#include "shell/flow.h"
#include "shell/frame.h"
#include "shell/keys.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/strings.h"
#include "world/game_state.h"
#include "world/level_draw.h"
#include "world/player.h"
#include "world/savegame.h"
#include "world/world.h"
#include "world/world_state.h"

namespace {

void QuickBox(const std::string& text) {
  RedrawGame(World());
  DrawMessageBox(text, 16, 48, 12, 1);
  PresentFrame();
}

// Plays ticks with no input after the villain is beaten.
void VictoryTicks(int count) {
  for (int i = 0; i < count; ++i) {
    GameTick(World(), false, false, false, false, false, false);
    PresentTick(PlaySettings().Speed);
  }
}

// The tick limit of "ticks=N": the state hash goes to the log and the program quits.
void CountTick(int& ticks) {
  if (Options().TickLimit <= 0 || ++ticks < Options().TickLimit) return;
  char hash[40];
  std::snprintf(hash, sizeof hash, "%016llx",
                static_cast<unsigned long long>(WorldStateHash(World())));
  LogLine("State hash after " + std::to_string(ticks) + " ticks: " + hash);
  QuitProgram();
}

}  // namespace

void GameLoop(bool newGame, int firstMap) {
  TWorld& world = World();
  TPlatform& p = Platform();
  TInputState& in = p.Input();
  if (newGame) {
    NewGameState(world, PlaySettings().HintsDefault);
    world.State->MapOn = uint16_t(std::clamp(firstMap, 0, 0xFFFF));
    if (!LoadLevel(world)) return;
  }
  ResetKeys();
  SaveGame(world, 0);
  std::string typed;
  bool freeCamera = false;
  int ticks = 0;
  for (;;) {
    p.Clear(0);
    if (!freeCamera) {
      uint8_t k[6];
      ReadPlayInputs(k);
      GameTick(world, k[0], k[1], k[2], k[3], k[4], k[5]);
      if (DemoRecorder.Active) {
        DemoRecorder.NextTick(k[0], k[1], k[2], k[3], k[4], k[5]);
        DrawBorderTile(16, 0, 16);
      }
      CountTick(ticks);
    } else {
      TGameState& g = Game();
      if (ScanDown(PlaySettings().PlayKeys[KeyIndexUp])) g.CamY = std::max(0, g.CamY - 1);
      if (ScanDown(PlaySettings().PlayKeys[KeyIndexDown])) g.CamY = std::min(MaxCamY, g.CamY + 1);
      if (ScanDown(PlaySettings().PlayKeys[KeyIndexLeft])) g.CamX = std::max(0, g.CamX - 1);
      if (ScanDown(PlaySettings().PlayKeys[KeyIndexRight])) g.CamX = std::min(MaxCamX, g.CamX + 1);
      RedrawGame(world);
    }
    if (in.KeyDown(KeyPeriod) && PlaySettings().Speed < 20) {
      ++PlaySettings().Speed;
      DrawBorderTile(32, 0, 40);
    }
    if (in.KeyDown(KeyComma) && PlaySettings().Speed > 8) {
      --PlaySettings().Speed;
      DrawBorderTile(32, 0, 41);
    }
    if (Options().DebugMode && (in.KeyDown(KeyLeftShift) || in.KeyDown(KeyRightShift)))
      PresentFrameUnpaced();
    else
      PresentTick(PlaySettings().Speed);

    // Keys hit during the tick, in this order.
    if (in.KeyHit('H')) {
      PlaySettings().HintsDefault = !PlaySettings().HintsDefault;
      world.State->SetHintsActive(PlaySettings().HintsDefault ? 1 : 0);
      ShowInfoBox(world, PlaySettings().HintsDefault ? HintOnText : HintOffText, 16, 48, 12, 2,
                  false);
    }
    if (in.KeyHit('S')) {
      bool wasOn = PlaySettings().SoundOn;
      PlaySettings().SoundOn = !PlaySettings().SoundOn;
      if (wasOn) StopAllSounds();
      ShowInfoBox(world, PlaySettings().SoundOn ? SoundOnText : SoundOffText, 16, 48, 12, 2, false);
    }
    if (in.KeyHit('P')) ShowInfoBox(world, PausedText, 16, 48, 12, 1, false);
    if (in.KeyHit(KeyF1)) InGameMenu();
    if (in.KeyHit(KeyF5)) {
      QuickBox("        QuickSave!");
      QuickSave(world);
    }
    if (in.KeyHit(KeyF9)) {
      DemoRecorder.Stop();
      QuickBox("        QuickLoad!");
      QuickLoad(world);
    }
    if (in.KeyHit(KeyF10) && world.State->MapOn % 2 == 0 && RestartQuestion->Invoke()) {
      DemoRecorder.Stop();
      GameScreen->FadeOut(-1, 16);
      GoingInBox->FadeIn(-1, 16);
      LoadGame(world, 0);
    }
    if (in.KeyHit(KeyEscape) + in.KeyHit('Q') > 0) {
      QuitQuestion->Init(QuitText, 16, 80, 12, 1, GameScreen.get());
      QuitQuestion->SetRelativeBallPosition(128, 16);
      if (QuitQuestion->Invoke()) break;
    }

    if (in.KeyDown(KeyHome) && in.KeyDown(KeyDelete)) GiveFirepowerAndKeys(world);
    if (Options().CheatKeys && in.KeyDown('K') && in.KeyDown('V')) {
      if (in.KeyDown('X')) GiveEverything(*world.State);
      if (in.KeyDown('N')) world.State->ExitLevel = 1;
    }

    if (Options().DebugMode) {
      for (int digit = 0; digit <= 9; ++digit)
        if (in.KeyHit('0' + digit) && !LoadGame(world, digit)) return;
      if (in.KeyHit('B')) ShowBonusInfo(*world.State);
      if (in.KeyHit('E'))
        for (const auto& extender : ListedObjects<TExtender>(ActorList())) extender->Active = 1;
      if (in.KeyHit(KeyTab)) freeCamera = !freeCamera;
      if (in.KeyHit(KeyPageUp)) {
        DemoRecorder.Stop();
        world.State->MapOn = uint16_t(std::max(0, world.State->MapOn - 1));
        LoadLevel(world);
        ResetKeys();
      }
      if (in.KeyHit(KeyPageDown)) {
        DemoRecorder.Stop();
        world.State->MapOn = uint16_t(std::min(LastMapNumber(), world.State->MapOn + 1));
        LoadLevel(world);
        ResetKeys();
      }
      if (world.Player && in.MouseDown(1)) {
        world.Player->PosX = world.State->CamX + (p.MouseX() - 16) / 8;
        world.Player->PosY = world.State->CamY * 16 + p.MouseY() - 16;
      }
      if (in.MouseDown(2))
        SpawnMetalShard(World(), world.State->CamX + (p.MouseX() - 16) / 8,
                        world.State->CamY * 16 + p.MouseY() - 16);
      if (int ch = in.NextChar()) {
        typed += char(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
        if (typed.size() > 64) typed.erase(0, typed.size() - 64);
        if (typed.size() >= 6 && typed.compare(typed.size() - 6, 6, "vbqelt") == 0) {
          PlaySettings().GodMode = !PlaySettings().GodMode;
          typed.clear();
        }
      }
    }

    TGameState& g = Game();
    if (g.Victory == 1) {
      DemoRecorder.Stop();
      VictoryTicks(32);
      world.State->AddScore(100000);
      EpisodeEnding(false);
      break;
    }
    if (g.Victory == 2) {
      DemoRecorder.Stop();
      VictoryTicks(8);
      world.State->AddScore(100000);
      for (int i = 0; i < 55; ++i) {
        p.Clear(0);
        RedrawGame(world);
        PaceFrame(16);
      }
      EpisodeEnding(true);
      break;
    }
    if (g.ExitLevel) {
      DemoRecorder.Stop();
      AdvanceToNextMap(world);
    } else if (g.PlayerIsDead) {
      DemoRecorder.Stop();
      if (g.MapOn > 0) {
        auto died = CreateMessageWindow(DiedText, 16, 16, 12, 2, GameScreen.get());
        died->ShowLoop(true);
        died->FadeOut(-1, 16);
      } else {
        GameScreen->FadeOut(-1, 16);
      }
      GoingInBox->FadeIn(-1, 16);
      LoadGame(world, 0);
    }
  }
  EndOfGame();
}
