// The walking robots: patrols, turns, fire, hits and deaths.
#include "actors/walkers.h"

#include <algorithm>

#include "actor_fixture.h"
#include "actors/effects.h"
#include "data/object_codes.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world_state.h"

namespace {

class TWalkerTest : public TActorTest {
 protected:
  // The player standing right where an actor stands, touching it.
  static void PlayerOn(const TActor& actor) {
    World().Player->PosX = actor.PosX;
    World().Player->PosY = actor.PosY;
    World().Player->InvincibilityTimer = 0;
  }
};

// --- Crawl bot ---------------------------------------------------------------------------

TEST_F(TWalkerTest, CrawlBotTurnsWhereItsWallEndsAndWhereItsPathIsBlocked) {
  for (int row = 15; row <= 20; ++row)
    World().Grid.Tiles[row][9] = 0x1800;  // wall left of column 10
  Fill(0, 127, 21);
  SpawnCrawlBot(World(), 0, 10, 20);
  auto bot = Last<TCrawlBot>();
  ASSERT_TRUE(bot);
  EXPECT_EQ(bot->Direction, -1);
  Game().CamY = 11;

  int32_t low = bot->PosY, high = bot->PosY;
  for (int tick = 0; tick < 300; ++tick) {
    bot->Update();
    low = std::min(low, bot->PosY);
    high = std::max(high, bot->PosY);
  }
  EXPECT_EQ(low, 255) << "turns one pixel above the top of its wall";
  EXPECT_EQ(high, 335) << "turns on the floor";

  // Off screen it sleeps.
  Game().CamY = 0;
  const int32_t y = bot->PosY;
  bot->Update();
  EXPECT_EQ(bot->PosY, y);
}

TEST_F(TWalkerTest, CrawlBotWithItsWallOnTheRightFollowsThatSide) {
  for (int row = 15; row <= 20; ++row)
    World().Grid.Tiles[row][11] = 0x1800;  // wall right of column 10
  Fill(0, 127, 21);
  SpawnCrawlBot(World(), 1, 10, 20);
  auto bot = Last<TCrawlBot>();
  Game().CamY = 11;
  bot->Update();
  EXPECT_EQ(bot->PosY, 334) << "climbs along the right-hand wall";

  Present();
  bot->Draw();
  const auto drawn = DrawnFrom(Present(), SpriteImage);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0],
            (TDrawn{8 * 20 + 16, 334 - 16 * 11 + 1, SpriteCrawlBotWallRight + 3 - 334 % 4}));
}

TEST_F(TWalkerTest, CrawlBotHurtsOnContactAndDiesFromOneShot) {
  Fill(0, 127, 21);
  SpawnCrawlBot(World(), 0, 10, 20);
  auto bot = Last<TCrawlBot>();
  PlacePlayer(1, 20);
  PlayerOn(*bot);
  bot->CheckCollisions();
  EXPECT_EQ(Game().Health, 8);
  EXPECT_TRUE(bot->IsListed());

  auto first = Shoot(bot->PosX, bot->PosY, 1);
  auto second = Shoot(bot->PosX, bot->PosY, 1);
  const size_t mark = AudioMark();
  bot->CheckCollisions();
  EXPECT_FALSE(bot->IsListed());
  EXPECT_FALSE(first->IsListed());
  EXPECT_TRUE(second->IsListed()) << "first-hit: one shot per tick";
  EXPECT_EQ(Game().Score, 100);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundRobotHit));
  ASSERT_EQ(Count("TSmokeCloud"), 1);
  EXPECT_EQ(AsGame(Listed("TSmokeCloud")[0])->PosY, 335 - 8);
  EXPECT_EQ(Count("TDecoExplosion"), 1);
}

// --- Tech bot ----------------------------------------------------------------------------

