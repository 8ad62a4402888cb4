// A picture of a whole level (for level designers and reviews): every cell of the map and
// every object of the actor list as the game draws it when the level starts.
#pragma once

#include <string>

#include "platform/platform.h"

struct TWorld;

// Loads map number map and draws all 128 x 90 cells and the objects over them; an empty
// pixmap when it cannot load. Draws on a platform of its own: the current one (if any) is
// left as it was.
TPixmap DrawWholeLevel(TWorld& world, int map);
// Writes "levelshot" + the map number + ".png" in the working directory; false on failure.
bool WriteLevelShot(TWorld& world, int map);
