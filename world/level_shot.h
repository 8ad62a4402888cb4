// A picture of a whole level (for level designers and reviews): every cell of the map and
// every object's current frame, as the game would draw them.
#pragma once

#include <string>

#include "platform/platform.h"

// Loads map number map and draws all 128 x 90 cells; an empty pixmap when it cannot load.
TPixmap DrawWholeLevel(int map);
// Writes "levelshot" + the map number + ".png" in the working directory; false on failure.
bool WriteLevelShot(int map);
