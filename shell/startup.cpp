// Program start-up and the orderly quit.
#include "shell/startup.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "actors/families.h"
#include "data/graphics.h"
#include "data/image_io.h"
#include "data/music.h"
#include "data/sound.h"
#include "data/stream.h"
#include "data/text.h"
#include "menus/high_scores.h"
#include "menus/menu.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "shell/command_line.h"
#include "shell/exit_screen.h"
#include "shell/flow.h"
#include "shell/frame.h"
#include "shell/input_script.h"
#include "shell/keys.h"
#include "shell/log.h"
#include "shell/places.h"
#include "shell/route.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "world/level_draw.h"
#include "world/level_shot.h"
#include "world/world.h"
#include "world/world_state.h"

// ReplacementIni ("hrp.ini") is defined with the replacement images in data/graphics.cpp.

namespace {

bool Started = false;

// The built-in credits box: four rows of 22 characters.
const std::string CreditsBoxText =
    "      Z Y N T R A\n\n  a free engine and a\n    free episode by\n\n  the Zyntra team\n";

// The real program runs on SDL; "headless" runs without a window, driven by "script".
// A platform installed before start-up (by an embedding test) is kept.
void CreatePlatform() {
  if (HasPlatform()) return;
  const std::string script = OptionValue("script");
  if (HasOption("headless")) {
    auto headless = std::make_unique<THeadlessPlatform>();
    headless->ScreenshotSink = [](const TPixmap& picture, const std::string& path) {
      SavePng(picture, path, 5);
    };
    if (!script.empty()) LoadInputScript(script, *headless);
    SetPlatform(std::move(headless));
    return;
  }
  if (!script.empty()) LogLine("WARNING :: StartUp :: \"script\" needs \"headless\"; ignored");
  SetPlatform(CreateSdlPlatform());
}

void SetLogicalScreen(int width, int height) {
  if (Options().SharpScaling) {
    Platform().SetVirtualResolutionAspect(width, height, 4.0f / 3.0f, true);
  } else if (Options().FixRatio) {
    Platform().SetVirtualResolutionAspect(width, height, 4.0f / 3.0f);
  } else {
    Platform().SetVirtualResolution(width, height);
  }
}

// Shows a box until ms milliseconds have passed since start (no wait when they have).
void ShowBoxUntil(TMessageWindow& box, uint32_t start, uint32_t ms) {
  TPlatform& p = Platform();
  while (int32_t(p.Millisecs() - start) < int32_t(ms)) {
    box.Draw(false);
    PresentFrame();
  }
}

// Without the episode's graphics nothing can run: the log's errors go to standard error
// and, where a window can open, into a message box, and the program ends with status 1.
[[noreturn]] void FailWithoutEpisode() {
  std::string text;
  for (const std::string& line : LoggedErrors()) text += line + "\n";
  text += "No episode files in \"" + Options().GameDir + "\" (extension " + Options().GameExt +
          "); see " + PlayerFile(TPlace::WorkDir, "log.txt") + ", or give -dir=path.\n";
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
  CreatePlatform();
  if (HasPlatform()) Platform().ShowMessageBox(Options().WindowTitle, text);
  EndProgram(1);
}

// What loads once the window is open: the row calibration, the rest of the graphics, audio
// and sounds, the high scores and the shared screens.
void LoadAfterWindow() {
  RowCalibration();
  LoadRemainingGraphics();
  if (!Platform().OpenAudio()) LogLine("WARNING :: StartUp :: no audio device, sound is off");
  LoadSounds();
  LoadHighScores(PlayerFileToRead(TPlace::GameDir, "HIGHS" + Options().GameExt));
  CreateSharedScreens();
}

}  // namespace

void SetHintsDefault() { PlaySettings().HintsDefault = UpperCase(Options().GameExt) == ".QZ1"; }

void LoadMusicSettings() {
  ReplacementIni.Init();
  StartUpOptions().MenuMusicName.clear();
  if (!Options().EnhancedContent) return;
  ReplacementIni.LoadIniFile("hrp.ini", true);
  const std::string fallback = ReplacementIni.GetString("MUSIC", "menu", "");
  StartUpOptions().MenuMusicName =
      ReplacementIni.GetString("MUSIC" + StartUpOptions().GameExt, "menu", fallback);
}

