// Quick saves: loaded into a running first level as the quick-load key does, then a few
// ticks are played.
#include "fuzz/fuzz_common.h"
#include "shell/route.h"
#include "world/savegame.h"
#include "world/world_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartFuzzGame();
  WriteFuzzFile(QuickSaveFileName(), data, size);
  if (!StartRouteLevel(0)) return 0;
  QuickLoad(World());
  PlayTicks(3);
  TrimLog();
  return 0;
}
