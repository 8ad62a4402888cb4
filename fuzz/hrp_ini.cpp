// "hrp.ini": read as start-up reads it, then every replacement image it names is loaded as
// the graphics loaders load them (border, font, tiles, sprites, side borders, the
// backdrops of the first map).
#include "data/graphics.h"
#include "fuzz/fuzz_common.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartFuzzGame();
  WriteFuzzFile("hrp.ini", data, size);
  LoadMusicSettings();
  LoadEssentialGraphics();
  // The replacement part of LoadRemainingGraphics, without decoding the classic sets again.
  TileReplacement =
      LoadReplacementImage("tiles", 16, 16, TileFrameCount, Options().PlainImageFlags);
  SpriteReplacement =
      LoadReplacementImage("sprites", 16, 16, SpriteFrameCount, Options().MaskedImageFlags);
  LoadBorderImages();
  if (BackdropList.size() >= 2) LoadBackdrops(BackdropList[0], BackdropList[1]);
  TrimLog();
  return 0;
}
