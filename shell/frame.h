// Frame presentation, pacing and the keyboard helpers shared by play and menus.
#pragma once

#include <csignal>
#include <cstdint>
#include <functional>

#include "platform/keyboard.h"

// Routines run at every frame presentation, in registration order.
using TFrameRoutine = std::function<void()>;
void RegisterFrameRoutine(const TFrameRoutine& routine);
void ClearFrameRoutines();

// Presents the drawn frame: runs the frame routines, waits for the 60 Hz software timer
// in a window (the vertical refresh in full screen), swaps buffers and polls input.
void PresentFrame();
// Presents without any waiting (debug fast-forward).
void PresentFrameUnpaced();
// Presents, then sleeps so that frames are at least 1000 / fps milliseconds apart.
void PaceFrame(uint8_t fps);
// Presents a play tick just drawn, ticks 1000 / fps milliseconds apart. With smooth motion,
// frames at the display's rate fill the tick's period, each drawn between the previous
// tick and this one; otherwise as PaceFrame.
void PresentTick(uint8_t fps);
// As fast as it goes: with smooth motion frames presentations of the tick, the last one
// the tick as drawn, otherwise one. Returns the number of frames presented.
int PresentTickUnpaced(int frames);
// Forgets the timers' history (start-up and tests).
void ResetFrameTiming();

// Runs at every presentation: Print Screen saves a screenshot, F12 switches replacement content,
// the debug F2/F3 switches, the window's close request ends the program, a suspended window waits.
void FlipHookKeys();
// Set by SIGINT and SIGTERM: the next presentation ends the program as a closed window does.
extern volatile std::sig_atomic_t QuitSignal;
// A closed window or a quit signal: writes what the quit from the menu writes (high scores,
// configuration, keys), then ends the program.
[[noreturn]] void EndOnClose();

// Print Screen: the presented picture, window size, into "Screenshots/zyntra-NNNN.png" of
// the working directory (or the player's directory), numbered on from the highest file there.
void SaveScreenshotFile();

// Waits (presenting frames) until a key is hit.
void WaitAnyKey();
