// Start-up: the music settings in process, and whole runs of the real program.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/image_io.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "temp_dir.h"
#include "tests/log_stamp.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
}

std::vector<std::string> SplitCrLf(const std::string& bytes) { return TTempDir::SplitCrLf(bytes); }

// A fresh temporary directory: "work" is the program's working directory, "game" a game
// directory, the captured output lies beside them.
class TTempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "zyntra_startup_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Root = pattern;
    Work = Root / "work";
    Game = Root / "game";
    fs::create_directories(Work);
    fs::create_directories(Game);
  }
  void TearDown() override {
    std::error_code error;
    fs::remove_all(Root, error);
  }

  fs::path Root, Work, Game;
};

// --- LoadMusicSettings, in process ------------------------------------------------------

class TMusicSettingsTest : public TTempDirTest {
 protected:
  void SetUp() override {
    TTempDirTest::SetUp();
    Previous = fs::current_path();
    fs::current_path(Work);
    ResetSettings();
  }
  void TearDown() override {
    CloseLog();
    fs::current_path(Previous);
    ResetSettings();
    ReplacementIni.Init();
    TTempDirTest::TearDown();
  }
  fs::path Previous;
};

TEST_F(TMusicSettingsTest, EpisodeSectionFirstThenGeneralSection) {
  WriteFile("hrp.ini", "[MUSIC]\r\nmenu = general.ogg\r\n[music.qz1]\r\nMenu=first.ogg\r\n");
  LoadMusicSettings();
  EXPECT_EQ(Options().MenuMusicName, "first.ogg");

  StartUpOptions().GameExt = ".QZ2";
  LoadMusicSettings();
  EXPECT_EQ(Options().MenuMusicName, "general.ogg");

  StartUpOptions().EnhancedContent = false;  // "classic": hrp.ini is not read at all
  LoadMusicSettings();
  EXPECT_EQ(Options().MenuMusicName, "");
}

TEST_F(TMusicSettingsTest, MissingFileMeansNoMenuMusic) {
  StartUpOptions().MenuMusicName = "left over";
  LoadMusicSettings();
  EXPECT_EQ(Options().MenuMusicName, "");
}

// --- Whole runs of the program ----------------------------------------------------------

struct TRunResult {
  int Status = -1;  // exit status; -1 when it did not exit normally
  std::string Out;
};

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

