// The flying robots, the villain and the snake: flight patterns, hits, scores and the
// villain's defeat.
#include "actors/flyers.h"

#include <algorithm>
#include <utility>

#include "actor_fixture.h"
#include "data/object_codes.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world_state.h"

namespace {

class TFlyerTest : public TActorTest {
 protected:
  static void Updates(TGameObject& object, int count) {
    for (int i = 0; i < count; ++i) object.Update();
  }
};

// --- Hover bot ---------------------------------------------------------------------------

TEST_F(TFlyerTest, HoverBotKeepsItsRotorJustAboveTheFloor) {
  Fill(0, 127, 6);
  SpawnHoverBot(World(), 4, 4);
  auto bot = Last<THoverBot>();
  ASSERT_TRUE(bot);
  EXPECT_EQ(bot->PosY, 63);
  EXPECT_EQ(bot->Width, 2);
  EXPECT_EQ(bot->Height, 16);

  // Placed one cell too high: sinks a pixel per tick onto its hover height.
  Updates(*bot, 16);
  EXPECT_EQ(bot->PosY, 79);
  Updates(*bot, 10);
  EXPECT_EQ(bot->PosY, 79);
  bot->PosY = 82;  // rotor inside the floor: climbs back
  Updates(*bot, 3);
  EXPECT_EQ(bot->PosY, 79);

  // Off screen it does nothing but count.
  Game().CamX = 100;
  bot->PosY = 70;
  Updates(*bot, 5);
  EXPECT_EQ(bot->PosY, 70);
  EXPECT_TRUE(DrawnBy(*bot).empty());
}

TEST_F(TFlyerTest, HoverBotTurnsStepsAndFiresOnlyWhenFacingThePlayer) {
  Fill(0, 127, 6);
  PlacePlayer(12, 5);
  SpawnHoverBot(World(), 4, 5);
  auto bot = Last<THoverBot>();
  ASSERT_TRUE(bot);
  ASSERT_EQ(bot->PosY, 79);

  // One turning step each fourth tick from facing left (0) to facing right (5).
  Updates(*bot, 4);
  EXPECT_EQ(bot->CurrentFrame, 1);
  Updates(*bot, 16);
  EXPECT_EQ(bot->CurrentFrame, 5);
  EXPECT_EQ(bot->PosX, 8);
  EXPECT_EQ(bot->IsShooting, 0) << "the turn at timer 0 does not arm the gun";
  Updates(*bot, 1);
  EXPECT_EQ(Count("TEnemyShot"), 0);

  // Fully turned it steps a column each fourth tick and arms at timer 0.
  Updates(*bot, 3);
  EXPECT_EQ(bot->PosX, 9);
  Updates(*bot, 16);
  EXPECT_EQ(bot->PosX, 13);
  EXPECT_EQ(bot->IsShooting, 1);
  size_t mark = AudioMark();
  Updates(*bot, 1);
  auto shots = Listed("TEnemyShot");
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(AsGame(shots[0])->PosX, 15);
  EXPECT_EQ(AsGame(shots[0])->PosY, 77);
  EXPECT_EQ(Field(shots[0], "Direction"), 1);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundEnemyShot));
  EXPECT_EQ(bot->IsShooting, 0);

  // A wall in front stops the steps, not the turning or the gun.
  World().Grid.Tiles[4][7] = 0x1800;  // half-tiles 14 and 15 at the bot's row
  Updates(*bot, 40);
  EXPECT_EQ(bot->PosX, 13);
  EXPECT_EQ(Count("TEnemyShot"), 3);
}

TEST_F(TFlyerTest, HoverBotSteppingIntoThePlayerHurtsHimAndCrashes) {
  Fill(0, 127, 6);
  PlacePlayer(5, 5);
  World().Player->PosX = 11;
  SpawnHoverBot(World(), 4, 5);
  auto bot = Last<THoverBot>();
  bot->PosX = 8;
  bot->CurrentFrame = 5;
  bot->Timer = 3;  // next tick moves
  bot->Update();
  EXPECT_EQ(bot->PosX, 9);
  EXPECT_EQ(Game().Health, 9) << "no contact yet";
  EXPECT_EQ(bot->IsCrashing, 0);

  bot->Timer = 3;
  size_t mark = AudioMark();
  bot->Update();
  EXPECT_EQ(bot->PosX, 10);
  EXPECT_EQ(Game().Health, 8);
  EXPECT_EQ(bot->IsCrashing, 1);
  EXPECT_EQ(bot->CrashVelY, -8);
  EXPECT_EQ(Game().Score, 200);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundRobotHit));
  bot->CheckCollisions();
  EXPECT_EQ(Game().Score, 200) << "a crashing bot is not crashed again";
}

