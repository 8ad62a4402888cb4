// Full-screen planar pictures (title, credits, end pictures) as the graphics loader reads them.
#include "data/planar.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteFuzzFile("FUZZ.QZ1", data, size);
  PPixmap picture = DecodePlanarPicture(FuzzDir() + "FUZZ.QZ1", 0, 40, 200, -1, -1);
  if (picture) CreateImage(*picture, picture->Width, picture->Height, 0, 1, 0);
  TrimLog();
  return 0;
}
