// The world: camera steps, the game tick, the mirror time guard, the spawn operations,
// the state hash, and the drawing of the level, the panel and the mirrors.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "actors/effects.h"
#include "data/object_codes.h"
#include "shell/settings.h"
#include "world/level_shot.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world_state.h"
#include "world_fixture.h"

namespace {

uint32_t LineColour(int line) { return uint32_t(0x400000 + line * 0x010305); }

// count frames of 16 x 16, frame k filled with a colour of its own (none is a tile, sprite or
// backdrop colour of the fixture).
PImage ColouredFrames(int count) {
  TPixmap sheet(16, 16 * count);
  for (int y = 0; y < sheet.Height; ++y)
    for (int x = 0; x < 16; ++x) sheet.Set(x, y, 0xFF800000u | uint32_t(y / 16) * 0x0103u);
  return CreateImage(sheet, 16, 16, 0, count, ImageMasked);
}

}  // namespace

class WorldTest : public TWorldTest {};

// --- Camera ----------------------------------------------------------------------------------

TEST_F(WorldTest, HorizontalCameraMovesAtMostTwoAndKeepsItsBounds) {
  PlacePlayer(0, 5);
  struct TCase {
    int32_t PosX, CamX, Expected;
  };
  const TCase cases[] = {
      {26, 10, 12},                // 16 ahead: two steps
      {25, 10, 11},                // 15 ahead: one step
      {24, 10, 10},                // 14: stays
      {20, 10, 10},                // 10: stays
      {19, 10, 9},                 // 9: one step back
      {10, 10, 8},                 // far behind: two steps at most
      {250, 229, 230},             // never beyond 230
      {255, 230, 230}, {0, 1, 0},  // never below 0
      {0, 0, 0},
  };
  for (const TCase& c : cases) {
    World().Player->PosX = c.PosX;
    Game().CamX = c.CamX;
    ScrollCameraX(World());
    EXPECT_EQ(Game().CamX, c.Expected) << c.PosX << " " << c.CamX;
  }
}

TEST_F(WorldTest, VerticalCameraFollowsItsDestinationAndRollsUpOnVictory) {
  TGameState& g = Game();
  g.CamY = 5;
  g.CamDestY = 8;
  ScrollCameraY(World());
  EXPECT_EQ(g.CamY, 6);
  g.CamDestY = 2;
  ScrollCameraY(World());
  EXPECT_EQ(g.CamY, 5);
  g.CamY = 80;
  g.CamDestY = 85;
  ScrollCameraY(World());
  EXPECT_EQ(g.CamY, 80);
  g.CamY = 0;
  g.CamDestY = -3;
  ScrollCameraY(World());
  EXPECT_EQ(g.CamY, 0);

  g.CamY = 2;
  g.CamDestY = 40;
  g.Victory = 1;
  std::vector<int32_t> rows;
  for (int i = 0; i < 4; ++i) {
    ScrollCameraY(World());
    rows.push_back(g.CamY);
  }
  EXPECT_EQ(rows, (std::vector<int32_t>{1, 0, 0, 0}));
}

TEST_F(WorldTest, MirrorTimeGuardNeedsTwoSlowTicksInARow) {
  const std::string warning =
      "WARNING: DrawMirrors :: drawing the mirrors took 90 ms -- mirrors are now turned OFF to "
      "increase performance";
  MirrorTimeGuard(90);
  MirrorTimeGuard(50);
  MirrorTimeGuard(90);
  MirrorTimeGuard(88);
  MirrorTimeGuard(88);
  EXPECT_FALSE(PlaySettings().NoMirrors);
  EXPECT_FALSE(LogContains("DrawMirrors"));
  MirrorTimeGuard(89);
  MirrorTimeGuard(90);
  EXPECT_TRUE(PlaySettings().NoMirrors);
  const auto lines = LogLines();
  auto at = std::find(lines.begin(), lines.end(), warning);
  ASSERT_NE(at, lines.end());
  ASSERT_NE(at, lines.begin());
  ASSERT_NE(at + 1, lines.end());
  EXPECT_EQ(*(at - 1), "");
  EXPECT_EQ(*(at + 1), "");

  // Once off, the tick does not draw mirrors any more.
  World().Grid.Mirrors[0][0] = 1;
  GameTick(World(), false, false, false, false, false, false);
  for (const TDrawCommand& c : Present()) EXPECT_NE(c.Kind, TCommandKind::CaptureRegion);
}

TEST_F(WorldTest, TickMovesThePlayerAndXCameraBeforeDrawingAndYCameraAfter) {
  StartUpOptions().SmoothMotion = false;  // the view alone
  auto map = EmptyMap();
  Floor(map, 31);
  Put(map, 20, 30, ObjectHero);
  WriteMap("tick.qz1", map);
  ASSERT_TRUE(LoadMap(World(), "tick.qz1"));
  TGameState& g = Game();
  g.CamX = 24;  // the player is 16 half-tiles ahead
  g.CamY = 26;
  g.CamDestY = 20;
  g.Timer = 7;
  World().Grid.Tiles[27][13] = 47 * 32;
  GameTick(World(), false, false, false, false, false, false);
  EXPECT_EQ(g.Timer, 8);
  EXPECT_EQ(g.CamX, 26);
  EXPECT_EQ(g.CamY, 25);
  // Column 13 is the first of the view with the new CamX, row 27 the second with the old CamY.
  auto tiles = DrawnFrom(Present(), TileImage);
  ASSERT_EQ(tiles.size(), 14u);  // 13 floor cells and the marked one
  EXPECT_EQ(tiles[0], (TDrawn{16, 32, 47}));

  // The tick counter wraps instead of overflowing.
  g.Timer = INT32_MAX;
  GameTick(World(), false, false, false, false, false, false);
  EXPECT_EQ(g.Timer, INT32_MIN);
}

