// Program-wide settings and their built-in defaults.
#include "shell/settings.h"

std::string GameDir;
std::string GameExt = ".QZ1";
std::string PlayerDir;
int WindowWidth = 640;
int WindowHeight = 400;
int ColourDepth = 0;
int MaskedImageFlags = 1;
int PlainImageFlags = 0;
int DefaultImageFlags = 1;
bool PatchText = false;
bool ExportMode = false;
bool KeepTitle = false;
bool EnhancedContent = true;
bool DebugMode = false;
bool CheatKeys = false;
bool NoMirrors = false;
bool MirrorSheen = true;
bool LatchTaps = true;
bool FixRatio = false;
bool SmoothMotion = true;
bool SharpScaling = true;
bool GodMode = false;
bool HintsDefault = true;
bool ReplacementMode = true;
bool SoundOn = true;
uint8_t Speed = 16;
uint8_t PlayKeys[6] = {DefaultPlayKeys[0], DefaultPlayKeys[1], DefaultPlayKeys[2],
                       DefaultPlayKeys[3], DefaultPlayKeys[4], DefaultPlayKeys[5]};
int WarpMap = -1;
int TickLimit = 0;
std::string MenuMusicName;
std::string WindowTitle = "Zyntra";

void ResetSettings() {
  GameDir.clear();
  GameExt = ".QZ1";
  PlayerDir.clear();
  WindowWidth = 640;
  WindowHeight = 400;
  ColourDepth = 0;
  MaskedImageFlags = 1;
  PlainImageFlags = 0;
  DefaultImageFlags = 1;
  PatchText = false;
  ExportMode = false;
  KeepTitle = false;
  EnhancedContent = true;
  DebugMode = false;
  CheatKeys = false;
  NoMirrors = false;
  MirrorSheen = true;
  LatchTaps = true;
  FixRatio = false;
  SmoothMotion = true;
  SharpScaling = true;
  GodMode = false;
  HintsDefault = true;
  ReplacementMode = true;
  SoundOn = true;
  Speed = 16;
  for (int i = 0; i < 6; ++i) PlayKeys[i] = DefaultPlayKeys[i];
  WarpMap = -1;
  TickLimit = 0;
  MenuMusicName.clear();
  WindowTitle = "Zyntra";
}
