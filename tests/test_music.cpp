// Music: loading from the game or working directory, restarting a loaded song, the
// level songs of "hrp.ini".
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/settings.h"
#include "sound_fixture.h"

namespace fs = std::filesystem;

namespace {

class MusicTest : public TSoundTestBase {
 protected:
  void SetUp() override {
    TSoundTestBase::SetUp();
    fs::create_directory(Temp.Dir() + "game");
    StartUpOptions().GameDir = Temp.Dir() + "game/";
  }
  // The single Play event since the mark.
  TAudioEvent OnlyPlay(size_t mark) const {
    const auto plays = Events(TAudioEvent::Play, mark);
    EXPECT_EQ(plays.size(), 1u);
    return plays.empty() ? TAudioEvent{} : plays[0];
  }
};

}  // namespace

TEST_F(MusicTest, GameDirectoryFirstThenWorkingDirectory) {
  TTempDir::WriteText(Options().GameDir + "tune.ogg", "x");
  TTempDir::WriteText("tune.ogg", "x");
  TTempDir::WriteText("other.ogg", "x");

  StartMusic("tune.ogg");
  TAudioEvent play = OnlyPlay(0);
  EXPECT_EQ(play.Name, Options().GameDir + "tune.ogg");
  EXPECT_TRUE(play.Loop);
  EXPECT_EQ(CurrentSongName(), "TUNE.OGG");
  EXPECT_TRUE(Headless->ChannelPlaying(play.Channel));

  const size_t mark = Headless->AudioLog().size();
  StartMusic("other.ogg");  // replaces the song on the music channel
  play = OnlyPlay(mark);
  EXPECT_EQ(play.Name, "other.ogg");
  EXPECT_EQ(CurrentSongName(), "OTHER.OGG");
}

TEST_F(MusicTest, SameSongInOtherCaseRestartsWithoutLoading) {
  TTempDir::WriteText(Options().GameDir + "menu.ogg", "x");
  StartMusic("menu.ogg");
  const int first = OnlyPlay(0).Channel;
  fs::remove(Options().GameDir + "menu.ogg");  // a reload would fail now

  const size_t mark = Headless->AudioLog().size();
  StartMusic("MENU.OGG");
  const auto stops = Events(TAudioEvent::Stop, mark);
  ASSERT_EQ(stops.size(), 1u);
  EXPECT_EQ(stops[0].Channel, first);
  const TAudioEvent play = OnlyPlay(mark);
  EXPECT_EQ(play.Name, Options().GameDir + "menu.ogg");
  EXPECT_TRUE(play.Loop);
  EXPECT_EQ(CountLog("WARNING :: StartMusic :: could not load song MENU.OGG"), 0);
}

TEST_F(MusicTest, MissingSongWarnsAndStops) {
  TTempDir::WriteText(Options().GameDir + "a.ogg", "x");
  StartMusic("a.ogg");
  const int channel = OnlyPlay(0).Channel;

  StartMusic("gone.ogg");
  EXPECT_EQ(CountLog("WARNING :: StartMusic :: could not load song gone.ogg"), 1);
  EXPECT_FALSE(Headless->ChannelPlaying(channel));
  EXPECT_FALSE(MusicIsLoaded());
  EXPECT_EQ(CurrentSongName(), "GONE.OGG");

  // The failed song is tried again (and warns again) rather than counted as loaded.
  StartMusic("gone.ogg");
  EXPECT_EQ(CountLog("WARNING :: StartMusic :: could not load song gone.ogg"), 2);
}

TEST_F(MusicTest, EnsureLeavesThePlayingSongAlone) {
  TTempDir::WriteText(Options().GameDir + "menu.ogg", "x");
  EnsureMusic("menu.ogg");
  const int channel = OnlyPlay(0).Channel;

  size_t mark = Headless->AudioLog().size();
  EnsureMusic("Menu.ogg");
  EXPECT_EQ(Headless->AudioLog().size(), mark);

  StopMusic();
  EXPECT_FALSE(Headless->ChannelPlaying(channel));
  EXPECT_TRUE(MusicIsLoaded());
  mark = Headless->AudioLog().size();
  EnsureMusic("menu.ogg");  // stopped: starts again from the loaded song
  EXPECT_TRUE(Headless->ChannelPlaying(OnlyPlay(mark).Channel));

  StartMusic("");  // an empty name stops
  EXPECT_FALSE(Headless->ChannelPlaying(OnlyPlay(mark).Channel));
}

TEST_F(MusicTest, LevelSongsFromTheReplacementIni) {
  for (const char* name : {"episode3.ogg", "general3.ogg", "general4.ogg"})
    TTempDir::WriteText(Options().GameDir + name, "x");
  ReplacementIni.SetIniValue("MUSIC.QZ1", "level3", "episode3.ogg");
  ReplacementIni.SetIniValue("MUSIC", "level3", "general3.ogg");
  ReplacementIni.SetIniValue("MUSIC", "level4", "general4.ogg");

  StartLevelMusic(3);
  EXPECT_EQ(CurrentSongName(), "EPISODE3.OGG");
  StartLevelMusic(4);
  EXPECT_EQ(CurrentSongName(), "GENERAL4.OGG");
  const int channel = Events(TAudioEvent::Play).back().Channel;
  StartLevelMusic(5);  // no song: silence
  EXPECT_FALSE(Headless->ChannelPlaying(channel));

  StartUpOptions().EnhancedContent = false;
  const size_t mark = Headless->AudioLog().size();
  StartLevelMusic(3);
  EXPECT_EQ(Headless->AudioLog().size(), mark);
}
