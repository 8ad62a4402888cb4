// Replacement sounds (WAVE or Ogg by REPLACEMENT_EXTENSION): the input is sound 000, loaded
// with the others and played through SDL_mixer on SDL's dummy audio driver (no device).
#include <cstdlib>

#include "data/sound.h"
#include "fuzz/fuzz_common.h"
#include "platform/platform.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool audio = [] {
    // No sound containers in this game directory: a run converts the replacement only,
    // not the 48 classic sounds as well.
    StartUpOptions().GameDir = FuzzDir() + "no-containers/";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // MIDI is no replacement format; without this every damaged input would make the
    // mixer's MIDI decoder load its sound font, a second or more each.
    setenv("SDL_MIXER_DISABLE_FLUIDSYNTH", "1", 1);
    SetPlatform(CreateSdlPlatform());
    return Platform().OpenAudio();
  }();
  if (!audio) std::abort();
  WriteFuzzFile("000" REPLACEMENT_EXTENSION, data, size);
  LoadSounds();
  PlaySettings().ReplacementMode = true;
  PlayBraxSound(0);
  StopAllSounds();
  TrimLog();
  return 0;
}
