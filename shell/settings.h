// Program-wide settings: the options start-up fixes from defaults, the command line and
// "Zyntra.ini", read-only afterwards, and the settings that change during play.
#pragma once

#include <cstdint>
#include <string>

struct TOptions {
  std::string GameDir;           // ends with a path separator, or empty
  std::string GameExt = ".QZ1";  // unless "ext" is given
  std::string PlayerDir;         // where the player's files go when the game directory cannot take
                                 // them ("" for the classic layout; see shell/places.h)
  int WindowWidth = 640;
  int WindowHeight = 400;
  int ColourDepth = 0;          // 0: window
  int MaskedImageFlags = 1;     // flags for masked images (fonts, sprites)
  int PlainImageFlags = 0;      // flags for the other images
  int DefaultImageFlags = 1;    // flags of the classic sets
  bool PatchText = false;       // "patch"
  bool ExportMode = false;      // "export"
  bool KeepTitle = false;       // "keeptitle"
  bool EnhancedContent = true;  // off with "classic"
  bool DebugMode = false;       // "debug"
  bool CheatKeys = false;       // "asp"
  bool LatchTaps = true;  // [input] latch: a play key tapped between two ticks counts for the next
  bool MirrorSheen =
      true;               // [video] mirrorsheen: mirror floors show their tiles over the reflection
  bool FixRatio = false;  // "fixratio"
  bool SmoothMotion = true;  // [video] smooth: frames at the display's rate drawn between two ticks
  bool SharpScaling = true;  // [video] scale = sharp: a whole-factor 4:3 picture; "stretch" fills
  int WarpMap = -1;          // "warp=N": start a new game on map N; -1 none
  int TickLimit = 0;         // "ticks=N": quit after N play ticks; 0 none
  std::string MenuMusicName;
  std::string WindowTitle = "Zyntra";
};

enum : int { KeyIndexUp, KeyIndexDown, KeyIndexLeft, KeyIndexRight, KeyIndexFire, KeyIndexJump };

// The play keys of a new configuration: up, down, left, right, fire (Alt), jump (Ctrl).
constexpr uint8_t DefaultPlayKeys[6] = {72, 80, 75, 77, 56, 29};

struct TPlaySettings {
  bool NoMirrors = false;  // "nomirrors", or set by the mirror time guard
  bool GodMode = false;    // "kyzmoraltip", toggled in play
  bool HintsDefault = true;
  bool ReplacementMode = true;  // F12
  bool SoundOn = true;
  uint8_t Speed = 16;  // play frames per second
  // DOS scan codes: up, down, left, right, fire, jump.
  uint8_t PlayKeys[6] = {DefaultPlayKeys[0], DefaultPlayKeys[1], DefaultPlayKeys[2],
                         DefaultPlayKeys[3], DefaultPlayKeys[4], DefaultPlayKeys[5]};
  // Debug switches, F2 and F3 in play.
  bool ShowCollisionBoxes = false;  // outlines of the objects' collision boxes
  bool DemoScreenshots = false;     // a screenshot of every tick of a demo played
};

// The options, for reading.
const TOptions& Options();
// Where start-up (the command line, "Zyntra.ini", the places of files) and tests set them.
TOptions& StartUpOptions();
TPlaySettings& PlaySettings();

// Back to the built-in defaults (tests and start-up).
void ResetSettings();
