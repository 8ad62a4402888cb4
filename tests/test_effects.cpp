// Shots, explosions and visual effects: movement, tile changes, counters, lifetimes and the
// sprites they draw.
#include <gtest/gtest.h>

#include "actors/effects.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world_state.h"
#include "world_fixture.h"

namespace {

class TEffectsTest : public TWorldTest {
 protected:
  void SetUp() override {
    TWorldTest::SetUp();
    Game().SetHintsActive(0);
  }

  // Where a sprite drawn at an object at (x, y) lands with the camera at 0, 0.
  static TDrawn At(int32_t x, int32_t y, int sprite, int dx = 0, int dy = 0) {
    return {float(8 * x + 16 + dx), float(y + 1 + dy), sprite};
  }
};

// --- The player's shot ---------------------------------------------------------------

TEST_F(TEffectsTest, PlayerShotFliesTwoHalfTilesPerTickWithMuzzleFlashFirst) {
  SpawnBraxShot(World(), 4, 100, 1);
  auto shot = Only<TBraxShot>();
  ASSERT_TRUE(shot);
  EXPECT_EQ(Game().PlayerShotsActive, 1);
  EXPECT_EQ(LayerOf(shot.get()), LayerHero);

  EXPECT_EQ(Tick(),
            std::vector<TDrawn>{At(6, 100, SpriteHeroMuzzle + 1)});  // muzzle flash to the right
  EXPECT_EQ(Tick(), std::vector<TDrawn>{At(8, 100, SpriteHeroShot)});
  EXPECT_EQ(Tick(), std::vector<TDrawn>{At(10, 100, SpriteHeroShot + 1)});
  // Leaves the view (CamX + 26) and gives its place back.
  for (int i = 0; i < 20 && shot->IsListed(); ++i) Tick();
  EXPECT_FALSE(shot->IsListed());
  EXPECT_EQ(shot->PosX, 28);
  EXPECT_EQ(Game().PlayerShotsActive, 0);
  EXPECT_TRUE(
      ListedObjects<TDecoExplosion>(ActorList()).empty());  // leaving the view is no explosion
}

TEST_F(TEffectsTest, PlayerShotToTheLeftShowsTheLeftMuzzle) {
  SpawnBraxShot(World(), 20, 100, 0);
  EXPECT_EQ(Tick(), std::vector<TDrawn>{At(18, 100, SpriteHeroMuzzle)});
  EXPECT_EQ(Only<TBraxShot>()->PosX, 18);
}

TEST_F(TEffectsTest, PlayerShotNextToAWallExplodesInItsFirstUpdate) {
  World().Grid.Tiles[5][6] = 0x1820;  // half-tiles 12 and 13, rows 80..95; the shot tests row 92
  SpawnBraxShot(World(), 10, 100, 1);
  auto shot = Only<TBraxShot>();
  const int64_t score = Game().Score;
  Tick();
  EXPECT_FALSE(shot->IsListed());
  EXPECT_EQ(shot->PosX, 11);  // one step, not two
  EXPECT_EQ(Game().PlayerShotsActive, 0);
  EXPECT_EQ(Game().Score, score);
  EXPECT_EQ(World().Grid.Tiles[5][6], 0x1820);
  auto deco = Only<TDecoExplosion>();
  ASSERT_TRUE(deco);
  EXPECT_EQ(deco->PosX, 11);
  EXPECT_EQ(deco->PosY, 104);
  EXPECT_EQ(LayerOf(deco.get()), LayerFront);
}

TEST_F(TEffectsTest, PlayerShotBreaksACrackedBlockUpperRowFirst) {
  // Rows tested for PosY 100: (100 - 8) div 16 = 5, and 6.
  World().Grid.Tiles[5][6] = 0x1800;
  World().Grid.Tiles[6][6] = 0x1800;
  SpawnBraxShot(World(), 10, 100, 1);
  auto shot = Only<TBraxShot>();
  const int64_t score = Game().Score;
  const size_t mark = AudioMark();
  Tick();
  EXPECT_EQ(World().Grid.Tiles[5][6], 0x17E0);
  EXPECT_EQ(World().Grid.Tiles[6][6], 0x1800);
  EXPECT_FALSE(World().Grid.IsSolid(12, 5 * 16));
  EXPECT_EQ(Game().Score, score + 10);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundBlockBreaks));
  EXPECT_FALSE(shot->IsListed());
  EXPECT_EQ(Game().PlayerShotsActive, 0);
  auto smoke = Only<TSmokeCloud>();
  ASSERT_TRUE(smoke);
  EXPECT_EQ(smoke->PosX, 11);
  EXPECT_EQ(smoke->PosY, 5 * 16 + 15);
  EXPECT_EQ(LayerOf(smoke.get()), LayerEffects);
  EXPECT_EQ(ListedObjects<TDecoExplosion>(ActorList()).size(), 1u);
}

