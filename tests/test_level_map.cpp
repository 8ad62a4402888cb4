// Level files: size checks, object codes turned into objects, pulling, conveyor belts,
// fake bridges, mirror cells, the tile tests and the initial camera.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/object_codes.h"
#include "data/tile_words.h"
#include "world/world_state.h"
#include "world_fixture.h"

class LevelMapTest : public TWorldTest {
 protected:
  // Writes and loads the map; expects success.
  void Load(const std::vector<uint16_t>& map) {
    WriteMap("level.qz1", map);
    ASSERT_TRUE(LoadMap(World(), "level.qz1"));
  }
  static std::string Warning(const std::string& text) { return "WARNING :: LoadMap :: " + text; }
};

TEST_F(LevelMapTest, WrongSizesAndMissingFilesChangeNothing) {
  PlacePlayer(3, 3);
  PBraxTovar before = World().Player;
  World().Grid.Tiles[4][4] = 0x1234;
  World().Grid.Mirrors[4][5] = 1;
  auto bytes = EncodeLevelMap(EmptyMap());
  ASSERT_EQ(bytes.size(), 23040u);
  TTempDir::Write(Temp.Dir() + "short.qz1", std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));
  auto longer = bytes;
  longer.push_back(0);
  TTempDir::Write(Temp.Dir() + "long.qz1", longer);

  for (const std::string& name : std::vector<std::string>{"short.qz1", "long.qz1", "missing.qz1"}) {
    EXPECT_FALSE(LoadMap(World(), name)) << name;
    EXPECT_EQ(CountLog(Warning("cannot read \"" + name + "\" as level file!")), 1) << name;
  }
  EXPECT_EQ(World().Grid.Tiles[4][4], 0x1234);
  EXPECT_EQ(World().Grid.Mirrors[4][5], 1);
  EXPECT_EQ(World().Player, before);
  EXPECT_TRUE(before->IsListed());
  EXPECT_EQ(ActorList().Count(), 8u);
}

TEST_F(LevelMapTest, ThePlayerComesFromTheLastStartCode) {
  PlacePlayer(7, 7);  // of the previous level: removed by the load
  PBraxTovar old = World().Player;
  Load(EmptyMap());
  ASSERT_NE(World().Player, nullptr);
  EXPECT_NE(World().Player, old);
  EXPECT_FALSE(old->IsListed());
  EXPECT_EQ(World().Player->PosX, 2);
  EXPECT_EQ(World().Player->PosY, 31);
  EXPECT_EQ(Listed("TBraxTovar").size(), 1u);
  EXPECT_EQ(LayerOf(World().Player.get()), LayerHero);

  auto map = EmptyMap();
  Put(map, 40, 3, ObjectHero);
  Put(map, 39, 3, 0x0060);
  Put(map, 5, 10, ObjectHero);
  Load(map);
  EXPECT_EQ(World().Player->PosX, 10);
  EXPECT_EQ(World().Player->PosY, 175);
  auto players = Listed("TBraxTovar");
  ASSERT_EQ(players.size(), 1u);
  EXPECT_EQ(players[0], World().Player);
  EXPECT_EQ(World().Grid.Tiles[3][40], 0x0060);  // start codes take the left neighbour's word
  EXPECT_EQ(World().Grid.Tiles[10][5], 0);
}

