// Pickups and bonuses: popups, boxes and what they hold, goodies, inventory, keys, letters
// and dynamite.
#include <gtest/gtest.h>

#include <algorithm>

#include "actors/effects.h"
#include "actors/pickups.h"
#include "data/object_codes.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world_state.h"
#include "world_fixture.h"

namespace {

class TPickupsTest : public TWorldTest {
 protected:
  void SetUp() override {
    TWorldTest::SetUp();
    Game().SetHintsActive(0);
    Game().FirePower = 4;
  }

  static std::shared_ptr<TActor> Goodie(int id, int column, int row) {
    SpawnGoodie(World(), id, column, row);
    auto all = ListedObjects<TActor>(ActorList());
    return all.empty() ? nullptr : all.back();
  }
  static TDrawn At(int32_t x, int32_t y, int sprite, int dx = 0, int dy = 0) {
    return {float(8 * (x - Game().CamX) + 16 + dx), float(y - 16 * Game().CamY + 1 + dy), sprite};
  }
  static std::vector<PActorListEntry> Entries() { return ActorList().Entries(); }
  static size_t IndexOf(const TActorListEntry* object) {
    auto all = Entries();
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i].get() == object) return i;
    return size_t(-1);
  }
  // Without the hero's sprites (sprite numbers below 240).
  static std::vector<TDrawn> NoHero(std::vector<TDrawn> drawn) {
    drawn.erase(
        std::remove_if(drawn.begin(), drawn.end(), [](const TDrawn& d) { return d.Frame < 240; }),
        drawn.end());
    return drawn;
  }
  // Collects letters in the given order next to the player: the points and the one sound
  // of each.
  std::vector<std::pair<int64_t, int>> CollectLetters(const std::vector<int>& order) {
    std::vector<std::pair<int64_t, int>> out;
    for (int letter : order) {
      SpawnGoodie(World(), GoodieLetterB + letter, 5, 10);
      auto l = ListedObjects<TLetter>(ActorList()).back();
      EXPECT_EQ(l->LetterNum, letter);
      const int64_t before = Game().Score;
      const size_t mark = AudioMark();
      l->CheckCollisions();
      EXPECT_FALSE(l->IsListed());
      auto played = SoundsPlayed(mark);
      out.push_back({Game().Score - before, played.size() == 1 ? played[0] : -1});
    }
    return out;
  }
  // A player shot lying on (x, y).
  static PBraxShot ShotAt(int32_t x, int32_t y) {
    SpawnBraxShot(World(), x, y, 1);
    auto shots = ListedObjects<TBraxShot>(ActorList());
    return shots.empty() ? nullptr : shots.back();
  }
};

// --- Score popups --------------------------------------------------------------------

TEST_F(TPickupsTest, BonusFlasherRisesThirtyNinePixelsAndLeavesOnItsFortiethUpdate) {
  ScoreFlasher(World(), Flasher200, 10, 100);
  EXPECT_EQ(Game().Score, 200);
  auto flasher = Only<TBonusFlasher>();
  ASSERT_TRUE(flasher);
  EXPECT_EQ(LayerOf(flasher.get()), LayerEffects);
  EXPECT_EQ(Tick(), std::vector<TDrawn>{At(10, 99, SpriteScorePopup + 3)});
  EXPECT_EQ(Tick(), std::vector<TDrawn>{At(10, 98, SpriteScorePopup + 2)});
  for (int i = 3; i <= 39; ++i) EXPECT_EQ(Tick().size(), 1u);
  EXPECT_EQ(flasher->PosY, 61);
  EXPECT_TRUE(Tick().empty());
  EXPECT_FALSE(flasher->IsListed());
}