TEST_F(TEffectsTest, CrackedBlockInTheLowerRowBreaksEvenBehindAWall) {
  World().Grid.Tiles[5][6] = 0x1820;  // plain wall in the upper row
  World().Grid.Tiles[6][6] = 0x1800;
  SpawnBraxShot(World(), 10, 100, 1);
  Tick();
  EXPECT_EQ(World().Grid.Tiles[5][6], 0x1820);
  EXPECT_EQ(World().Grid.Tiles[6][6], 0x17E0);
  EXPECT_EQ(Only<TSmokeCloud>()->PosY, 6 * 16 + 15);
  EXPECT_EQ(Game().Score, 10);
}

TEST_F(TEffectsTest, OnlyTheExactCrackedCodeBreaks) {
  World().Grid.Tiles[5][6] = 0x1801;
  SpawnBraxShot(World(), 10, 100, 1);
  Tick();
  EXPECT_EQ(World().Grid.Tiles[5][6], 0x1801);
  EXPECT_EQ(Game().Score, 0);
  EXPECT_TRUE(ListedObjects<TSmokeCloud>(ActorList()).empty());
  EXPECT_EQ(ListedObjects<TDecoExplosion>(ActorList()).size(), 1u);  // an ordinary wall hit
}

TEST_F(TEffectsTest, ShotLeavingTheMapChangesNoCell) {
  World().Grid.Tiles[5][0] = 0x1800;
  World().Grid.Tiles[6][0] = 0x1800;
  SpawnBraxShot(World(), 0, 100, 0);  // steps to half-tile -1: outside, solid
  auto shot = Only<TBraxShot>();
  Tick();
  EXPECT_FALSE(shot->IsListed());
  EXPECT_EQ(World().Grid.Tiles[5][0], 0x1800);
  EXPECT_EQ(World().Grid.Tiles[6][0], 0x1800);
  EXPECT_EQ(Game().Score, 0);
  EXPECT_TRUE(ListedObjects<TSmokeCloud>(ActorList()).empty());
}

TEST_F(TEffectsTest, ShotCountersNeverFallBelowZero) {
  SpawnBraxShot(World(), 10, 100, 1);
  SpawnEnemyShot(World(), 10, 100, 0);
  auto shot = Only<TBraxShot>();
  auto enemy = Only<TEnemyShot>();
  EXPECT_EQ(Game().PlayerShotsActive, 1);
  EXPECT_EQ(Game().EnemyShotsActive, 1);
  for (int i = 0; i < 3; ++i) {
    shot->Remove();
    enemy->Remove();
    shot->Explode();
    enemy->Explode();
  }
  EXPECT_EQ(Game().PlayerShotsActive, 0);
  EXPECT_EQ(Game().EnemyShotsActive, 0);
  // The counters are free again.
  SpawnBraxShot(World(), 10, 100, 1);
  EXPECT_EQ(ListedObjects<TBraxShot>(ActorList()).size(), 1u);
}

TEST_F(TEffectsTest, FiringPlayerShotsTheWholeWayThroughTheTick) {
  SolidRow(11);
  PlacePlayer(3, 10);
  Game().FirePower = 2;
  GameTick(World(), false, false, false, false, true, false);
  GameTick(World(), false, false, false, false, false, false);
  GameTick(World(), false, false, false, false, true, false);
  EXPECT_EQ(ListedObjects<TBraxShot>(ActorList()).size(), 2u);
  EXPECT_EQ(Game().PlayerShotsActive, 2);
  for (int i = 0; i < 20; ++i) GameTick(World(), false, false, false, false, false, false);
  EXPECT_TRUE(ListedObjects<TBraxShot>(ActorList()).empty());
  EXPECT_EQ(Game().PlayerShotsActive, 0);
}

// --- The robots' shot ----------------------------------------------------------------

