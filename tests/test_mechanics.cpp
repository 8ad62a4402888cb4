// Elevators, conveyor belts, fake bridges, extenders, fans and wind.
#include "actors/mechanics.h"

#include "actor_fixture.h"
#include "actors/effects.h"
#include "data/object_codes.h"
#include "world/sounds.h"
#include "world/world_state.h"

namespace {

class TMechanicsTest : public TActorTest {
 protected:
};

// --- Elevator ----------------------------------------------------------------------------

// An elevator at column 10 resting in row 19 on a floor at row 20, the player on it.
class TElevatorTest : public TMechanicsTest {
 protected:
  void SetUp() override {
    TMechanicsTest::SetUp();
    Fill(0, 127, 20);
    World().Grid.Tiles[19][10] = ElevatorShaftTile;
    SpawnElevator(World(), 10, 19);
    Elevator = Last<TElevator>();
    PlacePlayer(10, 18);
  }
  std::shared_ptr<TElevator> Elevator;
};

TEST_F(TElevatorTest, UpRaisesPlayerAndPlatformOneTileOverANewShaftCell) {
  ASSERT_TRUE(Elevator);
  EXPECT_EQ(Elevator->InitialY, 19);
  EXPECT_EQ(Elevator->PosY, 319);
  ASSERT_TRUE(Elevator->PlayerStandsOnMe());

  const size_t mark = AudioMark();
  for (int press = 1; press <= 3; ++press) {
    GameTick(World(), true, false, false, false, false, false);
    EXPECT_EQ(World().Player->PosY, 303 - 16 * press);
    EXPECT_EQ(Elevator->PosY, 319 - 16 * press);
    EXPECT_EQ(World().Grid.Tiles[19 - press][10], ElevatorShaftTile);
    EXPECT_EQ(World().Player->Action, TBraxTovar::Standing)
        << "he stands on the shaft, not falling";
  }
  EXPECT_EQ(World().Grid.Tiles[15][10], 0);
  const auto sounds = SoundsPlayed(mark);
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), SoundElevatorUp), 3);
}

TEST_F(TElevatorTest, SinksOneRowPerTickOnlyWhileNobodyStandsOnIt) {
  Elevator->GoUp();
  Elevator->GoUp();
  World().Player->PosY -= 32;  // riding along
  ASSERT_EQ(Elevator->PosY, 287);

  Elevator->Update();
  EXPECT_EQ(Elevator->PosY, 287) << "the rider keeps it up";

  // Hanging from a ceiling right above it is not standing on it.
  World().Player->Action = TBraxTovar::Hanging;
  EXPECT_FALSE(Elevator->PlayerStandsOnMe());
  Elevator->Update();
  EXPECT_EQ(Elevator->PosY, 303);
  EXPECT_EQ(World().Grid.Tiles[17][10], 0) << "the top of the shaft is cleared";
  EXPECT_EQ(World().Grid.Tiles[18][10], ElevatorShaftTile);

  World().Player->PosX = 40;
  Elevator->Update();
  EXPECT_EQ(Elevator->PosY, 319);
  EXPECT_EQ(World().Grid.Tiles[18][10], 0);
  EXPECT_EQ(World().Grid.Tiles[19][10], ElevatorShaftTile) << "its own resting cell stays";
  Elevator->Update();
  EXPECT_EQ(Elevator->PosY, 319) << "never below its lowest row";
}

TEST_F(TElevatorTest, CeilingAboveStopsTheRideAndOnlyOneElevatorIsRidden) {
  Fill(9, 11, 16);  // a ceiling on the player's head
  ASSERT_TRUE(World().Player->BlockedUp());
  const size_t mark = AudioMark();
  World().Player->UseInteractiveObjects(true);
  EXPECT_EQ(Elevator->PosY, 319);
  EXPECT_EQ(World().Player->PosY, 303);
  EXPECT_EQ(World().Grid.Tiles[18][10], 0);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundHeadBump)) << "the hero bumps his head";
  EXPECT_FALSE(Has(SoundsPlayed(mark), SoundElevatorUp));

  Fill(9, 11, 16, 0);
  SpawnElevator(World(), 10, 19);  // a second one in the same place
  auto second = Last<TElevator>();
  World().Player->UseInteractiveObjects(true);
  EXPECT_EQ(Elevator->PosY, 303);
  EXPECT_EQ(second->PosY, 319);
  EXPECT_EQ(World().Player->PosY, 287);
}

