// The game state: new game and per-level values, letters, bonus bits, score and
// saturation, hints, and advancing to the next map.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "data/object_codes.h"
#include "world/savegame.h"
#include "world_fixture.h"

class GameStateTest : public TWorldTest {};

TEST_F(GameStateTest, NewGameValuesAndHintSwitches) {
  NewGameState(World(), false);
  TGameState& g = Game();
  EXPECT_EQ(g.Health, 9);
  EXPECT_EQ(g.FirePower, 1);
  EXPECT_EQ(g.CorrectOrder, 1);
  EXPECT_EQ(g.Score, 0);
  EXPECT_EQ(g.MessageActive, std::vector<uint16_t>(12, 0));
  NewGameState(World(), true);
  EXPECT_EQ(Game().MessageActive, std::vector<uint16_t>(12, 1));
  EXPECT_TRUE(Game().HintIsActive(0));
  EXPECT_TRUE(Game().HintIsActive(11));
  EXPECT_FALSE(Game().HintIsActive(12));
  EXPECT_FALSE(Game().HintIsActive(255));
  Game().MessageActive[4] = 0;
  EXPECT_FALSE(Game().HintIsActive(4));
  Game().SetHintsActive(0);
  EXPECT_EQ(Game().MessageActive, std::vector<uint16_t>(12, 0));

  // No box for a number past the switches, nor past a short switch array (garbled quick save).
  Game().MessageActive = std::vector<uint16_t>(3, 1);  // a fresh buffer of three
  size_t mark = AudioMark();
  ShowHint(World(), 5, false);
  ShowHint(World(), 12, false);
  EXPECT_TRUE(SoundsPlayed(mark).empty());
  EXPECT_EQ(Game().MessageActive, (std::vector<uint16_t>{1, 1, 1}));
}

TEST_F(GameStateTest, LettersInOrderEarnTheBonus) {
  TGameState& g = Game();
  EXPECT_FALSE(g.AddLetter(0));
  EXPECT_FALSE(g.AddLetter(1));
  EXPECT_FALSE(g.AddLetter(2));
  EXPECT_TRUE(g.AddLetter(3));
  EXPECT_EQ(g.Letters, "BRAX");
  EXPECT_EQ(g.LetterBits, 15);
  EXPECT_EQ(g.LetterBonus, 1);
  EXPECT_EQ(g.GetBonusBits() & 16, 16);
}

TEST_F(GameStateTest, LettersOutOfOrderOrTwiceLoseIt) {
  const std::vector<std::vector<uint8_t>> orders = {
      {1, 0, 2, 3}, {0, 0, 1, 2, 3}, {3, 0, 1, 2}, {0, 2, 1, 3}};
  for (const auto& order : orders) {
    NewGameState(World(), true);
    TGameState& g = Game();
    std::vector<bool> results;
    for (uint8_t n : order) results.push_back(g.AddLetter(n));
    EXPECT_EQ(std::count(results.begin(), results.end(), true), 0);
    EXPECT_EQ(g.LetterBits, 15);
    EXPECT_EQ(g.CorrectOrder, 0);
    EXPECT_EQ(g.LetterBonus, 0);
    EXPECT_EQ(g.GetBonusBits() & 16, 0);
  }
  // "R" before "B": the order is lost with the "B".
  NewGameState(World(), true);
  Game().AddLetter(1);
  EXPECT_EQ(Game().CorrectOrder, 0);  // "B" is missing
  NewGameState(World(), true);
  Game().AddLetter(0);
  Game().AddLetter(1);
  EXPECT_EQ(Game().CorrectOrder, 1);
  Game().AddLetter(0);
  EXPECT_EQ(Game().CorrectOrder, 0);
  EXPECT_EQ(Game().Letters, "BRB");
}