TEST_F(LevelMapTest, ConveyorBelts) {
  auto map = EmptyMap();
  Put(map, 110, 5, ObjectBeltLeftEnd);  // an end code left of the start does not count
  Put(map, 120, 5, ObjectBeltLeftStart);
  Put(map, 125, 5, ObjectBeltLeftEnd);
  Put(map, 127, 5, ObjectBeltLeftEnd);
  Put(map, 120, 6, ObjectBeltRightStart);
  Put(map, 120, 7, ObjectBeltLeftStart);
  Put(map, 121, 7, ObjectBeltRightEnd);  // the end of the other kind of belt
  Load(map);
  auto belts = Listed("TConveyorBelt");
  ASSERT_EQ(belts.size(), 3u);
  for (const auto& b : belts) EXPECT_EQ(LayerOf(b.get()), LayerMechanics);
  // In cells: start column and row, last column.
  EXPECT_EQ(AsGame(belts[0])->PosX, 120);
  EXPECT_EQ(AsGame(belts[0])->PosY, 5);
  EXPECT_EQ(Field(belts[0], "EndX"), 125);
  EXPECT_EQ(Field(belts[0], "Direction"), 0);
  EXPECT_EQ(AsGame(belts[1])->PosY, 6);
  EXPECT_EQ(Field(belts[1], "EndX"), 127);
  EXPECT_EQ(Field(belts[1], "Direction"), 1);
  EXPECT_EQ(Field(belts[2], "EndX"), 127);
  EXPECT_EQ(
      CountLog(Warning(
          "no end for start of conveyor belt -> at position 120, 6 (belt now ends at 127, 6)")),
      1);
  EXPECT_EQ(
      CountLog(Warning(
          "no end for start of conveyor belt <- at position 120, 7 (belt now ends at 127, 7)")),
      1);
  EXPECT_FALSE(LogContains("at position 120, 5"));
  // Start and end codes stay in the grid.
  EXPECT_EQ(World().Grid.Tiles[5][120], ObjectBeltLeftStart);
  EXPECT_EQ(World().Grid.Tiles[5][125], ObjectBeltLeftEnd);
  EXPECT_EQ(World().Grid.Tiles[5][110], ObjectBeltLeftEnd);
  EXPECT_EQ(World().Grid.Tiles[6][120], ObjectBeltRightStart);
  EXPECT_EQ(World().Grid.Tiles[7][121], ObjectBeltRightEnd);
}

TEST_F(LevelMapTest, PullingTable) {
  struct TCase {
    uint16_t Code;
    uint16_t Expected;  // the word the cell takes
  };
  const uint16_t Left = 0x0100, Right = 0x0200, Above = 0x0300, Below = 0x0400;
  const TCase cases[] = {{ObjectElevator, ElevatorShaftTile},
                         {ObjectExtender, ExtenderBridgeTile},
                         {ObjectKeyDoor0, LockedDoorTile},
                         {ObjectKeyDoor0 + 3, LockedDoorTile},
                         {ObjectAlienPlant, 0},
                         {ObjectPoster, 0},
                         {ObjectBarrel, 0},
                         {ObjectFlameThrowerRight, Right},
                         {ObjectCrawlBotWallLeft, Right},
                         {ObjectFanBlowingRight, Right},
                         {ObjectArrowLeft, Right},
                         {ObjectRocket, Above},
                         {ObjectEnergyBeam, Above},
                         {ObjectLamp, Above},
                         {ObjectNail, Above},
                         {ObjectFloorSpikes, Above},
                         {ObjectCamera, Below},
                         {ObjectCeilingSpikes, Below},
                         {ObjectBoxEmpty, Left},
                         {ObjectTechBot, Left},
                         {ObjectMirror, Left},
                         {ObjectMine, Left},
                         {ObjectBeltLeftEnd, ObjectBeltLeftEnd},
                         {ObjectBeltRightEnd, ObjectBeltRightEnd}};
  auto map = EmptyMap();
  int n = 0;
  for (const TCase& c : cases) {
    int column = 4 + 4 * (n % 30), row = 3 + 4 * (n / 30);
    ++n;
    Put(map, column, row, c.Code);
    Put(map, column - 1, row, Left);
    Put(map, column + 1, row, Right);
    Put(map, column, row - 1, Above);
    Put(map, column, row + 1, Below);
  }
  Load(map);
  n = 0;
  for (const TCase& c : cases) {
    int column = 4 + 4 * (n % 30), row = 3 + 4 * (n / 30);
    ++n;
    EXPECT_EQ(World().Grid.Tiles[row][column], c.Expected) << std::hex << c.Code;
  }
  EXPECT_FALSE(LogContains("pulling error"));
}

