// Golden replays: every route of our episode, played by the program on the built episode,
// finishes its map with the state hash stored beside it. A change of behaviour shows here
// first; when it is meant, the stored hashes change in the same commit.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

const fs::path RouteDir = fs::path(ZYNTRA_SOURCE_DIR) / "episode" / "routes";

std::string ReadFile(const fs::path& path) { return TTempDir::ReadText(path.string()); }

// worldal1 is map 0, the hallway worldal2 map 1, worldal3 .. worldalc the even maps 2 .. 20.
int MapNumber(const std::string& routeName) {
  const std::string order = "123456789abc";
  if (routeName.size() < 8 || routeName.compare(0, 7, "worldal") != 0) return -1;
  size_t i = order.find(routeName[7]);
  if (i == std::string::npos) return -1;
  return i < 2 ? int(i) : 2 * int(i - 1);
}

// The release program when the test command built it, else this build's.
std::string Program() {
  const char* release = std::getenv("ZYNTRA_RELEASE_BINARY");
  return release && *release ? release : ZYNTRA_BINARY;
}

struct TReplay {
  int Status = -1;
  std::string Output;
};

class TRouteTest : public ::testing::Test {
 protected:
  TReplay Replay(int map, const fs::path& route) {
    const std::string command = "cd '" + Root.string() + "' && timeout 120 '" + Program() +
                                "' -dir='" + ZYNTRA_EPISODE_DIR + "' -warp=" + std::to_string(map) +
                                " -route='" + route.string() + "' > out.txt 2>&1";
    int status = std::system(command.c_str());
    TReplay r;
    r.Status = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.Output = ReadFile(Root / "out.txt");
    return r;
  }
  TTempDir Temp;
  const fs::path Root = Temp.Dir();
};

std::vector<fs::path> Routes() {
  std::vector<fs::path> routes;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(RouteDir, ec))
    if (e.path().extension() == ".route") routes.push_back(e.path());
  std::sort(routes.begin(), routes.end());
  return routes;
}

TEST_F(TRouteTest, EveryRouteFinishesItsMapWithItsStoredHash) {
  const std::vector<fs::path> routes = Routes();
  ASSERT_EQ(routes.size(), 12u) << "a route for every level and the hallway";
  std::vector<long> lengths;
  for (const fs::path& route : routes) {
    const std::string name = route.filename().string();
    const int map = MapNumber(name);
    ASSERT_GE(map, 0) << name;
    std::string stored = ReadFile(fs::path(route).replace_extension(".hash"));
    stored = stored.substr(0, stored.find_first_of("\r\n"));
    ASSERT_EQ(stored.size(), 16u) << name << ": no stored hash";
    const TReplay r = Replay(map, route);
    const long ticks = long(fs::file_size(route) / 6);
    EXPECT_EQ(r.Status, 0) << name << ": " << r.Output;
    EXPECT_EQ(r.Output, "Route: map " + std::to_string(map) + " finished after " +
                            std::to_string(ticks) + " ticks, state hash " + stored + "\n")
        << name;
    if (map != 1) lengths.push_back(ticks);
  }
  // Levels take a first-time player several minutes: the median route lasts 1,500 ticks.
  std::sort(lengths.begin(), lengths.end());
  ASSERT_FALSE(lengths.empty());
  EXPECT_GE(lengths[lengths.size() / 2], 1500);
}

TEST_F(TRouteTest, ARouteCutShortOrMissingIsNotFinished) {
  const fs::path full = RouteDir / "worldal1.qz1.route";
  std::string bytes = ReadFile(full);
  ASSERT_GT(bytes.size(), 600u);
  const size_t half = bytes.size() / 12 * 6;
  // Half the ticks, and a partial record after them that is ignored.
  std::ofstream(Root / "half.route", std::ios::binary) << bytes.substr(0, half + 4);
  TReplay r = Replay(0, Root / "half.route");
  EXPECT_EQ(r.Status, 3) << r.Output;
  EXPECT_EQ(
      r.Output.rfind(
          "Route: map 0 not finished after " + std::to_string(half / 6) + " ticks, state hash ", 0),
      0u)
      << r.Output;
  EXPECT_NE(ReadFile(Root / "log.txt").find("ends with a partial record"), std::string::npos);

  r = Replay(0, Root / "missing.route");
  EXPECT_EQ(r.Status, 3);
  EXPECT_EQ(r.Output.rfind("Route: map 0 not finished after 0 ticks", 0), 0u) << r.Output;
  EXPECT_NE(ReadFile(Root / "log.txt").find("ERROR :: Route :: cannot read"), std::string::npos);
}