TEST_F(TEffectsTest, EnemyShotWaitsOneTickThenFliesOneHalfTilePerTick) {
  SpawnEnemyShot(World(), 20, 100, 0);
  SpawnEnemyShot(World(), 4, 60, 1);
  auto shots = ListedObjects<TEnemyShot>(ActorList());
  ASSERT_EQ(shots.size(), 2u);
  EXPECT_EQ(LayerOf(shots[0].get()), LayerObjects);
  EXPECT_EQ(Tick(), (std::vector<TDrawn>{At(20, 100, SpriteEnemyMuzzle),
                                         At(4, 60, SpriteEnemyMuzzle + 1)}));
  EXPECT_EQ(Tick(), (std::vector<TDrawn>{At(19, 100, SpriteEnemyShot + 1),
                                         At(5, 60, SpriteEnemyShot + 2)}));
  EXPECT_EQ(Tick(),
            (std::vector<TDrawn>{At(18, 100, SpriteEnemyShot), At(6, 60, SpriteEnemyShot + 3)}));
  EXPECT_EQ(Tick(), (std::vector<TDrawn>{At(17, 100, SpriteEnemyShot + 1),
                                         At(7, 60, SpriteEnemyShot + 2)}));
}

TEST_F(TEffectsTest, EnemyShotIsRemovedOffScreenAndAtWalls) {
  SpawnEnemyShot(World(), 20, 100, 1);
  auto away = Only<TEnemyShot>();
  for (int i = 0; i < 7; ++i) Tick();
  EXPECT_TRUE(away->IsListed());
  EXPECT_EQ(away->PosX, 26);  // still in view (CamX + 26)
  Tick();
  EXPECT_FALSE(away->IsListed());
  EXPECT_EQ(away->PosX, 27);
  EXPECT_EQ(Game().EnemyShotsActive, 0);

  // Blocked: the column ahead (PosX + 1 - Direction) is solid at PosY - 15 or PosY - 7.
  World().Grid.Tiles[5][5] = 0x1820;    // rows 80..95, half-tiles 10 and 11
  SpawnEnemyShot(World(), 10, 102, 0);  // rows tested: 87 (solid) and 95
  auto blocked = Only<TEnemyShot>();
  Tick();
  EXPECT_FALSE(blocked->IsListed());
  EXPECT_EQ(blocked->PosX, 10);
  EXPECT_EQ(Game().EnemyShotsActive, 0);
  EXPECT_TRUE(ListedObjects<TDecoExplosion>(ActorList()).empty());

  SpawnEnemyShot(World(), 10, 104, 0);  // rows 89 (solid) and 97
  SpawnEnemyShot(World(), 10, 111, 0);  // rows 96 and 104: free
  auto shots = ListedObjects<TEnemyShot>(ActorList());
  ASSERT_EQ(shots.size(), 2u);
  Tick();
  EXPECT_FALSE(shots[0]->IsListed());
  EXPECT_TRUE(shots[1]->IsListed());
}

TEST_F(TEffectsTest, EnemyShotHurtsAndPushesThePlayerOnlyWhenTheHitIsTaken) {
  SolidRow(11);
  PlacePlayer(5, 10);  // PosX 10, PosY 175
  SpawnEnemyShot(World(), 11, 175, 1);
  auto shot = Only<TEnemyShot>();
  Tick();
  EXPECT_FALSE(shot->IsListed());
  EXPECT_EQ(Game().Health, 8);
  EXPECT_EQ(World().Player->PosX, 11);
  EXPECT_EQ(Game().EnemyShotsActive, 0);

  // Invincible now: the shot still goes, the player stays.
  ASSERT_GT(World().Player->InvincibilityTimer, 0);
  SpawnEnemyShot(World(), 12, 175, 0);
  auto second = Only<TEnemyShot>();
  Tick();
  EXPECT_FALSE(second->IsListed());
  EXPECT_EQ(Game().Health, 8);
  EXPECT_EQ(World().Player->PosX, 11);
  EXPECT_EQ(Game().EnemyShotsActive, 0);
}

// --- The floor explosion -------------------------------------------------------------