TEST_F(TFlyerTest, HoverBotLandedOnIsDestroyedHarmlesslyButHurtsFromBelow) {
  Fill(0, 127, 6);
  PlacePlayer(4, 5);
  SpawnHoverBot(World(), 4, 5);
  auto bot = Last<THoverBot>();
  World().Player->PosY = 80;  // standing on its top
  bot->CheckCollisions();
  EXPECT_EQ(bot->IsCrashing, 1);
  EXPECT_EQ(Game().Health, 9);
  EXPECT_EQ(Game().Score, 200);

  SpawnHoverBot(World(), 4, 5);
  auto second = Last<THoverBot>();
  World().Player->PosY = 95;  // on the floor, next to it
  second->CheckCollisions();
  EXPECT_EQ(second->IsCrashing, 1);
  EXPECT_EQ(Game().Health, 8);
  EXPECT_EQ(Game().Score, 400);
}

TEST_F(TFlyerTest, HoverBotCrashArcEndsInAnExplosionOnTheFloor) {
  Fill(0, 127, 6);
  SpawnHoverBot(World(), 4, 5);
  auto bot = Last<THoverBot>();
  bot->Crash();
  EXPECT_EQ(Count("TDecoExplosion"), 1);
  const int32_t expected[10] = {71, 65, 61, 59, 59, 61, 65, 71, 79, 89};
  for (int i = 0; i < 10; ++i) {
    bot->Update();
    EXPECT_EQ(bot->PosY, expected[i]) << "update " << i;
    EXPECT_EQ(bot->PosX, 9 + i);
    ASSERT_TRUE(bot->IsListed());
  }
  EXPECT_EQ(Count("TSmokeCloud"), 10);
  size_t mark = AudioMark();
  bot->Update();
  EXPECT_EQ(bot->PosY, 101);
  EXPECT_FALSE(bot->IsListed());
  EXPECT_EQ(Count("TDecoExplosion"), 2);
  EXPECT_EQ(Count("TParticle"), 4);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundExplosion));
  EXPECT_EQ(Game().Score, 200);
}

TEST_F(TFlyerTest, HoverBotConsumesOneShotPerTick) {
  SpawnHoverBot(World(), 4, 5);
  auto bot = Last<THoverBot>();
  auto a = AddShot(bot->PosX, bot->PosY);
  auto b = AddShot(bot->PosX + 1, bot->PosY);
  ASSERT_TRUE(a && b);
  bot->CheckCollisions();
  EXPECT_EQ(bot->IsCrashing, 1);
  EXPECT_FALSE(a->IsListed());
  EXPECT_TRUE(b->IsListed());
  EXPECT_EQ(Game().PlayerShotsActive, 1);
  EXPECT_EQ(Game().Score, 200);
}

// --- Jump bot ----------------------------------------------------------------------------

TEST_F(TFlyerTest, JumpBotWaitsUntilSeenThenActsForGood) {
  Fill(0, 127, 10);
  SpawnJumpBot(World(), 40, 9);
  auto bot = Last<TJumpBot>();
  ASSERT_TRUE(bot);
  EXPECT_EQ(bot->PosX, 81);
  EXPECT_EQ(bot->Health, 3);
  Updates(*bot, 5);
  EXPECT_EQ(bot->Timer, 0);
  EXPECT_EQ(bot->Active, 0);
  Game().CamX = 60;
  bot->Update();
  EXPECT_EQ(bot->Active, 1);
  EXPECT_EQ(bot->Timer, 1);
  Game().CamX = 0;
  bot->Update();
  EXPECT_EQ(bot->Timer, 2);
}