TEST_F(TPickupsTest, LargeFlasherDrawsBothHalvesAndLivesUntilItsStartRowPlusSixteen) {
  ScoreFlasher(World(), FlasherLevelBonus + 2, 10, 20);
  EXPECT_EQ(Game().Score, 10000);
  auto flasher = Only<TLargeBonusFlasher>();
  ASSERT_TRUE(flasher);
  EXPECT_EQ(flasher->BaseSprite, SpriteBonusPopup + 8);
  EXPECT_EQ(flasher->TimeToLive, 36);
  EXPECT_EQ(Tick(), (std::vector<TDrawn>{At(10, 19, SpriteBonusPopup + 9),
                                         At(10, 19, SpriteBonusPopup + 11, 16)}));
  EXPECT_EQ(Tick(), (std::vector<TDrawn>{At(10, 18, SpriteBonusPopup + 8),
                                         At(10, 18, SpriteBonusPopup + 10, 16)}));
  int updates = 2;
  while (flasher->IsListed() && updates < 100) {
    Tick();
    ++updates;
  }
  EXPECT_EQ(updates, 37);
}

TEST_F(TPickupsTest, RandomPopupDependsOnTheTick) {
  const int64_t points[4] = {100, 500, 2000, 5000};
  const int sprites[4] = {SpriteScorePopup, SpriteScorePopup + 4, SpriteScorePopup + 8,
                          SpriteScorePopup + 10};
  for (int t = 0; t < 8; ++t) {
    SCOPED_TRACE(t);
    ResetActorList(World());
    Game().Timer = t;
    const int64_t before = Game().Score;
    ScoreFlasher(World(), FlasherRandom, 4, 50);
    EXPECT_EQ(Game().Score - before, points[t % 4]);
    EXPECT_EQ(Only<TBonusFlasher>()->BaseSprite, sprites[t % 4]);
  }
}

// --- Boxes ---------------------------------------------------------------------------

TEST_F(TPickupsTest, ShotBoxBurstsIntoItsGoodieRightAfterItInTheList) {
  SolidRow(11);
  SpawnKey(World(), 0, 1, 10);  // something before and after the box in its layer
  SpawnBox(World(), SpriteFoodCrate, GoodieTurkey, 5, 10);
  SpawnKey(World(), 1, 9, 10);
  auto box = Only<TBox>();
  ASSERT_TRUE(box);
  const auto before = Entries();
  const size_t at = IndexOf(box.get());
  auto shot = ShotAt(10, 175);
  const size_t mark = AudioMark();
  box->CheckCollisions();

  EXPECT_FALSE(box->IsListed());
  EXPECT_FALSE(shot->IsListed());
  EXPECT_EQ(Game().PlayerShotsActive, 0);
  auto turkey = Only<TTurkey>();
  ASSERT_TRUE(turkey);
  EXPECT_EQ(turkey->PosX, 10);
  EXPECT_EQ(turkey->PosY, 175);
  const auto after = Entries();
  const size_t turkeyAt = IndexOf(turkey.get());
  ASSERT_GT(turkeyAt, 0u);
  EXPECT_EQ(after[turkeyAt - 1], before[at - 1]);
  EXPECT_EQ(after[turkeyAt + 1], before[at + 1]);
  EXPECT_EQ(LayerOf(turkey.get()), LayerObjects);

  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundExplosion));
  EXPECT_EQ(ListedObjects<TParticle>(ActorList()).size(), 4u);
  EXPECT_TRUE(
      ListedObjects<TBonusFlasher>(ActorList()).empty());  // resting on the floor: no points
  EXPECT_EQ(Game().Score, 0);
}

TEST_F(TPickupsTest, BoxOverAGapGivesFiveHundred) {
  SpawnBox(World(), SpriteSupplyCrate, GoodieBoots, 5, 10);
  auto box = Only<TBox>();
  ShotAt(11, 170);
  box->CheckCollisions();
  EXPECT_EQ(Game().Score, 500);
  auto flasher = Only<TBonusFlasher>();
  ASSERT_TRUE(flasher);
  EXPECT_EQ(flasher->BaseSprite, SpriteScorePopup + 4);
  EXPECT_EQ(flasher->PosX, 10);
  EXPECT_EQ(flasher->PosY, 175);
  EXPECT_EQ(ListedObjects<TBoots>(ActorList()).size(), 1u);
}

