// Scripted input for runs on the headless backend (end-to-end tests).
//
// A script is a text file, one entry per line; empty lines and lines starting with "#"
// are skipped. Times are milliseconds of the headless clock.
//   500 press ESC      press a key (released 1 ms later)
//   500 down LEFT      press and hold a key
//   900 up LEFT        release it
//   600 type abc       type the characters after "type "
//   800 close          the user closes the window
//   800 suspend        the window goes inactive ("resume" makes it active again)
//   900 shot a.png     the first frame shown at or after 900 ms is saved as a PNG
//   failwindow         opening the window fails
//   failaudio          opening the audio device fails
// Keys: ESC ENTER SPACE TAB BKSP UP DOWN LEFT RIGHT HOME END PGUP PGDN INS DEL F1..F12
// LSHIFT RSHIFT LCTRL RCTRL LALT RALT COMMA PERIOD, letters A-Z, digits 0-9, or #code;
// controller buttons PAD_UP PAD_DOWN PAD_LEFT PAD_RIGHT PAD_A PAD_B PAD_X PAD_Y PAD_START
// PAD_BACK.
#pragma once

#include <string>

class THeadlessPlatform;

// The platform key code of a script key name (case ignored), 0 when unknown.
int ScriptKeyCode(const std::string& name);
// Applies one script line; false (and nothing changes) when the line is not understood.
bool ApplyInputScriptLine(const std::string& line, THeadlessPlatform& platform);
// Applies every line of the file; bad lines are logged and skipped. False when the file
// cannot be read.
bool LoadInputScript(const std::string& path, THeadlessPlatform& platform);