TEST_F(TFlyerTest, JumpBotStandsFiresJumpsTowardThePlayerAndLands) {
  Fill(0, 127, 10);
  PlacePlayer(12, 9);
  SpawnJumpBot(World(), 4, 9);
  auto bot = Last<TJumpBot>();
  ASSERT_EQ(bot->PosX, 9);
  ASSERT_EQ(bot->PosY, 159);

  Updates(*bot, 10);
  EXPECT_EQ(bot->Direction, 1);
  EXPECT_EQ(bot->CurrentFrame, 3);
  bot->Update();
  EXPECT_EQ(bot->CurrentFrame, 4);
  bot->Update();
  auto shots = Listed("TEnemyShot");
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(AsGame(shots[0])->PosX, 11);
  EXPECT_EQ(AsGame(shots[0])->PosY, 156);
  EXPECT_EQ(Field(shots[0], "Direction"), 1);

  Updates(*bot, 10);
  EXPECT_EQ(bot->PosY, 159) << "still standing at timer 22";
  bot->Update();
  EXPECT_EQ(bot->PosY, 127);
  EXPECT_EQ(bot->PosX, 10);
  EXPECT_EQ(bot->CurrentFrame, 5);
  Updates(*bot, 13);
  EXPECT_EQ(bot->JumpTimer, 14);
  EXPECT_EQ(bot->PosY, 97);
  EXPECT_EQ(bot->PosX, 17);

  Updates(*bot, 3);
  EXPECT_EQ(bot->PosY, 145);
  bot->Update();  // lands two rows into the floor
  EXPECT_EQ(bot->PosY, 161);
  EXPECT_EQ(bot->Timer, 0);
  EXPECT_EQ(bot->CurrentFrame, 3);
  bot->Update();
  EXPECT_EQ(bot->PosY, 159);
  Updates(*bot, 21);
  EXPECT_EQ(bot->PosY, 159);
  bot->Update();
  EXPECT_EQ(bot->PosY, 127) << "the next jump comes 23 ticks after landing";
}

TEST_F(TFlyerTest, JumpBotMeetingACeilingSnapsToItsCellAndDrops) {
  Fill(0, 127, 10);
  Fill(0, 127, 3);
  PlacePlayer(12, 9);
  SpawnJumpBot(World(), 4, 9);
  auto bot = Last<TJumpBot>();
  bot->Active = 1;
  bot->Direction = 1;
  bot->Timer = 22;
  Updates(*bot, 3);
  EXPECT_EQ(bot->PosY, 103);
  bot->Update();  // 40 pixels above is row 3
  EXPECT_EQ(bot->PosY, 111);
  EXPECT_EQ(bot->JumpTimer, 15) << "snapped to 14, then counted like any jump tick";
  EXPECT_EQ(bot->PosX, 12);
  Updates(*bot, 2);
  EXPECT_EQ(bot->PosY, 143);
  bot->Update();
  EXPECT_EQ(bot->PosY, 159);
  EXPECT_EQ(bot->Timer, 0);
}

TEST_F(TFlyerTest, JumpBotWithoutFloorFalls) {
  PlacePlayer(1, 9);
  SpawnJumpBot(World(), 4, 5);
  auto bot = Last<TJumpBot>();
  bot->Update();
  EXPECT_EQ(bot->Timer, 40);
  EXPECT_EQ(bot->JumpTimer, 14);
  EXPECT_EQ(bot->CurrentFrame, 2);
  EXPECT_EQ(bot->PosY, 95);
  bot->Update();
  EXPECT_EQ(bot->PosY, 111);
}

TEST_F(TFlyerTest, JumpBotTakesThreeHitsEvenInOneTick) {
  Fill(0, 127, 10);
  SpawnJumpBot(World(), 4, 9);
  auto bot = Last<TJumpBot>();
  auto a = AddShot(bot->PosX, bot->PosY);
  auto b = AddShot(bot->PosX, bot->PosY - 16);
  bot->CheckCollisions();
  EXPECT_FALSE(a->IsListed());
  EXPECT_FALSE(b->IsListed());
  EXPECT_EQ(bot->Health, 1);
  EXPECT_TRUE(bot->IsListed());

  // Smoking once damaged.
  bot->Active = 1;
  Updates(*bot, 4);
  EXPECT_EQ(Count("TSmokeCloud"), 2);

  auto c = AddShot(bot->PosX, bot->PosY);
  auto d = AddShot(bot->PosX + 1, bot->PosY);
  size_t mark = AudioMark();
  bot->CheckCollisions();
  EXPECT_FALSE(bot->IsListed());
  EXPECT_FALSE(c->IsListed());
  EXPECT_TRUE(d->IsListed()) << "the scan ends with the explosion";
  EXPECT_EQ(Game().PlayerShotsActive, 1);
  EXPECT_EQ(Game().Score, 2000);
  EXPECT_EQ(Count("TDecoExplosion"), 4);
  EXPECT_EQ(Count("TParticle"), 12);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundExplosion));
}

