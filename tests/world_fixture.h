// A fixture for the world tests: the headless platform with audio, a temporary working
// directory that is also the game directory, recognisable image sets, numbered speaker
// sounds ("S00".."S47"), the level hooks, a new game state and an empty actor list.
// Many tests read the objects the spawn operations create through the registry (class name
// and field name) rather than through the actor classes' headers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "actors/families.h"
#include "actors/spawn.h"
#include "data/graphics.h"
#include "data/level_map.h"
#include "data/sound.h"
#include "data/sound_writer.h"
#include "headless_fixture.h"
#include "shell/frame.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "temp_dir.h"
#include "tools/episode/episode_source.h"
#include "world/actor_list.h"
#include "world/game_state.h"
#include "world/level_draw.h"
#include "world/player.h"
#include "world/world.h"
#include "world/world_state.h"

class TWorldTest : public THeadlessTest {
 protected:
  void SetUp() override {
    THeadlessTest::SetUp();
    ASSERT_TRUE(Headless->OpenAudio());
    StartUpOptions().GameDir = Temp.Dir();
    WriteNumberedSounds();
    ResetSounds();
    LoadSounds();
    MakeImageSets();
    InstallActors();
    SetBoxPresenter(PresentFrame);
    ResetMirrorTimeGuard();
    ResetWorld();
    NewGameState(World(), true);
    ResetActorList(World());
    for (int i = 0; i <= 200; ++i) {
      MirrorLineY[i] = 2 * i;
      MirrorLineHeight[i] = 2;
    }
  }
  void TearDown() override {
    ResetWorld();
    LevelList.clear();
    BackdropList.clear();
    ResetSounds();
    ReleaseGraphics();
    ResetSettings();
    THeadlessTest::TearDown();
  }

  // --- Maps ------------------------------------------------------------------------------
  static std::vector<uint16_t> EmptyMap() {
    return std::vector<uint16_t>(size_t(MapRows) * MapColumns, 0);
  }
  static void Put(std::vector<uint16_t>& map, int column, int row, uint16_t word) {
    map[size_t(row) * MapColumns + size_t(column)] = word;
  }
  // Solid tiles along a whole row.
  static void Floor(std::vector<uint16_t>& map, int row, uint16_t word = 0x1800) {
    for (int c = 0; c < MapColumns; ++c) Put(map, c, row, word);
  }
  void WriteMap(const std::string& name, const std::vector<uint16_t>& map) const {
    TTempDir::Write(Temp.Dir() + name, EncodeLevelMap(map));
  }
  static void ClearGrids() { World().Grid = TLevelGrid{}; }
  // A player standing on the floor of the cell (column, row), without the start flicker.
  void PlacePlayer(int column, int row) {
    CreatePlayer(World(), column, row);
    World().Player->InvincibilityTimer = 0;
  }

  // --- Objects ---------------------------------------------------------------------------
  static std::vector<PActorListEntry> Listed(const std::string& className) {
    std::vector<PActorListEntry> out;
    for (const PActorListEntry& e : ActorList().Entries())
      if (e->ClassName() == className) out.push_back(e);
    return out;
  }
  static int64_t Field(const PActorListEntry& object, const std::string& name) {
    int64_t value = -999999;
    EXPECT_TRUE(GetObjectField(*object, name, value)) << object->ClassName() << "." << name;
    return value;
  }
  // The object a reference field points to.
  static PActorListEntry Reference(const PActorListEntry& object, const std::string& name) {
    const TFieldInfo* f = object->Class().FindField(name);
    EXPECT_TRUE(f && f->Type == TFieldType::Reference) << object->ClassName() << "." << name;
    return f && f->GetReference ? f->GetReference(*object) : nullptr;
  }
  static std::shared_ptr<TGameObject> AsGame(const PActorListEntry& e) {
    return std::dynamic_pointer_cast<TGameObject>(e);
  }
  // The layer an entry stands in: the number of separators before it.
  static int LayerOf(const TActorListEntry* object) {
    int layer = 0;
    for (const PActorListEntry& e : ActorList().Entries()) {
      if (e.get() == object) return layer;
      if (e->Is<TListSeparator>()) ++layer;
    }
    return -1;
  }