// The timed run plays the shipped demo with full drawing to the state its route ends in,
// with smooth motion (four frames a tick) and sharp scaling or without either.
TEST_F(TRouteTest, TimedemoOfTheShippedDemoReachesTheHashOfItsRoute) {
  std::string stored = ReadFile(RouteDir / "worldalc.qz1.hash");
  stored = stored.substr(0, 16);
  const long ticks = long(fs::file_size(RouteDir / "worldalc.qz1.route") / 6);
  for (bool classic : {false, true}) {
    SCOPED_TRACE(classic ? "classic presentation" : "smooth and sharp");
    std::ofstream(Root / "Zyntra.ini") << (classic ? "[video]\nsmooth = 0\nscale = stretch\n" : "");
    const std::string command = "cd '" + Root.string() + "' && timeout 120 '" + Program() +
                                "' -headless -width=320 -height=200 -dir='" + ZYNTRA_EPISODE_DIR +
                                "' -timedemo='" + ZYNTRA_EPISODE_DIR +
                                "MY_DEMO.QZ1' > out.txt 2>&1";
    int status = std::system(command.c_str());
    ASSERT_TRUE(status != -1 && WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string out = ReadFile(Root / "out.txt");
    const std::string head = "Timedemo: " + std::to_string(ticks) + " ticks, " +
                             std::to_string(classic ? ticks : 4 * ticks) + " frames in ";
    EXPECT_EQ(out.rfind(head, 0), 0u) << out;
    EXPECT_NE(out.find(" ticks/s, "), std::string::npos) << out;
    EXPECT_NE(out.find("state hash " + stored + "\n"), std::string::npos) << out;
  }
}

// A route recorded by playing (keys held in a headless run, 16 ticks a second) replays to
// the same state.
TEST_F(TRouteTest, ARecordedRouteReplaysToTheSameState) {
  std::ofstream(Root / "keys.txt")
      << "1200 down RIGHT\n4800 press LCTRL\n7600 down LALT\n8400 up LALT\n"
         "10400 up RIGHT\n10800 down LEFT\n14400 up LEFT\n16000 press ESC\n";
  const std::string command = "cd '" + Root.string() + "' && timeout 120 '" + Program() +
                              "' -headless -skip -dir='" + ZYNTRA_EPISODE_DIR +
                              "' -warp=0 -recordroute=rec.route -script=keys.txt > rec.txt 2>&1";
  int status = std::system(command.c_str());
  ASSERT_TRUE(status != -1 && WIFEXITED(status)) << ReadFile(Root / "rec.txt");
  EXPECT_EQ(WEXITSTATUS(status), 3);
  const std::string recorded = ReadFile(Root / "rec.txt");
  ASSERT_EQ(recorded.rfind("Route: map 0 not finished after ", 0), 0u) << recorded;
  const std::string route = ReadFile(Root / "rec.route");
  ASSERT_GT(route.size(), 6u * 100);
  EXPECT_EQ(route.size() % 6, 0u);
  EXPECT_NE(route.find(std::string("\0\0\0\1\0\0", 6)), std::string::npos) << "running right";
  EXPECT_NE(route.find(std::string("\0\0\1\0\0\0", 6)), std::string::npos) << "running left";
  const TReplay r = Replay(0, Root / "rec.route");
  EXPECT_EQ(r.Status, 3);
  EXPECT_EQ(r.Output, recorded);
}

}  // namespace