class TProgramRunTest : public TTempDirTest {
 protected:
  // Runs the program in Work with the given arguments; a run that hangs is stopped.
  TRunResult Run(const std::vector<std::string>& arguments) {
    std::string command = "cd " + Quoted(Work.string()) +
                          " && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 120 " +
                          Quoted(ZYNTRA_BINARY);
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    const fs::path out = Root / "stdout.txt";
    command += " > " + Quoted(out.string()) + " 2> " + Quoted((Root / "stderr.txt").string());
    TRunResult result;
    const int status = std::system(command.c_str());
    if (status != -1 && WIFEXITED(status)) result.Status = WEXITSTATUS(status);
    result.Out = ReadFile(out);
    return result;
  }
  std::string ErrorOutput() const { return ReadFile(Root / "stderr.txt"); }
  std::string Log() const { return ReadFile(Work / "log.txt"); }
  std::string GameOption() const { return "-dir=" + Game.string() + "/"; }
  // The game directory holds our built episode.
  void CopyEpisode() {
    fs::copy(ZYNTRA_EPISODE_DIR, Game,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
  std::string ScriptOption(const std::string& script) {
    WriteFile(Root / "script.txt", script);
    return "-script=" + (Root / "script.txt").string();
  }
};

TEST_F(TProgramRunTest, HelpPrintsTheOptionsAndLeavesNoLog) {
  const TRunResult run = Run({"-help"});
  EXPECT_EQ(run.Status, 0) << ErrorOutput();
  for (const char* option :
       {"-dir=",     "-ext=",      "-width=",    "-height=",  "-bpp=",        "-nomipmap",
        "-nofilter", "-patch",     "-keeptitle", "-export",   "-kyzmoraltip", "-asp",
        "-debug",    "-nomirrors", "-classic",   "-fixratio", "-waitkey",     "-skip",
        "-headless", "-script=",   "-help"}) {
    std::string line = std::string("\n  ") + option;
    if (line.back() != '=') line += ' ';  // the whole name, not the start of a longer one
    EXPECT_NE(run.Out.find(line), std::string::npos) << option;
  }
  EXPECT_NE(run.Out.find("run without a window (tests)"), std::string::npos);
  EXPECT_FALSE(fs::exists(Work / "log.txt"));
}

TEST_F(TProgramRunTest, MissingEpisodeEndsBeforeTheWindow) {
  const TRunResult run = Run({"-dir=/nonexistent/"});
  EXPECT_EQ(run.Status, 1);
  // The player who started it from a menu or a shell is told why, not only the log.
  EXPECT_NE(ErrorOutput().find(
                "ERROR :: LoadEssentialGraphics :: cannot read graphics from \"BORDER.QZ1\"\n"),
            std::string::npos)
      << ErrorOutput();
  EXPECT_NE(ErrorOutput().find("-dir="), std::string::npos);
  const std::string log = Log();
  EXPECT_EQ(log.rfind("Zyntra - Log File\r\n=================\r\nCreated: ", 0), 0u) << log;
  EXPECT_NE(log.find("\r\nGameDir = /nonexistent/\r\nGameExt = .QZ1\r\n\r\n"), std::string::npos);
  EXPECT_NE(log.find("\r\nERROR :: LoadEssentialGraphics :: cannot read graphics from "
                     "\"BORDER.QZ1\"\r\n"),
            std::string::npos);
  EXPECT_EQ(log.find("Graphics Mode:"), std::string::npos);
  const std::vector<std::string> lines = SplitCrLf(log);
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(IsStampLine(lines.back(), "Closed: ")) << lines.back();
}

TEST_F(TProgramRunTest, OtherEpisodeLooksForItsOwnFiles) {
  WriteFile(Game / "BORDER.QZ1", "border");
  const TRunResult run = Run({GameOption(), "--ext=qz2", "-headless"});
  EXPECT_NE(run.Status, 0);
  EXPECT_NE(Log().find("GameExt = .qz2\r\n"), std::string::npos);
  EXPECT_NE(Log().find("cannot read graphics from \"BORDER.qz2\""), std::string::npos);
  EXPECT_NE(ErrorOutput().find("cannot read graphics from \"BORDER.qz2\""), std::string::npos);
}

TEST_F(TProgramRunTest, FailingWindowLeavesTheFramedError) {
  CopyEpisode();
  const TRunResult run = Run({GameOption(), "-headless", ScriptOption("failwindow\n")});
  EXPECT_NE(run.Status, 0);
  EXPECT_NE(run.Status, -1);
  const std::vector<std::string> lines = SplitCrLf(Log());
  ASSERT_GE(lines.size(), 12u);
  const size_t n = lines.size();
  EXPECT_EQ(lines[n - 12], "Graphics Mode:");
  EXPECT_EQ(lines[n - 11], "   Width:  640");
  EXPECT_EQ(lines[n - 10], "   Height: 400");
  EXPECT_EQ(lines[n - 9], "   Depth:  0");
  EXPECT_EQ(lines[n - 8], "");
  EXPECT_EQ(lines[n - 7], "Starting Graphics... ");
  EXPECT_EQ(lines[n - 6], "");
  EXPECT_EQ(lines[n - 5], std::string(40, '='));
  EXPECT_EQ(lines[n - 4], "ERROR: invalid graphics mode!");
  EXPECT_EQ(lines[n - 3], std::string(40, '='));
  EXPECT_EQ(lines[n - 2], "");
  EXPECT_TRUE(IsStampLine(lines[n - 1], "Closed: ")) << lines[n - 1];
}

TEST_F(TProgramRunTest, EscapeEndsAHeadlessRunCleanly) {
  CopyEpisode();
  fs::rename(Game / "BORDER.QZ1", Game / "border.qz1");  // found whatever its case
  const TRunResult run = Run({GameOption(), "-headless", "-skip", "-width=800", "-HEIGHT=600",
                              ScriptOption("2000 press ESC\n3000 press Y\n6000 press SPACE\n")});
  EXPECT_EQ(run.Status, 0) << ErrorOutput();
  const std::string log = Log();
  EXPECT_NE(log.find("Graphics Mode:\r\n   Width:  800\r\n   Height: 600\r\n   Depth:  0\r\n\r\n"
                     "Starting Graphics... ok\r\n\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("QuitProgram() started\r\n"), std::string::npos);
  EXPECT_EQ(log.find("ERROR ::"), std::string::npos);
  EXPECT_EQ(log.find("WARNING"), std::string::npos);
  const std::vector<std::string> lines = SplitCrLf(log);
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(IsStampLine(lines.back(), "Closed: "));
}

TEST_F(TProgramRunTest, PrintScreenSavesNumberedScreenshots) {
  CopyEpisode();
  fs::create_directories(Work / "Screenshots");
  WriteFile(Work / "Screenshots" / "zyntra-0007.png", "an older one");
  const TRunResult run = Run(
      {GameOption(), "-headless", "-skip", "-width=320", "-height=200",
       ScriptOption(
           "1500 press #44\n1800 press #44\n2000 press ESC\n3000 press Y\n6000 press SPACE\n")});
  EXPECT_EQ(run.Status, 0) << ErrorOutput();
  EXPECT_NE(Log().find("Screenshot saved as Screenshots/zyntra-0008.png\r\n"), std::string::npos)
      << Log();
  EXPECT_NE(Log().find("Screenshot saved as Screenshots/zyntra-0009.png\r\n"), std::string::npos);
  PPixmap shot = LoadImageFile((Work / "Screenshots" / "zyntra-0009.png").string());
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot->Width, 320);
  EXPECT_EQ(shot->Height, 200);
  // The title was shown, so the picture is not black.
  EXPECT_TRUE(std::any_of(shot->Pixels.begin(), shot->Pixels.end(),
                          [](uint32_t p) { return (p & 0xFFFFFF) != 0; }));
  EXPECT_EQ(Log().find("ERROR ::"), std::string::npos);
}

TEST_F(TProgramRunTest, ClosingTheWindowEndsTheProgram) {
  CopyEpisode();
  const TRunResult run =
      Run({GameOption(), "-headless", ScriptOption("# the user gives up\n300 close\n")});
  EXPECT_EQ(run.Status, 0) << ErrorOutput();
  EXPECT_NE(Log().find("Starting Graphics... ok\r\n"), std::string::npos);
  EXPECT_EQ(Log().find("QuitProgram"), std::string::npos);  // no exit screen
  // Nothing the player set is lost: the configuration and the keys are written.
  EXPECT_NE(Log().find("Window closed: settings and high scores saved\r\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(Work / "Zyntra.ini"));
  EXPECT_TRUE(fs::exists(Game / "KEYS.QZ1"));
  EXPECT_TRUE(fs::exists(Game / "HIGHS.QZ1"));
}

TEST_F(TProgramRunTest, TerminationSignalSavesAsAClosedWindowDoes) {
  CopyEpisode();
  WriteFile(Root / "script.txt", "# nothing: the title and the attract sequence run on\n");
  const std::string command = "cd " + Quoted(Work.string()) + " && (" + Quoted(ZYNTRA_BINARY) +
                              " " + Quoted(GameOption()) +
                              " -headless -skip -script=" + Quoted((Root / "script.txt").string()) +
                              " & pid=$!; for i in $(seq 300); do grep -q 'Starting Graphics' "
                              "log.txt 2>/dev/null && break; sleep 0.1; done;"
                              " sleep 0.5; kill -TERM $pid; wait $pid)";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(status != -1 && WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(Log().find("Quit signal: settings and high scores saved\r\n"), std::string::npos)
      << Log();
  EXPECT_TRUE(fs::exists(Work / "Zyntra.ini"));
  EXPECT_TRUE(fs::exists(Game / "KEYS.QZ1"));
}

TEST_F(TProgramRunTest, FixRatioAndMissingAudioAreLogged) {
  CopyEpisode();
  WriteFile(Work / "Zyntra.ini", "[video]\nscale = stretch\n");  // else sharp scaling decides
  const TRunResult run =
      Run({GameOption(), "-headless", "-fixratio", "-waitkey", "-skip",
           ScriptOption(
               "failaudio\n200 press SPACE\n2000 press ESC\n3000 press Y\n6000 press SPACE\n")});
  EXPECT_EQ(run.Status, 0) << ErrorOutput();
  const std::string log = Log();
  EXPECT_NE(log.find("Starting Graphics... ok\r\n\r\nEnforcing 4:3 aspect ratio correction\r\n"
                     "Viewport size is 533x400\r\n\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("WARNING :: StartUp :: no audio device, sound is off\r\n"), std::string::npos);
}

TEST_F(TProgramRunTest, BadScriptLinesAreLoggedAndSkipped) {
  CopyEpisode();
  const TRunResult run =
      Run({GameOption(), "-headless", "-skip",
           ScriptOption("100 press NOKEY\n2000 press ESC\n3000 press Y\n6000 press SPACE\n")});
  EXPECT_EQ(run.Status, 0) << ErrorOutput();
  EXPECT_NE(Log().find("WARNING :: LoadInputScript :: line 1 not understood: 100 press NOKEY"),
            std::string::npos);
}

}  // namespace