// --- Spawning --------------------------------------------------------------------------------

TEST_F(WorldTest, ScoreFlashers) {
  TGameState& g = Game();
  const int64_t randomPoints[4] = {100, 500, 2000, 5000};
  const int64_t randomSprites[4] = {678, 682, 686, 688};
  for (int timer = 0; timer < 5; ++timer) {
    ResetActorList(World());
    g.Timer = timer;
    int64_t before = g.Score;
    ScoreFlasher(World(), FlasherRandom, 30, 200);
    EXPECT_EQ(g.Score - before, randomPoints[timer % 4]) << timer;
    auto flashers = Listed("TBonusFlasher");
    ASSERT_EQ(flashers.size(), 1u);
    EXPECT_EQ(Field(flashers[0], "BaseSprite"), randomSprites[timer % 4]);
    EXPECT_EQ(Field(flashers[0], "TimeToLive"), 39);
    EXPECT_EQ(AsGame(flashers[0])->PosX, 30);
    EXPECT_EQ(AsGame(flashers[0])->PosY, 200);
    EXPECT_EQ(LayerOf(flashers[0].get()), LayerEffects);
  }

  ResetActorList(World());
  g.Score = 0;
  ScoreFlasher(World(), Flasher10000, 1, 2);
  EXPECT_EQ(g.Score, 10000);
  ScoreFlasher(World(), FlasherLevelBonus + 6, 5, 300);
  EXPECT_EQ(g.Score, 20000);
  auto large = Listed("TLargeBonusFlasher");
  ASSERT_EQ(large.size(), 1u);
  EXPECT_EQ(Field(large[0], "BaseSprite"), 692 + 4 * 6);
  EXPECT_EQ(Field(large[0], "TimeToLive"), 316);
  EXPECT_EQ(Field(Listed("TBonusFlasher")[0], "BaseSprite"), 690);

  for (int kind : {0, 8, 15, 17, 100, 108}) ScoreFlasher(World(), kind, 1, 2);
  EXPECT_EQ(g.Score, 20000);
  EXPECT_EQ(ActorList().Count(), 9u);
}