TEST_F(TWalkerTest, TechBotWalksAColumnEveryThirdTickAndTurnsAtLedgeEnds) {
  Fill(5, 10, 21);
  SpawnTechBot(World(), 7, 20);
  auto bot = Last<TTechBot>();
  Game().CamY = 11;
  bot->Update();
  bot->Update();
  EXPECT_EQ(bot->PosX, 14);
  bot->Update();
  EXPECT_EQ(bot->PosX, 13);

  int32_t low = bot->PosX, high = bot->PosX;
  for (int tick = 0; tick < 300; ++tick) {
    bot->Update();
    low = std::min(low, bot->PosX);
    high = std::max(high, bot->PosX);
    ASSERT_EQ(bot->PosY, 335) << "never steps off the ledge";
    ASSERT_LE(bot->CurrentFrame, 2);
  }
  EXPECT_EQ(low, 10);
  EXPECT_EQ(high, 20);
}

TEST_F(TWalkerTest, TechBotFallsATilePerTickAndWakesOneRowAboveTheView) {
  SpawnTechBot(World(), 7, 9);
  auto bot = Last<TTechBot>();
  Game().CamY = 10;
  bot->PosY = 159;
  EXPECT_TRUE(bot->Visible());
  EXPECT_FALSE(bot->TActor::Visible());
  bot->Update();
  EXPECT_EQ(bot->PosY, 175);
  Game().CamY = 0;
  bot->Update();
  EXPECT_EQ(bot->PosY, 175) << "off screen it waits";
}

TEST_F(TWalkerTest, TechBotShotFlyingRightIsPushedRightAndBreaksUpHarmlessly) {
  Fill(0, 127, 21);
  SpawnTechBot(World(), 7, 20);
  auto bot = Last<TTechBot>();
  PlacePlayer(1, 20);
  World().Player->PosX = 15;
  World().Player->PosY = 335;
  auto shot = Shoot(14, 335, 1);
  const size_t mark = AudioMark();
  bot->CheckCollisions();
  EXPECT_EQ(bot->PosX, 15);
  EXPECT_EQ(bot->Exploding, 1);
  EXPECT_EQ(bot->CurrentFrame, 3);
  EXPECT_FALSE(shot->IsListed());
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundRobotHit));
  EXPECT_EQ(Game().Health, 9) << "no contact test in the tick of the hit";

  auto another = Shoot(15, 335, 0);
  bot->CheckCollisions();
  EXPECT_TRUE(another->IsListed());
  EXPECT_EQ(Game().Health, 9);

  for (int tick = 0; tick < 6; ++tick) bot->Update();
  EXPECT_EQ(bot->CurrentFrame, 9);
  EXPECT_TRUE(bot->IsListed());
  EXPECT_EQ(Game().Score, 0);
  bot->Update();
  EXPECT_FALSE(bot->IsListed());
  EXPECT_EQ(Game().Score, 100);
  EXPECT_EQ(Count("TDecoExplosion"), 1);
}

TEST_F(TWalkerTest, TechBotShotFlyingLeftIsPushedLeftAndUnhitBotHurts) {
  Fill(0, 127, 21);
  SpawnTechBot(World(), 7, 20);
  auto bot = Last<TTechBot>();
  PlacePlayer(1, 20);
  PlayerOn(*bot);
  bot->CheckCollisions();
  EXPECT_EQ(Game().Health, 8);
  Shoot(14, 335, 0);
  bot->CheckCollisions();
  EXPECT_EQ(bot->PosX, 13);
}

// --- Flame bot ---------------------------------------------------------------------------

TEST_F(TWalkerTest, FlameBotPatrolsALedgeAndSwallowsEveryShot) {
  Fill(5, 10, 21);
  SpawnFlameBot(World(), 7, 20);
  auto bot = Last<TFlameBot>();
  int32_t low = bot->PosX, high = bot->PosX;
  for (int tick = 0; tick < 300; ++tick) {
    bot->Update();
    low = std::min(low, bot->PosX);
    high = std::max(high, bot->PosX);
    ASSERT_EQ(bot->PosY, 335);
    ASSERT_EQ(bot->CurrentFrame, bot->Timer / 2 + 3 * bot->Direction);
  }
  EXPECT_EQ(low, 10);
  EXPECT_EQ(high, 20);

  auto a = Shoot(bot->PosX, 335, 1);
  auto b = Shoot(bot->PosX + 1, 330, 0);
  bot->CheckCollisions();
  EXPECT_FALSE(a->IsListed());
  EXPECT_FALSE(b->IsListed());
  EXPECT_TRUE(bot->IsListed());
  EXPECT_EQ(Game().Score, 0);
  EXPECT_EQ(Game().PlayerShotsActive, 0);
}

