// Speaker sounds: synthesis, containers, loading, playback priorities, replacements,
// WAVE export, and the episode's sound source text.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "shell/settings.h"
#include "sound_fixture.h"

namespace fs = std::filesystem;

namespace {

// `count` samples alternating between two levels every `half` samples, `first` first.
std::vector<uint8_t> Square(size_t count, size_t half, uint8_t first) {
  const uint8_t second = first == 108 ? 148 : 108;
  std::vector<uint8_t> out;
  for (size_t i = 0; i < count; ++i) out.push_back((i / half) % 2 == 0 ? first : second);
  return out;
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

TSoundSource Tune(const std::string& name, uint8_t priority, std::vector<uint16_t> words) {
  return TSoundSource{name, priority, std::move(words)};
}

// 24 entries named <prefix>00..23, priority = index, tune = index + 1 words of 1082.
std::vector<TSoundSource> NumberedTunes(const std::string& prefix, int count = 24) {
  std::vector<TSoundSource> tunes;
  for (int j = 0; j < count; ++j)
    tunes.push_back(
        Tune(prefix + Digits(j, 2), uint8_t(j), std::vector<uint16_t>(size_t(j + 1), 1082)));
  return tunes;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  const std::string text = TTempDir::ReadText(path);
  return {text.begin(), text.end()};
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

}  // namespace

// --- Synthesis ---------------------------------------------------------------------------

TEST(SoundSynthesisTest, HalfPeriodsFromDivisors) {
  // 1082 * 22050 / 2386360 is just under 10: nine samples per half wave.
  EXPECT_EQ(SynthesizeSpeakerWords({1082}), Square(153, 9, 108));
  // 100 gives a half period of 0: the level changes after every sample.
  EXPECT_EQ(SynthesizeSpeakerWords({100}), Square(153, 1, 108));
  EXPECT_TRUE(SynthesizeSpeakerWords({}).empty());
}

TEST(SoundSynthesisTest, ShortTuneByteExact) {
  // 1100 -> half 10, 300 -> half 2. Three words of 1100 are one unbroken wave (the phase
  // carries over): 459 samples, 45 changes, so it ends on the high level with the counter
  // at 9. The silent word resets the counter but keeps the level, so the 300 word starts
  // with a full half period on the high level.
  std::vector<uint8_t> expected = Square(459, 10, 108);
  Append(expected, std::vector<uint8_t>(153, 128));
  Append(expected, Square(153, 2, 148));
  EXPECT_EQ(SynthesizeSpeakerWords({1100, 1100, 1100, 0, 300}), expected);
}

TEST(SoundSynthesisTest, EndWordStopsTheTuneAndStreamEndIsSafe) {
  EXPECT_EQ(SynthesizeSpeakerWords({1082, 0xFFFF, 1082}).size(), 153u);

  // Three words asked, two and a half present: two are played.
  PStream file = LittleEndianStream(MemoryStream({0x3A, 0x04, 0x3A, 0x04, 0x01}));
  EXPECT_EQ(SynthesizeSpeakerSound(*file, 3), Square(306, 9, 108));
}

// --- Containers and loading ---------------------------------------------------------------

class SoundLoadTest : public TSoundTestBase {
 protected:
  void WriteContainers(const std::vector<TSoundSource>& first,
                       const std::vector<TSoundSource>& second) {
    TTempDir::Write(Temp.Dir() + "BRAX1.QZ1", WriteSoundContainer(first));
    TTempDir::Write(Temp.Dir() + "BRAX1-B.QZ1", WriteSoundContainer(second));
  }
};

TEST_F(SoundLoadTest, WriterAndLoaderRoundTrip) {
  std::vector<TSoundSource> first = NumberedTunes("A");
  first[7] = Tune("JUMP", 5, {1100, 1100, 1100, 0, 300});
  first[3] = Tune("TWELVECHARSX", 255, {0});  // a name of exactly 12 bytes, no zero
  WriteContainers(first, NumberedTunes("B"));
  LoadSounds();

  EXPECT_EQ(ClassicSound(7).Name, "JUMP");
  EXPECT_EQ(ClassicSound(7).Priority, 5);
  EXPECT_EQ(ClassicSound(7).Samples, SynthesizeSpeakerWords({1100, 1100, 1100, 0, 300}));
  ASSERT_TRUE(ClassicSound(7).Sound);
  EXPECT_EQ(ClassicSound(3).Name, "TWELVECHARSX");
  EXPECT_EQ(ClassicSound(3).Priority, 255);
  EXPECT_EQ(ClassicSound(3).Samples, std::vector<uint8_t>(153, 128));
  for (int n = 24; n < 48; ++n) {
    EXPECT_EQ(ClassicSound(n).Name, "B" + Digits(n - 24, 2));
    EXPECT_EQ(ClassicSound(n).Samples.size(), size_t(n - 23) * 153);
  }

  const std::string firstPath = Temp.Dir() + "BRAX1.QZ1";
  EXPECT_EQ(CountLog("LoadSounds() started"), 1);
  EXPECT_EQ(CountLog("Trying to open \"" + firstPath + "\"... ok."), 1);
  EXPECT_EQ(CountLog("Sound #07: Name = JUMP Priority = 005"), 1);
  EXPECT_EQ(CountLog("Sound #47: Name = B23 Priority = 023"), 1);
  EXPECT_EQ(CountLog("WARNING :: LoadSounds :: not all sounds were loaded correctly"), 0);
  const auto lines = LogLines();
  const auto end = std::find(lines.begin(), lines.end(), "LoadSounds() terminated");
  ASSERT_NE(end, lines.end());
  ASSERT_NE(end + 1, lines.end());
  EXPECT_EQ(*(end + 1), "");
}

TEST_F(SoundLoadTest, OnlyTwentyFourEntriesPerContainer) {
  WriteContainers(NumberedTunes("A", 30), NumberedTunes("B"));
  LoadSounds();
  EXPECT_EQ(ClassicSound(23).Name, "A23");
  EXPECT_EQ(ClassicSound(24).Name, "B00");  // not entry 24 of the first container
  EXPECT_EQ(CountLog("Sound #24: Name = A24 Priority = 024"), 0);
  EXPECT_EQ(CountLog("WARNING :: LoadSounds :: not all sounds were loaded correctly"), 0);
}

TEST_F(SoundLoadTest, MissingAndForeignContainersWarn) {
  TTempDir::Write(Temp.Dir() + "BRAX1.QZ1", {'R', 'I', 'F', 'F', 0, 0, 24, 0});
  LoadSounds();
  const std::string first = Temp.Dir() + "BRAX1.QZ1";
  const std::string second = Temp.Dir() + "BRAX1-B.QZ1";
  EXPECT_EQ(CountLog("WARNING :: LoadSounds :: " + first +
                     " is not a SND file, no sounds were loaded from it"),
            1);
  EXPECT_EQ(CountLog("Trying to open \"" + second + "\"... ERROR!"), 1);
  EXPECT_EQ(CountLog("WARNING :: LoadSounds :: not all sounds were loaded correctly"), 1);
  for (int n = 0; n < 48; ++n) EXPECT_FALSE(ClassicSound(n).Loaded) << n;
}

TEST_F(SoundLoadTest, LyingContainerLoadsWhatItCan) {
  std::vector<uint8_t> bytes = WriteSoundContainer(
      {Tune("FINE", 1, {1082}), Tune("PASTEND", 2, {}), Tune("OPEN", 3, {1082, 1082, 1082})});
  bytes[6] = 24;          // claims 24 entries, holds 3
  bytes[16 + 16] = 0xF0;  // entry 1 points far beyond the file
  bytes[16 + 17] = 0xFF;
  ASSERT_EQ(bytes.back(), 0xFF);   // entry 2's tune loses its end word
  bytes[bytes.size() - 2] = 0x3A;  // and ends in half a word
  bytes.pop_back();
  TTempDir::Write(Temp.Dir() + "BRAX1.QZ1", bytes);
  LoadSounds();

  EXPECT_EQ(ClassicSound(0).Samples.size(), 153u);
  EXPECT_TRUE(ClassicSound(1).Loaded);
  EXPECT_TRUE(ClassicSound(1).Samples.empty());
  // Three whole words before the end of the file; the last one counts as the missing end.
  EXPECT_EQ(ClassicSound(2).Samples, Square(306, 9, 108));
  EXPECT_FALSE(ClassicSound(3).Loaded);
  EXPECT_EQ(CountLog("WARNING :: LoadSounds :: not all sounds were loaded correctly"), 1);
}

TEST_F(SoundLoadTest, OverlongTuneIsCutAtTheLongestTune) {
  WriteContainers(
      {Tune("SHORT", 2, {1082}), Tune("LONG", 1, std::vector<uint16_t>(MaxTuneWords + 5000, 0))},
      {});
  LoadSounds();
  EXPECT_EQ(ClassicSound(0).Samples.size(), 153u);
  EXPECT_EQ(ClassicSound(1).Samples.size(), size_t(MaxTuneWords) * 153);
}

TEST_F(SoundLoadTest, RandomBytesNeverReadOutOfBounds) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes(size_t(random() % 700));
    for (uint8_t& b : bytes) b = uint8_t(random());
    // Mostly valid magic and small tune offsets, so the entry code is exercised.
    if (bytes.size() >= 4 && round % 5 != 0) std::copy_n("SND", 4, bytes.begin());
    if (bytes.size() >= 16 + 16 * 24)
      for (int j = 0; j < 24; ++j) bytes[size_t(17 + 16 * j)] = uint8_t(random() % 3);
    TTempDir::Write(Temp.Dir() + "BRAX1.QZ1", bytes);
    TTempDir::Write(Temp.Dir() + "BRAX1-B.QZ1", std::vector<uint8_t>(bytes.rbegin(), bytes.rend()));
    LoadSounds();
    for (int n = 0; n < 48; ++n) {
      const TClassicSound& sound = ClassicSound(n);
      EXPECT_EQ(sound.Samples.size() % 153, 0u);
      EXPECT_LE(sound.Samples.size(), bytes.size() / 2 * 153);
      EXPECT_LE(sound.Name.size(), 12u);
    }
  }
}