TEST_F(TElevatorTest, CameraFollowsOnlyNearTheTopOfTheView) {
  Game().CamY = 10;  // player 143 pixels below the top of the view
  Game().CamDestY = 7;
  World().Player->UseInteractiveObjects(true);
  EXPECT_EQ(Game().CamDestY, 7);

  Game().CamY = 14;  // after the ride 271 - 224 = 47 pixels below the top
  World().Player->UseInteractiveObjects(true);
  EXPECT_EQ(World().Player->PosY, 271);
  EXPECT_EQ(Game().CamDestY, 271 / 16 - 6);
}

TEST_F(TElevatorTest, ShowsTheElevatorHintOnceAndDrawsThePlatform) {
  Game().SetHintsActive(1);
  Headless->PressKey(KeyEnter, Headless->Millisecs() + 100);
  const size_t mark = AudioMark();
  Elevator->Update();
  EXPECT_EQ(Game().MessageActive[6], 0);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundMessage));
  Elevator->Update();  // shown once: no second box (this would wait for Enter)

  Present();
  Game().CamX = 4;
  Game().CamY = 12;
  Elevator->Draw();
  const auto drawn = DrawnFrom(Present(), SpriteImage);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0], (TDrawn{8 * (20 - 4) + 16, 319 - 16 * 12 + 1, 533}));
}

// --- Conveyor belt -----------------------------------------------------------------------

class TBeltTest : public TMechanicsTest {
 protected:
  void SetUp() override {
    TMechanicsTest::SetUp();
    Fill(5, 10, 20, ObjectBeltRightStart);
  }
  std::shared_ptr<TConveyorBelt> Belt(int direction) {
    SpawnConveyorBelt(World(), 5, 20, 10, direction);
    return Last<TConveyorBelt>();
  }
};

TEST_F(TBeltTest, AnimatesItsTilesForwardOrBackward) {
  auto right = Belt(1);
  right->Update();
  EXPECT_EQ(World().Grid.Tiles[20][5], 0x1BA0);
  for (int c = 6; c <= 9; ++c) EXPECT_EQ(World().Grid.Tiles[20][c], 0x1C20);
  EXPECT_EQ(World().Grid.Tiles[20][10], 0x1C60);
  right->Update();
  right->Update();
  right->Update();
  EXPECT_EQ(right->Timer, 0);
  EXPECT_EQ(World().Grid.Tiles[20][5], 0x1B80);
  EXPECT_EQ(World().Grid.Tiles[20][7], 0x1C00);
  EXPECT_EQ(World().Grid.Tiles[20][10], 0x1C40);
  EXPECT_EQ(World().Grid.Tiles[20][11], 0) << "nothing beyond its end column";

  right->Remove();
  auto left = Belt(0);
  left->Update();
  EXPECT_EQ(left->Timer, 3);
  EXPECT_EQ(World().Grid.Tiles[20][5], 0x1BE0);
  EXPECT_EQ(World().Grid.Tiles[20][8], 0x1C20);
  EXPECT_EQ(World().Grid.Tiles[20][10], 0x1CA0);
}

TEST_F(TBeltTest, CarriesAStandingPlayerWithItAndAHangingOneAgainstIt) {
  auto belt = Belt(1);
  PlacePlayer(7, 19);
  belt->Update();
  EXPECT_EQ(World().Player->PosX, 15);

  // Under the belt, hanging from it.
  World().Player->Action = TBraxTovar::Hanging;
  World().Player->PosY = 16 * 20 + World().Player->Height + 15;
  World().Player->PosX = 14;
  ASSERT_TRUE(belt->PlayerHangsOnMe());
  belt->Update();
  EXPECT_EQ(World().Player->PosX, 13);

  belt->Remove();
  auto left = Belt(0);
  left->Update();
  EXPECT_EQ(World().Player->PosX, 14);
  World().Player->Action = TBraxTovar::Standing;
  World().Player->PosY = 319;
  left->Update();
  EXPECT_EQ(World().Player->PosX, 13);
}