TEST_F(WorldTest, GoodiesByIdAndAfterTheirContainer) {
  SpawnGoodie(World(), 0x1234, 3, 4);
  SpawnGoodie(World(), 0xF00F, 3, 4);
  EXPECT_EQ(CountLog("WARNING :: SpawnGoodie :: unknown ID 0x1234"), 1);
  EXPECT_EQ(CountLog("WARNING :: SpawnGoodie :: unknown ID 0xF00F"), 1);
  SpawnGoodie(World(), 0, 3, 4);
  EXPECT_EQ(ActorList().Count(), 7u);
  int warnings = 0;
  for (const std::string& l : LogLines()) warnings += l.find("SpawnGoodie") != std::string::npos;
  EXPECT_EQ(warnings, 2);  // ID 0 says nothing

  SpawnGoodie(World(), GoodieLetterB + 2, 6, 7);
  auto letters = Listed("TLetter");
  ASSERT_EQ(letters.size(), 1u);
  EXPECT_EQ(Field(letters[0], "LetterNum"), 2);
  EXPECT_EQ(AsGame(letters[0])->PosX, 12);
  EXPECT_EQ(AsGame(letters[0])->PosY, 127);
  EXPECT_EQ(LayerOf(letters[0].get()), LayerObjects);

  // Out of a box: right after the box, ahead of objects added later to its layer.
  SpawnBox(World(), SpriteFoodCrate, GoodieSoda, 9, 9);
  SpawnBox(World(), 628, 0, 10, 9);
  auto boxes = Listed("TBox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(Field(boxes[0], "BoxSprite"), 629);
  EXPECT_EQ(Field(boxes[0], "ContentID"), GoodieSoda);
  SpawnGoodie(World(), GoodieSoda, 9, 9, boxes[0].get());
  std::vector<std::string> order;
  for (const PActorListEntry& e : ActorList().Entries())
    if (!e->Is<TListSeparator>()) order.push_back(e->ClassName());
  EXPECT_EQ(order, (std::vector<std::string>{"TLetter", "TBox", "TSoda", "TBox"}));
}

TEST_F(WorldTest, ParticleBurstsCycleColourPatterns) {
  const int32_t patterns[5][4] = {
      {1, 3, 0, 2}, {2, 1, 3, 0}, {1, 2, 3, 0}, {2, 0, 1, 3}, {1, 3, 0, 2}};
  for (int burst = 0; burst < 5; ++burst) {
    ResetActorList(World());
    EXPECT_EQ(World().ParticleColourCounter, burst % 4);
    SpawnParticles(World(), 50, 300);
    auto particles = Listed("TParticle");
    ASSERT_EQ(particles.size(), 4u);
    const int32_t dx[4] = {0, 0, 1, 1}, dy[4] = {1, -9, -7, 1};
    for (size_t i = 0; i < 4; ++i) {
      auto p = std::dynamic_pointer_cast<TVisibleObject>(particles[i]);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(Field(p, "ParticleIndex"), int64_t(i));
      EXPECT_EQ(p->CurrentFrame, patterns[burst][i]) << burst << " " << i;
      EXPECT_EQ(p->PosX, 50 + dx[i]);
      EXPECT_EQ(p->PosY, 300 + dy[i]);
      EXPECT_EQ(LayerOf(p.get()), LayerEffects);
    }
  }
}

TEST_F(WorldTest, PlayerShotsStopAtFirePower) {
  TGameState& g = Game();
  g.FirePower = 2;
  size_t mark = AudioMark();
  SpawnBraxShot(World(), 20, 99, 0);
  SpawnBraxShot(World(), 22, 99, 1);
  EXPECT_EQ(g.PlayerShotsActive, 2);
  EXPECT_EQ(SoundsPlayed(mark), (std::vector<int>{SoundHeroShot, SoundHeroShot}));
  auto shots = Listed("TBraxShot");
  ASSERT_EQ(shots.size(), 2u);
  EXPECT_EQ(Field(shots[1], "Direction"), 1);
  EXPECT_EQ(AsGame(shots[1])->PosX, 22);
  EXPECT_EQ(LayerOf(shots[0].get()), LayerHero);

  mark = AudioMark();
  SpawnBraxShot(World(), 24, 99, 1);
  EXPECT_EQ(Listed("TBraxShot").size(), 2u);
  EXPECT_EQ(g.PlayerShotsActive, 2);
  EXPECT_TRUE(SoundsPlayed(mark).empty());

  shots[0]->Remove();  // a shot that disappears frees its place
  EXPECT_EQ(g.PlayerShotsActive, 1);
  SpawnBraxShot(World(), 24, 99, 1);
  EXPECT_EQ(Listed("TBraxShot").size(), 2u);
}

TEST_F(WorldTest, SnakeRespawnKeepsNineSegments) {
  SpawnSnake(World(), 10, 20);
  SpawnSnake(World(), 30, 40);
  auto segments = Listed("TSnakeBot");
  ASSERT_EQ(segments.size(), 9u);
  EXPECT_EQ(Game().SnakesTotal, 9);
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(AsGame(segments[i])->PosX, 2 * (30 + int(i)));
    EXPECT_EQ(AsGame(segments[i])->PosY, 16 * 40 + 15);
    EXPECT_EQ(Field(segments[i], "StartDelay"), 8 - int(i));
    EXPECT_EQ(LayerOf(segments[i].get()), LayerFlyers);
  }
}

TEST_F(WorldTest, SpawnPlacementsLayersAndTallies) {
  SpawnObjectCode(World(), ObjectArrowRight, 3, 4);  // background sprite 444 at 16 * row
  auto sprites = Listed("TBackgroundSprite");
  ASSERT_EQ(sprites.size(), 1u);
  EXPECT_EQ(Field(sprites[0], "SpriteIndex"), 444);
  EXPECT_EQ(AsGame(sprites[0])->PosY, 64);
  EXPECT_EQ(LayerOf(sprites[0].get()), LayerBackground);

  SpawnObjectCode(World(), ObjectRocket, 5, 5);
  SpawnObjectCode(World(), ObjectRocket, 6, 5);
  EXPECT_EQ(Game().MissilesTotal, 2);  // one per rocket

  SpawnObjectCode(World(), ObjectTeleporter1, 8, 2);
  ASSERT_NE(World().Teleporters[1], nullptr);
  EXPECT_EQ(World().Teleporters[0], nullptr);
  EXPECT_EQ(World().Teleporters[1]->PosX, 18);
  EXPECT_EQ(Field(World().Teleporters[1], "TeleIndex"), 1);
  EXPECT_EQ(LayerOf(World().Teleporters[1].get()), LayerFront);

  SpawnMalvexScreen(World(), 20, 10);
  auto screens = Listed("TMalvexScreen");
  auto triggers = Listed("TMonitorTrigger");
  ASSERT_EQ(screens.size(), 1u);
  ASSERT_EQ(triggers.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(Reference(triggers[i], "Monitor"), screens[0]);
    EXPECT_EQ(AsGame(triggers[i])->PosX, i == 0 ? 40 - 6 : 40 + 8);
    EXPECT_EQ(AsGame(triggers[i])->PosY, 175);
    EXPECT_EQ(LayerOf(triggers[i].get()), LayerWallItems);
  }

  SpawnFan(World(), 1, 30, 10);
  SpawnFan(World(), 0, 50, 10);
  auto fans = Listed("TFan");
  auto winds = Listed("TWind");
  ASSERT_EQ(fans.size(), 2u);
  ASSERT_EQ(winds.size(), 2u);
  EXPECT_EQ(Reference(fans[0], "Wind"), winds[0]);
  EXPECT_EQ(Reference(fans[1], "Wind"), winds[1]);
  EXPECT_EQ(AsGame(winds[0])->PosX, 62);  // right of the fan
  EXPECT_EQ(Field(winds[0], "Direction"), 1);
  EXPECT_EQ(AsGame(winds[1])->PosX, 94);  // left of the fan: 100 - 6
  EXPECT_EQ(Field(winds[1], "Direction"), 0);
  std::vector<std::string> layer4;
  for (const PActorListEntry& e : ActorList().Entries())
    if (LayerOf(e.get()) == 4 && !e->Is<TListSeparator>()) layer4.push_back(e->ClassName());
  EXPECT_EQ(layer4,
            (std::vector<std::string>{"TRocket", "TRocket", "TFan", "TWind", "TFan", "TWind"}));
}