TEST_F(TWalkerTest, FlameBotInTheAirFallsAndFacesLeft) {
  SpawnFlameBot(World(), 7, 20);
  auto bot = Last<TFlameBot>();
  bot->Direction = 1;
  bot->Update();  // odd tick in the air
  EXPECT_EQ(bot->PosY, 343);
  EXPECT_EQ(bot->Direction, 0);
  bot->Update();  // even tick: still walks
  EXPECT_EQ(bot->PosY, 351);
  EXPECT_EQ(bot->PosX, 13);

  PlacePlayer(1, 20);
  PlayerOn(*bot);
  bot->CheckCollisions();
  EXPECT_EQ(Game().Health, 8);
}

// --- Bunny bot ---------------------------------------------------------------------------

TEST_F(TWalkerTest, BunnyTouchingThePlayerSpinsAndBurstsForAPopup) {
  Fill(0, 127, 21);
  SpawnBunnyBot(World(), 20, 20);
  EXPECT_EQ(Game().BunniesTotal, 1);
  auto bunny = Last<TBunnyBot>();
  EXPECT_EQ(bunny->CurrentFrame, 6);
  PlacePlayer(1, 20);

  // Facing the viewer it cannot be hit yet.
  auto shot = Shoot(bunny->PosX, bunny->PosY, 1);
  bunny->CheckCollisions();
  EXPECT_TRUE(shot->IsListed());
  shot->Remove();
  for (int tick = 0; tick < 3; ++tick) bunny->Update();
  ASSERT_LE(bunny->CurrentFrame, 5);

  PlayerOn(*bunny);
  const size_t mark = AudioMark();
  bunny->CheckCollisions();
  EXPECT_EQ(Game().Health, 8);
  EXPECT_EQ(bunny->Rotating, 1);
  EXPECT_EQ(bunny->Timer, 0);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundBunnySpins));

  shot = Shoot(bunny->PosX, bunny->PosY, 1);
  bunny->CheckCollisions();
  EXPECT_TRUE(shot->IsListed()) << "a spinning bunny cannot be shot";
  shot->Remove();

  std::vector<int32_t> frames;
  for (int tick = 1; tick < 20; ++tick) {
    bunny->Update();
    if (tick <= 4) frames.push_back(bunny->CurrentFrame);
  }
  EXPECT_EQ(frames, (std::vector<int32_t>{6, 3, 7, 0}));
  EXPECT_TRUE(bunny->IsListed());
  EXPECT_EQ(Game().Score, 0);
  bunny->Update();
  EXPECT_FALSE(bunny->IsListed());
  EXPECT_EQ(Game().Score, 5000);
  EXPECT_EQ(Game().BunniesShot, 1);
  ASSERT_EQ(Count("TBonusFlasher"), 1);
  EXPECT_EQ(Field(Listed("TBonusFlasher")[0], "BaseSprite"), SpriteScorePopup + 10);
  EXPECT_EQ(Count("TSmokeCloud"), 6);

  // A spin restored with a negative Timer keeps to the four-frame sequence.
  SpawnBunnyBot(World(), 40, 20);
  auto loaded = Last<TBunnyBot>();
  loaded->Rotating = 1;
  loaded->Timer = -3;
  loaded->Update();
  EXPECT_EQ(loaded->CurrentFrame, 3);
  EXPECT_TRUE(loaded->IsListed());
}