TEST_F(SoundLoadTest, ExportWritesNumberedWaveFiles) {
  StartUpOptions().ExportMode = true;
  std::vector<TSoundSource> first = NumberedTunes("A");
  first[7] = Tune("JUMP", 5, {1082, 0});
  WriteContainers(first, NumberedTunes("B"));
  LoadSounds();

  const std::vector<uint8_t> wav = ReadBytes("007-JUMP.wav");
  const std::vector<uint8_t>& samples = ClassicSound(7).Samples;
  ASSERT_EQ(samples.size(), 306u);
  ASSERT_EQ(wav.size(), 46 + samples.size());
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
  EXPECT_EQ(Le32(wav, 4), samples.size() + 38);
  EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Le32(wav, 16), 18u);
  EXPECT_EQ(Le16(wav, 20), 1);  // PCM
  EXPECT_EQ(Le16(wav, 22), 1);  // mono
  EXPECT_EQ(Le32(wav, 24), 22050u);
  EXPECT_EQ(Le32(wav, 28), 22050u);
  EXPECT_EQ(Le16(wav, 32), 1);
  EXPECT_EQ(Le16(wav, 34), 8);
  EXPECT_EQ(Le16(wav, 36), 0);
  EXPECT_EQ(std::string(wav.begin() + 38, wav.begin() + 42), "data");
  EXPECT_EQ(Le32(wav, 42), samples.size());
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), wav.begin() + 46));

  EXPECT_TRUE(fs::exists("047-B23.wav"));
  EXPECT_FALSE(WriteWav(samples, "no/such/folder/x.wav"));
  EXPECT_FALSE(fs::exists("no"));
}

