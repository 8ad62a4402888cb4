// Hazards and destructible targets: damage, shots, tallies, timings and map changes.
#include "actors/hazards.h"
#include "actors/interactive.h"
#include "scenery_test.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world_state.h"

namespace {

class HazardTest : public TSceneryTest {};

TEST_F(HazardTest, StaticHazardsTakeOneHealthPointAndIgnoreShots) {
  SpawnSpikes(World(), 1, 2, FloorRow - 1);
  SpawnNail(World(), 2, FloorRow - 1);
  auto spikes = Only<TSpikes>();
  auto nail = Only<TNail>();
  ASSERT_TRUE(spikes && nail);
  EXPECT_EQ(spikes->SpriteIndex, SpriteCeilingSpikes);
  auto shot = AddShot(4, 127);

  spikes->CheckCollisions();
  EXPECT_EQ(Game().Health, 8);
  EXPECT_EQ(World().Player->InvincibilityTimer, 21);
  nail->CheckCollisions();  // invincible now: no second point, but the nail still rises
  EXPECT_EQ(Game().Health, 8);
  EXPECT_EQ(nail->IsRisen, 1);
  EXPECT_TRUE(shot->IsListed());
  EXPECT_EQ(DrawnBy(*nail), (std::vector<TDrawn>{{48, 128, SpriteNailRisen}}));
  EXPECT_EQ(DrawnBy(*spikes), (std::vector<TDrawn>{{48, 128, SpriteCeilingSpikes}}));

  nail->Update();  // risen only on ticks of contact
  EXPECT_EQ(nail->IsRisen, 0);
  EXPECT_EQ(DrawnBy(*nail).at(0).Frame, SpriteNailDown);
}

TEST_F(HazardTest, LiveReactorKillsEvenAnInvinciblePlayerDeadOneIsHarmless) {
  SpawnReactor(World(), 2, FloorRow - 1);
  auto reactor = Only<TReactor>();
  ASSERT_TRUE(reactor);
  EXPECT_EQ(LayerOf(reactor.get()), LayerFront);
  World().Player->InvincibilityTimer = 21;
  reactor->Health = 0;
  reactor->CheckCollisions();
  EXPECT_EQ(Game().Health, 9);
  EXPECT_EQ(World().Player->DelayedAction, 0);

  reactor->Health = 10;
  reactor->CheckCollisions();
  EXPECT_EQ(Game().Health, 0);
  EXPECT_EQ(World().Player->DelayedAction, TBraxTovar::Dying);
}

TEST_F(HazardTest, ReactorTakesEveryShotAndMeltsDownIntoTwoBonuses) {
  SpawnReactor(World(), 8, FloorRow - 1);  // PosX 16, PosY 127, 32 pixels high
  SpawnEnergyBeam(World(), 10, FloorRow - 1);
  SpawnEnergyBeam(World(), 11, FloorRow - 1);
  auto reactor = Only<TReactor>();
  ASSERT_TRUE(reactor);
  EXPECT_EQ(reactor->Health, 10);

  auto first = AddShot(16, 127);
  auto second = AddShot(16, 111);
  size_t mark = AudioMark();
  reactor->Update();
  EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundReactorHum});
  reactor->CheckCollisions();
  EXPECT_FALSE(first->IsListed());
  EXPECT_FALSE(second->IsListed());
  EXPECT_EQ(Game().PlayerShotsActive, 0);
  EXPECT_EQ(reactor->Health, 8);
  EXPECT_EQ(reactor->IsWhite, 1);
  EXPECT_EQ(Count("TParticle"), 8u);
  for (const TDrawn& d : DrawnBy(*reactor)) EXPECT_EQ(d.Frame, SpriteReactorWhite);
  reactor->Update();
  EXPECT_EQ(reactor->IsWhite, 0);

  reactor->Health = 1;
  AddShot(16, 127);
  AddShot(16, 127);
  reactor->CheckCollisions();  // the second shot is still consumed by the dead reactor
  EXPECT_EQ(reactor->Health, 0);
  EXPECT_EQ(Game().PlayerShotsActive, 0);
  EXPECT_EQ(reactor->Timer, 0);
  auto deco = Listed("TDecoExplosion");
  ASSERT_EQ(deco.size(), 1u);
  EXPECT_EQ(AsGame(deco[0])->PosX, 15);
  EXPECT_EQ(AsGame(deco[0])->PosY, 127);

  const int64_t score = Game().Score;
  mark = AudioMark();
  for (int t = 1; t <= 30; ++t) reactor->Update();
  EXPECT_TRUE(reactor->IsListed());
  EXPECT_EQ(Count("TWhiteBall"), 6u);       // two each at ticks 11, 22 and 27
  EXPECT_EQ(Count("TMetalShard"), 2u);      // tick 27
  EXPECT_EQ(Count("TDecoExplosion"), 15u);  // the last hit's, then 1, 1, 3, 3, 3, 3
  EXPECT_EQ(Count("TSmokeCloud"), 15u);     // every even tick
  EXPECT_FALSE(Has(SoundsPlayed(mark), SoundReactorHum));
  EXPECT_EQ(Game().Score, score);

  reactor->Update();
  EXPECT_FALSE(reactor->IsListed());
  EXPECT_EQ(Game().Score, score + 20000);
  EXPECT_EQ(Count("TBonusFlasher"), 2u);
  EXPECT_EQ(Count("TEnergyBeam"), 0u);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundReactorBlows));
}