TEST_F(TWalkerTest, ShotBunnyBurstsForTwoHundredAndCounts) {
  Fill(0, 127, 21);
  SpawnBunnyBot(World(), 20, 20);
  auto bunny = Last<TBunnyBot>();
  bunny->CurrentFrame = 1;
  auto first = Shoot(bunny->PosX, bunny->PosY, 0);
  auto second = Shoot(bunny->PosX, bunny->PosY, 0);
  const size_t mark = AudioMark();
  bunny->CheckCollisions();
  EXPECT_FALSE(bunny->IsListed());
  EXPECT_FALSE(first->IsListed());
  EXPECT_TRUE(second->IsListed());
  EXPECT_EQ(Game().Score, 200);
  EXPECT_EQ(Game().BunniesShot, 1);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundRobotHit));
  auto clouds = Listed("TSmokeCloud");
  ASSERT_EQ(clouds.size(), 6u);
  EXPECT_EQ(AsGame(clouds[5])->PosX, bunny->PosX + 1);
  EXPECT_EQ(AsGame(clouds[5])->PosY, bunny->PosY - 24);
}

TEST_F(TWalkerTest, BunnyTurnsAtAWallAndDropsOffEdges) {
  Fill(5, 12, 21);
  World().Grid.Tiles[20][9] = 0x1800;  // wall left of column 10
  SpawnBunnyBot(World(), 10, 20);
  auto bunny = Last<TBunnyBot>();
  bunny->Update();
  EXPECT_EQ(bunny->Direction, 1);
  EXPECT_EQ(bunny->CurrentFrame, 7);
  auto shot = Shoot(bunny->PosX, bunny->PosY, 0);
  bunny->CheckCollisions();
  EXPECT_TRUE(shot->IsListed()) << "a turning bunny cannot be shot";
  shot->Remove();

  int32_t high = bunny->PosX;
  for (int tick = 0; tick < 120 && bunny->PosY == 335; ++tick) {
    bunny->Update();
    high = std::max(high, bunny->PosX);
  }
  EXPECT_GT(bunny->PosY, 335) << "walks off the end of the floor";
  EXPECT_GE(high, 25);
  const int32_t y = bunny->PosY;
  bunny->Update();
  EXPECT_EQ(bunny->PosY, y + 8);
}

// --- Cannon bot --------------------------------------------------------------------------

TEST_F(TWalkerTest, CannonBotPatrolsBetweenAGapAndAWallFiringAtEachEnd) {
  Fill(3, 20, 21);
  World().Grid.Tiles[20][13] = 0x1800;  // wall at half-tiles 26 and 27
  SpawnCannonBot(World(), 8, 20);
  auto bot = Last<TCannonBot>();
  EXPECT_EQ(bot->Health, 2);
  EXPECT_EQ(bot->Width, 4);

  struct TShotSeen {
    int32_t X, Y;
    int64_t Direction;
    int32_t BotX;
    bool operator==(const TShotSeen&) const = default;
  };
  std::vector<TShotSeen> shots;
  int32_t low = bot->PosX, high = bot->PosX;
  for (int tick = 0; tick < 120; ++tick) {
    bot->Update();
    low = std::min(low, bot->PosX);
    high = std::max(high, bot->PosX);
    for (const auto& s : Listed("TEnemyShot")) {
      shots.push_back({AsGame(s)->PosX, AsGame(s)->PosY, Field(s, "Direction"), bot->PosX});
      s->Remove();
    }
    ASSERT_EQ(bot->CurrentFrame, bot->Timer / 4 + 2 * bot->Direction);
  }
  EXPECT_EQ(low, 5) << "enters the floorless column before turning";
  EXPECT_EQ(high, 22) << "touches the column before the wall, then steps back";
  ASSERT_GE(shots.size(), 2u);
  EXPECT_EQ(shots[0], (TShotSeen{6 + 4, 334, 1, 6}));
  EXPECT_EQ(shots[1], (TShotSeen{21 - 2, 334, 0, 21}));
  EXPECT_EQ(Game().EnemyShotsActive, 0);
}

TEST_F(TWalkerTest, CannonBotFallsWhenUnsupported) {
  SpawnCannonBot(World(), 8, 20);
  auto bot = Last<TCannonBot>();
  bot->Direction = 1;
  bot->Update();
  EXPECT_EQ(bot->PosY, 339);
  EXPECT_EQ(bot->CurrentFrame, 2);
  EXPECT_EQ(bot->State, 0);
}

