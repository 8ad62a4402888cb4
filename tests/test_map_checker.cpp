// The map checker of the episode builder: traps with the right cell, deadly pits and ways
// out, walled-off exits, key doors, the layout figures, and the hero's reach against the
// engine's own hero.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/episode/episode_source.h"
#include "tools/episode/map_checker.h"
#include "world/world_state.h"
#include "world_fixture.h"

namespace {

const char* const Legend =
    "fill #\n"
    "legend\n"
    ". = 0x0000 open\n"
    "# = 0x1CC0 steel wall\n"
    "= = 0x2EE0 hook ceiling\n"
    "^ = 0x3058 floor spikes\n"
    "L = 0x3001 elevator\n"
    "F = 0x3019 fake bridge\n"
    "E = 0x3011 exit door\n"
    "P = 0x3032 player start\n"
    "n = 0x3040 note\n"
    "k = 0x3044 red key\n"
    "h = 0x3048 red key hole\n"
    "D = 0x304C red key door\n"
    "end\n";

std::vector<uint16_t> Map(const std::vector<std::string>& rows) {
  std::string text = std::string(Legend) + "map\n";
  for (const std::string& row : rows) text += row + "\n";
  text += "end\n";
  std::vector<uint16_t> words;
  TSourceError error;
  EXPECT_TRUE(ParseLevelMap(text, "test.txt", words, error)) << error.Text;
  return words;
}

TMapCheckReport Check(const std::vector<std::string>& rows) {
  TMapCheckOptions options;
  options.LayoutFigures = false;
  return CheckLevelMap(Map(rows), "test.txt", options);
}

bool HasError(const TMapCheckReport& report, const std::string& part) {
  for (const std::string& e : report.Errors)
    if (e.find(part) != std::string::npos) return true;
  return false;
}

std::string All(const TMapCheckReport& report) {
  std::string text;
  for (const std::string& e : report.Errors) text += e + "\n";
  return text;
}

// A room with a one-column pit in its floor at column 7; `depth` rows of it are open and
// `bottom` is the character of its lowest open cell. The hero jumps three rows.
std::vector<std::string> PitRoom(int depth, char bottom = '.') {
  std::vector<std::string> rows = {
      "####################", "#..................#", "#..................#",
      "#..................#", "#..................#", "#..................#",
      "#..................#", "#.P..........E.....#",
  };
  for (int i = 0; i < depth; ++i)
    rows.push_back(std::string("#######") + (i + 1 == depth ? bottom : '.') + "############");
  rows.push_back("####################");
  return rows;
}

}  // namespace

TEST(MapCheckerTest, APitDeeperThanTheJumpIsATrapUnlessItKillsOrLetsOut) {
  // Four rows deep: standing at its bottom (feet in row 11) the hero cannot jump out.
  TMapCheckReport trap = Check(PitRoom(4));
  ASSERT_EQ(trap.Traps.size(), 1u) << All(trap);
  EXPECT_EQ(trap.Traps[0].Column, 7);
  EXPECT_EQ(trap.Traps[0].Row, 11);
  EXPECT_TRUE(trap.UnreachableExits.empty());
  ASSERT_EQ(trap.Errors.size(), 1u);
  EXPECT_EQ(trap.Errors[0].rfind(
                "test.txt: trap: the hero can reach column 7 row 11 and cannot get out", 0),
            0u)
      << trap.Errors[0];

  // Spikes at the bottom kill him there; three rows deep he jumps out.
  TMapCheckReport spikes = Check(PitRoom(4, '^'));
  EXPECT_TRUE(spikes.Errors.empty()) << All(spikes);
  TMapCheckReport shallow = Check(PitRoom(3));
  EXPECT_TRUE(shallow.Errors.empty()) << All(shallow);
  EXPECT_TRUE(shallow.Reached[size_t(10) * 128 + 7])
      << "the hero stands at the bottom of the shallow pit";
}

TEST(MapCheckerTest, AWalledOffExitIsReported) {
  TMapCheckReport report = Check({
      "####################",
      "#.........#........#",
      "#.........#........#",
      "#.........#........#",
      "#.........#........#",
      "#.........#........#",
      "#.........#........#",
      "#.P.......#..E.....#",
      "####################",
  });
  ASSERT_EQ(report.UnreachableExits.size(), 1u) << All(report);
  EXPECT_EQ(report.UnreachableExits[0].Column, 13);
  EXPECT_EQ(report.UnreachableExits[0].Row, 7);
  EXPECT_TRUE(HasError(report, "test.txt: the exit door cannot be reached from the start"))
      << All(report);
  EXPECT_TRUE(report.Traps.empty()) << All(report);  // the hero can always walk back to the start
}

