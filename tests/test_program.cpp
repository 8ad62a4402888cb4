// Whole runs of the program on our built episode, headless, driven by scripted keys:
// the files and log it leaves, equal runs leaving equal recordings, and an installed copy.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class TProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "zyntra_program_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Root = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(Root, ec);
  }

  // A fresh working directory and a copy of the episode; returns the exit status.
  int Run(const std::string& name, const std::string& script, const std::string& options = "",
          const std::string& binary = ZYNTRA_BINARY) {
    fs::path work = Root / name / "work", game = Root / name / "game";
    fs::create_directories(work);
    fs::copy(ZYNTRA_EPISODE_DIR, game, fs::copy_options::recursive);
    std::ofstream(Root / name / "script.txt") << script;
    std::string command = "cd '" + work.string() + "' && timeout 300 '" + binary +
                          "' -headless -skip -dir='" + game.string() + "/' -script='" +
                          (Root / name / "script.txt").string() + "' " + options +
                          " > ../out.txt 2>&1";
    int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Log(const std::string& name) { return ReadFile(Root / name / "work" / "log.txt"); }
  fs::path Game(const std::string& name) { return Root / name / "game"; }

  fs::path Root;
};

// Title, main menu, a new game through the intro boxes, some running and jumping on the
// first level, the quit question in play, the high-score table, and the quit question.
// Hints pop up on first contact with things and wait for Enter: Enter is pressed now and
// then during play (it does nothing else there).
const char* const PlayScript =
    "2500 press SPACE\n"  // title -> main menu
    "4000 press S\n"      // start a new game
    "6000 press ENTER\n"  // the villain's intro
    "8000 press ENTER\n"  // the hero's answer
    "10000 down RIGHT\n"
    "11000 press ENTER\n"
    "12000 press LCTRL\n"  // jump
    "13000 press ENTER\n"
    "14000 up RIGHT\n"
    "14500 down LEFT\n"
    "15000 press ENTER\n"
    "16000 up LEFT\n"
    "16500 press LALT\n"  // fire
    "17000 press ENTER\n"
    "18000 press ESC\n"  // quit question in play
    "19000 press Y\n"
    "21000 press ENTER\n"  // the high-score table
    "24000 press ESC\n"    // title: quit question
    "25000 press Y\n"
    "27000 press SPACE\n";  // the exit screen

TEST_F(TProgramTest, PlayingTheFirstLevelLeavesItsFiles) {
  ASSERT_EQ(Run("a", PlayScript), 0) << ReadFile(Root / "a" / "out.txt");
  std::string log = Log("a");
  EXPECT_EQ(log.find("cannot read"), std::string::npos) << log;
  EXPECT_EQ(log.find("ERROR ::"), std::string::npos) << log;
  EXPECT_NE(log.find("QuitProgram() started"), std::string::npos);
  EXPECT_EQ(fs::file_size(Game("a") / "USERDEMO.QZ1"), 17002u);
  EXPECT_EQ(fs::file_size(Game("a") / "KEYS.QZ1"), 6u);
  EXPECT_TRUE(fs::exists(Game("a") / "HIGHS.QZ1"));
  EXPECT_GE(fs::file_size(Game("a") / "SAVEDT.QZ1"), 46u);
  EXPECT_TRUE(fs::exists(Root / "a" / "work" / "Zyntra.ini"));
  // The recording is longer than a few ticks: the game really ran.
  std::string demo = ReadFile(Game("a") / "USERDEMO.QZ1");
  int ticks = ((unsigned char)demo[0] | (unsigned char)demo[1] << 8) / 6;
  EXPECT_GT(ticks, 100);
}

TEST_F(TProgramTest, EqualRunsRecordEqualDemos) {
  ASSERT_EQ(Run("a", PlayScript), 0);
  ASSERT_EQ(Run("b", PlayScript), 0);
  EXPECT_EQ(ReadFile(Game("a") / "USERDEMO.QZ1"), ReadFile(Game("b") / "USERDEMO.QZ1"));
  EXPECT_EQ(ReadFile(Game("a") / "SAVEDT.QZ1"), ReadFile(Game("b") / "SAVEDT.QZ1"));
}