TEST_F(SoundLoadTest, ExportKeepsNamesInsideTheWorkingDirectory) {
  StartUpOptions().ExportMode = true;
  std::vector<TSoundSource> first = NumberedTunes("A");
  first[1] = Tune("../../x", 1, {1082});
  WriteContainers(first, NumberedTunes("B"));
  LoadSounds();
  EXPECT_TRUE(fs::exists("001-.._.._x.wav"));
}

// --- Playback -----------------------------------------------------------------------------

class SoundPlayTest : public SoundLoadTest {
 protected:
  void SetUp() override {
    SoundLoadTest::SetUp();
    std::vector<TSoundSource> first = NumberedTunes("A");
    first[0] = Tune("HIGH", 5, std::vector<uint16_t>(144, 1082));  // about one second
    first[1] = Tune("LOW", 3, {1082});
    first[2] = Tune("SAME", 5, {1082});
    WriteContainers(first, NumberedTunes("B"));
  }
  std::vector<std::string> PlayedNames(size_t from) const {
    std::vector<std::string> names;
    for (const TAudioEvent& e : Events(TAudioEvent::Play, from)) names.push_back(e.Name);
    return names;
  }
};

TEST_F(SoundPlayTest, PrioritiesOnTheSpeaker) {
  LoadSounds();
  PlayBraxSound(0);
  PlayBraxSound(1);  // lower than the sound playing: dropped
  EXPECT_EQ(PlayedNames(0), std::vector<std::string>{"HIGH"});

  const size_t mark = Headless->AudioLog().size();
  PlayBraxSound(2);  // equal priority cuts in on the same channel
  const auto plays = Events(TAudioEvent::Play, mark);
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].Name, "SAME");
  EXPECT_EQ(plays[0].Channel, Events(TAudioEvent::Play)[0].Channel);
  EXPECT_FALSE(plays[0].Loop);

  Headless->AdvanceClock(50);  // "SAME" (7 ms) has ended: any priority plays
  PlayBraxSound(1);
  EXPECT_EQ(PlayedNames(mark), (std::vector<std::string>{"SAME", "LOW"}));
}