// --- Helicopter ----------------------------------------------------------------------------

TEST_F(TFlyerTest, HelicopterWaitsUnseenThenLiftsOffToCruisingHeight) {
  Fill(0, 127, 9);
  SpawnHelicopter(World(), 40, 8);
  auto heli = Last<THelicopter>();
  ASSERT_TRUE(heli);
  EXPECT_EQ(heli->PosX, 82);
  EXPECT_EQ(heli->PosY, 135);
  EXPECT_EQ(heli->Health, 4);
  size_t mark = AudioMark();
  Updates(*heli, 3);
  EXPECT_EQ(heli->Active, 0);
  EXPECT_EQ(heli->PosY, 135);
  EXPECT_FALSE(Has(SoundsPlayed(mark), SoundHelicopter));

  Game().CamX = 54;  // its own wider test: PosX <= CamX + 28
  heli->Update();
  EXPECT_EQ(heli->Active, 1);
  EXPECT_EQ(heli->InitialY, 91) << "standing on the floor it sets its height 44 above";
  EXPECT_EQ(heli->PosY, 133);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundHelicopter));
  Updates(*heli, 30);
  EXPECT_EQ(heli->PosY, 91);

  Game().CamX = 0;  // out of sight it keeps flying, silently
  mark = AudioMark();
  heli->Update();
  EXPECT_FALSE(Has(SoundsPlayed(mark), SoundHelicopter));
  EXPECT_EQ(heli->PosY, 91);
}

TEST_F(TFlyerTest, HelicopterVisibilityReachesFurtherThanOtherActors) {
  SpawnHelicopter(World(), 13, 5);
  auto heli = Last<THelicopter>();
  heli->PosX = 28;
  EXPECT_TRUE(heli->Visible());
  EXPECT_FALSE(heli->TActor::Visible());
  heli->PosX = 29;
  EXPECT_FALSE(heli->Visible());
  Game().CamX = 40;
  heli->PosX = 34;
  EXPECT_TRUE(heli->Visible());
  heli->PosX = 33;
  EXPECT_FALSE(heli->Visible());
}

TEST_F(TFlyerTest, HelicopterStepsEverySecondTickUntilAWall) {
  PlacePlayer(2, 8);
  SpawnHelicopter(World(), 8, 5);
  auto heli = Last<THelicopter>();
  ASSERT_EQ(heli->PosX, 18);
  std::vector<int32_t> xs;
  for (int i = 0; i < 6; ++i) {
    heli->Update();
    xs.push_back(heli->PosX);
  }
  EXPECT_EQ(xs, (std::vector<int32_t>{18, 17, 17, 16, 16, 15}));
  EXPECT_EQ(heli->Direction, -1);
  EXPECT_LE(heli->CurrentFrame, 1);

  World().Grid.Tiles[5][4] = 0x1800;  // half-tiles 8 and 9: the test at PosX - 4 stops it at 13
  Updates(*heli, 10);
  EXPECT_EQ(heli->PosX, 13);
  EXPECT_EQ(heli->CanMove, 1);
}

TEST_F(TFlyerTest, HelicopterDivesOnlyInLineFromCruisingHeightAndClimbsBack) {
  Fill(0, 127, 9);
  PlacePlayer(9, 8);
  World().Player->PosX = 19;
  SpawnHelicopter(World(), 8, 5);
  auto heli = Last<THelicopter>();
  ASSERT_EQ(heli->PosX, 18);
  ASSERT_EQ(heli->PosY, 87);
  heli->Update();
  EXPECT_EQ(heli->Direction, 0);
  EXPECT_EQ(heli->IsLowering, 1);
  EXPECT_EQ(heli->PosY, 87);

  std::vector<int32_t> ys;
  for (int i = 0; i < 45; ++i) {
    heli->Update();
    ys.push_back(heli->PosY);  // the player stays in line all along: no dive while climbing
  }
  EXPECT_EQ(*std::max_element(ys.begin(), ys.end()), 131);
  EXPECT_EQ(ys[21], 131);
  EXPECT_EQ(ys[22], 129);
  EXPECT_EQ(heli->InitialY, 87);
  EXPECT_EQ(ys[43], 87) << "back at cruising height";
  EXPECT_EQ(heli->IsLowering, 1) << "and diving again";
  EXPECT_EQ(ys[44], 89);
  EXPECT_EQ(heli->PosX, 18);
}

