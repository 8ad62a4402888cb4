#include "world/world_state.h"

TWorld& World() {
  static TWorld world;
  return world;
}

TGameState& Game() { return *World().State; }