// An object acts on the world whose list holds it: a second world's spikes hurt that
// world's hero on that world's floor, his shot goes to that world's list, and the
// program's world is not touched.
TEST_F(WorldTest, ObjectsActOnTheWorldWhoseListHoldsThem) {
  TWorld other;
  NewGameState(other, false);
  for (int i = 0; i < TActorList::LayerCount - 1; ++i) other.Actors->Append(SharedSeparator());
  other.Actors->AdoptSeparators();
  for (int c = 0; c < MapColumns; ++c) other.Grid.Tiles[11][c] = 0x1800;
  auto hero = std::make_shared<TBraxTovar>();
  hero->PosX = 10;
  hero->PosY = 175;  // standing on row 11
  hero->InvincibilityTimer = 0;
  other.Player = hero;
  other.Actors->AddToLayer(hero, LayerHero);
  auto spikes = CreateObject("TSpikes");
  ASSERT_NE(spikes, nullptr);
  spikes->PosX = 10;
  spikes->PosY = 175;
  other.Actors->AddToLayer(spikes, LayerObjects);
  const int32_t programHealth = Game().Health;

  for (int i = 0; i < 3; ++i) GameTick(other, false, false, false, false, i == 0, false);
  EXPECT_EQ(other.State->Health, 8);
  EXPECT_EQ(ListedObjects<TBraxShot>(*other.Actors).size(), 1u);  // his shot is spawned there
  EXPECT_EQ(other.State->PlayerShotsActive, 1);
  EXPECT_TRUE(ListedObjects<TBraxShot>(ActorList()).empty());
  EXPECT_EQ(other.State->Timer, 3);
  EXPECT_EQ(hero->PosY, 175);  // on the other world's floor; the program's grid is empty
  EXPECT_EQ(&spikes->World(), &other);
  EXPECT_EQ(Game().Health, programHealth);
  EXPECT_EQ(Game().Timer, 0);
  other.Actors->Clear();
}

// --- Level sequence and state hash
// ----------------------------------------------------------------

TEST_F(WorldTest, LoadLevelStartsTheMapOfMapOn) {
  auto map = EmptyMap();
  Put(map, 9, 9, ObjectHero);
  WriteMap("one.qz1", map);
  LevelList = {"missing.qz1", "one.qz1"};
  ResetWorld();
  EXPECT_FALSE(LoadLevel(World()));  // map 0 cannot be read
  ASSERT_TRUE(World().GameStarted);
  EXPECT_EQ(Game().Health, 9);
  Game().MapOn = 1;
  Game().Timer = 55;
  Game().GotKey[2] = 1;
  EXPECT_TRUE(LoadLevel(World()));
  EXPECT_EQ(Game().Timer, 0);
  EXPECT_EQ(Game().GotKey[2], 0);
  EXPECT_EQ(World().Player->PosX, 18);
  Game().MapOn = 2;  // past the list
  EXPECT_FALSE(LoadLevel(World()));
  EXPECT_EQ(World().Player->PosX, 18);
}

namespace {

struct TButtons {
  bool Up, Down, Left, Right, Fire, Jump;
};

TButtons Script(int t) {
  return {t >= 150 && t < 156, t >= 160 && t < 163,
          t >= 100 && t < 140, t < 60 || (t >= 170 && t < 190),
          t % 17 < 3,          t % 25 == 3};
}

}  // namespace

TEST_F(WorldTest, StateHashRepeatsForEqualInputs) {
  ReleaseGraphics();  // nothing to look at: keep the ticks cheap
  auto map = EmptyMap();
  Floor(map, 20);
  for (int c = 0; c < 128; ++c) Put(map, c, 14, 0x1B80);  // a ceiling to bump into
  Put(map, 5, 19, ObjectHero);
  Put(map, 30, 19, 0x1800);
  Put(map, 31, 18, 0x1800);
  Put(map, 12, 17, ObjectMirror);
  WriteMap("hash.qz1", map);

  auto run = [&](int changedTick) {
    NewGameState(World(), true);
    World().ParticleColourCounter = 0;
    ResetMirrorTimeGuard();
    EXPECT_TRUE(LoadMap(World(), "hash.qz1"));
    std::vector<uint64_t> hashes{WorldStateHash(World())};
    for (int t = 0; t < 200; ++t) {
      TButtons b = Script(t);
      if (t == changedTick) b.Jump = !b.Jump;
      GameTick(World(), b.Up, b.Down, b.Left, b.Right, b.Fire, b.Jump);
      hashes.push_back(WorldStateHash(World()));
    }
    return hashes;
  };
  auto first = run(-1);
  auto second = run(-1);
  EXPECT_EQ(first, second);
  StartUpOptions().MirrorSheen = false;  // a look of the mirrors only
  EXPECT_EQ(run(-1), first);
  StartUpOptions().MirrorSheen = true;
  EXPECT_NE(first[0], first[10]);
  EXPECT_NE(first[10], first[11]);  // the timer alone changes it

  // A jump pressed in tick 70 that was not pressed before: equal up to there, then not.
  auto changed = run(70);
  ASSERT_EQ(changed.size(), first.size());
  EXPECT_TRUE(std::equal(first.begin(), first.begin() + 71, changed.begin()));
  for (int t : {71, 72, 75}) EXPECT_NE(first[size_t(t)], changed[size_t(t)]) << t;
}