TEST_F(TFlyerTest, HelicopterDiveTurnsAtTheGroundAndDoesNotDiveOutOfLine) {
  Fill(0, 127, 7);
  PlacePlayer(9, 6);
  World().Player->PosX = 19;
  SpawnHelicopter(World(), 8, 4);  // PosY 71, 44 above would be 27
  auto heli = Last<THelicopter>();
  heli->InitialY = 71;
  heli->Active = 1;
  heli->IsLowering = 1;
  Updates(*heli, 16);
  EXPECT_EQ(heli->PosY, 103);
  EXPECT_EQ(heli->IsLowering, 1);
  heli->Update();
  EXPECT_EQ(heli->IsLowering, 0) << "the floor under it ends the dive";
  EXPECT_EQ(heli->InitialY, 103 - 44);
  EXPECT_EQ(heli->PosY, 101);

  // Held by a wall out of the player's line: it never dives.
  ClearGrids();
  SpawnHelicopter(World(), 8, 5);
  auto other = Last<THelicopter>();
  World().Grid.Tiles[5][12] = 0x1800;  // the test column PosX + Width + 2
  World().Player->PosX = 30;
  for (int i = 0; i < 40; ++i) {
    other->Update();
    EXPECT_EQ(other->PosY, 87);
  }
  EXPECT_EQ(other->PosX, 18);
  EXPECT_EQ(other->Direction, 1);
}

TEST_F(TFlyerTest, HelicopterShotDownFallsHurtingAndExplodesOnTheGround) {
  Fill(0, 127, 9);
  PlacePlayer(2, 8);
  SpawnHelicopter(World(), 8, 5);
  auto heli = Last<THelicopter>();
  std::vector<std::shared_ptr<TActor>> shots;
  for (int i = 0; i < 5; ++i) shots.push_back(AddShot(heli->PosX + i % 3, heli->PosY));
  heli->CheckCollisions();
  EXPECT_EQ(heli->Health, 0);
  for (const auto& s : shots) EXPECT_FALSE(s->IsListed()) << "every shot is absorbed";
  EXPECT_EQ(Game().PlayerShotsActive, 0);
  EXPECT_EQ(Game().Score, 0);

  size_t mark = AudioMark();
  int updates = 0;
  while (heli->IsListed() && updates < 50) {
    heli->Update();
    ++updates;
    if (updates == 5) {
      EXPECT_EQ(heli->PosY, 107) << "four pixels per tick";
      World().Player->PosX = heli->PosX;
      World().Player->PosY = heli->PosY;
      heli->CheckCollisions();
      EXPECT_EQ(Game().Health, 8) << "still hurts while falling";
    }
  }
  EXPECT_EQ(updates, 14);
  EXPECT_EQ(heli->PosY, 139);
  EXPECT_EQ(Game().Score, 5000);
  EXPECT_EQ(Count("TDecoExplosion"), 5);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundExplosion));
}

// --- The villain ---------------------------------------------------------------------------