TEST_F(HazardTest, CameraWatchesThePlayerNeverHurtsAndTakesOneShot) {
  SpawnCamera(World(), 5, FloorRow - 1);  // PosX 10
  EXPECT_EQ(Game().CamsTotal, 1);
  auto camera = Only<TCamera>();
  ASSERT_TRUE(camera);
  const std::pair<int32_t, uint8_t> cases[] = {{7, 0}, {8, 1}, {12, 1}, {13, 2}};
  for (auto [x, orientation] : cases) {
    World().Player->PosX = x;
    camera->Update();
    EXPECT_EQ(camera->Orientation, orientation) << x;
  }
  EXPECT_EQ(DrawnBy(*camera).at(0).Frame, SpriteCamera + 2);

  World().Player->PosX = 10;
  camera->CheckCollisions();
  EXPECT_EQ(Game().Health, 9);

  auto first = AddShot(10, 127);
  auto second = AddShot(11, 127);
  size_t mark = AudioMark();
  camera->CheckCollisions();
  EXPECT_FALSE(first->IsListed());
  EXPECT_TRUE(second->IsListed());
  EXPECT_FALSE(camera->IsListed());
  EXPECT_EQ(Game().CamsShot, 1);
  EXPECT_EQ(Game().Score, 100);
  EXPECT_EQ(Count("TDecoExplosion"), 1u);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundRobotHit));
}

TEST_F(HazardTest, HangingSignIsHarmlessThenShakesFallsAndShattersOnTheFloor) {
  SpawnACMESign(World(), 2, FloorRow - 1);  // level with the player: not above him
  SpawnACMESign(World(), 2, 3);             // PosY 63, above the player
  EXPECT_EQ(Game().SignsTotal, 2);
  auto signs = ListedObjects<TACMESign>(ActorList());
  ASSERT_EQ(signs.size(), 2u);
  auto level = signs[0], sign = signs[1];
  EXPECT_EQ(level->Width, 4);

  auto shot = AddShot(4, 127);
  level->Update();
  level->CheckCollisions();
  EXPECT_EQ(level->State, TACMESign::Hanging);
  EXPECT_EQ(Game().Health, 9);
  EXPECT_TRUE(shot->IsListed());
  EXPECT_EQ(DrawnBy(*level),
            (std::vector<TDrawn>{{48, 128, SpriteSignLeft}, {64, 128, SpriteSignRight}}));

  // Off screen it does not notice the player.
  Game().CamX = 100;
  sign->Update();
  EXPECT_EQ(sign->State, TACMESign::Hanging);
  Game().CamX = 0;
  sign->Update();
  EXPECT_EQ(sign->State, TACMESign::Shaking);

  size_t mark = AudioMark();
  std::vector<int32_t> shake;
  for (int t = 1; t <= 12; ++t) {
    sign->Update();
    shake.push_back(sign->PosY);
  }
  EXPECT_EQ(shake, (std::vector<int32_t>{64, 63, 64, 63, 64, 63, 64, 63, 64, 63, 64, 63}));
  EXPECT_TRUE(SoundsPlayed(mark).empty());
  sign->Update();
  EXPECT_EQ(sign->State, TACMESign::Falling);
  EXPECT_EQ(sign->PosY, 63);
  EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundSignFalls});

  std::vector<int32_t> fall;
  while (sign->IsListed() && fall.size() < 10) {
    sign->Update();
    fall.push_back(sign->PosY);
  }
  EXPECT_EQ(fall, (std::vector<int32_t>{75, 87, 99, 111, 123, 135}));  // row 8 is the floor
  EXPECT_FALSE(sign->IsListed());
  EXPECT_EQ(Game().SignsFallen, 1);
  EXPECT_EQ(Game().Score, 0);
  EXPECT_EQ(Count("TSmokeCloud"), 1u);
}

