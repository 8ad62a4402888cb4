// Tile files (fonts, borders, tiles, sprites), masked and plain, as the graphics loader reads them.
#include "data/planar.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteFuzzFile("FUZZ.QZ1", data, size);
  for (bool masked : {false, true}) {
    int count = 0, widthBytes = 0, height = 0;
    LoadTileFile(FuzzDir() + "FUZZ.QZ1", masked, count, widthBytes, height);
  }
  int count = 48, widthBytes = 0, height = 0;  // the forced count of the sprite files
  LoadTileFile(FuzzDir() + "FUZZ.QZ1", true, count, widthBytes, height);
  TrimLog();
  return 0;
}
