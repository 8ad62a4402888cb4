// Our built-in episode: the builder's output is the same from the same sources, and the
// engine reads every file of it without a warning.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "actors/families.h"
#include "data/graphics.h"
#include "data/level_map.h"
#include "data/stream.h"
#include "headless_fixture.h"
#include "shell/frame.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "temp_dir.h"
#include "tools/episode/episode_builder.h"
#include "tools/episode/episode_source.h"
#include "world/game_state.h"
#include "world/level_draw.h"
#include "world/world.h"
#include "world/world_state.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(TEpisodeBuildTest, SameSourcesGiveIdenticalFiles) {
  TTempDir temp;
  TEpisodeBuild first, second;
  std::string sources = std::string(ZYNTRA_SOURCE_DIR) + "/episode";
  ASSERT_TRUE(BuildEpisode(sources, temp.Dir() + "a", first))
      << (first.Errors.empty() ? "" : first.Errors[0]);
  ASSERT_TRUE(BuildEpisode(sources, temp.Dir() + "b", second));
  ASSERT_EQ(first.Written, second.Written);
  EXPECT_TRUE(first.Warnings.empty()) << first.Warnings[0];
  for (const std::string& name : first.Written)
    EXPECT_EQ(ReadBytes(temp.Dir() + "a/" + name), ReadBytes(temp.Dir() + "b/" + name)) << name;
}

TEST(TEpisodeSourceTest, ParsersReportTheLineOfAnError) {
  TTileArt art;
  TSourceError error;
  EXPECT_FALSE(ParseTileArt("size 16 16\ncount 2\ntile 0\n0123\n", "A.txt", art, error));
  EXPECT_EQ(error.Text.rfind("A.txt:4:", 0), 0u) << error.Text;
  EXPECT_TRUE(
      ParseTileArt("size 8 1\ncount 3\ntile 2 = 1 flipx\ntile 1\n0123456.\n", "B.txt", art, error))
      << error.Text;
  EXPECT_EQ(art.Tiles[2].Get(1, 0), art.Tiles[1].Get(6, 0));  // copies may name later tiles
  EXPECT_FALSE(ParseTileArt("size 8 1\ncount 2\ntile 0 = 1\ntile 1 = 0\n", "C.txt", art, error));

  std::vector<uint16_t> words;
  EXPECT_TRUE(
      ParseLevelMap("fill .\nlegend\n. = 0\n# = 0x1820\nend\nmap\n#.#\nend\n", "m", words, error))
      << error.Text;
  EXPECT_EQ(words[0], 0x1820);
  EXPECT_EQ(words[1], 0);
  EXPECT_EQ(words[128], 0);  // rows after the last take the fill
  EXPECT_FALSE(ParseLevelMap("fill .\nlegend\n. = 0\nend\nmap\n.x\nend\n", "m", words, error));
  EXPECT_EQ(EncodeLevelMap(words).size(), 23040u);
}

class TEpisodeLoadTest : public THeadlessTest {};

TEST_F(TEpisodeLoadTest, EveryFileOfTheEpisodeLoadsWithoutAWarning) {
  TTempDir temp;
  CloseLog();
  StartUpOptions().GameDir = ZYNTRA_EPISODE_DIR;
  StartUpOptions().GameExt = ".QZ1";
  StartUpOptions().EnhancedContent = false;
  ASSERT_TRUE(LoadEssentialGraphics());
  LoadRemainingGraphics();
  LoadStrings("STRINGS.QZ1.TXT");
  EXPECT_TRUE(TitlePicture && CreditsPicture && HeroPicture && VillainPicture && EndPicture);
  InstallActors();
  SetBoxPresenter(PresentFrame);
  ASSERT_EQ(LevelList.size(), 21u);
  for (size_t map = 0; map < LevelList.size(); ++map) {
    EXPECT_EQ(FileSize(Options().GameDir + LevelList[map]), 23040) << LevelList[map];
    NewGameState(World(), true);
    Game().MapOn = uint16_t(map);
    EXPECT_TRUE(LoadLevel(World())) << LevelList[map];
    EXPECT_TRUE(Backdrop1 && Backdrop2) << "backdrops of map " << map;
  }
  CloseLog();
  std::string log = TTempDir::ReadText("log.txt");
  EXPECT_EQ(log.find("WARNING"), std::string::npos)
      << log.substr(log.find("WARNING") == std::string::npos ? 0 : log.find("WARNING"), 300);
  ReleaseGraphics();
}

}  // namespace
