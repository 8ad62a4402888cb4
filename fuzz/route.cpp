// Route files: read as a replay reads them, then the first ticks played on the first map.
#include <vector>

#include "fuzz/fuzz_common.h"
#include "shell/route.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartFuzzGame();
  WriteFuzzFile("fuzz.route", data, size);
  std::vector<uint8_t> records;
  if (ReadRouteFile(FuzzDir() + "fuzz.route", records) && StartRouteLevel(0))
    PlayTicks(20, records.data(), records.size());
  TrimLog();
  return 0;
}