TEST_F(TFlyerTest, VillainCycleFiresTwiceAndFloatsTwice) {
  PlacePlayer(20, 5);
  SpawnDrMalvex(World(), 0, 5, 5);
  auto boss = Last<TDrMalvex>();
  ASSERT_TRUE(boss);
  EXPECT_EQ(boss->Health, 9);
  EXPECT_EQ(boss->IsExploding, 0);
  ASSERT_EQ(boss->PosX, 10);
  ASSERT_EQ(boss->PosY, 95);

  Game().Timer = 1;
  boss->Update();
  EXPECT_EQ(boss->CurrentFrame, 3) << "facing right, odd game tick";
  Updates(*boss, 4);
  auto shots = Listed("TEnemyShot");
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(AsGame(shots[0])->PosX, 14);
  EXPECT_EQ(AsGame(shots[0])->PosY, 95);
  EXPECT_EQ(Field(shots[0], "Direction"), 1);

  Updates(*boss, 25);  // timer 30
  EXPECT_EQ(boss->PosY, 95);
  Updates(*boss, 6);  // the deepest point of the float
  EXPECT_EQ(boss->PosY, 95 + 42);
  EXPECT_EQ(boss->FloatDir, 1);
  Updates(*boss, 6);
  EXPECT_EQ(boss->PosY, 95);
  EXPECT_EQ(boss->PosX, 22);

  World().Player->PosX = 0;  // now to its left
  Updates(*boss, 26);        // timer 68
  shots = Listed("TEnemyShot");
  ASSERT_EQ(shots.size(), 2u);
  EXPECT_EQ(AsGame(shots[1])->PosX, 21);
  EXPECT_EQ(Field(shots[1], "Direction"), 0);

  for (int row = 4; row <= 8; ++row)
    World().Grid.Tiles[row][8] = 0x1800;  // a wall at half-tiles 16 and 17
  Updates(*boss, 20);                     // timer 88
  EXPECT_EQ(boss->FloatDir, -1);
  EXPECT_EQ(boss->PosY, 95);
  EXPECT_EQ(boss->PosX, 18);
  Updates(*boss, 4);
  EXPECT_EQ(boss->Timer, 0) << "a 92-tick cycle";
  EXPECT_EQ(Count("TSmokeCloud"), 0) << "no smoke while unhurt";
}

TEST_F(TFlyerTest, FirstVillainSetsVictoryOneOnTheLastHitAndRisesAway) {
  PlacePlayer(20, 5);
  SpawnDrMalvex(World(), 0, 5, 5);
  auto boss = Last<TDrMalvex>();
  for (int i = 0; i < 8; ++i) {
    AddShot(boss->PosX, boss->PosY);
    boss->CheckCollisions();
  }
  EXPECT_EQ(boss->Health, 1);
  EXPECT_EQ(Count("TWhiteBall"), 8);
  EXPECT_EQ(Game().Victory, 0);

  auto last = AddShot(boss->PosX, boss->PosY);
  auto spare = AddShot(boss->PosX + 1, boss->PosY);
  size_t mark = AudioMark();
  boss->CheckCollisions();
  EXPECT_EQ(boss->Health, 0);
  EXPECT_EQ(Game().Victory, 1);
  EXPECT_EQ(World().Player->InvincibilityTimer, -2);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundVillainHit));
  EXPECT_FALSE(last->IsListed());
  EXPECT_TRUE(spare->IsListed()) << "the scan ends with the victory";
  EXPECT_EQ(Count("TWhiteBall"), 9);
  EXPECT_EQ(Game().Score, 0);

  const int32_t timer = boss->Timer;
  Updates(*boss, 3);
  EXPECT_EQ(boss->PosY, 95 - 48);
  EXPECT_EQ(boss->Timer, timer);
  EXPECT_TRUE(boss->IsListed());
}

TEST_F(TFlyerTest, SecondVillainEndsTheLevelOnlyWhenSunkUnderTheFloor) {
  Fill(0, 127, 6);
  PlacePlayer(20, 5);
  SpawnDrMalvex(World(), 1, 5, 5);
  auto boss = Last<TDrMalvex>();
  EXPECT_EQ(boss->IsExploding, 1);
  EXPECT_EQ(boss->Health, 10);
  for (int i = 0; i < 10; ++i) {
    AddShot(boss->PosX, boss->PosY);
    boss->CheckCollisions();
  }
  EXPECT_EQ(boss->Health, 0);
  EXPECT_EQ(Game().Victory, 0);
  EXPECT_EQ(World().Player->InvincibilityTimer, 0);

  size_t mark = AudioMark();
  for (int i = 0; i < 5; ++i) {
    boss->Update();
    auto shot = AddShot(boss->PosX, boss->PosY);
    boss->CheckCollisions();
    EXPECT_FALSE(shot->IsListed()) << "shots are still absorbed";
  }
  EXPECT_EQ(boss->PosY, 115);
  EXPECT_EQ(Game().Victory, 0);
  EXPECT_EQ(Count("TWhiteBall"), 15);
  EXPECT_FALSE(Has(SoundsPlayed(mark), SoundVillainCrash));
  boss->Update();
  EXPECT_EQ(Game().Victory, 2);
  EXPECT_FALSE(boss->IsListed());
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundVillainCrash));
  EXPECT_FALSE(Has(SoundsPlayed(mark), SoundVillainHit));
}