TEST_F(TEffectsTest, ExplosionLivesSixTicksAndDrawsItsSixFrames) {
  SpawnExplosion(World(), 10, 100, 0);
  auto blast = Only<TExplosion>();
  EXPECT_EQ(LayerOf(blast.get()), LayerObjects);
  for (int frame = 0; frame < 6; ++frame)
    EXPECT_EQ(Tick(), std::vector<TDrawn>{At(10, 100, SpriteFloorBlast + frame)});
  EXPECT_TRUE(blast->IsListed());
  EXPECT_TRUE(Tick().empty());
  EXPECT_FALSE(blast->IsListed());
  EXPECT_EQ(ListedObjects<TExplosion>(ActorList()).size(), 0u);  // spread 0 stays alone
}

// Runs the pass until no explosion is left; the x of every blast and its spread.
std::vector<std::pair<int32_t, int32_t>> RunBlasts() {
  std::vector<std::pair<int32_t, int32_t>> seen;
  for (int tick = 0; tick < 60 && !ListedObjects<TExplosion>(ActorList()).empty(); ++tick) {
    for (const auto& e : ListedObjects<TExplosion>(ActorList())) {
      std::pair<int32_t, int32_t> blast{e->PosX, e->Direction};
      if (std::find(seen.begin(), seen.end(), blast) == seen.end()) seen.push_back(blast);
    }
    TickActorList(ActorList());
  }
  return seen;
}

TEST_F(TEffectsTest, ExplosionSpreadsAlongTheFloorOnItsThirdUpdate) {
  SolidRow(7);
  SpawnExplosion(World(), 20, 111, -3);
  auto first = Only<TExplosion>();
  TickActorList(ActorList());
  TickActorList(ActorList());
  EXPECT_EQ(ListedObjects<TExplosion>(ActorList()).size(), 1u);
  TickActorList(ActorList());  // third update: the next blast two columns to the left
  auto blasts = ListedObjects<TExplosion>(ActorList());
  ASSERT_EQ(blasts.size(), 2u);
  EXPECT_EQ(blasts[1]->PosX, 18);
  EXPECT_EQ(blasts[1]->PosY, 111);
  EXPECT_EQ(blasts[1]->Direction, -2);
  EXPECT_EQ(blasts[1]->Timer, 1);  // added behind the first: visited in the same pass
  auto rest = RunBlasts();
  EXPECT_EQ(rest,
            (std::vector<std::pair<int32_t, int32_t>>{{20, -3}, {18, -2}, {16, -1}, {14, 0}}));
}

TEST_F(TEffectsTest, WallsAndGapsEndTheChain) {
  SolidRow(7);
  World().Grid.Tiles[6][12] = 0x1820;  // a wall at half-tiles 24, 25
  World().Grid.Tiles[7][7] = 0;        // a gap at half-tiles 14, 15
  SpawnExplosion(World(), 20, 111, 3);
  SpawnExplosion(World(), 20, 111, -3);
  auto blasts = RunBlasts();
  EXPECT_EQ(blasts, (std::vector<std::pair<int32_t, int32_t>>{
                        {20, 3}, {20, -3}, {22, 2}, {18, -2}, {16, -1}}));
}

TEST_F(TEffectsTest, ExplosionHurtsThePlayerItTouches) {
  SolidRow(11);
  PlacePlayer(5, 10);
  SpawnExplosion(World(), 10, 175, 0);
  Tick();
  EXPECT_EQ(Game().Health, 8);
  EXPECT_EQ(Game().GotHit, 1);
  SpawnExplosion(World(), 14, 175, 0);  // two columns away: no touch
  World().Player->InvincibilityTimer = 0;
  ListedObjects<TExplosion>(ActorList()).front()->Remove();
  Tick();
  EXPECT_EQ(Game().Health, 8);
}

// --- Visual effects ------------------------------------------------------------------

TEST_F(TEffectsTest, EffectsShowTheirFramesAndLeaveAtTheirEndValue) {
  struct TCase {
    void (*Spawn)(TWorld&, int32_t, int32_t);
    const char* Name;
    int FirstSprite;
    int Frames;
    int Layer;
  };
  const TCase cases[] = {{SpawnSmokeCloud, "TSmokeCloud", SpriteSmokeCloud + 1, 4, LayerEffects},
                         {SpawnDust, "TDust", SpriteDust + 1, 4, LayerEffects},
                         {SpawnDecoExplosion, "TDecoExplosion", SpriteFireball + 1, 5, LayerFront}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ResetActorList(World());
    c.Spawn(World(), 7, 50);
    auto listed = Listed(c.Name);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(LayerOf(listed[0].get()), c.Layer);
    for (int i = 0; i < c.Frames; ++i)
      EXPECT_EQ(Tick(), std::vector<TDrawn>{At(7, 50, c.FirstSprite + i)});
    EXPECT_TRUE(Tick().empty());
    EXPECT_FALSE(listed[0]->IsListed());
  }
}