TEST_F(TPickupsTest, BoxConsumesOneShotPerTick) {
  SolidRow(11);
  SpawnBox(World(), SpriteSupplyCrate, 0, 5, 10);  // empty box
  auto box = Only<TBox>();
  auto first = ShotAt(10, 175);
  auto second = ShotAt(11, 175);
  box->CheckCollisions();
  EXPECT_FALSE(first->IsListed());
  EXPECT_TRUE(second->IsListed());
  EXPECT_EQ(Game().PlayerShotsActive, 1);
  EXPECT_FALSE(box->IsListed());
  EXPECT_EQ(Entries().size(), 7u + 4u + 1u);  // separators, particles, the second shot
}

TEST_F(TPickupsTest, GoodieOutOfABoxIsVisitedInTheSamePass) {
  SolidRow(11);
  Game().CamY = 1;  // row 10 in view: the shot stays
  SpawnBox(World(), SpriteBonusCrate, GoodieFlag, 5, 10);
  SpawnBraxShot(World(), 8, 175, 1);  // steps onto the box before the box is visited
  auto drawn = Tick();
  auto flag = Only<TFlag>();
  ASSERT_TRUE(flag);
  EXPECT_EQ(flag->CurrentFrame, 1);  // updated once already
  EXPECT_EQ(drawn,
            (std::vector<TDrawn>{At(10, 175, SpriteHeroMuzzle + 1), At(10, 175, SpriteFlag + 1)}));
}

TEST_F(TPickupsTest, BoxesFallOnlyOnScreenButTheBalloonBoxAlways) {
  Game().CamY = 40;  // row 10 is far above the view
  SpawnBox(World(), SpriteSupplyCrate, 0, 5, 10);
  SpawnBalloonBox(World(), 8, 10);
  auto all = ListedObjects<TBox>(ActorList());
  ASSERT_EQ(all.size(), 2u);
  auto plain = all[0];
  auto balloonBox = std::dynamic_pointer_cast<TBalloonBox>(all[1]);
  ASSERT_TRUE(balloonBox);
  EXPECT_EQ(balloonBox->BoxSprite, SpriteBonusCrate);
  EXPECT_EQ(balloonBox->ContentID, GoodieBalloon);
  TickActorList(ActorList());
  EXPECT_EQ(plain->PosY, 175);
  EXPECT_EQ(balloonBox->PosY, 183);

  Game().CamY = 5;
  TickActorList(ActorList());
  EXPECT_EQ(plain->PosY, 191);
  EXPECT_EQ(balloonBox->PosY, 191);

  // Only the cell under the left column counts.
  World().Grid.Tiles[12][6] = 0x1820;  // under half-tiles 12 and 13
  plain->PosX = 11;  // half-tiles 11 (column 5, no floor) and 12 (column 6, floor)
  TickActorList(ActorList());
  EXPECT_EQ(plain->PosY, 207);
  plain->PosX = 12;
  plain->PosY = 191;
  TickActorList(ActorList());
  EXPECT_EQ(plain->PosY, 191);
}

TEST_F(TPickupsTest, ShotBalloonBoxLetsItsBalloonGo) {
  SolidRow(11);
  SpawnBalloonBox(World(), 5, 10);
  auto box = Only<TBalloonBox>();
  ShotAt(10, 175);
  box->CheckCollisions();
  auto balloon = Only<TBalloon>();
  ASSERT_TRUE(balloon);
  EXPECT_EQ(balloon->Height, 32);
  EXPECT_EQ(balloon->PosX, 10);
  EXPECT_EQ(balloon->PosY, 175);
}

// --- Food and bonus goodies ----------------------------------------------------------