// --- Snake ---------------------------------------------------------------------------------

TEST_F(TFlyerTest, SnakeSegmentsEnterThePathOneTickApartAndFollowTheFront) {
  SpawnSnake(World(), 10, 5);
  auto segments = ListedObjects<TSnakeBot>(ActorList());
  ASSERT_EQ(segments.size(), 9u);
  EXPECT_EQ(Game().SnakesTotal, 9);
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(segments[i]->PosX, 20 + 2 * int32_t(i));
    EXPECT_EQ(int(segments[i]->StartDelay), 8 - int(i));
  }

  const int ticks = 8 + 2 * 39;
  std::vector<std::vector<std::pair<int32_t, int32_t>>> trace(9);
  for (int t = 0; t <= ticks; ++t) {
    for (size_t i = 0; i < 9; ++i) trace[i].push_back({segments[i]->PosX, segments[i]->PosY});
    for (const auto& s : segments) s->Update();
  }
  const std::pair<int32_t, int32_t> start{36, 95};
  for (size_t i = 0; i < 9; ++i) {
    const int delay = 8 - int(i);
    EXPECT_EQ(trace[i][size_t(delay)], start) << "segment " << i;
    for (int t = delay; t <= ticks; ++t)
      ASSERT_EQ(trace[i][size_t(t)], trace[8][size_t(t - delay)])
          << "segment " << i << " tick " << t;
  }
  // One lap is 39 ticks and comes back to the start.
  EXPECT_EQ(trace[8][39], start);
  EXPECT_EQ(trace[8][78], start);
  EXPECT_NE(trace[8][20], start);
  EXPECT_EQ(segments[8]->CurrentFrame, (ticks + 1) % 8);
}

TEST_F(TFlyerTest, SnakeSegmentsShotInAnyOrderPayTheBonusOnTheLast) {
  SpawnSnake(World(), 10, 5);
  auto segments = ListedObjects<TSnakeBot>(ActorList());
  ASSERT_EQ(segments.size(), 9u);
  const int order[9] = {4, 0, 8, 1, 7, 2, 6, 3, 5};
  for (int n = 0; n < 9; ++n) {
    auto& s = segments[size_t(order[n])];
    auto shot = AddShot(s->PosX, s->PosY);
    s->CheckCollisions();
    EXPECT_FALSE(s->IsListed());
    EXPECT_FALSE(shot->IsListed());
    EXPECT_EQ(Game().SnakesShot, n + 1);
    EXPECT_EQ(Game().Score, n < 8 ? 1000 * (n + 1) : 9000 + 10000);
  }
  EXPECT_EQ(Count("TParticle"), 36);
  EXPECT_EQ(Game().GetBonusBits() & 32, 32);
}

TEST_F(TFlyerTest, SnakeSegmentTakesOneShot) {
  SpawnSnake(World(), 10, 5);
  auto front = ListedObjects<TSnakeBot>(ActorList())[0];
  auto a = AddShot(front->PosX, front->PosY);
  auto b = AddShot(front->PosX, front->PosY);
  front->CheckCollisions();
  EXPECT_FALSE(front->IsListed());
  EXPECT_NE(a->IsListed(), b->IsListed());
  EXPECT_EQ(Game().Score, 1000);
}

// --- All of them ---------------------------------------------------------------------------

TEST_F(TFlyerTest, TouchingAnyOfThemHurts) {
  PlacePlayer(4, 9);
  SpawnJumpBot(World(), 4, 9);
  SpawnHelicopter(World(), 3, 9);
  SpawnDrMalvex(World(), 0, 4, 9);
  SpawnSnake(World(), 4, 9);
  std::vector<std::shared_ptr<TActor>> actors = {Last<TJumpBot>(), Last<THelicopter>(),
                                                 Last<TDrMalvex>(),
                                                 ListedObjects<TSnakeBot>(ActorList())[0]};
  Last<TDrMalvex>()->Health = 0;  // the beaten villain still hurts
  int health = Game().Health;
  for (const auto& actor : actors) {
    ASSERT_TRUE(actor);
    actor->CheckCollisions();
    EXPECT_EQ(Game().Health, --health) << actor->ClassName();
    World().Player->InvincibilityTimer = 0;
  }
}

