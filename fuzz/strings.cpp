// String tables: the input is the episode table of the game directory.
#include "shell/strings.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDir();
  WriteFuzzFile("STRINGS.QZ1.TXT", data, size);
  LoadStrings("STRINGS.QZ1.TXT");
  TrimLog();
  return 0;
}