TEST_F(TBeltTest, ReachExtendsHalfATileBeforeItsStartAndToItsEnd) {
  auto belt = Belt(1);
  PlacePlayer(0, 19);
  for (int32_t x : {9, 21}) {
    World().Player->PosX = x;
    EXPECT_TRUE(belt->PlayerStandsOnMe()) << x;
  }
  for (int32_t x : {8, 22}) {
    World().Player->PosX = x;
    EXPECT_FALSE(belt->PlayerStandsOnMe()) << x;
    belt->Update();
    EXPECT_EQ(World().Player->PosX, x) << "not pushed";
  }
  World().Player->PosX = 12;
  World().Player->PosY = 318;  // a jumping player one pixel higher is not carried
  EXPECT_FALSE(belt->PlayerStandsOnMe());
}

// --- Fake bridge -------------------------------------------------------------------------

class TFakeBridgeTest : public TMechanicsTest {
 protected:
  void SetUp() override {
    TMechanicsTest::SetUp();
    for (int c = 5; c <= 8; ++c) World().Grid.Tiles[20][c] = c % 2 ? 0x21A0 : 0x21C0;
    World().Grid.Tiles[19][6] = 0x0040;  // some scenery above the bridge falls into its place
    SpawnFakeBridge(World(), 5, 20, 4);
    Bridge = Last<TFakeBridge>();
    PlacePlayer(6, 19);
  }
  std::shared_ptr<TFakeBridge> Bridge;
};

TEST_F(TFakeBridgeTest, HoldsOnTheFirstVisitAndCollapsesOnTheSecond) {
  ASSERT_TRUE(Bridge);
  for (int tick = 0; tick < 50; ++tick) Bridge->Update();
  EXPECT_EQ(Bridge->State, 1);
  EXPECT_EQ(Count("TDecoExplosion"), 0);

  World().Player->PosX = 40;
  Bridge->Update();
  EXPECT_EQ(Bridge->State, 2);
  Bridge->Update();
  EXPECT_EQ(Bridge->State, 2);

  World().Player->PosX = 12;
  Bridge->Update();
  EXPECT_EQ(Bridge->State, 3);
  auto blasts = Listed("TDecoExplosion");
  ASSERT_EQ(blasts.size(), 2u);
  EXPECT_EQ(AsGame(blasts[0])->PosX, 12);
  EXPECT_EQ(AsGame(blasts[1])->PosX, 16);
  EXPECT_EQ(AsGame(blasts[0])->PosY, 335);
  EXPECT_EQ(World().Grid.Tiles[20][5], 0x21A0) << "still there in the tick of the explosions";

  const size_t mark = AudioMark();
  Bridge->Update();
  EXPECT_FALSE(Bridge->IsListed());
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundExplosion));
  EXPECT_EQ(World().Grid.Tiles[20][5], 0);
  EXPECT_EQ(World().Grid.Tiles[20][6], 0x0040);
  EXPECT_EQ(World().Grid.Tiles[20][8], 0);
  auto particles = Listed("TParticle");
  ASSERT_EQ(particles.size(), 8u);
  EXPECT_EQ(AsGame(particles[0])->PosX, 14);
  EXPECT_EQ(AsGame(particles[4])->PosX, 18);

  GameTick(World(), false, false, false, false, false, false);
  EXPECT_EQ(World().Player->Action, TBraxTovar::Falling);
}

TEST_F(TFakeBridgeTest, ReachCoversItsColumnsPlusHalfATileEachSide) {
  for (int32_t x : {9, 17}) {
    World().Player->PosX = x;
    EXPECT_TRUE(Bridge->PlayerStandsOnMe()) << x;
  }
  for (int32_t x : {8, 18}) {
    World().Player->PosX = x;
    EXPECT_FALSE(Bridge->PlayerStandsOnMe()) << x;
  }
}

// --- Extender ----------------------------------------------------------------------------