// --- Drawing -------------------------------------------------------------------------------------

TEST_F(WorldTest, LevelTilesBackdropCellsAndAnimation) {
  TGameState& g = Game();
  World().Grid.Tiles[3][2] = 0x20;         // the second backdrop shows through
  World().Grid.Tiles[0][0] = 2 * 32 + 31;  // animated, low bits ignored
  World().Grid.Tiles[0][1] = 46 * 32;      // last animated picture
  World().Grid.Tiles[0][2] = 47 * 32;      // plain tiles from 47
  World().Grid.Tiles[0][3] = 383 * 32;
  World().Grid.Tiles[0][4] = 0x3000;    // picture 384: border tile 0
  World().Grid.Tiles[0][5] = 435 * 32;  // border tile 51
  World().Grid.Tiles[0][6] = 436 * 32;  // nothing
  World().Grid.Tiles[3][5] = 47 * 32;   // drawn after the backdrop cell, unclipped
  std::vector<std::vector<TDrawn>> frames;
  for (int timer = 0; timer < 5; ++timer) {
    g.Timer = timer;
    DrawLevel(World());
    auto commands = Present();
    if (timer == 0) {
      auto backdrops = DrawnFrom(commands, Backdrop1);
      ASSERT_EQ(backdrops.size(), 1u);
      EXPECT_EQ(backdrops[0], (TDrawn{16, 16, 0}));
      EXPECT_EQ(DrawnFrom(commands, BorderTiles), (std::vector<TDrawn>{{80, 16, 0}, {96, 16, 51}}));
      // Backdrop 2 restricted to its cell (window pixels at scale 2), then the clip is lifted.
      bool seen = false;
      for (size_t i = 0; i < commands.size(); ++i)
        if (commands[i].Image == Backdrop2) {
          seen = true;
          EXPECT_EQ(commands[i].X, 16);
          EXPECT_EQ(commands[i].Y, 16);
          EXPECT_EQ(commands[i].Clip, (TRect{96, 128, 32, 32}));
          ASSERT_LT(i + 1, commands.size());
          EXPECT_EQ(commands[i + 1].Clip, (TRect{0, 0, 640, 400}));
        }
      EXPECT_TRUE(seen);
    }
    frames.push_back(DrawnFrom(commands, TileImage));
  }
  for (int timer = 0; timer < 5; ++timer)
    EXPECT_EQ(frames[size_t(timer)], (std::vector<TDrawn>{{16, 16, 2 + timer % 4},
                                                          {32, 16, 46 + timer % 4},
                                                          {48, 16, 47},
                                                          {64, 16, 383},
                                                          {96, 64, 47}}))
        << timer;
}

TEST_F(WorldTest, LevelViewWithOddCameraAndMapEdges) {
  StartUpOptions().SmoothMotion = false;  // the view alone
  TGameState& g = Game();
  g.CamX = 229;  // columns 114..127 from x 8
  g.CamY = 85;   // rows 85..94: the last five lie outside
  for (int c = 114; c < 128; ++c) World().Grid.Tiles[89][c] = 50 * 32;
  World().Grid.Tiles[84][120] = 50 * 32;  // above the view
  DrawLevel(World());
  auto tiles = DrawnFrom(Present(), TileImage);
  ASSERT_EQ(tiles.size(), 14u);
  EXPECT_EQ(tiles.front(), (TDrawn{8, 80, 50}));
  EXPECT_EQ(tiles.back(), (TDrawn{216, 80, 50}));

  g.CamX = 231;  // a camera past the map draws what is inside only
  DrawLevel(World());
  EXPECT_EQ(DrawnFrom(Present(), TileImage).size(), 13u);

  // Smooth motion also draws the cells around the view, under the frame: here the one
  // above it, tracked by its map cell so that it slides in.
  StartUpOptions().SmoothMotion = true;
  g.CamX = 229;
  DrawLevel(World());
  const std::vector<TDrawCommand> commands = Present();
  tiles = DrawnFrom(commands, TileImage);
  ASSERT_EQ(tiles.size(), 15u);
  EXPECT_EQ(tiles.front(), (TDrawn{104, 0, 50}));
  std::vector<uint64_t> tracks;
  for (const TDrawCommand& c : commands)
    if (c.Image == TileImage) tracks.push_back(c.Track);
  std::sort(tracks.begin(), tracks.end());
  EXPECT_NE(tracks.front(), 0u);
  EXPECT_EQ(std::adjacent_find(tracks.begin(), tracks.end()), tracks.end());
}

