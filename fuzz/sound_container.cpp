// Sound containers: the input replaces the first container of the episode.
#include "data/sound.h"
#include "fuzz/fuzz_common.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDir();
  WriteFuzzFile("BRAX1" + Options().GameExt, data, size);
  LoadSounds();
  TrimLog();
  return 0;
}