TEST_F(TPickupsTest, GoodiesGivePointsAndEffectsOnTouch) {
  struct TCase {
    int Id;
    int Sprite;
    int Sound;
    int64_t Points;
    int Health;  // after starting at 5
  };
  const TCase cases[] = {
      {GoodieFootball, SpriteFootball, SoundBonusItem, 100, 5},
      {GoodieJoystick, SpriteJoystick, SoundBonusItem, 2000, 5},
      {GoodieDisk, SpriteDisk, SoundBonusItem, 5000, 5},
      {GoodieSoda, SpriteSoda, SoundFood, 200, 6},
      {GoodieTurkey, SpriteTurkey, SoundFood, 100, 6},
      {GoodieAtom, SpriteAtom, SoundAtom, 1000, 9},
  };
  SolidRow(11);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    ResetActorList(World());
    World().Player = nullptr;
    Game().Health = 5;
    Game().Score = 0;
    auto item = Goodie(c.Id, 5, 10);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Width, 2);
    EXPECT_EQ(item->Height, 16);
    EXPECT_EQ(Tick(), (std::vector<TDrawn>{At(10, 175, c.Sprite + (c.Id == GoodieAtom ? 1 : 0))}));
    PlacePlayer(5, 10);
    const size_t mark = AudioMark();
    Tick();
    EXPECT_FALSE(item->IsListed());
    EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{c.Sound});
    EXPECT_EQ(Game().Score, c.Points);
    EXPECT_EQ(Game().Health, c.Health);
    auto flasher = Only<TBonusFlasher>();
    ASSERT_TRUE(flasher);
    EXPECT_EQ(flasher->PosX, 10);
    EXPECT_EQ(flasher->PosY, 175);
  }
}

TEST_F(TPickupsTest, GoodiesFallOnlyWhileOnScreen) {
  SolidRow(20);
  auto ball = Goodie(GoodieFootball, 5, 10);
  Game().CamY = 30;
  TickActorList(ActorList());
  EXPECT_EQ(ball->PosY, 175);
  Game().CamY = 10;
  for (int i = 1; i <= 9; ++i) {
    TickActorList(ActorList());
    EXPECT_EQ(ball->PosY, std::min(175 + 16 * i, 319));
  }
}

TEST_F(TPickupsTest, SodaHitByTwoShotsLeaksTwiceThenRisesAndBurstsUnderTheCeiling) {
  SolidRow(11);
  SolidRow(6);  // ceiling: rows 96..111
  auto soda = std::dynamic_pointer_cast<TSoda>(Goodie(GoodieSoda, 5, 10));
  ASSERT_TRUE(soda);
  auto a = ShotAt(10, 175);
  auto b = ShotAt(11, 170);
  const size_t mark = AudioMark();
  soda->CheckCollisions();
  EXPECT_FALSE(a->IsListed());
  EXPECT_FALSE(b->IsListed());
  EXPECT_EQ(Game().PlayerShotsActive, 0);
  EXPECT_EQ(SoundsPlayed(mark), (std::vector<int>{SoundSodaLeaks, SoundSodaLeaks}));
  EXPECT_EQ(soda->IsLeaking, 1);

  // A third shot finds the can leaking already.
  auto c = ShotAt(10, 175);
  soda->CheckCollisions();
  EXPECT_TRUE(c->IsListed());
  c->Remove();

  auto drawn = Tick();
  EXPECT_EQ(soda->PosY, 175);  // rises from the next tick on
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_GE(drawn[0].Frame, SpriteSoda + 4);
  EXPECT_LE(drawn[0].Frame, SpriteSoda + 7);
  int ticks = 1;
  while (soda->IsListed() && ticks < 20) {
    Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 7);  // 175 -> 127 in six steps of 8; the top then touches row 6
  EXPECT_EQ(soda->PosY, 127);
  auto deco = Only<TDecoExplosion>();
  ASSERT_TRUE(deco);
  EXPECT_EQ(deco->PosX, 10);
  EXPECT_EQ(deco->PosY, 127);
}