TEST_F(TMechanicsTest, ExtendersGrowUntilTheyMeetABridgeOrTheMapEdge) {
  World().Grid.Tiles[30][3] = ExtenderBridgeTile;
  World().Grid.Tiles[30][10] = ExtenderBridgeTile;
  SpawnExtender(World(), 3, 30);
  SpawnExtender(World(), 10, 30);
  auto extenders = ListedObjects<TExtender>(ActorList());
  ASSERT_EQ(extenders.size(), 2u);

  for (int tick = 0; tick < 5; ++tick) extenders[0]->Update();
  EXPECT_EQ(World().Grid.Tiles[30][4], 0) << "idle until switched on";

  for (auto& e : extenders) e->Active = 1;
  extenders[0]->Update();
  EXPECT_EQ(World().Grid.Tiles[30][4], ExtenderBridgeTile);
  EXPECT_EQ(World().Grid.Tiles[30][5], 0) << "one cell per tick";
  auto balls = Listed("TWhiteBall");
  ASSERT_EQ(balls.size(), 1u);
  EXPECT_EQ(AsGame(balls[0])->PosX, 8);
  EXPECT_EQ(AsGame(balls[0])->PosY, 495);

  for (int tick = 0; tick < 200; ++tick)
    for (auto& e : extenders) e->Update();
  for (int c = 3; c < 128; ++c) EXPECT_EQ(World().Grid.Tiles[30][c], ExtenderBridgeTile) << c;
  EXPECT_FALSE(extenders[0]->IsListed());
  EXPECT_FALSE(extenders[1]->IsListed());
  EXPECT_EQ(extenders[0]->PosX, 10) << "stopped at the other one's cell";
  EXPECT_EQ(int(Listed("TWhiteBall").size()), 6 + 117);
}

TEST_F(TMechanicsTest, AnExtenderOutsideTheMapLeavesAtOnce) {
  SpawnExtender(World(), 127, 5);
  SpawnExtender(World(), 4, 90);
  for (auto& e : ListedObjects<TExtender>(ActorList())) {
    e->Active = 1;
    e->Update();
    EXPECT_FALSE(e->IsListed());
    EXPECT_EQ(e->Active, 0);
  }
  EXPECT_EQ(Count("TWhiteBall"), 0);
}

// --- Fan and wind ------------------------------------------------------------------------

TEST_F(TMechanicsTest, WindBesideTheFanPushesThePlayer) {
  Fill(0, 127, 21);
  SpawnFan(World(), 1, 10, 20);
  SpawnFan(World(), 0, 30, 20);
  auto fans = ListedObjects<TFan>(ActorList());
  ASSERT_EQ(fans.size(), 2u);
  ASSERT_TRUE(fans[0]->Wind && fans[1]->Wind);
  EXPECT_EQ(fans[0]->Wind->PosX, 22);
  EXPECT_EQ(fans[1]->Wind->PosX, 54);
  EXPECT_EQ(fans[0]->Wind->Width, 6);
  EXPECT_EQ(fans[0]->Height, 32);

  PlacePlayer(13, 20);  // PosX 26, inside the right-blowing wind
  fans[0]->Wind->CheckCollisions();
  EXPECT_EQ(World().Player->PosX, 27);
  World().Player->PosX = 28;  // just beyond it
  fans[0]->Wind->CheckCollisions();
  EXPECT_EQ(World().Player->PosX, 28);

  World().Player->PosX = 56;
  fans[1]->Wind->CheckCollisions();
  EXPECT_EQ(World().Player->PosX, 55);
  World().Player->PosX = 60;
  ASSERT_TRUE(fans[1]->CollidesWith(*World().Player));
  fans[1]->CheckCollisions();  // the fan itself is harmless
  EXPECT_EQ(Game().Health, 9);
}