TEST_F(TWalkerTest, CannonBotTakesTwoHitsAndStopsConsumingWhenDestroyed) {
  Fill(0, 127, 21);
  SpawnCannonBot(World(), 8, 20);
  auto bot = Last<TCannonBot>();
  PlacePlayer(1, 20);

  auto first = Shoot(bot->PosX + 2, 335, 1);
  bot->CheckCollisions();
  EXPECT_FALSE(first->IsListed());
  EXPECT_EQ(bot->Health, 1);
  EXPECT_TRUE(bot->IsListed());
  EXPECT_EQ(Game().Score, 0);
  for (int tick = 0; tick < 8; ++tick) bot->Update();
  EXPECT_EQ(Count("TSmokeCloud"), 2) << "a damaged cannon smokes every fourth tick";

  PlayerOn(*bot);
  auto a = Shoot(bot->PosX, 335, 1);
  auto b = Shoot(bot->PosX, 335, 1);
  auto c = Shoot(bot->PosX, 335, 1);
  const size_t mark = AudioMark();
  bot->CheckCollisions();
  EXPECT_FALSE(bot->IsListed());
  EXPECT_FALSE(a->IsListed());
  EXPECT_TRUE(b->IsListed()) << "the first hit already destroyed it";
  EXPECT_TRUE(c->IsListed());
  EXPECT_EQ(Game().Score, 2500);
  EXPECT_EQ(Game().Health, 9) << "destroyed before the contact test";
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundRobotHit));
  EXPECT_EQ(Count("TParticle"), 8);
  EXPECT_EQ(Count("TDecoExplosion"), 1);
}

TEST_F(TWalkerTest, CannonBotDrawsTwoSpritesWide) {
  Fill(0, 127, 21);
  SpawnCannonBot(World(), 8, 20);
  auto bot = Last<TCannonBot>();
  Game().CamY = 11;
  Present();
  bot->Draw();
  const auto drawn = DrawnFrom(Present(), SpriteImage);
  EXPECT_EQ(drawn,
            (std::vector<TDrawn>{{144, 160, SpriteCannonBot}, {160, 160, SpriteCannonBot + 1}}));
  PlacePlayer(1, 20);
  PlayerOn(*bot);
  bot->CheckCollisions();
  EXPECT_EQ(Game().Health, 8);
}

// --- Wheel bot ---------------------------------------------------------------------------

TEST_F(TWalkerTest, WheelBotRollsOnOddTicksAndTurnsAtLedgeEnds) {
  Fill(5, 10, 21);
  SpawnWheelBot(World(), 7, 20);
  auto bot = Last<TWheelBot>();
  EXPECT_EQ(bot->PosX, 15);
  Game().Timer = 2;
  bot->Update();
  EXPECT_EQ(bot->PosX, 15) << "stands still on even ticks";

  int32_t low = bot->PosX, high = bot->PosX;
  for (int tick = 0; tick < 100; ++tick) {
    Game().Timer = tick;
    bot->Update();
    low = std::min(low, bot->PosX);
    high = std::max(high, bot->PosX);
    ASSERT_EQ(bot->PosY, 335);
  }
  EXPECT_EQ(low, 10);
  EXPECT_EQ(high, 20);
}

TEST_F(TWalkerTest, WheelBotFlameShieldSwallowsShotsWithoutDamage) {
  Fill(0, 127, 21);
  SpawnWheelBot(World(), 7, 20);
  auto bot = Last<TWheelBot>();
  bot->Timer = 26;
  bot->Update();
  EXPECT_EQ(bot->FlameOn, 0);
  EXPECT_LT(bot->CurrentFrame, 4);
  bot->Update();
  EXPECT_EQ(bot->FlameOn, 1);
  EXPECT_GE(bot->CurrentFrame, 4);

  auto a = Shoot(bot->PosX, 335, 1);
  auto b = Shoot(bot->PosX, 335, 1);
  bot->CheckCollisions();
  EXPECT_FALSE(a->IsListed());
  EXPECT_FALSE(b->IsListed());
  EXPECT_EQ(bot->Health, 2);

  bot->Timer = 59;
  bot->Update();
  EXPECT_EQ(bot->Timer, 0);
  EXPECT_EQ(bot->FlameOn, 0);
  EXPECT_LT(bot->CurrentFrame, 4);
}