TEST_F(TProgramTest, ExportWritesTheSheetsOfTheEpisode) {
  ASSERT_EQ(Run("x", "2500 press ESC\n3500 press Y\n5000 press SPACE\n", "-export"), 0);
  fs::path work = Root / "x" / "work";
  for (const char* name :
       {"_border.png", "_font.png", "_tiles.png", "_sprites.png", "_QZ.QZ1.png", "_CREDITS.png",
        "_BRAX.png", "_BADGUY.png", "_END.QZ1.png", "_drop0.png"})
    EXPECT_TRUE(fs::exists(work / name)) << name;
  EXPECT_TRUE(fs::exists(work / "_STRINGS.QZ1.TXT"));
}

TEST_F(TProgramTest, LevelShotDrawsTheWholeMapAndExits) {
  ASSERT_EQ(Run("l", "", "-levelshot=0"), 0) << ReadFile(Root / "l" / "out.txt");
  std::string png = ReadFile(Root / "l" / "work" / "levelshot0.png");
  ASSERT_GT(png.size(), 24u);
  // Width and height from the PNG header: the whole 128 x 90 map of 16-pixel cells.
  auto be32 = [&](size_t at) {
    return uint32_t((unsigned char)png[at]) << 24 | uint32_t((unsigned char)png[at + 1]) << 16 |
           uint32_t((unsigned char)png[at + 2]) << 8 | uint32_t((unsigned char)png[at + 3]);
  };
  EXPECT_EQ(be32(16), 2048u);
  EXPECT_EQ(be32(20), 1440u);
  EXPECT_NE(Run("m", "", "-levelshot=99"), 0);  // no such map
}

// 600 ticks of play straight on the first level: running both ways, jumps, shots, a
// somersault, ducking and looking up; Enter now and then answers the hints. The program
// quits by itself after the last tick (the exit screen then waits for a key).
std::string WarpScript() {
  std::string s =
      "500 down RIGHT\n"
      "3000 press LCTRL\n"
      "4200 press LALT\n"
      "6000 down LCTRL\n"
      "6600 up LCTRL\n"
      "7000 up RIGHT\n"
      "7200 down LEFT\n"
      "9000 press LALT\n"
      "9500 press LALT\n"
      "11000 up LEFT\n"
      "11500 down DOWN\n"
      "12500 up DOWN\n"
      "13000 down UP\n"
      "14000 up UP\n"
      "14500 down RIGHT\n"
      "16000 down LCTRL\n"
      "17000 up LCTRL\n"
      "20000 up RIGHT\n"
      "21000 down LEFT\n"
      "23000 press LCTRL\n"
      "26000 up LEFT\n"
      "27000 down RIGHT\n"
      "30000 press LALT\n"
      "34000 up RIGHT\n";
  for (int ms = 1000; ms < 60000; ms += 1500) s += std::to_string(ms) + " press ENTER\n";
  for (int ms = 60000; ms <= 120000; ms += 5000) s += std::to_string(ms) + " press SPACE\n";
  return s;
}

std::string HashLine(const std::string& log) {
  size_t at = log.find("State hash after 600 ticks: ");
  return at == std::string::npos ? "" : log.substr(at, log.find('\n', at) - at);
}

