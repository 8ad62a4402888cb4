// The world of the game in play: its game state, its actor list and hero, the two
// teleporters and the colour counter of the particles. The program holds one (World()); the
// play state lives nowhere else.
#pragma once

#include <cstdint>
#include <memory>

#include "world/actor_list.h"
#include "world/game_state.h"

class TBraxTovar;

struct TWorld {
  PGameState State;  // null until a game starts
  std::unique_ptr<TActorList> Actors = std::make_unique<TActorList>();
  std::shared_ptr<TBraxTovar> Player;
  std::shared_ptr<TInteractiveBackgroundItem> Teleporters[2];
  uint8_t ParticleColourCounter = 0;
};

TWorld& World();
// Back to the empty world of the program's start: no game state, no hero, an empty list.
void ResetWorld();
