// A fixture for the menu and shell tests: the headless platform, a temporary directory
// that is the working and the game directory, the episode's strings and graphics, the
// shared screens, a short summary of every presented frame, and a guard that ends a loop
// still waiting for input that never comes (the test then fails instead of hanging).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "actors/families.h"
#include "data/graphics.h"
#include "data/level_map.h"
#include "data/object_codes.h"
#include "headless_fixture.h"
#include "menus/high_scores.h"
#include "menus/menu.h"
#include "shell/frame.h"
#include "shell/keys.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "temp_dir.h"
#include "tools/episode/episode_source.h"
#include "world/actor_list.h"
#include "world/game_state.h"
#include "world/level_draw.h"
#include "world/player.h"
#include "world/savegame.h"
#include "world/world.h"
#include "world/world_state.h"

// Thrown by the frame guard; caught by TShellTest::Run.
struct TLoopHang {};
// Thrown by the exit hook instead of ending the test program.
struct TProgramEnded {
  int Status = 0;
};

class TShellTest : public THeadlessTest {
 protected:
  struct TDrawn {
    float X = 0, Y = 0;
    int Frame = 0;
    bool operator==(const TDrawn&) const = default;
  };
  struct TFill {
    uint32_t Colour = 0;
    float Alpha = 0;
  };
  // What one presented frame drew.
  struct TFrameSummary {
    uint32_t AtMs = 0;
    std::string Text;  // the font characters in drawing order
    std::vector<TDrawn> Sprites, Borders;
    std::vector<TFill> Fills;
    std::vector<PImage> Pictures;  // images other than the tile, sprite, border and font sets
  };

  void SetUp() override {
    THeadlessTest::SetUp();
    // One window pixel per logical pixel keeps the software renderer of the tests quick.
    Headless->ResizeWindow(320, 200);
    StartUpOptions().GameDir = ZYNTRA_EPISODE_DIR;
    ASSERT_TRUE(LoadEssentialGraphics());
    LoadStrings("STRINGS.QZ1.TXT");
    LoadRemainingGraphics();
    StartUpOptions().GameDir = Temp.Dir();
    SetDefaultHighScores();
    CreateSharedScreens();
    SetAnyKeyIgnored(KeyF12, true);
    InstallActors();
    SetBoxPresenter(PresentFrame);
    RegisterFrameRoutine([this] { OnFrame(); });
  }
  void TearDown() override {
    SetExitHook(nullptr);
    ResetWorld();
    GoingInBox.reset();
    QuitQuestion.reset();
    RestartQuestion.reset();
    GameScreen.reset();
    TitleScreen.reset();
    CreditsScreen.reset();
    HeroScreen.reset();
    VillainScreen.reset();
    EndScreen.reset();
    LevelList.clear();
    BackdropList.clear();
    SetDefaultHighScores();
    ConfigIni.Init();
    ReleaseGraphics();
    ResetSettings();
    THeadlessTest::TearDown();
  }

  // Runs body; false (and a failure) when the frame guard had to stop a waiting loop.
  bool Run(const std::function<void()>& body) {
    try {
      body();
    } catch (const TLoopHang&) {
      ADD_FAILURE() << "still waiting for input after " << FrameLimit << " frames";
      return false;
    }
    return true;
  }
  // Runs body, which must end the program through EndProgram; returns the exit status.
  int RunToExit(const std::function<void()>& body) {
    SetExitHook([](int status) { throw TProgramEnded{status}; });
    try {
      body();
    } catch (const TProgramEnded& end) {
      SetExitHook(nullptr);
      return end.Status;
    } catch (const TLoopHang&) {
      ADD_FAILURE() << "still waiting for input after " << FrameLimit << " frames";
    }
    SetExitHook(nullptr);
    ADD_FAILURE() << "the program did not end";
    return -1;
  }

  // --- Scripted keys (virtual milliseconds from now) ------------------------------------
  uint32_t Now() { return Headless->Millisecs(); }
  void Press(int code, uint32_t afterMs) { Headless->PressKey(code, Now() + afterMs); }
  void Type(const std::string& text, uint32_t afterMs) {
    Headless->TypeText(text, Now() + afterMs);
  }