TEST_F(WorldTest, HudScoreHealthFirePowerKeysAndInventory) {
  TGameState& g = Game();
  auto scoreText = [&](int64_t score) {
    g.Score = score;
    DrawHud(World());
    std::string text;
    float x = 240;
    for (const TDrawn& d : DrawnFrom(Present(), FontImage))
      if (d.Y == 24) {
        EXPECT_EQ(d.X, x);
        x += 8;
        text += char(d.Frame);
      }
    return text;
  };
  EXPECT_EQ(scoreText(123456789), "23456789");
  EXPECT_EQ(scoreText(42), "00000042");
  EXPECT_EQ(scoreText(0), "00000000");
  EXPECT_EQ(scoreText((int64_t(1) << 32) + 42), "00000042");  // low 32 bits only

  g.Health = 1;
  g.FirePower = 0;
  DrawHud(World());
  EXPECT_TRUE(DrawnFrom(Present(), SpriteImage).empty());

  g.Health = 3;
  g.FirePower = 2;
  g.GotKey = {0, 1, 0, 1};
  g.GotBoots = g.GotGlove = 1;
  DrawHud(World());
  EXPECT_EQ(DrawnFrom(Present(), SpriteImage), (std::vector<TDrawn>{{240, 60, 589},
                                                                    {248, 60, 589},
                                                                    {240, 108, 534},
                                                                    {256, 108, 534},
                                                                    {264, 96, 571},
                                                                    {256, 144, 653},
                                                                    {288, 144, 655},
                                                                    {240, 160, 538},
                                                                    {272, 160, 591}}));
}

TEST_F(WorldTest, HealthLabelBlinksOnOddTicksBelowTwo) {
  TGameState& g = Game();
  auto label = [&](int health, int timer) {
    g.Health = uint16_t(health);
    g.Timer = timer;
    DrawStatusBorder(World());
    std::vector<int> found;
    for (const TDrawn& d : DrawnFrom(Present(), BorderTiles))
      if (d.Y == 40 && (d.X == 256 || d.X == 272) && d.Frame != 8)
        found.push_back(d.Frame);  // 8: the frame
    return found;
  };
  EXPECT_EQ(label(1, 0), (std::vector<int>{36, 37}));
  EXPECT_EQ(label(1, 1), (std::vector<int>{42, 43}));
  EXPECT_EQ(label(1, 2), (std::vector<int>{36, 37}));
  EXPECT_EQ(label(0, 3), (std::vector<int>{42, 43}));
  EXPECT_EQ(label(2, 1), (std::vector<int>{36, 37}));
}

TEST_F(WorldTest, RowCalibrationMeasuresTheLines) {
  for (int i = 0; i <= 200; ++i) MirrorLineY[i] = MirrorLineHeight[i] = -1;
  RowCalibration();
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(MirrorLineY[i], 2 * i) << i;
    EXPECT_EQ(MirrorLineHeight[i], 2) << i;
  }
  EXPECT_EQ(MirrorLineY[200], 400);

  // A window smaller than the virtual screen: computed, with a line in the log.
  Headless->ResizeWindow(160, 100);
  RowCalibration();
  EXPECT_EQ(CountLog("160x100!? You've got to be kidding me!"), 1);
  EXPECT_EQ(MirrorLineY[3], 2);  // 1.5 + 0.5
  EXPECT_EQ(MirrorLineY[200], 100);
  EXPECT_EQ(MirrorLineHeight[2], 1);
  EXPECT_EQ(MirrorLineHeight[3], 0);
}

TEST_F(WorldTest, MirrorInTheLowestRowReflectsFourteenLines) {
  TGameState& g = Game();
  TPlatform& p = Platform();
  for (int line = 100; line < 176; ++line) {
    p.SetColour(LineColour(line));
    p.DrawRect(16, float(line), 208, 1);
  }
  p.SetColour(0xFFFFFF);
  World().Grid.Mirrors[9][3] = 1;  // view row 9, column 3: x 64, y 160
  for (int phase = 0; phase < 2; ++phase) {
    g.Timer = phase;
    if (phase == 1)
      for (int line = 100; line < 176; ++line) {
        p.SetColour(LineColour(line));
        p.DrawRect(16, float(line), 208, 1);
      }
    DrawMirrors(World());
    auto commands = Present();
    std::vector<TDrawCommand> captures, draws;
    for (const TDrawCommand& c : commands) {
      if (c.Kind == TCommandKind::CaptureRegion) captures.push_back(c);
      if (c.Kind == TCommandKind::DrawCaptured) draws.push_back(c);
    }
    ASSERT_EQ(captures.size(), 1u);
    EXPECT_EQ(captures[0].Source, (TRect{128, 264, 32, 56}));
    ASSERT_EQ(draws.size(), 14u);
    const TPixmap& shown = Headless->ShownFrame();
    for (int k = 0; k < 14; ++k) {
      int line = 159 - phase - 2 * k;
      EXPECT_EQ(draws[size_t(k)].Source, (TRect{128, 2 * line, 32, 2}));
      EXPECT_EQ(draws[size_t(k)].X, 128);
      EXPECT_EQ(draws[size_t(k)].Y, 324 + 2 * k);
      for (int row : {324 + 2 * k, 325 + 2 * k}) {
        EXPECT_EQ(shown.Get(130, row) & 0xFFFFFFu, LineColour(line)) << phase << " " << k;
        EXPECT_EQ(shown.Get(200, row) & 0xFFFFFFu, LineColour(row / 2)) << "outside the run";
      }
    }
  }
}

