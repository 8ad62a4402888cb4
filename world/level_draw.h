// Drawing of a game frame apart from the objects: level tiles over the backdrops, the
// frame and status panel, the values in the panel, the mirrors, and the modal info box.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

struct TWorld;

// Window pixel row where virtual line i begins (relative to the picture's top) and how
// many rows it covers, for lines 0..200.
extern int32_t MirrorLineY[201];
extern int32_t MirrorLineHeight[201];

void DrawLevel(const TWorld& world);
void DrawStatusBorder(const TWorld& world);
void DrawHud(const TWorld& world);
// The mirrors of the view; with MirrorSheen the floor's tiles show over each reflection.
void DrawMirrors(const TWorld& world);
// One run of w pixels of mirror cells whose row starts at y: n lines reflected from the
// 2n lines above. Returns the window rectangle the reflection covers.
TRect DrawMirrorRun(int phase, int x, int y, int w, int n);
// Measures how the renderer maps virtual lines to window rows (once after the window opens).
void RowCalibration();
// A box over a still picture of the world's level until Enter (needEnter) or any key.
void ShowInfoBox(TWorld& world, const std::string& text, int x, int y, int w, int h,
                 bool needEnter);
// How a box that waits for a key presents its frames: the program sets its paced
// presentation at start-up; without one the platform's Flip shows each frame.
void SetBoxPresenter(void (*present)());
