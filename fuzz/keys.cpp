// The KEYS file: loaded with the configuration, then its keys named and read.
#include "shell/keys.h"
#include "fuzz/fuzz_common.h"
#include "shell/settings.h"
#include "shell/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDir();
  WriteFuzzFile("KEYS" + Options().GameExt, data, size);
  LoadConfig();
  for (uint8_t key : PlaySettings().PlayKeys) KeyName(key);
  uint8_t inputs[6];
  ReadPlayInputs(inputs);
  TrimLog();
  return 0;
}