  // --- Frames ---------------------------------------------------------------------------
  static std::string TextOf(const std::vector<TDrawCommand>& commands) {
    std::string text;
    for (const TDrawCommand& c : commands)
      if (c.Kind == TCommandKind::DrawImage && c.Image && c.Image == FontImage)
        text += char(c.Frame);
    return text;
  }
  static TFrameSummary Summarise(const std::vector<TDrawCommand>& commands, uint32_t atMs) {
    TFrameSummary s;
    s.AtMs = atMs;
    s.Text = TextOf(commands);
    for (const TDrawCommand& c : commands) {
      if (c.Kind == TCommandKind::FillRect) s.Fills.push_back({c.Colour, c.Alpha});
      if (c.Kind != TCommandKind::DrawImage || !c.Image) continue;
      TDrawn d{c.X, c.Y, c.Frame};
      if (c.Image == SpriteImage)
        s.Sprites.push_back(d);
      else if (c.Image == BorderTiles)
        s.Borders.push_back(d);
      else if (c.Image != FontImage && c.Image != TileImage)
        s.Pictures.push_back(c.Image);
    }
    return s;
  }
  // The ball cursor of a frame (sprites 613..616), or none.
  static bool BallOf(const TFrameSummary& frame, TDrawn& ball) {
    int found = 0;
    for (const TDrawn& d : frame.Sprites)
      if (d.Frame >= 613 && d.Frame <= 616) {
        ball = d;
        ++found;
      }
    return found == 1;
  }
  static bool HasBorderTile(const TFrameSummary& frame, float x, float y, int tile) {
    for (const TDrawn& d : frame.Borders)
      if (d == TDrawn{x, y, tile}) return true;
    return false;
  }
  // Index of the first frame whose text contains part, at or after from; -1 when none.
  int FirstFrameWith(const std::string& part, size_t from = 0) const {
    for (size_t i = from; i < Frames.size(); ++i)
      if (Frames[i].Text.find(part) != std::string::npos) return int(i);
    return -1;
  }
  // A line of the string tables as the boxes draw it (line feeds are not drawn).
  static std::string Drawn(const std::string& text) {
    std::string out;
    for (char c : text)
      if (c != '\n') out += c;
    return out;
  }

  // --- Levels ---------------------------------------------------------------------------
  // A closed room: floor, ceiling and walls of solid tiles; the player stands on the floor.
  static std::vector<uint16_t> RoomMap() {
    std::vector<uint16_t> map(size_t(MapRows) * MapColumns, 0);
    auto put = [&](int c, int r, uint16_t w) { map[size_t(r) * MapColumns + size_t(c)] = w; };
    for (int c = 0; c < MapColumns; ++c) {
      put(c, 0, 0x1800);
      put(c, 20, 0x1800);
    }
    for (int r = 0; r <= 20; ++r) {
      put(0, r, 0x1800);
      put(MapColumns - 1, r, 0x1800);
    }
    put(10, 19, ObjectHero);
    return map;
  }
  // Maps "L0.QZ1" .. in the game directory and the "levels" list naming them.
  void WriteLevels(int count) {
    LevelList.clear();
    BackdropList.clear();
    for (int i = 0; i < count; ++i) {
      std::string name = "L" + std::to_string(i) + ".QZ1";
      TTempDir::Write(Temp.Dir() + name, EncodeLevelMap(RoomMap()));
      LevelList.push_back(name);
    }
  }
  static void WriteSave(int slot, uint16_t map, uint16_t health, uint16_t firePower,
                        int64_t score) {
    TSavegame save;
    save.MapNumber = map;
    save.Health = health;
    save.FirePower = firePower;
    save.Score = score;
    save.CamX = 0;
    save.CamY = 10;
    save.PlayerX = 20;
    save.PlayerY = 160;
    ASSERT_TRUE(save.WriteToFile(SavegameFileName(slot)));
  }

  // The pictures of the frames presented since KeepPictures was set: entry i is frame i
  // (the last one is added by TakePictures).
  std::vector<TPixmap> TakePictures() {
    std::vector<TPixmap> out = std::move(Shown);
    if (KeepPictures) out.push_back(Headless->ShownFrame());
    Shown.clear();
    KeepPictures = PicturesStarted = false;
    return out;
  }

  TTempDir Temp;
  std::vector<TFrameSummary> Frames;
  size_t FrameLimit = 1500;
  bool KeepPictures = false;

 private:
  void OnFrame() {
    // The frame routines run before the new frame is shown: the picture on show is the
    // previous frame's.
    if (KeepPictures && PicturesStarted) Shown.push_back(Headless->ShownFrame());
    PicturesStarted = KeepPictures;
    Frames.push_back(Summarise(Headless->PendingCommands(), Headless->Millisecs()));
    if (Frames.size() > FrameLimit) throw TLoopHang();
  }
  std::vector<TPixmap> Shown;
  bool PicturesStarted = false;
};