TEST_F(SoundPlayTest, SwitchRangeAndMissingSounds) {
  LoadSounds();
  PlaySettings().SoundOn = false;
  PlayBraxSound(0);
  PlaySettings().SoundOn = true;
  PlayBraxSound(-1);
  PlayBraxSound(48);
  EXPECT_TRUE(Headless->AudioLog().empty());

  fs::remove(Temp.Dir() + "BRAX1-B.QZ1");
  LoadSounds();
  PlayBraxSound(30);
  EXPECT_TRUE(Events(TAudioEvent::Play).empty());
  EXPECT_EQ(CountLog("WARNING :: PlayBraxSound :: trying to play a NULL sound for sound number 30"),
            1);
}

TEST_F(SoundPlayTest, SilentWithoutAudioDevice) {
  auto platform = std::make_unique<THeadlessPlatform>();
  platform->FailAudio = true;
  EXPECT_FALSE(platform->OpenAudio());
  Headless = platform.get();
  SetPlatform(std::move(platform));
  ResetSounds();
  LoadSounds();
  PlayBraxSound(0);
  PlayBraxSound(47);
  StartMusic("song.ogg");
  EXPECT_TRUE(Headless->AudioLog().empty());
  EXPECT_EQ(CountLog("WARNING :: PlayBraxSound :: trying to play a NULL sound for sound number 0"),
            0);
}