TEST_F(TPickupsTest, LeakingSodaCaughtGivesAThousandAndNoHealth) {
  SolidRow(11);
  auto soda = std::dynamic_pointer_cast<TSoda>(Goodie(GoodieSoda, 5, 10));
  soda->StartLeaking();
  Game().Health = 5;
  PlacePlayer(5, 10);
  const size_t mark = AudioMark();
  soda->CheckCollisions();
  EXPECT_FALSE(soda->IsListed());
  EXPECT_EQ(Game().Health, 5);
  EXPECT_EQ(Game().Score, 1000);
  EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundBonusItem});
}

TEST_F(TPickupsTest, SodaShowsItsHintOnce) {
  SolidRow(11);
  Game().SetHintsActive(1);
  PlacePlayer(5, 10);
  auto first = Goodie(GoodieSoda, 5, 10);
  Headless->PressKey(KeyEnter, Headless->Millisecs() + 100);
  const size_t mark = AudioMark();
  first->CheckCollisions();
  EXPECT_EQ(SoundsPlayed(mark), (std::vector<int>{SoundFood, SoundMessage}));
  EXPECT_EQ(Game().MessageActive[2], 0);
  EXPECT_EQ(Game().MessageActive[3], 1);
  auto second = Goodie(GoodieSoda, 5, 10);
  const size_t again = AudioMark();
  second->CheckCollisions();
  EXPECT_EQ(SoundsPlayed(again), std::vector<int>{SoundFood});
}

TEST_F(TPickupsTest, TurkeyIsCookedByEveryShotOfOneTick) {
  SolidRow(11);
  auto turkey = Goodie(GoodieTurkey, 5, 10);
  auto a = ShotAt(10, 175);
  auto b = ShotAt(11, 175);
  turkey->CheckCollisions();
  EXPECT_FALSE(a->IsListed());
  EXPECT_FALSE(b->IsListed());
  EXPECT_EQ(turkey->CurrentFrame, 1);
  auto c = ShotAt(10, 175);  // cooked: ignores shots
  turkey->CheckCollisions();
  EXPECT_TRUE(c->IsListed());
  c->Remove();
  EXPECT_EQ(Tick(), std::vector<TDrawn>{At(10, 175, SpriteTurkey + 1)});

  Game().Health = 5;
  PlacePlayer(5, 10);
  turkey->CheckCollisions();
  EXPECT_FALSE(turkey->IsListed());
  EXPECT_EQ(Game().Health, 7);
  EXPECT_EQ(Game().Score, 200);
}

// --- Balloons ------------------------------------------------------------------------

TEST_F(TPickupsTest, BalloonRisesToTheCeilingAndBurstsWithoutPoints) {
  SolidRow(6);  // rows 96..111
  auto balloon = std::dynamic_pointer_cast<TBalloon>(Goodie(GoodieBalloon, 5, 10));
  ASSERT_TRUE(balloon);
  EXPECT_EQ(Tick(), (std::vector<TDrawn>{At(10, 174, SpriteBalloon, 0, -16),
                                         At(10, 174, SpriteBalloonString)}));
  int ticks = 1;
  while (!balloon->IsExploding && ticks < 100) {
    Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 33);  // 32 pixels up, then the ceiling is right above
  EXPECT_EQ(balloon->PosY, 143);
  EXPECT_EQ(Tick(), std::vector<TDrawn>{});  // the smoke is in an earlier layer
  EXPECT_FALSE(balloon->IsListed());
  auto smoke = Only<TSmokeCloud>();
  ASSERT_TRUE(smoke);
  EXPECT_EQ(smoke->PosY, 127);
  EXPECT_EQ(Game().Score, 0);
}

TEST_F(TPickupsTest, BurstBalloonShowsItsBurstSpriteForOneDraw) {
  auto balloon = std::dynamic_pointer_cast<TBalloon>(Goodie(GoodieBalloon, 5, 10));
  auto a = ShotAt(10, 170);
  auto b = ShotAt(11, 170);
  Present();
  balloon->CheckCollisions();
  EXPECT_TRUE(balloon->IsExploding);
  EXPECT_FALSE(a->IsListed());
  EXPECT_TRUE(b->IsListed());  // one shot per tick
  EXPECT_EQ(Game().PlayerShotsActive, 1);
  balloon->Draw();
  EXPECT_EQ(DrawnFrom(Present(), SpriteImage),
            std::vector<TDrawn>{At(10, 175, SpriteBalloonBurst, 0, -16)});
  b->Remove();
  EXPECT_TRUE(Tick().empty());
  EXPECT_FALSE(balloon->IsListed());
  EXPECT_EQ(Only<TSmokeCloud>()->PosY, 159);
  EXPECT_EQ(Game().Score, 0);
}

