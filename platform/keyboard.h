// Keyboard helpers of the menus, the game loop and the boxes that wait for a key, on the
// platform's input state.
#pragma once

#include <cstdint>

// Forgets pending key hits and the repeat counters.
void ResetKeys();
// Consumes every pending key hit.
void DrainKeyHits();
// A hit of any key not ignored (the key is consumed and remembered as LastAnyKey).
bool AnyKeyHit();
int LastAnyKey();
void SetAnyKeyIgnored(int code, bool ignored);
// True when the key is hit, then while held every rate calls after the first delay calls.
bool KeyRepeat(int code, uint8_t delay, uint8_t rate);
