// Backdrop files.
#include "data/graphics.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteFuzzFile("FUZZ.QZ1", data, size);
  LoadBackdropFile(FuzzDir() + "FUZZ.QZ1");
  TrimLog();
  return 0;
}
