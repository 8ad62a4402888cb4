// Level maps: the input replaces the first map of the episode, which is loaded as a new
// game loads it and played for a few ticks.
#include "fuzz/fuzz_common.h"
#include "shell/route.h"
#include "shell/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartFuzzGame();
  if (LevelList.empty()) return 0;
  WriteFuzzFile(LevelList[0], data, size);
  if (StartRouteLevel(0)) PlayTicks(3);
  TrimLog();
  return 0;
}