TEST_F(WorldTest, MirrorRunsWithAnOddCameraAndAtTheRightEdge) {
  TGameState& g = Game();
  g.CamX = 1;  // column 0 is half hidden
  auto captures = [&]() {
    DrawMirrors(World());
    std::vector<TRect> out;
    int draws = 0;
    for (const TDrawCommand& c : Present()) {
      if (c.Kind == TCommandKind::CaptureRegion) out.push_back(c.Source);
      draws += c.Kind == TCommandKind::DrawCaptured;
    }
    EXPECT_GT(draws, 0);
    return out;
  };
  World().Grid.Mirrors[2][0] = 1;
  // Row 2 (y 48) reflects from 60 lines up, above the screen: the read-back starts at 0.
  EXPECT_EQ(captures(), (std::vector<TRect>{{32, 0, 16, 96}}));
  World().Grid.Mirrors[2][1] = 1;
  World().Grid.Mirrors[2][3] = 1;  // a second run after a gap
  EXPECT_EQ(captures(), (std::vector<TRect>{{32, 0, 48, 96}, {(8 + 48) * 2, 0, 32, 96}}));

  for (int c = 0; c < 4; ++c) World().Grid.Mirrors[2][c] = 0;
  World().Grid.Mirrors[5][13] = 1;  // the last column of 14 starts at x 216: cut to 8 pixels
  World().Grid.Mirrors[5][12] = 1;
  EXPECT_EQ(captures(), (std::vector<TRect>{{(8 + 16 * 12) * 2, 2 * (96 - 60), 48, 120}}));
  g.CamX = 0;  // 13 columns: the run ends with the view
  EXPECT_EQ(captures(), (std::vector<TRect>{{(16 + 16 * 12) * 2, 2 * (96 - 60), 32, 120}}));

  PlaySettings().NoMirrors = true;
  DrawMirrors(World());
  for (const TDrawCommand& c : Present()) EXPECT_NE(c.Kind, TCommandKind::CaptureRegion);
}

TEST_F(WorldTest, MirrorSheenShowsTheFloorTilesOverTheReflectionOnly) {
  TileImage = ColouredFrames(TileFrameCount);
  // An odd camera: column 0 is half hidden behind the frame, from x 8.
  Game().CamX = 1;
  for (int c = 0; c <= 2; ++c) {
    World().Grid.Tiles[5][c] =
        253 * 32;  // the polished floor, with mirror cells (view row 5, y 96)
    World().Grid.Mirrors[5][c] = 1;
    World().Grid.Tiles[6][c] = 230 * 32;  // the wall under it, where the reflection reaches too
  }
  World().Grid.Tiles[5][3] = 253 * 32;  // a floor cell without a mirror
  TPlatform& p = Platform();
  auto frame = [&](bool sheen, std::vector<TDrawCommand>& commands) {
    StartUpOptions().MirrorSheen = sheen;
    DrawLevel(World());
    for (int line = 16; line < 96; ++line) {
      p.SetColour(LineColour(line));
      p.DrawRect(16, float(line), 208, 1);
    }
    p.SetColour(0xFFFFFF);
    DrawStatusBorder(World());
    DrawMirrors(World());
    commands = Present();
    return Headless->ShownFrame();
  };
  std::vector<TDrawCommand> classicList, sheenList;
  const TPixmap classic = frame(false, classicList);
  const TPixmap sheen = frame(true, sheenList);

  // The classic look: the mirror draws captured strips and nothing else.
  int x0 = 640, y0 = 400, x1 = 0, y1 = 0;
  bool mirrorStarted = false;
  for (const TDrawCommand& c : classicList) {
    mirrorStarted = mirrorStarted || c.Kind == TCommandKind::CaptureRegion;
    if (mirrorStarted) {
      EXPECT_NE(c.Kind, TCommandKind::DrawImage);
    }
    if (c.Kind != TCommandKind::DrawCaptured) continue;
    x0 = std::min(x0, int(c.X));
    y0 = std::min(y0, int(c.Y));
    x1 = std::max(x1, int(c.X) + c.Source.W);
    y1 = std::max(y1, int(c.Y) + c.Source.H);
  }
  const TRect reflection{x0, y0, x1 - x0, y1 - y0};
  ASSERT_EQ(reflection, (TRect{32, 196, 80, 60}));  // x 16..55, lines 98..127

  // With the sheen: outside the reflection nothing changes; inside, a pixel shows either
  // the reflection or the tile of its cell, both of them in good share.
  const uint32_t floorColour = TileImage->Frames[253].Get(0, 0),
                 wallColour = TileImage->Frames[230].Get(0, 0);
  int floorPixels = 0, wallPixels = 0, reflected = 0;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 640; ++x) {
      uint32_t before = classic.Get(x, y), after = sheen.Get(x, y);
      bool inside = x >= reflection.X && x < reflection.X + reflection.W && y >= reflection.Y &&
                    y < reflection.Y + reflection.H;
      if (!inside) {
        ASSERT_EQ(after, before) << x << " " << y;
        continue;
      }
      uint32_t tile = y < 2 * 112 ? floorColour : wallColour;
      ASSERT_TRUE(after == before || after == tile) << x << " " << y;
      if (after == before)
        ++reflected;
      else
        (tile == floorColour ? floorPixels : wallPixels)++;
    }
  const int area = reflection.W * reflection.H;
  EXPECT_GE(reflected, area / 4);
  EXPECT_GE(floorPixels, area / 8);
  EXPECT_GE(wallPixels, area / 8);
}