TEST(MapCheckerTest, AnExitBehindAKeyDoorNeedsAReachableKey) {
  // The door is two cells high; the key hole opens it with the red key.
  std::vector<std::string> rows = {
      "####################", "#.........#........#", "#.........#........#",
      "#.........#........#", "#.........#........#", "#.........#........#",
      "#.........D........#", "#.P..k..h.D..E.....#", "####################",
  };
  TMapCheckReport open = Check(rows);
  EXPECT_TRUE(open.Errors.empty()) << All(open);

  // The key behind the door it opens.
  rows[7] = "#.P.....h.D..E.k...#";
  TMapCheckReport locked = Check(rows);
  ASSERT_EQ(locked.UnreachableExits.size(), 1u) << All(locked);
  EXPECT_TRUE(locked.Traps.empty()) << All(locked);

  // The key on a ledge four rows up: out of reach too.
  rows[7] = "#.P.....h.D..E.....#";
  rows[3] = "#....k....#........#";
  rows[4] = "#...###...#........#";
  TMapCheckReport high = Check(rows);
  EXPECT_EQ(high.UnreachableExits.size(), 1u) << All(high);
}

TEST(MapCheckerTest, LayoutFiguresNameStartsExitsNotesAndSize) {
  // A note eleven columns from a start at column 13, another twelve columns away.
  std::string floor = "#" + std::string(40, '.') + "#";
  std::string start = floor;
  start[13] = 'P';
  start[24] = 'n';
  start[37] = 'n';
  std::vector<std::string> rows(7, floor);
  rows.front() = rows.back() = std::string(42, '#');
  rows[5] = start;
  TMapCheckReport report = CheckLevelMap(Map(rows), "m.txt");
  EXPECT_TRUE(
      HasError(report, "m.txt: the player start is at column 13; it must be at column 14 or more"))
      << All(report);
  EXPECT_TRUE(HasError(report, "m.txt: no exit door (0x3011)")) << All(report);
  EXPECT_TRUE(
      HasError(report, "m.txt: the note at column 24 row 5 is 11 columns' walk from the start"))
      << All(report);
  EXPECT_FALSE(HasError(report, "column 37")) << All(report);
  EXPECT_TRUE(HasError(report, "m.txt: 200 passable cells; a level has at least 3500"))
      << All(report);
  EXPECT_TRUE(HasError(report, "m.txt: the passable cells span 5 rows; a level spans at least 60"))
      << All(report);
  EXPECT_TRUE(
      HasError(report, "m.txt: the passable cells span 40 columns; a level spans at least 110"))
      << All(report);

  rows[2][20] = 'P';
  EXPECT_TRUE(HasError(CheckLevelMap(Map(rows), "m.txt"),
                       "m.txt: 2 player starts (0x3032); a level has one"));
}

// The engine's hero, driven by random keys on a map with steps, a hook ceiling to swing up
// on, an elevator and a fake bridge, never stands where the checker says he cannot be.
class MapCheckerEngineTest : public TWorldTest {};

TEST_F(MapCheckerEngineTest, TheEnginesHeroStaysWithinTheReachOfTheSearch) {
  const std::vector<std::string> rows = {
      "################################################",
      "#..............................................#",
      "#..............................................#",
      "#..............................................#",
      "#..............................................#",
      "#..==========..........................=====...#",
      "#..............................................#",
      "#...................#..........##..............#",
      "#..................##..........#...............#",
      "#.................###..........#...............#",
      "#....P...........####..........#...............#",
      "######L#######..#######..####..###F...#######..#",
      "##############..#######..####..###....#######..#",
      "##############....#####........###....#######..#",
      "################################################",
      "################################################",
  };
  const std::vector<uint16_t> words = Map(rows);
  TMapCheckOptions options;
  options.LayoutFigures = false;
  options.Carried = CarriedHooks;
  const TMapCheckReport report = CheckLevelMap(words, "engine.txt", options);

  WriteMap("level.qz1", words);
  ASSERT_TRUE(LoadMap(World(), "level.qz1"));
  ASSERT_NE(World().Player, nullptr);
  Game().SetHintsActive(0);  // a hint box waits for a key
  Game().GotHooks = 1;
  uint32_t seed = 12345;
  auto random = [&](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  bool up = false, down = false, left = false, right = false, jump = false;
  int held = 0, hung = 0, rode = 0;
  for (int tick = 0; tick < 6000; ++tick) {
    if (held-- <= 0) {
      held = int(random(12));
      int way = int(random(5));
      left = way == 0 || way == 1;
      right = way == 2 || way == 3;
      jump = random(3) == 0;
      up = random(4) == 0;
      down = random(8) == 0;
    }
    World().Player->ActOnInput(up, down, left, right, false, jump);
    ScrollCameraX(World());
    ++Game().Timer;
    TickActorList(ActorList());
    ScrollCameraY(World());
    const int column = World().Player->PosX / 2, row = World().Player->PosY / 16;
    ASSERT_TRUE(column >= 0 && column < MapColumns && row >= 0 && row < MapRows);
    ASSERT_TRUE(report.Reached[size_t(row) * MapColumns + size_t(column)])
        << "tick " << tick << ": the hero at " << World().Player->PosX << ", "
        << World().Player->PosY << " (action " << int(World().Player->Action)
        << ") is out of the search's reach";
    hung += World().Player->Action == TBraxTovar::Hanging;
    rode += World().Player->PosX == 2 * 6 && World().Player->PosY < 16 * 10;
  }
  // The walk tried the hook ceilings and the elevator.
  EXPECT_GT(hung, 0);
  EXPECT_GT(rode, 0);
}