TEST_F(LevelMapTest, PullingErrorsAtTheEdges) {
  auto map = EmptyMap();
  Put(map, 0, 7, ObjectTechBot);
  Put(map, 127, 9, ObjectFlameThrowerRight);
  Put(map, 50, 0, ObjectRocket);
  Put(map, 60, 89, ObjectCamera);
  Load(map);
  EXPECT_EQ(
      CountLog(Warning("pulling error: object code 0x3010 at position 0, 7 is pulling from left")),
      1);
  EXPECT_EQ(CountLog(Warning(
                "pulling error: object code 0x3009 at position 127, 9 is pulling from right")),
            1);
  EXPECT_EQ(CountLog(Warning(
                "pulling error: object code 0x3007 at position 50, 0 is pulling from above")),
            1);
  EXPECT_EQ(CountLog(Warning(
                "pulling error: object code 0x3024 at position 60, 89 is pulling from below")),
            1);
  EXPECT_EQ(World().Grid.Tiles[7][0], ObjectTechBot);
  EXPECT_EQ(World().Grid.Tiles[9][127], ObjectFlameThrowerRight);
  EXPECT_EQ(World().Grid.Tiles[0][50], ObjectRocket);
  EXPECT_EQ(World().Grid.Tiles[89][60], ObjectCamera);
}

TEST_F(LevelMapTest, PullingReadsTheGridAsItStandsInThePass) {
  auto map = EmptyMap();
  // Both pull from the right: the left cell gets the right cell's code, not yet replaced.
  Put(map, 10, 20, ObjectFlameThrowerRight);
  Put(map, 11, 20, ObjectCrawlBotWallLeft);
  Put(map, 12, 20, 0x0040);
  // Both pull from the left: the right cell gets the left cell's new word.
  Put(map, 29, 20, 0x0060);
  Put(map, 30, 20, ObjectBoxEmpty);
  Put(map, 31, 20, ObjectTechBot);
  // A lower neighbour that is itself a code is copied as it is.
  Put(map, 40, 20, ObjectCamera);
  Put(map, 40, 21, ObjectMine);
  Put(map, 39, 21, 0x0080);
  Load(map);
  EXPECT_EQ(World().Grid.Tiles[20][10], ObjectCrawlBotWallLeft);
  EXPECT_EQ(World().Grid.Tiles[20][11], 0x0040);
  EXPECT_EQ(World().Grid.Tiles[20][30], 0x0060);
  EXPECT_EQ(World().Grid.Tiles[20][31], 0x0060);
  EXPECT_EQ(World().Grid.Tiles[20][40], ObjectMine);
  EXPECT_EQ(World().Grid.Tiles[21][40], 0x0080);
}

TEST_F(LevelMapTest, MirrorCells) {
  World().Grid.Mirrors[50][50] = 1;  // of the previous level
  auto map = EmptyMap();
  Put(map, 6, 8, 0x0123);
  Put(map, 7, 8, ObjectMirror);
  Put(map, 8, 8, ObjectMirror);
  Load(map);
  EXPECT_EQ(World().Grid.Mirrors[50][50], 0);
  EXPECT_EQ(World().Grid.Mirrors[8][7], 1);
  EXPECT_EQ(World().Grid.Mirrors[8][8], 1);
  EXPECT_EQ(World().Grid.Mirrors[8][6], 0);
  EXPECT_EQ(World().Grid.Tiles[8][7], 0x0123);
  EXPECT_EQ(World().Grid.Tiles[8][8], 0x0123);
}

TEST_F(LevelMapTest, FakeBridges) {
  auto map = EmptyMap();
  Put(map, 10, 30, ObjectFakeBridge);  // solid ground two cells to the right
  Put(map, 12, 30, 0x1800);
  Put(map, 20, 30, ObjectFakeBridge);  // right next to a wall
  Put(map, 21, 30, 0x2000);
  Put(map, 30, 31, ObjectFakeBridge);  // stops when the cell after next is solid
  Put(map, 35, 31, 0x1800);
  Put(map, 120, 32, ObjectFakeBridge);  // runs to the end of the row
  Load(map);
  EXPECT_EQ(World().Grid.Tiles[30][10], 0x21A0);
  EXPECT_EQ(World().Grid.Tiles[30][11], 0x21C0);
  EXPECT_EQ(World().Grid.Tiles[30][12], 0x1800);
  EXPECT_EQ(World().Grid.Tiles[30][20], 0x21A0);
  EXPECT_EQ(World().Grid.Tiles[30][21], 0x2000);
  const std::vector<uint16_t> row31 = {World().Grid.Tiles[31][30], World().Grid.Tiles[31][31],
                                       World().Grid.Tiles[31][32], World().Grid.Tiles[31][33],
                                       World().Grid.Tiles[31][34]};
  EXPECT_EQ(row31, (std::vector<uint16_t>{0x21A0, 0x21C0, 0x21A0, 0x21C0, 0}));
  for (int c = 120; c < 128; ++c)
    EXPECT_EQ(World().Grid.Tiles[32][c], c % 2 == 0 ? 0x21A0 : 0x21C0) << c;

  auto bridges = Listed("TFakeBridge");
  ASSERT_EQ(bridges.size(), 3u);  // none for the one-cell bridge
  const int64_t expected[3][3] = {{10, 30, 2}, {30, 31, 4}, {120, 32, 8}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(AsGame(bridges[i])->PosX, expected[i][0]);
    EXPECT_EQ(AsGame(bridges[i])->PosY, expected[i][1]);
    EXPECT_EQ(Field(bridges[i], "Width"), expected[i][2]);
    EXPECT_EQ(LayerOf(bridges[i].get()), LayerMechanics);
  }
  EXPECT_FALSE(LogContains("pulling error"));
}