TEST_F(WorldTest, LevelShotDrawsEveryObjectWhereItStands) {
  SpriteImage = ColouredFrames(SpriteFrameCount);
  TileImage = ColouredFrames(TileFrameCount);
  auto map = EmptyMap();
  Floor(map, 89);
  Put(map, 9, 9, ObjectHero);           // the hero
  Put(map, 110, 80, ObjectKey0);        // a red key far from the hero's view
  Put(map, 60, 30, ObjectBoxEmpty);     // a box
  Put(map, 30, 60, ObjectFloorSpikes);  // floor spikes
  WriteMap("shot.qz1", map);
  LevelList = {"shot.qz1"};
  const TPixmap shot = DrawWholeLevel(World(), 0);
  ASSERT_EQ(shot.Width, 16 * MapColumns);
  ASSERT_EQ(shot.Height, 16 * MapRows);
  // The test's platform is current again and has nothing of the picture pending.
  ASSERT_TRUE(HasPlatform());
  EXPECT_EQ(&Platform(), Headless);
  EXPECT_TRUE(Headless->PendingCommands().empty());
  EXPECT_EQ(shot.Get(5, 89 * 16 + 5), TileImage->Frames[0x1800 / 32].Get(5, 5));  // the floor

  // Each object drawn as in play, with a view on it: its sprites are in the picture at
  // the same place on the map.
  TGameState& g = Game();
  std::vector<std::string> seen;
  for (const PActorListEntry& entry : ActorList().Entries()) {
    auto object = std::dynamic_pointer_cast<TVisibleObject>(entry);
    if (!object) continue;
    g.CamX = object->PosX - 10;
    g.CamY = object->PosY / 16 - 4;
    Present();
    if (object == World().Player)
      object->TVisibleObject::Draw();  // not blinking through the start flicker
    else
      object->Draw();
    for (const TDrawn& d : DrawnFrom(Present(), SpriteImage)) {
      int x = int(d.X) - 16 + 8 * g.CamX, y = int(d.Y) - 16 + 16 * g.CamY;
      const TPixmap& sprite = SpriteImage->Frames[size_t(d.Frame)];
      for (int k : {1, 8, 14})
        EXPECT_EQ(shot.Get(x + k, y + k), sprite.Get(k, k)) << object->ClassName();
      seen.push_back(object->ClassName());
    }
  }
  for (const char* name : {"TBraxTovar", "TKey", "TBox", "TSpikes"})
    EXPECT_NE(std::find(seen.begin(), seen.end(), name), seen.end()) << name;
}

TEST_F(WorldTest, InfoBoxOverTheStillLevelUntilEnter) {
  Headless->PressKey(KeySpace, Headless->Millisecs() + 50);
  Headless->PressKey(KeyEnter, Headless->Millisecs() + 200);
  ShowInfoBox(World(), "Hello", 16, 48, 12, 2, true);
  EXPECT_GE(Headless->Millisecs(), 200u);  // the space did not dismiss it
  const auto& frame = Headless->LastFrame();
  EXPECT_EQ(DrawnFrom(frame, Backdrop1).size(), 1u);  // the level behind the box
  std::vector<TDrawn> cursor;
  for (const TDrawn& d : DrawnFrom(frame, SpriteImage))
    if (d.X == 16 + 16 * 12 && d.Y == 48 + 16 * 2) cursor.push_back(d);
  ASSERT_EQ(cursor.size(), 1u);
  EXPECT_GE(cursor[0].Frame, 613);
  EXPECT_LE(cursor[0].Frame, 616);

  // Without needEnter any key ends it.
  const uint32_t start = Headless->Millisecs();
  Headless->PressKey(KeySpace, start + 40);
  ShowInfoBox(World(), "Note", 16, 16, 12, 3, false);
  EXPECT_LT(Headless->Millisecs() - start, 200u);
}

TEST_F(WorldTest, CameraLeftOfTheMapKeepsTilesUnderTheirObjects) {
  // A level start near the left edge puts CamX below 0 (player x - 14).
  TGameState& g = Game();
  World().Grid.Tiles[0][0] = 50 * 32;
  World().Grid.Mirrors[1][0] = 1;
  for (int32_t camX : {-8, -7}) {
    g.CamX = camX;
    DrawLevel(World());
    DrawMirrors(World());
    auto commands = Present();
    int32_t x = (0 - camX) * 8 + 16;  // where an object at half-tile 0 is drawn
    EXPECT_EQ(DrawnFrom(commands, TileImage), (std::vector<TDrawn>{{float(x), 16, 50}})) << camX;
    std::vector<TRect> captures;
    for (const TDrawCommand& c : commands)
      if (c.Kind == TCommandKind::CaptureRegion) captures.push_back(c.Source);
    EXPECT_EQ(captures, (std::vector<TRect>{{2 * x, 0, 32, 64}})) << camX;
  }
}