void PrepareProgram(int argc, char** argv) {
  SetCommandLine(argc, argv);
  if (HasOption("help")) {
    std::fputs(HelpText().c_str(), stdout);
    std::fflush(stdout);
    EndProgram(0);
  }
  // The shared modules: the object-code table of the level loader and the default
  // high-score table. (The embedded resources are compiled in.)
  InstallActors();
  SetBoxPresenter(PresentFrame);
  SetDefaultHighScores();

  ResetSettings();
  ParseCommandLine();
  // Before the first log line: the log file goes where the player's files go.
  LocateGameFiles();
  LoadMusicSettings();
  SetHintsDefault();

  LogLine("GameDir = " + Options().GameDir);
  LogLine("GameExt = " + Options().GameExt);
  if (!Options().PlayerDir.empty()) {
    LogLine(
        "The game directory is installed or read-only: saves, settings, log and screenshots go "
        "to " +
        Options().PlayerDir);
    std::error_code error;
    if (!std::filesystem::is_directory(Options().PlayerDir, error))
      LogLine("WARNING :: StartUp :: cannot create " + Options().PlayerDir);
  }
  LogLine("");

  if (Options().ExportMode) ExportBackdrops();
  LoadConfig();
  if (!LoadEssentialGraphics()) FailWithoutEpisode();
  LoadStrings("STRINGS" + Options().GameExt + ".TXT");
  if (!GameTitleText.empty()) StartUpOptions().WindowTitle = "Zyntra - " + GameTitleText;
}

void StartHeadlessPlay() {
  auto headless = std::make_unique<THeadlessPlatform>();
  headless->RenderPixels = false;
  headless->FrameCostMs = 1;
  THeadlessPlatform* h = headless.get();
  SetPlatform(std::move(headless));
  // Boxes that wait for Enter get it at once.
  RegisterFrameRoutine([h] {
    if (h->PendingScriptEvents() == 0) h->PressKey(KeyEnter, h->Millisecs());
  });
  Platform().OpenWindow(Options().WindowWidth, Options().WindowHeight, Options().ColourDepth, 60);
  SetLogicalScreen(320, 200);
  LoadAfterWindow();
}