TEST_F(TProgramTest, WarpRunsGiveEqualStateHashesAcrossRunsAndBuilds) {
  ASSERT_EQ(Run("a", WarpScript(), "-warp=0 -ticks=600"), 0) << ReadFile(Root / "a" / "out.txt");
  ASSERT_EQ(Run("b", WarpScript(), "-warp=0 -ticks=600"), 0);
  std::string log = Log("a");
  EXPECT_NE(log.find("Warp to map 0"), std::string::npos) << log;
  EXPECT_EQ(log.find("ERROR ::"), std::string::npos) << log;
  EXPECT_NE(log.find("QuitProgram() started"), std::string::npos);
  const std::string hash = HashLine(log);
  ASSERT_FALSE(hash.empty()) << log;
  EXPECT_EQ(HashLine(Log("b")), hash);
  // The state moved: a run without input ends elsewhere.
  ASSERT_EQ(
      Run("idle", "5000 press ENTER\n60000 press SPACE\n70000 press SPACE\n", "-warp=0 -ticks=600"),
      0);
  EXPECT_NE(HashLine(Log("idle")), "");
  EXPECT_NE(HashLine(Log("idle")), hash);

  // The release build plays the same ticks (the test command builds it alongside).
  const char* release = std::getenv("ZYNTRA_RELEASE_BINARY");
  if (!release || !*release) GTEST_SKIP() << "ZYNTRA_RELEASE_BINARY is not set";
  ASSERT_EQ(Run("r", WarpScript(), "-warp=0 -ticks=600", release), 0)
      << ReadFile(Root / "r" / "out.txt");
  EXPECT_EQ(HashLine(Log("r")), hash);
}

// While the hero runs, smooth motion shows frames 16 ms apart that differ within a tick;
// the classic presentation shows one frame a tick (frames 16 ms apart mostly equal). The
// same keys at the same times reach the same ticks either way.
TEST_F(TProgramTest, SmoothMotionDrawsFramesBetweenTicksAndKeepsTheTicks) {
  std::string script = "1500 down LEFT\n2200 press LCTRL\n6000 press SPACE\n9000 close\n";
  for (int i = 0; i < 4; ++i)
    script += std::to_string(2000 + 16 * i) + " shot s" + std::to_string(i) + ".png\n";
  std::string hashes[2];
  for (bool smooth : {true, false}) {
    const std::string name = smooth ? "smooth" : "classic";
    fs::create_directories(Root / name / "work");
    std::ofstream(Root / name / "work" / "Zyntra.ini") << (smooth ? "" : "[video]\nsmooth = 0\n");
    ASSERT_EQ(Run(name, script, "-warp=0 -ticks=50"), 0) << ReadFile(Root / name / "out.txt");
    int equal = 0;
    for (int i = 0; i < 3; ++i) {
      std::string a = ReadFile(Root / name / "work" / ("s" + std::to_string(i) + ".png"));
      std::string b = ReadFile(Root / name / "work" / ("s" + std::to_string(i + 1) + ".png"));
      ASSERT_FALSE(a.empty() || b.empty()) << name;
      equal += a == b;
    }
    // Classic frames are 62 ms apart: at most one falls among shots 48 ms apart.
    if (smooth)
      EXPECT_EQ(equal, 0);
    else
      EXPECT_GE(equal, 2);
    const std::string log = Log(name);
    const size_t at = log.find("State hash after 50 ticks: ");
    ASSERT_NE(at, std::string::npos) << log;
    hashes[smooth ? 0 : 1] = log.substr(at, 43);
  }
  EXPECT_EQ(hashes[0], hashes[1]);
}

TEST_F(TProgramTest, WarpToAMissingMapFallsBackToTheTitle) {
  ASSERT_EQ(Run("w", "2000 press ESC\n3000 press Y\n5000 press SPACE\n", "-warp=99"), 0);
  std::string log = Log("w");
  EXPECT_NE(log.find("Warp to map 99"), std::string::npos) << log;
  EXPECT_NE(log.find("cannot read \"\" as level file"), std::string::npos) << log;
  EXPECT_EQ(log.find("State hash"), std::string::npos);
}

// Every file under root with its size and modification time.
std::map<std::string, std::pair<uintmax_t, long long>> Snapshot(const fs::path& root) {
  std::map<std::string, std::pair<uintmax_t, long long>> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const long long time = entry.last_write_time().time_since_epoch().count();
    files[entry.path().string()] = {entry.is_regular_file() ? entry.file_size() : 0, time};
  }
  return files;
}