TEST_F(TPickupsTest, CaughtBalloonGivesTenThousandAndTakesNoShot) {
  auto balloon = Goodie(GoodieBalloon, 5, 10);
  PlacePlayer(5, 10);
  auto shot = ShotAt(10, 175);
  const size_t mark = AudioMark();
  balloon->CheckCollisions();
  EXPECT_FALSE(balloon->IsListed());
  EXPECT_TRUE(shot->IsListed());
  EXPECT_EQ(Game().Score, 10000);
  EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundBalloon});
}

// --- Inventory, keys and letters -----------------------------------------------------

TEST_F(TPickupsTest, InventoryItemsGiveTheirThingWithAThousandPoints) {
  struct TCase {
    int Id;
    int Sprite;
    uint16_t TGameState::*Flag;
  };
  const TCase cases[] = {{GoodieBoots, SpriteBoots, &TGameState::GotBoots},
                         {GoodieHooks, SpriteHooks, &TGameState::GotHooks},
                         {GoodieGlove, SpriteGlove, &TGameState::GotGlove},
                         {GoodieAccessCard, SpriteAccessCard, &TGameState::GotAccessCard},
                         {GoodiePistol, SpritePistol, &TGameState::FirePower}};
  SolidRow(11);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    ResetActorList(World());
    World().Player = nullptr;
    Game().Score = 0;
    Game().FirePower = 0;
    auto item = Goodie(c.Id, 5, 10);
    EXPECT_EQ(Tick(), std::vector<TDrawn>{At(10, 175, c.Sprite)});
    PlacePlayer(5, 10);
    const size_t mark = AudioMark();
    Tick();
    EXPECT_FALSE(item->IsListed());
    EXPECT_EQ(Game().*c.Flag, 1);
    EXPECT_EQ(Game().Score, 1000);
    EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundItem});
  }
  Game().FirePower = 4;
  auto pistol = Goodie(GoodiePistol, 5, 10);
  pistol->CheckCollisions();
  EXPECT_EQ(Game().FirePower, 4);
}

TEST_F(TPickupsTest, KeysHangInTheAirAndOnlyKnownNumbersAreKept) {
  SpawnKey(World(), 2, 5, 10);
  auto key = Only<TKey>();
  EXPECT_EQ(Tick(), std::vector<TDrawn>{At(10, 175, SpriteKey + 2)});
  EXPECT_EQ(key->PosY, 175);
  PlacePlayer(5, 10);
  const size_t mark = AudioMark();
  Tick();
  EXPECT_FALSE(key->IsListed());
  EXPECT_EQ(Game().GotKey, (std::vector<uint16_t>{0, 0, 1, 0}));
  EXPECT_EQ(Game().Score, 1000);
  EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundKey});

  SpawnKey(World(), 5, 5, 10);
  auto odd = Only<TKey>();
  odd->CheckCollisions();
  EXPECT_FALSE(odd->IsListed());
  EXPECT_EQ(Game().GotKey, (std::vector<uint16_t>{0, 0, 1, 0}));
  EXPECT_EQ(Game().Score, 2000);
}

TEST_F(TPickupsTest, LettersInOrderGiveTheBonus) {
  SolidRow(11);
  PlacePlayer(5, 10);
  auto got = CollectLetters({0, 1, 2, 3});
  EXPECT_EQ(got, (std::vector<std::pair<int64_t, int>>{{500, SoundBonusItem},
                                                       {500, SoundBonusItem},
                                                       {500, SoundBonusItem},
                                                       {10000, SoundLetterBonus}}));
  EXPECT_EQ(Game().LetterBonus, 1);
  EXPECT_EQ(Game().Letters, "BRAX");
  EXPECT_EQ(ListedObjects<TBonusFlasher>(ActorList()).back()->BaseSprite, SpriteScorePopup + 12);
}

