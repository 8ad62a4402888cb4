// Demo files: read as playback reads them, then the first ticks played on the first map.
#include <vector>

#include "fuzz/fuzz_common.h"
#include "shell/demo.h"
#include "shell/route.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartFuzzGame();
  WriteFuzzFile("USERDEMO" + Options().GameExt, data, size);
  const std::vector<uint8_t> records = ReadDemoFile(UserDemoFileName());
  if (StartRouteLevel(0)) PlayTicks(20, records.data(), records.size());
  TrimLog();
  return 0;
}