TEST_F(HazardTest, FallingSignHurtsAndTakesOneShotForFiveHundred) {
  SpawnACMESign(World(), 2, FloorRow - 1);
  auto sign = Only<TACMESign>();
  ASSERT_TRUE(sign);
  sign->State = TACMESign::Falling;
  sign->CheckCollisions();
  EXPECT_EQ(Game().Health, 8);
  EXPECT_TRUE(sign->IsListed());

  auto first = AddShot(6, 127);
  auto second = AddShot(6, 127);
  sign->CheckCollisions();
  EXPECT_FALSE(sign->IsListed());
  EXPECT_FALSE(first->IsListed());
  EXPECT_TRUE(second->IsListed());
  EXPECT_EQ(Game().SignsFallen, 1);
  EXPECT_EQ(Game().Score, 500);
  auto flashers = Listed("TBonusFlasher");
  ASSERT_EQ(flashers.size(), 1u);
  EXPECT_EQ(AsGame(flashers[0])->PosX, 5);
}

TEST_F(HazardTest, SignThatShattersInUpdateIsNotCountedTwice) {
  SpawnACMESign(World(), 2, FloorRow - 1);
  auto sign = Only<TACMESign>();
  ASSERT_TRUE(sign);
  sign->State = TACMESign::Falling;
  AddShot(4, 127);
  sign->Update();  // the floor is right below
  EXPECT_FALSE(sign->IsListed());
  sign->CheckCollisions();
  EXPECT_EQ(Game().SignsFallen, 1);
  EXPECT_EQ(Game().Score, 0);
  EXPECT_EQ(Game().Health, 9);

  // One that lands deep enough to overlap the player still hurts in that tick.
  SpawnACMESign(World(), 2, FloorRow - 1);
  auto low = Only<TACMESign>();
  ASSERT_TRUE(low);
  low->State = TACMESign::Falling;
  low->PosY = 116;
  low->Update();  // PosY 128: in the floor, box rows 113 to 128
  EXPECT_FALSE(low->IsListed());
  low->CheckCollisions();
  EXPECT_EQ(Game().Health, 8);
  EXPECT_EQ(Game().SignsFallen, 2);
}

