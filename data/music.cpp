// Songs of the replacement content.
#include "data/music.h"

#include <cctype>

#include "data/graphics.h"
#include "data/sound.h"
#include "data/stream.h"
#include "data/text.h"
#include "shell/log.h"
#include "shell/settings.h"

namespace {

std::string CurrentSong;  // upper case
PSound MusicSound;
TAudioChannel MusicChannel;

}  // namespace

void StartMusic(const std::string& name) {
  if (name.empty()) {
    StopMusic();
    return;
  }
  // Without an audio device there is nothing to play and nothing worth a warning.
  if (!HasPlatform() || !Platform().AudioIsOpen()) return;
  const std::string upper = UpperCase(name);
  if (upper == CurrentSong && MusicSound) {
    MusicChannel.Stop();
    MusicChannel.Start(MusicSound, true);
    return;
  }
  CurrentSong = upper;
  MusicSound = Platform().LoadSoundFile(ResolvePathCase(Options().GameDir + name));
  if (!MusicSound) MusicSound = Platform().LoadSoundFile(ResolvePathCase(name));
  if (MusicSound) {
    MusicChannel.Start(MusicSound, true);
  } else {
    LogLine("WARNING :: StartMusic :: could not load song " + name);
    StopMusic();
  }
}

void EnsureMusic(const std::string& name) {
  if (UpperCase(name) == CurrentSong && MusicSound && MusicChannel.Playing()) return;
  StartMusic(name);
}

void StopMusic() { MusicChannel.Stop(); }

void StartLevelMusic(int level) {
  if (!Options().EnhancedContent) return;
  const std::string key = "level" + std::to_string(level);
  const std::string fallback = ReplacementIni.GetString("MUSIC", key, "");
  StartMusic(ReplacementIni.GetString("MUSIC" + Options().GameExt, key, fallback));
}

const std::string& CurrentSongName() { return CurrentSong; }

bool MusicIsLoaded() { return MusicSound != nullptr; }

void ResetMusic() {
  MusicChannel = TAudioChannel{};
  MusicSound = nullptr;
  CurrentSong.clear();
}