  // --- Log and sounds --------------------------------------------------------------------
  std::vector<std::string> LogLines() const { return TTempDir::LogLines(); }
  int CountLog(const std::string& line) const {
    const auto lines = LogLines();
    return int(std::count(lines.begin(), lines.end(), line));
  }
  bool LogContains(const std::string& part) const {
    for (const std::string& l : LogLines())
      if (l.find(part) != std::string::npos) return true;
    return false;
  }
  // Sound numbers played since the audio log position `from`.
  std::vector<int> SoundsPlayed(size_t from = 0) const {
    std::vector<int> out;
    const auto& log = Headless->AudioLog();
    for (size_t i = from; i < log.size(); ++i)
      if (log[i].Kind == TAudioEvent::Play && log[i].Name.size() == 3 && log[i].Name[0] == 'S')
        out.push_back(std::stoi(log[i].Name.substr(1)));
    return out;
  }
  size_t AudioMark() const { return Headless->AudioLog().size(); }
  static bool Has(const std::vector<int>& sounds, int n) {
    return std::find(sounds.begin(), sounds.end(), n) != sounds.end();
  }

  // --- Drawing ---------------------------------------------------------------------------
  // The drawing commands recorded since the last presentation, after presenting them.
  std::vector<TDrawCommand> Present() {
    Headless->Flip(false);
    return Headless->LastFrame();
  }
  // (x, y, frame) of every DrawImage of the image, in order.
  struct TDrawn {
    float X, Y;
    int Frame;
    bool operator==(const TDrawn&) const = default;
  };
  static std::vector<TDrawn> DrawnFrom(const std::vector<TDrawCommand>& commands,
                                       const PImage& image) {
    std::vector<TDrawn> out;
    for (const TDrawCommand& c : commands)
      if (c.Kind == TCommandKind::DrawImage && c.Image == image) out.push_back({c.X, c.Y, c.Frame});
    return out;
  }

  // Sprites drawn by one Draw call of the object, as (x, y, frame).
  std::vector<TDrawn> DrawnBy(TVisibleObject& object) {
    Present();  // drop whatever was drawn before
    object.Draw();
    return DrawnFrom(Present(), SpriteImage);
  }
  // One actor pass; the sprites it drew.
  std::vector<TDrawn> Tick() {
    TickActorList(ActorList());
    return DrawnFrom(Present(), SpriteImage);
  }
  static void SolidRow(int row, uint16_t word = 0x1820) {
    for (int c = 0; c < MapColumns; ++c) World().Grid.Tiles[row][c] = word;
  }
  // The one listed object of class T (a failure when there are none or several).
  template <class T>
  static std::shared_ptr<T> Only() {
    auto all = ListedObjects<T>(ActorList());
    EXPECT_EQ(all.size(), 1u) << T::StaticClass().Name();
    return all.empty() ? nullptr : all.front();
  }
  // A player shot as the shot spawn makes it (the live count goes up by one), standing
  // at (x, y) in object units.
  static std::shared_ptr<TActor> AddShot(int32_t x, int32_t y) {
    auto shot = std::dynamic_pointer_cast<TActor>(CreateObject("TBraxShot"));
    if (!shot) return nullptr;
    shot->PosX = x;
    shot->PosY = y;
    shot->Width = 2;
    shot->Height = 16;
    ActorList().AddToLayer(shot, 2);
    ++Game().PlayerShotsActive;
    return shot;
  }

  TTempDir Temp;

 private:
  // Every sound one timer word long and of equal priority, so that each play is recorded.
  void WriteNumberedSounds() const {
    std::vector<TSoundSource> first, second;
    for (int n = 0; n < 48; ++n) {
      TSoundSource s{"S" + Digits(n, 2), 1, {1082}};
      (n < 24 ? first : second).push_back(s);
    }
    TTempDir::Write(Temp.Dir() + "BRAX1.QZ1", WriteSoundContainer(first));
    TTempDir::Write(Temp.Dir() + "BRAX1-B.QZ1", WriteSoundContainer(second));
  }
  static void MakeImageSets() {
    TileImage = CreateImage(TPixmap(16, 16, 0xFF00FF00u), 16, 16, 0, TileFrameCount, 1);
    SpriteImage = CreateImage(TPixmap(16, 16, 0xFFFF0000u), 16, 16, 0, SpriteFrameCount, 1);
    BorderTiles = CreateImage(TPixmap(16, 16, 0xFF0000FFu), 16, 16, 0, 128, 1);
    FontImage = CreateImage(TPixmap(8, 8, 0xFFFFFFFFu), 8, 8, 0, FontFrameCount, 1);
    Backdrop1 = CreateImage(TPixmap(208, 160, 0xFF202020u), 208, 160, 0, 1, 0);
    Backdrop2 = CreateImage(TPixmap(208, 160, 0xFF404040u), 208, 160, 0, 1, 0);
  }
};