TEST_F(GameStateTest, BonusBits) {
  TGameState& g = Game();
  g.ReInit();
  EXPECT_EQ(g.GetBonusBits(), 2);  // no cameras: 0 of 0 shot earns nothing; never hit
  g.GotHit = 1;
  EXPECT_EQ(g.GetBonusBits(), 0);
  g.CamsTotal = 2;
  g.CamsShot = 1;
  EXPECT_EQ(g.GetBonusBits(), 0);
  g.CamsShot = 2;
  g.SignsTotal = g.SignsFallen = 1;
  g.MissilesTotal = g.MissilesShot = 3;
  g.SnakesTotal = g.SnakesShot = 9;
  g.BunniesTotal = g.BunniesShot = 4;
  EXPECT_EQ(g.GetBonusBits(), 1 | 4 | 8 | 32 | 64);
  g.BunniesShot = 3;
  g.LetterBonus = 1;
  EXPECT_EQ(g.GetBonusBits(), 1 | 4 | 8 | 16 | 32);
  EXPECT_EQ(BonusInfoText(Game()),
            "BONUS INFO\n\nCameras:\t2 of 2\nSigns:\t1 of 1\nMissiles:\t3 of 3\nBunnies:\t3 of "
            "4\nSnake:\t9 of 9"
            "\n\nBits:\t61");
  ShowBonusInfo(Game());
  ASSERT_EQ(Headless->MessageBoxes.size(), 1u);
  EXPECT_NE(Headless->MessageBoxes[0].find("Bunnies:\t3 of 4"), std::string::npos);
}

TEST_F(GameStateTest, ScoreHealthAndFirePower) {
  TGameState& g = Game();
  g.AddScore(INT32_MAX);
  g.AddScore(INT32_MAX);
  g.AddScore(2);
  EXPECT_EQ(g.Score, int64_t(1) << 32);
  EXPECT_EQ(g.ShownScore(), 0u);
  g.AddScore(-1);
  EXPECT_EQ(g.Score, (int64_t(1) << 32) - 1);
  EXPECT_EQ(g.ShownScore(), 0xFFFFFFFFu);

  g.Health = 3;
  g.AddHealth(2);
  EXPECT_EQ(g.Health, 5);
  g.AddHealth(4);
  EXPECT_EQ(g.Health, 9);
  g.Health = 8;
  g.AddHealth(255);
  EXPECT_EQ(g.Health, 9);

  std::vector<int> power;
  for (int i = 0; i < 5; ++i) {
    g.AddPistol();
    power.push_back(g.FirePower);
  }
  EXPECT_EQ(power, (std::vector<int>{2, 3, 4, 4, 4}));

  GiveEverything(Game());
  EXPECT_EQ(g.FirePower, 4);
  EXPECT_EQ(g.GotKey, std::vector<uint16_t>(4, 1));
  EXPECT_TRUE(g.GotBoots && g.GotHooks && g.GotGlove && g.GotAccessCard);
}

TEST_F(GameStateTest, ReInitResetsThePerLevelValuesOnly) {
  TGameState& g = Game();
  g.Health = 4;
  g.Score = 777;
  g.FirePower = 3;
  g.MapOn = 5;
  g.CamX = 40;
  g.CamY = 20;
  g.CamDestY = 19;
  g.GotBoots = g.GotHooks = g.GotGlove = g.GotAccessCard = 1;
  g.MessageActive[3] = 0;
  g.Timer = 99;
  g.GotKey = {1, 1, 0, 1};
  g.ExitLevel = g.PlayerIsDead = g.Victory = g.GotHit = 1;
  g.PlayerShotsActive = g.EnemyShotsActive = 2;
  g.CamsTotal = g.CamsShot = g.SignsTotal = g.SignsFallen = 3;
  g.MissilesTotal = g.MissilesShot = g.SnakesTotal = g.SnakesShot = 4;
  g.BunniesTotal = g.BunniesShot = 5;
  g.AddLetter(2);
  g.LetterBonus = 1;
  g.ReInit();

  TGameState fresh;
  fresh.Health = 4;
  fresh.Score = 777;
  fresh.FirePower = 3;
  fresh.MapOn = 5;
  fresh.CamX = 40;
  fresh.CamY = 20;
  fresh.CamDestY = 19;
  fresh.GotBoots = fresh.GotHooks = fresh.GotGlove = fresh.GotAccessCard = 1;
  fresh.MessageActive = std::vector<uint16_t>(12, 1);
  fresh.MessageActive[3] = 0;
  fresh.CorrectOrder = 1;
  // Every field compared through the walker, so that a field added later is covered too.
  for (const TFieldInfo* f : TGameState::StaticClass().AllFields()) {
    switch (f->Type) {
      case TFieldType::Byte:
        EXPECT_EQ(*static_cast<uint8_t*>(f->Address(g)), *static_cast<uint8_t*>(f->Address(fresh)))
            << f->Name;
        break;
      case TFieldType::Short:
        EXPECT_EQ(*static_cast<uint16_t*>(f->Address(g)),
                  *static_cast<uint16_t*>(f->Address(fresh)))
            << f->Name;
        break;
      case TFieldType::Int:
        EXPECT_EQ(*static_cast<int32_t*>(f->Address(g)), *static_cast<int32_t*>(f->Address(fresh)))
            << f->Name;
        break;
      case TFieldType::Long:
        EXPECT_EQ(*static_cast<int64_t*>(f->Address(g)), *static_cast<int64_t*>(f->Address(fresh)))
            << f->Name;
        break;
      case TFieldType::String:
        EXPECT_EQ(*static_cast<std::string*>(f->Address(g)),
                  *static_cast<std::string*>(f->Address(fresh)))
            << f->Name;
        break;
      case TFieldType::ShortArray:
        EXPECT_EQ(*static_cast<std::vector<uint16_t>*>(f->Address(g)),
                  *static_cast<std::vector<uint16_t>*>(f->Address(fresh)))
            << f->Name;
        break;
      default: ADD_FAILURE() << "unexpected field type of " << f->Name;
    }
  }
}

