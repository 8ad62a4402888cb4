// Program start-up and the orderly quit.
#pragma once

#include "data/graphics.h"  // ReplacementIni, the description of the replacement content

// The program's entry: settings, log, window, loading, then the title loop. Never returns.
[[noreturn]] void StartUp(int argc, char** argv);

// The first steps of StartUp: command line, settings, log, configuration, the essential
// graphics and the string tables. Ends the program when the graphics cannot be loaded.
void PrepareProgram(int argc, char** argv);
// A headless platform without pixels, where boxes that wait for Enter get it at once,
// and the rest of the loading: the set-up of route replays and route tools.
void StartHeadlessPlay();

// Hints are on by default only for the first episode.
void SetHintsDefault();

// Reads "hrp.ini" (only with enhanced content) and takes the menu music name from it.
void LoadMusicSettings();

// Ends the program from the quit question: saves, re-opens the logical screen at 640x400
// for the exit screen and ends. Never returns.
[[noreturn]] void QuitProgram();
