// Text-mode exit screens: the input is the episode's screen, put together and drawn as
// the end of the program does.
#include "fuzz/fuzz_common.h"
#include "shell/exit_screen.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDir();
  static TDosScreen screen;
  WriteFuzzFile("DOSTEXT" + GameExt, data, size);
  PrepareExitScreen(screen);
  screen.Draw();
  TrimLog();
  return 0;
}
