// Savegames: slot 1 is loaded as the restore menu loads it, then a few ticks are played.
#include "world/savegame.h"
#include "fuzz/fuzz_common.h"
#include "world/world_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartFuzzGame();
  const std::string name = SavegameFileName(1);
  WriteFuzzFile(name.substr(FuzzDir().size()), data, size);
  if (LoadGame(World(), 1)) PlayTicks(3);
  TrimLog();
  return 0;
}