TEST_F(TEffectsTest, WhiteBallFlashesThenShowsItsRing) {
  SpawnWhiteBall(World(), 7, 50);
  auto ball = Only<TWhiteBall>();
  EXPECT_EQ(LayerOf(ball.get()), LayerFront);
  EXPECT_EQ(Tick(), std::vector<TDrawn>{At(7, 50, SpriteWhiteFlash)});
  EXPECT_TRUE(Tick().empty());
  EXPECT_EQ(Tick(),
            (std::vector<TDrawn>{
                At(7, 50, SpriteFlashRing, -8, -8), At(7, 50, SpriteFlashRing + 1, 8, -8),
                At(7, 50, SpriteFlashRing + 2, -8, 8), At(7, 50, SpriteFlashRing + 3, 8, 8)}));
  EXPECT_TRUE(Tick().empty());
  EXPECT_FALSE(ball->IsListed());
}

TEST_F(TEffectsTest, ParticlesFollowTheirPathsAndMoveOnceMoreWhenRemoved) {
  World().ParticleColourCounter = 0;
  SpawnParticles(World(), 40, 400);
  auto parts = ListedObjects<TParticle>(ActorList());
  ASSERT_EQ(parts.size(), 4u);
  const int colours[4] = {1, 3, 0, 2};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(parts[size_t(i)]->ParticleIndex, i);
    EXPECT_EQ(parts[size_t(i)]->CurrentFrame, colours[i]);
  }
  Game().CamY = 20;  // bring them into the view: nothing depends on visibility
  auto first = Tick();
  ASSERT_EQ(first.size(), 4u);
  // Particle 1 started at (40, 391) and took the step (0, -8); colour 3.
  EXPECT_EQ(first[1], (TDrawn{float(8 * 40 + 16), float(383 - 320 + 1), SpriteParticle + 3}));

  for (int i = 0; i < 8; ++i) EXPECT_EQ(Tick().size(), 4u);
  EXPECT_TRUE(Tick().empty());  // the tenth update removes them
  const int32_t endX[4] = {40 - 10, 40 - 2, 41 + 4, 41 + 10};
  const int32_t endY[4] = {401 + 63, 391 - 12, 393 + 6, 401 + 24};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(parts[size_t(i)]->IsListed());
    EXPECT_EQ(parts[size_t(i)]->PosX, endX[i]);
    EXPECT_EQ(parts[size_t(i)]->PosY, endY[i]);
    EXPECT_EQ(parts[size_t(i)]->Timer, 10);
  }
}

TEST_F(TEffectsTest, MetalShardJumpsFallsAndShowsFiveFrames) {
  SpawnMetalShard(World(), 10, 100);
  auto shard = Only<TMetalShard>();
  EXPECT_EQ(LayerOf(shard.get()), LayerEffects);
  ASSERT_EQ(shard->Frames.size(), 5u);
  EXPECT_EQ(shard->Frames[4].SpriteIndices,
            (std::vector<int32_t>{SpriteMetalShard + 8, SpriteMetalShard + 9}));

  const int32_t steps[13] = {-4, -2, -1, 0, 1, 2, 2, 4, 4, 8, 8, 16, 16};
  int32_t y = 100;
  for (int t = 1; t <= 13; ++t) {
    SCOPED_TRACE(t);
    y += steps[t - 1];
    const int frame = (t - 1) / 3;
    // Two sprites side by side, the frame one half-tile left of PosX.
    EXPECT_EQ(Tick(), (std::vector<TDrawn>{
                          {float(8 * 9 + 16), float(y + 1), SpriteMetalShard + 2 * frame},
                          {float(8 * 9 + 32), float(y + 1), SpriteMetalShard + 2 * frame + 1}}));
  }
  EXPECT_EQ(Tick().size(), 2u);  // fourteenth update: still shown
  EXPECT_TRUE(Tick().empty());
  EXPECT_FALSE(shard->IsListed());
}

}  // namespace