class AdvanceTest : public GameStateTest {
 protected:
  void SetUp() override {
    GameStateTest::SetUp();
    for (int m = 0; m < 3; ++m) {
      auto map = EmptyMap();
      Put(map, 20, 30, ObjectHero);
      Floor(map, 31);
      WriteMap("m" + std::to_string(m) + ".qz1", map);
      LevelList.push_back("m" + std::to_string(m) + ".qz1");
    }
  }
  static bool AutomaticSaveExists() { return std::filesystem::exists(SavegameFileName(0)); }
};

TEST_F(AdvanceTest, AfterALevelTheBonusesAreShownAndTheGameSaved) {
  TGameState& g = Game();
  ASSERT_TRUE(LoadLevel(World()));
  g.CamsTotal = g.CamsShot = 1;
  g.MissilesTotal = 2;
  g.MissilesShot = 2;
  g.Score = 5;
  AdvanceToNextMap(World());
  EXPECT_EQ(g.MapOn, 1);
  EXPECT_EQ(g.CamsTotal, 0);  // the next level has started
  EXPECT_EQ(g.Score, 5 + 3 * 10000);
  auto flashers = Listed("TLargeBonusFlasher");
  ASSERT_EQ(flashers.size(), 3u);
  const int64_t sprites[3] = {692, 696, 704};  // bits 0, 1 and 3 in that order
  for (size_t i = 0; i < 3; ++i) {
    int32_t y = 16 * g.CamY + 160 + 32 * int32_t(i);
    EXPECT_EQ(AsGame(flashers[i])->PosX, g.CamX + 15);
    EXPECT_EQ(AsGame(flashers[i])->PosY, y);
    EXPECT_EQ(Field(flashers[i], "BaseSprite"), sprites[i]);
    EXPECT_EQ(Field(flashers[i], "TimeToLive"), y + 16);
  }
  ASSERT_TRUE(AutomaticSaveExists());
  auto save = ReadSavegame(SavegameFileName(0));
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(save->MapNumber, 1);
}

TEST_F(AdvanceTest, AHallwayGivesNoBonusAndNoSave) {
  TGameState& g = Game();
  g.MapOn = 1;
  ASSERT_TRUE(LoadLevel(World()));
  g.Score = 0;
  AdvanceToNextMap(World());
  EXPECT_EQ(g.MapOn, 2);
  EXPECT_EQ(g.Score, 0);
  EXPECT_TRUE(Listed("TLargeBonusFlasher").empty());
  EXPECT_FALSE(AutomaticSaveExists());

  // The last map of the episode is not passed.
  g.GotHit = 1;
  AdvanceToNextMap(World());
  EXPECT_EQ(g.MapOn, 2);
  EXPECT_TRUE(AutomaticSaveExists());
}
