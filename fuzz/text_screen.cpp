// Text-mode exit screens: the input is the episode's screen, put together as the end of
// the program does, and its first row drawn.
#include "fuzz/fuzz_common.h"
#include "shell/exit_screen.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDir();
  static TDosScreen screen;
  WriteFuzzFile("DOSTEXT" + Options().GameExt, data, size);
  PrepareExitScreen(screen);
  screen.CreateLineImage(0);
  TrimLog();
  return 0;
}