TEST_F(TMechanicsTest, ShootingAFanStopsItsWindForPointsOnce) {
  SpawnFan(World(), 1, 10, 20);
  auto fan = Last<TFan>();
  auto wind = fan->Wind;
  for (int tick = 0; tick < 5; ++tick) fan->Update();
  EXPECT_EQ(fan->CurrentFrame, 1);

  const size_t mark = AudioMark();
  auto first = Shoot(20, 319, 1);
  auto second = Shoot(20, 335, 1);  // all-hits: both go in the same tick
  fan->CheckCollisions();
  EXPECT_FALSE(first->IsListed());
  EXPECT_FALSE(second->IsListed());
  EXPECT_EQ(Game().PlayerShotsActive, 0);
  EXPECT_EQ(Game().Score, 1000);
  EXPECT_FALSE(wind->IsListed());
  EXPECT_EQ(fan->Wind, nullptr);
  EXPECT_EQ(fan->State, 1);
  EXPECT_EQ(Count("TSmokeCloud"), 2);
  EXPECT_EQ(AsGame(Listed("TSmokeCloud")[0])->PosY, 335 - 24);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundRobotHit));

  // The blades run down in four steps, then stand still.
  std::vector<int32_t> changes;
  for (int tick = 1; tick <= 60; ++tick) {
    const int32_t before = fan->CurrentFrame;
    fan->Update();
    if (fan->CurrentFrame != before) changes.push_back(tick);
  }
  EXPECT_EQ(changes, (std::vector<int32_t>{2, 6, 12, 22}));
  EXPECT_EQ(fan->ShotTimer, 42);

  Shoot(21, 330, 0);
  fan->CheckCollisions();
  EXPECT_EQ(Game().Score, 1000) << "no more points";
  EXPECT_EQ(fan->ShotTimer, 0) << "the slow-down starts again";
  EXPECT_EQ(Game().PlayerShotsActive, 0);
}

TEST_F(TMechanicsTest, FanDrawsItsBladesAboveItsBase) {
  SpawnFan(World(), 1, 10, 20);
  auto fan = Last<TFan>();
  fan->Update();
  fan->Update();
  Present();
  fan->Draw();
  const auto drawn = DrawnFrom(Present(), SpriteImage);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0], (TDrawn{176, 335 + 1 - 16, 400}));
  EXPECT_EQ(drawn[1], (TDrawn{176, 335 + 1, 401}));
}

// --- Level loading -----------------------------------------------------------------------

TEST_F(TMechanicsTest, LevelLoadingPlacesBeltsBridgesAndExtendersOnMapCells) {
  auto map = EmptyMap();
  Floor(map, 40);
  Put(map, 20, 30, ObjectBeltRightStart);
  Put(map, 26, 30, ObjectBeltRightEnd);
  Put(map, 50, 30, ObjectFakeBridge);
  Put(map, 53, 30, 0x1800);
  Put(map, 60, 35, ObjectExtender);
  Put(map, 70, 39, ObjectElevator);
  WriteMap("TEST.QZ1", map);
  ASSERT_TRUE(LoadMap(World(), "TEST.QZ1"));

  auto belt = Last<TConveyorBelt>();
  ASSERT_TRUE(belt);
  EXPECT_EQ(belt->PosX, 20);
  EXPECT_EQ(belt->PosY, 30);
  EXPECT_EQ(belt->EndX, 26);
  EXPECT_EQ(belt->Direction, 1);
  auto bridge = Last<TFakeBridge>();
  ASSERT_TRUE(bridge);
  EXPECT_EQ(bridge->PosX, 50);
  EXPECT_EQ(bridge->PosY, 30);
  EXPECT_EQ(bridge->Width, 2);
  auto extender = Last<TExtender>();
  ASSERT_TRUE(extender);
  EXPECT_EQ(extender->PosX, 60);
  EXPECT_EQ(extender->PosY, 35);
  EXPECT_EQ(World().Grid.Tiles[35][60], ExtenderBridgeTile);
  auto elevator = Last<TElevator>();
  ASSERT_TRUE(elevator);
  EXPECT_EQ(elevator->PosX, 140);
  EXPECT_EQ(elevator->InitialY, 39);
  EXPECT_EQ(LayerOf(elevator.get()), LayerBackground);
  EXPECT_EQ(LayerOf(belt.get()), LayerMechanics);

  belt->Update();
  EXPECT_EQ(World().Grid.Tiles[30][20], 0x1BA0);
  EXPECT_EQ(World().Grid.Tiles[30][26], 0x1C60);
}

}  // namespace