TEST_F(SoundPlayTest, ReplacementsTakeTheirOwnChannels) {
  TTempDir::WriteText("005.wav", "x");
  TTempDir::WriteText("006.ogg", "x");
  TTempDir::WriteText("007.wav", "x");
  TTempDir::WriteText("007.ogg", "x");
  LoadSounds();
  ASSERT_TRUE(ReplacementSound(5));
  ASSERT_TRUE(ReplacementSound(6));
  ASSERT_TRUE(ReplacementSound(7));
  EXPECT_EQ(ReplacementSound(6)->Name, "006.ogg");
  EXPECT_EQ(ReplacementSound(7)->Name, "007.wav");  // WAVE before Ogg
  EXPECT_FALSE(ReplacementSound(8));

  PlayBraxSound(0);  // speaker
  PlayBraxSound(5);
  PlayBraxSound(6);
  auto plays = Events(TAudioEvent::Play);
  ASSERT_EQ(plays.size(), 3u);
  EXPECT_EQ(plays[1].Name, "005.wav");
  EXPECT_NE(plays[1].Channel, plays[0].Channel);
  EXPECT_NE(plays[2].Channel, plays[1].Channel);
  EXPECT_NE(plays[2].Channel, plays[0].Channel);
  PlayBraxSound(5);  // restarts on its channel
  plays = Events(TAudioEvent::Play);
  EXPECT_EQ(plays.back().Channel, plays[1].Channel);

  // F12 off: the classic sound on the speaker, cutting in at equal priority.
  PlaySettings().ReplacementMode = false;
  const size_t mark = Headless->AudioLog().size();
  PlayBraxSound(2);
  plays = Events(TAudioEvent::Play, mark);
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].Name, "SAME");
  EXPECT_EQ(plays[0].Channel, Events(TAudioEvent::Play)[0].Channel);

  // Classic content loads no replacements at all.
  StartUpOptions().EnhancedContent = false;
  PlaySettings().ReplacementMode = true;
  LoadSounds();
  EXPECT_FALSE(ReplacementSound(5));
  PlayBraxSound(5);
  EXPECT_EQ(Events(TAudioEvent::Play).back().Name, "A05");
}

TEST_F(SoundPlayTest, StopAllSoundsFreesTheSpeaker) {
  TTempDir::WriteText("009.wav", "x");
  LoadSounds();
  PlayBraxSound(0);
  PlayBraxSound(9);
  TTempDir::WriteText("song.ogg", "x");
  StartMusic("song.ogg");
  ASSERT_TRUE(MusicIsLoaded());
  const int musicChannel = Events(TAudioEvent::Play).back().Channel;

  const size_t mark = Headless->AudioLog().size();
  StopAllSounds();
  const auto stops = Events(TAudioEvent::Stop, mark);
  ASSERT_EQ(stops.size(), 2u);  // the speaker and the one replacement channel used
  for (const TAudioEvent& stop : stops) EXPECT_NE(stop.Channel, musicChannel);
  EXPECT_TRUE(Headless->ChannelPlaying(musicChannel));

  PlayBraxSound(1);  // the speaker is idle again: priority 3 plays
  EXPECT_EQ(Events(TAudioEvent::Play, mark).size(), 1u);
}

// A replacement that took the speaker's idle channel number is not cut off by the speaker.
TEST_F(SoundPlayTest, SharedChannelNumbersAreNotStolen) {
  TTempDir::WriteText("009.wav", "x");
  LoadSounds();
  PlayBraxSound(2);  // 7 ms on the speaker's channel
  const int speaker = Events(TAudioEvent::Play)[0].Channel;
  Headless->AdvanceClock(20);
  PlayBraxSound(9);  // free channel: the same number
  const int replacement = Events(TAudioEvent::Play).back().Channel;
  ASSERT_EQ(replacement, speaker);
  PlayBraxSound(0);
  EXPECT_NE(Events(TAudioEvent::Play).back().Channel, replacement);
  EXPECT_TRUE(Headless->ChannelPlaying(replacement));
}

// --- The episode's sounds -----------------------------------------------------------------