TEST_F(TFlyerTest, FramesAndSpritesDrawnAtTheActor) {
  SpawnHoverBot(World(), 4, 5);  // PosX 8, PosY 79
  auto hover = Last<THoverBot>();
  hover->CurrentFrame = 3;
  hover->SpinIndex = 2;
  EXPECT_EQ(DrawnBy(*hover), (std::vector<TDrawn>{{80, 80, SpriteHoverBotBody + 3},
                                                  {80, 96, SpriteHoverBotRotor + 2}}));

  SpawnJumpBot(World(), 4, 9);  // PosX 9, PosY 159
  auto jumper = Last<TJumpBot>();
  ASSERT_EQ(jumper->Frames.size(), 6u);
  jumper->CurrentFrame = 5;  // in the air: three rows from 47 pixels above the bottom
  EXPECT_EQ(DrawnBy(*jumper), (std::vector<TDrawn>{{80, 128, SpriteJumpBotRight + 6},
                                                   {96, 128, SpriteJumpBotRight + 7},
                                                   {80, 144, SpriteJumpBotRight + 8},
                                                   {96, 144, SpriteJumpBotRight + 9},
                                                   {80, 160, SpriteJumpBotRight + 10},
                                                   {96, 160, SpriteJumpBotRight + 11}}));
  jumper->CurrentFrame = 1;
  EXPECT_EQ(DrawnBy(*jumper), (std::vector<TDrawn>{{80, 144, SpriteJumpBotLeft},
                                                   {96, 144, SpriteJumpBotLeft + 1},
                                                   {80, 160, SpriteJumpBotLeft + 4},
                                                   {96, 160, SpriteJumpBotLeft + 5}}));

  SpawnHelicopter(World(), 3, 5);  // PosX 8, PosY 87: rotor row over body row
  auto heli = Last<THelicopter>();
  ASSERT_EQ(heli->Frames.size(), 6u);
  heli->CurrentFrame = 5;
  std::vector<TDrawn> want;
  for (int k = 0; k < 4; ++k)
    want.push_back({float(64 + 16 * k), 80, SpriteHelicopterRotor + 20 + k});
  for (int k = 0; k < 4; ++k)
    want.push_back({float(64 + 16 * k), 96, SpriteHelicopterBody + 8 + k});
  EXPECT_EQ(DrawnBy(*heli), want);

  SpawnDrMalvex(World(), 0, 5, 5);  // PosX 10, PosY 95
  auto boss = Last<TDrMalvex>();
  boss->CurrentFrame = 1;
  EXPECT_EQ(DrawnBy(*boss), (std::vector<TDrawn>{{96, 80, SpriteVillain},
                                                 {112, 80, SpriteVillain + 1},
                                                 {96, 96, SpriteVillain + 4},
                                                 {112, 96, SpriteVillain + 5}}));

  SpawnSnake(World(), 10, 5);
  auto segment = ListedObjects<TSnakeBot>(ActorList())[0];  // PosX 20, PosY 95
  segment->CurrentFrame = 6;
  EXPECT_EQ(DrawnBy(*segment), (std::vector<TDrawn>{{176, 96, SpriteSnake + 6}}));
}

TEST_F(TFlyerTest, FlyersSpawnFromTheMapIntoLayerFiveAndRunInTheTick) {
  Fill(0, 127, 9);
  PlacePlayer(1, 8);
  SpawnObjectCode(World(), ObjectHoverBot, 6, 8);
  SpawnObjectCode(World(), ObjectJumpBot, 8, 8);
  SpawnObjectCode(World(), ObjectHelicopter, 11, 4);
  SpawnObjectCode(World(), ObjectVillainFalls, 14, 8);
  SpawnObjectCode(World(), ObjectSnake, 3, 2);
  for (const char* name : {"THoverBot", "TJumpBot", "THelicopter", "TDrMalvex", "TSnakeBot"}) {
    auto all = Listed(name);
    ASSERT_FALSE(all.empty()) << name;
    EXPECT_EQ(LayerOf(all[0].get()), LayerFlyers) << name;
  }
  EXPECT_EQ(Field(Listed("TDrMalvex")[0], "Health"), 10);
  const uint64_t before = WorldStateHash(World());
  for (int i = 0; i < 40; ++i) GameTick(World(), false, false, false, false, false, false);
  EXPECT_NE(WorldStateHash(World()), before);
  EXPECT_EQ(Listed("TSnakeBot").size(), 9u);
}

}  // namespace
