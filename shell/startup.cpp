// Program start-up and the orderly quit.
#include "shell/startup.h"

#include <cstdio>
#include <memory>
#include <string>

#include "data/stream.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "shell/command_line.h"
#include "shell/frame.h"
#include "shell/input_script.h"
#include "shell/log.h"
#include "shell/settings.h"

// ReplacementIni ("hrp.ini") is defined with the replacement images in data/graphics.cpp.

namespace {

bool Started = false;

std::string UpperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  return text;
}

// Stands in for the loading of the border and font graphics: without the episode's border
// file there is nothing to show, and the program has to end before its window opens.
bool LoadEssentialGraphicsPlaceholder() {
  const std::string name = "BORDER" + GameExt;
  if (FileSize(GameDir + name) < 0) {
    LogLine("ERROR :: LoadEssentialGraphics :: cannot read graphics from \"" + name + "\"");
    return false;
  }
  return true;
}

// The real program runs on SDL; "headless" runs without a window, driven by "script".
// A platform installed before start-up (by an embedding test) is kept.
void CreatePlatform() {
  if (HasPlatform()) return;
  const std::string script = OptionValue("script");
  if (HasOption("headless")) {
    auto headless = std::make_unique<THeadlessPlatform>();
    if (!script.empty()) LoadInputScript(script, *headless);
    SetPlatform(std::move(headless));
    return;
  }
  if (!script.empty()) LogLine("WARNING :: StartUp :: \"script\" needs \"headless\"; ignored");
  SetPlatform(CreateSdlPlatform());
}

void SetLogicalScreen(int width, int height) {
  if (FixRatio) {
    Platform().SetVirtualResolutionAspect(width, height, 4.0f / 3.0f);
  } else {
    Platform().SetVirtualResolution(width, height);
  }
}

// Until the title loop exists, the open window stays empty until Esc (closing the window
// ends the program inside FlipHookKeys).
[[noreturn]] void ShowEmptyScreenUntilEsc() {
  ResetKeys();
  for (;;) {
    Platform().Clear(0);
    PresentFrame();
    if (Platform().Input().KeyHit(KeyEscape)) QuitProgram();
  }
}

}  // namespace

void SetHintsDefault() { HintsDefault = UpperCase(GameExt) == ".QZ1"; }

void LoadMusicSettings() {
  ReplacementIni.Init();
  MenuMusicName.clear();
  if (!EnhancedContent) return;
  ReplacementIni.LoadIniFile("hrp.ini", true);
  const std::string fallback = ReplacementIni.GetString("MUSIC", "menu", "");
  MenuMusicName = ReplacementIni.GetString("MUSIC" + GameExt, "menu", fallback);
}

void StartUp(int argc, char** argv) {
  if (Started) EndProgram(1);
  Started = true;
  SetCommandLine(argc, argv);
  if (HasOption("help")) {
    std::fputs(HelpText().c_str(), stdout);
    std::fflush(stdout);
    EndProgram(0);
  }
  // Embedded exit screens and the shared modules (text screen, world, high scores, string
  // tables, demo recorder) register here as they arrive.

  ResetSettings();
  ParseCommandLine();
  LoadMusicSettings();
  SetHintsDefault();

  LogLine("GameDir = " + GameDir);
  LogLine("GameExt = " + GameExt);
  LogLine("");

  // With "export": the backdrop files of the game directory are saved as PNG here.
  // LoadConfig: speed from "Zyntra.ini" and the KEYS file.

  if (!LoadEssentialGraphicsPlaceholder()) EndProgram(1);

  // LoadStrings("STRINGS" + GameExt + ".TXT").
  // Window title: "Zyntra - " + the string "game_title" when that is not empty.

  CreatePlatform();
  SetAnyKeyIgnored(KeyF12, true);
  RegisterFrameRoutine(FlipHookKeys);

  LogLine("Graphics Mode:");
  LogLine("   Width:  " + std::to_string(WindowWidth));
  LogLine("   Height: " + std::to_string(WindowHeight));
  LogLine("   Depth:  " + std::to_string(ColourDepth));
  LogLine("");
  LogText("Starting Graphics... ");
  SetPendingError("ERROR: invalid graphics mode!");
  // The pending error stays set on failure, so the log ends with it framed.
  if (!HasPlatform() || !Platform().OpenWindow(WindowWidth, WindowHeight, ColourDepth, 60)) {
    EndProgram(1);
  }
  ClearPendingError();
  LogLine("ok");
  LogLine("");
  Platform().SetWindowTitle(WindowTitle);

  if (FixRatio) {
    LogLine("Enforcing 4:3 aspect ratio correction");
    SetLogicalScreen(320, 200);
    // The side borders of "hrp.ini" are registered here when the picture leaves bars.
    const TRect picture = Platform().PictureRect();
    LogLine("Viewport size is " + std::to_string(picture.W) + "x" + std::to_string(picture.H));
    LogLine("");
  } else {
    SetLogicalScreen(320, 200);
  }

  if (HasOption("waitkey")) WaitAnyKey();

  if (!Platform().OpenAudio()) LogLine("WARNING :: StartUp :: no audio device, sound is off");

  // Loading box, RowCalibration, the remaining graphics, the sounds, the high scores, the
  // shared screens and the menu music; then the timed start-up boxes unless "skip"; then
  // the title loop.
  ShowEmptyScreenUntilEsc();
}

void QuitProgram() {
  LogLine("QuitProgram() started");
  // The quit question box fades out; high scores and configuration are saved and the
  // music stops here.
  TPlatform& platform = Platform();
  if (platform.WindowWidth() < 640 || platform.WindowHeight() < 400) {
    platform.CloseWindow();
    if (platform.OpenWindow(640, 400, 0, 60)) {
      platform.SetWindowTitle(WindowTitle);
    } else {
      LogLine("WARNING :: QuitProgram :: cannot open the 640x400 window");
    }
  }
  SetLogicalScreen(640, 400);
  // The text-mode exit screen is shown here until a key is hit.
  EndProgram(0);
}