TEST_F(LevelMapTest, ExtenderCellBecomesBridgeTile) {
  auto map = EmptyMap();
  Put(map, 44, 12, ObjectExtender);
  Load(map);
  EXPECT_EQ(World().Grid.Tiles[12][44], 0x2FE0);
  auto extenders = Listed("TExtender");
  ASSERT_EQ(extenders.size(), 1u);
  EXPECT_EQ(AsGame(extenders[0])->PosX, 44);
  EXPECT_EQ(AsGame(extenders[0])->PosY, 12);
  EXPECT_EQ(LayerOf(extenders[0].get()), LayerMechanics);
}

TEST_F(LevelMapTest, TileTestsAndTheirBounds) {
  World().Grid.Tiles[0][0] = 0x17FF;
  World().Grid.Tiles[0][1] = 0x1800;
  World().Grid.Tiles[89][127] = 0x1B80;
  World().Grid.Tiles[1][0] = 0x1CA0;
  World().Grid.Tiles[1][1] = 0x1CA1;
  World().Grid.Tiles[1][2] = 0x2EDF;
  World().Grid.Tiles[1][3] = 0x2EE0;
  World().Grid.Tiles[1][4] = 0xFFFF;
  World().Grid.Tiles[1][5] = 0x1B7F;
  EXPECT_FALSE(World().Grid.IsSolid(0, 0));
  EXPECT_FALSE(World().Grid.IsSolid(1, 15));
  EXPECT_TRUE(World().Grid.IsSolid(2, 0));
  EXPECT_TRUE(World().Grid.IsSolid(3, 15));
  EXPECT_TRUE(World().Grid.IsHookable(254, 1424));
  EXPECT_TRUE(World().Grid.IsHookable(255, 1439));
  EXPECT_TRUE(World().Grid.IsHookable(0, 16));
  EXPECT_FALSE(World().Grid.IsHookable(2, 16));
  EXPECT_FALSE(World().Grid.IsHookable(4, 16));
  EXPECT_TRUE(World().Grid.IsHookable(6, 16));
  EXPECT_TRUE(World().Grid.IsHookable(8, 16));
  EXPECT_FALSE(World().Grid.IsHookable(10, 16));
  EXPECT_FALSE(World().Grid.IsHookable(2, 0));  // solid alone is not hookable
  // Outside the map: solid, never hookable.
  for (auto [x, y] : {std::pair{-1, 20}, {256, 20}, {20, -1}, {20, 1440}, {-1, -1}}) {
    EXPECT_TRUE(World().Grid.IsSolid(x, y)) << x << "," << y;
    EXPECT_FALSE(World().Grid.IsHookable(x, y)) << x << "," << y;
  }
  World().Grid.Tiles[89][127] = 0;
  EXPECT_FALSE(World().Grid.IsSolid(255, 1439));
}

TEST_F(LevelMapTest, InitialCamera) {
  auto map = EmptyMap();
  Put(map, 20, 30, ObjectHero);
  Floor(map, 31);
  Load(map);
  EXPECT_EQ(Game().CamX, 40 - 14);
  EXPECT_EQ(Game().CamY, 30 - 4);
  EXPECT_EQ(Game().CamDestY, 30 - 4 - 2);  // standing on ground: one row less again

  map = EmptyMap();
  Put(map, 20, 30, ObjectHero);
  Load(map);
  EXPECT_EQ(Game().CamDestY, 30 - 4 - 1);
}