TEST_F(TPickupsTest, LettersOutOfOrderGiveNoBonus) {
  SolidRow(11);
  PlacePlayer(5, 10);
  auto got = CollectLetters({1, 0, 2, 3});
  EXPECT_EQ(got, (std::vector<std::pair<int64_t, int>>{{500, SoundBonusItem},
                                                       {500, SoundBonusItem},
                                                       {500, SoundBonusItem},
                                                       {500, SoundBonusItem}}));
  EXPECT_EQ(Game().LetterBonus, 0);
  EXPECT_EQ(Game().LetterBits, 15);
}

// --- Dynamite ------------------------------------------------------------------------

TEST_F(TPickupsTest, DynamiteBlinksHidesAndBlastsAlongTheFloor) {
  SolidRow(11);
  auto dynamite = Goodie(GoodieDynamite, 20, 10);
  PlacePlayer(20, 10);  // touching it does nothing
  for (int t = 0; t < 10; ++t)
    EXPECT_EQ(NoHero(Tick()), std::vector<TDrawn>{At(40, 175, SpriteDynamite + t % 2)});
  EXPECT_TRUE(NoHero(Tick()).empty());
  EXPECT_TRUE(NoHero(Tick()).empty());
  EXPECT_TRUE(ListedObjects<TExplosion>(ActorList()).empty());
  const size_t mark = AudioMark();
  TickActorList(ActorList());  // Timer 12: the centre blast
  // The blast is visited in the same pass and catches the hero standing on the dynamite.
  EXPECT_EQ(SoundsPlayed(mark), (std::vector<int>{SoundBlast, SoundHurt}));
  auto centre = Only<TExplosion>();
  ASSERT_TRUE(centre);
  EXPECT_EQ(centre->PosX, 40);
  EXPECT_EQ(centre->Direction, 0);
  TickActorList(ActorList());
  TickActorList(ActorList());
  EXPECT_TRUE(dynamite->IsListed());
  TickActorList(ActorList());  // Timer 15: the sides, and the dynamite is gone
  EXPECT_FALSE(dynamite->IsListed());

  std::vector<int32_t> xs;
  for (int i = 0; i < 40 && !ListedObjects<TExplosion>(ActorList()).empty(); ++i) {
    for (const auto& e : ListedObjects<TExplosion>(ActorList()))
      if (std::find(xs.begin(), xs.end(), e->PosX) == xs.end()) xs.push_back(e->PosX);
    TickActorList(ActorList());
  }
  std::sort(xs.begin(), xs.end());
  EXPECT_EQ(xs, (std::vector<int32_t>{32, 34, 36, 38, 40, 42, 44, 46, 48}));
}

TEST_F(TPickupsTest, DynamiteSpreadsOnlyWhereThereIsFloorAndRoom) {
  SolidRow(11);
  World().Grid.Tiles[10][21] = 0x1820;  // wall right next to it
  World().Grid.Tiles[11][17] = 0;       // gap four half-tiles to the left
  Goodie(GoodieDynamite, 20, 10);
  std::vector<std::pair<int32_t, int32_t>> blasts;
  for (int i = 0; i < 60; ++i) {
    for (const auto& e : ListedObjects<TExplosion>(ActorList())) {
      std::pair<int32_t, int32_t> b{e->PosX, e->Direction};
      if (std::find(blasts.begin(), blasts.end(), b) == blasts.end()) blasts.push_back(b);
    }
    TickActorList(ActorList());
  }
  EXPECT_EQ(blasts, (std::vector<std::pair<int32_t, int32_t>>{{40, 0}, {38, -3}, {36, -2}}));
}

}  // namespace
