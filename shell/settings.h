// Program-wide settings, fixed at start-up from defaults and the command line.
#pragma once

#include <cstdint>
#include <string>

extern std::string GameDir;    // ends with a path separator, or empty
extern std::string GameExt;    // ".QZ1" unless "ext" is given
extern std::string PlayerDir;  // where the player's files go when the game directory cannot take
                               // them ("" for the classic layout; see shell/places.h)
extern int WindowWidth;        // 640
extern int WindowHeight;       // 400
extern int ColourDepth;        // 0: window
extern int MaskedImageFlags;   // flags for masked images (fonts, sprites)
extern int PlainImageFlags;    // flags for the other images
extern int DefaultImageFlags;  // flags of the classic sets
extern bool PatchText;         // "patch"
extern bool ExportMode;        // "export"
extern bool KeepTitle;         // "keeptitle"
extern bool EnhancedContent;   // off with "classic"
extern bool DebugMode;         // "debug"
extern bool CheatKeys;         // "asp"
extern bool NoMirrors;         // "nomirrors" or the mirror time guard
extern bool LatchTaps;    // [input] latch: a play key tapped between two ticks counts for the next
extern bool MirrorSheen;  // [video] mirrorsheen: mirror floors show their tiles over the reflection
extern bool FixRatio;     // "fixratio"
extern bool SmoothMotion;  // [video] smooth: frames at the display's rate drawn between two ticks
extern bool
    SharpScaling;  // [video] scale = sharp: a whole-factor 4:3 picture; "stretch" fills the window
extern bool GodMode;  // "kyzmoraltip", toggled in play
extern bool HintsDefault;
extern bool ReplacementMode;  // F12
extern bool SoundOn;
extern uint8_t Speed;        // play frames per second
extern uint8_t PlayKeys[6];  // DOS scan codes: up, down, left, right, fire, jump
// The scan codes of the arrow keys, Alt (fire) and Ctrl (jump).
constexpr uint8_t DefaultPlayKeys[6] = {72, 80, 75, 77, 56, 29};
enum : int { KeyIndexUp, KeyIndexDown, KeyIndexLeft, KeyIndexRight, KeyIndexFire, KeyIndexJump };
extern int WarpMap;    // "warp=N": start a new game on map N; -1 none
extern int TickLimit;  // "ticks=N": quit after N play ticks; 0 none
extern std::string MenuMusicName;
extern std::string WindowTitle;

// Back to the built-in defaults (tests and start-up).
void ResetSettings();