TEST_F(HazardTest, RocketLaunchesOnAShotBreaksItsFloorAndTheFirstCeiling) {
  const int column = 6;
  World().Grid.Tiles[1][column] = Wall;               // the ceiling
  World().Grid.Tiles[2][column] = 0x0040;             // what the ceiling cell becomes
  World().Grid.Tiles[FloorRow + 1][column] = 0x0060;  // what the floor cell becomes
  SpawnRocket(World(), column, FloorRow - 1);         // PosX 12, PosY 127
  EXPECT_EQ(Game().MissilesTotal, 1);
  auto rocket = Only<TRocket>();
  ASSERT_TRUE(rocket);

  World().Player->PosX = 12;
  rocket->CheckCollisions();
  EXPECT_EQ(Game().Health, 9);  // rockets never hurt

  auto first = AddShot(12, 127);
  auto second = AddShot(12, 127);
  size_t mark = AudioMark();
  rocket->CheckCollisions();
  EXPECT_EQ(rocket->State, TRocket::Launched);
  EXPECT_FALSE(first->IsListed());
  EXPECT_TRUE(second->IsListed());
  EXPECT_EQ(Game().Score, 200);
  EXPECT_EQ(Count("TBonusFlasher"), 0u);  // silent points
  EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundRocketLaunch});
  rocket->CheckCollisions();  // launched: shots fly through
  EXPECT_TRUE(second->IsListed());

  rocket->Update();
  auto balls = Listed("TWhiteBall");
  ASSERT_EQ(balls.size(), 1u);
  EXPECT_EQ(AsGame(balls[0])->PosY, 143);
  EXPECT_EQ(rocket->CurrentFrame, 1);
  EXPECT_EQ(DrawnBy(*rocket).back(), (TDrawn{112, 144, SpriteRocketTail}));
  for (int t = 2; t <= 6; ++t) rocket->Update();
  EXPECT_EQ(rocket->PosY, 127);
  rocket->Update();
  EXPECT_EQ(rocket->PosY, 111);
  EXPECT_EQ(World().Grid.Tiles[FloorRow][column], Wall);

  rocket->Update();  // tick 8: the floor breaks, the rocket climbs a tile per tick
  EXPECT_EQ(World().Grid.Tiles[FloorRow][column], 0x0060);
  EXPECT_EQ(rocket->PosY, 95);
  EXPECT_EQ(rocket->CurrentFrame, 0);
  EXPECT_TRUE(rocket->IsListed());
  mark = AudioMark();
  rocket->Update();  // tick 9: the nose meets the ceiling in row 1
  EXPECT_EQ(rocket->PosY, 79);
  EXPECT_FALSE(rocket->IsListed());
  EXPECT_EQ(World().Grid.Tiles[1][column], 0x0040);
  EXPECT_EQ(Game().MissilesShot, 1);
  EXPECT_EQ(Game().Score, 200);
  EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundBlockBreaks});
}

TEST_F(HazardTest, RocketWhoseNoseLeavesTheMapChangesNoCellThere) {
  SpawnRocket(World(), 6, 4);  // PosY 79: the nose leaves the map at tick 8
  auto rocket = Only<TRocket>();
  ASSERT_TRUE(rocket);
  World().Grid.Tiles[0][6] = 0x0050;
  World().Grid.Tiles[1][6] = 0x0070;
  World().Grid.Tiles[6][6] = 0x0123;
  rocket->Start();
  for (int t = 1; t <= 8; ++t) rocket->Update();
  EXPECT_FALSE(rocket->IsListed());
  EXPECT_EQ(Game().MissilesShot, 1);
  EXPECT_EQ(World().Grid.Tiles[5][6], 0x0123);  // the cell under its starting place broke
  EXPECT_EQ(World().Grid.Tiles[0][6], 0x0050);
  EXPECT_EQ(World().Grid.Tiles[1][6], 0x0070);
}

TEST_F(HazardTest, MineHurtsThenExplodesAndFallsOnlyWhileOnScreen) {
  SpawnMine(World(), 2, FloorRow - 1);
  SpawnMine(World(), 6, 3);
  auto mines = ListedObjects<TMine>(ActorList());
  ASSERT_EQ(mines.size(), 2u);
  size_t mark = AudioMark();
  mines[0]->CheckCollisions();
  EXPECT_EQ(Game().Health, 8);
  EXPECT_FALSE(mines[0]->IsListed());
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundBlast));
  auto blast = Listed("TExplosion");
  ASSERT_EQ(blast.size(), 1u);
  EXPECT_EQ(AsGame(blast[0])->PosX, 4);
  EXPECT_EQ(AsGame(blast[0])->PosY, 127);
  EXPECT_EQ(Field(blast[0], "Direction"), 0);

  mines[1]->Update();
  EXPECT_EQ(mines[1]->PosY, 71);
  Game().CamX = 100;
  mines[1]->Update();
  EXPECT_EQ(mines[1]->PosY, 71);
}

