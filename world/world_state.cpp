#include "world/world_state.h"

TWorld& World() {
  static TWorld world;
  return world;
}

void ResetWorld() {
  World().Actors->Clear();
  World() = TWorld{};
}

TGameState& Game() { return *World().State; }