// The build installed into a prefix that is then moved elsewhere, run from an empty working
// directory with a fresh home: the episode is found beside the program, everything written
// for the player lands in ~/.local/share/zyntra/QZ1/ and is read from there first, and the
// installed tree is left as it was.
TEST_F(TProgramTest, AnInstalledCopyPlaysAndKeepsThePlayersFilesInTheHome) {
  const std::string install = std::string("'") + ZYNTRA_CMAKE + "' --install '" + ZYNTRA_BUILD_DIR +
                              "' --prefix '" + (Root / "prefix").string() + "' > '" +
                              (Root / "install.txt").string() + "' 2>&1";
  ASSERT_EQ(std::system(install.c_str()), 0) << ReadFile(Root / "install.txt");
  const fs::path prefix = Root / "moved";
  fs::rename(Root / "prefix", prefix);
  EXPECT_TRUE(fs::exists(prefix / "share/applications/zyntra.desktop"));
  EXPECT_EQ(ReadFile(prefix / "share/icons/hicolor/64x64/apps/zyntra.png").substr(1, 3), "PNG");
  const std::string manual = ReadFile(prefix / "share/man/man6/zyntra.6");
  EXPECT_EQ(manual.rfind(".TH ZYNTRA 6", 0), 0u);
  EXPECT_NE(manual.find("\\-recordroute=file"), std::string::npos) << manual;  // from -help
  ASSERT_TRUE(fs::exists(prefix / "share/zyntra/episode/BORDER.QZ1"));
  const auto before = Snapshot(prefix);

  // Keys of the player's own, to be read from his directory.
  const fs::path home = Root / "home", saves = home / ".local/share/zyntra/QZ1";
  fs::create_directories(saves);
  std::ofstream(saves / "KEYS.QZ1", std::ios::binary) << "HPKM9:";
  fs::create_directories(Root / "work");
  std::string script =
      "1000 press ENTER\n2000 press F5\n3000 press ENTER\n5000 press F5\n6000 press ENTER\n";
  for (int ms = 30000; ms <= 60000; ms += 10000) script += std::to_string(ms) + " press SPACE\n";
  std::ofstream(Root / "script.txt") << script;
  const std::string command =
      "cd '" + (Root / "work").string() + "' && env -u XDG_DATA_HOME HOME='" + home.string() +
      "' timeout 300 '" + (prefix / "bin/zyntra").string() +
      "' -headless -skip -warp=0 -ticks=200 -script=../script.txt > ../out.txt 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile(Root / "out.txt");

  const std::string log = ReadFile(saves / "log.txt");
  EXPECT_NE(log.find("GameDir = " + (prefix / "share/zyntra/episode/").string()), std::string::npos)
      << log;
  EXPECT_NE(log.find("go to " + saves.string() + "/"), std::string::npos) << log;
  EXPECT_NE(log.find("key settings from \"" + (saves / "KEYS.QZ1").string() + "\" ... ok."),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("State hash after 200 ticks"), std::string::npos) << log;
  EXPECT_EQ(log.find("ERROR ::"), std::string::npos) << log;
  EXPECT_GT(ReadFile(saves / "QuickSav.QZ1").size(), 46u * 1000);
  EXPECT_GE(ReadFile(saves / "SAVEDT.QZ1").size(), 46u);
  EXPECT_NE(ReadFile(saves / "Zyntra.ini").find("speed"), std::string::npos);
  EXPECT_TRUE(fs::exists(saves / "HIGHS.QZ1"));
  EXPECT_EQ(ReadFile(saves / "KEYS.QZ1"), "HPKM9:");
  EXPECT_TRUE(fs::is_empty(Root / "work"));
  EXPECT_EQ(Snapshot(prefix), before);
}

}  // namespace