TEST_F(TWalkerTest, WheelBotDiesOnTheSecondUnshieldedHit) {
  Fill(0, 127, 21);
  SpawnWheelBot(World(), 7, 20);
  auto bot = Last<TWheelBot>();
  PlacePlayer(1, 20);
  PlayerOn(*bot);
  auto a = Shoot(bot->PosX, 335, 1);
  auto b = Shoot(bot->PosX, 335, 1);
  auto c = Shoot(bot->PosX, 335, 1);
  const size_t mark = AudioMark();
  bot->CheckCollisions();
  EXPECT_EQ(Game().Health, 8) << "contact comes before the shots";
  EXPECT_FALSE(bot->IsListed());
  EXPECT_FALSE(a->IsListed());
  EXPECT_FALSE(b->IsListed());
  EXPECT_TRUE(c->IsListed());
  EXPECT_EQ(Game().Score, 5000);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundExplosion));
  EXPECT_EQ(Count("TDecoExplosion"), 3);
  EXPECT_EQ(Count("TParticle"), 8);
}

TEST_F(TWalkerTest, DamagedWheelBotSmokesAtTheStartOfEachRoll) {
  Fill(0, 127, 21);
  SpawnWheelBot(World(), 7, 20);
  auto bot = Last<TWheelBot>();
  Shoot(bot->PosX, 335, 1);
  bot->CheckCollisions();
  ASSERT_EQ(bot->Health, 1);
  for (int tick = 0; tick < 8; ++tick) bot->Update();
  EXPECT_EQ(Count("TSmokeCloud"), 2);
}

// --- In play -----------------------------------------------------------------------------

TEST_F(TWalkerTest, RobotsRunInTheTickAndSpawnFromTheirMapCodes) {
  auto map = EmptyMap();
  Floor(map, 30);
  Put(map, 3, 29, ObjectHero);
  Put(map, 8, 29, ObjectTechBot);
  Put(map, 12, 29, ObjectFlameBot);
  Put(map, 16, 29, ObjectBunnyBot);
  Put(map, 20, 29, ObjectCannonBot);
  Put(map, 24, 29, ObjectWheelBot);
  Put(map, 30, 29, ObjectCrawlBotWallRight);
  WriteMap("ROBOTS.QZ1", map);
  ASSERT_TRUE(LoadMap(World(), "ROBOTS.QZ1"));
  EXPECT_EQ(Listed("TTechBot").size(), 1u);
  EXPECT_EQ(Listed("TFlameBot").size(), 1u);
  EXPECT_EQ(Listed("TBunnyBot").size(), 1u);
  EXPECT_EQ(Listed("TCannonBot").size(), 1u);
  ASSERT_EQ(Listed("TWheelBot").size(), 1u);
  ASSERT_EQ(Listed("TCrawlBot").size(), 1u);
  EXPECT_EQ(Field(Listed("TCrawlBot")[0], "Orientation"), 1);
  EXPECT_EQ(AsGame(Listed("TWheelBot")[0])->PosX, 49);
  EXPECT_EQ(Game().BunniesTotal, 1);
  for (const auto& e : ActorList().Entries()) {
    if (e->ClassName().find("Bot") == std::string::npos) continue;
    EXPECT_EQ(LayerOf(e.get()), LayerObjects) << e->ClassName();
  }

  for (int tick = 0; tick < 40; ++tick) GameTick(World(), false, false, false, false, false, false);
  EXPECT_EQ(AsGame(Listed("TFlameBot")[0])->PosY, 16 * 29 + 15);
  EXPECT_NE(AsGame(Listed("TFlameBot")[0])->PosX, 24);
}

}  // namespace