void StartUp(int argc, char** argv) {
  if (Started) EndProgram(1);
  Started = true;
  PrepareProgram(argc, argv);

  // "levelshot=N": a picture of the whole of map N, without opening a window.
  if (!OptionValue("levelshot").empty()) {
    LoadRemainingGraphics();
    int map = int(ParseLeadingInteger(OptionValue("levelshot")));
    bool ok = WriteLevelShot(World(), map);
    LogLine(ok ? "levelshot" + std::to_string(map) + ".png written"
               : "ERROR :: StartUp :: no levelshot of map " + std::to_string(map));
    EndProgram(ok ? 0 : 1);
  }

  // "route=FILE": a replay of map "warp" with no window, pacing or pixels.
  const std::string route = OptionValue("route");
  if (!route.empty()) {
    if (Options().WarpMap < 0) {
      LogLine("ERROR :: StartUp :: \"route\" needs \"warp\"");
      EndProgram(2);
    }
    StartHeadlessPlay();
    ReplayRoute(Options().WarpMap, route);
  }

  CreatePlatform();
  SetAnyKeyIgnored(KeyF12, true);
  SetAnyKeyIgnored(KeyPrintScreen, true);
  // Ctrl+C and a terminating system end the program as a closed window does.
  std::signal(SIGINT, [](int) { QuitSignal = 1; });
  std::signal(SIGTERM, [](int) { QuitSignal = 1; });
  RegisterFrameRoutine(FlipHookKeys);

  // Sharp scaling: unless a size is given, the window is the largest whole multiple of
  // the 4:3 picture that the desktop holds (with room for the window's title bar).
  int desktopW = 0, desktopH = 0;
  if (Options().SharpScaling && Options().ColourDepth == 0 && OptionValue("width").empty() &&
      OptionValue("height").empty() && HasPlatform() &&
      Platform().UsableDesktopSize(desktopW, desktopH)) {
    int k = std::min(desktopW / 320, (desktopH - 48) / 240);
    if (k >= 2) {
      StartUpOptions().WindowWidth = 320 * k;
      StartUpOptions().WindowHeight = 240 * k;
    }
  }

  LogLine("Graphics Mode:");
  LogLine("   Width:  " + std::to_string(Options().WindowWidth));
  LogLine("   Height: " + std::to_string(Options().WindowHeight));
  LogLine("   Depth:  " + std::to_string(Options().ColourDepth));
  LogLine("");
  LogText("Starting Graphics... ");
  SetPendingError("ERROR: invalid graphics mode!");
  // The pending error stays set on failure, so the log ends with it framed.
  if (!HasPlatform() || !Platform().OpenWindow(Options().WindowWidth, Options().WindowHeight,
                                               Options().ColourDepth, 60)) {
    EndProgram(1);
  }
  ClearPendingError();
  LogLine("ok");
  LogLine("");
  Platform().SetWindowTitle(Options().WindowTitle);

  if (Options().FixRatio || Options().SharpScaling) {
    LogLine(Options().SharpScaling
                ? "Sharp scaling: the 4:3 picture at the largest whole factor that fits"
                : "Enforcing 4:3 aspect ratio correction");
    SetLogicalScreen(320, 200);
    const TRect picture = Platform().PictureRect();
    // The side bars fill what the picture leaves, also after the window is resized.
    if ((picture.X > 0 || Options().SharpScaling) && LoadBorderImages())
      RegisterFrameRoutine(DrawSideBorders);
    LogLine("Viewport size is " + std::to_string(picture.W) + "x" + std::to_string(picture.H));
    LogLine("");
  } else {
    SetLogicalScreen(320, 200);
  }

  if (HasOption("waitkey")) WaitAnyKey();

  TPlatform& p = Platform();
  auto box = CreateMessageWindow(LoadingText, 56, 80, 12, 1, nullptr);
  box->FadeIn(0, 16);
  uint32_t t0 = p.Millisecs();

  LoadAfterWindow();
  EnsureMusic(Options().MenuMusicName);

  // "timedemo=FILE": a demo, or with "warp" a route, as fast as it draws.
  if (!OptionValue("timedemo").empty()) {
    box->FadeOut(0, 16);
    RunTimedemo(OptionValue("timedemo"), Options().WarpMap);
  }

  if (HasOption("skip")) {
    box->FadeOut(0, 16);
  } else {
    ShowBoxUntil(*box, t0, 2000);
    box->FadeOut(0, 16);
    uint32_t t1 = p.Millisecs();
    box->Init(VersionText, 56, 48, 12, 6, nullptr);
    box->FadeIn(0, 16);
    ShowBoxUntil(*box, t1, 2000);
    box->FadeOut(0, 16);
    uint32_t t2 = p.Millisecs();
    box->Init(CreditsBoxText, 56, 56, 12, 4, nullptr);
    box->FadeIn(0, 16);
    ShowBoxUntil(*box, t2, 2000);
    box->FadeOut(0, 16);
  }
  const std::string recordRoute = OptionValue("recordroute");
  if (!recordRoute.empty()) {
    if (Options().WarpMap >= 0) RecordRoute(Options().WarpMap, recordRoute);
    LogLine("WARNING :: StartUp :: \"recordroute\" needs \"warp\"; ignored");
  }
  if (Options().WarpMap >= 0) WarpGame(Options().WarpMap);
  TitleLoop();
}

void QuitProgram() {
  LogLine("QuitProgram() started");
  if (QuitQuestion) QuitQuestion->FadeOut(0, 32);
  SaveHighScores(PlayerFile(TPlace::GameDir, "HIGHS" + Options().GameExt));
  SaveConfig();
  StopMusic();
  TPlatform& platform = Platform();
  if (platform.WindowWidth() < 640 || platform.WindowHeight() < 400) {
    platform.CloseWindow();
    if (platform.OpenWindow(640, 400, 0, 60)) {
      platform.SetWindowTitle(Options().WindowTitle);
    } else {
      LogLine("WARNING :: QuitProgram :: cannot open the 640x400 window");
    }
  }
  SetLogicalScreen(640, 400);
  ShowExitScreen();
  EndProgram(0);
}
