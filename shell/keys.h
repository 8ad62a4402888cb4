// The six play keys as DOS scan codes, their translation to platform key codes, their
// names, and the settings files "Zyntra.ini" and KEYS.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/ini_parser.h"

// Platform key codes of each DOS scan code 0..255 (empty for unlisted codes).
const std::vector<int>& ScanCodeKeys(int scanCode);

int ScanHit(int scanCode);      // hits of the entry's keys; reading consumes them
bool ScanDown(int scanCode);    // any of the entry's keys held
bool ScanTapped(int scanCode);  // any of the entry's keys pressed since the input's ClearTaps
// The six play inputs of a tick (up, down, left, right, fire, jump; 0 or 1) from the play
// keys and a controller (its directions, A to jump, B or X to fire). With the latch, a key
// pressed and let go since the last call counts as held.
void ReadPlayInputs(uint8_t inputs[6]);
int FirstScanHit();  // lowest scan code 1..255 with a hit, else 0

// "Zyntra.ini" of the working directory (or the player's directory).
extern TIniParser ConfigIni;
std::string KeysFileName();  // "KEYS" + GameExt of the game (or player's) directory, written there
void LoadConfig();
void SaveConfig();
