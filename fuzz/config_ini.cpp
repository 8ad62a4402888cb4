// "Zyntra.ini" of the working directory.
#include "fuzz/fuzz_common.h"
#include "shell/keys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDir();
  WriteFuzzFile("Zyntra.ini", data, size);
  LoadConfig();
  TrimLog();
  return 0;
}
