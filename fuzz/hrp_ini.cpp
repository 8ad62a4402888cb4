// "hrp.ini": read as start-up reads it, then every replacement image it names is loaded
// (border, font, tiles, sprites, side borders, the backdrops of the first map).
#include "data/graphics.h"
#include "fuzz/fuzz_common.h"
#include "shell/startup.h"
#include "shell/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartFuzzGame();
  WriteFuzzFile("hrp.ini", data, size);
  LoadMusicSettings();
  LoadEssentialGraphics();
  LoadRemainingGraphics();
  LoadBorderImages();
  if (BackdropList.size() >= 2) LoadBackdrops(BackdropList[0], BackdropList[1]);
  TrimLog();
  return 0;
}