TEST(SoundWriterTest, EpisodeTextBuildsBothContainers) {
  const std::string text =
      TTempDir::ReadText(std::string(ZYNTRA_SOURCE_DIR) + "/episode/sounds.txt");
  ASSERT_FALSE(text.empty());
  std::vector<TSoundSource> sounds;
  std::string error;
  ASSERT_TRUE(ParseSoundText(text, sounds, error)) << error;
  ASSERT_EQ(sounds.size(), 48u);
  for (const TSoundSource& sound : sounds) {
    EXPECT_FALSE(sound.Words.empty()) << sound.Name;
    EXPECT_LE(sound.Name.size(), 12u);
    // No tune runs longer than two seconds.
    EXPECT_LE(sound.Words.size(), 288u) << sound.Name;
  }
  // Explosions and getting hurt win over footsteps, jumps and hums.
  for (int loud : {10, 15, 33})
    for (int quiet : {13, 14, 21, 22, 23, 36})
      EXPECT_GT(sounds[loud].Priority, sounds[quiet].Priority);
  EXPECT_EQ(sounds[13].Name, "JUMP");
  EXPECT_EQ(sounds[10].Name, "EXPLODE");

  const TSoundContainers built = BuildSoundContainersFromText(text);
  ASSERT_TRUE(built.Ok()) << built.Error;
  EXPECT_EQ(built.First, WriteSoundContainer({sounds.begin(), sounds.begin() + 24}));
  EXPECT_EQ(built.Second, WriteSoundContainer({sounds.begin() + 24, sounds.end()}));
  EXPECT_EQ(BuildSoundContainersFromText(text).First, built.First);  // same text, same bytes
}

TEST(SoundWriterTest, StepsOfTheTextForm) {
  std::string text;
  for (int n = 1; n < 48; ++n) text += std::to_string(n) + " S" + std::to_string(n) + " 1 : -:1\n";
  text +=
      "0 STEPS 200 : 1000:2 -:1 d300:1  # comment\n"
      "   100>400:4 100/200:3\n"
      "   { 500:1 { d7:1 }x2 }x2 ~100-100:2\n";
  std::vector<TSoundSource> sounds;
  std::string error;
  ASSERT_TRUE(ParseSoundText(text, sounds, error)) << error;
  EXPECT_EQ(sounds[0].Name, "STEPS");
  EXPECT_EQ(sounds[0].Priority, 200);
  const uint16_t f100 = 11932, f200 = 5966, f300 = 3977, f400 = 2983, f500 = 2386, f1000 = 1193;
  EXPECT_EQ(DivisorForFrequency(100), f100);
  EXPECT_EQ(DivisorForFrequency(300), f300);
  EXPECT_EQ(sounds[0].Words,
            (std::vector<uint16_t>{f1000, f1000, 0, 300, f100, f200, f300, f400, f100, f200, f100,
                                   f500, 7, 7, f500, 7, 7, f100, f100}));
}

TEST(SoundWriterTest, TextErrorsNameTheLine) {
  std::string all;
  for (int n = 0; n < 48; ++n) all += std::to_string(n) + " S 1 : -:1\n";
  std::vector<TSoundSource> sounds;
  std::string error;
  EXPECT_TRUE(ParseSoundText(all, sounds, error)) << error;

  const auto fails = [&](const std::string& text, const std::string& part) {
    std::string why;
    EXPECT_FALSE(ParseSoundText(text, sounds, why)) << text;
    EXPECT_NE(why.find(part), std::string::npos) << why;
  };
  fails(all + "3 AGAIN 1 : -:1\n", "line 49: sound 3 given twice");
  fails(all.substr(0, all.rfind("47 ")), "sound 47 is missing");
  fails("0 THIRTEENCHARS 1 : -:1\n", "name");
  fails("\n0 X 1 : 5:1\n", "line 2: bad pitch");
  fails("0 X 1 : { 440:1\n", "group not closed");
  fails("0 X 1 : { 440:1000 }x100\n", "too long");
}