TEST_F(HazardTest, JumpingMineHopsBackToItsPlaceAndSwallowsShots) {
  SpawnJumpingMine(World(), 6, FloorRow - 1);
  auto mine = Only<TJumpingMine>();
  ASSERT_TRUE(mine);
  size_t mark = AudioMark();
  std::vector<int32_t> path;
  for (int t = 0; t < 14; ++t) {
    mine->Update();
    path.push_back(mine->PosY);
  }
  EXPECT_EQ(path,
            (std::vector<int32_t>{111, 99, 91, 87, 86, 85, 85, 85, 86, 87, 91, 99, 111, 127}));
  EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundMineHop});
  EXPECT_EQ(mine->Timer, 0);

  auto first = AddShot(12, 127);
  auto second = AddShot(12, 120);
  mine->CheckCollisions();
  EXPECT_FALSE(first->IsListed());
  EXPECT_FALSE(second->IsListed());
  EXPECT_TRUE(mine->IsListed());
  EXPECT_EQ(Game().Score, 0);
  EXPECT_EQ(Game().Health, 9);
  World().Player->PosX = 12;
  mine->CheckCollisions();
  EXPECT_EQ(Game().Health, 8);
}

TEST_F(HazardTest, FlameThrowerWarnsElevenTicksThenFlamesTwenty) {
  SpawnFlameThrower(World(), 0, 0, FloorRow - 1);  // PosX 0..6, the player stands in the flame
  auto thrower = Only<TFlameThrower>();
  ASSERT_TRUE(thrower);
  EXPECT_EQ(thrower->Width, 6);
  std::vector<int32_t> frames;
  int firstHurt = 0, hurts = 0;
  size_t mark = AudioMark();
  for (int t = 1; t <= 65; ++t) {
    thrower->Update();
    thrower->CheckCollisions();
    frames.push_back(thrower->CurrentFrame);
    if (Game().Health < 9) {
      if (!hurts) firstHurt = t;
      ++hurts;
      Game().Health = 9;
      World().Player->InvincibilityTimer = 0;
    }
  }
  EXPECT_EQ(firstHurt, 24);
  EXPECT_EQ(hurts, 20);
  EXPECT_EQ(thrower->Timer, 0);
  EXPECT_EQ(SoundsPlayed(mark).at(0), SoundFlameWarning);
  for (int t = 1; t <= 12; ++t) EXPECT_EQ(frames[t - 1], 0) << t;
  for (int t = 13; t <= 23; ++t) EXPECT_EQ(frames[t - 1], (t - 13) % 2) << t;
  for (int t = 24; t <= 43; ++t) EXPECT_EQ(frames[t - 1], t % 2 ? 2 : 3) << t;
  for (int t = 44; t <= 65; ++t) EXPECT_EQ(frames[t - 1], 0) << t;
}

TEST_F(HazardTest, FlameThrowerDrawsTowardItsFlame) {
  SpawnFlameThrower(World(), 1, 3, FloorRow - 1);  // PosX 6: body at the right end
  auto thrower = Only<TFlameThrower>();
  ASSERT_TRUE(thrower);
  EXPECT_TRUE(DrawnBy(*thrower).empty());
  thrower->CurrentFrame = 1;
  EXPECT_EQ(DrawnBy(*thrower), (std::vector<TDrawn>{{96, 128, SpriteFlameThrowerLeft}}));
  thrower->CurrentFrame = 2;
  EXPECT_EQ(DrawnBy(*thrower), (std::vector<TDrawn>{{96, 128, SpriteFlameThrowerLeft + 1},
                                                    {80, 128, SpriteFlameThrowerLeft + 1},
                                                    {64, 128, SpriteFlameThrowerLeft + 3}}));
  thrower->Orientation = 0;
  thrower->CurrentFrame = 3;
  EXPECT_EQ(DrawnBy(*thrower), (std::vector<TDrawn>{{64, 128, SpriteFlameThrowerRight + 2},
                                                    {80, 128, SpriteFlameThrowerRight + 2},
                                                    {96, 128, SpriteFlameThrowerRight + 4}}));
}

}  // namespace
